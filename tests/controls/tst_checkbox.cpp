#include "LanguageManager.h"
#include "VYRQCheckBox.h"
#include "VYRQCheckBoxImpl.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);

Json::Value parse(const QByteArray& text)
{
    Json::Value value;
    vyr::json::parse(text, value);
    return value;
}

Json::Value write(VYRQCheckBox& box)
{
    Json::Value value;
    box.serializeJsonValue(&value, false);
    return value;
}

QString str(const Json::Value& v)
{
    return QString::fromStdString(v.asString());
}

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

QImage render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    w.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// Bounding box of the pixels that differ between two renders: where a layer drew.
QRect changedArea(const QImage& a, const QImage& b)
{
    QRect area;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class tst_CheckBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void newCheckBoxWritesDefaultIconsAndNearAlignment();
    void attrRoundTrip_data();
    void attrRoundTrip();
    void readingIconPathOnly();
    void hotIconFollowsBaseOnRead_data();
    void hotIconFollowsBaseOnRead();
    void hotIconFollowsBaseInSetters();
    void styleSlots();
    void perStateRangeChecks();
    void backgroundEntriesAreCompacted();
    void disabledCheckedLook();
    void textStart_data();
    void textStart();
    void clickToggles();
    void languageKeys();
    void registryAndDesignerRows();
    // Run last: the loaded theme set stays for the rest of the process.
    void themeRefreshKeepsApplicationText();

private:
    QString image(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

void tst_CheckBox::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(m_dir.isValid());
    auto makeImage = [this](const char* name, QSize size, const QColor& color) {
        QImage img(size, QImage::Format_ARGB32);
        img.fill(color);
        QVERIFY(img.save(image(name)));
    };
    makeImage("red16.png", QSize(16, 16), red);
    makeImage("blue16.png", QSize(16, 16), blue);
    makeImage("green16.png", QSize(16, 16), green);
    makeImage("blue8.png", QSize(8, 8), blue);

    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    FillStyle fill = solid(QStringLiteral("CbRed"), red);
    rm->setFillStyle(fill.name, fill);
    fill = solid(QStringLiteral("CbBlue"), blue);
    rm->setFillStyle(fill.name, fill);
    TextStyleDesc text;
    text.name = QStringLiteral("CbText");
    text.color = green;
    rm->setTextStyle(text.name, text);
}

void tst_CheckBox::newCheckBoxWritesDefaultIconsAndNearAlignment()
{
    VYRQCheckBox box;
    const Json::Value out = write(box);
    QVERIFY(!out.isMember("style"));
    const Json::Value& attr = out["attr"];
    QCOMPARE(attr.getMemberNames(),
             std::vector<std::string>({"hotIconPath", "iconHor", "iconPath", "sHotIconPath", "siconPath"}));
    QCOMPARE(attr["iconHor"].asInt(), 0);
    QCOMPARE(str(attr["iconPath"]), QStringLiteral("IDB_UNCHECK"));
    QCOMPARE(str(attr["hotIconPath"]), QStringLiteral("IDB_UNCHECK"));
    QCOMPARE(str(attr["siconPath"]), QStringLiteral("IDB_CHECKED"));
    QCOMPARE(str(attr["sHotIconPath"]), QStringLiteral("IDB_CHECKED"));
}

void tst_CheckBox::attrRoundTrip_data()
{
    QTest::addColumn<QByteArray>("attr");

    QTest::newRow("centred icon") << QByteArray(R"({"iconHor": 1})");
    QTest::newRow("far vertical") << QByteArray(R"({"iconVer": 2, "iconX": 5, "iconY": -3})");
    QTest::newRow("hidden parts") << QByteArray(R"({"showIcon": 0, "showText": 0})");
    QTest::newRow("text") << QByteArray(R"({"text": "Grüße"})");
    QTest::newRow("all icons")
        << QByteArray(R"({"iconPath": "a", "hotIconPath": "b", "siconPath": "c", "sHotIconPath": "d",
                          "disableIconPath": "e", "disableSIconPath": "f"})");
    QTest::newRow("icons emptied") << QByteArray(R"({"iconPath": "", "hotIconPath": "", "siconPath": ""})");
}

