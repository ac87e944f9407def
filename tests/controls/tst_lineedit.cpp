#include "edit_testutil.h"

#include "VYRQGlobal.h"
#include "VYRQLineEdit.h"
#include "VYRQLineEditImpl.h"

#include <QClipboard>
#include <QMimeData>
#include <QtTest>

using namespace ctl;
using namespace edt;

namespace {
const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor grey(128, 128, 128);
} // namespace

Q_DECLARE_METATYPE(QMargins)

class tst_LineEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void shortcutText_data();
    void shortcutText();
    void passwordRefusesClipboardKeys_data();
    void passwordRefusesClipboardKeys();
    void passwordTypesOtherKeys();
    void passwordRefusesDropsAndSelectionPaste();
    void passwordOffInPageKeepsMode();
    void focusAndHoverStates();
    void disabledShowsDisableLook();
    void textStyleFollowsState();
    void outOfRangeStates();
    void marginOrder();
    void marginsResetOnEveryAttrRead_data();
    void marginsResetOnEveryAttrRead();
    void styleSlots_data();
    void styleSlots();
    void writeStyles();
    void jsonRoundTrip();
    void registry();
    void themeDefaultsInConstructor();
};

void tst_LineEdit::initTestCase()
{
    VYRQtLib::init();
    addFill(QStringLiteral("LeNormal"), red);
    addFill(QStringLiteral("LeHot"), green);
    addFill(QStringLiteral("LePressed"), blue);
    addFill(QStringLiteral("LeDisable"), grey);
    addFill(QStringLiteral("LeRed2"), red);
    addText(QStringLiteral("TxNormal"), QColor(10, 20, 30));
    addText(QStringLiteral("TxHot"), QColor(40, 50, 60));
    addText(QStringLiteral("TxPressed"), QColor(70, 80, 90));
    addText(QStringLiteral("TxPlace"), QColor(1, 2, 3));
}

void tst_LineEdit::shortcutText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected");

    const int ctrl = Qt::ControlModifier;
    const int alt = Qt::AltModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("all three in fixed order") << int(Qt::Key_Z) << (shift | alt | ctrl) << "CTRL+ALT+SHIFT+Z";
    QTest::newRow("ctrl shift") << int(Qt::Key_S) << (ctrl | shift) << "CTRL+SHIFT+S";
    QTest::newRow("alt") << int(Qt::Key_A) << alt << "ALT+A";
    QTest::newRow("letter alone") << int(Qt::Key_A) << 0 << "A";
    QTest::newRow("meta not shown") << int(Qt::Key_M) << int(Qt::MetaModifier | ctrl) << "CTRL+M";
    QTest::newRow("F1") << int(Qt::Key_F1) << 0 << "F1";
    QTest::newRow("F keys ignore modifiers") << int(Qt::Key_F5) << shift << "F5";
    QTest::newRow("F12 with ctrl") << int(Qt::Key_F12) << ctrl << "F12";
    QTest::newRow("F35") << int(Qt::Key_F35) << 0 << "F35";
    QTest::newRow("backspace clears") << int(Qt::Key_Backspace) << 0 << "";
    QTest::newRow("delete clears") << int(Qt::Key_Delete) << ctrl << "";
    // Keys that are not captured leave the text as it was.
    QTest::newRow("digit") << int(Qt::Key_5) << 0 << "old";
    QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << "old";
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << "old";
    QTest::newRow("modifier alone") << int(Qt::Key_Control) << ctrl << "old";
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << "old";
}

void tst_LineEdit::shortcutText()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);

    VYRQLineEdit edit;
    edit.setHotkeyMode(true);
    edit.setText(QStringLiteral("old"));
    QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit.text(), expected);
}

void tst_LineEdit::passwordRefusesClipboardKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("hotkey");

    QTest::newRow("copy") << int(Qt::Key_C) << int(Qt::ControlModifier) << false;
    QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier) << false;
    QTest::newRow("select all") << int(Qt::Key_A) << int(Qt::ControlModifier) << false;
    QTest::newRow("paste shift+insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << false;
    // The password rule runs before the shortcut rule would name the keys.
    QTest::newRow("copy in shortcut mode") << int(Qt::Key_C) << int(Qt::ControlModifier) << true;
    QTest::newRow("paste in shortcut mode") << int(Qt::Key_V) << int(Qt::ControlModifier) << true;
}

