#include "VYRQContainer.h"
#include "testaccess.h"
#include "VYRQContainerImpl.h"
#include "VYRQSpacer.h"
#include "testcontrols.h"

#include <QtTest>

using IntList = QVector<int>;

namespace {

VYRQContainer::AutoChildLayout axis(bool h) { return h ? VYRQContainer::Horizontal : VYRQContainer::Vertical; }

// One child per token: "r<n>" a 20-pixel cell of ratio n, "c<n>" a cell of n pixels,
// "f<n>" the same with a fixed main size, "w<n>" a plain widget of n pixels,
// "s<a|h|v>[n]" a spacer of that direction (and ratio n), "z" a spacer held to 0.
QWidget* addChild(QWidget* parent, const QByteArray& token, bool horizontal)
{
    const char kind = token[0];
    if (kind == 's' || kind == 'z') {
        auto* spacer = new VYRQSpacer(parent);
        if (kind == 'z')
            horizontal ? spacer->setMaximumWidth(0) : spacer->setMaximumHeight(0);
        else
            spacer->setDirection(VYRQSpacer::Direction(QByteArray("ahv").indexOf(token[1])));
        if (token.size() > 2)
            spacer->setLayoutRatio(token.mid(2).toInt());
        return spacer;
    }
    const int n = token.mid(1).toInt();
    if (kind == 'w') {
        auto* plain = new QWidget(parent);
        plain->resize(n, n);
        return plain;
    }
    Cell* cell = kind == 'r' ? new Cell(parent, 20, 20) : new Cell(parent, n, n);
    if (kind == 'r')
        cell->setLayoutRatio(n);
    if (kind == 'f')
        horizontal ? cell->setWidthPolicy(PolicyFixed) : cell->setHeightPolicy(PolicyFixed);
    return cell;
}

} // namespace

