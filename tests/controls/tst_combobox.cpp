#include "edit_testutil.h"

#include "VYRQComboBox.h"
#include "VYRQComboBoxImpl.h"
#include "VYRQComboItemDelegate.h"
#include "VYRQComboList.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"

#include <QLineEdit>
#include <QPainter>
#include <QtTest>

using namespace ctl;
using namespace edt;

namespace {
const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor yellow(255, 255, 0);
const QColor white(255, 255, 255);

QIcon solidIcon(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};
} // namespace

class tst_ComboBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void faceLayout();
    void textPlacement_data();
    void textPlacement();
    void facePaint();
    void faceIconShiftsText();
    void editableDoesNotRepaintForever();
    void rowStyleChoice_data();
    void rowStyleChoice();
    void rowIconColumn();
    void rowHeight();
    void popupBackground();
    void textAppendsOnEveryRead();
    void buttonIcons();
    void styleSlots();
    void writeMergesEqualGroups();
    void jsonRoundTrip();
    void outOfRangeStates();
    void emulatorDemoItems();
    void registry();
};

void tst_ComboBox::initTestCase()
{
    VYRQtLib::init();
    addFill(QStringLiteral("CbBox"), red);
    addFill(QStringLiteral("CbBoxHot"), yellow);
    addFill(QStringLiteral("CbBtn"), blue);
    addFill(QStringLiteral("CbPopup"), green);
    addFill(QStringLiteral("CbRow"), red);
    addFill(QStringLiteral("CbRowHot"), green);
    addFill(QStringLiteral("CbRowSel"), blue);
    addText(QStringLiteral("CbText"), Qt::black);
    addText(QStringLiteral("CbTextHot"), Qt::black);
    addText(QStringLiteral("CbRowText"), Qt::black);
}

void tst_ComboBox::faceLayout()
{
    const QRect rect(0, 0, 200, 30);
    QCOMPARE(VYRQComboBoxImpl::buttonRect(rect), QRect(169, 0, 30, 30));
    QCOMPARE(VYRQComboBoxImpl::faceIconRect(rect), QRect(5, 0, 20, 30));
    // With an icon the text runs from x 20 to 20 pixels short of the right edge.
    QCOMPARE(VYRQComboBoxImpl::faceTextRect(rect, true), QRect(20, 0, 160, 30));
    QCOMPARE(VYRQComboBoxImpl::faceTextRect(rect, false), rect);
}

void tst_ComboBox::textPlacement_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("expected");

    QTest::newRow("near, small offset raised") << 0 << 3 << 10;
    QTest::newRow("near, negative offset raised") << 0 << -4 << 10;
    QTest::newRow("near, large offset kept") << 0 << 15 << 15;
    QTest::newRow("centre keeps offset") << 1 << 3 << 3;
    QTest::newRow("far keeps offset") << 2 << 0 << 0;
}

void tst_ComboBox::textPlacement()
{
    QFETCH(int, hor);
    QFETCH(int, x);
    QFETCH(int, expected);
    const TextStyleDesc placed = VYRQComboBoxImpl::placedTextStyle(text(QStringLiteral("T"), Qt::black, hor, x));
    QCOMPARE(placed.x, expected);
    QCOMPARE(placed.hor, hor);
}

void tst_ComboBox::facePaint()
{
    VYRQComboBox combo;
    combo.setBackground(Normal, solid(QStringLiteral("CbBox"), red));
    combo.setBackground(Hot, solid(QStringLiteral("CbBoxHot"), yellow));
    combo.setBtnBackground(Normal, solid(QStringLiteral("CbBtn"), blue));
    combo.setBtnBackground(Hot, solid(QStringLiteral("CbBtn"), blue));
    combo.resize(200, 30);
    QCOMPARE(combo.count(), 0);

    QImage image = render(combo);
    QVERIFY(near(pixel(image, 100, 15), red));
    QVERIFY(near(pixel(image, 185, 15), blue));
    QVERIFY(near(pixel(image, 165, 15), red));

    // The face follows the interaction state; the button keeps its own per-state look.
    hover(combo, true);
    image = render(combo);
    QVERIFY(near(pixel(image, 100, 15), yellow));
    QVERIFY(near(pixel(image, 185, 15), blue));
    hover(combo, false);
    QVERIFY(near(pixel(render(combo), 100, 15), red));
}

