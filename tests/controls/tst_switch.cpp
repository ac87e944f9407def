#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQSwitch.h"

#include "controls_testutil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QVariantAnimation>
#include <QtTest>

#include <climits>

namespace {

using ctl::parse;
using ctl::render;
using ctl::write;

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor white(255, 255, 255);

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

// The left and right edges of the red thumb along a row above the texts.
QPair<int, int> thumbSpan(const QImage& image, int y = 4)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == red) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return qMakePair(first, last);
}

// Which text colour dominates what the texts drew inside `box`: +1 red, -1 blue, 0 none.
int inkTone(const QImage& with, const QImage& without, const QRect& box)
{
    long long balance = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                const QColor c = with.pixelColor(x, y);
                balance += (255 - c.blue()) - (255 - c.red());
            }
    return balance > 0 ? 1 : balance < 0 ? -1 : 0;
}

// A 100 by 30 switch with a white background, a pure red thumb, and reddish left and
// bluish right text styles (never pure red, so text never passes for the thumb).
void prepare(VYRQSwitch& sw)
{
    sw.resize(100, 30);
    sw.setBackgroundStyle(CommonNormal, solid(QStringLiteral("Bg"), white));
    for (int s = Normal; s <= Disable; ++s)
        sw.setThumbStyle(CtrlState(s), solid(QStringLiteral("Thumb"), red));
    TextStyleDesc text;
    text.color = QColor(200, 0, 0);
    sw.setTextStyle(VYRQSwitch::Left, text);
    text.color = QColor(0, 0, 200);
    sw.setTextStyle(VYRQSwitch::Right, text);
}

QImage withoutTexts(VYRQSwitch& sw)
{
    const QString left = sw.getLeftText();
    const QString right = sw.getRightText();
    sw.setLeftText(QString());
    sw.setRightText(QString());
    const QImage image = render(sw);
    sw.setLeftText(left);
    sw.setRightText(right);
    return image;
}

} // namespace

class tst_Switch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void firstPaintPlacesThumbAndTexts();
    void slideFlipsSideOnlyAtTheEnd();
    void slideTiming();
    void resizeAndSideFlagDoNotMoveAPlacedThumb();
    void onlyFreeEndTextWhenNotShowingAll();
    void readAttr_data();
    void readAttr();
    void newSwitchWritesTextsThumbAndSide();
    void styleSlotsRoundTrip();
    void speedIsClamped_data();
    void speedIsClamped();
    // Run last: the loaded theme set stays for the rest of the process.
    void themeRefreshKeepsApplicationTextsAndSide();
};

void tst_Switch::initTestCase()
{
    VYRQtLib::init();
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    for (const char* name : {"SwA", "SwB"}) {
        FillStyle fill = solid(QString::fromLatin1(name), red);
        rm->setFillStyle(fill.name, fill);
    }
    FillStyle other = solid(QStringLiteral("SwBlue"), blue);
    rm->setFillStyle(other.name, other);
    TextStyleDesc text;
    text.name = QStringLiteral("SwText");
    rm->setTextStyle(text.name, text);
}

void tst_Switch::firstPaintPlacesThumbAndTexts()
{
    VYRQSwitch sw;
    prepare(sw);
    const QImage shot = render(sw);
    QCOMPARE(thumbSpan(shot), qMakePair(73, 97));
    QCOMPARE(shot.pixelColor(80, 1), white);
    QCOMPARE(shot.pixelColor(80, 2), red);
    QCOMPARE(shot.pixelColor(80, 26), red);
    QCOMPARE(shot.pixelColor(80, 27), white);

    // Thumb on the right: the right end's "Off" takes the left style, "On" the right one.
    const QImage bare = withoutTexts(sw);
    QCOMPARE(inkTone(shot, bare, QRect(2, 2, 25, 25)), -1);
    QCOMPARE(inkTone(shot, bare, QRect(75, 2, 25, 25)), 1);
    QCOMPARE(inkTone(shot, bare, QRect(28, 0, 44, 30)), 0);
}

