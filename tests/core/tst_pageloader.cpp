#include "TestControl.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQResourceManager.h"
#include "VYRQSubWin.h"
#include "VYRQWindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

namespace {

QString page(const char* name)
{
    return QStringLiteral(VYR_TEST_DATA "/pages/") + QLatin1String(name);
}

QList<QWidget*> childWidgets(const QWidget* parent)
{
    return parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class tst_PageLoader : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void returnRule_data();
    void returnRule();
    void jsonSuffix_data();
    void jsonSuffix();
    void nullParentBuildsNothing();
    void headerKeys();
    void headerKeysWrongTypes();
    void transparentHeader();
    void containerFillsWindow();
    void childrenAliasesAndCompletion();
    void wrongTypedPages_data();
    void wrongTypedPages();
    void elementDepthLimit();
    void createdByFileFlag();
    void resourcesAndSkinFolder();

private:
    QString writePage(const QByteArray& content);
    QTemporaryDir m_dir;
    int m_written = 0;
};

QString tst_PageLoader::writePage(const QByteArray& content)
{
    const QString path = m_dir.filePath(QStringLiteral("page%1.json").arg(++m_written));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

void tst_PageLoader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.json")));
    VYRQtLib::init();
    vyrRegisterQtControl("testctl", &TestControl::createTestControl, TestControl::getProps(), true);
    vyrRegisterDefaultControl("testalias", &TestControl::createTestControl);
    QVERIFY(vyrGetControlInfo(QStringLiteral("qtcontainer")));
}

void tst_PageLoader::returnRule_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("result");   // object name of the returned container, empty for null
    QTest::addColumn<QStringList>("built");

    QTest::newRow("container last") << page("label_then_container.json") << "page"
                                    << QStringList{"first", "page"};
    QTest::newRow("container first") << page("container_then_label.json") << ""
                                     << QStringList{"page", "last"};
}

void tst_PageLoader::returnRule()
{
    QFETCH(QString, file);
    QFETCH(QString, result);
    QFETCH(QStringList, built);

    QWidget parent;
    VYRQContainer* container = vyrCreatePageByFileName(&parent, file);
    QCOMPARE(container ? container->objectName() : QString(), result);
    if (container)
        QCOMPARE(container->parentWidget(), &parent);
    QStringList names;
    for (QWidget* child : childWidgets(&parent))
        names << child->objectName();
    QCOMPARE(names, built);
}

void tst_PageLoader::jsonSuffix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");

    QTest::newRow("suffix appended") << page("label_then_container") << true;
    QTest::newRow("suffix present") << page("label_then_container.json") << true;
    QTest::newRow("suffix in the middle") << page("middle.json.page") << true;
    // "middle" becomes "middle.json", which does not exist.
    QTest::newRow("appended to a missing name") << page("middle") << false;
    QTest::newRow("read up to the NUL") << page("nul_terminated") << true;
    QTest::newRow("missing file") << page("no_such_page.json") << false;
    QTest::newRow("directory") << m_dir.filePath(QStringLiteral("folder.json")) << false;
}

void tst_PageLoader::jsonSuffix()
{
    QFETCH(QString, name);
    QFETCH(bool, found);
    QWidget parent;
    QCOMPARE(vyrCreatePageByFileName(&parent, name) != nullptr, found);
}

void tst_PageLoader::nullParentBuildsNothing()
{
    QVERIFY(!vyrCreatePageByFileName(nullptr, page("label_then_container.json")));
}

