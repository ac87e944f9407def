#include "VYRQItemDelegate.h"

#include "VYRQToolTip.h"

#include <QAbstractItemView>
#include <QHelpEvent>

VYRQItemDelegate::VYRQItemDelegate(QObject* parent)
    : QItemDelegate(parent)
{
}

bool VYRQItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem&,
                                 const QModelIndex& index)
{
    const QEvent::Type type = event ? event->type() : QEvent::None;
    if (!view || (type != QEvent::ToolTip && type != QEvent::WhatsThis && type != QEvent::QueryWhatsThis))
        return false;
    const QString text = index.isValid() ? index.data(type == QEvent::ToolTip ? Qt::ToolTipRole : Qt::WhatsThisRole)
                                               .toString()
                                         : QString();
    if (type != QEvent::QueryWhatsThis)
        VYRQToolTip::showText(event->globalPos(), text, view->viewport(),
                              index.isValid() ? view->visualRect(index) : QRect());
    event->setAccepted(!text.isEmpty());
    return !text.isEmpty();
}

#include "moc_VYRQItemDelegate.cpp"
