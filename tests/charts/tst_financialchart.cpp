#include "chart_hostiledata.h"
#include "chart_testutil.h"
#include "cputimer.h"
#include "testaccess.h"

#include "VYRQFinancialChart.h"
#include "VYRQFinancialChartImpl.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using chart::move;

namespace {

// The demo at 640 x 400: plot (66, 48, 546, 226) with the slider 42 below it at
// (66, 316, 546, 18); records 33 to 61 in view, 546 / 28 pixels apart.
const QSize size(640, 400);

double recordX(int index)
{
    return 66 + 546.0 * (index - 33) / 28;
}

// Candles whose bodies stay in a narrow band that every wick crosses, with highs and
// lows scattered well beyond it.
QVector<FinancialCandle> scatteredCandles(int count)
{
    QVector<FinancialCandle> candles(count);
    for (int i = 0; i < count; ++i) {
        const double open = 100 + ((i * 37) % 9 - 4) * 0.05;
        const double close = 100 + ((i * 53) % 9 - 4) * 0.05;
        candles[i] = FinancialCandle{QString::number(i), open, 101 + (i * 7919) % 97 * 0.2,
                                     99 - (i * 104729) % 89 * 0.2, close, 1};
    }
    return candles;
}

// A walk of closes that turns every few dozen candles, with a swing from one candle to
// the next that the averages smooth.
QVector<FinancialCandle> walkingCandles(int count)
{
    QVector<FinancialCandle> candles(count);
    double close = 100;
    for (int i = 0; i < count; ++i) {
        close += 3 * std::sin(i * 0.11) + ((i * 7919) % 13 - 6) * 0.4;
        candles[i] = FinancialCandle{QString::number(i), close - 1, close + 3, close - 3, close, 1};
    }
    return candles;
}

} // namespace

