// One simulator tick plus the window refresh it causes, in CPU time, against a plain
// Qt window that does the same per-tick work (the same labels rewritten, the same
// 12 x 8 table model rebuilt with its roles, shown in a QTableView). Ticks that also
// roll the history (every fifth) are reported on their own. Then a soak of 86,400
// ticks driven by hand reports the monitor's resident-memory growth.
//
// A window holding a QOpenGLWidget is flushed through GL: every flush composes the
// whole window into a GL surface (on Mesa's software rasteriser under Xvfb). To show
// that cost apart from ours, the same plain window is measured again holding one
// QOpenGLWidget chart repainted on the fifth ticks only, and the monitor once more
// with its charts hidden.
//
// Run a release build under Xvfb: xvfb-run -a -s "-screen 0 1920x1080x24" bench_refresh
#include "RefineryPlantWindow.h"
#include "RefinerySimulator.h"
#include "TarnexStartup.h"
#include "VYRQGlobal.h"
#include "VYRQLabel.h"

#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QOpenGLWidget>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// A chart drawn through QPainter on a QOpenGLWidget: a line over the last 60 values.
class PlainChart : public QOpenGLWidget {
public:
    using QOpenGLWidget::QOpenGLWidget;
    QVector<double> values;

protected:
    void paintGL() override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(29, 32, 36));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(146, 134, 255), 2));
        QPolygonF line;
        for (int i = 0; i < values.size(); ++i)
            line << QPointF(width() * i / qMax(1, values.size() - 1), height() * (1.0 - values[i] / 100.0));
        painter.drawPolyline(line);
    }
};

// The plain side: as many QLabels as the monitor has, rewritten every tick, and the
// equipment model rebuilt under a QTableView.
class PlainWindow : public QWidget {
public:
    explicit PlainWindow(int labelCount, bool withChart = false)
    {
        auto* grid = new QGridLayout(this);
        for (int i = 0; i < labelCount; ++i) {
            labels.push_back(new QLabel(this));
            grid->addWidget(labels.back(), i / 8, i % 8);
        }
        auto* table = new QTableView(this);
        model = new QStandardItemModel(table);
        table->setModel(model);
        grid->addWidget(table, labelCount / 8 + 1, 0, 1, 8);
        if (withChart) {
            chart = new PlainChart(this);
            chart->setMinimumHeight(220);
            grid->addWidget(chart, labelCount / 8 + 2, 0, 1, 8);
        }
        resize(1440, 900);
    }

    void refresh(const RefinerySnapshot& s)
    {
        for (size_t i = 0; i < labels.size(); ++i) {
            const RefineryEquipment& item = s.equipment.at(int(i) % s.equipment.size());
            labels[i]->setText(QStringLiteral("%1 C").arg(item.temperature, 0, 'f', 1));
        }
        model->clear();
        model->setHorizontalHeaderLabels(
            {"Equipment", "Name", "Area", "Temperature", "Pressure", "Flow", "Health", "Status"});
        for (const RefineryEquipment& item : s.equipment) {
            QList<QStandardItem*> cells{
                new QStandardItem(item.id), new QStandardItem(item.nameEn), new QStandardItem(item.areaEn),
                new QStandardItem(QStringLiteral("%1 C").arg(item.temperature, 0, 'f', 1)),
                new QStandardItem(QStringLiteral("%1 bar").arg(item.pressure, 0, 'f', 2)),
                new QStandardItem(QStringLiteral("%1 m3/h").arg(item.flow, 0, 'f', 0)),
                new QStandardItem(QStringLiteral("%1%").arg(item.health, 0, 'f', 0)),
                new QStandardItem(item.status == 0 ? "NORMAL" : item.status == 1 ? "WARNING" : "CRITICAL")};
            for (QStandardItem* cell : cells)
                cell->setData(item.id, RefineryPlantWindow::EquipmentIdRole);
            model->appendRow(cells);
        }
        if (chart && s.tick % 5 == 0) {
            chart->values.append(s.equipment.value(0).health);
            if (chart->values.size() > 60)
                chart->values.removeFirst();
            chart->update();
        }
    }

