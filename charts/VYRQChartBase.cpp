#include "VYRQChartBase.h"

#include "VYRQChartMath.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <QSurfaceFormat>
#include <QVariantAnimation>

#include <algorithm>

VYRQChartBase::VYRQChartBase(QWidget* parent)
    : QOpenGLWidget(parent)
    , m_theme(chartThemeByIndex(0))
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSamples(4);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    setFormat(format);

    m_animation = new QVariantAnimation(this);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(m_animationDuration);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        setProgress(value.toDouble());
        update();
    });
}

VYRQChartBase::~VYRQChartBase() = default;

void VYRQChartBase::setTheme(const ChartTheme& theme)
{
    m_themeIndex = 0;
    m_theme = theme;
    onThemeChanged();
    update();
}

void VYRQChartBase::setThemeIndex(int index)
{
    m_themeIndex = index;
    m_theme = chartThemeByIndex(index);
    onThemeChanged();
    update();
}

QColor VYRQChartBase::backgroundColor() const
{
    return m_backgroundOverride.isValid() ? m_backgroundOverride : m_theme.background;
}

void VYRQChartBase::setBackgroundColor(const QColor& color)
{
    m_backgroundOverride = color;
    onThemeChanged();
    update();
}

void VYRQChartBase::setLegendPosition(int position)
{
    if (position == m_legendPosition)
        return;
    m_legendPosition = position;
    update();
}

void VYRQChartBase::setAnimationEnabled(bool enabled)
{
    m_animationEnabled = enabled;
    if (!enabled) {
        m_animation->stop();
        m_animationProgress = 1.0;
    }
    onAnimationSettingsChanged();
    update();
}

void VYRQChartBase::setAnimationDuration(int ms)
{
    m_animationDuration = std::max(ms, 0);
    m_animation->setDuration(m_animationDuration);
    onAnimationSettingsChanged();
}

void VYRQChartBase::replayAnimation()
{
    if (m_animationEnabled) {
        m_animation->stop();
        m_animation->setDuration(m_animationDuration);
        // The animation reports no value when it restarts from the value it stopped
        // at; the chart starts over from nothing all the same.
        setProgress(0.0);
        m_animation->start();
        update();
        return;
    }
    setProgress(1.0);
    update();
}

void VYRQChartBase::setProgress(double progress)
{
    m_animationProgress = progress;
    onAnimationProgress();
}

void VYRQChartBase::setHoverTip(const QPoint& pos, const QString& text)
{
    m_hoverTipPos = pos;
    m_hoverTipText = text;
    update();
}

void VYRQChartBase::clearHoverTip()
{
    if (m_hoverTipText.isEmpty())
        return;
    m_hoverTipText.clear();
    update();
}

void VYRQChartBase::drawHoverTip(QPainter* painter)
{
    if (!painter || m_hoverTipText.isEmpty())
        return;
    painter->save();
    QFont font = painter->font();
    font.setPixelSize(std::max(m_theme.tipFontSize, 1));
    painter->setFont(font);
    const QFontMetrics metrics(font);

    const QStringList lines = m_hoverTipText.split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QSize size(widest + 20, std::max(int(lines.size()), 1) * metrics.lineSpacing() + 16);
    const QRect box = vyr::chart::tipRect(m_hoverTipPos, size, rect());

    // The tip follows the theme's own background, not an override of it.
    const bool dark = m_theme.background.lightness() < 140;
    const QColor fill = dark ? QColor(18, 38, 40, 210) : QColor(255, 255, 255, 218);
    const QColor border = dark ? QColor(58, 112, 112, 205) : QColor(198, 207, 222, 218);
    const QColor text = dark ? QColor(239, 243, 250) : m_theme.textColor;

    painter->setPen(QPen(border, 1.0, Qt::SolidLine));
    painter->setBrush(fill);
    painter->drawRoundedRect(QRectF(box), 8, 8);
    painter->setPen(text);
    for (int i = 0; i < lines.size(); ++i)
        painter->drawText(QPointF(box.left() + 10, box.top() + 8 + metrics.ascent() + i * metrics.lineSpacing()),
                          lines.at(i));
    painter->restore();
}

// A repaint asked for while the chart was hidden is dropped, and Qt composes the
// frame buffer of a widget that becomes visible as it was last drawn: without a
// frame now, the chart would show the data it had when it was hidden.
void VYRQChartBase::showEvent(QShowEvent* event)
{
    QOpenGLWidget::showEvent(event);
    update();
}

void VYRQChartBase::onThemeChanged()
{
}

void VYRQChartBase::onAnimationSettingsChanged()
{
}

void VYRQChartBase::onAnimationProgress()
{
}

#include "moc_VYRQChartBase.cpp"
