#include "VYRQLineChart.h"

#include "VYRQLineChartImpl.h"

#include <QMouseEvent>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLPaintDevice>
#include <QOpenGLTextureBlitter>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace vyr::chart;

// ---------------------------------------------------------------------------
// VYRQLineChartImpl

// Everything the drawn series depend on.
struct LayerKey {
    QSize pixels;
    QRectF plot;
    double ratio = 0;
    double rangeMin = 0;
    double rangeMax = 0;
    double progress = 0;
    quint64 revision = 0;
    bool hovered = false;
    int hoveredCategory = -1;
    int hoveredSeries = -1;
    int hoverMode = 0;
    int categories = 0;
    bool showPoints = false;
    bool smooth = false;
    bool areaFill = false;
    QVector<QColor> palette;
    QColor plotBackground;
    double lineWidth = 0;
    double pointRadius = 0;
    double hoverPointRadius = 0;

    bool operator==(const LayerKey& o) const
    {
        return pixels == o.pixels && plot == o.plot && ratio == o.ratio && rangeMin == o.rangeMin
            && rangeMax == o.rangeMax && progress == o.progress && revision == o.revision && hovered == o.hovered
            && hoveredCategory == o.hoveredCategory && hoveredSeries == o.hoveredSeries
            && hoverMode == o.hoverMode && categories == o.categories && showPoints == o.showPoints
            && smooth == o.smooth && areaFill == o.areaFill && palette == o.palette
            && plotBackground == o.plotBackground && lineWidth == o.lineWidth && pointRadius == o.pointRadius
            && hoverPointRadius == o.hoverPointRadius;
    }
};

struct VYRQLineChartImpl::SeriesLayer {
    std::unique_ptr<QOpenGLFramebufferObject> canvas;   // multisampled, drawn into
    std::unique_ptr<QOpenGLFramebufferObject> texture;  // resolved, drawn from
    QOpenGLTextureBlitter blitter;
    LayerKey key;
    bool valid = false;
    LayerKey lastFrame;  // what the series of the previous frame depended on
};

VYRQLineChartImpl::VYRQLineChartImpl(VYRQLineChart* owner)
    : VYRQChartBaseImpl(owner, QStringLiteral("qtlinechart"))
    , q(owner)
{
}

VYRQLineChartImpl::~VYRQLineChartImpl() = default;

void VYRQLineChartImpl::releaseGL()
{
    if (layer && layer->blitter.isCreated())
        layer->blitter.destroy();
    layer.reset();
}

void VYRQLineChartImpl::prepareFrame(const QSize& size)
{
    const ChartTheme& theme = q->theme();
    const double ratio = q->devicePixelRatioF();
    const ValueRange range = valueRange();
    LayerKey key;
    key.pixels = QSize(int(std::lround(size.width() * ratio)), int(std::lround(size.height() * ratio)));
    key.plot = plotRect(size);
    key.ratio = ratio;
    key.rangeMin = range.min;
    key.rangeMax = range.max;
    key.progress = q->animationProgress();
    key.revision = seriesRevision;
    key.hovered = hovered;
    key.hoveredCategory = hoveredCategory;
    key.hoveredSeries = hoveredSeries;
    key.hoverMode = hoverMode;
    key.categories = categoryCount();
    key.showPoints = showPoints;
    key.smooth = smooth;
    key.areaFill = areaFill;
    key.palette = theme.palette;
    key.plotBackground = theme.plotBackground;
    key.lineWidth = theme.lineWidth;
    key.pointRadius = theme.pointRadius;
    key.hoverPointRadius = theme.hoverPointRadius;
    if (layer && layer->valid && layer->key == key)
        return;
    if (!layer)
        layer = std::make_unique<SeriesLayer>();
    layer->valid = false;
    // Series that change from frame to frame (an entry animation, live data) are
    // drawn straight away; the layer pays off from the second frame that is alike.
    const bool steady = layer->lastFrame == key;
    layer->lastFrame = key;
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!steady || !context || key.pixels.isEmpty())
        return;
    if (!layer->canvas || layer->canvas->size() != key.pixels) {
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        format.setSamples(4);
        layer->canvas = std::make_unique<QOpenGLFramebufferObject>(key.pixels, format);
        layer->texture = std::make_unique<QOpenGLFramebufferObject>(key.pixels);
    }
    if (!layer->blitter.isCreated() && !layer->blitter.create())
        return;
    if (!layer->canvas->isValid() || !layer->texture->isValid())
        return;

    layer->canvas->bind();
    QOpenGLFunctions* gl = context->functions();
    gl->glViewport(0, 0, key.pixels.width(), key.pixels.height());
    gl->glClearColor(0, 0, 0, 0);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    {
        QOpenGLPaintDevice device(key.pixels);
        device.setDevicePixelRatio(ratio);
        QPainter painter(&device);
        painter.setRenderHint(QPainter::Antialiasing, true);
        drawAllSeries(painter, key.plot, range);
    }
    layer->canvas->release();
    QOpenGLFramebufferObject::blitFramebuffer(layer->texture.get(), layer->canvas.get());
    layer->key = key;
    layer->valid = true;
}

