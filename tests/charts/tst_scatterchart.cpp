#include "chart_testutil.h"
#include "cputimer.h"
#include "testaccess.h"

#include "VYRQScatterChart.h"
#include "VYRQScatterChartImpl.h"


#include <cmath>

using chart::move;

namespace {

// The demo at 500 x 300: plot (56, 48, 420, 176); x 5.76 to 38.24, y 5.44 to 42.56.
// Series A's (25, 40) sits at (304.8, 60.1).
const QPoint pointA(305, 60);

} // namespace

class tst_ScatterChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void hover_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("tip");
        QTest::newRow("13 pixels off") << pointA + QPoint(0, 13) << 1 << "Series A\nx: 25\ny: 40";
        QTest::newRow("out of reach") << pointA + QPoint(0, 16) << 1 << "";
        QTest::newRow("hover mode 0") << pointA << 0 << "";
    }
    void hover()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, mode);
        QFETCH(QString, tip);
        VYRQScatterChart scatter;
        chart::settle(scatter);
        vyrtest::impl(scatter)->hoverMode = mode;
        move(scatter, pos);
        QCOMPARE(scatter.hoverTipText(), tip);
        QCOMPARE(vyrtest::impl(scatter)->hovered, !tip.isEmpty());
        ctl::hover(scatter, false);
        QVERIFY(scatter.hoverTipText().isEmpty());
        QCOMPARE(vyrtest::impl(scatter)->hoveredPoint, -1);
    }

    // A ring until hovered, then filled in the series colour.
    void hoveredPointLooks()
    {
        VYRQScatterChart scatter;
        chart::settle(scatter);
        scatter.setThemeIndex(3);
        const ChartTheme& theme = scatter.theme();
        QCOMPARE(ctl::pixel(chart::frame(scatter), pointA.x(), pointA.y()), theme.plotBackground);
        move(scatter, pointA);
        QCOMPARE(ctl::pixel(chart::frame(scatter), pointA.x(), pointA.y()), theme.palette.first());
        QCOMPARE(ctl::pixel(chart::frame(scatter), 3, 3), theme.background);
    }

    // Hiding both series leaves axes of 0 to 1 and two hollow legend swatches.
    void hideBoth()
    {
        VYRQScatterChart scatter;
        chart::settle(scatter);
        scatter.setThemeIndex(3);
        const QVector<ChartLegendItem> items = vyrtest::impl(scatter)->legendItems(scatter.size());
        QCOMPARE(items.size(), 2);
        for (const ChartLegendItem& item : items)
            chart::click(scatter, QPoint(int(item.rect.left()) + 6, int(item.rect.top()) + 9));
        QVERIFY(!vyrtest::impl(scatter)->series.at(0).visible && !vyrtest::impl(scatter)->series.at(1).visible);
        const vyr::chart::ScatterRange range = vyrtest::impl(scatter)->dataRange();
        QCOMPARE(range.x.max, 1.0);
        QCOMPARE(range.y.min, 0.0);
        const QImage image = chart::frame(scatter);
        for (const ChartLegendItem& item : items)
            QCOMPARE(ctl::pixel(image, int(item.rect.left()) + 6, int(item.rect.top()) + 9),
                     scatter.theme().plotBackground);
        move(scatter, pointA);
        QVERIFY(scatter.hoverTipText().isEmpty());
    }

    // Points without finite coordinates are neither ranged, drawn nor hit; the one
    // usable point alone sets the range and is found at the plot's centre.
    void unusablePoints()
    {
        VYRQScatterChart scatter;
        chart::settle(scatter);
        ScatterSeries s;
        s.points = {{std::nan(""), 1}, {2, HUGE_VAL}, {5, 5}};
        scatter.setSeries({s});
        QCOMPARE(vyrtest::impl(scatter)->dataRange().x.min, 5 - 1 - 0.16);
        move(scatter, QPoint(266, 136));
        QCOMPARE(scatter.hoverTipText(), QStringLiteral("Series\nx: 5\ny: 5"));
        QCOMPARE(ctl::pixel(chart::frame(scatter), 266, 136), scatter.theme().palette.first());
        s.pointSize = -30;
        scatter.setSeries({s});
        chart::frame(scatter);
    }

    // A cloud of a million points draws in bounded time; a hovered point among them is
    // still drawn filled.
    void denseCloud()
    {
        VYRQScatterChart scatter;
        chart::settle(scatter);
        ScatterSeries s;
        s.pointSize = 8;
        for (int i = 0; i < 1000000; ++i)
            s.points.append(QPointF(std::fmod(i * 0.618034, 100.0), std::fmod(i * 0.414214, 100.0)));
        s.points.append(QPointF(50, 50));
        scatter.setSeries({s});
        move(scatter, QPoint(266, 136));
        QVERIFY(scatter.hoverTipText().contains(QLatin1String("y:")));
        const CpuTimer timer;
        const QImage image = chart::frame(scatter);
        VERIFY_CPU_BELOW(timer, 30000);
        QCOMPARE(ctl::pixel(image, 266, 136), scatter.theme().palette.first());
    }
};

VYR_TEST_SUITE(tst_ScatterChart, 4)
#include "tst_scatterchart.moc"
