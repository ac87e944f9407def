#include "../controls/controls_testutil.h"
#include "testaccess.h"
#include "views_testutil.h"

#include "VYRQContainer.h"
#include "VYRQGlobal_p.h"
#include "VYRQPushButton.h"
#include "VYRQScrollBar.h"
#include "VYRQTableView.h"
#include "VYRQTableViewImpl.h"

#include <QHeaderView>
#include <QPointer>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTemporaryDir>

using namespace ctl;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor gray(128, 128, 128);

QString barSheet(int size, int buttons)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%1; } "
                          "QScrollBar::add-line:vertical{ width:%2px;width:%2px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%2px;width:%2px;subcontrol-origin: margin; }")
        .arg(size)
        .arg(buttons);
}

QStringList fillNames(const VYRQTableView& t, const FillStyle& (VYRQTableView::*get)(CtrlState) const)
{
    QStringList out;
    for (int s = Normal; s <= Disable; ++s)
        out << (t.*get)(CtrlState(s)).name;
    return out;
}

// A shown table of `rows` x 3 empty cells, 100 x 20 each, under a 20-high header,
// with one colour per item state.
struct Grid {
    explicit Grid(int rows = 5)
        : model(rows, 3)
    {
        table.resize(320, 200);
        table.setModel(&model);
        for (int c = 0; c < 3; ++c)
            table.setColumnWidth(c, 100);
        table.horizontalHeader()->setFixedHeight(20);
        table.setItemBackground(Normal, sty::solid("N", red));
        table.setItemBackground(Hot, sty::solid("H", green));
        table.setItemBackground(Pressed, sty::solid("P", blue));
    }

    QPoint cell(int row, int column, int dx = 50, int dy = 10) const { return {column * 100 + dx, row * 20 + dy}; }
    QColor at(int row, int column = 1)
    {
        const QImage image = table.viewport()->grab().toImage();
        return image.pixelColor(cell(row, column, 90, 2));
    }
    void press(const QPoint& pos, QEvent::Type type = QEvent::MouseButtonPress)
    {
        mouse(*table.viewport(), type, pos);
    }
    // A move with no button held.
    void move(const QPoint& pos)
    {
        QMouseEvent event(QEvent::MouseMove, pos, table.viewport()->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(table.viewport(), &event);
    }
    void click(const QPoint& pos)
    {
        press(pos);
        press(pos, QEvent::MouseButtonRelease);
    }

    QStandardItemModel model;
    VYRQTableView table;
};

} // namespace

