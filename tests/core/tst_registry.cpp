#include "testcontrols.h"
#include "testaccess.h"
#include "cputimer.h"
#include "peakmemory.h"
#include "specialfiles.h"
#include "warningcapture.h"
#include "VYRQContainer.h"
#include "VYRQGlobal_p.h"
#include "VYRQSubWin.h"
#include "VYRQWindow.h"
#include "VYRQZip.h"
#include "VYRQtLib.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

QWidget* createPlainWidget() { return new QWidget; }

ControlInfo infoFor(const char* key, const char* displayName)
{
    return vyr::makeControlInfo(key, "TestControl", displayName, "Test control", "test");
}

QStringList boundCalls;

// Answers only for elements named "special".
QWidget* boundCreate(const QString& name, const QString& typeKey)
{
    boundCalls << name + '/' + typeKey;
    if (name != QLatin1String("special"))
        return nullptr;
    auto* widget = new TestControl;
    widget->setProperty("fromBound", true);
    return widget;
}

QString page(const char* name) { return QStringLiteral(VYR_TEST_DATA "/pages/") + QLatin1String(name); }

// A page of one test control with the given members.
QByteArray oneControl(const char* members)
{
    return QByteArray(R"({"elements": [{"type": "testctl", )") + members + "}]}";
}

// A page of test controls nested `levels` deep, each the only child of the one above.
QByteArray nestedControls(int levels)
{
    QByteArray element = R"({"type": "testctl", "attr": {"a": {"b": [1]}}})";
    for (int level = 1; level < levels; ++level)
        element = R"({"type": "testctl", "child": [)" + element + "]}";
    return R"({"elements": [)" + element + "]}";
}

QStringList childNames(const QWidget* parent)
{
    QStringList names;
    for (const QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        names << child->objectName();
    return names;
}

} // namespace

class tst_Registry : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString writePage(const QByteArray& content, const QString& name = QStringLiteral("page.json"))
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? file.fileName() : QString();
    }

