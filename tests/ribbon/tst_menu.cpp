#include "../controls/controls_testutil.h"
#include "testaccess.h"

#include "VYRQGlobal_p.h"
#include "VYRQMenu.h"
#include "VYRQMenuImpl.h"
#include "VYRQRibbonMenu.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

using namespace ctl;
using sty::names;

namespace {

const QColor menuBg(20, 20, 20), itemFill(0, 0, 200), hotFill(200, 0, 0), iconColor(0, 180, 0);

// "background / item fills / item texts" by style name.
QString looks(VYRQMenu& menu)
{
    return vyrtest::impl(menu)->background.name + " / " + names(vyrtest::impl(menu)->itemStyles).join(',') + " / "
        + names(vyrtest::impl(menu)->itemTextStyles).join(',');
}

// Lays the menu out at its natural size (taller when asked), so items have geometry.
void layOut(VYRQMenu& menu, int extraHeight = 0)
{
    const QSize hint = menu.QMenu::sizeHint();
    menu.resize(hint.width() + 40, hint.height() + extraHeight);
}

QPoint centre(VYRQMenu& menu, int index)
{
    return menu.actionGeometry(menu.actions().at(index)).center();
}

} // namespace

class tst_Menu : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_png;

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(m_dir.isValid());
        sty::addFills({{"Bg", menuBg}, {"A", itemFill}, {"B", hotFill}});
        sty::addTexts({"Ta", "Tb"});
        m_png = m_dir.filePath("icon.png");
        QVERIFY(sty::saveSolid(m_png, QSize(16, 16), iconColor));
    }

    // "background" gates the eight item keys; "item0"/"text0" fan out to all states
    // and later keys override one state; unknown names leave slots alone.
    void readStyleKeys_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no background: nothing read") << QByteArray(R"({"item0": "A", "text0": "Ta"})") << " / ,,, / ,,,";
        QTest::newRow("item0 then item1")
            << QByteArray(R"({"background": "Bg", "item0": "A", "item1": "B"})") << "Bg / A,B,A,A / ,,,";
        QTest::newRow("texts, unknown background")
            << QByteArray(R"({"background": "Nope", "text0": "Ta", "text3": "Tb"})") << " / ,,, / Ta,Ta,Ta,Tb";
        QTest::newRow("unknown item name keeps the slot")
            << QByteArray(R"({"background": 5, "item0": "A", "item2": "Nope"})") << " / A,A,A,A / ,,,";
    }

    void readStyleKeys()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        VYRQMenu menu;
        QVERIFY(sty::load(menu, json));
        QCOMPARE(looks(menu), expected);
    }

    // Bitmap paths become QIcons, SVG paths (any case) and sub-menu icons only the
    // property; malformed items and texts are skipped.
    void readItems()
    {
        QByteArray json = R"({"background": "Bg", "item0": "A", "items": [{"text": "bitmap", "icon": "@png"},)"
                          R"({"text": "vector", "icon": "shape.SVG"}, {"text": "sub", "icon": "sub.png", "items": [)"
                          R"({"text": "inner"}, 7]}, {"text": "empty", "items": []}, "not an object", 42,)"
                          R"({"text": 12}, {"text": "no icon", "icon": ""}]})";
        json.replace("@png", m_png.toUtf8());
        VYRQMenu menu;
        menu.setIconOffset(20);
        QVERIFY(sty::load(menu, json));
        const QList<QAction*> items = menu.actions();
        QCOMPARE(items.size(), 6);
        QStringList texts, paths, icons;
        for (QAction* a : items) {
            texts << a->text();
            paths << a->property("vyr_menu_icon_path").toString();
            icons << (a->icon().isNull() ? "-" : "icon");
        }
        QCOMPARE(texts, (QStringList{"bitmap", "vector", "sub", "empty", "", "no icon"}));
        QCOMPARE(paths, (QStringList{m_png, "shape.SVG", "sub.png", "", "", ""}));
        QCOMPARE(icons, (QStringList{"icon", "-", "-", "-", "-", "-"}));

        auto* sub = qobject_cast<VYRQMenu*>(items.at(2)->menu());
        QVERIFY(sub);
        QCOMPARE(sub->parent(), &menu);
        QCOMPARE(sub->title(), QStringLiteral("sub"));
        QCOMPARE(sub->actions().size(), 1);
        QCOMPARE(looks(*sub), looks(menu));
        QCOMPARE(vyrtest::impl(sub)->iconOffset, 0);
        QVERIFY(sub->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(items.at(3)->menu() && items.at(3)->menu()->actions().isEmpty());
    }

    // Four slots per kind: 4 does not mean "all states" here and is ignored like any
    // other state outside 0 to 3.
    void itemSettersTakeFourStates_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hot") << 1 << "Bg / ,B,, / ,Tb,,";
        QTest::newRow("all states value") << 4 << "Bg / ,,, / ,,,";
        QTest::newRow("negative") << -1 << "Bg / ,,, / ,,,";
    }

    void itemSettersTakeFourStates()
    {
        QFETCH(int, state);
        QFETCH(QString, expected);
        VYRQMenu menu;
        menu.setBackground(sty::solid("Bg", menuBg));
        menu.setItemStyle(CtrlState(state), sty::solid("B", hotFill));
        menu.setItemTextStyle(CtrlState(state), sty::text("Tb", Qt::black));
        QCOMPARE(looks(menu), expected);
        QCOMPARE(vyrtest::impl(menu)->itemStyles.get(state).name, state == 1 ? QStringLiteral("B") : QString());
    }

    // The item fill lies under the icon; the hovered item takes the Hot fill; an icon
    // column of 0 draws no icon; a sub-menu item gets its grey triangle.
    void paintItems()
    {
        VYRQMenu menu;
        menu.setBackground(sty::solid("Bg", menuBg));
        menu.setItemStyle(Normal, sty::solid("A", itemFill));
        menu.setItemStyle(Hot, sty::solid("B", hotFill));
        menu.addIconAction(m_png, QString());
        menu.addIconAction(m_png, QString());
        menu.addMenu(new VYRQMenu("sub", &menu));
        menu.setIconOffset(24);
        layOut(menu);

        mouse(menu, QEvent::MouseMove, centre(menu, 1), Qt::NoButton);
        QCOMPARE(vyrtest::impl(menu)->hoveredIndex, 1);
        QImage image = render(menu);
        const QRect first = menu.actionGeometry(menu.actions().at(0));
        const QRect second = menu.actionGeometry(menu.actions().at(1));
        const QRect third = menu.actionGeometry(menu.actions().at(2));
        QCOMPARE(pixel(image, first.left() + 12, first.center().y()), iconColor);
        QCOMPARE(pixel(image, first.right() - 3, first.top() + 2), itemFill);
        QCOMPARE(pixel(image, second.left() + 12, second.center().y()), iconColor);
        QCOMPARE(pixel(image, second.right() - 3, second.top() + 2), hotFill);
        QCOMPARE(pixel(image, third.right() - 5, third.top() + third.height() / 2), QColor(204, 204, 204));
        QCOMPARE(pixel(image, third.right() - 5, third.top() + 2), itemFill);

        menu.setIconOffset(0);
        image = render(menu);
        QCOMPARE(pixel(image, first.left() + 12, first.center().y()), itemFill);
    }

    // The hovered item follows the pointer, stays while the pointer is between or
    // below items, and is cleared when the menu hides.
    void hoverTracking()
    {
        VYRQMenu menu;
        for (const char* text : {"a", "b", "c"})
            menu.addAction(text);
        layOut(menu, 60);
        QVERIFY(shown(menu));
        mouse(menu, QEvent::MouseMove, centre(menu, 2), Qt::NoButton);
        QCOMPARE(vyrtest::impl(menu)->hoveredIndex, 2);
        mouse(menu, QEvent::MouseMove, QPoint(5, menu.height() - 5), Qt::NoButton);
        QCOMPARE(vyrtest::impl(menu)->hoveredIndex, 2);
        mouse(menu, QEvent::MouseMove, centre(menu, 0), Qt::NoButton);
        QCOMPARE(vyrtest::impl(menu)->hoveredIndex, 0);
        menu.hide();
        QCOMPARE(vyrtest::impl(menu)->hoveredIndex, -1);
    }

    // Writing gives the common keys only; a value that already holds menu keys does
    // not feed them back into the menu being written.
    void writingLeavesTheMenuAlone()
    {
        VYRQMenu menu;
        menu.addAction("one");
        Json::Value value = parse(R"({"background": "Bg", "item0": "A", "items": [{"text": "two"}]})");
        QVERIFY(menu.serializeJsonValue(&value, false));
        QCOMPARE(menu.actions().size(), 1);
        QVERIFY(vyrtest::impl(menu)->background.name.isEmpty());
        QVERIFY(!value.isMember("w") && !value.isMember("name"));
    }

    // Separators show a line and checked commands a tick over the themed items.
    void ribbonMenuCommands()
    {
        VYRQRibbonMenu menu;
        QAction* plain = menu.addCommand("cmd.plain", "Plain", "", false);
        QVERIFY(plain->property("vyrRibbonIconPath").isValid());
        QVERIFY(plain->property("vyrRibbonIconPath").toString().isEmpty());
        QVERIFY(plain->icon().isNull() && !plain->isCheckable());
        menu.addSeparator();
        QAction* icon = menu.addCommand("cmd.icon", "Icon", m_png, true);
        QCOMPARE(icon->property("vyrRibbonIconPath").toString(), m_png);
        QCOMPARE(icon->property("vyr_menu_icon_path").toString(), m_png);
        QVERIFY(!icon->icon().isNull() && icon->isCheckable());
        icon->setChecked(true);
        // A trailing separator is collapsed: no geometry, nothing drawn at the top edge.
        menu.addSeparator();

        menu.setItemStyle(Normal, sty::solid("A", itemFill));
        layOut(menu);
        const QImage image = render(menu);
        const QRect tick = menu.actionGeometry(icon);
        const QRect line = menu.actionGeometry(menu.actions().at(1));
        QCOMPARE(pixel(image, tick.left() + 9, tick.center().y() + 3), QColor(62, 111, 210));
        // An antialiased one-pixel line on a whole coordinate covers two rows by half.
        QVERIFY(sty::near(pixel(image, line.center().x(), line.center().y()), QColor(95, 98, 203)));
        QCOMPARE(pixel(image, line.left() + 3, line.center().y()), itemFill);
        QVERIFY(menu.actionGeometry(menu.actions().at(3)).isEmpty());
        QCOMPARE(pixel(image, 8, 0), itemFill);
    }

    // The loader adds ".json", builds the whole tree and returns null for a missing or
    // unreadable file; the menu it returns shows its styles on screen.
    void loadFromFile()
    {
        QVERIFY(vyrCreateMenuByFileName(nullptr, m_dir.filePath("absent")) == nullptr);
        QFile bad(m_dir.filePath("bad.json"));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("{\"items\": [") > 0);
        bad.close();
        QVERIFY(vyrCreateMenuByFileName(nullptr, bad.fileName()) == nullptr);
        // Past the item limit, counted through the sub-menus, nothing is built.
        QByteArray items;
        for (int i = 0; i < vyr::maxMenuItems; ++i)
            items += i ? ",{}" : "{}";
        QFile big(m_dir.filePath("big.json"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write(R"({"items": [{"items": [)" + items + "]}]}") > 0);
        big.close();
        QVERIFY(vyrCreateMenuByFileName(nullptr, big.fileName()) == nullptr);

        QFile file(m_dir.filePath("file-menu.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray text = "// comments are allowed\n"
                          R"({"background": "Bg", "item0": "A", "item1": "B", "text0": "Ta", "items": [)"
                          R"({"text": "Open", "icon": "@png"}, {"text": "Recent", "items": [{"text": "a.json"},)"
                          R"({"text": "b.json"}]}, {"text": "Quit"}]})";
        file.write(text.replace("@png", m_png.toUtf8()));
        file.close();

        QWidget parent;
        VYRQMenu* menu = vyrCreateMenuByFileName(&parent, m_dir.filePath("file-menu"));
        QVERIFY(menu);
        QCOMPARE(menu->parent(), &parent);
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions().at(1)->menu()->actions().size(), 2);
        QVERIFY(!VYRQResourceManager::getInstance()->isCreatedByFile());

        menu->setIconOffset(24);
        menu->popup(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        mouse(*menu, QEvent::MouseMove, centre(*menu, 2), Qt::NoButton);
        const QImage image = menu->grab().toImage();
        const QRect open = menu->actionGeometry(menu->actions().at(0));
        const QRect quit = menu->actionGeometry(menu->actions().at(2));
        QVERIFY(sty::near(pixel(image, open.left() + 12, open.center().y()), iconColor));
        QVERIFY(sty::near(pixel(image, open.right() - 3, open.top() + 1), itemFill));
        QVERIFY(sty::near(pixel(image, quit.right() - 3, quit.top() + 1), hotFill));
        menu->hide();
    }

    // The parent constructor applies the theme element, the title constructor does not
    // and builds an ordinary (framed, opaque) popup.
    void themeOnlyForTheParentConstructor()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/ribbon-theme"));
        VYRQMenu themed;
        QCOMPARE(looks(themed), QStringLiteral("ThemeMenuBg / ThemeItem,ThemeItem,ThemeItem,ThemeItem / ,,,"));
        QVERIFY(themed.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(themed.testAttribute(Qt::WA_TranslucentBackground));
        VYRQMenu titled("title", nullptr);
        QCOMPARE(looks(titled), QStringLiteral(" / ,,, / ,,,"));
        QVERIFY(!(titled.windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(!titled.testAttribute(Qt::WA_TranslucentBackground));
        sty::dropTheme();
    }
};

VYR_TEST_SUITE(tst_Menu, 1)
#include "tst_menu.moc"
