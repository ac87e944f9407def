#include "VYRQLineChartMath.h"

#include "VYRQChartMath.h"

#include <QLineF>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace vyr {
namespace chart {

int lineCategoryCount(const QStringList& categories, const QVector<LineSeries>& series)
{
    return categoryCount(categories, series);
}

ValueRange lineValueRange(const QVector<LineSeries>& series, int first, int last)
{
    bool any = false;
    double min = 0.0;
    double max = 0.0;
    for (const LineSeries& s : series) {
        if (!s.visible)
            continue;
        const int end = std::min(last, s.values.size() - 1);
        for (int i = std::max(first, 0); i <= end; ++i) {
            const double v = s.values.at(i);
            if (!std::isfinite(v))
                continue;
            if (!any) {
                min = max = v;
                any = true;
            } else {
                min = std::min(min, v);
                max = std::max(max, v);
            }
        }
    }
    if (!any)
        return {};
    if (fuzzyEqual(min, max)) {
        min -= 1;
        max += 1;
    }
    const double span = std::max(max - min, 1.0);
    // Ends far apart enough to overflow the span are shown as they are.
    if (!std::isfinite(span))
        return {min, max};
    if (min > 0)
        min = 0;
    else
        min -= span * 0.05;
    max += span * 0.08;
    return {min, max};
}

double animatedValue(double value, int index, int count, double progress, double rangeMin)
{
    double t = progress;
    if (count > 1) {
        const double step = 1.0 / ((count - 1) * 0.5 + 1.0);
        t = (progress - index * step * 0.5) / step;
    }
    t = std::clamp(t, 0.0, 1.0);
    const double eased = t * t * (3.0 - 2.0 * t);
    const double rise = value - rangeMin;
    if (std::isfinite(rise))
        return rangeMin + rise * eased;
    // Values near the ends of the doubles: the weighted sum stays between them.
    return rangeMin * (1.0 - eased) + value * eased;
}

QPointF linePointAt(const QRectF& plot, int i, int first, int last, double v, const ValueRange& range)
{
    const double x = plot.left() + plot.width() * (i - first) / std::max(last - first, 1);
    const double y = plot.bottom() - plot.height() * axisFraction(v, range.min, range.max);
    return QPointF(x, y);
}

QVector<PlotPoint> lineSeriesPoints(const LineSeries& series, const QRectF& plot, int first, int last,
                                    const ValueRange& range, double progress)
{
    QVector<PlotPoint> points;
    if (!series.visible)
        return points;
    const int n = series.values.size();
    const int end = std::min(last, n - 1);
    if (end >= first)
        points.reserve(end - first + 1);
    for (int i = std::max(first, 0); i <= end; ++i) {
        const double v = series.values.at(i);
        if (!std::isfinite(v))
            continue;
        const double drawn = animatedValue(v, i, n, progress, range.min);
        points.append({i, v, linePointAt(plot, i, first, last, drawn, range)});
    }
    return points;
}

bool lineDrawnPoints(const LineSeries& series, const QRectF& plot, int first, int last, const ValueRange& range,
                     double progress, QVector<PlotPoint>& out)
{
    out.clear();
    if (!series.visible)
        return false;
    const QVector<double>& values = series.values;
    const int n = values.size();
    const double* v = values.constData();
    const auto pointOf = [&](int i) {
        return PlotPoint{i, v[i], linePointAt(plot, i, first, last, animatedValue(v[i], i, n, progress, range.min), range)};
    };
    // The drawn y falls as the drawn value rises, so the extremes are those of the
    // drawn values. Once the entry animation is over every value is drawn as it is.
    const bool settled = progress >= 1.0;
    const auto drawn = [&](int i) {
        return settled || !std::isfinite(v[i]) ? v[i] : animatedValue(v[i], i, n, progress, range.min);
    };
    if (keepColumnExtremes(plot, first, last, n, drawn, [&](int i) { out.append(pointOf(i)); }))
        return true;
    const int end = std::min(last, n - 1);
    for (int i = std::max(first, 0); i <= end; ++i) {
        if (std::isfinite(v[i]))
            out.append(pointOf(i));
    }
    return false;
}

QVector<int> categoryLabelIndices(int first, int last, double plotWidth)
{
    QVector<int> indices;
    const int n = last - first + 1;
    if (n <= 0)
        return indices;
    int step = 1;
    if (n > 1) {
        const int labelSlots = std::max(int(std::floor(plotWidth / 76.0)) + 1, 2);
        step = std::max(1, int(std::ceil(double(n) / labelSlots)));
    }
    int i = first;
    for (; i <= last; i += step)
        indices.append(i);
    if (n > 1 && indices.last() != last)
        indices.append(last);
    return indices;
}

QVector<int> valueLabelLevels(double plotHeight, int divisions, double labelHeight)
{
    if (divisions < 1 || !(plotHeight > 0) || !(plotHeight >= labelHeight))
        return {0};
    const double gap = plotHeight / divisions;
    const int step = gap >= labelHeight ? 1 : int(std::ceil(labelHeight / gap));
    QVector<int> levels;
    for (int k = 0; k < divisions; k += step) {
        if ((divisions - k) * gap >= labelHeight)
            levels.append(k);
    }
    levels.append(divisions);
    return levels;
}

QPair<QPointF, QPointF> smoothControlPoints(const QVector<QPointF>& p, int i)
{
    constexpr double k = 17.0 / 120.0;
    const QPointF& before = p.at(i > 0 ? i - 1 : i);
    const QPointF& after = p.at(i + 2 < p.size() ? i + 2 : i + 1);
    return {p.at(i) + (p.at(i + 1) - before) * k, p.at(i + 1) - (after - p.at(i)) * k};
}

QPainterPath linePath(const QVector<QPointF>& points, bool smooth)
{
    QPainterPath path;
    if (points.isEmpty())
        return path;
    path.moveTo(points.first());
    const bool curved = smooth && points.size() >= 3;
    for (int i = 0; i + 1 < points.size(); ++i) {
        if (curved) {
            const QPair<QPointF, QPointF> c = smoothControlPoints(points, i);
            path.cubicTo(c.first, c.second, points.at(i + 1));
        } else {
            path.lineTo(points.at(i + 1));
        }
    }
    return path;
}

QVector<QPointF> reduceDensePolyline(const QVector<QPointF>& points)
{
    if (points.size() < 1024)
        return points;
    const double span = points.last().x() - points.first().x();
    if (!(span >= 0) || points.size() < 8 * (span + 1))
        return points;

    // Half-pixel columns keep the reduced line within half a pixel of the full one.
    const auto column = [](const QPointF& p) { return std::floor(p.x() * 2); };
    QVector<QPointF> out;
    out.reserve(int(4 * (span + 2)) + 2);
    out.append(points.first());
    const int n = points.size();
    int i = 0;
    while (i < n) {
        const double current = column(points.at(i));
        int low = i;
        int high = i;
        int j = i + 1;
        for (; j < n && column(points.at(j)) == current; ++j) {
            if (points.at(j).y() < points.at(low).y())
                low = j;
            if (points.at(j).y() > points.at(high).y())
                high = j;
        }
        out.append(points.at(std::min(low, high)));
        if (high != low)
            out.append(points.at(std::max(low, high)));
        i = j;
    }
    out.append(points.last());
    return out;
}

NearestPointHit nearestPoint(const QVector<QVector<PlotPoint>>& seriesPoints, const QPointF& pos, double reach)
{
    NearestPointHit hit;
    for (int s = 0; s < seriesPoints.size(); ++s) {
        for (const PlotPoint& p : seriesPoints.at(s)) {
            const double d = QLineF(pos, p.pos).length();
            if (d <= reach && d < hit.distance) {
                hit.found = true;
                hit.seriesIndex = s;
                hit.categoryIndex = p.category;
                hit.distance = d;
                hit.point = p.pos;
            }
        }
    }
    return hit;
}

int categoryAtX(double x, const QRectF& plot, int first, int last)
{
    if (last <= first)
        return first;
    const int c = first + qRound((last - first) * (x - plot.left()) / std::max(plot.width(), 1.0));
    return std::clamp(c, first, last);
}

QString pointTipText(const QString& name, const QString& category, double value)
{
    return QStringLiteral("%1\n%2: %3").arg(seriesName(name), category, formatValue(value));
}

QString categoryTipText(const QVector<LineSeries>& series, const QString& category, int index)
{
    QStringList lines{category};
    for (const LineSeries& s : series) {
        if (!s.visible || index < 0 || index >= s.values.size() || !std::isfinite(s.values.at(index)))
            continue;
        lines << QStringLiteral("%1: %2").arg(seriesName(s.name), formatValue(s.values.at(index)));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace chart
} // namespace vyr
