#include "fakecontainer.h"
#include "corecontrol.h"

#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"

#include <QtTest>

#include <memory>

class tst_WidgetBase : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void layoutRatioClampsAndRelaysContainer();
    void absoluteDockClamps();
    void readLayout_data();
    void readLayout();
    void readDockingAndPolicies_data();
    void readDockingAndPolicies();
    void readLimitsAndVisibility();
    void baseKeysIgnoredWhileThemeApplies();
    void writeRules();
    void writeVisibilityOfCodeBuiltControls();
    void writeEnableOnlyWhenDisabledItself();
    void saveLayoutInDesignerTakesLiveGeometry();
    void jsonDataAppliesOnce();
    void resizeWidgetFillsWindowOnlyForTopContainer();
    void themeNameIgnoredWithoutThemeSet();
    void cloneBuildsDefaultsOfTheType();
    void commonRows();
};

static QRect layoutRectOf(CoreControl& c)
{
    return c.getControlBase()->layoutRect();
}

void tst_WidgetBase::defaults()
{
    CoreControl c;
    QCOMPARE(c.getLayoutType(), LayoutAbsolute);
    QCOMPARE(c.getLayoutRatio(), 1);
    QCOMPARE(c.getWidthPolicy(), PolicyUnset);
    QCOMPARE(c.getHeightPolicy(), PolicyUnset);
    DockLayoutType hor = DockFar, ver = DockFar;
    int x = 1, y = 1;
    c.getAbsoluteDock(hor, ver, x, y);
    QCOMPARE(hor, DockNear);
    QCOMPARE(ver, DockNear);
    QCOMPARE(x, 0);
    QCOMPARE(y, 0);
    QVERIFY(!c.getAbsoluteLayout());
    QCOMPARE(c.getOpacity(), 255);
    QCOMPARE(c.getTypeName(), QStringLiteral("corecontrol"));
    QCOMPARE(c.jsonData(), QString());
}

void tst_WidgetBase::layoutRatioClampsAndRelaysContainer()
{
    CoreControl loose;
    loose.setLayoutRatio(-3);
    QCOMPARE(loose.getLayoutType(), LayoutRatio);
    QCOMPARE(loose.getLayoutRatio(), 1);
    void* data = nullptr;
    loose.getLayoutData(data);
    QVERIFY(data);
    QCOMPARE(*static_cast<int*>(data), 1);

    std::unique_ptr<QWidget> container(createFakeContainer(nullptr));
    auto* child = new CoreControl(container.get());
    QCOMPARE(fakeContainerRelayouts(container.get()), 0);
    child->setLayoutRatio(0);
    QCOMPARE(child->getLayoutRatio(), 1);
    child->setLayoutRatio(4);
    QCOMPARE(child->getLayoutRatio(), 4);
    QCOMPARE(fakeContainerRelayouts(container.get()), 2);
}

void tst_WidgetBase::absoluteDockClamps()
{
    CoreControl c;
    c.setAbsoluteDock(DockLayoutType(5), DockLayoutType(-1), 7, 8);
    QVERIFY(c.getAbsoluteLayout());
    DockLayoutType hor, ver;
    int x = 0, y = 0;
    c.getAbsoluteDock(hor, ver, x, y);
    QCOMPARE(hor, DockFar);
    QCOMPARE(ver, DockNear);
    QCOMPARE(x, 7);
    QCOMPARE(y, 8);
}

