#include "controls_testutil.h"

#include "LanguageManager.h"
#include "VYRQGlobal.h"
#include "VYRQPushButton.h"
#include "VYRQPushButtonImpl.h"
#include "VYRQResourceManager.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace ctl;

namespace {

const QString media = QStringLiteral(VYR_TEST_DATA "/controls-media/");
const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2;
}

template <class States>
QStringList names(const States& states)
{
    QStringList out;
    for (const auto& s : states.raw())
        out << s.name;
    return out;
}

QStringList entries(const Json::Value& styles)
{
    QStringList out;
    for (const Json::Value& e : styles)
        out << QStringLiteral("%1:%2:%3").arg(str(e[0])).arg(e[1].asInt()).arg(e[2].asInt());
    return out;
}

} // namespace

class tst_PushButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void styleSlots_data();
    void styleSlots();
    void writeStyle_data();
    void writeStyle();
    void attrRoundTrip_data();
    void attrRoundTrip();
    void freshButtonWritesNoOwnKeys();
    void languageKeys();
    void resourceBitmapBecomesIcon();
    void svgIconIsPlacedBesideText();
    void iconPlacement_data();
    void iconPlacement();
    void stateIcons();
    void fadeRunsToHotAndBack();
    void fadeBlendsLooks();
    void fadeStopsWithoutTarget();
    void extensionPart();
    void registry();
    void themeDefaultsSkipTextAndIcon();

private:
    QTemporaryDir m_dir;
};

void tst_PushButton::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(m_dir.isValid());
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    for (auto [name, color] : {std::pair<const char*, QColor>{"BtnRed", red}, {"BtnGreen", green}, {"BtnBlue", blue}}) {
        FillStyle fill = solid(QString::fromLatin1(name), color);
        rm->setFillStyle(fill.name, fill);
        TextStyleDesc t;
        t.name = QString::fromLatin1(name) + QLatin1String("Text");
        t.color = color;
        rm->setTextStyle(t.name, t);
    }
    // An upper-case SVG extension: the files are found case-sensitively here.
    QVERIFY(QFile::copy(media + QLatin1String("red-square.svg"), m_dir.filePath(QStringLiteral("ICON.SVG"))));
}

void tst_PushButton::styleSlots_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("fills");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("normal fans out") << QByteArray(R"([["BtnRed", 1, 0]])")
                                     << QStringList{"BtnRed", "BtnRed", "BtnRed", "BtnRed"}
                                     << QStringList{"", "", "", ""};
    QTest::newRow("pressed alone") << QByteArray(R"([["BtnRed", 1, 2]])") << QStringList{"", "", "BtnRed", ""}
                                   << QStringList{"", "", "", ""};
    QTest::newRow("normal then hot") << QByteArray(R"([["BtnRed", 1, 0], ["BtnGreen", 1, 1]])")
                                     << QStringList{"BtnRed", "BtnGreen", "BtnRed", "BtnRed"}
                                     << QStringList{"", "", "", ""};
    QTest::newRow("texts") << QByteArray(R"([["BtnRedText", 2, 4], ["BtnBlueText", 2, 7]])")
                           << QStringList{"", "", "", ""}
                           << QStringList{"BtnRedText", "BtnRedText", "BtnRedText", "BtnBlueText"};
    QTest::newRow("missing name and bad slot") << QByteArray(R"([["Nope", 1, 0], ["BtnRed", 1, 8]])")
                                               << QStringList{"", "", "", ""} << QStringList{"", "", "", ""};
}

void tst_PushButton::styleSlots()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, fills);
    QFETCH(QStringList, texts);

    VYRQPushButton button;
    Json::Value element = parse("{\"style\": " + json + "}");
    QVERIFY(button.readJsonValue(&element));
    QCOMPARE(names(button.impl()->backgrounds), fills);
    QCOMPARE(names(button.impl()->textStyles), texts);
}

