#include "corecontrol.h"

#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"

#include <QtTest>

// Runs with the theme folder tests/data/core-theme loaded: its theme.json gives the
// type key "corecontrol" the fill "ThemeRed", and "TestRedirect" / "TestAlt" the
// fills "ThemeBlue" / "ThemeGreen"; those three names exist in the theme set only.
class tst_WidgetBaseImpl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void freshImpl();
    void themeDefaultsOnConstruction();
    void designerModeSkipsThemeDefaults();
    void stateMachine();
    void attrKinds();
    void ownAttrKeysNeverEchoed();
    void themeRedirect_data();
    void themeRedirect();
    void redirectKeepsOwnAttrsAndReloads();
    void redirectRestoresLookupSwitch();
    void redirectNotInResourceDesignerMode();
    void writeCommonKeysAndChildren();
    void setThemeNameAppliesWithThemeSet();
    void wrongTypedJson_data();
    void wrongTypedJson();

private:
    static QColor normalColor(const CoreControl& c) { return c.impl()->fills.get(Normal).fill.color; }
};

void tst_WidgetBaseImpl::initTestCase()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QVERIFY(rm->loadThemeDir(QStringLiteral(VYR_TEST_DATA "/core-theme")));
    FillStyle yellow;
    yellow.name = "DefYellow";
    yellow.fill.color = Qt::yellow;
    rm->setFillStyle("DefYellow", yellow);   // default set only
}

void tst_WidgetBaseImpl::init()
{
    vyrSetIsInDesigner(false);
    vyrEnableSerializeChild(true);
    VYRQResourceManager::getInstance()->setIsDesigner(false);
    QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
}

void tst_WidgetBaseImpl::freshImpl()
{
    QWidget owner;
    VYRQWidgetBaseImpl impl(&owner, "somekey");
    QCOMPARE(impl.ctrlState(), Normal);
    QVERIFY(!impl.isHovered());
    QVERIFY(impl.getDelegateItemVisible());
    QCOMPARE(impl.themeName(), QStringLiteral("somekey"));
    QCOMPARE(impl.typeKey(), QStringLiteral("somekey"));
    QCOMPARE(VYRQWidgetBaseImpl::fromWidget(&owner), &impl);
    QCOMPARE(owner.property("impl").userType(), int(QMetaType::VoidStar));

    QWidget other;
    QCOMPARE(VYRQWidgetBaseImpl::fromWidget(&other), nullptr);
    other.setProperty("impl", 5);
    QCOMPARE(VYRQWidgetBaseImpl::fromWidget(&other), nullptr);
}

void tst_WidgetBaseImpl::themeDefaultsOnConstruction()
{
    QWidget page;
    CoreControl c(&page);
    QVERIFY(c.impl()->themeSwitchDuringRead);
    QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
    // Fanned out from the Normal slot.
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(c.impl()->fills.get(s).fill.color, QColor(Qt::red));
    // The theme element's base keys are not for the control.
    QCOMPARE(c.getControlBase()->layoutRect(), QRect(0, 0, 0, 0));
    QVERIFY(!c.isHidden());
}

void tst_WidgetBaseImpl::designerModeSkipsThemeDefaults()
{
    vyrSetIsInDesigner(true);
    CoreControl c;
    QCOMPARE(normalColor(c), QColor(Qt::white));
    c.getControlBase()->refreshTheme();
    QCOMPARE(normalColor(c), QColor(Qt::white));
    vyrSetIsInDesigner(false);
    c.getControlBase()->refreshTheme();
    QCOMPARE(normalColor(c), QColor(Qt::red));
}