void tst_ComboBox::faceIconShiftsText()
{
    VYRQComboBox combo;
    combo.setBackground(Normal, solid(QStringLiteral("CbBox"), red));
    combo.resize(200, 30);
    combo.addItem(QStringLiteral("plain"));
    QVERIFY(near(pixel(render(combo), 14, 15), red));

    combo.addItem(solidIcon(green), QStringLiteral("with icon"));
    combo.setCurrentIndex(1);
    // A 16 by 16 icon centred in (5, 0, 20, 30).
    const QImage image = render(combo);
    QVERIFY(near(pixel(image, 8, 8), green));
    QVERIFY(near(pixel(image, 21, 21), green));
    QVERIFY(near(pixel(image, 6, 15), red));
    QVERIFY(near(pixel(image, 24, 15), red));
}

void tst_ComboBox::editableDoesNotRepaintForever()
{
    VYRQComboBox combo;
    combo.setEditable(true);
    combo.addItem(QStringLiteral("one"));
    combo.resize(200, 30);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QCOMPARE(combo.lineEdit()->textMargins(), QMargins(10, 0, 10, 0));

    PaintCounter counter;
    combo.installEventFilter(&counter);
    combo.update();
    for (int i = 0; i < 30; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    QVERIFY2(counter.count >= 1 && counter.count <= 3, qPrintable(QString::number(counter.count)));

    // Before "style" is read, the line edit becomes transparent.
    Json::Value element = parse(R"({"style": []})");
    QVERIFY(combo.readJsonValue(&element));
    QCOMPARE(combo.lineEdit()->styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

void tst_ComboBox::rowStyleChoice_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("plain") << int(QStyle::State_Enabled) << red;
    QTest::newRow("selected") << int(QStyle::State_Selected) << blue;
    QTest::newRow("under the pointer") << int(QStyle::State_MouseOver) << green;
    QTest::newRow("pointer wins over selected") << int(QStyle::State_MouseOver | QStyle::State_Selected) << green;
}

void tst_ComboBox::rowStyleChoice()
{
    QFETCH(int, state);
    QFETCH(QColor, expected);

    VYRQComboBox combo;
    combo.addItem(QStringLiteral("row"));
    combo.setItemBackground(Normal, solid(QStringLiteral("CbRow"), red));
    combo.setItemBackground(Hot, solid(QStringLiteral("CbRowHot"), green));
    combo.setItemBackground(Pressed, solid(QStringLiteral("CbRowSel"), blue));
    combo.setItemBackground(Disable, solid(QStringLiteral("CbBox"), yellow));

    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 25);
    option.state = QStyle::State(state);
    QImage image(120, 25, QImage::Format_ARGB32);
    image.fill(white);
    QPainter painter(&image);
    combo.popupList()->comboDelegate()->paint(&painter, option, combo.model()->index(0, 0));
    painter.end();
    QVERIFY(near(pixel(image, 3, 3), expected));
    QVERIFY(near(pixel(image, 116, 22), expected));
}

void tst_ComboBox::rowIconColumn()
{
    VYRQComboBox combo;
    combo.addItem(solidIcon(green), QStringLiteral("icon row"));
    combo.setItemBackground(Normal, solid(QStringLiteral("CbRow"), red));

    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 25);
    QImage image(120, 25, QImage::Format_ARGB32);
    image.fill(white);
    QPainter painter(&image);
    combo.popupList()->comboDelegate()->paint(&painter, option, combo.model()->index(0, 0));
    painter.end();
    // The icon column is not filled; the icon sits centred in it.
    QVERIFY(near(pixel(image, 1, 1), white));
    QVERIFY(near(pixel(image, 10, 12), green));
    QVERIFY(near(pixel(image, 21, 1), red));
}

