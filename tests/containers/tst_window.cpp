#include "../controls/controls_testutil.h"
#include "testaccess.h"
#include "testcontrols.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQSubWin.h"
#include "VYRQWindow.h"
#include "VYRQWindowImpl_p.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
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

// Press at `local`, move by `delta` with the button held, release.
void dragBy(QWidget* w, const QPoint& local, const QPoint& delta)
{
    const QPoint global = w->mapToGlobal(local);
    sendMouse(w, QEvent::MouseButtonPress, local, global);
    sendMouse(w, QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton);
    sendMouse(w, QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton, Qt::NoButton);
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

    void borderResize()
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
        if (pressAt.x() < 4 || pressAt.x() > 496)
            QCOMPARE(QPoint(window->minimumWidth(), window->maximumWidth()), QPoint(1, 1) * expected.width());
        if (pressAt.y() < 4 || pressAt.y() > 446)
            QCOMPARE(QPoint(window->minimumHeight(), window->maximumHeight()), QPoint(1, 1) * expected.height());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(vyrtest::impl(window.get())->resizeEdge, int(VYRQWindowImpl::EdgeNone));
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
        auto holder = shownWindow(QRect(0, 0, 450, 450));
        auto other = shownWindow(QRect(500, 0, 450, 450));
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