void tst_PageLoader::headerKeys()
{
    VYRQWindow window;
    window.setGeometry(30, 40, 300, 200);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(window.getCanGrag());
    QVERIFY(!window.getResizeable());

    VYRQContainer* container = vyrCreatePageByFileName(&window, page("window_keys.json"));
    QVERIFY(container);
    // "w" alone: the width changes, position and height stay.
    QCOMPARE(window.geometry(), QRect(30, 40, 520, 200));
    // "trans": false leaves the window flags alone.
    QCOMPARE(window.windowFlags(), flags);
    QVERIFY(!window.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!window.getCanGrag());
    QVERIFY(window.getResizeable());
    QVERIFY(window.getOnlyDragCaption());
    QCOMPARE(window.getMinSize(), QSize(300, 200));
    QCOMPARE(window.minimumSize(), QSize(300, 200));

    VYRQSubWin host;
    host.resize(100, 80);
    QVERIFY(vyrCreatePageByFileName(&host, page("window_keys.json")));
    QCOMPARE(host.size(), QSize(520, 80));
    QVERIFY(host.getResizeable());
    // A sub-window stores its minimum without setting the widget's.
    QCOMPARE(host.minimumSize(), QSize(0, 0));

    // A parent that is no window takes no header keys.
    QWidget plain;
    plain.resize(100, 80);
    QVERIFY(vyrCreatePageByFileName(&plain, page("window_keys.json")));
    QCOMPARE(plain.size(), QSize(100, 80));
}

void tst_PageLoader::headerKeysWrongTypes()
{
    VYRQWindow window;
    window.resize(300, 200);
    const QString file = writePage(R"({"w": "wide", "h": [1], "trans": "yes", "drag": "no",
        "resize": {}, "minW": "1", "minH": null, "onlyDragCaption": [true],
        "elements": [{"type": "qtcontainer", "name": "page"}]})");
    QVERIFY(vyrCreatePageByFileName(&window, file));
    QCOMPARE(window.size(), QSize(300, 200));
    QVERIFY(!(window.windowFlags() & Qt::FramelessWindowHint));
    QVERIFY(window.getCanGrag());
    QVERIFY(!window.getResizeable());
    QVERIFY(!window.getOnlyDragCaption());
    QCOMPARE(window.getMinSize(), QSize(400, 400));
}

