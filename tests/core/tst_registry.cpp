#include "TestControl.h"
#include "VYRQGlobal_p.h"
#include "VYRQtLib.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

#include <algorithm>
#include <memory>

namespace {

QWidget* createPlainWidget()
{
    return new QWidget;
}

QWidget* createNothing()
{
    return nullptr;
}

ControlInfo infoFor(const char* key, const char* displayName)
{
    return vyr::makeControlInfo(key, "TestControl", displayName, "Test control", "test");
}

struct BoundCall {
    int calls = 0;
    QString name;
    QString typeKey;
};

BoundCall& boundCall()
{
    static BoundCall call;
    return call;
}

// Answers only for elements named "special".
QWidget* boundCreate(const QString& name, const QString& typeKey)
{
    BoundCall& call = boundCall();
    ++call.calls;
    call.name = name;
    call.typeKey = typeKey;
    if (name != QLatin1String("special"))
        return nullptr;
    auto* widget = new TestControl;
    widget->setProperty("fromBound", true);
    return widget;
}

} // namespace

class tst_Registry : public QObject {
    Q_OBJECT

private slots:
    // Runs first: the library is started once per process.
    void forwardersRefuseBeforeInit();
    void initRunsOnce();
    void builtinKeys_data();
    void builtinKeys();
    void registerAndAliases();
    void nullKeyOrFactoryIgnored();
    void reRegistrationReplaces();
    void keyOrderIsByteOrder();
    void createControlByType();
    void createControlFromJson();
    void boundCreateFunctionAskedFirst();
    void projectStyleForwarders();
    void emulatorMode_data();
    void emulatorMode();

private:
    QTemporaryDir m_themeDir;
};

void tst_Registry::forwardersRefuseBeforeInit()
{
    QVERIFY(!VYRQtLib::isStarted());
    QVERIFY(m_themeDir.isValid());
    QFile style(m_themeDir.filePath("style.json"));
    QVERIFY(style.open(QIODevice::WriteOnly));
    style.write(R"({"style": []})");
    style.close();

    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const float scale = rm->getScaleFactor();
    const QByteArray dir = m_themeDir.path().toUtf8();
    QVERIFY(!vyrLoadThemeDir(dir.constData()));
    QVERIFY(rm->getThemePath().isEmpty());
    QVERIFY(!vyrLoadThemeFile(dir.constData()));
    QVERIFY(!vyrNotifyThemeChange());
    QVERIFY(!vyrLoadSkinFile(m_themeDir.path(), 0.5f));
    QVERIFY(!vyrSetSkinFilePath(m_themeDir.path(), 0.5f));
    QCOMPARE(rm->getScaleFactor(), scale);
    QVERIFY(!vyrSetProjectFilePath(m_themeDir.path()));
    QVERIFY(vyrGetControlInfo(QStringLiteral("qtcontainer")) == nullptr);
}

void tst_Registry::initRunsOnce()
{
    VYRQtLib::init();
    QVERIFY(VYRQtLib::isStarted());
    QCOMPARE(QApplication::style(), vyrGetStyle());
    const int registered = vyrGetAllControlInfo().size();
    QVERIFY(registered > 0);

    // A second init changes nothing: a record replaced in between stays replaced.
    vyrRegisterQtControl("qtcontainer", &createPlainWidget, infoFor("qtcontainer", "Replaced"), true);
    VYRQtLib::init();
    QCOMPARE(QString::fromStdString(vyrGetControlInfo(QStringLiteral("qtcontainer"))->displayName),
             QStringLiteral("Replaced"));
    QCOMPARE(vyrGetAllControlInfo().size(), registered);
    vyrRegisterQtControl("qtcontainer", &VYRQContainer::createVYRQContainer, VYRQContainer::getProps(), true);

    // The same folder that was refused before init now loads.
    QVERIFY(vyrLoadThemeDir(m_themeDir.path().toUtf8().constData()));
    QVERIFY(vyrNotifyThemeChange());
}