void tst_Switch::slideFlipsSideOnlyAtTheEnd()
{
    VYRQSwitch sw;
    prepare(sw);
    sw.setSwitchSpeed(1500);
    sw.setThumbStyle(Pressed, solid(QStringLiteral("Pressed"), blue));
    sw.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sw));
    auto* animation = sw.findChild<QVariantAnimation*>();
    QVERIFY(animation);
    QSignalSpy finished(animation, &QAbstractAnimation::finished);
    QCOMPARE(thumbSpan(render(sw)).first, 73);

    QTest::mouseClick(&sw, Qt::LeftButton, {}, QPoint(50, 15));
    // Under way: the thumb is between the ends while the side still says right.
    QTRY_VERIFY(thumbSpan(render(sw)).first > 2 && thumbSpan(render(sw)).first < 73);
    QVERIFY(!sw.getIsSwitchToLeft());
    // Another press only shows the Pressed thumb.
    QTest::mousePress(&sw, Qt::RightButton, {}, QPoint(50, 15));
    QVERIFY(thumbSpan(render(sw)).first < 0);
    QTest::mouseRelease(&sw, Qt::RightButton, {}, QPoint(50, 15));

    QTRY_VERIFY(sw.getIsSwitchToLeft());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(animation->state(), QAbstractAnimation::Stopped);
    const QImage shot = render(sw);
    QCOMPARE(thumbSpan(shot), qMakePair(2, 26));
    // The styles of the two texts swapped with the side.
    const QImage bare = withoutTexts(sw);
    QCOMPARE(inkTone(shot, bare, QRect(2, 2, 25, 25)), 1);
    QCOMPARE(inkTone(shot, bare, QRect(75, 2, 25, 25)), -1);
}

void tst_Switch::slideTiming()
{
    VYRQSwitch sw;
    prepare(sw);
    sw.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sw));
    auto* animation = sw.findChild<QVariantAnimation*>();
    QVERIFY(animation);

    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(10, 15));
    QCOMPARE(animation->duration(), 300);
    QCOMPARE(animation->startValue().toInt(), 71);
    QCOMPARE(animation->endValue().toInt(), 0);
    QTRY_VERIFY(sw.getIsSwitchToLeft());
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));

    // Back again, from 0 to the full travel.
    QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(10, 15));
    QCOMPARE(animation->startValue().toInt(), 0);
    QCOMPARE(animation->endValue().toInt(), 71);
    QTRY_VERIFY(!sw.getIsSwitchToLeft());
    QCOMPARE(thumbSpan(render(sw)).first, 73);
}

void tst_Switch::resizeAndSideFlagDoNotMoveAPlacedThumb()
{
    VYRQSwitch sw;
    prepare(sw);
    sw.setSwitchSpeed(0);
    sw.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sw));
    QCOMPARE(thumbSpan(render(sw)).first, 73);

    sw.resize(150, 30);
    sw.setSwitchToLeft(true);
    QCOMPARE(thumbSpan(render(sw)).first, 73);

    // The next slide starts from the side the flag names: from the left to the far right.
    QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(10, 15));
    QTRY_VERIFY(!sw.getIsSwitchToLeft());
    QCOMPARE(thumbSpan(render(sw)), qMakePair(123, 147));
}

void tst_Switch::onlyFreeEndTextWhenNotShowingAll()
{
    VYRQSwitch sw;
    prepare(sw);
    sw.setShowAllText(false);
    sw.setSwitchToLeft(true);
    const QImage shot = render(sw);
    const QImage bare = withoutTexts(sw);
    QCOMPARE(inkTone(shot, bare, QRect(0, 0, 74, 30)), 0);
    QCOMPARE(inkTone(shot, bare, QRect(75, 2, 25, 25)), -1);
}

