#include "VYRQComboItemDelegate.h"

#include "VYRQComboBox.h"
#include "VYRQComboBoxImpl_p.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QPainter>

VYRQComboItemDelegate::VYRQComboItemDelegate(VYRQComboBoxImpl* impl, QObject* parent)
    : VYRQItemDelegate(parent)
    , m_impl(impl)
{
}

VYRQComboItemDelegate::~VYRQComboItemDelegate() = default;

void VYRQComboItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    if (!m_impl || !index.isValid())
        return;
    VYRQComboBox* combo = m_impl->q;
    QString text;
    if (const QAbstractItemModel* model = combo ? combo->model() : nullptr) {
        // The row's text is its lowest role that holds a value (the display text).
        const QMap<int, QVariant> data = model->itemData(index);
        if (!data.isEmpty())
            text = data.first().toString();
    }
    const QIcon icon = combo ? combo->itemIcon(index.row()) : QIcon();
    const bool hasIcon = !icon.isNull();
    if (hasIcon)
        VYRQWidgetBaseImpl::drawIcon(painter, icon, QSize(16, 16), IconStyleDesc(),
                                     VYRQComboBoxImpl::rowIconRect(option.rect));
    const QRect textRect = VYRQComboBoxImpl::rowTextRect(option.rect, hasIcon);

    painter->save();
    const int row = VYRQComboBoxImpl::rowStyleIndex(option.state);
    VYRQWidgetBaseImpl::drawFillStyle(painter, m_impl->itemBackground.get(row), textRect);
    VYRQWidgetBaseImpl::drawText(painter, text, VYRQComboBoxImpl::placedTextStyle(m_impl->itemTextStyle.get(row)),
                                 textRect);
    painter->restore();
}

QSize VYRQComboItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), m_impl ? m_impl->itemHeight : 25);
}

#include "moc_VYRQComboItemDelegate.cpp"