void tst_Registry::builtinKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("builtType");   // type key of the control the key builds
    QTest::addColumn<QString>("className");   // class of the record, empty for keys without one

    QTest::newRow("qtcontainer") << "qtcontainer" << "qtcontainer" << "VYRQContainer";
    QTest::newRow("container") << "container" << "qtcontainer" << "";
    QTest::newRow("qtbutton") << "qtbutton" << "qtbutton" << "VYRQPushButton";
    QTest::newRow("button") << "button" << "qtbutton" << "";
    QTest::newRow("qtlabel") << "qtlabel" << "qtlabel" << "VYRQLabel";
    QTest::newRow("label") << "label" << "qtlabel" << "";
    QTest::newRow("qtcheckbox") << "qtcheckbox" << "qtcheckbox" << "VYRQCheckBox";
    QTest::newRow("checkbox") << "checkbox" << "qtcheckbox" << "";
    QTest::newRow("qtradiobox") << "qtradiobox" << "qtradiobox" << "VYRQRadioButton";
    QTest::newRow("radio") << "radio" << "qtradiobox" << "";
    QTest::newRow("radiobox") << "radiobox" << "qtradiobox" << "";
    QTest::newRow("qtslider") << "qtslider" << "qtslider" << "VYRQSlider";
    QTest::newRow("slider") << "slider" << "qtslider" << "";
    QTest::newRow("qtspacer") << "qtspacer" << "qtspacer" << "VYRQSpacer";
    QTest::newRow("qtswitch") << "qtswitch" << "qtswitch" << "VYRQSwitch";
    QTest::newRow("switch") << "switch" << "qtswitch" << "";
    QTest::newRow("qtscrollbar") << "qtscrollbar" << "qtscrollbar" << "VYRQScrollBar";
    QTest::newRow("scrollbar") << "scrollbar" << "qtscrollbar" << "";
    QTest::newRow("qtpicture") << "qtpicture" << "qtpicture" << "VYRQImage";
    QTest::newRow("picture") << "picture" << "qtpicture" << "";
    QTest::newRow("image") << "image" << "qtpicture" << "";
    QTest::newRow("qtlabelex") << "qtlabelex" << "qtlabelex" << "";
    QTest::newRow("qtprogressbar") << "qtprogressbar" << "qtprogressbar" << "VYRQProgressBar";
    QTest::newRow("progressbar") << "progressbar" << "qtprogressbar" << "";
    QTest::newRow("qttab") << "qttab" << "qttab" << "VYRQTabWidget";
    QTest::newRow("tab") << "tab" << "qttab" << "";
    QTest::newRow("qtgroupbox") << "qtgroupbox" << "qtgroupbox" << "VYRQGroupBox";
    QTest::newRow("groupbox") << "groupbox" << "qtgroupbox" << "";
    QTest::newRow("qtlcdnumber") << "qtlcdnumber" << "qtlcdnumber" << "VYRQLCDNumber";
    QTest::newRow("qtsplitter") << "qtsplitter" << "qtsplitter" << "";
    QTest::newRow("splitter") << "splitter" << "qtsplitter" << "";
}

void tst_Registry::builtinKeys()
{
    QFETCH(QString, key);
    QFETCH(QString, builtType);
    QFETCH(QString, className);

    const ControlInfo* info = vyrGetControlInfo(key);
    if (className.isEmpty()) {
        QVERIFY(!info);
    } else {
        QVERIFY(info);
        QCOMPARE(QString::fromStdString(info->typeKey), key);
        QCOMPARE(QString::fromStdString(info->className), className);
    }
    std::unique_ptr<QWidget> widget(::createControlByType(key.toUtf8().constData(), nullptr));
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget.get());
    QVERIFY(control);
    QCOMPARE(control->getTypeName(), builtType);
}

void tst_Registry::registerAndAliases()
{
    vyrRegisterQtControl("testctl", &TestControl::createTestControl, TestControl::getProps(), false);
    vyrRegisterDefaultControl("testalias", &TestControl::createTestControl);

    const ControlInfo* info = vyrGetControlInfo(QStringLiteral("testctl"));
    QVERIFY(info);
    QCOMPARE(info->typeKey, std::string("testctl"));
    QVERIFY(!vyrGetControlInfo(QStringLiteral("testalias")));

    QWidget parent;
    QWidget* viaAlias = ::createControlByType("testalias", &parent);
    QVERIFY(dynamic_cast<TestControl*>(viaAlias));
    QCOMPARE(viaAlias->parentWidget(), &parent);
}

