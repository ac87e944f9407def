#include "controls_testutil.h"

#include "VYRQCheckBox.h"
#include "VYRQRadioButton.h"

#include <QTemporaryDir>

using namespace ctl;
using sty::load;

namespace {
// The bounding box of the pixels of one colour.
QRect areaOf(const QImage& image, const QColor& color)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                area |= QRect(x, y, 1, 1);
    return area;
}
} // namespace

class tst_RadioButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(m_dir.isValid());
        QVERIFY(sty::saveSolid(image("red16.png"), {16, 16}, Qt::red));
        QVERIFY(sty::saveSolid(image("red10.png"), {10, 10}, Qt::red));
        QVERIFY(sty::saveSolid(image("red20x10.png"), {20, 10}, Qt::red));
        QVERIFY(sty::saveSolid(image("blue16.png"), {16, 16}, Qt::blue));
        sty::addTexts({"RbT", "RbU", "RbV"});
    }

    void attrRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<QByteArray>("written");
        // "iconX" is always written: its default is 10, not 0.
        QTest::newRow("empty") << QByteArray("{}") << QByteArray(R"({"iconX": 10})");
        QTest::newRow("offset 0 survives") << QByteArray(R"({"iconX": 0})") << QByteArray(R"({"iconX": 0})");
        QTest::newRow("alignments, -1 ignored") << QByteArray(R"({"iconHor": -1, "iconVer": 2, "iconY": -2})")
                                                << QByteArray(R"({"iconVer": 2, "iconX": 10, "iconY": -2})");
        QTest::newRow("flags") << QByteArray(R"({"pushlike": true, "showIcon": false, "showText": 0})")
                               << QByteArray(R"({"pushlike": 1, "showIcon": 0, "showText": 0, "iconX": 10})");
        QTest::newRow("icons and text")
            << QByteArray(R"({"iconPath": "a", "sHotIconPath": "d", "text": "Wahl", "iconHor": 1})")
            << QByteArray(R"({"iconPath": "a", "sHotIconPath": "d", "text": "Wahl", "iconHor": 1, "iconX": 10})");
    }

    void attrRoundTrip()
    {
        QFETCH(QByteArray, attr);
        QFETCH(QByteArray, written);
        VYRQRadioButton first;
        QVERIFY(load(first, "{\"attr\": " + attr + "}"));
        Json::Value out = write(first);
        QVERIFY(!out.isMember("style"));
        QCOMPARE(out["attr"], parse(written));
        VYRQRadioButton second;
        QVERIFY(second.readJsonValue(&out));
        QCOMPARE(write(second)["attr"], parse(written));
    }

    void textStyleSlots_data()
    {
        QTest::addColumn<QByteArray>("style");
        QTest::addColumn<QStringList>("names"); // unchecked, checked, disabled
        QTest::newRow("9 dresses disabled too") << QByteArray(R"([["RbU", 2, 9]])") << QStringList{"", "RbU", "RbU"};
        QTest::newRow("8, 9, 10") << QByteArray(R"([["RbT", 2, 8], ["RbU", 2, 9], ["RbV", 2, 10]])")
                                  << QStringList{"RbT", "RbU", "RbV"};
        QTest::newRow("8 after 9 dresses checked too") << QByteArray(R"([["RbU", 2, 9], ["RbT", 2, 8]])")
                                    << QStringList{"RbT", "RbT", "RbU"};
    }

    void textStyleSlots()
    {
        QFETCH(QByteArray, style);
        QFETCH(QStringList, names);
        VYRQRadioButton radio;
        QVERIFY(load(radio, "{\"style\": " + style + "}"));
        QStringList got;
        for (CheckBoxTextState state : {TextUnchecked, TextChecked, TextDisable})
            got << radio.getTextStyleByState(state).name;
        QCOMPARE(got, names);
        QCOMPARE(radio.getTextStyleByState(CheckBoxTextState(9)).name, names[0]);
    }

    // setIcon never touches the disabled icon; states beyond the range are ignored.
    void iconSettersAndStateRanges()
    {
        VYRQRadioButton radio;
        radio.setDisableIcon(QStringLiteral("off"));
        radio.setIcon(RadioAllIcons, QStringLiteral("x"));
        radio.setIcon(RadioUnselected, QStringLiteral("u"));
        radio.setIcon(RadioIconState(7), QStringLiteral("ignored"));
        QCOMPARE(QStringList({radio.getCheckedIcon(), radio.getCheckedHotIcon(), radio.getUncheckIcon(),
                              radio.getUncheckHotIcon(), radio.getDisableIcon()}),
                 QStringList({"x", "x", "u", "x", "off"}));
        radio.setSelectedBackground(Normal, sty::solid("A", Qt::red));
        radio.setSelectedBackground(CtrlState(5), sty::solid("B", Qt::red));
        QCOMPARE(radio.getSelectedBackground(CtrlState(12)).name, QStringLiteral("A"));
    }

    void iconIsFitted_data()
    {
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("drawn");
        // At most the full width and half the height, aspect kept; offset 10, centred.
        QTest::newRow("16 shrinks to 15") << "red16.png" << QSize(100, 30) << QRect(10, 7, 15, 15);
        QTest::newRow("10 grows to 15") << "red10.png" << QSize(100, 30) << QRect(10, 7, 15, 15);
        QTest::newRow("wide keeps aspect") << "red20x10.png" << QSize(100, 30) << QRect(10, 7, 30, 15);
        QTest::newRow("svg scaled") << VYR_TEST_DATA "/controls-media/red-square.svg" << QSize(100, 30)
                                    << QRect(10, 7, 15, 15);
        QTest::newRow("natural size") << "red16.png" << QSize(100, 32) << QRect(10, 8, 16, 16);
    }

    // The text starts after the fitted width plus 2, whatever the icon offset.
    void iconIsFitted()
    {
        QFETCH(QString, icon);
        QFETCH(QSize, size);
        QFETCH(QRect, drawn);
        VYRQRadioButton radio;
        radio.resize(size);
        radio.setIcon(icon.startsWith(QLatin1Char('/')) ? icon : image(qPrintable(icon)));
        QCOMPARE(areaOf(render(radio), Qt::red), drawn);
        radio.setText(QStringLiteral("HHH"));
        radio.setIconOffsetX(0);
        const int left = sty::textLeft(radio);
        QVERIFY2(left >= drawn.width() + 1 && left <= drawn.width() + 6, qPrintable(QString::number(left)));
    }

    // Hiding the icons or hovering without a hot icon leaves the text after the icon.
    void textKeepsClearOfTheShownIcon()
    {
        VYRQRadioButton radio;
        radio.resize(100, 30);
        radio.setText(QStringLiteral("HHH"));
        const int left = sty::textLeft(radio);
        QVERIFY2(left >= 0 && left <= 4, qPrintable(QString::number(left))); // no icon: the text takes the full width
        radio.setUncheckIcon(image("red16.png"));
        radio.setIconOffsetX(0);
        radio.setShowIcon(false);
        QVERIFY(sty::textLeft(radio) >= 16);
        radio.setShowIcon(true);
        hover(radio, true);
        QCOMPARE(areaOf(render(radio), Qt::red), QRect(0, 7, 15, 15));
        QVERIFY2(sty::textLeft(radio) >= 16, "hovering moved the text over the icon");
    }

    // Disabled: the disabled icon in its own colours, else the checked icon greyed.
    void disabledIcon()
    {
        VYRQRadioButton radio;
        radio.resize(100, 30);
        radio.setChecked(true);
        radio.setCheckedIcon(image("red16.png"));
        radio.setDisableIcon(image("blue16.png"));
        radio.setEnabled(false);
        QCOMPARE(areaOf(render(radio), Qt::blue), QRect(10, 7, 15, 15));
        radio.setDisableIcon(QString());
        const QImage shot = render(radio);
        QVERIFY(areaOf(shot, Qt::red).isEmpty());
        const QColor grey = shot.pixelColor(17, 14);
        QVERIFY2(grey != QColor(Qt::white) && qAbs(grey.red() - grey.green()) < 40, qPrintable(grey.name()));
    }

    void pressedEventOnAnyButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<bool>("checks");
        QTest::newRow("left") << int(Qt::LeftButton) << QPoint(90, 25) << true;
        QTest::newRow("left, released outside") << int(Qt::LeftButton) << QPoint(400, 300) << true;
        QTest::newRow("right") << int(Qt::RightButton) << QPoint(90, 25) << false;
    }

    // The whole control is clickable, far from the indicator, and every press signals.
    void pressedEventOnAnyButton()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        QFETCH(bool, checks);
        VYRQRadioButton radio;
        radio.resize(100, 30);
        QVERIFY(shown(radio));
        QSignalSpy pressed(&radio, &VYRQRadioButton::pressedEvent);
        QTest::mousePress(&radio, Qt::MouseButton(button), {}, QPoint(90, 25));
        QCOMPARE(pressed.count(), 1);
        QTest::mouseRelease(&radio, Qt::MouseButton(button), {}, releaseAt);
        QCOMPARE(radio.isChecked(), checks);
    }

    // Theme defaults apply to new radios except the text and the icons, and a refresh
    // keeps what the application set.
    void themeDefaultsSkipTextAndIcons()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
        VYRQRadioButton radio;
        QCOMPARE(radio.getTextStyleByState(TextChecked).name, QStringLiteral("TglText"));
        QVERIFY(!radio.getShowIcon());
        QCOMPARE(radio.getIconOffsetX(), 4);
        QCOMPARE(radio.getIconHorAlign(), DockFar);
        QCOMPARE(radio.text(), QString());
        QCOMPARE(radio.getUncheckIcon(), QString());
        radio.setText(QStringLiteral("App"));
        radio.setUncheckIcon(QStringLiteral("app.png"));
        radio.getControlBase()->refreshTheme();
        QCOMPARE(radio.text(), QStringLiteral("App"));
        QCOMPARE(radio.getUncheckIcon(), QStringLiteral("app.png"));
        sty::dropTheme();
    }

    // The designer rows of the accessors both buttons share act on the control they
    // are given, as the control's own accessors see it.
    void designerRowsReachSharedAccessors_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("check box") << QString::fromUtf8(VYRQCheckBox::typeName());
        QTest::newRow("radio button") << QString::fromUtf8(VYRQRadioButton::typeName());
    }

    void designerRowsReachSharedAccessors()
    {
        QFETCH(QString, key);
        const bool check = key == QLatin1String(VYRQCheckBox::typeName());
        std::unique_ptr<QWidget> widget(check ? static_cast<QWidget*>(new VYRQCheckBox)
                                              : static_cast<QWidget*>(new VYRQRadioButton));
        const ControlInfo info = check ? VYRQCheckBox::getProps() : VYRQRadioButton::getProps();
        auto row = [&info](const char* name) -> const PropertyDef& {
            for (const PropertyDef& each : info.rows)
                if (each.name == QLatin1String(name))
                    return each;
            static const PropertyDef none;
            return none;
        };
        QVERIFY(row("OffsetX").setInt && row("VerAlign").setInt);
        row("OffsetX").setInt(widget.get(), 7);
        row("VerAlign").setInt(widget.get(), DockFar);
        FillStyle fill;
        fill.name = QStringLiteral("shared");
        const PropertyDef& background = row(check ? "UncheckBg" : "UnselectedBg");
        QVERIFY(background.setFill);
        background.setFill(widget.get(), Hot, fill);

        auto* toggle = check ? static_cast<VYRQToggleStyle*>(static_cast<VYRQCheckBox*>(widget.get()))
                             : static_cast<VYRQToggleStyle*>(static_cast<VYRQRadioButton*>(widget.get()));
        QCOMPARE(toggle->getIconOffsetX(), 7);
        QCOMPARE(toggle->getIconVerAlign(), DockFar);
        QCOMPARE(toggle->getBackground(Hot).name, QStringLiteral("shared"));
        QCOMPARE(row("OffsetX").getInt(widget.get()), 7);
        QCOMPARE(background.getFill(widget.get(), Hot).name, QStringLiteral("shared"));
    }

private:
    QString image(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

VYR_TEST_SUITE(tst_RadioButton, 2)
#include "tst_radiobutton.moc"
