#include "VYRQFinancialChart.h"

#include "VYRQFinancialChartImpl.h"
#include "VYRQFinancialDemoData.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace vyr::chart;

namespace {

// The slider sits this far below the plot.
constexpr double sliderGap = 42;
// The width of a moving average's line.
constexpr double averagePen = 1.5;

} // namespace

// ---------------------------------------------------------------------------
// VYRQFinancialChartImpl

VYRQFinancialChartImpl::VYRQFinancialChartImpl(VYRQFinancialChart* owner)
    : VYRQChartBaseImpl(owner, QStringLiteral("qtfinancialchart"))
    , q(owner)
{
}

FinancialData VYRQFinancialChartImpl::data() const
{
    return FinancialData{viewMode, candles, pricePoints, movingAveragesVisible, maPeriods};
}

QRectF VYRQFinancialChartImpl::plotRect(const QSize& size) const
{
    const double bottom = zoom.isEnabled() ? marginBottom + 44 : marginBottom;
    return QRectF(marginLeft, marginTop, std::max(double(size.width() - marginRight - marginLeft), 1.0),
                  std::max(size.height() - marginTop - bottom, 1.0));
}

int VYRQFinancialChartImpl::recordCount() const
{
    return viewMode == 1 ? pricePoints.size() : candles.size();
}

int VYRQFinancialChartImpl::firstVisibleIndex() const
{
    int first = 0;
    int last = 0;
    zoom.visibleRange(recordCount(), first, last);
    return first;
}

int VYRQFinancialChartImpl::lastVisibleIndex() const
{
    int first = 0;
    int last = 0;
    zoom.visibleRange(recordCount(), first, last);
    return last;
}

ValueRange VYRQFinancialChartImpl::valueRange() const
{
    return financialValueRange(data(), firstVisibleIndex(), lastVisibleIndex());
}

QPointF VYRQFinancialChartImpl::pointFor(int index, double value, const QRectF& plot, const ValueRange& range) const
{
    return financialPointFor(index, value, plot, firstVisibleIndex(), lastVisibleIndex(), range);
}

bool VYRQFinancialChartImpl::movingAverage(int index, int period, double& out) const
{
    return vyr::chart::movingAverage(candles, index, period, out);
}

QColor VYRQFinancialChartImpl::maColor(int k) const
{
    return movingAverageColor(k, maColors, q->theme().palette);
}

QString VYRQFinancialChartImpl::recordTooltip(int index) const
{
    return financialTipText(data(), index);
}

QString VYRQFinancialChartImpl::recordLabel(int index) const
{
    if (index < 0 || index >= recordCount())
        return QStringLiteral("Item %1").arg(qint64(index) + 1);
    return viewMode == 1 ? pricePoints.at(index).label : candles.at(index).label;
}

QRectF VYRQFinancialChartImpl::zoomSlider(const QSize& size)
{
    zoom.setCount(recordCount());
    return zoom.sliderRect(plotRect(size), sliderGap);
}

void VYRQFinancialChartImpl::resetHover()
{
    hovered = false;
    hoveredIndex = -1;
    q->clearHoverTip();
}

bool VYRQFinancialChartImpl::clearHover()
{
    const bool was = hovered;
    resetHover();
    return was;
}

bool VYRQFinancialChartImpl::updateHover(const QPoint& pos)
{
    const int n = recordCount();
    if (!hoverEnabled || hoverMode == 0 || !tooltipEnabled || n == 0)
        return clearHover();
    const QRectF plot = plotRect(q->size());
    if (!plot.adjusted(-8, -8, 8, 8).contains(pos))
        return clearHover();
    const int index = financialRecordAt(pos.x(), plot, firstVisibleIndex(), lastVisibleIndex());
    if (index >= n)
        return clearHover();
    const bool repaint = !(hovered && hoveredIndex == index && lastHoverPos == pos);
    hovered = true;
    hoveredIndex = index;
    lastHoverPos = pos;
    q->setHoverTip(pos, recordTooltip(index));
    return repaint;
}

bool VYRQFinancialChartImpl::pressAt(const QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return false;
    if (!zoom.beginDrag(event.pos(), zoomSlider(q->size())))
        return false;
    resetHover();
    return true;
}

