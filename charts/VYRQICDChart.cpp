#include "VYRQICDChart.h"

#include "VYRQICDChartImpl.h"

#include <QPainter>

VYRQICDChartImpl::VYRQICDChartImpl(VYRQICDChart* owner)
    : VYRQSweepTraceImpl(owner, 1.0f)
{
}

void VYRQICDChartImpl::drawControl(QPainter* painter, const QRect& rect)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QPolygonF trace = drawablePoints();
    if (icdType == VYRQtICDPolyline) {
        drawTrace(painter, rect, trace);
    } else if (icdType == VYRQtICDFlatLine) {
        painter->setPen(tracePen(rect));
        painter->drawLine(QPointF(0, 40), QPointF(rect.width(), 40));
    }
    drawSweepImage(painter, rect, trace);
}

VYRQICDChart::VYRQICDChart(QWidget* parent)
    : VYRQSweepTraceControl(parent)
{
}

VYRQICDChart::~VYRQICDChart() = default;

// Not registered: a record for callers that ask, with the common rows only.
ControlInfo VYRQICDChart::getProps()
{
    return vyr::makeControlInfo(typeName(), "VYRQICDChart", "", "", "");
}

void VYRQICDChart::setICDType(VYRQtICDType type)
{
    impl()->icdType = type;
}

void VYRQICDChart::addMarker(float, bool)
{
}

void VYRQICDChart::addMarkerValue(float, int, int, int)
{
}

#include "moc_VYRQICDChart.cpp"
