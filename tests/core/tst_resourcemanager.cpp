#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQZip.h"
#include "walkcontrol.h"
#include "testzip.h"

#include <QApplication>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

Q_DECLARE_METATYPE(TestZipItem)

namespace {

struct Probe : VYRQResourceManager {
    using VYRQResourceManager::notifyLanguageToWindows;
};

QString dataPath(const QString& name)
{
    return QStringLiteral(VYR_TEST_DATA "/") + name;
}

bool copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir src(from);
    for (const QFileInfo& fi : src.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + fi.fileName();
        if (fi.isDir() ? !copyFolder(fi.filePath(), target) : !QFile::copy(fi.filePath(), target))
            return false;
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

const QByteArray minimalStyle = R"({"style": [{"type": 1, "name": "ZipFill", "drawImg": false}]})";

std::vector<std::string> fileKeys(const VYRQResourceManagerImpl* set)
{
    std::vector<std::string> keys;
    for (const auto& f : set->files)
        keys.push_back(f.first);
    return keys;
}

} // namespace

class tst_ResourceManager : public QObject {
    Q_OBJECT
private slots:
    void init() { walkLog.clear(); }

    void styleLookupSearchesOneSet();
    void storingStylesFollowsProjectSwitch();
    void folderFileMapRules();
    void nonAsciiNamesAreFound();
    void sameFolderShortCut();
    void failedLoadIsNotRemembered();
    void themeZipAlwaysReloads();
    void themeJsonIndexing();
    void unusableThemeJsonGivesNoElements_data();
    void unusableThemeJsonGivesNoElements();
    void resourceKeysAndSetOrder();
    void imageCacheKeys();
    void imageScaling();
    void imageFileFallbacks();
    void svgRenderers();
    void releaseResKeepsBuiltIns();
    void registration();
    void themeAndLanguageWalks();
    void globalConfig_data();
    void globalConfig();
    void hostileZips_data();
    void hostileZips();
    void brokenSkinAddsNothing();
    void skinFonts();
    void projectSet();
    void switchGuardRestores();
};

void tst_ResourceManager::styleLookupSearchesOneSet()
{
    Probe rm;
    FillStyle f;
    f.name = QStringLiteral("DefaultOnly");
    rm.setFillStyle(f.name, f);
    QVERIFY(rm.setProjectDirPath(dataPath("project-basic")));
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));

    FillStyle out;
    TextStyleDesc text;
    QVERIFY(rm.getFillStyle("DefaultOnly", out));
    QVERIFY(!rm.getFillStyle("ProjFill", out));
    rm.setSwitchToProjectRes(true);
    QVERIFY(!rm.getFillStyle("DefaultOnly", out));
    QVERIFY(rm.getFillStyle("ProjFill", out));
    QVERIFY(rm.getTextStyle("ProjText", text));
    QVERIFY(!rm.getFillStyle("KolvCard", out));
    rm.setSwitchToThemeRes(true);   // wins over the project switch
    QVERIFY(rm.getFillStyle("KolvCard", out));
    QVERIFY(out.draw);
    QCOMPARE(out.fill.round, 4);
    QVERIFY(!rm.getTextStyle("ProjText", text));

    Probe bare;
    bare.setSwitchToThemeRes(true);
    FillStyle marked;
    marked.fill.round = 77;
    QVERIFY(!bare.getFillStyle("x", marked));
    QCOMPARE(marked.fill.round, 77);
    QVERIFY(bare.getFillStyle("empty", marked));
    QVERIFY(!marked.draw);
    QCOMPARE(marked.name, QStringLiteral("empty"));
    QCOMPARE(marked.fill.round, 77);
    QVERIFY(bare.getFillStyle("emptyRect", marked));
    QCOMPARE(marked.name, QStringLiteral("emptyRect"));
}

