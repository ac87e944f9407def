#include "controls_testutil.h"

#include "VYRQSwitch.h"

#include <QElapsedTimer>
#include <QVariantAnimation>

#include <climits>

using namespace ctl;
using sty::load;
using sty::solid;

namespace {
const QColor red(255, 0, 0), blue(0, 0, 255), white(255, 255, 255);

// The left and right edges of the red thumb along a row above the texts.
QPair<int, int> thumbSpan(const QImage& image)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, 4) == red) {
            first = first < 0 ? x : first;
            last = x;
        }
    return qMakePair(first, last);
}

// A 100 by 30 switch with a white background, a pure red thumb, and reddish left and
// bluish right text styles (never pure red, so text never passes for the thumb).
void prepare(VYRQSwitch& sw)
{
    sw.resize(100, 30);
    sw.setBackgroundStyle(CommonNormal, solid("Bg", white));
    for (int s = Normal; s <= Disable; ++s)
        sw.setThumbStyle(CtrlState(s), solid("Thumb", red));
    sw.setTextStyle(VYRQSwitch::Left, sty::text(QString(), QColor(200, 0, 0)));
    sw.setTextStyle(VYRQSwitch::Right, sty::text(QString(), QColor(0, 0, 200)));
}

// Which text colour dominates what the texts drew in each box: +1 red, -1 blue, 0 none.
QVector<int> inkTones(VYRQSwitch& sw, const QVector<QRect>& boxes)
{
    const QImage with = render(sw);
    const QString left = sw.getLeftText(), right = sw.getRightText();
    sw.setLeftText(QString());
    sw.setRightText(QString());
    const QImage without = render(sw);
    sw.setLeftText(left);
    sw.setRightText(right);
    QVector<int> tones;
    for (const QRect& box : boxes) {
        long long balance = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y))
                    balance += with.pixelColor(x, y).red() - with.pixelColor(x, y).blue();
        tones << (balance > 0 ? 1 : balance < 0 ? -1 : 0);
    }
    return tones;
}

const QVector<QRect> ends{QRect(2, 2, 25, 25), QRect(28, 0, 44, 30), QRect(75, 2, 25, 25)};
} // namespace

