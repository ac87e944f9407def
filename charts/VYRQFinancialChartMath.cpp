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

namespace {

// The midpoint of the finite closes of candles from..to into `reference`; false when
// there is none. Each close less it is a finite number.
template <class Close>
bool closeReference(Close close, int from, int to, double& reference)
{
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (int i = from; i <= to; ++i) {
        const double v = close(i);
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    reference = low / 2 + high / 2;
    return low <= high;
}

// movingAverages with the close of candle i from close(i), summed less `reference`
// (see closeReference) or, when it is NaN, less the midpoint of the closes it takes.
template <class Close>
void slideAverages(Close close, int count, int first, int last, int period, double reference, QVector<double>& out)
{
    out.clear();
    const int from = std::max(first, 0);
    const int to = std::min(last, count - 1);
    if (to < from)
        return;
    out.fill(std::numeric_limits<double>::quiet_NaN(), to - from + 1);
    if (period < 1 || to < period - 1)
        return;
    const int begin = std::max(from, period - 1);
    if (std::isnan(reference) && !closeReference(close, begin - period + 1, to, reference))
        return;
    // Each close less the reference, divided by the period, is finite and so is the
    // sum of a window of them, however far apart the closes lie.
    const double perClose = 1.0 / period;
    const auto share = [&](double value) { return std::isfinite(value) ? (value - reference) * perClose : 0.0; };
    double* averages = out.data();
    double sum = 0.0;
    int gaps = 0;  // closes in the window that are not numbers
    int slid = 0;
    for (int i = begin; i <= to; ++i) {
        if (slid > 0 && slid < 1024) {
            const double in = close(i);
            const double out = close(i - period);
            sum += share(in) - share(out);
            gaps += int(!std::isfinite(in)) - int(!std::isfinite(out));
            ++slid;
        }
        // Summed afresh now and then, so that the rounding of the slides cannot pile up,
        // and after a slide that overflowed, which no later slide would bring back.
        if (slid == 0 || slid >= 1024 || !std::isfinite(sum)) {
            sum = 0.0;
            gaps = 0;
            for (int j = i - period + 1; j <= i; ++j) {
                sum += share(close(j));
                gaps += !std::isfinite(close(j));
            }
            slid = 1;
        }
        if (gaps == 0)
            averages[i - from] = reference + sum;
    }
}

} // namespace

void movingAverages(const QVector<FinancialCandle>& candles, int first, int last, int period, QVector<double>& out)
{
    const FinancialCandle* c = candles.constData();
    slideAverages([c](int i) { return c[i].close; }, candles.size(), first, last, period,
                  std::numeric_limits<double>::quiet_NaN(), out);
}

void shownMovingAverages(const FinancialData& data, int first, int last, QVector<QVector<double>>& runs,
                         QVector<double>& closes)
{
    if (data.viewMode != 0 || !data.movingAveragesVisible) {
        runs.resize(0);
        return;
    }
    runs.resize(data.maPeriods.size());
    // The closes the windows reach, gathered once: a run of candles is six times their
    // size, and each period would walk it twice.
    int reach = 1;
    for (const int p : data.maPeriods)
        reach = std::max(reach, p);
    const int from = std::max(first, 0) - (reach - 1);
    const int base = std::max(from, 0);
    const int to = std::min(last, data.candles.size() - 1);
    closes.resize(std::max(to - base + 1, 0));
    double* gathered = closes.data();
    const FinancialCandle* candles = data.candles.constData();
    for (int i = base; i <= to; ++i)
        gathered[i - base] = candles[i].close;
    const double* c = gathered - base;
    const auto close = [c](int i) { return c[i]; };
    double reference = 0.0;
    if (!closeReference(close, base, to, reference))
        reference = 0.0;
    for (int k = 0; k < data.maPeriods.size(); ++k)
        slideAverages(close, data.candles.size(), first, last, data.maPeriods.at(k), reference, runs[k]);
}

ValueRange financialValueRange(const FinancialData& data, int first, int last)
{
    QVector<QVector<double>> runs;
    QVector<double> closes;
    shownMovingAverages(data, first, last, runs, closes);
    return financialValueRange(data, first, last, runs);
}

ValueRange financialValueRange(const FinancialData& data, int first, int last, const QVector<QVector<double>>& runs)
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
    for (const QVector<double>& run : runs) {
        // std::min and std::max pass over NaN, the gaps of a run.
        double low = HUGE_VAL;
        double high = -HUGE_VAL;
        for (const double average : run) {
            low = std::min(low, average);
            high = std::max(high, average);
        }
        if (std::isfinite(low) && std::isfinite(high)) {
            widen(any, min, max, low);
            widen(any, min, max, high);
            continue;
        }
        for (const double average : run)
            widen(any, min, max, average);
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
