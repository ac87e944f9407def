#include "controls_testutil.h"
#include "cputimer.h"
#include "eventcounter.h"
#include "peakmemory.h"
#include "testaccess.h"
#include "textcostsearch.h"
#include "warningcapture.h"

#include "VYRQContainer.h"
#include "VYRQLabel.h"
#include "VYRQLabelEx.h"
#include "VYRQLabelExImpl.h"
#include "VYRQTableView.h"
#include "VYRQTextDocument.h"
#include "VYRQTextEdit.h"
#include "VYRQToolTip.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace ctl;

namespace {
const QString longText = QStringLiteral("The quick brown fox jumps over the lazy dog again");
const QString manyWords = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi "
                                         "omicron pi rho sigma tau upsilon phi chi psi omega alpha beta gamma delta");

// Highlight-coloured pixels inside an area of the image.
int highlighted(const QImage& image, const QRect& area = QRect(0, 0, 1000, 1000))
{
    int count = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == 0x9BCAEF;
    return count;
}

QTextLine lineOf(VYRQLabelEx& label, int line)
{
    QTextDocument* doc = vyrtest::impl(label)->document();
    doc->setPageSize(label.size());
    doc->documentLayout()->blockBoundingRect(doc->firstBlock());
    return doc->firstBlock().layout()->lineAt(line);
}

// Where the highlight of a whole line of the first block goes, and what lies below it.
// With some fonts a line is taller than the spacing to the next one (a negative
// leading): the band stops where the next line starts, which paints over the rest.
QRect band(VYRQLabelEx& label, int line)
{
    const QTextLine l = lineOf(label, line);
    const QTextLine next = lineOf(label, line + 1);
    const qreal height = next.isValid() ? std::min(l.height(), next.y() - l.y()) : l.height();
    return QRect(5, int(l.y() + 5), int(l.horizontalAdvance()), int(height));
}

QRect below(const QRect& r)
{
    return QRect(0, r.bottom() + 1, 1000, 1000);
}

QByteArray redPng()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

int redPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == qRgb(255, 0, 0);
    return count;
}

// 35 bytes: a GIF of a 4096 x 4096 screen, as large as an image may be (64 MiB
// decoded); `variant` picks its colours, so that each variant is an image of its own.
QByteArray screenGif(int variant)
{
    QByteArray gif = QByteArray::fromHex("47494638396100100010800000000000ffffff2c000000000100010000020244" "01003b");
    gif[13] = char(variant);
    return gif;
}

// Rich-text labels showing a screen each (`form` names it), five of them, then one
// deleted, one given other text, and a refused one shown again beside a new one: one
// of the first five is refused (`warning` given), none after, and the peak memory
// grows by less than `boundMb`. Every earlier row's documents have given up theirs.
bool heldInAll(const QString& form, const QString& warning, int boundMb)
{
    QWidget host;
    WarningCapture capture;
    const PeakMemory memory;
    std::vector<std::unique_ptr<VYRQLabelEx>> labels;
    const auto show = [&](VYRQLabelEx& label, int screen) {
        label.setHtmlContent(form.arg(QStringLiteral("data:image/gif;base64,") + screenGif(screen).toBase64()));
        label.resize(200, 60);
        render(label);
    };
    for (int i = 0; i < 5; ++i) {
        labels.push_back(std::make_unique<VYRQLabelEx>(&host));
        show(*labels.back(), i);
    }
    const int refused = capture.count(warning);
    labels.front().reset();
    labels[1]->setHtmlContent(QStringLiteral("<p>no image</p>"));
    show(*labels[4], 4);
    labels.push_back(std::make_unique<VYRQLabelEx>(&host));
    show(*labels.back(), 5);
    const qint64 growth = memory.growthMb();
    if (refused != 1 || capture.count(warning) != 1)
        qWarning() << "refused" << refused << "of five, then" << capture.count(warning) - refused;
    return refused == 1 && capture.count(warning) == 1 && growth < boundMb;
}

// A reference page's style sheet: 28 rules of the kinds real pages use, names,
// classes, ids, descendant, child and attribute selectors, and @media blocks.
QByteArray referenceSheet()
{
    return "body { font-family: sans-serif; color: #222 }\n"
           "h1 { font-size: 20px; color: #034 }\n"
           "h2 { font-size: 16px; margin-top: 12px; border-bottom: 1px solid #ccc }\n"
           "h3 { font-size: 14px }\n"
           "p { margin: 4px 0 }\n"
           "div > p { color: #333 }\n"
           "div.note > p { background-color: #ffe }\n"
           "p[align=\"center\"] { font-weight: bold }\n"
           "[align] { color: #060 }\n"
           "[class~=\"warn\"] { color: #a00 }\n"
           ".warn { font-style: italic }\n"
           "a { color: #06c; text-decoration: none }\n"
           "a[href] { text-decoration: underline }\n"
           "code { font-family: monospace; color: #800 }\n"
           "pre { background-color: #f4f4f4; margin-left: 8px }\n"
           "td { padding: 2px 6px; vertical-align: top }\n"
           "th { background-color: #ddd; text-align: left }\n"
           "tr.odd td { background-color: #f8f8f8 }\n"
           "ul li { margin-bottom: 2px }\n"
           "ol > li { color: #444 }\n"
           "dt { font-weight: bold }\n"
           "dd { margin-left: 20px }\n"
           "span.kw { color: #008 }\n"
           "span[class=\"str\"] { color: #080 }\n"
           "@media screen { .memitem { margin-bottom: 6px } h3 { color: #446 } }\n"
           "@media print { p { color: black } }\n"
           "#footer { font-size: 10px; color: #888 }\n"
           "table { margin: 4px }\n";
}

// The body of a reference page: `sections` sections of 26 elements each.
QString referenceBody(int sections)
{
    QString body = QStringLiteral("<h1>Reference</h1>");
    for (int i = 0; i < sections; ++i) {
        body += QStringLiteral(
                    "<div class=\"memitem\"><h2>Function %1</h2><div class=\"note\"><p>Returns the value "
                    "<a href=\"#f%1\">f%1</a> of <code>g(%1)</code>.</p></div><p align=\"center\">centred</p>"
                    "<p class=\"warn x\">warning</p><table border><tr class=\"odd\"><th>name</th><td nowrap>%1</td>"
                    "</tr></table><ul><li>one</li><li>two</li></ul><pre><span class=\"kw\">int</span> "
                    "<span class=\"str\">\"s\"</span></pre><dl><dt>term</dt><dd>meaning</dd></dl></div>")
                    .arg(i);
    }
    return body + QStringLiteral("<p id=\"footer\">end</p>");
}

// Rests the pointer on `widget` by moving it there through its window, as a user
// does, until the tooltip that brings is shown.
bool restPointerOn(QWidget& window, QWidget& widget, QPoint at = QPoint(-1, -1))
{
    window.setAttribute(Qt::WA_AlwaysShowToolTips);
    if (at == QPoint(-1, -1))
        at = widget.rect().center();
    // Qt takes no move to where the pointer already is.
    QTest::mouseMove(window.windowHandle(), QPoint(0, 0));
    QTest::mouseMove(window.windowHandle(), widget.mapTo(&window, at));
    return QTest::qWaitFor([] { return VYRQToolTip::isVisible(); }, 5000);
}

// How deep the document's tables nest.
int tableDepth(QTextFrame* frame)
{
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, tableDepth(child));
    return deepest + (qobject_cast<QTextTable*>(frame) ? 1 : 0);
}

