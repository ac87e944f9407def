#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

// A horizontal range slider that a category chart draws below its plot to show only
// a window of its categories: a track, the highlighted window between two handles,
// and the labels of the first and last category in view. A plain value held by the
// chart, which hands it the slider rectangle, the mouse and the painter.
// After every change 0 <= start <= end <= 1, and end - start >= minSpan wherever the
// track allows it.
class VYRQTLIB_EXPORT ChartDataZoom {
public:
    enum DragMode { NoDrag = 0, StartHandle = 1, EndHandle = 2, Window = 3 };

    // Switching off resets the window to 0..1 and ends any drag.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    double start() const { return m_start; }
    double end() const { return m_end; }
    double minSpan() const { return m_minSpan; }
    int count() const { return m_count; }
    void setRange(double start, double end);
    void setCount(int count);
    void setLabelColor(const QColor& color) { m_labelColor = color; }
    void setLabelFormatter(std::function<QString(int)> formatter) { m_labelFormatter = std::move(formatter); }
    void setCategories(const QStringList& categories) { m_categories = categories; }

    // The categories in view of a chart with n of them.
    void visibleRange(int n, int& first, int& last) const;

    // Empty (no slider shown) unless enabled with at least two categories.
    QRectF sliderRect(const QRectF& plot, double gap) const;
    QRectF windowRect(const QRectF& slider) const;
    double fractionAt(double x, const QRectF& slider) const;

    bool beginDrag(const QPoint& pos, const QRectF& slider);
    bool dragTo(const QPoint& pos, const QRectF& slider);
    void endDrag() { m_dragMode = NoDrag; }
    bool isDragging() const { return m_dragMode != NoDrag; }
    DragMode dragMode() const { return DragMode(m_dragMode); }

    QString labelAt(int index) const;
    void paint(QPainter* painter, const QRectF& slider, bool withLabels) const;
    void normalize();

private:
    bool m_enabled = false;
    double m_start = 0.0;
    double m_end = 1.0;
    double m_minSpan = 0.02;
    int m_count = 1;
    QColor m_trackColor = QColor(231, 237, 247);
    QColor m_rangeColor = QColor(37, 99, 235, 54);
    QColor m_borderColor = QColor(37, 99, 235);
    QColor m_handleColor = QColor(37, 99, 235);
    QColor m_labelColor = QColor(87, 103, 132);
    double m_height = 18.0;
    double m_radius = 4.0;
    double m_handleWidth = 6.0;
    double m_handleOverhang = 3.0;
    double m_labelGap = 4.0;
    double m_labelHeight = 16.0;
    int m_labelFontSize = 10;
    QStringList m_categories;
    std::function<QString(int)> m_labelFormatter;
    int m_dragMode = NoDrag;
    QPoint m_pressPos;
    double m_pressStart = 0.0;
    double m_pressEnd = 1.0;
};
