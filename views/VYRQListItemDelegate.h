#pragma once

#include "VYRQExport.h"
#include "VYRQItemDelegate.h"

#include <QPointer>

class VYRQListImpl;

// Paints a list's items from its styles (state, decoration image, text) and gives
// them the list's item height.
class VYRQTLIB_EXPORT VYRQListItemDelegate : public VYRQItemDelegate {
    Q_OBJECT
public:
    explicit VYRQListItemDelegate(VYRQListImpl* impl);
    ~VYRQListItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPointer<VYRQListImpl> m_impl;
};
