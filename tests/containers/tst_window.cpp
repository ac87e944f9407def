#include "TestControl.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQSubWin.h"
#include "VYRQWindow.h"
#include "VYRQWindowImpl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Mouse events sent straight to the window, as the platform would deliver them
// to its client area. Global positions are given explicitly so that a move does
// not depend on where the window has got to.
void sendMouse(QWidget* target, QEvent::Type type, const QPoint& local, const QPoint& global,
               Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void press(QWidget* w, const QPoint& local, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonPress, local, w->mapToGlobal(local), button, button);
}

void release(QWidget* w, const QPoint& local)
{
    sendMouse(w, QEvent::MouseButtonRelease, local, w->mapToGlobal(local), Qt::LeftButton, Qt::NoButton);
}

// Press at `local`, move by `delta` with the button held, release.
void dragBy(QWidget* w, const QPoint& local, const QPoint& delta)
{
    const QPoint global = w->mapToGlobal(local);
    sendMouse(w, QEvent::MouseButtonPress, local, global);
    sendMouse(w, QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton, Qt::NoButton);
}

// The sequence a platform delivers for a double click.
void doubleClick(QWidget* w, const QPoint& local)
{
    press(w, local);
    release(w, local);
    sendMouse(w, QEvent::MouseButtonDblClick, local, w->mapToGlobal(local));
    release(w, local);
}

void hover(QWidget* w, const QPoint& local)
{
    sendMouse(w, QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, Qt::NoButton);
}

// The offscreen platform says so on every grab and size hint; nothing to see.
QtMessageHandler previousHandler = nullptr;
void dropPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    previousHandler(type, context, message);
}

std::unique_ptr<VYRQWindow> shownWindow(const QRect& geometry)
{
    std::unique_ptr<VYRQWindow> window(new VYRQWindow(nullptr, Qt::FramelessWindowHint));
    window->setGeometry(geometry);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

} // namespace

class tst_Window : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void defaultsAndRegistration();
    void dragByBackground_data();
    void dragByBackground();
    void borderCursors_data();
    void borderCursors();
    void borderResize_data();
    void borderResize();
    void setXY();
    void minimumSize();
    void modalRun_data();
    void modalRun();
    void modalWindowDestroyedInsideRun();
    void pressedFlagShared();
    void pressedFlagCleared_data();
    void pressedFlagCleared();
    void doubleClickOnCaption();
    void resizeLaysOutChildren();
    void background();
    void hitTest();
    void subWindow();
};

void tst_Window::initTestCase()
{
    previousHandler = qInstallMessageHandler(dropPlatformNoise);
    VYRQtLib::init();
}

void tst_Window::cleanup()
{
    // No case may leave a press behind for the next one.
    QVERIFY(!VYRQWindowImpl::isMousePressed());
}

void tst_Window::defaultsAndRegistration()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    auto* window = new VYRQWindow;
    QCOMPARE(QString::fromLatin1(VYRQWindow::typeName()), QStringLiteral("VYRWindow"));
    QCOMPARE(window->impl()->typeKey(), QStringLiteral("VYRWindow"));
    QCOMPARE(VYRQWidgetBaseImpl::fromWidget(window), window->impl());
    // The minimum is stored, not applied, until a setter runs.
    QCOMPARE(window->getMinSize(), QSize(400, 400));
    QCOMPARE(window->minimumSize(), QSize(0, 0));
    window->setCaptionHeight(-3);
    QVERIFY(window->getCaptionHeight());
    window->setCaptionHeight(0);
    QVERIFY(!window->getCaptionHeight());

    // Registered from construction to destruction.
    QVERIFY(rm->unregisterWindow(window));
    QVERIFY(rm->registerWindow(window));
    delete window;
    QVERIFY(!rm->unregisterWindow(window));

    VYRQSubWin subWin;
    QCOMPARE(subWin.impl()->typeKey(), QStringLiteral("VYRSubWin"));
    QVERIFY(subWin.hasMouseTracking());
    QVERIFY(!rm->unregisterWindow(&subWin));
}