void tst_PushButton::writeStyle_data()
{
    QTest::addColumn<QStringList>("fills");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("unnamed") << QStringList{"", "", "", ""} << QStringList{"", "", "", ""} << QStringList();
    QTest::newRow("one look") << QStringList{"BtnRed", "BtnRed", "BtnRed", "BtnRed"} << QStringList{"", "", "", ""}
                              << QStringList{"BtnRed:1:0"};
    QTest::newRow("hot differs") << QStringList{"BtnRed", "BtnGreen", "BtnRed", ""}
                                 << QStringList{"BtnRedText", "BtnGreenText", "", ""}
                                 << QStringList{"BtnRed:1:0", "BtnGreen:1:1", "BtnRed:1:2", "BtnRedText:2:4",
                                                "BtnGreenText:2:5"};
}

void tst_PushButton::writeStyle()
{
    QFETCH(QStringList, fills);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, expected);

    VYRQPushButton button;
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    for (int s = 0; s < 4; ++s) {
        FillStyle fill;
        if (!fills[s].isEmpty())
            QVERIFY(rm->getFillStyle(fills[s], fill));
        button.setBackground(CtrlState(s), fill);
        TextStyleDesc t;
        if (!texts[s].isEmpty())
            QVERIFY(rm->getTextStyle(texts[s], t));
        button.setTextStyle(CtrlState(s), t);
    }
    const Json::Value out = write(button);
    QCOMPARE(out.isMember("style"), !expected.isEmpty());
    QCOMPARE(entries(out["style"]), expected);

    // Every named state reads back (an unnamed one takes the Normal fan-out).
    VYRQPushButton copy;
    Json::Value element = out;
    QVERIFY(copy.readJsonValue(&element));
    const QStringList read = names(copy.impl()->backgrounds);
    for (int s = 0; s < 4; ++s)
        if (!fills[s].isEmpty())
            QCOMPARE(read[s], fills[s]);
}

void tst_PushButton::attrRoundTrip_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("written");

    auto row = [](const char* key, const char* value, const char* written = nullptr) {
        QTest::newRow(key) << QByteArray(key) << QByteArray(value) << QByteArray(written ? written : value);
    };
    row("hasIcon", "0");
    row("iconPath", "\"icons/a.png\"");
    row("isExtBtn", "true", "1");
    row("extWidth", "24");
    row("extIconPath", "\"ext.png\"");
    row("extHotIconPath", "\"ext-hot.png\"");
    row("text", "\"Go\"");
    row("hotIconPath", "\"hot.png\"");
    row("showText", "false", "0");
    row("drawBackground", "0");
    row("fadeEnabled", "1");
    row("fadeDuration", "300");
    row("iconHor", "2");
    row("iconVer", "0");
    row("iconX", "5");
    row("iconY", "-3");
    row("iconUseColor", "1");
    row("iconColor", "\"80123456\"", "\"FF123456\"");
    row("txtX", "4");
    row("txtY", "2");
}

void tst_PushButton::attrRoundTrip()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, written);

    VYRQPushButton button;
    Json::Value element = parse("{\"attr\": {\"" + key + "\": " + value + "}}");
    QVERIFY(button.readJsonValue(&element));
    const Json::Value out = write(button);
    const Json::Value expected = parse("{\"v\": " + written + "}")["v"];
    QVERIFY2(out["attr"][key.constData()] == expected, out.toStyledString().c_str());
    // Nothing but the key itself is written among the button's own keys.
    QCOMPARE(int(out["attr"].size()), 1);
}

void tst_PushButton::freshButtonWritesNoOwnKeys()
{
    VYRQPushButton button;
    const Json::Value out = write(button);
    QVERIFY(!out.isMember("attr"));
    QVERIFY(!out.isMember("style"));

    button.setFadeDuration(0);
    QCOMPARE(button.getFadeDuration(), 150);
    button.setFadeDuration(90);
    Json::Value element = parse(R"({"attr": {"fadeDuration": 0}})");
    QVERIFY(button.readJsonValue(&element));
    QCOMPARE(button.getFadeDuration(), 150);
}

