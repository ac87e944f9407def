// Layout pass of a horizontal VYRQContainer against QHBoxLayout (LayoutPassBench.h).
// "bench_layout container|box|scroll" runs one part alone, for a profiler.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "LayoutPassBench.h"

#include <cstdio>

using namespace benchlayout;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only == QLatin1String("container")) {
        std::printf("container, N = 1000: %.2f us\n", containerPass(1000).us);
        return 0;
    }
    if (only == QLatin1String("box")) {
        std::printf("QHBoxLayout, N = 1000: %.2f us\n", boxLayoutPass(1000).us);
        return 0;
    }
    if (only == QLatin1String("scroll")) {
        std::printf("scroll step, 1000 children: %.2f us\n", scrollStep(1000));
        return 0;
    }

    std::printf("%8s %16s %16s %8s %18s\n", "N", "VYRQContainer", "QHBoxLayout", "ratio", "container us/child");
    for (int n : {10, 100, 1000}) {
        const PassResult ours = containerPass(n);
        const PassResult qt = boxLayoutPass(n);
        if (!(ours.placement == qt.placement)) {
            std::printf("%8d placements differ: %d children / %lld px against %d / %lld px\n", n,
                        ours.placement.children, ours.placement.area, qt.placement.children, qt.placement.area);
            continue;
        }
        std::printf("%8d %13.2f us %13.2f us %8.2f %18.3f\n", n, ours.us, qt.us, ours.us / qt.us, ours.us / n);
    }
    std::printf("scroll step, 1000 children: %.2f us\n", scrollStep(1000));
    return 0;
}
