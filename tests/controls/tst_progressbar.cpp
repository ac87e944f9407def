#include "VYRQGlobal.h"
#include "VYRQProgressBar.h"
#include "VYRQResourceManager.h"
#include "controls_testutil.h"

#include <QtTest>

#include <climits>

namespace {

const QColor paper(1, 2, 3);
const QColor back(0, 0, 255);
const QColor fore(255, 0, 0);

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

// A 100 x 100 bar over range 0 to 100, blue background, red foreground.
struct Bar {
    VYRQProgressBar bar;
    explicit Bar(bool circle, QSize size = QSize(100, 100))
    {
        bar.resize(size);
        bar.setBackground(CommonNormal, solid("BG", back));
        bar.setForeground(CommonNormal, solid("FG", fore));
        bar.setCircleProgressBar(circle);
    }
    QImage paintAt(int value)
    {
        bar.setValue(value);
        return ctl::render(bar, paper);
    }
};

using Probes = QVector<QPoint>;

void expect(const QImage& image, const Probes& points, const QColor& color)
{
    for (const QPoint& p : points)
        QCOMPARE(ctl::pixel(image, p.x(), p.y()), color);
}

} // namespace

class tst_ProgressBar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        for (FillStyle s : {solid("BG", back), solid("FG", fore)})
            VYRQResourceManager::getInstance()->setFillStyle(s.name, s);
        TextStyleDesc text;
        text.name = QStringLiteral("TX");
        VYRQResourceManager::getInstance()->setTextStyle(text.name, text);
    }

    void barFillDirection()
    {
        Bar horizontal(false, QSize(200, 20));
        QImage image = horizontal.paintAt(30);
        expect(image, {{59, 10}}, fore);   // from the left
        expect(image, {{60, 10}}, back);
        Bar vertical(false, QSize(20, 99));
        vertical.bar.setOrientation(Qt::Vertical);
        image = vertical.paintAt(50);
        expect(image, {{10, 50}}, fore);   // from the bottom, 49.5 truncated
        expect(image, {{10, 49}}, back);
    }

    // The value itself is divided by the range's length, but the share stays within the
    // bar: a bordered foreground shows its far border inside the control.
    void barShareIsHeldToTheBar()
    {
        Bar b(false, QSize(200, 20));
        FillStyle framed = solid("FG", fore);
        framed.fill.border = true;
        framed.fill.borderSize = 2;
        framed.fill.borderColor = Qt::green;
        b.bar.setForeground(CommonNormal, framed);
        b.bar.setRange(50, 100);
        QImage image = b.paintAt(75);
        expect(image, {QPoint(199, 10)}, Qt::green);
        expect(image, {QPoint(100, 10)}, fore);

        // Below zero (Qt's initial -1 too) there is no share at all.
        b.bar.setRange(-100, 100);
        expect(b.paintAt(-50), {QPoint(2, 10)}, back);
    }

    void circleEmptyAndFull()
    {
        Bar b(true);
        expect(b.paintAt(0), {{20, 50}, {80, 50}, {50, 20}, {1, 1}}, back);
        // Full: the whole foreground, corners included (no clip).
        expect(b.paintAt(100), {{1, 1}, {98, 98}, {20, 50}, {80, 50}}, fore);
    }

    void circleSweep_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("value");
        QTest::addColumn<Probes>("swept");
        QTest::addColumn<Probes>("open");
        // Degree 0 points straight down and the sweep runs clockwise on the screen.
        QTest::newRow("half from degree 1: the left half")
            << 1 << 360 << 50 << Probes{{30, 80}, {20, 50}, {30, 20}} << Probes{{70, 80}, {80, 50}, {70, 20}};
        // The sweep ends at share x length itself, not at the start plus it.
        QTest::newRow("quarter from 90 ends at 67: nothing")
            << 90 << 360 << 25 << Probes{} << Probes{{20, 50}, {22, 39}, {30, 80}, {50, 20}};
        QTest::newRow("half from 90: degrees 90 to 134")
            << 90 << 360 << 50 << Probes{{22, 39}} << Probes{{20, 60}, {50, 15}, {80, 50}};
        // Before any range is set: a full turn from straight down.
        QTest::newRow("no range set") << 0 << 0 << 50 << Probes{{20, 50}} << Probes{{80, 50}};
        // A range longer than a turn sweeps one turn at most.
        QTest::newRow("huge range") << 1 << INT_MAX << 50 << Probes{{20, 50}} << Probes{{80, 50}};
    }

    void circleSweep()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(int, value);
        QFETCH(Probes, swept);
        QFETCH(Probes, open);
        Bar b(true);
        b.bar.setCircleAngleRange(start, end);
        const QImage image = b.paintAt(value);
        expect(image, swept, fore);
        expect(image, open, back);
    }

    // A value far beyond an empty range neither divides by zero nor sweeps unbounded.
    void emptyRangeIsBounded()
    {
        Bar b(true);
        b.bar.setRange(0, 0);
        const QImage image = b.paintAt(1000000000);
        QCOMPARE(b.bar.value(), 1000000000);
        expect(image, {{20, 50}, {80, 50}, {50, 20}, {40, 80}}, fore);
        b.bar.setCircleProgressBar(false);
        expect(ctl::render(b.bar, paper), {{99, 50}}, fore);
    }

    void angleRangeAcceptance()
    {
        VYRQProgressBar bar;
        int a = 0;
        int b = 0;
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

    void jsonRoundTrip()
    {
        VYRQProgressBar bar;
        Json::Value element = ctl::parse(R"({"style": [["BG", 1, 0], ["FG", 1, 2], ["TX", 2, 4], ["FG", 1, 1],
                                                        ["Nope", 1, 0]], "attr": {"showText": 1, "val": 42}})");
        QVERIFY(bar.readJsonValue(&element));
        QCOMPARE(bar.getBackground(CommonDisable).name, QStringLiteral("BG"));
        QVERIFY(bar.getShowText());
        QCOMPARE(bar.value(), 42);
        bar.setCircleProgressBar(true);

        Json::Value out = ctl::write(bar);
        QCOMPARE(out["style"], ctl::parse(R"([["BG", 1, 0], ["FG", 1, 2], ["TX", 2, 4]])"));
        QCOMPARE(out["attr"], ctl::parse(R"({"showText": 1, "val": 42})"));
        VYRQProgressBar copy;
        QVERIFY(copy.readJsonValue(&out));
        QVERIFY(!copy.getIsCircleProgressBar());   // code-only
        QCOMPARE(ctl::write(copy)["style"], out["style"]);
        QCOMPARE(ctl::write(copy)["attr"], out["attr"]);

        // An "attr" without "val" empties the bar; a bar at 0 without text writes nulls.
        element = ctl::parse(R"({"attr": {}})");
        QVERIFY(copy.readJsonValue(&element));
        QCOMPARE(copy.value(), 0);
        VYRQProgressBar empty;
        empty.setValue(0);
        out = ctl::write(empty);
        QVERIFY(out.isMember("style") && out["style"].isNull());
        QVERIFY(out.isMember("attr") && out["attr"].isNull());
    }

    void registration()
    {
        for (const char* key : {"qtprogressbar", "progressbar"})
            QVERIFY(qobject_cast<VYRQProgressBar*>(QScopedPointer<QWidget>(createControlByType(key, nullptr)).data()));
        QCOMPARE(vyrGetControlInfo(QStringLiteral("qtprogressbar"))->rows.back().name, QStringLiteral("ShowText"));
    }
};

QTEST_MAIN(tst_ProgressBar)
#include "tst_progressbar.moc"
