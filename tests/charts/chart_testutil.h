#pragma once
// Helpers of the chart widget tests: a chart at a fixed size drawn complete, its
// frame rendered into an image, and mouse events sent straight to it.

#include "controls_testutil.h"
#include "recordingdevice.h"
#include "testaccess.h"

#include "VYRQChartBase.h"
#include "VYRQChartBaseImpl.h"

#include <cmath>

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

// A paint device that keeps only what a frame hands the painter: the number of
// points (polygon corners and path elements) and the rectangle they span, so a test
// can bound the work of a frame and see that no coordinate runs off, and the number
// of shapes, those drawn antialiased apart, with the segments of the antialiased ones
// (their edges; a path's elements but its moves): the raster engine sends those
// through its coverage rasteriser, whose work grows with them. Texts and pixmaps are
// left out.
struct GeometryRecordingEngine : RecordingEngine {
    void updateState(const QPaintEngineState& state) override
    {
        RecordingEngine::updateState(state);
        if (state.state() & DirtyHints)
            antialiased = state.renderHints() & QPainter::Antialiasing;
    }
    void addShape()
    {
        ++shapes;
        antialiasedShapes += antialiased;
    }
    void add(const QPointF& p)
    {
        const QPointF at = transform.map(p);
        ++points;
        if (!std::isfinite(at.x()) || !std::isfinite(at.y())) {
            finite = false;
            return;
        }
        low = QPointF(std::min(low.x(), at.x()), std::min(low.y(), at.y()));
        high = QPointF(std::max(high.x(), at.x()), std::max(high.y(), at.y()));
    }
    void drawPolygon(const QPointF* p, int count, PolygonDrawMode mode) override
    {
        addShape();
        if (antialiased)
            antialiasedSegments += mode == PolylineMode ? count - 1 : count;
        for (int i = 0; i < count; ++i)
            add(p[i]);
    }
    void drawPath(const QPainterPath& path) override
    {
        addShape();
        for (int i = 0; i < path.elementCount(); ++i) {
            antialiasedSegments += antialiased && !path.elementAt(i).isMoveTo();
            add(path.elementAt(i));
        }
    }
    bool antialiased = false;
    qint64 shapes = 0;
    qint64 antialiasedShapes = 0;
    qint64 antialiasedSegments = 0;
    qint64 points = 0;
    bool finite = true;
    QPointF low{HUGE_VAL, HUGE_VAL};
    QPointF high{-HUGE_VAL, -HUGE_VAL};
};

class GeometryRecorder : public RecordingDevice<GeometryRecordingEngine> {
public:
    using RecordingDevice::RecordingDevice;
    qint64 points() const { return m_engine.points; }
    qint64 shapes() const { return m_engine.shapes; }
    qint64 antialiasedShapes() const { return m_engine.antialiasedShapes; }
    qint64 antialiasedSegments() const { return m_engine.antialiasedSegments; }
    // False once a coordinate was not a finite number.
    bool finite() const { return m_engine.finite; }
    // The rectangle the finite points span.
    QRectF extent() const { return QRectF(m_engine.low, m_engine.high); }
};

// What one frame of the chart hands the painter.
template <class Chart>
void record(Chart& chart, GeometryRecorder& device)
{
    QPainter painter(&device);
    vyrtest::impl(chart)->paintFrame(painter, chart.size());
}

} // namespace chart

#define VERIFY_NEAR(actual, expected)                                                                       \
    QVERIFY2(chart::near(actual, expected), qPrintable(QStringLiteral("%1 is not near %2")                \
                                                           .arg((actual).name(), (expected).name())))