void tst_Switch::readAttr_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QSize>("thumb");
    QTest::addColumn<bool>("toLeft");

    const QStringList none{"", ""};
    QTest::newRow("empty") << QByteArray("{}") << none << QSize(25, 25) << true;
    QTest::newRow("on 1") << QByteArray(R"({"on": 1})") << none << QSize(25, 25) << false;
    QTest::newRow("on true") << QByteArray(R"({"on": true})") << none << QSize(25, 25) << false;
    QTest::newRow("on 0") << QByteArray(R"({"on": 0, "leftText": "Ja", "rightText": "Nein"})")
                          << QStringList{"Ja", "Nein"} << QSize(25, 25) << true;
    QTest::newRow("thumb") << QByteArray(R"({"thumbW": 30, "thumbH": 12, "on": true})") << none << QSize(30, 12)
                           << false;
}

void tst_Switch::readAttr()
{
    QFETCH(QByteArray, attr);
    QFETCH(QStringList, texts);
    QFETCH(QSize, thumb);
    QFETCH(bool, toLeft);
    VYRQSwitch sw;
    sw.setThumbSize(40, 40);
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(sw.readJsonValue(&element));
    QCOMPARE(QStringList({sw.getLeftText(), sw.getRightText()}), texts);
    QCOMPARE(sw.getThumbBtnSize(), thumb);
    QCOMPARE(sw.getIsSwitchToLeft(), toLeft);
}

void tst_Switch::newSwitchWritesTextsThumbAndSide()
{
    VYRQSwitch sw;
    Json::Value out = write(sw);
    QVERIFY(!out.isMember("style"));
    QCOMPARE(out["attr"], parse(R"({"leftText": "On", "rightText": "Off", "thumbW": 25, "thumbH": 25, "on": true})"));

    // The left side is written as the absence of "on", which reads back as left.
    sw.setSwitchToLeft(true);
    sw.setSwitchSpeed(120);
    sw.setMargin(0);
    out = write(sw);
    QVERIFY(!out["attr"].isMember("on"));
    QCOMPARE(out["attr"]["speed"].asInt(), 120);
    QCOMPARE(out["attr"]["margin"].asInt(), 0);
    VYRQSwitch copy;
    QVERIFY(copy.readJsonValue(&out));
    QVERIFY(copy.getIsSwitchToLeft());
    QCOMPARE(copy.getSwitchSpeed(), 120u);
    QCOMPARE(copy.getMargin(), 0);
}

void tst_Switch::styleSlotsRoundTrip()
{
    VYRQSwitch sw;
    Json::Value element = parse(R"({"style": [["SwBlue", 1, 0], ["SwA", 1, 1], ["SwA", 1, 2], ["SwBlue", 1, 4],
                                              ["SwText", 2, 7], ["SwA", 1, 8]]})");
    QVERIFY(sw.readJsonValue(&element));
    QCOMPARE(QStringList({sw.getBackgroundStyle(CommonDisable).name, sw.getThumbStyle(Normal).name,
                          sw.getThumbStyle(Hot).name, sw.getThumbStyle(Pressed).name, sw.getThumbStyle(Disable).name,
                          sw.getTextStyle(VYRQSwitch::Left).name, sw.getTextStyle(VYRQSwitch::SwitchPosition(5)).name}),
             QStringList({"SwBlue", "SwA", "SwA", "SwBlue", "SwA", "", "SwText"}));

    const Json::Value out = write(sw);
    QCOMPARE(out["style"], parse(R"([["SwBlue", 1, 0], ["SwA", 1, 2], ["SwA", 1, 3], ["SwBlue", 1, 4],
                                     ["SwA", 1, 5], ["SwText", 2, 7]])"));

    // The thumb keeps exactly four styles: other states, 4 included, are ignored.
    for (int state : {-1, 4, 9})
        sw.setThumbStyle(CtrlState(state), solid(QStringLiteral("SwB"), red));
    QCOMPARE(write(sw)["style"], out["style"]);
    QCOMPARE(sw.getThumbStyle(CtrlState(-3)).name, QStringLiteral("SwA"));
}

