#pragma once

#include "VYRQExport.h"

#include "ChartDataZoom.h"
#include "ChartStrokeCoverage_p.h"
#include "FinancialCandle.h"
#include "FinancialPricePoint.h"
#include "VYRQChartBaseImpl.h"
#include "VYRQFinancialChartMath.h"

#include <QColor>
#include <QPoint>
#include <QRectF>
#include <QVector>

class VYRQFinancialChart;

class VYRQTLIB_EXPORT VYRQFinancialChartImpl : public VYRQChartBaseImpl {
public:
    explicit VYRQFinancialChartImpl(VYRQFinancialChart* owner);

    QRectF plotRect(const QSize& size) const;
    int recordCount() const;
    int firstVisibleIndex() const;
    int lastVisibleIndex() const;
    vyr::chart::ValueRange valueRange() const;
    QPointF pointFor(int index, double value, const QRectF& plot, const vyr::chart::ValueRange& range) const;
    bool movingAverage(int index, int period, double& out) const;
    QColor maColor(int k) const;
    QString recordTooltip(int index) const;
    QString recordLabel(int index) const;
    // The slider where it is drawn now, with the record count handed to the zoom.
    QRectF zoomSlider(const QSize& size);
    void resetHover();
    // The polyline through `points` with the painter's pen, stroked in short pieces.
    static void strokeInPieces(QPainter& painter, const QVector<QPointF>& points);

    bool pressAt(const QMouseEvent& event) override;
    bool dragTo(const QMouseEvent& event) override;
    void releaseAt(const QMouseEvent& event) override;
    bool updateHover(const QPoint& pos) override;
    bool clearHover() override;

    VYRQFinancialChart* q;
    QString title = QStringLiteral("Financial Chart");
    int viewMode = 0;
    QVector<FinancialCandle> candles;
    QVector<FinancialPricePoint> pricePoints;
    bool tooltipEnabled = false;
    bool hoverEnabled = true;
    int hoverMode = 1;
    int marginLeft = 66;
    int marginTop = 48;
    int marginRight = 28;
    int marginBottom = 82;
    ChartDataZoom zoom;
    bool hovered = false;
    int hoveredIndex = -1;
    QPoint lastHoverPos;
    QColor risingColor = QColor(230, 76, 69);
    QColor fallingColor = QColor(34, 178, 115);
    QColor priceLineColor = QColor(35, 128, 224);
    QColor averageLineColor = QColor(232, 148, 54);
    bool movingAveragesVisible = true;
    QVector<int> maPeriods{5, 10, 20, 30};
    QVector<QColor> maColors{QColor(234, 179, 8), QColor(59, 130, 246), QColor(168, 85, 247), QColor(20, 184, 166)};

protected:
    void paintContent(QPainter& painter, const QSize& size) override;

private:
    vyr::chart::FinancialData data() const;
    void drawAxes(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);
    void drawCandles(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);
    // With `pixel` (a device pixel, the painter's antialiasing off) the candle is filled
    // in whole pixels (fillCoveredColumns); without, by antialiased fills.
    void drawCandle(QPainter& painter, double x, double highY, double lowY, double openY, double closeY, double body,
                    const QColor& color, double pixel = 0);
    void drawMovingAverages(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);
    // One device pixel in the painter's units.
    static double deviceColumn(const QPainter& painter);
    // Whether the records in view lie closer than `column` apart.
    bool denserThan(const QRectF& plot, double column) const;
    // Whether the painter's engine fills whole pixels far cheaper than antialiased
    // shapes (every engine but OpenGL's).
    static bool fillsWholePixels(const QPainter& painter);
    void drawMovingAverageLabels(QPainter& painter, const QRectF& plot);
    void drawPriceLines(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);
    void drawVolumeBars(QPainter& painter, const QRectF& plot);
    void drawCrosshair(QPainter& painter, const QRectF& plot, const vyr::chart::ValueRange& range);
    // y held within the area the painter may get this frame.
    double clampedY(double y) const;
    // Into linePoints: where the line through value(i) of the records first..last
    // (of `count`) is drawn, reduced per pixel column when far denser than the pixels.
    template <class Value>
    void collectLine(const QRectF& plot, const vyr::chart::ValueRange& range, int first, int last, int count,
                     Value value);

    // The widget grown by a margin: the painter gets no coordinate beyond it.
    QRectF drawable;
    // Kept between frames so that painting does not allocate.
    QVector<vyr::chart::FinancialColumnCandle> candleColumns;
    QVector<QPointF> linePoints;
    // The moving averages of the records in view, one run a period, while they are shown.
    QVector<QVector<double>> averageRuns;
    QVector<double> averageCloses;
    // The averages drawn by their coverage, while the candles lie closer than a pixel.
    ChartStrokeCoverage averageCoverage;
};
