#include "LanguageManager.h"
#include "VYRQCheckBox.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"

#include "controls_testutil.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using ctl::parse;
using ctl::render;
using ctl::write;

// Left edge of what drawing the text changes; -1 when nothing was drawn.
int textLeft(VYRQCheckBox& box)
{
    box.setShowText(true);
    const QImage with = render(box);
    box.setShowText(false);
    const QImage without = render(box);
    for (int x = 0; x < with.width(); ++x)
        for (int y = 0; y < with.height(); ++y)
            if (with.pixel(x, y) != without.pixel(x, y))
                return x;
    return -1;
}

} // namespace

class tst_CheckBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void newCheckBoxWritesIconHorAndDefaultIcons();
    void attrRoundTrip_data();
    void attrRoundTrip();
    void hotIconFollowsBase_data();
    void hotIconFollowsBase();
    void hotIconFollowsBaseInSetterOrder();
    void styleSlotsAndStateRanges();
    void disabledCheckedLook();
    void textStart_data();
    void textStart();
    void clickAreaIsTheStyles();
    void languageKeys();
    // Last: the loaded theme set stays for the rest of the process.
    void themeRefreshKeepsApplicationText();

private:
    QString image(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

void tst_CheckBox::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(m_dir.isValid());
    const QPair<const char*, QColor> images[] = {{"red16.png", Qt::red}, {"blue16.png", Qt::blue}};
    for (const auto& entry : images) {
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(entry.second);
        QVERIFY(img.save(image(entry.first)));
    }
    QImage small(8, 8, QImage::Format_ARGB32);
    small.fill(Qt::blue);
    QVERIFY(small.save(image("blue8.png")));

    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    FillStyle fill;
    fill.name = QStringLiteral("CbFill");
    rm->setFillStyle(fill.name, fill);
    TextStyleDesc text;
    text.name = QStringLiteral("CbText");
    rm->setTextStyle(text.name, text);
}

void tst_CheckBox::newCheckBoxWritesIconHorAndDefaultIcons()
{
    VYRQCheckBox box;
    const Json::Value out = write(box);
    QVERIFY(!out.isMember("style"));
    QCOMPARE(out["attr"], parse(R"({"iconHor": 0, "iconPath": "IDB_UNCHECK", "hotIconPath": "IDB_UNCHECK",
                                    "siconPath": "IDB_CHECKED", "sHotIconPath": "IDB_CHECKED"})"));
}

void tst_CheckBox::attrRoundTrip_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::newRow("centred icon") << QByteArray(R"({"iconHor": 1})");
    QTest::newRow("far vertical, offsets") << QByteArray(R"({"iconVer": 2, "iconX": 5, "iconY": -3})");
    QTest::newRow("hidden parts") << QByteArray(R"({"showIcon": 0, "showText": 0, "text": "Grüße"})");
    QTest::newRow("disabled icons") << QByteArray(R"({"disableIconPath": "e", "disableSIconPath": "f"})");
    QTest::newRow("icons emptied") << QByteArray(R"({"iconPath": "", "hotIconPath": "", "siconPath": ""})");
}

// What one check box writes holds what it read and reads back into the same looks.
void tst_CheckBox::attrRoundTrip()
{
    QFETCH(QByteArray, attr);
    VYRQCheckBox first;
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(first.readJsonValue(&element));
    const Json::Value written = write(first);
    for (const std::string& key : element["attr"].getMemberNames())
        QVERIFY2(written["attr"][key] == element["attr"][key], key.c_str());

    VYRQCheckBox second;
    Json::Value copy = written;
    QVERIFY(second.readJsonValue(&copy));
    QCOMPARE(write(second), written);
}

void tst_CheckBox::hotIconFollowsBase_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::addColumn<QStringList>("icons"); // unchecked, unchecked hot, checked, checked hot

    QTest::newRow("base only") << QByteArray(R"({"iconPath": "A"})")
                               << QStringList{"A", "A", "IDB_CHECKED", "IDB_CHECKED"};
    QTest::newRow("default hot follows") << QByteArray(R"({"iconPath": "B", "hotIconPath": "IDB_UNCHECK"})")
                                         << QStringList{"B", "B", "IDB_CHECKED", "IDB_CHECKED"};
    QTest::newRow("own hot stays") << QByteArray(R"({"iconPath": "B", "hotIconPath": "C", "siconPath": "N"})")
                                   << QStringList{"B", "C", "N", "N"};
}

