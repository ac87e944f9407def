#include "ChartDataZoom.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

void ChartDataZoom::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_start = 0.0;
        m_end = 1.0;
        m_dragMode = NoDrag;
    }
}

void ChartDataZoom::setRange(double start, double end)
{
    m_start = start;
    m_end = end;
    normalize();
}

void ChartDataZoom::setCount(int count)
{
    m_count = std::max(count, 1);
}

void ChartDataZoom::normalize()
{
    // NaN would pass every comparison below unchanged; it counts as the track's end.
    if (std::isnan(m_start))
        m_start = 0.0;
    if (std::isnan(m_end))
        m_end = 1.0;
    m_start = std::clamp(m_start, 0.0, 1.0);
    m_end = std::clamp(m_end, 0.0, 1.0);
    if (m_start > m_end)
        std::swap(m_start, m_end);
    if (m_end - m_start < m_minSpan) {
        if (m_dragMode == StartHandle) {
            m_start = std::max(0.0, m_end - m_minSpan);
            return;
        }
        m_end = std::min(1.0, m_start + m_minSpan);
        if (m_end - m_start < m_minSpan)
            m_start = std::max(0.0, m_end - m_minSpan);
    }
}

void ChartDataZoom::visibleRange(int n, int& first, int& last) const
{
    if (m_enabled && n >= 2) {
        first = std::clamp(int(std::floor(m_start * (n - 1))), 0, n - 1);
        last = std::max(first, std::min(n - 1, int(std::ceil(m_end * (n - 1)))));
        return;
    }
    first = 0;
    last = n - 1;
}

QRectF ChartDataZoom::sliderRect(const QRectF& plot, double gap) const
{
    if (!m_enabled || m_count < 2)
        return QRectF();
    return QRectF(plot.left(), plot.bottom() + gap, plot.width(), m_height);
}

QRectF ChartDataZoom::windowRect(const QRectF& slider) const
{
    if (slider.isEmpty())
        return QRectF();
    const double x1 = slider.left() + slider.width() * m_start;
    const double x2 = slider.left() + slider.width() * m_end;
    return QRectF(x1, slider.top(), std::max(x2 - x1, 1.0), slider.height());
}

double ChartDataZoom::fractionAt(double x, const QRectF& slider) const
{
    if (slider.isEmpty())
        return 0.0;
    return std::clamp((x - slider.left()) / std::max(slider.width(), 1.0), 0.0, 1.0);
}

bool ChartDataZoom::beginDrag(const QPoint& pos, const QRectF& slider)
{
    m_dragMode = NoDrag;
    if (slider.isEmpty())
        return false;
    const QRectF w = windowRect(slider);
    const QRectF startGrip(w.left() - 8, w.top() - 6, 16, w.height() + 12);
    const QRectF endGrip(w.right() - 8, w.top() - 6, 16, w.height() + 12);
    const QRectF windowGrip = w.adjusted(0, -6, 0, 6);
    if (startGrip.contains(pos))
        m_dragMode = StartHandle;
    else if (endGrip.contains(pos))
        m_dragMode = EndHandle;
    else if (windowGrip.contains(pos))
        m_dragMode = Window;
    else
        return false;
    m_pressPos = pos;
    m_pressStart = m_start;
    m_pressEnd = m_end;
    return true;
}

bool ChartDataZoom::dragTo(const QPoint& pos, const QRectF& slider)
{
    if (m_dragMode == NoDrag || slider.isEmpty())
        return false;
    switch (m_dragMode) {
    case StartHandle:
        m_start = std::min(fractionAt(pos.x(), slider), m_end - m_minSpan);
        break;
    case EndHandle:
        m_end = std::max(m_start + m_minSpan, fractionAt(pos.x(), slider));
        break;
    default: {
        const double delta = (pos.x() - m_pressPos.x()) / std::max(slider.width(), 1.0);
        double s = m_pressStart + delta;
        double e = m_pressEnd + delta;
        if (s < 0) {
            s = 0;
            e = m_pressEnd - m_pressStart;
        }
        if (e > 1) {
            e = 1;
            s = 1 - (m_pressEnd - m_pressStart);
        }
        m_end = e;
        m_start = s;
        break;
    }
    }
    normalize();
    return true;
}

QString ChartDataZoom::labelAt(int index) const
{
    if (m_labelFormatter)
        return m_labelFormatter(index);
    if (index >= 0 && index < m_categories.size())
        return m_categories.at(index);
    return QStringLiteral("Item %1").arg(qint64(index) + 1);
}

void ChartDataZoom::paint(QPainter* painter, const QRectF& slider, bool withLabels) const
{
    if (!painter || slider.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_trackColor);
    painter->drawRoundedRect(slider, m_radius, m_radius);

    const QRectF w = windowRect(slider);
    painter->setBrush(m_rangeColor);
    painter->drawRoundedRect(w, m_radius, m_radius);
    painter->setPen(QPen(m_borderColor, 1.2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(w, m_radius, m_radius);

    painter->setPen(Qt::NoPen);
    painter->setBrush(m_handleColor);
    for (const double x : {w.left(), w.right()}) {
        const QRectF handle(x - m_handleWidth / 2, w.top() - m_handleOverhang, m_handleWidth,
                            w.height() + 2 * m_handleOverhang);
        painter->drawRoundedRect(handle, m_handleWidth / 2, m_handleWidth / 2);
    }

    if (withLabels) {
        QFont font = painter->font();
        font.setPixelSize(m_labelFontSize);
        painter->setFont(font);
        painter->setPen(m_labelColor);
        int first = 0;
        int last = 0;
        visibleRange(m_count, first, last);
        const double top = slider.bottom() + m_labelGap;
        painter->drawText(QRectF(slider.left(), top, 120, m_labelHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          labelAt(first));
        painter->drawText(QRectF(slider.right() - 120, top, 120, m_labelHeight), Qt::AlignRight | Qt::AlignVCenter,
                          labelAt(last));
    }
    painter->restore();
}
