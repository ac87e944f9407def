#pragma once

#include "VYRQExport.h"
#include "VYRQItemDelegate.h"

#include <QPointer>

class VYRQTreeViewImpl;

// Paints a tree's items from its styles (state, decoration icon, text) and sizes them
// from the tree's item height and the widths of their texts and icons.
class VYRQTLIB_EXPORT VYRQTreeViewItemDelegate : public VYRQItemDelegate {
    Q_OBJECT
public:
    explicit VYRQTreeViewItemDelegate(VYRQTreeViewImpl* impl);
    ~VYRQTreeViewItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPointer<VYRQTreeViewImpl> m_impl;
};
