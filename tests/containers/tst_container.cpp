#include "VYRQContainer.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQScrollBar.h"
#include "VYRQSpacer.h"
#include "cell.h"

#include <QPointer>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest>

#include <json/value.h>

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
        // Bound first, the bar makes the column scrollable: the rows keep their height.
        container.bindScrollBar(bar, false);
        container.setChildLayout(VYRQContainer::Vertical);
    }

    VYRQContainer container;
    QVector<Cell*> rows;
    QPointer<VYRQScrollBar> bar;
};

Json::Value parse(const char* text)
{
    Json::Value root;
    vyr::json::parse(QByteArray(text), root);
    return root;
}

FillStyle solid(const char* name, const QColor& color)
{
    FillStyle style;
    style.name = QString::fromLatin1(name);
    style.fill.color = color;
    return style;
}

} // namespace

class tst_Container : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void triggers();
    void scrollRefreshAndOffset();
    void wheelSteps_data();
    void wheelSteps();
    void deletingABoundBar_data();
    void deletingABoundBar();
    void barMovedToAnotherParentIsReleased();
    void releasedBarTakesNoShare();
    void resizeAnimation();
    void readAttr_data();
    void readAttr();
    void writeJson();
    void nativeWindowFollowsTheContainer();
};

void tst_Container::triggers()
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
    container.addChildWidget(nullptr, 1);

    // A removed child leaves a gap until the next pass.
    Cell* c = new Cell(&container, 10, 10);
    QCoreApplication::processEvents();
    delete a;
    QCoreApplication::processEvents();
    QCOMPARE(c->geometry(), QRect(225, 0, 75, 10));
    container.forceResize();
    QCOMPARE(c->geometry(), QRect(200, 0, 100, 10));

    // NoUse lays nothing out and docks nothing.
    container.setChildLayout(VYRQContainer::NoUse);
    c->setGeometry(5, 6, 30, 30);
    b->setAbsoluteDock(DockFar, DockFar, 0, 0);
    new Cell(&container);
    QCoreApplication::processEvents();
    container.forceResize();
    QCOMPARE(c->geometry(), QRect(5, 6, 30, 30));
    QCOMPARE(b->geometry(), QRect(0, 0, 200, 10));
}

void tst_Container::scrollRefreshAndOffset()
{
    ScrollFixture f;
    QCOMPARE(f.bar->parentWidget(), &f.container);
    QCOMPARE(f.bar->orientation(), Qt::Vertical);
    QVERIFY(f.bar->property("_vyr_container_bound_scrollbar").toBool());
    QVERIFY(!f.bar->isHidden());
    QCOMPARE(f.bar->maximum(), 50);
    QCOMPARE(f.bar->pageStep(), 100);
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
    f.container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.container));
    f.rows[2]->hide();
    QVERIFY(f.bar->isHidden());
    QCOMPARE(f.container.getScrollPos(false), 0);
    QCOMPARE(f.rows[1]->geometry(), QRect(0, 50, 100, 50));
}

void tst_Container::wheelSteps_data()
{
    QTest::addColumn<int>("singleStep");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("small step moves 24 down") << 5 << -120 << 34;
    QTest::newRow("zero delta counts as down") << 5 << 0 << 34;
    QTest::newRow("up") << 5 << 120 << 0;
    QTest::newRow("large step moves its own") << 40 << -120 << 50;
}

void tst_Container::wheelSteps()
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
    QVERIFY(event.isAccepted());
    QCOMPARE(f.container.getScrollPos(false), expected);
    QCOMPARE(f.rows[0]->geometry().y(), -expected);
}

void tst_Container::deletingABoundBar_data()
{
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("later");
    QTest::newRow("hidden container") << false << false;
    QTest::newRow("shown container") << true << false;
    QTest::newRow("deleteLater") << true << true;
}

void tst_Container::deletingABoundBar()
{
    QFETCH(bool, shown);
    QFETCH(bool, later);
    ScrollFixture f;
    if (shown) {
        f.container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.container));
    }
    f.container.setScrollPos(false, 30);

    if (later)
        f.bar->deleteLater();
    else
        delete f.bar.data();
    QTRY_VERIFY(f.bar.isNull());
    QCOMPARE(f.container.getBindScrollBar(false), nullptr);
    QCOMPARE(f.container.getScrollPos(false), 0);
    // The content goes back to where it belongs, and passes still run.
    QCOMPARE(f.rows[1]->geometry().y(), 50);
    f.container.resize(120, 100);
    f.container.forceResize();
    QCOMPARE(baseGeometry(f.rows[0]).width(), 120);
}

void tst_Container::barMovedToAnotherParentIsReleased()
{
    ScrollFixture f;
    f.container.setScrollPos(false, 20);
    VYRQContainer other;
    other.bindScrollBar(f.bar, true);
    QCOMPARE(f.container.getBindScrollBar(false), nullptr);
    QCOMPARE(f.container.getScrollPos(false), 0);
    QCOMPARE(f.rows[0]->geometry().y(), 0);
    QCOMPARE(other.getBindScrollBar(true), f.bar.data());
    QCOMPARE(f.bar->orientation(), Qt::Horizontal);
    QVERIFY(f.bar->property("_vyr_container_bound_scrollbar").toBool());
}

