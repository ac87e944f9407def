#include "VYRQRibbonLayout.h"

#include <QtTest>

using Layout = VYRQRibbonLayout;
using Rects = QVector<QRect>;

Q_DECLARE_METATYPE(QVector<Layout::GroupItem>)
Q_DECLARE_METATYPE(QVector<Layout::PageGroup>)

namespace {
// "L60" a large item of hint width 60, "S40" a stacking item of 40.
QVector<Layout::GroupItem> items(const QByteArray& tokens)
{
    QVector<Layout::GroupItem> out;
    for (const QByteArray& token : tokens.split(' '))
        if (!token.isEmpty())
            out.append({token.mid(1).toInt(), token[0] == 'S'});
    return out;
}

// "60" a group of hint width 60, "60e" an expanding one.
QVector<Layout::PageGroup> groups(const QByteArray& tokens)
{
    QVector<Layout::PageGroup> out;
    for (const QByteArray& token : tokens.split(' '))
        if (!token.isEmpty())
            out.append({token.endsWith('e') ? token.chopped(1).toInt() : token.toInt(), token.endsWith('e')});
    return out;
}
} // namespace

class tst_RibbonLayout : public QObject {
    Q_OBJECT

private slots:
    void groupItems_data()
    {
        QTest::addColumn<QByteArray>("tokens");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("height");
        QTest::addColumn<Rects>("placed");
        QTest::addColumn<int>("width");   // the group's size hint width
        QTest::newRow("five small, three rows")
            << QByteArray("S40 S50 S30 S20 S10") << 3 << 100
            << Rects{{4, 4, 50, 22}, {4, 28, 50, 22}, {4, 52, 50, 22}, {58, 4, 20, 22}, {58, 28, 20, 22}}
            << 8 + 54 + 24;
        QTest::newRow("a large item closes a short column")
            << QByteArray("S40 L60 S30") << 3 << 100
            << Rects{{4, 4, 40, 22}, {48, 4, 60, 73}, {112, 4, 30, 22}} << 8 + 44 + 64 + 34;
        QTest::newRow("compact rows overlap the title band")
            << QByteArray("S30 S30 S30") << 2 << 40 << Rects{{4, 4, 30, 18}, {4, 24, 30, 18}, {38, 4, 30, 18}}
            << 80;
        QTest::newRow("one row counts as two") << QByteArray("S30 S30") << 1 << 67
                                               << Rects{{4, 4, 30, 18}, {4, 24, 30, 18}} << 80;
        QTest::newRow("empty") << QByteArray() << 3 << 100 << Rects{} << 80;
    }

    void groupItems()
    {
        QFETCH(QByteArray, tokens);
        QFETCH(int, rows);
        QFETCH(int, height);
        QFETCH(Rects, placed);
        QFETCH(int, width);
        QCOMPARE(Layout::groupItems(items(tokens), rows, height), placed);
        QCOMPARE(Layout::groupWidth(items(tokens), rows), width);
    }

    void pageGroups_data()
    {
        QTest::addColumn<QByteArray>("tokens");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("offset");
        QTest::addColumn<Rects>("placed");
        QTest::addColumn<int>("content");
        QTest::addColumn<int>("clamped");
        QTest::addColumn<QString>("scroll");   // "<" and ">" when enabled, "-" when not overflowing
        QTest::newRow("spare width to the expanding groups")
            << QByteArray("100e 50 100e") << 371 << 0 << Rects{{4, 4, 150, 88}, {158, 4, 50, 88}, {212, 4, 150, 88}}
            << 270 << 0 << "-";
        QTest::newRow("overflow at the start") << QByteArray("200 200") << 300 << -30
                                               << Rects{{24, 4, 200, 88}, {228, 4, 200, 88}} << 416 << 0 << ">";
        QTest::newRow("overflow scrolled past the end")
            << QByteArray("200 200") << 300 << 500 << Rects{{-132, 4, 200, 88}, {72, 4, 200, 88}} << 416 << 156
            << "<";
        QTest::newRow("overflow in the middle") << QByteArray("200 200") << 300 << 10
                                                << Rects{{14, 4, 200, 88}, {218, 4, 200, 88}} << 416 << 10 << "<>";
    }

