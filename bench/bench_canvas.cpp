// Opening a page in the design canvas against building the same page file as a plain
// page (vyrCreatePageByFileName under a widget), at 613, 3,061 and 9,997 controls:
// both read the file, parse it and build its controls; the canvas also keeps what it
// must write back and checks that a save would lose nothing. Both sides must build as
// many controls before a ratio is printed. Times are the thread's CPU time of the open
// or build alone (a machine shared with builds shifts wall times by more than the
// difference measured); the pages are deleted outside the timer. Build it as a
// release build.
// Usage: bench_canvas [rounds]

#include "BenchPageJson.h"
#include "BenchRow.h"
#include "IVYRQWidgetBase.h"
#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQGlobal.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace {

using benchrow::median;

int controlsUnder(const QWidget* root)
{
    int count = 0;
    for (const QWidget* widget : root->findChildren<const QWidget*>()) {
        if (dynamic_cast<const IVYRQWidgetBase*>(widget))
            ++count;
    }
    return count;
}

// Milliseconds of one build; the number of controls built in `built`.
double plainBuild(const QString& path, int& built)
{
    auto host = std::make_unique<QWidget>();
    const double start = benchrow::cpuMs(CLOCK_THREAD_CPUTIME_ID);
    vyrCreatePageByFileName(host.get(), path);
    const double ms = benchrow::cpuMs(CLOCK_THREAD_CPUTIME_ID) - start;
    built = controlsUnder(host.get());
    return ms;
}

double canvasOpen(VYRQCanvas& canvas, const QString& path, int& built)
{
    const double start = benchrow::cpuMs(CLOCK_THREAD_CPUTIME_ID);
    const bool opened = canvas.OpenJsonFile(path);
    const double ms = benchrow::cpuMs(CLOCK_THREAD_CPUTIME_ID) - start;
    built = opened && canvas.GetCurWindow() ? controlsUnder(canvas.GetCurWindow()) : -1;
    canvas.closeAllWindows();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    VYRQtLib::init();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    QTemporaryDir folder;
    VYRQCanvas canvas;

    // Rows of five cells of nine leaves: 1 + 51 controls a row.
    const benchpage::Shape shapes[] = {{12, 5, 9, 1280, 240}, {60, 5, 9, 1280, 1200}, {196, 5, 9, 1280, 3920}};
    std::printf("canvas: open in the design canvas against a plain page build; median of %d rounds, sides interleaved\n",
                rounds);
    bool allSame = true;
    for (const benchpage::Shape& shape : shapes) {
        const QString path = folder.filePath(QStringLiteral("page%1.json").arg(shape.controls()));
        QFile file(path);
        const QByteArray text = benchpage::pageJson(shape);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        file.close();
        std::vector<double> plain;
        std::vector<double> opened;
        bool same = true;
        for (int i = 0; i < rounds; ++i) {
            int plainBuilt = 0;
            int canvasBuilt = 0;
            if (i % 2 == 0) {
                plain.push_back(plainBuild(path, plainBuilt));
                opened.push_back(canvasOpen(canvas, path, canvasBuilt));
            } else {
                opened.push_back(canvasOpen(canvas, path, canvasBuilt));
                plain.push_back(plainBuild(path, plainBuilt));
            }
            same = same && plainBuilt == shape.controls() && canvasBuilt == plainBuilt;
            QApplication::processEvents();
        }
        allSame = allSame && same;
        char name[64];
        std::snprintf(name, sizeof name, "canvas open, %d controls", shape.controls());
        benchrow::print(name, median(opened), median(plain), "ms", same, "(against the plain page build; target <= 1.5)");
    }
    return allSame ? 0 : 1;
}
