#include "VYRQChartMath.h"

#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vyr {
namespace chart {

bool fuzzyEqual(double a, double b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

double axisFraction(double v, double min, double max)
{
    const double span = max - min;
    // Ends far from zero can be fuzzy-equal yet more than 1 apart (prices near 1e15):
    // dividing by 1 there would put values beyond the axis.
    if (fuzzyEqual(min, max) && std::abs(span) <= 1)
        return v - min;
    if (std::isfinite(span))
        return (v - min) / span;
    return (v / 2 - min / 2) / (max / 2 - min / 2);
}

QString seriesName(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("Series") : name;
}

QString formatValue(double value)
{
    QString text = QString::number(value, 'f', 2);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    // A negative number that rounds to zero, or a negative zero itself.
    if (text == QLatin1String("-0"))
        text.remove(0, 1);
    return text;
}

QString categoryLabel(const QStringList& names, int i)
{
    if (i >= 0 && i < names.size())
        return names.at(i);
    return QStringLiteral("Item %1").arg(qint64(i) + 1);
}

QStringList demoCategories()
{
    return {QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"), QStringLiteral("Thu"),
            QStringLiteral("Fri"), QStringLiteral("Sat"), QStringLiteral("Sun")};
}

QColor paletteColor(const QVector<QColor>& palette, int index)
{
    if (palette.isEmpty())
        return QColor(84, 112, 198);
    const int n = palette.size();
    return palette.at(((index % n) + n) % n);
}

QColor seriesColor(const QColor& own, const QVector<QColor>& palette, int index)
{
    return own.isValid() ? own : paletteColor(palette, index);
}

QRectF plotRect(const QSize& size, const PlotMargins& margins, bool hasSeries, int legendPosition)
{
    double left = margins.left;
    double top = margins.top;
    double right = margins.right;
    double bottom = 42;
    if (hasSeries) {
        switch (legendPosition) {
        case 0: top += 40; break;
        case 1: right += 176; break;
        case 3: left += 176; break;
        default: bottom = margins.bottom; break;
        }
    }
    return QRectF(left, top, std::max(size.width() - right - left, 1.0), std::max(size.height() - bottom - top, 1.0));
}

QRectF legendArea(const QRectF& plot, const QSize& size, int legendPosition)
{
    switch (legendPosition) {
    case 0:
        return QRectF(plot.left(), 44, plot.width(), 28);
    case 1:
        return QRectF(plot.right() + 20, plot.top(), std::max(size.width() - plot.right() - 28, 96.0), plot.height());
    case 3:
        return QRectF(14, plot.top(), std::max(plot.left() - 24, 96.0), plot.height());
    default:
        return QRectF(plot.left(), plot.bottom() + 34, plot.width(), 36);
    }
}

bool legendStacked(int legendPosition)
{
    return legendPosition == 1 || legendPosition == 3;
}

QVector<ChartLegendItem> layoutLegend(QVector<ChartLegendItem> items, const QVector<double>& advances,
                                      const QRectF& area, bool stacked, const LegendMetrics& m)
{
    if (area.isEmpty())
        return {};
    const double left = qRound(area.left());
    const double right = qRound(area.right());
    double x = left;
    double y = qRound(area.top());
    for (int i = 0; i < items.size(); ++i) {
        double width;
        if (stacked) {
            width = qRound(area.width()) - 6;
        } else {
            width = (i < advances.size() ? advances.at(i) : 0.0) + m.extraWidth;
            if (x + width > right && x > left) {
                x = left;
                y += m.wrapStep;
            }
        }
        items[i].rect = QRectF(x, y, width, m.itemHeight);
        if (stacked)
            y += m.stackStep;
        else
            x += width + 10;
    }
    return items;
}

int legendItemAt(const QVector<ChartLegendItem>& items, const QPointF& pos)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).rect.adjusted(-2, -2, 2, 2).contains(pos))
            return i;
    }
    return -1;
}

QRect tipRect(const QPoint& anchor, const QSize& size, const QRect& widget)
{
    const QRect bounds = widget.adjusted(8, 8, -8, -8);
    int x = anchor.x() + 16;
    int y = anchor.y() + 20;
    if (x + size.width() > bounds.right())
        x = bounds.right() - size.width();
    if (y + size.height() > bounds.bottom())
        y = anchor.y() - size.height() - 16;
    x = std::max(bounds.left(), x);
    y = std::max(bounds.top(), y);
    return QRect(QPoint(x, y), size);
}

