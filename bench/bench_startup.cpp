// Start to first frame of the monitor's window against a minimal Qt program that
// shows one empty window, and the resident memory of each after start-up.
//
// The parent runs each side as a child process, in pairs (monitor, plain Qt), so that
// both see the same machine state. A child starts the way its program starts, shows
// its window, and at its first paint prints its resident memory and quits; the parent
// times the child from spawn to that line. Run under Xvfb (or with
// QT_QPA_PLATFORM=offscreen); a release build is meaningful.
#include "RefineryPlantWindow.h"
#include "TarnexStartup.h"
#include "VYRQGlobal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

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

// Prints "frame <paints> <rss>" at the window's first paint, then quits.
class FirstFrame : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const QSize size = static_cast<QWidget*>(watched)->size();
            QTimer::singleShot(0, qApp, [size] {
                std::printf("frame %ld %dx%d\n", residentKiB(), size.width(), size.height());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

int runChild(int argc, char** argv, bool monitor)
{
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL, true);
    QApplication app(argc, argv);
    FirstFrame probe;
    std::unique_ptr<QWidget> window;
    if (monitor) {
        VYRQtLib::init();
        tarnex::registerCharts();
        tarnex::substituteFonts();
        VYRGlobalConfig config;
        config.fontFamily = QStringLiteral("Microsoft YaHei UI");
        config.buttonFadeDuration = 140;
        vyrSetGlobalConfig(config);
        if (!vyrLoadThemeDir(TARNEX_THEME_DIR))
            return 1;
        window = std::make_unique<RefineryPlantWindow>(nullptr);
    } else {
        window = std::make_unique<QWidget>();
        window->resize(1440, 900);
    }
    window->installEventFilter(&probe);
    window->show();
    return app.exec();
}

struct Sample {
    double ms = 0;
    long rss = 0;
    QByteArray size;
};

bool runOnce(const QString& self, const char* mode, Sample& out)
{
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(self, {QString::fromLatin1(mode)});
    if (!child.waitForStarted(10000))
        return false;
    QByteArray output;
    while (!output.contains('\n') && child.waitForReadyRead(30000))
        output += child.readAllStandardOutput();
    out.ms = double(clock.nsecsElapsed()) / 1e6;
    child.waitForFinished(30000);
    const QList<QByteArray> parts = output.trimmed().split(' ');
    if (parts.size() != 3 || parts[0] != "frame")
        return false;
    out.rss = parts[1].toLong();
    out.size = parts[2];
    return true;
}

template <class T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "monitor") == 0 || qstrcmp(argv[1], "plain") == 0))
        return runChild(argc, argv, qstrcmp(argv[1], "monitor") == 0);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 15;
    const QString self = QCoreApplication::applicationFilePath();
    Sample warm;
    runOnce(self, "monitor", warm);   // page cache and font cache warmed for both sides
    runOnce(self, "plain", warm);

    std::vector<double> monitorMs, plainMs, ratios;
    std::vector<long> monitorRss, plainRss;
    for (int i = 0; i < runs; ++i) {
        Sample m, p;
        if (!runOnce(self, "monitor", m) || !runOnce(self, "plain", p)) {
            std::fprintf(stderr, "a child failed to show its first frame\n");
            return 1;
        }
        // Both sides must have shown a window of the same size.
        if (m.size != p.size) {
            std::fprintf(stderr, "windows differ: %s against %s\n", m.size.constData(), p.size.constData());
            return 1;
        }
        monitorMs.push_back(m.ms);
        plainMs.push_back(p.ms);
        ratios.push_back(m.ms / p.ms);
        monitorRss.push_back(m.rss);
        plainRss.push_back(p.rss);
    }
    std::printf("start to first frame over %d paired runs (median)\n", runs);
    std::printf("  tarnex window      %8.1f ms   RSS %7.1f MiB\n", median(monitorMs), median(monitorRss) / 1024.0);
    std::printf("  empty Qt window    %8.1f ms   RSS %7.1f MiB\n", median(plainMs), median(plainRss) / 1024.0);
    std::printf("  ratio (paired median) %.2fx time, %.2fx memory\n", median(ratios),
                double(median(monitorRss)) / double(median(plainRss)));
    return 0;
}
