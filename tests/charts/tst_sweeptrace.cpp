#include "chart_testutil.h"
#include "cputimer.h"
#include "testaccess.h"

#include "VYRQECGChart.h"
#include "VYRQECGChartImpl.h"
#include "VYRQICDChart.h"
#include "VYRQICDChartImpl.h"


#include <cmath>

namespace {

QImage look(QWidget& w)
{
    return ctl::render(w, Qt::transparent);
}

bool green(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return c.alpha() > 200 && c.green() > 200 && c.red() < 60;
}

bool empty(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).alpha() == 0;
}

// A full-width pass at y 150 kept as the snapshot, then a new pass at y 50 up to x.
template <class Trace>
void sweep(Trace& trace, int headX)
{
    trace.resize(300, 200);
    trace.setLineWeight(3);
    for (int x = 0; x <= 300; x += 10)
        trace.addData(x, 150);
    trace.swapData();
    trace.clearData();
    for (int x = 0; x <= headX; x += 10)
        trace.addData(x, 50);
}

} // namespace

class tst_SweepTrace : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void traceData()
    {
        VYRQECGChart ecg;
        ecg.popBack();
        ecg.popFront();
        QCOMPARE(ecg.dataSize(), 0);
        ecg.addData(1, 2);
        ecg.addData(3, 4);
        ecg.addData(5, 6);
        ecg.popFront();
        ecg.popBack();
        QCOMPARE(ecg.dataSize(), 1);
        QCOMPARE(ecg.getAt(0), QPointF(3, 4));
        QCOMPARE(ecg.getAt(1), QPointF());
        QCOMPARE(ecg.getAt(-1), QPointF());
        VYRQICDChart icd;
        QCOMPARE(icd.getTypeName(), QStringLiteral("qtecgchart"));
        icd.addMarker(1, true);
        icd.addMarkerValue(1, 2, 3, 4);
        QCOMPARE(icd.dataSize(), 0);
    }

    // The previous pass shows only from 40 pixels right of the trace head; with no
    // points it shows whole.
    void sweepStrip_data()
    {
        QTest::addColumn<bool>("icd");
        QTest::newRow("ECG") << false;
        QTest::newRow("ICD") << true;
    }
    void sweepStrip()
    {
        QFETCH(bool, icd);
        VYRQECGChart ecg;
        VYRQICDChart lead;
        QWidget& w = icd ? static_cast<QWidget&>(lead) : ecg;
        if (icd)
            sweep(lead, 100);
        else
            sweep(ecg, 100);
        QImage image = look(w);
        QVERIFY(green(image, 50, 50));
        QVERIFY(empty(image, 120, 150));
        QVERIFY(empty(image, 139, 150));
        QVERIFY(green(image, 141, 150));
        QVERIFY(green(image, 290, 150));
        QVERIFY(empty(image, 150, 50));

        icd ? lead.clearData() : ecg.clearData();
        image = look(w);
        QVERIFY(green(image, 20, 150));
        QVERIFY(empty(image, 20, 50));
    }

    // A snapshot of a bare control is bare, and stays so until points arrive.
    void bareSnapshot()
    {
        VYRQECGChart ecg;
        ecg.resize(100, 100);
        ecg.swapData();
        QVERIFY(!vyrtest::impl(ecg)->sweepImage.isNull());
        const QImage image = look(ecg);
        QVERIFY(empty(image, 50, 50));
        QVERIFY(empty(image, 1, 1));
    }

    void icdTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("flat");
        QTest::addColumn<bool>("trace");
        QTest::newRow("polyline") << 0 << false << true;
        QTest::newRow("flat line") << 1 << true << false;
        QTest::newRow("nothing") << 7 << false << false;
    }
    void icdTypes()
    {
        QFETCH(int, type);
        QFETCH(bool, flat);
        QFETCH(bool, trace);
        VYRQICDChart icd;
        icd.resize(200, 100);
        icd.setLineWeight(3);
        icd.setICDType(VYRQtICDType(type));
        QCOMPARE(green(look(icd), 150, 40), flat);
        icd.addData(0, 80);
        icd.addData(200, 80);
        const QImage image = look(icd);
        QCOMPARE(green(image, 100, 80), trace);
        QCOMPARE(green(image, 150, 40), flat);
    }

    // Fills need three points; they run from the trace to the bottom and top edges.
    void fills()
    {
        VYRQECGChart ecg;
        ecg.resize(200, 200);
        ecg.enableFillColor(true, true);
        ecg.setBelowFillColor(Qt::red, Qt::red);
        ecg.setAboveFillColor(Qt::blue, Qt::blue);
        ecg.addData(0, 100);
        ecg.addData(100, 100);
        QImage image = look(ecg);
        QVERIFY(empty(image, 50, 180));
        QVERIFY(empty(image, 50, 20));
        ecg.addData(150, 100);
        image = look(ecg);
        QCOMPARE(image.pixelColor(50, 180), QColor(Qt::red));
        QCOMPARE(image.pixelColor(50, 20), QColor(Qt::blue));
        QVERIFY(empty(image, 180, 180));
    }

    // Samples far outside the widget are cut to it, and a trace far denser than the
    // pixels is drawn through its columns' extremes: a frame stays quick, the trace
    // still crosses the widget and its fills still reach the edges.
    void hostileTraces_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<float>("amplitude");
        QTest::newRow("extreme samples") << 100000 << 3e38f;
        QTest::newRow("a million samples") << 1000000 << 90.0f;
    }
    void hostileTraces()
    {
        QFETCH(int, count);
        QFETCH(float, amplitude);
        VYRQECGChart ecg;
        ecg.resize(200, 200);
        ecg.enableFillColor(true, true);
        ecg.setBelowFillColor(Qt::red, Qt::red);
        ecg.setAboveFillColor(Qt::blue, Qt::blue);
        for (int i = 0; i < count; ++i)
            ecg.addData(float(i) * 150 / count, 100 + (i % 2 ? amplitude : -amplitude));
        const CpuTimer timer;
        const QRect rect(0, 0, 200, 200);
        const QVector<QPolygonF> runs = vyrtest::impl(ecg)->visibleTrace(vyrtest::impl(ecg)->drawablePoints(), rect);
        int drawn = 0;
        for (const QPolygonF& run : runs) {
            drawn += run.size();
            for (const QPointF& p : run)
                QVERIFY(vyrtest::impl(ecg)->paintBounds(rect).contains(p));
        }
        QVERIFY2(drawn <= 8 * 150 + 8, qPrintable(QString::number(drawn)));
        ecg.swapData();
        QImage image = look(ecg);
        VERIFY_CPU_BELOW(timer, 30000);
        // Below and above a trace within the widget the fills are solid.
        if (amplitude < 100) {
            QCOMPARE(image.pixelColor(100, 197), QColor(Qt::red));
            QCOMPARE(image.pixelColor(100, 3), QColor(Qt::blue));
        }
        QVERIFY(empty(image, 170, 100));
        // The fills go over the trace; without them it shows across the widget.
        ecg.enableFillColor(false, false);
        image = look(ecg);
        QVERIFY2(green(image, 75, 100), qPrintable(image.pixelColor(75, 100).name(QColor::HexArgb)));
        QVERIFY(green(image, 75, 12));
    }

    // Points that are not numbers are kept but never drawn.
    void unusablePoints()
    {
        VYRQECGChart ecg;
        ecg.resize(200, 200);
        ecg.enableFillColor(true, false);
        ecg.addData(0, 100);
        ecg.addData(std::nanf(""), 10);
        ecg.addData(100, HUGE_VALF);
        ecg.addData(150, 100);
        ecg.addData(190, 100);
        QCOMPARE(ecg.dataSize(), 5);
        QVERIFY(std::isnan(ecg.getAt(1).x()));
        // The fill below covers the lower half of the trace.
        const QImage image = look(ecg);
        QVERIFY(green(image, 50, 99));
        ecg.swapData();
        look(ecg);
    }
};

VYR_TEST_SUITE(tst_SweepTrace, 6)
#include "tst_sweeptrace.moc"
