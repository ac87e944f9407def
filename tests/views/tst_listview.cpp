#include "../controls/controls_testutil.h"
#include "testaccess.h"
#include "views_testutil.h"
#include "warningcapture.h"

#include "VYRQContainer.h"
#include "VYRQLabelEx.h"
#include "VYRQLabelExImpl.h"
#include "VYRQListView.h"
#include "VYRQListViewImpl.h"
#include "VYRQPushButton.h"
#include "VYRQScrollBar.h"

#include <QPointer>
#include <QStandardItemModel>

using namespace ctl;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor gray(128, 128, 128);
const QColor highlight(155, 202, 239);

// A shown view of `rows` rows, 30 high and 200 wide, painted with a template that
// holds, right of a 100-pixel margin, a green button named "go".
struct Rows {
    explicit Rows(int rows = 8)
        : model(rows, 1)
    {
        view.resize(220, 300);
        view.setSpacing(0);
        view.setItemHeight(30);
        view.setModel(&model);
        itemTemplate = new VYRQContainer(&view);
        itemTemplate->setChildLayout(VYRQContainer::Horizontal);
        itemTemplate->setChildPadding(100, 0, 0, 0);
        button = new VYRQPushButton;
        button->setObjectName(QStringLiteral("go"));
        button->setBackground(AllStates, sty::solid(QString(), green));
        itemTemplate->addChildWidget(button, 1);
        view.setItemBackground(Normal, sty::solid(QString(), red));
        view.setItemBackground(Pressed, sty::solid(QString(), blue));
    }

    QPoint at(int row, int x) const { return {x, row * 30 + 15}; }
    QColor colour(int row, int x) { return view.viewport()->grab().toImage().pixelColor(at(row, x)); }
    void press(int row, int x) { mouse(*view.viewport(), QEvent::MouseButtonPress, at(row, x)); }

    QStandardItemModel model;
    VYRQListView view;
    VYRQContainer* itemTemplate;
    VYRQPushButton* button;
};

int highlighted(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == highlight;
    return count;
}

QSize tallRow(const VYRQListView*, const QStyleOptionViewItem&, const QModelIndex&)
{
    return QSize(200, INT_MAX);
}

void showRow(const VYRQListView*, const QWidget* itemTemplate, const QModelIndex& index)
{
    if (auto* label = itemTemplate->findChild<VYRQLabelEx*>())
        label->setHtmlContent(index.data().toString());
}

// The template's button replaced by a label filling the row whose text can be selected
// across rows.
VYRQLabelEx* selectableLabel(Rows& r)
{
    delete r.button;
    auto* label = new VYRQLabelEx;
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    r.itemTemplate->setChildPadding(0, 0, 0, 0);
    r.itemTemplate->addChildWidget(label, 1);
    r.view.setItemTemplate(r.itemTemplate);
    r.view.setEnableSelection(true);
    return label;
}

} // namespace