// What one check box writes, another reads back into the same looks.
void tst_CheckBox::attrRoundTrip()
{
    QFETCH(QByteArray, attr);
    VYRQCheckBox first;
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(first.readJsonValue(&element));
    const Json::Value written = write(first);
    for (const std::string& key : element["attr"].getMemberNames()) {
        const Json::Value& in = element["attr"][key];
        const Json::Value& out = written["attr"][key];
        QVERIFY2(out == in || (in.isIntegral() && out.isBool() && in.asInt() == int(out.asBool())),
                 key.c_str());
    }

    VYRQCheckBox second;
    Json::Value copy = written;
    QVERIFY(second.readJsonValue(&copy));
    QCOMPARE(write(second), written);
    QCOMPARE(second.text(), first.text());
    QCOMPARE(second.getIconHorAlign(), first.getIconHorAlign());
    QCOMPARE(second.getUncheckIcon(), first.getUncheckIcon());
}

void tst_CheckBox::readingIconPathOnly()
{
    VYRQCheckBox box;
    box.setText(QStringLiteral("before"));
    Json::Value element = parse(R"({"attr": {"iconPath": "A"}})");
    QVERIFY(box.readJsonValue(&element));
    QCOMPARE(box.getUncheckIcon(), QStringLiteral("A"));
    QCOMPARE(box.getUncheckHotIcon(), QStringLiteral("A"));
    QCOMPARE(box.getCheckedIcon(), QStringLiteral("IDB_CHECKED"));
    QCOMPARE(box.getCheckedHotIcon(), QStringLiteral("IDB_CHECKED"));
    // A page element without a text means an empty label.
    QCOMPARE(box.text(), QString());
}

void tst_CheckBox::hotIconFollowsBaseOnRead_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::addColumn<QString>("hot");
    QTest::addColumn<QString>("checkedHot");

    QTest::newRow("default hot follows") << QByteArray(R"({"iconPath": "B", "hotIconPath": "IDB_UNCHECK"})")
                                         << "B" << "IDB_CHECKED";
    QTest::newRow("own hot stays") << QByteArray(R"({"iconPath": "B", "hotIconPath": "C"})") << "C"
                                   << "IDB_CHECKED";
    QTest::newRow("checked follows") << QByteArray(R"({"siconPath": "N"})") << "IDB_UNCHECK" << "N";
    QTest::newRow("checked own hot") << QByteArray(R"({"siconPath": "N", "sHotIconPath": "H"})")
                                     << "IDB_UNCHECK" << "H";
}

void tst_CheckBox::hotIconFollowsBaseOnRead()
{
    QFETCH(QByteArray, attr);
    QFETCH(QString, hot);
    QFETCH(QString, checkedHot);
    VYRQCheckBox box;
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(box.readJsonValue(&element));
    QCOMPARE(box.getUncheckHotIcon(), hot);
    QCOMPARE(box.getCheckedHotIcon(), checkedHot);
}

void tst_CheckBox::hotIconFollowsBaseInSetters()
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
    QCOMPARE(baseFirst.getUncheckHotIcon(), QStringLiteral("U"));
    // Once it no longer carries the default name, the hot icon stays put.
    baseFirst.setUncheckIcon(QStringLiteral("V"));
    QCOMPARE(baseFirst.getUncheckHotIcon(), QStringLiteral("U"));
}

void tst_CheckBox::styleSlots()
{
    VYRQCheckBox box;
    Json::Value element = parse(R"({"style": [["CbRed", 1, 0], ["CbBlue", 1, 6], ["CbText", 2, 9],
                                              ["CbBlue", 1, 11], ["Missing", 1, 1], ["CbBlue", 1, -1]]})");
    QVERIFY(box.readJsonValue(&element));
    for (int s = Normal; s <= Disable; ++s) {
        QCOMPARE(box.getBackground(CtrlState(s)).name, QStringLiteral("CbRed"));
        QCOMPARE(box.getCheckedBackground(CtrlState(s)).name,
                 s == Pressed ? QStringLiteral("CbBlue") : QString());
    }
    QCOMPARE(box.getTextStyle(true).name, QStringLiteral("CbText"));
    QCOMPARE(box.getTextStyle(false).name, QString());
    QCOMPARE(box.getDisableTextStyle().name, QString());

    element = parse(R"({"style": [["CbText", 2, 8], ["CbText", 2, 10]]})");
    QVERIFY(box.readJsonValue(&element));
    QCOMPARE(box.getTextStyleByState(TextUnchecked).name, QStringLiteral("CbText"));
    QCOMPARE(box.getTextStyleByState(TextDisable).name, QStringLiteral("CbText"));
}

