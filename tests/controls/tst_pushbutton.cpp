#include "controls_testutil.h"
#include "testaccess.h"

#include "LanguageManager.h"
#include "VYRQPushButton.h"
#include "VYRQPushButtonImpl_p.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

using namespace ctl;
using sty::names;
using sty::solid;

namespace {
const QString media = QStringLiteral(VYR_TEST_DATA "/controls-media/");
const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);

// The style names of the four states, "fills / texts".
QString looks(VYRQPushButton& button)
{
    return names(vyrtest::impl(button)->backgrounds).join(',') + " / " + names(vyrtest::impl(button)->textStyles).join(',');
}
} // namespace

class tst_PushButton : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(m_dir.isValid());
        for (auto [name, color] : {std::pair<QString, QColor>{"R", red}, {"G", green}, {"B", blue}}) {
            sty::addFill(name, color);
            sty::addText(name + "t", color);
        }
        sty::addText("TA", Qt::black);
        sty::addText("TH", Qt::black);
        // An upper-case SVG extension: the files are found case-sensitively here.
        QVERIFY(QFile::copy(media + "red-square.svg", m_dir.filePath("ICON.SVG")));
    }

    // Fill slots are 0-3, text slots 4-7; a Normal entry fans out to the states that
    // have none of their own; unknown names and slots are skipped.
    void readStyle_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal fans out") << QByteArray(R"([["R", 1, 0]])") << "R,R,R,R / ,,,";
        QTest::newRow("pressed alone") << QByteArray(R"([["R", 1, 2]])") << ",,R, / ,,,";
        QTest::newRow("normal then hot") << QByteArray(R"([["R", 1, 0], ["G", 1, 1]])") << "R,G,R,R / ,,,";
        QTest::newRow("texts") << QByteArray(R"([["Rt", 2, 4], ["Bt", 2, 7]])") << ",,, / Rt,Rt,Rt,Bt";
        QTest::newRow("missing name, bad slot") << QByteArray(R"([["Nope", 1, 0], ["R", 1, 8]])") << ",,, / ,,,";
    }

    void readStyle()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        VYRQPushButton button;
        QVERIFY(sty::load(button, "{\"style\": " + json + "}"));
        QCOMPARE(looks(button), expected);
    }

    // Fill states that look like Normal are left out.
    void writeStyle_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("one look") << "R,R,R,R / ,,," << QStringList{"R:1:0"};
        QTest::newRow("hot differs") << "R,G,R, / Rt,Gt,,"
                                     << QStringList{"R:1:0", "G:1:1", "R:1:2", "Rt:2:4", "Gt:2:5"};
        // Text styles are told apart by name: a look-alike Hot style spells them out.
        QTest::newRow("texts alike in look, named apart")
            << ",,, / TA,TH,TA,TA" << QStringList{"TA:2:4", "TH:2:5", "TA:2:6", "TA:2:7"};
    }

    void writeStyle()
    {
        QFETCH(QString, set);
        QFETCH(QStringList, written);
        const QStringList fills = set.section(" / ", 0, 0).split(','), texts = set.section(" / ", 1).split(',');
        VYRQPushButton button;
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        for (int s = 0; s < 4; ++s) {
            FillStyle fill;
            TextStyleDesc text;
            QVERIFY(fills[s].isEmpty() || rm->getFillStyle(fills[s], fill));
            QVERIFY(texts[s].isEmpty() || rm->getTextStyle(texts[s], text));
            button.setBackground(CtrlState(s), fill);
            button.setTextStyle(CtrlState(s), text);
        }
        QCOMPARE(sty::entries(write(button)["style"]), written);
    }

    // A fresh button writes none of its own keys. Every key reads and writes back
    // (values differ, so no two keys can swap); flags are written as numbers, colours
    // opaque; a fade duration below 1 stores 150.
    void attrRoundTrip()
    {
        VYRQPushButton button;
        QVERIFY(!write(button).isMember("attr") && !write(button).isMember("style"));
        Json::Value element = parse(R"({"attr": {"hasIcon": 0, "iconPath": "icons/a.png", "isExtBtn": true,
            "extWidth": 24, "extIconPath": "ext.png", "extHotIconPath": "ext-hot.png", "text": "Go",
            "hotIconPath": "hot.png", "showText": false, "drawBackground": 0, "fadeEnabled": 1, "fadeDuration": 300,
            "iconHor": 2, "iconVer": 0, "iconX": 5, "iconY": -3, "iconUseColor": 1, "iconColor": "80123456",
            "txtX": 4, "txtY": 2}})");
        QVERIFY(button.readJsonValue(&element));
        Json::Value expected = element["attr"];
        expected["isExtBtn"] = 1;
        expected["showText"] = 0;
        expected["iconColor"] = "FF123456";
        QCOMPARE(QString::fromStdString(write(button)["attr"].toStyledString()),
                 QString::fromStdString(expected.toStyledString()));
        QVERIFY(sty::load(button, R"({"attr": {"fadeDuration": 0}})"));
        QCOMPARE(button.getFadeDuration(), 150);
    }

    void languageKeys()
    {
        LanguageManager* lm = LanguageManager::instance();
        QVERIFY(lm->loadFromJson(R"({"defaultLanguage": "en", "languages": {
            "en": {"greet": "Hello", "alias": "|->greet"},
            "zh": {"greet": "Nihao", "alias": "|->greet"}}})"));
        QVERIFY(lm->setLanguage("en"));
        QWidget window;
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        QVERIFY(rm->registerWindow(&window));
        auto* button = new VYRQPushButton(&window);
        QVERIFY(sty::load(*button, R"({"attr": {"text": "|->greet"}})"));
        QCOMPARE(button->text(), QStringLiteral("Hello"));
        QVERIFY(lm->setLanguage("zh"));
        QCOMPARE(button->text(), QStringLiteral("Nihao"));
        QCOMPARE(str(write(*button)["attr"]["text"]), QStringLiteral("Nihao")); // the shown text
        // A translation that names a key again is followed once.
        QVERIFY(sty::load(*button, R"({"attr": {"text": "|->alias"}})"));
        QCOMPARE(button->text(), QStringLiteral("Nihao"));
        // A plain text drops the held key: a later language change leaves it alone.
        QVERIFY(sty::load(*button, R"({"attr": {"text": "Plain"}})"));
        QVERIFY(lm->setLanguage("en"));
        QCOMPARE(button->text(), QStringLiteral("Plain"));
        QVERIFY(rm->unregisterWindow(&window));
    }

    // An SVG name, in any case, goes left of a shown text, and back to its plain place
    // without one.
    void svgIconBesideText()
    {
        VYRQPushButton button;
        const QString svg = m_dir.filePath("ICON.SVG");
        button.setText(QStringLiteral("Go on"));
        button.setIcon(svg);
        QVERIFY(button.getIconStyle().x < -10); // its width and half the text's
        QCOMPARE(button.getTextOffsetX(), 5);
        button.setShowText(false);
        button.setTextOffsetY(7);
        button.setIcon(svg);
        QCOMPARE(QVector<int>({button.getIconStyle().x, button.getTextOffsetX(), button.getTextOffsetY()}),
                 QVector<int>({0, 0, 0}));
    }

    void iconPlacement_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("centre") << 1 << 1 << QPoint(0, 0) << QPoint(25, 15);
        QTest::newRow("far") << 2 << 2 << QPoint(-1, -1) << QPoint(49, 29);
        QTest::newRow("near with offsets") << 0 << 0 << QPoint(3, 4) << QPoint(3, 4);
        QTest::newRow("far left, centre") << 2 << 1 << QPoint(-2, 0) << QPoint(48, 15);
    }

    void iconPlacement()
    {
        QFETCH(int, hor);
        QFETCH(int, ver);
        QFETCH(QPoint, offset);
        QFETCH(QPoint, topLeft);
        const QColor paper(250, 250, 250);
        VYRQPushButton button;
        button.resize(60, 40);
        button.setBackground(AllStates, solid("paper", paper));
        button.setIcon(media + "red-square.svg");
        button.setIconStyle(IconStyleDesc{offset.x(), offset.y(), false, Qt::black, hor, ver});
        const QImage image = render(button);
        QCOMPARE(pixel(image, topLeft.x(), topLeft.y()), red);
        QCOMPARE(pixel(image, topLeft.x() + 9, topLeft.y() + 9), red);
        QCOMPARE(pixel(image, topLeft.x() + 10, topLeft.y()), paper);
        QCOMPARE(pixel(image, topLeft.x(), topLeft.y() + 10), paper);
    }

    // Hot and pressed icons where set, the plain one otherwise; disabled, the plain one grey.
    void stateIcons()
    {
        VYRQPushButton button;
        button.resize(40, 40);
        button.setFadeEnabled(false);
        button.setIcon(media + "red-square.svg");
        button.setHotIcon(media + "blue-square.svg");
        QCOMPARE(pixel(render(button), 20, 20), red);
        hover(button, true);
        QCOMPARE(pixel(render(button), 20, 20), blue);
        mouse(button, QEvent::MouseButtonPress, QPoint(20, 20));
        QCOMPARE(pixel(render(button), 20, 20), red);
        button.setPressedIcon(media + "blue-square.svg");
        QCOMPARE(pixel(render(button), 20, 20), blue);
        button.setEnabled(false);
        const QColor grey = pixel(render(button), 20, 20);
        QVERIFY(grey != red && grey != blue);
    }

    // 16 ms steps over 150 ms, to Hot on entering and back to Normal on leaving.
    void fadeStopsAtTarget()
    {
        VYRQPushButton button;
        button.setFadeEnabled(true);
        button.setFadeDuration(150);
        VYRQPushButtonImpl* d = vyrtest::impl(button);
        QSignalSpy ticks(d->timer(), &QTimer::timeout);
        hover(button, true);
        QVERIFY(d->isFadeRunning() && d->fadeTo == Hot);
        QTRY_VERIFY(!d->isFadeRunning());
        QCOMPARE(d->fadeProgress, 1.0);
        QCOMPARE(ticks.count(), 10);
        ticks.clear();
        hover(button, false);
        QCOMPARE(d->ctrlState(), Hot); // until the fade ends
        QTRY_VERIFY(!d->isFadeRunning());
        QCOMPARE(d->fadeProgress, 0.0);
        QCOMPARE(d->ctrlState(), Normal);
        QCOMPARE(ticks.count(), 10);
        // A fade with nowhere to go, or aimed at Disable, ends at once; turning the fade
        // off ends a running one on the Hot look.
        hover(button, true);
        QTRY_VERIFY(!d->isFadeRunning());
        button.setFadeDuration(100000);
        hover(button, false);
        QTRY_VERIFY(d->fadeProgress < 1.0);
        hover(button, true); // the state is Hot already
        QTRY_VERIFY(!d->isFadeRunning());
        QCOMPARE(d->ctrlState(), Hot);
        button.setEnabled(false);
        hover(button, false);
        QTRY_VERIFY(!d->isFadeRunning());
        QCOMPARE(d->ctrlState(), Disable);
        button.setEnabled(true);
        hover(button, true);
        QVERIFY(d->isFadeRunning());
        button.setFadeEnabled(false);
        QVERIFY(!d->isFadeRunning());
        QCOMPARE(d->fadeProgress, 1.0);
    }

    // Part way, the background mixes the Normal and Hot looks, both ways.
    void fadeBlendsLooks()
    {
        VYRQPushButton button;
        button.resize(40, 20);
        button.setBackground(Normal, solid("n", QColor(0, 0, 0)));
        button.setBackground(Hot, solid("h", QColor(200, 100, 40)));
        button.setFadeEnabled(true);
        button.setFadeDuration(100000);
        hover(button, true);
        vyrtest::impl(button)->fadeProgress = 0.5;
        QVERIFY(sty::near(pixel(render(button), 2, 2), QColor(100, 50, 20)));
        hover(button, false);
        vyrtest::impl(button)->fadeProgress = 0.25; // a quarter of the way back from Hot
        QVERIFY(sty::near(pixel(render(button), 2, 2), QColor(50, 25, 10)));
    }

    // Over the extension part only that part shows the Hot background; leaving keeps
    // the part hot.
    void extensionPart()
    {
        VYRQPushButton button;
        button.resize(100, 40);
        button.setFadeEnabled(false);
        button.setBackground(AllStates, solid("n", red));
        button.setBackground(Hot, solid("h", green));
        QVERIFY(sty::load(button, R"({"attr": {"isExtBtn": true, "extWidth": 24}})"));
        hover(button, true);
        mouse(button, QEvent::MouseMove, QPoint(76, 10));
        QCOMPARE(pixel(render(button), 10, 20), green);
        mouse(button, QEvent::MouseMove, QPoint(77, 10));
        const QImage image = render(button);
        QVERIFY(pixel(image, 10, 20) == red && pixel(image, 75, 20) == red && pixel(image, 77, 20) == green);
        hover(button, false);
        QVERIFY(vyrtest::impl(button)->extHot);
    }

    // Theme defaults give the looks and offsets but never the text or the icon.
    void themeDefaultsSkipTextAndIcon()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
        VYRQPushButton button;
        QVERIFY(button.text().isEmpty() && button.getIcon().isEmpty());
        QCOMPARE(button.getHotIcon(), QStringLiteral("theme-hot.svg"));
        QCOMPARE(button.getTextOffsetX(), 3);
        QCOMPARE(looks(button),
                 QStringLiteral("ThemeFill,ThemeFill,ThemeFill,ThemeFill / ThemeText,ThemeText,ThemeText,ThemeText"));
        sty::dropTheme();
    }
};

QTEST_MAIN(tst_PushButton)
#include "tst_pushbutton.moc"