class tst_FinancialChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void demoState()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        QCOMPARE(vyrtest::impl(fin)->firstVisibleIndex(), 33);
        QCOMPARE(vyrtest::impl(fin)->lastVisibleIndex(), 61);
        QCOMPARE(vyrtest::impl(fin)->zoomSlider(fin.size()), QRectF(66, 316, 546, 18));
    }

    // The tip of the record under the mouse: moving averages in the candle view only;
    // tips off switch off hover, crosshair and tip together.
    void hoverTips_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("tips");
        QTest::addColumn<int>("averageLines");
        QTest::newRow("candles") << 0 << true << 4;
        QTest::newRow("volume") << 2 << true << 0;
        QTest::newRow("tips off") << 0 << false << -1;
    }
    void hoverTips()
    {
        QFETCH(int, view);
        QFETCH(bool, tips);
        QFETCH(int, averageLines);
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        fin.setViewMode(view);
        vyrtest::impl(fin)->tooltipEnabled = tips;
        move(fin, QPoint(int(recordX(40)) + 3, 150));
        if (averageLines < 0) {
            QVERIFY(!vyrtest::impl(fin)->hovered);
            QVERIFY(fin.hoverTipText().isEmpty());
            return;
        }
        QCOMPARE(vyrtest::impl(fin)->hoveredIndex, 40);
        const QString tip = fin.hoverTipText();
        QVERIFY(tip.startsWith(vyrtest::impl(fin)->candles.at(40).label + QStringLiteral("\nOpen: ")));
        QCOMPARE(tip.count(QStringLiteral("\nMA")), averageLines);
        // 8 pixels around the plot still count; further out nothing does.
        move(fin, QPoint(60, 150));
        QCOMPARE(vyrtest::impl(fin)->hoveredIndex, 33);
        move(fin, QPoint(50, 150));
        QVERIFY(!vyrtest::impl(fin)->hovered);
    }

    // Dragging the slider's window pans the records in view and ends the hover.
    void zoomDrag()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        move(fin, QPoint(int(recordX(50)), 150));
        QVERIFY(vyrtest::impl(fin)->hovered);
        ctl::mouse(fin, QEvent::MouseButtonPress, QPoint(480, 325));
        QVERIFY(vyrtest::impl(fin)->zoom.isDragging());
        QVERIFY(!vyrtest::impl(fin)->hovered);
        QVERIFY(fin.hoverTipText().isEmpty());
        ctl::mouse(fin, QEvent::MouseMove, QPoint(380, 325));
        QVERIFY(std::abs(vyrtest::impl(fin)->zoom.start() - (0.55 - 100.0 / 546)) < 1e-9);
        QCOMPARE(vyrtest::impl(fin)->firstVisibleIndex(), 22);
        QVERIFY(!vyrtest::impl(fin)->hovered);
        ctl::mouse(fin, QEvent::MouseButtonRelease, QPoint(380, 325));
        QVERIFY(!vyrtest::impl(fin)->zoom.isDragging());
        move(fin, QPoint(200, 150));
        QVERIFY(vyrtest::impl(fin)->hovered);

        // A press beside the slider starts nothing.
        ctl::mouse(fin, QEvent::MouseButtonPress, QPoint(30, 325));
        QVERIFY(!vyrtest::impl(fin)->zoom.isDragging());
    }

    // No records: range 0 to 1, nothing hovered; one record sits on the left edge.
    void fewRecords()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        fin.setCandles({});
        QCOMPARE(vyrtest::impl(fin)->valueRange().min, 0.0);
        QCOMPARE(vyrtest::impl(fin)->valueRange().max, 1.0);
        move(fin, QPoint(300, 150));
        QVERIFY(!vyrtest::impl(fin)->hovered);
        chart::frame(fin);

        fin.setCandles({FinancialCandle{QStringLiteral("one"), 10, 12, 8, 11, 5}});
        QVERIFY(vyrtest::impl(fin)->zoomSlider(fin.size()).isEmpty());
        const vyr::chart::ValueRange range = vyrtest::impl(fin)->valueRange();
        QCOMPARE(vyrtest::impl(fin)->pointFor(0, 10, vyrtest::impl(fin)->plotRect(fin.size()), range).x(), 66.0);
        move(fin, QPoint(500, 150));
        QCOMPARE(vyrtest::impl(fin)->hoveredIndex, 0);
        chart::frame(fin);

        // A record with prices that are not numbers draws nothing from them.
        fin.setCandles({FinancialCandle{QStringLiteral("bad"), std::nan(""), HUGE_VAL, 1, 2, std::nan("")},
                        FinancialCandle{QStringLiteral("ok"), 10, 12, 8, 11, 5}});
        fin.setViewMode(2);
        chart::frame(fin);
        fin.setViewMode(0);
        chart::frame(fin);
        QVERIFY(std::isfinite(vyrtest::impl(fin)->valueRange().max));
    }

    // Candle bodies in their rise or fall colour; at the start of the entry
    // animation only the first candle in view is shown.
    void candleLooks()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        const VYRQFinancialChartImpl& impl = *vyrtest::impl(fin);
        int tallest = 34;
        for (int i = 34; i <= 61; ++i) {
            if (std::abs(impl.candles.at(i).close - impl.candles.at(i).open)
                > std::abs(impl.candles.at(tallest).close - impl.candles.at(tallest).open))
                tallest = i;
        }
        const FinancialCandle& c = impl.candles.at(tallest);
        const QRectF plot = impl.plotRect(fin.size());
        const QPointF mid = impl.pointFor(tallest, (c.open + c.close) / 2, plot, impl.valueRange());
        const QColor expected = c.close >= c.open ? impl.risingColor : impl.fallingColor;
        QCOMPARE(ctl::pixel(chart::frame(fin), int(mid.x()) + 3, int(mid.y())), expected);

        fin.setAnimationEnabled(true);
        fin.setAnimationDuration(60000);
        fin.replayAnimation();
        QCOMPARE(ctl::pixel(chart::frame(fin), int(mid.x()) + 3, int(mid.y())), fin.theme().plotBackground);
    }

    // Candles closer than a pixel are drawn one per pixel column: its wick runs from
    // the highest high to the lowest low of the column's candles, in the rise or
    // fall colour of the column's first open against its last close.
    void candlesPerColumn()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, QSize(480, 400));
        fin.setZoomEnabled(false);
        VYRQFinancialChartImpl& impl = *vyrtest::impl(fin);
        impl.movingAveragesVisible = false;
        fin.setCandles(scatteredCandles(5000));
        const QImage image = chart::frame(fin);
        const QRectF plot = impl.plotRect(fin.size());
        const vyr::chart::ValueRange range = impl.valueRange();
        QCOMPARE(plot.width(), 386.0);

        struct Column {
            int first = -1;
            int last = -1;
            double high = -HUGE_VAL;
            double low = HUGE_VAL;
        };
        QVector<Column> columns(image.width());
        for (int i = 0; i < impl.candles.size(); ++i) {
            Column& c = columns[int(std::floor(impl.pointFor(i, 0, plot, range).x()))];
            c.first = c.first < 0 ? i : c.first;
            c.last = i;
            c.high = std::max(c.high, impl.candles.at(i).high);
            c.low = std::min(c.low, impl.candles.at(i).low);
        }
        for (int x = int(plot.left()) + 3; x < int(plot.right()) - 3; ++x) {
            const Column& c = columns.at(x);
            QVERIFY(c.first >= 0);
            const QColor color = impl.candles.at(c.last).close >= impl.candles.at(c.first).open ? impl.risingColor
                                                                                                : impl.fallingColor;
            // Neighbouring wicks blend into a column's edges: a pixel is taken by the
            // colour it is closest to.
            const auto closest = [&](int y) {
                const QColor p = ctl::pixel(image, x, y);
                const auto distance = [&](const QColor& c) {
                    return std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue());
                };
                const QColor candidates[] = {fin.theme().plotBackground, impl.risingColor, impl.fallingColor};
                return *std::min_element(std::begin(candidates), std::end(candidates),
                                         [&](const QColor& a, const QColor& b) { return distance(a) < distance(b); });
            };
            int top = -1;
            int bottom = -1;
            for (int y = int(plot.top()) + 1; y < int(plot.bottom()) - 1; ++y) {
                if (closest(y) != fin.theme().plotBackground) {
                    top = top < 0 ? y : top;
                    bottom = y;
                }
            }
            const double highY = impl.pointFor(0, c.high, plot, range).y();
            const double lowY = impl.pointFor(0, c.low, plot, range).y();
            QVERIFY2(std::abs(top - highY) <= 1.5 && std::abs(bottom - lowY) <= 1.5,
                     qPrintable(QStringLiteral("column %1: drawn %2..%3, candles %4..%5")
                                    .arg(x).arg(top).arg(bottom).arg(highY).arg(lowY)));
            QCOMPARE(closest(top + 1), color);
        }

        // One candle a column, each in at most nine fills of whole pixels (the wick
        // above and below the body, three columns each, and the body): no candle goes
        // through the raster engine's coverage rasteriser, only the plot's background,
        // grid lines and axes are drawn antialiased.
        chart::GeometryRecorder device(fin.size());
        chart::record(fin, device);
        QVERIFY2(device.antialiasedShapes() <= 13, qPrintable(QString::number(device.antialiasedShapes())));
        QVERIFY2(device.shapes() <= 13 + 9 * (plot.width() + 1), qPrintable(QString::number(device.shapes())));
    }

    // A million records draw in every view as a few points per pixel column (a candle
    // column up to nine fills, a fill five path points; each line up to four points;
    // the averages as images of their coverage), with no coordinate off the widget:
    // prices at the ends of the doubles, prices a quarter or 500 apart at 1e15
    // (fuzzy-equal axis ends) and volumes with the most negative double. Of those, only
    // the lines and volume bars go through the raster engine's coverage rasteriser, up
    // to `antialiased` segments a column: candles are filled in whole pixels and the
    // averages' coverage worked out apart, also at 50,000.
    void millionRecords_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("antialiased");
        const double most = std::numeric_limits<double>::max();
        QTest::newRow("price line at the ends of the doubles") << 1 << -most << most << 1000000 << 8;
        QTest::newRow("candles within a quarter at 1e15") << 0 << 1e15 << 1e15 + 0.25 << 1000000 << 0;
        QTest::newRow("candles 500 apart at 1e15") << 0 << 1e15 << 1e15 + 500 << 1000000 << 0;
        QTest::newRow("volume bars") << 2 << 90.0 << 110.0 << 1000000 << 16;
        QTest::newRow("candles and averages, 50,000") << 0 << 90.0 << 110.0 << 50000 << 0;
    }
    void millionRecords()
    {
        QFETCH(int, view);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, count);
        QFETCH(int, antialiased);
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        chart::setMillionRecords(fin, view, low, high, count);
        const VYRQFinancialChartImpl& impl = *vyrtest::impl(fin);
        const QRectF plot = impl.plotRect(size);

        chart::GeometryRecorder device(size);
        chart::record(fin, device);
        QVERIFY2(device.points() < 70000, qPrintable(QString::number(device.points())));
        // The plot's background, grid, axes and the slider take about a hundred.
        QVERIFY2(device.antialiasedSegments() <= 200 + antialiased * (plot.width() + 1),
                 qPrintable(QString::number(device.antialiasedSegments())));
        QVERIFY(device.finite());
        QVERIFY2(QRectF(-10, -10, 660, 420).contains(device.extent()),
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(device.extent().left()).arg(device.extent().top())
                                .arg(device.extent().right()).arg(device.extent().bottom())));

        const CpuTimer timer;
        const QImage image = chart::frame(fin);
        VERIFY_CPU_BELOW(timer, 20000);
        // The price line and the volume bars still reach from the plot's bottom to
        // its top (the candles lie above the plot, where fuzzy-equal ends put them).
        if (view != 0) {
            for (const int y : {51, 160, 271})
                QVERIFY(ctl::pixel(image, 300, y) != fin.theme().plotBackground);
        }
        // The last average, drawn over the rest, shows where its value lies.
        const int k = impl.maPeriods.size() - 1;
        const int i = int((300.5 - plot.left()) / plot.width() * (count - 1));
        double average = 0;
        if (view == 0 && impl.movingAverage(i, impl.maPeriods.at(k), average)) {
            const QPointF at = impl.pointFor(i, average, plot, impl.valueRange());
            if (plot.contains(at))
                QVERIFY(chart::near(ctl::pixel(image, int(at.x()), int(at.y())), impl.maColor(k), 64));
        }
        move(fin, QPoint(300, 150));
        QVERIFY(fin.hoverTipText().startsWith(view == 1 ? QStringLiteral("\nPrice: ") : QStringLiteral("\nOpen: ")));
    }

    // An average of thousands of points is drawn as QPainter strokes the whole line at
    // once: stroked in pieces, with no gaps where pieces meet and no segment lost; by
    // the chart, with candles closer than a pixel, each pixel at the share QPainter's
    // stroke covers (the chart's average drawn alone, over the chart without it).
    // Pixels whose coverage differs by more than `apart` (of 255) are counted against
    // those either side covers at least half of.
    void averageInPieces_data()
    {
        QTest::addColumn<int>("candles");
        QTest::addColumn<int>("apart");
        QTest::addColumn<double>("share");
        QTest::newRow("pieces") << 0 << 96 << 0.01;
        QTest::newRow("chart, 5,000 candles") << 5000 << 32 << 0.005;
        QTest::newRow("chart, 40,000 candles") << 40000 << 32 << 0.005;
    }
    void averageInPieces()
    {
        QFETCH(int, candles);
        QFETCH(int, apart);
        QFETCH(double, share);
        if (candles > 0) {
            averageByChart(candles, apart, share);
            return;
        }
        QVector<QPointF> points;
        for (int i = 0; i < 5000; ++i)
            points.append(QPointF(10 + i * 0.16, 100 + 60 * std::sin(i * 0.01) + (i * 7919) % 13 * 0.7));
        const auto stroke = [&](bool whole) {
            QImage image(820, 200, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(Qt::black, 1.5));
            if (whole) {
                QPainterPath path(points.first());
                for (const QPointF& p : points)
                    path.lineTo(p);
                painter.drawPath(path);
            } else {
                VYRQFinancialChartImpl::strokeInPieces(painter, points);
            }
            return image;
        };
        const QImage whole = stroke(true);
        const QImage pieces = stroke(false);
        int covered = 0;
        int differing = 0;
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < whole.width(); ++x) {
                const int a = qAlpha(whole.pixel(x, y));
                covered += a > 127;
                differing += std::abs(a - qAlpha(pieces.pixel(x, y))) > apart;
            }
        }
        QVERIFY(covered > 2000);
        QVERIFY2(differing <= covered * share, qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(covered)));
    }