void tst_Registry::nullKeyOrFactoryIgnored()
{
    const int before = vyrGetAllControlInfo().size();
    vyrRegisterQtControl(nullptr, &createPlainWidget, infoFor("nokey", "No key"), true);
    vyrRegisterQtControl("nofactory", nullptr, infoFor("nofactory", "No factory"), true);
    vyrRegisterDefaultControl(nullptr, &createPlainWidget);
    vyrRegisterDefaultControl("nofactoryalias", nullptr);
    QCOMPARE(vyrGetAllControlInfo().size(), before);
    QVERIFY(!vyrGetControlInfo(QStringLiteral("nofactory")));
    QVERIFY(!::createControlByType("nofactory", nullptr));
    QVERIFY(!::createControlByType("nofactoryalias", nullptr));
}

void tst_Registry::reRegistrationReplaces()
{
    vyrRegisterQtControl("testreplace", &createPlainWidget, infoFor("testreplace", "First"), true);
    vyrRegisterQtControl("testreplace", &TestControl::createTestControl, infoFor("testreplace", "Second"), false);
    QCOMPARE(vyrGetControlInfo(QStringLiteral("testreplace"))->displayName, std::string("Second"));
    std::unique_ptr<QWidget> widget(::createControlByType("testreplace", nullptr));
    QVERIFY(dynamic_cast<TestControl*>(widget.get()));

    // An alias replaces only the factory; the record stays.
    vyrRegisterDefaultControl("testreplace", &createPlainWidget);
    QCOMPARE(vyrGetControlInfo(QStringLiteral("testreplace"))->displayName, std::string("Second"));
    widget.reset(::createControlByType("testreplace", nullptr));
    QVERIFY(widget && !dynamic_cast<TestControl*>(widget.get()));
}

void tst_Registry::keyOrderIsByteOrder()
{
    vyrRegisterQtControl("qtzz", &createPlainWidget, infoFor("qtzz", "Z"), true);
    vyrRegisterQtControl("Window", &createPlainWidget, infoFor("Window", "Window"), true);
    vyrRegisterQtControl("abc", &createPlainWidget, infoFor("abc", "A"), true);

    const QVector<ControlInfo*> all = vyrGetAllControlInfo();
    QVERIFY(!all.isEmpty());
    // Upper-case letters sort before lower-case ones.
    QCOMPARE(all.first()->typeKey, std::string("Window"));
    QVERIFY(std::is_sorted(all.begin(), all.end(),
                           [](const ControlInfo* a, const ControlInfo* b) { return a->typeKey < b->typeKey; }));
    // The records are the stored ones, not copies.
    QCOMPARE(all.first(), vyrGetControlInfo(QStringLiteral("Window")));
}

void tst_Registry::createControlByType()
{
    QVERIFY(!::createControlByType("nosuchkey", nullptr));
    QVERIFY(!::createControlByType(nullptr, nullptr));
    vyrRegisterDefaultControl("testnothing", &createNothing);
    QVERIFY(!::createControlByType("testnothing", nullptr));

    // Nothing is read: a page-built control would carry its "visibility" property.
    QWidget parent;
    QWidget* widget = ::createControlByType("testctl", &parent);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &parent);
    QVERIFY(!widget->property("visibility").isValid());
    QCOMPARE(static_cast<TestControl*>(widget)->impl()->reads, 0);
}