void tst_ResourceManager::storingStylesFollowsProjectSwitch()
{
    Probe rm;
    FillStyle f;
    rm.setSwitchToProjectRes(true);
    rm.setFillStyle(QStringLiteral("p"), f);   // no project set: dropped
    rm.setSwitchToProjectRes(false);
    QVERIFY(rm.getDefaultManagerImpl()->fillStyles.isEmpty());
    QVERIFY(rm.setProjectDirPath(dataPath("project-basic")));
    rm.setSwitchToProjectRes(true);
    rm.setFillStyle(QStringLiteral("p"), f);
    QVERIFY(rm.getProjectManagerImpl()->findFillStyle("p"));
    QCOMPARE(&rm.getFillStyles(), &rm.getProjectManagerImpl()->fillStyles);
}

void tst_ResourceManager::folderFileMapRules()
{
    Probe rm;
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    const VYRQResourceManagerImpl* theme = rm.getThemeManagerImpl();
    QVERIFY(theme);
    const std::vector<std::string> expected = { "extra.txt", "images/dot.png", "images/icon.svg",
                                                "images/logo.png", "shared.txt", "theme.json", "upper.txt" };
    QCOMPARE(fileKeys(theme), expected);
    QCOMPARE(theme->styleFiles.size(), 1);
    QVERIFY(rm.getThemePath().endsWith(QLatin1String("theme-basic/")));
}

void tst_ResourceManager::nonAsciiNamesAreFound()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QString::fromUtf8("/th\xc3\xa8me");
    QVERIFY(copyFolder(dataPath("theme-basic"), dir));
    QVERIFY(writeFile(dir + QString::fromUtf8("/\xc3\x84rger.TXT"), "x"));
    Probe rm;
    QVERIFY(rm.loadThemeDir(dir));
    const char* data = nullptr;
    unsigned int size = 0;
    ResSourceType source = ResDefault;
    // Non-ASCII letters keep their case; ASCII ones fold.
    QVERIFY(rm.getResource(QString::fromUtf8("\xc3\x84rger.txt"), data, size, source));
    QCOMPARE(size, 1u);
    QVERIFY(!rm.getResource(QString::fromUtf8("\xc3\xa4rger.txt"), data, size, source));
}

void tst_ResourceManager::sameFolderShortCut()
{
    QTemporaryDir tmp;
    QVERIFY(copyFolder(dataPath("theme-basic"), tmp.path()));
    Probe rm;
    WidgetTree tree;
    rm.registerWindow(&tree.window);
    QVERIFY(rm.loadThemeDir(tmp.path()));
    QCOMPARE(walkLog.size(), 3);
    const VYRQResourceManagerImpl* loaded = rm.getThemeManagerImpl();

    QVERIFY(writeFile(tmp.path() + "/style.json", R"({"style": [{"type": 1, "name": "Changed"}]})"));
    walkLog.clear();
    QVERIFY(rm.loadThemeDir(tmp.path() + "/"));
    QVERIFY(rm.loadThemeDir(tmp.path() + "/./"));
    QVERIFY(walkLog.isEmpty());
    QCOMPARE(rm.getThemeManagerImpl(), loaded);
    QVERIFY(!rm.getThemeManagerImpl()->findFillStyle("Changed"));
    rm.unregisterWindow(&tree.window);
}

void tst_ResourceManager::failedLoadIsNotRemembered()
{
    QTemporaryDir tmp;
    QVERIFY(writeFile(tmp.path() + "/other.txt", "x"));
    Probe rm;
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    QVERIFY(!rm.loadThemeDir(tmp.path()));   // no style.json
    QVERIFY(!rm.getThemeManagerImpl());
    QVERIFY(!rm.loadThemeDir(tmp.path()));
    QVERIFY(rm.getThemePath().isEmpty());
    QVERIFY(writeFile(tmp.path() + "/style.json", "{ \"style\": [] }"));
    QVERIFY(rm.loadThemeDir(tmp.path()));

    QVERIFY(QDir().mkpath(tmp.path() + "/bad"));
    QVERIFY(writeFile(tmp.path() + "/bad/style.json", "{ \"style\": 3 }"));
    QVERIFY(!rm.loadThemeDir(tmp.path() + "/bad"));
    QVERIFY(!rm.loadThemeDir(tmp.path() + "/missing"));
    QVERIFY(!rm.loadThemeDir(QString()));
}