double levelValue(double min, double max, int k, int steps)
{
    // The ends are the range's own ends: stepping down by the span would leave
    // rounding residue at the bottom, shown as "-0" where the range ends at 0.
    if (k <= 0 || steps <= 0)
        return max;
    if (k >= steps)
        return min;
    const double span = max - min;
    if (std::isfinite(span))
        return max - k * span / steps;
    // Each end's share is finite where the span is not.
    return max / steps * (steps - k) + min / steps * k;
}

QVector<int> spacedMarkers(const QVector<QPointF>& centres, double spacing, const QRectF& bounds)
{
    QVector<int> taken;
    if (!(bounds.width() > 0) || !(bounds.height() > 0) || !std::isfinite(bounds.width() * bounds.height()))
        return taken;
    // Markers closer than a pixel look like one whatever their size.
    const double reach = std::max(spacing, 1.0);
    const auto inside = [&](const QPointF& p) {
        return p.x() >= bounds.left() && p.x() <= bounds.right() && p.y() >= bounds.top() && p.y() <= bounds.bottom();
    };
    const auto apart = [&](const QPointF& a, const QPointF& b) {
        const QPointF d = a - b;
        return d.x() * d.x() + d.y() * d.y() >= reach * reach;
    };
    // A few markers are compared with each other; a grid over the bounds would cost more.
    if (centres.size() <= 256) {
        for (int i = 0; i < centres.size(); ++i) {
            const QPointF& p = centres.at(i);
            if (inside(p) && std::all_of(taken.begin(), taken.end(), [&](int j) { return apart(centres.at(j), p); }))
                taken.append(i);
        }
        return taken;
    }
    // A cell whose diagonal is the reach holds one taken centre at most, so a centre
    // looks two cells each way (cells no larger than the bounds, which hold one).
    const double cell = std::min(reach / std::sqrt(2.0), std::max(bounds.width(), bounds.height()));
    const int columns = int(std::ceil(bounds.width() / cell)) + 1;
    const int rows = int(std::ceil(bounds.height() / cell)) + 1;
    std::vector<int> grid(size_t(columns) * size_t(rows), -1);
    const int look = int(std::ceil(reach / cell));
    for (int i = 0; i < centres.size(); ++i) {
        const QPointF& p = centres.at(i);
        if (!inside(p))
            continue;
        const int cx = int((p.x() - bounds.left()) / cell);
        const int cy = int((p.y() - bounds.top()) / cell);
        if (grid[size_t(cy) * columns + cx] >= 0)
            continue;
        bool free = true;
        for (int y = std::max(cy - look, 0); free && y <= std::min(cy + look, rows - 1); ++y) {
            for (int x = std::max(cx - look, 0); x <= std::min(cx + look, columns - 1); ++x) {
                const int other = grid[size_t(y) * columns + x];
                if (other >= 0 && !apart(centres.at(other), p)) {
                    free = false;
                    break;
                }
            }
        }
        if (!free)
            continue;
        grid[size_t(cy) * columns + cx] = i;
        taken.append(i);
    }
    return taken;
}

namespace {

enum Outcode { Inside = 0, Left = 1, Right = 2, Above = 4, Below = 8 };

int outcode(const QPointF& p, const QRectF& r)
{
    int code = Inside;
    if (p.x() < r.left())
        code |= Left;
    else if (p.x() > r.right())
        code |= Right;
    if (p.y() < r.top())
        code |= Above;
    else if (p.y() > r.bottom())
        code |= Below;
    return code;
}

// Cohen-Sutherland: moves a and b onto the bounds where they lie outside; false when
// nothing of a to b is inside. Each crossing is found from the edge it lies on, not
// as a fraction of the segment, so a segment from -1e38 to 1e38 keeps its place.
bool clipSegment(QPointF& a, QPointF& b, const QRectF& r)
{
    int codeA = outcode(a, r);
    int codeB = outcode(b, r);
    for (int step = 0; step < 8; ++step) {
        if (!(codeA | codeB))
            return true;
        if (codeA & codeB)
            return false;
        const bool moveA = codeA != Inside;
        QPointF& p = moveA ? a : b;
        const QPointF& other = moveA ? b : a;
        const int code = moveA ? codeA : codeB;
        if (code & (Above | Below)) {
            const double y = code & Above ? r.top() : r.bottom();
            p = QPointF(p.x() + (other.x() - p.x()) * ((y - p.y()) / (other.y() - p.y())), y);
        } else {
            const double x = code & Left ? r.left() : r.right();
            p = QPointF(x, p.y() + (other.y() - p.y()) * ((x - p.x()) / (other.x() - p.x())));
        }
        if (moveA)
            codeA = outcode(a, r);
        else
            codeB = outcode(b, r);
    }
    return !(codeA | codeB);
}

} // namespace