class tst_TableView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(m_dir.isValid());
        QVERIFY(sty::saveSolid(m_dir.filePath("dot.png"), {16, 16}, gray));
        QVERIFY(sty::saveSolid(m_dir.filePath("big.png"), {30, 30}, gray));
        sty::addFills({{"TvA", red}, {"TvB", green}, {"TvC", blue}});
        sty::addTexts({"TxA", "TxB"});
    }

    void styleSlotsRead_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("items");   // item backgrounds after reading
        QTest::addColumn<QStringList>("headers"); // header backgrounds after reading
        const QString a = QStringLiteral("TvA");
        QTest::newRow("2 fans out") << 2 << QStringList{a, a, a, a} << QStringList{"", "", "", ""};
        QTest::newRow("5 Disable only") << 5 << QStringList{"", "", "", a} << QStringList{"", "", "", ""};
        QTest::newRow("10 header fans out") << 10 << QStringList{"", "", "", ""} << QStringList{a, a, a, a};
        QTest::newRow("18 ignored") << 18 << QStringList{"", "", "", ""} << QStringList{"", "", "", ""};
    }

    void styleSlotsRead()
    {
        QFETCH(int, slot);
        QFETCH(QStringList, items);
        QFETCH(QStringList, headers);
        VYRQTableView table;
        const QString element = QStringLiteral(R"({"style": [["TvA", 1, %1], ["Missing", 1, 2]]})").arg(slot);
        QVERIFY(sty::load(table, element.toUtf8()));
        QCOMPARE(fillNames(table, &VYRQTableView::getItemBackground), items);
        QCOMPARE(fillNames(table, &VYRQTableView::getHeaderBackground), headers);
    }

    void styleCompaction_data()
    {
        QTest::addColumn<QStringList>("items"); // item background names by state, "" unnamed
        QTest::addColumn<QStringList>("written");
        QTest::newRow("one style") << QStringList{"TvA", "TvA", "TvA", "TvA"} << QStringList{"TvA:1:2"};
        QTest::newRow("named states differ")
            << QStringList{"TvA", "TvB", "", "TvC"} << QStringList{"TvA:1:2", "TvB:1:3", "TvC:1:5"};
        // An unnamed Normal must not swallow the named states on save.
        QTest::newRow("only Disable named") << QStringList{"", "", "", "TvC"} << QStringList{"TvC:1:5"};
        QTest::newRow("Hot and Pressed named") << QStringList{"", "TvB", "TvB", ""}
                                               << QStringList{"TvB:1:3", "TvB:1:4"};
    }

    // What is written reads back into the same item backgrounds.
    void styleCompaction()
    {
        QFETCH(QStringList, items);
        QFETCH(QStringList, written);
        VYRQTableView table;
        for (int s = Normal; s <= Disable; ++s) {
            FillStyle style;
            if (!items[s].isEmpty())
                QVERIFY(vyrGetFillStyle(items[s], style));
            table.setItemBackground(CtrlState(s), style);
        }
        const Json::Value out = write(table);
        QCOMPARE(sty::entries(out["style"]), written);
        VYRQTableView reread;
        Json::Value copy = out;
        QVERIFY(reread.readJsonValue(&copy));
        const QStringList named = fillNames(reread, &VYRQTableView::getItemBackground);
        for (int s = Normal; s <= Disable; ++s) {
            if (!items[s].isEmpty())
                QCOMPARE(named[s], items[s]);
        }
    }

    // Text styles tell their states apart by name.
    void textStylesByName()
    {
        VYRQTableView table;
        TextStyleDesc a;
        TextStyleDesc b;
        QVERIFY(vyrGetTextStyle("TxA", a) && vyrGetTextStyle("TxB", b));
        table.setHeaderTextStyle(AllStates, a);
        table.setItemTextStyle(AllStates, a);
        table.setItemTextStyle(Pressed, b);
        QCOMPARE(sty::entries(write(table)["style"]), (QStringList{"TxA:2:6", "TxA:2:7", "TxB:2:8", "TxA:2:9",
                                                                     "TxA:2:14"}));
    }

    void attrKeys_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QByteArray>("attr"); // the attr written back
        QTest::addColumn<int>("headerHeight"); // -1: left as it was
        QTest::newRow("defaults") << QByteArray("{}")
                                  << QByteArray(R"({"itemHeight": 20, "checkedImg": "IDB_CHECKED",
                                                    "uncheckImg": "IDB_UNCHECK"})")
                                  << -1;
        QTest::newRow("height, check column, multi")
            << QByteArray(R"({"attr": {"itemHeight": 32, "checkstyle": 1, "multiselect": 1, "checkedImg": ""}})")
            << QByteArray(R"({"itemHeight": 32, "checkstyle": 1, "multiselect": 1, "uncheckImg": "IDB_UNCHECK"})")
            << 32;
        // A height of 0 or less changes neither the rows nor the header.
        QTest::newRow("negative height") << QByteArray(R"({"attr": {"itemHeight": -7, "multiselect": 0}})")
                                     << QByteArray(R"({"itemHeight": 20, "checkedImg": "IDB_CHECKED",
                                                       "uncheckImg": "IDB_UNCHECK"})")
                                     << -1;
    }

    void attrKeys()
    {
        QFETCH(QByteArray, element);
        QFETCH(QByteArray, attr);
        QFETCH(int, headerHeight);
        QStandardItemModel model(3, 2);
        VYRQTableView table;
        table.setModel(&model);
        QVERIFY(sty::load(table, element));
        QCOMPARE(write(table)["attr"], parse(attr));
        QCOMPARE(table.rowHeight(1), table.getItemHeight());
        QHeaderView* header = table.horizontalHeader();
        if (headerHeight < 0) {
            QCOMPARE(header->maximumHeight(), QWIDGETSIZE_MAX);
        } else {
            QCOMPARE(header->minimumHeight(), headerHeight);
            QCOMPARE(header->maximumHeight(), headerHeight);
            QVERIFY(shown(table));
            QCOMPARE(header->height(), headerHeight);
            QCOMPARE(table.viewport()->y(), headerHeight);
        }
    }

    void scrollBarChildren()
    {
        VYRQTableView table;
        auto* vbar = qobject_cast<VYRQScrollBar*>(table.verticalScrollBar());
        auto* hbar = qobject_cast<VYRQScrollBar*>(table.horizontalScrollBar());
        QVERIFY(vbar && hbar);
        table.setScrollbarSize(false, 11);
        QCOMPARE(vbar->styleSheet(), barSheet(11, 23));
        QVERIFY(sty::load(table, R"({"child": [
            {"type": "qtscrollbar", "attr": {"size": 9}, "w": 12, "style": [["TvA", 1, 0], ["TvB", 1, 11]]},
            {"type": "myscrollbar", "attr": {"hor": true, "thumbicon": "t.png"}, "style": [["TvC", 1, 2]]},
            {"type": "qtlabel", "w": 99}]})"));
        // The last bar element sets the thickness of both; "size" stays for both.
        QCOMPARE(vbar->styleSheet(), barSheet(0, 9));
        QCOMPARE(hbar->styleSheet(), barSheet(0, 9));
        QCOMPARE(vbar->getScrollbarBackground(CommonNormal).name, QStringLiteral("TvA"));
        QCOMPARE(vbar->getScrollbarThumb(Hot).name, QStringLiteral("TvB"));
        QCOMPARE(vbar->getScrollbarThumb(Normal).name, QString());
        QCOMPARE(hbar->getScrollbarUpButton(Disable).name, QStringLiteral("TvC"));
        QCOMPARE(hbar->getScrollbarThumbIcon(), QStringLiteral("t.png"));
        vyrEnableSerializeChild(true);
        const bool writesChildren = write(table).isMember("child");
        vyrEnableSerializeChild(false);
        QVERIFY(!writesChildren);

        // The page loader leaves the bar elements to the table and knows the alias.
        QWidget host;
        QWidget* built = createElementFromJson(parse(R"({"type": "datagrid", "child": [{"type": "qtscrollbar"}]})"),
                                               &host);
        QVERIFY(qobject_cast<VYRQTableView*>(built));
        QCOMPARE(built->findChildren<VYRQScrollBar*>().size(), 2);
    }

    // Selected wins over hovered; the hover row follows moves over cells.
    void statePriority()
    {
        Grid g;
        QVERIFY(shown(g.table));
        QCOMPARE(g.at(1), red);
        g.move(g.cell(1, 2));
        QCOMPARE(vyrtest::impl(g.table)->hoverRow, 1);
        QCOMPARE(g.at(1, 0), green);
        QCOMPARE(g.at(2), red);
        g.table.selectRow(1);
        QCOMPARE(g.at(1), blue);
        g.table.selectRow(2);
        QCOMPARE(g.at(1), green);
        // Moves over empty viewport keep the row; leaving the table drops it.
        g.move(QPoint(310, 190));
        QCOMPARE(vyrtest::impl(g.table)->hoverRow, 1);
        hover(g.table, false);
        QCOMPARE(vyrtest::impl(g.table)->hoverRow, -1);
        QCOMPARE(g.at(1), red);
    }

    // Model changes under a hovered row leave no row index behind.
    void hoverDroppedByModelChanges_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("rows removed") << 0;
        QTest::newRow("model reset") << 1;
        QTest::newRow("model replaced") << 2;
        QTest::newRow("model deleted") << 3;
    }

    void hoverDroppedByModelChanges()
    {
        QFETCH(int, change);
        Grid g;
        auto* own = new QStandardItemModel(5, 3);
        g.table.setModel(own);
        QVERIFY(shown(g.table));
        g.move(g.cell(3, 1));
        QCOMPARE(vyrtest::impl(g.table)->hoverRow, 3);
        QStandardItemModel other(2, 3);
        switch (change) {
        case 0: own->removeRows(1, 3); break;
        case 1: own->clear(); break;
        case 2: g.table.setModel(&other); break;
        default: delete own; own = nullptr; break;
        }
        QCOMPARE(vyrtest::impl(g.table)->hoverRow, -1);
        g.table.viewport()->grab();
        delete own;
    }

    // One click toggles once and stores a real check state; the check column off,
    // presses change nothing.
    void checkToggle_data()
    {
        QTest::addColumn<bool>("checkColumn");
        QTest::addColumn<bool>("checkable"); // an item the base delegate would toggle too
        QTest::newRow("plain item") << true << false;
        QTest::newRow("checkable item") << true << true;
        QTest::newRow("check column off") << false << false;
    }

    void checkToggle()
    {
        QFETCH(bool, checkColumn);
        QFETCH(bool, checkable);
        Grid g;
        g.model.setItem(1, 0, new QStandardItem(QStringLiteral("x")));
        g.model.item(1, 0)->setCheckable(checkable);
        g.table.setCheckstyle(checkColumn);
        QVERIFY(shown(g.table));
        const QPoint icon = g.cell(1, 0, 9);
        const Qt::CheckState first = checkColumn ? Qt::Checked : Qt::Unchecked;
        g.click(icon);
        QCOMPARE(g.model.item(1, 0)->checkState(), first);
        QCOMPARE(g.model.item(1, 0)->data(Qt::CheckStateRole).toInt(), checkColumn ? int(first) : 0);
        g.click(icon);
        QCOMPARE(g.model.item(1, 0)->checkState(), Qt::Unchecked);
        // Outside the icon a click selects the row and toggles nothing.
        g.click(g.cell(1, 0, 60));
        QCOMPARE(g.model.item(1, 0)->checkState(), Qt::Unchecked);
        QCOMPARE(g.table.selectedRows(), QList<int>{1});
    }

    void headerSelectAll()
    {
        Grid g;
        QSignalSpy spy(&g.table, &VYRQTableView::headerCheckedChanged);
        QVERIFY(shown(g.table));
        QWidget* header = g.table.horizontalHeader()->viewport();
        mouse(*header, QEvent::MouseButtonPress, {10, 10});
        QCOMPARE(spy.count(), 0);
        g.table.setCheckstyle(true);
        mouse(*header, QEvent::MouseButtonPress, {10, 10});
        mouse(*header, QEvent::MouseButtonPress, {60, 10}); // beside the icon
        mouse(*header, QEvent::MouseButtonPress, {10, 10});
        QCOMPARE(QList<QVariantList>(spy), (QList<QVariantList>{{true}, {false}}));
        QCOMPARE(g.model.item(0, 0), nullptr);
    }

    void hostedControls()
    {
        Grid g;
        QPointer<VYRQContainer> host = new VYRQContainer;
        host->setChildLayout(VYRQContainer::Horizontal);
        host->setChildPadding(50, 0, 0, 0);
        host->setBackground(sty::solid(QString(), gray));
        auto* button = new VYRQPushButton;
        button->setObjectName(QStringLiteral("ack"));
        button->setBackground(AllStates, sty::solid(QString(), green));
        host->addChildWidget(button, 1);
        g.table.setColumnWidget(2, host);
        QVERIFY(host->isHidden());
        QCOMPARE(g.table.getColumnWidget(2), host.data());
        QSignalSpy spy(&g.table, &VYRQTableView::customControlClicked);
        QVERIFY(shown(g.table));

        const QImage image = g.table.viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(g.cell(3, 2, 20)), gray);
        QCOMPARE(image.pixelColor(g.cell(3, 2, 80)), green);
        QCOMPARE(g.at(4, 2), green);
        g.press(g.cell(3, 2, 20));
        QCOMPARE(spy.count(), 0);
        g.press(g.cell(3, 2, 80));
        QCOMPARE(QList<QVariantList>(spy), (QList<QVariantList>{{3, QStringLiteral("ack")}}));

        // A deleted container is neither painted nor hit.
        delete host;
        QCOMPARE(g.table.getColumnWidget(2), nullptr);
        QCOMPARE(g.at(4, 2), red);
        g.press(g.cell(3, 2, 80));
        QCOMPARE(spy.count(), 1);
        g.table.setColumnWidget(2, nullptr);
    }

    // A receiver that replaces the model does not leave the click running on the old one.
    void hostedClickReplacingModel()
    {
        Grid g;
        VYRQContainer host;
        host.setChildLayout(VYRQContainer::Horizontal);
        host.addChildWidget(new VYRQPushButton, 1);
        g.table.setColumnWidget(1, &host);
        auto* own = new QStandardItemModel(4, 3);
        g.table.setModel(own);
        QVERIFY(shown(g.table));
        connect(&g.table, &VYRQTableView::customControlClicked, &g.table, [&] {
            g.table.setModel(&g.model);
            delete own;
        });
        g.click(g.cell(2, 1));
        QCOMPARE(g.table.model(), &g.model);
    }

    // Backgrounds, the header fill and per-cell images placed by the text alignment.
    void cellPainting()
    {
        Grid g;
        g.table.setBackground(CommonNormal, sty::solid(QString(), red));
        g.table.setHeaderBackground(AllStates, sty::solid(QString(), blue));
        FillStyle undrawn;
        undrawn.draw = false;
        g.table.setItemBackground(AllStates, undrawn);
        const QString dot = m_dir.filePath("dot.png");
        auto* left = new QStandardItem;
        left->setData(dot, VYRQTableViewImpl::imageRole);
        g.model.setItem(1, 1, left);
        auto* centred = new QStandardItem;
        centred->setData(dot, VYRQTableViewImpl::imageRole);
        centred->setData(int(Qt::AlignCenter), Qt::TextAlignmentRole);
        g.model.setItem(2, 1, centred);
        auto* missing = new QStandardItem;
        missing->setData(QStringLiteral("no-such.png"), VYRQTableViewImpl::imageRole);
        g.model.setItem(3, 1, missing);
        QVERIFY(shown(g.table));
        QCOMPARE(g.table.horizontalHeader()->grab().toImage().pixelColor(150, 10), blue);

        const QImage image = g.table.viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(g.cell(0, 1)), red);
        // Near alignment: centred in a box 10 wider than the image at the inner left
        // edge (x 2): the 16 pixels from x 7.
        QCOMPARE(image.pixelColor(g.cell(1, 1, 6)), red);
        QCOMPARE(image.pixelColor(g.cell(1, 1, 7)), gray);
        QCOMPARE(image.pixelColor(g.cell(1, 1, 22)), gray);
        QCOMPARE(image.pixelColor(g.cell(1, 1, 23)), red);
        // Centred, no text: the image in the middle of the 96-pixel inner width.
        QCOMPARE(image.pixelColor(g.cell(2, 1, 40)), red);
        QCOMPARE(image.pixelColor(g.cell(2, 1, 41)), gray);
        QCOMPARE(image.pixelColor(g.cell(2, 1, 56)), gray);
        QCOMPARE(image.pixelColor(g.cell(2, 1, 57)), red);
        QCOMPARE(image.pixelColor(g.cell(3, 1, 12)), red);
    }

    void checkImageSize()
    {
        VYRQTableView table;
        QCOMPARE(vyrtest::impl(table)->checkImageSize, QSize(24, 24));
        table.setCheckBoxImage(true, m_dir.filePath("big.png"));
        QCOMPARE(vyrtest::impl(table)->checkImageSize, QSize(30, 30));
        table.setCheckBoxImage(false, QStringLiteral("no-such.png"));
        QCOMPARE(vyrtest::impl(table)->checkImageSize, QSize(30, 30));
        table.setCheckedImage(QStringLiteral("only-name"));
        QCOMPARE(vyrtest::impl(table)->checkImageSize, QSize(30, 30));
    }

    // The rows add up within int however many the model holds, however they came:
    // with the model, inserted later or by a reset. Their height gives way as the
    // model grows and comes back as it shrinks.
    void rowsPlacedInInt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("33,000 rows of 65,535 with the model") << "model";
        QTest::newRow("33,000 rows of 65,535 inserted") << "inserted";
        QTest::newRow("33,000 rows of 65,535 by a reset") << "reset";
    }

    void rowsPlacedInInt()
    {
        QFETCH(QString, how);
        const int rows = 33000;
        QStringList texts;
        for (int i = 0; i < rows; ++i)
            texts << QString::number(i);
        QStringListModel model(how == "model" ? texts : QStringList{"a"});
        VYRQTableView table;
        table.resize(200, 300);
        table.setItemHeight(65535);
        table.setModel(&model);
        QVERIFY(shown(table));
        if (how == "inserted") {
            QVERIFY(model.insertRows(1, rows - 1));
        } else if (how == "reset") {
            model.setStringList(texts);
        }
        QCOMPARE(table.verticalHeader()->count(), rows);
        views::checkRowsPlaced(table);
        QCOMPARE(table.getItemHeight(), 65535);
        QCOMPARE(write(table)["attr"]["itemHeight"].asInt(), 65535);

        QVERIFY(model.removeRows(2, rows - 2));
        QCOMPARE(table.rowHeight(1), 65535);
    }

    void selectedRowsOnce()
    {
        Grid g;
        g.table.setSelectionBehavior(QAbstractItemView::SelectItems);
        g.table.setSelectionMode(QAbstractItemView::MultiSelection);
        QVERIFY(g.table.selectedRows().isEmpty());
        for (int c = 0; c < 3; ++c)
            g.table.selectionModel()->select(g.model.index(2, c), QItemSelectionModel::Select);
        g.table.selectionModel()->select(g.model.index(4, 1), QItemSelectionModel::Select);
        QList<int> rows = g.table.selectedRows();
        std::sort(rows.begin(), rows.end());
        QCOMPARE(rows, (QList<int>{2, 4}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_TableView)
#include "tst_tableview.moc"