void tst_ResourceManager::themeZipAlwaysReloads()
{
    QTemporaryDir tmp;
    const QString zip = tmp.path() + "/theme.zip";
    QVERIFY(writeTestZip(zip, { zipItem("style.json", minimalStyle), zipItem("images/", QByteArray()),
                                zipItem("Images\\Logo.PNG", readTestFile(dataPath("theme-basic/images/logo.png"))) }));
    Probe rm;
    WidgetTree tree;
    rm.registerWindow(&tree.window);
    QVERIFY(rm.loadThemeFile(zip));
    QVERIFY(rm.getImage("images/logo.png", false));
    QCOMPARE(rm.getThemeManagerImpl()->images.size(), size_t(1));
    QVERIFY(rm.loadThemeFile(zip));
    QVERIFY(rm.getThemeManagerImpl()->images.empty());   // a new set
    QCOMPARE(rm.getThemePath(), zip);
    QVERIFY(rm.getThemeManagerImpl()->findFillStyle("ZipFill"));
    QCOMPARE(fileKeys(rm.getThemeManagerImpl()), std::vector<std::string>{ "images/logo.png" });
    QVERIFY(walkLog.isEmpty());
    rm.unregisterWindow(&tree.window);
}

void tst_ResourceManager::themeJsonIndexing()
{
    Probe rm;
    QVERIFY(!rm.getThemeJsonValue("qtlabel"));
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    QCOMPARE(rm.getThemeManagerImpl()->elements.size(), size_t(3));
    const Json::Value* label = rm.getThemeJsonValue("qtlabel");
    QVERIFY(label);
    QCOMPARE(vyr::json::toQString((*label)["attr"]["text"]), QStringLiteral("first"));
    const Json::Value* nameless = rm.getThemeJsonValue("");
    QVERIFY(nameless);
    QCOMPARE(vyr::json::toQString((*nameless)["attr"]["text"]), QStringLiteral("nameless"));
    QVERIFY(rm.getThemeJsonValue("KolvCard"));
    QVERIFY(!rm.getThemeJsonValue("kolvcard"));
    QVERIFY(!rm.getThemeJsonValue(nullptr));
}

void tst_ResourceManager::unusableThemeJsonGivesNoElements_data()
{
    QTest::addColumn<QByteArray>("themeJson");
    QTest::newRow("not json") << QByteArray("{ \"elements\": [");
    QTest::newRow("elements not array") << QByteArray(R"({"elements": {"child": []}})");
    QTest::newRow("first not object") << QByteArray(R"({"elements": [[{"name": "x"}]]})");
    QTest::newRow("child not array") << QByteArray(R"({"elements": [{"child": {"name": "x"}}]})");
    QTest::newRow("root array") << QByteArray(R"([{"elements": []}])");
    QTest::newRow("deep nesting") << QByteArray(100000, '[') + QByteArray(100000, ']');
}

void tst_ResourceManager::unusableThemeJsonGivesNoElements()
{
    QFETCH(QByteArray, themeJson);
    QTemporaryDir tmp;
    QVERIFY(writeFile(tmp.path() + "/style.json", minimalStyle));
    QVERIFY(writeFile(tmp.path() + "/theme.json", themeJson));
    Probe rm;
    QVERIFY(rm.loadThemeDir(tmp.path()));
    QVERIFY(rm.getThemeManagerImpl()->elements.empty());
    QVERIFY(!rm.getThemeJsonValue("x"));
}

