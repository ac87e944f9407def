#include "VYRQWindowImpl_p.h"

#include "IVYRQWidgetBase.h"
#include "VYRQWidgetBase.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTabBar>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {

// How long a window manager's move or resize must rest before the window is held: it
// moves a window in many steps, and a hold between them would fight the operator's hand.
constexpr int kSettleDelay = 200;
// How long a border resize waits for the window system to answer its last step before it
// takes the next one regardless (a step that changed nothing gets no answer).
constexpr int kStepWait = 100;

// The window that follows the current press; null when no press is followed.
// Held through QPointer so that a destroyed window cannot leave the flag set.
QPointer<QWidget>& pressOwner()
{
    static QPointer<QWidget> owner;
    return owner;
}

bool allowsDrag(QWidget* window, QWidget* hit)
{
    if (!hit || hit == window)
        return true;
    auto* control = dynamic_cast<IVYRQWidgetBase*>(hit);
    if (!control)
        return true;
    const QString type = control->getTypeName();
    return type == QLatin1String("qtcontainer") || type == QLatin1String("qtlabel");
}

// QObject::isSignalConnected is protected; a pointer to it taken through a
// derived class may be applied to any object.
struct SignalProbe : QObject {
    static bool isConnected(const QObject* object, const QMetaMethod& signal)
    {
        return (object->*(&SignalProbe::isSignalConnected))(signal);
    }
};

bool listensForClicks(const QObject* object)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Signal)
            continue;
        const QByteArray name = method.name();
        if ((name == "clicked" || name == "mouseClickEvent") && SignalProbe::isConnected(object, method))
            return true;
    }
    return false;
}

QWidget* hitTestIn(QWidget* widget, QWidget* root, const QPoint& point)
{
    if (!widget || widget->isHidden())
        return nullptr;
    const QRect area(widget == root ? QPoint(0, 0) : widget->mapTo(root, QPoint(0, 0)), widget->size());
    if (!area.contains(point))
        return nullptr;
    const QObjectList& children = widget->children();
    for (int i = children.size() - 1; i >= 0; --i) {
        if (!children.at(i)->isWidgetType())
            continue;
        if (QWidget* hit = hitTestIn(static_cast<QWidget*>(children.at(i)), root, point))
            return hit;
    }
    return widget;
}

} // namespace

VYRQWindowImpl::VYRQWindowImpl(QWidget* owner, const QString& typeKey)
    : VYRQWidgetBaseImpl(owner, typeKey)
{
#ifndef Q_OS_WIN
    doubleClickMaximize = !isSubWindow();
#endif
    m_settleTimer.setSingleShot(true);
    connect(&m_settleTimer, &QTimer::timeout, this, &VYRQWindowImpl::holdToScreen);
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &VYRQWindowImpl::stepAnswered);
    // A screen added or removed changes the areas even where the owner's own screen
    // stays: held once Qt has moved its windows off a screen that went.
    for (auto signal : {&QGuiApplication::screenAdded, &QGuiApplication::screenRemoved})
        connect(qGuiApp, signal, this, [this] {
            watchScreens();
            holdWhenSettled(0);
        });
}

VYRQWindowImpl::~VYRQWindowImpl()
{
    if (pressOwner() == owner())
        pressOwner().clear();
}

bool VYRQWindowImpl::isSubWindow() const
{
    return typeKey() == QLatin1String("VYRSubWin");
}

void VYRQWindowImpl::drawControl(QPainter* painter, const QRect& rect)
{
    if (!showBackground || !painter)
        return;
    if (useFillColor)
        paintFillStyle(painter, backgroundColor, rect.x(), rect.y(), rect.width(), rect.height());
    else
        drawNinePatchImage(painter, backgroundImage, backgroundImageDesc, rect.x(), rect.y(), rect.width(),
                           rect.height());
}

VYRQWindowImpl::ResizeEdge VYRQWindowImpl::edgeAt(const QPoint& pos) const
{
    const QWidget* w = owner();
    if (!w)
        return EdgeNone;
    const int b = borderWidth;
    const bool nearLeft = pos.x() < b;
    const bool nearRight = pos.x() > w->width() - b;
    const bool nearTop = pos.y() < b;
    const bool nearBottom = pos.y() > w->height() - b;
    if (nearBottom && nearRight)
        return EdgeBottomRight;
    if (nearTop && nearLeft)
        return EdgeTopLeft;
    if (nearBottom && nearLeft)
        return EdgeBottomLeft;
    if (nearTop && nearRight)
        return EdgeTopRight;
    if (nearLeft)
        return EdgeLeft;
    if (nearRight)
        return EdgeRight;
    if (nearTop)
        return EdgeTop;
    if (nearBottom)
        return EdgeBottom;
    return EdgeNone;
}

