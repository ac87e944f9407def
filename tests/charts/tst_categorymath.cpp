#include "controls_testutil.h"

#include "ChartTheme.h"
#include "VYRQBarChartMath.h"
#include "VYRQFinancialChartMath.h"
#include "VYRQFinancialDemoData.h"
#include "VYRQScatterChartMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace vyr::chart;

Q_DECLARE_METATYPE(QVector<BarSeries>)
Q_DECLARE_METATYPE(QVector<ScatterSeries>)

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
const QRectF demoPlot(56, 48, 404, 176);

BarSeries bars(const QVector<double>& values, bool visible = true, const QString& name = QString())
{
    BarSeries s;
    s.name = name;
    s.values = values;
    s.visible = visible;
    return s;
}

ScatterSeries points(const QVector<QPointF>& p, double size = 8, bool visible = true)
{
    ScatterSeries s;
    s.points = p;
    s.pointSize = size;
    s.visible = visible;
    return s;
}

FinancialCandle candle(double open, double close, double high, double low, double volume = 100)
{
    return FinancialCandle{QStringLiteral("d"), open, high, low, close, volume};
}

bool close(double a, double b)
{
    return std::abs(a - b) < 1e-9;
}

} // namespace

class tst_BarScatterMath : public QObject {
    Q_OBJECT

private slots:
    void barRanges_data()
    {
        QTest::addColumn<QVector<BarSeries>>("data");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::newRow("nothing") << QVector<BarSeries>{} << 0.0 << 1.0;
        QTest::newRow("all zero") << QVector<BarSeries>{bars({0, 0})} << 0.0 << 1.08;
        QTest::newRow("demo") << QVector<BarSeries>{bars({120, 200, 150, 80, 70, 110, 130})} << 0.0 << 216.0;
        QTest::newRow("a negative value") << QVector<BarSeries>{bars({-40, 200})} << -52.0 << 219.2;
        QTest::newRow("only negative, zero above") << QVector<BarSeries>{bars({-10, -20})} << -20.5 << -9.2;
        QTest::newRow("hidden ignored") << QVector<BarSeries>{bars({10}), bars({500}, false)} << 0.0 << 10.8;
        QTest::newRow("not numbers skipped") << QVector<BarSeries>{bars({notANumber, 50, HUGE_VAL})} << 0.0 << 54.0;
    }
    void barRanges()
    {
        QFETCH(QVector<BarSeries>, data);
        QFETCH(double, min);
        QFETCH(double, max);
        const ValueRange r = barValueRange(data);
        QVERIFY2(close(r.min, min) && close(r.max, max), qPrintable(QStringLiteral("%1..%2").arg(r.min).arg(r.max)));
    }

    void barLayout()
    {
        const QVector<QColor> palette = chartThemeByIndex(0).palette;
        QVector<BarRect> rects = layoutBars({bars({120, 200, 150, 80, 70, 110, 130})}, 7, demoPlot, {0, 216}, 1.0,
                                            palette);
        QCOMPARE(rects.size(), 7);
        const double slot = 404.0 / 7;
        QVERIFY(close(rects.at(0).rect.left(), 56 + slot * 0.16));
        QVERIFY(close(rects.at(0).rect.width(), slot * (1 - 0.32)));
        QVERIFY(close(rects.at(0).rect.bottom(), 224));
        QVERIFY(close(rects.at(1).rect.top(), 224 - 176 * 200 / 216.0));
        QCOMPARE(rects.at(3).color, palette.first());

        // Half grown at half progress.
        rects = layoutBars({bars({100})}, 1, demoPlot, {0, 200}, 0.5, palette);
        QVERIFY(close(rects.first().rect.height(), 44));

        // A negative bar hangs from the zero line; a zero bar is one pixel high there.
        rects = layoutBars({bars({-50, 0, 100})}, 3, demoPlot, {-100, 100}, 1.0, palette);
        QVERIFY(close(rects.at(0).rect.top(), 136));
        QVERIFY(close(rects.at(0).rect.height(), 44));
        QVERIFY(close(rects.at(1).rect.top(), 136));
        QCOMPARE(rects.at(1).rect.height(), 1.0);

        // A series without a value leaves no gap; a hidden one takes no place.
        rects = layoutBars({bars({1}), bars({2, 3}), bars({4, 5}, false)}, 2, demoPlot, {0, 10}, 1.0, palette);
        QCOMPARE(rects.size(), 3);
        QCOMPARE(rects.at(2).seriesIndex, 1);
        QCOMPARE(rects.at(2).categoryIndex, 1);
        QVERIFY(close(rects.at(2).rect.left(), 56 + 202 + 18));

        // Many series in a narrow slot keep 8 pixels each and overflow their slot.
        QVector<BarSeries> many(12, bars({5, 5}));
        rects = layoutBars(many, 2, QRectF(0, 0, 100, 100), {0, 10}, 1.0, palette);
        QCOMPARE(rects.first().rect.width(), 8.0);
        QVERIFY(rects.at(11).rect.right() > 50);
    }