void tst_LineEdit::passwordRefusesClipboardKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, hotkey);

    QApplication::clipboard()->setText(QStringLiteral("PASTE"));
    VYRQLineEdit edit;
    edit.setText(QStringLiteral("abc"));
    edit.setHotkeyMode(hotkey);

    // The same key does its usual work outside password mode.
    VYRQLineEdit plain;
    plain.setText(QStringLiteral("abc"));
    plain.setHotkeyMode(hotkey);
    QTest::keyClick(&plain, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    const bool plainChanged = plain.text() != QLatin1String("abc") || plain.hasSelectedText()
        || QApplication::clipboard()->text() != QLatin1String("PASTE");

    QApplication::clipboard()->setText(QStringLiteral("PASTE"));
    edit.setIsPassword(true);
    QVERIFY(edit.getIsPassword());
    QCOMPARE(edit.contextMenuPolicy(), Qt::NoContextMenu);
    edit.setSelection(0, 1);
    QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit.text(), QStringLiteral("abc"));
    QCOMPARE(edit.selectedText(), QStringLiteral("a"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("PASTE"));
    if (!hotkey && key != Qt::Key_C)
        QVERIFY2(plainChanged, "the key does nothing even without password mode");
}

void tst_LineEdit::passwordTypesOtherKeys()
{
    VYRQLineEdit edit;
    edit.setIsPassword(true);
    QTest::keyClicks(&edit, QStringLiteral("secret"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("secre"));

    edit.setIsPassword(false);
    QVERIFY(!edit.getIsPassword());
    QCOMPARE(edit.echoMode(), QLineEdit::Normal);
    QCOMPARE(edit.contextMenuPolicy(), Qt::DefaultContextMenu);
}

void tst_LineEdit::passwordRefusesDropsAndSelectionPaste()
{
    auto drop = [](VYRQLineEdit& edit) {
        QMimeData data;
        data.setText(QStringLiteral("DROPPED"));
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &dropped);
        return enter.isAccepted();
    };
    auto middleClick = [](VYRQLineEdit& edit) {
        mouse(edit, QEvent::MouseButtonPress, QPoint(5, 5), Qt::MiddleButton);
        mouse(edit, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::MiddleButton);
    };
    QClipboard* clipboard = QApplication::clipboard();
    if (clipboard->supportsSelection())
        clipboard->setText(QStringLiteral("SELECTED"), QClipboard::Selection);

    VYRQLineEdit plain;
    plain.resize(120, 24);
    QVERIFY(drop(plain));
    QVERIFY(plain.text().contains(QLatin1String("DROPPED")));
    if (clipboard->supportsSelection()) {
        middleClick(plain);
        QVERIFY(plain.text().contains(QLatin1String("SELECTED")));
    }

    VYRQLineEdit password;
    password.resize(120, 24);
    password.setIsPassword(true);
    password.setText(QStringLiteral("abc"));
    QVERIFY(!drop(password));
    middleClick(password);
    QCOMPARE(password.text(), QStringLiteral("abc"));
}

void tst_LineEdit::passwordOffInPageKeepsMode()
{
    VYRQLineEdit edit;
    Json::Value on = parse(R"({"attr": {"ispassord": 1}})");
    QVERIFY(edit.readJsonValue(&on));
    QVERIFY(edit.getIsPassword());
    Json::Value off = parse(R"({"attr": {"ispassord": 0}})");
    QVERIFY(edit.readJsonValue(&off));
    QVERIFY(edit.getIsPassword());
}

