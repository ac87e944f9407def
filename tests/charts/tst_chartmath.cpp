#include "ChartStrokeCoverage_p.h"
#include "ChartTheme.h"
#include "VYRQChartMath.h"
#include "VYRQLineChartMath.h"
#include "VYRQPieChartMath.h"

#include <QPainter>
#include <QPainterPath>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace vyr::chart;

using Doubles = QVector<double>;
using Ints = QVector<int>;
using Points = QVector<QPointF>;

Q_DECLARE_METATYPE(QVector<LineSeries>)

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double k = 17.0 / 120.0;

LineSeries series(const Doubles& values, bool visible = true, const QString& name = QString())
{
    LineSeries s;
    s.name = name;
    s.values = values;
    s.visible = visible;
    return s;
}

PieSlice slice(const QString& name, double value, bool visible = true)
{
    return PieSlice{name, value, QColor(), visible};
}

QVector<PieSlice> demoSlices()
{
    return {slice("Search Engine", 1048), slice("Direct", 735), slice("Email", 580), slice("Union Ads", 484),
            slice("Video Ads", 300)};
}

QVector<ChartLegendItem> entries(int n)
{
    QVector<ChartLegendItem> items(n);
    for (int i = 0; i < n; ++i)
        items[i].seriesIndex = i;
    return items;
}

// A point at `angle` degrees clockwise from 12 o'clock, `distance` from the centre.
QPointF polar(const QPointF& centre, double angle, double distance)
{
    const double a = qDegreesToRadians(angle);
    return centre + QPointF(std::sin(a), -std::cos(a)) * distance;
}

} // namespace