void tst_Container::releasedBarTakesNoShare()
{
    VYRQContainer container;
    container.resize(300, 40);
    Cell* a = new Cell(&container, 10, 10);
    Cell* b = new Cell(&container, 10, 10);
    VYRQScrollBar* first = new VYRQScrollBar;
    container.bindScrollBar(first, true);
    container.setChildLayout(VYRQContainer::Horizontal);
    // Replaced, the first bar stays a hidden child; unbound, so does the second.
    VYRQScrollBar* second = new VYRQScrollBar;
    container.bindScrollBar(second, true);
    container.bindScrollBar(nullptr, true);

    QVERIFY(first->isHidden() && second->isHidden());
    QCOMPARE(first->property("_vyr_container_bound_scrollbar"), QVariant(false));
    container.forceResize();
    QCOMPARE(baseGeometry(a).width(), 150);
    QCOMPARE(baseGeometry(b), QRect(150, 0, 150, 10));

    // Shown again, it is an ordinary child.
    first->show();
    container.forceResize();
    QCOMPARE(baseGeometry(first), QRect(200, 0, 100, first->height()));
}

void tst_Container::resizeAnimation()
{
    QWidget parent;
    VYRQContainer* container = new VYRQContainer(&parent);
    container->setChildLayout(VYRQContainer::Horizontal);
    Cell* child = new Cell(container);

    QVERIFY(container->startResizeAnimation(QSize(0, 300), QSize(390, 440), 220));
    QVERIFY(container->isResizeAnimationRunning());
    QVERIFY(!container->startResizeAnimation(QSize(0, 0), QSize(10, 10), 100));
    QCOMPARE(container->minimumSize(), container->maximumSize());

    QTRY_VERIFY(!container->isResizeAnimationRunning());
    QCOMPARE(container->size(), QSize(390, 440));
    QCOMPARE(container->minimumSize(), QSize(390, 440));
    QCOMPARE(container->maximumSize(), QSize(390, 440));
    QCOMPARE(child->width(), 390);

    // Without a duration the end size applies at once; only changed sides are pinned.
    VYRQContainer plain;
    QVERIFY(plain.startResizeAnimation(QSize(-5, 20), QSize(50, 20), 0));
    QVERIFY(!plain.isResizeAnimationRunning());
    QCOMPARE(plain.minimumSize(), QSize(50, 0));
}

void tst_Container::readAttr_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("autoSize");

    QTest::newRow("values") << QByteArray(R"({"attr": {"childLayout": 2, "absoluteDockAutoSize": 1}})") << 2
                            << true;
    QTest::newRow("no childLayout") << QByteArray(R"({"attr": {}})") << 4 << false;
    QTest::newRow("out of range") << QByteArray(R"({"attr": {"childLayout": 7}})") << 4 << false;
    QTest::newRow("not a number") << QByteArray(R"({"attr": {"childLayout": "1"}})") << 4 << false;
    QTest::newRow("no attr keeps") << QByteArray(R"({"name": "x"})") << 1 << false;
}

void tst_Container::readAttr()
{
    QFETCH(QByteArray, json);
    QFETCH(int, layout);
    QFETCH(bool, autoSize);

    VYRQContainer container;
    container.setChildLayout(VYRQContainer::Vertical);
    Json::Value root = parse(json.constData());
    QVERIFY(container.readJsonValue(&root));
    QCOMPARE(int(container.getChildLayout()), layout);
    QCOMPARE(container.getAbsoluteDockAutoSize(), autoSize);
}

void tst_Container::writeJson()
{
    VYRQContainer container;
    Json::Value written;
    QVERIFY(container.serializeJsonValue(&written, false));
    QVERIFY(!written.isMember("style"));
    QCOMPARE(written["attr"], parse(R"({"childLayout": 4})"));

    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    FillStyle a = solid("CtA", Qt::red);
    FillStyle b = solid("CtB", Qt::blue);
    FillStyle twin = solid("CtTwin", Qt::red);
    rm->setFillStyle(a.name, a);
    rm->setFillStyle(b.name, b);
    rm->setFillStyle(twin.name, twin);
    Json::Value page = parse(R"({"style": [["CtA", 1, 0], ["CtB", 1, 1], ["CtB", 1, 2], ["None", 1, 0]],
                                 "attr": {"childLayout": 3, "space": 3, "paddingLeft": 1, "paddingBottom": 2}})");
    container.readJsonValue(&page);
    QCOMPARE(container.getBackground().name, QStringLiteral("CtA"));
    QCOMPARE(container.getBackgroundState(Hot).name, QStringLiteral("CtB"));

    Json::Value again;
    container.serializeJsonValue(&again, false);
    QCOMPARE(again["style"], parse(R"([["CtA", 1, 0], ["CtB", 1, 1]])"));
    QCOMPARE(again["attr"], parse(R"({"childLayout": 3, "space": 3, "paddingLeft": 1, "paddingBottom": 2})"));

    // A disabled background that looks like the enabled one is not written.
    container.setDisableBackground(twin);
    Json::Value same;
    container.serializeJsonValue(&same, false);
    QCOMPARE(same["style"], parse(R"([["CtA", 1, 0]])"));
}

void tst_Container::nativeWindowFollowsTheContainer()
{
    QWindow native;
    native.create();
    QWidget top;
    top.resize(300, 200);
    QWidget* middle = new QWidget(&top);
    middle->move(20, 30);
    VYRQContainer* container = new VYRQContainer(middle);
    container->move(5, 6);
    container->bindWindowHandle(reinterpret_cast<void*>(native.winId()));
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    container->resize(80, 40);
    QTRY_COMPARE(native.geometry(), QRect(25, 36, 80, 40));

    container->unbindWindowHandle();
    QCOMPARE(container->getWindowHandle(), nullptr);
    container->resize(90, 40);
    QCoreApplication::processEvents();
    QCOMPARE(native.geometry(), QRect(25, 36, 80, 40));
}

QTEST_MAIN(tst_Container)
#include "tst_container.moc"
