// Frame times of the OpenGL charts against Qt Charts in the same run, same size:
//   line     a line chart of 10,000 to 5,000,000 points against a QLineSeries drawn
//            with useOpenGL over the same axis ranges and plot rectangle: the frame
//            ours keeps cached while the data stay, the first frame after new data,
//            and with the data replaced before every frame ("live"); and live at
//            100,000 to 10,000,000 points against a QLineSeries fed only the points
//            a careful Qt user would thin the data to, the lowest and highest of
//            each half-pixel column as ours draws, once thinned before Qt's frame
//            (the data arrive thinned) and once in it ("thinned");
//   candles  a financial chart of 5,000 candles, all in view, against a
//            QCandlestickSeries over 5,000 categories; without and with four
//            moving averages (QLineSeries on the Qt side); ours on OpenGL in the CPU
//            time of the process (Mesa draws on as many threads as the machine
//            lends it), each side's frames alone in a fresh process of its own, and
//            raster against raster; and, raster against raster, 5,000
//            and 50,000 candles against Qt fed what ours draws of them (one candle a
//            pixel column, each average the lowest and highest value of each
//            column), without and with the averages ("Qt per column");
//   sweep    a sweep-trace chart fed 1,000 points a second at 60 frames a second
//            (about 17 points a frame, a pass of 900 points, the previous pass kept
//            ahead of the head), against a QLineSeries pair doing the same through
//            replace(), antialiased, without axes, grid or background;
//   hostile  our charts alone on data that used to freeze a frame: a million points,
//            values at the ends of the doubles, not-a-number; each frame must stay
//            under the bound printed beside it.
// A frame of a GL widget runs from asking for a repaint until the widget reports the
// composed frame swapped, with glFinish after it; a frame of a raster widget is a
// synchronous repaint. Both sides have drawn and shown everything when the clock stops.
// A ratio is printed only when both sides drew the same number of pixels of the data's
// colour to within a few per cent (the financial chart: the candles so, and each
// average against QPainter stroking its whole line, pixel by pixel; see
// sameFinancialPictures); otherwise "n/a" and both counts.
// Needs a display with OpenGL: run it under xvfb-run from a release build, through
// bench/bench_table.py for steady figures.
// Usage: bench_charts [line|thinned|candles|sweep|hostile]...   (all when none is named)

#include "BenchRow.h"
#include "VYRQChartRegistry.h"
#include "VYRQECGChart.h"
#include "VYRQFinancialChart.h"
#include "VYRQFinancialChartImpl.h"
#include "VYRQGlobal.h"
#include "VYRQImplAccess_p.h"
#include "VYRQLineChart.h"
#include "VYRQLineChartImpl.h"
#include "VYRQLineChartMath.h"
#include "VYRQBarChart.h"
#include "VYRQScatterChart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsLayout>
#include <QLinearGradient>
#include <QPainterPath>
#include <QEventLoop>
#include <QTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QProcess>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest/QTest>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

using namespace QtCharts;

namespace {

using benchrow::median;

const QSize chartSize(900, 520);
constexpr int warmFrames = 5;
constexpr int measuredFrames = 60;

// A deterministic wavy signal.
double sample(qint64 i)
{
    return 100 + 40 * std::sin(i * 0.0021) + 12 * std::sin(i * 0.137) + ((i * 7919) % 23 - 11) * 0.6;
}

void finishGl(QOpenGLWidget* gl)
{
    if (!gl || !gl->context())
        return;
    gl->makeCurrent();
    gl->context()->functions()->glFinish();
    gl->doneCurrent();
}

// One frame of `window` whose GL content `gl` paints; false when none was swapped.
bool oneFrame(QWidget& window, QOpenGLWidget* gl)
{
    QEventLoop loop;
    bool swapped = false;
    const auto done = QObject::connect(gl, &QOpenGLWidget::frameSwapped, &loop, [&] {
        swapped = true;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    window.update();
    gl->update();
    loop.exec();
    QObject::disconnect(done);
    finishGl(gl);
    return swapped;
}

using Frame = std::function<bool()>;

Frame glFrame(QWidget& window, QOpenGLWidget* gl)
{
    return [&window, gl] { return gl && oneFrame(window, gl); };
}

// A graphics view paints its scene in its viewport.
Frame viewFrame(QChartView& view)
{
    return [&view] {
        view.viewport()->repaint();
        return true;
    };
}

// What a frame is timed by: the wall clock, or the CPU time of the process (Mesa's
// software rasteriser draws on as many threads as the machine lends it, so that its
// wall-clock frame follows the load of the machine).
enum class Clock { Wall, ProcessCpu };

// Median milliseconds of a frame of each side, their frames taken in turns so that
// the load of the machine weighs on both alike; negative when frames did not arrive.
std::pair<double, double> frameTimes(const Frame& ours, const Frame& theirs, int frames = measuredFrames,
                                     int warmFrames = ::warmFrames, Clock clock = Clock::Wall)
{
    std::vector<double> a;
    std::vector<double> b;
    const auto timed = [clock](const Frame& frame) {
        if (clock == Clock::ProcessCpu) {
            const double start = benchrow::cpuMs();
            return frame() ? benchrow::cpuMs() - start : -1.0;
        }
        QElapsedTimer t;
        t.start();
        return frame() ? double(t.nsecsElapsed()) / 1e6 : -1.0;
    };
    for (int i = 0; i < warmFrames + frames; ++i) {
        const double x = timed(ours);
        const double y = timed(theirs);
        if (x < 0 || y < 0)
            return {-1, -1};
        if (i >= warmFrames) {
            a.push_back(x);
            b.push_back(y);
        }
    }
    return {median(a), median(b)};
}

// Pixels close to a colour in what the window shows: proof that the line was drawn.
int pixelsNear(const QImage& image, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - color.red()) + std::abs(c.green() - color.green())
                     + std::abs(c.blue() - color.blue()) < 30;
        }
    return n;
}

// Pixels that a stroke of `ink` on `paper` covers at least `coverage` of, judged by
// how far their colour has gone from the paper towards the ink. At a half, a pixel
// counts when the stroke covers its centre, antialiased or not; lower shares would
// take in the grey of grids and labels. Where nothing but the stroke is drawn, a low
// share counts every pixel it touches, which stays the same when one side blends its
// antialiased edges twice where its segments overlap (Qt Charts strokes a solid line
// one segment at a time) and the other once.
int inkPixels(const QImage& image, const QColor& ink, const QColor& paper = Qt::white, double coverage = 0.5)
{
    const double dr = ink.red() - paper.red();
    const double dg = ink.green() - paper.green();
    const double db = ink.blue() - paper.blue();
    const double norm = dr * dr + dg * dg + db * db;
    if (norm <= 0)
        return 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const double a = ((qRed(c) - paper.red()) * dr + (qGreen(c) - paper.green()) * dg
                              + (qBlue(c) - paper.blue()) * db) / norm;
            n += a >= coverage;
        }
    return n;
}