void tst_ComboBox::rowHeight()
{
    VYRQComboBox combo;
    TextStyleDesc big = text(QStringLiteral("Big"), Qt::black);
    big.size = 60;
    combo.setItemTextStyle(Normal, big);
    combo.addItem(QStringLiteral("a"));
    combo.addItem(QStringLiteral("b"));
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 140, 10);
    VYRQComboItemDelegate* delegate = combo.popupList()->comboDelegate();
    QCOMPARE(delegate->sizeHint(option, combo.model()->index(0, 0)), QSize(140, 25));
    QCOMPARE(combo.popupList()->sizeHintForRow(1), 25);

    combo.setItemHeight(40);
    QCOMPARE(combo.getItemHeight(), 40);
    QCOMPARE(delegate->sizeHint(option, combo.model()->index(1, 0)).height(), 40);
    QCOMPARE(combo.view(), combo.popupList());
}

void tst_ComboBox::popupBackground()
{
    VYRQComboBox combo;
    combo.setPopupBackground(Disable, solid(QStringLiteral("CbPopup"), green));
    QCOMPARE(combo.getPopupBackground(Normal).name, QStringLiteral("CbPopup"));
    combo.addItem(QStringLiteral("row"));
    combo.setItemBackground(Normal, solid(QStringLiteral("CbRow"), red));

    // A list of its own over the same state, shown outside any popup.
    VYRQComboList list(combo.impl());
    list.setModel(combo.model());
    list.resize(120, 100);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.frameStyle(), 0);
    const QImage image = renderAll(list);
    QVERIFY(near(pixel(image, 60, 12), red));   // the row, painted on top
    QVERIFY(near(pixel(image, 60, 80), green)); // the popup background below it
}

void tst_ComboBox::textAppendsOnEveryRead()
{
    VYRQComboBox combo;
    Json::Value element = parse(R"({"attr": {"text": "Alpha"}})");
    QVERIFY(combo.readJsonValue(&element));
    QCOMPARE(combo.count(), 1);
    QVERIFY(combo.readJsonValue(&element));
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.currentIndex(), 1);
    QCOMPARE(combo.currentText(), QStringLiteral("Alpha"));
    QVERIFY(combo.itemIcon(1).isNull());
    QVERIFY(!combo.itemData(1).isValid());

    Json::Value other = parse(R"({"attr": {"text": "Beta"}})");
    QVERIFY(combo.readJsonValue(&other));
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.currentText(), QStringLiteral("Beta"));
}

void tst_ComboBox::buttonIcons()
{
    VYRQComboBox combo;
    Json::Value element = parse(R"({"attr": {"btnHotIcon": "B.svg", "btnIcon": "A.svg"}})");
    QVERIFY(combo.readJsonValue(&element));
    QCOMPARE(combo.getBtnIcon(Normal), QStringLiteral("A.svg"));
    QCOMPARE(combo.getBtnIcon(Hot), QStringLiteral("B.svg"));
    QCOMPARE(combo.getBtnIcon(Pressed), QStringLiteral("A.svg"));
    QCOMPARE(combo.getBtnIcon(Disable), QStringLiteral("A.svg"));
    QCOMPARE(combo.getNormalBtnIcon(), QStringLiteral("A.svg"));
    QCOMPARE(combo.getHotBtnIcon(), QStringLiteral("B.svg"));

    Json::Value out = write(combo);
    QCOMPARE(str(out["attr"]["btnIcon"]), QStringLiteral("A.svg"));
    QCOMPARE(str(out["attr"]["btnHotIcon"]), QStringLiteral("B.svg"));

    combo.setHotBtnIcon(QStringLiteral("A.svg"));
    out = write(combo);
    QVERIFY(!out["attr"].isMember("btnHotIcon"));
    QVERIFY(!out["attr"].isMember("text"));
}

