#include "VYRQContainer.h"
#include "VYRQContainerImpl.h"
#include "VYRQScrollBar.h"
#include "VYRQSpacer.h"
#include "cell.h"

#include <QtTest>

#include <climits>

using IntList = QVector<int>;

namespace {

// Main-axis size and position of a child in a horizontal or vertical container.
int mainSize(const QRect& r, bool horizontal) { return horizontal ? r.width() : r.height(); }
int mainPos(const QRect& r, bool horizontal) { return horizontal ? r.x() : r.y(); }
int crossSize(const QRect& r, bool horizontal) { return horizontal ? r.height() : r.width(); }

} // namespace

class tst_LayoutEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ratioDivision_data();
    void ratioDivision();
    void fixedPolicyKeepsItsSize_data();
    void fixedPolicyKeepsItsSize();
    void crossAxisPolicy_data();
    void crossAxisPolicy();
    void hiddenChildrenTakeTheirShare();
    void shrinkingNonStretchItems_data();
    void shrinkingNonStretchItems();
    void docking_data();
    void docking();
    void dockingWaitsForALayout();
    void secondDockingAfterFloatingAndStretchOnly_data();
    void secondDockingAfterFloatingAndStretchOnly();
    void autoSizeContainer_data();
    void autoSizeContainer();
    void autoSizeSwitchRedocksInParent();
    void floating_data();
    void floating();
};

void tst_LayoutEngine::ratioDivision_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("padStart");
    QTest::addColumn<int>("padEnd");
    QTest::addColumn<int>("space");
    QTest::addColumn<IntList>("weights");
    QTest::addColumn<IntList>("sizes");
    QTest::addColumn<IntList>("positions");

    QTest::newRow("equal thirds") << true << 300 << 10 << 10 << 5 << IntList{1, 1, 1} << IntList{90, 90, 90}
                                  << IntList{10, 105, 200};
    QTest::newRow("last takes the rest") << true << 300 << 10 << 10 << 5 << IntList{1, 2, 1}
                                         << IntList{67, 135, 68} << IntList{10, 82, 222};
    QTest::newRow("truncating thirds") << true << 200 << 0 << 0 << 0 << IntList{1, 1, 1} << IntList{66, 67, 67}
                                       << IntList{0, 66, 133};
    QTest::newRow("vertical") << false << 300 << 10 << 10 << 5 << IntList{1, 2, 1} << IntList{67, 135, 68}
                              << IntList{10, 82, 222};
    QTest::newRow("negative space counts as 0") << true << 100 << 0 << 0 << -7 << IntList{1, 1}
                                                << IntList{50, 50} << IntList{0, 50};
    QTest::newRow("paddings larger than the container") << true << 50 << 40 << 40 << 0 << IntList{1, 1}
                                                        << IntList{0, 0} << IntList{40, 40};
    // Weights from a page are unchecked: their products and sums must not wrap.
    QTest::newRow("huge ratios") << true << 300 << 0 << 0 << 0 << IntList{INT_MAX, INT_MAX, 1}
                                 << IntList{149, 150, 1} << IntList{0, 149, 299};
    QTest::newRow("huge ratios vertical") << false << 300 << 0 << 0 << 0 << IntList{INT_MAX, 1, INT_MAX}
                                          << IntList{149, 0, 151} << IntList{0, 149, 149};
}

void tst_LayoutEngine::ratioDivision()
{
    QFETCH(bool, horizontal);
    QFETCH(int, length);
    QFETCH(int, padStart);
    QFETCH(int, padEnd);
    QFETCH(int, space);
    QFETCH(IntList, weights);
    QFETCH(IntList, sizes);
    QFETCH(IntList, positions);

    VYRQContainer container;
    container.resize(horizontal ? length : 80, horizontal ? 80 : length);
    QVector<Cell*> cells;
    for (int weight : weights) {
        Cell* cell = new Cell(&container, 20, 20);
        cell->setLayoutRatio(weight);
        cells << cell;
    }
    if (horizontal)
        container.setChildPadding(padStart, 0, padEnd, 0);
    else
        container.setChildPadding(0, padStart, 0, padEnd);
    container.setChildSpace(space);
    container.setChildLayout(horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical);

    for (int i = 0; i < cells.size(); ++i) {
        const QRect base = baseGeometry(cells[i]);
        QCOMPARE(mainSize(base, horizontal), sizes[i]);
        QCOMPARE(mainPos(base, horizontal), positions[i]);
        QCOMPARE(cells[i]->geometry(), base);
    }
}

void tst_LayoutEngine::fixedPolicyKeepsItsSize_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("horizontal") << true;
    QTest::newRow("vertical") << false;
}

