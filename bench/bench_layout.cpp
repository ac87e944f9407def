// Layout pass of a horizontal VYRQContainer against QHBoxLayout on the same work:
// N children with weights 1 to 3, the parent resized between two widths so that
// every pass moves every child. Also the cost of one scroll step over 1000 children.
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "VYRQContainer.h"
#include "VYRQControl.h"
#include "VYRQScrollBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QWidget>

#include <cstdio>
#include <vector>

namespace {

// The lightest library control: layout data and nothing else.
class BenchCellImpl : public VYRQWidgetBaseImpl {
public:
    explicit BenchCellImpl(QWidget* owner) : VYRQWidgetBaseImpl(owner, QStringLiteral("benchcell")) {}
};

class BenchCell : public VYRQControl<BenchCell, QWidget, BenchCellImpl> {
    VYR_CONTROL(BenchCell, "benchcell")
public:
    explicit BenchCell(QWidget* parent) : VYRQControl(parent) { finishConstruction(); }
};

int weightOf(int i)
{
    return i % 3 + 1;
}

int narrowWidth(int n)
{
    return 8 * n + 100;
}

int wideWidth(int n)
{
    return 12 * n + 100;
}

int iterationsFor(int n)
{
    return n <= 10 ? 10000 : (n <= 100 ? 1000 : 100);
}

// Microseconds per call of pass(i) after a warm-up: the best of five rounds, so
// that other load on the machine does not decide the figure.
template <class Pass>
double timePerPass(int iterations, Pass pass)
{
    for (int i = 0; i < iterations / 10 + 2; ++i)
        pass(i);
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < iterations; ++i)
            pass(i);
        const double perPass = double(timer.nsecsElapsed()) / 1000.0 / iterations;
        if (round == 0 || perPass < best)
            best = perPass;
    }
    return best;
}

double containerPass(int n)
{
    QWidget host;
    host.resize(wideWidth(n) + 10, 60);
    VYRQContainer* container = new VYRQContainer(&host);
    container->setDrawBackground(false);
    for (int i = 0; i < n; ++i) {
        BenchCell* cell = new BenchCell(container);
        cell->setLayoutRatio(weightOf(i));
    }
    container->setChildLayout(VYRQContainer::Horizontal);
    host.show();
    QApplication::processEvents();
    // Each resize of the shown child delivers its resize event, which runs the pass.
    return timePerPass(iterationsFor(n), [container, n](int i) {
        container->resize(i % 2 ? narrowWidth(n) : wideWidth(n), 40);
    });
}

double boxLayoutPass(int n)
{
    QWidget host;
    host.resize(wideWidth(n) + 10, 60);
    QWidget* box = new QWidget(&host);
    QHBoxLayout* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < n; ++i)
        layout->addWidget(new QWidget(box), weightOf(i));
    host.show();
    layout->activate();
    QApplication::processEvents();
    // The resize event of the box makes its activated layout set every geometry.
    return timePerPass(iterationsFor(n), [box, n](int i) {
        box->resize(i % 2 ? narrowWidth(n) : wideWidth(n), 40);
    });
}

double scrollStep(int n)
{
    QWidget host;
    host.resize(320, 420);
    VYRQContainer* container = new VYRQContainer(&host);
    container->setDrawBackground(false);
    container->resize(300, 400);
    for (int i = 0; i < n; ++i) {
        BenchCell* cell = new BenchCell(container);
        cell->resize(280, 20);
        cell->setHeightPolicy(PolicyFixed);
    }
    VYRQScrollBar* bar = new VYRQScrollBar;
    bar->setWidthHeight(12);
    container->bindScrollBar(bar, false);
    container->setChildLayout(VYRQContainer::Vertical);
    host.show();
    QApplication::processEvents();
    return timePerPass(500, [container](int i) { container->setScrollPos(false, (i % 2) ? 120 : 360); });
}

} // namespace

inline ControlInfo BenchCell::getProps()
{
    return vyr::makeControlInfo("benchcell", "BenchCell", "BenchCell", "Benchmark cell", "test");
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // "bench_layout container|box|scroll" runs one part alone, for a profiler.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only == QLatin1String("container")) {
        std::printf("container, N = 1000: %.2f us\n", containerPass(1000));
        return 0;
    }
    if (only == QLatin1String("box")) {
        std::printf("QHBoxLayout, N = 1000: %.2f us\n", boxLayoutPass(1000));
        return 0;
    }
    if (only == QLatin1String("scroll")) {
        std::printf("scroll step, 1000 children: %.2f us\n", scrollStep(1000));
        return 0;
    }

    std::printf("%8s %16s %16s %8s %18s\n", "N", "VYRQContainer", "QHBoxLayout", "ratio", "container us/child");
    for (int n : {10, 100, 1000}) {
        const double ours = containerPass(n);
        const double qt = boxLayoutPass(n);
        std::printf("%8d %13.2f us %13.2f us %8.2f %18.3f\n", n, ours, qt, ours / qt, ours / n);
    }
    std::printf("scroll step, 1000 children: %.2f us\n", scrollStep(1000));
    return 0;
}
