#include "VYRQGlobal.h"
#include "VYRQRadioButton.h"
#include "VYRQResourceManager.h"

#include "controls_testutil.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using ctl::parse;
using ctl::render;
using ctl::write;

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

// Left edge of what drawing the text changes; -1 when nothing was drawn.
int textLeft(VYRQRadioButton& radio)
{
    radio.setShowText(true);
    const QImage with = render(radio);
    radio.setShowText(false);
    const QImage without = render(radio);
    radio.setShowText(true);
    for (int x = 0; x < with.width(); ++x)
        for (int y = 0; y < with.height(); ++y)
            if (with.pixel(x, y) != without.pixel(x, y))
                return x;
    return -1;
}

} // namespace

class tst_RadioButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void newRadioWritesIconXOnly();
    void attrRoundTrip_data();
    void attrRoundTrip();
    void textStyleSlots_data();
    void textStyleSlots();
    void iconSettersAndStateRanges();
    void iconIsFitted_data();
    void iconIsFitted();
    void textKeepsClearOfTheShownIcon();
    void disabledIcon();
    void pressedEventOnAnyButton_data();
    void pressedEventOnAnyButton();
    // Last: the loaded theme set stays for the rest of the process.
    void themeDefaultsSkipTextAndIcons();

private:
    QString image(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

void tst_RadioButton::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(m_dir.isValid());
    const struct { const char* name; QSize size; QColor color; } images[] = {
        {"red16.png", QSize(16, 16), Qt::red}, {"red10.png", QSize(10, 10), Qt::red},
        {"red20x10.png", QSize(20, 10), Qt::red}, {"blue16.png", QSize(16, 16), Qt::blue}};
    for (const auto& entry : images) {
        QImage img(entry.size, QImage::Format_ARGB32);
        img.fill(entry.color);
        QVERIFY(img.save(image(entry.name)));
    }
    for (const char* name : {"RbT", "RbU", "RbV"}) {
        TextStyleDesc text;
        text.name = QString::fromLatin1(name);
        VYRQResourceManager::getInstance()->setTextStyle(text.name, text);
    }
}

void tst_RadioButton::newRadioWritesIconXOnly()
{
    VYRQRadioButton radio;
    const Json::Value out = write(radio);
    QVERIFY(!out.isMember("style"));
    QCOMPARE(out["attr"], parse(R"({"iconX": 10})"));
}

void tst_RadioButton::attrRoundTrip_data()
{
    QTest::addColumn<QByteArray>("attr");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("offset 0 survives") << QByteArray(R"({"iconX": 0})") << QByteArray(R"({"iconX": 0})");
    QTest::newRow("alignments, -1 ignored") << QByteArray(R"({"iconHor": -1, "iconVer": 2, "iconY": -2})")
                                            << QByteArray(R"({"iconVer": 2, "iconX": 10, "iconY": -2})");
    QTest::newRow("flags") << QByteArray(R"({"pushlike": true, "showIcon": false, "showText": 0})")
                           << QByteArray(R"({"pushlike": 1, "showIcon": 0, "showText": 0, "iconX": 10})");
    QTest::newRow("icons and text")
        << QByteArray(R"({"iconPath": "a", "sHotIconPath": "d", "text": "Wahl", "iconHor": 1})")
        << QByteArray(R"({"iconPath": "a", "sHotIconPath": "d", "text": "Wahl", "iconHor": 1, "iconX": 10})");
}

void tst_RadioButton::attrRoundTrip()
{
    QFETCH(QByteArray, attr);
    QFETCH(QByteArray, written);
    VYRQRadioButton first;
    Json::Value element = parse("{\"attr\": " + attr + "}");
    QVERIFY(first.readJsonValue(&element));
    Json::Value out = write(first);
    QCOMPARE(out["attr"], parse(written));

    VYRQRadioButton second;
    QVERIFY(second.readJsonValue(&out));
    QCOMPARE(write(second)["attr"], parse(written));
}

void tst_RadioButton::textStyleSlots_data()
{
    QTest::addColumn<QByteArray>("style");
    QTest::addColumn<QStringList>("names"); // unchecked, checked, disabled

    QTest::newRow("8 dresses checked too") << QByteArray(R"([["RbT", 2, 8]])") << QStringList{"RbT", "RbT", ""};
    QTest::newRow("9 dresses disabled too") << QByteArray(R"([["RbU", 2, 9]])") << QStringList{"", "RbU", "RbU"};
    QTest::newRow("8, 9, 10") << QByteArray(R"([["RbT", 2, 8], ["RbU", 2, 9], ["RbV", 2, 10]])")
                              << QStringList{"RbT", "RbU", "RbV"};
    QTest::newRow("9 before 8") << QByteArray(R"([["RbU", 2, 9], ["RbT", 2, 8]])") << QStringList{"RbT", "RbT", "RbU"};
    QTest::newRow("unknown names") << QByteArray(R"([["Nope", 2, 8], ["Nope", 2, 9]])") << QStringList{"", "", ""};
}

void tst_RadioButton::textStyleSlots()
{
    QFETCH(QByteArray, style);
    QFETCH(QStringList, names);
    VYRQRadioButton radio;
    Json::Value element = parse("{\"style\": " + style + "}");
    QVERIFY(radio.readJsonValue(&element));
    QCOMPARE(QStringList({radio.getTextStyleByState(TextUnchecked).name, radio.getTextStyleByState(TextChecked).name,
                          radio.getTextStyleByState(TextDisable).name}),
             names);
    QCOMPARE(radio.getTextStyleByState(CheckBoxTextState(9)).name, names[0]);
}

