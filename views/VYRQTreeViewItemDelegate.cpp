#include "VYRQTreeViewItemDelegate.h"

#include "VYRQTreeViewImpl.h"

#include <QIcon>
#include <QPainter>
#include <QStyle>

VYRQTreeViewItemDelegate::VYRQTreeViewItemDelegate(VYRQTreeViewImpl* impl)
    : m_impl(impl)
{
}

VYRQTreeViewItemDelegate::~VYRQTreeViewItemDelegate() = default;

void VYRQTreeViewItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    VYRQTreeViewImpl* impl = m_impl.data();
    if (!painter || !impl || !index.isValid())
        return;
    painter->save();
    const QRect cell = option.rect;
    QRect textRect = cell;

    CtrlState state = Normal;
    if (option.state & QStyle::State_Selected)
        state = Pressed;
    else if (option.state & QStyle::State_MouseOver)
        state = Hot;
    VYRQWidgetBaseImpl::drawFillStyle(painter, impl->itemBackgrounds.get(state), cell);

    QString text;
    const QMap<int, QVariant> roles = index.model()->itemData(index);
    if (!roles.isEmpty()) {
        text = index.data(Qt::DisplayRole).toString();
        textRect = VYRQItemViewImpl::drawLeadingDecoration(painter, roles.value(Qt::DecorationRole), cell, false);
    }
    VYRQWidgetBaseImpl::drawText(painter, text, impl->itemTextStyles.get(state), textRect);
    painter->restore();
}

// The width adds up what the item's roles show, or might: every icon and every text
// (a tool tip held by the model widens the item too).
QSize VYRQTreeViewItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QItemDelegate::sizeHint(option, index);
    VYRQTreeViewImpl* impl = m_impl.data();
    if (!impl || !index.isValid())
        return size;
    size.setHeight(impl->rowHeight());
    const QMap<int, QVariant> roles = index.model()->itemData(index);
    if (roles.isEmpty())
        return size;
    const int side = VYRQItemViewImpl::decorationSide(size.height());
    const TextStyleDesc& text = impl->itemTextStyles.get(Normal);
    int width = 0;
    for (auto it = roles.constBegin(); it != roles.constEnd(); ++it) {
        const int type = it.value().userType();
        if (type == qMetaTypeId<QIcon>() || (it.key() == Qt::DecorationRole && type == QMetaType::QString))
            width += 4 + side;
        else if (type == QMetaType::QString)
            width += 4 + VYRQWidgetBaseImpl::getTextSize(text, it.value().toString()).width();
    }
    size.setWidth(width);
    return size;
}

#include "moc_VYRQTreeViewItemDelegate.cpp"
