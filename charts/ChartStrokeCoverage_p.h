#pragma once

// Library-internal (the financial chart's); not installed.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QTransform>
#include <QVector>

class QPainter;

// Antialiased polylines drawn as QPainter's raster engine strokes them with a solid
// pen of square caps and bevel joins: each pixel takes the share of it that the
// stroke's outline covers, the overlapping parts of the outline added up (as the
// engine fills the outline by its winding), at most the whole pixel. The engine
// turns a line of thousands of points into one outline whose crossings it sorts
// and fills as one polygon; here each edge of the outline adds its share to the
// pixel columns it crosses, a few columns at a time, at a fraction of the cost.
// The lines are composed in the order added and handed to the painter as images.
class ChartStrokeCoverage {
public:
    // Starts a frame over `bounds`, in device pixels: nothing outside is drawn, and
    // where a line leaves the bounds the pixels at their edge take it as running along
    // it (callers leave a margin).
    void begin(const QRect& bounds);
    // Adds a polyline through `count` points in device pixels, left to right (x never
    // decreasing), with a pen `width` wide of `color`. Points that are not finite
    // numbers, and lines of fewer than two distinct points, add nothing; so does a pen
    // so wide that the stroke around the bounds spans more than a double holds.
    void addLine(const QPointF* points, int count, double width, const QColor& color);
    // Draws the lines added since begin() through the painter, whose device transform
    // (a uniform scale and a translation: see drawsWith) took them to device pixels,
    // and forgets them; the number of images handed to the painter. The images are
    // kept: the same lines over the same bounds are drawn from them again.
    int paint(QPainter& painter);
    // Whether paint() can draw through a painter with this device transform.
    static bool drawsWith(const QTransform& deviceTransform);

private:
    struct Line {
        int from = 0;  // first point in m_points
        int count = 0;
        double half = 0;
        QRgb color = 0;  // premultiplied
    };
    // addLine within the bounds.
    void addRun(const QPointF* points, int count, double width, const QColor& color);
    // Reduces the points of the line from `from` on, where they lie thicker than the
    // pixels, to the extremes of each half-pixel column.
    void keepColumnExtremes(int from);
    // Adds the outline edges of the segments of `line` that reach into the columns of
    // the current band, into m_cells.
    void rasterizeBand(const Line& line, int& cursor);
    // Composes the band's cells over `image` in the line's `shade` at each coverage
    // and clears them.
    void composeBand(const QRgb* shade, QImage& image);
    // Whether the lines added are those last drawn, over the same bounds.
    bool drawnAlready(const QTransform& toDevice) const;

    QRect m_bounds;
    QVector<QPointF> m_points;
    QVector<Line> m_lines;
    QVector<int> m_cursors;
    QVector<QRgb> m_shades;
    // The accumulated area of the columns of one band, column by column, each
    // column's cells followed by their steps, with the first and last cell each
    // column touched.
    QVector<qint32> m_cells;
    int cellStride() const { return 2 * (m_bounds.height() + 2); }
    QVector<int> m_low;
    QVector<int> m_high;
    int m_bandLeft = 0;
    // Columns composed at a time: their cells and their image stay in the cache.
    static constexpr int bandWidth = 32;
    // The rows of each column of the band that a line touched, the others clear.
    int m_drawnLow[bandWidth];
    int m_drawnHigh[bandWidth];
    int m_bandTop = 0;
    int m_bandBottom = -1;
    // The images of the bands last drawn, with their rows drawn on, and what they were
    // drawn from: as much memory as an image of the bounds.
    struct Band {
        QImage image;
        int top = 0;
        int bottom = -1;
    };
    QVector<Band> m_bands;
    QVector<QPointF> m_drawnPoints;
    QVector<Line> m_drawnLines;
    QRect m_drawnBounds;
    QTransform m_drawnTransform;
};
