// Frame times of the OpenGL charts against Qt Charts in the same run, same size:
//   line     a line chart of 10,000 and 100,000 points against a QLineSeries drawn
//            with useOpenGL.
// A frame runs from asking the window and its GL widget for a repaint until the GL
// widget reports the composed frame swapped, with glFinish after it, so both sides
// have drawn and shown everything when the clock stops.
// Needs a display with OpenGL: run it under xvfb-run from a release build.
// Usage: bench_charts [line]...   (all when none is named)

#include "VYRQChartRegistry.h"
#include "VYRQGlobal.h"
#include "VYRQLineChart.h"
#include "VYRQLineChartImpl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest/QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

using namespace QtCharts;

namespace {

const QSize chartSize(900, 520);
constexpr int warmFrames = 5;
constexpr int measuredFrames = 60;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A deterministic wavy signal.
double sample(int i)
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

// Median milliseconds of a frame of each side, their frames taken in turns so that
// the load of the machine weighs on both alike; negative when frames did not arrive.
std::pair<double, double> frameTimes(QWidget& ours, QOpenGLWidget* oursGl, QWidget& theirs, QOpenGLWidget* theirsGl)
{
    if (!oursGl || !theirsGl)
        return {-1, -1};
    std::vector<double> a;
    std::vector<double> b;
    const auto timed = [](QWidget& window, QOpenGLWidget* gl) {
        QElapsedTimer t;
        t.start();
        return oneFrame(window, gl) ? double(t.nsecsElapsed()) / 1e6 : -1.0;
    };
    for (int i = 0; i < warmFrames + measuredFrames; ++i) {
        const double x = timed(ours, oursGl);
        const double y = timed(theirs, theirsGl);
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

bool shown(QWidget& w)
{
    w.resize(chartSize);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

void report(const char* what, int points, double ours, double theirs, int oursDrawn, int theirsDrawn)
{
    std::printf("%-8s %7d points  VYRQLineChart %8.2f ms  QLineSeries(OpenGL) %8.2f ms  ratio %.2fx"
                "  (line pixels %d / %d)\n",
                what, points, ours, theirs, ours / theirs, oursDrawn, theirsDrawn);
}

void benchLine(int points)
{
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
    if (qEnvironmentVariableIsSet("EMPTY")) ours.impl()->series.first().visible = false;
    ours.setCategories({});
    if (!shown(ours)) {
        std::printf("line: no window\n");
        return;
    }
    const int oursDrawn = pixelsNear(ours.grabFramebuffer(), lineColor);

    auto* series = new QLineSeries;
    QVector<QPointF> data(points);
    for (int i = 0; i < points; ++i)
        data[i] = QPointF(i, values.at(i));
    series->replace(data);
    series->setUseOpenGL(true);
    series->setPen(QPen(lineColor, 2.0));
    series->setName(QStringLiteral("Signal"));
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->createDefaultAxes();
    chart->setTitle(QStringLiteral("Basic Line Chart"));
    chart->setAnimationOptions(QChart::NoAnimation);
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    if (!shown(view)) {
        std::printf("line: no window\n");
        return;
    }
    QOpenGLWidget* gl = view.findChild<QOpenGLWidget*>();
    // Both sides hold every point.
    if (series->count() != points || ours.impl()->series.first().values.size() != points) {
        std::printf("line: point counts differ\n");
        return;
    }
    const int theirsDrawn = pixelsNear(view.grab().toImage(), lineColor);
    const std::pair<double, double> ms = frameTimes(ours, &ours, view, gl);
    report("line", points, ms.first, ms.second, oursDrawn, theirsDrawn);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL);
    QApplication app(argc, argv);
    VYRQtLib::init();
    registerChartControls();

    QStringList wanted = app.arguments().mid(1);
    if (wanted.isEmpty())
        wanted << QStringLiteral("line");
    if (wanted.contains(QStringLiteral("line"))) {
        benchLine(10000);
        benchLine(100000);
    }
    return 0;
}