    // More categories than pixels: one bar per series and pixel column, spanning the
    // ones it stands for; a highlighted category keeps its own bars.
    void denseBars()
    {
        const QVector<QColor> palette = chartThemeByIndex(0).palette;
        QVector<double> values(100000);
        for (int i = 0; i < values.size(); ++i)
            values[i] = i % 3 ? 10 : (i == 5001 ? 90 : -20);
        const QVector<BarSeries> data{bars(values), bars(values)};
        const ValueRange range = barValueRange(data);
        const QVector<BarRect> all = layoutBars(data, values.size(), demoPlot, range, 1.0, palette);
        const QVector<BarRect> merged = mergeDenseBars(all, values.size(), demoPlot, 5001);
        QVERIFY2(merged.size() <= 2 * (404 + 2) + 2, qPrintable(QString::number(merged.size())));
        QCOMPARE(std::count_if(merged.begin(), merged.end(), [](const BarRect& b) { return b.categoryIndex == 5001; }),
                 2);
        const double lowest = barValueToY(-20, demoPlot, range);
        QVERIFY(std::all_of(merged.begin(), merged.end(), [&](const BarRect& b) {
            return b.categoryIndex == 5001 || close(b.rect.bottom(), lowest);
        }));
        const QVector<BarRect> few = layoutBars(data, 7, demoPlot, range, 1.0, palette);
        QCOMPARE(mergeDenseBars(few, 7, demoPlot, -1).size(), few.size());
    }

    void barHover()
    {
        QCOMPARE(barCategoryAt(56, demoPlot, 1), 0);
        QCOMPARE(barCategoryAt(56 + 404.0 / 7 - 0.01, demoPlot, 7), 0);
        QCOMPARE(barCategoryAt(56 + 404.0 / 7, demoPlot, 7), 1);
        QCOMPARE(barCategoryAt(460, demoPlot, 7), 6);
        QCOMPARE(barCategoryAt(0, demoPlot, 7), 0);
        const QVector<BarSeries> data{bars({1, 2.5}, true, "A"), bars({7, 8}, false, "B"), bars({3})};
        QCOMPARE(barCategoryTipText(data, "Tue", 1), QStringLiteral("Tue\nA: 2.5"));
        QCOMPARE(barCategoryTipText(data, "Mon", 0), QStringLiteral("Mon\nA: 1\nSeries: 3"));
        QCOMPARE(barTipText(data, 2, "Mon", 0), QStringLiteral("Series\nMon: 3"));
        QCOMPARE(barTipText(data, 2, "Tue", 1), QString());
        QCOMPARE(barTipText(data, 3, "Mon", 0), QString());
        QCOMPARE(barCategoryCount({}, {}), 1);
        QCOMPARE(barCategoryCount({"a"}, data), 2);
    }

