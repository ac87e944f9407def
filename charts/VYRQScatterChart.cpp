#include "VYRQScatterChart.h"

#include "VYRQScatterChartImpl.h"

#include <QMouseEvent>
#include <QPainter>

using namespace vyr::chart;

// ---------------------------------------------------------------------------
// VYRQScatterChartImpl

VYRQScatterChartImpl::VYRQScatterChartImpl(VYRQScatterChart* owner)
    : VYRQChartBaseImpl(owner, QStringLiteral("qtscatterchart"))
    , q(owner)
{
}

QRectF VYRQScatterChartImpl::plotRect(const QSize& size) const
{
    return vyr::chart::plotRect(size, margins, !series.isEmpty(), q->legendPosition());
}

ScatterRange VYRQScatterChartImpl::dataRange() const
{
    return scatterRange(series);
}

ScatterHit VYRQScatterChartImpl::hitTest(const QPoint& pos, const QRectF& plot, const ScatterRange& range) const
{
    return scatterHitTest(series, pos, plot, range, q->animationProgress());
}

QString VYRQScatterChartImpl::pointTooltip(int s, int point) const
{
    return scatterTipText(series, s, point);
}

QVector<ChartLegendItem> VYRQScatterChartImpl::legendItems(const QSize& size) const
{
    if (series.isEmpty())
        return {};
    const int position = q->legendPosition();
    const QVector<ChartLegendItem> items = seriesLegendEntries(series, q->theme().palette);
    return layoutLegend(items, textAdvances(items, pixelFont(q->font(), 11)),
                        legendArea(plotRect(size), size, position), legendStacked(position),
                        LegendMetrics{18, 36, 24, 26});
}

void VYRQScatterChartImpl::resetHover()
{
    hovered = false;
    hoveredSeries = -1;
    hoveredPoint = -1;
    q->clearHoverTip();
}

bool VYRQScatterChartImpl::clearHover()
{
    const bool was = hovered || hoveredSeries != -1 || hoveredPoint != -1;
    resetHover();
    return was;
}

bool VYRQScatterChartImpl::updateHover(const QPoint& pos)
{
    const QRectF plot = plotRect(q->size());
    if (!hoverEnabled || hoverMode == 0 || !scatterHasPoints(series) || !plot.contains(pos))
        return clearHover();
    const ScatterHit hit = hitTest(pos, plot, dataRange());
    if (!hit.found)
        return clearHover();
    const bool repaint = !(hovered && hoveredSeries == hit.seriesIndex && hoveredPoint == hit.pointIndex
                           && lastHoverPos == pos);
    hovered = true;
    hoveredSeries = hit.seriesIndex;
    hoveredPoint = hit.pointIndex;
    lastHoverPos = pos;
    if (tooltipEnabled)
        q->setHoverTip(pos, pointTooltip(hit.seriesIndex, hit.pointIndex));
    else
        q->clearHoverTip();
    return repaint;
}

void VYRQScatterChartImpl::toggleSeries(int index)
{
    ScatterSeries& s = series[index];
    s.visible = !s.visible;
    resetHover();
}