class tst_ChartMath : public QObject {
    Q_OBJECT

private slots:
    // Indexes outside the four themes fall back to the first.
    void themes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("background");
        QTest::newRow("dark") << 3 << "Dark" << QColor(16, 20, 28);
        QTest::newRow("past the end") << 7 << "Default" << QColor(255, 255, 255);
        QTest::newRow("negative") << -1 << "Default" << QColor(255, 255, 255);
    }
    void themes()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QColor, background);
        const ChartTheme theme = chartThemeByIndex(index);
        QCOMPARE(theme.name, name);
        QCOMPARE(theme.background, background);
        QCOMPARE(theme.palette.size(), 6);
    }

    void numbersAndLabels()
    {
        QCOMPARE(formatValue(12.5), QStringLiteral("12.5"));
        QCOMPARE(formatValue(3.0), QStringLiteral("3"));
        QCOMPARE(formatValue(-3.65), QStringLiteral("-3.65"));
        QCOMPARE(formatValue(0.1 + 0.2), QStringLiteral("0.3"));
        QCOMPARE(formatValue(-0.0), QStringLiteral("0"));
        QCOMPARE(formatValue(-0.004), QStringLiteral("0"));
        QCOMPARE(formatValue(-0.005), QStringLiteral("-0.01"));
        QCOMPARE(categoryLabel({"Mon", "Tue"}, 1), QStringLiteral("Tue"));
        QCOMPARE(categoryLabel({"Mon"}, 1), QStringLiteral("Item 2"));
        QCOMPARE(categoryLabel({}, -1), QStringLiteral("Item 0"));
        const QVector<QColor> palette{Qt::red, Qt::green};
        QCOMPARE(seriesColor(QColor(), palette, 3), QColor(Qt::green));
        QCOMPARE(seriesColor(Qt::blue, palette, 3), QColor(Qt::blue));
        QCOMPARE(seriesColor(QColor(), {}, 3), QColor(84, 112, 198));
        QVERIFY(fuzzyEqual(0, 0));
        QVERIFY(!fuzzyEqual(0, 1e-300));
        QVERIFY(!fuzzyEqual(notANumber, notANumber));
    }

    void plotRects_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("hasSeries");
        QTest::addColumn<int>("legend");
        QTest::addColumn<QRectF>("rect");
        QTest::newRow("no series keeps 42 below") << QSize(500, 300) << false << 0 << QRectF(56, 48, 404, 210);
        QTest::newRow("top") << QSize(500, 300) << true << 0 << QRectF(56, 88, 404, 170);
        QTest::newRow("right") << QSize(500, 300) << true << 1 << QRectF(56, 48, 228, 210);
        QTest::newRow("bottom") << QSize(500, 300) << true << 2 << QRectF(56, 48, 404, 176);
        QTest::newRow("left") << QSize(500, 300) << true << 3 << QRectF(232, 48, 228, 210);
        QTest::newRow("unknown is bottom") << QSize(500, 300) << true << 9 << QRectF(56, 48, 404, 176);
        QTest::newRow("too small") << QSize(20, 20) << true << 2 << QRectF(56, 48, 1, 1);
    }
    void plotRects()
    {
        QFETCH(QSize, size);
        QFETCH(bool, hasSeries);
        QFETCH(int, legend);
        QFETCH(QRectF, rect);
        QCOMPARE(plotRect(size, PlotMargins{}, hasSeries, legend), rect);
    }

    // Rows wrap once the next entry would pass the right edge; the new row lies the
    // entry height plus 6 lower. Stacked entries take the area width less 6.
    void legendLayout()
    {
        const QSize size(500, 300);
        const QRectF top = legendArea(plotRect(size, {}, true, 0), size, 0);
        QCOMPARE(top, QRectF(56, 44, 404, 28));
        const LegendMetrics line{18, 38, 24, 26};
        QVector<ChartLegendItem> items = layoutLegend(entries(3), {200, 200, 30}, top, false, line);
        QCOMPARE(items.at(0).rect, QRectF(56, 44, 238, 18));
        QCOMPARE(items.at(1).rect, QRectF(56, 68, 238, 18));
        QCOMPARE(items.at(2).rect, QRectF(304, 68, 68, 18));

        const QRectF right = legendArea(plotRect(size, {}, true, 1), size, 1);
        QCOMPARE(right, QRectF(304, 48, 188, 210));
        items = layoutLegend(entries(2), {500, 10}, right, true, line);
        QCOMPARE(items.at(0).rect, QRectF(304, 48, 182, 18));
        QCOMPARE(items.at(1).rect, QRectF(304, 74, 182, 18));
        QCOMPARE(legendArea(plotRect(size, {}, true, 3), size, 3), QRectF(14, 48, 208, 210));

        QVERIFY(layoutLegend(entries(2), {10, 10}, QRectF(0, 0, 0, 10), false, line).isEmpty());
        QCOMPARE(legendItemAt(items, QPointF(303, 47)), 0);
        QCOMPARE(legendItemAt(items, QPointF(303, 45)), -1);
        QCOMPARE(legendItemAt(items, QPointF(400, 93)), 1);
    }

    void tipPlacement_data()
    {
        QTest::addColumn<QPoint>("anchor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("below right of the cursor") << QPoint(100, 100) << QSize(80, 40) << QPoint(116, 120);
        QTest::newRow("corner: left and above") << QPoint(390, 290) << QSize(80, 40) << QPoint(311, 234);
        QTest::newRow("wider than the widget") << QPoint(100, 100) << QSize(500, 40) << QPoint(8, 120);
        QTest::newRow("above would leave the top") << QPoint(100, 20) << QSize(80, 400) << QPoint(116, 8);
    }
    void tipPlacement()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, anchor);
        const QRect box = tipRect(anchor, size, QRect(0, 0, 400, 300));
        QFETCH(QPoint, topLeft);
        QCOMPARE(box.topLeft(), topLeft);
        QCOMPARE(box.size(), size);
    }

    void valueRanges_data()
    {
        QTest::addColumn<QVector<LineSeries>>("data");
        QTest::addColumn<int>("last");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::newRow("nothing") << QVector<LineSeries>{} << 0 << 0.0 << 1.0;
        QTest::newRow("all equal") << QVector<LineSeries>{series({5, 5, 5})} << 2 << 0.0 << 6.16;
        QTest::newRow("negative and positive") << QVector<LineSeries>{series({-3, 10})} << 1 << -3.65 << 11.04;
        QTest::newRow("all equal below zero") << QVector<LineSeries>{series({-2, -2})} << 1 << -3.1 << -0.84;
        QTest::newRow("hidden series ignored") << QVector<LineSeries>{series({1, 2}), series({100}, false)} << 1
                                               << 0.0 << 2.08;
        QTest::newRow("non-finite skipped") << QVector<LineSeries>{series({notANumber, 4, infinity, -infinity})} << 3 << 0.0 << 5.16;
        QTest::newRow("only non-finite") << QVector<LineSeries>{series({notANumber, infinity})} << 1 << 0.0 << 1.0;
    }
    void valueRanges()
    {
        QFETCH(QVector<LineSeries>, data);
        QFETCH(int, last);
        const ValueRange r = lineValueRange(data, 0, last);
        QFETCH(double, min);
        QCOMPARE(r.min, min);
        QFETCH(double, max);
        QCOMPARE(r.max, max);
    }

    // The axis levels end exactly on the range's ends, however the span rounds.
    void valueLabels_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("text");
        QTest::newRow("bottom of a range from 0") << 0.0 << 1.62 << 5 << "0";
        QTest::newRow("bottom of another") << 0.0 << 3.564 << 5 << "0";
        QTest::newRow("top") << 0.0 << 1.62 << 0 << "1.62";
        QTest::newRow("between") << 0.0 << 1.62 << 2 << "0.97";
        QTest::newRow("bottom below zero") << -3.65 << 11.04 << 5 << "-3.65";
        QTest::newRow("rising, first") << 38.24 << 5.76 << 0 << "5.76";
        QTest::newRow("rising, last") << 38.24 << 5.76 << 5 << "38.24";
    }
    void valueLabels()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(int, level);
        QFETCH(QString, text);
        QCOMPARE(formatValue(levelValue(min, max, level, 5)), text);
    }

    // Ends so far apart that their span overflows still give finite positions, also
    // while the entry animation moves the values.
    void hugeRange()
    {
        const ValueRange r = lineValueRange({series({-1e308, 1e308})}, 0, 1);
        const QPointF p = linePointAt(QRectF(0, 0, 100, 100), 0, 0, 1, 1e308, r);
        QVERIFY(std::isfinite(p.y()));
        QCOMPARE(animatedValue(1e308, 0, 1, 1.0, r.min), 1e308);
        QVERIFY(std::isfinite(animatedValue(1e308, 0, 1, 0.5, r.min)));
        QVERIFY(std::isfinite(animatedValue(-1e308, 1, 2, 0.7, 1.7e308)));
        for (int k = 0; k <= 5; ++k)
            QVERIFY(std::isfinite(levelValue(r.min, r.max, k, 5)));
        QCOMPARE(levelValue(r.min, r.max, 5, 5), r.min);
        const double most = std::numeric_limits<double>::max();
        QCOMPARE(levelValue(-most, most, 3, 4), -most / 2);
        // Fuzzy-equal ends far from zero but more than 1 apart still span the axis.
        QCOMPARE(axisFraction(1e15 + 2, 1e15 - 2, 1e15 + 2), 1.0);
        QCOMPARE(axisFraction(7, 7, 7), 0.0);
        QCOMPARE(axisFraction(7.5, 7, 7), 0.5);
    }

    void entryAnimation_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("progress");
        QTest::addColumn<double>("drawn");
        QTest::newRow("single value rises with the progress") << 0 << 1 << 0.5 << 60.0;
        QTest::newRow("first of seven risen at a quarter") << 0 << 7 << 0.25 << 110.0;
        QTest::newRow("last of seven starts at three quarters") << 6 << 7 << 0.75 << 10.0;
        QTest::newRow("last of seven half way") << 6 << 7 << 0.875 << 60.0;
        QTest::newRow("before the start") << 3 << 7 << -1.0 << 10.0;
    }
    void entryAnimation()
    {
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(double, progress);
        QFETCH(double, drawn);
        QCOMPARE(animatedValue(110, index, count, progress, 10), drawn);
    }

    // Categories spread over the whole width even where a series ends early; a value
    // that is not a number leaves its point out but keeps the others in place.
    void seriesPoints()
    {
        const QRectF plot(0, 0, 200, 100);
        const ValueRange range{0, 10};
        QVector<PlotPoint> points = lineSeriesPoints(series({5, 10}), plot, 0, 2, range, 1.0);
        QCOMPARE(points.size(), 2);
        QCOMPARE(points.at(1).pos, QPointF(100, 0));
        QCOMPARE(points.at(0).pos, QPointF(0, 50));

        points = lineSeriesPoints(series({5, notANumber, 10}), plot, 0, 2, range, 1.0);
        QCOMPARE(points.size(), 2);
        QCOMPARE(points.at(1).category, 2);
        QCOMPARE(points.at(1).pos, QPointF(200, 0));
        QVERIFY(lineSeriesPoints(series({5}, false), plot, 0, 2, range, 1.0).isEmpty());

        // One category and equal range ends divide by 1, not by 0.
        const QPointF p = linePointAt(plot, 0, 0, 0, 3, ValueRange{3, 3});
        QCOMPARE(p, QPointF(0, 100));
        QCOMPARE(lineCategoryCount({}, {}), 1);
        QCOMPARE(lineCategoryCount({"a"}, {series({1, 2, 3}), series({1, 2, 3, 4}, false)}), 3);
    }

    void labelThinning_data()
    {
        QTest::addColumn<int>("last");
        QTest::addColumn<double>("width");
        QTest::addColumn<Ints>("labelled");
        QTest::newRow("one category") << 0 << 404.0 << Ints{0};
        QTest::newRow("thirty, last added") << 29 << 404.0 << Ints{0, 5, 10, 15, 20, 25, 29};
        QTest::newRow("seven, last on the step") << 6 << 404.0 << Ints{0, 2, 4, 6};
        QTest::newRow("eight, last added") << 7 << 404.0 << Ints{0, 2, 4, 6, 7};
        QTest::newRow("narrow plot keeps two slots") << 29 << 10.0 << Ints{0, 15, 29};
    }
    void labelThinning()
    {
        QFETCH(int, last);
        QFETCH(double, width);
        QFETCH(Ints, labelled);
        QCOMPARE(categoryLabelIndices(0, last, width), labelled);
    }

    // The outer neighbours of the first and last segment are the segment's own ends.
    void smoothing()
    {
        const QVector<QPointF> p{{0, 0}, {10, 10}, {20, 0}};
        QPair<QPointF, QPointF> c = smoothControlPoints(p, 0);
        QCOMPARE(c.first, QPointF(10 * k, 10 * k));
        QCOMPARE(c.second, QPointF(10 - 20 * k, 10));
        c = smoothControlPoints(p, 1);
        QCOMPARE(c.first, QPointF(10 + 20 * k, 10));
        QCOMPARE(c.second, QPointF(20 - 10 * k, 10 * k));
        QCOMPARE(linePath(p, true).elementCount(), 1 + 2 * 3);
        QCOMPARE(linePath(p.mid(0, 2), true).elementCount(), 2);
        QCOMPARE(linePath(p, false).elementCount(), 3);
        QVERIFY(linePath({}, true).isEmpty());
    }

    void nearestPoints()
    {
        const QVector<QVector<PlotPoint>> crossing{
            {{0, 1, QPointF(0, 0)}, {1, 5, QPointF(50, 50)}},
            {},
            {{0, 9, QPointF(0, 100)}, {1, 5, QPointF(50, 50)}},
        };
        NearestPointHit hit = nearestPoint(crossing, QPointF(52, 50));
        QVERIFY(hit.found);
        QCOMPARE(hit.seriesIndex, 0);
        QCOMPARE(hit.categoryIndex, 1);
        QCOMPARE(hit.distance, 2.0);
        QVERIFY(nearestPoint(crossing, QPointF(64, 50)).found);
        QVERIFY(!nearestPoint(crossing, QPointF(64.1, 50)).found);
        hit = nearestPoint(crossing, QPointF(3, 96));
        QCOMPARE(hit.seriesIndex, 2);
        QCOMPARE(hit.point, QPointF(0, 100));
        QVERIFY(!nearestPoint({}, QPointF()).found);
    }

    void hoverCategory_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("category");
        QTest::newRow("half way rounds up") << 50.0 << 6 << 1;
        QTest::newRow("right edge") << 600.0 << 6 << 6;
        QTest::newRow("past the edge clamps") << 700.0 << 6 << 6;
        QTest::newRow("one category") << 300.0 << 0 << 0;
    }
    void hoverCategory()
    {
        QFETCH(double, x);
        QFETCH(int, last);
        QFETCH(int, category);
        QCOMPARE(categoryAtX(x, QRectF(0, 0, 600, 100), 0, last), category);
    }

    void tipTexts()
    {
        QCOMPARE(pointTipText(QString(), QStringLiteral("Mon"), 12.5), QStringLiteral("Series\nMon: 12.5"));
        const QVector<LineSeries> data{series({1, 2.25}, true, "A"), series({7, 8}, false, "B"), series({3, notANumber}),
                                       series({4, 5})};
        QCOMPARE(categoryTipText(data, QStringLiteral("Tue"), 1), QStringLiteral("Tue\nA: 2.25\nSeries: 5"));
        QCOMPARE(categoryTipText(data, QStringLiteral("Item 9"), 8), QStringLiteral("Item 9"));
        QCOMPARE(sliceTipText(demoSlices(), 0), QStringLiteral("Search Engine\n1048 (33.3%)"));
        QCOMPARE(sliceTipText({slice(QString(), 2), slice("b", 6)}, 0), QStringLiteral("Slice\n2 (25%)"));
        QCOMPARE(sliceTipText(demoSlices(), 5), QString());
        QCOMPARE(sliceTipText({slice("z", 0)}, 0), QStringLiteral("z\n0 (0%)"));
    }

    // A dense line keeps its ends and each pixel column's extremes, in order.
    void denseLines()
    {
        QVector<QPointF> points;
        for (int i = 0; i < 10000; ++i)
            points.append(QPointF(i / 100.0, std::sin(i * 0.37) * 50 + (i == 4321 ? 400 : 0)));
        const QVector<QPointF> reduced = reduceDensePolyline(points);
        QVERIFY(reduced.size() <= 2 * 200 + 2);
        QCOMPARE(reduced.first(), points.first());
        QCOMPARE(reduced.last(), points.last());
        QVERIFY(reduced.contains(points.at(4321)));
        for (int i = 1; i < reduced.size(); ++i)
            QVERIFY(reduced.at(i).x() >= reduced.at(i - 1).x());
        const QVector<QPointF> sparse = points.mid(0, 500);
        QCOMPARE(reduceDensePolyline(sparse), sparse);
    }

    // The drawn points of a dense series come straight from the values: two for each
    // half-pixel column at most, with the extremes among them; a sparse series gives
    // every finite point, as the hover sees them.
    void drawnPoints()
    {
        const QRectF plot(0, 0, 400, 100);
        LineSeries s = series({});
        s.values.resize(1000000);
        for (int i = 0; i < s.values.size(); ++i)
            s.values[i] = std::sin(i * 0.01) * (i == 765432 ? 1e308 : 50) + (i % 1000 == 7 ? notANumber : 0);
        const int last = s.values.size() - 1;
        const ValueRange range = lineValueRange({s}, 0, last);
        QVector<PlotPoint> drawn;
        QVERIFY(lineDrawnPoints(s, plot, 0, last, range, 1.0, drawn));
        QVERIFY2(drawn.size() <= 2 * 801 + 2, qPrintable(QString::number(drawn.size())));
        QCOMPARE(drawn.first().category, 0);
        QCOMPARE(drawn.last().category, last);
        QVERIFY(std::any_of(drawn.begin(), drawn.end(), [](const PlotPoint& p) { return p.category == 765432; }));
        for (int i = 1; i < drawn.size(); ++i)
            QVERIFY(drawn.at(i).category >= drawn.at(i - 1).category && std::isfinite(drawn.at(i).pos.y()));

        s.values = {1, notANumber, 3, 4};
        QVERIFY(!lineDrawnPoints(s, plot, 0, 3, {0, 5}, 0.6, drawn));
        const QVector<PlotPoint> all = lineSeriesPoints(s, plot, 0, 3, {0, 5}, 0.6);
        QCOMPARE(drawn.size(), all.size());
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(drawn.at(i).pos, all.at(i).pos);
        s.visible = false;
        QVERIFY(!lineDrawnPoints(s, plot, 0, 3, {0, 5}, 1.0, drawn));
        QVERIFY(drawn.isEmpty());
    }

    // A line drawn by its coverage takes each pixel's share as QPainter's raster
    // engine strokes it (square caps, bevel joints, overlaps added up): the summed
    // difference of coverage over QPainter's within `share`, no pixel more than an
    // eighth apart; where the line is reduced to the extremes of each half column
    // (`dense`: 200 records a pixel, several turns each), within a tenth of the pixels
    // and 5 % summed, its many crossings of each pixel being fewer. Coordinates at
    // the ends of the doubles are cut to the bounds; a line without two finite points,
    // or whose stroke would span more than a double holds, hands the painter nothing. The images of the line last drawn serve the same line
    // again, and only it (`before`: a line drawn first).
    void columnSpans_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("share");
        QTest::addColumn<bool>("dense");
        QTest::addColumn<Points>("before");
        const Points zigzag{{10.2, 20}, {10.7, 60}, {11.1, 25}, {11.6, 55}, {12.4, 30}, {13.9, 62}};
        QTest::newRow("two records a column, edge crossings") << zigzag << 1.5 << 0.02 << false << Points();
        QTest::newRow("drawn again") << zigzag << 1.5 << 0.02 << false << zigzag;
        QTest::newRow("after another line")
            << zigzag << 1.5 << 0.02 << false << Points{{10.2, 20}, {10.7, 60}, {11.1, 25}, {11.6, 55}, {12.4, 30}};
        QTest::newRow("sharp and slight turns")
            << Points{{5, 5}, {40, 70}, {41, 10}, {80, 12}, {81.5, 50}, {110, 51}} << 1.5 << 0.02 << false << Points();
        QTest::newRow("a wide pen, shallow") << Points{{3, 40}, {60, 44}, {117, 20}} << 5.0 << 0.02 << false << Points();
        QTest::newRow("beyond the bounds") << Points{{-30, 40}, {60, -50}, {150, 90}} << 1.5 << 0.02 << false << Points();
        QTest::newRow("the ends of the doubles")
            << Points{{20, 40}, {21, std::numeric_limits<double>::max()}, {22, -std::numeric_limits<double>::max()}}
            << 1.5 << -1.0 << false << Points();
        QTest::newRow("nothing drawn") << Points{{notANumber, 4}, {3, infinity}, {5, 5}} << 1.5 << 0.0 << false << Points();
        // A span beyond the doubles is refused; a pen far wider than the bounds covers them.
        const Points across{{-1e308, 10}, {-1e308, 20}, {1e308, 20}, {1e308, 30}};
        QTest::newRow("a stroke spanning more than the doubles") << across << 1e308 << 0.0 << false << Points();
        QTest::newRow("a pen far wider than the bounds") << across << 1e300 << -1.0 << false << Points();
        QTest::newRow("a point repeated in its column")
            << Points{{10, 10}, {10, 15}, {10, 11}, {10, 15}, {20, 12}} << 1.5 << 0.02 << false << Points();
        // Reduced to its extremes, the lowest the last too; a pen on whole pixels, where
        // the overlaps the reduction leaves out add nothing.
        QTest::newRow("a point repeated among more in its column")
            << Points{{10, 10}, {10, 15}, {10, 11}, {10, 12}, {10, 15}, {20, 12}} << 2.0 << 0.02 << false << Points();
        // 20,000 records over a hundred columns: the extremes of each half column.
        Points dense(20000);
        for (int i = 0; i < dense.size(); ++i)
            dense[i] = QPointF(10 + i * 0.005, 40 + 25 * std::sin(i * 0.37) * std::sin(i * 0.0011));
        QTest::newRow("dense") << dense << 1.5 << 0.05 << true << Points();
    }
    void columnSpans()
    {
        QFETCH(Points, points);
        QFETCH(double, width);
        QFETCH(double, share);
        QFETCH(bool, dense);
        QFETCH(Points, before);
        const QSize size(120, 80);
        QImage ours(size, QImage::Format_ARGB32_Premultiplied);
        ours.fill(Qt::transparent);
        ChartStrokeCoverage coverage;
        // Where the line leaves the bounds, the cells there take it as running along
        // their edge, as the chart's margin around its widget hides.
        const QRect bounds = QRect(QPoint(0, 0), size).adjusted(-8, -8, 8, 8);
        QPainter painter;
        if (!before.isEmpty()) {
            QImage first = ours;
            coverage.begin(bounds);
            coverage.addLine(before.constData(), before.size(), width, Qt::black);
            painter.begin(&first);
            QVERIFY(coverage.paint(painter) > 0);
            painter.end();
        }
        coverage.begin(bounds);
        coverage.addLine(points.constData(), points.size(), width, Qt::black);
        painter.begin(&ours);
        const int images = coverage.paint(painter);
        painter.end();
        if (share <= 0) {
            QCOMPARE(images > 0, share < 0);
            return;
        }
        QImage theirs(size, QImage::Format_ARGB32_Premultiplied);
        theirs.fill(Qt::transparent);
        painter.begin(&theirs);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, width));
        QPainterPath path(points.first());
        for (const QPointF& p : points)
            path.lineTo(p);
        painter.drawPath(path);
        painter.end();
        double difference = 0;
        double covered = 0;
        int touched = 0;
        int differing = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const int a = qAlpha(ours.pixel(x, y));
                const int b = qAlpha(theirs.pixel(x, y));
                difference += std::abs(a - b);
                covered += b;
                touched += a > 0 || b > 0;
                differing += std::abs(a - b) > 32;
            }
        }
        QVERIFY(covered > 0);
        QVERIFY2(difference / covered <= share && differing <= (dense ? touched / 10 : 0),
                 qPrintable(QStringLiteral("%1 %2 of %3").arg(difference / covered).arg(differing).arg(touched)));
    }

    // Markers are kept only where they do not overlap one kept before: a million on a
    // small plot are as many as fit side by side.
    void markerSpacing()
    {
        const QRectF bounds(0, 0, 400, 300);
        QVector<QPointF> centres;
        for (int i = 0; i < 1000000; ++i)
            centres.append(QPointF(std::fmod(i * 0.618034, 400.0), 150 + std::sin(i * 0.37) * 140));
        const QVector<int> taken = spacedMarkers(centres, 8, bounds);
        QVERIFY2(taken.size() <= (400 / 8 + 1) * (300 / 8 + 1) * 2, qPrintable(QString::number(taken.size())));
        QCOMPARE(taken.first(), 0);
        for (int i = 0; i < std::min(300, taken.size()); ++i) {
            for (int j = i + 1; j < std::min(300, taken.size()); ++j)
                QVERIFY(QLineF(centres.at(taken.at(i)), centres.at(taken.at(j))).length() >= 8);
        }
        QCOMPARE(spacedMarkers({{10, 10}, {17, 10}, {18.5, 10}, {500, 10}, {qInf(), 1}}, 8, bounds), Ints({0, 2}));
        QCOMPARE(spacedMarkers({{10, 10}, {10.2, 10}}, 0, bounds).size(), 1);
        QVERIFY(spacedMarkers({{1, 1}}, 8, QRectF()).isEmpty());
    }

    // Coordinates far outside are cut to the bounds; what crosses them keeps its course.
    void clipping()
    {
        const QRectF bounds(0, 0, 100, 100);
        QVector<QPolygonF> runs = clipPolyline(QPolygonF(QVector<QPointF>{{10, 50}, {50, -3e38}, {60, 50}, {70, 60}, {300, 60}}), bounds);
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs.at(0).size(), 2);
        QCOMPARE(runs.at(0).last().y(), 0.0);
        QVERIFY(std::abs(runs.at(0).last().x() - 10) < 1e-6);
        QCOMPARE(runs.at(1).size(), 4);
        QCOMPARE(runs.at(1).last(), QPointF(100, 60));
        QVERIFY(clipPolyline(QPolygonF(QVector<QPointF>{{-5, -5}, {-5, 200}}), bounds).isEmpty());
        // Ends 1e38 away: the part inside is found from the edges, not lost in rounding.
        runs = clipPolyline(QPolygonF(QVector<QPointF>{{50, -3e38}, {51, 3e38}}), bounds);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.first(), QPolygonF(QVector<QPointF>{{50.5, 0}, {50.5, 100}}));
        QCOMPARE(clipPolyline(QPolygonF(QVector<QPointF>{{5, 5}}), bounds).size(), 1);

        const QPolygonF cut = clipPolygon(QPolygonF(QVector<QPointF>{{0, 100}, {50, -1e30}, {100, 100}}), bounds);
        QVERIFY(cut.size() >= 4);
        for (const QPointF& p : cut)
            QVERIFY(bounds.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(p));
        QVERIFY(clipPolygon(QPolygonF(QVector<QPointF>{{200, 200}, {300, 200}, {300, 300}}), bounds).isEmpty());
    }

    void pieRects_data()
    {
        QTest::addColumn<int>("legend");
        QTest::addColumn<QRectF>("rect");
        QTest::newRow("bottom") << 2 << QRectF(184, 68, 272, 272);
        QTest::newRow("top") << 0 << QRectF(175, 132, 290, 290);
        QTest::newRow("right") << 1 << QRectF(30, 68, 344, 344);
        QTest::newRow("left") << 3 << QRectF(260.5, 68, 344, 344);
    }
    void pieRects()
    {
        QFETCH(int, legend);
        QFETCH(QRectF, rect);
        QCOMPARE(pieRect(QSize(640, 460), legend), rect);
    }

    // At half progress each slice shows half its sweep from its final start angle.
    void sliceArcs()
    {
        const QVector<QColor> palette = chartThemeByIndex(0).palette;
        QVector<SliceArc> arcs = vyr::chart::sliceArcs(demoSlices(), 1.0, palette);
        QCOMPARE(arcs.size(), 5);
        QCOMPARE(arcs.at(1).startAngle, 1048.0 / 3147 * 360);
        QCOMPARE(arcs.at(4).startAngle + arcs.at(4).sweep, 360.0);
        QCOMPARE(arcs.at(2).color, palette.at(2));
        const QStringList percents{"33.3", "23.36", "18.43", "15.38", "9.53"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(formatValue(slicePercent(demoSlices(), i)), percents.at(i));

        const QVector<SliceArc> half = vyr::chart::sliceArcs(demoSlices(), 0.5, palette);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(half.at(i).startAngle, arcs.at(i).startAngle);
            QCOMPARE(half.at(i).sweep, arcs.at(i).sweep / 2);
        }

        // Hidden, zero, negative and non-finite slices take no share.
        const QVector<PieSlice> odd{slice("a", 1), slice("b", 5, false), slice("c", 0), slice("d", -2),
                                    slice("e", notANumber), slice("f", infinity), slice("g", 3)};
        arcs = vyr::chart::sliceArcs(odd, 1.0, palette);
        QCOMPARE(arcs.size(), 2);
        QCOMPARE(arcs.at(1).sliceIndex, 6);
        QCOMPARE(arcs.at(1).startAngle, 90.0);
        QCOMPARE(slicePercent(odd, 6), 75.0);
        QVERIFY(vyr::chart::sliceArcs({slice("x", 0), slice("y", 4, false)}, 1.0, palette).isEmpty());
    }

    // On a pie of radius 100 a pixel of arc is 0.573 degrees: two or more narrower
    // slices are drawn as one arc after the others; a single one keeps its own.
    void narrowSlicesMerged_data()
    {
        QTest::addColumn<double>("radius");
        QTest::addColumn<QVector<int>>("indexes");
        QTest::addColumn<QVector<double>>("starts");
        QTest::newRow("merged") << 100.0 << QVector<int>{0, 2, -1} << QVector<double>{0, 240, 360 - 0.36};
        QTest::newRow("a pixel or more") << 500.0 << QVector<int>{0, 1, 2, 3} << QVector<double>{0, 240, 240.12, 359.76};
        QTest::newRow("no radius") << 0.0 << QVector<int>{0, 1, 2, 3} << QVector<double>{0, 240, 240.12, 359.76};
    }
    void narrowSlicesMerged()
    {
        QFETCH(double, radius);
        QFETCH(QVector<int>, indexes);
        QFETCH(QVector<double>, starts);
        const QVector<QColor> palette = chartThemeByIndex(0).palette;
        const QVector<PieSlice> slices{slice("a", 2000), slice("b", 1), slice("c", 997), slice("d", 2)};
        const QVector<SliceArc> arcs = vyr::chart::sliceArcs(slices, 0.5, palette, radius, Qt::gray);
        QCOMPARE(arcs.size(), indexes.size());
        for (int i = 0; i < arcs.size(); ++i) {
            QCOMPARE(arcs.at(i).sliceIndex, indexes.at(i));
            QVERIFY(std::abs(arcs.at(i).startAngle - starts.at(i)) < 1e-9);
        }
        if (indexes.last() < 0) {
            QCOMPARE(arcs.last().value, 3.0);
            QCOMPARE(arcs.last().sweep, 0.18);
            QCOMPARE(arcs.last().color, QColor(Qt::gray));
            QCOMPARE(arcs.at(1).color, palette.at(2));
        }
        // A single narrow slice is not merged.
        const QVector<SliceArc> one = vyr::chart::sliceArcs(slices.mid(0, 3), 1.0, palette, 100, Qt::gray);
        QCOMPARE(one.size(), 3);
        QCOMPARE(one.at(1).sliceIndex, 1);
    }

    void sliceHits_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("sweep");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("hole");
        QTest::addColumn<bool>("hit");
        QTest::newRow("inside") << 0.0 << 90.0 << 45.0 << 50.0 << 0.0 << true;
        QTest::newRow("outside the sweep") << 0.0 << 90.0 << 100.0 << 50.0 << 0.0 << false;
        QTest::newRow("wraps past 0, before it") << 300.0 << 120.0 << 330.0 << 50.0 << 0.0 << true;
        QTest::newRow("wraps past 0, missed") << 300.0 << 120.0 << 90.0 << 50.0 << 0.0 << false;
        QTest::newRow("full turn") << 0.0 << 360.0 << 200.0 << 50.0 << 0.0 << true;
        QTest::newRow("beyond the radius") << 0.0 << 360.0 << 200.0 << 101.0 << 0.0 << false;
        QTest::newRow("in the hole") << 0.0 << 360.0 << 200.0 << 40.0 << 0.5 << false;
        QTest::newRow("on the ring") << 0.0 << 360.0 << 200.0 << 60.0 << 0.5 << true;
        QTest::newRow("no sweep") << 0.0 << 0.0 << 0.0 << 50.0 << 0.0 << false;
    }
    void sliceHits()
    {
        const QRectF pie(0, 0, 200, 200);
        SliceArc arc;
        arc.sliceIndex = 3;
        QFETCH(double, start);
        arc.startAngle = start;
        QFETCH(double, sweep);
        arc.sweep = sweep;
        QFETCH(double, angle);
        QFETCH(double, distance);
        const QPointF pos = polar(pie.center(), angle, distance);
        QFETCH(double, hole);
        QFETCH(bool, hit);
        QCOMPARE(sliceAt(pos, pie, hole, {arc}), hit ? 3 : -1);
    }

    // A square of no size draws and hits nothing, whatever Qt would make of it.
    void pieTooSmall()
    {
        const QRectF pie = pieRect(QSize(200, 150), 2);
        QVERIFY(pie.width() < 0);
        QVERIFY(!pieDrawable(pie));
        SliceArc full;
        full.sliceIndex = 0;
        full.sweep = 360;
        QCOMPARE(sliceAt(pie.center(), pie, 0.0, {full}), -1);
        QCOMPARE(sliceAt(QPointF(100, 100), QRectF(100, 100, 0, 0), 0.0, {full}), -1);
    }

    // Rows start over once fewer than 140 pixels would be left to the right edge.
    void pieLegend()
    {
        const QSize size(420, 400);
        const QRectF area = pieLegendArea(size, pieRect(size, 0), 0, true);
        QCOMPARE(area, QRectF(48, 48, 324, 62));
        const QVector<PieSlice> slices{slice("a", 1), slice(QString(), 2), slice("c", 3, false)};
        QVector<ChartLegendItem> items = pieLegendItems(slices, {40, 200, 40}, area, 0, {});
        QCOMPARE(items.size(), 3);
        QCOMPARE(items.at(0).rect, QRectF(48, 48, 124, 18));
        QCOMPARE(items.at(1).rect, QRectF(182, 48, 200, 18));
        QCOMPARE(items.at(2).rect, QRectF(48, 70, 124, 18));
        QCOMPARE(items.at(1).text, QStringLiteral("Slice 2"));
        QVERIFY(!items.at(2).visible);

        const QRectF side = pieLegendArea(size, pieRect(size, 1), 1, true);
        items = pieLegendItems(slices, {40, 40, 40}, side, 1, {});
        QCOMPARE(items.at(1).rect.top() - items.at(0).rect.top(), 24.0);
        QCOMPARE(items.at(0).rect.width(), double(qRound(side.width()) - 6));
        QVERIFY(pieLegendArea(size, pieRect(size, 2), 2, false).isEmpty());
    }
};

QTEST_MAIN(tst_ChartMath)
#include "tst_chartmath.moc"
