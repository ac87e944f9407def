#include "edit_testutil.h"

#include "VYRQGlobal.h"
#include "VYRQLabel.h"
#include "VYRQLineEditImpl.h"
#include "VYRQScrollBar.h"
#include "VYRQTextEdit.h"

#include <QtTest>

using namespace ctl;
using namespace edt;

namespace {
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor grey(128, 128, 128);

QString sizeSheet(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%1; } "
                          "QScrollBar::add-line:vertical{ width:%1px;width:%1px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%1px;width:%1px;subcontrol-origin: margin; }")
        .arg(size);
}

QStringList partNames(const VYRQScrollBar* bar, const QString& part)
{
    if (part == QLatin1String("bg"))
        return {bar->getScrollbarBackground(CommonNormal).name};
    QStringList out;
    for (int s = 0; s < 4; ++s) {
        const CtrlState state = CtrlState(s);
        if (part == QLatin1String("up"))
            out << bar->getScrollbarUpButton(state).name;
        else if (part == QLatin1String("down"))
            out << bar->getScrollbarDownButton(state).name;
        else
            out << bar->getScrollbarThumb(state).name;
    }
    return out;
}

// The text edit's implementation is a line edit implementation.
VYRQLineEditImpl* lineImpl(VYRQTextEdit& edit)
{
    return static_cast<VYRQLineEditImpl*>(edit.getControlImpl());
}

// The edit margins as QMargins (left, top, right, bottom).
QMargins margins(const VYRQTextEdit& edit)
{
    int top = 0, bottom = 0, left = 0, right = 0;
    edit.getEditMargin(top, bottom, left, right);
    return QMargins(left, top, right, bottom);
}

Json::Value withChild(const QByteArray& member)
{
    return parse("{\"child\": [" + member + "]}");
}
} // namespace

class tst_TextEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void scrollBarChild();
    void scrollBarSlots_data();
    void scrollBarSlots();
    void scrollBarTypes_data();
    void scrollBarTypes();
    void loaderLeavesScrollBarChildrenToTextEdit();
    void loaderStillBuildsOtherScrollBars();
    void placeholderSlot();
    void attrReadResetsMargins();
    void marginsSurviveShowing();
    void writesPlainText();
    void focusAndHoverStates();
    void disabledKeepsNormalLook();
    void jsonRoundTrip();
    void registry();
    void themeOnlyOnRefresh();
};

void tst_TextEdit::initTestCase()
{
    VYRQtLib::init();
    addFill(QStringLiteral("S"), QColor(1, 2, 3));
    addFill(QStringLiteral("TeNormal"), red);
    addFill(QStringLiteral("TePressed"), blue);
    addFill(QStringLiteral("TeDisable"), grey);
    addText(QStringLiteral("TxNormal"), QColor(10, 20, 30));
    addText(QStringLiteral("TxPressed"), QColor(70, 80, 90));
    addText(QStringLiteral("TxPlace"), QColor(1, 2, 3));
}

void tst_TextEdit::scrollBarChild()
{
    VYRQTextEdit edit;
    Json::Value element = withChild(R"({"type": "qtscrollbar", "attr": {"hor": 1}, "h": 8, "style": [["S", 1, 2]]})");
    QVERIFY(edit.readJsonValue(&element));
    QCOMPARE(partNames(edit.scrollBar(true), "up"), (QStringList{"S", "S", "S", "S"}));
    QCOMPARE(partNames(edit.scrollBar(false), "up"), (QStringList{"", "", "", ""}));
    const QString sheet = QStringLiteral(
        "QScrollBar::vertical{ width:8; } QScrollBar::horizontal{ height:8; } QScrollBar::add-line:vertical{ "
        "width:8px;width:8px; subcontrol-origin: margin;} QScrollBar::sub-line:vertical{ "
        "width:8px;width:8px;subcontrol-origin: margin; }");
    QCOMPARE(edit.scrollBar(true)->styleSheet(), sheet);
    QCOMPARE(edit.scrollBar(false)->styleSheet(), sheet);
    // The bars are the text edit's own.
    QCOMPARE(edit.horizontalScrollBar(), edit.scrollBar(true));
    QCOMPARE(edit.verticalScrollBar(), edit.scrollBar(false));
}

