#include "VYRQContainer.h"
#include "VYRQContainerImpl.h"
#include "VYRQSpacer.h"
#include "cell.h"

#include <QtTest>

#include <climits>

using IntList = QVector<int>;

namespace {

int mainSize(const QRect& r, bool horizontal) { return horizontal ? r.width() : r.height(); }
int mainPos(const QRect& r, bool horizontal) { return horizontal ? r.x() : r.y(); }
int crossSize(const QRect& r, bool horizontal) { return horizontal ? r.height() : r.width(); }
VYRQContainer::AutoChildLayout axis(bool horizontal)
{
    return horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical;
}

} // namespace

class tst_LayoutEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ratioDivision_data();
    void ratioDivision();
    void fixedPolicyKeepsItsSize();
    void crossAxisPolicy_data();
    void crossAxisPolicy();
    void shrinkingNonStretchItems_data();
    void shrinkingNonStretchItems();
    void docking_data();
    void docking();
    void secondDockingAfterFloatingAndStretchOnly_data();
    void secondDockingAfterFloatingAndStretchOnly();
    void autoSizeContainer_data();
    void autoSizeContainer();
    void floating_data();
    void floating();
};

void tst_LayoutEngine::ratioDivision_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("pad");
    QTest::addColumn<int>("space");
    QTest::addColumn<IntList>("weights");
    QTest::addColumn<IntList>("sizes");
    QTest::addColumn<IntList>("positions");

    QTest::newRow("equal thirds") << true << 300 << 10 << 5 << IntList{1, 1, 1} << IntList{90, 90, 90}
                                  << IntList{10, 105, 200};
    QTest::newRow("last takes the rest") << true << 300 << 10 << 5 << IntList{1, 2, 1} << IntList{67, 135, 68}
                                         << IntList{10, 82, 222};
    QTest::newRow("vertical") << false << 300 << 10 << 5 << IntList{1, 2, 1} << IntList{67, 135, 68}
                              << IntList{10, 82, 222};
    QTest::newRow("truncating thirds") << true << 200 << 0 << 0 << IntList{1, 1, 1} << IntList{66, 67, 67}
                                       << IntList{0, 66, 133};
    QTest::newRow("negative space counts as 0") << true << 100 << 0 << -7 << IntList{1, 1} << IntList{50, 50}
                                                << IntList{0, 50};
    QTest::newRow("paddings over the size") << true << 50 << 40 << 0 << IntList{1, 1} << IntList{0, 0}
                                            << IntList{40, 40};
    // Weights from a page are unchecked: their products and sums must not wrap.
    QTest::newRow("huge ratios") << true << 300 << 0 << 0 << IntList{INT_MAX, INT_MAX, 1}
                                 << IntList{149, 150, 1} << IntList{0, 149, 299};
    QTest::newRow("huge ratios vertical") << false << 300 << 0 << 0 << IntList{INT_MAX, 1, INT_MAX}
                                          << IntList{149, 0, 151} << IntList{0, 149, 149};
}

void tst_LayoutEngine::ratioDivision()
{
    QFETCH(bool, horizontal);
    QFETCH(int, length);
    QFETCH(int, pad);
    QFETCH(int, space);
    QFETCH(IntList, weights);
    QFETCH(IntList, sizes);
    QFETCH(IntList, positions);

    VYRQContainer container;
    container.resize(horizontal ? length : 80, horizontal ? 80 : length);
    QVector<Cell*> cells;
    for (int weight : weights) {
        cells << new Cell(&container, 20, 20);
        cells.last()->setLayoutRatio(weight);
    }
    container.setChildPadding(pad);
    container.setChildSpace(space);
    container.setChildLayout(axis(horizontal));

    for (int i = 0; i < cells.size(); ++i) {
        const QRect base = baseGeometry(cells[i]);
        QCOMPARE(mainSize(base, horizontal), sizes[i]);
        QCOMPARE(mainPos(base, horizontal), positions[i]);
        QCOMPARE(cells[i]->geometry(), base);
    }
}

void tst_LayoutEngine::fixedPolicyKeepsItsSize()
{
    for (bool horizontal : {true, false}) {
        VYRQContainer container;
        container.resize(horizontal ? 300 : 60, horizontal ? 60 : 300);
        Cell* a = new Cell(&container, 20, 20);
        Cell* fixed = new Cell(&container, 50, 50);
        QWidget* plain = new QWidget(&container);
        if (horizontal)
            fixed->setWidthPolicy(PolicyFixed);
        else
            fixed->setHeightPolicy(PolicyFixed);
        container.setChildLayout(axis(horizontal));

        QCOMPARE(mainSize(baseGeometry(a), horizontal), 125);
        QCOMPARE(mainSize(baseGeometry(fixed), horizontal), 50);
        QCOMPARE(mainPos(baseGeometry(plain), horizontal), 175);
        QCOMPARE(mainSize(baseGeometry(plain), horizontal), 125);
    }
}

