#include "VYRQOpenGLPieChart.h"

#include "VYRQChartMath.h"
#include "VYRQOpenGLPieChartImpl.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace vyr::chart;

// ---------------------------------------------------------------------------
// VYRQOpenGLPieChartImpl

VYRQOpenGLPieChartImpl::VYRQOpenGLPieChartImpl(VYRQOpenGLPieChart* owner)
    : VYRQChartBaseImpl(owner, QStringLiteral("qtopenglpiechart"))
    , q(owner)
{
}

QRectF VYRQOpenGLPieChartImpl::pieRect(const QSize& size) const
{
    return vyr::chart::pieRect(size, q->legendPosition(), !title.isEmpty());
}

QRectF VYRQOpenGLPieChartImpl::legendArea(const QSize& size) const
{
    return pieLegendArea(size, pieRect(size), q->legendPosition(), !slices.isEmpty(), !title.isEmpty());
}

QVector<SliceArc> VYRQOpenGLPieChartImpl::sliceArcs() const
{
    return vyr::chart::sliceArcs(slices, q->animationProgress(), q->theme().palette, pieRect(q->size()).width() / 2,
                                 q->theme().axisColor);
}

QVector<ChartLegendItem> VYRQOpenGLPieChartImpl::legendItems(const QSize& size) const
{
    const QFontMetricsF metrics(pixelFont(q->font(), 11));
    const auto advance = [&](int i) { return metrics.horizontalAdvance(pieLegendText(slices, i)); };
    return pieLegendItems(slices, advance, legendArea(size), q->legendPosition(), q->theme().palette, size.height());
}

int VYRQOpenGLPieChartImpl::sliceAt(const QPoint& pos, const QRectF& pie) const
{
    return vyr::chart::sliceAt(pos, pie, holeRatio, sliceArcs());
}

void VYRQOpenGLPieChartImpl::resetHover()
{
    hovered = false;
    hoveredSlice = -1;
    q->clearHoverTip();
}

bool VYRQOpenGLPieChartImpl::clearHover()
{
    const bool was = hovered;
    resetHover();
    return was;
}

bool VYRQOpenGLPieChartImpl::updateHover(const QPoint& pos)
{
    if (!hoverEnabled)
        return clearHover();
    const int slice = sliceAt(pos, pieRect(q->size()));
    if (slice < 0)
        return clearHover();
    const bool repaint = !(hovered && hoveredSlice == slice && lastHoverPos == pos);
    hovered = true;
    hoveredSlice = slice;
    lastHoverPos = pos;
    if (tooltipEnabled)
        q->setHoverTip(pos, sliceTipText(slices, slice));
    else
        q->clearHoverTip();
    return repaint;
}

void VYRQOpenGLPieChartImpl::toggleSeries(int index)
{
    PieSlice& slice = slices[index];
    slice.visible = !slice.visible;
    resetHover();
}