QVector<QPolygonF> clipPolyline(const QPolygonF& line, const QRectF& bounds)
{
    QVector<QPolygonF> runs;
    if (line.size() == 1) {
        if (bounds.contains(line.first()))
            runs.append(line);
        return runs;
    }
    QPolygonF run;
    for (int i = 0; i + 1 < line.size(); ++i) {
        QPointF a = line.at(i);
        QPointF b = line.at(i + 1);
        if (!clipSegment(a, b, bounds)) {
            if (!run.isEmpty()) {
                runs.append(run);
                run.clear();
            }
            continue;
        }
        if (run.isEmpty())
            run.append(a);
        run.append(b);
        if (b != line.at(i + 1)) {
            runs.append(run);
            run.clear();
        }
    }
    if (!run.isEmpty())
        runs.append(run);
    return runs;
}

QPolygonF clipPolygon(const QPolygonF& polygon, const QRectF& bounds)
{
    // Sutherland-Hodgman, one edge of the bounds at a time.
    QPolygonF in = polygon;
    QPolygonF out;
    for (int edge = 0; edge < 4 && !in.isEmpty(); ++edge) {
        const auto inside = [&](const QPointF& p) {
            switch (edge) {
            case 0: return p.x() >= bounds.left();
            case 1: return p.x() <= bounds.right();
            case 2: return p.y() >= bounds.top();
            default: return p.y() <= bounds.bottom();
            }
        };
        const auto cut = [&](const QPointF& a, const QPointF& b) {
            const double e = edge == 0 ? bounds.left() : edge == 1 ? bounds.right() : edge == 2 ? bounds.top()
                                                                                               : bounds.bottom();
            if (edge < 2) {
                const double t = (e - a.x()) / (b.x() - a.x());
                return QPointF(e, a.y() + (b.y() - a.y()) * t);
            }
            const double t = (e - a.y()) / (b.y() - a.y());
            return QPointF(a.x() + (b.x() - a.x()) * t, e);
        };
        out.clear();
        out.reserve(in.size() + 4);
        for (int i = 0; i < in.size(); ++i) {
            const QPointF& current = in.at(i);
            const QPointF& previous = in.at((i + in.size() - 1) % in.size());
            const bool currentIn = inside(current);
            if (currentIn != inside(previous))
                out.append(cut(previous, current));
            if (currentIn)
                out.append(current);
        }
        std::swap(in, out);
    }
    return in;
}

void strokeInPieces(QPainter& painter, const QPointF* points, int count, int piece)
{
    piece = std::max(piece, 2);
    for (int start = 0; start + 1 < count; start += piece - 1)
        painter.drawPolyline(points + start, std::min(piece, count - start));
}

namespace {

// The stretch a to b (in cells of the grid) as the cell it starts in, the cells it
// covers whole and the cell it ends in: fill(from, to, share) for each, with the
// share of the cell covered.
template <class Fill>
void coveredCells(double a, double b, Fill fill)
{
    const double first = std::floor(a);
    const double last = std::ceil(b) - 1;   // the last cell the stretch reaches into
    if (last <= first) {
        fill(first, first + 1, b - a);
        return;
    }
    fill(first, first + 1, first + 1 - a);
    fill(first + 1, last, 1.0);
    fill(last, last + 1, b - last);
}

// Fills `rect` in the colour at `share` of its alpha; false when nothing is filled.
bool fillShare(QPainter& painter, const QRectF& rect, const QColor& color, double share)
{
    QColor shade = color;
    shade.setAlphaF(color.alphaF() * std::min(share, 1.0));
    if (shade.alpha() == 0 || !(rect.width() > 0) || !(rect.height() > 0))
        return false;
    painter.fillRect(rect, shade);
    return true;
}

} // namespace

int fillCoveredColumns(QPainter& painter, const QRectF& rect, const QColor& color, double pixel)
{
    if (!(pixel > 0) || !rect.isValid())
        return 0;
    const double top = std::ceil(rect.top() / pixel) * pixel;
    const double bottom = std::floor(rect.bottom() / pixel) * pixel;
    if (!(top < bottom))
        return 0;
    int fills = 0;
    coveredCells(rect.left() / pixel, rect.right() / pixel, [&](double from, double to, double share) {
        fills += fillShare(painter, QRectF(QPointF(from * pixel, top), QPointF(to * pixel, bottom)), color, share);
    });
    return fills;
}

} // namespace chart
} // namespace vyr