void tst_Registry::createControlFromJson()
{
    Json::Value element(Json::objectValue);
    element["name"] = "first";
    element["tooltip"] = "tip";

    QWidget parent;
    auto* control = dynamic_cast<TestControl*>(::createControlFromJson("testctl", element, &parent));
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &parent);
    QCOMPARE(control->objectName(), QStringLiteral("first"));
    QCOMPARE(control->toolTip(), QStringLiteral("tip"));
    QCOMPARE(control->impl()->reads, 1);

    // A null element creates and parents but reads nothing.
    auto* unread = dynamic_cast<TestControl*>(::createControlFromJson("testctl", Json::Value(), &parent));
    QVERIFY(unread);
    QCOMPARE(unread->impl()->reads, 0);

    // A widget that is no library control is parented and returned as it is.
    vyrRegisterDefaultControl("testplain", &createPlainWidget);
    QWidget* plain = ::createControlFromJson("testplain", element, &parent);
    QVERIFY(plain);
    QCOMPARE(plain->parentWidget(), &parent);
    QVERIFY(plain->objectName().isEmpty());

    QVERIFY(!::createControlFromJson("nosuchkey", element, &parent));
    QVERIFY(!::createControlFromJson(nullptr, element, &parent));

    // The load-from-theme switch is lowered for every created control.
    VYRQResourceManager::getInstance()->setSwitchToThemeRes(true);
    std::unique_ptr<QWidget> lowered(::createControlFromJson("testctl", element, nullptr));
    QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
}

void tst_Registry::boundCreateFunctionAskedFirst()
{
    boundCall() = BoundCall();
    vyrBindControlCreateFunction(&boundCreate);

    Json::Value special(Json::objectValue);
    special["name"] = "special";
    special["tooltip"] = "bound tip";
    Json::Value other(Json::objectValue);
    other["name"] = "other";

    QWidget parent;
    QWidget* bound = ::createControlFromJson("testplain", special, &parent);
    QVERIFY(bound);
    QCOMPARE(boundCall().calls, 1);
    QCOMPARE(boundCall().name, QStringLiteral("special"));
    QCOMPARE(boundCall().typeKey, QStringLiteral("testplain"));
    QVERIFY(bound->property("fromBound").toBool());
    QCOMPARE(bound->parentWidget(), &parent);
    QCOMPARE(bound->toolTip(), QStringLiteral("bound tip"));

    // A null answer falls back to the registry.
    QWidget* registry = ::createControlFromJson("testctl", other, &parent);
    QCOMPARE(boundCall().calls, 2);
    QVERIFY(registry && !registry->property("fromBound").isValid());

    // The bound function is also asked for keys the registry does not know.
    QWidget* unknownKey = ::createControlFromJson("nosuchkey", special, &parent);
    QVERIFY(unknownKey && unknownKey->property("fromBound").toBool());

    vyrBindControlCreateFunction(nullptr);
    QWidget* unbound = ::createControlFromJson("testctl", special, &parent);
    QCOMPARE(boundCall().calls, 3);
    QVERIFY(unbound && !unbound->property("fromBound").isValid());
}

void tst_Registry::projectStyleForwarders()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QVERIFY(vyrSetProjectFilePath(m_themeDir.path()));
    FillStyle style;
    style.fill.color = QColor(10, 20, 30);
    vyrSetProjectFillStyle(QStringLiteral("projectOnly"), style);
    QVERIFY(!rm->isProjectRes());

    FillStyle found;
    QVERIFY(!vyrGetFillStyle(QStringLiteral("projectOnly"), found));
    QVERIFY(vyrGetProjectFillStyle(QStringLiteral("projectOnly"), found));
    QCOMPARE(found.fill.color, QColor(10, 20, 30));
    QVERIFY(!rm->isProjectRes());
}

void tst_Registry::emulatorMode_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("emulator");

    QTest::newRow("emulator") << "/opt/VyrantQtEmulator/bin/run" << true;
    QTest::newRow("designer") << "C:/tools/Halvik.exe" << true;
    QTest::newRow("emulator other case") << "/opt/vyrantqtemulator/run" << false;
    QTest::newRow("designer other case") << "C:/tools/HALVIK.exe" << false;
    QTest::newRow("plain") << "/usr/bin/tst_registry" << false;
}

void tst_Registry::emulatorMode()
{
    QFETCH(QString, path);
    QFETCH(bool, emulator);
    QCOMPARE(vyr::pathNamesEmulator(path), emulator);
    // This executable's name is neither.
    QVERIFY(!vyrIsQtEmulator());
}

QTEST_MAIN(tst_Registry)
#include "tst_registry.moc"
