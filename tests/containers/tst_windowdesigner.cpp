#include "testzip.h"

#include "../controls/controls_testutil.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQLabel.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQWindowDesigner.h"

#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

namespace {

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
    void initTestCase() { VYRQtLib::init(); }
    void followsParent()
    {
        QWidget parent;
        parent.resize(400, 300);
        auto* designer = new VYRQWindowDesigner(&parent);
        auto* page = new VYRQContainer(designer);
        static_cast<IVYRQWidgetBase*>(page)->setGeometry(5, 5, 10, 10);
        auto* label = new VYRQLabel(designer);
        static_cast<IVYRQWidgetBase*>(label)->setGeometry(7, 8, 30, 20);
        label->QWidget::setGeometry(0, 0, 1, 1);
        QVERIFY(ctl::shown(parent));
        // An absolute page container fills the designer; another control keeps its place.
        QCOMPARE(designer->geometry(), QRect(0, 0, 400, 300));
        QCOMPARE(page->geometry(), QRect(0, 0, 400, 300));
        QCOMPARE(label->geometry(), QRect(7, 8, 30, 20));

        parent.resize(800, 600);
        QCOMPARE(designer->geometry(), QRect(0, 0, 800, 600));
        QCOMPARE(designer->getControlBase()->layoutRect(), QRect(0, 0, 800, 600));
        QCOMPARE(page->geometry(), QRect(0, 0, 800, 600));
        designer->move(10, 10);
        QCOMPARE(designer->geometry(), QRect(0, 0, 800, 600));
    }

    void loadsThemeFromAttr_data()
    {
        QTest::addColumn<QString>("theme");     // in the temporary folder
        QTest::addColumn<QString>("written");   // the theme written back in "attr"; null: "attr" null

        QTest::newRow("theme folder") << "dark" << "dark/";
        QTest::newRow("theme zip") << "dark.data" << "dark.data";
        QTest::newRow("empty: the theme in force stays") << "" << "start/";
        QTest::newRow("missing folder: no theme") << "no/such/theme" << QString();
    }

    void loadsThemeFromAttr()
    {
        QFETCH(QString, theme);
        QFETCH(QString, written);
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        QTemporaryDir tmp;
        const QByteArray style = R"({"style": [{"type": 1, "name": "Dark"}]})";
        const QByteArray themed = R"({"elements": [{"child": [{"name": "qtlabel", "attr": {"text": "from theme"}}]}]})";
        QVERIFY(writeFile(tmp.filePath("dark/style.json"), style));
        QVERIFY(writeFile(tmp.filePath("dark/theme.json"), themed));
        QVERIFY(writeTestZip(tmp.filePath("dark.data"), {zipItem("style.json", style), zipItem("theme.json", themed)}));
        // Start from a theme of our own, so every row can tell a change.
        QVERIFY(writeFile(tmp.filePath("start/style.json"), R"({"style": [{"type": 1, "name": "Start"}]})"));
        QVERIFY(rm->loadThemeDir(tmp.filePath("start")));

        VYRQWindowDesigner designer;
        auto* label = new VYRQLabel(&designer);
        Json::Value element(Json::objectValue);
        element["attr"]["theme"] = vyr::json::toUtf8(theme.isEmpty() ? theme : tmp.filePath(theme));
        QVERIFY(designer.readJsonValue(&element));
        const bool dark = written.startsWith("dark");
        QCOMPARE(rm->getThemeManagerImpl() && rm->getThemeManagerImpl()->findFillStyle(QStringLiteral("Dark")), dark);
        QCOMPARE(rm->getThemeManagerImpl() != nullptr, !written.isNull());
        // A registered designer window's controls follow a folder load; a zip load
        // leaves the refresh to the caller.
        QCOMPARE(label->text(), written == "dark/" ? QStringLiteral("from theme") : QString());

        Json::Value out(Json::objectValue);
        designer.serializeJsonValue(&out, false);
        const Json::Value& attr = static_cast<const Json::Value&>(out)["attr"];
        QVERIFY(out.isMember("attr") && (written.isNull() ? attr.isNull() : attr.size() == 1));
        QCOMPARE(QString::fromStdString(attr.get("theme", "").asString()),
                 written.isNull() ? QString() : tmp.filePath(written));
    }
};

QTEST_MAIN(tst_WindowDesigner)
#include "tst_windowdesigner.moc"
