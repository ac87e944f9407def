#pragma once

#include "VYRQExport.h"
#include "VYRQItemDelegate.h"

#include <QPointer>

class VYRQComboBoxImpl;

// Paints the rows of a combo box's popup with the combo box's row styles: a row
// background and text per row state (plain, under the pointer, selected), the item's
// icon in a 20-pixel column at the left, and a fixed row height.
class VYRQTLIB_EXPORT VYRQComboItemDelegate : public VYRQItemDelegate {
    Q_OBJECT
public:
    explicit VYRQComboItemDelegate(VYRQComboBoxImpl* impl, QObject* parent = nullptr);
    ~VYRQComboItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPointer<VYRQComboBoxImpl> m_impl;
};