void tst_Window::dragByBackground_data()
{
    QTest::addColumn<QString>("target");   // what lies under the press
    QTest::addColumn<bool>("onlyCaption");
    QTest::addColumn<int>("pressY");
    QTest::addColumn<bool>("canDrag");
    QTest::addColumn<bool>("moves");

    QTest::newRow("background") << "" << false << 200 << true << true;
    QTest::newRow("drag off") << "" << false << 200 << false << false;
    QTest::newRow("container") << "container" << false << 200 << true << true;
    QTest::newRow("other library control") << "control" << false << 200 << true << false;
    QTest::newRow("plain widget") << "plain" << false << 200 << true << true;
    QTest::newRow("caption edge") << "" << true << 40 << true << true;
    QTest::newRow("below caption") << "" << true << 41 << true << false;
}

void tst_Window::dragByBackground()
{
    QFETCH(QString, target);
    QFETCH(bool, onlyCaption);
    QFETCH(int, pressY);
    QFETCH(bool, canDrag);
    QFETCH(bool, moves);

    auto window = shownWindow(QRect(100, 100, 500, 400));
    QVERIFY(window);
    window->setOnlyDragCaption(onlyCaption);
    window->setCanDrag(canDrag);
    QWidget* child = nullptr;
    if (target == QLatin1String("container"))
        child = new VYRQContainer(window.get());
    else if (target == QLatin1String("control"))
        child = new TestControl(window.get());
    else if (target == QLatin1String("plain"))
        child = new QWidget(window.get());
    if (child) {
        child->setGeometry(150, pressY - 10, 100, 100);
        child->show();
    }

    const QPoint start = window->pos();
    dragBy(window.get(), QPoint(200, pressY), QPoint(30, 25));
    QTRY_COMPARE(window->pos(), moves ? start + QPoint(30, 25) : start);
    QCOMPARE(window->size(), QSize(500, 400));
}

void tst_Window::borderCursors_data()
{
    QTest::addColumn<bool>("resizeable");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("shape");

    // A 300 x 200 window with the default 4-pixel border.
    QTest::newRow("left") << true << QPoint(0, 100) << int(Qt::SizeHorCursor);
    QTest::newRow("right") << true << QPoint(297, 100) << int(Qt::SizeHorCursor);
    QTest::newRow("top") << true << QPoint(150, 3) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom") << true << QPoint(150, 199) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom-right") << true << QPoint(299, 199) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-left") << true << QPoint(1, 1) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right") << true << QPoint(298, 2) << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-left") << true << QPoint(2, 198) << int(Qt::SizeBDiagCursor);
    QTest::newRow("just inside") << true << QPoint(4, 100) << int(Qt::ArrowCursor);
    QTest::newRow("resize off") << false << QPoint(0, 100) << int(Qt::ArrowCursor);
}

void tst_Window::borderCursors()
{
    QFETCH(bool, resizeable);
    QFETCH(QPoint, pos);
    QFETCH(int, shape);

    auto window = shownWindow(QRect(50, 50, 300, 200));
    QVERIFY(window);
    window->setResizeable(resizeable);
    hover(window.get(), pos);
    QCOMPARE(int(window->cursor().shape()), shape);
    // Back inside, the arrow returns.
    hover(window.get(), QPoint(150, 100));
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
}

void tst_Window::borderResize_data()
{
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");

    // From (100, 100, 500, 450) with a 400 x 400 minimum.
    QTest::newRow("right wider") << QPoint(498, 200) << QPoint(50, 0) << QRect(100, 100, 550, 450);
    QTest::newRow("right below minimum") << QPoint(498, 200) << QPoint(-150, 0) << QRect(100, 100, 400, 450);
    QTest::newRow("left narrower") << QPoint(1, 200) << QPoint(60, 0) << QRect(160, 100, 440, 450);
    QTest::newRow("left below minimum") << QPoint(1, 200) << QPoint(150, 0) << QRect(100, 100, 400, 450);
    QTest::newRow("top taller") << QPoint(200, 1) << QPoint(0, -30) << QRect(100, 70, 500, 480);
    QTest::newRow("bottom shorter") << QPoint(200, 448) << QPoint(0, -40) << QRect(100, 100, 500, 410);
    QTest::newRow("bottom-right") << QPoint(498, 448) << QPoint(20, 10) << QRect(100, 100, 520, 460);
    QTest::newRow("top-left, width held") << QPoint(1, 1) << QPoint(200, -10) << QRect(100, 90, 400, 460);
}