Qt::CursorShape VYRQWindowImpl::cursorFor(ResizeEdge edge)
{
    switch (edge) {
    case EdgeLeft:
    case EdgeRight:
        return Qt::SizeHorCursor;
    case EdgeTop:
    case EdgeBottom:
        return Qt::SizeVerCursor;
    case EdgeBottomRight:
    case EdgeTopLeft:
        return Qt::SizeFDiagCursor;
    case EdgeTopRight:
    case EdgeBottomLeft:
        return Qt::SizeBDiagCursor;
    case EdgeNone:
        break;
    }
    return Qt::ArrowCursor;
}

bool VYRQWindowImpl::isMousePressed()
{
    QWidget* w = pressOwner();
    if (!w)
        return false;
    // A window that was hidden or lost its grab without seeing the release (a popup
    // took the mouse, the grab was broken) must not keep every other window from
    // following a press.
    if (!w->isVisible() || QWidget::mouseGrabber() != w) {
        if (auto* impl = qobject_cast<VYRQWindowImpl*>(fromWidget(w)))
            impl->releasePress();
        pressOwner().clear();
        return false;
    }
    return true;
}

QWidget* VYRQWindowImpl::mousePressedBy()
{
    return isMousePressed() ? pressOwner().data() : nullptr;
}

void VYRQWindowImpl::mousePressEvent(QMouseEvent* event)
{
    QWidget* w = owner();
    if (!w || !event || isMousePressed())
        return;
    if (isSubWindow())
        w->raise();
    const bool maximized = w->isMaximized();
    const QPoint pos = event->pos();
    const ResizeEdge edge = resizeable && !maximized ? edgeAt(pos) : EdgeNone;
    // A press that a clickable control let through (a row with a click signal) is
    // its own: grabbing the mouse here would take the release that makes its click.
    QWidget* hit = hitTest(w, pos.x(), pos.y());
    if (edge == EdgeNone && pressBelongsToControl(hit))
        return;
    m_pressMoved = false;
    if (edge != EdgeNone) {
        resizeEdge = edge;
        m_ownMinimum = w->minimumSize();
        m_ownMaximum = w->maximumSize();
        m_pressGeometry = QRect(w->pos(), w->size());
    }
    if (canDrag && !maximized && event->button() == Qt::LeftButton) {
        const bool allowed = allowsDrag(w, hit);
        dragging = allowed && (!onlyDragCaption || pos.y() <= captionHeight);
    }
    pressPos = event->globalPos();
    event->accept();
    pressOwner() = w;
    w->grabMouse();
}

bool VYRQWindowImpl::pressBelongsToControl(QWidget* hit) const
{
    QWidget* w = owner();
    for (QWidget* widget = hit; widget && widget != w; widget = widget->parentWidget()) {
        if (handlesClicks(widget))
            return true;
    }
    return false;
}

bool VYRQWindowImpl::isInputWidget(QWidget* widget)
{
    return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractItemView*>(widget)
        || qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QAbstractSpinBox*>(widget)
        || qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) || qobject_cast<QTabBar*>(widget);
}

bool VYRQWindowImpl::handlesClicks(QWidget* widget)
{
    if (!widget || !widget->isEnabled())
        return false;
    return isInputWidget(widget) || listensForClicks(widget);
}

void VYRQWindowImpl::watchWindowHandle()
{
    QWidget* w = owner();
    QWindow* handle = w && w->isWindow() ? w->windowHandle() : nullptr;
    if (handle == m_watchedHandle)
        return;
    if (m_watchedHandle) {
        m_watchedHandle->removeEventFilter(this);
        disconnect(m_watchedHandle, nullptr, this, nullptr);
    }
    m_watchedHandle = handle;
    watchScreens();
    if (!handle)
        return;
    handle->installEventFilter(this);
    connect(handle, &QWindow::screenChanged, this, &VYRQWindowImpl::holdToScreen);
}