void tst_LineEdit::focusAndHoverStates()
{
    VYRQLineEdit edit;
    edit.setBackground(Normal, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Hot, solid(QStringLiteral("LeHot"), green));
    edit.setBackground(Pressed, solid(QStringLiteral("LePressed"), blue));
    // Not shown: a shown window would give the field the focus at once.
    edit.resize(120, 24);
    VYRQWidgetBaseImpl* impl = edit.getControlImpl();
    const QPoint probe(edit.width() - 3, 3);
    auto look = [&] { return pixel(render(edit), probe.x(), probe.y()); };

    QVERIFY(near(look(), red));

    // Hovering an unfocused field: Hot for an instant, painted and kept as Normal.
    hover(edit, true);
    QVERIFY(near(look(), red));
    QCOMPARE(impl->ctrlState(), Normal);
    QVERIFY(!impl->isHovered());
    hover(edit, false);
    QCOMPARE(impl->ctrlState(), Normal);

    focus(edit, true);
    QCOMPARE(impl->ctrlState(), Pressed);
    QVERIFY(near(look(), blue));
    // The pointer does not override the focus look.
    hover(edit, true);
    QCOMPARE(impl->ctrlState(), Pressed);
    hover(edit, false);
    QCOMPARE(impl->ctrlState(), Pressed);
    QVERIFY(near(look(), blue));

    // Presses are the line edit's own: they do not touch the state.
    mouse(edit, QEvent::MouseButtonPress, QPoint(5, 5));
    mouse(edit, QEvent::MouseButtonRelease, QPoint(5, 5));
    QCOMPARE(impl->ctrlState(), Pressed);

    focus(edit, false);
    QCOMPARE(impl->ctrlState(), Normal);
    QVERIFY(near(look(), red));
}

void tst_LineEdit::disabledShowsDisableLook()
{
    VYRQLineEdit edit;
    edit.setBackground(Normal, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Disable, solid(QStringLiteral("LeDisable"), grey));
    edit.resize(120, 24);
    edit.setEnabled(false);
    QVERIFY(near(pixel(render(edit), 117, 3), grey));
    QCOMPARE(edit.getControlImpl()->ctrlState(), Disable);
    edit.setEnabled(true);
    QVERIFY(near(pixel(render(edit), 117, 3), red));
}

void tst_LineEdit::textStyleFollowsState()
{
    VYRQLineEdit edit;
    edit.setTextStyle(Pressed, text(QStringLiteral("TxPressed"), QColor(70, 80, 90)));
    TextStyleDesc normal = text(QStringLiteral("TxNormal"), QColor(10, 20, 30));
    normal.size = 17;
    // Setting the Normal style applies it at once.
    edit.setTextStyle(Normal, normal);
    QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Text), QColor(10, 20, 30));
    QCOMPARE(edit.palette().color(QPalette::Disabled, QPalette::Text), QColor(10, 20, 30));
    QCOMPARE(edit.font().pixelSize(), 17);

    edit.resize(120, 24);
    focus(edit, true);
    render(edit);
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(70, 80, 90));
    QCOMPARE(edit.font().pixelSize(), 12);
    focus(edit, false);
    render(edit);
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(10, 20, 30));
}

void tst_LineEdit::outOfRangeStates()
{
    VYRQLineEdit edit;
    edit.setBackground(Normal, solid(QStringLiteral("LeNormal"), red));
    edit.setTextStyle(Normal, text(QStringLiteral("TxNormal"), Qt::black));
    for (int state : {-1, 4, 7}) {
        edit.setBackground(CtrlState(state), solid(QStringLiteral("LeHot"), green));
        edit.setTextStyle(CtrlState(state), text(QStringLiteral("TxHot"), Qt::black));
        QCOMPARE(edit.getBackground(CtrlState(state)).name, QStringLiteral("LeNormal"));
        QCOMPARE(edit.getTextStyle(CtrlState(state)).name, QStringLiteral("TxNormal"));
    }
    const QStringList fills{"LeNormal", "", "", ""};
    const QStringList texts{"TxNormal", "", "", ""};
    QCOMPARE(names(edit.impl()->background), fills);
    QCOMPARE(names(edit.impl()->textStyle), texts);
}

void tst_LineEdit::marginOrder()
{
    VYRQLineEdit edit;
    edit.setEditMargin(1, 2, 3, 4);
    QCOMPARE(edit.contentsMargins(), QMargins(3, 1, 4, 2));
    int top = 0, bottom = 0, left = 0, right = 0;
    edit.getEditMargin(top, bottom, left, right);
    QCOMPARE(QVector<int>({top, bottom, left, right}), QVector<int>({1, 2, 3, 4}));
    QCOMPARE(edit.impl()->placeholderRect(QRect(0, 0, 100, 30)), QRect(3, 1, 100 - 3 - 4, 30 - 1 - 2));

    const Json::Value out = write(edit);
    QCOMPARE(out["attr"]["leftMargin"].asInt(), 3);
    QCOMPARE(out["attr"]["topMargin"].asInt(), 1);
    QCOMPARE(out["attr"]["rightMargin"].asInt(), 4);
    QCOMPARE(out["attr"]["bottomMargin"].asInt(), 2);
}