void tst_ResourceManager::resourceKeysAndSetOrder()
{
    QTemporaryDir tmp;
    const QString skin = tmp.path() + "/skin.zip";
    QVERIFY(writeTestZip(skin, { zipItem("style.json", minimalStyle), zipItem("shared.txt", "default") }));
    Probe rm;
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    const char* data = nullptr;
    unsigned int size = 0;
    ResSourceType source = ResProject;
    QVERIFY(rm.getResource("Images\\Logo.PNG", data, size, source));
    QCOMPARE(source, ResTheme);
    QCOMPARE(QByteArray(data, int(size)), readTestFile(dataPath("theme-basic/images/logo.png")));

    QVERIFY(rm.getResource("SHARED.txt", data, size, source));
    QCOMPARE(source, ResTheme);
    QVERIFY(rm.loadSkinFile(skin));
    QVERIFY(rm.getResource("shared.txt", data, size, source));
    QCOMPARE(source, ResDefault);
    QCOMPARE(QByteArray(data, int(size)), QByteArray("default"));
    QVERIFY(rm.setProjectDirPath(dataPath("project-basic")));
    QVERIFY(rm.getResource("shared.txt", data, size, source));
    QCOMPARE(source, ResProject);
    QVERIFY(!rm.getResource("nothing.txt", data, size, source));
    QCOMPARE(source, ResDefault);
}

void tst_ResourceManager::imageCacheKeys()
{
    Probe rm;
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    const auto& cache = rm.getThemeManagerImpl()->images;
    QImage* gray = rm.getImage("images/logo.png", true);
    QVERIFY(gray);
    QCOMPARE(gray->size(), QSize(5, 3));
    const QRgb px = gray->pixel(2, 1);
    QVERIFY(qAbs(qRed(px) - qGreen(px)) <= 1 && qAbs(qRed(px) - qBlue(px)) <= 1);
    QVERIFY(cache.count("images/logo.png_gray"));
    QVERIFY(!cache.count("images/logo.png"));

    QImage* plain = rm.getImage("images/logo.png", false);
    QVERIFY(plain && plain != gray);
    QCOMPARE(QColor(plain->pixel(2, 1)), QColor(Qt::red));
    QVERIFY(cache.count("images/logo.png"));
    QCOMPARE(rm.getImage("images/logo.png", false), plain);
    QCOMPARE(rm.getImage("images/logo.png", true), gray);
    QVERIFY(!rm.getImage("images/missing.png", false));
    QVERIFY(!rm.getImage("shared.txt", false));   // present but not an image
    QVERIFY(!cache.count("shared.txt"));
}

void tst_ResourceManager::imageScaling()
{
    Probe rm;
    rm.setScaleFactor(0.5f);
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    QImage* logo = rm.getImage("images/logo.png", false);
    QVERIFY(logo);
    QCOMPARE(logo->size(), QSize(2, 1));
    // 1x1 scales to nothing: counts as missing, every time.
    QVERIFY(!rm.getImage("images/dot.png", false));
    QVERIFY(!rm.getImage("images/dot.png", false));
    QVERIFY(!rm.getThemeManagerImpl()->images.count("images/dot.png"));
}

void tst_ResourceManager::imageFileFallbacks()
{
    Probe rm;
    QVERIFY(rm.setSkinDirPath(dataPath("theme-basic")));
    QVERIFY(rm.getSkinDirPath().endsWith(QLatin1String("theme-basic/")));
    QImage* deep = rm.getImage("images\\sub\\deep.png", false);   // folder + name
    QVERIFY(deep);
    QCOMPARE(deep->size(), QSize(2, 2));
    QVERIFY(rm.getImage("dot.png", false));                     // folder + "images/" + name
    const QString absolute = dataPath("theme-basic/images/logo.png");
    QVERIFY(rm.getImage(absolute, false));                      // the name itself
    const auto& cache = rm.getDefaultManagerImpl()->images;
    QVERIFY(cache.count("images\\sub\\deep.png") && cache.count("dot.png") && cache.count(absolute));
    QVERIFY(!rm.getImage("images", false));                     // a folder is no image
    QVERIFY(rm.getDefaultManagerImpl()->findFillStyle("KolvCard"));
}

