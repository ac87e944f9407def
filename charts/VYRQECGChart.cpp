#include "VYRQECGChart.h"

#include "VYRQECGChartImpl.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QBrush verticalGradient(const QRect& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, rect.height()));
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return QBrush(gradient);
}

// The trace closed along the edge at height `edge`, from x 0 to below the last point.
QPainterPath closedAlong(const QPolygonF& trace, double edge)
{
    QPainterPath path(QPointF(0, edge));
    for (const QPointF& p : trace)
        path.lineTo(p);
    path.lineTo(trace.last().x(), edge);
    path.closeSubpath();
    return path;
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
    if (!trace.isEmpty()) {
        painter->setPen(tracePen(rect));
        painter->drawPolyline(trace);
    }
    if ((fillBelow || fillAbove) && trace.size() >= 3) {
        painter->setPen(Qt::NoPen);
        if (fillBelow) {
            painter->setBrush(verticalGradient(rect, belowTopColor, belowBottomColor));
            painter->drawPath(closedAlong(trace, owner()->height()));
        }
        if (fillAbove) {
            painter->setBrush(verticalGradient(rect, aboveTopColor, aboveBottomColor));
            painter->drawPath(closedAlong(trace, 0));
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