void tst_LineEdit::marginsResetOnEveryAttrRead_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QMargins>("expected");

    QTest::newRow("one key") << QByteArray(R"({"attr": {"leftMargin": 6}})") << QMargins(6, 0, 0, 0);
    QTest::newRow("empty attr") << QByteArray(R"({"attr": {}})") << QMargins();
    QTest::newRow("attr with other keys") << QByteArray(R"({"attr": {"text": "x"}})") << QMargins();
    QTest::newRow("no attr keeps") << QByteArray(R"({"style": []})") << QMargins(9, 9, 9, 9);
    QTest::newRow("all four")
        << QByteArray(R"({"attr": {"leftMargin": 1, "topMargin": 2, "rightMargin": 3, "bottomMargin": 4}})")
        << QMargins(1, 2, 3, 4);
}

void tst_LineEdit::marginsResetOnEveryAttrRead()
{
    QFETCH(QByteArray, json);
    QFETCH(QMargins, expected);

    VYRQLineEdit edit;
    edit.setContentsMargins(9, 9, 9, 9);
    Json::Value element = parse(json);
    QVERIFY(edit.readJsonValue(&element));
    QCOMPARE(edit.contentsMargins(), expected);
}

void tst_LineEdit::styleSlots_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("fills");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("placeholder");

    const QString none;
    QTest::newRow("fill slot 0 fans out")
        << QByteArray(R"({"style": [["LeNormal", 1, 0]]})") << QStringList{"LeNormal", "LeNormal", "LeNormal", "LeNormal"}
        << QStringList{"", "", "", ""} << none;
    QTest::newRow("fill slot then one state, unknown name skipped")
        << QByteArray(R"({"style": [["LeNormal", 1, 0], ["LePressed", 1, 2], ["Missing", 1, 2]]})")
        << QStringList{"LeNormal", "LeNormal", "LePressed", "LeNormal"} << QStringList{"", "", "", ""} << none;
    QTest::newRow("text slot 4 fills placeholder too")
        << QByteArray(R"({"style": [["TxNormal", 2, 4]]})") << QStringList{"", "", "", ""}
        << QStringList{"TxNormal", "TxNormal", "TxNormal", "TxNormal"} << "TxNormal";
    QTest::newRow("placeholder slot 9") << QByteArray(R"({"style": [["TxPlace", 2, 9]]})")
                                        << QStringList{"", "", "", ""} << QStringList{"", "", "", ""} << "TxPlace";
    QTest::newRow("slot 8, negative and high ignored")
        << QByteArray(R"({"style": [["TxPlace", 2, 8], ["LeNormal", 1, -1], ["TxPlace", 2, 10]]})")
        << QStringList{"", "", "", ""} << QStringList{"", "", "", ""} << none;
}

void tst_LineEdit::styleSlots()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, fills);
    QFETCH(QStringList, texts);
    QFETCH(QString, placeholder);

    VYRQLineEdit edit;
    Json::Value element = parse(json);
    QVERIFY(edit.readJsonValue(&element));
    QCOMPARE(names(edit.impl()->background), fills);
    QCOMPARE(names(edit.impl()->textStyle), texts);
    QCOMPARE(edit.getPlaceholderTextStyle(Normal).name, placeholder);
}

void tst_LineEdit::writeStyles()
{
    VYRQLineEdit edit;
    Json::Value out = write(edit);
    QVERIFY(out.isMember("style"));
    QVERIFY(out["style"].isNull());
    QVERIFY(!out.isMember("attr"));

    edit.setBackground(Normal, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Hot, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Pressed, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Disable, solid(QStringLiteral("LeNormal"), red));
    QCOMPARE(entries(write(edit)["style"]), QStringList{"LeNormal:1:0"});

    // Equal in look, different names: backgrounds merge (compared in content)...
    edit.setBackground(Hot, solid(QStringLiteral("LeRed2"), red));
    QCOMPARE(entries(write(edit)["style"]).first(), QStringLiteral("LeNormal:1:0"));
    // ...text styles do not (compared by name).
    edit.setBackground(Hot, solid(QStringLiteral("LeNormal"), red));
    edit.setTextStyle(Normal, text(QStringLiteral("TxNormal"), Qt::black));
    edit.setTextStyle(Hot, text(QStringLiteral("TxHot"), Qt::black));
    edit.setPlaceholderTextStyle(Normal, text(QStringLiteral("TxPlace"), Qt::black));
    QCOMPARE(entries(write(edit)["style"]),
             (QStringList{"LeNormal:1:0", "TxNormal:2:4", "TxHot:2:5", "TxPlace:2:9"}));

    edit.setBackground(Pressed, solid(QStringLiteral("LePressed"), blue));
    QCOMPARE(entries(write(edit)["style"]).mid(0, 4),
             (QStringList{"LeNormal:1:0", "LeNormal:1:1", "LePressed:1:2", "LeNormal:1:3"}));
}