// The largest length the document's blocks and tables were given: line heights (a
// proportional one in percent), margins, indents, cell spacing, padding and borders.
qreal largestLength(QTextDocument* document)
{
    qreal largest = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        largest = std::max({largest, format.lineHeight(), format.topMargin(), format.bottomMargin(),
                            format.leftMargin(), format.rightMargin(), std::abs(format.textIndent())});
        if (QTextTable* table = QTextCursor(block).currentTable()) {
            const QTextTableFormat tableFormat = table->format();
            largest = std::max({largest, tableFormat.cellSpacing(), tableFormat.cellPadding(), tableFormat.border()});
            const QTextTableCellFormat cell = table->cellAt(block.position()).format().toTableCellFormat();
            largest = std::max({largest, cell.topPadding(), cell.bottomPadding(), cell.leftPadding(), cell.rightPadding()});
        }
    }
    return largest;
}

bool same(const TextPosition& a, const TextPosition& b)
{
    return a.block == b.block && a.line == b.line && a.cursor == b.cursor;
}
// What any text a door accepts may cost (the sanitizers slow the work down ten times).
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VYR_TEST_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VYR_TEST_SANITIZED)
constexpr qint64 costBoundMs = 5000;
constexpr qint64 repaintBoundMs = 500;
#else
constexpr qint64 costBoundMs = 500;
constexpr qint64 repaintBoundMs = 50;
#endif

} // namespace

class tst_LabelEx : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        TextStyleDesc style = sty::text("ExText", Qt::black);
        style.size = 20;
        VYRQResourceManager::getInstance()->setTextStyle(style.name, style);
        sty::addText("ExOther");
    }

    // Slot 0 only is read and written; the document font follows the style only when
    // JSON is read; an empty text is left out.
    void json()
    {
        VYRQLabelEx label;
        QTextDocument* doc = vyrtest::impl(label)->document();
        QVERIFY(sty::load(label, R"({"style": [["ExText", 2, 0], ["ExOther", 2, 1]], "attr": {"text": "Rich"}})"));
        QCOMPARE(doc->toPlainText(), QStringLiteral("Rich"));
        QCOMPARE(doc->defaultFont().pixelSize(), 20);
        const Json::Value out = write(label);
        QCOMPARE(str(out["attr"]["text"]), QStringLiteral("Rich"));
        QCOMPARE(sty::entries(out["style"]), QStringList{"ExText:2:0"});
        TextStyleDesc style;
        style.size = 31;
        label.setTextStyle(Normal, style);
        QCOMPARE(doc->defaultFont().pixelSize(), 20);
        label.setText(QString());
        QVERIFY(!write(label)["attr"].isMember("text"));
    }

    // Without text interaction the mouse does nothing. A double-click selects all, of
    // which only the first block is highlighted; a press keeps the selection, a drag
    // moves its end, and over no line the end is none.
    void mouseSelection()
    {
        VYRQLabelEx label;
        VYRQLabelExImpl* d = vyrtest::impl(label);
        label.resize(300, 200);
        label.setHtmlContent(QStringLiteral("<p>first paragraph</p><p>second paragraph</p>"));
        label.setTextInteractionFlags(Qt::NoTextInteraction);
        mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
        QVERIFY(!d->hasSelection());
        QCOMPARE(highlighted(render(label)), 0);
        label.setTextInteractionFlags(Qt::TextSelectableByMouse);
        mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
        QVERIFY(same(d->selectionStart(), TextPosition{0, 0, 0}));
        const TextPosition end = d->selectionEnd();
        QVERIFY(end.block == 2 && end.line == 0);
        const QImage image = render(label);
        const QRect first = band(label, 0);
        QVERIFY(highlighted(image, first) > first.width() * first.height() / 2);
        QCOMPARE(highlighted(image, below(first)), 0);
        mouse(label, QEvent::MouseButtonPress, QPoint(40, 10));
        QVERIFY(same(d->selectionEnd(), end));
        const QPoint inside(30, int(lineOf(label, 0).rect().center().y()));
        const TextPosition target = d->positionAt(inside);
        QCOMPARE(target.block, 0);
        mouse(label, QEvent::MouseMove, inside);
        QVERIFY(same(d->selectionStart(), TextPosition{0, 0, 0}) && same(d->selectionEnd(), target));
        mouse(label, QEvent::MouseMove, QPoint(10, 195));
        QVERIFY(same(d->selectionEnd(), TextPosition()));
        QCOMPARE(highlighted(render(label)), 0);
    }

    // Positions given later first are stored swapped; lines between start and end are
    // highlighted whole, the start line from the start cursor on. A position in a later
    // block stands for the first block's end.
    void multiLineHighlight()
    {
        VYRQLabelEx label;
        label.resize(140, 400);
        label.setHtmlContent(QStringLiteral("<p>%1</p><p>tail</p>").arg(manyWords));
        QVERIFY(lineOf(label, 5).isValid());
        vyrtest::impl(label)->setSelection(TextPosition{0, 3, 4}, TextPosition{0, 0, 3});
        QVERIFY(same(vyrtest::impl(label)->selectionStart(), TextPosition{0, 0, 3}));
        const QImage image = render(label);
        for (const QRect& middle : {band(label, 1), band(label, 2)})
            QVERIFY(highlighted(image, middle) > middle.width() * middle.height() / 2);
        const QRect start = band(label, 0);
        const int x1 = 5 + int(lineOf(label, 0).cursorToX(3));
        QCOMPARE(highlighted(image, start.adjusted(-5, 0, x1 - start.right() - 1, 0)), 0);
        QVERIFY(highlighted(image, start.adjusted(x1 - 5, 0, 0, 0)) > 0);
        QCOMPARE(highlighted(image, below(band(label, 3))), 0);
        vyrtest::impl(label)->setSelection(TextPosition{0, 0, 0}, TextPosition{1, 0, 2});
        const QRect end = band(label, vyrtest::impl(label)->document()->firstBlock().layout()->lineCount() - 1);
        QVERIFY(highlighted(render(label), end) > end.width() * end.height() / 2);
    }

    // A position in a later block carries that block's line index, which the first
    // block's layout must never be asked for.
    void laterBlocks()
    {
        VYRQLabelEx label;
        VYRQLabelExImpl* d = vyrtest::impl(label);
        label.resize(140, 600);
        label.setHtmlContent(QStringLiteral("<p>head</p><p>%1</p>").arg(manyWords));
        const QRect first = band(label, 0);
        d->setSelection(TextPosition{0, 0, 0}, TextPosition{1, 6, 3});
        const QImage image = render(label);
        QVERIFY(highlighted(image, first) > 0);
        QCOMPARE(highlighted(image, below(first)), 0);
        d->setSelection(TextPosition{1, 2, 0}, TextPosition{1, 6, 3});
        QCOMPARE(highlighted(render(label)), 0);
        d->setSelection(TextPosition{0, 0, 0}, TextPosition{0, 40, 2}); // no such line: skipped
        QVERIFY(highlighted(render(label), first) > 0);
        // A drag down into the second paragraph, painted at every step.
        mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
        int reached = 0;
        for (int y = 0; y < 400; y += 7) {
            mouse(label, QEvent::MouseMove, QPoint(30, y));
            reached = std::max(reached, d->selectionEnd().block);
            render(label);
        }
        QCOMPARE(reached, 1);
        QCOMPARE(d->selectionStart().block, 0);
    }
};

