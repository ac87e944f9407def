#include "controls_testutil.h"

#include "VYRQGlobal.h"
#include "VYRQLabelEx.h"
#include "VYRQLabelExImpl.h"
#include "VYRQResourceManager.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using namespace ctl;

namespace {

const char* manyWords = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron pi rho "
                        "sigma tau upsilon phi chi psi omega alpha beta gamma delta epsilon zeta eta theta";

// Highlight-coloured pixels in rows [top, bottom) and columns [left, right).
int highlighted(const QImage& image, int top, int bottom, int left = 0, int right = INT_MAX)
{
    int count = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == 0x9BCAEF;
    return count;
}

// The rows where the highlight of a line of the first block goes, and its advance.
struct Band {
    int top, bottom, advance;
};

QTextLine firstBlockLine(VYRQLabelEx& label, int line)
{
    QTextDocument* doc = label.impl()->document();
    doc->setPageSize(label.size());
    doc->documentLayout()->blockBoundingRect(doc->firstBlock());
    return doc->firstBlock().layout()->lineAt(line);
}

Band band(VYRQLabelEx& label, int line)
{
    const QTextLine l = firstBlockLine(label, line);
    const int top = int(l.y() + 5);
    return Band{top, top + int(l.height()), int(l.horizontalAdvance())};
}

bool same(const TextPosition& a, const TextPosition& b)
{
    return a.block == b.block && a.line == b.line && a.cursor == b.cursor;
}

} // namespace

class tst_LabelEx : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void json();
    void calcSizeMeasuresHtml();
    void doubleClickHighlightsFirstBlock();
    void pressKeepsSelectionAndDragMovesEnd();
    void middleLinesAreHighlightedWhole();
    void positionsInLaterBlocks();
    void dragIntoSecondParagraph();
    void mouseNeedsTextInteraction();
};

void tst_LabelEx::initTestCase()
{
    VYRQtLib::init();
    TextStyleDesc style;
    style.name = QStringLiteral("ExText");
    style.size = 20;
    VYRQResourceManager::getInstance()->setTextStyle(style.name, style);
}

void tst_LabelEx::json()
{
    VYRQLabelEx label;
    QCOMPARE(label.impl()->document()->toPlainText(), QStringLiteral("label"));
    QCOMPARE(label.metaObject(), &QLabel::staticMetaObject); // no meta-object of its own
    QVERIFY(!vyrGetControlInfo(QStringLiteral("qtlabelex")));

    Json::Value element = parse(R"({"style": [["ExText", 2, 0]], "attr": {"text": "Rich"}})");
    QVERIFY(label.readJsonValue(&element));
    QCOMPARE(label.impl()->document()->toPlainText(), QStringLiteral("Rich"));
    QCOMPARE(label.impl()->document()->defaultFont().pixelSize(), 20);
    const Json::Value out = write(label);
    QCOMPARE(str(out["attr"]["text"]), QStringLiteral("Rich"));
    QCOMPARE(str(out["style"][0][0]), QStringLiteral("ExText"));

    // The document font follows the style only when JSON is read.
    TextStyleDesc style;
    style.size = 31;
    label.setTextStyle(Normal, style);
    QCOMPARE(label.impl()->document()->defaultFont().pixelSize(), 20);
    label.setText(QString());
    QVERIFY(!write(label)["attr"].isMember("text"));
}

void tst_LabelEx::calcSizeMeasuresHtml()
{
    VYRQLabelEx label;
    QTextDocument reference;
    reference.setDefaultFont(VYRQWidgetBaseImpl::fontOf(label.getTextStyle(Normal)));
    reference.setPageSize(QSizeF(120, 1000));
    QCOMPARE(label.calcSize(QString(), 120), QSize(int(reference.idealWidth()), int(reference.size().height())));

    const QSize one = label.calcSize(QStringLiteral("<b>word</b>"), 400);
    const QSize wrapped = label.calcSize(QString::fromLatin1(manyWords), 120);
    QVERIFY(one.width() > 0 && one.width() < 400);
    QVERIFY(wrapped.width() <= 120 && wrapped.height() > 2 * one.height());
}

void tst_LabelEx::doubleClickHighlightsFirstBlock()
{
    VYRQLabelEx label;
    label.resize(300, 200);
    label.setHtmlContent(QStringLiteral("<p>first paragraph</p><p>second paragraph</p>"));
    QCOMPARE(highlighted(render(label), 0, 200), 0);

    mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
    QVERIFY(same(label.impl()->selectionStart(), TextPosition{0, 0, 0}));
    QCOMPARE(label.impl()->selectionEnd().block, 2);
    QCOMPARE(label.impl()->selectionEnd().line, 0);

    const QImage image = render(label);
    const Band first = band(label, 0);
    QVERIFY(highlighted(image, first.top, first.bottom) > first.advance);
    QCOMPARE(highlighted(image, first.bottom, 200), 0);
}

