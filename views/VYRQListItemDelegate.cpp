#include "VYRQListItemDelegate.h"

#include "VYRQListImpl.h"

#include <QPainter>
#include <QStyle>

VYRQListItemDelegate::VYRQListItemDelegate(VYRQListImpl* impl)
    : m_impl(impl)
{
}

VYRQListItemDelegate::~VYRQListItemDelegate() = default;

void VYRQListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    VYRQListImpl* impl = m_impl.data();
    if (!painter || !impl || !index.isValid())
        return;
    painter->save();
    const QRect cell = option.rect;

    // In the list the mouse-over look wins over the selected one.
    CtrlState state = Normal;
    if (option.state & QStyle::State_MouseOver)
        state = Hot;
    else if (option.state & QStyle::State_Selected)
        state = Pressed;
    VYRQWidgetBaseImpl::drawFillStyle(painter, impl->itemBackgrounds.get(state), cell);

    const QRect textRect =
        VYRQItemViewImpl::drawLeadingDecoration(painter, index.data(Qt::DecorationRole), cell, true);
    VYRQWidgetBaseImpl::drawText(painter, index.data(Qt::DisplayRole).toString(), impl->itemTextStyles.get(state),
                                 textRect);
    painter->restore();
}

QSize VYRQListItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), m_impl ? m_impl->rowHeight() : 20);
}

#include "moc_VYRQListItemDelegate.cpp"