void tst_CheckBox::perStateRangeChecks()
{
    VYRQCheckBox box;
    const FillStyle r = solid(QStringLiteral("R"), red);
    const FillStyle b = solid(QStringLiteral("B"), blue);
    box.setBackground(Hot, b);
    box.setBackground(CtrlState(5), r);
    box.setBackground(CtrlState(-1), r);
    QCOMPARE(box.getBackground(Normal).name, QString());
    QCOMPARE(box.getBackground(Hot).name, QStringLiteral("B"));
    box.setBackground(Normal, r);
    QCOMPARE(box.getBackground(CtrlState(9)).name, QStringLiteral("R"));
    QCOMPARE(box.getBackground(CtrlState(-2)).name, QStringLiteral("R"));

    box.setCheckedBackground(AllStates, b);
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(box.getCheckedBackground(CtrlState(s)).name, QStringLiteral("B"));
    box.setCheckedBackground(CtrlState(7), r);
    QCOMPARE(box.getCheckedBackground(CtrlState(7)).name, QStringLiteral("B"));

    TextStyleDesc text;
    text.name = QStringLiteral("T");
    box.setTextStyleByState(CheckBoxTextState(5), text);
    QCOMPARE(box.getTextStyleByState(TextChecked).name, QString());
    box.setTextStyleByState(TextChecked, text);
    QCOMPARE(box.getTextStyleByState(CheckBoxTextState(5)).name, QStringLiteral("T"));
}

void tst_CheckBox::backgroundEntriesAreCompacted()
{
    VYRQCheckBox alike;
    alike.setBackground(AllStates, solid(QStringLiteral("N"), red));
    Json::Value out = write(alike);
    QCOMPARE(out["style"].size(), 1u);
    QCOMPARE(out["style"][0], parse(R"(["N", 1, 0])"));

    VYRQCheckBox differing;
    differing.setCheckedBackground(Normal, solid(QStringLiteral("N"), red));
    differing.setCheckedBackground(Hot, solid(QStringLiteral("H"), blue));
    out = write(differing);
    QCOMPARE(out["style"], parse(R"([["N", 1, 4], ["H", 1, 5]])"));

    VYRQCheckBox normalOnly;
    normalOnly.setBackground(Normal, solid(QStringLiteral("CbRed"), red));
    out = write(normalOnly);
    QCOMPARE(out["style"], parse(R"([["CbRed", 1, 0]])"));
    VYRQCheckBox reread;
    QVERIFY(reread.readJsonValue(&out));
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(reread.getBackground(CtrlState(s)).name, QStringLiteral("CbRed"));
}

void tst_CheckBox::disabledCheckedLook()
{
    VYRQCheckBox box;
    box.resize(60, 20);
    box.setChecked(true);
    box.setEnabled(false);
    box.setCheckedBackground(Normal, solid(QStringLiteral("CbBlue"), green));
    box.setCheckedBackground(Disable, solid(QStringLiteral("CbRed"), red));
    box.setCheckedIcon(image("green16.png"));
    box.setDisableCheckIcon(image("blue16.png"));
    box.setIconOffsetX(5);

    // The Disable background with the disabled checked icon, in its own colours.
    QImage shot = render(box);
    QCOMPARE(shot.pixelColor(2, 10), red);
    QCOMPARE(shot.pixelColor(50, 10), red);
    QCOMPARE(shot.pixelColor(12, 10), blue);

    // Without a disabled checked icon there is no icon at all.
    box.setDisableCheckIcon(QString());
    shot = render(box);
    QCOMPARE(shot.pixelColor(12, 10), red);
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
    QTest::newRow("near icon with offset") << "red16.png" << 0 << 6 << false << true << 22;
    QTest::newRow("checked measures the unchecked icon") << "red16.png" << 0 << 0 << true << true << 16;
    QTest::newRow("centred icon") << "red16.png" << 1 << 0 << false << true << 0;
    QTest::newRow("no unchecked icon") << "" << 0 << 0 << false << true << 0;
    QTest::newRow("icons hidden") << "red16.png" << 0 << 0 << false << false << 0;
}

// Where the text is drawn, told by the pixels that drawing it changes.
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
    TextStyleDesc text;
    text.size = 20;
    box.setTextStyle(checked, text);
    box.setShowIcon(showIcon);

    const QImage withText = render(box);
    box.setShowText(false);
    const QRect ink = changedArea(withText, render(box));
    QVERIFY2(!ink.isEmpty(), "no text was drawn");
    QVERIFY2(ink.left() >= start - 1 && ink.left() <= start + 6, qPrintable(QString::number(ink.left())));
}

