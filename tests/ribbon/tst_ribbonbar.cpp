#include "../controls/controls_testutil.h"
#include "testaccess.h"

#include "VYRQContainer.h"
#include "VYRQRibbonBar.h"
#include "VYRQRibbonBarImpl.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonContextGroup.h"
#include "VYRQRibbonGallery.h"
#include "VYRQRibbonGroup.h"
#include "VYRQRibbonMenu.h"
#include "VYRQRibbonPage.h"

#include <QAction>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>

using namespace ctl;

namespace {

QAction* command(QObject* owner, const QString& id)
{
    auto* action = new QAction(id, owner);
    action->setObjectName(id);
    return action;
}

QStringList pageIds(const VYRQRibbonBar& bar)
{
    QStringList ids;
    for (int i = 0; i < bar.pageCount(); ++i)
        ids << bar.pageAt(i)->pageId();
    return ids;
}

// Names of the tab buttons shown, in order.
QStringList tabs(VYRQRibbonBar& bar)
{
    QStringList names;
    for (VYRQRibbonButton* tab : vyrtest::impl(bar)->tabButtons)
        if (tab)
            names << tab->objectName();
    return names;
}

VYRQRibbonButton* tabOf(VYRQRibbonBar& bar, const QString& pageId)
{
    for (VYRQRibbonButton* tab : vyrtest::impl(bar)->tabButtons)
        if (tab && tab->objectName() == "ribbonTab_" + pageId)
            return tab;
    return nullptr;
}

void click(QAbstractButton* button)
{
    mouse(*button, QEvent::MouseButtonPress, QPoint(2, 2));
    mouse(*button, QEvent::MouseButtonRelease, QPoint(2, 2));
}

} // namespace