private slots:
    // The forwarders refuse until the library is started.
    void initTestCase()
    {
        QVERIFY(!writePage(R"({"style": []})", "style.json").isEmpty());
        QVERIFY(!vyrLoadThemeDir(m_dir.path().toUtf8().constData()));
        VYRQtLib::init();
        QVERIFY(vyrLoadThemeDir(m_dir.path().toUtf8().constData()));
        vyrRegisterQtControl("testctl", &TestControl::createTestControl, TestControl::getProps(), true);
        QVERIFY(QDir(m_dir.path()).mkdir("folder.json"));
    }

    void builtinKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("builtType");   // type key of the control the key builds
        QTest::addColumn<QString>("className");   // class of the record, empty for an alias
        QTest::newRow("qtcontainer") << "qtcontainer" << "qtcontainer" << "VYRQContainer";
        QTest::newRow("container") << "container" << "qtcontainer" << "";
        QTest::newRow("qtbutton") << "qtbutton" << "qtbutton" << "VYRQPushButton";
        QTest::newRow("radio") << "radio" << "qtradiobox" << "";
        QTest::newRow("image") << "image" << "qtpicture" << "";
        QTest::newRow("qtlabelex, no record") << "qtlabelex" << "qtlabelex" << "";
        QTest::newRow("splitter") << "splitter" << "qtsplitter" << "";
    }
    void builtinKeys()
    {
        QFETCH(QString, key);
        QFETCH(QString, builtType);
        QFETCH(QString, className);
        const ControlInfo* info = vyrGetControlInfo(key);
        QCOMPARE(info ? QString::fromStdString(info->className) : QString(), className);
        std::unique_ptr<QWidget> widget(::createControlByType(key.toUtf8().constData(), nullptr));
        auto* control = dynamic_cast<IVYRQWidgetBase*>(widget.get());
        QVERIFY(control);
        QCOMPARE(control->getTypeName(), builtType);
    }

    // An alias adds a factory but no record; over a key it replaces the factory only.
    void aliasesAndReplacement()
    {
        vyrRegisterDefaultControl("testalias", &TestControl::createTestControl);
        QVERIFY(!vyrGetControlInfo(QStringLiteral("testalias")));
        QWidget parent;
        QWidget* viaAlias = ::createControlByType("testalias", &parent);
        QVERIFY(dynamic_cast<TestControl*>(viaAlias) && viaAlias->parentWidget() == &parent);

        vyrRegisterQtControl("testreplace", &createPlainWidget, infoFor("testreplace", "First"), true);
        vyrRegisterQtControl("testreplace", &TestControl::createTestControl, infoFor("testreplace", "Second"), false);
        std::unique_ptr<QWidget> widget(::createControlByType("testreplace", nullptr));
        QVERIFY(dynamic_cast<TestControl*>(widget.get()));
        vyrRegisterDefaultControl("testreplace", &createPlainWidget);
        QCOMPARE(vyrGetControlInfo(QStringLiteral("testreplace"))->displayName, std::string("Second"));
        widget.reset(::createControlByType("testreplace", nullptr));
        QVERIFY(widget && !dynamic_cast<TestControl*>(widget.get()));
        vyrRegisterQtControl("nofactory", nullptr, infoFor("nofactory", "No factory"), true);
        QVERIFY(!vyrGetControlInfo("nofactory"));
    }

    // Byte order: upper-case letters first; the stored records, not copies.
    void keyOrderIsByteOrder()
    {
        vyrRegisterQtControl("qtzz", &createPlainWidget, infoFor("qtzz", "Z"), true);
        vyrRegisterQtControl("Window", &createPlainWidget, infoFor("Window", "Window"), true);
        const QVector<ControlInfo*> all = vyrGetAllControlInfo();
        QCOMPARE(all.first(), vyrGetControlInfo(QStringLiteral("Window")));
        QVERIFY(std::is_sorted(all.begin(), all.end(), [](const ControlInfo* a, const ControlInfo* b) { return a->typeKey < b->typeKey; }));
    }

    // Created by type, a control reads nothing; from JSON it reads the element once.
    void createControl()
    {
        QWidget parent;
        auto* byType = static_cast<TestControl*>(::createControlByType("testctl", &parent));
        QVERIFY(byType && byType->parentWidget() == &parent);
        QCOMPARE(vyrtest::impl(byType)->reads, 0);
        QVERIFY(!::createControlByType("nosuchkey", nullptr) && !::createControlByType(nullptr, nullptr));

        Json::Value element(Json::objectValue);
        element["name"] = "first";
        VYRQResourceManager::getInstance()->setSwitchToThemeRes(true);   // lowered for every created control
        auto* fromJson = dynamic_cast<TestControl*>(::createControlFromJson("testctl", element, &parent));
        QVERIFY(fromJson && fromJson->parentWidget() == &parent);
        QCOMPARE(fromJson->objectName(), QStringLiteral("first"));
        QCOMPARE(vyrtest::impl(fromJson)->reads, 1);
        QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
        QCOMPARE(vyrtest::impl(dynamic_cast<TestControl*>(::createControlFromJson("testctl", Json::Value(), &parent)))->reads, 0);
    }

    // A bound function is asked first, for any key; a null answer falls back to the registry.
    void boundCreateFunctionAskedFirst()
    {
        vyrBindControlCreateFunction(&boundCreate);
        Json::Value special(Json::objectValue), other(Json::objectValue);
        special["name"] = "special";
        special["tooltip"] = "bound tip";
        other["name"] = "other";
        QWidget parent;
        QWidget* bound = ::createControlFromJson("nosuchkey", special, &parent);
        QVERIFY(bound && bound->property("fromBound").toBool() && bound->parentWidget() == &parent);
        QCOMPARE(bound->toolTip(), QStringLiteral("bound tip"));
        QWidget* registry = ::createControlFromJson("testctl", other, &parent);
        QVERIFY(registry && !registry->property("fromBound").isValid());
        vyrBindControlCreateFunction(nullptr);
        QVERIFY(!::createControlFromJson("testctl", special, &parent)->property("fromBound").isValid());
        QCOMPARE(boundCalls, QStringList({ "special/nosuchkey", "other/testctl" }));
    }

    // The page loader ---------------------------------------------------------------

    // Every element is built, but only a container that is the last element is returned.
    void returnRule_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("built");
        QTest::newRow("container last") << page("label_then_container.json") << "page" << QStringList{ "first", "page" };
        QTest::newRow("container first") << page("container_then_label.json") << "" << QStringList{ "page", "last" };
    }
    void returnRule()
    {
        QFETCH(QString, file);
        QFETCH(QString, result);
        QFETCH(QStringList, built);
        QWidget parent;
        VYRQContainer* container = vyrCreatePageByFileName(&parent, file);
        QCOMPARE(container ? container->objectName() : QString(), result);
        QCOMPARE(childNames(&parent), built);
        QVERIFY(!vyrCreatePageByFileName(nullptr, file));
    }

    void jsonSuffix_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::newRow("suffix appended") << page("label_then_container") << true;
        QTest::newRow("suffix in the middle") << page("middle.json.page") << true;
        QTest::newRow("appended to a missing name") << page("middle") << false;
        QTest::newRow("read up to the NUL") << page("nul_terminated") << true;
        QTest::newRow("directory") << m_dir.filePath("folder.json") << false;
    }
    void jsonSuffix()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QWidget parent;
        QCOMPARE(vyrCreatePageByFileName(&parent, name) != nullptr, found);
    }

    // Header keys go to a window: "w" alone changes the width only.
    void headerKeys()
    {
        VYRQWindow window;
        window.setGeometry(30, 40, 300, 200);
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(vyrCreatePageByFileName(&window, page("window_keys.json")));
        QCOMPARE(window.geometry(), QRect(30, 40, 520, 200));
        QCOMPARE(window.windowFlags(), flags);   // "trans": false
        QVERIFY(!window.getCanGrag() && window.getResizeable() && window.getOnlyDragCaption());
        QCOMPARE(window.getMinSize(), QSize(300, 200));
        QCOMPARE(window.minimumSize(), QSize(300, 200));

        VYRQSubWin sub;
        sub.resize(100, 80);
        QVERIFY(vyrCreatePageByFileName(&sub, page("window_keys.json")));
        QCOMPARE(sub.size(), QSize(520, 80));
        QCOMPARE(sub.minimumSize(), QSize(0, 0));   // stored, not set on the widget

        QWidget plain;   // no window: no header keys
        plain.resize(100, 80);
        QVERIFY(vyrCreatePageByFileName(&plain, page("window_keys.json")));
        QCOMPARE(plain.size(), QSize(100, 80));

        VYRQWindow clear;
        QVERIFY(vyrCreatePageByFileName(&clear, writePage(R"({"trans": true, "elements": [{"type": "qtcontainer"}]})")));
        QVERIFY((clear.windowFlags() & Qt::FramelessWindowHint) && clear.testAttribute(Qt::WA_TranslucentBackground));
    }

    // A window's backing store grows with its area: a page holds its window to
    // maxPageWindowSide a side, with a warning for each value cut.
    void windowSidesHeld_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("held");
        const int most = vyr::maxPageWindowSide;
        QTest::newRow("at the limit") << most << most;
        QTest::newRow("past the limit") << 30000 << most;
        QTest::newRow("past the shared-memory image") << 46341 << most;
        QTest::newRow("largest int") << INT_MAX << most;
    }

    void windowSidesHeld()
    {
        QFETCH(int, side);
        QFETCH(int, held);
        const QByteArray number = QByteArray::number(side);
        const QString file = writePage(R"({"w": )" + number + R"(, "h": )" + number + R"(, "minW": )" + number
                                       + R"(, "minH": )" + number + R"(, "elements": [{"type": "qtcontainer"}]})");
        const int warnings = side > held ? 4 : 0;
        WarningCapture capture;
        VYRQWindow window;
        QVERIFY(vyrCreatePageByFileName(&window, file));
        QCOMPARE(window.size(), QSize(held, held));
        QCOMPARE(window.getMinSize(), QSize(held, held));
        VYRQSubWin sub;
        QVERIFY(vyrCreatePageByFileName(&sub, file));
        QCOMPARE(sub.size(), QSize(held, held));
        QCOMPARE(capture.count(QStringLiteral("held to")), 2 * warnings);
    }

    // A returned container fills its window, also after a resize; elsewhere it keeps its rectangle.
    void containerFillsWindow()
    {
        VYRQWindow window;
        window.resize(300, 200);
        VYRQContainer* filled = vyrCreatePageByFileName(&window, page("window_keys.json"));
        QVERIFY(filled);
        QCOMPARE(filled->geometry(), QRect(0, 0, 520, 200));
        QCOMPARE(filled->findChild<VYRQContainer*>("inner")->getControlBase()->layoutRect(), QRect(4, 6, 30, 20));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(640, 360);
        QCOMPARE(filled->geometry(), QRect(0, 0, 640, 360));

        QWidget host;
        VYRQSubWin sub(&host);
        sub.resize(200, 100);
        QVERIFY(!vyrCreatePageByFileName(&sub, page("container_then_label.json")));
        QCOMPARE(sub.findChild<VYRQContainer*>("page")->geometry(), QRect(10, 10, 50, 50));
    }

    // Skipped elements take their children with them; createComplete runs after the children;
    // nested controls start at their recorded rectangles.
    void childrenAndCompletion()
    {
        QWidget parent;
        QVERIFY(!vyrCreatePageByFileName(&parent, page("nested_children.json")));
        auto* outer = parent.findChild<TestControl*>("outer", Qt::FindDirectChildrenOnly);
        QVERIFY(outer);   // built through the alias
        QCOMPARE(countTestControls(&parent), 4);
        QCOMPARE(vyrtest::impl(outer)->completions, 1);
        QCOMPARE(vyrtest::impl(outer)->childWidgetsAtComplete, 2);
        QCOMPARE(vyrtest::impl(outer->findChild<TestControl*>("b"))->childWidgetsAtComplete, 1);
        QCOMPARE(outer->findChild<TestControl*>("a")->geometry(), QRect(3, 4, 10, 10));
    }

    // A page file gets the rules of a theme's files: a regular file only (a FIFO would
    // wait for a writer, a device read without end), within a zip entry's size, which is
    // checked before anything is read.
    void pageFileKinds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("warning");   // empty: the page is built
        QTest::newRow("FIFO") << "fifo" << "not a regular file";
        QTest::newRow("link to a device") << "device" << "not a regular file";
        QTest::newRow("past the size limit") << "huge" << "too large";
        QTest::newRow("at the size limit") << "limit" << "";
    }

    void pageFileKinds()
    {
        QFETCH(QString, kind);
        QFETCH(QString, warning);
        const QString file = m_dir.filePath(kind + ".json");
        const QByteArray page = R"({"elements": [{"type": "qtcontainer"}]})";
        QFile::remove(file);
        std::unique_ptr<specialfiles::FifoWriter> unblock;
        if (kind == "fifo") {
            QVERIFY(specialfiles::fifo(file));
            unblock.reset(new specialfiles::FifoWriter({file}, 3000));
        } else if (kind == "device")
            QVERIFY(specialfiles::linkToEndlessDevice(file));
        else   // stored pages end at a NUL: the zeros after the page are not parsed
            QVERIFY(specialfiles::sparse(file, page, qint64(ZipMaxEntrySize) + (kind == "huge" ? 1 : 0)));

        WarningCapture capture;
        const PeakMemory memory;
        const CpuTimer timer;
        QWidget parent;
        const bool built = vyrCreatePageByFileName(&parent, file) != nullptr;
        VERIFY_CPU_BELOW(timer, 2000);
        QCOMPARE(unblock ? unblock->readersFound() : 0, 0);   // refused without waiting for a writer
        unblock.reset();
        QCOMPARE(built, warning.isEmpty());
        if (!warning.isEmpty()) {
            QCOMPARE(capture.count(warning), 1);
            VERIFY_PEAK_GROWTH_BELOW(memory.growthMb(), 16);
        }
    }

    void wrongTypedPages_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("controls");
        QTest::newRow("elements an object") << QByteArray(R"({"elements": {"type": "testctl"}})") << 0;
        QTest::newRow("elements of odd values") << QByteArray(R"({"elements": [5, null, "x", [], {"type": "testctl"}]})") << 1;
        QTest::newRow("child of odd values") << oneControl(R"("child": ["x", 5, null, []])") << 1;
        QTest::newRow("attr odd members") << oneControl(R"("attr": {"a": [], "b": [1, "x"], "d": -1e300, "e": 18446744073709551615})") << 1;
        QTest::newRow("style of numbers") << oneControl(R"("style": [1, [2], ["a"], [5, 1, 0]])") << 1;
        QTest::newRow("type null") << QByteArray(R"({"elements": [{"type": null, "child": [{"type": "testctl"}]}]})") << 0;
        QTest::newRow("base keys wrong") << oneControl(R"("name": 5, "visibility": "yes", "layout": "x", "w": [1], "x": 1e300,
                                                          "h": 9223372036854775807, "widthPolicy": 1.5e20, "maxHeight": -1e300)") << 1;
        QTest::newRow("not json") << QByteArray(R"({"elements": [{"type": "testctl")") << 0;
        QTest::newRow("nested past the parser") << QByteArray(400, '[') << 0;
        QTest::newRow("nested to the element limit") << nestedControls(vyr::maxElementDepth) << vyr::maxElementDepth;
        QTest::newRow("nested past the element limit: cut")
            << nestedControls(vyr::maxElementDepth + 1) << vyr::maxElementDepth;
    }
    void wrongTypedPages()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, controls);
        QWidget parent;
        QVERIFY(!vyrCreatePageByFileName(&parent, writePage(content)));
        QCOMPARE(countTestControls(&parent), controls);
    }

    // Qt paints a widget's children recursing once per sibling, and an element's own
    // children from within that recursion: the lists along one path of a page stack up.
    // A page whose lists along some path add up past the limit is refused whole, before
    // anything is built, however short each list is; so is a page of more controls in all
    // than maxPageControls. What is built paints.
    void siblingLimit_data()
    {
        QTest::addColumn<QVector<int>>("path");   // list lengths, the page's "elements" first
        QTest::addColumn<int>("branches");        // top-level containers holding the rest of the path
        QTest::addColumn<bool>("built");
        const int limit = vyr::maxPageSiblings;
        QTest::newRow("top level at the limit") << QVector<int>{limit} << 0 << true;
        QTest::newRow("top level past the limit") << QVector<int>{limit + 1} << 0 << false;
        QTest::newRow("a child list past the limit") << QVector<int>{1, 1, limit + 1} << 1 << false;
        QTest::newRow("lists along a path past the limit") << QVector<int>{1, 1, limit - 1} << 1 << false;
        QTest::newRow("three levels up to the limit") << QVector<int>{3000, 3000, limit - 6000} << 1 << true;
        QTest::newRow("three levels past the limit") << QVector<int>{limit, limit, limit} << 1 << false;
        QTest::newRow("lists on other paths") << QVector<int>{2, limit - 2} << 2 << true;
        // Each list well within the limit, but more controls in all than a page may build.
        QTest::newRow("100 containers of 2,600") << QVector<int>{100, 2600} << 100 << false;
        // Containers nested to the element limit build and paint.
        QTest::newRow("nested to the element limit") << QVector<int>(vyr::maxElementDepth, 1) << 1 << true;
    }

    void siblingLimit()
    {
        QFETCH(QVector<int>, path);
        QFETCH(int, branches);
        QFETCH(bool, built);
        // Overlapping controls, so that every sibling takes part in the paint.
        const QByteArray leaf = R"({"type": "testctl", "w": 40, "h": 20})";
        const auto list = [&leaf](int containers, const QByteArray& container, int length) {
            QByteArray text;
            for (int i = 0; i < length; ++i)
                text += (i ? "," : "") + (i < containers ? container : leaf);
            return text;
        };
        QByteArray entries = list(0, QByteArray(), path.last());
        int controls = path.last();
        for (int level = path.size() - 2; level >= 0; --level) {
            const int containers = level == 0 ? branches : 1;
            entries = list(containers, R"({"type": "qtcontainer", "w": 200, "h": 200, "child": [)" + entries + "]}",
                           path[level]);
            controls = containers * controls + path[level] - containers;
        }
        const QString file = writePage(R"({"elements": [)" + entries + "]}");
        entries.clear();
        QWidget parent;
        parent.resize(240, 240);
        const PeakMemory memory;
        vyrCreatePageByFileName(&parent, file);
        const qint64 grown = memory.growthMb();
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        parent.repaint();
        QCOMPARE(countTestControls(&parent), built ? controls : 0);
        // Refused before anything is built: no more than reading the document costs.
        if (!built)
            VERIFY_PEAK_GROWTH_BELOW(grown, 256);
    }
};

QTEST_MAIN(tst_Registry)
#include "tst_registry.moc"