void tst_ResourceManager::svgRenderers()
{
    Probe rm;
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    QSvgRenderer* svg = rm.getSvgRenderer("IMAGES/icon.svg");
    QVERIFY(svg && svg->isValid());
    QCOMPARE(rm.getSvgRenderer("IMAGES/icon.svg"), svg);
    QVERIFY(rm.getThemeManagerImpl()->svgs.count("IMAGES/icon.svg"));
    QVERIFY(!rm.getSvgRenderer("images/logo.png"));
    QVERIFY(!rm.getSvgRenderer("none.svg"));
    QVERIFY(rm.getThemeManagerImpl()->svgs.size() == 1);
}

void tst_ResourceManager::releaseResKeepsBuiltIns()
{
    Probe rm;
    rm.initDefaultImageRes();
    const auto& cache = rm.getDefaultManagerImpl()->images;
    QCOMPARE(cache.size(), size_t(4));
    const QImage checked = *cache.at("IDB_CHECKED");
    QCOMPARE(checked.size(), QSize(16, 16));
    QCOMPARE(qAlpha(checked.pixel(0, 0)), 0);
    QCOMPARE(checked.pixel(1, 8), qRgba(204, 204, 204, 255));
    QCOMPARE(qAlpha(cache.at("IDB_SELECTED")->pixel(8, 8)), 255);
    QCOMPARE(qAlpha(cache.at("IDB_UNSELECT")->pixel(8, 8)), 0);

    QVERIFY(rm.setSkinDirPath(dataPath("theme-basic")));
    QVERIFY(rm.getImage("dot.png", false));
    QVERIFY(rm.getSvgRenderer("images/icon.svg"));
    QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
    QVERIFY(rm.getImage("images/logo.png", false));
    rm.releaseRes();
    QCOMPARE(cache.size(), size_t(4));
    QVERIFY(cache.count("IDB_CHECKED") && cache.count("IDB_UNCHECK"));
    QVERIFY(rm.getDefaultManagerImpl()->svgs.empty());
    QVERIFY(rm.getDefaultManagerImpl()->fillStyles.isEmpty() && rm.getDefaultManagerImpl()->fillIndex.isEmpty());
    QCOMPARE(rm.getThemeManagerImpl()->images.size(), size_t(1));   // other sets untouched
}

void tst_ResourceManager::registration()
{
    Probe rm;
    QWidget w, d;
    QVERIFY(!rm.registerWindow(nullptr));
    QVERIFY(rm.registerWindow(&w));
    QVERIFY(rm.registerWindow(&w));
    QVERIFY(rm.unregisterWindow(&w));
    QVERIFY(!rm.unregisterWindow(&w));
    QVERIFY(!rm.unregisterWindow(nullptr));
    QVERIFY(!rm.registerDesignerWindow(nullptr));
    QVERIFY(rm.registerDesignerWindow(&d));
    QVERIFY(rm.registerDesignerWindow(&d));
    QVERIFY(rm.unregisterDesignerWindow(&d));
    QVERIFY(!rm.unregisterDesignerWindow(&d));
}

void tst_ResourceManager::themeAndLanguageWalks()
{
    Probe rm;
    WidgetTree window, designer;
    designer.window.setObjectName("designer");
    designer.a->setObjectName("da");
    designer.b->setObjectName("db");
    designer.c->setObjectName("dc");
    rm.registerWindow(&window.window);
    rm.registerDesignerWindow(&designer.window);
    QVERIFY(rm.themeChange());
    QCOMPARE(walkLog, QStringList({ "theme:a", "theme:b", "theme:c", "theme:da", "theme:db", "theme:dc" }));
    walkLog.clear();
    rm.notifyLanguageToWindows();
    QCOMPARE(walkLog, QStringList({ "lang:a", "lang:b", "lang:c" }));
}

void tst_ResourceManager::globalConfig_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("stored");
    QTest::newRow("zero") << 0 << 150;
    QTest::newRow("negative") << -3 << 150;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("given") << 140 << 140;
}

