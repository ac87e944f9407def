#include "VYRQWindow.h"

#include "VYRQMDIArea.h"
#include "VYRQResourceManager.h"
#include "VYRQWindowImpl_p.h"

#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShowEvent>

#ifdef Q_OS_WIN
#include "IVYRQWidgetBase.h"

#include <QApplication>
#include <qt_windows.h>

#include <cmath>
#endif

VYRQWindow::VYRQWindow(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , VYRQWindowFrame(new VYRQWindowImpl(this, QString::fromLatin1(typeName())))
{
    m_impl->eventLoop = new QEventLoop(this);
    VYRQResourceManager::getInstance()->registerWindow(this);
}

VYRQWindow::~VYRQWindow()
{
    VYRQResourceManager::getInstance()->unregisterWindow(this);
    m_impl->releasePress();
    // A window destroyed from inside its own modal run: the loop object must outlive
    // its exec(), so it leaves the window and goes once control is back outside.
    if (QEventLoop* loop = m_impl->eventLoop; loop && loop->isRunning()) {
        loop->setParent(nullptr);
        loop->exit(0);
        loop->deleteLater();
    }
    setProperty("impl", QVariant());
}


void VYRQWindow::setMinWidth(int width)
{
    m_impl->minWidth = qMax(width, 0);
    setMinimumWidth(m_impl->minWidth);
}

void VYRQWindow::setMinHeight(int height)
{
    m_impl->minHeight = qMax(height, 0);
    setMinimumHeight(m_impl->minHeight);
}

void VYRQWindow::setMinSize(int width, int height)
{
    m_impl->minWidth = qMax(width, 0);
    m_impl->minHeight = qMax(height, 0);
    setMinimumSize(m_impl->minWidth, m_impl->minHeight);
}

QSize VYRQWindow::getMinSize() const
{
    return QSize(m_impl->minWidth, m_impl->minHeight);
}

void VYRQWindow::setMDIArea(VYRQMDIArea* area) { m_impl->mdiArea = area; }
VYRQMDIArea* VYRQWindow::getMDIArea() const { return m_impl->mdiArea; }

void VYRQWindow::doModal()
{
    QPointer<QEventLoop> loop = m_impl->eventLoop;
    if (!loop || loop->isRunning())
        return;
    setWindowModality(Qt::ApplicationModal);
    show();
    loop->exec();
}

void VYRQWindow::closeModal()
{
    if (m_impl->eventLoop)
        m_impl->eventLoop->exit(0);
}

void VYRQWindow::ToJsonString(QString&)
{
}

void VYRQWindow::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // Hidden by any way (close, hide, Escape's reject): a modal run must not outlive
    // the window it shows.
    if (!visible && !m_impl->changingWindowFlags)
        closeModal();
}

void VYRQWindow::mousePressEvent(QMouseEvent* event)
{
    // The base handler ignores the event; the window's own handling accepts it.
    QDialog::mousePressEvent(event);
    m_impl->mousePressEvent(event);
}

void VYRQWindow::mouseMoveEvent(QMouseEvent* event)
{
    QDialog::mouseMoveEvent(event);
    m_impl->mouseMoveEvent(event);
}

void VYRQWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_impl->mouseReleaseEvent(event);
    QDialog::mouseReleaseEvent(event);
}

void VYRQWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_impl->mouseDoubleClickEvent(event);
    QDialog::mouseDoubleClickEvent(event);
}

void VYRQWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_impl->drawControl(&painter, rect());
}

void VYRQWindow::resizeEvent(QResizeEvent* event)
{
    m_impl->resizeChildren();
    QDialog::resizeEvent(event);
}

void VYRQWindow::closeEvent(QCloseEvent* event)
{
    closeModal();
    m_impl->releasePress();
    // QWidget's handler, not QDialog's: closing is not a rejection.
    QWidget::closeEvent(event);
}

void VYRQWindow::showEvent(QShowEvent* event)
{
    // The window system window is created for the first show and again after a
    // change of window flags.
    m_impl->watchWindowHandle();
    QDialog::showEvent(event);
}

void VYRQWindow::hideEvent(QHideEvent* event)
{
    m_impl->releasePress();
    QDialog::hideEvent(event);
}

void VYRQWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
        m_impl->windowStateChanged(static_cast<QWindowStateChangeEvent*>(event)->oldState());
    QDialog::changeEvent(event);
}