void tst_PageLoader::transparentHeader()
{
    VYRQWindow window;
    QVERIFY(vyrCreatePageByFileName(&window, writePage(R"({"trans": true, "h": 90,
        "elements": [{"type": "qtcontainer"}]})")));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(window.height(), 90);
}

void tst_PageLoader::containerFillsWindow()
{
    VYRQWindow window;
    window.resize(300, 200);
    VYRQContainer* page1 = vyrCreatePageByFileName(&window, page("window_keys.json"));
    QVERIFY(page1);
    QCOMPARE(page1->geometry(), QRect(0, 0, 520, 200));
    auto* inner = page1->findChild<VYRQContainer*>(QStringLiteral("inner"));
    QVERIFY(inner);
    QCOMPARE(inner->getControlBase()->layoutRect(), QRect(4, 6, 30, 20));

    // The window lays its page out again whenever it is resized.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(640, 360);
    QCOMPARE(page1->geometry(), QRect(0, 0, 640, 360));

    // A sub-window inside another widget is no window: the page keeps its rectangle.
    QWidget host;
    VYRQSubWin subWin(&host);
    subWin.resize(200, 100);
    VYRQContainer* page2 = vyrCreatePageByFileName(&subWin, page("container_then_label.json"));
    QVERIFY(!page2);
    auto* kept = subWin.findChild<VYRQContainer*>(QStringLiteral("page"));
    QVERIFY(kept);
    QCOMPARE(kept->geometry(), QRect(10, 10, 50, 50));
}

void tst_PageLoader::childrenAliasesAndCompletion()
{
    QWidget parent;
    QVERIFY(!vyrCreatePageByFileName(&parent, page("nested_children.json")));

    auto* outer = parent.findChild<TestControl*>(QStringLiteral("outer"), Qt::FindDirectChildrenOnly);
    QVERIFY(outer);
    // Built through the alias, with its two valid children; the skipped elements
    // took their own children with them.
    QCOMPARE(countTestControls(&parent), 4);
    QVERIFY(!parent.findChild<QWidget*>(QStringLiteral("lost")));
    QVERIFY(!parent.findChild<QWidget*>(QStringLiteral("lost2")));
    // createComplete runs once, after the children were built.
    QCOMPARE(outer->impl()->completions, 1);
    QCOMPARE(outer->impl()->childWidgetsAtComplete, 2);
    auto* b = outer->findChild<TestControl*>(QStringLiteral("b"));
    QVERIFY(b);
    QCOMPARE(b->impl()->childWidgetsAtComplete, 1);
    QVERIFY(b->findChild<TestControl*>(QStringLiteral("c")));
}

void tst_PageLoader::wrongTypedPages_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("controls");

    QTest::newRow("elements a number") << QByteArray(R"({"elements": 5})") << 0;
    QTest::newRow("elements an object") << QByteArray(R"({"elements": {"type": "testctl"}})") << 0;
    QTest::newRow("element a number") << QByteArray(R"({"elements": [5, null, "x", [], {"type": "testctl"}]})") << 1;
    QTest::newRow("child of strings") << QByteArray(R"({"elements": [{"type": "testctl", "child": ["x", 5, null, []]}]})") << 1;
    QTest::newRow("child an object") << QByteArray(R"({"elements": [{"type": "testctl", "child": {"type": "testctl"}}]})") << 1;
    QTest::newRow("attr a number") << QByteArray(R"({"elements": [{"type": "testctl", "attr": 5}]})") << 1;
    QTest::newRow("attr an array") << QByteArray(R"({"elements": [{"type": "testctl", "attr": [1, "a"]}]})") << 1;
    QTest::newRow("attr odd members") << QByteArray(R"({"elements": [{"type": "testctl", "attr": {"a": [], "b": [1, "x"], "c": {}, "d": -1e300, "e": 18446744073709551615}}]})") << 1;
    QTest::newRow("style of numbers") << QByteArray(R"({"elements": [{"type": "testctl", "style": [1, [2], ["a"], [5, 1, 0], ["a", "b", "c"]]}]})") << 1;
    QTest::newRow("style an object") << QByteArray(R"({"elements": [{"type": "testctl", "style": {"a": 1}}]})") << 1;
    QTest::newRow("type a number") << QByteArray(R"({"elements": [{"type": 5}, {"type": "testctl"}]})") << 1;
    QTest::newRow("type null") << QByteArray(R"({"elements": [{"type": null, "child": [{"type": "testctl"}]}]})") << 0;
    QTest::newRow("type an object") << QByteArray(R"({"elements": [{"type": {"a": 1}}]})") << 0;
    QTest::newRow("unknown type") << QByteArray(R"({"elements": [{"type": "nosuchkey"}]})") << 0;
    QTest::newRow("base keys wrong") << QByteArray(R"({"elements": [{"type": "testctl", "name": 5, "tooltip": [],
        "visibility": "yes", "enable": {}, "layout": "x", "x": "1", "w": [1], "h": null,
        "absoluteDockHor": "far", "widthPolicy": 1.5e20, "minWidth": "3", "maxHeight": -1e300}]})") << 1;
    QTest::newRow("layout wrong members") << QByteArray(R"({"elements": [{"type": "testctl", "layout": {"type": "ratio", "ratio": [2]}}]})") << 1;
    QTest::newRow("theme a number") << QByteArray(R"({"elements": [{"type": "testctl", "attr": {}, "theme": 5}]})") << 1;
    QTest::newRow("huge numbers") << QByteArray(R"({"elements": [{"type": "testctl", "x": 1e300, "y": -1e300, "w": 4294967296, "h": 9223372036854775807}]})") << 1;
    QTest::newRow("root an array") << QByteArray(R"([{"type": "testctl"}])") << 0;
    QTest::newRow("root a string") << QByteArray(R"("page")") << 0;
    QTest::newRow("not json") << QByteArray(R"({"elements": [{"type": "testctl")") << 0;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("nested past the parser") << QByteArray(400, '[') << 0;
}