int VYRQLineChartImpl::categoryCount() const
{
    return lineCategoryCount(categories, series);
}

QString VYRQLineChartImpl::categoryLabel(int i) const
{
    return vyr::chart::categoryLabel(categories, i);
}

QColor VYRQLineChartImpl::seriesColor(const LineSeries& s, int index) const
{
    return vyr::chart::seriesColor(s.color, q->theme().palette, index);
}

QRectF VYRQLineChartImpl::plotRect(const QSize& size) const
{
    QRectF plot = vyr::chart::plotRect(size, margins, !series.isEmpty(), q->legendPosition());
    if (title.isEmpty())
        plot.setTop(std::max(plot.top() - kUntitledBand, 0.0));
    return plot;
}

ValueRange VYRQLineChartImpl::valueRange() const
{
    return lineValueRange(series, 0, lastVisible());
}

QVector<PlotPoint> VYRQLineChartImpl::seriesPoints(int index, const QRectF& plot, const ValueRange& range) const
{
    return lineSeriesPoints(series.at(index), plot, 0, lastVisible(), range, q->animationProgress());
}

QVector<ChartLegendItem> VYRQLineChartImpl::legendItems(const QSize& size) const
{
    if (series.isEmpty())
        return {};
    const int position = q->legendPosition();
    QRectF area = legendArea(plotRect(size), size, position);
    if (position == 0 && title.isEmpty())
        area.translate(0, -kUntitledBand);
    const int labelSize = q->theme().labelFontSize;
    const QVector<ChartLegendItem> items = seriesLegendEntries(series, q->theme().palette);
    const QVector<double> advances = textAdvances(items, pixelFont(q->font(), labelSize));
    const double h = std::max(labelSize + 7, 18);
    return layoutLegend(items, advances, area, legendStacked(position), LegendMetrics{h, 38, h + 6, h + 8});
}

bool VYRQLineChartImpl::anyValueAt(int category) const
{
    for (const LineSeries& s : series) {
        if (s.visible && category >= 0 && category < s.values.size() && std::isfinite(s.values.at(category)))
            return true;
    }
    return false;
}

bool VYRQLineChartImpl::hasVisibleValues() const
{
    for (const LineSeries& s : series) {
        if (s.visible && std::any_of(s.values.begin(), s.values.end(), [](double v) { return std::isfinite(v); }))
            return true;
    }
    return false;
}

void VYRQLineChartImpl::resetHover()
{
    hovered = false;
    hoveredCategory = -1;
    hoveredSeries = -1;
    hoveredPoint = QPointF();
    q->clearHoverTip();
}

bool VYRQLineChartImpl::clearHover()
{
    const bool was = hovered;
    resetHover();
    return was;
}