class tst_ListView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"LvA", red}, {"LvB", green}, {"LvC", blue}});
    }

    void noTemplatePaintsNothing()
    {
        Rows r;
        VYRQListView bare;
        bare.resize(220, 300);
        bare.setModel(&r.model);
        bare.setBackground(CommonNormal, sty::solid(QString(), gray));
        QSignalSpy spy(&bare, &VYRQListView::pressCtrl);
        QVERIFY(shown(bare));
        QCOMPARE(bare.viewport()->grab().toImage().pixelColor(150, 15), gray);
        mouse(*bare.viewport(), QEvent::MouseButtonPress, {150, 15});
        QCOMPARE(spy.count(), 0);
    }

    // The template is bound by createComplete, painted in every row in the row's
    // state, and its controls answer presses where they were painted.
    void templateRowsAndPresses()
    {
        Rows r;
        QSignalSpy spy(&r.view, &VYRQListView::pressCtrl);
        r.view.createComplete();
        QCOMPARE(r.view.getitemTemplate(), r.itemTemplate);
        QVERIFY(r.itemTemplate->isHidden());
        r.view.setCurrentIndex(r.model.index(2, 0));
        QVERIFY(shown(r.view));
        QCOMPARE(r.colour(1, 50), red);
        QCOMPARE(r.colour(2, 50), blue);
        QCOMPARE(r.colour(5, 150), green);
        r.press(5, 50);
        QCOMPARE(spy.count(), 0);
        r.press(5, 150);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QWidget*>(), r.button);
        QCOMPARE(spy.at(0).at(1).value<QModelIndex>().row(), 5);

        // Hidden from delegates: neither painted nor hit.
        r.button->getControlImpl()->setDelegateItemVisible(false);
        QCOMPARE(r.colour(6, 150), red);
        r.press(6, 150);
        QCOMPARE(spy.count(), 1);
    }

    void rowSizes_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("icons");
        QTest::addColumn<QSize>("size");
        QTest::newRow("list") << 30 << 70 << false << QSize(200, 30);
        QTest::newRow("negative height") << -4 << 70 << false << QSize(200, 20);
        QTest::newRow("icon mode") << 30 << 70 << true << QSize(70, 30);
        QTest::newRow("icon mode, zero width") << 30 << 0 << true << QSize(20, 30);
    }

    void rowSizes()
    {
        QFETCH(int, height);
        QFETCH(int, width);
        QFETCH(bool, icons);
        QFETCH(QSize, size);
        Rows r;
        r.view.setItemHeight(height);
        r.view.setItemWidth(width);
        r.view.setViewMode(icons ? QListView::IconMode : QListView::ListMode);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 200, 10);
        QCOMPARE(r.view.itemDelegate()->sizeHint(option, r.model.index(0, 0)), size);
    }

    void styleSlots()
    {
        VYRQListView view;
        QVERIFY(sty::load(view, R"({"style": [["LvA", 1, 2], ["LvB", 1, 3], ["LvC", 1, 5], ["LvB", 1, 6]]})"));
        QCOMPARE(sty::names(vyrtest::impl(view)->itemBackgrounds), (QStringList{"LvA", "LvB", "LvA", "LvC"}));
        // What is written reads back the same.
        const Json::Value out = write(view);
        QCOMPARE(sty::entries(out["style"]), (QStringList{"LvA:1:2", "LvB:1:3", "LvA:1:4", "LvC:1:5"}));
        VYRQListView reread;
        Json::Value copy = out;
        QVERIFY(reread.readJsonValue(&copy));
        QCOMPARE(sty::names(vyrtest::impl(reread)->itemBackgrounds), sty::names(vyrtest::impl(view)->itemBackgrounds));

        // One name for all four states: one entry, read back into the painted states.
        VYRQListView same;
        FillStyle a;
        QVERIFY(vyrGetFillStyle("LvA", a));
        for (int s = Normal; s <= Disable; ++s)
            same.setItemBackground(CtrlState(s), a);
        Json::Value one = write(same);
        QCOMPARE(sty::entries(one["style"]), QStringList{"LvA:1:2"});
        VYRQListView fromOne;
        QVERIFY(fromOne.readJsonValue(&one));
        QCOMPARE(sty::names(vyrtest::impl(fromOne)->itemBackgrounds), (QStringList{"LvA", "LvA", "LvA", ""}));
        VYRQListView plain;
        // A named state is written even when Normal has no name.
        plain.setItemBackground(Disable, a);
        QCOMPARE(sty::entries(write(plain)["style"]), QStringList{"LvA:1:5"});
    }

    void attrKeys()
    {
        VYRQListView view;
        QCOMPARE(write(view)["attr"], parse(R"({"spacing": 1, "itemMode": 0})"));
        QVERIFY(sty::load(view, R"({"attr": {"itemHeight": 44, "itemWidth": 60, "spacing": 0, "itemMode": 2}})"));
        QCOMPARE(view.viewMode(), QListView::IconMode);
        QCOMPARE(write(view)["attr"], parse(R"({"itemHeight": 44, "itemWidth": 60, "itemMode": 1})"));

        // Spacing and row sizes at the ends of int reach QListView's row arithmetic
        // within a widget's sizes; shown rows then lay out without overflow.
        Rows r(3);
        QVERIFY(sty::load(r.view, R"({"attr": {"spacing": 2147483647, "itemHeight": 2147483647}})"));
        QCOMPARE(r.view.spacing(), QWIDGETSIZE_MAX);
        QCOMPARE(write(r.view)["attr"]["itemHeight"].asInt(), INT_MAX);
        QVERIFY(sty::load(r.view, R"({"attr": {"spacing": -2147483648}})"));
        QCOMPARE(r.view.spacing(), -QWIDGETSIZE_MAX);
        r.view.createComplete();
        QVERIFY(shown(r.view));
        r.view.viewport()->grab();
        QCOMPARE(r.view.itemDelegate()->sizeHint(QStyleOptionViewItem(), r.model.index(0, 0)).height(), 65535);
    }

    // Rows, their sizes and the spacing around them add up within int however many
    // rows the model holds: the rows give way as the model grows, the spacing first,
    // and what the page asked for is what it keeps.
    void rowsPlacedInInt_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<bool>("sizedByCallback");
        QTest::newRow("64 rows, spacing 16,777,215")
            << 64 << QByteArray(R"({"itemHeight": 30, "spacing": 16777215, "itemMode": 0})") << false;
        QTest::newRow("33,000 rows of 65,535")
            << 33000 << QByteArray(R"({"itemHeight": 65535, "spacing": 1, "itemMode": 0})") << false;
        QTest::newRow("33,000 rows sized by the callback")
            << 33000 << QByteArray(R"({"itemHeight": 30, "spacing": 1, "itemMode": 0})") << true;
    }

    void rowsPlacedInInt()
    {
        QFETCH(int, rows);
        QFETCH(QByteArray, attr);
        QFETCH(bool, sizedByCallback);
        Rows r(0);
        QVERIFY(sty::load(r.view, "{\"attr\": " + attr + "}"));
        r.view.createComplete();
        if (sizedByCallback)
            r.view.setItemForSizeCallBack(tallRow);
        r.model.setRowCount(rows);
        QVERIFY(shown(r.view));
        views::checkRowsPlaced(r.view);
        QCOMPARE(write(r.view)["attr"], parse(attr));
    }

    void scrollBarSheets()
    {
        VYRQListView view;
        const QString vertical = view.verticalScrollBar()->styleSheet();
        view.setScrollbarSize(true, 5);
        QCOMPARE(view.verticalScrollBar()->styleSheet(), vertical);
        view.setScrollbarSize(false, 12);
        const QString both = QStringLiteral("QScrollBar::vertical{ width:12; } QScrollBar::horizontal{ height:12; }");
        QCOMPARE(view.verticalScrollBar()->styleSheet(), both);
        QCOMPARE(view.horizontalScrollBar()->styleSheet(), both);
        view.setScrollbarBtnSize(true, 6);
        QCOMPARE(view.horizontalScrollBar()->styleSheet(),
                 QStringLiteral("QScrollBar::add-line{ width:6px;width:6px; } "
                                "QScrollBar::sub-line{ width:6px;width:6px; }"));
        QCOMPARE(view.verticalScrollBar()->styleSheet(), both);
    }

    // A drag from the label of row 1 to the label of row 3 selects across the rows
    // between; the cached texts go when the model changes.
    void richTextSelection()
    {
        Rows r;
        for (int i = 0; i < r.model.rowCount(); ++i)
            r.model.setData(r.model.index(i, 0), QStringLiteral("Row text %1 with several words").arg(i));
        VYRQLabelEx* label = selectableLabel(r);
        r.view.setItemDisplayCallBack(&showRow);
        QVERIFY(shown(r.view));
        r.view.viewport()->grab();
        QCOMPARE(vyrtest::impl(r.view)->rowRichText.size(), r.model.rowCount());
        QVERIFY(vyrtest::impl(r.view)->rowRichText.value(3).contains(QStringLiteral("Row text 3")));

        r.press(1, 30);
        QMouseEvent move(QEvent::MouseMove, r.at(3, 40), r.view.viewport()->mapToGlobal(r.at(3, 40)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(r.view.viewport(), &move);
        mouse(*r.view.viewport(), QEvent::MouseButtonRelease, r.at(3, 40));
        const QImage image = r.view.viewport()->grab().toImage();
        auto rowArea = [](int row) { return QRect(0, row * 30, 200, 30); };
        QCOMPARE(highlighted(image, rowArea(0)), 0);
        QVERIFY(highlighted(image, rowArea(1)) > 0);
        QVERIFY(highlighted(image, rowArea(2)) > 0);
        QVERIFY(highlighted(image, rowArea(3)) > 0);
        QCOMPARE(highlighted(image, rowArea(4)), 0);
        QVERIFY(!vyrtest::impl(label)->hasSelection());

        r.model.setData(r.model.index(3, 0), QStringLiteral("changed"));
        QVERIFY(vyrtest::impl(r.view)->rowRichText.isEmpty());
        r.view.viewport()->grab();
        QVERIFY(vyrtest::impl(r.view)->rowRichText.value(3).contains(QStringLiteral("changed")));
        r.model.removeRows(0, 2);
        QVERIFY(vyrtest::impl(r.view)->rowRichText.isEmpty());

        // A new press drops the selection.
        r.press(4, 30);
        QCOMPARE(highlighted(r.view.viewport()->grab().toImage(), QRect(0, 0, 200, 180)), 0);

        // A drag within one row reads the row's text into the label once, not at each
        // move: the image it names, refused, is refused once.
        Rows same;
        selectableLabel(same)->setHtmlContent(QStringLiteral("Row text <img src=\"data:image/gif;base64,%1\"> with words")
                                                  .arg(QString::fromLatin1(hugeGif().toBase64())));
        QVERIFY(shown(same.view));
        same.view.viewport()->grab();
        QWindow* window = same.view.windowHandle();
        const auto inWindow = [&](int x) { return same.view.viewport()->mapTo(&same.view, same.at(1, x)); };
        WarningCapture capture;
        QTest::mousePress(window, Qt::LeftButton, {}, inWindow(20));
        for (const int x : {40, 60, 80, 100})
            QTest::mouseMove(window, inWindow(x));
        QTest::mouseRelease(window, Qt::LeftButton, {}, inWindow(100));
        QCOMPARE(capture.count(QStringLiteral("rich-text image")), 1);
    }

    void scrollBarChildrenBuildNoControl()
    {
        QWidget host;
        QWidget* built = createElementFromJson(parse(R"({"type": "templateList", "child": [
            {"type": "qtscrollbar", "style": [["LvB", 1, 0]]}, {"type": "qtcontainer", "name": "row"}]})"),
                                               &host);
        auto* view = qobject_cast<VYRQListView*>(built);
        QVERIFY(view);
        QCOMPARE(view->getitemTemplate() ? view->getitemTemplate()->objectName() : QString(), QStringLiteral("row"));
        QCOMPARE(view->findChildren<VYRQScrollBar*>().size(), 2);
        auto* bar = qobject_cast<VYRQScrollBar*>(view->verticalScrollBar());
        QCOMPARE(bar->getScrollbarBackground(CommonNormal).name, QStringLiteral("LvB"));
    }
};

QTEST_MAIN(tst_ListView)
#include "tst_listview.moc"
