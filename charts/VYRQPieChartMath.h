#pragma once

#include "VYRQExport.h"

// Arithmetic of the pie chart: its square, legend area and legend layout, the slice
// arcs, the slice under a point, the outside labels and the tip text. Angles are in
// degrees, clockwise from 12 o'clock.

#include "ChartLegendItem.h"
#include "PieSlice.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

namespace vyr {
namespace chart {

struct VYRQTLIB_EXPORT SliceArc {
    int sliceIndex = -1;
    double value = 0.0;
    double startAngle = 0.0;
    double sweep = 0.0;
    double middleAngle = 0.0;
    QColor color;
};

struct VYRQTLIB_EXPORT SliceLabelGeometry {
    QPointF inner;   // on the slice, at 88 % of the radius
    QPointF elbow;   // 16 pixels outside the pie
    QRectF rect;     // the text box beside the elbow
    bool right = true;
};

// Whether a slice takes a share: visible with a finite value above 0.
VYRQTLIB_EXPORT bool sliceCounts(const PieSlice& slice);
// Sum of the counting slices' values.
VYRQTLIB_EXPORT double sliceTotal(const QVector<PieSlice>& slices);
// A slice's share of the total in percent; 0 without a total.
VYRQTLIB_EXPORT double slicePercent(const QVector<PieSlice>& slices, int index);

// The square the pie is drawn in; its side may be 0 or negative for a small widget.
// An untitled pie gives the title's band (kPieTitleBand) to the square and to a
// legend beside it or above it.
VYRQTLIB_EXPORT QRectF pieRect(const QSize& size, int legendPosition, bool titled = true);
// Whether the square is large enough to draw and hit anything.
VYRQTLIB_EXPORT bool pieDrawable(const QRectF& pie);
VYRQTLIB_EXPORT QRectF pieLegendArea(const QSize& size, const QRectF& pie, int legendPosition, bool hasSlices,
                                     bool titled = true);
constexpr int kPieTitleBand = 44;

// Each counting slice's arc; sweeps scale with the animation progress while the
// start angles stay those of the finished pie. On a pie of `radius` pixels, two or
// more slices whose finished arc would be shorter than a pixel are drawn as one
// arc after all the others, of slice index -1 with their total value and
// `otherColor`: thousands of slices in a pixel look like one and would cost a
// drawing each. A radius of 0 merges nothing.
VYRQTLIB_EXPORT QVector<SliceArc> sliceArcs(const QVector<PieSlice>& slices, double progress, const QVector<QColor>& palette,
                                            double radius = 0, const QColor& otherColor = QColor());

// Index of the slice under pos, -1 for none (outside the radius, inside the hole,
// in no arc or on a pie of no size).
VYRQTLIB_EXPORT int sliceAt(const QPointF& pos, const QRectF& pie, double holeRatio, const QVector<SliceArc>& arcs);

// Entries for every slice, hidden ones included; `advances` holds each entry's
// text advance at 11 pixels.
VYRQTLIB_EXPORT QVector<ChartLegendItem> pieLegendItems(const QVector<PieSlice>& slices, const QVector<double>& advances,
                                        const QRectF& area, int legendPosition, const QVector<QColor>& palette);
// The same entries as far as they start above `bottom` (the widget's height): the
// rest would never be seen. `advance(i)` gives the text advance of entry i.
VYRQTLIB_EXPORT QVector<ChartLegendItem> pieLegendItems(const QVector<PieSlice>& slices,
                                                        const std::function<double(int)>& advance, const QRectF& area,
                                                        int legendPosition, const QVector<QColor>& palette,
                                                        double bottom);
// An entry's text: the slice's name or "Slice %1" with the index + 1.
VYRQTLIB_EXPORT QString pieLegendText(const QVector<PieSlice>& slices, int index);

VYRQTLIB_EXPORT SliceLabelGeometry sliceLabelGeometry(const QPointF& centre, double radius, double middleAngle);

// "Name\nvalue (percent%)"; empty for an index outside the slices.
VYRQTLIB_EXPORT QString sliceTipText(const QVector<PieSlice>& slices, int index);

} // namespace chart
} // namespace vyr
