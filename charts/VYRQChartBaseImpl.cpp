#include "VYRQChartBaseImpl.h"

#include "VYRQChartBase.h"
#include "VYRQChartMath.h"

#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>

#include <algorithm>
#include <cmath>

#ifndef GL_MULTISAMPLE
#define GL_MULTISAMPLE 0x809D
#endif

VYRQChartBaseImpl::VYRQChartBaseImpl(VYRQChartBase* chart, const QString& typeKey)
    : VYRQWidgetBaseImpl(chart, typeKey)
    , m_chart(chart)
{
}

VYRQChartBaseImpl::~VYRQChartBaseImpl() = default;

void VYRQChartBaseImpl::initializeGL()
{
    initializeOpenGLFunctions();
    // A reparented widget gets a new context; buffers of the old one go with it.
    QObject::connect(m_chart->context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        m_chart->makeCurrent();
        releaseGL();
        m_chart->doneCurrent();
    });
}

void VYRQChartBaseImpl::prepareFrame(const QSize&)
{
}

void VYRQChartBaseImpl::releaseGL()
{
}

void VYRQChartBaseImpl::paint()
{
    m_drawingOnGl = true;
    prepareFrame(m_chart->size());
    const double ratio = m_chart->devicePixelRatioF();
    glViewport(0, 0, int(std::lround(m_chart->width() * ratio)), int(std::lround(m_chart->height() * ratio)));
    const QColor background = m_chart->backgroundColor();
    glClearColor(float(background.redF()), float(background.greenF()), float(background.blueF()),
                 float(background.alphaF()));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_MULTISAMPLE);
    glDisable(GL_DEPTH_TEST);

    {
        QPainter painter(m_chart);
        paintFrame(painter, m_chart->size());
    }
    m_drawingOnGl = false;
}

void VYRQChartBaseImpl::paintFrame(QPainter& painter, const QSize& size)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (smoothPixmaps())
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    paintContent(painter, size);
    m_chart->drawHoverTip(&painter);
}

QImage VYRQChartBaseImpl::renderImage()
{
    QImage image(m_chart->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(m_chart->backgroundColor());
    QPainter painter(&image);
    painter.setFont(m_chart->font());
    paintFrame(painter, m_chart->size());
    return image;
}

QFont VYRQChartBaseImpl::pixelFont(QFont font, int pixelSize, int weight)
{
    font.setPixelSize(std::max(pixelSize, 1));
    if (weight >= 0)
        font.setWeight(weight);
    return font;
}

QVector<double> VYRQChartBaseImpl::textAdvances(const QVector<ChartLegendItem>& items, const QFont& font)
{
    const QFontMetricsF metrics(font);
    QVector<double> advances;
    advances.reserve(items.size());
    for (const ChartLegendItem& item : items)
        advances.append(metrics.horizontalAdvance(item.text));
    return advances;
}

bool VYRQChartBaseImpl::pressAt(const QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton)
        return false;
    const QVector<ChartLegendItem> items = legendItems(m_chart->size());
    const int hit = vyr::chart::legendItemAt(items, event.localPos());
    if (hit < 0)
        return false;
    toggleSeries(items.at(hit).seriesIndex);
    return true;
}

QVector<ChartLegendItem> VYRQChartBaseImpl::legendItems(const QSize&) const
{
    return {};
}

void VYRQChartBaseImpl::toggleSeries(int)
{
}

bool VYRQChartBaseImpl::dragTo(const QMouseEvent&)
{
    return false;
}

void VYRQChartBaseImpl::releaseAt(const QMouseEvent&)
{
}

void VYRQChartBaseImpl::drawLegendText(QPainter& painter, const ChartLegendItem& item, const QColor& labelColor,
                                       const QString& text)
{
    painter.setPen(item.visible ? labelColor : labelColor.lighter(145));
    painter.drawText(QRectF(item.rect.left() + 18, item.rect.top(), item.rect.width() - 18, item.rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
}