void tst_LayoutEngine::fixedPolicyKeepsItsSize()
{
    QFETCH(bool, horizontal);
    VYRQContainer container;
    container.resize(horizontal ? 300 : 60, horizontal ? 60 : 300);
    Cell* a = new Cell(&container, 20, 20);
    Cell* fixed = new Cell(&container, 50, 50);
    QWidget* plain = new QWidget(&container);
    if (horizontal)
        fixed->setWidthPolicy(PolicyFixed);
    else
        fixed->setHeightPolicy(PolicyFixed);
    container.setChildLayout(horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical);

    QCOMPARE(mainSize(baseGeometry(a), horizontal), 125);
    QCOMPARE(mainSize(baseGeometry(fixed), horizontal), 50);
    QCOMPARE(mainPos(baseGeometry(fixed), horizontal), 125);
    QCOMPARE(mainSize(baseGeometry(plain), horizontal), 125);
    QCOMPARE(mainPos(baseGeometry(plain), horizontal), 175);
}

void tst_LayoutEngine::crossAxisPolicy_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("control");
    QTest::addColumn<int>("policy");
    QTest::addColumn<int>("ownCross");
    QTest::addColumn<int>("maxCross");
    QTest::addColumn<int>("expected");

    // Cross size of the container: 100 less paddings of 10 and 10.
    for (bool horizontal : {true, false}) {
        const QByteArray axis = horizontal ? "h " : "v ";
        QTest::newRow(axis + "unset keeps own") << horizontal << true << -1 << 30 << QWIDGETSIZE_MAX << 30;
        QTest::newRow(axis + "0 fills") << horizontal << true << 0 << 30 << QWIDGETSIZE_MAX << 80;
        QTest::newRow(axis + "1 keeps own") << horizontal << true << 1 << 30 << QWIDGETSIZE_MAX << 30;
        QTest::newRow(axis + "unset never taller") << horizontal << true << -1 << 150 << QWIDGETSIZE_MAX << 80;
        QTest::newRow(axis + "1 never taller") << horizontal << true << 1 << 150 << QWIDGETSIZE_MAX << 80;
        QTest::newRow(axis + "0 up to maximum") << horizontal << true << 0 << 30 << 40 << 40;
        QTest::newRow(axis + "plain widget keeps own") << horizontal << false << -1 << 30 << QWIDGETSIZE_MAX << 30;
    }
}

void tst_LayoutEngine::crossAxisPolicy()
{
    QFETCH(bool, horizontal);
    QFETCH(bool, control);
    QFETCH(int, policy);
    QFETCH(int, ownCross);
    QFETCH(int, maxCross);
    QFETCH(int, expected);

    VYRQContainer container;
    container.resize(200, 100);
    if (!horizontal)
        container.resize(100, 200);
    container.setChildPadding(10);
    QWidget* child = control ? static_cast<QWidget*>(new Cell(&container)) : new QWidget(&container);
    child->resize(horizontal ? 20 : ownCross, horizontal ? ownCross : 20);
    if (horizontal)
        child->setMaximumHeight(maxCross);
    else
        child->setMaximumWidth(maxCross);
    if (Cell* cell = dynamic_cast<Cell*>(child)) {
        if (horizontal)
            cell->setHeightPolicy(LayoutSizePolicy(policy));
        else
            cell->setWidthPolicy(LayoutSizePolicy(policy));
    }
    container.setChildLayout(horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical);

    const QRect base = baseGeometry(child);
    QCOMPARE(crossSize(base, horizontal), expected);
    QCOMPARE(horizontal ? base.y() : base.x(), 10);
}

void tst_LayoutEngine::hiddenChildrenTakeTheirShare()
{
    VYRQContainer container;
    container.resize(300, 40);
    Cell* a = new Cell(&container);
    Cell* hidden = new Cell(&container);
    Cell* c = new Cell(&container);
    hidden->hide();
    container.setChildLayout(VYRQContainer::Horizontal);
    QCOMPARE(baseGeometry(a).width(), 100);
    QCOMPARE(baseGeometry(hidden).x(), 100);
    QCOMPARE(baseGeometry(c).x(), 200);
}

void tst_LayoutEngine::shrinkingNonStretchItems_data()
{
    QTest::addColumn<IntList>("current");
    QTest::addColumn<IntList>("minimum");
    QTest::addColumn<IntList>("sizes");
    QTest::addColumn<IntList>("positions");

    // 140 wanted in 100: the 40 come off in proportion to the room above each minimum.
    QTest::newRow("proportional") << IntList{80, 60} << IntList{20, 50} << IntList{46, 0, 54}
                                  << IntList{0, 46, 46};
    // More deficit than room: both go to their minimum, and the placement cuts the
    // second one to what is left.
    QTest::newRow("down to the minimums") << IntList{80, 80} << IntList{60, 70} << IntList{60, 0, 40}
                                          << IntList{0, 60, 60};
    QTest::newRow("fits without shrinking") << IntList{30, 20} << IntList{0, 0} << IntList{30, 50, 20}
                                            << IntList{0, 30, 80};
}