void tst_TextEdit::scrollBarSlots_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("0 background") << 0 << "bg" << QStringList{"S"};
    QTest::newRow("1 ignored") << 1 << "bg" << QStringList{""};
    QTest::newRow("2 up, all states") << 2 << "up" << QStringList{"S", "S", "S", "S"};
    QTest::newRow("3 up hot") << 3 << "up" << QStringList{"", "S", "", ""};
    QTest::newRow("6 down, all states") << 6 << "down" << QStringList{"S", "S", "S", "S"};
    QTest::newRow("9 down disable") << 9 << "down" << QStringList{"", "", "", "S"};
    QTest::newRow("10 thumb, all states") << 10 << "thumb" << QStringList{"S", "S", "S", "S"};
    QTest::newRow("12 thumb pressed") << 12 << "thumb" << QStringList{"", "", "S", ""};
    QTest::newRow("14 ignored") << 14 << "thumb" << QStringList{"", "", "", ""};
    QTest::newRow("negative ignored") << -1 << "bg" << QStringList{""};
}

void tst_TextEdit::scrollBarSlots()
{
    QFETCH(int, slot);
    QFETCH(QString, part);
    QFETCH(QStringList, expected);

    VYRQTextEdit edit;
    Json::Value element = withChild(QStringLiteral(R"({"type": "qtscrollbar", "style": [["S", 1, %1]]})")
                                        .arg(slot)
                                        .toUtf8());
    QVERIFY(edit.readJsonValue(&element));
    QCOMPARE(partNames(edit.scrollBar(false), part), expected);
    // Without "hor" the vertical bar is the target; the horizontal one is untouched.
    QCOMPARE(partNames(edit.scrollBar(true), part).join(QString()), QString());
}

void tst_TextEdit::scrollBarTypes_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("applied");

    QTest::newRow("type key") << QByteArray(R"("type": "qtscrollbar",)") << true;
    QTest::newRow("alias") << QByteArray(R"("type": "scrollbar",)") << true;
    QTest::newRow("inside a longer name") << QByteArray(R"("type": "myscrollbarwidget",)") << true;
    QTest::newRow("shorter than the word") << QByteArray(R"("type": "scroll",)") << false;
    QTest::newRow("other control") << QByteArray(R"("type": "qtlabel",)") << false;
    QTest::newRow("case differs") << QByteArray(R"("type": "QtScrollBar",)") << false;
    QTest::newRow("not a string") << QByteArray(R"("type": 5,)") << false;
    QTest::newRow("no type") << QByteArray() << false;
}

void tst_TextEdit::scrollBarTypes()
{
    QFETCH(QByteArray, type);
    QFETCH(bool, applied);

    VYRQTextEdit edit;
    Json::Value element = withChild("{" + type + R"( "attr": {"thumbicon": "t.svg", "upicon": "u.svg",
                                                     "downicon": "d.svg", "size": 99}, "w": 7})");
    QVERIFY(edit.readJsonValue(&element));
    const VYRQScrollBar* bar = edit.scrollBar(false);
    QCOMPARE(bar->getScrollbarThumbIcon(), applied ? QStringLiteral("t.svg") : QString());
    QCOMPARE(bar->getScrollbarBtnIcon(true), applied ? QStringLiteral("u.svg") : QString());
    QCOMPARE(bar->getScrollbarBtnIcon(false), applied ? QStringLiteral("d.svg") : QString());
    QCOMPARE(bar->styleSheet(), applied ? sizeSheet(7) : QString());
}

void tst_TextEdit::loaderLeavesScrollBarChildrenToTextEdit()
{
    QWidget page;
    const Json::Value element = parse(R"({"type": "qttext", "name": "te", "child": [
        {"type": "qtscrollbar", "name": "sbH", "attr": {"hor": 1}, "h": 9, "style": [["S", 1, 10]]},
        {"type": "scrollbar", "name": "sbV", "w": 9},
        {"type": "qtlabel", "name": "lbl"}]})");
    auto* edit = qobject_cast<VYRQTextEdit*>(createElementFromJson(element, &page));
    QVERIFY(edit);
    QCOMPARE(edit->parentWidget(), &page);

    const QList<VYRQScrollBar*> bars = page.findChildren<VYRQScrollBar*>();
    QCOMPARE(bars.size(), 2);
    QVERIFY(bars.contains(edit->scrollBar(true)) && bars.contains(edit->scrollBar(false)));
    QVERIFY(!page.findChild<QWidget*>(QStringLiteral("sbH")));
    QVERIFY(!page.findChild<QWidget*>(QStringLiteral("sbV")));
    QVERIFY(edit->findChild<VYRQLabel*>(QStringLiteral("lbl")));
    QCOMPARE(edit->scrollBar(true)->getScrollbarThumb(Hot).name, QStringLiteral("S"));
    QCOMPARE(edit->scrollBar(false)->styleSheet(), sizeSheet(9));

    // The bars are never written back; other children are.
    const Json::Value out = write(*edit);
    QCOMPARE(out["child"].size(), 1u);
    QCOMPARE(str(out["child"][0]["type"]), QStringLiteral("qtlabel"));
}