void tst_WidgetBaseImpl::stateMachine()
{
    CoreControl c;
    c.resize(20, 20);
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    CoreControlImpl* impl = c.impl();
    auto send = [&c](QEvent::Type type) {
        QEvent e(type);
        QCoreApplication::sendEvent(&c, &e);
    };

    int paints = impl->paints;
    QTest::mousePress(&c, Qt::LeftButton);
    QCOMPARE(impl->ctrlState(), Pressed);
    QVERIFY(impl->paints > paints);   // repainted at once, not scheduled
    QCOMPARE(impl->paintedState, Pressed);
    QTest::mouseRelease(&c, Qt::LeftButton);
    QCOMPARE(impl->ctrlState(), Normal);

    paints = impl->paints;
    send(QEvent::Enter);
    QVERIFY(impl->isHovered());
    QCOMPARE(impl->ctrlState(), Hot);
    QVERIFY(impl->paints > paints);
    QTest::mousePress(&c, Qt::LeftButton);
    QCOMPARE(impl->ctrlState(), Pressed);
    QTest::mouseRelease(&c, Qt::LeftButton);
    QCOMPARE(impl->ctrlState(), Hot);

    send(QEvent::Leave);
    QVERIFY(!impl->isHovered());
    QCOMPARE(impl->ctrlState(), Normal);

    send(QEvent::Enter);
    c.setEnabled(false);
    send(QEvent::Leave);
    QCOMPARE(impl->ctrlState(), Disable);

    // Enabling again takes effect at the next paint, before anything is drawn.
    c.setEnabled(true);
    c.repaint();
    QCOMPARE(impl->paintedState, Normal);
    QCOMPARE(impl->ctrlState(), Normal);
    c.setEnabled(false);
    c.repaint();
    QCOMPARE(impl->paintedState, Disable);
}

void tst_WidgetBaseImpl::attrKinds()
{
    QWidget page;
    CoreControl c(&page);
    Json::Value in = jsonOf(R"({"attr": {"a": true, "b": 7, "c": 4000000000, "d": 1.5, "e": ["x", "y"],
                                         "f": null, "g": {}, "h": [], "i": [1, "x"], "j": -5000000000}})");
    QVERIFY(c.readJsonValue(&in));
    const auto& attrs = c.impl()->attrValues();
    auto kindOf = [&attrs](const char* name) {
        const auto it = attrs.find(name);
        return it == attrs.end() ? -1 : it->second.kind;
    };
    QCOMPARE(kindOf("a"), int(VYRQAttrValue::Bool));
    QCOMPARE(kindOf("b"), int(VYRQAttrValue::Int32));
    QCOMPARE(kindOf("c"), int(VYRQAttrValue::UInt32));
    QCOMPARE(kindOf("d"), int(VYRQAttrValue::Double));
    QCOMPARE(kindOf("e"), int(VYRQAttrValue::StringList));
    QCOMPARE(kindOf("j"), int(VYRQAttrValue::Double));
    for (const char* absent : { "f", "g", "h", "i" })
        QVERIFY2(kindOf(absent) == -1, absent);

    Json::Value out;
    QVERIFY(c.serializeJsonValue(&out, false));
    const Json::Value& attr = out["attr"];
    QCOMPARE(attr["a"], Json::Value(true));
    QCOMPARE(attr["b"], Json::Value(7));
    QCOMPARE(attr["c"].asUInt(), 4000000000u);
    QCOMPARE(attr["d"].asDouble(), 1.5);
    QCOMPARE(attr["e"].size(), 2u);
    QCOMPARE(attr["e"][1].asString(), std::string("y"));
    QCOMPARE(attr.size(), 6u);
    QCOMPARE(out["theme"].asString(), std::string("corecontrol"));

    // Read back, the store is the same.
    CoreControl copy(&page);
    QVERIFY(copy.readJsonValue(&out));
    QCOMPARE(copy.impl()->attrValues().size(), attrs.size());
    QCOMPARE(copy.impl()->attrValues().at("e").value.toStringList(), QStringList({ "x", "y" }));
}

void tst_WidgetBaseImpl::ownAttrKeysNeverEchoed()
{
    QWidget page;
    CoreControl c(&page);
    Json::Value in = jsonOf(R"({"attr": {"level": 4, "tint": "80FF0000", "extra": 1}})");
    QVERIFY(c.readJsonValue(&in));
    QCOMPARE(c.impl()->level, 4);
    QCOMPARE(c.impl()->tint, QColor(255, 0, 0));   // attr colours are opaque
    QCOMPARE(c.impl()->attrValues().size(), size_t(1));

    // The control no longer writes them; no stale copy may appear instead.
    c.impl()->level = 0;
    c.impl()->tint = QColor();
    Json::Value out;
    QVERIFY(c.serializeJsonValue(&out, false));
    QVERIFY(!out["attr"].isMember("level"));
    QVERIFY(!out["attr"].isMember("tint"));
    QCOMPARE(out["attr"]["extra"], Json::Value(1));
}