void tst_WidgetBase::readLayout_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("layoutType");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QRect>("recorded");
    QTest::addColumn<QRect>("geometry");

    const QRect start(1, 1, 40, 20);
    QTest::newRow("ratio with type") << QByteArray(R"({"layout": {"type": 0, "ratio": 3}, "x": 9})") << 0 << 3
                                     << QRect() << start;
    QTest::newRow("ratio without type") << QByteArray(R"({"layout": {"ratio": 2}})") << 0 << 2 << QRect() << start;
    QTest::newRow("ratio below one reads as one") << QByteArray(R"({"layout": {"type": 0, "ratio": -4}})") << 0 << 1
                                                  << QRect() << start;
    // Type 1 takes x and y from the element, the size from the widget, and applies it.
    QTest::newRow("absolute layout object") << QByteArray(R"({"layout": {"type": 1}, "x": 5, "y": 6})") << 1 << 1
                                            << QRect(5, 6, 40, 20) << QRect(5, 6, 40, 20);
    // Without "layout" the rectangle is only recorded; containers apply it later.
    QTest::newRow("plain rectangle") << QByteArray(R"({"x": 2, "y": 3, "w": 30, "h": 10})") << 1 << 1
                                     << QRect(2, 3, 30, 10) << start;
    QTest::newRow("unknown layout type") << QByteArray(R"({"layout": {"type": 7}})") << 1 << 1 << QRect() << start;
    QTest::newRow("layout of wrong type") << QByteArray(R"({"layout": 5, "w": 12, "h": 13})") << 1 << 1
                                          << QRect(0, 0, 12, 13) << start;
}

void tst_WidgetBase::readLayout()
{
    QFETCH(QByteArray, json);
    QFETCH(int, layoutType);
    QFETCH(int, ratio);
    QFETCH(QRect, recorded);
    QFETCH(QRect, geometry);

    QWidget parent;
    CoreControl c(&parent);
    c.QWidget::setGeometry(1, 1, 40, 20);
    Json::Value v = jsonOf(json.constData());
    QVERIFY(c.readJsonValue(&v));
    QCOMPARE(int(c.getLayoutType()), layoutType);
    QCOMPARE(c.getLayoutRatio(), ratio);
    if (recorded.isValid())
        QCOMPARE(layoutRectOf(c), recorded);
    QCOMPARE(c.geometry(), geometry);
}

void tst_WidgetBase::readDockingAndPolicies_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<int>("dockHor");
    QTest::addColumn<int>("dockVer");
    QTest::addColumn<int>("widthPolicy");   // starts as 0

    QTest::newRow("dock key turns absolute on") << QByteArray(R"({"absoluteDockHor": 2})") << true << 2 << 0 << 0;
    QTest::newRow("explicit flag overrides") << QByteArray(R"({"absoluteDockHor": 2, "absoluteLayout": false})")
                                             << false << 2 << 0 << 0;
    QTest::newRow("offset alone turns absolute on") << QByteArray(R"({"absoluteDockOffsetY": 4})") << true << 0 << 0
                                                    << 0;
    QTest::newRow("dock clamped") << QByteArray(R"({"absoluteDockHor": -3, "absoluteDockVer": 9})") << true << 0 << 2
                                  << 0;
    QTest::newRow("policy kept") << QByteArray(R"({"widthPolicy": 1})") << false << 0 << 0 << 1;
    QTest::newRow("policy out of range") << QByteArray(R"({"widthPolicy": 5})") << false << 0 << 0 << -1;
    QTest::newRow("policy of wrong type") << QByteArray(R"({"widthPolicy": "x"})") << false << 0 << 0 << -1;
}

void tst_WidgetBase::readDockingAndPolicies()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, absolute);
    QFETCH(int, dockHor);
    QFETCH(int, dockVer);
    QFETCH(int, widthPolicy);

    QWidget parent;
    CoreControl c(&parent);
    c.setWidthPolicy(PolicyFill);
    Json::Value v = jsonOf(json.constData());
    QVERIFY(c.readJsonValue(&v));
    QCOMPARE(c.getAbsoluteLayout(), absolute);
    DockLayoutType hor, ver;
    c.getAbsoluteDock(hor, ver);
    QCOMPARE(int(hor), dockHor);
    QCOMPARE(int(ver), dockVer);
    QCOMPARE(int(c.getWidthPolicy()), widthPolicy);
    QCOMPARE(c.getHeightPolicy(), PolicyUnset);   // absent: unchanged
}

