#include "VYRQComboList.h"

#include "VYRQComboBoxImpl_p.h"

#include <QEvent>
#include <QPainter>

VYRQComboList::VYRQComboList(VYRQComboBoxImpl* impl, QWidget* parent)
    : QListView(parent)
    , m_impl(impl)
    , m_delegate(impl)
{
    setItemDelegate(&m_delegate);
    viewport()->installEventFilter(this);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

VYRQComboList::~VYRQComboList()
{
    // The view must not keep a delegate that dies before it.
    setItemDelegate(nullptr);
}

bool VYRQComboList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::Paint) {
        if (m_impl) {
            QWidget* area = viewport();
            QPainter painter(area);
            VYRQWidgetBaseImpl::drawFillStyle(&painter, m_impl->popupBackground,
                                              QRect(0, 0, area->width(), area->height()));
        }
        // The rows are painted on top by the view itself.
        return false;
    }
    return QAbstractItemView::eventFilter(watched, event);
}

#include "moc_VYRQComboList.cpp"