class tst_RibbonBar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        qRegisterMetaType<QAction*>();
    }

    // A group takes the bar's row count and page height; outside a page, 3 rows and 92.
    void groupItems()
    {
        VYRQRibbonGroup loose("g", "Group", nullptr);
        QVERIFY(!loose.addAction(nullptr, VYR_RIBBON_ITEM_SIZE::large, VYR_RIBBON_POPUP_MODE::none, nullptr));
        QVERIFY(!loose.addWidget(nullptr, VYR_RIBBON_ITEM_SIZE::small));
        QCOMPARE(loose.sizeHint(), QSize(80, 92));
        loose.addSeparator();
        QCOMPARE(loose.items().first().kind, QStringLiteral("separator"));

        VYRQRibbonBar bar;
        bar.setLayoutMode(VYR_RIBBON_LAYOUT_MODE::compact);
        VYRQRibbonGroup* onBar = bar.addPage("p", "")->addGroup("g", "");
        for (int i = 0; i < 3; ++i)
            onBar->addSmallAction(command(&bar, QString::number(i)));
        QCOMPARE(onBar->sizeHint().height(), 96 - 8);
        // Two rows: the third item opens a second column.
        QCOMPARE(onBar->items()[2].widget->x(), onBar->items()[0].widget->geometry().right() + 5);
    }

    // Re-adding an action after clearItems, or twice, still reports it once.
    void groupReportsEachTriggerOnce()
    {
        VYRQRibbonGroup group("g", "", nullptr);
        QAction action("a");
        QSignalSpy spy(&group, &VYRQRibbonGroup::actionTriggered);
        group.addLargeAction(&action);
        group.addLargeAction(&action);
        action.trigger();
        QCOMPARE(spy.count(), 1);
        group.clearItems();
        QCOMPARE(group.itemCount(), 0);
        action.trigger();
        QCOMPARE(spy.count(), 1);
        group.addSmallAction(&action);
        action.trigger();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.last().at(0).value<QAction*>(), &action);
    }

    void pageGroups()
    {
        VYRQRibbonPage page("p", "", nullptr);
        page.resize(300, 96);
        page.addGroup("b", "");
        page.insertGroup(-5, "a", "");
        page.insertGroup(99, "c", "");
        QStringList ids;
        for (int i = 0; i < page.groupCount(); ++i)
            ids << page.groupAt(i)->groupId();
        QCOMPARE(ids, (QStringList{"a", "b", "c"}));
        QCOMPARE(page.groupById("c"), page.groupAt(2));
        QVERIFY(!page.groupAt(3) && !page.groupById("x"));

        VYRQRibbonPage other("o", "", nullptr);
        QVERIFY(!page.removeGroup(other.addGroup("x", "")));
        QCOMPARE(other.groupCount(), 1);
        QVERIFY(page.removeGroup(page.groupAt(1)));
        QCOMPARE(page.groupCount(), 2);

        // 4 + 2 * 84 + 4 = 176 fits in 300; with a gallery group of 230 it does not.
        QVERIFY(!page.isOverflowing());
        page.addGroup("w", "")->addGallery(3, 2);
        QCOMPARE(page.sizeHint().width(), 410);
        QVERIFY(page.isOverflowing());
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&page, &wheel);
        QCOMPARE(page.scrollOffset(), 80);
        page.scrollBy(1000);
        QCOMPARE(page.scrollOffset(), 410 - (300 - 40));
    }

    // Cells by count and range; column and row counts stay within 1 to 64.
    void gallery()
    {
        VYRQRibbonGallery gallery;
        QAction shared("x");
        shared.setObjectName("cmd.x");
        gallery.addAction(&shared);
        gallery.addAction(&shared);
        gallery.addAction(nullptr);
        QCOMPARE(gallery.count(), 1);
        QAction* own = gallery.addItem("cmd.own", "Own", "");
        QCOMPARE(own->parent(), &gallery);
        QCOMPARE(own->property("vyrRibbonIconPath").toString(), QString());

        QSignalSpy spy(&gallery, &VYRQRibbonGallery::itemTriggered);
        shared.trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.last().at(0).toString(), QStringLiteral("cmd.x"));

        gallery.setColumnCount(0);
        gallery.setVisibleRowCount(-3);
        QCOMPARE(gallery.sizeHint(), QSize(86, 32));
        gallery.setColumnCount(1 << 30);
        gallery.setVisibleRowCount(INT_MAX);
        QCOMPARE(gallery.columnCount(), 64);
        QCOMPARE(gallery.visibleRowCount(), 64);
        QCOMPARE(gallery.sizeHint(), QSize(64 * 66 + 20, 64 * 28 + 4));

        gallery.clearItems();
        QCOMPARE(gallery.count(), 0);
        shared.trigger();
        QCOMPARE(spy.count(), 1);
    }

    // Paging through the strip buttons; "..." offers every command in a menu.
    void galleryButtons()
    {
        VYRQRibbonGallery gallery;
        gallery.resize(200, 60);
        for (int i = 0; i < 8; ++i)
            gallery.addItem(QString("c%1").arg(i), QString("C%1").arg(i), "");
        const QList<VYRQRibbonButton*> buttons = gallery.findChildren<VYRQRibbonButton*>(QString(), Qt::FindDirectChildrenOnly);
        VYRQRibbonButton* down = buttons.at(1);
        VYRQRibbonButton* more = buttons.at(2);
        QCOMPARE(down->text(), QStringLiteral("v"));
        down->click();
        QCOMPARE(gallery.firstVisibleIndex(), 2);
        QVERIFY(!down->isEnabled());
        more->click();
        auto* menu = gallery.findChild<VYRQRibbonMenu*>();
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->actions(), gallery.galleryActions());
        menu->hide();
        QTRY_VERIFY(!gallery.findChild<VYRQRibbonMenu*>());
    }

    // The first page becomes current silently; selecting the current page signals
    // again; indexes are clamped; tabs are named after their pages.
    void pagesAndTabs()
    {
        VYRQRibbonBar bar;
        QSignalSpy changed(&bar, &VYRQRibbonBar::currentPageChanged);
        VYRQRibbonPage* b = bar.addPage("b", "B");
        bar.insertPage(-5, "a", "");
        bar.insertPage(99, "c", "C");
        QCOMPARE(pageIds(bar), (QStringList{"a", "b", "c"}));
        QCOMPARE(bar.currentPageWidget(), b);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(tabs(bar), (QStringList{"ribbonTab_a", "ribbonTab_b", "ribbonTab_c"}));
        QCOMPARE(tabOf(bar, "a")->text(), QStringLiteral("a"));
        QVERIFY(tabOf(bar, "b")->isChecked());

        QVERIFY(bar.setCurrentPage(1));
        QVERIFY(bar.setCurrentPage("c"));
        QVERIFY(!bar.setCurrentPage(3) && !bar.setCurrentPage(-1) && !bar.setCurrentPage("x"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).toInt(), 2);
        QVERIFY(tabOf(bar, "c")->isChecked() && !tabOf(bar, "b")->isChecked());

        QVERIFY(bar.removePage(bar.pageById("c")));
        QCOMPARE(bar.currentPageWidget(), bar.pageAt(0));
        QVERIFY(!bar.removePage(bar.pageById("c")));
        // Each page keeps its own tab button when another page goes.
        delete bar.pageById("a");
        QCOMPARE(tabs(bar), QStringList{"ribbonTab_b"});
        bar.pageById("b")->setTitle("Renamed");
        QCOMPARE(tabOf(bar, "b")->text(), QStringLiteral("Renamed"));
        bar.clearPages();
        QCOMPARE(bar.pageCount(), 0);
        QCOMPARE(bar.currentPage(), -1);
        QTRY_VERIFY(bar.findChildren<VYRQRibbonButton*>(QRegularExpression("^ribbonTab_")).isEmpty());
    }

    // Context pages have tabs only while their group is shown; hiding the group of the
    // current page moves to the first remaining tab.
    void contextGroups()
    {
        auto* owner = new VYRQRibbonBar;
        VYRQRibbonBar& bar = *owner;
        bar.addPage("home", "");
        VYRQRibbonContextGroup* group = bar.addContextGroup("pic", "Picture", Qt::red);
        QCOMPARE(bar.addContextGroup("pic", "Other", Qt::blue), group);
        QCOMPARE(group->title(), QStringLiteral("Picture"));
        VYRQRibbonPage* format = group->addPage("format", "Format");
        QCOMPARE(format->contextGroup(), group);
        QVERIFY(!group->pageAt(-1) && group->pageAt(0) == format);
        QCOMPARE(tabs(bar), QStringList{"ribbonTab_home"});
        QVERIFY(!bar.setCurrentPage("format"));

        bar.showContextGroup("pic");
        QCOMPARE(tabs(bar), (QStringList{"ribbonTab_home", "ribbonTab_format"}));
        QCOMPARE(tabOf(bar, "format")->property("vyrRibbonContextColor").value<QColor>(), QColor(Qt::red));
        QVERIFY(!tabOf(bar, "home")->property("vyrRibbonContextColor").value<QColor>().isValid());
        QVERIFY(bar.setCurrentPage("format"));
        bar.hideContextGroup("pic");
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("home"));
        bar.hideContextGroup("nope");
        bar.showContextGroup("nope");

        // A context group that outlives its bar adds nothing.
        group->setParent(nullptr);
        std::unique_ptr<VYRQRibbonContextGroup> orphan(group);
        delete owner;
        QVERIFY(!orphan->bar());
        QVERIFY(!orphan->addPage("late", ""));
        orphan->setColor(Qt::green);
    }

    // Clicking the current tab minimises the bar; while minimised, a tab click opens
    // the popup with the page shown in it; a click elsewhere closes it and hands the
    // page area back.
    void minimisedPopup()
    {
        QWidget window;
        window.resize(800, 300);
        auto* bar = new VYRQRibbonBar(&window);
        bar->setGeometry(0, 0, 800, 157);
        VYRQRibbonPage* home = bar->addPage("home", "");
        bar->addPage("view", "");
        QVERIFY(shown(window));
        QSignalSpy minimized(bar, &VYRQRibbonBar::minimizedChanged);
        click(tabOf(*bar, "home"));
        QVERIFY(bar->isMinimized());
        QCOMPARE(minimized.count(), 1);
        QCOMPARE(bar->sizeHint().height(), 61);
        QVERIFY(!home->isVisible());

        click(tabOf(*bar, "home"));
        VYRQContainer* area = vyrtest::impl(bar)->pageArea;
        QVERIFY(vyrtest::impl(bar)->popup->isVisible());
        QCOMPARE(area->parentWidget(), vyrtest::impl(bar)->popup);
        QVERIFY(area->isVisible());
        QVERIFY(home->isVisible());
        QCOMPARE(vyrtest::impl(bar)->popup->geometry(), QRect(bar->mapToGlobal(QPoint(0, 61)), QSize(800, 96)));

        vyrtest::impl(bar)->popup->hide();
        QCOMPARE(area->parentWidget(), bar);
        QVERIFY(area->isHidden());
        bar->setMinimized(false);
        QCOMPARE(minimized.count(), 2);
        QVERIFY(home->isVisible());
        QCOMPARE(area->geometry(), QRect(0, 61, 800, 96));

        // The window goes while the popup is open: the bar must not hand the page area
        // back into a parent that is tearing its children down.
        bar->setMinimized(true);
        click(tabOf(*bar, "view"));
        QVERIFY(vyrtest::impl(bar)->popup->isVisible());
    }

    void layoutMode()
    {
        VYRQRibbonBar bar;
        QSignalSpy spy(&bar, &VYRQRibbonBar::layoutModeChanged);
        bar.setLayoutMode(VYR_RIBBON_LAYOUT_MODE::compact);
        bar.setLayoutMode(VYR_RIBBON_LAYOUT_MODE::compact);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(bar.groupRows(), 2);
        bar.setLayoutMode(VYR_RIBBON_LAYOUT_MODE::office);
        QCOMPARE(bar.groupRows(), 3);
    }

    // Commands of quick access, groups, menus, galleries and the application menu
    // all reach commandTriggered and findAction; a destroyed one is gone.
    void commands()
    {
        VYRQRibbonBar bar;
        QSignalSpy spy(&bar, &VYRQRibbonBar::commandTriggered);
        QVERIFY(!bar.addQuickAction(nullptr));
        QAction* quick = command(&bar, "quick");
        VYRQRibbonButton* quickButton = bar.addQuickAction(quick);
        QVERIFY(!quickButton->getShowText());
        QCOMPARE(quickButton->toolTip(), QStringLiteral("quick"));

        VYRQRibbonGroup* group = bar.addPage("p", "")->addGroup("g", "");
        auto* menu = new VYRQRibbonMenu;
        QAction* sub = menu->addCommand("sub", "Sub", "", true);
        menu->addSeparator();
        group->addAction(command(&bar, "grouped"), VYR_RIBBON_ITEM_SIZE::large, VYR_RIBBON_POPUP_MODE::split, menu);
        group->addGallery(2, 1)->addItem("gal", "Gal", "");
        auto* appMenu = new VYRQRibbonMenu;
        appMenu->addMenu(new VYRQRibbonMenu("nested", appMenu))->menu()->addAction("deep")->setObjectName("deep");
        bar.setApplicationMenu("App", appMenu, "");
        QVERIFY(!bar.applicationButton()->isHidden());
        QCOMPARE(appMenu->parent(), bar.applicationButton());
        QCOMPARE(appMenu->windowType(), Qt::Popup);

        for (const char* id : {"quick", "grouped", "sub", "deep"})
            QVERIFY2(bar.findAction(id), id);
        QVERIFY(!bar.findAction("gal"));
        click(quickButton);
        sub->trigger();
        bar.findAction("deep")->trigger();
        group->findChild<VYRQRibbonGallery*>()->galleryActions().first()->trigger();
        QStringList reported;
        for (const QList<QVariant>& args : spy)
            reported << args.at(0).toString() + (args.at(1).toBool() ? "+" : "");
        QCOMPARE(reported, (QStringList{"quick", "sub+", "deep", "gal"}));

        delete quick;
        QVERIFY(!bar.findAction("quick"));
    }

    // A command slot that empties the bar while the clicked button is still in its
    // release, and a page-change slot that rebuilds the tabs under the clicked tab.
    void rebuildFromInsideSlots()
    {
        QWidget window;
        auto* bar = new VYRQRibbonBar(&window);
        bar->resize(700, 157);
        VYRQRibbonGroup* group = bar->addPage("one", "")->addGroup("g", "");
        VYRQRibbonButton* button = group->addLargeAction(command(bar, "wipe"));
        bar->addPage("two", "");
        QVERIFY(shown(window));
        connect(bar, &VYRQRibbonBar::commandTriggered, bar, [bar] { bar->clearPages(); });
        click(button);
        QCOMPARE(bar->pageCount(), 0);
        connect(bar, &VYRQRibbonBar::currentPageChanged, bar, [bar] { bar->addPage("more", ""); });
        bar->addPage("a", "");
        bar->addPage("b", "");
        QPointer<VYRQRibbonButton> tab = tabOf(*bar, "b");
        click(tab);
        QCOMPARE(bar->currentPageWidget()->pageId(), QStringLiteral("b"));
        QVERIFY(tab);
        QCOMPARE(tabOf(*bar, "b"), tab.data());
        QCOMPARE(pageIds(*bar), (QStringList{"a", "b", "more"}));
    }

    // Tabs sized by their text, the current one checked and drawn with the Pressed tab
    // background; header rows and the page area take their own backgrounds.
    void paintsTabs()
    {
        VYRQRibbonBar bar;
        bar.resize(600, 157);
        bar.addPage("home", "Home");
        bar.addPage("view", "View");
        VYRQRibbonButton* home = tabOf(bar, "home");
        QCOMPARE(home->geometry().topLeft(), QPoint(4, 1));
        QCOMPARE(tabOf(bar, "view")->x(), 4 + home->width() + 2);
        const QImage image = sty::renderAll(bar);
        QCOMPARE(pixel(image, home->x() + 3, 30 + home->height() - 3), QColor(Qt::white));
        QCOMPARE(pixel(image, tabOf(bar, "view")->x() + 3, 30 + 4), QColor(238, 242, 248));
        QCOMPARE(pixel(image, 300, 0), QColor(246, 248, 251));
        QCOMPARE(pixel(image, 300, 61), QColor(207, 214, 224));
        QCOMPARE(pixel(image, 300, 100), QColor(Qt::white));

        // A new title widens its tab and moves the next one.
        const int narrow = home->width();
        bar.pageById("home")->setTitle("A much longer home title");
        QVERIFY(tabOf(bar, "home")->width() > narrow);
        QCOMPARE(tabOf(bar, "view")->x(), 4 + tabOf(bar, "home")->width() + 2);
    }
};

VYR_TEST_SUITE(tst_RibbonBar, 4)
#include "tst_ribbonbar.moc"
