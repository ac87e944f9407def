#include "controls_testutil.h"

#include "VYRQLabel.h"
#include "VYRQLineEditImpl_p.h"
#include "VYRQScrollBar.h"
#include "VYRQTextEdit.h"

using namespace ctl;
using namespace sty;

namespace {
const QColor red(255, 0, 0), blue(0, 0, 255), grey(128, 128, 128);

QString sizeSheet(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%1; } "
                          "QScrollBar::add-line:vertical{ width:%1px;width:%1px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%1px;width:%1px;subcontrol-origin: margin; }")
        .arg(size);
}

// The names of a bar's background, then up button, down button and thumb by state.
QStringList barNames(const VYRQScrollBar* bar)
{
    QStringList out{bar->getScrollbarBackground(CommonNormal).name};
    for (auto get : {&VYRQScrollBar::getScrollbarUpButton, &VYRQScrollBar::getScrollbarDownButton,
                     &VYRQScrollBar::getScrollbarThumb})
        for (int s = 0; s < CtrlStateCount; ++s)
            out << (bar->*get)(CtrlState(s)).name;
    return out;
}

QMargins margins(const VYRQTextEdit& edit)
{
    int top = 0, bottom = 0, left = 0, right = 0;
    edit.getEditMargin(top, bottom, left, right);
    return QMargins(left, top, right, bottom);
}
} // namespace