    void scatterRanges_data()
    {
        QTest::addColumn<QVector<ScatterSeries>>("data");
        QTest::addColumn<QRectF>("xy");
        const QVector<QPointF> a{{8, 15}, {12, 24}, {18, 31}, {25, 40}, {32, 28}};
        const QVector<QPointF> b{{10, 8}, {16, 14}, {22, 19}, {30, 26}, {36, 21}};
        // The rectangle holds x min, y min, x max, y max.
        QTest::newRow("demo") << QVector<ScatterSeries>{points(a), points(b)} << QRectF(5.76, 5.44, 38.24, 42.56);
        QTest::newRow("one point") << QVector<ScatterSeries>{points({{3, 100}})} << QRectF(1.84, 98.84, 4.16, 101.16);
        QTest::newRow("both hidden") << QVector<ScatterSeries>{points(a, 8, false), points(b, 8, false)}
                                     << QRectF(0, 0, 1, 1);
        QTest::newRow("not numbers skipped")
            << QVector<ScatterSeries>{points({{notANumber, 5}, {0, 0}, {10, HUGE_VAL}, {10, 10}})}
            << QRectF(-0.8, -0.8, 10.8, 10.8);
    }
    void scatterRanges()
    {
        QFETCH(QVector<ScatterSeries>, data);
        QFETCH(QRectF, xy);
        const ScatterRange r = scatterRange(data);
        QVERIFY2(close(r.x.min, xy.x()) && close(r.y.min, xy.y()) && close(r.x.max, xy.width())
                     && close(r.y.max, xy.height()),
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(r.x.min).arg(r.y.min).arg(r.x.max).arg(r.y.max)));
    }

    // A point is reachable up to its series' size + 6 pixels from where it is drawn,
    // also while the points still rise.
    void scatterHits()
    {
        const QVector<ScatterSeries> data{points({{0, 0}, {10, 10}}, 8), points({{10, 10}}, 20)};
        const QRectF plot(0, 0, 100, 100);
        const ScatterRange range{{0, 10}, {0, 10}};
        ScatterHit hit = scatterHitTest(data, QPointF(100, 14), plot, range, 1.0);
        QVERIFY(hit.found);
        QCOMPARE(hit.seriesIndex, 0);
        QCOMPARE(hit.pointIndex, 1);
        QCOMPARE(hit.distance, 14.0);
        hit = scatterHitTest(data, QPointF(100, 20), plot, range, 1.0);
        QCOMPARE(hit.seriesIndex, 1);
        QVERIFY(!scatterHitTest(data, QPointF(100, 27), plot, range, 1.0).found);
        hit = scatterHitTest(data, QPointF(100, 50), plot, range, 0.5);
        QVERIFY(hit.found);
        QCOMPARE(hit.y, 50.0);
        QCOMPARE(scatterPointAt({10, 10}, plot, range, 0.5), QPointF(100, 50));
        QCOMPARE(scatterTipText(data, 0, 1), QStringLiteral("Series\nx: 10\ny: 10"));
        QCOMPARE(scatterTipText(data, 0, 2), QString());
    }
};

class tst_FinancialMath : public QObject {
    Q_OBJECT

private slots:
    void movingAverages()
    {
        const QVector<FinancialCandle> c{candle(0, 1, 1, 0), candle(0, 2, 2, 0), candle(0, 6, 6, 0)};
        double mean = -1;
        QVERIFY(movingAverage(c, 2, 3, mean));
        QCOMPARE(mean, 3.0);
        QVERIFY(movingAverage(c, 1, 1, mean));
        QCOMPARE(mean, 2.0);
        mean = -1;
        QVERIFY(!movingAverage(c, 1, 3, mean));
        QVERIFY(!movingAverage(c, 3, 1, mean));
        QVERIFY(!movingAverage(c, 2, 0, mean));
        QCOMPARE(mean, -1.0);
        const QVector<FinancialCandle> gap{candle(0, 1, 1, 0), candle(0, notANumber, 1, 0), candle(0, 1, 1, 0)};
        QVERIFY(!movingAverage(gap, 2, 2, mean));
        QVERIFY(movingAverage(gap, 0, 1, mean));
        // The tip's average is the drawn line's: at the ends of the doubles and far
        // from zero, where a plain sum overflows or rounds.
        const double most = std::numeric_limits<double>::max();
        const QVector<FinancialCandle> extreme{candle(0, most, most, 0), candle(0, -most, -most, 0)};
        QVERIFY(movingAverage(extreme, 1, 2, mean));
        QCOMPARE(mean, 0.0);
        const QVector<FinancialCandle> far{candle(0, 1e15 + 1, 1, 0), candle(0, 1e15 + 2, 1, 0),
                                           candle(0, 1e15 + 4, 1, 0)};
        QVERIFY(movingAverage(far, 2, 3, mean));
        QVector<double> drawn;
        vyr::chart::movingAverages(far, 2, 2, 3, drawn);
        QCOMPARE(mean, drawn.first());
    }