void tst_TextEdit::loaderStillBuildsOtherScrollBars()
{
    QWidget page;
    const Json::Value element =
        parse(R"({"type": "qtlabel", "name": "host", "child": [{"type": "qtscrollbar", "name": "sb"}]})");
    QWidget* host = createElementFromJson(element, &page);
    QVERIFY(host);
    QVERIFY(host->findChild<VYRQScrollBar*>(QStringLiteral("sb")));
}

void tst_TextEdit::placeholderSlot()
{
    VYRQTextEdit edit;
    Json::Value nine = parse(R"({"style": [["TxPlace", 2, 9]]})");
    QVERIFY(edit.readJsonValue(&nine));
    QVERIFY(edit.getPlaceholderTextStyle().name.isEmpty());

    Json::Value eight = parse(R"({"style": [["TxPlace", 2, 8]]})");
    QVERIFY(edit.readJsonValue(&eight));
    QCOMPARE(edit.getPlaceholderTextStyle().name, QStringLiteral("TxPlace"));
    QCOMPARE(entries(write(edit)["style"]), QStringList{"TxPlace:2:8"});

    Json::Value four = parse(R"({"style": [["TxNormal", 2, 4]]})");
    QVERIFY(edit.readJsonValue(&four));
    QCOMPARE(names(lineImpl(edit)->textStyle), (QStringList{"TxNormal", "TxNormal", "TxNormal", "TxNormal"}));
    QCOMPARE(edit.getPlaceholderTextStyle().name, QStringLiteral("TxNormal"));
}

void tst_TextEdit::attrReadResetsMargins()
{
    VYRQTextEdit edit;
    edit.setEditMargin(1, 2, 3, 4);
    QCOMPARE(margins(edit), QMargins(3, 1, 4, 2));
    Json::Value empty = parse(R"({"attr": {}})");
    QVERIFY(edit.readJsonValue(&empty));
    QCOMPARE(margins(edit), QMargins());

    Json::Value some = parse(R"({"attr": {"topMargin": 5}})");
    QVERIFY(edit.readJsonValue(&some));
    QCOMPARE(margins(edit), QMargins(0, 5, 0, 0));
    Json::Value none = parse(R"({"style": []})");
    QVERIFY(edit.readJsonValue(&none));
    QCOMPARE(margins(edit), QMargins(0, 5, 0, 0));
}

void tst_TextEdit::marginsSurviveShowing()
{
    VYRQTextEdit edit;
    edit.resize(150, 80);
    edit.setEditMargin(4, 6, 3, 5);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.resize(160, 90);
    QCOMPARE(margins(edit), QMargins(3, 4, 5, 6));
    QTRY_COMPARE(edit.viewport()->geometry(), QRect(3, 4, 160 - 3 - 5, 90 - 4 - 6));
    const Json::Value out = write(edit);
    QCOMPARE(out["attr"]["leftMargin"].asInt(), 3);
    QCOMPARE(out["attr"]["bottomMargin"].asInt(), 6);
    // The placeholder sits inside the margins once more, within the inset viewport.
    QCOMPARE(lineImpl(edit)->placeholderRect(QRect(0, 0, 100, 50)), QRect(3, 4, 100 - 3 - 5, 50 - 4 - 6));
}

void tst_TextEdit::writesPlainText()
{
    VYRQTextEdit edit;
    Json::Value rich = parse(R"({"attr": {"text": "<b>bold</b> and <i>plain</i>"}})");
    QVERIFY(edit.readJsonValue(&rich));
    QCOMPARE(edit.toPlainText(), QStringLiteral("bold and plain"));
    QCOMPARE(str(write(edit)["attr"]["text"]), QStringLiteral("bold and plain"));

    edit.clear();
    QVERIFY(!write(edit).isMember("attr"));
}