#ifdef Q_OS_WIN
namespace {

bool blocksCaption(QWidget* widget)
{
    if (VYRQWindowImpl::isInputWidget(widget) || VYRQWindowImpl::handlesClicks(widget))
        return true;
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget)) {
        const QString type = control->getTypeName();
        return type != QLatin1String("qtcontainer") && type != QLatin1String("qtlabel");
    }
    return false;
}

long roundHalfUp(double value)
{
    return long(std::floor(value + 0.5));
}

} // namespace

bool VYRQWindow::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    if (!message || !result || !(windowFlags() & Qt::FramelessWindowHint))
        return QWidget::nativeEvent(eventType, message, result);

    MSG* msg = static_cast<MSG*>(message);
    VYRQWindowImpl* d = m_impl.get();
    switch (msg->message) {
    case WM_NCPAINT:
        *result = 0;
        return true;
    case WM_NCACTIVATE:
        *result = 1;
        return true;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(msg->lParam);
        if (!msg->hwnd || !info)
            break;
        HMONITOR monitor = MonitorFromWindow(msg->hwnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO monitorInfo;
        ZeroMemory(&monitorInfo, sizeof monitorInfo);
        monitorInfo.cbSize = sizeof monitorInfo;
        if (!monitor || !GetMonitorInfoA(monitor, &monitorInfo))
            break;
        const RECT& work = monitorInfo.rcWork;
        const RECT& full = monitorInfo.rcMonitor;
        info->ptMaxPosition.x = work.left - full.left;
        info->ptMaxPosition.y = work.top - full.top;
        info->ptMaxSize.x = work.right - work.left;
        info->ptMaxSize.y = work.bottom - work.top;
        if (IsZoomed(msg->hwnd))
            info->ptMaxTrackSize = info->ptMaxSize;
        const double ratio = devicePixelRatioF();
        // A minimum given through QWidget holds as well as the frame's own.
        info->ptMinTrackSize.x = roundHalfUp(qMax(d->minWidth, minimumWidth()) * ratio);
        info->ptMinTrackSize.y = roundHalfUp(qMax(d->minHeight, minimumHeight()) * ratio);
        *result = 0;
        return true;
    }
    case WM_NCCALCSIZE:
        *result = 0;
        return true;
    case WM_NCHITTEST: {
        // Keeps system resizing, snapping and minimise/maximise for a frameless window.
        const LONG_PTR wanted = WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        const LONG_PTR style = GetWindowLongPtrA(msg->hwnd, GWL_STYLE);
        if ((style & wanted) != wanted) {
            SetWindowLongPtrA(msg->hwnd, GWL_STYLE, style | wanted);
            SetWindowPos(msg->hwnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
        const QPoint global(short(LOWORD(msg->lParam)), short(HIWORD(msg->lParam)));
        const QPoint local = mapFromGlobal(global);
        const QRect area = rect();
        if (!area.contains(local))
            break;

        if (d->resizeable && !isMaximized() && !isFullScreen()) {
            const int b = d->borderWidth;
            const int x = local.x();
            const int y = local.y();
            const bool left = x >= area.left() && x < area.left() + b;
            const bool right = x > area.right() - b && x <= area.right();
            const bool top = y >= area.top() && y < area.top() + b;
            const bool bottom = y > area.bottom() - b && y <= area.bottom();
            long hit = 0;
            if (top && left)
                hit = HTTOPLEFT;
            else if (top && right)
                hit = HTTOPRIGHT;
            else if (bottom && left)
                hit = HTBOTTOMLEFT;
            else if (bottom && right)
                hit = HTBOTTOMRIGHT;
            else if (left)
                hit = HTLEFT;
            else if (right)
                hit = HTRIGHT;
            else if (top)
                hit = HTTOP;
            else if (bottom)
                hit = HTBOTTOM;
            if (hit) {
                *result = hit;
                return true;
            }
        }

        if (!d->canDrag || (d->onlyDragCaption && local.y() > d->captionHeight))
            break;
        for (QWidget* w = QApplication::widgetAt(global); w && w != this; w = w->parentWidget()) {
            if (blocksCaption(w))
                return QWidget::nativeEvent(eventType, message, result);
        }
        *result = HTCAPTION;
        return true;
    }
    default:
        break;
    }
    return QWidget::nativeEvent(eventType, message, result);
}
#endif

#include "moc_VYRQWindow.cpp"
