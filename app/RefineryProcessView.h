#pragma once

#include "RefinerySnapshot.h"
#include "VYRQFlowView.h"

#include <QString>

// The hydrotreater as a live diagram: turns the latest snapshot into the flow view's
// node and connection records (eleven nodes coloured by status, twelve fixed process
// lines) and reports a click on a node as equipmentActivated. A setter that leaves
// every node as it was does not repaint: the snapshot arrives every second.
class RefineryProcessView : public VYRQFlowView {
    Q_OBJECT
public:
    explicit RefineryProcessView(QWidget* parent = nullptr);
    ~RefineryProcessView() override;

    void setSnapshot(const RefinerySnapshot& snapshot);
    void setSelectedEquipmentId(const QString& id);
    void setChinese(bool chinese);

Q_SIGNALS:
    void equipmentActivated(const QString& equipmentId);

private:
    void rebuild();

    RefinerySnapshot m_snapshot;
    QString m_selectedEquipmentId;
    bool m_chinese = false;
};