class tst_TextEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        addFills({{"S", QColor(1, 2, 3)}, {"A", QColor(1, 2, 3)}, {"B", QColor(1, 2, 3)}, {"C", QColor(1, 2, 3)},
                  {"TeNormal", red}, {"TePressed", blue}});
        addTexts({"TxNormal", "TxPlace"});
    }

    // Scroll-bar members under "child" style the bar "hor" names, the vertical one by
    // default: slot 0 background, 2..5 up, 6..9 down, 10..13 thumb, each first slot
    // for all four states. The last size becomes one style sheet for both bars.
    void scrollBarSlots()
    {
        VYRQTextEdit edit;
        QVERIFY(load(edit, R"({"child": [
            {"type": "qtscrollbar", "w": 7, "style": [["A", 1, 0], ["B", 1, 3], ["C", 1, 6], ["A", 1, 9],
                ["B", 1, 10], ["C", 1, 12], ["A", 1, 1], ["A", 1, 14], ["A", 1, -1]]},
            {"type": "qtscrollbar", "attr": {"hor": 1}, "h": 8, "style": [["C", 1, 2]]}]})"));
        QCOMPARE(barNames(edit.scrollBar(false)),
                 (QStringList{"A", "", "B", "", "", "C", "C", "C", "A", "B", "B", "C", "B"}));
        QCOMPARE(barNames(edit.scrollBar(true)), (QStringList{"", "C", "C", "C", "C", "", "", "", "", "", "", "", ""}));
        QCOMPARE(edit.scrollBar(false)->styleSheet(), sizeSheet(8));
        QCOMPARE(edit.scrollBar(true)->styleSheet(), sizeSheet(8));
        QCOMPARE(edit.verticalScrollBar(), edit.scrollBar(false));
    }

    // A bar's thickness comes from "w" (vertical) or "h" (horizontal); an element
    // without it keeps the thickness the bars have.
    void scrollBarWithoutSizeKeepsThickness()
    {
        VYRQTextEdit edit;
        QVERIFY(load(edit, R"({"child": [{"type": "qtscrollbar", "w": 7}]})"));
        QVERIFY(load(edit, R"({"child": [{"type": "qtscrollbar", "h": 5, "style": [["A", 1, 0]]},
            {"type": "qtscrollbar", "attr": {"hor": 1}, "w": 5}]})"));
        QCOMPARE(edit.scrollBar(false)->styleSheet(), sizeSheet(7));
        QCOMPARE(edit.scrollBar(true)->styleSheet(), sizeSheet(7));
        QCOMPARE(barNames(edit.scrollBar(false)).first(), QStringLiteral("A"));
    }

    void scrollBarTypes_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("applied");
        QTest::newRow("alias") << QByteArray(R"("type": "scrollbar",)") << true;
        QTest::newRow("inside a longer name") << QByteArray(R"("type": "myscrollbarwidget",)") << true;
        QTest::newRow("case differs") << QByteArray(R"("type": "QtScrollBar",)") << false;
        QTest::newRow("not a string") << QByteArray(R"("type": 5,)") << false;
        QTest::newRow("no type") << QByteArray() << false;
    }

    void scrollBarTypes()
    {
        QFETCH(QByteArray, type);
        QFETCH(bool, applied);
        VYRQTextEdit edit;
        const QByteArray member = type + R"( "attr": {"thumbicon": "t.svg", "upicon": "u.svg"}, "w": 7)";
        QVERIFY(load(edit, "{\"child\": [{" + member + "}]}"));
        const VYRQScrollBar* bar = edit.scrollBar(false);
        QCOMPARE(bar->getScrollbarThumbIcon(), applied ? QStringLiteral("t.svg") : QString());
        QCOMPARE(bar->getScrollbarBtnIcon(true), applied ? QStringLiteral("u.svg") : QString());
        QCOMPARE(bar->styleSheet(), applied ? sizeSheet(7) : QString());
    }

    // The page loader leaves scroll-bar children to the text edit (no stray bars, none
    // written back) and still builds other children, and scroll bars elsewhere.
    void loaderLeavesScrollBarChildrenToTextEdit()
    {
        QWidget page;
        const Json::Value element = parse(R"({"type": "qttext", "name": "te", "child": [
            {"type": "qtscrollbar", "name": "sbH", "attr": {"hor": 1}, "h": 9, "style": [["S", 1, 10]]},
            {"type": "scrollbar", "name": "sbV", "w": 9},
            {"type": "qtlabel", "name": "lbl", "child": [{"type": "qtscrollbar", "name": "sb"}]}]})");
        auto* edit = qobject_cast<VYRQTextEdit*>(createElementFromJson(element, &page));
        QVERIFY(edit);
        const QList<VYRQScrollBar*> bars = edit->findChildren<VYRQScrollBar*>();
        QCOMPARE(bars.size(), 3);
        QVERIFY(bars.contains(edit->scrollBar(true)) && bars.contains(edit->scrollBar(false)));
        QVERIFY(!page.findChild<QWidget*>(QStringLiteral("sbH")) && !page.findChild<QWidget*>(QStringLiteral("sbV")));
        QVERIFY(edit->findChild<VYRQLabel*>(QStringLiteral("lbl"))->findChild<VYRQScrollBar*>(QStringLiteral("sb")));
        QCOMPARE(edit->scrollBar(true)->getScrollbarThumb(Hot).name, QStringLiteral("S"));
        const Json::Value out = write(*edit);
        QCOMPARE(out["child"].size(), 1u);
        QCOMPARE(str(out["child"][0]["type"]), QStringLiteral("qtlabel"));
    }

    // Slot 8 is the placeholder's, not 9; slot 4 dresses the placeholder too.
    void placeholderSlot()
    {
        VYRQTextEdit edit;
        QVERIFY(load(edit, R"({"style": [["TxPlace", 2, 9]]})"));
        QVERIFY(edit.getPlaceholderTextStyle().name.isEmpty());
        QVERIFY(load(edit, R"({"style": [["TxPlace", 2, 8]]})"));
        QCOMPARE(entries(write(edit)["style"]), QStringList{"TxPlace:2:8"});
        QVERIFY(load(edit, R"({"style": [["TxNormal", 2, 4]]})"));
        QCOMPARE(edit.getTextStyle(Disable).name, QStringLiteral("TxNormal"));
        QCOMPARE(edit.getPlaceholderTextStyle().name, QStringLiteral("TxNormal"));
    }

    // The margins inset the viewport and survive the scroll area's own layout; a
    // present "attr" resets those it leaves out.
    void marginsInsetTheViewport()
    {
        VYRQTextEdit edit;
        edit.resize(150, 80);
        edit.setEditMargin(4, 6, 3, 5);
        QVERIFY(shown(edit));
        edit.resize(160, 90);
        QCOMPARE(margins(edit), QMargins(3, 4, 5, 6));
        QTRY_COMPARE(edit.viewport()->geometry(), QRect(3, 4, 160 - 3 - 5, 90 - 4 - 6));
        QCOMPARE(write(edit)["attr"]["bottomMargin"].asInt(), 6);
        auto* impl = static_cast<VYRQLineEditImpl*>(edit.getControlImpl());
        QCOMPARE(impl->placeholderRect(QRect(0, 0, 100, 50)), QRect(3, 4, 100 - 3 - 5, 50 - 4 - 6));
        QVERIFY(load(edit, R"({"attr": {"topMargin": 5}})"));
        QCOMPARE(margins(edit), QMargins(0, 5, 0, 0));
        QVERIFY(load(edit, R"({"style": []})"));
        QCOMPARE(margins(edit), QMargins(0, 5, 0, 0));
    }

    void writesPlainText()
    {
        VYRQTextEdit edit;
        QVERIFY(load(edit, R"({"attr": {"text": "<b>bold</b> and <i>plain</i>"}})"));
        QCOMPARE(str(write(edit)["attr"]["text"]), QStringLiteral("bold and plain"));
        edit.clear();
        QVERIFY(!write(edit).isMember("attr"));
    }

    // The look follows the focus, never the pointer or presses; disabled keeps the
    // Normal look.
    void focusAndHoverStates()
    {
        VYRQTextEdit edit;
        edit.setBackground(Normal, solid("TeNormal", red));
        edit.setBackground(Hot, solid("TeHot", QColor(0, 255, 0)));
        edit.setBackground(Pressed, solid("TePressed", blue));
        edit.setBackground(Disable, solid("TeDisable", grey));
        edit.setTextStyle(Pressed, text("TxPressed", QColor(70, 80, 90)));
        edit.resize(150, 80); // not shown: a shown window would give it the focus at once
        auto look = [&] { return pixel(renderAll(edit), 140, 70); };
        hover(edit, true);
        QVERIFY(near(look(), red));
        focus(edit, true);
        QVERIFY(near(look(), blue));
        QCOMPARE(edit.palette().color(QPalette::Text), QColor(70, 80, 90));
        hover(edit, false);
        mouse(*edit.viewport(), QEvent::MouseButtonPress, QPoint(10, 10));
        mouse(*edit.viewport(), QEvent::MouseButtonRelease, QPoint(10, 10));
        QVERIFY(near(look(), blue));
        focus(edit, false);
        QVERIFY(near(look(), red));
        edit.setEnabled(false);
        hover(edit, true);
        QVERIFY(near(look(), red));
    }

    void jsonRoundTrip()
    {
        VYRQTextEdit edit;
        edit.setPlainText(QStringLiteral("line one\nline two"));
        edit.setPlaceholderText(QStringLiteral("notes"));
        edit.setEditMargin(0, 4, 0, 2);
        edit.setPlaceholderTextStyle(text("TxPlace", Qt::black));
        Json::Value out = write(edit);
        VYRQTextEdit copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.toPlainText(), edit.toPlainText());
        QCOMPARE(margins(copy), margins(edit));
        QCOMPARE(write(copy), out);
    }

    // Unlike other controls, a text edit takes its theme defaults only on a refresh,
    // the theme element's scroll-bar members included.
    void themeOnlyOnRefresh()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/edit-theme"));
        VYRQTextEdit edit;
        QVERIFY(edit.getBackground(Normal).name.isEmpty());
        edit.getControlBase()->refreshTheme();
        QCOMPARE(edit.getBackground(Hot).name, QStringLiteral("EditThemeFill"));
        QCOMPARE(edit.getPlaceholderText(), QStringLiteral("themed tip"));
        QCOMPARE(edit.scrollBar(false)->getScrollbarThumb(Pressed).name, QStringLiteral("EditThemeFill"));
        QCOMPARE(edit.scrollBar(false)->styleSheet(), sizeSheet(6));
        dropTheme();
    }
};

VYR_TEST_SUITE(tst_TextEdit, 2)
#include "tst_textedit.moc"