// The clickable area is the application style's: the indicator is in it, an empty
// stretch far right of a short text is not.
void tst_CheckBox::clickToggles()
{
    VYRQCheckBox box;
    box.setText(QStringLiteral("x"));
    box.resize(300, 24);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy toggled(&box, &QAbstractButton::toggled);

    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, 12));
    QCOMPARE(toggled.count(), 1);
    QVERIFY(box.isChecked());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(295, 12));
    QCOMPARE(toggled.count(), 1);
    QVERIFY(box.isChecked());
}

void tst_CheckBox::languageKeys()
{
    LanguageManager* languages = LanguageManager::instance();
    QVERIFY(languages->loadFromJson(
        R"({"defaultLanguage": "en", "languages": {"en": {"cb.ok": "Agree"}, "fr": {"cb.ok": "Accepter"}}})"));
    QVERIFY(languages->setLanguage(QStringLiteral("en")));

    VYRQCheckBox keyed;
    Json::Value element = parse(R"({"attr": {"text": "|->cb.ok"}})");
    QVERIFY(keyed.readJsonValue(&element));
    QCOMPARE(keyed.text(), QStringLiteral("Agree"));

    VYRQCheckBox plain;
    QVERIFY(plain.readJsonValue(&element));
    element = parse(R"({"attr": {"text": "Mine"}})");
    QVERIFY(plain.readJsonValue(&element));

    QVERIFY(languages->setLanguage(QStringLiteral("fr")));
    keyed.notifyChangeLanguage();
    plain.notifyChangeLanguage();
    QCOMPARE(keyed.text(), QStringLiteral("Accepter"));
    QCOMPARE(str(write(keyed)["attr"]["text"]), QStringLiteral("Accepter"));
    // A plain text read after a keyed one is not replaced by the old key's translation.
    QCOMPARE(plain.text(), QStringLiteral("Mine"));
    QVERIFY(languages->setLanguage(QStringLiteral("en")));
}

void tst_CheckBox::registryAndDesignerRows()
{
    for (const char* key : {"qtcheckbox", "checkbox"}) {
        QScopedPointer<QWidget> w(createControlFromJson(key, Json::Value(), nullptr));
        QVERIFY2(qobject_cast<VYRQCheckBox*>(w.data()), key);
    }
    const ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtcheckbox"));
    QVERIFY(info);
    QCOMPARE(info->className, std::string("VYRQCheckBox"));
    QStringList rows;
    for (const PropertyDef& row : info->rows)
        rows << row.name;
    QCOMPARE(rows.mid(7), QStringList({"UncheckBg", "CheckedBg", "TextStyle", "Line", "ShowIcon", "UncheckIcon",
                                       "UncheckHotIcon", "CheckedIcon", "CheckedHotIcon", "HorAlign", "VerAlign",
                                       "OffsetX", "OffsetY"}));

    // The rows drive the control they are given.
    VYRQCheckBox box;
    info->rows[7].setFill(&box, Hot, solid(QStringLiteral("R"), red));
    QCOMPARE(box.getBackground(Hot).name, QStringLiteral("R"));
    info->rows[16].setInt(&box, DockFar);
    QCOMPARE(box.getIconHorAlign(), DockFar);
}

void tst_CheckBox::themeRefreshKeepsApplicationText()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
    VYRQCheckBox box;
    QCOMPARE(box.getIconOffsetX(), 3);
    QCOMPARE(box.getBackground(Disable).name, QStringLiteral("TglGreen"));

    box.setText(QStringLiteral("App"));
    box.setIconOffsetX(9);
    box.getControlBase()->refreshTheme();
    QCOMPARE(box.getIconOffsetX(), 3);
    QCOMPARE(box.text(), QStringLiteral("App"));

    // A theme element that names a text does set it.
    box.setThemeName(QStringLiteral("TglCheckText"));
    QCOMPARE(box.text(), QStringLiteral("themed"));

    // A page element keeps its own rule: no text there means an empty label.
    Json::Value element = parse(R"({"attr": {}})");
    QVERIFY(box.readJsonValue(&element));
    QCOMPARE(box.text(), QString());
}

QTEST_MAIN(tst_CheckBox)
#include "tst_checkbox.moc"
