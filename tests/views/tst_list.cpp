#include "../controls/controls_testutil.h"
#include "testaccess.h"
#include "views_testutil.h"

#include "VYRQGlobal_p.h"
#include "VYRQList.h"
#include "VYRQListImpl.h"
#include "VYRQListItemDelegate.h"
#include "VYRQListView.h"
#include "VYRQPropertyList.h"
#include "VYRQTableView.h"
#include "VYRQTreeView.h"
#include "VYRQScrollBar.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

using namespace ctl;

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor gray(128, 128, 128);

// One item painted by the list's delegate into a white image of the given size.
QImage paintItem(VYRQList& list, int row, QStyle::State state, const QSize& size)
{
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.state = state;
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    list.itemDelegate()->paint(&painter, option, list.model()->index(row, 0));
    return image;
}

int hintHeight(VYRQList& list)
{
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 50, 10);
    return list.itemDelegate()->sizeHint(option, list.model()->index(0, 0)).height();
}

} // namespace

class tst_List : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"LsA", red}, {"LsB", green}});
        sty::addTexts({"LtA"});
    }

    // Mouse-over wins over selection in the list.
    void statePriority_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("plain") << int(QStyle::State_None) << red;
        QTest::newRow("selected") << int(QStyle::State_Selected) << blue;
        QTest::newRow("hovered") << int(QStyle::State_MouseOver) << green;
        QTest::newRow("hovered and selected") << int(QStyle::State_MouseOver | QStyle::State_Selected) << green;
    }

    void statePriority()
    {
        QFETCH(int, state);
        QFETCH(QColor, colour);
        VYRQList list;
        list.addItem(QString());
        list.setItemBackground(Normal, sty::solid("N", red));
        list.setItemBackground(Hot, sty::solid("H", green));
        list.setItemBackground(Pressed, sty::solid("P", blue));
        QCOMPARE(paintItem(list, 0, QStyle::State(state), {60, 20}).pixelColor(40, 10), colour);
    }

    void itemHeightAndDecoration_data()
    {
        QTest::addColumn<int>("itemHeight");
        QTest::addColumn<int>("rowHeight");
        QTest::addColumn<int>("side");
        QTest::newRow("0 gives 20") << 0 << 20 << 16;
        QTest::newRow("negative gives 20") << -6 << 20 << 16;
        QTest::newRow("30") << 30 << 30 << 24;
    }

    // The size hint's height, and the decoration icon's side for that row height: the
    // icon is centred in a box 4 wider than itself.
    void itemHeightAndDecoration()
    {
        QFETCH(int, itemHeight);
        QFETCH(int, rowHeight);
        QFETCH(int, side);
        VYRQList list;
        QPixmap pixmap(64, 64);
        pixmap.fill(gray);
        auto* item = new QListWidgetItem(&list);
        item->setData(Qt::DecorationRole, QIcon(pixmap));
        list.setItemBackground(AllStates, sty::solid(QString(), red));
        list.setItemHeight(itemHeight);
        QCOMPARE(hintHeight(list), rowHeight);
        const QImage image = paintItem(list, 0, QStyle::State_None, {80, rowHeight});
        const int top = (rowHeight - side) / 2;
        QCOMPARE(image.pixelColor(1, rowHeight / 2), red);
        QCOMPARE(image.pixelColor(2, top), gray);
        QCOMPARE(image.pixelColor(1 + side, top + side - 1), gray);
        QCOMPARE(image.pixelColor(2 + side, rowHeight / 2), red);
    }

    // Rows, their height and the spacing around them add up within int however many
    // rows the list holds: the rows give way as the list grows, the spacing first.
    void rowsPlacedInInt_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("itemHeight");
        QTest::addColumn<int>("spacing");
        QTest::newRow("33,000 rows of 65,535") << 33000 << 65535 << 0;
        QTest::newRow("64 rows, spacing 16,777,215") << 64 << 20 << QWIDGETSIZE_MAX;
    }

    void rowsPlacedInInt()
    {
        QFETCH(int, rows);
        QFETCH(int, itemHeight);
        QFETCH(int, spacing);
        VYRQList list;
        list.resize(200, 300);
        list.setItemHeight(itemHeight);
        list.setSpacing(spacing);
        QStringList texts;
        for (int i = 0; i < rows; ++i)
            texts << QString::number(i);
        list.addItems(texts);
        QVERIFY(shown(list));
        views::checkRowsPlaced(list);
        QCOMPARE(list.getItemHeight(), itemHeight);
        // A few rows have all the room they ask for.
        list.clear();
        list.addItems({"a", "b"});
        list.doItemsLayout();
        list.scrollToTop();
        QCOMPARE(list.spacing(), spacing);
        QCOMPARE(list.visualItemRect(list.item(1)).top(), 3 * spacing + itemHeight);
    }

    void attrKeys_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QByteArray>("attr"); // written back; "null" for none
        QTest::addColumn<bool>("multi");
        QTest::newRow("defaults") << QByteArray("{}") << QByteArray("null") << false;
        QTest::newRow("multi, 40 high") << QByteArray(R"({"attr": {"multiselect": 1, "itemHeight": 40}})")
                                        << QByteArray(R"({"multiselect": 1, "itemHeight": 40})") << true;
        QTest::newRow("zero height kept") << QByteArray(R"({"attr": {"itemHeight": 0}})")
                                          << QByteArray(R"({"itemHeight": 0})") << false;
    }

    void attrKeys()
    {
        QFETCH(QByteArray, element);
        QFETCH(QByteArray, attr);
        QFETCH(bool, multi);
        VYRQList list;
        QVERIFY(sty::load(list, element));
        QCOMPARE(list.getIsMultiSelected(), multi);
        QCOMPARE(write(list)["attr"], parse(attr));
        // Extended selection counts as multiple but is not written as such.
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
        QVERIFY(list.getIsMultiSelected());
        QVERIFY(!write(list)["attr"].isMember("multiselect"));
    }

    void styleSlots()
    {
        VYRQList list;
        QVERIFY(sty::load(list, R"({"style": [["LsA", 1, 0], ["LsA", 1, 2], ["LsB", 1, 5], ["LtA", 2, 7],
                                              ["LsB", 1, 10]]})"));
        QCOMPARE(list.getBackground(CommonNormal).name, QStringLiteral("LsA"));
        QCOMPARE(sty::names(vyrtest::impl(list)->itemBackgrounds), (QStringList{"LsA", "LsA", "LsA", "LsB"}));
        QCOMPARE(sty::names(vyrtest::impl(list)->itemTextStyles), (QStringList{"", "LtA", "", ""}));
        QCOMPARE(sty::entries(write(list)["style"]),
                 (QStringList{"LsA:1:0", "LsA:1:2", "LsA:1:3", "LsA:1:4", "LsB:1:5", "LtA:2:7"}));

        // A named state is written even when Normal has no name.
        VYRQList other;
        other.setItemBackground(Disable, sty::solid("LsB", green));
        QCOMPARE(sty::entries(write(other)["style"]), QStringList{"LsB:1:5"});
    }

    // The thickness of both bars also gives their button size; "size" does nothing.
    void scrollBars()
    {
        VYRQList list;
        QVERIFY(sty::load(list, R"({"child": [{"type": "qtscrollbar", "attr": {"size": 4}, "w": 9,
                                              "style": [["LsA", 1, 10]]}]})"));
        auto* vbar = qobject_cast<VYRQScrollBar*>(list.verticalScrollBar());
        QVERIFY(vbar);
        QCOMPARE(list.horizontalScrollBar()->styleSheet(),
                 QStringLiteral("QScrollBar::vertical{ width:9; } QScrollBar::horizontal{ height:9; } "
                                "QScrollBar::add-line:vertical{ width:9px;width:9px; subcontrol-origin: margin;} "
                                "QScrollBar::sub-line:vertical{ width:9px;width:9px;subcontrol-origin: margin; }"));
        QCOMPARE(vbar->getScrollbarThumb(Disable).name, QStringLiteral("LsA"));
    }

    // Every item-view type key and alias builds its view, with the view's record.
    void typeKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("typeKey");
        QTest::newRow("qtdatagrid") << "qtdatagrid" << "VYRQTableView" << "qtdatagrid";
        QTest::newRow("datagrid") << "datagrid" << "VYRQTableView" << "qtdatagrid";
        QTest::newRow("qtlist") << "qtlist" << "VYRQList" << "qtlist";
        QTest::newRow("list") << "list" << "VYRQList" << "qtlist";
        QTest::newRow("qtlistview") << "qtlistview" << "VYRQListView" << "qtlistview";
        QTest::newRow("listview") << "listview" << "VYRQListView" << "qtlistview";
        QTest::newRow("templateList") << "templateList" << "VYRQListView" << "qtlistview";
        QTest::newRow("qttree") << "qttree" << "VYRQTreeView" << "qttree";
        QTest::newRow("tree") << "tree" << "VYRQTreeView" << "qttree";
        QTest::newRow("qtproperty") << "qtproperty" << "VYRQPropertyList" << "qtproperty";
        QTest::newRow("property") << "property" << "VYRQPropertyList" << "qtproperty";
    }

    void typeKeys()
    {
        QFETCH(QString, key);
        QFETCH(QString, className);
        QFETCH(QString, typeKey);
        QScopedPointer<QWidget> built(createControlByType(key.toUtf8().constData(), nullptr));
        QVERIFY(built);
        QCOMPARE(QString::fromLatin1(built->metaObject()->className()), className);
        QCOMPARE(dynamic_cast<IVYRQWidgetBase*>(built.data())->getTypeName(), typeKey);
        const ControlInfo* info = vyrGetControlInfo(typeKey);
        QVERIFY(info);
        QCOMPARE(QString::fromStdString(info->typeKey), typeKey);
    }

    // Demo rows appear only under the designer's emulator, and leave the model alone otherwise.
    void demoContent_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");   // data of the last row's last column
        QTest::newRow("list") << "qtlist" << 20 << "item 0" << "item 19";
        QTest::newRow("table") << "qtdatagrid" << 100 << "" << "item 99 4";
        QTest::newRow("tree") << "qttree" << 100 << "item1" << "";
    }

    void demoContent()
    {
        QFETCH(QString, key);
        QScopedPointer<QWidget> built(createControlByType(key.toUtf8().constData(), nullptr));
        auto* view = qobject_cast<QAbstractItemView*>(built.data());
        auto* control = dynamic_cast<IVYRQWidgetBase*>(built.data());
        QVERIFY(view && control);
        QAbstractItemModel* before = view->model();
        const int rowsBefore = before ? before->rowCount() : 0;
        control->createComplete();
        QCOMPARE(view->model(), before);
        QCOMPARE(before ? before->rowCount() : 0, rowsBefore);
        vyr::setQtEmulator(true);
        control->createComplete();
        vyr::setQtEmulator(false);
        QAbstractItemModel* model = view->model();
        QTEST(model->rowCount(), "rows");
        QFETCH(QString, first);
        if (!first.isEmpty())
            QCOMPARE(model->index(0, 0).data().toString(), first);
        QFETCH(QString, last);
        if (!last.isEmpty())
            QCOMPARE(model->index(model->rowCount() - 1, model->columnCount() - 1).data().toString(), last);
    }
};

QTEST_MAIN(tst_List)
#include "tst_list.moc"