void tst_TextEdit::focusAndHoverStates()
{
    VYRQTextEdit edit;
    edit.setBackground(Normal, solid(QStringLiteral("TeNormal"), red));
    edit.setBackground(Hot, solid(QStringLiteral("TeHot"), QColor(0, 255, 0)));
    edit.setBackground(Pressed, solid(QStringLiteral("TePressed"), blue));
    edit.setTextStyle(Pressed, text(QStringLiteral("TxPressed"), QColor(70, 80, 90)));
    // Not shown: a shown window would give the text edit the focus at once.
    edit.resize(150, 80);
    VYRQWidgetBaseImpl* impl = edit.getControlImpl();
    auto look = [&] { return pixel(renderAll(edit), 140, 70); };

    QVERIFY(near(look(), red));
    hover(edit, true);
    QVERIFY(near(look(), red));
    QCOMPARE(impl->ctrlState(), Normal);

    focus(edit, true);
    QCOMPARE(impl->ctrlState(), Pressed);
    QVERIFY(near(look(), blue));
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(70, 80, 90));
    hover(edit, false);
    mouse(*edit.viewport(), QEvent::MouseButtonPress, QPoint(10, 10));
    mouse(*edit.viewport(), QEvent::MouseButtonRelease, QPoint(10, 10));
    QCOMPARE(impl->ctrlState(), Pressed);

    focus(edit, false);
    QCOMPARE(impl->ctrlState(), Normal);
    QVERIFY(near(look(), red));
}

void tst_TextEdit::disabledKeepsNormalLook()
{
    VYRQTextEdit edit;
    edit.setBackground(Normal, solid(QStringLiteral("TeNormal"), red));
    edit.setBackground(Disable, solid(QStringLiteral("TeDisable"), grey));
    edit.resize(150, 80);
    edit.setEnabled(false);
    hover(edit, true);
    hover(edit, false);
    QVERIFY(near(pixel(renderAll(edit), 140, 70), red));
    QCOMPARE(edit.getControlImpl()->ctrlState(), Normal);
}

void tst_TextEdit::jsonRoundTrip()
{
    VYRQTextEdit edit;
    edit.setPlainText(QStringLiteral("line one\nline two"));
    edit.setPlaceholderText(QStringLiteral("notes"));
    edit.setEditMargin(0, 4, 0, 2);
    for (int s = 0; s < 4; ++s)
        edit.setBackground(CtrlState(s), solid(QStringLiteral("TeNormal"), red));
    edit.setBackground(Pressed, solid(QStringLiteral("TePressed"), blue));
    edit.setTextStyle(Normal, text(QStringLiteral("TxNormal"), Qt::black));
    edit.setPlaceholderTextStyle(text(QStringLiteral("TxPlace"), Qt::black));

    Json::Value out = write(edit);
    QCOMPARE(str(out["type"]), QStringLiteral("qttext"));
    QCOMPARE(entries(out["style"]), (QStringList{"TeNormal:1:0", "TeNormal:1:1", "TePressed:1:2", "TeNormal:1:3",
                                                 "TxNormal:2:4", "TxPlace:2:8"}));
    QCOMPARE(out["attr"]["bottomMargin"].asInt(), 4);
    QCOMPARE(out["attr"]["rightMargin"].asInt(), 2);

    VYRQTextEdit copy;
    QVERIFY(copy.readJsonValue(&out));
    QCOMPARE(copy.toPlainText(), edit.toPlainText());
    QCOMPARE(copy.getPlaceholderText(), QStringLiteral("notes"));
    QCOMPARE(margins(copy), margins(edit));
    QCOMPARE(copy.getBackground(Pressed).name, QStringLiteral("TePressed"));
    QCOMPARE(copy.getPlaceholderTextStyle().name, QStringLiteral("TxPlace"));
    QCOMPARE(write(copy), out);
}

void tst_TextEdit::registry()
{
    QScopedPointer<QWidget> w(createControlByType("qttext", nullptr));
    QVERIFY(qobject_cast<VYRQTextEdit*>(w.data()));
    ControlInfo* info = vyrGetControlInfo(QStringLiteral("qttext"));
    QVERIFY(info && info->rows.size() == 12 && info->rows[9].name == QLatin1String("PlaceholderStyle"));
}

// Runs last: the loaded theme set stays for the rest of the process.
void tst_TextEdit::themeOnlyOnRefresh()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/edit-theme"));
    VYRQTextEdit edit;
    QVERIFY(edit.getBackground(Normal).name.isEmpty());
    QVERIFY(edit.getPlaceholderText().isEmpty());

    edit.getControlBase()->refreshTheme();
    QCOMPARE(edit.getBackground(Hot).name, QStringLiteral("EditThemeFill"));
    QCOMPARE(edit.getPlaceholderText(), QStringLiteral("themed tip"));
    // The theme element's scroll-bar members style the bars too.
    QCOMPARE(edit.scrollBar(false)->getScrollbarThumb(Pressed).name, QStringLiteral("EditThemeFill"));
    QCOMPARE(edit.scrollBar(false)->styleSheet(), sizeSheet(6));
}

QTEST_MAIN(tst_TextEdit)
#include "tst_textedit.moc"
