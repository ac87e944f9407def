#include "../controls/controls_testutil.h"
#include "testaccess.h"
#include "testcontrols.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQImage.h"
#include "VYRQLabel.h"
#include "VYRQSubWin.h"
#include "VYRQWindow.h"
#include "VYRQWindowImpl_p.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
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

// Press at `local` (in w), move by `delta` with the button held, release: through
// the top-level window, as the window system delivers them.
void dragBy(QWidget* w, const QPoint& local, const QPoint& delta)
{
    QWidget* top = w->window();
    QWindow* handle = top->windowHandle();
    const QPoint at = w->mapTo(top, local);
    const QPoint end = handle->mapToGlobal(at + delta);
    QTest::mousePress(handle, Qt::LeftButton, {}, at);
    QTest::mouseMove(handle, at + delta);
    // The window may have moved under the mouse. The release comes where the mouse
    // is; anywhere else the platform would report one more move first.
    QTRY_COMPARE(handle->geometry(), top->geometry());
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(end));
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
    return ctl::shown(*window) ? std::move(window) : nullptr;
}

} // namespace

class tst_Window : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(dropPlatformNoise);
        VYRQtLib::init();
    }

    void cleanup()
    {
        // No case may leave a press behind for the next one.
        QVERIFY(!VYRQWindowImpl::isMousePressed());
    }

    void dragByBackground_data()
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

    void dragByBackground()
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
        QWidget* child = target == QLatin1String("container") ? new VYRQContainer(window.get())
                         : target == QLatin1String("control") ? new TestControl(window.get())
                         : target == QLatin1String("plain")   ? new QWidget(window.get()) : nullptr;
        if (child) {
            child->setGeometry(150, pressY - 10, 100, 100);
            child->show();
        }

        const QPoint start = window->pos();
        dragBy(window.get(), QPoint(200, pressY), QPoint(30, 25));
        QTRY_COMPARE(window->pos(), moves ? start + QPoint(30, 25) : start);
        QCOMPARE(window->size(), QSize(500, 400));
    }

    void borderResize_data()
    {
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QSize>("minimum");   // given through QWidget
        QTest::addColumn<QRect>("expected");

        // From (100, 100, 500, 450) with the frame's 400 x 400 minimum.
        const QSize none(0, 0);
        QTest::newRow("right wider") << QPoint(498, 200) << QPoint(50, 0) << none << QRect(100, 100, 550, 450);
        QTest::newRow("right below minimum") << QPoint(498, 200) << QPoint(-150, 0) << none
                                             << QRect(100, 100, 400, 450);
        QTest::newRow("left narrower") << QPoint(1, 200) << QPoint(60, 0) << none << QRect(160, 100, 440, 450);
        // The minimum stops the dragged edge only: the opposite one stays, however far
        // the one motion goes.
        QTest::newRow("left below minimum") << QPoint(1, 200) << QPoint(150, 0) << none << QRect(200, 100, 400, 450);
        QTest::newRow("left far past minimum") << QPoint(1, 200) << QPoint(3000, 0) << none
                                               << QRect(200, 100, 400, 450);
        QTest::newRow("top taller") << QPoint(200, 1) << QPoint(0, -30) << none << QRect(100, 70, 500, 480);
        QTest::newRow("top below minimum") << QPoint(200, 1) << QPoint(0, 120) << none << QRect(100, 150, 500, 400);
        QTest::newRow("bottom shorter") << QPoint(200, 448) << QPoint(0, -40) << none << QRect(100, 100, 500, 410);
        QTest::newRow("bottom-right") << QPoint(498, 448) << QPoint(20, 10) << none << QRect(100, 100, 520, 460);
        QTest::newRow("top-left, width held") << QPoint(1, 1) << QPoint(200, -10) << none << QRect(200, 90, 400, 460);
        QTest::newRow("top-left, both held") << QPoint(1, 1) << QPoint(900, 700) << none << QRect(200, 150, 400, 400);
        QTest::newRow("bottom-left, width held") << QPoint(1, 448) << QPoint(250, 20) << none
                                                 << QRect(200, 100, 400, 470);
        QTest::newRow("top-right, height held") << QPoint(498, 1) << QPoint(30, 400) << none
                                                << QRect(100, 150, 530, 400);
        // Past the screen's edge (both platforms' screens start at 0, 0 and hold the
        // window at 800 x 600): held on the screen once the press ends.
        QTest::newRow("left, past the screen") << QPoint(1, 200) << QPoint(-300, 0) << none << QRect(0, 100, 800, 450);
        QTest::newRow("top-left, past the screen") << QPoint(1, 1) << QPoint(-50, -150) << none
                                                   << QRect(50, 0, 550, 600);
        // The window's own minimum is a floor as well as the frame's.
        QTest::newRow("right, window minimum") << QPoint(498, 200) << QPoint(-150, 0) << QSize(470, 420)
                                               << QRect(100, 100, 470, 450);
        QTest::newRow("bottom-right, window minimum") << QPoint(498, 448) << QPoint(-90, -90) << QSize(480, 430)
                                                      << QRect(100, 100, 480, 430);
    }

    void borderResize()
    {
        QFETCH(QPoint, pressAt);
        QFETCH(QPoint, delta);
        QFETCH(QSize, minimum);
        QFETCH(QRect, expected);

        auto window = shownWindow(QRect(100, 100, 500, 450));
        QVERIFY(window);
        window->setMinimumSize(minimum);
        window->setResizeable(true);
        const QPoint origin = window->pos();
        dragBy(window.get(), pressAt, delta);
        QTRY_COMPARE(window->size(), expected.size());
        QTRY_COMPARE(window->pos(), origin + expected.topLeft() - QPoint(100, 100));
        // The size stays but is not pinned: the window can still be maximised or resized.
        QCOMPARE(window->minimumSize(), minimum);
        QCOMPARE(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(vyrtest::impl(window.get())->resizeEdge, int(VYRQWindowImpl::EdgeNone));
    }

    void maximiseDragRestore_data()
    {
        QTest::addColumn<bool>("maximiseByDoubleClick");
        QTest::addColumn<bool>("restoreByDoubleClick");
        QTest::addColumn<bool>("minimumPastScreen");
        QTest::newRow("double click, showNormal") << true << false << false;
        QTest::newRow("double click, double click") << true << true << false;
        QTest::newRow("showMaximized, double click") << false << true << false;
        QTest::newRow("showMaximized, showNormal") << false << false << false;
        // Restored to its minimum, the window would reach past the screen: the caption
        // leaves it maximised, and a restore by someone else gives it the whole area.
        QTest::newRow("minimum past the screen, double click") << true << true << true;
        QTest::newRow("minimum past the screen, showNormal") << true << false << true;
    }

    // A caption drag on a maximised window moves nothing and leaves its state and the
    // geometry to restore alone; however the maximised state ends (the caption's double
    // click, a restore button's showNormal, the window manager), the window gets its
    // geometry and size limits back, at every round.
    void maximiseDragRestore()
    {
        QFETCH(bool, maximiseByDoubleClick);
        QFETCH(bool, restoreByDoubleClick);
        QFETCH(bool, minimumPastScreen);
        auto window = shownWindow(QRect(100, 100, 500, 400));
        QVERIFY(window);
        const QRect area = window->screen()->availableGeometry();
        const QSize minimum = minimumPastScreen ? area.size() + QSize(1, 0) : QSize(450, 350);
        window->setMinimumSize(minimum);
        window->setResizeable(true);
        window->setDoubleClickMaximize(true);
        QWindow* handle = window->windowHandle();
        const QRect normal = window->geometry();
        const QPoint caption(200, 20);
        // The platform answers each step before the user takes the next one.
        const auto settle = [] { QCoreApplication::processEvents(); };

        for (int round = 0; round < 2; ++round) {
            if (maximiseByDoubleClick)
                QTest::mouseDClick(handle, Qt::LeftButton, {}, caption);
            else
                window->showMaximized();
            settle();
            QTRY_VERIFY(window->isMaximized());
            QTRY_COMPARE(handle->geometry(), window->geometry());
            // Without a window manager only the frame's own maximising places the window.
            if (maximiseByDoubleClick)
                QCOMPARE(window->geometry(), window->screen()->availableGeometry());
            const QPoint moved = window->pos() + QPoint(150, 0);

            dragBy(window.get(), caption, QPoint(150, 0));
            QVERIFY(window->isMaximized());
            QVERIFY(window->pos() != moved);

            if (restoreByDoubleClick)
                QTest::mouseDClick(handle, Qt::LeftButton, {}, caption);
            else
                window->showNormal();
            settle();
            if (minimumPastScreen) {
                QCOMPARE(window->isMaximized(), restoreByDoubleClick);
                QTRY_COMPARE(window->geometry(), area);
                continue;
            }
            QTRY_VERIFY(!window->isMaximized());
            QTRY_COMPARE(window->geometry(), normal);
            QCOMPARE(window->minimumSize(), minimum);
        }
    }

    void borderBeforeChildren_data()
    {
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<bool>("scrolls");

        // A 14 pixel scroll bar covers the right edge of a 500 x 400 window.
        QTest::newRow("right border") << QPoint(498, 200) << QPoint(50, 0) << QSize(550, 400) << false;
        QTest::newRow("bottom-right corner") << QPoint(498, 398) << QPoint(30, 20) << QSize(530, 420) << false;
        QTest::newRow("scroll bar, off the band") << QPoint(490, 300) << QPoint(50, 0) << QSize(500, 400) << true;
    }

    // The border band takes a press before a child widget lying under it; the rest of
    // the child keeps its presses.
    void borderBeforeChildren()
    {
        QFETCH(QPoint, pressAt);
        QFETCH(QPoint, delta);
        QFETCH(QSize, expected);
        QFETCH(bool, scrolls);

        auto window = shownWindow(QRect(100, 100, 500, 400));
        QVERIFY(window);
        window->setResizeable(true);
        auto* bar = new QScrollBar(Qt::Vertical, window.get());
        bar->setRange(0, 1000);
        bar->setPageStep(100);
        bar->setGeometry(486, 0, 14, 400);
        bar->show();

        dragBy(window.get(), pressAt, delta);
        QTRY_COMPARE(window->size(), expected);
        QCOMPARE(bar->value() != 0, scrolls);

        // Hovering the band over the child shows the resize cursor, and off the band
        // the arrow again.
        bar->setGeometry(window->width() - 14, 0, 14, window->height());
        const QPoint hover = QPoint(window->width(), window->height()) - (QPoint(500, 400) - pressAt) - QPoint(0, 30);
        QTest::mouseMove(window->windowHandle(), hover);
        const auto edge = vyrtest::impl(window.get())->edgeAt(hover);
        QCOMPARE(edge != VYRQWindowImpl::EdgeNone, !scrolls);
        QCOMPARE(window->cursor().shape(), VYRQWindowImpl::cursorFor(edge));
    }

    void clickThroughWindow_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<int>("clicks");

        // The clickable widget covers (0, 0, 300, 200) of a window 500 x 400 wide.
        QTest::newRow("container") << "container" << QPoint(150, 100) << 1;
        QTest::newRow("label in a plain container inside") << "nested" << QPoint(60, 60) << 1;
        QTest::newRow("image") << "image" << QPoint(150, 100) << 1;
        QTest::newRow("container, disabled") << "disabled" << QPoint(150, 100) << 0;
        QTest::newRow("container, on the border") << "container" << QPoint(1, 100) << 0;
    }

    // A press that a clickable control lets through stays with it: the release reaches
    // it, the window follows no press and does not move.
    void clickThroughWindow()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, pressAt);
        QFETCH(int, clicks);

        auto window = shownWindow(QRect(100, 100, 500, 400));
        QVERIFY(window);
        window->setResizeable(true);
        int clicked = 0;
        QWidget* clickable = nullptr;
        if (target == QLatin1String("image")) {
            auto* image = new VYRQImage(window.get());
            connect(image, &VYRQImage::clicked, [&] { ++clicked; });
            clickable = image;
        } else {
            auto* container = new VYRQContainer(window.get());
            connect(container, &VYRQContainer::mouseClickEvent, [&] { ++clicked; });
            container->setEnabled(target != QLatin1String("disabled"));
            if (target == QLatin1String("nested")) {
                auto* inner = new VYRQContainer(container);
                inner->setGeometry(40, 40, 200, 100);
                (new VYRQLabel(inner))->setGeometry(10, 10, 100, 30);
            }
            clickable = container;
        }
        clickable->setGeometry(0, 0, 300, 200);
        clickable->show();

        const QPoint start = window->pos();
        QWindow* handle = window->windowHandle();
        QTest::mousePress(handle, Qt::LeftButton, {}, pressAt);
        QCOMPARE(VYRQWindowImpl::isMousePressed(), clicks == 0);
        QTest::mouseMove(handle, pressAt + QPoint(20, 10));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, pressAt + QPoint(20, 10));
        QCOMPARE(clicked, clicks);
        if (clicks)
            QCOMPARE(window->pos(), start);
    }

    void setXY()
    {
        VYRQWindow window;
        window.setGeometry(50, 60, 300, 200);
        window.setX(100);
        QCOMPARE(window.geometry(), QRect(100, 60, 250, 200));
        window.setY(80);
        QCOMPARE(window.geometry(), QRect(100, 80, 250, 180));
    }

    void minimumSize()
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
        QCOMPARE(vyrtest::impl(subWin)->minWidth, 350);
        QCOMPARE(vyrtest::impl(subWin)->minHeight, -7);
        QCOMPARE(subWin.minimumSize(), QSize(0, 0));
        subWin.setGeometry(0, 0, 500, 300);
        subWin.setResizeable(true);
        QVERIFY(ctl::shown(host));
        dragBy(&subWin, QPoint(498, 100), QPoint(-200, 0));
        QCOMPARE(subWin.width(), 350);
    }

    void modalRun_data()
    {
        QTest::addColumn<int>("how");
        int how = 0;
        for (const char* name : {"closeModal", "close", "hide", "reject", "deleted"})
            QTest::newRow(name) << how++;
    }

    // Each way of ending a modal run returns from doModal.
    void modalRun()
    {
        QFETCH(int, how);
        QPointer<VYRQWindow> window = new VYRQWindow;
        window->resize(200, 150);
        bool ranInside = false;
        QTimer::singleShot(0, window.data(), [&] {
            ranInside = window->isVisible() && window->isModal();
            switch (how) {
            case 0: window->closeModal(); break;
            case 1: window->close(); break;
            case 2: window->hide(); break;
            case 3: window->reject(); break;
            case 4: delete window.data(); break;
            }
        });
        // A run that never ends would hang here; the guard ends it and fails the case.
        bool guardFired = false;
        QTimer::singleShot(5000, window.data(), [&] { guardFired = true; window->closeModal(); });
        window->doModal();
        QVERIFY(ranInside);
        QVERIFY(!guardFired);
        QCOMPARE(window.isNull(), how == 4);
        delete window.data();
    }

    void pressedFlagCleared_data()
    {
        QTest::addColumn<int>("how");
        int how = 0;
        for (const char* name : {"hidden", "closed", "destroyed", "grab taken", "grab released", "sub-window hidden"})
            QTest::newRow(name) << how++;
    }

    void pressedFlagCleared()
    {
        QFETCH(int, how);
        // Both on the offscreen platform's 800 x 600 screen: one past it is held there
        // after its drag.
        auto holder = shownWindow(QRect(0, 0, 380, 380));
        auto other = shownWindow(QRect(400, 0, 380, 380));
        QVERIFY(holder && other);
        auto* subWin = new VYRQSubWin(holder.get());
        subWin->setGeometry(10, 10, 200, 200);
        subWin->show();

        QWidget* pressed = how == 5 ? static_cast<QWidget*>(subWin) : holder.get();
        sendMouse(pressed, QEvent::MouseButtonPress, QPoint(100, 100), pressed->mapToGlobal(QPoint(100, 100)));
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
            QVERIFY(!vyrtest::impl(holder.get())->dragging);
    }
};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"