bool VYRQFinancialChartImpl::dragTo(const QMouseEvent& event)
{
    if (!zoom.isDragging())
        return false;
    if (!zoom.dragTo(event.pos(), zoomSlider(q->size())))
        return false;
    resetHover();
    return true;
}

void VYRQFinancialChartImpl::releaseAt(const QMouseEvent& event)
{
    if (event.button() == Qt::LeftButton)
        zoom.endDrag();
}

void VYRQFinancialChartImpl::paintContent(QPainter& painter, const QSize& size)
{
    const ChartTheme& theme = q->theme();
    const QRectF plot = plotRect(size);
    // The averages are drawn from the same runs the range is taken over.
    const FinancialData records = data();
    shownMovingAverages(records, firstVisibleIndex(), lastVisibleIndex(), averageRuns, averageCloses);
    const ValueRange range = financialValueRange(records, firstVisibleIndex(), lastVisibleIndex(), averageRuns);
    // Prices fuzzy-equal to their range's ends are placed on an axis of span 1 and
    // may land far outside the widget; the painter gets nothing beyond this.
    drawable = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(-8, -8, 8, 8);

    painter.setPen(Qt::NoPen);
    painter.setBrush(theme.plotBackground);
    painter.drawRoundedRect(plot, 6, 6);

    painter.setPen(QPen(theme.gridColor, 1.0));
    for (int i = 0; i <= 4; ++i) {
        const double y = plot.top() + plot.height() * i / 4;
        const double x = plot.left() + plot.width() * i / 4;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    drawAxes(painter, plot, range);

    if (recordCount() == 0) {
        painter.setPen(theme.labelColor);
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No financial data"));
    } else if (viewMode == 0) {
        drawCandles(painter, plot, range);
        drawMovingAverages(painter, plot, range);
        drawMovingAverageLabels(painter, plot);
    } else if (viewMode == 1) {
        drawPriceLines(painter, plot, range);
    } else {
        drawVolumeBars(painter, plot);
    }
    drawCrosshair(painter, plot, range);

    painter.setFont(pixelFont(painter.font(), 16, 75));
    painter.setPen(theme.textColor);
    painter.drawText(QRectF(0, 14, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);

    const QRectF slider = zoomSlider(size);
    zoom.setLabelFormatter([this](int index) { return recordLabel(index); });
    zoom.setLabelColor(theme.labelColor);
    if (!slider.isEmpty())
        zoom.paint(&painter, slider, true);
}

void VYRQFinancialChartImpl::drawAxes(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    const ChartTheme& theme = q->theme();
    painter.setPen(QPen(theme.axisColor, 1.1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.setPen(theme.labelColor);
    for (int i = 0; i <= 4; ++i) {
        const double y = plot.top() + plot.height() * i / 4;
        painter.drawText(QRectF(4, y - 8, marginLeft - 10, 16), Qt::AlignRight | Qt::AlignVCenter,
                         formatValue(levelValue(range.min, range.max, i, 4)));
    }
    const int first = firstVisibleIndex();
    const int last = lastVisibleIndex();
    const int step = financialLabelStep(first, last);
    for (int i = first; i <= last; i += step) {
        const double x = pointFor(i, range.min, plot, range).x();
        const QString label = i >= 0 && i < recordCount() ? recordLabel(i) : QStringLiteral("Item %1").arg(i + 1);
        painter.drawText(QRectF(x - 42, plot.bottom() + 8, 84, 18), Qt::AlignCenter, label);
    }
}

void VYRQFinancialChartImpl::drawCandles(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    if (candles.isEmpty())
        return;
    const int first = firstVisibleIndex();
    const int last = lastVisibleIndex();
    const int m = std::max(last - first + 1, 1);
    const double slot = plot.width() / m;
    const double body = std::max(std::min(slot * 0.58, 18.0), 4.0);
    const double revealed = std::floor(m * q->animationProgress());
    const int drawnLast = int(std::min(double(last), first + revealed));
    const auto y = [&](double value) { return clampedY(pointFor(first, value, plot, range).y()); };

    // Closer than a device pixel, the candles of a column would each paint over the
    // same pixels; one candle per column with their extent costs a fraction.
    const double column = deviceColumn(painter);
    if (denserThan(plot, column)) {
        financialCandleColumns(candles, plot, first, last, drawnLast, column, candleColumns);
        // The raster engine fills an antialiased rectangle through its coverage
        // rasteriser, twenty times the cost of whole pixels, and the candles of a
        // thousand columns overlap five deep; the OpenGL engine multisamples a fill
        // at no extra cost but pays for each one.
        const bool wholePixels = fillsWholePixels(painter);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, !wholePixels);
        for (const FinancialColumnCandle& c : qAsConst(candleColumns))
            drawCandle(painter, c.x, y(c.high), y(c.low), y(c.open), y(c.close), body,
                       c.close >= c.open ? risingColor : fallingColor, wholePixels ? column : 0.0);
        painter.restore();
        return;
    }
    for (int i = first; i <= drawnLast && i < candles.size(); ++i) {
        const FinancialCandle& c = candles.at(i);
        if (!candleUsable(c))
            continue;
        drawCandle(painter, pointFor(i, c.high, plot, range).x(), y(c.high), y(c.low), y(c.open), y(c.close), body,
                   c.close >= c.open ? risingColor : fallingColor);
    }
}

double VYRQFinancialChartImpl::deviceColumn(const QPainter& painter)
{
    return 1.0 / std::max(painter.device() ? painter.device()->devicePixelRatioF() : 1.0, 1.0);
}

bool VYRQFinancialChartImpl::denserThan(const QRectF& plot, double column) const
{
    return plot.width() / std::max(lastVisibleIndex() - firstVisibleIndex(), 1) < column;
}

bool VYRQFinancialChartImpl::fillsWholePixels(const QPainter& painter)
{
    return !painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::OpenGL2;
}

void VYRQFinancialChartImpl::drawCandle(QPainter& painter, double x, double highY, double lowY, double openY,
                                        double closeY, double body, const QColor& color, double pixel)
{
    // The wick (a 1.3 pen with square caps) and the outlined body, drawn as the
    // two rectangles their strokes cover: the same pixels at far less cost.
    constexpr double pen = 1.3 / 2;
    const double wickTop = std::min(highY, lowY);
    const QRectF wick(x - pen, wickTop - pen, 2 * pen, std::abs(lowY - highY) + 2 * pen);
    const double top = std::min(openY, closeY);
    const QRectF bodyRect = QRectF(x - body / 2, top, body, std::max(std::max(openY, closeY) - top, 1.0))
                                .adjusted(-pen, -pen, pen, pen);
    if (pixel > 0) {
        // The opaque body, filled after the wick over the rows it covers whole, hides
        // the wick there: only the wick above and below those rows is filled.
        const double bodyTop = std::ceil(bodyRect.top() / pixel) * pixel;
        const double bodyBottom = std::floor(bodyRect.bottom() / pixel) * pixel;
        if (color.alpha() == 255 && bodyTop < bodyBottom) {
            const QRectF above(wick.topLeft(), QPointF(wick.right(), std::min(wick.bottom(), bodyTop)));
            const QRectF below(QPointF(wick.left(), std::max(wick.top(), bodyBottom)), wick.bottomRight());
            fillCoveredColumns(painter, above, color, pixel);
            fillCoveredColumns(painter, below, color, pixel);
        } else {
            fillCoveredColumns(painter, wick, color, pixel);
        }
        fillCoveredColumns(painter, bodyRect, color, pixel);
        return;
    }
    painter.fillRect(wick, color);
    painter.fillRect(bodyRect, color);
}

void VYRQFinancialChartImpl::drawMovingAverages(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    if (candles.isEmpty())
        return;
    const int first = firstVisibleIndex();
    const int last = lastVisibleIndex();
    // Closer than a pixel, a line zig-zags over each column, and the raster engine
    // strokes it as one outline with as many crossings, some fifty times the cost of
    // the frame; the OpenGL engine's multisampled stroke of it shows other pixels. The
    // coverage the raster engine would give each pixel is worked out column by column
    // instead, and handed to either engine as images.
    const QTransform toDevice = painter.deviceTransform();
    const bool ownCoverage = denserThan(plot, deviceColumn(painter)) && ChartStrokeCoverage::drawsWith(toDevice);
    if (ownCoverage)
        averageCoverage.begin(toDevice.mapRect(drawable).toAlignedRect());
    painter.setBrush(Qt::NoBrush);
    for (int k = 0; k < averageRuns.size(); ++k) {
        const QVector<double>& averages = averageRuns.at(k);
        if (maPeriods.at(k) < 1 || averages.isEmpty())
            continue;
        const auto average = [&](int i) { return averages.at(i - first); };
        collectLine(plot, range, first, last, first + averages.size(), average);
        const QPen pen(maColor(k), averagePen);
        painter.setPen(pen);
        const auto draw = [&](QVector<QPointF>& run) {
            if (!ownCoverage) {
                strokeInPieces(painter, run);
                return;
            }
            if (!toDevice.isIdentity()) {
                for (QPointF& p : run)
                    p = toDevice.map(p);
            }
            averageCoverage.addLine(run.constData(), run.size(), averagePen * toDevice.m11(), pen.color());
        };
        // Mostly the whole line lies within the widget: it is drawn as it is.
        const bool inside = std::all_of(linePoints.cbegin(), linePoints.cend(), [&](const QPointF& p) {
            return p.x() >= drawable.left() && p.x() <= drawable.right() && p.y() >= drawable.top()
                && p.y() <= drawable.bottom();
        });
        if (inside) {
            draw(linePoints);
        } else {
            for (QPolygonF& run : clipPolyline(QPolygonF(linePoints), drawable))
                draw(run);
        }
    }
    if (ownCoverage)
        averageCoverage.paint(painter);
}

void VYRQFinancialChartImpl::strokeInPieces(QPainter& painter, const QVector<QPointF>& points)
{
    vyr::chart::strokeInPieces(painter, points.constData(), points.size(), 32);
}

double VYRQFinancialChartImpl::clampedY(double y) const
{
    return std::clamp(y, drawable.top(), drawable.bottom());
}

template <class Value>
void VYRQFinancialChartImpl::collectLine(const QRectF& plot, const ValueRange& range, int first, int last, int count,
                                         Value value)
{
    linePoints.clear();
    const auto keep = [&](int i) { linePoints.append(financialPointFor(i, value(i), plot, first, last, range)); };
    if (keepColumnExtremes(plot, first, last, count, value, keep))
        return;
    for (int i = std::max(first, 0); i <= last && i < count; ++i) {
        if (std::isfinite(value(i)))
            keep(i);
    }
}

void VYRQFinancialChartImpl::drawMovingAverageLabels(QPainter& painter, const QRectF& plot)
{
    if (viewMode != 0 || !movingAveragesVisible || maPeriods.isEmpty())
        return;
    painter.save();
    painter.setFont(pixelFont(painter.font(), 10));
    for (int k = 0; k < maPeriods.size(); ++k) {
        painter.setPen(maColor(k));
        painter.drawText(QRectF(plot.left() + 8 + 50 * k, plot.top() + 8, 46, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("MA%1").arg(maPeriods.at(k)));
    }
    painter.restore();
}

void VYRQFinancialChartImpl::drawPriceLines(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    if (pricePoints.isEmpty())
        return;
    const int first = firstVisibleIndex();
    const int last = lastVisibleIndex();
    const auto path = [&](double FinancialPricePoint::*field) {
        collectLine(plot, range, first, last, pricePoints.size(), [&](int i) { return pricePoints.at(i).*field; });
        QPainterPath line;
        for (const QPolygonF& run : clipPolyline(QPolygonF(linePoints), drawable)) {
            line.moveTo(run.first());
            for (int i = 1; i < run.size(); ++i)
                line.lineTo(run.at(i));
        }
        return line;
    };
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(priceLineColor, q->theme().lineWidth));
    painter.drawPath(path(&FinancialPricePoint::price));
    painter.setPen(QPen(averageLineColor, 1.6, Qt::DashLine));
    painter.drawPath(path(&FinancialPricePoint::average));
}

void VYRQFinancialChartImpl::drawVolumeBars(QPainter& painter, const QRectF& plot)
{
    const int first = firstVisibleIndex();
    const int last = lastVisibleIndex();
    double maxVolume = 1.0;
    for (int i = first; i <= last && i < candles.size(); ++i) {
        if (std::isfinite(candles.at(i).volume))
            maxVolume = std::max(maxVolume, candles.at(i).volume);
    }
    const int m = std::max(last - first + 1, 1);
    const double slot = plot.width() / m;
    const double width = std::max(std::min(slot * 0.58, 16.0), 3.0);
    painter.setPen(Qt::NoPen);
    const auto bar = [&](int i) {
        const FinancialCandle& c = candles.at(i);
        const double h = plot.height() * c.volume / maxVolume;
        const double left = plot.left() + (i - first + 0.5) * slot - width / 2;
        const double top = plot.bottom() - h;
        const double bottom = top + std::max(h, 1.0);
        if (!(bottom >= drawable.top() && top <= drawable.bottom()))
            return;
        QColor color = c.close >= c.open ? risingColor : fallingColor;
        color.setAlpha(190);
        painter.setBrush(color);
        painter.drawRect(QRectF(QPointF(left, clampedY(top)), QPointF(left + width, clampedY(bottom))));
    };
    // Far more bars than pixels: those of a half-pixel column lie on one another, and
    // its tallest, which the column's extremes include, covers what all of them do.
    const auto volume = [&](int i) { return candles.at(i).volume; };
    if (keepColumnExtremes(plot, first, last, candles.size(), volume, bar))
        return;
    for (int i = first; i <= last && i < candles.size(); ++i) {
        if (std::isfinite(candles.at(i).volume))
            bar(i);
    }
}

void VYRQFinancialChartImpl::drawCrosshair(QPainter& painter, const QRectF& plot, const ValueRange& range)
{
    if (!hovered || hoveredIndex < firstVisibleIndex() || hoveredIndex > lastVisibleIndex())
        return;
    double value = 0.0;
    if (viewMode == 1 && hoveredIndex < pricePoints.size())
        value = pricePoints.at(hoveredIndex).price;
    else if (viewMode != 1 && hoveredIndex < candles.size())
        value = candles.at(hoveredIndex).close;
    if (!std::isfinite(value))
        return;
    QPointF p = pointFor(hoveredIndex, value, plot, range);
    p.setY(clampedY(p.y()));
    painter.setPen(QPen(q->theme().pointerColor, 1.0, Qt::DashLine));
    painter.drawLine(QPointF(p.x(), plot.top()), QPointF(p.x(), plot.bottom()));
    painter.drawLine(QPointF(plot.left(), p.y()), QPointF(plot.right(), p.y()));
}

// ---------------------------------------------------------------------------
// VYRQFinancialChart

VYRQFinancialChart::VYRQFinancialChart(QWidget* parent)
    : VYRQChartControl(parent)
{
    setMinimumSize(480, 300);
    initDemoData();
}

VYRQFinancialChart::~VYRQFinancialChart() = default;

ControlInfo VYRQFinancialChart::getProps()
{
    return chartInfo("FinancialChart", "OpenGL Financial Chart", "columnChart");
}

void VYRQFinancialChart::setViewMode(int mode)
{
    impl()->viewMode = mode;
    impl()->resetHover();
    update();
}

void VYRQFinancialChart::setCandles(const QVector<FinancialCandle>& candles)
{
    impl()->candles = candles;
    impl()->resetHover();
    replayAnimation();
}

void VYRQFinancialChart::setPricePoints(const QVector<FinancialPricePoint>& points)
{
    impl()->pricePoints = points;
    impl()->resetHover();
    replayAnimation();
}

void VYRQFinancialChart::setZoomEnabled(bool enabled)
{
    impl()->zoom.setEnabled(enabled);
    impl()->resetHover();
    update();
}

void VYRQFinancialChart::setZoomRange(double start, double end)
{
    impl()->zoom.setRange(start, end);
    impl()->resetHover();
    update();
}

void VYRQFinancialChart::initDemoData()
{
    impl()->viewMode = 0;
    impl()->tooltipEnabled = true;
    impl()->hoverMode = 1;
    setThemeIndex(0);
    setBackgroundColor(QColor());
    setCandles(financialDemoCandles());
    setPricePoints(financialDemoPricePoints());
    setZoomEnabled(true);
    setZoomRange(0.55, 1.0);
}

#include "moc_VYRQFinancialChart.cpp"
