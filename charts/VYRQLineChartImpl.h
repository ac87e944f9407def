#pragma once

#include "VYRQExport.h"

#include "ChartLegendItem.h"
#include "LineSeries.h"
#include "VYRQChartBaseImpl.h"
#include "VYRQChartMath.h"
#include "VYRQLineChartMath.h"

#include <QPoint>
#include <memory>
#include <QPointF>
#include <QRectF>
#include <QStringList>
#include <QVector>

class VYRQLineChart;

class VYRQTLIB_EXPORT VYRQLineChartImpl : public VYRQChartBaseImpl {
public:
    explicit VYRQLineChartImpl(VYRQLineChart* owner);
    ~VYRQLineChartImpl() override;

    int categoryCount() const;
    QString categoryLabel(int i) const;
    QColor seriesColor(const LineSeries& series, int index) const;
    QRectF plotRect(const QSize& size) const;
    vyr::chart::ValueRange valueRange() const;
    QVector<vyr::chart::PlotPoint> seriesPoints(int index, const QRectF& plot,
                                                const vyr::chart::ValueRange& range) const;
    QVector<ChartLegendItem> legendItems(const QSize& size) const override;
    // Drops the hover state and the tip.
    void resetHover();

    // After any change to the series themselves.
    void seriesChanged() { ++seriesRevision; }

    bool updateHover(const QPoint& pos) override;
    bool clearHover() override;
    void releaseGL() override;

    VYRQLineChart* q;
    QString title = QStringLiteral("Basic Line Chart");
    QStringList categories;
    QVector<LineSeries> series;
    bool showPoints = true;
    bool smooth = false;
    bool areaFill = false;
    bool tooltipEnabled = false;
    bool hoverEnabled = true;
    int hoverMode = 0;
    vyr::chart::PlotMargins margins{56, 48, 40, 76};
    bool hovered = false;
    int hoveredCategory = -1;
    int hoveredSeries = -1;
    QPointF hoveredPoint;
    QPoint lastHoverPos;
    quint64 seriesRevision = 0;

protected:
    void toggleSeries(int index) override;
    void paintContent(QPainter& painter, const QSize& size) override;
    void prepareFrame(const QSize& size) override;

private:
    struct SeriesLayer;

    int lastVisible() const { return categoryCount() - 1; }
    bool anyValueAt(int category) const;
    bool hasVisibleValues() const;
    void drawHoverPointer(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);
    void drawSeries(QPainter& painter, int index, const QVector<vyr::chart::PlotPoint>& points, bool reduced,
                    const QRectF& plot, const vyr::chart::ValueRange& range);
    void drawHotPoint(QPainter& painter, const QPointF& pos, const QColor& color);
    void drawLabels(QPainter& painter, const QSize& size, const QRectF& plot, const vyr::chart::ValueRange& range);
    void drawLegend(QPainter& painter, const QSize& size);
    void drawAllSeries(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);

    // The series drawn once into a texture and reused while nothing they depend on
    // changes; only on the GL path.
    std::unique_ptr<SeriesLayer> layer;
    // Kept from frame to frame so that live data does not allocate anew each frame.
    QVector<vyr::chart::PlotPoint> drawnPoints;
    QVector<QPointF> drawnPositions;
};
