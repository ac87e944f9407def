#include "chart_hostiledata.h"
#include "chart_testutil.h"
#include "cputimer.h"
#include "textrecorder.h"
#include "testaccess.h"

#include "VYRQChartMath.h"
#include "VYRQOpenGLPieChart.h"
#include "VYRQOpenGLPieChartImpl.h"

#include <QtMath>

#include <cmath>

using chart::move;

namespace {

// The demo pie at 640 x 460 with the legend below: square (184, 68, 272, 272),
// centre (320, 204), radius 136; the first legend entry starts at (48, 364).
const QPointF centre(320, 204);
const QPoint firstLegendEntry(55, 372);

QPoint polar(double angle, double distance)
{
    const double a = qDegreesToRadians(angle);
    return (centre + QPointF(std::sin(a), -std::cos(a)) * distance).toPoint();
}

} // namespace

class tst_PieChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void holeRatioClamp_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("stored");
        QTest::newRow("inside") << 0.67 << 0.67;
        QTest::newRow("above") << 0.95 << 0.8;
        QTest::newRow("below") << -1.0 << 0.0;
        QTest::newRow("not a number") << std::nan("") << 0.0;
    }
    void holeRatioClamp()
    {
        QFETCH(double, ratio);
        QFETCH(double, stored);
        VYRQOpenGLPieChart pie;
        pie.setHoleRatio(ratio);
        QCOMPARE(vyrtest::impl(pie)->holeRatio, stored);
    }

    void hover_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("tip");
        QTest::newRow("first slice") << polar(60, 110) << "Search Engine\n1048 (33.3%)";
        QTest::newRow("last slice, just before 12 o'clock") << polar(355, 110) << "Video Ads\n300 (9.53%)";
        QTest::newRow("in the hole") << polar(60, 60) << "";
        QTest::newRow("outside") << polar(60, 140) << "";
    }
    void hover()
    {
        QFETCH(QPoint, pos);
        QFETCH(QString, tip);
        VYRQOpenGLPieChart pie;
        chart::settle(pie, QSize(640, 460));
        pie.setHoleRatio(0.67);
        move(pie, pos);
        QCOMPARE(pie.hoverTipText(), tip);
        QCOMPARE(vyrtest::impl(pie)->hovered, !tip.isEmpty());
        ctl::hover(pie, false);
        QVERIFY(!vyrtest::impl(pie)->hovered);
        QVERIFY(pie.hoverTipText().isEmpty());

        // Hover off ends a hover at once and ignores the mouse.
        move(pie, pos);
        pie.setHoverEnabled(false);
        QVERIFY(pie.hoverTipText().isEmpty());
        QCOMPARE(vyrtest::impl(pie)->hoveredSlice, -1);
        move(pie, pos);
        QVERIFY(!vyrtest::impl(pie)->hovered);
    }

    // Slices in their colours, the hovered one lighter, the hole in the plot colour.
    void looks()
    {
        VYRQOpenGLPieChart pie;
        chart::settle(pie, QSize(640, 460));
        pie.setThemeIndex(3);
        pie.setHoleRatio(0.5);
        pie.setTooltipEnabled(false);
        const ChartTheme& theme = pie.theme();
        const QPoint onFirst = polar(60, 110);
        QImage image = chart::frame(pie);
        QCOMPARE(ctl::pixel(image, onFirst.x(), onFirst.y()), theme.palette.at(0));
        const QPoint onThird = polar(230, 110);
        QCOMPARE(ctl::pixel(image, onThird.x(), onThird.y()), theme.palette.at(2));
        QCOMPARE(ctl::pixel(image, int(centre.x()), int(centre.y())), theme.plotBackground);
        QCOMPARE(ctl::pixel(image, 5, 450), theme.background);

        move(pie, onFirst);
        QVERIFY(pie.hoverTipText().isEmpty());
        image = chart::frame(pie);
        QCOMPARE(ctl::pixel(image, onFirst.x(), onFirst.y()), QColor(theme.palette.at(0).lighter(115).rgb()));
        QCOMPARE(ctl::pixel(image, onThird.x(), onThird.y()), theme.palette.at(2));
    }

    // Hiding the largest slice hands the full circle to the others at once.
    void legendToggle()
    {
        VYRQOpenGLPieChart pie;
        pie.resize(640, 460);
        pie.setAnimationDuration(20);
        pie.replayAnimation();
        QTRY_COMPARE(pie.animationProgress(), 1.0);
        move(pie, polar(60, 110));
        QVERIFY(!pie.hoverTipText().isEmpty());

        chart::click(pie, firstLegendEntry);
        QVERIFY(!vyrtest::impl(pie)->slices.first().visible);
        QVERIFY(pie.hoverTipText().isEmpty());
        QCOMPARE(pie.animationProgress(), 1.0);
        const QVector<vyr::chart::SliceArc> arcs = vyrtest::impl(pie)->sliceArcs();
        QCOMPARE(arcs.size(), 4);
        QCOMPARE(arcs.first().sliceIndex, 1);
        QCOMPARE(arcs.first().sweep, 735.0 / 2099 * 360);
        move(pie, polar(60, 110));
        QCOMPARE(pie.hoverTipText(), QStringLiteral("Direct\n735 (35.02%)"));

        chart::click(pie, firstLegendEntry);
        QVERIFY(vyrtest::impl(pie)->slices.first().visible);
    }

    // Too small a widget gives a square of negative side: no slice, hole or label is
    // drawn and nothing is hit.
    void tooSmall()
    {
        VYRQOpenGLPieChart pie;
        pie.setMinimumSize(0, 0);
        chart::settle(pie, QSize(200, 150));
        pie.setHoleRatio(0.5);
        pie.setLabelsVisible(true);
        QVERIFY(vyrtest::impl(pie)->pieRect(pie.size()).width() < 0);
        const QImage image = chart::frame(pie);
        const QVector<QColor> palette = pie.theme().palette;
        // The legend swatches are all that shows a slice colour.
        int swatches = 0;
        for (int i = 0; i < 5; ++i)
            swatches += chart::count(image, palette.at(i)) > 0;
        QVERIFY(swatches > 0);
        QCOMPARE(ctl::pixel(image, 100, 60), pie.theme().background);
        for (int x = 60; x < 140; x += 5)
            QCOMPARE(ctl::pixel(image, x, 40), pie.theme().background);
        move(pie, QPoint(100, 40));
        QVERIFY(pie.hoverTipText().isEmpty());
        QVERIFY(!vyrtest::impl(pie)->hovered);
    }

    void emptyAndUnusableSlices()
    {
        VYRQOpenGLPieChart pie;
        chart::settle(pie, QSize(640, 460));
        pie.setSlices({PieSlice{QStringLiteral("a"), 0, QColor(), true},
                       PieSlice{QStringLiteral("b"), std::nan(""), QColor(), true},
                       PieSlice{QStringLiteral("c"), 5, QColor(), false}});
        pie.setLabelsVisible(true);
        QVERIFY(vyrtest::impl(pie)->sliceArcs().isEmpty());
        move(pie, polar(60, 100));
        QVERIFY(pie.hoverTipText().isEmpty());
        QCOMPARE(ctl::pixel(chart::frame(pie), int(centre.x()), int(centre.y())), pie.theme().background);
        pie.setSlices({});
        chart::click(pie, firstLegendEntry);
        chart::frame(pie);
        QVERIFY(vyrtest::impl(pie)->legendItems(pie.size()).isEmpty());
    }

    // A million slices draw as the wide ones and one "Other" arc for all those
    // narrower than a pixel, in their colour-less grey, with a label of its own and
    // no hover; the data stays as given and the legend stops at the widget's edge.
    void millionSlices()
    {
        VYRQOpenGLPieChart pie;
        chart::settle(pie, QSize(640, 460));
        pie.setLabelsVisible(true);
        pie.setSlices(chart::millionSlices());
        const VYRQOpenGLPieChartImpl& impl = *vyrtest::impl(pie);
        const QVector<vyr::chart::SliceArc> arcs = impl.sliceArcs();
        QCOMPARE(arcs.size(), 4);
        QCOMPARE(arcs.last().sliceIndex, -1);
        QCOMPARE(arcs.last().startAngle, 270.0);
        QCOMPARE(arcs.last().color, pie.theme().axisColor);
        QCOMPARE(impl.slices.size(), 1000000);
        QVERIFY(impl.legendItems(pie.size()).size() < 100);

        chart::GeometryRecorder device(pie.size());
        chart::record(pie, device);
        QVERIFY2(device.points() < 20000, qPrintable(QString::number(device.points())));
        TextRecorder texts(pie.size());
        {
            QPainter painter(&texts);
            vyrtest::impl(pie)->paintFrame(painter, pie.size());
        }
        QVERIFY(texts.texts().contains(QStringLiteral("Other  25%")));

        const CpuTimer timer;
        const QImage image = chart::frame(pie);
        VERIFY_CPU_BELOW(timer, 20000);
        const QPoint onOther = polar(315, 100);
        QCOMPARE(ctl::pixel(image, onOther.x(), onOther.y()), pie.theme().axisColor);
        move(pie, onOther);
        QVERIFY(!vyrtest::impl(pie)->hovered);
        QVERIFY(pie.hoverTipText().isEmpty());
        move(pie, polar(45, 100));
        const QString tip = QStringLiteral("Wide 1\n%1 (25%)").arg(vyr::chart::formatValue(impl.slices.first().value));
        QCOMPARE(pie.hoverTipText(), tip);
    }
};

VYR_TEST_SUITE(tst_PieChart, 2)
#include "tst_piechart.moc"