    void pageGroups()
    {
        QFETCH(QByteArray, tokens);
        QFETCH(int, width);
        QFETCH(int, offset);
        QFETCH(Rects, placed);
        QFETCH(int, content);
        QFETCH(int, clamped);
        QFETCH(QString, scroll);
        const Layout::PagePlacement page = Layout::pageGroups(groups(tokens), width, 96, offset);
        QCOMPARE(page.groups, placed);
        QCOMPARE(page.contentWidth, content);
        QCOMPARE(page.offset, clamped);
        QString enabled = page.overflow ? QString() : QStringLiteral("-");
        if (page.canScrollLeft)
            enabled += '<';
        if (page.canScrollRight)
            enabled += '>';
        QCOMPARE(enabled, scroll);
        if (page.overflow) {
            QCOMPARE(page.leftButton, QRect(0, 0, 20, 96));
            QCOMPARE(page.rightButton, QRect(width - 20, 0, 20, 96));
            QCOMPARE(Layout::pageMaxOffset(content, width), content - (width - 40));
        }
    }

    void gallery_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Rects>("strip");
        QTest::addColumn<QRect>("firstCell");
        QTest::newRow("200 x 60") << QSize(200, 60) << Rects{{180, 0, 20, 20}, {180, 20, 20, 20}, {180, 40, 20, 20}}
                                  << QRect(0, 0, 58, 29);
        QTest::newRow("low: strip buttons stay 16 high")
            << QSize(100, 30) << Rects{{80, 0, 20, 16}, {80, 16, 20, 16}, {80, 32, 20, -2}} << QRect(0, 0, 25, 14);
        QTest::newRow("narrow") << QSize(10, 60) << Rects{{0, 0, 20, 20}, {0, 20, 20, 20}, {0, 40, 20, 20}}
                                << QRect(0, 0, 0, 29);
    }

    void gallery()
    {
        QFETCH(QSize, size);
        QFETCH(Rects, strip);
        QFETCH(QRect, firstCell);
        const Layout::GalleryPlacement g = Layout::gallery(size.width(), size.height(), 3, 2, 0, 8);
        QCOMPARE((Rects{g.up, g.down, g.more}), strip);
        QCOMPARE(g.cells.first(), firstCell);
        QCOMPARE(g.shown, (QVector<bool>{true, true, true, true, true, true, false, false}));
    }

    // Paging keeps the last page full; pages that do not exist are never shown.
    void galleryPaging_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("next");
        QTest::addColumn<QString>("buttons");   // enabled page buttons after paging
        QTest::newRow("down from 0, 8 items") << 8 << 0 << 1 << 2 << "^";
        QTest::newRow("up again") << 8 << 2 << -1 << 0 << "v";
        QTest::newRow("5 items fit one page") << 5 << 0 << 1 << 0 << "";
        QTest::newRow("far down, 20 items") << 20 << 6 << 5 << 14 << "^";
        QTest::newRow("middle") << 20 << 0 << 1 << 6 << "^v";
    }

    void galleryPaging()
    {
        QFETCH(int, count);
        QFETCH(int, first);
        QFETCH(int, delta);
        QFETCH(int, next);
        QFETCH(QString, buttons);
        QCOMPARE(Layout::galleryPage(first, delta, 3, 2, count), next);
        const Layout::GalleryPlacement g = Layout::gallery(200, 60, 3, 2, next, count);
        QCOMPARE(QString(g.upEnabled ? "^" : "") + (g.downEnabled ? "v" : ""), buttons);
        QCOMPARE(Layout::gallerySizeHint(1, 1), QSize(86, 32));
    }

    void barSizeHint_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<QVector<int>>("heights");   // top, tab, page
        QTest::addColumn<QSize>("hint");
        QTest::newRow("office") << false << false << QVector<int>{30, 31, 96} << QSize(720, 157);
        QTest::newRow("minimised") << false << true << QVector<int>{30, 31, 96} << QSize(720, 61);
        QTest::newRow("compact") << true << false << QVector<int>{30, 31, 96} << QSize(720, 127);
        QTest::newRow("small rows and page") << false << false << QVector<int>{10, 31, 20} << QSize(720, 24 + 31 + 64);
    }

    void barSizeHint()
    {
        QFETCH(bool, compact);
        QFETCH(bool, minimized);
        QFETCH(QVector<int>, heights);
        QFETCH(QSize, hint);
        QCOMPARE(Layout::barSizeHint(compact, minimized, heights[0], heights[1], heights[2]), hint);
    }

    void header_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<int>("application");   // hint width, 0 for none
        QTest::addColumn<Rects>("quick");
        QTest::addColumn<Rects>("topRight");
        QTest::addColumn<QPoint>("content");     // left and right of the tab range
        QTest::newRow("no application menu") << false << 0 << Rects{{4, 3, 28, 24}, {34, 3, 60, 24}}
                                             << Rects{{456, 3, 40, 24}, {500, 3, 96, 24}} << QPoint(4, 596);
        QTest::newRow("application 40 wide") << false << 40 << Rects{{62, 3, 28, 24}, {92, 3, 60, 24}}
                                             << Rects{{456, 3, 40, 24}, {500, 3, 96, 24}} << QPoint(4, 596);
        QTest::newRow("compact") << true << 70 << Rects{{78, 3, 28, 24}, {108, 3, 60, 24}}
                                 << Rects{{456, 3, 40, 24}, {500, 3, 96, 24}} << QPoint(174, 448);
    }

    void header()
    {
        QFETCH(bool, compact);
        QFETCH(int, application);
        QFETCH(Rects, quick);
        QFETCH(Rects, topRight);
        QFETCH(QPoint, content);
        Layout::HeaderRequest request;
        request.barWidth = 600;
        request.compact = compact;
        request.applicationVisible = application > 0;
        request.applicationHintWidth = application;
        request.quickWidths = {Layout::quickAccessWidth(70, true), Layout::quickAccessWidth(60, false)};
        request.topRightHintWidths = {10, 96};
        const Layout::HeaderPlacement placed = Layout::header(request);
        QCOMPARE(placed.quick, quick);
        QCOMPARE(placed.topRight, topRight);
        QCOMPARE(QPoint(placed.contentLeft, placed.contentRight), content);
        QCOMPARE(placed.tabRow, QRect(0, compact ? 0 : 30, 600, 31));
        QCOMPARE(placed.header, compact ? 31 : 61);
        if (application)
            QCOMPARE(placed.application, QRect(4, 2, qMax(application, 54), 26));
    }

    void tabWidth_data()
    {
        QTest::addColumn<int>("advance");
        QTest::addColumn<int>("width");
        QTest::newRow("short") << 10 << 68;
        QTest::newRow("long") << 200 << 150;
        QTest::newRow("between") << 60 << 88;
    }

    void tabWidth()
    {
        QFETCH(int, advance);
        QFETCH(int, width);
        QCOMPARE(Layout::tabWidth(advance), width);
    }

    // Six tabs of 100 in a row of 400: the range shrinks by the scroll buttons, tabs
    // wholly outside it hide, the offset stops at the end.
    void tabs_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("firstX");
        QTest::addColumn<int>("clamped");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("scroll");
        QTest::newRow("office, start") << false << 0 << 24 << 0 << "111100" << ">";
        QTest::newRow("office, past the end") << false << 999 << -236 << 260 << "001111" << "<";
        QTest::newRow("office, middle") << false << 110 << -86 << 110 << "011110" << "<>";
        QTest::newRow("compact range") << true << 0 << 124 << 0 << "111000" << ">";
    }

    void tabs()
    {
        QFETCH(bool, compact);
        QFETCH(int, offset);
        QFETCH(int, firstX);
        QFETCH(int, clamped);
        QFETCH(QString, shown);
        QFETCH(QString, scroll);
        Layout::TabRequest request;
        request.widths = QVector<int>(6, 100);
        request.compact = compact;
        request.contentLeft = 104;
        request.contentRight = 380;
        request.rowWidth = 400;
        request.rowHeight = 31;
        request.offset = offset;
        const Layout::TabPlacement placed = Layout::tabs(request);
        QVERIFY(placed.overflow);
        QCOMPARE(placed.total, 612);
        QCOMPARE(placed.tabs.first(), QRect(firstX, 1, 100, 29));
        QCOMPARE(placed.offset, clamped);
        QString visible;
        for (bool v : placed.visible)
            visible += v ? '1' : '0';
        QCOMPARE(visible, shown);
        QCOMPARE(QString(placed.leftEnabled ? "<" : "") + (placed.rightEnabled ? ">" : ""), scroll);
        QCOMPARE(placed.left, QRect(compact ? 104 : 0, 0, 20, 31));
        QCOMPARE(placed.right, QRect(380, 0, 20, 31));

        request.widths = {100};
        QVERIFY(!Layout::tabs(request).overflow);
        QCOMPARE(Layout::tabs(request).offset, 0);
    }
};

QTEST_APPLESS_MAIN(tst_RibbonLayout)
#include "tst_ribbonlayout.moc"