void tst_WidgetBaseImpl::themeRedirect_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("themeName");

    QTest::newRow("redirect") << QByteArray(R"({"attr": {}, "theme": "TestRedirect"})") << QColor(Qt::blue) << 3
                              << "TestRedirect";
    QTest::newRow("no attr, no redirect") << QByteArray(R"({"theme": "TestRedirect"})") << QColor(Qt::red) << 0
                                          << "corecontrol";
    QTest::newRow("attr not an object") << QByteArray(R"({"attr": 5, "theme": "TestRedirect"})")
                                        << QColor(Qt::red) << 0 << "corecontrol";
    QTest::newRow("missing element") << QByteArray(R"({"attr": {}, "theme": "Nope"})") << QColor(Qt::red) << 0
                                     << "corecontrol";
    QTest::newRow("theme not a text") << QByteArray(R"({"attr": {}, "theme": 5})") << QColor(Qt::red) << 0
                                      << "corecontrol";
    // Without a redirect the element's own styles resolve in the default set.
    QTest::newRow("own style") << QByteArray(R"({"attr": {}, "style": [["DefYellow", 1, 0]]})")
                               << QColor(Qt::yellow) << 0 << "corecontrol";
}

void tst_WidgetBaseImpl::themeRedirect()
{
    QFETCH(QByteArray, json);
    QFETCH(QColor, color);
    QFETCH(int, level);
    QFETCH(QString, themeName);

    QWidget page;
    CoreControl c(&page);
    Json::Value v = jsonOf(json.constData());
    QVERIFY(c.readJsonValue(&v));
    QCOMPARE(normalColor(c), color);
    QCOMPARE(c.impl()->level, level);
    QCOMPARE(c.getThemeName(), themeName);
    QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());

    Json::Value out;
    c.serializeJsonValue(&out, false);
    QCOMPARE(QString::fromStdString(out["theme"].asString()), themeName);
}

void tst_WidgetBaseImpl::redirectKeepsOwnAttrsAndReloads()
{
    QWidget page;
    CoreControl c(&page);
    Json::Value in = jsonOf(R"({"attr": {"level": 9, "mine": 1}, "theme": "TestRedirect"})");
    QVERIFY(c.readJsonValue(&in));
    QCOMPARE(c.impl()->level, 3);
    const auto& attrs = c.impl()->attrValues();
    QVERIFY(attrs.count("mine"));
    QVERIFY(!attrs.count("level"));

    // Saved and reloaded, the page looks as it did.
    Json::Value saved;
    c.serializeJsonValue(&saved, false);
    QCOMPARE(saved["theme"].asString(), std::string("TestRedirect"));
    CoreControl reloaded(&page);
    QVERIFY(reloaded.readJsonValue(&saved));
    QCOMPARE(normalColor(reloaded), QColor(Qt::blue));
    QCOMPARE(reloaded.impl()->level, 3);

    c.impl()->level = 0;
    Json::Value again;
    c.serializeJsonValue(&again, false);
    QVERIFY(!again["attr"].isMember("level"));
}

void tst_WidgetBaseImpl::redirectRestoresLookupSwitch()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QWidget page;
    CoreControl redirected(&page);
    Json::Value r = jsonOf(R"({"attr": {}, "theme": "TestRedirect"})");
    QVERIFY(redirected.readJsonValue(&r));
    QVERIFY(!rm->isLoadFromThemeRes());

    // A later direct read resolves in the default set again.
    CoreControl later(&page);
    Json::Value plain = jsonOf(R"({"style": [["DefYellow", 1, 0]]})");
    QVERIFY(later.readJsonValue(&plain));
    QCOMPARE(normalColor(later), QColor(Qt::yellow));

    // And a raised switch stays raised across a nested read.
    {
        VYRQResSwitchGuard theme(VYRQResSwitchGuard::ThemeRes, true);
        CoreControl nested(&page);
        QVERIFY(nested.readJsonValue(&r));
        QVERIFY(rm->isLoadFromThemeRes());
        QVERIFY(nested.serializeJsonValue(&r, true));
        QVERIFY(rm->isLoadFromThemeRes());
    }
    QVERIFY(!rm->isLoadFromThemeRes());
}