void tst_ComboBox::styleSlots()
{
    VYRQComboBox combo;
    Json::Value element = parse(R"({"style": [
        ["CbBox", 1, 0], ["CbBoxHot", 1, 1], ["CbBtn", 1, 4], ["CbText", 2, 8], ["CbTextHot", 2, 9],
        ["CbPopup", 1, 12], ["CbRow", 1, 13], ["CbRowSel", 1, 15], ["CbRowText", 2, 17],
        ["CbBox", 1, 21], ["CbBox", 1, -1], ["Missing", 1, 4]]})");
    QVERIFY(combo.readJsonValue(&element));
    QCOMPARE(names(combo.impl()->background), (QStringList{"CbBox", "CbBoxHot", "CbBox", "CbBox"}));
    QCOMPARE(names(combo.impl()->btnBackground), (QStringList{"CbBtn", "CbBtn", "CbBtn", "CbBtn"}));
    QCOMPARE(names(combo.impl()->textStyle), (QStringList{"CbText", "CbTextHot", "CbText", "CbText"}));
    QCOMPARE(combo.getPopupBackground(Normal).name, QStringLiteral("CbPopup"));
    QCOMPARE(names(combo.impl()->itemBackground), (QStringList{"CbRow", "CbRow", "CbRowSel", "CbRow"}));
    QCOMPARE(names(combo.impl()->itemTextStyle), (QStringList{"CbRowText", "CbRowText", "CbRowText", "CbRowText"}));
}

void tst_ComboBox::writeMergesEqualGroups()
{
    VYRQComboBox combo;
    Json::Value out = write(combo);
    QVERIFY(out.isMember("style") && out["style"].isNull());

    for (int s = 0; s < 4; ++s)
        combo.setBackground(CtrlState(s), solid(QStringLiteral("CbBox"), red));
    QCOMPARE(entries(write(combo)["style"]), QStringList{"CbBox:1:0"});

    combo.setTextStyle(Normal, text(QStringLiteral("CbText"), Qt::black));
    combo.setTextStyle(Hot, text(QStringLiteral("CbTextHot"), Qt::black));
    combo.setPopupBackground(Normal, solid(QStringLiteral("CbPopup"), green));
    combo.setItemBackground(Normal, solid(QStringLiteral("CbRow"), red));
    combo.setItemBackground(Pressed, solid(QStringLiteral("CbRowSel"), blue));
    QCOMPARE(entries(write(combo)["style"]),
             (QStringList{"CbBox:1:0", "CbText:2:8", "CbTextHot:2:9", "CbPopup:1:12", "CbRow:1:13", "CbRowSel:1:15"}));
}

void tst_ComboBox::jsonRoundTrip()
{
    VYRQComboBox combo;
    // Every state named: a spelled-out group reads back as it was written.
    for (int s = 0; s < 4; ++s) {
        combo.setBackground(CtrlState(s), solid(QStringLiteral("CbBox"), red));
        combo.setItemBackground(CtrlState(s), solid(QStringLiteral("CbRow"), red));
    }
    combo.setBackground(Hot, solid(QStringLiteral("CbBoxHot"), yellow));
    combo.setBtnBackground(Normal, solid(QStringLiteral("CbBtn"), blue));
    combo.setTextStyle(Normal, text(QStringLiteral("CbText"), Qt::black));
    combo.setPopupBackground(Normal, solid(QStringLiteral("CbPopup"), green));
    combo.setItemBackground(Hot, solid(QStringLiteral("CbRowHot"), green));
    combo.setItemTextStyle(Normal, text(QStringLiteral("CbRowText"), Qt::black));
    combo.setNormalBtnIcon(QStringLiteral("arrow.svg"));
    combo.setHotBtnIcon(QStringLiteral("arrow-hot.svg"));
    combo.addItem(QStringLiteral("first"));
    combo.addItem(QStringLiteral("chosen"));
    combo.setCurrentIndex(1);
    combo.setItemHeight(33);

    Json::Value out = write(combo);
    QCOMPARE(str(out["type"]), QStringLiteral("qtcombobox"));
    QCOMPARE(str(out["attr"]["text"]), QStringLiteral("chosen"));

    VYRQComboBox copy;
    QVERIFY(copy.readJsonValue(&out));
    QCOMPARE(names(copy.impl()->background), names(combo.impl()->background));
    QCOMPARE(names(copy.impl()->btnBackground).first(), QStringLiteral("CbBtn"));
    QCOMPARE(copy.getTextStyle(Disable).name, QStringLiteral("CbText"));
    QCOMPARE(copy.getPopupBackground(Normal).name, QStringLiteral("CbPopup"));
    QCOMPARE(names(copy.impl()->itemBackground), names(combo.impl()->itemBackground));
    QCOMPARE(copy.getBtnIcon(Hot), QStringLiteral("arrow-hot.svg"));
    QCOMPARE(copy.getBtnIcon(Pressed), QStringLiteral("arrow.svg"));
    // Only the current text is stored, as one item; the row height is not stored.
    QCOMPARE(copy.count(), 1);
    QCOMPARE(copy.currentText(), QStringLiteral("chosen"));
    QCOMPARE(copy.getItemHeight(), 25);
    QCOMPARE(write(copy), out);
}