bool VYRQWindowImpl::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // The window system placed the window elsewhere than the owner put it: the window
    // manager moved or resized it. (The owner's own moves arrive with its geometry.)
    if (watched == m_watchedHandle && (type == QEvent::Move || type == QEvent::Resize) && owner()
        && m_watchedHandle->geometry() != owner()->geometry())
        holdWhenSettled(kSettleDelay);
    // The window system placed the window after a border resize step: the next step
    // starts from where it is now, once Qt has told the widget as well.
    if (watched == m_watchedHandle && (type == QEvent::Move || type == QEvent::Resize) && m_stepTimer.isActive()) {
        m_stepTimer.stop();
        QMetaObject::invokeMethod(
            this,
            [this] {
                // Unless a step the mouse took meanwhile waits for its own answer.
                if (!m_stepTimer.isActive())
                    stepAnswered();
            },
            Qt::QueuedConnection);
    }
    if (watched != m_watchedHandle
        || (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove))
        return VYRQWidgetBaseImpl::eventFilter(watched, event);
    QWidget* w = owner();
    if (!w || !resizeable || w->isMaximized() || w->isFullScreen())
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    // The window system window and a top-level widget share their coordinates.
    const QPoint pos = mouse->pos();
    if (type == QEvent::MouseMove) {
        if (mouse->buttons() == Qt::NoButton && resizeEdge == EdgeNone)
            followHover(pos);
        return false;
    }
    // Children get their presses as Qt delivers them everywhere else, and so does the
    // window itself where nothing lies over the band.
    if (mouse->button() != Qt::LeftButton || edgeAt(pos) == EdgeNone || w->childAt(pos) == nullptr)
        return false;
    if (type == QEvent::MouseButtonPress && isMousePressed())
        return false;
    // A child under the band (a page's scroll bar along the window's edge) would take
    // the press for itself: the frame's border comes first.
    QMouseEvent own(type, mouse->localPos(), mouse->windowPos(), mouse->screenPos(), mouse->button(),
                    mouse->buttons(), mouse->modifiers(), mouse->source());
    QCoreApplication::sendEvent(w, &own);
    return true;
}

void VYRQWindowImpl::mouseMoveEvent(QMouseEvent* event)
{
    QWidget* w = owner();
    if (!w || !event)
        return;
    if (resizeable && !w->isMaximized()) {
        if (resizeEdge == EdgeNone)
            followHover(event->pos());
        else
            followEdge(event->globalPos());
    }
    if (resizeEdge == EdgeNone && canDrag && dragging && event->buttons() != Qt::NoButton && !w->isMaximized()) {
        const QPoint globalPos = event->globalPos();
        w->move(w->pos() + (globalPos - pressPos));
        pressPos = globalPos;
        m_pressMoved = true;
        event->accept();
    }
}

void VYRQWindowImpl::followHover(const QPoint& pos)
{
    QWidget* w = owner();
    const ResizeEdge edge = edgeAt(pos);
    if (edge != EdgeNone) {
        w->setCursor(cursorFor(edge));
        cursorSet = true;
    } else if (cursorSet && !dragging) {
        w->setCursor(Qt::ArrowCursor);
        cursorSet = false;
    }
}

void VYRQWindowImpl::followEdge(const QPoint& globalPos)
{
    m_edgeTarget = globalPos;
    // One step at a time: a step sent before the window system answered the last would
    // carry a place it no longer has, and undo what a window manager made of it.
    m_edgeBehind = m_stepTimer.isActive();
    if (!m_edgeBehind)
        resizeByEdge(globalPos);
}

void VYRQWindowImpl::stepAnswered()
{
    if (resizeEdge != EdgeNone && std::exchange(m_edgeBehind, false))
        resizeByEdge(m_edgeTarget);
}

