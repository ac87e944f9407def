#include "chart_testutil.h"
#include "cputimer.h"
#include "testaccess.h"

#include "VYRQBarChart.h"
#include "VYRQBarChartImpl.h"


using chart::move;

namespace {

// The demo at 500 x 300: plot (56, 48, 404, 176), range 0 to 216, slots 57.7 wide;
// Wed (150) is the bar from x 180.7 to 219.9, top at 101.8.
const QPoint onWednesday(200, 160);
const QPoint aboveWednesday(200, 80);
const QPoint legendSwatch(62, 267);

} // namespace

class tst_BarChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void hoverModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("series");
        QTest::newRow("bar, within 2 pixels") << 1 << QPoint(221, 160) << "Data\nWed: 150" << 2 << 0;
        QTest::newRow("above the bar") << 1 << aboveWednesday << "" << -1 << -1;
        QTest::newRow("category") << 2 << aboveWednesday << "Wed\nData: 150" << 2 << -1;
        QTest::newRow("outside the plot") << 2 << QPoint(30, 100) << "" << -1 << -1;
        QTest::newRow("off") << 0 << onWednesday << "" << -1 << -1;
    }
    void hoverModes()
    {
        QFETCH(int, mode);
        QFETCH(QPoint, pos);
        QFETCH(QString, tip);
        QFETCH(int, category);
        QFETCH(int, series);
        VYRQBarChart bar;
        chart::settle(bar);
        bar.setHoverMode(mode);
        bar.setTooltipEnabled(true);
        move(bar, pos);
        QCOMPARE(bar.hoverTipText(), tip);
        QCOMPARE(vyrtest::impl(bar)->hoveredCategory, category);
        QCOMPARE(vyrtest::impl(bar)->hoveredSeries, series);
        ctl::hover(bar, false);
        QVERIFY(!vyrtest::impl(bar)->hovered);
        QVERIFY(bar.hoverTipText().isEmpty());
    }

    // Without tips a hovered bar is still lighter.
    void highlightWithoutTip()
    {
        VYRQBarChart bar;
        chart::settle(bar);
        const QColor colour = bar.theme().palette.first();
        QCOMPARE(ctl::pixel(chart::frame(bar), onWednesday.x(), onWednesday.y()), colour);
        bar.setHoverMode(1);
        move(bar, onWednesday);
        QVERIFY(vyrtest::impl(bar)->hovered);
        QVERIFY(bar.hoverTipText().isEmpty());
        QCOMPARE(ctl::pixel(chart::frame(bar), onWednesday.x(), onWednesday.y()), QColor(colour.lighter(115).rgb()));
        // The dashed pointer runs through the middle of the hovered category.
        const QImage image = chart::frame(bar);
        QCOMPARE(ctl::pixel(image, 190, 60), bar.theme().plotBackground);
        QVERIFY(ctl::pixel(image, 200, 60) != bar.theme().plotBackground);
    }

    // A hidden series keeps a lighter legend entry and leaves range and bars as if
    // it were not there; a second click brings it back.
    void legendToggle()
    {
        VYRQBarChart bar;
        chart::settle(bar);
        bar.setHoverMode(2);
        bar.setTooltipEnabled(true);
        move(bar, aboveWednesday);
        QVERIFY(!bar.hoverTipText().isEmpty());
        const QColor colour = bar.theme().palette.first();
        chart::click(bar, legendSwatch);
        QVERIFY(!vyrtest::impl(bar)->series.first().visible);
        QVERIFY(bar.hoverTipText().isEmpty());
        QCOMPARE(vyrtest::impl(bar)->valueRange().max, 1.0);
        QVERIFY(vyrtest::impl(bar)->layoutBars(vyrtest::impl(bar)->plotRect(bar.size()), vyrtest::impl(bar)->valueRange()).isEmpty());
        const QImage image = chart::frame(bar);
        QCOMPARE(ctl::pixel(image, legendSwatch.x(), legendSwatch.y()), QColor(colour.lighter(160).rgb()));
        QCOMPARE(ctl::pixel(image, onWednesday.x(), onWednesday.y()), bar.theme().plotBackground);
        move(bar, aboveWednesday);
        QVERIFY(!vyrtest::impl(bar)->hovered);
        chart::click(bar, legendSwatch);
        QVERIFY(vyrtest::impl(bar)->series.first().visible);
        QCOMPARE(vyrtest::impl(bar)->valueRange().max, 216.0);
    }

    // No series: a range of 0 to 1, one "Item 1" slot without names, no legend, and
    // 42 pixels below the plot whatever the legend position.
    void noSeries()
    {
        VYRQBarChart bar;
        chart::settle(bar);
        bar.setSeries({});
        bar.setCategories({});
        bar.setLegendPosition(0);
        QCOMPARE(vyrtest::impl(bar)->plotRect(bar.size()), QRectF(56, 48, 404, 210));
        QCOMPARE(vyrtest::impl(bar)->categoryCount(), 1);
        QVERIFY(vyrtest::impl(bar)->legendItems(bar.size()).isEmpty());
        bar.setHoverMode(2);
        move(bar, QPoint(200, 100));
        chart::click(bar, QPoint(60, 60));
        QVERIFY(!vyrtest::impl(bar)->hovered);
        QCOMPARE(ctl::pixel(chart::frame(bar), 200, 100), bar.theme().plotBackground);
    }

    // More categories than pixels draw one bar and one label per pixel column, in
    // bounded time, still reaching the highest value.
    void denseBars()
    {
        VYRQBarChart bar;
        chart::settle(bar);
        QVector<double> values(500000, 10);
        values[250000] = 100;
        bar.setSingleSeries(QStringLiteral("S"), values, QColor(Qt::blue));
        const CpuTimer timer;
        const QImage image = chart::frame(bar);
        VERIFY_CPU_BELOW(timer, 30000);
        // Range 0 to 108: the tallest bar's column is coloured near the top, its
        // neighbours only low down.
        QVERIFY(chart::near(ctl::pixel(image, 258, 70), QColor(Qt::blue), 60));
        QCOMPARE(ctl::pixel(image, 150, 70), bar.theme().plotBackground);
    }
};

VYR_TEST_SUITE(tst_BarChart, 3)
#include "tst_barchart.moc"