class tst_Label : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addText("LblNormal", QColor(10, 20, 30));
        sty::addText("LblDisabled", QColor(200, 0, 0));
    }

    // Slot 0 only is read, and written; an empty text and an unnamed style are left out.
    void json()
    {
        VYRQLabel label;
        QVERIFY(sty::load(label, R"({"style": [["LblNormal", 2, 0], ["LblDisabled", 2, 1], ["Missing", 2, 0]],
                                     "attr": {"text": "Hello"}})"));
        QCOMPARE(label.getTextStyle(Normal).name, QStringLiteral("LblNormal"));
        QVERIFY(label.getTextStyle(Disable).name.isEmpty());
        QCOMPARE(label.text(), QStringLiteral("Hello"));
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(10, 20, 30));
        label.setTextStyle(Disable, sty::text("LblDisabled", Qt::red));
        QCOMPARE(sty::entries(write(label)["style"]), QStringList{"LblNormal:2:0"});
        VYRQLabel empty;
        empty.setText(QString());
        Json::Value out = write(empty);
        QVERIFY(!out.isMember("style"));
        QVERIFY(!out["attr"].isMember("text"));
        VYRQLabel fresh;
        QVERIFY(fresh.readJsonValue(&out));
        QCOMPARE(fresh.text(), QStringLiteral("label"));
        // A language key is shown as it is, before and after a language change.
        QVERIFY(sty::load(fresh, R"({"attr": {"text": "|->greeting"}})"));
        fresh.notifyChangeLanguage();
        QCOMPARE(fresh.text(), QStringLiteral("|->greeting"));
    }

    // Shortened to the width at each resize, at the start, end or middle; not at all
    // for mode 3 or a multi-line style.
    void elision_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("singleLine");
        QTest::addColumn<QString>("shown"); // a pattern of the shown text
        const QString whole = "^" + QRegularExpression::escape(longText) + "$";
        QTest::newRow("left") << 0 << true << QStringLiteral("^\u2026.");
        QTest::newRow("right") << 1 << true << QStringLiteral(".\u2026$");
        QTest::newRow("middle") << 2 << true << QStringLiteral(".\u2026.");
        QTest::newRow("none") << 3 << true << whole;
        QTest::newRow("multi-line") << 1 << false << whole;
    }

    void elision()
    {
        QFETCH(int, mode);
        QFETCH(bool, singleLine);
        QFETCH(QString, shown);
        VYRQLabel label;
        TextStyleDesc style;
        style.elideMode = mode;
        style.singleLine = singleLine;
        label.setTextStyle(Normal, style);
        label.setText(longText);
        label.show(); // a hidden widget gets its resize event only when shown
        label.resize(60, 20);
        QVERIFY2(label.text().contains(QRegularExpression(shown)), qPrintable(label.text()));
        QCOMPARE(str(write(label)["attr"]["text"]), longText); // the full text is kept
        label.resize(2000, 20);
        QCOMPARE(label.text(), longText);
    }

    // The style places the text; the disabled colour is stored only, a disabled label
    // keeps its colour.
    void lookFromStyle()
    {
        VYRQLabel label;
        TextStyleDesc style = sty::text("LblLook", QColor(1, 2, 3), 2);
        style.ver = 0;
        label.setTextStyle(AllStates, style);
        QCOMPARE(label.alignment(), Qt::AlignRight | Qt::AlignTop);
        label.setDisableColor(QColor(9, 9, 9));
        label.setEnabled(false);
        QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(1, 2, 3));
        label.setColor(QColor(4, 5, 6));
        QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(4, 5, 6));
    }

    // Laying a text out grows with its length: a control's text, from a page or a
    // setter, is held to maxTextLength with a warning, and a huge one costs little (the
    // memory bound leaves room for the sanitizer, whose quarantine keeps what is freed).
    // Rich-text labels are not shown: wrapping one long word is the document's own cost.
    void textLengthHeld_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("fromPage");
        QTest::addColumn<bool>("show");
        QTest::newRow("label, page") << QByteArray("qtlabel") << true << true;
        QTest::newRow("label, setter") << QByteArray("qtlabel") << false << true;
        QTest::newRow("push button, page") << QByteArray("qtbutton") << true << true;
        QTest::newRow("rich-text label, page") << QByteArray("qtlabelex") << true << false;
        QTest::newRow("rich-text label, setter") << QByteArray("qtlabelex") << false << false;
    }

    void textLengthHeld()
    {
        QFETCH(QByteArray, key);
        QFETCH(bool, fromPage);
        QFETCH(bool, show);
        const int most = VYRQWidgetBaseImpl::maxTextLength;
        const QByteArray text = "x" + QByteArray(16 * most, 'a');
        Json::Value element = parse(R"({"w": 300, "h": 30, "attr": {}})");
        if (fromPage)
            element["attr"]["text"] = text.constData();
        QWidget host;
        host.resize(320, 40);
        WarningCapture capture;
        const PeakMemory memory;
        const CpuTimer timer;
        QWidget* widget = createControlFromJson(key.constData(), element, &host);
        QVERIFY(widget);
        if (!fromPage) {
            const QString huge = QString::fromLatin1(text);
            if (auto* label = qobject_cast<VYRQLabel*>(widget))
                label->setText(huge);
            else
                static_cast<VYRQLabelEx*>(widget)->setText(huge);
        }
        if (show) {
            QVERIFY(shown(host));
            widget->resize(200, 30);
        }
        QString shownText;
        if (auto* rich = dynamic_cast<VYRQLabelEx*>(widget))
            shownText = vyrtest::impl(*rich)->document()->toPlainText();
        else
            shownText = widget->property("text").toString();
        QCOMPARE(str(write(*dynamic_cast<IVYRQWidgetBase*>(widget))["attr"]["text"]).size(), most);
        QVERIFY(shownText.size() <= most && shownText.startsWith('x'));
        QCOMPARE(capture.count(QStringLiteral("cut to")), 1);
        VERIFY_CPU_BELOW(timer, 5000);
        VERIFY_PEAK_GROWTH_BELOW(memory.growthMb(), 512);
    }

    void htmlNamesFiles_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("source");   // what the HTML names: "fifo", "device", "huge", "huge data",
                                               // "small", "screens" (five 4096 x 4096 GIFs as data URLs) or
                                               // "alpha" (a 2048 x 2048 PNG with alpha as a data URL)
        QTest::addColumn<QString>("form");     // the HTML, the source at %1 (a form for each of five screens)
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("warnings");
        QTest::addColumn<int>("boundMb");
        const QString image = QStringLiteral("<p>x<img src=\"%1\"></p>");
        QTest::newRow("rich-text label, FIFO") << QByteArray("qtlabelex") << "fifo" << image << "not a regular file" << 1 << 64;
        QTest::newRow("rich-text label, huge image") << QByteArray("qtlabelex") << "huge" << image << "larger than" << 1 << 64;
        QTest::newRow("rich-text label, huge data URL") << QByteArray("qtlabelex") << "huge data" << image << "larger than" << 1 << 64;
        QTest::newRow("rich-text label, small image") << QByteArray("qtlabelex") << "small" << image << QString() << 0 << 64;
        QTest::newRow("text edit, FIFO") << QByteArray("qttext") << "fifo" << image << "not a regular file" << 1 << 64;
        QTest::newRow("text edit, huge image") << QByteArray("qttext") << "huge" << image << "larger than" << 1 << 64;
        QTest::newRow("text edit, small image") << QByteArray("qttext") << "small" << image << QString() << 0 << 64;
        // The plain label draws the text as it is and reads nothing it names.
        QTest::newRow("label, huge image") << QByteArray("qtlabel") << "huge" << image << QString() << 0 << 64;
        // A tooltip, a control's or an item's, is shown through the same document,
        // whatever the HTML's spelling.
        QTest::newRow("tooltip, FIFO") << QByteArray("tooltip") << "fifo" << image << "not a regular file" << 1 << 64;
        QTest::newRow("tooltip, endless device") << QByteArray("tooltip") << "device" << image << "not a regular file"
                                                 << 1 << 64;
        QTest::newRow("tooltip, huge image") << QByteArray("tooltip") << "huge" << image << "larger than" << 1 << 64;
        QTest::newRow("tooltip, huge data URL") << QByteArray("tooltip") << "huge data" << image << "larger than" << 1 << 64;
        QTest::newRow("tooltip, small image") << QByteArray("tooltip") << "small" << image << QString() << 0 << 64;
        QTest::newRow("tooltip, entity in an attribute name")
            << QByteArray("tooltip") << "fifo" << QStringLiteral("<p>x<img sr&#99;=\"%1\"></p>") << "not a regular file"
            << 1 << 64;
        QTest::newRow("tooltip, entity in url(")
            << QByteArray("tooltip") << "fifo" << QStringLiteral("<p style=\"background-image: ur&#108;(%1)\">x</p>")
            << "not a regular file" << 1 << 64;
        QTest::newRow("tooltip, no-break space before =")
            << QByteArray("tooltip") << "fifo" << QStringLiteral("<p>x<img src\u00a0=\"%1\"></p>") << "not a regular file"
            << 1 << 64;
        // CSS escapes are dropped before Qt could read them: nothing is opened.
        QTest::newRow("tooltip, escaped @import")
            << QByteArray("tooltip") << "fifo" << QStringLiteral("<style>@\\69mport \"%1\";</style><p>x</p>")
            << "not a regular file" << 0 << 64;
        QTest::newRow("tooltip, escaped url(")
            << QByteArray("tooltip") << "fifo" << QStringLiteral("<p style=\"background-image: \\75rl(%1)\">x</p>")
            << "not a regular file" << 0 << 64;
        // Linked and imported style sheets read no more than 256 KiB a document
        // together ("sheet": 1 MiB; "sheets": 200 KiB), however their names differ.
        QTest::newRow("rich-text label, linked style sheet of 1 MiB")
            << QByteArray("qtlabelex") << "sheet" << QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\"><p>x</p>")
            << "too large" << 1 << 64;
        QTest::newRow("tooltip, imported style sheet of 1 MiB")
            << QByteArray("tooltip") << "sheet" << QStringLiteral("<style>@import url(%1);</style><p>x</p>")
            << "too large" << 1 << 64;
        QTest::newRow("text edit, style sheet of 200 KiB linked 20 times")
            << QByteArray("qttext") << "sheets"
            << [] {
                   QString links;
                   for (int i = 0; i < 20; ++i)
                       links += QStringLiteral("<LINK REL=StyleSheet TYPE=text/css HREF=\"%1?") + QString::number(i) + "\">";
                   return links + "<p>x</p>";
               }()
            << "too large" << 19 << 64;
        // A linked sheet costs its rules matched against the elements they may apply to
        // ("rules": a page's sheet of 28 rules; "heavy": 300 rules for every paragraph).
        const QString link = QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\">");
        QTest::newRow("rich-text label, a page of 5,000 elements linking a sheet of 28 rules")
            << QByteArray("qtlabelex") << "rules" << link + referenceBody(240) << "shown as plain text" << 0 << 256;
        QTest::newRow("tooltip, a page of 5,000 elements importing a sheet of 28 rules")
            << QByteArray("tooltip") << "rules" << "<style>@import url(%1);</style>" + referenceBody(240)
            << "shown as plain text" << 0 << 256;
        QTest::newRow("text edit, 6,000 paragraphs linking a sheet of 300 rules")
            << QByteArray("qttext") << "heavy" << link + QString("<p>x</p>").repeated(6000) << "refused: its rules" << 1
            << 256;
        QTest::newRow("rich-text label, 300 rules linked by 10 paragraphs")
            << QByteArray("qtlabelex") << "heavy" << link + QString("<p>x</p>").repeated(10) << "refused" << 0 << 256;
        // Qt keeps a sheet it read for a later text, which must count it again.
        QTest::newRow("text edit, the sheet of a short text linked by 6,000 paragraphs inserted")
            << QByteArray("insertHtml") << "heavy" << link + QString("<p>x</p>").repeated(6000) << "refused: its rules"
            << 1 << 256;
        QTest::newRow("table cell tooltip, FIFO") << QByteArray("qtdatagrid") << "fifo" << image << "not a regular file"
                                                  << 1 << 64;
        // Images within the image bound, past what one document may hold together:
        // two of five are kept (64 MiB each); past what all documents may hold: four
        // of five, and what a document gives up another may take. An image is held
        // once however many cells have it as their background (16 MiB here).
        const QString screen = QStringLiteral("<img src=\"%1\">");
        QTest::newRow("rich-text label, five screens") << QByteArray("qtlabelex") << "screens" << screen
                                                       << "in one document" << 3 << 200;
        QTest::newRow("text edit, five screens") << QByteArray("qttext") << "screens" << screen << "in one document"
                                                 << 3 << 200;
        QTest::newRow("tooltip, five screens") << QByteArray("tooltip") << "screens" << screen << "in one document"
                                               << 3 << 200;
        QTest::newRow("five rich-text labels, a screen each") << QByteArray("labels") << "screens" << screen
                                                              << "in all rich text" << 1 << 300;
        QTest::newRow("rich-text label, an image behind 20 cells")
            << QByteArray("qtlabelex") << "alpha"
            << QStringLiteral("<table><tr>%1</tr></table>").arg(QStringLiteral("<td background=\"%1\">x</td>").repeated(20))
            << QString() << 0 << 64;
    }
    // HTML from a page or a caller names images by path or data URL: they are read as
    // theme files are, refused with a warning before a FIFO blocks (should it, a
    // writer comes after a few seconds with a red image) or an image decodes beyond the
    // image bound or beyond what its document may hold; an image within the bounds is
    // drawn. A tooltip, shown by resting the pointer on the label through its window,
    // does the same, and the page's text is kept as it was given.
    void htmlNamesFiles()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, source);
        QFETCH(QString, form);
        QFETCH(QString, warning);
        QFETCH(int, warnings);
        QFETCH(int, boundMb);
        QTemporaryDir dir;
        const QString path = dir.filePath("picture");
        std::unique_ptr<specialfiles::FifoWriter> writer;
        const bool fifo = source == "fifo";
        QByteArray bytes = source == "huge" ? hugeGif() : redPng();
        if (source.startsWith("sheet"))
            bytes = "p { color: red }" + QByteArray(source == "sheet" ? 1 << 20 : 200 << 10, ' ');
        else if (source == "rules")
            bytes = referenceSheet();
        else if (source == "heavy")
            bytes = QByteArray("p { color: blue }\n").repeated(300);
        QVERIFY(placeFile(path, fifo || source == "device" ? source : "file", bytes, writer));
        QString html;
        if (key == "labels") {
            QVERIFY(heldInAll(form, warning, boundMb));
            return;
        }
        if (source == "screens") {
            for (int i = 0; i < 5; ++i)
                html += form.arg(QStringLiteral("data:image/gif;base64,") + screenGif(i).toBase64());
        } else if (source == "alpha") {
            QImage alpha(2048, 2048, QImage::Format_ARGB32);
            alpha.fill(Qt::transparent);
            QByteArray png;
            QBuffer buffer(&png);
            QVERIFY(buffer.open(QIODevice::WriteOnly) && alpha.save(&buffer, "PNG"));
            html = form.arg(QStringLiteral("data:image/png;base64,") + png.toBase64());
        } else {
            html = form.arg(source == "huge data" ? QStringLiteral("data:image/gif;base64,") + hugeGif().toBase64()
                                                  : path);
        }
        QWidget host;
        host.resize(220, 80);
        WarningCapture capture;
        const PeakMemory memory;
        Json::Value element = parse(R"({"w": 200, "h": 60, "attr": {}})");
        const bool tooltip = key == "tooltip";
        auto* view = key == "qtdatagrid" ? new VYRQTableView(&host) : nullptr;
        if (tooltip)
            element["tooltip"] = html.toStdString();
        else if (key == "insertHtml")
            element["attr"]["text"] = form.left(form.indexOf('>') + 1).arg(path).toStdString() + "<p>x</p>";
        else if (key != "qtlabelex")
            element["attr"]["text"] = html.toStdString();
        const QByteArray type = tooltip ? "qtlabel" : key == "insertHtml" ? "qttext" : key;
        QWidget* widget = view ? view : createControlFromJson(type.constData(), element, &host);
        QVERIFY(widget);
        if (auto* rich = dynamic_cast<VYRQLabelEx*>(widget))
            rich->setHtmlContent(html);
        if (key == "insertHtml") {
            QCOMPARE(capture.count(warning), 0);
            qobject_cast<VYRQTextEdit*>(widget)->insertHtml(html);
        }
        if (view) {
            auto* model = new QStandardItemModel(1, 1, view);
            model->setItem(0, 0, new QStandardItem(QStringLiteral("cell")));
            model->item(0, 0)->setToolTip(html);
            view->setModel(model);
        }
        widget->resize(200, 60);
        widget->sizeHint();
        QImage image;
        if (tooltip || view) {
            QVERIFY(shown(host));
            if (view)
                QVERIFY(restPointerOn(host, *view->viewport(), view->visualRect(view->model()->index(0, 0)).center()));
            else
                QVERIFY(restPointerOn(host, *widget));
            QCOMPARE(VYRQToolTip::text(), html);
            if (tooltip)
                QCOMPARE(widget->toolTip(), html);   // what the page gave, for a page written back
            image = render(*VYRQToolTip::tipWindow());
            VYRQToolTip::hideText();
        } else {
            image = render(*widget, Qt::white, QWidget::DrawChildren);
        }
        const qint64 growth = memory.growthMb();
        QCOMPARE(capture.count(warning.isEmpty() ? QStringLiteral("refused") : warning), warnings);
        QCOMPARE(redPixels(image) >= 16 * 16, source == "small");
        if (fifo)
            QCOMPARE(writer->readersFound(), 0);
        if (growth < 0)
            QSKIP("peak memory cannot be read here");
        QVERIFY2(growth < boundMb, qPrintable(QStringLiteral("%1 MB").arg(growth)));
    }

    // Qt's HTML reader slows with the square of the depth of open elements, its layout
    // doubles with each table a cell lies in, and it nests tables of its own making
    // (a cell outside a row gets a table; a table beside another one outside their
    // table's cells goes into the one before). Past the bounds a text is shown as
    // plain text with one warning, through every door rich text has; within them, as
    // Qt would show it, tables nested no deeper than the text nests them.
    void richTextNesting_data()
    {
        QTest::addColumn<QByteArray>("door");
        QTest::addColumn<QString>("html");
        QTest::addColumn<bool>("rich");      // shown as rich text
        QTest::addColumn<int>("tables");     // then nested that deep, at most
        const auto nested = [](const char* open, const char* close, int depth) {
            return QString::fromLatin1(open).repeated(depth) + QStringLiteral("x")
                + QString::fromLatin1(close).repeated(depth);
        };
        const QString twenty = nested("<table><tr><td>", "</td></tr></table>", 20);
        const QString sideBySide = QStringLiteral("<table><tr><td>x</td></tr>%1</table>")
                                       .arg(QStringLiteral("<table><tr><td>y</td></tr></table>").repeated(20));
        QTest::newRow("rich-text label, 20 nested tables") << QByteArray("qtlabelex") << twenty << false << 0;
        QTest::newRow("measured, 20 nested tables") << QByteArray("calcSize") << twenty << false << 0;
        QTest::newRow("text edit, 20 nested tables") << QByteArray("qttext") << twenty << false << 0;
        QTest::newRow("text edit, 10,000 nested list items")
            << QByteArray("qttext") << nested("<ul><li>", "</li></ul>", 10000) << false << 0;
        QTest::newRow("text edit, 20 tables side by side in a table") << QByteArray("qttext") << sideBySide << true << 2;
        QTest::newRow("text edit, 20 cells outside rows")
            << QByteArray("qttext") << QStringLiteral("<tr><tbody><td>").repeated(20) << true << 1;
        QTest::newRow("rich-text label, cells of a table outside rows")
            << QByteArray("qtlabelex") << QStringLiteral("<table border><td>a<td>b<tbody><td>c</table>") << true << 1;
        QTest::newRow("text edit, 20 nested tables pasted") << QByteArray("paste") << twenty << false << 0;
        QTest::newRow("text edit, 20 nested tables appended") << QByteArray("append") << twenty << false << 0;
        QTest::newRow("text edit, 20 nested tables inserted") << QByteArray("insertHtml") << twenty << false << 0;
        QTest::newRow("tooltip, 20 nested tables") << QByteArray("tooltip") << twenty << false << 0;
        // Every number is clamped: Qt's layout overflows on some and never ends.
        const QString line = QStringLiteral("<p style=\"%1\">word<br></p>");
        QTest::newRow("rich-text label, line height 100000000 %")
            << QByteArray("qtlabelex") << line.arg("line-height:100000000%") << true << 0;
        QTest::newRow("tooltip, line height upper case with a leading zero")
            << QByteArray("tooltip") << line.arg("LINE-HEIGHT : 0100000000%") << true << 0;
        QTest::newRow("text edit, line height in an exponent")
            << QByteArray("qttext") << line.arg("line-height:1E8%;line-height:1e+08PX") << true << 0;
        const QString cell = QStringLiteral("<table %1><tr><td %2>x</td></tr></table>");
        QTest::newRow("rich-text label, cell padding 100000000 px")
            << QByteArray("qtlabelex") << cell.arg("", "style=\"padding: 100000000px\"") << true << 1;
        QTest::newRow("tooltip, cell padding in pt, em and exponents")
            << QByteArray("tooltip") << cell.arg("", "style='PADDING-LEFT:1e8pt;padding-top:6250000EM'") << true << 1;
        QTest::newRow("rich-text label, cellpadding 100000000")
            << QByteArray("qtlabelex") << cell.arg("cellpadding=\"100000000\"", "") << true << 1;
        QTest::newRow("text edit, cellspacing with zeros")
            << QByteArray("qttext") << cell.arg("cellspacing=0100000000", "") << true << 1;
        QTest::newRow("tooltip, cellspacing 100000000")
            << QByteArray("tooltip") << cell.arg("CELLSPACING='100000000'", "") << true << 1;
        // A table counts as the grid Qt lays out: rows times columns, spans included.
        const QString spanned = QStringLiteral("<table><tr><td colspan=\"%1\">x</td></tr>%2</table>");
        QTest::newRow("rich-text label, colspan 10,000 and 100 rows")
            << QByteArray("qtlabelex") << spanned.arg("10000", QString("<tr>").repeated(100)) << false << 0;
        QTest::newRow("tooltip, colspan 10,000 and 100 rows")
            << QByteArray("tooltip") << spanned.arg("10000", QString("<tr>").repeated(100)) << false << 0;
        QTest::newRow("text edit, colspan with spaces and zeros, 100 rows")
            << QByteArray("qttext") << spanned.arg(" 010000 ", QString("<tr></tr>").repeated(100)) << false << 0;
        QTest::newRow("rich-text label, 200 rows of colspan 20,000")
            << QByteArray("qtlabelex")
            << QStringLiteral("<table>%1</table>").arg(QString("<tr><td colspan=20000>x</td></tr>").repeated(200))
            << false << 0;
        QTest::newRow("text edit, a row of 1,000 cells and 1,000 empty rows")
            << QByteArray("qttext")
            << QStringLiteral("<table><tr>%1</tr>%2</table>")
                   .arg(QString("<td>x</td>").repeated(1000), QString("<tr></tr>").repeated(1000))
            << false << 0;
        // Long flat structures: list items (Qt renumbers a list at each item),
        // paragraphs, lines of <pre>, runs of another direction within a word.
        QTest::newRow("rich-text label, a list of 16,000 items")
            << QByteArray("qtlabelex") << "<ul>" + QString("<li>x</li>").repeated(16000) + "</ul>" << false << 0;
        QTest::newRow("text edit, an ordered list of 4,000 items")
            << QByteArray("qttext") << "<OL type=A>" + QString("<li>x").repeated(4000) << false << 0;
        QTest::newRow("tooltip, 40,000 spans")
            << QByteArray("tooltip") << "<p>" + QString("<span>x</span>").repeated(40000) << false << 0;
        QTest::newRow("text edit, 40,000 lines in pre")
            << QByteArray("qttext") << "<pre>" + QString("x\n").repeated(40000) + "</pre>" << false << 0;
        QTest::newRow("rich-text label, 10,000 override runs in a word")
            << QByteArray("qtlabelex") << "<p>" + QString::fromUtf8("\u202ex\u202dy").repeated(2500) << false << 0;
        QTest::newRow("tooltip, override runs spelled as references")
            << QByteArray("tooltip") << "<p>" + QString("&#x202E;x&#8237;y").repeated(2500) << false << 0;
        QTest::newRow("text edit, a word of alternating scripts")
            << QByteArray("qttext") << "<p>" + QString::fromUtf8("a\u05d0").repeated(4200) << false << 0;
        QTest::newRow("rich-text label, isolates in a word")
            << QByteArray("qtlabelex") << "<p dir=rtl>" + QString::fromUtf8("\u2067x\u2069").repeated(5000) << false << 0;
        // Runs within one word of another script or format, joiners, no-break spaces
        // and marks: Qt breaks and draws such a word in time growing with their square.
        // Shown as plain text, such a text is cut to what lays out within the bounds.
        const QString latinCyrillic = QString::fromUtf8("a\u0436");
        QTest::newRow("text edit, Latin and Cyrillic alternating in a word")
            << QByteArray("qttext") << "<p>" + latinCyrillic.repeated(8192) << false << 0;
        QTest::newRow("plain label, Latin and Cyrillic alternating in a word")
            << QByteArray("plain qtlabelex") << latinCyrillic.repeated(32768) << false << 0;
        // A plain tip is cut to what its screen shows first, without a warning; what
        // is left, to the bounds, with one.
        QTest::newRow("plain tooltip, one letter and 256 Ki combining marks")
            << QByteArray("plain tooltip") << "a" + QString::fromUtf8("\u0301").repeated(262144) << false << 0;
        QTest::newRow("plain tooltip, 200 lines of override runs")
            << QByteArray("plain tooltip") << (QString::fromUtf8("\u202ex\u202dy").repeated(1000) + "\n").repeated(200)
            << false << 0;
        QTest::newRow("rich-text label, <b>x</b>x 30,000 times")
            << QByteArray("qtlabelex") << QString("<b>x</b>x").repeated(30000) << false << 0;
        QTest::newRow("tooltip, a word of letters and no-break spaces")
            << QByteArray("tooltip") << "<p>" + QString("a&nbsp;").repeated(65536) << false << 0;
        QTest::newRow("plain label, a word of letters and joiners")
            << QByteArray("plain qtlabelex") << QString::fromUtf8("a\u200d").repeated(262144) << false << 0;
        QTest::newRow("plain text edit, one letter and 256 Ki combining marks")
            << QByteArray("plain qttext") << "a" + QString::fromUtf8("\u0301").repeated(262144) << false << 0;
        QTest::newRow("plain label, 100,000 override runs")
            << QByteArray("plain qtlabelex") << QString::fromUtf8("\u202ex\u202dy").repeated(50000) << false << 0;
        QTest::newRow("text edit, a word of 256 Ki letters")
            << QByteArray("qttext") << "<p>" + QString("a").repeated(262144) << false << 0;
        QTest::newRow("rich-text label, 100,000 Chinese characters")
            << QByteArray("qtlabelex") << "<p>" + QString::fromUtf8("\u4e2d\u6587\u5b57\u7b26").repeated(25000) << true << 0;
        // Qt reads the images of one paragraph in time growing with the square of
        // their count; one a paragraph, they cost a paragraph each.
        QTest::newRow("text edit, 10,000 images in a paragraph")
            << QByteArray("qttext") << "<p>" + QString("<img src=\"none.png\">").repeated(10000) << false << 0;
        QTest::newRow("tooltip, 4,000 images and words in a paragraph")
            << QByteArray("tooltip") << "<p>" + QString("<img src=none.png> x").repeated(4000) << false << 0;
        QTest::newRow("rich-text label, 1,000 images one a paragraph")
            << QByteArray("qtlabelex") << QString("<p><img src=\"none.png\"></p>").repeated(1000) << true << 0;
        // Qt's layout never finishes a document taller than about 2^23 pixels, and
        // reads a line height without a unit as a multiple.
        QTest::newRow("tooltip, 2,500 lines of a fixed 4,096 px")
            << QByteArray("tooltip")
            << "<p style=\"line-height:4096px;-qt-line-height-type:fixed\">" + QString("x<br>").repeated(2500) << false << 0;
        QTest::newRow("rich-text label, 4,000 paragraphs of margin 4,096 px")
            << QByteArray("qtlabelex") << QString("<p style=\"margin-bottom:4096px\">x</p>").repeated(4000) << false << 0;
        QTest::newRow("text edit, 20,000 lines at 512 px")
            << QByteArray("qttext") << "<p style=\"font-size:512px\">" + QString("x<br>").repeated(20000) << false << 0;
        QTest::newRow("tooltip, 2,000 lines of 512 px at 1,000 %")
            << QByteArray("tooltip") << "<p style=\"font-size:512px;line-height:1000%\">" + QString("x<br>").repeated(2000)
            << false << 0;
        QTest::newRow("tooltip, 2,000 lines of 512 px in a style sheet")
            << QByteArray("tooltip")
            << "<style>p { font-size: 512px; line-height: 1000% }</style><p>" + QString("x<br>").repeated(2000) << false << 0;
        QTest::newRow("text edit, 400 images of 4,096 px at 1,000 %")
            << QByteArray("qttext")
            << QString("<p style=\"line-height:1000%\"><img src=\"none.png\" width=\"64\" height=\"4096\">x").repeated(400)
            << false << 0;
        QTest::newRow("tooltip, line height without a unit")
            << QByteArray("tooltip") << line.arg("line-height:100000000") << true << 0;
        QTest::newRow("rich-text label, line height without a unit, 1,000 lines")
            << QByteArray("qtlabelex") << "<p style=\"line-height:1e8\">" + QString("x<br>").repeated(1000) << true << 0;
        QTest::newRow("plain text edit, 600,000 lines")
            << QByteArray("plain qttext") << QString("x\n").repeated(600000) << false << 0;
        QTest::newRow("tooltip, a page past the bounds shown as its text")
            << QByteArray("tooltip") << "<p>" + QString("<span>x &amp; y</span> ").repeated(40000) << false << 0;
        // Qt matches every rule against every element.
        QTest::newRow("rich-text label, 2,000 rules for 300 paragraphs")
            << QByteArray("qtlabelex")
            << "<style>" + QString("p { color: red }").repeated(2000) + "</style>" + QString("<p>x</p>").repeated(300)
            << false << 0;
        // A rule under an element's name is matched only against elements of that name;
        // any other against every element, a descendant combinator up the nesting. The
        // spans are spaced: as one word, their 6,000 runs would pass the layout budget.
        QTest::newRow("tooltip, 2,000 rules for headings over 6,000 spans")
            << QByteArray("tooltip")
            << "<style>" + QString("h1 { color: red }").repeated(2000) + "</style><p>" + QString("<span>x</span> ").repeated(6000)
            << true << 0;
        // Qt looks every element up in every sheet.
        QTest::newRow("rich-text label, 3,000 style elements")
            << QByteArray("rich-text label") << QString("<style>p { color: red }</style>x").repeated(3000) << false << 0;
        QTest::newRow("text edit, 1,000 rules of a class over 300 paragraphs of it")
            << QByteArray("qttext")
            << "<style>" + QString(".x { color: red }").repeated(1000) + "</style>"
                   + QString("<p class=x>x</p>").repeated(300)
            << false << 0;
        QTest::newRow("rich-text label, 100 attribute rules over 3,000 paragraphs")
            << QByteArray("qtlabelex")
            << "<style>" + QString("[align] { color: red }").repeated(100) + "</style>" + QString("<p>x</p>").repeated(3000)
            << false << 0;
        QTest::newRow("tooltip, 100 descendant rules over 300 paragraphs in 60 spans")
            << QByteArray("tooltip")
            << "<style>" + QString("div p { color: red }").repeated(100) + "</style>"
                   + nested("<span>", "</span>", 60).replace("x", QString("<p>x</p>").repeated(300))
            << false << 0;
        QTest::newRow("text edit, rules of a screen media block for 300 paragraphs")
            << QByteArray("qttext")
            << "<style>@media screen { " + QString("p { color: red }").repeated(2000) + " }</style>"
                   + QString("<p>x</p>").repeated(300)
            << false << 0;
        QTest::newRow("rich-text label, rules of a print media block for 300 paragraphs")
            << QByteArray("qtlabelex")
            << "<style>@media print { " + QString("p { color: red }").repeated(2000) + " }</style>"
                   + QString("<p>x</p>").repeated(300)
            << true << 0;
    }

    void richTextNesting()
    {
        QFETCH(QByteArray, door);
        QFETCH(QString, html);
        QFETCH(bool, rich);
        QFETCH(int, tables);
        QWidget host;
        host.resize(320, 200);
        // A plain text is not refused but cut, with a warning of its own.
        const bool plain = door.startsWith("plain ");
        if (plain)
            door = door.mid(6);
        const bool tooltip = door == "tooltip";
        const bool edit = door == "qttext" || door == "paste" || door == "append" || door == "insertHtml";
        Json::Value element = parse(R"({"w": 300, "h": 180, "attr": {}})");
        if (tooltip)
            element["tooltip"] = html.toStdString();
        else if (door == "qttext")
            element["attr"]["text"] = html.toStdString();
        WarningCapture capture;
        const CpuTimer timer;
        QWidget* widget = createControlFromJson(tooltip ? "qtlabel" : edit ? "qttext" : "qtlabelex", element, &host);
        QVERIFY(widget);
        widget->resize(300, 180);
        QVERIFY(shown(host));
        QTextDocument* document = nullptr;
        if (auto* label = dynamic_cast<VYRQLabelEx*>(widget)) {
            if (door == "calcSize")
                label->calcSize(html, 300);
            else if (plain)
                label->setText(html);
            else
                label->setHtmlContent(html);
            document = vyrtest::impl(*label)->document();
        } else if (auto* text = dynamic_cast<VYRQTextEdit*>(widget)) {
            if (door == "paste") {
                auto* pasted = new QMimeData;
                pasted->setHtml(html);
                QGuiApplication::clipboard()->setMimeData(pasted);
                text->setFocus();
                QTest::keyClick(host.windowHandle(), Qt::Key_V, Qt::ControlModifier);
            } else if (door == "append") {
                text->append(html);
            } else if (door == "insertHtml") {
                text->insertHtml(html);
            }
            document = text->document();
        }
        if (tooltip) {
            QVERIFY(restPointerOn(host, *widget));
            QCOMPARE(VYRQToolTip::text(), html);
            render(*VYRQToolTip::tipWindow());
            VYRQToolTip::hideText();
        } else {
            render(*widget, Qt::white, QWidget::DrawChildren);
        }
        VERIFY_CPU_BELOW(timer, 5000);
        QCOMPARE(capture.count(plain ? QStringLiteral("shown as its first") : QStringLiteral("shown as plain text")),
                 rich ? 0 : 1);
        if (document && door != "calcSize") {
            // Past a bound, the text without its markup.
            const QString shown = document->toPlainText();
            QCOMPARE(shown == html, false);
            if (!rich && !plain)
                QVERIFY(!shown.contains(QLatin1Char('<')) && !shown.contains(QLatin1String("&amp;")));
            QCOMPARE(tableDepth(document->rootFrame()), tables);
            // every number clamped: lengths to 4,096 px, line heights to 1,000 %
            QVERIFY2(largestLength(document) <= 4096 * 4 / 3.0, qPrintable(QString::number(largestLength(document))));
        }
    }

    // Within the bounds a text shows as Qt alone shows it, the same height and the same
    // pixels (both rendered here, in one font): the selectors, media blocks and
    // attributes Qt's rich text reads, and a page of thousands of elements linking a
    // sheet of them (%1). No attribute is written twice.
    void shownAsQtShows_data()
    {
        QTest::addColumn<QString>("html");
        QTest::newRow("child selector")
            << "<style>div > p { color: #0a0 }</style><div><p>child</p></div><p>not</p>";
        QTest::newRow("attribute selector with a value")
            << "<style>p[align=\"center\"] { color: #0a0 }</style><p align=\"center\">c</p><p align=right>r</p>";
        QTest::newRow("attribute selector of a name")
            << "<style>[align] { font-weight: bold }</style><p align=\"right\">r</p><p>n</p>";
        QTest::newRow("attribute selector of a word")
            << "<style>[class~=\"x\"] { color: #0a0 } p[class|=z] { font-size: 20px }</style>"
               "<p class=\"y x\">x</p><p class=\"xy\">n</p><p class=\"z-a\">z</p>";
        QTest::newRow("screen media block")
            << "<style>@media screen { p { color: #0a0 } } h1 { color: #00a }</style><h1>t</h1><p>p</p>";
        QTest::newRow("screen and print media block")
            << "<style>@media SCREEN, print { p { margin-top: 30px } }</style><p>p</p><p>q</p>";
        QTest::newRow("print and all media blocks")
            << "<style>@media print { p { margin-top: 30px } } @media all { p { color: #0a0 } }</style><p>p</p><p>q</p>";
        QTest::newRow("table border without a value") << "<table border><tr><td>x</td></tr></table>";
        QTest::newRow("table border empty") << "<table border=\"\"><tr><td>x</td></tr></table>";
        QTest::newRow("cells of a table outside rows") << "<table><td>a<td>b</table>";
        QTest::newRow("a span after an id that spells it")
            << "<table border=1><tr><td id=\"a colspan=\" colspan=\"3\">a</td></tr><tr><td>a</td><td>b</td><td>c</td></tr></table>";
        QTest::newRow("a span repeated, the last read")
            << "<table border=1><tr><td colspan=1 colspan=2>a</td></tr><tr><td>a</td><td>b</td></tr></table>";
        QTest::newRow("a span repeated, the last unreadable")
            << "<table border=1><tr><td colspan=2 colspan=x>a</td></tr><tr><td>a</td><td>b</td></tr></table>";
        QTest::newRow("nowrap twice") << "<table border=1 width=60><tr><td nowrap nowrap>a b c d e f</td></tr></table>";
        QTest::newRow("two styles") << "<p style=\"color: #0a0\" style=\"margin-left: 40px\">xx</p>";
        QTest::newRow("a page of 5,000 elements linking a sheet")
            << "<html><head><title>t</title><link rel=\"stylesheet\" type=\"text/css\" href=\"%1\"></head><body>"
                   + referenceBody(240) + "</body></html>";
    }

    void shownAsQtShows()
    {
        QFETCH(QString, html);
        QTemporaryDir dir;
        QFile sheet(dir.filePath("sheet.css"));
        QVERIFY(sheet.open(QIODevice::WriteOnly) && sheet.write(referenceSheet()) > 0);
        sheet.close();
        if (html.contains("%1"))
            html = html.arg(sheet.fileName());
        WarningCapture capture;
        QTextDocument alone;
        VYRQTextDocument ours;
        for (QTextDocument* document : std::initializer_list<QTextDocument*>{&alone, &ours}) {
            document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
            document->setTextWidth(400);
        }
        alone.setHtml(html);
        ours.setContent(html, Qt::RichText);
        QCOMPARE(capture.count(QStringLiteral("shown as plain text")) + capture.count(QStringLiteral("refused")), 0);
        QCOMPARE(ours.size().height(), alone.size().height());
        const auto part = [](QTextDocument& document, int top) {
            QImage image(400, 2048, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.translate(0, -top);
            document.drawContents(&painter, QRectF(0, top, 400, 2048));
            return image;
        };
        for (int top = 0; top < alone.size().height(); top += 2048)
            QVERIFY2(part(ours, top) == part(alone, top), qPrintable(QStringLiteral("from %1 px down").arg(top)));
        QString written;
        QVERIFY(VYRQTextDocument::richText(html, Qt::RichText, written));
        static const QRegularExpression tag(QStringLiteral("<[a-z0-9]+([^>]*)>"));
        static const QRegularExpression attribute(QStringLiteral(" ([a-z-]+)(?:=\"[^\"]*\")?"));
        for (auto tags = tag.globalMatch(written); tags.hasNext();) {
            QStringList names;
            for (auto found = attribute.globalMatch(tags.next().captured(1)); found.hasNext();)
                names.append(found.next().captured(1));
            QCOMPARE(names.removeDuplicates(), 0);
        }
    }

    // The costliest text each door takes, found by a search of random and mutated
    // texts (textcostsearch.h; longer in bench/bench_text_cost.cpp): whatever is
    // shown, as rich text, as its plain text or cut, builds and shows within 0.5 s
    // of CPU time and repaints within 50 ms, on a machine that lays out 1 Mi
    // characters of Latin words in 0.1 s (a slower one is given as much more).
    void costSearch_data()
    {
        QTest::addColumn<int>("door");
        for (textcost::Door door : {textcost::Door::RichLabel, textcost::Door::ToolTip, textcost::Door::TextEdit,
                                    textcost::Door::PlainLabel})
            QTest::newRow(textcost::doorName(door)) << int(door);
    }

    void costSearch()
    {
        QFETCH(int, door);
        textcost::Found show;
        textcost::Found repaint;
        int tries = 0;
        WarningCapture capture;
        const CpuTimer yardstick;
        {
            QTextDocument latin;
            latin.setPlainText(QStringLiteral("lorem ipsum ").repeated(87381));
            latin.setTextWidth(300);
            latin.size();
        }
        const double slower = std::max(1.0, double(yardstick.elapsed()) / 100);
        textcost::search(textcost::Door(door), 64, 2500, 8, 256 * 1024, show, repaint, tries);
        const auto sample = [](const QString& text) {
            return QStringLiteral("%1 characters: %2").arg(text.size()).arg(text.left(160));
        };
        QVERIFY2(show.showNs < costBoundMs * 1000000 * slower,
                 qPrintable(QStringLiteral("%1 ms of CPU time to show (bound %2), in %3 tries, %4")
                                .arg(show.showNs / 1000000).arg(costBoundMs * slower).arg(tries).arg(sample(show.text))));
        QVERIFY2(repaint.repaintNs < repaintBoundMs * 1000000 * slower,
                 qPrintable(QStringLiteral("%1 ms of CPU time to repaint (bound %2), in %3 tries, %4")
                                .arg(repaint.repaintNs / 1000000).arg(repaintBoundMs * slower).arg(tries)
                                .arg(sample(repaint.text))));
    }

    // A shortened text follows the width the container gave: it asks the container
    // for no layout pass. Each request would be compared with every pending event,
    // the polish requests of a page shown in the turn it was built among them.
    void elisionAsksNoLayout()
    {
        EventCounter counter(QEvent::LayoutRequest);
        QWidget host;
        host.resize(400, 40);
        auto* row = new VYRQContainer(&host);
        row->setGeometry(host.rect());
        row->setChildLayout(VYRQContainer::Horizontal);
        row->installEventFilter(&counter);
        constexpr int count = 10000;
        for (int i = 0; i < count; ++i)
            new VYRQLabel(row);
        auto* first = row->findChild<VYRQLabel*>();
        const CpuTimer timer;
        QVERIFY(shown(host));
        QCoreApplication::processEvents();
        VERIFY_CPU_BELOW(timer, 5000);
        QVERIFY(first->text() != QLatin1String("label"));   // shortened to next to nothing
        QCOMPARE(counter.count, 0);
        // Wide enough, every label shows its whole text again, still without a request.
        row->resize(60 * count, row->height());
        QCoreApplication::processEvents();
        QCOMPARE(first->text(), QStringLiteral("label"));
        QCOMPARE(counter.count, 0);
    }

    // A label built for a page element ends with the text that element gives, and
    // with "label" when the read sets none: also when the element redirects to a
    // theme element without text, and when it is built under a short key.
    void pageBuiltText_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own text") << QByteArray("qtlabel") << QByteArray(R"({"attr": {"text": "Page"}})") << "Page";
        QTest::newRow("empty text") << QByteArray("qtlabel") << QByteArray(R"({"attr": {"text": ""}})") << "";
        QTest::newRow("no text") << QByteArray("qtlabel") << QByteArray(R"({"attr": {"wordWrap": 1}})") << "label";
        QTest::newRow("not a string") << QByteArray("qtlabel") << QByteArray(R"({"attr": {"text": 7}})") << "label";
        QTest::newRow("attr not an object") << QByteArray("qtlabel") << QByteArray(R"({"attr": ["text"]})")
                                            << "label";
        QTest::newRow("theme without text") << QByteArray("qtlabel")
                                            << QByteArray(R"({"theme": "qtpicture", "attr": {"text": "Page"}})")
                                            << "label";
        QTest::newRow("theme with text") << QByteArray("qtlabel")
                                         << QByteArray(R"({"theme": "qtlabel", "attr": {"text": "Page"}})")
                                         << "themed";
        QTest::newRow("short key") << QByteArray("label") << QByteArray(R"({"attr": {"text": "Page"}})") << "Page";
    }

    void pageBuiltText()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, element);
        QFETCH(QString, expected);
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
        Json::Value root;
        QVERIFY(vyr::json::parse(element, root));
        std::unique_ptr<QWidget> widget(createControlFromJson(key.constData(), root, nullptr));
        auto* label = qobject_cast<VYRQLabel*>(widget.get());
        QVERIFY(label);
        QCOMPARE(label->text(), expected);
        // Labels built afterwards, outside a page read, still start as "label".
        VYRQLabel later;
        QCOMPARE(later.text(), QStringLiteral("label"));
        sty::dropTheme();
    }

    // A new label reads "label" whatever the theme says; a refresh applies the theme.
    void themeDefaultsApplyBeforeInitialText()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
        VYRQLabel label;
        QCOMPARE(label.getColor(), QColor(0, 0, 255));
        QCOMPARE(label.text(), QStringLiteral("label"));
        label.getControlBase()->refreshTheme();
        QCOMPARE(label.text(), QStringLiteral("themed"));
        sty::dropTheme();
    }
};

VYR_TEST_SUITE(tst_LabelEx, 1)
VYR_TEST_SUITE(tst_Label, 2)
#include "tst_label.moc"