bool shown(QWidget& w, const QSize& size = chartSize)
{
    w.resize(size);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// Whether two pixel counts of the same drawing agree to within `tolerance` of the larger.
bool sameWork(int ours, int theirs, double tolerance = 0.05)
{
    return ours > 0 && theirs > 0 && std::abs(ours - theirs) <= tolerance * std::max(ours, theirs);
}

// One row as bench/bench_table.py reads it; the ratio only when the pixel counts agree.
void reportRow(const QString& name, double ours, double theirs, int oursPixels, int theirsPixels)
{
    const QByteArray label = name.toUtf8();
    if (sameWork(oursPixels, theirsPixels))
        std::printf("  %-34s ours %9.2f ms  Qt %9.2f ms  ratio %5.2f  (pixels %d / %d)\n", label.constData(), ours,
                    theirs, ours / theirs, oursPixels, theirsPixels);
    else
        std::printf("  %-34s ours %9.2f ms  Qt %9.2f ms  ratio  n/a   (pixels differ: %d / %d)\n",
                    label.constData(), ours, theirs, oursPixels, theirsPixels);
    std::fflush(stdout);
}

// A row of ours alone against a fixed bound.
void reportBound(const QString& name, double ours, double bound, const QString& what)
{
    std::printf("  %-34s ours %9.2f ms  %s (bound %.0f ms; %s)\n", name.toUtf8().constData(), ours,
                ours >= 0 && ours < bound ? "within" : "OVER", bound, what.toUtf8().constData());
    std::fflush(stdout);
}

// Frames measured per row: fewer where Qt Charts takes seconds a frame.
int framesFor(int points)
{
    return points <= 10000 ? measuredFrames : points <= 100000 ? 21 : points <= 1000000 ? 5 : 3;
}

// Median milliseconds of `frames` frames of ours alone.
double ownFrames(const Frame& frame, int frames = 5)
{
    std::vector<double> times;
    frame();
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer t;
        t.start();
        if (!frame())
            return -1;
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// What a careful Qt user feeds a line series of more points than the plot has pixels,
// and what ours draws: per column of the plot (`perPixel` columns a pixel) the lowest
// and the highest value in the order they come, and the first and last point, as
// (index, value) points; values that are not numbers are passed over, as the line
// runs on over them. Drawn as a line they stay within a column of the whole data.
void thinToColumns(const QVector<double>& values, const QRectF& plot, double perPixel, QVector<QPointF>& out)
{
    out.clear();
    const int n = values.size();
    const double divisor = std::max(n - 1, 1);
    const auto columnOf = [&](int i) { return std::floor((plot.left() + plot.width() * i / divisor) * perPixel); };
    int i = 0;
    while (i < n && !std::isfinite(values.at(i)))
        ++i;
    if (i == n)
        return;
    out.append(QPointF(i, values.at(i)));
    int lastFinite = i;
    while (i < n) {
        const double column = columnOf(i);
        int low = -1;
        int high = -1;
        int j = i;
        for (; j < n && columnOf(j) == column; ++j) {
            if (!std::isfinite(values.at(j)))
                continue;
            if (low < 0 || values.at(j) < values.at(low))
                low = j;
            if (high < 0 || values.at(j) > values.at(high))
                high = j;
            lastFinite = j;
        }
        if (low >= 0) {
            out.append(QPointF(std::min(low, high), values.at(std::min(low, high))));
            if (high != low)
                out.append(QPointF(std::max(low, high), values.at(std::max(low, high))));
        }
        i = j;
    }
    out.append(QPointF(lastFinite, values.at(lastFinite)));
}

// Where our live frame goes: reducing the points to the plot's columns, and the same
// frames on a surface without multisampling (the difference is what Mesa's software
// rasteriser spends on the four samples of every stroked pixel and their resolve).
void reportOwnShare(const QString& name, const QVector<double>& values, const LineSeries& s,
                    VYRQLineChartImpl* impl, const QRectF& plot, const vyr::chart::ValueRange& range)
{
    std::vector<double> reduce;
    QVector<vyr::chart::PlotPoint> points;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        if (!vyr::chart::lineDrawnPoints(impl->series.first(), plot, 0, values.size() - 1, range, 1.0, points))
            return;
        reduce.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    VYRQLineChart plain;
    QSurfaceFormat format = plain.format();
    format.setSamples(0);
    plain.setFormat(format);
    plain.setAnimationEnabled(false);
    plain.setHoverEnabled(false);
    plain.setSeries({s});
    plain.setCategories({});
    if (!shown(plain) || !plain.context() || plain.context()->format().samples() > 0)
        return;
    LineSeries fresh = s;
    int turn = 0;
    const double single = ownFrames([&] {
        fresh.values = QVector<double>(values);
        fresh.values[0] = values.at(0) + (++turn % 2);
        plain.setSeries({fresh});
        return oneFrame(plain, &plain);
    });
    // Rows of ours alone, as bench/bench_table.py reads them.
    std::printf("  %-34s ours %9.2f ms  (reducing the points to the plot's columns)\n",
                qPrintable(name + QStringLiteral(", reducing")), median(reduce));
    std::printf("  %-34s ours %9.2f ms  (the live frame on a surface without multisampling)\n",
                qPrintable(name + QStringLiteral(", no MSAA")), single);
    std::fflush(stdout);
}

enum class LineRun { Cached, Live, FedThinned, Thinning };

void benchLine(int points, LineRun run)
{
    const bool live = run != LineRun::Cached;
    const bool thinned = run == LineRun::FedThinned || run == LineRun::Thinning;
    const QColor lineColor(84, 112, 198);
    QVector<double> values(points);
    for (int i = 0; i < points; ++i)
        values[i] = sample(i);

    VYRQLineChart ours;
    ours.setAnimationEnabled(false);
    ours.setHoverEnabled(false);
    LineSeries s;
    s.name = QStringLiteral("Signal");
    s.values = values;
    s.color = lineColor;
    s.showPoints = false;
    ours.setSeries({s});
    ours.setCategories({});
    if (!shown(ours)) {
        std::printf("line: no window\n");
        return;
    }
    auto* impl = VYRQImplAccess::of(ours);

    // Qt draws over our axis ranges and in our plot rectangle.
    const vyr::chart::ValueRange range = impl->valueRange();
    const QRectF plot = impl->plotRect(chartSize);
    auto* series = new QLineSeries;
    QVector<QPointF> data;
    if (thinned) {
        thinToColumns(values, plot, 2, data);
    } else {
        data.resize(points);
        for (int i = 0; i < points; ++i)
            data[i] = QPointF(i, values.at(i));
    }
    series->replace(data);
    series->setUseOpenGL(true);
    series->setName(QStringLiteral("Signal"));
    auto* chart = new QChart;
    chart->addSeries(series);
    series->setPen(QPen(lineColor, 2.0));
    chart->createDefaultAxes();
    chart->axes(Qt::Horizontal).first()->setRange(0, std::max(points - 1, 1));
    chart->axes(Qt::Vertical).first()->setRange(range.min, range.max);
    chart->setTitle(QStringLiteral("Basic Line Chart"));
    chart->setAnimationOptions(QChart::NoAnimation);
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    if (!shown(view)) {
        std::printf("line: no window\n");
        return;
    }
    chart->setPlotArea(plot);
    QTest::qWait(50);
    QOpenGLWidget* gl = view.findChild<QOpenGLWidget*>();
    // Both sides hold every point, or Qt the thinned ones.
    if (series->count() != data.size() || impl->series.first().values.size() != points) {
        std::printf("line: point counts differ\n");
        return;
    }
    const int oursDrawn = inkPixels(ours.grabFramebuffer(), lineColor);
    const int theirsDrawn = inkPixels(view.grab().toImage(), lineColor);
    const Frame oursFrame = glFrame(ours, &ours);
    const Frame theirsFrame = glFrame(view, gl);
    // Qt's thinned frames are quick: more of them.
    const int frames = thinned ? (points <= 1000000 ? 21 : 7) : framesFor(points);
    const int warm = thinned ? 2 : points > 100000 ? 1 : warmFrames;
    const QString size = points >= 1000000 ? QStringLiteral("%1M").arg(points / 1000000)
                                           : QStringLiteral("%1k").arg(points / 1000);
    if (live) {
        // A fresh copy of the data each frame, its first value toggled.
        int oursTurn = 0;
        int theirsTurn = 0;
        const Frame oursLive = [&]() {
            s.values = QVector<double>(values);
            s.values[0] = values.at(0) + (++oursTurn % 2);
            ours.setSeries({s});
            return oursFrame();
        };
        QVector<double> fresh;
        const Frame theirsLive = [&]() {
            if (run == LineRun::Thinning) {
                fresh = values;
                fresh[0] = values.at(0) + (++theirsTurn % 2);
                thinToColumns(fresh, plot, 2, data);
            } else {
                data[0].setY(values.at(0) + (++theirsTurn % 2));
            }
            series->replace(data);
            return theirsFrame();
        };
        const std::pair<double, double> ms = frameTimes(oursLive, theirsLive, frames, warm);
        const char* const names[] = {"", "line live %1", "line live %1, Qt fed thinned", "line live %1, Qt thins"};
        reportRow(QString::fromLatin1(names[int(run)]).arg(size), ms.first, ms.second, oursDrawn, theirsDrawn);
        if (run == LineRun::FedThinned)
            reportOwnShare(QStringLiteral("line live %1, ours").arg(size), values, s, impl, plot, range);
        return;
    }
    // Ours draws the series into a texture once they stay the same for two frames and
    // blits it from then on; Qt rasterises every point every frame.
    std::pair<double, double> ms = frameTimes(oursFrame, theirsFrame, frames, warm);
    reportRow(QStringLiteral("line %1 cached frame").arg(size), ms.first, ms.second, oursDrawn, theirsDrawn);
    const Frame oursFirst = [&]() {
        impl->seriesChanged();
        return oursFrame();
    };
    ms = frameTimes(oursFirst, theirsFrame, frames, warm);
    reportRow(QStringLiteral("line %1 first frame, new data").arg(size), ms.first, ms.second, oursDrawn,
              theirsDrawn);
}

// A deterministic walk of daily candles.
QVector<FinancialCandle> walkCandles(int count)
{
    QVector<FinancialCandle> candles(count);
    double close = 3000;
    for (int i = 0; i < count; ++i) {
        const double open = close + std::sin(i * 0.7) * 6;
        close = open + std::sin(i * 0.13) * 20 + ((i * 7919) % 17 - 8);
        candles[i] = FinancialCandle{QString::number(i), open, std::max(open, close) + 5 + i % 7,
                                     std::min(open, close) - 5 - i % 5, close, 1e6 + (i % 13) * 1e5};
    }
    return candles;
}

// How far each pixel of `image` has gone from `paper` towards `ink`, 0 to 1: the
// share of the pixel an ink of that colour covers. Pixels whose paper lies near the
// ink tell nothing and give -1.
double inkCoverage(QRgb pixel, QRgb paper, const QColor& ink)
{
    const double dr = ink.red() - qRed(paper);
    const double dg = ink.green() - qGreen(paper);
    const double db = ink.blue() - qBlue(paper);
    const double norm = dr * dr + dg * dg + db * db;
    if (norm < 40 * 40)
        return -1;
    const double a = ((qRed(pixel) - qRed(paper)) * dr + (qGreen(pixel) - qGreen(paper)) * dg
                      + (qBlue(pixel) - qBlue(paper)) * db) / norm;
    return std::clamp(a, 0.0, 1.0);
}

// One average drawn alone against QPainter stroking its whole line, pixel by pixel,
// each pixel's coverage taken from how far it has gone from the paper towards the
// ink: the summed differences of coverage over QPainter's summed coverage, and the
// pixels whose coverage differs by more than an eighth, of the pixels either side
// drew on.
struct CoverageDifference {
    double share = 0;
    double differing = 0;
    int pixels = 0;
};

// A difference of coverage above this counts a pixel as differing: the 8-bit colours
// of the comparison give either side's coverage to within a few 255ths.
constexpr double differingCoverage = 1.0 / 8;

CoverageDifference coverageDifference(const QImage& ours, const QImage& theirs, const QImage& paper,
                                      const QColor& ink)
{
    double sum = 0;
    double theirsSum = 0;
    int differing = 0;
    int pixels = 0;
    for (int y = 0; y < paper.height(); ++y) {
        for (int x = 0; x < paper.width(); ++x) {
            const QRgb p = paper.pixel(x, y);
            const QRgb o = ours.pixel(x, y);
            const QRgb t = theirs.pixel(x, y);
            if (o == p && t == p)
                continue;
            const double a = inkCoverage(o, p, ink);
            const double b = inkCoverage(t, p, ink);
            if (a < 0 || b < 0)
                continue;
            ++pixels;
            sum += std::abs(a - b);
            theirsSum += b;
            differing += std::abs(a - b) > differingCoverage;
        }
    }
    return {theirsSum > 0 ? sum / theirsSum : 1.0, pixels > 0 ? double(differing) / pixels : 1.0, pixels};
}

// `paper` with the line through `points` stroked over it by QPainter with `pen`,
// antialiased, on the raster engine.
QImage strokedOver(const QImage& paper, const QVector<QPointF>& points, const QPen& pen)
{
    QPainterPath path;
    if (!points.isEmpty()) {
        path.moveTo(points.first());
        for (int i = 1; i < points.size(); ++i)
            path.lineTo(points.at(i));
    }
    QImage image = paper.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen);
    painter.drawPath(path);
    return image;
}

// Bounds on an average drawn alone against QPainter's stroke of its whole line: the
// summed difference of coverage and the share of pixels differing by more than an
// eighth. Drawn as QPainter draws it, through every point, the two agree to within
// the rounding of the blend (0.5 % summed, no pixel differing); with thousands of
// points a pixel, through the highest and lowest of each half column.
constexpr double averageShareBound = 0.02;
constexpr double averageDifferingBound = 0.005;

// Whether both sides draw the same candles, and ours draws each average as QPainter
// draws it. The candles: each colour within 4 % of Qt's (pixels of that colour), the
// averages drawn transparent on ours and taken out of Qt's chart. Each average: drawn
// alone on ours, candles and other averages transparent, against QPainter stroking its
// whole line with the same pen over ours without it, pixel by pixel within the plot
// (coverageDifference, within averageShareBound and averageDifferingBound); ours
// draws the same images of coverage on either engine. The figures go to `counts`
// either way.
bool sameFinancialPictures(VYRQFinancialChartImpl& impl, const std::function<QImage()>& ours,
                           QCandlestickSeries* series, const QVector<QLineSeries*>& lines, QChartView& view,
                           const QRect& plot, QString& counts)
{
    // Qt Charts keeps showing a candlestick series made invisible or clear: the chart
    // takes the series it shows, in their order.
    QChart* chart = view.chart();
    const QList<QAbstractAxis*> axes = chart->axes();
    const auto show = [&](bool candles, bool lines_) {
        for (QAbstractSeries* shown : chart->series())
            chart->removeSeries(shown);
        QVector<QAbstractSeries*> wanted;
        if (candles)
            wanted.append(series);
        for (int k = 0; lines_ && k < lines.size(); ++k)
            wanted.append(lines.at(k));
        for (QAbstractSeries* shown : wanted) {
            chart->addSeries(shown);
            for (QAbstractAxis* axis : axes)
                shown->attachAxis(axis);
        }
    };
    const auto theirs = [&view] {
        QCoreApplication::processEvents();
        return view.grab().toImage();
    };
    const auto close = [](int a, int b, double share) { return a > 0 && b > 0 && std::abs(a - b) <= share * std::max(a, b); };
    const QColor rising = impl.risingColor;
    const QColor falling = impl.fallingColor;
    const QVector<QColor> averageColors = impl.maColors;
    const QVector<QColor> none(averageColors.size(), Qt::transparent);
    bool same = true;

    impl.maColors = none;
    show(true, false);
    const QImage oursCandles = ours();
    const QImage theirsCandles = theirs();
    for (const QColor& color : {rising, falling}) {
        const int a = pixelsNear(oursCandles, color);
        const int b = pixelsNear(theirsCandles, color);
        same = same && close(a, b, 0.04);
        counts += QStringLiteral(" %1 %2/%3").arg(color.name()).arg(a).arg(b);
    }

    impl.risingColor = Qt::transparent;
    impl.fallingColor = Qt::transparent;
    if (impl.movingAveragesVisible && !lines.isEmpty()) {
        counts += QStringLiteral("; each average against QPainter's stroke, coverage summed / pixels differing:");
        const QImage paper = ours();
        const int first = impl.firstVisibleIndex();
        const int last = impl.lastVisibleIndex();
        const QRectF area = impl.plotRect(paper.size() / paper.devicePixelRatio());
        const vyr::chart::ValueRange range = impl.valueRange();
        QVector<double> values;
        for (int k = 0; k < impl.maPeriods.size(); ++k) {
            impl.maColors = none;
            impl.maColors[k % none.size()] = averageColors.at(k % averageColors.size());
            const QColor color = impl.maColor(k);
            vyr::chart::movingAverages(impl.candles, first, last, impl.maPeriods.at(k), values);
            QVector<QPointF> points;
            for (int i = 0; i < values.size(); ++i) {
                if (std::isfinite(values.at(i)))
                    points.append(impl.pointFor(first + i, values.at(i), area, range));
            }
            const QImage a = ours();
            const QImage b = strokedOver(paper, points, QPen(color, 1.5));
            const CoverageDifference d = coverageDifference(a.copy(plot), b.copy(plot), paper.copy(plot), color);
            same = same && d.share <= averageShareBound && d.differing <= averageDifferingBound;
            counts += QStringLiteral(" %1 %2/%3 %").arg(color.name()).arg(d.share * 100, 0, 'f', 2)
                          .arg(d.differing * 100, 0, 'f', 2);
        }
    }

    impl.risingColor = rising;
    impl.fallingColor = falling;
    impl.maColors = averageColors;
    show(true, true);
    QCoreApplication::processEvents();
    return same;
}

// What Qt's financial chart is fed: every candle and every average point, or what
// ours draws of them where the candles lie closer than a pixel (one candle a pixel
// column, each average the lowest and highest value of each column in their order).
enum class FinancialFeed { Everything, PerColumn };

// Which side a process times: both (the parent, which also compares their pictures),
// or one alone in a child of its own, the other side never shown (no GL context, no
// paints, Mesa's threads never started).
enum class FinancialSide { Both, Ours, Qt };

// Median CPU milliseconds of the process over the frames of one side alone.
double aloneCpuFrames(const Frame& frame)
{
    std::vector<double> times;
    constexpr int warm = 3;
    for (int i = 0; i < warm + 12; ++i) {
        const double start = benchrow::cpuMs();
        if (!frame())
            return -1;
        if (i >= warm)
            times.push_back(benchrow::cpuMs() - start);
    }
    return median(times);
}

// One side's OpenGL-row frames in a fresh child process of this benchmark: the median
// CPU milliseconds of a frame, or -1.
double financialSideInChild(int count, bool averages, FinancialSide side)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("candles-gl-side"), QString::number(count), averages ? QStringLiteral("1") : QStringLiteral("0"),
                 side == FinancialSide::Ours ? QStringLiteral("ours") : QStringLiteral("qt")});
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    const QByteArray out = child.readAllStandardOutput().trimmed();
    bool ok = false;
    const double ms = out.startsWith("side-cpu-ms ") ? out.mid(12).toDouble(&ok) : -1;
    return ok ? ms : -1;
}

