#include "VYRQContainer.h"
#include "VYRQContainerImpl.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQScrollBar.h"
#include "VYRQSpacer.h"
#include "cell.h"

#include <QImage>
#include <QPointer>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest>

#include <json/value.h>

namespace {

// A vertical container of 100 x 100 with three 50-high rows that fill its width,
// and a vertical bar 10 wide: the content is 150 high.
struct ScrollFixture {
    ScrollFixture()
    {
        container.resize(100, 100);
        for (int i = 0; i < 3; ++i) {
            Cell* row = new Cell(&container, 20, 50);
            row->setHeightPolicy(PolicyFixed);
            row->setWidthPolicy(PolicyFill);
            rows << row;
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

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    style.fill.color2 = color;
    return style;
}

} // namespace

class tst_Container : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addedChildWaitsForTheEventLoop();
    void addChildWidgetLaysOutAtOnce();
    void noUseLaysNothingOut();
    void removalLeavesAGap();
    void childResizingItselfKeepsItsSize();

    void scrollRefreshShowsBarsAndRelayouts();
    void scrollOffsetMovesChildrenOnly();
    void setScrollPosClamps_data();
    void setScrollPosClamps();
    void horizontalBarKeepsContentUnshrunk();
    void wheelSteps_data();
    void wheelSteps();
    void deletingABoundBar_data();
    void deletingABoundBar();
    void barMovedToAnotherParentIsReleased();
    void releasedBarTakesNoShare_data();
    void releasedBarTakesNoShare();

    void resizeAnimation();
    void resizeAnimationWithoutDuration_data();
    void resizeAnimationWithoutDuration();

    void readAttr_data();
    void readAttr();
    void writeAttr();
    void styleSlots();
    void painting_data();
    void painting();
    void releaseEmitsClick();
    void nativeWindowFollowsTheContainer();
};

void tst_Container::addedChildWaitsForTheEventLoop()
{
    VYRQContainer container;
    container.resize(300, 40);
    container.setChildLayout(VYRQContainer::Horizontal);
    Cell* a = new Cell(&container, 10, 10);
    Cell* b = new Cell(&container, 10, 10);
    QCOMPARE(a->width(), 10);
    QVERIFY(!baseGeometry(a).isValid());
    QTRY_COMPARE(a->width(), 150);
    QCOMPARE(b->geometry(), QRect(150, 0, 150, 10));
}

void tst_Container::addChildWidgetLaysOutAtOnce()
{
    VYRQContainer container;
    container.resize(300, 40);
    container.setChildLayout(VYRQContainer::Horizontal);
    Cell* a = new Cell(nullptr, 10, 10);
    Cell* b = new Cell(nullptr, 10, 10);
    container.addChildWidget(a, 1);
    container.addChildWidget(b, 2);
    QCOMPARE(a->parentWidget(), &container);
    QCOMPARE(a->width(), 100);
    QCOMPARE(b->geometry(), QRect(100, 0, 200, 10));
    QCOMPARE(b->getLayoutRatio(), 2);
    // Null is ignored.
    container.addChildWidget(nullptr, 1);
    container.setChildRatio(nullptr, 3);
}

void tst_Container::noUseLaysNothingOut()
{
    VYRQContainer container;
    container.resize(300, 200);
    QCOMPARE(container.getChildLayout(), VYRQContainer::NoUse);
    Cell* loose = new Cell(&container, 30, 30);
    loose->move(5, 6);
    Cell* docked = new Cell(&container, 30, 30);
    docked->move(7, 8);
    docked->setAbsoluteDock(DockFar, DockFar, 0, 0);
    QCoreApplication::processEvents();
    container.forceResize();
    container.resize(400, 300);
    QCoreApplication::processEvents();
    QCOMPARE(loose->geometry(), QRect(5, 6, 30, 30));
    QCOMPARE(docked->geometry(), QRect(7, 8, 30, 30));
    QCOMPARE(docked->interfacePlacements, 0);
}

void tst_Container::removalLeavesAGap()
{
    VYRQContainer container;
    container.resize(300, 40);
    container.setChildLayout(VYRQContainer::Horizontal);
    Cell* a = new Cell(&container);
    Cell* b = new Cell(&container);
    Cell* c = new Cell(&container);
    QCoreApplication::processEvents();
    delete b;
    QCoreApplication::processEvents();
    QCOMPARE(a->geometry().x(), 0);
    QCOMPARE(c->geometry(), QRect(200, 0, 100, 30));
    container.forceResize();
    QCOMPARE(c->geometry(), QRect(150, 0, 150, 30));
}

void tst_Container::childResizingItselfKeepsItsSize()
{
    VYRQContainer container;
    container.resize(300, 40);
    container.setChildLayout(VYRQContainer::Horizontal);
    Cell* a = new Cell(&container);
    Cell* b = new Cell(&container);
    container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&container));
    container.forceResize();
    a->resize(60, 20);
    QCOMPARE(baseGeometry(a), QRect(0, 0, 60, 20));
    QCOMPARE(b->geometry().x(), 150);
}