void tst_PushButton::languageKeys()
{
    LanguageManager* lm = LanguageManager::instance();
    QVERIFY(lm->loadFromJson(R"({"defaultLanguage": "en", "languages": {
        "en": {"greet": "Hello", "alias": "|->greet"},
        "zh": {"greet": "Nihao", "alias": "|->greet"}}})"));
    QVERIFY(lm->setLanguage(QStringLiteral("en")));

    QWidget window;
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QVERIFY(rm->registerWindow(&window));
    VYRQPushButton* button = new VYRQPushButton(&window);
    Json::Value element = parse(R"({"attr": {"text": "|->greet"}})");
    QVERIFY(button->readJsonValue(&element));
    QCOMPARE(button->text(), QStringLiteral("Hello"));
    QCOMPARE(button->impl()->textKey, QStringLiteral("greet"));

    QVERIFY(lm->setLanguage(QStringLiteral("zh")));
    QCOMPARE(button->text(), QStringLiteral("Nihao"));
    // The writer writes the shown text.
    QCOMPARE(write(*button)["attr"]["text"].asString(), std::string("Nihao"));

    // A translation that names a key again is followed once.
    Json::Value alias = parse(R"({"attr": {"text": "|->alias"}})");
    QVERIFY(button->readJsonValue(&alias));
    QCOMPARE(button->text(), QStringLiteral("Nihao"));

    // A plain text drops the held key: a later language change leaves it alone.
    Json::Value plain = parse(R"({"attr": {"text": "Plain"}})");
    QVERIFY(button->readJsonValue(&plain));
    QVERIFY(lm->setLanguage(QStringLiteral("en")));
    QCOMPARE(button->text(), QStringLiteral("Plain"));
    QVERIFY(rm->unregisterWindow(&window));
}

void tst_PushButton::resourceBitmapBecomesIcon()
{
    VYRQPushButton button;
    button.setIcon(QStringLiteral("first.png"));
    button.setUseIcon(false);
    button.setIcon(QStringLiteral(":/qt-project.org/qmessagebox/images/qtlogo-64.png"));
    QVERIFY(button.getUseIcon());
    QCOMPARE(button.getIcon(), QStringLiteral("first.png"));
    QVERIFY(!button.impl()->icon.isNull());

    // A path icon clears the QIcon again.
    button.setIcon(QStringLiteral("second.png"));
    QVERIFY(button.impl()->icon.isNull());
    QCOMPARE(button.getIcon(), QStringLiteral("second.png"));
}

void tst_PushButton::svgIconIsPlacedBesideText()
{
    const QString path = m_dir.filePath(QStringLiteral("ICON.SVG"));
    VYRQPushButton button;
    button.setText(QStringLiteral("Go on"));
    button.setIcon(path);
    QCOMPARE(button.getIcon(), path);
    const int textWidth = VYRQWidgetBaseImpl::getTextSize(button.getTextStyle(Normal), button.text()).width();
    QCOMPARE(button.getIconStyle().x, -(10 + textWidth / 2));
    QCOMPARE(button.getTextOffsetX(), 5);

    // Without a shown text the icon goes back to its plain place.
    button.setShowText(false);
    button.setTextOffsetY(7);
    button.setIcon(path);
    QCOMPARE(button.getIconStyle().x, 0);
    QCOMPARE(button.getTextOffsetX(), 0);
    QCOMPARE(button.getTextOffsetY(), 0);
}

void tst_PushButton::iconPlacement_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("ver");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("near") << 0 << 0 << 0 << 0 << QPoint(0, 0);
    QTest::newRow("centre") << 1 << 1 << 0 << 0 << QPoint(25, 15);
    QTest::newRow("far") << 2 << 2 << -1 << -1 << QPoint(49, 29);
    QTest::newRow("near with offsets") << 0 << 0 << 3 << 4 << QPoint(3, 4);
    QTest::newRow("far left, centre") << 2 << 1 << -2 << 0 << QPoint(48, 15);
}