void tst_Window::borderResize()
{
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);

    auto window = shownWindow(QRect(100, 100, 500, 450));
    QVERIFY(window);
    window->setResizeable(true);
    const QPoint origin = window->pos();
    dragBy(window.get(), pressAt, delta);
    QTRY_COMPARE(window->size(), expected.size());
    QTRY_COMPARE(window->pos(), origin + expected.topLeft() - QPoint(100, 100));
    // The resized side is pinned until the next resize.
    if (pressAt.x() < 4 || pressAt.x() > 496) {
        QCOMPARE(window->minimumWidth(), expected.width());
        QCOMPARE(window->maximumWidth(), expected.width());
    }
    if (pressAt.y() < 4 || pressAt.y() > 446) {
        QCOMPARE(window->minimumHeight(), expected.height());
        QCOMPARE(window->maximumHeight(), expected.height());
    }
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(window->impl()->resizeEdge, int(VYRQWindowImpl::EdgeNone));
}

void tst_Window::setXY()
{
    VYRQWindow window;
    window.setGeometry(50, 60, 300, 200);
    window.setX(100);
    QCOMPARE(window.geometry(), QRect(100, 60, 250, 200));
    window.setY(80);
    QCOMPARE(window.geometry(), QRect(100, 80, 250, 180));

}

void tst_Window::minimumSize()
{
    VYRQWindow window;
    window.setMinWidth(-5);
    QCOMPARE(window.getMinSize(), QSize(0, 400));
    QCOMPARE(window.minimumWidth(), 0);
    window.setMinHeight(250);
    QCOMPARE(window.minimumHeight(), 250);
    window.setMinSize(320, -1);
    QCOMPARE(window.getMinSize(), QSize(320, 0));
    QCOMPARE(window.minimumSize(), QSize(320, 0));

    // The sub-window stores its minimum unchecked for the border resize only.
    QWidget host;
    host.resize(800, 600);
    VYRQSubWin subWin(&host);
    subWin.setMinWidth(350);
    subWin.setMinHeight(-7);
    QCOMPARE(subWin.impl()->minWidth, 350);
    QCOMPARE(subWin.impl()->minHeight, -7);
    QCOMPARE(subWin.minimumSize(), QSize(0, 0));
    subWin.setGeometry(0, 0, 500, 300);
    subWin.setResizeable(true);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    dragBy(&subWin, QPoint(498, 100), QPoint(-200, 0));
    QCOMPARE(subWin.width(), 350);
}

void tst_Window::modalRun_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("closeModal") << 0;
    QTest::newRow("close") << 1;
    QTest::newRow("hide") << 2;
    QTest::newRow("reject") << 3;
}

void tst_Window::modalRun()
{
    QFETCH(int, how);
    VYRQWindow window;
    window.resize(200, 150);
    bool ranInside = false;
    QTimer::singleShot(0, &window, [&] {
        ranInside = window.isVisible() && window.isModal();
        switch (how) {
        case 0: window.closeModal(); break;
        case 1: window.close(); break;
        case 2: window.hide(); break;
        case 3: window.reject(); break;
        }
    });
    // A run that never ends would hang here; the guard ends it and fails the case.
    bool guardFired = false;
    QTimer::singleShot(5000, &window, [&] { guardFired = true; window.closeModal(); });
    window.doModal();
    QVERIFY(ranInside);
    QVERIFY(!guardFired);
    QCOMPARE(window.windowModality(), Qt::ApplicationModal);
}

