#include "VYRQBarChart.h"

#include "VYRQBarChartImpl.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace vyr::chart;

// ---------------------------------------------------------------------------
// VYRQBarChartImpl

VYRQBarChartImpl::VYRQBarChartImpl(VYRQBarChart* owner)
    : VYRQChartBaseImpl(owner, QStringLiteral("qtbarchart"))
    , q(owner)
{
}

QRectF VYRQBarChartImpl::plotRect(const QSize& size) const
{
    return vyr::chart::plotRect(size, margins, !series.isEmpty(), q->legendPosition());
}

int VYRQBarChartImpl::categoryCount() const
{
    return barCategoryCount(categories, series);
}

ValueRange VYRQBarChartImpl::valueRange() const
{
    return barValueRange(series);
}

bool VYRQBarChartImpl::hasValueAt(int category) const
{
    return std::any_of(series.begin(), series.end(), [category](const BarSeries& s) { return barHasValue(s, category); });
}

QVector<BarRect> VYRQBarChartImpl::layoutBars(const QRectF& plot, const ValueRange& range) const
{
    return vyr::chart::layoutBars(series, categoryCount(), plot, range, q->animationProgress(),
                                  q->theme().palette);
}

QVector<ChartLegendItem> VYRQBarChartImpl::legendItems(const QSize& size) const
{
    if (series.isEmpty())
        return {};
    const int position = q->legendPosition();
    const int labelSize = q->theme().labelFontSize;
    const QVector<ChartLegendItem> items = seriesLegendEntries(series, q->theme().palette);
    const QVector<double> advances = textAdvances(items, pixelFont(q->font(), labelSize));
    const double h = std::max(labelSize + 7, 18);
    return layoutLegend(items, advances, legendArea(plotRect(size), size, position), legendStacked(position),
                        LegendMetrics{h, 38, h + 6, h + 8});
}

QString VYRQBarChartImpl::categoryTooltip(int category) const
{
    return barCategoryTipText(series, vyr::chart::categoryLabel(categories, category), category);
}

QString VYRQBarChartImpl::barTooltip(int s, int category) const
{
    return barTipText(series, s, vyr::chart::categoryLabel(categories, category), category);
}

void VYRQBarChartImpl::resetHover()
{
    hovered = false;
    hoveredCategory = -1;
    hoveredSeries = -1;
    q->clearHoverTip();
}

bool VYRQBarChartImpl::clearHover()
{
    const bool was = hovered || hoveredCategory != -1 || hoveredSeries != -1;
    resetHover();
    return was;
}

bool VYRQBarChartImpl::updateHover(const QPoint& pos)
{
    const QRectF plot = plotRect(q->size());
    const int n = categoryCount();
    bool anyValue = false;
    for (int c = 0; c < n && !anyValue; ++c)
        anyValue = hasValueAt(c);
    if (!hoverEnabled || hoverMode == 0 || !anyValue || !plot.contains(pos))
        return clearHover();

    int category = -1;
    int seriesIndex = -1;
    QString tip;
    if (hoverMode == 2) {
        category = barCategoryAt(pos.x(), plot, n);
        if (!hasValueAt(category))
            return clearHover();
        if (tooltipEnabled)
            tip = categoryTooltip(category);
    } else {
        const QVector<BarRect> bars = layoutBars(plot, valueRange());
        const auto hit = std::find_if(bars.begin(), bars.end(), [&pos](const BarRect& bar) {
            return bar.rect.adjusted(-2, -2, 2, 2).contains(pos);
        });
        if (hit == bars.end())
            return clearHover();
        category = hit->categoryIndex;
        seriesIndex = hit->seriesIndex;
        if (tooltipEnabled)
            tip = barTooltip(seriesIndex, category);
    }
    const bool repaint = !(hovered && hoveredCategory == category && hoveredSeries == seriesIndex
                           && lastHoverPos == pos);
    hovered = true;
    hoveredCategory = category;
    hoveredSeries = seriesIndex;
    lastHoverPos = pos;
    if (tip.isEmpty())
        q->clearHoverTip();
    else
        q->setHoverTip(pos, tip);
    return repaint;
}

void VYRQBarChartImpl::toggleSeries(int index)
{
    BarSeries& s = series[index];
    s.visible = !s.visible;
    resetHover();
}