void tst_WidgetBaseImpl::redirectNotInResourceDesignerMode()
{
    QWidget page;
    CoreControl c(&page);
    VYRQResourceManager::getInstance()->setIsDesigner(true);
    Json::Value v = jsonOf(R"({"attr": {}, "theme": "TestRedirect"})");
    QVERIFY(c.readJsonValue(&v));
    VYRQResourceManager::getInstance()->setIsDesigner(false);
    QCOMPARE(normalColor(c), QColor(Qt::red));
    QCOMPARE(c.getThemeName(), QStringLiteral("corecontrol"));
}

void tst_WidgetBaseImpl::writeCommonKeysAndChildren()
{
    QWidget page;
    CoreControl parent(&page);
    auto* child = new CoreControl(&parent);
    child->setObjectName("kid");
    new QWidget(&parent);   // not a library control: not written

    Json::Value out;
    QVERIFY(parent.serializeJsonValue(&out, false));
    QCOMPARE(out["theme"].asString(), std::string("corecontrol"));
    QVERIFY(!out.isMember("attr"));
    QVERIFY(out["child"].isArray());
    QCOMPARE(out["child"].size(), 1u);
    QCOMPARE(out["child"][0]["name"].asString(), std::string("kid"));
    QCOMPARE(out["child"][0]["type"].asString(), std::string("corecontrol"));

    vyrEnableSerializeChild(false);
    Json::Value alone;
    QVERIFY(parent.serializeJsonValue(&alone, false));
    QVERIFY(!alone.isMember("child"));

    // A writer given a value that is no object makes it one.
    Json::Value notObject(Json::arrayValue);
    QVERIFY(parent.serializeJsonValue(&notObject, false));
    QVERIFY(notObject.isObject());

    Json::Value* null = nullptr;
    QVERIFY(!parent.impl()->serializeJson(null, false));
    QVERIFY(!parent.serializeJsonValue(nullptr, true));
}

void tst_WidgetBaseImpl::setThemeNameAppliesWithThemeSet()
{
    QWidget page;
    CoreControl c(&page);
    c.setThemeName("TestAlt");
    QCOMPARE(c.getThemeName(), QStringLiteral("TestAlt"));
    QCOMPARE(normalColor(c), QColor(Qt::green));
    QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());

    VYRQResourceManager::getInstance()->setIsDesigner(true);
    c.setThemeName("corecontrol");
    VYRQResourceManager::getInstance()->setIsDesigner(false);
    QCOMPARE(c.getThemeName(), QStringLiteral("TestAlt"));
    QCOMPARE(normalColor(c), QColor(Qt::green));

    // A name the theme lacks changes nothing but the name.
    c.setThemeName("Missing");
    QCOMPARE(normalColor(c), QColor(Qt::green));
}

void tst_WidgetBaseImpl::wrongTypedJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("attr number") << QByteArray(R"({"attr": 5})");
    QTest::newRow("style of numbers") << QByteArray(R"({"style": [1, [2, 1, 0], ["x"], ["x", "a", "b"]]})");
    QTest::newRow("style object") << QByteArray(R"({"style": {"a": 1}})");
    QTest::newRow("child of texts") << QByteArray(R"({"child": ["x"]})");
    QTest::newRow("own attr of wrong type") << QByteArray(R"({"attr": {"level": "x", "tint": 7}})");
    QTest::newRow("base keys of wrong type")
        << QByteArray(R"({"name": 5, "tooltip": [], "visibility": "no", "enable": {}, "x": "1",
                          "layout": {"type": "0", "ratio": "2"}, "minWidth": true, "absoluteDockHor": []})");
    QTest::newRow("root array") << QByteArray("[1, 2]");
    QTest::newRow("root text") << QByteArray(R"("text")");
    QTest::newRow("root null") << QByteArray("null");
}

void tst_WidgetBaseImpl::wrongTypedJson()
{
    QFETCH(QByteArray, json);
    QWidget page;
    CoreControl c(&page);
    Json::Value v = jsonOf(json.constData());
    try {
        QVERIFY(c.readJsonValue(&v));
        Json::Value out;
        QVERIFY(c.serializeJsonValue(&out, false));
    } catch (...) {
        QFAIL("reading malformed JSON threw");
    }
    QCOMPARE(c.impl()->level, 0);
    QCOMPARE(normalColor(c), QColor(Qt::red));
    QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
}

QTEST_MAIN(tst_WidgetBaseImpl)
#include "tst_widgetbaseimpl.moc"