void tst_Window::modalWindowDestroyedInsideRun()
{
    QPointer<VYRQWindow> window = new VYRQWindow;
    QTimer::singleShot(0, [&] { delete window.data(); });
    window->doModal();
    QVERIFY(window.isNull());
}

void tst_Window::pressedFlagShared()
{
    auto first = shownWindow(QRect(0, 0, 450, 450));
    auto second = shownWindow(QRect(500, 0, 450, 450));
    QVERIFY(first && second);

    press(first.get(), QPoint(100, 100));
    QVERIFY(VYRQWindowImpl::isMousePressed());
    QCOMPARE(VYRQWindowImpl::mousePressedBy(), first.get());

    // While the first window follows its press, the second does not start a drag.
    const QPoint secondPos = second->pos();
    const QPoint global = second->mapToGlobal(QPoint(100, 100));
    sendMouse(second.get(), QEvent::MouseButtonPress, QPoint(100, 100), global);
    sendMouse(second.get(), QEvent::MouseMove, QPoint(120, 100), global + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(second->pos(), secondPos);
    QCOMPARE(VYRQWindowImpl::mousePressedBy(), first.get());

    release(first.get(), QPoint(100, 100));
    QVERIFY(!VYRQWindowImpl::isMousePressed());
    dragBy(second.get(), QPoint(100, 100), QPoint(20, 0));
    QTRY_COMPARE(second->pos(), secondPos + QPoint(20, 0));
}

void tst_Window::pressedFlagCleared_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("hidden") << 0;
    QTest::newRow("closed") << 1;
    QTest::newRow("destroyed") << 2;
    QTest::newRow("grab taken") << 3;
    QTest::newRow("grab released") << 4;
    QTest::newRow("sub-window hidden") << 5;
}

void tst_Window::pressedFlagCleared()
{
    QFETCH(int, how);
    auto holder = shownWindow(QRect(0, 0, 450, 450));
    auto other = shownWindow(QRect(500, 0, 450, 450));
    QVERIFY(holder && other);
    auto* subWin = new VYRQSubWin(holder.get());
    subWin->setGeometry(10, 10, 200, 200);
    subWin->show();

    QWidget* pressed = how == 5 ? static_cast<QWidget*>(subWin) : holder.get();
    press(pressed, QPoint(100, 100));
    QCOMPARE(VYRQWindowImpl::mousePressedBy(), pressed);

    QWidget grabber;
    switch (how) {
    case 0: holder->hide(); break;
    case 1: holder->close(); break;
    case 2: holder.reset(); break;
    case 3:
        grabber.show();
        grabber.grabMouse();
        break;
    case 4: holder->releaseMouse(); break;
    case 5: subWin->hide(); break;
    }
    QVERIFY(!VYRQWindowImpl::isMousePressed());
    grabber.releaseMouse();

    // Another window follows the next press.
    const QPoint start = other->pos();
    dragBy(other.get(), QPoint(100, 100), QPoint(15, 5));
    QTRY_COMPARE(other->pos(), start + QPoint(15, 5));
    if (holder)
        QVERIFY(!holder->impl()->dragging);
}

void tst_Window::doubleClickOnCaption()
{
    auto window = shownWindow(QRect(60, 70, 420, 410));
    QVERIFY(window);
    window->setResizeable(true);
    // A border resize pins the size; maximising must still reach the work area.
    dragBy(window.get(), QPoint(418, 200), QPoint(10, 0));
    QTRY_COMPARE(window->width(), 430);
    const QRect normal = window->geometry();

    QVERIFY(window->getDoubleClickMaximize());
    doubleClick(window.get(), QPoint(200, 41));
    QVERIFY(!window->isMaximized());
    doubleClick(window.get(), QPoint(200, 20));
    QVERIFY(window->isMaximized());
    const QRect available = window->screen()->availableGeometry();
    QTRY_COMPARE(window->geometry(), available);

    // Maximised, the window neither drags nor resizes.
    dragBy(window.get(), QPoint(200, 200), QPoint(30, 30));
    QCOMPARE(window->geometry(), available);

    doubleClick(window.get(), QPoint(200, 20));
    QVERIFY(!window->isMaximized());
    QTRY_COMPARE(window->geometry(), normal);
    QCOMPARE(window->minimumWidth(), normal.width());
    QCOMPARE(window->maximumWidth(), normal.width());

    window->setDoubleClickMaximize(false);
    doubleClick(window.get(), QPoint(200, 20));
    QVERIFY(!window->isMaximized());
    QVERIFY(!VYRQWindowImpl::isMousePressed());
}

