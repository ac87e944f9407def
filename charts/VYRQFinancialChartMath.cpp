#include "VYRQFinancialChartMath.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vyr {
namespace chart {

namespace {

double number(const QString& field)
{
    bool ok = false;
    const double v = field.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

// The trimmed, comma-split lines of a table with at least `fields` fields.
QVector<QStringList> tableRows(const QString& text, int fields)
{
    QVector<QStringList> rows;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QStringList parts = trimmed.split(QLatin1Char(','));
        if (parts.size() >= fields)
            rows.append(parts);
    }
    return rows;
}

void widen(bool& any, double& min, double& max, double v)
{
    if (!std::isfinite(v))
        return;
    min = any ? std::min(min, v) : v;
    max = any ? std::max(max, v) : v;
    any = true;
}

} // namespace

bool candleUsable(const FinancialCandle& c)
{
    return std::isfinite(c.open) && std::isfinite(c.high) && std::isfinite(c.low) && std::isfinite(c.close);
}

bool movingAverage(const QVector<FinancialCandle>& candles, int index, int period, double& out)
{
    // The same sums as the drawn lines, so the tip names the value the line shows.
    QVector<double> window;
    movingAverages(candles, index, index, period, window);
    if (window.size() != 1 || !std::isfinite(window.first()))
        return false;
    out = window.first();
    return true;
}

void movingAverages(const QVector<FinancialCandle>& candles, int first, int last, int period, QVector<double>& out)
{
    out.clear();
    const int from = std::max(first, 0);
    const int to = std::min(last, candles.size() - 1);
    if (to < from)
        return;
    out.fill(std::numeric_limits<double>::quiet_NaN(), to - from + 1);
    if (period < 1 || to < period - 1)
        return;
    const FinancialCandle* c = candles.constData();
    const int begin = std::max(from, period - 1);
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (int i = begin - period + 1; i <= to; ++i) {
        if (std::isfinite(c[i].close)) {
            low = std::min(low, c[i].close);
            high = std::max(high, c[i].close);
        }
    }
    if (!(low <= high))
        return;
    // Each close less the reference, divided by the period, is finite and so is the
    // sum of a window of them, however far apart the closes lie.
    const double reference = low / 2 + high / 2;
    const auto share = [&](double close) { return (close - reference) / period; };
    double sum = 0.0;
    int gaps = 0;  // closes in the window that are not numbers
    int slid = 0;
    for (int i = begin; i <= to; ++i) {
        // Summed afresh now and then, so that the rounding of the slides cannot pile up.
        if (slid == 0 || slid >= 1024) {
            sum = 0.0;
            gaps = 0;
            for (int j = i - period + 1; j <= i; ++j) {
                if (std::isfinite(c[j].close))
                    sum += share(c[j].close);
                else
                    ++gaps;
            }
            slid = 1;
        } else {
            if (std::isfinite(c[i].close))
                sum += share(c[i].close);
            else
                ++gaps;
            if (std::isfinite(c[i - period].close))
                sum -= share(c[i - period].close);
            else
                --gaps;
            ++slid;
        }
        if (gaps == 0)
            out[i - from] = reference + sum;
    }
}

ValueRange financialValueRange(const FinancialData& data, int first, int last)
{
    bool any = false;
    double min = 0.0;
    double max = 0.0;
    const int n = data.recordCount();
    const int from = std::max(first, 0);
    const int to = std::min(last, n - 1);
    for (int i = from; i <= to; ++i) {
        if (data.viewMode == 1) {
            widen(any, min, max, data.pricePoints.at(i).price);
            widen(any, min, max, data.pricePoints.at(i).average);
            continue;
        }
        widen(any, min, max, data.candles.at(i).low);
        widen(any, min, max, data.candles.at(i).high);
    }
    if (data.viewMode == 0 && data.movingAveragesVisible) {
        QVector<double> averages;
        for (const int p : data.maPeriods) {
            movingAverages(data.candles, from, to, p, averages);
            for (const double average : qAsConst(averages))
                widen(any, min, max, average);
        }
    }
    if (!any)
        return {};
    if (fuzzyEqual(min, max))
        return {min - 1, max + 1};
    const double pad = (max - min) * 0.08;
    if (!std::isfinite(pad))
        return {min, max};
    return {min - pad, max + pad};
}

QPointF financialPointFor(int index, double value, const QRectF& plot, int first, int last, const ValueRange& range)
{
    return QPointF(plot.left() + plot.width() * (index - first) / std::max(last - first, 1),
                   plot.bottom() - plot.height() * axisFraction(value, range.min, range.max));
}

void financialCandleColumns(const QVector<FinancialCandle>& candles, const QRectF& plot, int first, int last,
                            int drawnLast, double columnWidth, QVector<FinancialColumnCandle>& out)
{
    out.clear();
    if (!(columnWidth > 0))
        return;
    const ValueRange unit{0.0, 1.0};
    double column = 0.0;
    for (int i = std::max(first, 0); i <= drawnLast && i < candles.size(); ++i) {
        const FinancialCandle& c = candles.at(i);
        if (!candleUsable(c))
            continue;
        const double at = std::floor(financialPointFor(i, 0.0, plot, first, last, unit).x() / columnWidth);
        if (!out.isEmpty() && at == column) {
            FinancialColumnCandle& merged = out.last();
            merged.high = std::max(merged.high, c.high);
            merged.low = std::min(merged.low, c.low);
            merged.close = c.close;
            continue;
        }
        column = at;
        out.append(FinancialColumnCandle{(at + 0.5) * columnWidth, c.open, c.high, c.low, c.close});
    }
}

int financialRecordAt(double x, const QRectF& plot, int first, int last)
{
    const double offset = std::max(last - first, 1) * (x - plot.left()) / std::max(plot.width(), 1.0);
    const double i = first + std::floor(offset + 0.5);
    return int(std::clamp(i, double(first), double(std::max(first, last))));
}

int financialLabelStep(int first, int last)
{
    return std::max(int(std::ceil((last - first + 1) * 0.25)), 1);
}

QColor movingAverageColor(int k, const QVector<QColor>& maColors, const QVector<QColor>& palette)
{
    if (!maColors.isEmpty())
        return maColors.at(((k % maColors.size()) + maColors.size()) % maColors.size());
    return paletteColor(palette, k);
}

QString financialTipText(const FinancialData& data, int index)
{
    if (index < 0 || index >= data.recordCount())
        return QString();
    if (data.viewMode == 1) {
        const FinancialPricePoint& p = data.pricePoints.at(index);
        return QStringLiteral("%1\nPrice: %2\nAverage: %3\nVolume: %4")
            .arg(p.label, formatValue(p.price), formatValue(p.average), formatValue(p.volume));
    }
    const FinancialCandle& c = data.candles.at(index);
    QString text = QStringLiteral("%1\nOpen: %2\nHigh: %3\nLow: %4\nClose: %5\nVolume: %6")
                       .arg(c.label, formatValue(c.open), formatValue(c.high), formatValue(c.low),
                            formatValue(c.close), formatValue(c.volume));
    if (data.viewMode == 0 && data.movingAveragesVisible) {
        for (const int p : data.maPeriods) {
            double average = 0.0;
            if (movingAverage(data.candles, index, p, average))
                text += QStringLiteral("\nMA%1: %2").arg(p).arg(formatValue(average));
        }
    }
    return text;
}

QVector<FinancialCandle> parseCandleTable(const QString& text)
{
    QVector<FinancialCandle> candles;
    for (const QStringList& f : tableRows(text, 6)) {
        FinancialCandle c;
        c.label = f.at(0).mid(5);
        c.open = number(f.at(1));
        c.close = number(f.at(2));
        c.high = number(f.at(3));
        c.low = number(f.at(4));
        c.volume = number(f.at(5));
        candles.append(c);
    }
    return candles;
}

QVector<FinancialPricePoint> parsePriceTable(const QString& text)
{
    QVector<FinancialPricePoint> points;
    double sum = 0.0;
    for (const QStringList& f : tableRows(text, 3)) {
        FinancialPricePoint p;
        p.label = f.at(0).mid(5);
        p.price = number(f.at(1));
        p.volume = number(f.at(2));
        sum += p.price;
        p.average = sum / (points.size() + 1);
        points.append(p);
    }
    return points;
}

} // namespace chart
} // namespace vyr