class tst_LayoutEngine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainAxis_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("pad");
        QTest::addColumn<int>("space");
        QTest::addColumn<QStringList>("children");
        QTest::addColumn<IntList>("sizes");
        QTest::addColumn<IntList>("positions");

        // Without a fitting spacer every child gets its ratio's share; the last takes the rest.
        QTest::newRow("equal thirds") << true << 300 << 10 << 5 << QStringList{"r1", "r1", "r1"}
                                      << IntList{90, 90, 90} << IntList{10, 105, 200};
        QTest::newRow("truncating thirds") << true << 200 << 0 << 0 << QStringList{"r1", "r1", "r1"}
                                           << IntList{66, 67, 67} << IntList{0, 66, 133};
        QTest::newRow("negative space counts as 0") << true << 100 << 0 << -7 << QStringList{"r1", "r1"}
                                                    << IntList{50, 50} << IntList{0, 50};
        QTest::newRow("paddings over the size") << true << 50 << 40 << 0 << QStringList{"r1", "r1"}
                                                << IntList{0, 0} << IntList{40, 40};
        // Weights from a page are unchecked: their products and sums must not wrap.
        const QString huge = QStringLiteral("r2147483647");
        QTest::newRow("huge ratios") << true << 300 << 0 << 0 << QStringList{huge, huge, "r1"}
                                     << IntList{149, 150, 1} << IntList{0, 149, 299};
        QTest::newRow("huge ratios vertical") << false << 300 << 0 << 0 << QStringList{huge, "r1", huge}
                                              << IntList{149, 0, 151} << IntList{0, 149, 149};
        for (bool h : {true, false}) {
            const QByteArray ax = h ? "h " : "v ";
            QTest::newRow(ax + "last takes the rest") << h << 300 << 10 << 5 << QStringList{"r1", "r2", "r1"}
                                                      << IntList{67, 135, 68} << IntList{10, 82, 222};
            // A fixed child keeps its size and leaves the rest to the others.
            QTest::newRow(ax + "fixed") << h << 300 << 0 << 0 << QStringList{"r1", "f50", "w20"}
                                        << IntList{125, 50, 125} << IntList{0, 125, 175};
            // A spacer that fits the axis switches to the stretch path: the others keep their
            // size and the spacers share the rest by weight. Any other spacer is a child.
            for (const QString s : {"sa", h ? "sh" : "sv", h ? "sv" : "sh"}) {
                const bool fits = s != (h ? "sv" : "sh");
                QTest::newRow(ax + "spacer " + s.toLatin1()) << h << 200 << 0 << 0 << QStringList{"w40", s, "w40"}
                                                           << (fits ? IntList{40, 120, 40} : IntList{66, 67, 67})
                                                           << (fits ? IntList{0, 40, 160} : IntList{0, 66, 133});
            }
        }
        QTest::newRow("spacers by weight") << true << 160 << 0 << 0 << QStringList{"sa", "c60", "sa3"}
                                           << IntList{25, 60, 75} << IntList{0, 25, 85};
        // A spacer's maximum holds and its lost share goes to no one.
        QTest::newRow("capped spacer") << true << 160 << 0 << 0 << QStringList{"sa", "c60", "sa", "z"}
                                       << IntList{33, 60, 33, 0} << IntList{0, 33, 93, 126};
    }

    void mainAxis()
    {
        QFETCH(bool, horizontal);
        QFETCH(int, length);
        QFETCH(int, pad);
        QFETCH(int, space);
        QFETCH(QStringList, children);
        QFETCH(IntList, sizes);
        QFETCH(IntList, positions);

        VYRQContainer container;
        container.resize(horizontal ? length : 80, horizontal ? 80 : length);
        QVector<QWidget*> widgets;
        for (const QString& token : children)
            widgets << addChild(&container, token.toLatin1(), horizontal);
        container.setChildPadding(pad);
        container.setChildSpace(space);
        container.setChildLayout(axis(horizontal));

        for (int i = 0; i < widgets.size(); ++i) {
            const QRect base = baseGeometry(widgets[i]);
            QCOMPARE(horizontal ? base.width() : base.height(), sizes[i]);
            QCOMPARE(horizontal ? base.x() : base.y(), positions[i]);
            QCOMPARE(widgets[i]->geometry(), base);
        }
    }

    void crossAxis_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("policy");
        QTest::addColumn<int>("own");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("thickness");
        QTest::addColumn<int>("expected");

        // Cross size: 100 less paddings of 10 and 10.
        const int none = QWIDGETSIZE_MAX;
        for (bool horizontal : {true, false}) {
            const QByteArray axis = horizontal ? "h " : "v ";
            QTest::newRow(axis + "unset keeps own") << horizontal << "cell" << -1 << 30 << none << 0 << 30;
            QTest::newRow(axis + "0 fills") << horizontal << "cell" << 0 << 30 << none << 0 << 80;
            QTest::newRow(axis + "1 keeps own") << horizontal << "cell" << 1 << 30 << none << 0 << 30;
            QTest::newRow(axis + "never taller") << horizontal << "cell" << 1 << 150 << none << 0 << 80;
            QTest::newRow(axis + "0 up to maximum") << horizontal << "cell" << 0 << 30 << 40 << 0 << 40;
            QTest::newRow(axis + "plain widget") << horizontal << "plain" << -1 << 150 << none << 0 << 80;
            QTest::newRow(axis + "spacer thickness") << horizontal << "spacer" << -1 << 30 << none << 8 << 8;
            QTest::newRow(axis + "thickness over policy") << horizontal << "spacer" << 0 << 30 << none << 8 << 8;
            QTest::newRow(axis + "thickness clamped") << horizontal << "spacer" << -1 << 30 << none << 500 << 80;
            QTest::newRow(axis + "no thickness, fill") << horizontal << "spacer" << 0 << 30 << none << 0 << 80;
            QTest::newRow(axis + "no thickness, own") << horizontal << "spacer" << -1 << 30 << none << 0 << 30;
        }
    }

    void crossAxis()
    {
        QFETCH(bool, horizontal);
        QFETCH(QString, kind);
        QFETCH(int, policy);
        QFETCH(int, own);
        QFETCH(int, maximum);
        QFETCH(int, thickness);
        QFETCH(int, expected);

        VYRQContainer container;
        container.resize(horizontal ? 200 : 100, horizontal ? 100 : 200);
        container.setChildPadding(10);
        QWidget* child = kind == QLatin1String("cell")     ? new Cell(&container)
                         : kind == QLatin1String("spacer") ? new VYRQSpacer(&container)
                                                           : new QWidget(&container);
        child->resize(horizontal ? 20 : own, horizontal ? own : 20);
        horizontal ? child->setMaximumHeight(maximum) : child->setMaximumWidth(maximum);
        if (auto* spacer = qobject_cast<VYRQSpacer*>(child))
            spacer->setThickness(thickness);
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(child))
            horizontal ? control->setHeightPolicy(LayoutSizePolicy(policy))
                       : control->setWidthPolicy(LayoutSizePolicy(policy));
        container.setChildLayout(axis(horizontal));

        const QRect base = baseGeometry(child);
        QCOMPARE(horizontal ? base.height() : base.width(), expected);
        QCOMPARE(horizontal ? base.y() : base.x(), 10);
    }

    void shrinkingNonStretchItems_data()
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

    void shrinkingNonStretchItems()
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
        QCOMPARE(baseGeometry(spacer), QRect(sizes[0], 0, sizes[1], 30));
        QCOMPARE(baseGeometry(b), QRect(sizes[0] + sizes[1], 0, sizes[2], 20));
        QCOMPARE(b->width(), std::max(sizes[2], minimum[1]));
    }

    void docking_data()
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

    // Docked children are placed in the padded area and take no part in the row.
    void docking()
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
        QCOMPARE(baseGeometry(row).width(), 380);
    }

    void secondDocking_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("spacer");
        QTest::addColumn<bool>("rowChild");
        QTest::addColumn<int>("placements");

        // Docking runs once more after the floating layouts and the stretch path only.
        QTest::newRow("ratio path") << int(VYRQContainer::Horizontal) << false << true << 1;
        QTest::newRow("stretch path") << int(VYRQContainer::Vertical) << true << true << 2;
        QTest::newRow("no layout children") << int(VYRQContainer::Vertical) << false << false << 1;
        QTest::newRow("rows") << int(VYRQContainer::HorFloat) << false << true << 2;
        QTest::newRow("columns") << int(VYRQContainer::VerFloat) << false << true << 2;
        QTest::newRow("unknown layout") << 6 << false << true << 2;
    }

    void secondDocking()
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

    void autoSizeContainer_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QSize>("expected");

        // Hints 30 x 10 and 40 x 20 at (3, 4) and (50, 2), space 5, paddings 2, 3, 4, 5.
        QTest::newRow("horizontal") << int(VYRQContainer::Horizontal) << QSize(2 + 30 + 5 + 40 + 4, 3 + 20 + 5);
        QTest::newRow("vertical") << int(VYRQContainer::Vertical) << QSize(2 + 40 + 4, 3 + 10 + 5 + 20 + 5);
        // The union of the children at their own places, paddings on top.
        QTest::newRow("no layout") << int(VYRQContainer::NoUse) << QSize(2 + 90 + 4, 3 + 22 + 5);
    }

    void autoSizeContainer()
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
        for (const QRect& place : {QRect(3, 4, 30, 10), QRect(50, 2, 40, 20)}) {
            Cell* cell = new Cell(nested);
            cell->hint = place.size();
            cell->setGeometry(place);
        }
        // A docked child does not count.
        (new Cell(nested, 10, 10))->setAbsoluteDock(DockNear, DockNear, 0, 0);
        nested->setAbsoluteDock(DockFar, DockFar, 0, 0);
        parent.forceResize();
        QCOMPARE(nested->geometry(), QRect(200, 100, 100, 100));

        // Switching auto-size on docks the container again at its content size.
        nested->setAbsoluteDockAutoSize(true);
        QCOMPARE(vyrtest::impl(parent)->contentSize(nested), expected);
        QCOMPARE(nested->geometry(), QRect(QPoint(300 - expected.width(), 200 - expected.height()), expected));
    }

    void floating_data()
    {
        QTest::addColumn<bool>("rows");
        QTest::newRow("rows") << true;
        QTest::newRow("columns") << false;
    }

    void floating()
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
};

QTEST_MAIN(tst_LayoutEngine)
#include "tst_layoutengine.moc"