void VYRQScatterChartImpl::paintContent(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    const QRectF plot = plotRect(size);
    const ScatterRange range = dataRange();
    painter.fillRect(QRect(QPoint(0, 0), size), q->backgroundColor());

    painter.setPen(Qt::NoPen);
    painter.setBrush(theme.plotBackground);
    painter.drawRect(plot);

    painter.setPen(QPen(theme.gridColor, 1.0));
    for (int i = 0; i <= 5; ++i) {
        const double y = plot.top() + plot.height() * i / 5;
        const double x = plot.left() + plot.width() * i / 5;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter.setPen(QPen(theme.axisColor, 1.0));
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    drawPoints(painter, plot, range);
    drawAxisLabels(painter, size, plot, range);
    drawLegend(painter, size);
}

void VYRQScatterChartImpl::drawPoints(QPainter& painter, const QRectF& plot, const ScatterRange& range)
{
    const ChartTheme& theme = q->theme();
    const double progress = q->animationProgress();
    const auto markerRadius = [progress](double size) { return (progress * 0.45 + 0.55) * size * 0.5; };
    for (int s = 0; s < series.size(); ++s) {
        const ScatterSeries& one = series.at(s);
        if (!one.visible)
            continue;
        const QColor color = seriesColor(one.color, theme.palette, s);
        const double radius = markerRadius(one.pointSize);
        const int hot = hovered && hoveredSeries == s ? hoveredPoint : -1;
        if (radius > 0) {
            // Markers are drawn only where they do not overlap one drawn before, so a
            // dense cloud costs what the area it covers does.
            markerCentres.fill(QPointF(qInf(), qInf()), one.points.size());
            for (int j = 0; j < one.points.size(); ++j) {
                if (j != hot && scatterPointUsable(one.points.at(j)))
                    markerCentres[j] = scatterPointAt(one.points.at(j), plot, range, progress);
            }
            const QRectF bounds = plot.adjusted(-radius - 2, -radius - 2, radius + 2, radius + 2);
            painter.setPen(QPen(color, 1.4));
            painter.setBrush(theme.plotBackground);
            for (int j : spacedMarkers(markerCentres, 2 * radius, bounds))
                painter.drawEllipse(markerCentres.at(j), radius, radius);
        }
        if (hot >= 0 && hot < one.points.size() && scatterPointUsable(one.points.at(hot))) {
            const double hotRadius = markerRadius(one.pointSize + 2.5);
            if (hotRadius > 0) {
                painter.setPen(QPen(color, 2.2));
                painter.setBrush(color);
                painter.drawEllipse(scatterPointAt(one.points.at(hot), plot, range, progress), hotRadius, hotRadius);
            }
        }
    }
}

void VYRQScatterChartImpl::drawAxisLabels(QPainter& painter, const QSize& size, const QRectF& plot,
                                          const ScatterRange& range)
{
    const ChartTheme& theme = q->theme();
    painter.setPen(theme.textColor);
    painter.setFont(pixelFont(painter.font(), 16, 75));
    painter.drawText(QRectF(0, 10, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);

    painter.setFont(pixelFont(painter.font(), 11, 50));
    painter.setPen(theme.labelColor);
    for (int i = 0; i <= 5; ++i) {
        const double y = plot.top() + plot.height() * i / 5;
        painter.drawText(QRectF(4, y - 8, margins.left - 10, 16), Qt::AlignRight | Qt::AlignVCenter,
                         formatValue(levelValue(range.y.min, range.y.max, i, 5)));
        const double x = plot.left() + plot.width() * i / 5;
        painter.drawText(QRectF(x - 28, plot.bottom() + 8, 56, 18), Qt::AlignCenter,
                         formatValue(levelValue(range.x.max, range.x.min, i, 5)));
    }
}

void VYRQScatterChartImpl::drawLegend(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    painter.setFont(pixelFont(q->font(), 11));
    for (const ChartLegendItem& item : legendItems(size)) {
        const QColor swatch = item.visible ? item.color : item.color.lighter(160);
        painter.setPen(QPen(swatch, 1.4));
        painter.setBrush(item.visible ? swatch : theme.plotBackground);
        painter.drawEllipse(QRectF(item.rect.left(), item.rect.top() + 3, 12, 12));
        drawLegendText(painter, item, theme.labelColor, item.text);
    }
}

// ---------------------------------------------------------------------------
// VYRQScatterChart

VYRQScatterChart::VYRQScatterChart(QWidget* parent)
    : VYRQChartControl(parent)
{
    initDemoData();
}

VYRQScatterChart::~VYRQScatterChart() = default;

ControlInfo VYRQScatterChart::getProps()
{
    return chartInfo("ScatterChart", "OpenGL Scatter Chart", "columnChart");
}

void VYRQScatterChart::setTitle(const QString& title)
{
    impl()->title = title;
    update();
}

void VYRQScatterChart::setSeries(const QVector<ScatterSeries>& series)
{
    impl()->series = series;
    impl()->resetHover();
    replayAnimation();
}

void VYRQScatterChart::initDemoData()
{
    ScatterSeries a;
    a.name = QStringLiteral("Series A");
    a.points = {{8, 15}, {12, 24}, {18, 31}, {25, 40}, {32, 28}};
    a.pointSize = 8;
    ScatterSeries b;
    b.name = QStringLiteral("Series B");
    b.points = {{10, 8}, {16, 14}, {22, 19}, {30, 26}, {36, 21}};
    b.pointSize = 10;
    setThemeIndex(0);
    setBackgroundColor(QColor());
    impl()->series = {a, b};
    replayAnimation();
}

#include "moc_VYRQScatterChart.cpp"