private:
    void averageByChart(int count, int apart, double share)
    {
        VYRQFinancialChart fin;
        chart::settle(fin, QSize(480, 400));
        fin.setZoomEnabled(false);
        VYRQFinancialChartImpl& impl = *vyrtest::impl(fin);
        impl.risingColor = Qt::transparent;
        impl.fallingColor = Qt::transparent;
        fin.setCandles(walkingCandles(count));
        const QColor ink = impl.maColors.at(0);
        impl.maColors = QVector<QColor>(impl.maPeriods.size(), Qt::transparent);
        const QImage paper = chart::frame(fin);
        impl.maColors.first() = ink;
        const QImage ours = chart::frame(fin);
        const QRectF plot = impl.plotRect(fin.size());
        const vyr::chart::ValueRange range = impl.valueRange();
        QPainterPath line;
        for (int i = 0; i < count; ++i) {
            double average = 0;
            if (!impl.movingAverage(i, impl.maPeriods.first(), average))
                continue;
            const QPointF at = impl.pointFor(i, average, plot, range);
            if (line.elementCount() == 0)
                line.moveTo(at);
            else
                line.lineTo(at);
        }
        QImage theirs = paper;
        QPainter painter(&theirs);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ink, 1.5));
        painter.drawPath(line);
        painter.end();
        // How far a pixel has gone from the paper towards the ink, in 255ths.
        const auto coverage = [&](const QImage& image, int x, int y) {
            const QColor p = ctl::pixel(paper, x, y);
            const QColor c = ctl::pixel(image, x, y);
            const double dr = ink.red() - p.red();
            const double dg = ink.green() - p.green();
            const double db = ink.blue() - p.blue();
            const double norm = dr * dr + dg * dg + db * db;
            if (norm < 40 * 40)
                return -1;
            return int(std::lround(
                255 * ((c.red() - p.red()) * dr + (c.green() - p.green()) * dg + (c.blue() - p.blue()) * db) / norm));
        };
        int covered = 0;
        int differing = 0;
        for (int y = int(plot.top()); y < int(plot.bottom()); ++y) {
            for (int x = int(plot.left()); x < int(plot.right()); ++x) {
                const int a = coverage(ours, x, y);
                const int b = coverage(theirs, x, y);
                if (a < 0 || b < 0)
                    continue;
                covered += a > 127 || b > 127;
                differing += std::abs(a - b) > apart;
            }
        }
        QVERIFY(covered > 5000);
        QVERIFY2(differing <= covered * share, qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(covered)));
    }
};

VYR_TEST_SUITE(tst_FinancialChart, 5)
#include "tst_financialchart.moc"
