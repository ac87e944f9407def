#include "chart_testutil.h"
#include "testaccess.h"

#include "VYRQFinancialChart.h"
#include "VYRQFinancialChartImpl.h"

#include <cmath>

using chart::move;

namespace {

// The demo at 640 x 400: plot (66, 48, 546, 226) with the slider 42 below it at
// (66, 316, 546, 18); records 33 to 61 in view, 546 / 28 pixels apart.
const QSize size(640, 400);

double recordX(int index)
{
    return 66 + 546.0 * (index - 33) / 28;
}

} // namespace

class tst_FinancialChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void demoState()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        QCOMPARE(vyrtest::impl(fin)->firstVisibleIndex(), 33);
        QCOMPARE(vyrtest::impl(fin)->lastVisibleIndex(), 61);
        QCOMPARE(vyrtest::impl(fin)->zoomSlider(fin.size()), QRectF(66, 316, 546, 18));
    }

    // The tip of the record under the mouse: moving averages in the candle view only;
    // tips off switch off hover, crosshair and tip together.
    void hoverTips_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<bool>("tips");
        QTest::addColumn<int>("averageLines");
        QTest::newRow("candles") << 0 << true << 4;
        QTest::newRow("volume") << 2 << true << 0;
        QTest::newRow("tips off") << 0 << false << -1;
    }
    void hoverTips()
    {
        QFETCH(int, view);
        QFETCH(bool, tips);
        QFETCH(int, averageLines);
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        fin.setViewMode(view);
        vyrtest::impl(fin)->tooltipEnabled = tips;
        move(fin, QPoint(int(recordX(40)) + 3, 150));
        if (averageLines < 0) {
            QVERIFY(!vyrtest::impl(fin)->hovered);
            QVERIFY(fin.hoverTipText().isEmpty());
            return;
        }
        QCOMPARE(vyrtest::impl(fin)->hoveredIndex, 40);
        const QString tip = fin.hoverTipText();
        QVERIFY(tip.startsWith(vyrtest::impl(fin)->candles.at(40).label + QStringLiteral("\nOpen: ")));
        QCOMPARE(tip.count(QStringLiteral("\nMA")), averageLines);
        // 8 pixels around the plot still count; further out nothing does.
        move(fin, QPoint(60, 150));
        QCOMPARE(vyrtest::impl(fin)->hoveredIndex, 33);
        move(fin, QPoint(50, 150));
        QVERIFY(!vyrtest::impl(fin)->hovered);
    }

    // Dragging the slider's window pans the records in view and ends the hover.
    void zoomDrag()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        move(fin, QPoint(int(recordX(50)), 150));
        QVERIFY(vyrtest::impl(fin)->hovered);
        ctl::mouse(fin, QEvent::MouseButtonPress, QPoint(480, 325));
        QVERIFY(vyrtest::impl(fin)->zoom.isDragging());
        QVERIFY(!vyrtest::impl(fin)->hovered);
        QVERIFY(fin.hoverTipText().isEmpty());
        ctl::mouse(fin, QEvent::MouseMove, QPoint(380, 325));
        QVERIFY(std::abs(vyrtest::impl(fin)->zoom.start() - (0.55 - 100.0 / 546)) < 1e-9);
        QCOMPARE(vyrtest::impl(fin)->firstVisibleIndex(), 22);
        QVERIFY(!vyrtest::impl(fin)->hovered);
        ctl::mouse(fin, QEvent::MouseButtonRelease, QPoint(380, 325));
        QVERIFY(!vyrtest::impl(fin)->zoom.isDragging());
        move(fin, QPoint(200, 150));
        QVERIFY(vyrtest::impl(fin)->hovered);

        // A press beside the slider starts nothing.
        ctl::mouse(fin, QEvent::MouseButtonPress, QPoint(30, 325));
        QVERIFY(!vyrtest::impl(fin)->zoom.isDragging());
    }

    // No records: range 0 to 1, nothing hovered; one record sits on the left edge.
    void fewRecords()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        fin.setCandles({});
        QCOMPARE(vyrtest::impl(fin)->valueRange().min, 0.0);
        QCOMPARE(vyrtest::impl(fin)->valueRange().max, 1.0);
        move(fin, QPoint(300, 150));
        QVERIFY(!vyrtest::impl(fin)->hovered);
        chart::frame(fin);

        fin.setCandles({FinancialCandle{QStringLiteral("one"), 10, 12, 8, 11, 5}});
        QVERIFY(vyrtest::impl(fin)->zoomSlider(fin.size()).isEmpty());
        const vyr::chart::ValueRange range = vyrtest::impl(fin)->valueRange();
        QCOMPARE(vyrtest::impl(fin)->pointFor(0, 10, vyrtest::impl(fin)->plotRect(fin.size()), range).x(), 66.0);
        move(fin, QPoint(500, 150));
        QCOMPARE(vyrtest::impl(fin)->hoveredIndex, 0);
        chart::frame(fin);

        // A record with prices that are not numbers draws nothing from them.
        fin.setCandles({FinancialCandle{QStringLiteral("bad"), std::nan(""), HUGE_VAL, 1, 2, std::nan("")},
                        FinancialCandle{QStringLiteral("ok"), 10, 12, 8, 11, 5}});
        fin.setViewMode(2);
        chart::frame(fin);
        fin.setViewMode(0);
        chart::frame(fin);
        QVERIFY(std::isfinite(vyrtest::impl(fin)->valueRange().max));
    }

    // Candle bodies in their rise or fall colour; at the start of the entry
    // animation only the first candle in view is shown.
    void candleLooks()
    {
        VYRQFinancialChart fin;
        chart::settle(fin, size);
        const VYRQFinancialChartImpl& impl = *vyrtest::impl(fin);
        int tallest = 34;
        for (int i = 34; i <= 61; ++i) {
            if (std::abs(impl.candles.at(i).close - impl.candles.at(i).open)
                > std::abs(impl.candles.at(tallest).close - impl.candles.at(tallest).open))
                tallest = i;
        }
        const FinancialCandle& c = impl.candles.at(tallest);
        const QRectF plot = impl.plotRect(fin.size());
        const QPointF mid = impl.pointFor(tallest, (c.open + c.close) / 2, plot, impl.valueRange());
        const QColor expected = c.close >= c.open ? impl.risingColor : impl.fallingColor;
        QCOMPARE(ctl::pixel(chart::frame(fin), int(mid.x()) + 3, int(mid.y())), expected);

        fin.setAnimationEnabled(true);
        fin.setAnimationDuration(60000);
        fin.replayAnimation();
        QCOMPARE(ctl::pixel(chart::frame(fin), int(mid.x()) + 3, int(mid.y())), fin.theme().plotBackground);
    }
};

VYR_TEST_SUITE(tst_FinancialChart, 5)
#include "tst_financialchart.moc"
