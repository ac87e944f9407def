#include "RefineryFocusFrame.h"

#include "VYRQResourceManager.h"
#include "VYRQStyleDefs.h"

#include <QApplication>
#include <QChildEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QPainter>

namespace {

constexpr int kFrameWidth = 2;
constexpr double kFrameRadius = 6.0;
// The monitor's violet, where the theme names no accent.
const QColor kFallbackAccent(167, 158, 255);

// The colour of the theme's accent text style.
QColor themeAccent()
{
    VYRQResSwitchGuard theme(VYRQResSwitchGuard::ThemeRes, true);
    TextStyleDesc style;
    if (VYRQResourceManager::getInstance()->getTextStyle(QStringLiteral("TxAccent"), style))
        return style.color;
    return kFallbackAccent;
}

} // namespace

RefineryFocusFrame::RefineryFocusFrame(QWidget* framed)
    : QWidget(framed)
    , framed(framed)
{
    setObjectName(QStringLiteral("refineryFocusFrame"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    framed->installEventFilter(this);
    for (QObject* child : framed->children())
        if (child != this && child->isWidgetType())
            child->installEventFilter(this);
}

bool RefineryFocusFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != framed) {
        // A view restacks its scroll bars as it lays them out: the frame stays on top.
        if (event->type() == QEvent::ZOrderChange && isVisible() && watched->parent() == framed)
            raise();
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::FocusIn:
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            fromKeyboard = true;
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            break;
        default:
            fromKeyboard = false;
        }
        follow(fromKeyboard);
        break;
    case QEvent::FocusOut: {
        // A list opening takes the focus twice, the second time for no stated reason:
        // a popup open then still means the focus comes back with it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && !QApplication::activePopupWidget())
            fromKeyboard = false;
        follow(false);
        break;
    }
    case QEvent::KeyPress:
        // The keyboard drives the widget: also a Tab that finds no other stop and so
        // moves no focus, and a key after a click.
        if (framed->hasFocus() && isHidden()) {
            fromKeyboard = true;
            follow(true);
        }
        break;
    case QEvent::Resize:
        if (isVisible())
            setGeometry(framed->rect());
        break;
    case QEvent::ChildAdded:
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child != this && child->isWidgetType())
            child->installEventFilter(this);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void RefineryFocusFrame::follow(bool shown)
{
    if (!shown) {
        hide();
        return;
    }
    accent = themeAccent();
    setGeometry(framed->rect());
    raise();
    show();
    update();
}

void RefineryFocusFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(accent, kFrameWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = kFrameWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kFrameRadius, kFrameRadius);
}

#include "moc_RefineryFocusFrame.cpp"
