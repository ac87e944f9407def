#include "VYRQECGChart.h"

#include "VYRQECGChartImpl.h"

#include "VYRQChartMath.h"
#include "VYRQLineChartMath.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QBrush verticalGradient(const QRect& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, rect.height()));
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return QBrush(gradient);
}

// Fills between the trace and the edge at height `edge`, from x 0 to below the last
// point, cut to the bounds the painter can show.
void fillAlong(QPainter* painter, const QPolygonF& trace, double edge, const QRectF& bounds)
{
    const QPolygonF reduced = vyr::chart::reduceDensePolyline(trace);
    const auto fill = [&](const QPolygonF& area) {
        QPainterPath path;
        path.addPolygon(vyr::chart::clipPolygon(area, bounds));
        path.closeSubpath();
        painter->drawPath(path);
    };
    const bool rising = std::is_sorted(reduced.begin(), reduced.end(),
                                       [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    if (reduced.size() == trace.size() || !rising) {
        QPolygonF area;
        area.reserve(reduced.size() + 2);
        area.append(QPointF(0, edge));
        area += reduced;
        area.append(QPointF(reduced.last().x(), edge));
        fill(area);
        return;
    }
    // A trace far denser than the pixels, as the extremes of its columns: the raster
    // engine fills a polygon that crosses each row thousands of times in a time far
    // beyond its size, so it goes in strips 4 pixels wide, cut at whole pixels so that
    // their shared edges leave no seam.
    constexpr double strip = 4;
    QPolygonF area;
    area << QPointF(0, edge);
    const auto cutAt = [&](double x, const QPointF& a, const QPointF& b) {
        const QPointF at = a + (b - a) * ((x - a.x()) / (b.x() - a.x()));
        area << at << QPointF(x, edge);
        fill(area);
        area.clear();
        area << QPointF(x, edge) << at;
    };
    QPointF previous = area.last();
    double stripEnd = std::floor(previous.x() / strip) * strip + strip;
    for (const QPointF& p : reduced) {
        while (p.x() > stripEnd && stripEnd < bounds.right()) {
            cutAt(stripEnd, previous, p);
            previous = area.last();
            stripEnd += strip;
        }
        if (p.x() > stripEnd)
            stripEnd = std::floor(p.x() / strip) * strip + strip;
        area << p;
        previous = p;
    }
    area << QPointF(previous.x(), edge);
    fill(area);
}

} // namespace

VYRQECGChartImpl::VYRQECGChartImpl(VYRQECGChart* owner)
    : VYRQSweepTraceImpl(owner, 3.0f)
{
}

void VYRQECGChartImpl::drawControl(QPainter* painter, const QRect& rect)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QPolygonF trace = drawablePoints();
    drawTrace(painter, rect, trace);
    if ((fillBelow || fillAbove) && trace.size() >= 3) {
        painter->setPen(Qt::NoPen);
        if (fillBelow) {
            painter->setBrush(verticalGradient(rect, belowTopColor, belowBottomColor));
            fillAlong(painter, trace, owner()->height(), paintBounds(rect));
        }
        if (fillAbove) {
            painter->setBrush(verticalGradient(rect, aboveTopColor, aboveBottomColor));
            fillAlong(painter, trace, 0, paintBounds(rect));
        }
    }
    drawSweepImage(painter, rect, trace);
}

VYRQECGChart::VYRQECGChart(QWidget* parent)
    : VYRQSweepTraceControl(parent)
{
    finishConstruction();
}

VYRQECGChart::~VYRQECGChart() = default;

// Not registered: a record for callers that ask, with the common rows only.
ControlInfo VYRQECGChart::getProps()
{
    return vyr::makeControlInfo(typeName(), "VYRQECGChart", "", "", "");
}

void VYRQECGChart::enableFillColor(bool below, bool above)
{
    impl()->fillBelow = below;
    impl()->fillAbove = above;
}

void VYRQECGChart::setBelowFillColor(const QColor& top, const QColor& bottom)
{
    impl()->belowTopColor = top;
    impl()->belowBottomColor = bottom;
}

void VYRQECGChart::setAboveFillColor(const QColor& top, const QColor& bottom)
{
    impl()->aboveTopColor = top;
    impl()->aboveBottomColor = bottom;
}

#include "moc_VYRQECGChart.cpp"