void tst_Container::scrollRefreshShowsBarsAndRelayouts()
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

    // Content that fits again hides the bar and gives the room back.
    f.container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.container));
    f.rows[2]->hide();
    QVERIFY(f.bar->isHidden());
    QCOMPARE(f.bar->maximum(), 0);
    QCOMPARE(baseGeometry(f.rows[0]).width(), 100);
}

void tst_Container::scrollOffsetMovesChildrenOnly()
{
    ScrollFixture f;
    f.container.setScrollPos(false, 30);
    QCOMPARE(f.bar->value(), 30);
    QCOMPARE(f.container.getScrollPos(false), 30);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.rows[i]->geometry(), QRect(0, 50 * i - 30, 90, 50));
        QCOMPARE(baseGeometry(f.rows[i]), QRect(0, 50 * i, 90, 50));
    }
    QCOMPARE(f.bar->geometry(), QRect(90, 0, 10, 100));

    // A pass places from the base geometry and keeps the offset.
    f.container.forceResize();
    QCOMPARE(f.rows[1]->geometry(), QRect(0, 20, 90, 50));
}

void tst_Container::setScrollPosClamps_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 12 << 12;
    QTest::newRow("past the end") << 500 << 50;
    QTest::newRow("negative") << -5 << 0;
}

void tst_Container::setScrollPosClamps()
{
    QFETCH(int, requested);
    QFETCH(int, expected);
    ScrollFixture f;
    f.container.setScrollPos(false, requested);
    QCOMPARE(f.container.getScrollPos(false), expected);
    QCOMPARE(f.rows[0]->geometry().y(), -expected);
}

void tst_Container::horizontalBarKeepsContentUnshrunk()
{
    VYRQContainer container;
    container.resize(100, 60);
    Cell* a = new Cell(&container, 80, 20);
    new VYRQSpacer(&container);
    Cell* b = new Cell(&container, 70, 20);
    VYRQScrollBar* bar = new VYRQScrollBar;
    bar->setWidthHeight(10);
    container.bindScrollBar(bar, true);
    container.setChildLayout(VYRQContainer::Horizontal);

    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QCOMPARE(baseGeometry(a), QRect(0, 0, 80, 20));
    QCOMPARE(baseGeometry(b), QRect(80, 0, 70, 20));
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->maximum(), 50);
    QCOMPARE(bar->geometry(), QRect(0, 50, 100, 10));
}

void tst_Container::wheelSteps_data()
{
    QTest::addColumn<int>("singleStep");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("small step moves 24 down") << 5 << -120 << 24 + 10;
    QTest::newRow("zero delta counts as down") << 5 << 0 << 24 + 10;
    QTest::newRow("small step moves 24 up") << 5 << 120 << 0;
    QTest::newRow("large step moves its own") << 40 << -120 << 40 + 10;
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
    QCOMPARE(f.container.getScrollPos(false), std::min(expected, 50));
    QCOMPARE(f.rows[0]->geometry().y(), -std::min(expected, 50));
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
    QCOMPARE(f.rows[1]->geometry().y(), 20);

    if (later)
        f.bar->deleteLater();
    else
        delete f.bar.data();
    QTRY_VERIFY(f.bar.isNull());
    QCOMPARE(f.container.getBindScrollBar(false), nullptr);
    QCOMPARE(f.container.getScrollPos(false), 0);
    // The content goes back to where it belongs.
    QCOMPARE(f.rows[1]->geometry().y(), 50);

    f.container.resize(120, 100);
    f.container.forceResize();
    QCOMPARE(baseGeometry(f.rows[0]).width(), 120);
}