// A financial chart of `count` candles, all in view, with or without its four
// moving averages, against a QCandlestickSeries (with a QLineSeries for each
// average) drawn into the same plot rectangle on the same value range. Qt's candles
// take our candle geometry: bodies 0.58 of a slot, 4 to 18 pixels wide, outlined and
// wicked by a 1.3 pen of the candle's colour. Fed everything, Qt has a category a
// candle; fed per column, a category a pixel column, one pixel wide, over ours. Qt's
// category axis draws neither its labels nor its grid lines; ours draws five record
// labels and grid lines. Per column, only raster against raster is measured.
void benchFinancial(int count, bool averages, FinancialFeed feed, FinancialSide side = FinancialSide::Both)
{
    const QVector<FinancialCandle> candles = walkCandles(count);
    VYRQFinancialChart ours;
    ours.setAnimationEnabled(false);
    ours.setCandles(candles);
    ours.setZoomEnabled(false);
    VYRQFinancialChartImpl& impl = *VYRQImplAccess::of(ours);
    impl.tooltipEnabled = false;
    impl.movingAveragesVisible = averages;
    if (side == FinancialSide::Qt)
        ours.resize(chartSize);
    else if (!shown(ours)) {
        std::printf("financial: no window\n");
        return;
    }
    const QRectF plot = impl.plotRect(ours.size());
    const vyr::chart::ValueRange range = impl.valueRange();
    const bool perColumn = feed == FinancialFeed::PerColumn;

    // Ours draws its images and the window's frames at one device pixel a pixel.
    QVector<vyr::chart::FinancialColumnCandle> columns;
    vyr::chart::financialCandleColumns(candles, plot, 0, count - 1, count - 1, 1.0, columns);
    const double firstColumn = columns.isEmpty() ? 0 : std::floor(columns.first().x);
    const int columnCount = columns.isEmpty() ? 0 : int(columns.last().x - columns.first().x) + 1;
    // Where Qt draws record i of a line: at its category, or at its place in the
    // column categories (category j spans j - 0.5 to j + 0.5 of its axis).
    const auto qtX = [&](double i) {
        return perColumn ? plot.left() + plot.width() * i / std::max(count - 1, 1) - firstColumn - 0.5 : i;
    };

    auto* series = new QCandlestickSeries;
    series->setIncreasingColor(impl.risingColor);
    series->setDecreasingColor(impl.fallingColor);
    series->setBodyWidth(0.58);
    series->setMinimumColumnWidth(4);
    series->setMaximumColumnWidth(18);
    series->setCapsVisible(false);
    const auto append = [&](double open, double high, double low, double close, int at) {
        auto* set = new QCandlestickSet(open, high, low, close, at);
        const QColor color = close >= open ? impl.risingColor : impl.fallingColor;
        set->setPen(QPen(color, 1.3));
        set->setBrush(color);
        series->append(set);
    };
    if (perColumn) {
        for (const vyr::chart::FinancialColumnCandle& c : qAsConst(columns))
            append(c.open, c.high, c.low, c.close, int(std::floor(c.x) - firstColumn));
    } else {
        for (int i = 0; i < count; ++i)
            append(candles.at(i).open, candles.at(i).high, candles.at(i).low, candles.at(i).close, i);
    }
    QStringList categories;
    for (int i = 0; i < (perColumn ? columnCount : count); ++i)
        categories.append(QString::number(i));
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    categoryAxis->setLabelsVisible(false);
    categoryAxis->setGridLineVisible(false);
    auto* valueAxis = new QValueAxis;
    valueAxis->setRange(range.min, range.max);
    valueAxis->setTickCount(5);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    QVector<QLineSeries*> lines;
    int expectedAveragePoints = 0;
    QVector<double> values;
    QVector<QPointF> points;
    for (int k = 0; averages && k < impl.maPeriods.size(); ++k) {
        vyr::chart::movingAverages(candles, 0, count - 1, impl.maPeriods.at(k), values);
        if (perColumn)
            thinToColumns(values, plot, 1, points);
        else
            points.clear();
        for (int i = 0; !perColumn && i < count; ++i) {
            if (std::isfinite(values.at(i)))
                points.append(QPointF(i, values.at(i)));
        }
        expectedAveragePoints += points.size();
        for (QPointF& p : points)
            p.setX(qtX(p.x()));
        auto* line = new QLineSeries;
        line->replace(points);
        line->setPen(QPen(impl.maColor(k), 1.5));
        chart->addSeries(line);
        line->attachAxis(categoryAxis);
        line->attachAxis(valueAxis);
        lines.append(line);
    }
    chart->setTitle(QStringLiteral("Financial Chart"));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    // Both plots on the same paper, as ours fills its plot.
    chart->setPlotAreaBackgroundBrush(ours.theme().plotBackground);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setPlotArea(perColumn ? QRectF(firstColumn, plot.top(), columnCount, plot.height()) : plot);
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    if (side == FinancialSide::Ours) {
        std::printf("side-cpu-ms %.4f\n", aloneCpuFrames(glFrame(ours, &ours)));
        return;
    }
    if (!shown(view)) {
        std::printf("financial: no window\n");
        return;
    }
    if (side == FinancialSide::Qt) {
        std::printf("side-cpu-ms %.4f\n", aloneCpuFrames(viewFrame(view)));
        return;
    }
    // Both sides show every candle in view; Qt holds every candle or one a column of
    // ours, each column of ours one category, and every average point or the thinned.
    int averagePoints = 0;
    for (const QLineSeries* line : lines)
        averagePoints += line->count();
    const int items = perColumn ? columns.size() : count;
    const bool sameData = series->count() == items && categoryAxis->count() == (perColumn ? columnCount : count)
        && (!perColumn || columnCount == columns.size()) && impl.firstVisibleIndex() == 0
        && impl.lastVisibleIndex() == count - 1 && averagePoints == expectedAveragePoints;
    // The GL frame, and the same drawing into an image (where no GL context exists),
    // raster against raster.
    const QString rows[] = {QStringLiteral(" OpenGL CPU"), QStringLiteral(" raster")};
    for (const QString& engine : rows) {
        const bool raster = engine == QLatin1String(" raster");
        if (perColumn && !raster)
            continue;
        QString counts;
        const auto picture = [&] { return raster ? impl.renderImage() : ours.grabFramebuffer(); };
        const bool samePicture =
            sameFinancialPictures(impl, picture, series, lines, view, plot.toAlignedRect(), counts);
        std::pair<double, double> ms;
        if (raster) {
            ms = frameTimes([&impl] { return !impl.renderImage().isNull(); }, viewFrame(view), 20);
        } else {
            // On OpenGL ours runs on all of Mesa's threads and Qt on one: the CPU each
            // side's process spends, each side alone in a fresh process, three of each
            // in turns; the median of their medians.
            std::vector<double> a, b;
            for (int round = 0; round < 3; ++round) {
                a.push_back(financialSideInChild(count, averages, FinancialSide::Ours));
                b.push_back(financialSideInChild(count, averages, FinancialSide::Qt));
            }
            const bool failed = *std::min_element(a.begin(), a.end()) < 0 || *std::min_element(b.begin(), b.end()) < 0;
            ms = failed ? std::make_pair(-1.0, -1.0) : std::make_pair(median(a), median(b));
        }
        const QString size = count % 1000 == 0 && perColumn ? QStringLiteral("%1k").arg(count / 1000)
                                                            : QString::number(count);
        const QByteArray name = QStringLiteral("candles %1%2%3")
                                    .arg(size, averages ? QStringLiteral(" + 4 MAs") : QString(),
                                         perColumn ? QStringLiteral(", Qt per column") : engine)
                                    .toLatin1();
        if (sameData && samePicture && ms.first > 0)
            std::printf("  %-34s ours %9.2f ms  Qt %9.2f ms  ratio %5.2f  (pixels ours/Qt:%s)\n", name.constData(),
                        ms.first, ms.second, ms.first / ms.second, qPrintable(counts));
        else
            std::printf("  %-34s ours %9.2f ms  Qt %9.2f ms  ratio  n/a   (the two sides did different work:%s%s)\n",
                        name.constData(), ms.first, ms.second, sameData ? "" : " data differ;", qPrintable(counts));
    }
    if (!perColumn || !averages)
        return;
    // What the averages add to our frame, ours alone: frames with and without them in
    // turns, so that neither runs in the caches the other's Qt frame left. Once with
    // the same averages in every frame (a repaint: ours draws them again from the
    // images of their coverage it kept), once with new data in every frame, as when
    // candles arrive: the closes a step up or down from one frame to the next on both
    // sides, so that each frame works out the averages, their points and pixel
    // columns, the candles' columns and the averages' coverage anew. The closes move
    // unevenly (a shift of every price would shift the value range with them and leave
    // every point where it was).
    QVector<FinancialCandle> stepped = candles;
    for (int i = 0; i < stepped.size(); ++i) {
        FinancialCandle& c = stepped[i];
        c.close += 0.3 * ((i * 37) % 11 - 5) / 5.0;
        c.high = std::max(c.high, c.close);
        c.low = std::min(c.low, c.close);
    }
    for (const bool anew : {false, true}) {
        int withFrame = 0;
        int withoutFrame = 0;
        std::vector<double> factors;
        for (int run = 0; run < 3; ++run) {
            const std::pair<double, double> ms = frameTimes(
                [&] {
                    impl.movingAveragesVisible = true;
                    if (anew)
                        impl.candles = ++withFrame % 2 ? stepped : candles;
                    return !impl.renderImage().isNull();
                },
                [&] {
                    impl.movingAveragesVisible = false;
                    if (anew)
                        impl.candles = ++withoutFrame % 2 ? stepped : candles;
                    return !impl.renderImage().isNull();
                });
            factors.push_back(ms.first / ms.second);
        }
        impl.candles = candles;
        impl.movingAveragesVisible = true;
        const QString name = anew ? QStringLiteral("candles %1k, 4 MAs over none, new") : QStringLiteral("candles %1k, 4 MAs over none");
        std::printf("  %-34s ours %9.2f x   (our frame with the averages over ours without%s)\n",
                    qPrintable(name.arg(count / 1000)), median(factors),
                    anew ? ", new data in each frame" : ", the same averages in each frame");
    }
    std::fflush(stdout);
}

