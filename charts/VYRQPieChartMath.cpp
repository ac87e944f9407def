#include "VYRQPieChartMath.h"

#include "VYRQChartMath.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace vyr {
namespace chart {

namespace {

double normalizedAngle(double degrees)
{
    double a = std::fmod(degrees, 360.0);
    if (a < 0)
        a += 360.0;
    return a;
}

} // namespace

bool sliceCounts(const PieSlice& slice)
{
    return slice.visible && std::isfinite(slice.value) && slice.value > 0;
}

double sliceTotal(const QVector<PieSlice>& slices)
{
    double total = 0.0;
    for (const PieSlice& s : slices) {
        if (sliceCounts(s))
            total += s.value;
    }
    return total;
}

double slicePercent(const QVector<PieSlice>& slices, int index)
{
    const double total = sliceTotal(slices);
    if (index < 0 || index >= slices.size() || !(total > 0) || !std::isfinite(total))
        return 0.0;
    const double value = slices.at(index).value;
    return std::isfinite(value) ? value / total * 100.0 : 0.0;
}

QRectF pieRect(const QSize& size, int legendPosition, bool titled)
{
    const int band = titled ? 0 : kPieTitleBand;
    const int w = size.width();
    const int h = size.height() + band;
    double side;
    double x;
    double y = 68;
    switch (legendPosition) {
    case 3: {
        const int legend = std::min(w / 3, 220) + 40;
        side = std::min({420, h - 116, w - legend - 28});
        x = std::max(w - legend - side - 28, 0.0) / 2 + legend;
        break;
    }
    case 1:
        side = std::min({420, h - 116, w - 284});
        x = std::max(w - 284 - side, 0.0) / 2 + 24;
        break;
    case 0:
        side = std::min({420, h - 170, w - 96});
        x = (w - side) / 2;
        y = 132;
        break;
    default:
        side = std::min({420, h - 188, w - 96});
        x = (w - side) / 2;
        break;
    }
    return QRectF(x, y - band, side, side);
}

bool pieDrawable(const QRectF& pie)
{
    return pie.width() > 0 && pie.height() > 0;
}

QRectF pieLegendArea(const QSize& size, const QRectF& pie, int legendPosition, bool hasSlices, bool titled)
{
    if (!hasSlices)
        return QRectF();
    const int band = titled ? 0 : kPieTitleBand;
    const int w = size.width();
    const int h = size.height();
    switch (legendPosition) {
    case 0:
        return QRectF(48, 48 - band, w - 96, 62);
    case 1:
        return QRectF(pie.right() + 20, 72 - band, w - pie.right() - 36, h - 120 + band);
    case 3:
        return QRectF(24, 72 - band, std::min(w / 3, 220), h - 120 + band);
    default:
        return QRectF(48, pie.bottom() + 24, w - 96, 88);
    }
}

QVector<SliceArc> sliceArcs(const QVector<PieSlice>& slices, double progress, const QVector<QColor>& palette,
                            double radius, const QColor& otherColor)
{
    QVector<SliceArc> arcs;
    const double total = sliceTotal(slices);
    if (!(total > 0) || !std::isfinite(total))
        return arcs;
    // The sweep of one pixel of arc at the rim.
    const double pixel = radius > 0 ? 180.0 / (M_PI * radius) : 0.0;
    const auto narrow = [&](const PieSlice& s) { return s.value / total * 360.0 < pixel; };
    int narrowCount = 0;
    if (pixel > 0) {
        for (const PieSlice& s : slices)
            narrowCount += sliceCounts(s) && narrow(s);
    }
    const bool merge = narrowCount >= 2;
    double angle = 0.0;
    double other = 0.0;
    const auto add = [&](int index, double value, const QColor& color) {
        const double full = value / total * 360.0;
        SliceArc arc;
        arc.sliceIndex = index;
        arc.value = value;
        arc.startAngle = angle;
        arc.sweep = full * progress;
        arc.middleAngle = angle + arc.sweep / 2;
        arc.color = color;
        arcs.append(arc);
        angle += full;
    };
    for (int i = 0; i < slices.size(); ++i) {
        const PieSlice& s = slices.at(i);
        if (!sliceCounts(s))
            continue;
        if (merge && narrow(s))
            other += s.value;
        else
            add(i, s.value, seriesColor(s.color, palette, i));
    }
    if (merge)
        add(-1, other, otherColor);
    return arcs;
}

int sliceAt(const QPointF& pos, const QRectF& pie, double holeRatio, const QVector<SliceArc>& arcs)
{
    if (!pieDrawable(pie))
        return -1;
    const QPointF d = pos - pie.center();
    const double distance = std::hypot(d.x(), d.y());
    const double radius = pie.width() / 2;
    if (distance > radius || distance < radius * holeRatio)
        return -1;
    const double angle = normalizedAngle(qRadiansToDegrees(std::atan2(d.x(), -d.y())));
    for (const SliceArc& arc : arcs) {
        if (!(arc.sweep > 0))
            continue;
        if (arc.sweep >= 360.0)
            return arc.sliceIndex;
        const double start = normalizedAngle(arc.startAngle);
        const double end = normalizedAngle(arc.startAngle + arc.sweep);
        const bool inside = start <= end ? angle >= start && angle <= end : angle >= start || angle <= end;
        if (inside)
            return arc.sliceIndex;
    }
    return -1;
}

QVector<ChartLegendItem> pieLegendItems(const QVector<PieSlice>& slices, const QVector<double>& advances,
                                        const QRectF& area, int legendPosition, const QVector<QColor>& palette)
{
    const auto advance = [&](int i) { return i < advances.size() ? advances.at(i) : 0.0; };
    return pieLegendItems(slices, advance, area, legendPosition, palette, HUGE_VAL);
}

QVector<ChartLegendItem> pieLegendItems(const QVector<PieSlice>& slices, const std::function<double(int)>& advance,
                                        const QRectF& area, int legendPosition, const QVector<QColor>& palette,
                                        double bottom)
{
    QVector<ChartLegendItem> items;
    if (area.isEmpty())
        return items;
    const bool stacked = legendStacked(legendPosition);
    const double left = qRound(area.left());
    double x = left;
    double y = qRound(area.top());
    for (int i = 0; i < slices.size() && y < bottom; ++i) {
        const PieSlice& s = slices.at(i);
        ChartLegendItem item;
        item.seriesIndex = i;
        item.color = seriesColor(s.color, palette, i);
        item.text = pieLegendText(slices, i);
        item.visible = s.visible;
        const double width = stacked ? qRound(area.width()) - 6 : std::min(advance(i) + 84, 200.0);
        item.rect = QRectF(x, y, width, 18);
        items.append(item);
        if (stacked) {
            y += 24;
        } else {
            x += width + 10;
            if (x + 140 > area.right()) {
                x = left;
                y += 22;
            }
        }
    }
    return items;
}

QString pieLegendText(const QVector<PieSlice>& slices, int index)
{
    const QString& name = slices.at(index).name;
    return name.isEmpty() ? QStringLiteral("Slice %1").arg(index + 1) : name;
}

SliceLabelGeometry sliceLabelGeometry(const QPointF& centre, double radius, double middleAngle)
{
    const double m = qDegreesToRadians(middleAngle);
    const QPointF dir(std::sin(m), -std::cos(m));
    SliceLabelGeometry g;
    g.inner = centre + dir * radius * 0.88;
    g.elbow = centre + dir * (radius + 16);
    g.right = g.elbow.x() >= centre.x();
    g.rect = g.right ? QRectF(g.elbow.x() + 18, g.elbow.y() - 14, 120, 28)
                     : QRectF(g.elbow.x() - 18 - 120, g.elbow.y() - 14, 120, 28);
    return g;
}

QString sliceTipText(const QVector<PieSlice>& slices, int index)
{
    if (index < 0 || index >= slices.size())
        return QString();
    const PieSlice& s = slices.at(index);
    return QStringLiteral("%1\n%2 (%3%)")
        .arg(s.name.isEmpty() ? QStringLiteral("Slice") : s.name, formatValue(s.value),
             formatValue(slicePercent(slices, index)));
}

} // namespace chart
} // namespace vyr