void tst_PushButton::iconPlacement()
{
    QFETCH(int, hor);
    QFETCH(int, ver);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(QPoint, topLeft);

    VYRQPushButton button;
    button.resize(60, 40);
    button.setBackground(AllStates, solid(QStringLiteral("paper"), QColor(250, 250, 250)));
    button.setIcon(media + QLatin1String("red-square.svg"));
    button.setIconStyle(IconStyleDesc{dx, dy, false, Qt::black, hor, ver});

    const QImage image = render(button);
    QCOMPARE(pixel(image, topLeft.x(), topLeft.y()), red);
    QCOMPARE(pixel(image, topLeft.x() + 9, topLeft.y() + 9), red);
    QCOMPARE(pixel(image, topLeft.x() + 10, topLeft.y()), QColor(250, 250, 250));
    QCOMPARE(pixel(image, topLeft.x(), topLeft.y() + 10), QColor(250, 250, 250));
}

void tst_PushButton::stateIcons()
{
    VYRQPushButton button;
    button.resize(40, 40);
    button.setFadeEnabled(false);
    button.setIcon(media + QLatin1String("red-square.svg"));
    button.setHotIcon(media + QLatin1String("blue-square.svg"));
    QCOMPARE(pixel(render(button), 20, 20), red);
    hover(button, true);
    QCOMPARE(button.impl()->ctrlState(), Hot);
    QCOMPARE(pixel(render(button), 20, 20), blue);
    mouse(button, QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton);
    QCOMPARE(button.impl()->ctrlState(), Pressed);
    // No pressed icon: the plain one.
    QCOMPARE(pixel(render(button), 20, 20), red);
    button.setPressedIcon(media + QLatin1String("blue-square.svg"));
    QCOMPARE(pixel(render(button), 20, 20), blue);

    // Disabled: the plain icon, drawn grey.
    button.setEnabled(false);
    const QColor grey = pixel(render(button), 20, 20);
    QVERIFY(grey != red && grey != blue);
}

void tst_PushButton::fadeRunsToHotAndBack()
{
    VYRQPushButton button;
    button.setFadeEnabled(true);
    button.setFadeDuration(150);
    VYRQPushButtonImpl* d = button.impl();
    QSignalSpy ticks(d->timer(), &QTimer::timeout);
    QSignalSpy entered(&button, &VYRQPushButton::enterSignal);
    QSignalSpy left(&button, &VYRQPushButton::leaveSignal);

    hover(button, true);
    QCOMPARE(d->ctrlState(), Hot);
    QCOMPARE(d->fadeFrom, Normal);
    QCOMPARE(d->fadeTo, Hot);
    QVERIFY(d->isFadeRunning());
    QTRY_VERIFY(!d->isFadeRunning());
    QCOMPARE(d->fadeProgress, 1.0);
    QCOMPARE(d->fadeFrom, Hot);
    // 16 ms steps over 150 ms.
    QCOMPARE(ticks.count(), 10);

    ticks.clear();
    hover(button, false);
    QCOMPARE(d->ctrlState(), Hot);
    QCOMPARE(d->fadeTo, Normal);
    QTRY_VERIFY(!d->isFadeRunning());
    QCOMPARE(d->fadeProgress, 0.0);
    QCOMPARE(d->ctrlState(), Normal);
    QCOMPARE(d->fadeFrom, Normal);
    QCOMPARE(ticks.count(), 10);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);
}

void tst_PushButton::fadeBlendsLooks()
{
    VYRQPushButton button;
    button.resize(40, 20);
    button.setBackground(Normal, solid(QStringLiteral("n"), QColor(0, 0, 0)));
    button.setBackground(Hot, solid(QStringLiteral("h"), QColor(200, 100, 40)));
    button.setFadeEnabled(true);
    button.setFadeDuration(100000);
    VYRQPushButtonImpl* d = button.impl();

    hover(button, true);
    QTRY_VERIFY(d->fadeProgress > 0.0);
    d->fadeTimer->stop();
    d->fadeProgress = 0.5;
    QVERIFY(near(pixel(render(button), 2, 2), QColor(100, 50, 20)));

    hover(button, false);
    d->fadeTimer->stop();
    d->fadeProgress = 0.25;   // a quarter of the way back from Hot: weight 0.75 toward Normal
    QVERIFY(near(pixel(render(button), 2, 2), QColor(50, 25, 10)));

    d->fadeProgress = 1.0;
    QCOMPARE(pixel(render(button), 2, 2), QColor(200, 100, 40));
}

