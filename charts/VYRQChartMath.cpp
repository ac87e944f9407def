#include "VYRQChartMath.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace vyr {
namespace chart {

bool fuzzyEqual(double a, double b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

double axisFraction(double v, double min, double max)
{
    if (fuzzyEqual(min, max))
        return v - min;
    const double span = max - min;
    if (std::isfinite(span))
        return (v - min) / span;
    return (v / 2 - min / 2) / (max / 2 - min / 2);
}

QString seriesName(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("Series") : name;
}

QString formatValue(double value)
{
    QString text = QString::number(value, 'f', 2);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString categoryLabel(const QStringList& names, int i)
{
    if (i >= 0 && i < names.size())
        return names.at(i);
    return QStringLiteral("Item %1").arg(qint64(i) + 1);
}

QStringList demoCategories()
{
    return {QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"), QStringLiteral("Thu"),
            QStringLiteral("Fri"), QStringLiteral("Sat"), QStringLiteral("Sun")};
}

QColor paletteColor(const QVector<QColor>& palette, int index)
{
    if (palette.isEmpty())
        return QColor(84, 112, 198);
    const int n = palette.size();
    return palette.at(((index % n) + n) % n);
}

QColor seriesColor(const QColor& own, const QVector<QColor>& palette, int index)
{
    return own.isValid() ? own : paletteColor(palette, index);
}

QRectF plotRect(const QSize& size, const PlotMargins& margins, bool hasSeries, int legendPosition)
{
    double left = margins.left;
    double top = margins.top;
    double right = margins.right;
    double bottom = 42;
    if (hasSeries) {
        switch (legendPosition) {
        case 0: top += 40; break;
        case 1: right += 176; break;
        case 3: left += 176; break;
        default: bottom = margins.bottom; break;
        }
    }
    return QRectF(left, top, std::max(size.width() - right - left, 1.0), std::max(size.height() - bottom - top, 1.0));
}

QRectF legendArea(const QRectF& plot, const QSize& size, int legendPosition)
{
    switch (legendPosition) {
    case 0:
        return QRectF(plot.left(), 44, plot.width(), 28);
    case 1:
        return QRectF(plot.right() + 20, plot.top(), std::max(size.width() - plot.right() - 28, 96.0), plot.height());
    case 3:
        return QRectF(14, plot.top(), std::max(plot.left() - 24, 96.0), plot.height());
    default:
        return QRectF(plot.left(), plot.bottom() + 34, plot.width(), 36);
    }
}

bool legendStacked(int legendPosition)
{
    return legendPosition == 1 || legendPosition == 3;
}

QVector<ChartLegendItem> layoutLegend(QVector<ChartLegendItem> items, const QVector<double>& advances,
                                      const QRectF& area, bool stacked, const LegendMetrics& m)
{
    if (area.isEmpty())
        return {};
    const double left = qRound(area.left());
    const double right = qRound(area.right());
    double x = left;
    double y = qRound(area.top());
    for (int i = 0; i < items.size(); ++i) {
        double width;
        if (stacked) {
            width = qRound(area.width()) - 6;
        } else {
            width = (i < advances.size() ? advances.at(i) : 0.0) + m.extraWidth;
            if (x + width > right && x > left) {
                x = left;
                y += m.wrapStep;
            }
        }
        items[i].rect = QRectF(x, y, width, m.itemHeight);
        if (stacked)
            y += m.stackStep;
        else
            x += width + 10;
    }
    return items;
}

int legendItemAt(const QVector<ChartLegendItem>& items, const QPointF& pos)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).rect.adjusted(-2, -2, 2, 2).contains(pos))
            return i;
    }
    return -1;
}

QRect tipRect(const QPoint& anchor, const QSize& size, const QRect& widget)
{
    const QRect bounds = widget.adjusted(8, 8, -8, -8);
    int x = anchor.x() + 16;
    int y = anchor.y() + 20;
    if (x + size.width() > bounds.right())
        x = bounds.right() - size.width();
    if (y + size.height() > bounds.bottom())
        y = anchor.y() - size.height() - 16;
    x = std::max(bounds.left(), x);
    y = std::max(bounds.top(), y);
    return QRect(QPoint(x, y), size);
}

double levelValue(double min, double max, int k, int steps)
{
    return max - k * (max - min) / steps;
}

} // namespace chart
} // namespace vyr