    // The averages of a run of candles are the means of their windows, and none where
    // a window holds a close that is not a number or reaches before the first candle:
    // past the refreshes of the sliding sum, at the ends of the doubles, for periods
    // longer than the run. Prices of 1e15 apart by eighths keep their averages to
    // the nearest eighth. The first `extremes` closes swing between the ends of the
    // doubles, where a slide of the sum overflows.
    void movingAverageRuns_data()
    {
        QTest::addColumn<double>("base");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("period");
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<int>("extremes");
        QTest::newRow("prices about 100") << 100.0 << 0.37 << 5 << 1e-9 << 0;
        QTest::newRow("a long period") << 100.0 << 0.37 << 500 << 1e-9 << 0;
        QTest::newRow("longer than the run") << 100.0 << 0.37 << 3000 << 0.0 << 0;
        QTest::newRow("the ends of the doubles") << 0.0 << 1.7e307 << 3 << 1e294 << 0;
        QTest::newRow("1e15 apart by eighths") << 1e15 << 0.125 << 30 << 0.0625 << 0;
        QTest::newRow("zeros after swings between the ends") << 0.0 << 0.0 << 1 << 0.0 << 100;
    }
    void movingAverageRuns()
    {
        QFETCH(double, base);
        QFETCH(double, step);
        QFETCH(int, period);
        QFETCH(double, tolerance);
        QFETCH(int, extremes);
        QVector<FinancialCandle> candles(2500);
        const double most = std::numeric_limits<double>::max();
        for (int i = 0; i < candles.size(); ++i) {
            const double close = i < extremes ? (i % 2 ? -most : most)
                : i % 600 == 599               ? notANumber
                                               : base + step * ((i * 7) % 11 - 5);
            candles[i] = candle(close, close, close, close);
        }
        QVector<double> run;
        vyr::chart::movingAverages(candles, 40, 2400, period, run);
        QCOMPARE(run.size(), 2361);
        int averages = 0;
        for (int i = 40; i <= 2400; ++i) {
            long double sum = 0;
            bool none = i < period - 1;
            for (int j = std::max(i - period + 1, 0); j <= i; ++j) {
                none |= std::isnan(candles.at(j).close);
                sum += candles.at(j).close;
            }
            const double got = run.at(i - 40);
            averages += !none;
            QVERIFY2(none ? std::isnan(got) : std::abs(got - sum / period) <= tolerance * 1.0001,
                     qPrintable(QStringLiteral("%1: %2, not %3").arg(i).arg(got, 0, 'g', 17)
                                    .arg(double(sum / period), 0, 'g', 17)));
        }
        QCOMPARE(averages > 0, period < 2500);
        vyr::chart::movingAverages(candles, 5, 4, 3, run);
        QVERIFY(run.isEmpty());
        vyr::chart::movingAverages(candles, 0, 9, 0, run);
        QCOMPARE(run.size(), 10);
        QVERIFY(std::all_of(run.begin(), run.end(), [](double v) { return std::isnan(v); }));
    }