void tst_RadioButton::iconSettersAndStateRanges()
{
    VYRQRadioButton radio;
    radio.setDisableIcon(QStringLiteral("off"));
    radio.setIcon(RadioAllIcons, QStringLiteral("x"));
    radio.setIcon(RadioUnselected, QStringLiteral("u"));
    radio.setIcon(RadioIconState(7), QStringLiteral("ignored"));
    QCOMPARE(QStringList({radio.getCheckedIcon(), radio.getCheckedHotIcon(), radio.getUncheckIcon(),
                          radio.getUncheckHotIcon(), radio.getDisableIcon()}),
             QStringList({"x", "x", "u", "x", "off"}));

    FillStyle a;
    a.name = QStringLiteral("A");
    FillStyle b;
    b.name = QStringLiteral("B");
    radio.setSelectedBackground(AllStates, a);
    radio.setSelectedBackground(CtrlState(5), b);
    radio.setSelectedBackground(CtrlState(-1), b);
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(radio.getSelectedBackground(CtrlState(s)).name, QStringLiteral("A"));
    radio.setSelectedBackground(Normal, b);
    QCOMPARE(radio.getSelectedBackground(CtrlState(12)).name, QStringLiteral("B"));
}

void tst_RadioButton::iconIsFitted_data()
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

void tst_RadioButton::iconIsFitted()
{
    QFETCH(QString, icon);
    QFETCH(QSize, size);
    QFETCH(QRect, drawn);
    VYRQRadioButton radio;
    radio.resize(size);
    radio.setIcon(icon.startsWith(QLatin1Char('/')) ? icon : image(qPrintable(icon)));
    QCOMPARE(areaOf(render(radio), Qt::red), drawn);

    // The text starts after the fitted width plus 2, whatever the icon offset.
    radio.setText(QStringLiteral("HHH"));
    radio.setIconOffsetX(0);
    const int left = textLeft(radio);
    QVERIFY2(left >= drawn.width() + 1 && left <= drawn.width() + 6, qPrintable(QString::number(left)));
}

// Hiding the icons or hovering without a hot icon leaves the text after the icon.
void tst_RadioButton::textKeepsClearOfTheShownIcon()
{
    VYRQRadioButton radio;
    radio.resize(100, 30);
    radio.setText(QStringLiteral("HHH"));
    QVERIFY(textLeft(radio) <= 4); // no icon: the text takes the full width
    radio.setUncheckIcon(image("red16.png"));
    radio.setIconOffsetX(0);
    QVERIFY(textLeft(radio) >= 16);
    radio.setShowIcon(false);
    QVERIFY(textLeft(radio) >= 16);
    radio.setShowIcon(true);

    ctl::hover(radio, true);
    QCOMPARE(areaOf(render(radio), Qt::red), QRect(0, 7, 15, 15));
    QVERIFY2(textLeft(radio) >= 16, "hovering moved the text over the icon");
}

void tst_RadioButton::disabledIcon()
{
    VYRQRadioButton radio;
    radio.resize(100, 30);
    radio.setChecked(true);
    radio.setCheckedIcon(image("red16.png"));
    radio.setDisableIcon(image("blue16.png"));
    radio.setEnabled(false);
    QCOMPARE(areaOf(render(radio), Qt::blue), QRect(10, 7, 15, 15)); // in its own colours

    radio.setDisableIcon(QString()); // else the checked icon, greyed
    const QImage shot = render(radio);
    QVERIFY(areaOf(shot, Qt::red).isEmpty());
    const QColor grey = shot.pixelColor(17, 14);
    QVERIFY2(grey != QColor(Qt::white) && qAbs(grey.red() - grey.green()) < 40, qPrintable(grey.name()));
}

void tst_RadioButton::pressedEventOnAnyButton_data()
{
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("checks");

    QTest::newRow("left") << int(Qt::LeftButton) << QPoint(90, 25) << true;
    QTest::newRow("left, released outside") << int(Qt::LeftButton) << QPoint(400, 300) << true;
    QTest::newRow("right") << int(Qt::RightButton) << QPoint(90, 25) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << QPoint(90, 25) << false;
}

void tst_RadioButton::pressedEventOnAnyButton()
{
    QFETCH(int, buttonValue);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, checks);
    const auto button = Qt::MouseButton(buttonValue);
    VYRQRadioButton radio;
    radio.resize(100, 30);
    radio.show();
    QVERIFY(QTest::qWaitForWindowExposed(&radio));
    QSignalSpy pressed(&radio, &VYRQRadioButton::pressedEvent);
    QTest::mousePress(&radio, button, {}, QPoint(90, 25)); // far from any indicator
    QCOMPARE(pressed.count(), 1);
    QTest::mouseRelease(&radio, button, {}, releaseAt);
    QCOMPARE(radio.isChecked(), checks);
}

void tst_RadioButton::themeDefaultsSkipTextAndIcons()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/toggles-theme"));
    for (const char* key : {"radio", "radiobox"}) {
        QScopedPointer<QWidget> created(createControlFromJson(key, Json::Value(), nullptr));
        QVERIFY2(qobject_cast<VYRQRadioButton*>(created.data()), key);
    }
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
}

QTEST_MAIN(tst_RadioButton)
#include "tst_radiobutton.moc"
