#pragma once

#include "VYRQExport.h"

#include "VYRQWidgetBaseImpl.h"

#include <QColor>
#include <QImage>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QVector>

// Implementation base of the sweep-trace charts: the trace in widget coordinates, its
// gradient pen, and the snapshot of the previous pass that stays visible ahead of the
// trace head until the new pass overwrites it.
class VYRQTLIB_EXPORT VYRQSweepTraceImpl : public VYRQWidgetBaseImpl {
public:
    VYRQSweepTraceImpl(QWidget* owner, float lineWeight);

    // The solid gradient pen of the trace over the rectangle's height.
    QPen tracePen(const QRect& rect) const;
    // The points with finite coordinates, in order; others are kept but not drawn.
    QPolygonF drawablePoints() const;
    // Where drawing the trace and its fills can show: the rectangle grown by the pen.
    QRectF paintBounds(const QRect& rect) const;
    // The trace as drawn: its parts inside paintBounds, each reduced to the extremes
    // of its half-pixel columns where it is far denser than the pixels.
    QVector<QPolygonF> visibleTrace(const QPolygonF& trace, const QRect& rect) const;
    // The trace in the pen of tracePen.
    void drawTrace(QPainter* painter, const QRect& rect, const QPolygonF& trace) const;
    // The snapshot, clipped to the strip from 40 pixels right of the trace head.
    void drawSweepImage(QPainter* painter, const QRect& rect, const QPolygonF& trace) const;
    // The control as it looks now, as the new snapshot.
    void swapData();

    QVector<QPointF> points;
    QColor lineTopColor = QColor(0, 255, 0);
    QColor lineBottomColor = QColor(0, 255, 0);
    QImage sweepImage;
    float lineWeight;
};