void tst_Container::barMovedToAnotherParentIsReleased()
{
    ScrollFixture f;
    f.container.setScrollPos(false, 20);
    QWidget elsewhere;
    f.bar->setParent(&elsewhere);
    QCOMPARE(f.container.getBindScrollBar(false), nullptr);
    QCOMPARE(f.bar->property("_vyr_container_bound_scrollbar"), QVariant(false));
    QCOMPARE(f.container.getScrollPos(false), 0);
    QCOMPARE(f.rows[0]->geometry().y(), 0);

    // Another container takes it over.
    VYRQContainer other;
    other.bindScrollBar(f.bar, true);
    QCOMPARE(f.bar->parentWidget(), &other);
    QCOMPARE(f.bar->orientation(), Qt::Horizontal);
    QVERIFY(f.bar->property("_vyr_container_bound_scrollbar").toBool());
}

void tst_Container::releasedBarTakesNoShare_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("unbound") << false;
    QTest::newRow("replaced") << true;
}

void tst_Container::releasedBarTakesNoShare()
{
    QFETCH(bool, replace);
    VYRQContainer container;
    container.resize(300, 40);
    Cell* a = new Cell(&container, 10, 10);
    Cell* b = new Cell(&container, 10, 10);
    VYRQScrollBar* first = new VYRQScrollBar;
    container.bindScrollBar(first, true);
    container.setChildLayout(VYRQContainer::Horizontal);
    container.bindScrollBar(replace ? new VYRQScrollBar : nullptr, true);

    QCOMPARE(first->parentWidget(), &container);
    QVERIFY(first->isHidden());
    QCOMPARE(first->property("_vyr_container_bound_scrollbar"), QVariant(false));
    container.forceResize();
    QCOMPARE(baseGeometry(a).width(), 150);
    QCOMPARE(baseGeometry(b), QRect(150, 0, 150, 10));

    // Shown again, it is an ordinary child.
    first->show();
    container.forceResize();
    QCOMPARE(baseGeometry(first).x(), baseGeometry(b).right() + 1);
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
    QCOMPARE(container->minimumWidth(), container->maximumWidth());
    QCOMPARE(container->minimumHeight(), container->maximumHeight());

    QTRY_VERIFY(!container->isResizeAnimationRunning());
    QCOMPARE(container->size(), QSize(390, 440));
    QCOMPARE(container->minimumSize(), QSize(390, 440));
    QCOMPARE(container->maximumSize(), QSize(390, 440));
    QCOMPARE(child->width(), 390);
}

void tst_Container::resizeAnimationWithoutDuration_data()
{
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<int>("duration");
    QTest::addColumn<QSize>("minimum");
    QTest::newRow("no duration") << QSize(10, 10) << QSize(50, 60) << 0 << QSize(50, 60);
    QTest::newRow("width only") << QSize(10, 20) << QSize(50, 20) << -1 << QSize(50, 0);
    QTest::newRow("nothing to animate") << QSize(30, 30) << QSize(30, 30) << 100 << QSize(0, 0);
    QTest::newRow("negative sizes") << QSize(-5, 10) << QSize(-10, 40) << 0 << QSize(0, 40);
}

void tst_Container::resizeAnimationWithoutDuration()
{
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(int, duration);
    QFETCH(QSize, minimum);
    VYRQContainer container;
    container.resize(30, 30);
    QVERIFY(container.startResizeAnimation(from, to, duration));
    QVERIFY(!container.isResizeAnimationRunning());
    QCOMPARE(container.minimumSize(), minimum);
}

void tst_Container::readAttr_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("space");
    QTest::addColumn<bool>("autoSize");

    QTest::newRow("values") << QByteArray(R"({"attr": {"childLayout": 2, "space": 6, "absoluteDockAutoSize": 1}})")
                            << 2 << 6 << true;
    QTest::newRow("no childLayout") << QByteArray(R"({"attr": {}})") << 4 << 0 << false;
    QTest::newRow("out of range") << QByteArray(R"({"attr": {"childLayout": 7}})") << 4 << 0 << false;
    QTest::newRow("negative") << QByteArray(R"({"attr": {"childLayout": -1}})") << 4 << 0 << false;
    QTest::newRow("not a number") << QByteArray(R"({"attr": {"childLayout": "1"}})") << 4 << 0 << false;
    QTest::newRow("no attr keeps") << QByteArray(R"({"name": "x"})") << 1 << 0 << false;
}

void tst_Container::readAttr()
{
    QFETCH(QByteArray, json);
    QFETCH(int, layout);
    QFETCH(int, space);
    QFETCH(bool, autoSize);

    VYRQContainer container;
    container.setChildLayout(VYRQContainer::Vertical);
    Json::Value root = parse(json.constData());
    QVERIFY(container.readJsonValue(&root));
    QCOMPARE(int(container.getChildLayout()), layout);
    QCOMPARE(container.getChildSpace(), space);
    QCOMPARE(container.getAbsoluteDockAutoSize(), autoSize);
}

