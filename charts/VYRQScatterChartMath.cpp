#include "VYRQScatterChartMath.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace vyr {
namespace chart {

namespace {

ValueRange padded(double min, double max)
{
    if (fuzzyEqual(min, max)) {
        min -= 1;
        max += 1;
    }
    const double pad = std::max(max - min, 1.0) * 0.08;
    if (!std::isfinite(pad))
        return {min, max};
    return {min - pad, max + pad};
}

} // namespace

bool scatterPointUsable(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool scatterHasPoints(const QVector<ScatterSeries>& series)
{
    for (const ScatterSeries& s : series) {
        if (s.visible && std::any_of(s.points.begin(), s.points.end(), scatterPointUsable))
            return true;
    }
    return false;
}

ScatterRange scatterRange(const QVector<ScatterSeries>& series)
{
    bool any = false;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const ScatterSeries& s : series) {
        if (!s.visible)
            continue;
        for (const QPointF& p : s.points) {
            if (!scatterPointUsable(p))
                continue;
            if (!any) {
                minX = maxX = p.x();
                minY = maxY = p.y();
                any = true;
                continue;
            }
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    if (!any)
        return {};
    return {padded(minX, maxX), padded(minY, maxY)};
}

QPointF scatterPointAt(const QPointF& p, const QRectF& plot, const ScatterRange& range, double progress)
{
    return QPointF(plot.left() + plot.width() * axisFraction(p.x(), range.x.min, range.x.max),
                   plot.bottom() - plot.height() * axisFraction(p.y(), range.y.min, range.y.max) * progress);
}

ScatterHit scatterHitTest(const QVector<ScatterSeries>& series, const QPointF& pos, const QRectF& plot,
                          const ScatterRange& range, double progress)
{
    ScatterHit hit;
    for (int s = 0; s < series.size(); ++s) {
        const ScatterSeries& one = series.at(s);
        if (!one.visible)
            continue;
        for (int j = 0; j < one.points.size(); ++j) {
            if (!scatterPointUsable(one.points.at(j)))
                continue;
            const QPointF centre = scatterPointAt(one.points.at(j), plot, range, progress);
            const double d = QLineF(pos, centre).length();
            if (d <= one.pointSize + 6 && d < hit.distance) {
                hit.found = true;
                hit.seriesIndex = s;
                hit.pointIndex = j;
                hit.x = centre.x();
                hit.y = centre.y();
                hit.distance = d;
            }
        }
    }
    return hit;
}

QString scatterTipText(const QVector<ScatterSeries>& series, int seriesIndex, int pointIndex)
{
    if (seriesIndex < 0 || seriesIndex >= series.size())
        return QString();
    const ScatterSeries& s = series.at(seriesIndex);
    if (pointIndex < 0 || pointIndex >= s.points.size())
        return QString();
    const QPointF& p = s.points.at(pointIndex);
    return QStringLiteral("%1\nx: %2\ny: %3")
        .arg(seriesName(s.name), formatValue(p.x()), formatValue(p.y()));
}

} // namespace chart
} // namespace vyr