void tst_LayoutEngine::shrinkingNonStretchItems()
{
    QFETCH(IntList, current);
    QFETCH(IntList, minimum);
    QFETCH(IntList, sizes);
    QFETCH(IntList, positions);

    VYRQContainer container;
    container.resize(100, 50);
    Cell* a = new Cell(&container, current[0], 20);
    a->setMinimumWidth(minimum[0]);
    VYRQSpacer* spacer = new VYRQSpacer(&container);
    Cell* b = new Cell(&container, current[1], 20);
    b->setMinimumWidth(minimum[1]);
    container.setChildLayout(VYRQContainer::Horizontal);

    const QWidget* widgets[] = {a, spacer, b};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(baseGeometry(widgets[i]).width(), sizes[i]);
        QCOMPARE(baseGeometry(widgets[i]).x(), positions[i]);
    }
    // Qt still holds each child to its own minimum.
    QVERIFY(b->width() >= minimum[1]);
}

void tst_LayoutEngine::docking_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("ver");
    QTest::addColumn<int>("ox");
    QTest::addColumn<int>("oy");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");

    // Container 400 x 300 with padding 10: the area is (10, 10, 380, 280).
    QTest::newRow("centre, far with offset") << 1 << 2 << 0 << -8 << QSize(60, 40) << QRect(170, 242, 60, 40);
    QTest::newRow("near, near with offsets") << 0 << 0 << 5 << 6 << QSize(60, 40) << QRect(15, 16, 60, 40);
    QTest::newRow("far, centre truncates") << 2 << 1 << 0 << 0 << QSize(61, 41) << QRect(329, 129, 61, 41);
    QTest::newRow("larger than the area") << 1 << 1 << 0 << 0 << QSize(500, 400) << QRect(10, 10, 380, 280);
}

void tst_LayoutEngine::docking()
{
    QFETCH(int, hor);
    QFETCH(int, ver);
    QFETCH(int, ox);
    QFETCH(int, oy);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);

    VYRQContainer container;
    container.resize(400, 300);
    container.setChildPadding(10);
    Cell* docked = new Cell(&container, size.width(), size.height());
    docked->setAbsoluteDock(DockLayoutType(hor), DockLayoutType(ver), ox, oy);
    Cell* row = new Cell(&container);
    container.setChildLayout(VYRQContainer::Horizontal);

    QCOMPARE(docked->geometry(), expected);
    QCOMPARE(baseGeometry(docked), expected);
    // Docking records the rectangle as the control's absolute layout data.
    QCOMPARE(docked->getLayoutType(), LayoutAbsolute);
    // A docked child takes no part in the row.
    QCOMPARE(baseGeometry(row).width(), 380);
}

void tst_LayoutEngine::dockingWaitsForALayout()
{
    VYRQContainer container;
    container.resize(400, 300);
    Cell* docked = new Cell(&container, 50, 50);
    docked->move(7, 9);
    docked->setAbsoluteDock(DockFar, DockFar, 0, 0);
    container.forceResize();
    QCOMPARE(docked->geometry(), QRect(7, 9, 50, 50));

    // A value outside the known layouts places nothing but still docks.
    container.setChildLayout(VYRQContainer::AutoChildLayout(5));
    QCOMPARE(docked->geometry(), QRect(350, 250, 50, 50));
}

void tst_LayoutEngine::secondDockingAfterFloatingAndStretchOnly_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("withSpacer");
    QTest::addColumn<bool>("withRowChild");
    QTest::addColumn<int>("placements");

    QTest::newRow("ratio path") << int(VYRQContainer::Horizontal) << false << true << 1;
    QTest::newRow("stretch path") << int(VYRQContainer::Horizontal) << true << true << 2;
    QTest::newRow("vertical stretch path") << int(VYRQContainer::Vertical) << true << true << 2;
    QTest::newRow("no layout children") << int(VYRQContainer::Vertical) << false << false << 1;
    QTest::newRow("rows") << int(VYRQContainer::HorFloat) << false << true << 2;
    QTest::newRow("columns") << int(VYRQContainer::VerFloat) << false << true << 2;
    QTest::newRow("unknown layout") << 6 << false << true << 2;
}

void tst_LayoutEngine::secondDockingAfterFloatingAndStretchOnly()
{
    QFETCH(int, layout);
    QFETCH(bool, withSpacer);
    QFETCH(bool, withRowChild);
    QFETCH(int, placements);

    VYRQContainer container;
    container.resize(300, 200);
    Cell* docked = new Cell(&container, 40, 40);
    docked->setAbsoluteDock(DockFar, DockFar, 0, 0);
    if (withRowChild)
        new Cell(&container);
    if (withSpacer)
        new VYRQSpacer(&container);
    container.setChildLayout(VYRQContainer::AutoChildLayout(layout));

    docked->interfacePlacements = 0;
    container.forceResize();
    QCOMPARE(docked->interfacePlacements, placements);
    // The floating layouts move docked children like any other; docking puts them back.
    QCOMPARE(docked->geometry(), QRect(260, 160, 40, 40));
}