void VYRQBarChartImpl::paintContent(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    const QRectF plot = plotRect(size);
    const ValueRange range = valueRange();
    const QVector<BarRect> bars = layoutBars(plot, range);

    painter.setPen(Qt::NoPen);
    painter.setBrush(theme.plotBackground);
    painter.drawRect(plot);

    painter.setPen(QPen(theme.gridColor, 1.0));
    for (int i = 0; i <= 5; ++i) {
        const double y = plot.top() + plot.height() * i / 5;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setPen(QPen(theme.axisColor, 1.0));
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    const double zero = barValueToY(0, plot, range);
    painter.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));

    if (hoverEnabled && hovered && hoveredCategory >= 0 && hasValueAt(hoveredCategory)) {
        const double x = plot.left() + (hoveredCategory + 0.5) * plot.width() / categoryCount();
        painter.setPen(QPen(theme.pointerColor, 1.0, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }

    drawBars(painter, mergeDenseBars(bars, categoryCount(), plot, hovered ? hoveredCategory : -1));
    drawAxisLabels(painter, size, plot, range);
    drawLegend(painter, size);
}

void VYRQBarChartImpl::drawBars(QPainter& painter, const QVector<BarRect>& bars)
{
    const ChartTheme& theme = q->theme();
    for (const BarRect& bar : bars) {
        if (!(bar.rect.width() > 0) || !(bar.rect.height() > 0))
            continue;
        const bool barHot = hovered && hoverMode == 1 && bar.seriesIndex == hoveredSeries
            && bar.categoryIndex == hoveredCategory;
        const bool categoryHot = hovered && hoverMode == 2 && bar.categoryIndex == hoveredCategory;
        const BarSeries& s = series.at(bar.seriesIndex);
        const QColor border = s.borderColor.isValid() ? s.borderColor : bar.color.darker(120);
        painter.setBrush(barHot || categoryHot ? bar.color.lighter(115) : bar.color);
        painter.setPen(QPen(border, barHot ? 2.0 : 1.0));
        painter.drawRoundedRect(bar.rect, theme.barRadius, theme.barRadius);
    }
}

void VYRQBarChartImpl::drawAxisLabels(QPainter& painter, const QSize& size, const QRectF& plot,
                                      const ValueRange& range)
{
    const ChartTheme& theme = q->theme();
    painter.setPen(theme.textColor);
    painter.setFont(pixelFont(painter.font(), theme.titleFontSize, 75));
    painter.drawText(QRectF(0, 10, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);

    painter.setFont(pixelFont(painter.font(), theme.labelFontSize, 50));
    painter.setPen(theme.labelColor);
    for (int i = 0; i <= 5; ++i) {
        const double y = plot.top() + plot.height() * i / 5;
        painter.drawText(QRectF(4, y - 8, margins.left - 10, 16), Qt::AlignRight | Qt::AlignVCenter,
                         formatValue(levelValue(range.min, range.max, i, 5)));
    }
    const int n = categoryCount();
    const double slot = plot.width() / n;
    // More categories than pixels: one label per pixel column, the rest would only
    // pile up on it.
    double lastColumn = -qInf();
    for (int c = 0; c < n; ++c) {
        const double x = plot.left() + (c + 0.5) * slot;
        if (n > plot.width()) {
            if (std::floor(x) == lastColumn)
                continue;
            lastColumn = std::floor(x);
        }
        painter.drawText(QRectF(x - 34, plot.bottom() + 8, 68, 18), Qt::AlignCenter,
                         vyr::chart::categoryLabel(categories, c));
    }
}

void VYRQBarChartImpl::drawLegend(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    painter.setFont(pixelFont(q->font(), theme.labelFontSize));
    for (const ChartLegendItem& item : legendItems(size)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(item.visible ? item.color : item.color.lighter(160));
        painter.drawRoundedRect(QRectF(item.rect.left(), item.rect.top() + 3, 12, 12), 3, 3);
        drawLegendText(painter, item, theme.labelColor, item.text);
    }
}

// ---------------------------------------------------------------------------
// VYRQBarChart

VYRQBarChart::VYRQBarChart(QWidget* parent)
    : VYRQChartControl(parent)
{
    initDemoData();
}

VYRQBarChart::~VYRQBarChart() = default;

ControlInfo VYRQBarChart::getProps()
{
    return chartInfo("BarChart", "OpenGL Bar Chart", "columnChart");
}

void VYRQBarChart::setTitle(const QString& title)
{
    impl()->title = title;
    update();
}

void VYRQBarChart::setCategories(const QStringList& categories)
{
    impl()->categories = categories;
    update();
}

void VYRQBarChart::setSeries(const QVector<BarSeries>& series)
{
    impl()->series = series;
    replayAnimation();
}

void VYRQBarChart::setSingleSeries(const QString& name, const QVector<double>& values, const QColor& color)
{
    BarSeries s;
    s.name = name;
    s.values = values;
    s.color = color;
    impl()->series = {s};
    replayAnimation();
}

void VYRQBarChart::setHoverEnabled(bool enabled)
{
    impl()->hoverEnabled = enabled;
    if (!enabled)
        impl()->resetHover();
    update();
}

void VYRQBarChart::setHoverMode(int mode)
{
    impl()->hoverMode = mode;
    if (mode == 0)
        impl()->resetHover();
    update();
}

void VYRQBarChart::setTooltipEnabled(bool enabled)
{
    impl()->tooltipEnabled = enabled;
    if (!enabled)
        clearHoverTip();
}

void VYRQBarChart::initDemoData()
{
    impl()->categories = demoCategories();
    impl()->tooltipEnabled = false;
    impl()->hoverMode = 0;
    setThemeIndex(0);
    setBackgroundColor(QColor());
    setSingleSeries(QStringLiteral("Data"), {120, 200, 150, 80, 70, 110, 130}, QColor());
}

#include "moc_VYRQBarChart.cpp"