void VYRQWindowImpl::resizeByEdge(const QPoint& globalPos)
{
    QWidget* w = owner();
    // Measured from the press, not from the last step: an edge held at the minimum
    // must not drag the opposite edge along, and steps that the window system applied
    // late or not at all must not add up.
    const int dx = globalPos.x() - pressPos.x();
    const int dy = globalPos.y() - pressPos.y();
    const bool left = resizeEdge == EdgeLeft || resizeEdge == EdgeTopLeft || resizeEdge == EdgeBottomLeft;
    const bool right = resizeEdge == EdgeRight || resizeEdge == EdgeTopRight || resizeEdge == EdgeBottomRight;
    const bool top = resizeEdge == EdgeTop || resizeEdge == EdgeTopLeft || resizeEdge == EdgeTopRight;
    const bool bottom = resizeEdge == EdgeBottom || resizeEdge == EdgeBottomLeft || resizeEdge == EdgeBottomRight;

    // The window's minimum counts as well as the frame's own.
    const int minW = qMax(minWidth, m_ownMinimum.width());
    const int minH = qMax(minHeight, m_ownMinimum.height());
    const int maxW = qMax(minW, m_ownMaximum.width());
    const int maxH = qMax(minH, m_ownMaximum.height());
    QRect target = m_pressGeometry;
    if (left)
        target.setLeft(target.right() + 1 - qBound(minW, m_pressGeometry.width() - dx, maxW));
    else if (right)
        target.setWidth(qBound(minW, m_pressGeometry.width() + dx, maxW));
    if (top)
        target.setTop(target.bottom() + 1 - qBound(minH, m_pressGeometry.height() - dy, maxH));
    else if (bottom)
        target.setHeight(qBound(minH, m_pressGeometry.height() + dy, maxH));
    // A right or bottom edge changes the size only: the window stays wherever it is
    // now. A window manager may have moved it to keep it on a screen; putting it back
    // at each step would fight it, and the window would jump to and fro under the hand.
    const bool sizeOnly = !left && !top;
    if (sizeOnly ? target.size() == w->size() : target == QRect(w->pos(), w->size()))
        return;
    m_pressMoved = true;
    // Fixed sizes pin the window while the edge follows the mouse; the release gives
    // its own limits back. Loosened first, so that the move and the new size arrive
    // as one change.
    w->setMinimumSize(w->size().boundedTo(target.size()));
    w->setMaximumSize(w->size().expandedTo(target.size()));
    if (sizeOnly)
        w->resize(target.size());
    else
        // move() places the frame, setGeometry() the client area: they differ by the
        // decoration of a window that has one.
        w->setGeometry(target.translated(w->geometry().topLeft() - w->pos()));
    w->setFixedSize(target.size());
    if (w->isWindow() && m_watchedHandle)
        m_stepTimer.start(kStepWait);
}

void VYRQWindowImpl::mouseReleaseEvent(QMouseEvent*)
{
    releasePress();
}

void VYRQWindowImpl::releasePress()
{
    QWidget* w = owner();
    // The edge ends where the mouse left it.
    if (resizeEdge != EdgeNone && w && std::exchange(m_edgeBehind, false))
        resizeByEdge(m_edgeTarget);
    m_stepTimer.stop();
    if (resizeEdge != EdgeNone && w) {
        if (resizeable)
            w->setCursor(Qt::ArrowCursor);
        // The new size stays; the pinning goes, or the window manager could
        // neither maximise nor resize the window any more.
        w->setMinimumSize(m_ownMinimum);
        w->setMaximumSize(m_ownMaximum);
    }
    // Cleared whatever the resize setting is now, so that a later hover never
    // resizes without a press.
    resizeEdge = EdgeNone;
    dragging = false;
    if (w && QWidget::mouseGrabber() == w)
        w->releaseMouse();
    if (pressOwner() == w)
        pressOwner().clear();
    // However the press ended (a release, a lost grab): where the press put the window,
    // or where the screens changed under it, it is held as after a move by the window
    // manager. Once control is back in the event loop: the owner may be on its way out.
    const bool pending = std::exchange(m_holdPending, false);
    if (std::exchange(m_pressMoved, false) || pending)
        holdWhenSettled(0);
}

void VYRQWindowImpl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (doubleClickMaximize && event && event->button() == Qt::LeftButton && event->pos().y() < captionHeight)
        toggleMaximized();
}

void VYRQWindowImpl::toggleMaximized()
{
    QWidget* w = owner();
    if (!w)
        return;
    if (!w->isMaximized()) {
        maximise();
        return;
    }
    // Restored on a screen that cannot hold the window at its own minimum, its buttons
    // and borders would lie past the screen's edges: it stays maximised.
    if (!fitsIn(normalMinimum(), maximisedArea())) {
        maximise();
        return;
    }
    w->setWindowState(w->windowState() & ~Qt::WindowMaximized);
    // A sub-window hears of no state change; a window has been restored already.
    restoreNormalGeometry();
}