void tst_LayoutEngine::crossAxisPolicy_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("control");
    QTest::addColumn<int>("policy");
    QTest::addColumn<int>("ownCross");
    QTest::addColumn<int>("maxCross");
    QTest::addColumn<int>("expected");

    // Cross size: 100 less paddings of 10 and 10.
    for (bool horizontal : {true, false}) {
        const QByteArray axis = horizontal ? "h " : "v ";
        QTest::newRow(axis + "unset keeps own") << horizontal << true << -1 << 30 << QWIDGETSIZE_MAX << 30;
        QTest::newRow(axis + "0 fills") << horizontal << true << 0 << 30 << QWIDGETSIZE_MAX << 80;
        QTest::newRow(axis + "1 keeps own") << horizontal << true << 1 << 30 << QWIDGETSIZE_MAX << 30;
        QTest::newRow(axis + "never taller") << horizontal << true << 1 << 150 << QWIDGETSIZE_MAX << 80;
        QTest::newRow(axis + "0 up to maximum") << horizontal << true << 0 << 30 << 40 << 40;
        QTest::newRow(axis + "plain widget") << horizontal << false << -1 << 150 << QWIDGETSIZE_MAX << 80;
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
    container.resize(horizontal ? 200 : 100, horizontal ? 100 : 200);
    container.setChildPadding(10);
    Cell* cell = control ? new Cell(&container) : nullptr;
    QWidget* child = cell ? static_cast<QWidget*>(cell) : new QWidget(&container);
    child->resize(horizontal ? 20 : ownCross, horizontal ? ownCross : 20);
    if (horizontal)
        child->setMaximumHeight(maxCross);
    else
        child->setMaximumWidth(maxCross);
    if (cell && horizontal)
        cell->setHeightPolicy(LayoutSizePolicy(policy));
    else if (cell)
        cell->setWidthPolicy(LayoutSizePolicy(policy));
    container.setChildLayout(axis(horizontal));

    const QRect base = baseGeometry(child);
    QCOMPARE(crossSize(base, horizontal), expected);
    QCOMPARE(horizontal ? base.y() : base.x(), 10);
}

void tst_LayoutEngine::shrinkingNonStretchItems_data()
{
    QTest::addColumn<IntList>("current");
    QTest::addColumn<IntList>("minimum");
    QTest::addColumn<IntList>("sizes");

    // 140 wanted in 100: the 40 come off in proportion to the room above each minimum.
    QTest::newRow("proportional") << IntList{80, 60} << IntList{20, 50} << IntList{46, 0, 54};
    // More deficit than room: both go to their minimum and the placement cuts the
    // last one to what is left (Qt still holds the widget itself to its minimum).
    QTest::newRow("down to the minimums") << IntList{80, 80} << IntList{60, 70} << IntList{60, 0, 40};
    QTest::newRow("fits") << IntList{30, 20} << IntList{0, 0} << IntList{30, 50, 20};
}

void tst_LayoutEngine::shrinkingNonStretchItems()
{
    QFETCH(IntList, current);
    QFETCH(IntList, minimum);
    QFETCH(IntList, sizes);

    VYRQContainer container;
    container.resize(100, 50);
    Cell* a = new Cell(&container, current[0], 20);
    a->setMinimumWidth(minimum[0]);
    VYRQSpacer* spacer = new VYRQSpacer(&container);
    Cell* b = new Cell(&container, current[1], 20);
    b->setMinimumWidth(minimum[1]);
    container.setChildLayout(VYRQContainer::Horizontal);

    QCOMPARE(baseGeometry(a), QRect(0, 0, sizes[0], 20));
    QCOMPARE(baseGeometry(spacer).x(), sizes[0]);
    QCOMPARE(baseGeometry(spacer).width(), sizes[1]);
    QCOMPARE(baseGeometry(b), QRect(sizes[0] + sizes[1], 0, sizes[2], 20));
    QCOMPARE(b->width(), std::max(sizes[2], minimum[1]));
}

