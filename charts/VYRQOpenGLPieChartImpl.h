#pragma once

#include "VYRQExport.h"

#include "ChartLegendItem.h"
#include "PieSlice.h"
#include "VYRQChartBaseImpl.h"
#include "VYRQPieChartMath.h"

#include <QPoint>
#include <QRectF>
#include <QVector>

class VYRQOpenGLPieChart;

class VYRQTLIB_EXPORT VYRQOpenGLPieChartImpl : public VYRQChartBaseImpl {
public:
    explicit VYRQOpenGLPieChartImpl(VYRQOpenGLPieChart* owner);

    QRectF pieRect(const QSize& size) const;
    QRectF legendArea(const QSize& size) const;
    QVector<vyr::chart::SliceArc> sliceArcs() const;
    QVector<ChartLegendItem> legendItems(const QSize& size) const override;
    int sliceAt(const QPoint& pos, const QRectF& pie) const;
    void resetHover();

    bool updateHover(const QPoint& pos) override;
    bool clearHover() override;

    VYRQOpenGLPieChart* q;
    QString title = QStringLiteral("Basic Pie Chart");
    QVector<PieSlice> slices;
    bool tooltipEnabled = true;
    bool hoverEnabled = true;
    double holeRatio = 0.0;
    bool labelsVisible = false;
    bool hovered = false;
    int hoveredSlice = -1;
    QPoint lastHoverPos;

protected:
    void toggleSeries(int index) override;
    void paintContent(QPainter& painter, const QSize& size) override;
    bool smoothPixmaps() const override { return false; }

private:
    void drawLabels(QPainter& painter, const QRectF& pie, const QVector<vyr::chart::SliceArc>& arcs);
    void drawLegend(QPainter& painter, const QSize& size);
};