void VYRQWindowImpl::maximise()
{
    QWidget* w = owner();
    const QRect area = maximisedArea();
    if (!w || !area.isValid())
        return;
    if (!m_limitsLifted) {
        // A window maximised by someone else (the window manager) remembers its
        // normal geometry itself; a sub-window has none but its own.
        m_normalGeometry = w->isWindow() && w->isMaximized() ? w->normalGeometry() : w->geometry();
        m_normalMinimum = w->minimumSize();
        m_normalMaximum = w->maximumSize();
        m_limitsLifted = true;
    }
    // Limits the window was given would keep it from filling the area.
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Placed here as well as maximised: without a window manager nothing else would.
    // A window manager then remembers the area as the geometry to restore, so the
    // restore puts the window back itself (windowStateChanged).
    w->setGeometry(area);
    if (!w->isMaximized())
        w->setWindowState(w->windowState() | Qt::WindowMaximized);
}

void VYRQWindowImpl::windowStateChanged(Qt::WindowStates oldState)
{
    QWidget* w = owner();
    if (!w)
        return;
    if ((oldState & Qt::WindowMaximized) && !w->isMaximized())
        restoreNormalGeometry();
    // The screens may have changed while it was minimised; the window manager places
    // it again as it restores it.
    if ((oldState & Qt::WindowMinimized) && !w->isMinimized())
        holdWhenSettled(kSettleDelay);
}