// The trace of a monitor: a beat every 150 samples over a slow wave.
double traceY(int sample)
{
    const int beat = sample % 150;
    return 170 - 110 * std::exp(-std::pow(beat - 70, 2) / 18.0) + 12 * std::sin(sample * 0.031);
}

void benchSweep()
{
    constexpr int width = 900;
    constexpr int height = 300;
    constexpr int frames = 600;                 // ten seconds at 60 frames a second
    constexpr double pointsPerFrame = 1000.0 / 60;
    const QColor green(0, 255, 0);

    VYRQECGChart ours;
    auto* current = new QLineSeries;
    auto* previous = new QLineSeries;
    auto* chart = new QChart;
    chart->addSeries(previous);
    chart->addSeries(current);
    // After adding: the chart's theme sets the pens of the series it takes in.
    // Ours strokes with a vertical gradient (here green to green); so does Qt's.
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, height));
    gradient.setColorAt(0, green);
    gradient.setColorAt(1, green);
    current->setPen(QPen(QBrush(gradient), 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    previous->setPen(current->pen());
    chart->createDefaultAxes();
    for (QAbstractAxis* axis : chart->axes())
        axis->setVisible(false);
    chart->axes(Qt::Horizontal).first()->setRange(0, width);
    chart->axes(Qt::Vertical).first()->setRange(0, height);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    // Only the traces, as ours draws: no background, no grid, no axes, edge to edge.
    chart->setBackgroundVisible(false);
    chart->setPlotAreaBackgroundVisible(false);
    chart->setMargins(QMargins());
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.setFrameShape(QFrame::NoFrame);
    view.setBackgroundBrush(Qt::white);
    if (!shown(ours, QSize(width, height)) || !shown(view, QSize(width, height))) {
        std::printf("sweep: no window\n");
        return;
    }
    chart->setPlotArea(QRectF(0, 0, width, height));

    // Each side is fed the same samples; x is the sample's place in its pass.
    int oursSample = 0;
    int theirsSample = 0;
    double oursDue = 0;
    double theirsDue = 0;
    QVector<QPointF> pass;
    QVector<QPointF> shownPrevious;
    QVector<QPointF> lastPass;
    const Frame oursFrame = [&] {
        for (oursDue += pointsPerFrame; oursDue >= 1; oursDue -= 1, ++oursSample) {
            const int x = oursSample % width;
            if (x == 0 && oursSample > 0) {
                ours.swapData();
                ours.clearData();
            }
            ours.addData(x, float(traceY(oursSample)));
        }
        ours.repaint();
        return true;
    };
    const Frame theirsFrame = [&] {
        for (theirsDue += pointsPerFrame; theirsDue >= 1; theirsDue -= 1, ++theirsSample) {
            const int x = theirsSample % width;
            if (x == 0 && theirsSample > 0) {
                lastPass = pass;
                pass.clear();
            }
            pass.append(QPointF(x, height - traceY(theirsSample)));
        }
        current->replace(pass);
        // The previous pass shows from 40 pixels right of the head.
        const double head = pass.isEmpty() ? -1 : pass.last().x();
        shownPrevious.clear();
        for (const QPointF& p : lastPass) {
            if (p.x() > head + 40)
                shownPrevious.append(p);
        }
        previous->replace(shownPrevious);
        view.viewport()->repaint();
        return true;
    };
    const std::pair<double, double> ms = frameTimes(oursFrame, theirsFrame, frames);
    if (oursSample != theirsSample) {
        std::printf("sweep: samples fed differ\n");
        return;
    }
    // Both show their trace and the strip of the previous pass now.
    // Ours paints only its trace: shown over white, as Qt's view is.
    QImage oursImage(ours.size(), QImage::Format_ARGB32_Premultiplied);
    oursImage.fill(Qt::white);
    ours.render(&oursImage);
    const int oursDrawn = inkPixels(oursImage, green, Qt::white, 0.1);
    const int theirsDrawn = inkPixels(view.grab().toImage(), green, Qt::white, 0.1);
    reportRow(QStringLiteral("sweep %1 samples").arg(oursSample), ms.first, ms.second, oursDrawn, theirsDrawn);
}

// Values at the ends of the doubles, with infinities and not-a-number among them.
double hostileValue(qint64 i)
{
    switch (i % 7) {
    case 0: return 1.7e308;
    case 1: return -1.7e308;
    case 2: return sample(i);
    case 3: return -4.9e-324;
    case 4: return i % 11 == 0 ? std::numeric_limits<double>::quiet_NaN() : 1e308;
    case 5: return i % 13 == 0 ? std::numeric_limits<double>::infinity() : -1e300;
    default: return sample(i) * 1e15;
    }
}

void benchHostile()
{
    constexpr double bound = 250;
    {
        for (const bool extreme : {false, true}) {
            const int points = extreme ? 100000 : 1000000;
            VYRQLineChart chart;
            chart.setAnimationEnabled(false);
            chart.setHoverEnabled(false);
            LineSeries s;
            s.values.resize(points);
            for (int i = 0; i < points; ++i)
                s.values[i] = extreme ? hostileValue(i) : sample(i);
            chart.setSeries({s});
            if (!shown(chart))
                return;
            auto* impl = VYRQImplAccess::of(chart);
            const double ms = ownFrames([&] {
                impl->seriesChanged();
                return oneFrame(chart, &chart);
            });
            reportBound(QStringLiteral("line %1 %2, markers").arg(extreme ? "100k" : "1M", extreme ? "extreme" : "wavy"),
                        ms, bound, QStringLiteral("first frame after new data"));
        }
    }
    {
        constexpr int points = 1000000;
        VYRQScatterChart chart;
        chart.setAnimationEnabled(false);
        ScatterSeries s;
        s.pointSize = 8;
        s.points.resize(points);
        for (int i = 0; i < points; ++i)
            s.points[i] = QPointF(std::fmod(i * 0.618034, 1000.0), sample(i) + (i % 97));
        ScatterSeries extreme = s;
        for (int i = 0; i < points; i += 3)
            extreme.points[i] = QPointF(hostileValue(i), hostileValue(i + 1));
        chart.setSeries({s, extreme});
        if (!shown(chart))
            return;
        reportBound(QStringLiteral("scatter 2 x 1M"), ownFrames([&] { return oneFrame(chart, &chart); }), bound,
                    QStringLiteral("one wavy, one extreme"));
    }
    {
        constexpr int points = 1000000;
        VYRQBarChart chart;
        chart.setAnimationEnabled(false);
        BarSeries s;
        s.values.resize(points);
        for (int i = 0; i < points; ++i)
            s.values[i] = i % 2 ? sample(i) : hostileValue(i);
        chart.setSeries({s});
        if (!shown(chart))
            return;
        reportBound(QStringLiteral("bar 1M"), ownFrames([&] { return oneFrame(chart, &chart); }), bound,
                    QStringLiteral("half extreme"));
    }
    for (const bool extreme : {false, true}) {
        const int points = extreme ? 100000 : 1000000;
        VYRQECGChart chart;
        chart.enableFillColor(true, true);
        chart.setBelowFillColor(QColor(0, 80, 0), QColor(0, 20, 0));
        chart.setAboveFillColor(QColor(0, 0, 80), QColor(0, 0, 20));
        if (!shown(chart, QSize(900, 300)))
            return;
        for (int i = 0; i < points; ++i) {
            const float y = extreme ? float(i % 2 ? 3e38 : -3e38) : float(traceY(i));
            chart.addData(float(i * 900.0 / points), y);
        }
        chart.swapData();
        reportBound(QStringLiteral("sweep %1 %2, fills").arg(extreme ? "100k" : "1M", extreme ? "extreme" : "wavy"),
                    ownFrames([&] {
                        chart.repaint();
                        return true;
                    }),
                    bound, QStringLiteral("snapshot taken"));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL);
    QApplication app(argc, argv);
    VYRQtLib::init();
    registerChartControls();

    QStringList wanted = app.arguments().mid(1);
    // A child of the financial chart's OpenGL row: one side's frames alone.
    if (wanted.size() == 4 && wanted.first() == QLatin1String("candles-gl-side")) {
        const FinancialSide side = wanted.at(3) == QLatin1String("ours") ? FinancialSide::Ours : FinancialSide::Qt;
        benchFinancial(wanted.at(1).toInt(), wanted.at(2) == QLatin1String("1"), FinancialFeed::Everything, side);
        return 0;
    }
    if (wanted.isEmpty())
        wanted << QStringLiteral("line") << QStringLiteral("thinned") << QStringLiteral("candles")
               << QStringLiteral("sweep") << QStringLiteral("hostile");
    if (wanted.contains(QStringLiteral("line"))) {
        benchLine(10000, LineRun::Cached);
        benchLine(100000, LineRun::Cached);
        for (const int points : {10000, 100000, 1000000, 5000000})
            benchLine(points, LineRun::Live);
    }
    if (wanted.contains(QStringLiteral("thinned"))) {
        for (const int points : {100000, 1000000, 10000000}) {
            benchLine(points, LineRun::FedThinned);
            benchLine(points, LineRun::Thinning);
        }
    }
    if (wanted.contains(QStringLiteral("candles"))) {
        benchFinancial(5000, false, FinancialFeed::Everything);
        benchFinancial(5000, true, FinancialFeed::Everything);
        for (const int count : {5000, 50000}) {
            benchFinancial(count, false, FinancialFeed::PerColumn);
            benchFinancial(count, true, FinancialFeed::PerColumn);
        }
    }
    if (wanted.contains(QStringLiteral("sweep")))
        benchSweep();
    if (wanted.contains(QStringLiteral("hostile")))
        benchHostile();
    return 0;
}
