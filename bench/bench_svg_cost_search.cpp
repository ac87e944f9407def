// The costliest SVG a theme accepts, searched for longer than the test does: random
// documents and mutations of the costliest accepted (tests/shared/svgcostsearch.h), each
// given to the resource manager as a theme file and drawn at 64x64 as a control draws
// it, in CPU time. The costliest accepted found is then drawn by a QSvgRenderer reading
// the same bytes, the Qt side of the row: both must draw the same pixels.
// Usage: bench_svg_cost_search [tries] [seed]   (2,000 tries and seed 1 by default)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchRow.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "cputimer.h"
#include "svgcostsearch.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

namespace {

struct Drawn {
    SvgCostSearch::Cost cost;
    QImage image;
};

// The load and first render, then the least of three repaints.
Drawn draw(QSvgRenderer* renderer, const CpuTimer& load)
{
    Drawn drawn;
    drawn.image = QImage(64, 64, QImage::Format_ARGB32_Premultiplied);
    drawn.image.fill(Qt::transparent);
    const auto render = [&] {
        const CpuTimer paint;
        QPainter painter(&drawn.image);
        renderer->render(&painter);
        painter.end();
        return paint.nsecsElapsed();
    };
    render();
    drawn.cost.accepted = true;
    drawn.cost.loadNs = load.nsecsElapsed();
    drawn.cost.repaintNs = render();
    for (int again = 0; again < 2; ++again)
        drawn.cost.repaintNs = std::min(drawn.cost.repaintNs, render());
    return drawn;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int tries = argc > 1 ? std::atoi(argv[1]) : 2000;
    const quint32 seed = argc > 2 ? quint32(std::atoi(argv[2])) : 1;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});   // the refusals

    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    VYRQResourceManagerImpl* set = rm->getDefaultManagerImpl();
    const std::string key = "images/search.svg";
    const QString name = QString::fromStdString(key);
    const auto ours = [&](const QByteArray& svg) {
        set->files.addBytes(key, svg);
        const CpuTimer load;
        QSvgRenderer* renderer = rm->getSvgRenderer(name);
        Drawn drawn;
        if (renderer && renderer->isValid())
            drawn = draw(renderer, load);
        set->files.remove(key);
        rm->releaseRes();
        return drawn;
    };

    SvgCostSearch search(seed, 500000000, 50000000);
    const CpuTimer total;
    for (int i = 0; i < tries; ++i)
        search.tryOne([&](const QByteArray& svg) { return ours(svg).cost; });
    const SvgCostSearch::Found& worst = search.costliest();
    std::printf("SVG cost search: %d tries (%.1f s of CPU), %d accepted; the costliest accepted, %d bytes: %s\n",
                search.tries(), total.elapsed() / 1000.0, search.accepted(), int(worst.svg.size()),
                qPrintable(worst.recipe));
    if (worst.svg.isEmpty())
        return 1;

    // Measured again beside Qt alone on the same bytes.
    const Drawn again = ours(worst.svg);
    const CpuTimer load;
    QSvgRenderer qt(worst.svg);
    const Drawn alone = draw(&qt, load);
    const bool same = again.cost.accepted && again.image == alone.image;
    benchrow::print("costliest accepted: load, render", again.cost.loadNs / 1e6, alone.cost.loadNs / 1e6, "ms", same);
    benchrow::print("costliest accepted: a repaint", again.cost.repaintNs / 1e6, alone.cost.repaintNs / 1e6, "ms", same);
    return 0;
}
