// Start to first frame of the monitor's window against a minimal Qt program that makes
// the same OpenGL check and shows one QOpenGLWidget filling a window of the same size,
// and the resident memory of each after start-up.
//
// The parent runs each side as a child process, in pairs (monitor, plain Qt), so that
// both see the same machine state. A child starts the way its program starts, shows
// its window, and at the window's first paint prints its resident memory and quits;
// the parent times the child from spawn to that line. The monitor's child runs
// tarnex's own start-up (tarnex::runMonitor, as its main() does, with no options):
// the library, the theme folder beside the executable (a link to tarnex's copy), the
// OpenGL check and the window. The plain child makes the same check
// (tarnex::openGLAvailable, Qt calls only) and brings up an OpenGL context for its
// widget, as the monitor's charts do; a ratio is printed only when both windows have
// the same size and hold OpenGL widgets with a context. Run it under Xvfb: without
// OpenGL (the offscreen platform) tarnex refuses to start. A release build is
// meaningful.
#include "BenchRow.h"
#include "TarnexStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPointer>
#include <QProcess>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>

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

// Prints "frame <rss KiB> <width>x<height> <class> <OpenGL widgets>" at the first paint
// in a window the screen shows (the charts' OpenGL widgets paint into their own
// buffers before), then quits: a box that refuses the start shows up as a window of
// another class. The last figure counts the window's OpenGL widgets that have a
// context by then.
class FirstFrame : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QWidget* window =
            event->type() == QEvent::Paint && watched->isWidgetType() ? static_cast<QWidget*>(watched)->window() : nullptr;
        if (window && window->windowHandle() && window->windowHandle()->isExposed() && !m_done) {
            m_done = true;
            const QSize size = window->size();
            const QByteArray name = window->metaObject()->className();
            const QPointer<QWidget> shown = const_cast<QWidget*>(window);
            QTimer::singleShot(0, qApp, [size, name, shown] {
                int gl = 0;
                for (const QOpenGLWidget* widget : shown ? shown->findChildren<QOpenGLWidget*>() : QList<QOpenGLWidget*>())
                    gl += widget->isValid();
                std::printf("frame %ld %dx%d %s %d\n", residentKiB(), size.width(), size.height(), name.constData(), gl);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

// An OpenGL widget that clears its frame, as a chart clears its frame first.
class ClearedGLWidget : public QOpenGLWidget, protected QOpenGLFunctions {
public:
    using QOpenGLWidget::QOpenGLWidget;

protected:
    void initializeGL() override { initializeOpenGLFunctions(); }
    void paintGL() override
    {
        glClearColor(0.11f, 0.12f, 0.13f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

int runChild(int argc, char** argv, bool monitor)
{
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL, true);
    QApplication app(argc, argv);
    FirstFrame probe;
    app.installEventFilter(&probe);
    if (monitor)
        return tarnex::runMonitor({QCoreApplication::arguments().constFirst()});
    if (!tarnex::openGLAvailable())
        return 1;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new ClearedGLWidget(&window));
    window.resize(1440, 900);
    window.show();
    return app.exec();
}

struct Sample {
    double ms = 0;
    long rss = 0;
    QByteArray size;
    QByteArray window;
    int glWidgets = 0;
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
    if (parts.size() != 5 || parts[0] != "frame")
        return false;
    out.rss = parts[1].toLong();
    out.size = parts[2];
    out.window = parts[3];
    out.glWidgets = parts[4].toInt();
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

    std::vector<double> monitorMs, plainMs;
    std::vector<long> monitorRss, plainRss;
    bool bothGl = true;
    for (int i = 0; i < runs; ++i) {
        Sample m, p;
        if (!runOnce(self, "monitor", m) || !runOnce(self, "plain", p)) {
            std::fprintf(stderr, "a child failed to show its first frame\n");
            return 1;
        }
        if (m.window != "RefineryPlantWindow") {
            std::fprintf(stderr, "tarnex showed %s instead of its window\n", m.window.constData());
            return 1;
        }
        // Both sides must have shown a window of the same size.
        if (m.size != p.size) {
            std::fprintf(stderr, "windows differ: %s against %s\n", m.size.constData(), p.size.constData());
            return 1;
        }
        // Each holds OpenGL widgets with a context: both paid for OpenGL.
        bothGl = bothGl && m.glWidgets > 0 && p.glWidgets == 1;
        monitorMs.push_back(m.ms);
        plainMs.push_back(p.ms);
        monitorRss.push_back(m.rss);
        plainRss.push_back(p.rss);
    }
    std::printf("start to first frame over %d paired runs (medians)\n", runs);
    const double monitorMiB = median(monitorRss) / 1024.0;
    const double plainMiB = median(plainRss) / 1024.0;
    const char* yardstick = "(Qt: the OpenGL check and one QOpenGLWidget)";
    benchrow::print("tarnex start to first frame", median(monitorMs), median(plainMs), "ms", bothGl, yardstick);
    benchrow::print("tarnex resident memory", monitorMiB, plainMiB, "MiB", bothGl, yardstick);
    return 0;
}
