// Layout pass of a horizontal VYRQContainer against QHBoxLayout (LayoutPassBench.h).
// "bench_layout container|box|scroll" runs one part alone, for a profiler.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "BenchRow.h"
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

    // Rows as bench/bench_table.py reads them (BenchRow.h).
    for (int n : {10, 100, 1000}) {
        const PassResult ours = containerPass(n);
        const PassResult qt = boxLayoutPass(n);
        const bool same = ours.placement == qt.placement;
        if (!same)
            std::printf("layout: N = %d places differently: ours %d / %lld px, Qt %d / %lld px\n", n,
                        ours.placement.children, ours.placement.area, qt.placement.children, qt.placement.area);
        const QByteArray name = "layout pass, N = " + QByteArray::number(n);
        benchrow::print(name.constData(), ours.us, qt.us, "us", same);
    }
    benchrow::printOurs("scroll step over 1,000 children", scrollStep(1000), "us");
    return 0;
}