void tst_WidgetBase::readLimitsAndVisibility()
{
    QWidget parent;
    CoreControl c(&parent);
    Json::Value v = jsonOf(R"({"name": "n\u00e4me", "tooltip": "tip", "maxWidth": 0, "minHeight": -5,
                               "maxHeight": 70, "enable": false})");
    QVERIFY(c.readJsonValue(&v));
    QCOMPARE(c.objectName(), QString::fromUtf8("n\xc3\xa4me"));
    QCOMPARE(c.toolTip(), QStringLiteral("tip"));
    QCOMPARE(c.maximumWidth(), 0);
    QCOMPARE(c.minimumHeight(), 0);
    QCOMPARE(c.maximumHeight(), 70);
    QVERIFY(!c.isEnabled());
    QVERIFY(!c.isHidden());
    QCOMPARE(c.property("visibility"), QVariant(true));
    QVERIFY(c.getInnerVisible());

    Json::Value hidden = jsonOf(R"({"visibility": false})");
    QVERIFY(c.readJsonValue(&hidden));
    QVERIFY(c.isHidden());
    QVERIFY(!c.getInnerVisible());
    QVERIFY(c.isEnabled() == false);   // absent "enable" leaves it
}

void tst_WidgetBase::baseKeysIgnoredWhileThemeApplies()
{
    QWidget parent;
    CoreControl c(&parent);
    c.setObjectName("kept");
    {
        VYRQResSwitchGuard theme(VYRQResSwitchGuard::ThemeRes, true);
        Json::Value v = jsonOf(R"({"name": "changed", "w": 50, "visibility": false, "widthPolicy": 1})");
        QVERIFY(c.readJsonValue(&v));
        QVERIFY(VYRQResourceManager::getInstance()->isLoadFromThemeRes());
    }
    QCOMPARE(c.objectName(), QStringLiteral("kept"));
    QCOMPARE(layoutRectOf(c), QRect(0, 0, 0, 0));
    QCOMPARE(c.getWidthPolicy(), PolicyUnset);
    QVERIFY(!c.isHidden());
}

void tst_WidgetBase::writeRules()
{
    QWidget parent;
    CoreControl ratio(&parent);
    ratio.setLayoutRatio(3);
    Json::Value out;
    QVERIFY(ratio.serializeJsonValue(&out, false));
    QCOMPARE(out["type"].asString(), std::string("corecontrol"));
    QVERIFY(out.isMember("name"));   // written also when empty
    QCOMPARE(out["layout"]["type"].asInt(), 0);
    QCOMPARE(out["layout"]["ratio"].asInt(), 3);
    for (const char* key : { "x", "y", "w", "h", "tooltip", "enable", "absoluteLayout", "widthPolicy",
                             "minWidth", "maxWidth" })
        QVERIFY2(!out.isMember(key), key);

    CoreControl absolute(&parent);
    absolute.setGeometry(0, 0, 80, 30);
    absolute.setToolTip("tip");
    absolute.setAbsoluteDock(DockCenter, DockNear, 0, 4);
    absolute.setHeightPolicy(PolicyFixed);
    absolute.setMinimumWidth(10);
    absolute.setMaximumHeight(90);
    Json::Value abs;
    QVERIFY(absolute.serializeJsonValue(&abs, false));
    QCOMPARE(abs["w"].asInt(), 80);
    QCOMPARE(abs["h"].asInt(), 30);
    QVERIFY(!abs.isMember("x"));
    QVERIFY(!abs.isMember("y"));
    QVERIFY(!abs.isMember("layout"));
    QCOMPARE(abs["tooltip"].asString(), std::string("tip"));
    QCOMPARE(abs["absoluteLayout"].asBool(), true);
    QCOMPARE(abs["absoluteDockHor"].asInt(), 1);
    QVERIFY(!abs.isMember("absoluteDockVer"));
    QVERIFY(!abs.isMember("absoluteDockOffsetX"));
    QCOMPARE(abs["absoluteDockOffsetY"].asInt(), 4);
    QCOMPARE(abs["heightPolicy"].asInt(), 1);
    QCOMPARE(abs["minWidth"].asInt(), 10);
    QCOMPARE(abs["maxHeight"].asInt(), 90);
    QVERIFY(!abs.isMember("maxWidth"));

    // Written and read back, the control is the same again.
    CoreControl copy(&parent);
    QVERIFY(copy.readJsonValue(&abs));
    QCOMPARE(layoutRectOf(copy), QRect(0, 0, 80, 30));
    QVERIFY(copy.getAbsoluteLayout());
    QCOMPARE(copy.getHeightPolicy(), PolicyFixed);
    QCOMPARE(copy.toolTip(), QStringLiteral("tip"));
}

