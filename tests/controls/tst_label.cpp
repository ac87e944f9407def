#include "controls_testutil.h"

#include "VYRQGlobal.h"
#include "VYRQLabel.h"
#include "VYRQResourceManager.h"

#include <QtTest>

using namespace ctl;

namespace {
const QChar ellipsis(0x2026);
const QString longText = QStringLiteral("The quick brown fox jumps over the lazy dog again");

TextStyleDesc textStyle(const QString& name, const QColor& color)
{
    TextStyleDesc style;
    style.name = name;
    style.color = color;
    return style;
}
} // namespace

class tst_Label : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readUsesSlotZeroOnly();
    void writeKeepsFullText();
    void emptyTextReadsBackAsLabel();
    void elision_data();
    void elision();
    void lookFromStyle();
    void languagePrefixIsShownUnchanged();
    void registry();
    void themeDefaultsApplyBeforeInitialText();
};

void tst_Label::initTestCase()
{
    VYRQtLib::init();
    for (auto style : {textStyle(QStringLiteral("LblNormal"), QColor(10, 20, 30)),
                       textStyle(QStringLiteral("LblDisabled"), QColor(200, 0, 0))})
        VYRQResourceManager::getInstance()->setTextStyle(style.name, style);
}

void tst_Label::readUsesSlotZeroOnly()
{
    VYRQLabel label;
    Json::Value element = parse(R"({"style": [["LblDisabled", 2, 1], ["LblNormal", 2, 0], ["Missing", 2, 0]],
                                    "attr": {"text": "Hello"}})");
    QVERIFY(label.readJsonValue(&element));
    QCOMPARE(label.getTextStyle(Normal).name, QStringLiteral("LblNormal"));
    QVERIFY(label.getTextStyle(Disable).name.isEmpty());
    QCOMPARE(label.text(), QStringLiteral("Hello"));
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(10, 20, 30));
}

void tst_Label::writeKeepsFullText()
{
    VYRQLabel label;
    label.setTextStyle(Normal, textStyle(QStringLiteral("LblNormal"), Qt::black));
    label.setTextStyle(Disable, textStyle(QStringLiteral("LblDisabled"), Qt::red));
    label.show(); // a hidden widget gets its resize event only when shown
    label.resize(40, 20);
    label.setText(longText);
    QCOMPARE(label.text(), longText); // shortened at the next resize only
    label.resize(41, 20);
    QVERIFY(label.text().endsWith(ellipsis));

    const Json::Value out = write(label);
    QCOMPARE(str(out["attr"]["text"]), longText);
    QCOMPARE(out["style"].size(), 1u);
    QCOMPARE(str(out["style"][0][0]), QStringLiteral("LblNormal"));
    QCOMPARE(out["style"][0][2].asInt(), 0);
}

void tst_Label::emptyTextReadsBackAsLabel()
{
    VYRQLabel label;
    label.setText(QString());
    Json::Value out = write(label);
    QVERIFY(out.isMember("style") && out["style"].isNull());
    QVERIFY(!out["attr"].isMember("text"));

    VYRQLabel fresh;
    QVERIFY(fresh.readJsonValue(&out));
    QCOMPARE(fresh.text(), QStringLiteral("label"));
}

void tst_Label::elision_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("singleLine");
    QTest::addColumn<int>("where"); // -1 whole, 0 start, 1 end, 2 middle

    QTest::newRow("left") << 0 << true << 0;
    QTest::newRow("right") << 1 << true << 1;
    QTest::newRow("middle") << 2 << true << 2;
    QTest::newRow("none") << 3 << true << -1;
    QTest::newRow("multi-line") << 1 << false << -1;
}

void tst_Label::elision()
{
    QFETCH(int, mode);
    QFETCH(bool, singleLine);
    QFETCH(int, where);

    VYRQLabel label;
    TextStyleDesc style;
    style.elideMode = mode;
    style.singleLine = singleLine;
    label.setTextStyle(Normal, style);
    label.setText(longText);
    label.show();
    label.resize(60, 20);

    const QString shown = label.text();
    const int at = shown.indexOf(ellipsis);
    const int expected[] = {0, shown.size() - 1};
    if (where < 0)
        QCOMPARE(shown, longText);
    else if (where < 2)
        QCOMPARE(at, expected[where]);
    else
        QVERIFY2(at > 0 && at < shown.size() - 1, qPrintable(shown));
    label.resize(2000, 20);
    QCOMPARE(label.text(), longText);
}

void tst_Label::lookFromStyle()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const VYRGlobalConfig saved = rm->getGlobalConfig();
    VYRGlobalConfig config = saved;
    config.fontFamily = QStringLiteral("DejaVu Serif");
    rm->setGlobalConfig(config);

    VYRQLabel label;
    TextStyleDesc style = textStyle(QStringLiteral("LblLook"), QColor(1, 2, 3));
    style.family = QStringLiteral("Nonexistent Family");
    style.size = 17;
    style.bold = true;
    style.hor = 2;
    style.ver = 0;
    label.setTextStyle(AllStates, style);
    QCOMPARE(label.font().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(label.font().pixelSize(), 17);
    QCOMPARE(label.font().weight(), 75);
    QCOMPARE(label.alignment(), Qt::AlignRight | Qt::AlignTop);
    rm->setGlobalConfig(saved);

    // The disabled colour is stored only; a disabled label keeps its colour.
    label.setDisableColor(QColor(9, 9, 9));
    label.setEnabled(false);
    QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(1, 2, 3));
    label.setColor(QColor(4, 5, 6));
    QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(4, 5, 6));
    QCOMPARE(label.getDisableColor(), QColor(9, 9, 9));
}

void tst_Label::languagePrefixIsShownUnchanged()
{
    VYRQLabel label;
    Json::Value element = parse(R"({"attr": {"text": "|->greeting"}})");
    QVERIFY(label.readJsonValue(&element));
    label.notifyChangeLanguage();
    QCOMPARE(label.text(), QStringLiteral("|->greeting"));
}

void tst_Label::registry()
{
    for (const char* key : {"qtlabel", "label"}) {
        QScopedPointer<QWidget> w(createControlByType(key, nullptr));
        QVERIFY2(qobject_cast<VYRQLabel*>(w.data()), key);
    }
    ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtlabel"));
    QVERIFY(info);
    QCOMPARE(info->rows.size(), size_t(9));
    QCOMPARE(info->rows[8].name, QStringLiteral("TextStyle"));
}

// Runs last: the loaded theme set stays for the rest of the process.
void tst_Label::themeDefaultsApplyBeforeInitialText()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
    VYRQLabel label;
    QCOMPARE(label.getColor(), QColor(0, 0, 255));
    QCOMPARE(label.text(), QStringLiteral("label"));
    label.getControlBase()->refreshTheme();
    QCOMPARE(label.text(), QStringLiteral("themed"));
}

QTEST_MAIN(tst_Label)
#include "tst_label.moc"
