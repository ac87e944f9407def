#include "VYRQSweepTraceImpl.h"

#include "VYRQChartMath.h"
#include "VYRQLineChartMath.h"

#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

VYRQSweepTraceImpl::VYRQSweepTraceImpl(QWidget* owner, float weight)
    : VYRQWidgetBaseImpl(owner, QStringLiteral("qtecgchart"))
    , lineWeight(weight)
{
}

QPen VYRQSweepTraceImpl::tracePen(const QRect& rect) const
{
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, rect.height()));
    gradient.setColorAt(0, lineTopColor);
    gradient.setColorAt(1, lineBottomColor);
    return QPen(QBrush(gradient), double(lineWeight), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QPolygonF VYRQSweepTraceImpl::drawablePoints() const
{
    QPolygonF trace;
    trace.reserve(points.size());
    for (const QPointF& p : points) {
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            trace.append(p);
    }
    return trace;
}

QRectF VYRQSweepTraceImpl::paintBounds(const QRect& rect) const
{
    const double margin = 2 + std::min(std::abs(double(lineWeight)), 1e4);
    return QRectF(rect).adjusted(-margin, -margin, margin, margin);
}

QVector<QPolygonF> VYRQSweepTraceImpl::visibleTrace(const QPolygonF& trace, const QRect& rect) const
{
    return vyr::chart::clipPolyline(vyr::chart::reduceDensePolyline(trace), paintBounds(rect));
}

void VYRQSweepTraceImpl::drawTrace(QPainter* painter, const QRect& rect, const QPolygonF& trace) const
{
    if (trace.isEmpty())
        return;
    painter->setPen(tracePen(rect));
    // A trace crosses itself column after column: a long one goes in short pieces,
    // the pen opaque where they overlap.
    constexpr int piece = 9;
    for (const QPolygonF& run : visibleTrace(trace, rect)) {
        if (run.size() <= 4 * (piece - 1))
            painter->drawPolyline(run);
        else
            vyr::chart::strokeInPieces(*painter, run.constData(), run.size(), piece);
    }
}

void VYRQSweepTraceImpl::drawSweepImage(QPainter* painter, const QRect& rect, const QPolygonF& trace) const
{
    if (sweepImage.isNull())
        return;
    if (trace.isEmpty()) {
        painter->drawImage(QPointF(0, 0), sweepImage);
        return;
    }
    const double left = std::trunc(trace.last().x()) + 40;
    if (left >= rect.right() + 1)
        return;
    painter->save();
    painter->setClipRect(QRectF(left, 0, rect.right() + 1 - left, rect.height()));
    painter->drawImage(QPointF(0, 0), sweepImage);
    painter->restore();
}

void VYRQSweepTraceImpl::swapData()
{
    QWidget* widget = owner();
    if (!widget)
        return;
    const double ratio = widget->devicePixelRatioF();
    QImage image(widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        drawControl(&painter, QRect(QPoint(0, 0), widget->size()));
    }
    sweepImage = image;
}
