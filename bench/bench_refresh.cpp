// One simulator tick plus the window refresh it causes, in CPU time per tick. There is
// no plain-Qt ratio: a plain window of labels and a table is not the monitor's page,
// and a ratio against it would say nothing. Ticks that also roll the history (every
// fifth) are reported on their own, then the monitor once more with its OpenGL charts
// hidden (a window holding a QOpenGLWidget composes every flush through GL, on Mesa's
// software rasteriser under Xvfb). A soak of 1,000 ticks driven by hand reports the
// monitor's resident-memory growth (a longer one, such as 86,400 ticks, takes some ten
// minutes: "bench_refresh 500 86400").
//
// Run a release build under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" bench_refresh [ticks] [soak ticks]
#include "BenchRow.h"
#include "RefineryPlantWindow.h"
#include "RefinerySimulator.h"
#include "TarnexStartup.h"
#include "VYRQGlobal.h"

#include <QApplication>
#include <QFile>
#include <QOpenGLWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using benchrow::median;

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct Times {
    std::vector<double> plain;
    std::vector<double> roll;
    std::vector<double> refresh;   // the tick and the refresh, before the repaint
};

template <class Step>
Times measure(RefinerySimulator& simulator, int ticks, Step step)
{
    Times times;
    for (int i = 0; i < ticks; ++i) {
        const double start = benchrow::cpuMs();
        step();
        const double mid = benchrow::cpuMs();
        QCoreApplication::processEvents();
        const double ms = benchrow::cpuMs() - start;
        times.refresh.push_back(mid - start);
        (simulator.snapshot().tick % 5 == 0 ? times.roll : times.plain).push_back(ms);
    }
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? qMax(10, atoi(argv[1])) : 500;
    const int soakTicks = argc > 2 ? atoi(argv[2]) : 1000;
    VYRQtLib::init();
    tarnex::registerCharts();
    tarnex::substituteFonts();
    VYRGlobalConfig config;
    config.fontFamily = QStringLiteral("Microsoft YaHei UI");
    config.buttonFadeDuration = 140;
    vyrSetGlobalConfig(config);
    if (!vyrLoadThemeDir(TARNEX_THEME_DIR)) {
        std::fprintf(stderr, "theme not loadable\n");
        return 1;
    }

    RefineryPlantWindow window;
    RefinerySimulator* simulator = window.plantSimulator();
    simulator->stop();
    window.resize(1440, 900);
    window.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    measure(*simulator, 50, [&] { simulator->advance(); });   // warm-up
    const Times monitor = measure(*simulator, ticks, [&] { simulator->advance(); });

    // The monitor with its charts hidden (the window was composed through GL before).
    const QList<QOpenGLWidget*> charts = window.findChildren<QOpenGLWidget*>();
    QList<QOpenGLWidget*> hidden;
    for (QOpenGLWidget* chart : charts)
        if (chart->isVisible()) {
            chart->hide();
            hidden << chart;
        }
    measure(*simulator, 20, [&] { simulator->advance(); });
    const Times monitorNoCharts = measure(*simulator, ticks, [&] { simulator->advance(); });
    for (QOpenGLWidget* chart : hidden)
        chart->show();
    // Rows as bench/bench_table.py reads them (BenchRow.h): ours alone, CPU ms a tick.
    std::printf("tarnex tick + refresh + repaint, CPU time per tick, median over %d ticks (window 1440x900)\n",
                ticks);
    benchrow::printOurs("tick, ordinary", median(monitor.plain), "ms");
    benchrow::printOurs("tick, fifth (history rolled)", median(monitor.roll), "ms");
    benchrow::printOurs("tick and refresh, no painting", median(monitor.refresh), "ms");
    char note[64];
    std::snprintf(note, sizeof note, "(%d visible charts hidden)", int(hidden.size()));
    benchrow::printOurs("tick, ordinary, charts hidden", median(monitorNoCharts.plain), "ms", note);
    benchrow::printOurs("tick, fifth, charts hidden", median(monitorNoCharts.roll), "ms", note);

    if (soakTicks > 0) {
        const long before = residentKiB();
        for (int i = 0; i < soakTicks; ++i) {
            simulator->advance();
            QCoreApplication::processEvents();
        }
        const long after = residentKiB();
        std::snprintf(note, sizeof note, "(%d ticks: %.1f -> %.1f MiB)", soakTicks, before / 1024.0, after / 1024.0);
        benchrow::printOurs("soak, resident growth", double(after - before), "KiB", note);
    }
    return 0;
}
