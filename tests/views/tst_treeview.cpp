#include "../controls/controls_testutil.h"
#include "testaccess.h"
#include "views_testutil.h"

#include "VYRQGlobal_p.h"
#include "VYRQTreeView.h"
#include "VYRQTreeViewImpl.h"

#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>

using namespace ctl;

namespace {

const QColor red(255, 0, 0);
const QColor gray(128, 128, 128);

QIcon solidIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(gray);
    return QIcon(pixmap);
}

QString barSheet(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%1; } ").arg(size);
}

} // namespace

class tst_TreeView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"TrA", red}, {"TrB", gray}});
        sty::addTexts({"TtA"});
    }

    // 0 is the default and gives rows of 20; it is written, 20 is not.
    void itemHeight()
    {
        QStandardItemModel model;
        model.appendRow(new QStandardItem(QStringLiteral("a")));
        model.appendRow(new QStandardItem(QStringLiteral("b")));
        VYRQTreeView tree;
        tree.setModel(&model);
        tree.resize(200, 200);
        QVERIFY(shown(tree));
        QCOMPARE(tree.getItemHeight(), 0);
        QCOMPARE(tree.visualRect(model.index(1, 0)).top(), 20);
        QCOMPARE(write(tree)["attr"], parse(R"({"itemHeight": 0})"));
        tree.setItemHeight(20);
        QVERIFY(!write(tree).isMember("attr"));
        QVERIFY(sty::load(tree, R"({"attr": {"itemHeight": 33}})"));
        QCOMPARE(tree.getItemHeight(), 33);

        // A stored height far beyond any screen is kept, but rows stop at 65535: the
        // style paints a parent's branch arrow through a pixmap as tall as the row.
        model.item(0)->appendRow(new QStandardItem(QStringLiteral("child")));
        QVERIFY(sty::load(tree, R"({"attr": {"itemHeight": 1072741823}})"));
        tree.doItemsLayout();
        tree.viewport()->grab();
        QCOMPARE(tree.visualRect(model.index(1, 0)).top(), 65535);
        QCOMPARE(write(tree)["attr"]["itemHeight"].asInt(), 1072741823);
    }

    // The rows the tree shows add up within int however many there are: their height
    // gives way as the model grows or a row with many children is expanded.
    void rowsPlacedInInt_data()
    {
        QTest::addColumn<bool>("nested");
        QTest::newRow("33,000 rows of 65,535") << false;
        QTest::newRow("33,000 rows of 65,535 under an expanded row") << true;
    }

    void rowsPlacedInInt()
    {
        QFETCH(bool, nested);
        QStandardItemModel model;
        QStandardItem* parent = model.invisibleRootItem();
        if (nested) {
            parent = new QStandardItem(QStringLiteral("parent"));
            model.appendRow(parent);
        }
        VYRQTreeView tree;
        tree.resize(200, 300);
        tree.setItemHeight(65535);
        tree.setModel(&model);
        QVERIFY(shown(tree));
        QList<QStandardItem*> rows;
        for (int i = 0; i < 33000; ++i)
            rows.append(new QStandardItem(QString::number(i)));
        parent->appendRows(rows);
        if (nested)
            tree.expandAll();
        views::checkRowsPlaced(tree, parent->index());
        QCOMPARE(tree.getItemHeight(), 65535);
        QCOMPARE(write(tree)["attr"]["itemHeight"].asInt(), 65535);
    }

    // A 30-pixel row: a 24-pixel icon centred in 28 pixels, the text from x 28.
    void iconArea()
    {
        QStandardItemModel model;
        auto* item = new QStandardItem(QString());
        item->setIcon(solidIcon());
        model.appendRow(item);
        VYRQTreeView tree;
        tree.setModel(&model);
        tree.setItemBackground(AllStates, sty::solid(QString(), red));
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 80, 30);
        QImage image(80, 30, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            tree.itemDelegate()->paint(&painter, option, model.index(0, 0));
        }
        QCOMPARE(image.pixelColor(1, 15), red);
        QCOMPARE(image.pixelColor(2, 3), gray);
        QCOMPARE(image.pixelColor(25, 26), gray);
        QCOMPARE(image.pixelColor(26, 15), red);
    }

    // Every role counts: icons by their side, texts by their width (a tool tip too).
    void sizeHintWidth()
    {
        QStandardItemModel model;
        auto* item = new QStandardItem(QStringLiteral("Text"));
        model.appendRow(item);
        model.appendRow(new QStandardItem);
        VYRQTreeView tree;
        tree.setModel(&model);
        tree.setItemTextStyle(AllStates, sty::text(QString(), Qt::black));
        QAbstractItemDelegate* delegate = tree.itemDelegate();
        QStyleOptionViewItem option;
        const int text = VYRQWidgetBaseImpl::getTextSize(tree.getItemTextStyle(Normal), QStringLiteral("Text")).width();
        QCOMPARE(delegate->sizeHint(option, model.index(0, 0)), QSize(4 + text, 20));
        item->setIcon(solidIcon());
        item->setToolTip(QStringLiteral("Text"));
        QCOMPARE(delegate->sizeHint(option, model.index(0, 0)).width(), 4 + text + 4 + 16 + 4 + text);
        item->setData(QStringLiteral("path.svg"), Qt::DecorationRole);
        tree.setItemHeight(40);
        QCOMPARE(delegate->sizeHint(option, model.index(0, 0)), QSize(4 + text + 4 + 32 + 4 + text, 40));
        QCOMPARE(delegate->sizeHint(option, model.index(1, 0)).height(), 40);
    }

    void styles()
    {
        VYRQTreeView tree;
        QVERIFY(sty::load(tree, R"({"style": [["TrA", 1, 2], ["TrB", 1, 4], ["TtA", 2, 6], ["TrB", 1, 0]]})"));
        QCOMPARE(sty::names(vyrtest::impl(tree)->itemBackgrounds), (QStringList{"TrA", "TrA", "TrB", "TrA"}));
        QCOMPARE(sty::names(vyrtest::impl(tree)->itemTextStyles), (QStringList{"TtA", "TtA", "TtA", "TtA"}));
        QCOMPARE(sty::entries(write(tree)["style"]),
                 (QStringList{"TrB:1:0", "TrA:1:2", "TrA:1:3", "TrB:1:4", "TrA:1:5", "TtA:2:6"}));

        tree.setHeaderBgStyle(AllStates, sty::solid("TrB", gray));
        QCOMPARE(sty::names(vyrtest::impl(tree)->headerBackgrounds), (QStringList{"TrB", "TrB", "TrB", "TrB"}));
        QVERIFY(tree.header()->isHidden());

        // A named state is written even when Normal has no name.
        VYRQTreeView other;
        other.setItemBackground(Hot, sty::solid("TrB", gray));
        QCOMPARE(sty::entries(write(other)["style"]), QStringList{"TrB:1:3"});
    }

    void scrollBarSheets()
    {
        VYRQTreeView tree;
        tree.setScrollbarSize(true, 10);
        QCOMPARE(tree.verticalScrollBar()->styleSheet(), barSheet(10));
        tree.setScrollbarSize(false, 11);
        QCOMPARE(tree.horizontalScrollBar()->styleSheet(), barSheet(11));
        QVERIFY(sty::load(tree, R"({"child": [{"type": "qtscrollbar", "attr": {"hor": true, "size": 3}, "h": 7}]})"));
        QCOMPARE(tree.verticalScrollBar()->styleSheet(), barSheet(7));
        QCOMPARE(vyrtest::impl(tree)->scrollbarButtonSize, 3);
    }
};

QTEST_MAIN(tst_TreeView)
#include "tst_treeview.moc"