void tst_WidgetBase::writeVisibilityOfCodeBuiltControls()
{
    QWidget page;
    CoreControl shown(&page);
    CoreControl hidden(&page);
    hidden.hide();
    Json::Value a, b;
    shown.serializeJsonValue(&a, false);
    hidden.serializeJsonValue(&b, false);
    QVERIFY(!a.isMember("visibility"));
    QCOMPARE(b["visibility"], Json::Value(false));

    // Saved and reloaded, the hidden control stays hidden and the shown one shown.
    CoreControl reloadedHidden(&page), reloadedShown(&page);
    reloadedHidden.readJsonValue(&b);
    reloadedShown.readJsonValue(&a);
    QVERIFY(reloadedHidden.isHidden());
    QVERIFY(!reloadedShown.isHidden());

    // The page property wins over the widget state once it is set.
    hidden.setInnerVisible(true);
    Json::Value c;
    hidden.serializeJsonValue(&c, false);
    QVERIFY(!c.isMember("visibility"));
}

void tst_WidgetBase::writeEnableOnlyWhenDisabledItself()
{
    QWidget page;
    auto* outer = new CoreControl(&page);
    auto* inner = new CoreControl(outer);
    outer->setEnabled(false);
    QVERIFY(!inner->isEnabled());
    vyrEnableSerializeChild(true);
    Json::Value out;
    outer->serializeJsonValue(&out, false);
    QCOMPARE(out["enable"], Json::Value(false));
    QVERIFY(out["child"].isArray());
    QCOMPARE(out["child"].size(), 1u);
    QVERIFY(!out["child"][0].isMember("enable"));
}

void tst_WidgetBase::saveLayoutInDesignerTakesLiveGeometry()
{
    QWidget page;
    CoreControl c(&page);
    c.QWidget::setGeometry(3, 4, 50, 60);
    Json::Value plain;
    c.getControlBase()->SaveLayout(plain);
    QCOMPARE(plain["w"].asInt(), 0);
    QVERIFY(!plain.isMember("x"));

    vyrSetIsInDesigner(true);
    Json::Value designer;
    c.getControlBase()->SaveLayout(designer);
    vyrSetIsInDesigner(false);
    QCOMPARE(designer["x"].asInt(), 3);
    QCOMPARE(designer["y"].asInt(), 4);
    QCOMPARE(designer["w"].asInt(), 50);
    QCOMPARE(designer["h"].asInt(), 60);
    QCOMPARE(layoutRectOf(c), QRect(3, 4, 50, 60));
}

void tst_WidgetBase::jsonDataAppliesOnce()
{
    QWidget page;
    CoreControl c(&page);
    const QString first = QStringLiteral(R"({"name": "first"})");
    c.setJsonData(first);
    QCOMPARE(c.objectName(), QStringLiteral("first"));
    QCOMPARE(c.jsonData(), first);

    c.setObjectName("renamed");
    c.setJsonData(first);   // same text: nothing happens
    QCOMPARE(c.objectName(), QStringLiteral("renamed"));

    const QString second = QStringLiteral(R"({"name": "second"})");
    c.setJsonData(second);   // stored, not applied
    QCOMPARE(c.jsonData(), second);
    QCOMPARE(c.objectName(), QStringLiteral("renamed"));

    // Through the Qt property as well; a text that does not parse is kept all the same.
    CoreControl d(&page);
    QVERIFY(d.setProperty("jsonData", QStringLiteral("{ broken")));
    QCOMPARE(d.property("jsonData").toString(), QStringLiteral("{ broken"));
    d.setJsonData(first);
    QCOMPARE(d.objectName(), QString());
}

