#pragma once

#include "VYRQExport.h"

#include <QPointer>
#include <QWidget>

class VYRQTableViewImpl;

// The table's corner between the scroll bars, filled with the table's background.
class VYRQTLIB_EXPORT VYRQConerWidget : public QWidget {
    Q_OBJECT
public:
    explicit VYRQConerWidget(VYRQTableViewImpl* impl, QWidget* parent = nullptr);
    ~VYRQConerWidget() override;

protected:
    void paintEvent(QPaintEvent* event) override;

    QPointer<VYRQTableViewImpl> m_impl;
};
