#include "controls_testutil.h"

#include "ChartDataZoom.h"

#include <QPainter>
#include <QRandomGenerator>

#include <cmath>

using Range = QPair<double, double>;

namespace {

// A 500-pixel track from x 0, 18 high at y 100.
const QRectF track(0, 100, 500, 18);

ChartDataZoom zoomOf(double start, double end)
{
    ChartDataZoom zoom;
    zoom.setEnabled(true);
    zoom.setCount(10);
    zoom.setRange(start, end);
    return zoom;
}

bool valid(const ChartDataZoom& zoom)
{
    return zoom.start() >= 0 && zoom.start() <= zoom.end() && zoom.end() <= 1
        && zoom.end() - zoom.start() >= zoom.minSpan() - 1e-12;
}

} // namespace

class tst_DataZoom : public QObject {
    Q_OBJECT

private slots:
    void ranges_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        QTest::addColumn<Range>("stored");
        QTest::newRow("reversed") << 0.9 << 0.2 << Range(0.2, 0.9);
        QTest::newRow("outside the track") << 1.5 << -3.0 << Range(0, 1);
        QTest::newRow("too narrow at the right end") << 0.995 << 1.0 << Range(0.98, 1.0);
        QTest::newRow("too narrow inside") << 0.5 << 0.5 << Range(0.5, 0.52);
        QTest::newRow("not numbers") << std::nan("") << std::nan("") << Range(0, 1);
    }
    void ranges()
    {
        QFETCH(double, start);
        QFETCH(double, end);
        QFETCH(Range, stored);
        ChartDataZoom zoom;
        zoom.setRange(start, end);
        QCOMPARE(zoom.start(), stored.first);
        QCOMPARE(zoom.end(), stored.second);
    }

    // At mid height, 7 pixels left of the window's left edge is the start handle; 5
    // above the window top, away from both edges, is the window; 9 left is nothing.
    void grips_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("mode");
        QTest::newRow("start handle") << QPoint(100 - 7, 109) << int(ChartDataZoom::StartHandle);
        QTest::newRow("end handle") << QPoint(300 + 7, 109) << int(ChartDataZoom::EndHandle);
        QTest::newRow("window above") << QPoint(200, 95) << int(ChartDataZoom::Window);
        QTest::newRow("left of everything") << QPoint(100 - 9, 109) << int(ChartDataZoom::NoDrag);
    }
    void grips()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, mode);
        ChartDataZoom zoom = zoomOf(0.2, 0.6);
        QCOMPARE(zoom.beginDrag(pos, track), mode != ChartDataZoom::NoDrag);
        QCOMPARE(int(zoom.dragMode()), mode);
        QVERIFY(!zoom.beginDrag(pos, QRectF()));
    }

    void drags_data()
    {
        QTest::addColumn<Range>("window");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<int>("toX");
        QTest::addColumn<Range>("result");
        QTest::newRow("start handle past the end") << Range(0.2, 0.6) << QPoint(100, 109) << 450 << Range(0.58, 0.6);
        QTest::newRow("end handle past the start") << Range(0.2, 0.6) << QPoint(300, 109) << 10 << Range(0.2, 0.22);
        QTest::newRow("end handle beyond the track") << Range(0.2, 0.6) << QPoint(300, 109) << 900 << Range(0.2, 1.0);
        QTest::newRow("pan right at the end") << Range(0.55, 1.0) << QPoint(400, 109) << 480 << Range(0.55, 1.0);
        QTest::newRow("pan far left") << Range(0.55, 1.0) << QPoint(400, 109) << -2000 << Range(0.0, 0.45);
        QTest::newRow("pan a little") << Range(0.2, 0.4) << QPoint(150, 109) << 200 << Range(0.3, 0.5);
    }
    void drags()
    {
        QFETCH(Range, window);
        QFETCH(QPoint, press);
        QFETCH(int, toX);
        QFETCH(Range, result);
        ChartDataZoom zoom = zoomOf(window.first, window.second);
        QVERIFY(zoom.beginDrag(press, track));
        QVERIFY(zoom.dragTo(QPoint(toX, 300), track));
        QVERIFY(qAbs(zoom.start() - result.first) < 1e-9);
        QVERIFY(qAbs(zoom.end() - result.second) < 1e-9);
        zoom.endDrag();
        QVERIFY(!zoom.isDragging());
        QVERIFY(!zoom.dragTo(QPoint(0, 0), track));
    }

    // Whatever the drag, the window stays ordered, inside the track and wide enough.
    void invariantUnderAnyDrag()
    {
        QRandomGenerator random(2024);
        ChartDataZoom zoom = zoomOf(0.3, 0.7);
        for (int i = 0; i < 2000; ++i) {
            const QRectF w = zoom.windowRect(track);
            const double x = i % 3 == 0 ? w.left() : i % 3 == 1 ? w.right() : w.center().x();
            QVERIFY(zoom.beginDrag(QPoint(int(x), 109), track));
            for (int k = 0; k < 4; ++k) {
                zoom.dragTo(QPoint(random.bounded(-3000, 3000), random.bounded(-50, 300)), track);
                QVERIFY2(valid(zoom), qPrintable(QStringLiteral("%1..%2").arg(zoom.start()).arg(zoom.end())));
            }
            zoom.endDrag();
        }
    }

    void visibleCategories_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("count");
        QTest::addColumn<Range>("window");
        QTest::addColumn<QPoint>("firstLast");
        QTest::newRow("ten, right part") << true << 10 << Range(0.55, 1.0) << QPoint(4, 9);
        QTest::newRow("ten, narrow") << true << 10 << Range(0.5, 0.52) << QPoint(4, 5);
        QTest::newRow("off") << false << 10 << Range(0.55, 1.0) << QPoint(0, 9);
        QTest::newRow("one category") << true << 1 << Range(0.55, 1.0) << QPoint(0, 0);
        QTest::newRow("none") << true << 0 << Range(0.55, 1.0) << QPoint(0, -1);
    }
    void visibleCategories()
    {
        QFETCH(bool, enabled);
        QFETCH(int, count);
        QFETCH(Range, window);
        QFETCH(QPoint, firstLast);
        ChartDataZoom zoom;
        zoom.setEnabled(true);
        zoom.setRange(window.first, window.second);
        zoom.setEnabled(enabled);
        int first = -7;
        int last = -7;
        zoom.visibleRange(count, first, last);
        QCOMPARE(QPoint(first, last), firstLast);
    }

    // Switching off mid-drag ends the drag and shows everything; fewer than two
    // categories hide the slider.
    void switchingOff()
    {
        ChartDataZoom zoom = zoomOf(0.55, 1.0);
        QVERIFY(zoom.beginDrag(QPoint(400, 109), track));
        zoom.setEnabled(false);
        QVERIFY(!zoom.isDragging());
        QCOMPARE(zoom.start(), 0.0);
        QCOMPARE(zoom.end(), 1.0);
        QVERIFY(zoom.sliderRect(QRectF(0, 0, 500, 80), 42).isEmpty());
        zoom.setEnabled(true);
        QCOMPARE(zoom.sliderRect(QRectF(0, 0, 500, 80), 42), QRectF(0, 122, 500, 18));
        zoom.setCount(1);
        QVERIFY(zoom.sliderRect(QRectF(0, 0, 500, 80), 42).isEmpty());
        QCOMPARE(zoom.fractionAt(-20, track), 0.0);
        QCOMPARE(zoom.fractionAt(620, track), 1.0);
        QCOMPARE(zoom.fractionAt(125, track), 0.25);
    }

    // Track, window and handles in their colours.
    void looks()
    {
        ChartDataZoom zoom = zoomOf(0.4, 0.6);
        QImage image(520, 160, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        zoom.paint(&painter, track, false);
        painter.end();
        QCOMPARE(ctl::pixel(image, 50, 109), QColor(231, 237, 247));
        QCOMPARE(ctl::pixel(image, 200, 98), QColor(37, 99, 235));
        const QColor window = ctl::pixel(image, 250, 109);
        QVERIFY2(window.blue() > window.red() + 10 && window.red() < 231, qPrintable(window.name()));
        QCOMPARE(ctl::pixel(image, 250, 60), QColor(Qt::white));
    }
};

VYR_TEST_SUITE(tst_DataZoom, 0)
#include "tst_datazoom.moc"
