#include "controls_testutil.h"

#include "VYRQProgressBar.h"

#include <climits>

using namespace ctl;
using sty::solid;

namespace {
const QColor paper(1, 2, 3), back(0, 0, 255), fore(255, 0, 0);
using Probes = QVector<QPoint>;

void expect(const QImage& image, const Probes& points, const QColor& color)
{
    for (const QPoint& p : points)
        QVERIFY2(pixel(image, p.x(), p.y()) == color, qPrintable(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y())));
}

// Paints a bar at a value over a blue background, with a red foreground unless it has one.
QImage paint(VYRQProgressBar& bar, int value, QSize size = QSize(100, 100))
{
    bar.resize(size);
    bar.setBackground(CommonNormal, solid("BG", back));
    if (bar.getForeground(CommonNormal).name.isEmpty())
        bar.setForeground(CommonNormal, solid("FG", fore));
    bar.setValue(value);
    return render(bar, paper);
}
} // namespace

class tst_ProgressBar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"BG", back}, {"FG", fore}});
        sty::addText("TX");
    }

    // From the left, or from the bottom; the value itself is divided by the range's
    // length, but the share stays within the bar: a bordered foreground shows its far
    // border inside the control, and below zero there is no share at all.
    void barShare()
    {
        VYRQProgressBar horizontal;
        QImage image = paint(horizontal, 30, QSize(200, 20));
        expect(image, {{59, 10}}, fore);
        expect(image, {{60, 10}}, back);
        VYRQProgressBar vertical;
        vertical.setOrientation(Qt::Vertical);
        image = paint(vertical, 50, QSize(20, 99));
        expect(image, {{10, 50}}, fore); // 49.5 truncated
        expect(image, {{10, 49}}, back);
        FillStyle framed = solid("FG", fore);
        framed.fill.border = true;
        framed.fill.borderSize = 2;
        framed.fill.borderColor = Qt::green;
        horizontal.setForeground(CommonNormal, framed);
        horizontal.setRange(50, 100);
        image = paint(horizontal, 75, QSize(200, 20));
        expect(image, {{199, 10}}, Qt::green);
        expect(image, {{100, 10}}, fore);
        horizontal.setRange(-100, 100);
        expect(paint(horizontal, -50, QSize(200, 20)), {{2, 10}}, back);
    }

    void circleSweep_data()
    {
        QTest::addColumn<QPoint>("angles");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<Probes>("swept");
        QTest::addColumn<Probes>("open");
        QTest::newRow("empty") << QPoint() << 100 << 0 << Probes{} << Probes{{20, 50}, {80, 50}, {50, 20}, {1, 1}};
        // Full: the whole foreground, corners included (no clip).
        QTest::newRow("full") << QPoint() << 100 << 100 << Probes{{1, 1}, {98, 98}, {20, 50}, {80, 50}} << Probes{};
        // Degree 0 points straight down and the sweep runs clockwise on the screen.
        QTest::newRow("half from degree 1: the left half")
            << QPoint(1, 360) << 100 << 50 << Probes{{30, 80}, {20, 50}, {30, 20}} << Probes{{70, 80}, {80, 50}};
        // The sweep ends at share x length itself, not at the start plus it.
        QTest::newRow("quarter from 90 ends at 67: nothing")
            << QPoint(90, 360) << 100 << 25 << Probes{} << Probes{{20, 50}, {22, 39}, {30, 80}};
        QTest::newRow("half from 90: degrees 90 to 134")
            << QPoint(90, 360) << 100 << 50 << Probes{{22, 39}} << Probes{{20, 60}, {50, 15}};
        // Before any range is set: a full turn from straight down.
        QTest::newRow("no range set") << QPoint() << 100 << 50 << Probes{{20, 50}} << Probes{{80, 50}};
        // The share scales the whole range, past one turn; the sweep stops after a full turn.
        QTest::newRow("start 1, end 500, half: about 250 degrees")
            << QPoint(1, 500) << 100 << 50 << Probes{{20, 50}, {50, 20}, {71, 29}} << Probes{{80, 50}, {70, 80}};
        QTest::newRow("huge range: one full turn")
            << QPoint(1, INT_MAX) << 100 << 50 << Probes{{20, 50}, {80, 50}, {50, 20}} << Probes{};
        QTest::newRow("beyond an empty range")
            << QPoint() << 0 << 1000000000 << Probes{{20, 50}, {80, 50}, {50, 20}, {40, 80}} << Probes{};
    }

    void circleSweep()
    {
        QFETCH(QPoint, angles);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(Probes, swept);
        QFETCH(Probes, open);
        VYRQProgressBar bar;
        bar.setCircleProgressBar(true);
        if (!angles.isNull())
            bar.setCircleAngleRange(angles.x(), angles.y());
        bar.setRange(0, maximum);
        const QImage image = paint(bar, value);
        QCOMPARE(bar.value(), value);
        expect(image, swept, fore);
        expect(image, open, back);
    }

    // A range is accepted when it starts at 1 or more and ends after its start.
    void angleRangeAcceptance()
    {
        VYRQProgressBar bar;
        int a = 0, b = 0;
        for (const QPoint& rejected : {QPoint(0, 360), QPoint(10, 10), QPoint(20, 5)}) {
            bar.setCircleAngleRange(30, 40);
            bar.setCircleAngleRange(rejected.x(), rejected.y());
            bar.getCirleAngleRange(a, b);
            QCOMPARE(QPoint(a, b), QPoint(30, 40));
        }
        bar.setCircleAngleRange(1, 2);
        bar.getCirleAngleRange(a, b);
        QCOMPARE(QPoint(a, b), QPoint(1, 2));
    }

    // Circle mode is code-only; an "attr" without "val" empties the bar, and a bar at 0
    // without text writes nulls.
    void jsonRoundTrip()
    {
        VYRQProgressBar bar;
        Json::Value element = parse(R"({"style": [["BG", 1, 0], ["FG", 1, 2], ["TX", 2, 4], ["FG", 1, 1],
                                                  ["Nope", 1, 0]], "attr": {"showText": 1, "val": 42}})");
        QVERIFY(bar.readJsonValue(&element));
        QCOMPARE(bar.getBackground(CommonDisable).name, QStringLiteral("BG"));
        bar.setCircleProgressBar(true);
        Json::Value out = write(bar);
        QCOMPARE(out["style"], parse(R"([["BG", 1, 0], ["FG", 1, 2], ["TX", 2, 4]])"));
        QCOMPARE(out["attr"], parse(R"({"showText": 1, "val": 42})"));
        VYRQProgressBar copy;
        QVERIFY(copy.readJsonValue(&out));
        QVERIFY(!copy.getIsCircleProgressBar());
        QCOMPARE(write(copy), out);
        QVERIFY(sty::load(copy, R"({"attr": {}})"));
        QCOMPARE(copy.value(), 0);
        VYRQProgressBar empty;
        empty.setValue(0);
        out = write(empty);
        QVERIFY(!out.isMember("style"));
        QVERIFY(out.isMember("attr") && out["attr"].isNull());
    }
};

VYR_TEST_SUITE(tst_ProgressBar, 1)
#include "tst_progressbar.moc"
