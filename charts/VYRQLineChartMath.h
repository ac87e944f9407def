#pragma once

#include "VYRQExport.h"

// Arithmetic of the line chart: value range, the entry animation of one value,
// point positions, category label thinning, the smoothed path and the hover hits.

#include "LineSeries.h"
#include "VYRQChartMath.h"

#include <QPainterPath>
#include <QPair>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vyr {
namespace chart {

// One drawn point of a series: its category, its finite value and where it sits.
struct VYRQTLIB_EXPORT PlotPoint {
    int category = -1;
    double value = 0.0;
    QPointF pos;
};

struct VYRQTLIB_EXPORT NearestPointHit {
    bool found = false;
    int seriesIndex = -1;
    int categoryIndex = -1;
    double distance = 1e9;
    QPointF point;
};

// The larger of the number of names and the longest visible series; at least 1.
VYRQTLIB_EXPORT int lineCategoryCount(const QStringList& categories, const QVector<LineSeries>& series);

// The padded range over the finite values of the visible series in first..last:
// 0 to 1 without any; equal ends widened by 1 each way; a positive minimum drops
// to 0, another one by 5 % of the span; the maximum rises by 8 % of the span.
VYRQTLIB_EXPORT ValueRange lineValueRange(const QVector<LineSeries>& series, int first, int last);

// The value drawn for point `index` of a series of `count` values at animation
// progress p: points rise one after another from the range minimum, each eased.
VYRQTLIB_EXPORT double animatedValue(double value, int index, int count, double progress, double rangeMin);

// Position of category i at value v; categories first..last spread over the width.
VYRQTLIB_EXPORT QPointF linePointAt(const QRectF& plot, int i, int first, int last, double v, const ValueRange& range);

// The animated points of one visible series; categories whose value is not finite
// are left out. Nothing for a hidden series.
VYRQTLIB_EXPORT QVector<PlotPoint> lineSeriesPoints(const LineSeries& series, const QRectF& plot, int first, int last,
                                    const ValueRange& range, double progress);

// The points drawn for one visible series, into `out` (cleared, its memory kept):
// the animated points with finite values, or, for a line far denser than the pixels
// it crosses, its first and last point and in between the lowest and the highest
// point of each half-pixel column in their order, found straight from the values.
// The line through those covers the same pixels to within half a pixel (whole-pixel
// columns would leave it visibly thinner). True when the points were reduced so.
VYRQTLIB_EXPORT bool lineDrawnPoints(const LineSeries& series, const QRectF& plot, int first, int last,
                                     const ValueRange& range, double progress, QVector<PlotPoint>& out);

// Categories that get a label: every step-th from first, where the step keeps the
// labels about 76 pixels apart, and the last one always.
VYRQTLIB_EXPORT QVector<int> categoryLabelIndices(int first, int last, double plotWidth);

// Grid levels 0 (top) to `divisions` (bottom) of the value axis that get a label:
// every level while labels `labelHeight` tall, centred on their lines, stay apart;
// else levels are skipped, the top and the bottom ones kept, so that no two touch.
// A plot too low for two labels gets only the top one.
VYRQTLIB_EXPORT QVector<int> valueLabelLevels(double plotHeight, int divisions, double labelHeight);

// The band an empty title leaves at the top: the plot and a top legend move up by it.
constexpr double kUntitledBand = 44.0;

// Control points of the cubic from p[i] to p[i+1]; the neighbours outside the
// points are the segment's own ends.
VYRQTLIB_EXPORT QPair<QPointF, QPointF> smoothControlPoints(const QVector<QPointF>& points, int i);
// The line through the points: cubics when smoothing and at least 3 points.
VYRQTLIB_EXPORT QPainterPath linePath(const QVector<QPointF>& points, bool smooth);

// A polyline far denser than the pixels it crosses, reduced to the lowest and the
// highest point of each half-pixel column in their order, between its own two ends:
// the line through them covers the same pixels to within half a pixel, with far less
// overdraw. Points must run left to right; sparse lines stay as given.
VYRQTLIB_EXPORT QVector<QPointF> reduceDensePolyline(const QVector<QPointF>& points);

// The nearest point within `reach` of pos over the given series' points; on equal
// distance the first found stays.
VYRQTLIB_EXPORT NearestPointHit nearestPoint(const QVector<QVector<PlotPoint>>& seriesPoints, const QPointF& pos,
                             double reach = 14.0);

// The category under x: first..last spread over the plot width, rounded.
VYRQTLIB_EXPORT int categoryAtX(double x, const QRectF& plot, int first, int last);

// "Name\nCategory: value"; an empty name shows as "Series".
VYRQTLIB_EXPORT QString pointTipText(const QString& seriesName, const QString& category, double value);
// The category, then "Name: value" for each visible series with a finite value there.
VYRQTLIB_EXPORT QString categoryTipText(const QVector<LineSeries>& series, const QString& category, int index);

} // namespace chart
} // namespace vyr
