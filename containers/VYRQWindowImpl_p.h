#pragma once

#include "VYRQStyleDefs.h"
#include "VYRQWidgetBaseImpl.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QVector>
#include <QWidget>

class QEventLoop;
class QMouseEvent;
class QPainter;
class QScreen;
class QWindow;
class VYRQMDIArea;

// The implementation object shared by VYRQWindow ("VYRWindow") and VYRQSubWin
// ("VYRSubWin"): window settings, background painting, the mouse-driven move and
// border resize, and the child relayout on resize.
// Private, but exported: the test suites reach into it.
class VYRQTLIB_EXPORT VYRQWindowImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    enum ResizeEdge {
        EdgeNone = -1,
        EdgeLeft = 0,
        EdgeRight = 1,
        EdgeTop = 2,
        EdgeBottom = 3,
        EdgeBottomRight = 4,
        EdgeTopRight = 5,
        EdgeTopLeft = 6,
        EdgeBottomLeft = 7
    };

    VYRQWindowImpl(QWidget* owner, const QString& typeKey);
    ~VYRQWindowImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // The zone of a position in the owner's coordinates (EdgeNone outside all zones).
    ResizeEdge edgeAt(const QPoint& pos) const;
    static Qt::CursorShape cursorFor(ResizeEdge edge);

    // Ends a press this window follows: drag and resize state, the mouse grab and
    // the process-wide pressed flag (only when this window set it); then holds the
    // window to the screens if the press moved or resized it, or put a hold off.
    void releasePress();
    // Lays out the owner's direct library children (resizeWidget on each).
    void resizeChildren();
    // Maximised to the screen's available geometry (a sub-window to its parent's
    // rectangle), or back to the geometry and size limits it had before. A window
    // whose own minimum the area cannot hold stays maximised.
    void toggleMaximized();
    // Watches the window system window of a top-level owner (again after it is
    // re-created): a left press in the border band reaches the frame before any child
    // widget under it, and the resize cursor shows over children too. Watches where its
    // geometry settles as well (holdToScreen): a move or resize by the window manager,
    // its screen, and every screen added, removed or resized.
    void watchWindowHandle();
    // The owner's window state changed, by this frame, by QWidget::showNormal and its
    // kin, or by the window manager: a window this frame maximised gets its geometry
    // and size limits back whoever ends the maximised state. Where the screen cannot
    // hold its minimum, it keeps the lifted limits and takes the available area. A
    // window restored from minimised is held to the screens.
    void windowStateChanged(Qt::WindowStates oldState);
    // The one rule of a top-level owner's place, kept wherever its geometry settles:
    // the whole window lies on the screens' available areas. Where it does not, it is
    // held within the available area of the screen its centre is on (the nearest one
    // when its centre is on none), no larger than that area; a window the area cannot
    // hold at its own minimum is maximised there, and a maximised window fills it.
    // While the owner follows a press, the hold waits for the press to end.
    void holdToScreen();

    void setResizeable(bool on);
    void setTransparent(bool on);
    void setX(int x);
    void setY(int y);
    void centerWindow();

    static QWidget* hitTest(QWidget* root, int x, int y);
    // A button, item view, slider, spin box, combo box, line edit or tab bar.
    static bool isInputWidget(QWidget* widget);
    // Whether the widget makes something of a click by itself: an enabled input
    // widget, or one whose clicked() or mouseClickEvent() signal someone listens to.
    static bool handlesClicks(QWidget* widget);
    // The process-wide pressed flag shared by every window and sub-window, and the
    // window that set it.
    static bool isMousePressed();
    static QWidget* mousePressedBy();

    int resizeEdge = EdgeNone;
    bool resizeable = false;
    bool canDrag = true;
    int borderWidth = 4;
    bool dragging = false;
    QString backgroundImage;
    ImageDesc backgroundImageDesc;
    FillRes backgroundColor;
    bool useFillColor = true;
    QPoint pressPos;
    bool showBackground = false;
    bool cursorSet = false;
    int minWidth = 400;
    int minHeight = 400;
    bool onlyDragCaption = false;
    int captionHeight = 40;
    QEventLoop* eventLoop = nullptr;
    QPointer<VYRQMDIArea> mdiArea;
    // A double click in the caption band toggles maximised. The native caption does
    // this for a frameless VYRQWindow on Windows, so there it starts off.
    bool doubleClickMaximize = false;
    // Set while setTransparent re-creates the native window (it hides and shows it).
    bool changingWindowFlags = false;
    // Off for a window that must keep the geometry it was given whatever the screens
    // are (a screenshot of a size past the screen): holdToScreen leaves it alone.
    bool holdsToScreens = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isSubWindow() const;
    bool pressBelongsToControl(QWidget* hit) const;
    // A border resize step to the mouse's place, or its place kept for when the window
    // system answered the step before.
    void followEdge(const QPoint& globalPos);
    void stepAnswered();
    void resizeByEdge(const QPoint& globalPos);
    void followHover(const QPoint& pos);
    void restoreNormalGeometry();
    void maximise();
    void watchScreens();
    // holdToScreen once the owner's geometry has been still for `delay` ms: a window
    // manager moves a window in many steps.
    void holdWhenSettled(int delay);
    // The screen the owner's centre is on, else the nearest one.
    QScreen* centreScreen() const;
    // The area the owner maximises into; invalid when it has none.
    QRect maximisedArea() const;
    // The owner's own minimum, also while maximising lifted it.
    QSize normalMinimum() const;
    // Whether an area holds a window of that minimum (an invalid area holds anything).
    static bool fitsIn(const QSize& minimum, const QRect& area);
    bool onScreens(const QRect& frame) const;

    // The owner's size limits when the border resize took the press; the resize
    // pins the size while it runs and gives these back on release.
    QSize m_ownMinimum{0, 0};
    QSize m_ownMaximum{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    // Where the window stood when the border resize took the press (its frame's
    // top-left, as move() takes it).
    QRect m_pressGeometry;
    // holdToScreen was put off by a press the owner follows; releasePress holds it.
    bool m_holdPending = false;
    // The press the owner follows moved or resized it.
    bool m_pressMoved = false;
    QTimer m_settleTimer;
    // Runs while a border resize step of a top-level owner waits for the window
    // system's answer; m_edgeTarget is where the mouse went meanwhile.
    QTimer m_stepTimer;
    QPoint m_edgeTarget;
    bool m_edgeBehind = false;
    QPointer<QWindow> m_watchedHandle;
    QVector<QPointer<QScreen>> m_watchedScreens;
    // Set while the frame's maximise lifted the owner's size limits; they and the
    // geometry below come back once the owner is restored on a screen that holds it.
    bool m_limitsLifted = false;
    QRect m_normalGeometry;
    QSize m_normalMinimum;
    QSize m_normalMaximum;
};