bool VYRQLineChartImpl::updateHover(const QPoint& pos)
{
    const QRectF plot = plotRect(q->size());
    if (!hoverEnabled || hoverMode == 0 || !hasVisibleValues() || !plot.contains(pos))
        return clearHover();

    const int last = lastVisible();
    if (hoverMode == 2) {
        const int category = categoryAtX(pos.x(), plot, 0, last);
        if (!anyValueAt(category))
            return clearHover();
        const bool repaint = !(hovered && hoveredCategory == category && lastHoverPos == pos);
        hovered = true;
        hoveredCategory = category;
        hoveredSeries = -1;
        lastHoverPos = pos;
        const QString tip = tooltipEnabled ? categoryTipText(series, categoryLabel(category), category) : QString();
        if (tip.isEmpty())
            q->clearHoverTip();
        else
            q->setHoverTip(pos, tip);
        return repaint;
    }

    const ValueRange range = valueRange();
    QVector<QVector<PlotPoint>> points;
    points.reserve(series.size());
    for (int i = 0; i < series.size(); ++i)
        points.append(seriesPoints(i, plot, range));
    const NearestPointHit hit = nearestPoint(points, pos);
    if (!hit.found)
        return clearHover();
    const bool repaint = !(hovered && hoveredSeries == hit.seriesIndex && hoveredCategory == hit.categoryIndex
                           && lastHoverPos == pos);
    hovered = true;
    hoveredSeries = hit.seriesIndex;
    hoveredCategory = hit.categoryIndex;
    hoveredPoint = hit.point;
    lastHoverPos = pos;
    if (tooltipEnabled) {
        const LineSeries& s = series.at(hit.seriesIndex);
        q->setHoverTip(pos, pointTipText(s.name, categoryLabel(hit.categoryIndex),
                                                 s.values.at(hit.categoryIndex)));
    } else {
        q->clearHoverTip();
    }
    return repaint;
}

void VYRQLineChartImpl::toggleSeries(int index)
{
    LineSeries& s = series[index];
    s.visible = !s.visible;
    seriesChanged();
    resetHover();
}

void VYRQLineChartImpl::paintContent(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    const QRectF plot = plotRect(size);
    const ValueRange range = valueRange();

    // The frame starts cleared to the background; an opaque plot of that very colour
    // would paint the same pixels again.
    if (theme.plotBackground != q->backgroundColor() || !theme.plotBackground.isValid()
        || theme.plotBackground.alpha() != 255) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme.plotBackground);
        painter.drawRect(plot);
    }

    painter.setPen(QPen(theme.gridColor, 1.0));
    for (int k : valueLabelLevels(plot.height(), 5, 16)) {
        const double y = plot.top() + plot.height() * k / 5;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setPen(QPen(theme.axisColor, 1.0));
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    drawHoverPointer(painter, plot, range);
    if (drawingOnGl() && layer && layer->valid) {
        painter.beginNativePainting();
        QOpenGLFunctions* gl = QOpenGLContext::currentContext()->functions();
        gl->glEnable(GL_BLEND);
        gl->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        layer->blitter.bind();
        const QRect target(QPoint(0, 0), layer->key.pixels);
        layer->blitter.blit(layer->texture->texture(), QOpenGLTextureBlitter::targetTransform(target, target),
                            QOpenGLTextureBlitter::OriginBottomLeft);
        layer->blitter.release();
        painter.endNativePainting();
    } else {
        drawAllSeries(painter, plot, range);
    }
    drawLabels(painter, size, plot, range);
    drawLegend(painter, size);
}

void VYRQLineChartImpl::drawAllSeries(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    const int last = lastVisible();
    for (int i = 0; i < series.size(); ++i) {
        const LineSeries& s = series.at(i);
        if (!s.visible)
            continue;
        const bool reduced = lineDrawnPoints(s, plot, 0, last, range, q->animationProgress(), drawnPoints);
        drawSeries(painter, i, drawnPoints, reduced, plot, range);
    }
}

