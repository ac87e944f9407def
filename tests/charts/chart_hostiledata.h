#pragma once
// Data sets of a million records for the charts' hostile-frame tests.

#include "VYRQFinancialChart.h"
#include "VYRQOpenGLPieChart.h"

#include <algorithm>
#include <limits>

namespace chart {

// A million records alternating between the ends of [low, high]: price points whose
// average is the price itself, or candles spread over the band with volumes up to a
// million, every thousandth one the most negative double.
inline void setMillionRecords(VYRQFinancialChart& fin, int view, double low, double high, int count = 1000000)
{
    const auto at = [&](int i, int step) { return low + (high / 16 - low / 16) * ((i * step) % 17); };
    if (view == 1) {
        QVector<FinancialPricePoint> points(count);
        for (int i = 0; i < count; ++i) {
            const double price = i % 2 ? low : high;
            points[i] = FinancialPricePoint{QString(), price, price, double(i % 1000)};
        }
        fin.setPricePoints(points);
    } else {
        QVector<FinancialCandle> candles(count);
        for (int i = 0; i < count; ++i) {
            const double open = at(i, 5);
            const double close = at(i, 11);
            const double volume = i % 1000 == 999 ? -std::numeric_limits<double>::max() : double(qint64(i) * 7919 % 1000000);
            candles[i] = FinancialCandle{QString(), open, std::max({open, close, at(i, 3)}),
                                         std::min({open, close, at(i, 7)}), close, volume};
        }
        fin.setCandles(candles);
    }
    fin.setViewMode(view);
    fin.setZoomRange(0, 1);
}

// A million slices of 1 to 17, all far narrower than a pixel, behind three wide
// ones that take three quarters of the pie between them.
inline QVector<PieSlice> millionSlices()
{
    constexpr int count = 1000000;
    QVector<PieSlice> slices(count);
    double narrow = 0;
    for (int i = 3; i < count; ++i) {
        slices[i] = PieSlice{QString(), double(1 + i % 17), QColor(), true};
        narrow += slices[i].value;
    }
    for (int i = 0; i < 3; ++i)
        slices[i] = PieSlice{QStringLiteral("Wide %1").arg(i + 1), narrow, QColor(), true};
    return slices;
}

} // namespace chart