void tst_LineEdit::jsonRoundTrip()
{
    VYRQLineEdit edit;
    edit.setText(QStringLiteral("héllo"));
    edit.setIsPassword(true);
    edit.setHotkeyMode(true);
    edit.setPlaceholderText(QStringLiteral("type here"));
    edit.setEditMargin(1, 0, 3, 0);
    edit.setBackground(Normal, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Hot, solid(QStringLiteral("LeNormal"), red));
    edit.setBackground(Pressed, solid(QStringLiteral("LePressed"), blue));
    edit.setBackground(Disable, solid(QStringLiteral("LeNormal"), red));
    edit.setTextStyle(AllStates, text(QStringLiteral("TxHot"), Qt::black)); // ignored: no all-states value
    edit.setTextStyle(Normal, text(QStringLiteral("TxNormal"), Qt::black));
    edit.setPlaceholderTextStyle(Normal, text(QStringLiteral("TxPlace"), Qt::black));

    Json::Value out = write(edit);
    const Json::Value& attr = out["attr"];
    QCOMPARE(str(attr["text"]), QStringLiteral("héllo"));
    QCOMPARE(attr["ispassord"].asInt(), 1);
    QCOMPARE(attr["shortcut"].asInt(), 1);
    QCOMPARE(str(attr["tip"]), QStringLiteral("type here"));
    QVERIFY(!attr.isMember("bottomMargin") && !attr.isMember("rightMargin"));
    QCOMPARE(str(out["theme"]), QStringLiteral("qtdedit"));
    QCOMPARE(str(out["type"]), QStringLiteral("qtdedit"));

    VYRQLineEdit copy;
    QVERIFY(copy.readJsonValue(&out));
    QCOMPARE(copy.text(), edit.text());
    QVERIFY(copy.getIsPassword());
    QVERIFY(copy.getHotkeyMode());
    QCOMPARE(copy.getPlaceholderText(), edit.getPlaceholderText());
    QCOMPARE(copy.contentsMargins(), edit.contentsMargins());
    QCOMPARE(names(copy.impl()->background), names(edit.impl()->background));
    QCOMPARE(copy.getTextStyle(Normal).name, QStringLiteral("TxNormal"));
    QCOMPARE(copy.getPlaceholderTextStyle(Normal).name, QStringLiteral("TxPlace"));
    // Written again, the copy gives the same element.
    QCOMPARE(write(copy), out);
}

void tst_LineEdit::registry()
{
    for (const char* key : {"qtdedit", "dedit"}) {
        QScopedPointer<QWidget> w(createControlByType(key, nullptr));
        QVERIFY2(qobject_cast<VYRQLineEdit*>(w.data()), key);
    }
    ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtdedit"));
    QVERIFY(info);
    QStringList rows;
    for (const PropertyDef& row : info->rows)
        rows << row.name;
    QCOMPARE(rows.mid(7), (QStringList{"Background", "TextStyle", "PlaceholderStyle", "Text", "IsPassword",
                                       "PlaceholderText", "IsShortcut", "Margin"}));
}

// Runs last: the loaded theme set stays for the rest of the process.
void tst_LineEdit::themeDefaultsInConstructor()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/edit-theme"));
    VYRQLineEdit edit;
    QCOMPARE(edit.getBackground(Hot).name, QStringLiteral("EditThemeFill"));
    QCOMPARE(edit.getPlaceholderText(), QStringLiteral("themed tip"));
    QVERIFY(edit.hasFrame() == false);
    QCOMPARE(edit.styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

QTEST_MAIN(tst_LineEdit)
#include "tst_lineedit.moc"