void tst_Switch::speedIsClamped_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::addColumn<uint>("speed");

    QTest::newRow("negative") << QByteArray(R"({"speed": -5})") << 0u;
    QTest::newRow("huge") << QByteArray(R"({"speed": 1e12})") << uint(INT_MAX);
    QTest::newRow("above int") << QByteArray(R"({"speed": 4294967291})") << uint(INT_MAX);
    QTest::newRow("fractional") << QByteArray(R"({"speed": 250.7})") << 250u;
    QTest::newRow("ordinary") << QByteArray(R"({"speed": 800})") << 800u;
}

// The stored speed is the duration the slide really runs with.
void tst_Switch::speedIsClamped()
{
    QFETCH(QByteArray, attr);
    QFETCH(uint, speed);
    VYRQSwitch sw;
    prepare(sw);
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(sw.readJsonValue(&element));
    QCOMPARE(sw.getSwitchSpeed(), speed);

    sw.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sw));
    auto* animation = sw.findChild<QVariantAnimation*>();
    QVERIFY(animation);
    QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(10, 15));
    QCOMPARE(uint(animation->duration()), speed);
    if (speed == 0)
        QTRY_VERIFY(!sw.getIsSwitchToLeft());

    sw.setSwitchSpeed(UINT_MAX);
    QCOMPARE(sw.getSwitchSpeed(), uint(INT_MAX));
    const ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtswitch"));
    QVERIFY(info && info->rows.size() == 16 && info->rows[12].name == QLatin1String("Speed"));
    info->rows[12].setInt(&sw, -40);
    QCOMPARE(sw.getSwitchSpeed(), 0u);
}

void tst_Switch::themeRefreshKeepsApplicationTextsAndSide()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
    QScopedPointer<QWidget> created(createControlFromJson("switch", Json::Value(), nullptr));
    QVERIFY(qobject_cast<VYRQSwitch*>(created.data()));
    VYRQSwitch& sw = *qobject_cast<VYRQSwitch*>(created.data());
    QCOMPARE(sw.getMargin(), 3);
    QCOMPARE(sw.getBackgroundStyle(CommonNormal).name, QStringLiteral("TglGreen"));
    QCOMPARE(sw.getLeftText(), QStringLiteral("On"));
    QVERIFY(!sw.getIsSwitchToLeft());

    sw.setLeftText(QStringLiteral("Auto"));
    sw.setRightText(QStringLiteral("Manual"));
    sw.setThumbSize(40, 20);
    sw.setMargin(5);
    sw.getControlBase()->refreshTheme();
    QCOMPARE(sw.getMargin(), 3);
    QCOMPARE(sw.getLeftText(), QStringLiteral("Auto"));
    QCOMPARE(sw.getRightText(), QStringLiteral("Manual"));
    QCOMPARE(sw.getThumbBtnSize(), QSize(40, 20));
    QVERIFY(!sw.getIsSwitchToLeft());

    // What a theme element names, it sets.
    sw.setThemeName(QStringLiteral("TglSwitchAll"));
    QCOMPARE(sw.getLeftText(), QStringLiteral("L"));
    QCOMPARE(sw.getRightText(), QStringLiteral("R"));
    QVERIFY(sw.getIsSwitchToLeft());
    QCOMPARE(sw.getThumbBtnSize(), QSize(30, 20));

    // A page element keeps its own rules: missing texts are empty, no "on" is left.
    sw.setSwitchToLeft(false);
    Json::Value element = parse(R"({"attr": {}})");
    QVERIFY(sw.readJsonValue(&element));
    QCOMPARE(sw.getLeftText(), QString());
    QVERIFY(sw.getIsSwitchToLeft());
}

QTEST_MAIN(tst_Switch)
#include "tst_switch.moc"