void tst_WidgetBase::resizeWidgetFillsWindowOnlyForTopContainer()
{
    QWidget window;
    window.resize(200, 100);
    QWidget* top = createFakeContainer(&window);
    auto* topControl = dynamic_cast<IVYRQWidgetBase*>(top);
    QVERIFY(topControl);
    topControl->setGeometry(5, 5, 10, 10);
    QWidget* nested = createFakeContainer(top);
    auto* nestedControl = dynamic_cast<IVYRQWidgetBase*>(nested);
    nestedControl->setGeometry(2, 3, 20, 30);
    nested->QWidget::setGeometry(0, 0, 1, 1);

    topControl->resizeWidget();
    nestedControl->resizeWidget();
    QCOMPARE(top->geometry(), QRect(0, 0, 200, 100));
    QCOMPARE(nested->geometry(), QRect(2, 3, 20, 30));

    // A ratio container is left to its own container.
    QWidget other;
    other.resize(50, 50);
    QWidget* ratio = createFakeContainer(&other);
    ratio->QWidget::setGeometry(1, 2, 3, 4);
    dynamic_cast<IVYRQWidgetBase*>(ratio)->setLayoutRatio(2);
    dynamic_cast<IVYRQWidgetBase*>(ratio)->resizeWidget();
    QCOMPARE(ratio->geometry(), QRect(1, 2, 3, 4));

    // A control without a parent is left alone.
    CoreControl loose;
    loose.QWidget::setGeometry(1, 1, 5, 5);
    loose.resizeWidget();
    QCOMPARE(loose.geometry(), QRect(1, 1, 5, 5));
}

void tst_WidgetBase::themeNameIgnoredWithoutThemeSet()
{
    QVERIFY(!VYRQResourceManager::getInstance()->getThemeManagerImpl());
    CoreControl c;
    c.setThemeName("Other");
    QCOMPARE(c.getThemeName(), QStringLiteral("corecontrol"));
    QWidget plain;
    QCOMPARE(VYRQWidgetBase(&plain).getThemeName(), QString());
}

void tst_WidgetBase::cloneBuildsDefaultsOfTheType()
{
    QWidget page;
    CoreControl original(&page);
    original.setObjectName("original");
    original.setLayoutRatio(3);
    QVERIFY(!original.getControlBase()->cloneWidget("unused"));   // type not registered yet

    vyrRegisterQtControl("corecontrol", &CoreControl::createCoreControl, CoreControl::getProps(), false);
    std::unique_ptr<QWidget> clone(original.getControlBase()->cloneWidget("unused"));
    QVERIFY(clone);
    QCOMPARE(clone->parentWidget(), &page);
    auto* control = dynamic_cast<CoreControl*>(clone.get());
    QVERIFY(control);
    QCOMPARE(control->objectName(), QString());
    QCOMPARE(control->getLayoutType(), LayoutAbsolute);

    QWidget plain;
    QVERIFY(!VYRQWidgetBase(&plain).cloneWidget(QString()));
}

void tst_WidgetBase::commonRows()
{
    const std::vector<PropertyDef> rows = vyr::commonPropertyRows();
    QCOMPARE(int(rows.size()), 7);
    const char* names[] = { "Name", "Type", "Visibility", "Enable", "Tooltip", "Alpha", "Line" };
    const unsigned kinds[] = { 0, 2, 3, 3, 1, 10, 4 };
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(rows[size_t(i)].name, QString::fromLatin1(names[i]));
        QCOMPARE(rows[size_t(i)].kind, kinds[i]);
    }

    CoreControl c;
    QObject* target = &c;
    rows[0].setText(target, "named");
    QCOMPARE(rows[0].getText(target), QStringLiteral("named"));
    QVERIFY(!rows[1].setText);
    QCOMPARE(rows[1].getText(target), QStringLiteral("corecontrol"));
    rows[2].setBool(target, true);
    QVERIFY(c.getInnerVisible());
    QVERIFY(rows[2].getBool(target));
    rows[3].setBool(target, false);
    QVERIFY(!c.isEnabled());
    QVERIFY(!rows[3].getBool(target));
    rows[4].setText(target, "tip");
    QCOMPARE(c.toolTip(), QStringLiteral("tip"));
    rows[5].setInt(target, 40);
    QCOMPARE(c.getOpacity(), 40);
    QCOMPARE(rows[5].getInt(target), 40);

    // Accessors on an object that is no control do nothing harmful.
    QObject plain;
    rows[5].setInt(&plain, 3);
    QCOMPARE(rows[1].getText(&plain), QString());
    rows[3].setBool(nullptr, true);
}

QTEST_MAIN(tst_WidgetBase)
#include "tst_widgetbase.moc"