void tst_CheckBox::hotIconFollowsBase()
{
    QFETCH(QByteArray, attr);
    QFETCH(QStringList, icons);
    VYRQCheckBox box;
    box.setText(QStringLiteral("before"));
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(box.readJsonValue(&element));
    QCOMPARE(QStringList({box.getUncheckIcon(), box.getUncheckHotIcon(), box.getCheckedIcon(),
                          box.getCheckedHotIcon()}),
             icons);
    QCOMPARE(box.text(), QString()); // a page element without a text empties it
}

void tst_CheckBox::hotIconFollowsBaseInSetterOrder()
{
    VYRQCheckBox hotFirst;
    hotFirst.setCheckedHotIcon(QStringLiteral("H"));
    hotFirst.setCheckedIcon(QStringLiteral("N"));
    QCOMPARE(hotFirst.getCheckedHotIcon(), QStringLiteral("H"));

    VYRQCheckBox baseFirst;
    baseFirst.setCheckedIcon(QStringLiteral("N"));
    QCOMPARE(baseFirst.getCheckedHotIcon(), QStringLiteral("N"));
    baseFirst.setCheckedHotIcon(QStringLiteral("H"));
    QCOMPARE(baseFirst.getCheckedHotIcon(), QStringLiteral("H"));
    baseFirst.setUncheckIcon(QStringLiteral("U"));
    baseFirst.setUncheckIcon(QStringLiteral("V")); // the hot icon no longer has its default name
    QCOMPARE(baseFirst.getUncheckHotIcon(), QStringLiteral("U"));
}

void tst_CheckBox::styleSlotsAndStateRanges()
{
    VYRQCheckBox box;
    Json::Value element = parse(R"({"style": [["CbFill", 1, 0], ["CbFill", 1, 6], ["CbText", 2, 9],
                                              ["CbFill", 1, 11], ["Missing", 1, 1]]})");
    QVERIFY(box.readJsonValue(&element));
    for (int s = Normal; s <= Disable; ++s) {
        QCOMPARE(box.getBackground(CtrlState(s)).name, QStringLiteral("CbFill"));
        QCOMPARE(box.getCheckedBackground(CtrlState(s)).name, s == Pressed ? QStringLiteral("CbFill") : QString());
    }
    QCOMPARE(box.getTextStyle(true).name, QStringLiteral("CbText"));
    QCOMPARE(box.getTextStyleByState(TextUnchecked).name, QString());

    FillStyle other;
    other.name = QStringLiteral("Other");
    box.setBackground(CtrlState(5), other);
    box.setBackground(CtrlState(-1), other);
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(box.getBackground(CtrlState(s)).name, QStringLiteral("CbFill"));
    box.setCheckedBackground(AllStates, other);
    QCOMPARE(box.getCheckedBackground(Disable).name, QStringLiteral("Other"));
    box.setCheckedBackground(Normal, FillStyle());
    QCOMPARE(box.getCheckedBackground(CtrlState(9)).name, QString()); // read as Normal
}

void tst_CheckBox::disabledCheckedLook()
{
    VYRQCheckBox box;
    box.resize(60, 20);
    box.setChecked(true);
    box.setEnabled(false);
    FillStyle disabled;
    disabled.fill.color = Qt::red;
    box.setCheckedBackground(Disable, disabled);
    box.setCheckedIcon(image("blue8.png"));
    box.setDisableCheckIcon(image("blue16.png"));
    QImage shot = render(box);
    QCOMPARE(shot.pixelColor(40, 10), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(12, 10), QColor(Qt::blue));
    box.setDisableCheckIcon(QString()); // no disabled checked icon: no icon at all
    shot = render(box);
    QCOMPARE(shot.pixelColor(12, 10), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(4, 10), QColor(Qt::red));
}

