#include "VYRQComboList.h"

#include "VYRQComboBoxImpl_p.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

VYRQComboList::VYRQComboList(VYRQComboBoxImpl* impl, QWidget* parent)
    : QListView(parent)
    , m_impl(impl)
    , m_delegate(new VYRQComboItemDelegate(impl, this))
{
    setItemDelegate(m_delegate);
    viewport()->installEventFilter(this);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

VYRQComboList::~VYRQComboList() = default;

void VYRQComboList::preparePopup()
{
    auto* popup = qobject_cast<QFrame*>(parentWidget());
    if (!popup || !popup->isWindow())
        return;
    // Qt gives the popup its style's frame again on every style change.
    popup->setFrameStyle(QFrame::NoFrame);
    popup->installEventFilter(this);
    shapePopup(popup);
}

void VYRQComboList::shapePopup(QWidget* popup)
{
    if (!m_impl)
        return;
    const FillStyle& look = m_impl->popupBackground;
    const FillRes& fill = look.fill;
    if (!look.draw || !look.colorMode || fill.round <= 0 || popup->width() <= 0 || popup->height() <= 0) {
        popup->clearMask();
        return;
    }
    const QPainterPath shape =
        VYRQWidgetBaseImpl::makeRoundedRectPath(QRectF(popup->rect()), fill.round, fill.roundTopLeft,
                                                fill.roundTopRight, fill.roundBottomRight, fill.roundBottomLeft);
    popup->setMask(QRegion(shape.toFillPolygon().toPolygon()));
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
    QWidget* popup = parentWidget();
    if (popup && watched == popup && m_impl) {
        if (event->type() == QEvent::Resize) {
            shapePopup(popup);
        } else if (event->type() == QEvent::Paint && m_impl->popupBackground.draw
                   && m_impl->popupBackground.colorMode) {
            // What the background leaves of the window (its rounded corners where the
            // platform keeps no window shape, its softened edge) takes its colour.
            QPainter painter(popup);
            painter.fillRect(popup->rect(), m_impl->popupBackground.fill.color);
        }
        return false;
    }
    return QAbstractItemView::eventFilter(watched, event);
}

#include "moc_VYRQComboList.cpp"
