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
// divided by 1 instead when the ends are fuzzy-equal. Ends too far apart for their
// difference to be finite still give a finite fraction.
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

} // namespace chart
} // namespace vyr
