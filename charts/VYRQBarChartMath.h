#pragma once

#include "VYRQExport.h"

// Arithmetic of the bar chart: category count, value range, bar layout, the
// category under the mouse and the tip texts.

#include "BarSeries.h"
#include "VYRQChartMath.h"

#include <QColor>
#include <QRectF>
#include <QStringList>
#include <QVector>

namespace vyr {
namespace chart {

struct VYRQTLIB_EXPORT BarRect {
    int seriesIndex = -1;
    int categoryIndex = -1;
    QRectF rect;
    QColor color;
};

// The larger of the number of names and the longest visible series; at least 1.
VYRQTLIB_EXPORT int barCategoryCount(const QStringList& categories, const QVector<BarSeries>& series);
// Whether the series is visible and has a finite value at the category.
VYRQTLIB_EXPORT bool barHasValue(const BarSeries& series, int category);

// The range over the finite values of the visible series: 0 to 1 without any; the
// minimum never above 0; equal ends raise the maximum by 1; the maximum rises by 8 %
// of the span and a negative minimum drops by 5 % of it.
VYRQTLIB_EXPORT ValueRange barValueRange(const QVector<BarSeries>& series);
VYRQTLIB_EXPORT double barValueToY(double value, const QRectF& plot, const ValueRange& range);

// Bars of the visible series side by side in equal category slots, grown from the
// zero line by the animation progress. A series without a value leaves no gap.
VYRQTLIB_EXPORT QVector<BarRect> layoutBars(const QVector<BarSeries>& series, int categoryCount, const QRectF& plot,
                            const ValueRange& range, double progress, const QVector<QColor>& palette);

// With more categories than pixels across the plot, the bars of one series whose
// left edges share a pixel column merged into one bar over all of them; the bars of
// category `apart` (a highlighted one) stay as they are. Otherwise the bars as given.
VYRQTLIB_EXPORT QVector<BarRect> mergeDenseBars(const QVector<BarRect>& bars, int categoryCount, const QRectF& plot,
                                                int apart);

// The category slot under x; 0 for a single category.
VYRQTLIB_EXPORT int barCategoryAt(double x, const QRectF& plot, int categoryCount);

// The category, then "Name: value" per visible series with a value there.
VYRQTLIB_EXPORT QString barCategoryTipText(const QVector<BarSeries>& series, const QString& category, int index);
// "Name\nCategory: value"; empty when the series or category is out of range.
VYRQTLIB_EXPORT QString barTipText(const QVector<BarSeries>& series, int seriesIndex, const QString& category, int index);

} // namespace chart
} // namespace vyr