void tst_PushButton::fadeStopsWithoutTarget()
{
    VYRQPushButton button;
    button.setFadeEnabled(true);
    button.setFadeDuration(60);
    VYRQPushButtonImpl* d = button.impl();

    // Entering while a fade-out runs: the state is Hot already, nothing to fade.
    hover(button, true);
    QTRY_VERIFY(!d->isFadeRunning());
    button.setFadeDuration(100000);
    hover(button, false);
    QTRY_VERIFY(d->fadeProgress < 1.0);
    hover(button, true);
    QCOMPARE(d->fadeFrom, Hot);
    QTRY_VERIFY(!d->isFadeRunning());
    QCOMPARE(d->ctrlState(), Hot);

    // Leaving while disabled aims at Disable, which no tick advances.
    button.setEnabled(false);
    hover(button, false);
    QCOMPARE(d->ctrlState(), Disable);
    QCOMPARE(d->fadeTo, Disable);
    QTRY_VERIFY(!d->isFadeRunning());

    // Turning the fade off ends a running fade on the Hot look.
    button.setEnabled(true);
    hover(button, true);
    QVERIFY(d->isFadeRunning());
    button.setFadeEnabled(false);
    QVERIFY(!d->isFadeRunning());
    QCOMPARE(d->fadeProgress, 1.0);
}

void tst_PushButton::extensionPart()
{
    VYRQPushButton button;
    button.resize(100, 40);
    button.setFadeEnabled(false);
    button.setBackground(AllStates, solid(QStringLiteral("n"), red));
    button.setBackground(Hot, solid(QStringLiteral("h"), green));
    Json::Value element = parse(R"({"attr": {"isExtBtn": true, "extWidth": 24}})");
    QVERIFY(button.readJsonValue(&element));

    hover(button, true);
    mouse(button, QEvent::MouseMove, QPoint(76, 10));
    QVERIFY(!button.impl()->extHot);
    QCOMPARE(pixel(render(button), 10, 20), green);
    mouse(button, QEvent::MouseMove, QPoint(77, 10));
    QVERIFY(button.impl()->extHot);
    // Only the extension part shows the Hot background.
    const QImage image = render(button);
    QCOMPARE(pixel(image, 10, 20), red);
    QCOMPARE(pixel(image, 75, 20), red);
    QCOMPARE(pixel(image, 77, 20), green);

    // Leaving does not reset the part's hot flag.
    hover(button, false);
    QVERIFY(button.impl()->extHot);
}

void tst_PushButton::registry()
{
    for (const char* key : {"qtbutton", "button"}) {
        QScopedPointer<QWidget> w(createControlByType(key, nullptr));
        QVERIFY2(qobject_cast<VYRQPushButton*>(w.data()), key);
    }
    ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtbutton"));
    QVERIFY(info && info->rows.size() == 11);
}

// Runs last: the loaded theme set stays for the rest of the process.
void tst_PushButton::themeDefaultsSkipTextAndIcon()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
    VYRQPushButton button;
    QVERIFY(button.text().isEmpty());
    QVERIFY(button.getIcon().isEmpty());
    QCOMPARE(button.getHotIcon(), QStringLiteral("theme-hot.svg"));
    QCOMPARE(button.getTextOffsetX(), 3);
    const QStringList fills{"ThemeFill", "ThemeFill", "ThemeFill", "ThemeFill"};
    const QStringList texts{"ThemeText", "ThemeText", "ThemeText", "ThemeText"};
    QCOMPARE(names(button.impl()->backgrounds), fills);
    QCOMPARE(names(button.impl()->textStyles), texts);
    QCOMPARE(button.getBackground(Pressed).fill.color, QColor(0, 255, 0));
}

QTEST_MAIN(tst_PushButton)
#include "tst_pushbutton.moc"
