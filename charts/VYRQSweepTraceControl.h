#pragma once

// The operations both sweep-trace charts share, on top of the control mixin: plain
// translucent widgets that paint only their trace over what lies behind them.

#include "VYRQControl.h"
#include "VYRQSweepTraceImpl.h"

#include <QPointF>
#include <QWidget>

template <class Derived, class Impl>
class VYRQSweepTraceControl : public VYRQControl<Derived, QWidget, Impl> {
    using Base = VYRQControl<Derived, QWidget, Impl>;

public:
    explicit VYRQSweepTraceControl(QWidget* parent)
        : Base(parent)
    {
        m_trace = this->impl();
        this->setAttribute(Qt::WA_TranslucentBackground, true);
        this->setBackgroundRole(QPalette::NoRole);
        this->setAutoFillBackground(false);
    }

    // Appends a point in widget coordinates and repaints.
    void addData(float x, float y)
    {
        m_trace->points.append(QPointF(x, y));
        this->update();
    }
    void clearData() { m_trace->points.clear(); }
    int dataSize() const { return m_trace->points.size(); }
    // (0, 0) for an index outside the trace.
    QPointF getAt(int index) const
    {
        return index >= 0 && index < m_trace->points.size() ? m_trace->points.at(index) : QPointF();
    }
    void popBack()
    {
        if (!m_trace->points.isEmpty())
            m_trace->points.removeLast();
    }
    void popFront()
    {
        if (!m_trace->points.isEmpty())
            m_trace->points.removeFirst();
    }
    void setLineColor(const QColor& top, const QColor& bottom)
    {
        m_trace->lineTopColor = top;
        m_trace->lineBottomColor = bottom;
    }
    void setLineWeight(float weight) { m_trace->lineWeight = weight; }
    float getLineWeight() const { return m_trace->lineWeight; }
    // Keeps the control as it looks now as the previous pass. A new pass is
    // swapData, clearData, then the new points from the left.
    void swapData() { m_trace->swapData(); }

private:
    VYRQSweepTraceImpl* m_trace = nullptr;
};
