// The charts through their real OpenGL path: shown in a window on a display with GL
// (Xvfb with Mesa), read back from the frame buffer. Without a display the cases skip.

#include "chart_hostiledata.h"
#include "chart_testutil.h"
#include "cputimer.h"
#include "composedframe.h"
#include "testaccess.h"

#include "VYRQBarChart.h"
#include "VYRQFinancialChart.h"
#include "VYRQFinancialChartImpl.h"
#include "VYRQLineChart.h"
#include "VYRQLineChartImpl.h"
#include "VYRQOpenGLPieChart.h"
#include "VYRQOpenGLPieChartImpl.h"
#include "VYRQScatterChart.h"

#include <QOpenGLContext>

namespace {

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

// Shown, exposed and painted once with a valid context; false when GL is missing.
bool showWithGl(QOpenGLWidget& w)
{
    if (!ctl::shown(w))
        return false;
    w.grabFramebuffer();
    return w.context() && w.context()->isValid();
}

// A chart inside a shown window, with a valid context once exposed.
bool showWithGl(QWidget& window, QOpenGLWidget& chart)
{
    return ctl::shown(window) && QTest::qWaitFor([&chart] { return chart.context(); })
        && chart.context()->isValid();
}

} // namespace

class tst_ChartGl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!haveDisplay())
            QSKIP("no display with OpenGL");
        VYRQtLib::init();
    }

    void firstFrameShowsCurrentData_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("its parent shown") << "parent";
        QTest::newRow("itself shown") << "itself";
        // As a drawer slides in: shown at no width, then widened.
        QTest::newRow("its parent shown collapsed, then widened") << "slide";
    }

    // New data given to a hidden chart is in the first frame composed after the chart
    // becomes visible, not the frame it showed when it was hidden.
    void firstFrameShowsCurrentData()
    {
        QFETCH(QString, how);
        QImage first;
        QWidget window;
        window.resize(560, 360);
        auto* holder = new QWidget(&window);
        holder->setGeometry(0, 0, 540, 340);
        auto* line = new VYRQLineChart(holder);
        line->move(20, 20);
        chart::settle(*line);
        if (!showWithGl(window, *line))
            QSKIP("no OpenGL context");
        const QVector<vyr::chart::PlotPoint> points = vyrtest::impl(*line)->seriesPoints(
            0, vyrtest::impl(*line)->plotRect(line->size()), vyrtest::impl(*line)->valueRange());
        const QPointF mid = (points.at(2).pos + points.at(3).pos) / 2;
        const QPoint ring(int(mid.x()), int(mid.y()));
        const QColor blue = line->theme().palette.first();
        QTRY_VERIFY(chart::near(ctl::pixel(vyrtest::composedFrame(*line), ring.x(), ring.y()), blue));

        QWidget* hidden = how == QLatin1String("itself") ? static_cast<QWidget*>(line) : holder;
        hidden->hide();
        LineSeries red;
        red.values = {150, 230, 224, 218, 135, 147, 260};
        red.color = QColor(255, 0, 0);
        line->setSeries({red});

        const QMetaObject::Connection watch = connect(line, &QOpenGLWidget::aboutToCompose, this, [&] {
            if (first.isNull() && !line->visibleRegion().isEmpty())
                first = vyrtest::composedFrame(*line);
        });
        if (how == QLatin1String("slide")) {
            holder->resize(0, holder->height());
            holder->show();
            QCoreApplication::processEvents();
            holder->resize(540, holder->height());
        } else {
            hidden->show();
        }
        QTRY_VERIFY(!first.isNull());
        disconnect(watch);
        VERIFY_NEAR(ctl::pixel(first, ring.x(), ring.y()), QColor(255, 0, 0));
    }

    // Repeated frames reuse the drawn series; whatever they depend on still shows at
    // once: new data, a hidden series, a hover.
    void steadyFramesFollowChanges()
    {
        VYRQLineChart line;
        chart::settle(line);
        line.setHoverMode(1);
        if (!showWithGl(line))
            QSKIP("no OpenGL context");
        const QPoint thursday(258, 82);
        // Half way between Wed and Thu, on the line.
        const QVector<vyr::chart::PlotPoint> points = vyrtest::impl(line)->seriesPoints(
            0, vyrtest::impl(line)->plotRect(line.size()), vyrtest::impl(line)->valueRange());
        const QPointF mid = (points.at(2).pos + points.at(3).pos) / 2;
        const QPoint ring(int(mid.x()), int(mid.y()));
        // Three frames in a row, so that a reused frame must show the change too.
        auto steady = [&line](const QPoint& at, const QColor& colour) {
            for (int i = 0; i < 3; ++i)
                VERIFY_NEAR(ctl::pixel(line.grabFramebuffer(), at.x(), at.y()), colour);
        };
        steady(ring, line.theme().palette.first());

        LineSeries red;
        red.values = {150, 230, 224, 218, 135, 147, 260};
        red.color = QColor(255, 0, 0);
        line.setSeries({red});
        steady(ring, QColor(255, 0, 0));

        chart::move(line, thursday);
        steady(thursday, QColor(255, 0, 0));
        ctl::hover(line, false);
        steady(thursday, line.theme().plotBackground);

        chart::click(line, QPoint(62, 267));
        steady(ring, line.theme().plotBackground);
    }

    void pieChart()
    {
        VYRQOpenGLPieChart pie;
        chart::settle(pie, QSize(640, 460));
        pie.setThemeIndex(1);
        pie.setHoleRatio(0.5);
        if (!showWithGl(pie))
            QSKIP("no OpenGL context");
        const ChartTheme& theme = pie.theme();
        const QImage image = pie.grabFramebuffer();
        // Centre (320, 204), radius 136; the first slice spans 0 to 120 degrees.
        VERIFY_NEAR(ctl::pixel(image, 320 + 95, 204 - 55), theme.palette.first());
        VERIFY_NEAR(ctl::pixel(image, 320, 204), theme.plotBackground);
        VERIFY_NEAR(ctl::pixel(image, 5, 450), theme.background);
    }

    // The demo bars, scatter points and candles through the same path.
    void categoryCharts()
    {
        VYRQBarChart bar;
        chart::settle(bar);
        if (!showWithGl(bar))
            QSKIP("no OpenGL context");
        QImage image = bar.grabFramebuffer();
        VERIFY_NEAR(ctl::pixel(image, 200, 160), bar.theme().palette.first());
        VERIFY_NEAR(ctl::pixel(image, 200, 80), bar.theme().plotBackground);

        VYRQScatterChart scatter;
        chart::settle(scatter);
        if (!showWithGl(scatter))
            QSKIP("no OpenGL context");
        chart::move(scatter, QPoint(305, 60));
        image = scatter.grabFramebuffer();
        VERIFY_NEAR(ctl::pixel(image, 305, 60), scatter.theme().palette.first());

        VYRQFinancialChart fin;
        chart::settle(fin, QSize(640, 400));
        if (!showWithGl(fin))
            QSKIP("no OpenGL context");
        image = fin.grabFramebuffer();
        // The slider's end handle at the right end of the track.
        VERIFY_NEAR(ctl::pixel(image, 612, 325), QColor(37, 99, 235));
        VERIFY_NEAR(ctl::pixel(image, 300, 8), fin.theme().background);
    }

    // A million records in each view of the financial chart and a million slices on
    // a pie, through Mesa, where a price line of a million points at the ends of the
    // doubles stroked whole takes gigabytes. Each frame takes well under a second,
    // even under the sanitizers.
    void millionRecords_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        const double most = std::numeric_limits<double>::max();
        QTest::newRow("price line at the ends of the doubles") << 1 << -most << most;
        QTest::newRow("candles within a quarter at 1e15") << 0 << 1e15 << 1e15 + 0.25;
        QTest::newRow("volume bars") << 2 << 90.0 << 110.0;
        QTest::newRow("pie slices") << -1 << 0.0 << 0.0;
    }
    void millionRecords()
    {
        QFETCH(int, view);
        QFETCH(double, low);
        QFETCH(double, high);
        VYRQFinancialChart fin;
        VYRQOpenGLPieChart pie;
        QOpenGLWidget* shown = &fin;
        if (view < 0) {
            chart::settle(pie, QSize(640, 460));
            pie.setSlices(chart::millionSlices());
            shown = &pie;
        } else {
            chart::settle(fin, QSize(640, 400));
            chart::setMillionRecords(fin, view, low, high);
        }
        if (!showWithGl(*shown))
            QSKIP("no OpenGL context");
        const CpuTimer timer;
        const QImage image = shown->grabFramebuffer();
        VERIFY_CPU_BELOW(timer, 5000);
        if (view < 0) {
            // Past three quarters the slices narrower than a pixel show as one.
            VERIFY_NEAR(ctl::pixel(image, 320 - 70, 204 - 70), pie.theme().axisColor);
        } else if (view > 0) {
            // Plot (66, 48, 546, 226): the line and the bars reach its top and bottom.
            for (const int y : {51, 271})
                QVERIFY(!chart::near(ctl::pixel(image, 300, y), fin.theme().plotBackground, 20));
        }
    }
};

int main(int argc, char** argv)
{
    // The suite asks for the window system whenever there is a display to ask.
    if (haveDisplay())
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    tst_ChartGl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartgl.moc"
