#pragma once

#include "VYRQExport.h"

#include "ChartLegendItem.h"
#include "ScatterSeries.h"
#include "VYRQChartBaseImpl.h"
#include "VYRQScatterChartMath.h"

#include <QPoint>
#include <QRectF>
#include <QVector>

class VYRQScatterChart;

class VYRQTLIB_EXPORT VYRQScatterChartImpl : public VYRQChartBaseImpl {
public:
    explicit VYRQScatterChartImpl(VYRQScatterChart* owner);

    QRectF plotRect(const QSize& size) const;
    vyr::chart::ScatterRange dataRange() const;
    vyr::chart::ScatterHit hitTest(const QPoint& pos, const QRectF& plot, const vyr::chart::ScatterRange& range) const;
    QString pointTooltip(int series, int point) const;
    QVector<ChartLegendItem> legendItems(const QSize& size) const override;
    void resetHover();

    bool updateHover(const QPoint& pos) override;
    bool clearHover() override;

    VYRQScatterChart* q;
    QString title = QStringLiteral("Basic Scatter Chart");
    QVector<ScatterSeries> series;
    bool tooltipEnabled = true;
    bool hoverEnabled = true;
    int hoverMode = 1;
    vyr::chart::PlotMargins margins{56, 48, 24, 76};
    bool hovered = false;
    int hoveredSeries = -1;
    int hoveredPoint = -1;
    QPoint lastHoverPos;

protected:
    void toggleSeries(int index) override;
    void paintContent(QPainter& painter, const QSize& size) override;
    bool smoothPixmaps() const override { return false; }

private:
    void drawPoints(QPainter& painter, const QRectF& plot, const vyr::chart::ScatterRange& range);
    void drawAxisLabels(QPainter& painter, const QSize& size, const QRectF& plot,
                        const vyr::chart::ScatterRange& range);
    void drawLegend(QPainter& painter, const QSize& size);

    // Kept between frames so that painting does not allocate.
    QVector<QPointF> markerCentres;
};
