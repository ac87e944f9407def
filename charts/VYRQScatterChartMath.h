#pragma once

#include "VYRQExport.h"

// Arithmetic of the scatter chart: the padded ranges of both axes, where a point
// sits, and the point under the mouse.

#include "ScatterSeries.h"
#include "VYRQChartMath.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

namespace vyr {
namespace chart {

struct VYRQTLIB_EXPORT ScatterRange {
    ValueRange x;
    ValueRange y;
};

struct VYRQTLIB_EXPORT ScatterHit {
    bool found = false;
    int seriesIndex = -1;
    int pointIndex = -1;
    double x = 0.0;
    double y = 0.0;
    double distance = 1e9;
};

// Whether a point has finite coordinates; others are neither ranged, drawn nor hit.
VYRQTLIB_EXPORT bool scatterPointUsable(const QPointF& p);
VYRQTLIB_EXPORT bool scatterHasPoints(const QVector<ScatterSeries>& series);

// Each axis over the usable points of the visible series: 0 to 1 without any; equal
// ends widened by 1 each way; then padded by 8 % of the span (at least 1).
VYRQTLIB_EXPORT ScatterRange scatterRange(const QVector<ScatterSeries>& series);

// The pixel position of a data point; the height scales with the animation progress,
// so that points rise from the bottom edge.
VYRQTLIB_EXPORT QPointF scatterPointAt(const QPointF& p, const QRectF& plot, const ScatterRange& range, double progress);

// The nearest point whose centre lies within its series' point size + 6 pixels; on
// equal distance the earlier one stays.
VYRQTLIB_EXPORT ScatterHit scatterHitTest(const QVector<ScatterSeries>& series, const QPointF& pos, const QRectF& plot,
                          const ScatterRange& range, double progress);

// "Name\nx: X\ny: Y"; empty for indexes out of range.
VYRQTLIB_EXPORT QString scatterTipText(const QVector<ScatterSeries>& series, int seriesIndex, int pointIndex);

} // namespace chart
} // namespace vyr