void VYRQOpenGLPieChartImpl::paintContent(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    painter.fillRect(QRect(QPoint(0, 0), size), q->backgroundColor());

    painter.setPen(theme.textColor);
    painter.setFont(pixelFont(painter.font(), 16, 75));
    painter.drawText(QRectF(0, 10, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);

    const QRectF pie = pieRect(size);
    const QVector<SliceArc> arcs = sliceArcs();
    // A square of no size would be normalised and drawn by Qt; it stays empty here.
    if (pieDrawable(pie)) {
        painter.setPen(Qt::NoPen);
        for (const SliceArc& arc : arcs) {
            const bool hot = hovered && arc.sliceIndex == hoveredSlice;
            painter.setBrush(hot ? arc.color.lighter(115) : arc.color);
            painter.drawPie(pie, int(std::lround((90 - arc.startAngle) * 16)), int(std::lround(-arc.sweep * 16)));
        }
        if (holeRatio > 0) {
            const double d = pie.width() * holeRatio;
            painter.setBrush(theme.plotBackground);
            painter.drawEllipse(pie.center(), d / 2, d / 2);
        }
        if (labelsVisible && !arcs.isEmpty())
            drawLabels(painter, pie, arcs);
    }
    drawLegend(painter, size);
}

void VYRQOpenGLPieChartImpl::drawLabels(QPainter& painter, const QRectF& pie, const QVector<SliceArc>& arcs)
{
    painter.setFont(pixelFont(painter.font(), 11));
    const double total = sliceTotal(slices);
    for (const SliceArc& arc : arcs) {
        const SliceLabelGeometry g = sliceLabelGeometry(pie.center(), pie.width() / 2, arc.middleAngle);
        painter.setPen(QPen(arc.color.darker(110), 1.2));
        painter.drawLine(g.inner, g.elbow);
        painter.drawLine(g.elbow, QPointF(g.right ? g.rect.left() : g.rect.right(), g.elbow.y()));
        const double percent = total > 0 ? arc.value / total * 100 : 0.0;
        painter.setPen(q->theme().labelColor);
        const QString name = arc.sliceIndex >= 0 ? slices.at(arc.sliceIndex).name : QStringLiteral("Other");
        painter.drawText(g.rect, Qt::AlignVCenter | (g.right ? Qt::AlignLeft : Qt::AlignRight),
                         QStringLiteral("%1  %2%").arg(name, formatValue(percent)));
    }
}

void VYRQOpenGLPieChartImpl::drawLegend(QPainter& painter, const QSize& size)
{
    const QVector<ChartLegendItem> items = legendItems(size);
    const ChartTheme& theme = q->theme();
    painter.setFont(pixelFont(painter.font(), 11, 50));
    for (const ChartLegendItem& item : items) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(item.visible ? item.color : item.color.lighter(160));
        painter.drawEllipse(QRectF(item.rect.left(), item.rect.top() + 3, 12, 12));
        drawLegendText(painter, item, theme.labelColor,
                       QStringLiteral("%1  %2").arg(item.text, formatValue(slices.at(item.seriesIndex).value)));
    }
}

// ---------------------------------------------------------------------------
// VYRQOpenGLPieChart

VYRQOpenGLPieChart::VYRQOpenGLPieChart(QWidget* parent)
    : VYRQChartControl(parent)
{
    initDemoData();
}

VYRQOpenGLPieChart::~VYRQOpenGLPieChart() = default;

ControlInfo VYRQOpenGLPieChart::getProps()
{
    return chartInfo("PieChart", "OpenGL Pie Chart", "pieChart");
}

void VYRQOpenGLPieChart::setTitle(const QString& title)
{
    impl()->title = title;
    update();
}

void VYRQOpenGLPieChart::setSlices(const QVector<PieSlice>& slices)
{
    if (!impl()->slices.isSharedWith(slices))
        impl()->slices = slices;
    replayAnimation();
}

void VYRQOpenGLPieChart::setHoleRatio(double ratio)
{
    // NaN is no ratio at all: no hole.
    impl()->holeRatio = std::isnan(ratio) ? 0.0 : std::clamp(ratio, 0.0, 0.8);
    update();
}

void VYRQOpenGLPieChart::setLabelsVisible(bool visible)
{
    impl()->labelsVisible = visible;
    update();
}

void VYRQOpenGLPieChart::setHoverEnabled(bool enabled)
{
    impl()->hoverEnabled = enabled;
    if (!enabled)
        impl()->resetHover();
    update();
}

void VYRQOpenGLPieChart::setTooltipEnabled(bool enabled)
{
    impl()->tooltipEnabled = enabled;
    if (!enabled)
        clearHoverTip();
}

void VYRQOpenGLPieChart::initDemoData()
{
    const auto slice = [](const char* name, double value) { return PieSlice{QString::fromLatin1(name), value, QColor(), true}; };
    impl()->slices = {slice("Search Engine", 1048), slice("Direct", 735), slice("Email", 580), slice("Union Ads", 484),
                      slice("Video Ads", 300)};
    setThemeIndex(0);
    setBackgroundColor(QColor());
    replayAnimation();
}

#include "moc_VYRQOpenGLPieChart.cpp"