void tst_PageLoader::wrongTypedPages()
{
    QFETCH(QByteArray, content);
    QFETCH(int, controls);

    QWidget parent;
    QVERIFY(!vyrCreatePageByFileName(&parent, writePage(content)));
    QCOMPARE(countTestControls(&parent), controls);
}

void tst_PageLoader::elementDepthLimit()
{
    // A tree built in code has no parser to limit its depth.
    const int levels = 300;
    Json::Value root(Json::objectValue);
    Json::Value* level = &root;
    for (int i = 0; i < levels; ++i) {
        (*level)["type"] = "testctl";
        Json::Value& child = (*level)["child"];
        child = Json::Value(Json::arrayValue);
        level = &child.append(Json::Value(Json::objectValue));
    }
    QWidget parent;
    QWidget* top = createElementFromJson(root, &parent);
    QVERIFY(top);
    QCOMPARE(countTestControls(&parent), vyr::maxElementDepth + 1);
}

void tst_PageLoader::createdByFileFlag()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QWidget parent;
    QVERIFY(!rm->isCreatedByFile());
    vyrCreatePageByFileName(&parent, writePage(R"({"elements": [{"type": "testctl", "name": "flagged"}]})"));
    auto* control = parent.findChild<TestControl*>(QStringLiteral("flagged"));
    QVERIFY(control);
    QVERIFY(control->impl()->createdByFileDuringRead);
    QVERIFY(!rm->isCreatedByFile());

    // Every way out puts back what was there before.
    vyrCreatePageByFileName(&parent, writePage("{"));
    QVERIFY(!rm->isCreatedByFile());
    vyrCreateMenuByFileName(&parent, page("label_then_container.json"));
    QVERIFY(!rm->isCreatedByFile());
    rm->setCreatedByFile(true);
    vyrCreatePageByFileName(&parent, page("label_then_container.json"));
    QVERIFY(rm->isCreatedByFile());
    rm->setCreatedByFile(false);
}

void tst_PageLoader::resourcesAndSkinFolder()
{
    QTemporaryDir theme;
    QTemporaryDir skin;
    QVERIFY(theme.isValid() && skin.isValid());
    const auto write = [](const QString& path, const QByteArray& content) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    QVERIFY(write(theme.filePath("style.json"), R"({"style": []})"));
    QVERIFY(write(theme.filePath("ThemePage.json"), R"({"elements": [{"type": "qtcontainer", "name": "fromTheme"}]})"));
    QVERIFY(write(skin.filePath("style.json"), R"({"style": []})"));
    QVERIFY(QDir(skin.path()).mkdir("pages"));
    QVERIFY(write(skin.filePath("pages/skinpage.json"), R"({"elements": [{"type": "qtcontainer", "name": "fromSkin"}]})"));

    QVERIFY(vyrLoadThemeDir(theme.path().toUtf8().constData()));
    QVERIFY(vyrSetSkinFilePath(skin.path(), VYRQResourceManager::getInstance()->getScaleFactor()));

    QWidget parent;
    // Resource names are matched without regard to case.
    VYRQContainer* fromTheme = vyrCreatePageByFileName(&parent, QStringLiteral("themepage"));
    QVERIFY(fromTheme);
    QCOMPARE(fromTheme->objectName(), QStringLiteral("fromTheme"));
    VYRQContainer* fromSkin = vyrCreatePageByFileName(&parent, QStringLiteral("pages/skinpage"));
    QVERIFY(fromSkin);
    QCOMPARE(fromSkin->objectName(), QStringLiteral("fromSkin"));
    // A full path still works beside a skin folder.
    QVERIFY(vyrCreatePageByFileName(&parent, page("label_then_container")));
}

QTEST_MAIN(tst_PageLoader)
#include "tst_pageloader.moc"
