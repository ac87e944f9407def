#include "../controls/controls_testutil.h"
#include "cputimer.h"
#include "eventcounter.h"
#include "VYRQContainer.h"
#include "VYRQScrollBar.h"
#include "testcontrols.h"

#include <QPointer>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

namespace {

// A vertical container of 100 x 100 with three 50-high rows that fill its width and
// a bound vertical bar 10 wide: the content is 150 high.
struct ScrollFixture {
    ScrollFixture()
    {
        container.resize(100, 100);
        for (int i = 0; i < 3; ++i) {
            rows << new Cell(&container, 20, 50);
            rows.last()->setHeightPolicy(PolicyFixed);
            rows.last()->setWidthPolicy(PolicyFill);
        }
        bar = new VYRQScrollBar;
        bar->setWidthHeight(10);
        container.bindScrollBar(bar, false);
        container.setChildLayout(VYRQContainer::Vertical);
    }

    VYRQContainer container;
    QVector<Cell*> rows;
    QPointer<VYRQScrollBar> bar;
};

} // namespace

class tst_Container : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void triggers()
    {
        VYRQContainer container;
        container.resize(300, 40);
        container.setChildLayout(VYRQContainer::Horizontal);

        // A child that simply appears is laid out on the next turn of the event loop.
        Cell* a = new Cell(&container, 10, 10);
        QVERIFY(!baseGeometry(a).isValid());
        QTRY_COMPARE(a->width(), 300);

        // addChildWidget lays out at once and gives the weight.
        Cell* b = new Cell(nullptr, 10, 10);
        container.addChildWidget(b, 2);
        QCOMPARE(b->parentWidget(), &container);
        QCOMPARE(a->width(), 100);
        QCOMPARE(b->geometry(), QRect(100, 0, 200, 10));

        // NoUse lays nothing out and docks nothing.
        container.setChildLayout(VYRQContainer::NoUse);
        a->setGeometry(5, 6, 30, 30);
        b->setAbsoluteDock(DockFar, DockFar, 0, 0);
        new Cell(&container);
        QCoreApplication::processEvents();
        container.forceResize();
        QCOMPARE(a->geometry(), QRect(5, 6, 30, 30));
        QCOMPARE(b->geometry(), QRect(100, 0, 200, 10));
    }

    // The pass skips writing a base geometry that is already there: whatever else
    // touches the property or the children's order, callers still read the placement.
    void baseGeometryStaysCurrent()
    {
        VYRQContainer container;
        container.resize(300, 40);
        container.setChildLayout(VYRQContainer::Horizontal);
        QVector<Cell*> cells;
        for (int i = 0; i < 3; ++i)
            cells << new Cell(&container, 10, 10);
        container.forceResize();
        QCOMPARE(baseGeometry(cells[1]), QRect(100, 0, 100, 10));

        // A value written by someone else is replaced by the next pass.
        cells[1]->setProperty("_vyr_container_base_geometry", QRect(1, 2, 3, 4));
        container.forceResize();
        QCOMPARE(baseGeometry(cells[1]), QRect(100, 0, 100, 10));

        // raise() reorders the children without an event.
        cells[0]->raise();
        container.forceResize();
        QCOMPARE(baseGeometry(cells[0]), QRect(200, 0, 100, 10));
        QCOMPARE(baseGeometry(cells[1]), QRect(0, 0, 100, 10));

        // A removed child and a new one, maybe at the same address.
        delete cells.takeLast();
        Cell* added = new Cell(&container, 10, 10);
        container.forceResize();
        QCOMPARE(baseGeometry(added), QRect(200, 0, 100, 10));
        QCOMPARE(baseGeometry(cells[0]), QRect(100, 0, 100, 10));

        // A child moved from outside records its new base, and the pass puts it back.
        QVERIFY(ctl::shown(container));
        added->move(5, 5);
        QCOMPARE(baseGeometry(added), QRect(5, 5, 100, 10));
        container.forceResize();
        QCOMPARE(baseGeometry(added), QRect(200, 0, 100, 10));
        QCOMPARE(added->geometry(), QRect(200, 0, 100, 10));

        // The same while the records are out of date: a docked child just arrived.
        Cell* docked = new Cell;
        docked->setAbsoluteLayout(true);
        docked->setParent(&container);
        added->move(5, 5);
        QCOMPARE(baseGeometry(added), QRect(5, 5, 100, 10));
        container.forceResize();
        QCOMPARE(baseGeometry(added), QRect(200, 0, 100, 10));
        QCOMPARE(added->geometry(), QRect(200, 0, 100, 10));
    }

    // Children added before the first show are laid out once: the resize on showing
    // serves the pass they queued.
    void onePassOnFirstShow()
    {
        VYRQContainer container;
        container.setChildLayout(VYRQContainer::Horizontal);
        container.resize(200, 100);
        Cell* docked = new Cell(&container, 20, 20);
        docked->setAbsoluteDock(DockFar, DockFar, 0, 0);
        docked->interfacePlacements = 0;
        QVERIFY(ctl::shown(container));
        QCoreApplication::processEvents();
        QCOMPARE(docked->geometry(), QRect(180, 80, 20, 20));
        QCOMPARE(docked->interfacePlacements, 1);
    }

    // Every child's Show records its base geometry: finding its record must not
    // walk the others, or showing N children costs N * N.
    void showScalesLinearly()
    {
        const LeastCpu least = leastCpuByTurns(4000, 16000, [](int n) {
            QWidget host;
            host.resize(400, 300);
            VYRQContainer* container = new VYRQContainer(&host);
            container->setGeometry(host.rect());
            container->setChildLayout(VYRQContainer::Vertical);
            for (int i = 0; i < n; ++i)
                new Cell(container, 10, 1);
            const CpuTimer timer;
            host.show();
            QCoreApplication::processEvents();
            const qint64 ns = timer.nsecsElapsed();
            return baseGeometry(container->findChildren<Cell*>().last()) == QRect() ? qint64(-1) : ns;
        });
        QVERIFY(least.small > 0 && least.large > 0);
        // Linear gives about 4; a scan of the records per child about 16.
        QVERIFY2(least.large < 8 * least.small, qPrintable(QStringLiteral("4,000: %1 ms, 16,000: %2 ms of CPU time")
                                                                .arg(least.small / 1e6).arg(least.large / 1e6)));
    }

    // Push buttons answer their construction's polish request with updateGeometry();
    // a container shown before that answer gets a layout request per button, each
    // one compared by QApplication with every pending event.
    void firstShowPostsNoLayoutRequests()
    {
        EventCounter counter(QEvent::LayoutRequest);
        QWidget host;
        host.resize(300, 200);
        VYRQContainer* page = new VYRQContainer(&host);
        page->setGeometry(host.rect());
        page->setChildLayout(VYRQContainer::Vertical);
        for (int c = 0; c < 3; ++c) {
            VYRQContainer* cell = new VYRQContainer(page);
            cell->setChildLayout(VYRQContainer::Horizontal);
            cell->installEventFilter(&counter);
            for (int b = 0; b < 4; ++b)
                new QPushButton(QStringLiteral("b"), cell);
        }
        QVERIFY(ctl::shown(host));
        QCoreApplication::processEvents();
        QCOMPARE(counter.count, 0);
        // The buttons were polished and laid out all the same.
        QPushButton* button = page->findChild<QPushButton*>();
        QVERIFY(button->testAttribute(Qt::WA_WState_Polished));
        QCOMPARE(baseGeometry(button).width(), button->parentWidget()->width() / 4);
    }

    void scrollRefreshAndOffset()
    {
        ScrollFixture f;
        QCOMPARE(f.bar->parentWidget(), &f.container);
        QVERIFY(!f.bar->isHidden());
        QCOMPARE(QPoint(f.bar->maximum(), f.bar->pageStep()), QPoint(50, 100));
        QCOMPARE(f.bar->geometry(), QRect(90, 0, 10, 100));
        // The pass ran again with the bar's thickness taken off the cross size.
        for (int i = 0; i < 3; ++i)
            QCOMPARE(baseGeometry(f.rows[i]), QRect(0, 50 * i, 90, 50));

        // The offset moves the children, not their base geometry, and is clamped.
        f.container.setScrollPos(false, 30);
        QCOMPARE(f.bar->value(), 30);
        QCOMPARE(f.rows[1]->geometry(), QRect(0, 20, 90, 50));
        QCOMPARE(baseGeometry(f.rows[1]), QRect(0, 50, 90, 50));
        f.container.setScrollPos(false, 500);
        QCOMPARE(f.container.getScrollPos(false), 50);
        f.container.forceResize();
        QCOMPARE(f.rows[1]->geometry(), QRect(0, 0, 90, 50));

        // Content that fits again hides the bar and gives the room back.
        QVERIFY(ctl::shown(f.container));
        f.rows[2]->hide();
        QVERIFY(f.bar->isHidden());
        QCOMPARE(f.container.getScrollPos(false), 0);
        QCOMPARE(f.rows[1]->geometry(), QRect(0, 50, 100, 50));
    }

    void wheelSteps_data()
    {
        QTest::addColumn<int>("singleStep");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("expected");
        // From 10 of at most 50.
        QTest::newRow("small step moves 24 down") << 5 << -120 << 34;
        QTest::newRow("zero delta counts as down") << 5 << 0 << 34;
        QTest::newRow("up") << 5 << 120 << 0;
        QTest::newRow("large step moves its own") << 40 << -120 << 50;
    }

    void wheelSteps()
    {
        QFETCH(int, singleStep);
        QFETCH(int, delta);
        QFETCH(int, expected);
        ScrollFixture f;
        f.bar->setSingleStep(singleStep);
        f.container.setScrollPos(false, 10);
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&f.container, &event);
        QCOMPARE(f.container.getScrollPos(false), expected);
        QCOMPARE(f.rows[0]->geometry().y(), -expected);
    }

    void losingTheBoundBar_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("how");   // 0 delete, 1 deleteLater, 2 bound by another container
        QTest::newRow("deleted, hidden container") << false << 0;
        QTest::newRow("deleted, shown container") << true << 0;
        QTest::newRow("deleteLater") << true << 1;
        QTest::newRow("taken by another container") << true << 2;
    }

    // The container lets go of the bar, drops its offset and goes on laying out.
    void losingTheBoundBar()
    {
        QFETCH(bool, shown);
        QFETCH(int, how);
        ScrollFixture f;
        if (shown)
            QVERIFY(ctl::shown(f.container));
        f.container.setScrollPos(false, 30);

        VYRQContainer other;
        if (how == 0)
            delete f.bar.data();
        else if (how == 1)
            f.bar->deleteLater();
        else
            other.bindScrollBar(f.bar, true);
        QTRY_COMPARE(f.container.getBindScrollBar(false), nullptr);
        QCOMPARE(f.container.getScrollPos(false), 0);
        QCOMPARE(f.rows[1]->geometry().y(), 50);
        f.container.resize(120, 100);
        f.container.forceResize();
        QCOMPARE(baseGeometry(f.rows[0]).width(), 120);
    }

    void resizeAnimation()
    {
        QWidget parent;
        VYRQContainer* container = new VYRQContainer(&parent);
        container->setChildLayout(VYRQContainer::Horizontal);
        Cell* child = new Cell(container);

        QVERIFY(container->startResizeAnimation(QSize(0, 300), QSize(390, 440), 220));
        QVERIFY(container->isResizeAnimationRunning());
        QVERIFY(!container->startResizeAnimation(QSize(0, 0), QSize(10, 10), 100));

        QTRY_VERIFY(!container->isResizeAnimationRunning());
        for (const QSize& size : {container->size(), container->minimumSize(), container->maximumSize()})
            QCOMPARE(size, QSize(390, 440));
        QCOMPARE(child->width(), 390);

        // Without a duration the end size applies at once; only changed sides are pinned.
        VYRQContainer plain;
        QVERIFY(plain.startResizeAnimation(QSize(-5, 20), QSize(50, 20), 0));
        QVERIFY(!plain.isResizeAnimationRunning());
        QCOMPARE(plain.minimumSize(), QSize(50, 0));
    }
};

QTEST_MAIN(tst_Container)
#include "tst_container.moc"