void tst_CheckBox::textStart_data()
{
    QTest::addColumn<QString>("uncheckIcon");
    QTest::addColumn<int>("iconHor");
    QTest::addColumn<int>("iconX");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("showIcon");
    QTest::addColumn<int>("start");

    QTest::newRow("near icon") << "red16.png" << 0 << 0 << false << true << 16;
    QTest::newRow("near icon, offset") << "red16.png" << 0 << 6 << false << true << 22;
    QTest::newRow("checked, unchecked icon measures") << "red16.png" << 0 << 0 << true << true << 16;
    QTest::newRow("centred icon") << "red16.png" << 1 << 0 << false << true << 0;
    QTest::newRow("no unchecked icon") << "" << 0 << 0 << false << true << 0;
    QTest::newRow("icons hidden") << "red16.png" << 0 << 0 << false << false << 0;
}

void tst_CheckBox::textStart()
{
    QFETCH(QString, uncheckIcon);
    QFETCH(int, iconHor);
    QFETCH(int, iconX);
    QFETCH(bool, checked);
    QFETCH(bool, showIcon);
    QFETCH(int, start);

    VYRQCheckBox box;
    box.resize(160, 30);
    box.setText(QStringLiteral("HHHH"));
    box.setUncheckIcon(uncheckIcon.isEmpty() ? QString() : image(qPrintable(uncheckIcon)));
    box.setCheckedIcon(image("blue8.png"));
    box.setIconHorAlign(DockLayoutType(iconHor));
    box.setIconOffsetX(iconX);
    box.setChecked(checked);
    box.setShowIcon(showIcon);
    const int left = textLeft(box);
    QVERIFY2(left >= start - 1 && left <= start + 6, qPrintable(QString::number(left)));
}

// With the application style the indicator is clickable, an empty stretch far right
// of a short text is not.
void tst_CheckBox::clickAreaIsTheStyles()
{
    VYRQCheckBox box;
    box.setText(QStringLiteral("x"));
    box.resize(300, 24);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, 12));
    QVERIFY(box.isChecked());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(295, 12));
    QVERIFY(box.isChecked());
}

void tst_CheckBox::languageKeys()
{
    LanguageManager* languages = LanguageManager::instance();
    QVERIFY(languages->loadFromJson(
        R"({"defaultLanguage": "en", "languages": {"en": {"cb.ok": "Agree"}, "fr": {"cb.ok": "Accepter"}}})"));
    QVERIFY(languages->setLanguage(QStringLiteral("en")));

    VYRQCheckBox keyed;
    VYRQCheckBox plain;
    Json::Value element = parse(R"({"attr": {"text": "|->cb.ok"}})");
    QVERIFY(keyed.readJsonValue(&element));
    QVERIFY(plain.readJsonValue(&element));
    QCOMPARE(keyed.text(), QStringLiteral("Agree"));
    element = parse(R"({"attr": {"text": "Mine"}})");
    QVERIFY(plain.readJsonValue(&element));

    QVERIFY(languages->setLanguage(QStringLiteral("fr")));
    keyed.notifyChangeLanguage();
    plain.notifyChangeLanguage();
    QCOMPARE(keyed.text(), QStringLiteral("Accepter"));
    QCOMPARE(write(keyed)["attr"]["text"].asString(), std::string("Accepter"));
    QCOMPARE(plain.text(), QStringLiteral("Mine")); // the earlier key does not come back
}

void tst_CheckBox::themeRefreshKeepsApplicationText()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
    QScopedPointer<QWidget> created(createControlFromJson("checkbox", Json::Value(), nullptr));
    VYRQCheckBox* box = qobject_cast<VYRQCheckBox*>(created.data());
    QVERIFY(box);
    QCOMPARE(box->getIconOffsetX(), 3);
    QCOMPARE(box->getBackground(Disable).name, QStringLiteral("TglGreen"));

    box->setText(QStringLiteral("App"));
    box->setIconOffsetX(9);
    box->getControlBase()->refreshTheme();
    QCOMPARE(box->getIconOffsetX(), 3);
    QCOMPARE(box->text(), QStringLiteral("App"));

    box->setThemeName(QStringLiteral("TglCheckText")); // an element naming a text sets it
    QCOMPARE(box->text(), QStringLiteral("themed"));
    Json::Value element = parse(R"({"attr": {}})"); // a page element keeps its own rule
    QVERIFY(box->readJsonValue(&element));
    QCOMPARE(box->text(), QString());
}

QTEST_MAIN(tst_CheckBox)
#include "tst_checkbox.moc"
