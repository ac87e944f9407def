#include "VYRQBarChartMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vyr {
namespace chart {

int barCategoryCount(const QStringList& categories, const QVector<BarSeries>& series)
{
    return categoryCount(categories, series);
}

bool barHasValue(const BarSeries& series, int category)
{
    return series.visible && category >= 0 && category < series.values.size()
        && std::isfinite(series.values.at(category));
}

ValueRange barValueRange(const QVector<BarSeries>& series)
{
    bool any = false;
    double min = 0.0;
    double max = 0.0;
    for (const BarSeries& s : series) {
        if (!s.visible)
            continue;
        for (const double v : s.values) {
            if (!std::isfinite(v))
                continue;
            min = any ? std::min(min, v) : v;
            max = any ? std::max(max, v) : v;
            any = true;
        }
    }
    if (!any)
        return {};
    min = std::min(min, 0.0);
    if (fuzzyEqual(min, max))
        max += 1;
    const double span = std::max(max - min, 1.0);
    if (!std::isfinite(span))
        return {min, max};
    max += span * 0.08;
    if (min < 0)
        min -= span * 0.05;
    return {min, max};
}

double barValueToY(double value, const QRectF& plot, const ValueRange& range)
{
    return plot.bottom() - plot.height() * axisFraction(value, range.min, range.max);
}

QVector<BarRect> layoutBars(const QVector<BarSeries>& series, int categoryCount, const QRectF& plot,
                            const ValueRange& range, double progress, const QVector<QColor>& palette)
{
    QVector<BarRect> bars;
    const int n = std::max(categoryCount, 1);
    const double slot = plot.width() / n;
    const double groupInset = std::min(18.0, slot * 0.16);
    const double barGap = std::min(12.0, slot * 0.08);
    const double groupWidth = std::max(slot - 2 * groupInset, 12.0);
    const int shown = int(std::count_if(series.begin(), series.end(), [](const BarSeries& s) { return s.visible; }));
    const int k = std::max(shown, 1);
    const double barWidth = std::max((groupWidth - (k - 1) * barGap) / k, 8.0);
    const double baseline = barValueToY(0, plot, range);
    qsizetype count = 0;
    for (const BarSeries& s : series) {
        if (s.visible)
            count += std::min(s.values.size(), n);
    }
    bars.reserve(int(std::min<qsizetype>(count, std::numeric_limits<int>::max())));
    for (int c = 0; c < n; ++c) {
        const double x0 = plot.left() + c * slot + groupInset;
        int j = 0;
        for (int s = 0; s < series.size(); ++s) {
            if (!barHasValue(series.at(s), c))
                continue;
            const double y = barValueToY(progress * series.at(s).values.at(c), plot, range);
            const double top = std::min(baseline, y);
            const double height = std::max(std::max(y, baseline) - top, 1.0);
            bars.append({s, c, QRectF(x0 + j * (barWidth + barGap), top, barWidth, height),
                         seriesColor(series.at(s).color, palette, s)});
            ++j;
        }
    }
    return bars;
}

QVector<BarRect> mergeDenseBars(const QVector<BarRect>& bars, int categoryCount, const QRectF& plot, int apart)
{
    if (categoryCount <= plot.width())
        return bars;
    QVector<BarRect> merged;
    // Per series, the merged bar still open and its pixel column.
    QVector<int> open;
    QVector<double> openColumn;
    for (const BarRect& bar : bars) {
        if (bar.seriesIndex < 0)
            continue;
        if (bar.seriesIndex >= open.size()) {
            open.resize(bar.seriesIndex + 1);
            std::fill(open.begin() + openColumn.size(), open.end(), -1);
            openColumn.resize(bar.seriesIndex + 1);
        }
        if (bar.categoryIndex == apart) {
            merged.append(bar);
            continue;
        }
        const double column = std::floor(bar.rect.left());
        int& at = open[bar.seriesIndex];
        if (at >= 0 && openColumn.at(bar.seriesIndex) == column) {
            merged[at].rect = merged.at(at).rect.united(bar.rect);
            continue;
        }
        at = merged.size();
        openColumn[bar.seriesIndex] = column;
        merged.append(bar);
    }
    return merged;
}

int barCategoryAt(double x, const QRectF& plot, int categoryCount)
{
    if (categoryCount <= 1)
        return 0;
    const double c = std::floor(categoryCount * (x - plot.left()) / std::max(plot.width(), 1.0));
    return int(std::clamp(c, 0.0, double(categoryCount - 1)));
}

QString barCategoryTipText(const QVector<BarSeries>& series, const QString& category, int index)
{
    QStringList lines{category};
    for (const BarSeries& s : series) {
        if (barHasValue(s, index))
            lines << QStringLiteral("%1: %2").arg(seriesName(s.name), formatValue(s.values.at(index)));
    }
    return lines.join(QLatin1Char('\n'));
}

QString barTipText(const QVector<BarSeries>& series, int seriesIndex, const QString& category, int index)
{
    if (seriesIndex < 0 || seriesIndex >= series.size())
        return QString();
    const BarSeries& s = series.at(seriesIndex);
    if (index < 0 || index >= s.values.size())
        return QString();
    return QStringLiteral("%1\n%2: %3").arg(seriesName(s.name), category, formatValue(s.values.at(index)));
}

} // namespace chart
} // namespace vyr
