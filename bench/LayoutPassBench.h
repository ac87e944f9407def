#pragma once
// The layout pass of a horizontal VYRQContainer against QHBoxLayout on the same work:
// N children with weights 1 to 3, the parent resized between two widths so that
// every pass moves every child; and one scroll step over 1,000 children. Shared by
// bench_layout (one part alone, for a profiler) and bench_controls (the full table).

#include "VYRQContainer.h"
#include "VYRQControl.h"
#include "VYRQScrollBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace benchlayout {

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

inline ControlInfo BenchCell::getProps()
{
    return vyr::makeControlInfo("benchcell", "BenchCell", "BenchCell", "Benchmark cell", "test");
}

inline int weightOf(int i) { return i % 3 + 1; }
inline int narrowWidth(int n) { return 8 * n + 100; }
inline int wideWidth(int n) { return 12 * n + 100; }
inline int iterationsFor(int n) { return n <= 10 ? 10000 : (n <= 100 ? 1000 : 100); }

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

// What a pass left behind: the number of children and the area they cover. Box
// layouts may lose a pixel or two of rounding along the axis; anything beyond one
// per mille is different work.
struct Placement {
    int children = 0;
    qint64 area = 0;
    bool operator==(const Placement& o) const
    {
        return children == o.children && std::abs(area - o.area) * 1000 <= std::max(area, o.area);
    }
};

inline Placement placementOf(const QWidget* parent)
{
    Placement p;
    for (const QObject* object : parent->children()) {
        if (!object->isWidgetType())
            continue;
        const QWidget* w = static_cast<const QWidget*>(object);
        ++p.children;
        p.area += qint64(w->width()) * w->height();
    }
    return p;
}

struct PassResult {
    double us = 0;
    Placement placement;
};

inline PassResult containerPass(int n)
{
    QWidget host;
    host.resize(wideWidth(n) + 10, 60);
    VYRQContainer* container = new VYRQContainer(&host);
    container->setDrawBackground(false);
    for (int i = 0; i < n; ++i) {
        BenchCell* cell = new BenchCell(container);
        cell->setLayoutRatio(weightOf(i));
        cell->setHeightPolicy(PolicyFill);
    }
    container->setChildLayout(VYRQContainer::Horizontal);
    host.show();
    QApplication::processEvents();
    // Each resize of the shown child delivers its resize event, which runs the pass.
    PassResult result;
    result.us = timePerPass(iterationsFor(n), [container, n](int i) {
        container->resize(i % 2 ? narrowWidth(n) : wideWidth(n), 40);
    });
    result.placement = placementOf(container);
    return result;
}

inline PassResult boxLayoutPass(int n)
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
    PassResult result;
    result.us = timePerPass(iterationsFor(n), [box, n](int i) {
        box->resize(i % 2 ? narrowWidth(n) : wideWidth(n), 40);
    });
    result.placement = placementOf(box);
    return result;
}

inline double scrollStep(int n)
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

// One parent with n children added in code, shown and laid out vertically: a
// vertical container against a plain widget with a QVBoxLayout. Milliseconds from
// the first child created to the first show processed, the best of `rounds`. With
// many more children than pixels, the box layout's rounding leaves a few rows of the
// parent empty: the areas agree within 3 %.
struct ManyResult {
    double ms = 0;
    Placement placement;
    bool sameWork(const ManyResult& o) const
    {
        return placement.children == o.placement.children
            && std::abs(placement.area - o.placement.area) * 100 <= 3 * std::max(placement.area, o.placement.area);
    }
};

inline ManyResult manyChildren(int n, bool ours, int rounds)
{
    ManyResult result;
    for (int round = 0; round < rounds; ++round) {
        QWidget host;
        host.resize(1280, 800);
        QWidget* parent = nullptr;
        VYRQContainer* container = nullptr;
        if (ours) {
            container = new VYRQContainer(&host);
            container->setDrawBackground(false);
            container->setChildLayout(VYRQContainer::Vertical);
            parent = container;
        } else {
            parent = new QWidget(&host);
            new QVBoxLayout(parent);
            parent->layout()->setContentsMargins(0, 0, 0, 0);
            parent->layout()->setSpacing(0);
        }
        parent->resize(host.size());
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < n; ++i) {
            if (ours)
                (new BenchCell(container))->setWidthPolicy(PolicyFill);
            else
                parent->layout()->addWidget(new QWidget(parent));
        }
        host.show();
        QApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (round == 0 || ms < result.ms)
            result.ms = ms;
        result.placement = placementOf(parent);
    }
    return result;
}

} // namespace benchlayout