void tst_ComboBox::outOfRangeStates()
{
    VYRQComboBox combo;
    combo.setBackground(Normal, solid(QStringLiteral("CbBox"), red));
    combo.setItemTextStyle(Normal, text(QStringLiteral("CbRowText"), Qt::black));
    combo.setNormalBtnIcon(QStringLiteral("n.svg"));
    for (int state : {-1, 4, 9}) {
        const CtrlState s = CtrlState(state);
        combo.setBackground(s, solid(QStringLiteral("CbBtn"), blue));
        combo.setBtnBackground(s, solid(QStringLiteral("CbBtn"), blue));
        combo.setItemTextStyle(s, text(QStringLiteral("CbText"), Qt::black));
        combo.setBtnIcon(s, QStringLiteral("x.svg"));
        QCOMPARE(combo.getBackground(s).name, QStringLiteral("CbBox"));
        QCOMPARE(combo.getItemTextStyle(s).name, QStringLiteral("CbRowText"));
        QCOMPARE(combo.getBtnIcon(s), QStringLiteral("n.svg"));
    }
    QCOMPARE(names(combo.impl()->background), (QStringList{"CbBox", "", "", ""}));
    QCOMPARE(names(combo.impl()->btnBackground), (QStringList{"", "", "", ""}));
}

void tst_ComboBox::emulatorDemoItems()
{
    VYRQComboBox plain;
    plain.initDemoData();
    QCOMPARE(plain.count(), 0);

    vyr::setQtEmulator(true);
    QWidget page;
    auto* combo = qobject_cast<VYRQComboBox*>(createElementFromJson(parse(R"({"type": "combobox"})"), &page));
    vyr::setQtEmulator(false);
    QVERIFY(combo);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QStringLiteral("Item1"));
    QCOMPARE(combo->itemText(2), QStringLiteral("Item3"));
    QCOMPARE(combo->currentText(), QStringLiteral("Item1"));
}

void tst_ComboBox::registry()
{
    for (const char* key : {"qtcombobox", "combobox"}) {
        QScopedPointer<QWidget> w(createControlByType(key, nullptr));
        QVERIFY2(qobject_cast<VYRQComboBox*>(w.data()), key);
    }
    ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtcombobox"));
    QVERIFY(info && info->rows.size() == 16);
    // The second "BtnBackground" row edits the popup background.
    QCOMPARE(info->rows[10].name, QStringLiteral("BtnBackground"));
    VYRQComboBox combo;
    info->rows[10].setFill(&combo, Normal, solid(QStringLiteral("CbPopup"), green));
    QCOMPARE(combo.getPopupBackground(Normal).name, QStringLiteral("CbPopup"));
}

QTEST_MAIN(tst_ComboBox)
#include "tst_combobox.moc"