    std::vector<QLabel*> labels;
    PlainChart* chart = nullptr;
    QStandardItemModel* model = nullptr;
};

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
        const double start = cpuMs();
        step();
        const double mid = cpuMs();
        QCoreApplication::processEvents();
        const double ms = cpuMs() - start;
        times.refresh.push_back(mid - start);
        (simulator.snapshot().tick % 5 == 0 ? times.roll : times.plain).push_back(ms);
    }
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? qMax(10, atoi(argv[1])) : 1000;
    const int soakTicks = argc > 2 ? atoi(argv[2]) : 86400;
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

    PlainWindow plain(window.findChildren<VYRQLabel*>().size());
    RefinerySimulator plainSimulator;
    QObject::connect(&plainSimulator, &RefinerySimulator::snapshotChanged, &plain, &PlainWindow::refresh);
    plain.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    measure(*simulator, 50, [&] { simulator->advance(); });   // warm-up of both
    measure(plainSimulator, 50, [&] { plainSimulator.advance(); });
    const Times monitor = measure(*simulator, ticks, [&] { simulator->advance(); });
    const Times qt = measure(plainSimulator, ticks, [&] { plainSimulator.advance(); });
    plain.hide();

    // The GL share: the plain window again, holding one QOpenGLWidget chart.
    Times qtGl;
    {
        PlainWindow glWindow(int(plain.labels.size()), true);
        RefinerySimulator glSimulator;
        QObject::connect(&glSimulator, &RefinerySimulator::snapshotChanged, &glWindow, &PlainWindow::refresh);
        glWindow.show();
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        measure(glSimulator, 50, [&] { glSimulator.advance(); });
        qtGl = measure(glSimulator, ticks, [&] { glSimulator.advance(); });
    }

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
    // Both sides again at the same tick for the comparison below.
    while (plainSimulator.snapshot().tick < simulator->snapshot().tick)
        plainSimulator.advance();

    // Same work: the two models hold the same cells at the same tick.
    QStandardItemModel* ours = window.getEquipmentModel();
    bool same = ours->rowCount() == plain.model->rowCount() && simulator->snapshot().tick == plainSimulator.snapshot().tick;
    for (int r = 0; same && r < ours->rowCount(); ++r)
        for (int c = 0; c < 7; ++c)
            same = same && ours->item(r, c)->text() == plain.model->item(r, c)->text();
    if (!same) {
        std::fprintf(stderr, "the two sides did not build the same table (ticks %d and %d)\n",
                     simulator->snapshot().tick, plainSimulator.snapshot().tick);
        for (int r = 0; r < ours->rowCount() && r < plain.model->rowCount(); ++r)
            for (int c = 0; c < 7; ++c)
                if (ours->item(r, c)->text() != plain.model->item(r, c)->text())
                    std::fprintf(stderr, "  cell %d,%d: %s against %s\n", r, c, qPrintable(ours->item(r, c)->text()),
                                 qPrintable(plain.model->item(r, c)->text()));
        return 1;
    }

    std::printf("tick + refresh, CPU time, median over %d ticks (window 1440x900, %d labels on the plain side)\n",
                ticks, int(plain.labels.size()));
    std::printf("  ordinary ticks: tarnex %.3f ms   plain Qt %.3f ms   ratio %.2fx\n", median(monitor.plain),
                median(qt.plain), median(monitor.plain) / median(qt.plain));
    std::printf("  fifth ticks:    tarnex %.3f ms   plain Qt %.3f ms   ratio %.2fx\n", median(monitor.roll),
                median(qt.roll), median(monitor.roll) / median(qt.roll));

    std::printf("  of which tick and refresh before painting: tarnex %.3f ms   plain Qt %.3f ms\n",
                median(monitor.refresh), median(qt.refresh));
    std::printf("plain Qt window holding one QOpenGLWidget chart (repainted on fifth ticks)\n");
    std::printf("  ordinary ticks: %.3f ms (%.3f ms over the plain window)   fifth ticks: %.3f ms\n",
                median(qtGl.plain), median(qtGl.plain) - median(qt.plain), median(qtGl.roll));
    std::printf("tarnex with its %d visible charts hidden\n", int(hidden.size()));
    std::printf("  ordinary ticks: %.3f ms   fifth ticks: %.3f ms\n", median(monitorNoCharts.plain),
                median(monitorNoCharts.roll));

    if (soakTicks > 0) {
        const long before = residentKiB();
        for (int i = 0; i < soakTicks; ++i) {
            simulator->advance();
            QCoreApplication::processEvents();
        }
        const long after = residentKiB();
        std::printf("soak of %d ticks: RSS %.1f MiB -> %.1f MiB, growth %ld KiB\n", soakTicks, before / 1024.0,
                    after / 1024.0, after - before);
    }
    return 0;
}