void tst_LabelEx::pressKeepsSelectionAndDragMovesEnd()
{
    VYRQLabelEx label;
    label.resize(300, 100);
    label.setText(QStringLiteral("one two three four"));
    mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
    const TextPosition end = label.impl()->selectionEnd();
    mouse(label, QEvent::MouseButtonPress, QPoint(40, 10));
    QVERIFY(same(label.impl()->selectionEnd(), end));

    const QPoint inside(30, int(firstBlockLine(label, 0).rect().center().y()));
    const TextPosition target = label.impl()->positionAt(inside);
    QCOMPARE(target.block, 0);
    mouse(label, QEvent::MouseMove, inside);
    QVERIFY(same(label.impl()->selectionStart(), TextPosition{0, 0, 0}));
    QVERIFY(same(label.impl()->selectionEnd(), target));

    // Over no line the end becomes none and the highlight goes.
    mouse(label, QEvent::MouseMove, QPoint(10, 95));
    QVERIFY(same(label.impl()->selectionEnd(), TextPosition()));
    QCOMPARE(highlighted(render(label), 0, 100), 0);

    label.setMouseTracking(true);
    mouse(label, QEvent::MouseButtonRelease, QPoint(5, 5));
    QVERIFY(!label.hasMouseTracking());
}

void tst_LabelEx::middleLinesAreHighlightedWhole()
{
    VYRQLabelEx label;
    label.resize(140, 400);
    label.setText(QString::fromLatin1(manyWords));
    QVERIFY(firstBlockLine(label, 4).isValid());

    // Given the later position first, the start and end are stored swapped.
    label.impl()->setSelection(TextPosition{0, 3, 4}, TextPosition{0, 0, 3});
    QVERIFY(same(label.impl()->selectionStart(), TextPosition{0, 0, 3}));

    const QImage image = render(label);
    for (int i = 1; i <= 2; ++i) {
        const Band b = band(label, i);
        QVERIFY(highlighted(image, b.top, b.bottom, 5, 5 + b.advance) > b.advance * (b.bottom - b.top) / 2);
    }
    const Band start = band(label, 0);
    const int x1 = int(firstBlockLine(label, 0).cursorToX(3));
    QCOMPARE(highlighted(image, start.top, start.bottom, 0, x1 + 5), 0);
    QVERIFY(highlighted(image, start.top, start.bottom, x1 + 5) > 0);
    QCOMPARE(highlighted(image, band(label, 4).top, 400), 0);
}

// A position in a later block carries that block's line index, which the first
// block's layout must never be asked for.
void tst_LabelEx::positionsInLaterBlocks()
{
    VYRQLabelEx label;
    label.resize(140, 600);
    label.setHtmlContent(QStringLiteral("<p>head</p><p>%1</p>").arg(QString::fromLatin1(manyWords)));
    const Band first = band(label, 0);

    label.impl()->setSelection(TextPosition{0, 0, 0}, TextPosition{1, 6, 3});
    QImage image = render(label);
    QVERIFY(highlighted(image, first.top, first.bottom) > 0);
    QCOMPARE(highlighted(image, first.bottom, 600), 0);

    label.impl()->setSelection(TextPosition{1, 2, 0}, TextPosition{1, 6, 3});
    QCOMPARE(highlighted(render(label), 0, 600), 0);

    // A line the first block does not have is skipped.
    label.impl()->setSelection(TextPosition{0, 0, 0}, TextPosition{0, 40, 2});
    QVERIFY(highlighted(render(label), first.top, first.bottom) > 0);
}

void tst_LabelEx::dragIntoSecondParagraph()
{
    VYRQLabelEx label;
    label.resize(140, 600);
    label.setHtmlContent(QStringLiteral("<p>head</p><p>%1</p>").arg(QString::fromLatin1(manyWords)));
    mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
    for (int y = 0; y < 400; y += 7) {
        mouse(label, QEvent::MouseMove, QPoint(30, y));
        render(label);
    }
    QCOMPARE(label.impl()->selectionStart().block, 0);
}

void tst_LabelEx::mouseNeedsTextInteraction()
{
    VYRQLabelEx label;
    label.resize(200, 50);
    label.setTextInteractionFlags(Qt::NoTextInteraction);
    mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
    QVERIFY(!label.impl()->hasSelection());
    label.setTextInteractionFlags(Qt::TextSelectableByMouse);
    mouse(label, QEvent::MouseButtonDblClick, QPoint(10, 10));
    QVERIFY(label.impl()->hasSelection());
}

QTEST_MAIN(tst_LabelEx)
#include "tst_labelex.moc"