void tst_Container::writeAttr()
{
    VYRQContainer container;
    Json::Value written;
    QVERIFY(container.serializeJsonValue(&written, false));
    QVERIFY(!written.isMember("style"));
    QCOMPARE(written["attr"], parse(R"({"childLayout": 4})"));

    container.setChildLayout(VYRQContainer::HorFloat);
    container.setChildSpace(3);
    container.setChildPadding(1, 0, 2, 0);
    container.setAbsoluteDockAutoSize(true);
    Json::Value again;
    container.serializeJsonValue(&again, false);
    QCOMPARE(again["attr"],
             parse(R"({"childLayout": 2, "space": 3, "paddingLeft": 1, "paddingRight": 2, "absoluteDockAutoSize": 1})"));

    // What was written reads back the same.
    VYRQContainer copy;
    copy.readJsonValue(&again);
    int l = 0, t = 0, r = 0, b = 0;
    copy.getChildPadding(l, t, r, b);
    QCOMPARE(QVector<int>({l, t, r, b}), QVector<int>({1, 0, 2, 0}));
    QCOMPARE(copy.getChildLayout(), VYRQContainer::HorFloat);
    QVERIFY(copy.getAbsoluteDockAutoSize());
}

void tst_Container::styleSlots()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    FillStyle a = solid(QStringLiteral("CtA"), Qt::red);
    FillStyle b = solid(QStringLiteral("CtB"), Qt::blue);
    FillStyle twin = solid(QStringLiteral("CtTwin"), Qt::red);
    rm->setFillStyle(a.name, a);
    rm->setFillStyle(b.name, b);
    rm->setFillStyle(twin.name, twin);

    VYRQContainer container;
    Json::Value root = parse(R"({"style": [["CtA", 1, 0], ["CtB", 1, 1], ["CtB", 1, 2], ["Missing", 1, 0]], "attr": {}})");
    container.readJsonValue(&root);
    QCOMPARE(container.getBackground().name, QStringLiteral("CtA"));
    QCOMPARE(container.getDisableBackground().name, QStringLiteral("CtB"));
    QCOMPARE(container.getBackgroundState(Hot).name, QStringLiteral("CtB"));

    Json::Value written;
    container.serializeJsonValue(&written, false);
    QCOMPARE(written["style"], parse(R"([["CtA", 1, 0], ["CtB", 1, 1]])"));

    // A disabled background that looks like the enabled one is not written.
    container.setDisableBackground(twin);
    Json::Value same;
    container.serializeJsonValue(&same, false);
    QCOMPARE(same["style"], parse(R"([["CtA", 1, 0]])"));
}

void tst_Container::painting_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("draw");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("enabled") << true << true << QColor(Qt::red);
    QTest::newRow("disabled") << false << true << QColor(Qt::blue);
    QTest::newRow("no background") << true << false << QColor(1, 2, 3);
}

void tst_Container::painting()
{
    QFETCH(bool, enabled);
    QFETCH(bool, draw);
    QFETCH(QColor, expected);

    VYRQContainer container;
    container.resize(40, 30);
    container.setBackground(solid(QStringLiteral("P1"), Qt::red));
    container.setBackgroundState(Disable, solid(QStringLiteral("P2"), Qt::blue));
    container.setDrawBackground(draw);
    container.setEnabled(enabled);
    QImage image(container.size(), QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3));
    container.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    QCOMPARE(QColor(image.pixel(20, 15)), expected);
}

void tst_Container::releaseEmitsClick()
{
    VYRQContainer container;
    container.resize(50, 50);
    QSignalSpy spy(&container, &VYRQContainer::mouseClickEvent);
    QTest::mouseRelease(&container, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(&container, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(spy.count(), 2);
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
    QCOMPARE(container->getWindowHandle(), reinterpret_cast<void*>(native.winId()));
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    container->resize(80, 40);
    QTRY_COMPARE(native.geometry(), QRect(25, 36, 80, 40));

    container->unbindWindowHandle();
    QCOMPARE(container->getWindowHandle(), nullptr);
    container->resize(90, 40);
    QCOMPARE(native.geometry(), QRect(25, 36, 80, 40));
}

QTEST_MAIN(tst_Container)
#include "tst_container.moc"
