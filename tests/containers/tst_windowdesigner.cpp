#include "testzip.h"

#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQLabel.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQWindowDesigner.h"

#include <QDir>
#include <QResizeEvent>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

#include <memory>

namespace {

// A parent that counts the resize events its own handler sees.
class CountingParent : public QWidget {
public:
    using QWidget::QWidget;
    int resizes = 0;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        ++resizes;
        QWidget::resizeEvent(event);
    }
};

QRect recordedRect(IVYRQWidgetBase* control)
{
    return control->getControlBase()->layoutRect();
}

Json::Value written(VYRQWindowDesigner& designer)
{
    Json::Value element(Json::objectValue);
    designer.serializeJsonValue(&element, false);
    return element;
}

bool readTheme(VYRQWindowDesigner& designer, const QString& theme)
{
    Json::Value element(Json::objectValue);
    element["attr"]["theme"] = vyr::json::toUtf8(theme);
    return designer.readJsonValue(&element);
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class tst_WindowDesigner : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void registrationAndDefaults();
    void followsParent();
    void writesNullAttrWithoutTheme();
    void loadsThemeFromAttr_data();
    void loadsThemeFromAttr();
};

void tst_WindowDesigner::initTestCase()
{
    VYRQtLib::init();
}

void tst_WindowDesigner::registrationAndDefaults()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    auto* designer = new VYRQWindowDesigner;
    QCOMPARE(designer->getTypeName(), QStringLiteral("qtwindow"));
    QVERIFY(designer->testAttribute(Qt::WA_StyledBackground));
    QVERIFY(!createControlByType("qtwindow", nullptr));
    // Registered with the resource manager from construction to destruction.
    QVERIFY(rm->unregisterDesignerWindow(designer));
    QVERIFY(rm->registerDesignerWindow(designer));
    delete designer;
    QVERIFY(!rm->unregisterDesignerWindow(designer));
}

void tst_WindowDesigner::followsParent()
{
    QWidget top;
    top.resize(1000, 800);
    auto* parent = new CountingParent(&top);
    parent->resize(400, 300);
    auto* designer = new VYRQWindowDesigner(parent);
    auto* page = new VYRQContainer(designer);
    static_cast<IVYRQWidgetBase*>(page)->setGeometry(5, 5, 10, 10);
    auto* label = new VYRQLabel(designer);
    static_cast<IVYRQWidgetBase*>(label)->setGeometry(7, 8, 30, 20);
    label->QWidget::setGeometry(0, 0, 1, 1);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));

    QCOMPARE(designer->geometry(), QRect(0, 0, 400, 300));
    // Library children are laid out against the designer: an absolute page container
    // fills it, another control goes back to its recorded place.
    QCOMPARE(page->geometry(), QRect(0, 0, 400, 300));
    QCOMPARE(label->geometry(), QRect(7, 8, 30, 20));

    const int parentResizes = parent->resizes;
    parent->resize(800, 600);
    QCOMPARE(designer->geometry(), QRect(0, 0, 800, 600));
    QCOMPARE(recordedRect(designer), QRect(0, 0, 800, 600));
    QCOMPARE(designer->getLayoutType(), LayoutAbsolute);
    QCOMPARE(page->geometry(), QRect(0, 0, 800, 600));
    // The designer takes the parent's resize over: the parent's handler never runs.
    QCOMPARE(parent->resizes, parentResizes);

    designer->move(10, 10);
    QCOMPARE(designer->geometry(), QRect(0, 0, 800, 600));
}

void tst_WindowDesigner::writesNullAttrWithoutTheme()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QVERIFY(!rm->getThemeManagerImpl());
    VYRQWindowDesigner designer;
    const Json::Value element = written(designer);
    QVERIFY(element.isMember("attr"));
    QVERIFY(element["attr"].isNull());
    // A common attribute keeps "attr" an object, without a theme.
    Json::Value withAttr(Json::objectValue);
    withAttr["attr"]["custom"] = 3;
    QVERIFY(designer.readJsonValue(&withAttr));
    QCOMPARE(written(designer)["attr"], withAttr["attr"]);
}

void tst_WindowDesigner::loadsThemeFromAttr_data()
{
    QTest::addColumn<QString>("kind");   // folder, zip, empty, missing folder
    QTest::newRow("theme folder") << "folder";
    QTest::newRow("theme zip") << "zip";
    QTest::newRow("empty theme") << "empty";
    QTest::newRow("missing folder") << "missing";
}

void tst_WindowDesigner::loadsThemeFromAttr()
{
    QFETCH(QString, kind);
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());

    // Start from a loaded theme folder of our own, so every row can tell a change.
    const QString start = tmp.filePath("start");
    QVERIFY(writeFile(start + "/style.json", R"({"style": [{"type": 1, "name": "Start", "drawImg": false}]})"));
    QVERIFY(rm->loadThemeDir(start));
    const QString startPath = rm->getThemePath();

    VYRQWindowDesigner designer;
    auto* label = new VYRQLabel(&designer);
    label->setText(QStringLiteral("before"));
    QString expected;
    if (kind == QLatin1String("folder")) {
        const QString folder = tmp.filePath("dark");
        QVERIFY(writeFile(folder + "/style.json", R"({"style": [{"type": 1, "name": "DarkFill"}]})"));
        QVERIFY(writeFile(folder + "/theme.json",
                          R"({"elements": [{"child": [{"name": "qtlabel", "attr": {"text": "from theme"}}]}]})"));
        QVERIFY(readTheme(designer, folder));
        QVERIFY(rm->getThemeManagerImpl()->findFillStyle(QStringLiteral("DarkFill")));
        expected = rm->getThemePath();
        QVERIFY(expected != startPath);
        // As a registered designer window its controls follow the theme change.
        QCOMPARE(label->text(), QStringLiteral("from theme"));
    } else if (kind == QLatin1String("zip")) {
        // A "*.data" name is a theme zip, whatever its folder.
        const QString zip = tmp.filePath("dark.data");
        QVERIFY(writeTestZip(zip, { zipItem("style.json", R"({"style": [{"type": 1, "name": "ZipFill"}]})"),
                                    zipItem("theme.json", R"({"elements": []})") }));
        QVERIFY(readTheme(designer, zip));
        QCOMPARE(rm->getThemePath(), zip);
        QVERIFY(rm->getThemeManagerImpl()->findFillStyle(QStringLiteral("ZipFill")));
        expected = zip;
    } else if (kind == QLatin1String("empty")) {
        QVERIFY(readTheme(designer, QString()));
        QCOMPARE(rm->getThemePath(), startPath);
        expected = startPath;
    } else {
        // A failed load leaves no theme; the text read is not echoed back.
        QVERIFY(readTheme(designer, tmp.filePath("no/such/theme")));
        QVERIFY(!rm->getThemeManagerImpl());
    }

    const Json::Value element = written(designer);
    if (expected.isEmpty()) {
        QVERIFY(element["attr"].isNull());
    } else {
        QCOMPARE(QString::fromStdString(element["attr"]["theme"].asString()), expected);
        QCOMPARE(int(element["attr"].size()), 1);
    }
}

QTEST_MAIN(tst_WindowDesigner)
#include "tst_windowdesigner.moc"