    void valueRanges_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        // Candles low 90 / high 110 (and one at 200, out of view); closes 100, 100, 150.
        QTest::newRow("candles with averages") << 0 << 2 << 90 - 1.6 << 110 + 1.6;
        QTest::newRow("volume view, no averages") << 2 << 2 << 90 - 1.6 << 110 + 1.6;
        QTest::newRow("a single candle") << 2 << 1 << 90 - 1.6 << 110 + 1.6;
        QTest::newRow("no records") << 2 << 0 << 0.0 << 1.0;
        QTest::newRow("price view") << 1 << 2 << 10 - 0.8 << 20 + 0.8;
    }
    void valueRanges()
    {
        QFETCH(int, view);
        QFETCH(int, count);
        QFETCH(double, min);
        QFETCH(double, max);
        FinancialData data;
        data.viewMode = view;
        data.maPeriods = {2};
        data.candles = {candle(95, 100, 110, 90), candle(100, 100, 110, 90), candle(150, 150, 200, 140)};
        data.pricePoints = {{"a", 10, 15, 1}, {"b", 20, 15, 1}, {"c", 99, 99, 1}};
        data.candles.resize(std::min(count + (count > 0 ? 1 : 0), 3));
        data.pricePoints.resize(data.candles.size());
        const ValueRange r = financialValueRange(data, 0, count - 1);
        QVERIFY2(close(r.min, min) && close(r.max, max), qPrintable(QStringLiteral("%1..%2").arg(r.min).arg(r.max)));

        // Equal ends widen by one each way.
        data.viewMode = 2;
        data.candles = {candle(5, 5, 5, 5)};
        const ValueRange flat = financialValueRange(data, 0, 0);
        QCOMPARE(flat.min, 4.0);
        QCOMPARE(flat.max, 6.0);
    }

    void averagesInRange()
    {
        // Averages far from the candles pull the range in view 0 only.
        FinancialData data;
        data.maPeriods = {2};
        data.candles = {candle(0, 1000, 1000, 1000), candle(0, 0, 10, 0)};
        QVERIFY(close(financialValueRange(data, 1, 1).max, 500 + 40));
        data.movingAveragesVisible = false;
        QVERIFY(close(financialValueRange(data, 1, 1).max, 10 + 0.8));
    }

    void positions()
    {
        const QRectF plot(66, 48, 400, 200);
        const ValueRange range{0, 100};
        QCOMPARE(financialPointFor(5, 50, plot, 5, 5, range), QPointF(66, 148));
        QCOMPARE(financialPointFor(9, 100, plot, 5, 9, range), QPointF(466, 48));
        QCOMPARE(financialRecordAt(66 + 50, plot, 5, 9), 6);
        QCOMPARE(financialRecordAt(66 + 49.9, plot, 5, 9), 5);
        QCOMPARE(financialRecordAt(1000, plot, 5, 9), 9);
        QCOMPARE(financialRecordAt(0, plot, 5, 9), 5);
        QCOMPARE(financialRecordAt(300, plot, 5, 5), 5);
        QCOMPARE(financialLabelStep(33, 61), 8);
        QCOMPARE(financialLabelStep(0, 0), 1);
        const QVector<QColor> own{Qt::red, Qt::blue};
        QCOMPARE(movingAverageColor(3, own, {}), QColor(Qt::blue));
        QCOMPARE(movingAverageColor(1, {}, {Qt::green}), QColor(Qt::green));
        QCOMPARE(movingAverageColor(1, {}, {}), QColor(84, 112, 198));
    }

    // The tips of the demo records; the price averages run over the day so far.
    void demoRecords()
    {
        const QVector<FinancialCandle> candles = financialDemoCandles();
        const QVector<FinancialPricePoint> prices = financialDemoPricePoints();
        QCOMPARE(prices.size(), 49);
        QVERIFY(close(prices.at(1).average, (prices.at(0).price + prices.at(1).price) / 2));

        FinancialData data;
        data.candles = candles;
        data.pricePoints = prices;
        data.maPeriods = {5, 10, 20, 30};
        // The demo window starts at record 33: every average exists there.
        for (const int p : data.maPeriods) {
            double mean = 0;
            QVERIFY(movingAverage(candles, 33, p, mean));
        }
        const QString first = QStringLiteral("03-26\nOpen: 2854.5\nHigh: 2862.33\nLow: 2819.07\nClose: 2824.67\n"
                                             "Volume: 52322127");
        QCOMPARE(financialTipText(data, 0), first);
        QCOMPARE(financialTipText(data, 33).count(QStringLiteral("\nMA")), 4);
        data.viewMode = 2;
        QCOMPARE(financialTipText(data, 33).count(QStringLiteral("\nMA")), 0);
        data.viewMode = 1;
        QCOMPARE(financialTipText(data, 48),
                 QStringLiteral("06-26 15:00\nPrice: 2906.94\nAverage: %1\nVolume: 584252")
                     .arg(formatValue(prices.last().average)));
        QCOMPARE(financialTipText(data, 49), QString());
    }

    void tableReading()
    {
        const QVector<FinancialCandle> c = parseCandleTable(
            QStringLiteral("\n  2026-01-02,1,2,3,4,5  \n\n2026-01-03,1,2,3\n2026-01-04,x,2,3,4,5,extra\n"));
        QCOMPARE(c.size(), 2);
        QCOMPARE(c.first().label, QStringLiteral("01-02"));
        QCOMPARE(c.first().close, 2.0);
        QCOMPARE(c.first().low, 4.0);
        QCOMPARE(c.last().open, 0.0);
        const QVector<FinancialPricePoint> p = parsePriceTable(QStringLiteral("a b c,10,1\nshort,3\nd e f,20,2\n"));
        QCOMPARE(p.size(), 2);
        QCOMPARE(p.last().average, 15.0);
        QVERIFY(parseCandleTable(QString()).isEmpty());
    }
};

VYR_TEST_SUITE(tst_BarScatterMath, 1)
VYR_TEST_SUITE(tst_FinancialMath, 2)
#include "tst_categorymath.moc"
