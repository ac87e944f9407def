#pragma once

#include "VYRQExport.h"

// Arithmetic of the financial chart: the price range of the records in view, where a
// record sits, moving averages, the record under the mouse, tip texts, and reading
// the comma-separated record tables.

#include "FinancialCandle.h"
#include "FinancialPricePoint.h"
#include "VYRQChartMath.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

namespace vyr {
namespace chart {

// The records a view shows: price points in view 1, candles in every other view.
struct VYRQTLIB_EXPORT FinancialData {
    int viewMode = 0;
    QVector<FinancialCandle> candles;
    QVector<FinancialPricePoint> pricePoints;
    bool movingAveragesVisible = true;
    QVector<int> maPeriods;

    int recordCount() const { return viewMode == 1 ? pricePoints.size() : candles.size(); }
};

// Whether every price of the candle is a finite number.
VYRQTLIB_EXPORT bool candleUsable(const FinancialCandle& candle);

// The mean close over the `period` candles ending at `index`; false when the period
// is below 1, the window reaches before the first candle or past the last, or a
// close in it is not a finite number.
VYRQTLIB_EXPORT bool movingAverage(const QVector<FinancialCandle>& candles, int index, int period, double& out);

// The moving averages of `period` at the candles first..last (those that exist) into
// `out` (cleared, its memory kept), one entry per candle from the first one; NaN
// where the window holds a close that is not a number or reaches before the first
// candle, or the period is below 1. The closes are summed less a price in their
// midst, which keeps the digits in which prices of 1e15 differ and cannot overflow,
// and each window slides on from the previous one: a run of a million candles costs
// a million steps whatever the period.
VYRQTLIB_EXPORT void movingAverages(const QVector<FinancialCandle>& candles, int first, int last, int period,
                                    QVector<double>& out);

// The moving averages the chart shows of the candles first..last: in view 0 with
// the averages visible, the movingAverages of each period in turn into `runs`; none
// otherwise. `closes` is working memory; kept with `runs`, a frame allocates nothing.
VYRQTLIB_EXPORT void shownMovingAverages(const FinancialData& data, int first, int last,
                                         QVector<QVector<double>>& runs, QVector<double>& closes);

// The range of the records first..last (with the moving averages in view 0): 0 to 1
// without any; equal ends widened by 1; otherwise padded by 8 % each way. The second
// form takes the averages from `runs`, as shownMovingAverages gives them.
VYRQTLIB_EXPORT ValueRange financialValueRange(const FinancialData& data, int first, int last);
VYRQTLIB_EXPORT ValueRange financialValueRange(const FinancialData& data, int first, int last,
                                               const QVector<QVector<double>>& runs);

// The first record in view on the left edge, the last on the right edge.
VYRQTLIB_EXPORT QPointF financialPointFor(int index, double value, const QRectF& plot, int first, int last, const ValueRange& range);

// The candles of one pixel column taken as one: the first open, the highest high,
// the lowest low and the last close, drawn at the column's centre x.
struct VYRQTLIB_EXPORT FinancialColumnCandle {
    double x = 0.0;
    double open = 0.0;
    double high = 0.0;
    double low = 0.0;
    double close = 0.0;
};

// The usable candles first..drawnLast, placed as financialPointFor places them for
// the view first..last, gathered per column of `columnWidth` pixels into `out`
// (cleared first), left to right.
VYRQTLIB_EXPORT void financialCandleColumns(const QVector<FinancialCandle>& candles, const QRectF& plot, int first,
                                            int last, int drawnLast, double columnWidth,
                                            QVector<FinancialColumnCandle>& out);

// The record under x, rounded half up and kept within first..last.
VYRQTLIB_EXPORT int financialRecordAt(double x, const QRectF& plot, int first, int last);

// Every step-th record from first gets a label, about four across the view.
VYRQTLIB_EXPORT int financialLabelStep(int first, int last);

// Colour k of the moving averages: the own list, else the palette, else (84,112,198).
VYRQTLIB_EXPORT QColor movingAverageColor(int k, const QVector<QColor>& maColors, const QVector<QColor>& palette);

// The tip of record `index` in the current view; empty out of range.
VYRQTLIB_EXPORT QString financialTipText(const FinancialData& data, int index);

// Reading of "date,open,close,high,low,volume" and "date time,price,volume" lines:
// empty lines skipped, short lines skipped, the label is the first field without its
// first five characters, unreadable numbers read as 0. Price points get the running
// mean of the prices as their average.
VYRQTLIB_EXPORT QVector<FinancialCandle> parseCandleTable(const QString& text);
VYRQTLIB_EXPORT QVector<FinancialPricePoint> parsePriceTable(const QString& text);

} // namespace chart
} // namespace vyr
