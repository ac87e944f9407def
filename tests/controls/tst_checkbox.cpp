#include "controls_testutil.h"

#include "VYRQCheckBox.h"

#include <QTemporaryDir>

using namespace ctl;
using sty::load;

namespace {
QStringList icons(const VYRQCheckBox& box)
{
    return {box.getUncheckIcon(), box.getUncheckHotIcon(), box.getCheckedIcon(), box.getCheckedHotIcon()};
}
} // namespace

class tst_CheckBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(m_dir.isValid());
        QVERIFY(sty::saveSolid(image("red16.png"), {16, 16}, Qt::red));
        QVERIFY(sty::saveSolid(image("blue16.png"), {16, 16}, Qt::blue));
        QVERIFY(sty::saveSolid(image("blue8.png"), {8, 8}, Qt::blue));
        sty::addFill("CbFill", Qt::white);
        sty::addText("CbText");
    }

    // "iconHor" is written even at 0, and the default icons by name.
    void newCheckBoxWritesIconHorAndDefaultIcons()
    {
        VYRQCheckBox box;
        const Json::Value out = write(box);
        QVERIFY(!out.isMember("style"));
        QCOMPARE(out["attr"], parse(R"({"iconHor": 0, "iconPath": "IDB_UNCHECK", "hotIconPath": "IDB_UNCHECK",
                                        "siconPath": "IDB_CHECKED", "sHotIconPath": "IDB_CHECKED"})"));
    }

    void attrRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::newRow("centred icon") << QByteArray(R"({"iconHor": 1})");
        QTest::newRow("far vertical, offsets") << QByteArray(R"({"iconVer": 2, "iconX": 5, "iconY": -3})");
        QTest::newRow("hidden parts") << QByteArray(R"({"showIcon": 0, "showText": 0, "text": "Grüße"})");
        QTest::newRow("disabled icons") << QByteArray(R"({"disableIconPath": "e", "disableSIconPath": "f"})");
        QTest::newRow("icons emptied") << QByteArray(R"({"iconPath": "", "hotIconPath": "", "siconPath": ""})");
    }

    // What a check box writes holds what it read and reads back into the same element.
    void attrRoundTrip()
    {
        QFETCH(QByteArray, attr);
        VYRQCheckBox first;
        Json::Value element = parse("{\"attr\": " + attr + "}");
        QVERIFY(first.readJsonValue(&element));
        Json::Value written = write(first);
        for (const std::string& key : element["attr"].getMemberNames())
            QVERIFY2(written["attr"][key] == element["attr"][key], key.c_str());
        VYRQCheckBox second;
        QVERIFY(second.readJsonValue(&written));
        QCOMPARE(write(second), written);
    }

    void hotIconFollowsBase_data()
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

    // A hot icon still at its default follows its base icon; a page element without a
    // text empties it.
    void hotIconFollowsBase()
    {
        QFETCH(QByteArray, attr);
        QFETCH(QStringList, icons);
        VYRQCheckBox box;
        box.setText(QStringLiteral("before"));
        QVERIFY(load(box, "{\"attr\": " + attr + "}"));
        QCOMPARE(::icons(box), icons);
        QCOMPARE(box.text(), QString());
    }

    void hotIconFollowsBaseInSetterOrder()
    {
        VYRQCheckBox box;
        box.setCheckedHotIcon(QStringLiteral("H"));
        box.setCheckedIcon(QStringLiteral("N"));
        box.setUncheckIcon(QStringLiteral("U"));
        box.setUncheckIcon(QStringLiteral("V")); // the hot icon no longer has its default name
        QCOMPARE(icons(box), (QStringList{"V", "U", "N", "H"}));
    }

    // Slots 0..3 background, 4..7 checked background, 8/9 text; states beyond the
    // four are ignored by setters and read as Normal.
    void styleSlotsAndStateRanges()
    {
        VYRQCheckBox box;
        QVERIFY(load(box, R"({"style": [["CbFill", 1, 0], ["CbFill", 1, 6], ["CbText", 2, 9], ["CbFill", 1, 11],
                                        ["Missing", 1, 1]]})"));
        for (int s = Normal; s <= Disable; ++s) {
            QCOMPARE(box.getBackground(CtrlState(s)).name, QStringLiteral("CbFill"));
            QCOMPARE(box.getCheckedBackground(CtrlState(s)).name, s == Pressed ? QStringLiteral("CbFill") : QString());
        }
        QCOMPARE(box.getTextStyle(true).name, QStringLiteral("CbText"));
        QCOMPARE(box.getTextStyleByState(TextUnchecked).name, QString());
        const FillStyle other = sty::solid("Other", Qt::red);
        box.setBackground(CtrlState(5), other);
        box.setBackground(CtrlState(-1), other);
        QCOMPARE(box.getBackground(Disable).name, QStringLiteral("CbFill"));
        box.setBackground(Normal, other);
        QCOMPARE(box.getBackground(CtrlState(9)).name, QStringLiteral("Other"));
    }

    // Disabled and checked: the Disable checked background, and the disabled checked
    // icon or, without one, no icon at all.
    void disabledCheckedLook()
    {
        VYRQCheckBox box;
        box.resize(60, 20);
        box.setChecked(true);
        box.setEnabled(false);
        box.setCheckedBackground(Disable, sty::solid(QString(), Qt::red));
        box.setCheckedIcon(image("blue8.png"));
        box.setDisableCheckIcon(image("blue16.png"));
        QCOMPARE(render(box).pixelColor(40, 10), QColor(Qt::red));
        QCOMPARE(render(box).pixelColor(12, 10), QColor(Qt::blue));
        box.setDisableCheckIcon(QString());
        QCOMPARE(render(box).pixelColor(12, 10), QColor(Qt::red));
    }

    void textStart_data()
    {
        QTest::addColumn<int>("iconHor");
        QTest::addColumn<int>("iconX");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("showIcon");
        QTest::addColumn<int>("start");
        QTest::newRow("near icon, offset") << 0 << 6 << false << true << 22;
        QTest::newRow("checked: the unchecked icon measures") << 0 << 0 << true << true << 16;
        QTest::newRow("centred icon") << 1 << 0 << false << true << 0;
        QTest::newRow("icons hidden") << 0 << 0 << false << false << 0;
    }

    // The text starts after a near icon: the unchecked icon's width plus its offset.
    void textStart()
    {
        QFETCH(int, iconHor);
        QFETCH(int, iconX);
        QFETCH(bool, checked);
        QFETCH(bool, showIcon);
        QFETCH(int, start);
        VYRQCheckBox box;
        box.resize(160, 30);
        box.setText(QStringLiteral("HHHH"));
        box.setUncheckIcon(image("red16.png"));
        box.setCheckedIcon(image("blue8.png"));
        box.setIconHorAlign(DockLayoutType(iconHor));
        box.setIconOffsetX(iconX);
        box.setChecked(checked);
        box.setShowIcon(showIcon);
        const int left = sty::textLeft(box);
        QVERIFY2(left >= qMax(start - 1, 0) && left <= start + 6, qPrintable(QString::number(left)));
    }

    // A theme refresh keeps the text the application set; a theme element that names
    // a text sets it, and a page element without one empties it.
    void themeRefreshKeepsApplicationText()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
        QScopedPointer<QWidget> created(createControlFromJson("checkbox", Json::Value(), nullptr));
        auto* box = qobject_cast<VYRQCheckBox*>(created.data());
        QVERIFY(box);
        QCOMPARE(box->getIconOffsetX(), 3);
        QCOMPARE(box->getBackground(Disable).name, QStringLiteral("TglGreen"));
        box->setText(QStringLiteral("App"));
        box->setIconOffsetX(9);
        box->getControlBase()->refreshTheme();
        QCOMPARE(box->getIconOffsetX(), 3);
        QCOMPARE(box->text(), QStringLiteral("App"));
        box->setThemeName(QStringLiteral("TglCheckText"));
        QCOMPARE(box->text(), QStringLiteral("themed"));
        QVERIFY(load(*box, R"({"attr": {}})"));
        QCOMPARE(box->text(), QString());
        sty::dropTheme();
    }

private:
    QString image(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

VYR_TEST_SUITE(tst_CheckBox, 1)
#include "tst_checkbox.moc"