void tst_ResourceManager::globalConfig()
{
    QFETCH(int, duration);
    QFETCH(int, stored);
    Probe rm;
    WidgetTree tree;
    rm.registerWindow(&tree.window);
    VYRGlobalConfig config;
    config.buttonFadeEnabled = true;
    config.buttonFadeDuration = duration;
    rm.setGlobalConfig(config);
    QCOMPARE(rm.getGlobalConfig().buttonFadeDuration, stored);
    QCOMPARE(rm.getButtonFadeDuration(), stored);
    QVERIFY(rm.getButtonFadeEnabled());
    QCOMPARE(walkLog.size(), 3);   // refreshed although the family is empty

    rm.setGlobalFontFamily(QStringLiteral("DejaVu Serif"));
    QCOMPARE(QApplication::font().family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(rm.getGlobalConfig().buttonFadeDuration, stored);
    rm.unregisterWindow(&tree.window);
}

void tst_ResourceManager::hostileZips_data()
{
    QTest::addColumn<QList<TestZipItem>>("items");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QByteArray>("absentKey");

    const TestZipItem style = zipItem("style.json", minimalStyle);
    const TestZipItem theme = zipItem("theme.json", R"({"elements": []})");
    const QByteArray payload("0123456789");
    QTest::newRow("size larger than data") << QList<TestZipItem>{ style, lyingZipItem("a.txt", payload, 20, 0) }
                                           << true << QByteArray("a.txt");
    QTest::newRow("style.json size lies") << QList<TestZipItem>{ lyingZipItem("style.json", minimalStyle, minimalStyle.size() + 5, 0) }
                                          << false << QByteArray();
    QTest::newRow("bad crc on a file") << QList<TestZipItem>{ style, lyingZipItem("a.txt", payload, payload.size(), 0xdeadbeef) }
                                       << true << QByteArray("a.txt");
    QTest::newRow("bad crc on style.json") << QList<TestZipItem>{ lyingZipItem("style.json", minimalStyle, minimalStyle.size(), 0xdeadbeef) }
                                           << false << QByteArray();
    QTest::newRow("bad crc on theme.json") << QList<TestZipItem>{ style, lyingZipItem("theme.json", "{}", 2, 0xdeadbeef) }
                                           << false << QByteArray();
    QTest::newRow("entry beyond the cap") << QList<TestZipItem>{ style, theme, lyingZipItem("big.bin", payload, qint64(ZipMaxEntrySize) + 1, 0) }
                                          << true << QByteArray("big.bin");
    QTest::newRow("style.json beyond the cap") << QList<TestZipItem>{ lyingZipItem("style.json", minimalStyle, qint64(ZipMaxEntrySize) + 1, 0) }
                                               << false << QByteArray();
    QList<TestZipItem> many{ style };
    for (int i = 0; i < 5; ++i)
        many << lyingZipItem(QByteArray("part") + char('0' + i), payload, qint64(60) * 1024 * 1024, 0);
    QTest::newRow("archive beyond the cap") << many << false << QByteArray();
    QTest::newRow("no style.json") << QList<TestZipItem>{ theme } << false << QByteArray();
}

void tst_ResourceManager::hostileZips()
{
    QFETCH(QList<TestZipItem>, items);
    QFETCH(bool, loads);
    QFETCH(QByteArray, absentKey);
    QTemporaryDir tmp;
    const QString zip = tmp.path() + "/hostile.zip";
    QVERIFY(writeTestZip(zip, items));
    Probe rm;
    QCOMPARE(rm.loadThemeFile(zip), loads);
    QCOMPARE(rm.getThemeManagerImpl() != nullptr, loads);
    if (loads) {
        QVERIFY(rm.getThemeManagerImpl()->findFillStyle("ZipFill"));
        QVERIFY(!rm.getThemeManagerImpl()->files.count(absentKey.toStdString()));
    }
    // The same bytes as a skin from memory give the same verdict.
    const QByteArray bytes = readTestFile(zip);
    QCOMPARE(rm.loadSkinFile(bytes.constData(), bytes.size()), loads);
}

void tst_ResourceManager::brokenSkinAddsNothing()
{
    QTemporaryDir tmp;
    const QString good = tmp.path() + "/good.zip";
    const QString bad = tmp.path() + "/bad.zip";
    QVERIFY(writeTestZip(good, { zipItem("style.json", minimalStyle), zipItem("a.txt", "first") }));
    QVERIFY(writeTestZip(bad, { zipItem("style.json", "{ not json"), zipItem("b.txt", "second") }));
    Probe rm;
    QVERIFY(rm.loadSkinFile(good));
    QCOMPARE(rm.getFileSkinPath(), good);
    QVERIFY(!rm.loadSkinFile(bad));
    QVERIFY(!rm.loadSkinFile(tmp.path() + "/missing.zip"));
    QVERIFY(!rm.loadSkinFile(nullptr, 0));
    QCOMPARE(fileKeys(rm.getDefaultManagerImpl()), std::vector<std::string>{ "a.txt" });
    QCOMPARE(rm.getDefaultManagerImpl()->styleFiles.size(), 1);
    QVERIFY(rm.getDefaultManagerImpl()->findFillStyle("ZipFill"));
}

void tst_ResourceManager::skinFonts()
{
    const QString fontFile = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    if (!QFile::exists(fontFile))
        QSKIP("DejaVu Sans is not installed");
    QTemporaryDir tmp;
    const QString zip = tmp.path() + "/skin.zip";
    QVERIFY(writeTestZip(zip, { zipItem("style.json", minimalStyle), zipItem("Fonts/DejaVuSans.ttf", readTestFile(fontFile)),
                                zipItem("fonts/broken.ttf", "no font") }));
    Probe rm;
    QVERIFY(rm.loadSkinFile(zip));
    const auto& fonts = rm.getDefaultManagerImpl()->fonts;
    QCOMPARE(fonts.size(), size_t(1));
    QCOMPARE(fonts.at(QStringLiteral("fonts/dejavusans.ttf")), QStringLiteral("DejaVu Sans"));
}

void tst_ResourceManager::projectSet()
{
    Probe rm;
    QVERIFY(rm.setProjectDirPath(dataPath("project-basic")));
    const VYRQResourceManagerImpl* project = rm.getProjectManagerImpl();
    QVERIFY(!project->themeRoot.isNull());
    QVERIFY(project->elements.empty());   // parsed, not indexed
    QCOMPARE(&rm.getTextStyles(), &project->textStyles);

    Json::Value root;
    QVERIFY(vyr::json::parse(rm.toProjectStyleString().toUtf8(), root));
    QVERIFY(root["style"].isArray());
    QCOMPARE(root["style"].size(), 2u);
    QCOMPARE(root["style"][0]["name"].asString(), std::string("ProjFill"));
    QCOMPARE(root["style"][1]["size"].asInt(), 16);

    QVERIFY(!rm.setProjectDirPath(dataPath("missing")));
    QVERIFY(!rm.getProjectManagerImpl());
    QCOMPARE(&rm.getFillStyles(), &rm.getDefaultManagerImpl()->fillStyles);
}

void tst_ResourceManager::switchGuardRestores()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QCOMPARE(VYRQResourceManager::getInstance(), rm);
    QVERIFY(!rm->isLoadFromThemeRes());
    {
        VYRQResSwitchGuard outer(VYRQResSwitchGuard::ThemeRes, true);
        {
            VYRQResSwitchGuard inner(VYRQResSwitchGuard::ThemeRes, false);
            QVERIFY(!rm->isLoadFromThemeRes());
        }
        QVERIFY(rm->isLoadFromThemeRes());
        VYRQResSwitchGuard project(VYRQResSwitchGuard::ProjectRes, true);
        QVERIFY(rm->isProjectRes());
    }
    QVERIFY(!rm->isLoadFromThemeRes());
    QVERIFY(!rm->isProjectRes());
}

QTEST_MAIN(tst_ResourceManager)
#include "tst_resourcemanager.moc"
