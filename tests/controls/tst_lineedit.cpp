#include "controls_testutil.h"
#include "testaccess.h"

#include "VYRQLineEdit.h"
#include "VYRQLineEditImpl_p.h"

#include <QClipboard>
#include <QMimeData>

using namespace ctl;
using namespace sty;

namespace {
const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), grey(128, 128, 128);
} // namespace

class tst_LineEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        addFills({{"LeNormal", red}, {"LePressed", blue}, {"LeRed2", red}});
        addTexts({"TxNormal", "TxHot", "TxPlace"});
    }

    void shortcutText_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("expected");
        const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier, shift = Qt::ShiftModifier;
        QTest::newRow("all three in fixed order") << int(Qt::Key_Z) << (shift | alt | ctrl) << "CTRL+ALT+SHIFT+Z";
        QTest::newRow("letter alone") << int(Qt::Key_A) << 0 << "A";
        QTest::newRow("meta not shown") << int(Qt::Key_M) << int(Qt::MetaModifier | ctrl) << "CTRL+M";
        QTest::newRow("F keys ignore modifiers") << int(Qt::Key_F5) << shift << "F5";
        QTest::newRow("backspace clears") << int(Qt::Key_Backspace) << 0 << "";
        QTest::newRow("delete clears") << int(Qt::Key_Delete) << ctrl << "";
        // Keys that are not captured leave the text as it was.
        QTest::newRow("digit") << int(Qt::Key_5) << 0 << "old";
        QTest::newRow("modifier alone") << int(Qt::Key_Control) << ctrl << "old";
    }

    void shortcutText()
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

    void passwordRefusesClipboardKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("hotkey");
        QTest::newRow("copy") << int(Qt::Key_C) << int(Qt::ControlModifier) << false;
        QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier) << false;
        QTest::newRow("select all") << int(Qt::Key_A) << int(Qt::ControlModifier) << false;
        QTest::newRow("paste shift+insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << false;
        // The password rule runs before the shortcut rule would name the keys.
        QTest::newRow("paste in shortcut mode") << int(Qt::Key_V) << int(Qt::ControlModifier) << true;
    }

    void passwordRefusesClipboardKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, hotkey);
        QClipboard* clipboard = QApplication::clipboard();
        VYRQLineEdit plain, edit;
        for (VYRQLineEdit* e : {&plain, &edit}) {
            e->setText(QStringLiteral("abc"));
            e->setHotkeyMode(hotkey);
            e->setSelection(0, 1);
        }
        // The key does its usual work outside password mode (copy shows in the clipboard).
        clipboard->setText(QStringLiteral("PASTE"));
        QTest::keyClick(&plain, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(plain.text() != QLatin1String("abc") || plain.selectedText() != QLatin1String("a")
                || clipboard->text() != QLatin1String("PASTE"));
        clipboard->setText(QStringLiteral("PASTE"));
        edit.setIsPassword(true);
        QCOMPARE(edit.contextMenuPolicy(), Qt::NoContextMenu);
        QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        QCOMPARE(edit.selectedText(), QStringLiteral("a"));
        QCOMPARE(clipboard->text(), QStringLiteral("PASTE"));
    }

    // Typing still works and drops are refused; a page element cannot switch password
    // mode off again.
    void passwordRefusesDrops()
    {
        auto drop = [](VYRQLineEdit& edit) {
            QMimeData data;
            data.setText(QStringLiteral("DROPPED"));
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&edit, &enter);
            QDropEvent dropped(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&edit, &dropped);
            return enter.isAccepted();
        };
        VYRQLineEdit plain, password;
        plain.resize(120, 24);
        QVERIFY(drop(plain));
        QVERIFY(plain.text().contains(QLatin1String("DROPPED")));
        password.resize(120, 24);
        QVERIFY(load(password, R"({"attr": {"ispassord": 1}})"));
        QTest::keyClicks(&password, QStringLiteral("abcd"));
        QTest::keyClick(&password, Qt::Key_Backspace);
        QCOMPARE(password.text(), QStringLiteral("abc"));
        QVERIFY(!drop(password));
        QCOMPARE(password.text(), QStringLiteral("abc"));
        QVERIFY(load(password, R"({"attr": {"ispassord": 0}})"));
        QVERIFY(password.getIsPassword());
        password.setIsPassword(false);
        QCOMPARE(password.echoMode(), QLineEdit::Normal);
        QCOMPARE(password.contextMenuPolicy(), Qt::DefaultContextMenu);
    }

    // The look follows the focus: hovering an unfocused field stays Normal, the pointer
    // does not override the focus look, presses are the line edit's own; disabled
    // shows the Disable look.
    void focusHoverAndDisabledLooks()
    {
        VYRQLineEdit edit;
        edit.setBackground(Normal, solid("LeNormal", red));
        edit.setBackground(Hot, solid("LeHot", green));
        edit.setBackground(Pressed, solid("LePressed", blue));
        edit.setBackground(Disable, solid("LeDisable", grey));
        // Not shown: a shown window would give the field the focus at once.
        edit.resize(120, 24);
        VYRQLineEditImpl* impl = vyrtest::impl(edit);
        auto look = [&] { return pixel(render(edit), 117, 3); };
        hover(edit, true);
        QVERIFY(near(look(), red));
        QCOMPARE(impl->ctrlState(), Normal);
        QVERIFY(!impl->isHovered());
        focus(edit, true);
        QVERIFY(near(look(), blue));
        hover(edit, false);
        mouse(edit, QEvent::MouseButtonPress, QPoint(5, 5));
        mouse(edit, QEvent::MouseButtonRelease, QPoint(5, 5));
        QCOMPARE(impl->ctrlState(), Pressed);
        QVERIFY(near(look(), blue));
        focus(edit, false);
        QVERIFY(near(look(), red));
        edit.setEnabled(false);
        QVERIFY(near(look(), grey));
        QCOMPARE(impl->ctrlState(), Disable);
    }

    // Setting the Normal text style applies it at once; the focus look brings its own.
    void textStyleFollowsState()
    {
        VYRQLineEdit edit;
        edit.setTextStyle(Pressed, text("TxPressed", QColor(70, 80, 90)));
        TextStyleDesc normal = text("TxNormal", QColor(10, 20, 30));
        normal.size = 17;
        edit.setTextStyle(Normal, normal);
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

    // The edit margins come in the order top, bottom, left, right; a present "attr"
    // resets the ones it leaves out.
    void margins()
    {
        VYRQLineEdit edit;
        edit.setEditMargin(1, 2, 3, 4);
        QCOMPARE(edit.contentsMargins(), QMargins(3, 1, 4, 2));
        QCOMPARE(vyrtest::impl(edit)->placeholderRect(QRect(0, 0, 100, 30)), QRect(3, 1, 100 - 3 - 4, 30 - 1 - 2));
        QCOMPARE(write(edit)["attr"],
                 parse(R"({"leftMargin": 3, "topMargin": 1, "rightMargin": 4, "bottomMargin": 2})"));
        QVERIFY(load(edit, R"({"style": []})"));
        QCOMPARE(edit.contentsMargins(), QMargins(3, 1, 4, 2));
        QVERIFY(load(edit, R"({"attr": {"leftMargin": 6}})"));
        QCOMPARE(edit.contentsMargins(), QMargins(6, 0, 0, 0));
    }

    // Fill slots 0..3 (0 fans out), text slots 4..7 (4 dresses the placeholder too),
    // placeholder 9; setters ignore states beyond the four, AllStates included.
    void styleSlotsAndStates()
    {
        VYRQLineEdit edit;
        QVERIFY(load(edit, R"({"style": [["LeNormal", 1, 0], ["LePressed", 1, 2], ["Missing", 1, 2],
            ["TxNormal", 2, 4], ["TxPlace", 2, 9], ["TxHot", 2, 8], ["LePressed", 1, -1], ["TxHot", 2, 10]]})"));
        for (int state : {-1, 4, 7}) {
            edit.setBackground(CtrlState(state), solid("LeHot", green));
            edit.setTextStyle(CtrlState(state), text("TxHot", Qt::black));
        }
        QCOMPARE(names(vyrtest::impl(edit)->background), (QStringList{"LeNormal", "LeNormal", "LePressed", "LeNormal"}));
        QCOMPARE(names(vyrtest::impl(edit)->textStyle), (QStringList{"TxNormal", "TxNormal", "TxNormal", "TxNormal"}));
        QCOMPARE(edit.getPlaceholderTextStyle(Normal).name, QStringLiteral("TxPlace"));
        QCOMPARE(edit.getBackground(CtrlState(7)).name, QStringLiteral("LeNormal"));
    }

    // Backgrounds merge when they look alike (compared in content), text styles only
    // when named alike.
    void writerCompaction()
    {
        VYRQLineEdit edit;
        QVERIFY(write(edit)["style"].isNull());
        for (int s = 0; s < CtrlStateCount; ++s)
            edit.setBackground(CtrlState(s), solid("LeNormal", red));
        edit.setBackground(Hot, solid("LeRed2", red));
        edit.setTextStyle(Normal, text("TxNormal", Qt::black));
        edit.setTextStyle(Hot, text("TxHot", Qt::black));
        edit.setPlaceholderTextStyle(Normal, text("TxPlace", Qt::black));
        QCOMPARE(entries(write(edit)["style"]),
                 (QStringList{"LeNormal:1:0", "TxNormal:2:4", "TxHot:2:5", "TxPlace:2:9"}));
    }

    void jsonRoundTrip()
    {
        VYRQLineEdit edit;
        edit.setText(QStringLiteral("héllo"));
        edit.setIsPassword(true);
        edit.setHotkeyMode(true);
        edit.setPlaceholderText(QStringLiteral("type here"));
        edit.setEditMargin(1, 0, 3, 0);
        for (int s = 0; s < CtrlStateCount; ++s)
            edit.setBackground(CtrlState(s), solid("LeNormal", red));
        edit.setBackground(Pressed, solid("LePressed", blue));
        edit.setTextStyle(Normal, text("TxNormal", Qt::black));
        edit.setPlaceholderTextStyle(Normal, text("TxPlace", Qt::black));
        Json::Value out = write(edit);
        QCOMPARE(out["attr"], parse(R"({"text": "héllo", "ispassord": 1, "shortcut": 1, "tip": "type here",
                                        "leftMargin": 3, "topMargin": 1})"));
        QCOMPARE(entries(out["style"]), (QStringList{"LeNormal:1:0", "LeNormal:1:1", "LePressed:1:2", "LeNormal:1:3",
                                                     "TxNormal:2:4", "TxPlace:2:9"}));
        VYRQLineEdit copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.text(), edit.text());
        QVERIFY(copy.getIsPassword() && copy.getHotkeyMode());
        QCOMPARE(copy.contentsMargins(), edit.contentsMargins());
        QCOMPARE(write(copy), out);
    }

    // Theme defaults apply in the constructor, over a frameless transparent field.
    void themeDefaultsInConstructor()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/edit-theme"));
        VYRQLineEdit edit;
        QCOMPARE(edit.getBackground(Hot).name, QStringLiteral("EditThemeFill"));
        QCOMPARE(edit.getPlaceholderText(), QStringLiteral("themed tip"));
        QVERIFY(!edit.hasFrame());
        QCOMPARE(edit.styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
        dropTheme();
    }
};

VYR_TEST_SUITE(tst_LineEdit, 1)
#include "tst_lineedit.moc"
