#pragma once
// Helpers of the chart widget tests: a chart at a fixed size drawn complete, its
// frame rendered into an image, and mouse events sent straight to it.

#include "controls_testutil.h"
#include "testaccess.h"

#include "VYRQChartBase.h"
#include "VYRQChartBaseImpl.h"

namespace chart {

// Sized and with the entry animation off, so that every frame is drawn complete.
template <class Chart>
void settle(Chart& chart, const QSize& size = QSize(500, 300))
{
    chart.setAnimationEnabled(false);
    chart.resize(size);
}

template <class Chart>
QImage frame(Chart& chart)
{
    return vyrtest::impl(chart)->renderImage();
}

inline void move(QWidget& w, const QPoint& pos)
{
    ctl::mouse(w, QEvent::MouseMove, pos, Qt::NoButton);
}

inline void click(QWidget& w, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
{
    ctl::mouse(w, QEvent::MouseButtonPress, pos, button);
    ctl::mouse(w, QEvent::MouseButtonRelease, pos, button);
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 3)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// Pixels of exactly one colour (alpha ignored) in the image.
inline int count(const QImage& image, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (color.rgb() & 0xFFFFFF);
    return n;
}

} // namespace chart

#define VERIFY_NEAR(actual, expected)                                                                       \
    QVERIFY2(chart::near(actual, expected), qPrintable(QStringLiteral("%1 is not near %2")                \
                                                           .arg((actual).name(), (expected).name())))
