#pragma once

#include "VYRQExport.h"

// Arithmetic the OpenGL charts share: number and label texts, series colours, the
// plot rectangle and legend layout of the category charts, and the hover tip box.
// Plain functions of their arguments, so they are tested without a widget or GL.

#include "ChartLegendItem.h"

#include <QColor>
#include <QPolygonF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>

class QPainter;

namespace vyr {
namespace chart {

// The two ends of a value axis.
struct VYRQTLIB_EXPORT ValueRange {
    double min = 0.0;
    double max = 1.0;
};

// Equal within a relative tolerance: the smaller magnitude is at least 1e12 times
// the difference. Two zeros are equal; NaN equals nothing.
VYRQTLIB_EXPORT bool fuzzyEqual(double a, double b);

// Where v lies on an axis from min to max, as a fraction: (v - min) / (max - min),
// divided by 1 instead when the ends are fuzzy-equal and at most 1 apart. Ends too far
// apart for their difference to be finite still give a finite fraction.
VYRQTLIB_EXPORT double axisFraction(double v, double min, double max);

// Two decimals, then trailing zeros and a trailing point dropped: 12.50 gives
// "12.5", 3.00 gives "3", 120 stays "120"; zero never shows a sign.
VYRQTLIB_EXPORT QString formatValue(double value);

// A series' name, or "Series" when it has none (the hover tips' wording).
QString seriesName(const QString& name);

// The larger of the number of names and the longest visible series; at least 1.
template <class Series>
int categoryCount(const QStringList& categories, const QVector<Series>& series)
{
    int count = categories.size();
    for (const Series& s : series) {
        if (s.visible)
            count = std::max(count, s.values.size());
    }
    return std::max(count, 1);
}

// The i-th name, or "Item %1" with i + 1 for an index outside the names.
VYRQTLIB_EXPORT QString categoryLabel(const QStringList& names, int i);

// "Mon" to "Sun", the demonstration categories of the category charts.
VYRQTLIB_EXPORT QStringList demoCategories();

// The palette's colour at index modulo its size; (84,112,198) for an empty palette.
VYRQTLIB_EXPORT QColor paletteColor(const QVector<QColor>& palette, int index);
// A series' own colour when valid, else its palette colour.
VYRQTLIB_EXPORT QColor seriesColor(const QColor& own, const QVector<QColor>& palette, int index);

struct VYRQTLIB_EXPORT PlotMargins {
    int left = 56;
    int top = 48;
    int right = 40;
    int bottom = 76;
};

// The plot rectangle of the line, bar and scatter charts: the legend takes room on
// its side only when there is a series; without one the bottom room is 42.
VYRQTLIB_EXPORT QRectF plotRect(const QSize& size, const PlotMargins& margins, bool hasSeries, int legendPosition);

// Where the legend of those charts goes, by position: 0 top, 1 right, 3 left, any
// other value bottom.
VYRQTLIB_EXPORT QRectF legendArea(const QRectF& plot, const QSize& size, int legendPosition);
// Positions 1 and 3 stack their entries; the others lay them out in rows.
VYRQTLIB_EXPORT bool legendStacked(int legendPosition);

struct VYRQTLIB_EXPORT LegendMetrics {
    double itemHeight = 18;
    double extraWidth = 38;  // a row entry is its text's advance plus this
    double wrapStep = 24;    // y step to a new row
    double stackStep = 26;   // y step between stacked entries
};

// Lays out legend entries (text, colour, index and flag already filled) over the
// area; `advances` holds each entry's text advance. An empty area gives none.
VYRQTLIB_EXPORT QVector<ChartLegendItem> layoutLegend(QVector<ChartLegendItem> items, const QVector<double>& advances,
                                      const QRectF& area, bool stacked, const LegendMetrics& metrics);

// One legend entry per series (hidden ones too): its colour, and its name or
// "Series %1" with the index + 1.
template <class Series>
QVector<ChartLegendItem> seriesLegendEntries(const QVector<Series>& series, const QVector<QColor>& palette)
{
    QVector<ChartLegendItem> items;
    items.reserve(series.size());
    for (int i = 0; i < series.size(); ++i) {
        ChartLegendItem item;
        item.seriesIndex = i;
        item.color = seriesColor(series.at(i).color, palette, i);
        item.text = series.at(i).name.isEmpty() ? QStringLiteral("Series %1").arg(i + 1) : series.at(i).name;
        item.visible = series.at(i).visible;
        items.append(item);
    }
    return items;
}

// Index of the first entry whose rectangle, grown by 2 on every side, holds pos; -1.
VYRQTLIB_EXPORT int legendItemAt(const QVector<ChartLegendItem>& items, const QPointF& pos);

// The hover tip box of `size` placed from the mouse position: 16 right and 20 below
// it, pushed left to stay inside the widget inset by 8, flipped above the cursor
// when it would pass the bottom, and never left of or above the inset.
VYRQTLIB_EXPORT QRect tipRect(const QPoint& anchor, const QSize& size, const QRect& widget);

// Label of the k-th of steps+1 evenly spaced levels from max down to min: level 0 is
// exactly max and level `steps` exactly min. With the ends swapped the levels run up.
VYRQTLIB_EXPORT double levelValue(double min, double max, int k, int steps);

// Which of the markers centred at `centres` are drawn, as indexes in order: each one
// unless its centre lies within `spacing` (at least a pixel) of a marker already
// taken, or outside
// `bounds`. Thousands of markers on one spot cost as much to draw as they would on
// their own, for the look of one.
VYRQTLIB_EXPORT QVector<int> spacedMarkers(const QVector<QPointF>& centres, double spacing, const QRectF& bounds);

// The parts of a polyline inside `bounds`, each a run of consecutive points; segments
// crossing the edge end on it. Coordinates far outside a widget cost the painter
// time in proportion to their size, so drawing takes these instead.
VYRQTLIB_EXPORT QVector<QPolygonF> clipPolyline(const QPolygonF& line, const QRectF& bounds);
// A closed polygon cut to `bounds`, edges along the bounds where it was cut.
VYRQTLIB_EXPORT QPolygonF clipPolygon(const QPolygonF& polygon, const QRectF& bounds);

// The polyline through `count` points with the painter's pen, stroked in pieces of
// `piece` points (at least 2) that share their end points. A line of thousands of
// points stroked whole is one outline with as many crossings, which the rasteriser
// sorts and fills as one polygon; the pieces draw the same pixels many times faster.
VYRQTLIB_EXPORT void strokeInPieces(QPainter& painter, const QPointF* points, int count, int piece);

// Fills `rect` with antialiasing off, on a grid of `pixel` (one device pixel in the
// painter's units): the rows it covers whole, in each column at the share of the
// column it covers, as an antialiased fill shades the columns its left and right
// edges cross. Qt's raster engine fills an antialiased rectangle through its
// coverage rasteriser at some twenty times the cost of whole pixels; this takes up
// to three fills, and leaves out the partly covered rows at the top and bottom.
// Returns the number of fills.
VYRQTLIB_EXPORT int fillCoveredColumns(QPainter& painter, const QRectF& rect, const QColor& color, double pixel);

// The points a line through records first..last, spread over the plot's width as
// x = plot.left + plot.width x (i - first) / max(last - first, 1), is drawn through
// when it is far denser than the pixels it crosses (1024 points or more, at least 8
// to a pixel): its first and last point and in between the lowest and the highest
// value of each half-pixel column, in their order. The line through those covers the
// same pixels to within half a pixel (whole-pixel columns would leave it visibly
// thinner). `value(i)` gives the drawn value of record i of 0..count-1, not a finite
// number where the line has a gap; each kept record goes to `keep(i)`, left to right.
// False, with nothing kept, when the line is not that dense or has no finite value:
// it is then drawn through all its points.
template <class Value, class Keep>
bool keepColumnExtremes(const QRectF& plot, int first, int last, int count, Value value, Keep keep)
{
    const int start = std::max(first, 0);
    const int end = std::min(last, count - 1);
    if (end < start)
        return false;
    const double left = plot.left();
    const double width = plot.width();
    const double divisor = std::max(last - first, 1);
    const auto xOf = [&](int i) { return left + width * (i - first) / divisor; };
    const double span = xOf(end) - xOf(start);
    const int points = end - start + 1;
    if (points < 1024 || !(span >= 0) || points < 8 * (span + 1))
        return false;

    // The extremes are found on the values; only the kept records are placed.
    const auto columnOf = [&](int i) { return std::floor(xOf(i) * 2); };
    int firstFinite = start;
    while (firstFinite <= end && !std::isfinite(value(firstFinite)))
        ++firstFinite;
    if (firstFinite > end)
        return false;
    keep(firstFinite);
    int i = firstFinite;
    int lastFinite = firstFinite;
    while (i <= end) {
        const double column = columnOf(i);
        // The first index of the next column, from the inverse of xOf, then checked
        // against xOf itself so that rounding cannot move a point between columns.
        double guess = std::ceil(first + ((column + 1) / 2 - left) * divisor / width);
        if (!(guess >= i + 1))
            guess = i + 1;
        int next = int(std::min(guess, double(end + 1)));
        while (next > i + 1 && columnOf(next - 1) != column)
            --next;
        while (next <= end && columnOf(next) == column)
            ++next;
        int top = -1;     // highest value: the lowest y
        int bottom = -1;  // lowest value: the highest y
        double topValue = 0;
        double bottomValue = 0;
        for (int j = i; j < next; ++j) {
            const double v = value(j);
            if (!std::isfinite(v))
                continue;
            if (top < 0 || v > topValue) {
                top = j;
                topValue = v;
            }
            if (bottom < 0 || v < bottomValue) {
                bottom = j;
                bottomValue = v;
            }
            lastFinite = j;
        }
        if (top >= 0) {
            keep(std::min(top, bottom));
            if (top != bottom)
                keep(std::max(top, bottom));
        }
        i = next;
    }
    keep(lastFinite);
    return true;
}

} // namespace chart
} // namespace vyr