class tst_Switch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"SwA", red}, {"SwBlue", blue}});
        sty::addText("SwText");
    }

    // A new switch is "on": thumb on the right, where the left text style dresses "Off".
    void firstPaintPlacesThumbAndTexts()
    {
        VYRQSwitch sw;
        prepare(sw);
        const QImage shot = render(sw);
        QCOMPARE(thumbSpan(shot), qMakePair(73, 97));
        QCOMPARE(shot.pixelColor(80, 1), white);
        QCOMPARE(shot.pixelColor(80, 26), red);
        QCOMPARE(shot.pixelColor(80, 27), white);
        QCOMPARE(inkTones(sw, ends), QVector<int>({-1, 0, 1}));
        // Not showing all texts: only the text at the free end.
        sw.setShowAllText(false);
        QCOMPARE(inkTones(sw, ends), QVector<int>({1, 0, 0}));
    }

    // The slide runs for the speed, moving the thumb; the side flips only at its end,
    // and a press under way only shows the Pressed thumb.
    void slide()
    {
        VYRQSwitch sw;
        prepare(sw);
        sw.setThumbStyle(Pressed, solid("Pressed", blue));
        sw.setSwitchSpeed(800);
        QVERIFY(shown(sw));
        auto* animation = sw.findChild<QVariantAnimation*>();
        QVERIFY(animation);
        QSignalSpy finished(animation, &QAbstractAnimation::finished);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(&sw, Qt::LeftButton, {}, QPoint(50, 15));
        QCOMPARE(animation->duration(), 800);
        QCOMPARE(qMakePair(animation->startValue().toInt(), animation->endValue().toInt()), qMakePair(71, 0));
        QTRY_VERIFY(thumbSpan(render(sw)).first > 2 && thumbSpan(render(sw)).first < 73);
        QVERIFY(!sw.getIsSwitchToLeft());
        QTest::mousePress(&sw, Qt::RightButton, {}, QPoint(50, 15));
        QCOMPARE(thumbSpan(render(sw)).first, -1);
        QTest::mouseRelease(&sw, Qt::RightButton, {}, QPoint(50, 15));
        QTRY_VERIFY(sw.getIsSwitchToLeft());
        QVERIFY2(clock.elapsed() >= 790, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(thumbSpan(render(sw)), qMakePair(2, 26));
        QCOMPARE(inkTones(sw, ends), QVector<int>({1, 0, -1})); // the text styles swapped with the side
    }

    // A placed thumb stays put on resizes and side changes; the next slide starts from
    // the side the flag names.
    void placedThumbStaysUntilTheNextSlide()
    {
        VYRQSwitch sw;
        prepare(sw);
        sw.setSwitchSpeed(0);
        QVERIFY(shown(sw));
        QCOMPARE(thumbSpan(render(sw)).first, 73);
        sw.resize(150, 30);
        sw.setSwitchToLeft(true);
        QCOMPARE(thumbSpan(render(sw)).first, 73);
        QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(10, 15));
        QTRY_VERIFY(!sw.getIsSwitchToLeft());
        QCOMPARE(thumbSpan(render(sw)), qMakePair(123, 147));
    }

    void attrRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QSize>("thumb");
        QTest::addColumn<bool>("toLeft");
        // In a page element a missing key means its default, a missing "on" the left side.
        QTest::newRow("empty") << QByteArray("{}") << QStringList{"", ""} << QSize(25, 25) << true;
        QTest::newRow("on true") << QByteArray(R"({"on": true})") << QStringList{"", ""} << QSize(25, 25) << false;
        QTest::newRow("on 0") << QByteArray(R"({"on": 0, "leftText": "Ja", "rightText": "Nein"})")
                              << QStringList{"Ja", "Nein"} << QSize(25, 25) << true;
        QTest::newRow("thumb, on 1, speed, margin")
            << QByteArray(R"({"thumbW": 30, "thumbH": 12, "on": 1, "speed": 120, "margin": 0})") << QStringList{"", ""}
            << QSize(30, 12) << false;
    }

    // The left side is written as the absence of "on", so what is written reads back
    // to the same switch.
    void attrRoundTrip()
    {
        QFETCH(QByteArray, attr);
        QFETCH(QStringList, texts);
        QFETCH(QSize, thumb);
        QFETCH(bool, toLeft);
        VYRQSwitch sw;
        sw.setThumbSize(40, 40);
        QVERIFY(load(sw, "{\"attr\": " + attr + "}"));
        QCOMPARE(QStringList({sw.getLeftText(), sw.getRightText()}), texts);
        QCOMPARE(sw.getThumbBtnSize(), thumb);
        QCOMPARE(sw.getIsSwitchToLeft(), toLeft);
        Json::Value out = write(sw);
        QCOMPARE(out["attr"].isMember("on"), !toLeft);
        VYRQSwitch copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(write(copy), out);
    }

    // Slot 0 background, 2..5 thumb (2 fans out), 6/7 left and right text; the thumb
    // keeps exactly four styles, so AllStates and other states are ignored.
    void styleSlotsRoundTrip()
    {
        VYRQSwitch sw;
        QVERIFY(load(sw, R"({"style": [["SwBlue", 1, 0], ["SwA", 1, 1], ["SwA", 1, 2], ["SwBlue", 1, 4],
                                       ["SwText", 2, 7], ["SwA", 1, 8]]})"));
        for (int state : {-1, 4, 9})
            sw.setThumbStyle(CtrlState(state), solid("SwB", red));
        QStringList got{sw.getBackgroundStyle(CommonDisable).name};
        for (int state : {0, 1, 2, 3, -3})
            got << sw.getThumbStyle(CtrlState(state)).name;
        got << sw.getTextStyle(VYRQSwitch::Left).name << sw.getTextStyle(VYRQSwitch::Right).name;
        QCOMPARE(got, QStringList({"SwBlue", "SwA", "SwA", "SwBlue", "SwA", "SwA", "", "SwText"}));
        QCOMPARE(write(sw)["style"], parse(R"([["SwBlue", 1, 0], ["SwA", 1, 2], ["SwA", 1, 3], ["SwBlue", 1, 4],
                                               ["SwA", 1, 5], ["SwText", 2, 7]])"));
    }

    void speedIsClamped_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<uint>("speed");
        QTest::newRow("negative") << QByteArray(R"({"speed": -5})") << 0u;
        QTest::newRow("huge") << QByteArray(R"({"speed": 1e12})") << uint(INT_MAX);
        QTest::newRow("above int") << QByteArray(R"({"speed": 4294967291})") << uint(INT_MAX);
        QTest::newRow("fractional") << QByteArray(R"({"speed": 250.7})") << 250u;
    }

    // The stored speed is the duration the slide really runs with, however it is set.
    void speedIsClamped()
    {
        QFETCH(QByteArray, attr);
        QFETCH(uint, speed);
        VYRQSwitch sw;
        prepare(sw);
        QVERIFY(load(sw, "{\"attr\": " + attr + "}"));
        QCOMPARE(sw.getSwitchSpeed(), speed);
        QVERIFY(shown(sw));
        auto* animation = sw.findChild<QVariantAnimation*>();
        QVERIFY(animation);
        QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(10, 15));
        QCOMPARE(uint(animation->duration()), speed);
        if (speed == 0)
            QTRY_VERIFY(!sw.getIsSwitchToLeft());
        sw.setSwitchSpeed(UINT_MAX);
        QCOMPARE(sw.getSwitchSpeed(), uint(INT_MAX));
    }

    // A theme refresh keeps the texts, thumb and side the application set; what a
    // theme element names, it sets.
    void themeRefreshKeepsApplicationTextsAndSide()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
        QScopedPointer<QWidget> created(createControlFromJson("switch", Json::Value(), nullptr));
        auto* sw = qobject_cast<VYRQSwitch*>(created.data());
        QVERIFY(sw);
        QCOMPARE(sw->getMargin(), 3);
        QCOMPARE(sw->getBackgroundStyle(CommonNormal).name, QStringLiteral("TglGreen"));
        QVERIFY(!sw->getIsSwitchToLeft());
        sw->setLeftText(QStringLiteral("Auto"));
        sw->setRightText(QStringLiteral("Manual"));
        sw->setThumbSize(40, 20);
        sw->setMargin(5);
        sw->getControlBase()->refreshTheme();
        QCOMPARE(sw->getMargin(), 3);
        QCOMPARE(QStringList({sw->getLeftText(), sw->getRightText()}), QStringList({"Auto", "Manual"}));
        QCOMPARE(sw->getThumbBtnSize(), QSize(40, 20));
        QVERIFY(!sw->getIsSwitchToLeft());
        sw->setThemeName(QStringLiteral("TglSwitchAll"));
        QCOMPARE(QStringList({sw->getLeftText(), sw->getRightText()}), QStringList({"L", "R"}));
        QVERIFY(sw->getIsSwitchToLeft());
        QCOMPARE(sw->getThumbBtnSize(), QSize(30, 20));
        sty::dropTheme();
    }
};

VYR_TEST_SUITE(tst_Switch, 3)
#include "tst_switch.moc"
