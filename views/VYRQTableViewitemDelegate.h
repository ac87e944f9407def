#pragma once

#include "VYRQExport.h"
#include "VYRQItemDelegate.h"

#include <QPointer>

class VYRQContainer;
class VYRQTableViewImpl;

// Paints a table's cells from its styles (state, text, image, check icon, hosted
// container) and handles their presses: the check toggle, hover tracking and clicks
// on hosted child controls.
class VYRQTLIB_EXPORT VYRQTableViewitemDelegate : public VYRQItemDelegate {
    Q_OBJECT
public:
    explicit VYRQTableViewitemDelegate(VYRQTableViewImpl* impl);
    ~VYRQTableViewitemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    void paintHosted(QPainter* painter, const QRect& cell, VYRQContainer* container) const;
    // The hosted child control (never the container) at the global point, or null.
    QWidget* hostedControlAt(const QRect& cell, VYRQContainer* container, const QPoint& globalPos) const;

    QPointer<VYRQTableViewImpl> m_impl;
};