void tst_LayoutEngine::autoSizeContainer_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QSize>("expected");

    // Hints 30 x 10 and 40 x 20 at (3, 4) and (50, 2), space 5, paddings 2, 3, 4, 5.
    QTest::newRow("horizontal") << int(VYRQContainer::Horizontal) << QSize(2 + 30 + 5 + 40 + 4, 3 + 20 + 5);
    QTest::newRow("vertical") << int(VYRQContainer::Vertical) << QSize(2 + 40 + 4, 3 + 10 + 5 + 20 + 5);
    // The union of the children at their own places, paddings on top.
    QTest::newRow("no layout") << int(VYRQContainer::NoUse) << QSize(2 + 90 + 4, 3 + 22 + 5);
}

void tst_LayoutEngine::autoSizeContainer()
{
    QFETCH(int, layout);
    QFETCH(QSize, expected);

    VYRQContainer parent;
    parent.resize(300, 200);
    VYRQContainer* nested = new VYRQContainer(&parent);
    nested->setChildPadding(2, 3, 4, 5);
    nested->setChildSpace(5);
    nested->setChildLayout(VYRQContainer::AutoChildLayout(layout));
    Cell* a = new Cell(nested, 30, 10);
    a->hint = QSize(30, 10);
    a->move(3, 4);
    Cell* b = new Cell(nested, 40, 20);
    b->hint = QSize(40, 20);
    b->move(50, 2);
    Cell* docked = new Cell(nested, 10, 10);
    docked->setAbsoluteDock(DockNear, DockNear, 0, 0);
    nested->setAbsoluteDock(DockFar, DockFar, 0, 0);
    nested->setAbsoluteDockAutoSize(true);
    parent.setChildLayout(VYRQContainer::Horizontal);

    QCOMPARE(parent.impl()->contentSize(nested), expected);
    QCOMPARE(nested->size(), expected);
    QCOMPARE(nested->pos(), QPoint(300 - expected.width(), 200 - expected.height()));
}

void tst_LayoutEngine::autoSizeSwitchRedocksInParent()
{
    VYRQContainer parent;
    parent.resize(300, 200);
    parent.setChildLayout(VYRQContainer::Vertical);
    VYRQContainer* nested = new VYRQContainer(&parent);
    nested->resize(100, 100);
    nested->setChildLayout(VYRQContainer::Horizontal);
    Cell* cell = new Cell(nested, 30, 10);
    cell->hint = QSize(30, 10);
    nested->setAbsoluteDock(DockCenter, DockNear, 0, 0);
    parent.forceResize();
    QCOMPARE(nested->geometry(), QRect(100, 0, 100, 100));

    nested->setAbsoluteDockAutoSize(true);
    QCOMPARE(nested->geometry(), QRect(135, 0, 30, 10));
    // A container that is not auto-sized has no content size.
    QVERIFY(!parent.impl()->contentSize(&parent).isValid());
}

void tst_LayoutEngine::floating_data()
{
    QTest::addColumn<bool>("rows");
    QTest::newRow("rows") << true;
    QTest::newRow("columns") << false;
}

void tst_LayoutEngine::floating()
{
    QFETCH(bool, rows);
    auto rect = [rows](int main, int cross, int along, int across) {
        return rows ? QRect(main, cross, along, across) : QRect(cross, main, across, along);
    };

    VYRQContainer container;
    container.resize(rows ? 250 : 400, rows ? 400 : 250);
    container.setChildSpace(10);
    QVector<QWidget*> children;
    const int across[] = {30, 50, 20, 25};
    for (int i = 0; i < 4; ++i) {
        QWidget* child = new QWidget(&container);
        child->resize(rows ? 100 : across[i], rows ? across[i] : 100);
        children << child;
    }
    // The first child of a line is never wrapped, however long.
    children[3]->resize(rows ? 400 : 25, rows ? 25 : 400);
    container.setChildLayout(rows ? VYRQContainer::HorFloat : VYRQContainer::VerFloat);

    QCOMPARE(children[0]->geometry(), rect(0, 0, 100, 30));
    QCOMPARE(children[1]->geometry(), rect(110, 0, 100, 50));
    QCOMPARE(children[2]->geometry(), rect(0, 60, 100, 20));
    QCOMPARE(children[3]->geometry(), rect(0, 90, 400, 25));
    QCOMPARE(baseGeometry(children[3]), rect(0, 90, 400, 25));
}

QTEST_MAIN(tst_LayoutEngine)
#include "tst_layoutengine.moc"
