#include "VYRQToolTip.h"

#include "VYRQTextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBasicTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTimerEvent>
#include <QToolTip>

#include <cmath>

namespace {

// The window a tip is shown in, with QToolTip's looks and its rules for going away.
class TipWindow : public QWidget {
public:
    TipWindow()
        : QWidget(nullptr, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setForegroundRole(QPalette::ToolTipText);
        setBackgroundRole(QPalette::ToolTipBase);
        setPalette(QToolTip::palette());
        setFont(QToolTip::font());
        ensurePolished();
        m_margin = 1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this);
        setWindowOpacity(style()->styleHint(QStyle::SH_ToolTipLabel_Opacity, nullptr, this) / 255.0);
        m_document.setDocumentMargin(0);
        m_document.setUndoRedoEnabled(false);
    }

    void showTip(const QPoint& globalPos, const QString& text, QWidget* widget, const QRect& rect, int msecShowTime)
    {
        // Set once while shown: the pointer resting again asks for the same tip.
        const bool changed = text != m_text;
        if (changed) {
            m_text = text;
            m_document.setDefaultFont(font());
            m_document.setContent(Qt::mightBeRichText(m_text) ? m_text : onScreen(m_text, globalPos), Qt::AutoText);
        }
        if (changed || !QWidget::isVisible())
            layOut(globalPos);
        if (m_widget != widget) {
            if (m_widget)
                disconnect(m_widget, nullptr, this, nullptr);
            m_widget = widget;
            connect(widget, &QObject::destroyed, this, [this] { hideNow(); });
        }
        m_rect = rect;
        m_hideTimer.stop();
        m_expireTimer.start(msecShowTime > 0 ? msecShowTime : 10000 + 40 * qMax(0, m_text.size() - 100), this);
        place(globalPos);
        if (!QWidget::isVisible()) {
            qApp->installEventFilter(this);
            show();
        }
        update();
    }

    // What the text loaded goes with it, as Qt's tip goes.
    void hideNow()
    {
        m_hideTimer.stop();
        m_expireTimer.stop();
        qApp->removeEventFilter(this);
        hide();
        m_text.clear();
        m_document.setContent(QString(), Qt::PlainText);
    }

    const QString& text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        painter.drawPrimitive(QStyle::PE_PanelTipLabel, option);
        painter.translate(m_margin, m_margin);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = palette();
        context.palette.setColor(QPalette::Text, palette().color(QPalette::ToolTipText));
        context.clip = QRectF(0, 0, width() - 2 * m_margin, height() - 2 * m_margin);
        m_document.documentLayout()->draw(&painter, context);
    }

    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() == m_hideTimer.timerId() || event->timerId() == m_expireTimer.timerId())
            hideNow();
    }

    // QToolTip's rules: a leave hides the tip a moment later (a tip of the widget
    // entered may take its place), input hides it at once.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Leave:
            hideSoon();
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Close:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            hideNow();
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
                hideNow();
            break;
        }
        case QEvent::MouseMove:
            if (watched == m_widget && !m_rect.isNull()
                && !m_rect.contains(static_cast<QMouseEvent*>(event)->pos()))
                hideSoon();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void hideSoon()
    {
        if (!m_hideTimer.isActive())
            m_hideTimer.start(300, this);
    }

    QRect screenArea(const QPoint& globalPos) const
    {
        QScreen* screen = QGuiApplication::screenAt(globalPos);
        if (!screen)
            screen = m_widget ? m_widget->screen() : QGuiApplication::primaryScreen();
        return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    }

    // What of a plain tip its screen can show: Qt lays out a line however long it
    // is (its runs in time growing with their square), and a tip is never larger
    // than the screen. Each line is cut past four characters a pixel of the screen's
    // width, the lines past one a pixel of its height.
    QString onScreen(const QString& text, const QPoint& globalPos) const
    {
        const QRect screen = screenArea(globalPos);
        const int longest = 4 * qMax(screen.width(), 1);
        QString shown;
        int lines = 0;
        for (int at = 0; at <= text.size() && lines < qMax(screen.height(), 1); ++lines) {
            int end = text.indexOf(QLatin1Char('\n'), at);
            if (end < 0)
                end = text.size();
            int keep = qMin(end - at, longest);
            if (keep > 0 && keep < end - at && text.at(at + keep - 1).isHighSurrogate())
                --keep;
            if (lines > 0)
                shown += QLatin1Char('\n');
            shown += text.midRef(at, keep);
            at = end + 1;
        }
        return shown;
    }

    // A rich tip wraps at a quarter of the screen's width, as Qt's does; plain text
    // keeps its lines. Never larger than the screen. A rich text is laid out at that
    // quarter first: its widest line there is as wide as it is unwrapped when it
    // fits, and no line is laid out wider than it can be shown.
    void layOut(const QPoint& globalPos)
    {
        const QRect screen = screenArea(globalPos);
        const bool rich = Qt::mightBeRichText(m_text);
        m_document.setTextWidth(rich ? screen.width() / 4 : -1);
        const qreal width = m_document.idealWidth();
        if (width != m_document.textWidth())
            m_document.setTextWidth(width);
        const QSize size(int(std::ceil(width)) + 2 * m_margin,
                         int(std::ceil(m_document.size().height())) + 2 * m_margin);
        resize(size.boundedTo(screen.size()));
    }

    // Below and right of the pointer, kept on its screen.
    void place(const QPoint& globalPos)
    {
        const QRect screen = screenArea(globalPos);
        QPoint p = globalPos + QPoint(2, 16);
        if (p.x() + width() > screen.right() + 1)
            p.rx() -= 4 + width();
        if (p.y() + height() > screen.bottom() + 1)
            p.ry() -= 24 + height();
        p.setX(qBound(screen.left(), p.x(), qMax(screen.left(), screen.right() + 1 - width())));
        p.setY(qBound(screen.top(), p.y(), qMax(screen.top(), screen.bottom() + 1 - height())));
        move(p);
    }

    VYRQTextDocument m_document;
    QString m_text;
    QPointer<QWidget> m_widget;
    QRect m_rect;
    QBasicTimer m_hideTimer;
    QBasicTimer m_expireTimer;
    int m_margin = 1;
};

// One for the process, as QToolTip has: kept once made, never parented, so that no
// window or container ever takes it for a child of its own.
QPointer<TipWindow>& theTip()
{
    static QPointer<TipWindow> window;
    return window;
}

} // namespace

void VYRQToolTip::showText(const QPoint& globalPos, const QString& text, QWidget* widget, const QRect& rect,
                           int msecShowTime)
{
    if (text.isEmpty() || !widget) {
        hideText();
        return;
    }
    QPointer<TipWindow>& window = theTip();
    if (!window)
        window = new TipWindow;
    window->showTip(globalPos, text, widget, rect, msecShowTime);
}

void VYRQToolTip::hideText()
{
    if (TipWindow* window = theTip())
        window->hideNow();
}

bool VYRQToolTip::isVisible()
{
    TipWindow* window = theTip();
    return window && window->isVisible();
}

QString VYRQToolTip::text()
{
    return isVisible() ? theTip()->text() : QString();
}

QWidget* VYRQToolTip::tipWindow()
{
    return theTip();
}

bool VYRQToolTip::showFor(QWidget* widget, const QHelpEvent* event)
{
    const QString text = widget ? widget->toolTip() : QString();
    if (text.isEmpty())
        return false;
    showText(event->globalPos(), text, widget, QRect(), widget->toolTipDuration());
    return true;
}
