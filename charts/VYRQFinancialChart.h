#pragma once

#include "VYRQExport.h"

#include "FinancialCandle.h"
#include "FinancialPricePoint.h"
#include "VYRQChartControl.h"

#include <QVector>

class VYRQFinancialChartImpl;

// Trading records in one of three views over a common price axis: candles with
// moving averages (0), intraday price and running average (1), or daily volumes
// (any other value). A data-zoom slider selects the records in view; hovering snaps
// to the nearest record with a crosshair and a tip. Candles are revealed from the
// left by the entry animation.
class VYRQTLIB_EXPORT VYRQFinancialChart : public VYRQChartControl<VYRQFinancialChart, VYRQFinancialChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQFinancialChart, "qtfinancialchart")
public:
    explicit VYRQFinancialChart(QWidget* parent = nullptr);
    ~VYRQFinancialChart() override;

    void setViewMode(int mode);
    // Storing records ends the hover and replays the entry animation.
    void setCandles(const QVector<FinancialCandle>& candles);
    void setPricePoints(const QVector<FinancialPricePoint>& points);
    void setZoomEnabled(bool enabled);
    void setZoomRange(double start, double end);
    void initDemoData();
};