void tst_LayoutEngine::docking_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("ver");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");

    // Container 400 x 300 with padding 10: the area is (10, 10, 380, 280).
    QTest::newRow("centre, far") << 1 << 2 << QPoint(0, -8) << QSize(60, 40) << QRect(170, 242, 60, 40);
    QTest::newRow("near, near") << 0 << 0 << QPoint(5, 6) << QSize(60, 40) << QRect(15, 16, 60, 40);
    QTest::newRow("far, centre truncates") << 2 << 1 << QPoint() << QSize(61, 41) << QRect(329, 129, 61, 41);
    QTest::newRow("larger than the area") << 1 << 1 << QPoint() << QSize(500, 400) << QRect(10, 10, 380, 280);
}

void tst_LayoutEngine::docking()
{
    QFETCH(int, hor);
    QFETCH(int, ver);
    QFETCH(QPoint, offset);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);

    VYRQContainer container;
    container.resize(400, 300);
    container.setChildPadding(10);
    Cell* docked = new Cell(&container, size.width(), size.height());
    docked->setAbsoluteDock(DockLayoutType(hor), DockLayoutType(ver), offset.x(), offset.y());
    Cell* row = new Cell(&container);
    container.setChildLayout(VYRQContainer::Horizontal);

    QCOMPARE(docked->geometry(), expected);
    QCOMPARE(baseGeometry(docked), expected);
    QCOMPARE(docked->getLayoutType(), LayoutAbsolute);
    QCOMPARE(baseGeometry(row).width(), 380);
}

void tst_LayoutEngine::secondDockingAfterFloatingAndStretchOnly_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("spacer");
    QTest::addColumn<bool>("rowChild");
    QTest::addColumn<int>("placements");

    QTest::newRow("ratio path") << int(VYRQContainer::Horizontal) << false << true << 1;
    QTest::newRow("stretch path") << int(VYRQContainer::Vertical) << true << true << 2;
    QTest::newRow("no layout children") << int(VYRQContainer::Vertical) << false << false << 1;
    QTest::newRow("rows") << int(VYRQContainer::HorFloat) << false << true << 2;
    QTest::newRow("columns") << int(VYRQContainer::VerFloat) << false << true << 2;
    QTest::newRow("unknown layout") << 6 << false << true << 2;
}

void tst_LayoutEngine::secondDockingAfterFloatingAndStretchOnly()
{
    QFETCH(int, layout);
    QFETCH(bool, spacer);
    QFETCH(bool, rowChild);
    QFETCH(int, placements);

    VYRQContainer container;
    container.resize(300, 200);
    Cell* docked = new Cell(&container, 40, 40);
    docked->setAbsoluteDock(DockFar, DockFar, 0, 0);
    if (rowChild)
        new Cell(&container);
    if (spacer)
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
    parent.setChildLayout(VYRQContainer::Horizontal);
    VYRQContainer* nested = new VYRQContainer(&parent);
    nested->resize(100, 100);
    nested->setChildPadding(2, 3, 4, 5);
    nested->setChildSpace(5);
    nested->setChildLayout(VYRQContainer::AutoChildLayout(layout));
    const QRect places[] = {QRect(3, 4, 30, 10), QRect(50, 2, 40, 20)};
    for (const QRect& place : places) {
        Cell* cell = new Cell(nested);
        cell->hint = place.size();
        cell->setGeometry(place);
    }
    (new Cell(nested, 10, 10))->setAbsoluteDock(DockNear, DockNear, 0, 0);
    nested->setAbsoluteDock(DockFar, DockFar, 0, 0);
    parent.forceResize();
    QCOMPARE(nested->geometry(), QRect(200, 100, 100, 100));

    // Switching auto-size on docks the container again at its content size.
    nested->setAbsoluteDockAutoSize(true);
    QCOMPARE(parent.impl()->contentSize(nested), expected);
    QCOMPARE(nested->geometry(), QRect(QPoint(300 - expected.width(), 200 - expected.height()), expected));
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
    // The last child is longer than a line: the first of a line is never wrapped.
    const int along[] = {100, 100, 100, 400};
    const int across[] = {30, 50, 20, 25};
    QVector<QWidget*> children;
    for (int i = 0; i < 4; ++i) {
        children << new QWidget(&container);
        children.last()->resize(rect(0, 0, along[i], across[i]).size());
    }
    container.setChildLayout(rows ? VYRQContainer::HorFloat : VYRQContainer::VerFloat);

    QCOMPARE(children[0]->geometry(), rect(0, 0, 100, 30));
    QCOMPARE(children[1]->geometry(), rect(110, 0, 100, 50));
    QCOMPARE(children[2]->geometry(), rect(0, 60, 100, 20));
    QCOMPARE(children[3]->geometry(), rect(0, 90, 400, 25));
    QCOMPARE(baseGeometry(children[3]), rect(0, 90, 400, 25));
}

QTEST_MAIN(tst_LayoutEngine)
#include "tst_layoutengine.moc"
