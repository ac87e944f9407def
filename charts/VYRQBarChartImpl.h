#pragma once

#include "VYRQExport.h"

#include "BarSeries.h"
#include "ChartLegendItem.h"
#include "VYRQBarChartMath.h"
#include "VYRQChartBaseImpl.h"

#include <QPoint>
#include <QRectF>
#include <QStringList>
#include <QVector>

class VYRQBarChart;

class VYRQTLIB_EXPORT VYRQBarChartImpl : public VYRQChartBaseImpl {
public:
    explicit VYRQBarChartImpl(VYRQBarChart* owner);

    QRectF plotRect(const QSize& size) const;
    int categoryCount() const;
    vyr::chart::ValueRange valueRange() const;
    bool hasValueAt(int category) const;
    QVector<vyr::chart::BarRect> layoutBars(const QRectF& plot, const vyr::chart::ValueRange& range) const;
    QVector<ChartLegendItem> legendItems(const QSize& size) const override;
    QString categoryTooltip(int category) const;
    QString barTooltip(int series, int category) const;
    void resetHover();

    bool updateHover(const QPoint& pos) override;
    bool clearHover() override;

    VYRQBarChart* q;
    QString title = QStringLiteral("Basic Bar Chart");
    QStringList categories;
    QVector<BarSeries> series;
    bool tooltipEnabled = false;
    bool hoverEnabled = true;
    int hoverMode = 0;
    vyr::chart::PlotMargins margins{56, 48, 40, 76};
    bool hovered = false;
    int hoveredCategory = -1;
    int hoveredSeries = -1;
    QPoint lastHoverPos;

protected:
    void toggleSeries(int index) override;
    void paintContent(QPainter& painter, const QSize& size) override;

private:
    void drawBars(QPainter& painter, const QVector<vyr::chart::BarRect>& bars);
    void drawAxisLabels(QPainter& painter, const QSize& size, const QRectF& plot, const vyr::chart::ValueRange& range);
    void drawLegend(QPainter& painter, const QSize& size);
};