void VYRQLineChartImpl::drawHoverPointer(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    if (!hoverEnabled || !hovered || hoveredCategory < 0 || !anyValueAt(hoveredCategory))
        return;
    const ChartTheme& theme = q->theme();
    const int last = lastVisible();
    const double x = linePointAt(plot, hoveredCategory, 0, last, range.min, range).x();
    painter.setPen(QPen(theme.pointerColor, 1.0, Qt::DashLine));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    for (int i = 0; i < series.size(); ++i) {
        const LineSeries& s = series.at(i);
        if (!s.visible || hoveredCategory >= s.values.size() || !std::isfinite(s.values.at(hoveredCategory)))
            continue;
        if (hoverMode == 1 && i != hoveredSeries)
            continue;
        const QColor color = seriesColor(s, i);
        const double v = animatedValue(s.values.at(hoveredCategory), hoveredCategory, s.values.size(),
                                       q->animationProgress(), range.min);
        painter.setPen(QPen(color, 2.4));
        painter.setBrush(color);
        const double r = theme.hoverPointRadius;
        painter.drawEllipse(linePointAt(plot, hoveredCategory, 0, last, v, range), r, r);
    }
}

void VYRQLineChartImpl::drawSeries(QPainter& painter, int index, const QVector<PlotPoint>& points, bool reduced,
                                   const QRectF& plot, const ValueRange& range)
{
    if (points.isEmpty())
        return;
    const LineSeries& s = series.at(index);
    const ChartTheme& theme = q->theme();
    const QColor color = seriesColor(s, index);

    QVector<QPointF>& drawn = drawnPositions;
    drawn.clear();
    drawn.reserve(points.size());
    for (const PlotPoint& p : points)
        drawn.append(p.pos);
    const QPainterPath path = linePath(drawn, smooth || s.smooth);

    if (areaFill || s.areaFill) {
        QPainterPath area = path;
        area.lineTo(drawn.last().x(), plot.bottom());
        area.lineTo(drawn.first().x(), plot.bottom());
        area.closeSubpath();
        QColor fill = s.areaColor.isValid() ? s.areaColor : color;
        fill.setAlphaF(std::clamp(s.areaOpacity, 0.0, 1.0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawPath(area);
    }

    const double width = std::max(s.lineWidth > 0 ? s.lineWidth : theme.lineWidth, 1.0);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);

    if (!showPoints || !s.showPoints)
        return;
    // A reduced line gets its markers only at the points it keeps: the others would
    // be drawn thousands to a pixel, each hidden under the next.
    const bool hotSeries = hovered && (hoverMode == 2 || hoveredSeries == index);
    bool hotDrawn = false;
    const QPen plain(color, 1.8);
    painter.setPen(plain);
    painter.setBrush(theme.plotBackground);
    for (const PlotPoint& p : points) {
        if (hotSeries && hoveredCategory == p.category) {
            drawHotPoint(painter, p.pos, color);
            painter.setPen(plain);
            painter.setBrush(theme.plotBackground);
            hotDrawn = true;
            continue;
        }
        painter.drawEllipse(p.pos, theme.pointRadius, theme.pointRadius);
    }
    if (reduced && hotSeries && !hotDrawn && hoveredCategory >= 0 && hoveredCategory < s.values.size()
        && std::isfinite(s.values.at(hoveredCategory))) {
        const double v = animatedValue(s.values.at(hoveredCategory), hoveredCategory, s.values.size(),
                                       q->animationProgress(), range.min);
        drawHotPoint(painter, linePointAt(plot, hoveredCategory, 0, lastVisible(), v, range), color);
    }
}

void VYRQLineChartImpl::drawHotPoint(QPainter& painter, const QPointF& pos, const QColor& color)
{
    const double r = q->theme().hoverPointRadius;
    painter.setPen(QPen(color, 2.4));
    painter.setBrush(color);
    painter.drawEllipse(pos, r, r);
}

void VYRQLineChartImpl::drawLabels(QPainter& painter, const QSize& size, const QRectF& plot,
                                   const ValueRange& range)
{
    const ChartTheme& theme = q->theme();
    painter.setPen(theme.textColor);
    painter.setFont(pixelFont(painter.font(), theme.titleFontSize, 75));
    painter.drawText(QRectF(0, 10, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);

    painter.setFont(pixelFont(painter.font(), theme.labelFontSize, 50));
    painter.setPen(theme.labelColor);
    for (int k : valueLabelLevels(plot.height(), 5, 16)) {
        const double y = plot.top() + plot.height() * k / 5;
        painter.drawText(QRectF(4, y - 8, margins.left - 10, 16), Qt::AlignRight | Qt::AlignVCenter,
                         formatValue(levelValue(range.min, range.max, k, 5)));
    }
    const int last = lastVisible();
    for (int i : categoryLabelIndices(0, last, plot.width())) {
        const double x = linePointAt(plot, i, 0, last, range.min, range).x();
        painter.drawText(QRectF(x - 34, plot.bottom() + 8, 68, 18), Qt::AlignCenter, categoryLabel(i));
    }
}

void VYRQLineChartImpl::drawLegend(QPainter& painter, const QSize& size)
{
    const QVector<ChartLegendItem> items = legendItems(size);
    if (items.isEmpty())
        return;
    const ChartTheme& theme = q->theme();
    painter.setFont(pixelFont(q->font(), theme.labelFontSize));
    for (const ChartLegendItem& item : items) {
        const QColor symbol = item.visible ? item.color : item.color.lighter(160);
        const double cy = item.rect.center().y();
        painter.setPen(QPen(symbol, 2.0));
        painter.drawLine(QPointF(item.rect.left(), cy), QPointF(item.rect.left() + 12, cy));
        painter.setBrush(item.visible ? symbol : theme.plotBackground);
        painter.drawEllipse(QPointF(item.rect.left() + 6, cy), 3.5, 3.5);
        drawLegendText(painter, item, theme.labelColor, item.text);
    }
}

// ---------------------------------------------------------------------------
// VYRQLineChart

VYRQLineChart::VYRQLineChart(QWidget* parent)
    : VYRQChartControl(parent)
{
    initDemoData();
}

VYRQLineChart::~VYRQLineChart() = default;

ControlInfo VYRQLineChart::getProps()
{
    return chartInfo("LineChart", "OpenGL Line Chart", "columnChart");
}

void VYRQLineChart::setTitle(const QString& title)
{
    impl()->title = title;
    update();
}

void VYRQLineChart::setCategories(const QStringList& categories)
{
    impl()->categories = categories;
    update();
}

void VYRQLineChart::setSeries(const QVector<LineSeries>& series)
{
    if (!impl()->series.isSharedWith(series)) {
        impl()->series = series;
        impl()->seriesChanged();
    }
    replayAnimation();
}

void VYRQLineChart::setSingleSeries(const QString& name, const QVector<double>& values, const QColor& color)
{
    LineSeries s;
    s.name = name;
    s.values = values;
    s.color = color;
    s.smooth = impl()->smooth;
    s.areaFill = impl()->areaFill;
    impl()->series = {s};
    impl()->seriesChanged();
    replayAnimation();
}

void VYRQLineChart::setHoverEnabled(bool enabled)
{
    impl()->hoverEnabled = enabled;
    if (!enabled)
        impl()->resetHover();
    update();
}

void VYRQLineChart::setHoverMode(int mode)
{
    impl()->hoverMode = mode;
    if (mode == 0)
        impl()->resetHover();
    update();
}

void VYRQLineChart::setTooltipEnabled(bool enabled)
{
    impl()->tooltipEnabled = enabled;
    if (!enabled)
        clearHoverTip();
}

void VYRQLineChart::initDemoData()
{
    impl()->categories = demoCategories();
    impl()->smooth = false;
    impl()->areaFill = false;
    impl()->tooltipEnabled = false;
    impl()->hoverMode = 0;
    setThemeIndex(0);
    setBackgroundColor(QColor());
    setSingleSeries(QStringLiteral("Data"), {150, 230, 224, 218, 135, 147, 260}, QColor());
}

#include "moc_VYRQLineChart.cpp"