void tst_Window::resizeLaysOutChildren()
{
    VYRQWindow window;
    window.resize(300, 200);
    auto* control = new TestControl(&window);
    control->setGeometry(10, 20, 50, 40);
    control->move(90, 90);
    auto* page = new VYRQContainer(&window);
    page->setGeometry(5, 5, 20, 20);
    // Resize events reach shown widgets only.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.resize(320, 240);
    // The recorded rectangle is applied again; a container fills the window.
    QCOMPARE(control->geometry(), QRect(10, 20, 50, 40));
    QCOMPARE(page->geometry(), QRect(0, 0, 320, 240));

    QWidget host;
    VYRQSubWin subWin(&host);
    subWin.resize(100, 100);
    auto* inSub = new TestControl(&subWin);
    inSub->setGeometry(1, 2, 30, 30);
    inSub->move(50, 50);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    subWin.resize(120, 120);
    QCOMPARE(inSub->geometry(), QRect(1, 2, 30, 30));
}

void tst_Window::background()
{
    VYRQWindow window;
    window.resize(60, 40);
    FillRes red;
    red.color = red.color2 = QColor(Qt::red);
    window.setBackgroundColor(red);
    window.setShowBackground(true);
    QImage shown = window.grab().toImage();
    QCOMPARE(shown.pixelColor(30, 20), QColor(Qt::red));

    window.setShowBackground(false);
    QVERIFY(window.grab().toImage().pixelColor(30, 20) != QColor(Qt::red));

}

void tst_Window::hitTest()
{
    QWidget root;
    root.resize(200, 200);
    auto* lower = new QWidget(&root);
    lower->setGeometry(10, 10, 100, 100);
    auto* upper = new QWidget(&root);
    upper->setGeometry(50, 50, 100, 100);
    auto* deep = new QWidget(upper);
    deep->setGeometry(10, 10, 20, 20);
    root.show();
    QVERIFY(QTest::qWaitForWindowExposed(&root));

    QCOMPARE(VYRQWindowImpl::hitTest(&root, 20, 20), lower);
    QCOMPARE(VYRQWindowImpl::hitTest(&root, 70, 70), deep);      // topmost, then deepest
    QCOMPARE(VYRQWindowImpl::hitTest(&root, 90, 90), upper);
    QCOMPARE(VYRQWindowImpl::hitTest(&root, 190, 5), &root);
    QCOMPARE(VYRQWindowImpl::hitTest(&root, 250, 5), nullptr);
    upper->hide();
    QCOMPARE(VYRQWindowImpl::hitTest(&root, 70, 70), lower);
    QCOMPARE(VYRQWindowImpl::hitTest(nullptr, 1, 1), nullptr);
}

void tst_Window::subWindow()
{
    QWidget host;
    host.resize(600, 500);
    auto* lower = new VYRQSubWin(&host);
    lower->setGeometry(10, 10, 200, 200);
    auto* upper = new VYRQSubWin(&host);
    upper->setGeometry(100, 100, 200, 200);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    // A press raises the sub-window, and a background drag moves it in its parent.
    dragBy(lower, QPoint(20, 20), QPoint(40, 30));
    QCOMPARE(host.children().last(), lower);
    QCOMPARE(lower->pos(), QPoint(50, 40));
    QVERIFY(!VYRQWindowImpl::isMousePressed());
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