void VYRQWindowImpl::restoreNormalGeometry()
{
    QWidget* w = owner();
    if (!w || !m_limitsLifted)
        return;
    const bool normal = !(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    const QRect area = maximisedArea();
    if (!fitsIn(m_normalMinimum, area)) {
        // Restored by someone else on a screen that cannot hold the window at its own
        // minimum: it keeps the lifted limits and takes the whole area.
        if (normal)
            w->setGeometry(area);
        return;
    }
    m_limitsLifted = false;
    w->setMinimumSize(m_normalMinimum);
    w->setMaximumSize(m_normalMaximum);
    if (normal)
        w->setGeometry(m_normalGeometry);
    holdToScreen();
}

void VYRQWindowImpl::holdToScreen()
{
    QWidget* w = owner();
    if (!w || !holdsToScreens || !w->isWindow() || !w->isVisible()
        || (w->windowState() & (Qt::WindowMinimized | Qt::WindowFullScreen)))
        return;
    // A window that follows a press is where the operator puts it, until the press ends.
    if (pressOwner() == w) {
        m_holdPending = true;
        return;
    }
    const QRect area = maximisedArea();
    if (!area.isValid())
        return;
    if (w->isMaximized()) {
        // Fitted to its area again: without a window manager nothing else would.
        maximise();
        return;
    }
    const QSize minimum = normalMinimum();
    if (!fitsIn(minimum, area)) {
        if (m_limitsLifted)
            w->setGeometry(area);
        else
            maximise();
        return;
    }
    if (m_limitsLifted) {
        // The screen holds the window at its own minimum again: the limits come back.
        m_limitsLifted = false;
        w->setMinimumSize(m_normalMinimum);
        w->setMaximumSize(m_normalMaximum);
    } else if (onScreens(w->frameGeometry())) {
        // Anywhere on the screens, across two of them too, is the operator's choice;
        // not past the desktop, nor in the corner that screens of unequal size leave.
        return;
    }
    // Held as a window manager places a new window: its size within the area, then its
    // frame moved onto the area.
    const QRect frame = w->frameGeometry();
    const QSize decoration = frame.size() - w->size();
    const QSize size = w->size().boundedTo(area.size() - decoration).expandedTo(w->minimumSize());
    const QPoint topLeft(qBound(area.left(), frame.left(), area.right() + 1 - size.width() - decoration.width()),
                         qBound(area.top(), frame.top(), area.bottom() + 1 - size.height() - decoration.height()));
    w->resize(size);
    w->move(topLeft);
}

QRect VYRQWindowImpl::maximisedArea() const
{
    QWidget* w = owner();
    if (!w)
        return QRect();
    if (!w->isWindow())
        return w->parentWidget() ? w->parentWidget()->rect() : QRect();
    QScreen* screen = centreScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QScreen* VYRQWindowImpl::centreScreen() const
{
    QWidget* w = owner();
    QScreen* own = w ? w->screen() : nullptr;
    if (!own)
        own = QGuiApplication::primaryScreen();
    if (!own || !w)
        return own;
    const QPoint centre = w->frameGeometry().center();
    QScreen* nearest = own;
    qint64 nearestDistance = -1;
    for (QScreen* screen : own->virtualSiblings()) {
        const QRect area = screen->geometry();
        if (area.contains(centre))
            return screen;
        const qint64 dx = qMax(qMax(area.left() - centre.x(), centre.x() - area.right()), 0);
        const qint64 dy = qMax(qMax(area.top() - centre.y(), centre.y() - area.bottom()), 0);
        if (nearestDistance < 0 || dx * dx + dy * dy < nearestDistance) {
            nearestDistance = dx * dx + dy * dy;
            nearest = screen;
        }
    }
    return nearest;
}

QSize VYRQWindowImpl::normalMinimum() const
{
    QWidget* w = owner();
    return m_limitsLifted || !w ? m_normalMinimum : w->minimumSize();
}

bool VYRQWindowImpl::fitsIn(const QSize& minimum, const QRect& area)
{
    return !area.isValid() || (minimum.width() <= area.width() && minimum.height() <= area.height());
}

bool VYRQWindowImpl::onScreens(const QRect& frame) const
{
    QScreen* screen = centreScreen();
    if (!screen)
        return true;
    QRegion screens;
    for (QScreen* sibling : screen->virtualSiblings())
        screens += sibling->availableGeometry();
    return (QRegion(frame) - screens).isEmpty();
}

void VYRQWindowImpl::watchScreens()
{
    for (const QPointer<QScreen>& screen : qAsConst(m_watchedScreens))
        if (screen)
            disconnect(screen, nullptr, this, nullptr);
    m_watchedScreens.clear();
    QWidget* w = owner();
    if (!w || !w->isWindow() || !m_watchedHandle)
        return;
    for (QScreen* screen : QGuiApplication::screens()) {
        connect(screen, &QScreen::geometryChanged, this, &VYRQWindowImpl::holdToScreen);
        connect(screen, &QScreen::availableGeometryChanged, this, &VYRQWindowImpl::holdToScreen);
        m_watchedScreens << screen;
    }
}

void VYRQWindowImpl::holdWhenSettled(int delay)
{
    m_settleTimer.start(delay);
}

void VYRQWindowImpl::resizeChildren()
{
    QWidget* w = owner();
    if (!w)
        return;
    const QObjectList children = w->children();
    for (QObject* child : children) {
        auto* control = dynamic_cast<IVYRQWidgetBase*>(child);
        if (!control)
            continue;
        if (VYRQWidgetBase* base = control->getControlBase())
            base->resizeWidget();
    }
}

void VYRQWindowImpl::setResizeable(bool on)
{
    resizeable = on;
    if (QWidget* w = owner())
        w->setMouseTracking(on);
}

void VYRQWindowImpl::setTransparent(bool on)
{
    QWidget* w = owner();
    if (!w)
        return;
    if (on) {
        if (!(w->windowFlags() & Qt::FramelessWindowHint)) {
            // Changing window flags hides a shown window; show it again.
            const bool wasVisible = w->isVisible();
            changingWindowFlags = true;
            w->setWindowFlags(w->windowFlags() | Qt::FramelessWindowHint);
            if (wasVisible)
                w->show();
            changingWindowFlags = false;
        }
        w->setAttribute(Qt::WA_TranslucentBackground, true);
    } else {
        w->setAttribute(Qt::WA_TranslucentBackground, false);
    }
}

void VYRQWindowImpl::setX(int x)
{
    if (QWidget* w = owner()) {
        QRect rect = w->geometry();
        rect.setLeft(x);
        w->setGeometry(rect);
    }
}

void VYRQWindowImpl::setY(int y)
{
    if (QWidget* w = owner()) {
        QRect rect = w->geometry();
        rect.setTop(y);
        w->setGeometry(rect);
    }
}

void VYRQWindowImpl::centerWindow()
{
    QWidget* w = owner();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!w || !screen)
        return;
    const QRect area = screen->geometry();
    w->move((area.width() - w->width()) / 2, (area.height() - w->height()) / 2);
}

QWidget* VYRQWindowImpl::hitTest(QWidget* root, int x, int y)
{
    return hitTestIn(root, root, QPoint(x, y));
}

#include "moc_VYRQWindowImpl_p.cpp"
