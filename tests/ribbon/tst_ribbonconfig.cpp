#include "../controls/controls_testutil.h"
#include "cputimer.h"
#include "peakmemory.h"
#include "specialfiles.h"
#include "testaccess.h"
#include "warningcapture.h"

#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQContainer.h"
#include "VYRQLineEdit.h"
#include "VYRQMenu.h"
#include "VYRQRibbonBar.h"
#include "VYRQRibbonBarImpl.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonConfig_p.h"
#include "VYRQRibbonContextGroup.h"
#include "VYRQRibbonGallery.h"
#include "VYRQRibbonGroup.h"
#include "VYRQRibbonMenu.h"
#include "VYRQRibbonPage.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace ctl;

namespace {

const QString fullConfig = QStringLiteral(VYR_TEST_DATA "/ribbon-config/full.json");

Json::Value config(const VYRQRibbonBar& bar)
{
    return parse(bar.configJson().toUtf8());
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The first item of the first group of the first page, after loading `items`.
Json::Value firstItem(VYRQRibbonBar& bar, const QByteArray& items)
{
    const QByteArray doc = R"({"schemaVersion": 1, "pages": [{"id": "p", "groups": [{"items": )" + items + "}]}]}";
    if (!bar.loadConfigJson(QString::fromUtf8(doc)))
        return Json::Value();
    return config(bar)["pages"][0]["groups"][0]["items"][0];
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VYR_TEST_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VYR_TEST_SANITIZED)
constexpr qint64 largeLoadMs = 30000;
#else
constexpr qint64 largeLoadMs = 3000;
#endif

} // namespace

class tst_RibbonConfig : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(m_dir.isValid());
        sty::addFills({{"Fill", Qt::red}});
        sty::addTexts({"Text"});
    }

    // Written and read again, a full configuration comes back the same.
    void roundTrip()
    {
        VYRQRibbonBar bar;
        QVERIFY2(bar.loadConfigFile(fullConfig), qPrintable(bar.lastError()));
        QCOMPARE(bar.configFile(), fullConfig);
        QVERIFY(bar.lastError().isEmpty());
        QCOMPARE(bar.pageCount(), 4);
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("view"));
        QCOMPARE(bar.findAction("file.recent1")->isChecked(), true);
        QVERIFY(!bar.findAction("qa.undo")->isEnabled());
        QCOMPARE(bar.contextGroupById("trend")->color(), QColor(255, 0, 0, 128));

        const QString written = bar.configJson();
        VYRQRibbonBar again;
        QVERIFY(again.loadConfigJson(written));
        QCOMPARE(again.configJson(), written);

        const Json::Value doc = parse(written.toUtf8());
        QCOMPARE(str(doc["contextGroups"][0]["color"]), QStringLiteral("#80ff0000"));
        QCOMPARE(str(doc["contextGroups"][1]["color"]), QStringLiteral("#ff5a8dee"));
        QCOMPARE(str(doc["application"]["menu"][2]["id"]), QString());
        QVERIFY(!doc["application"]["menu"][2].isMember("icon"));
        QVERIFY(!doc["quickAccess"][0].isMember("tooltip"));
        const Json::Value& clipboard = doc["pages"][0]["groups"][0]["items"];
        QCOMPARE(str(clipboard[0]["popup"]), QStringLiteral("split"));
        QCOMPARE(str(clipboard[0]["menu"][0]["id"]), QStringLiteral("paste.values"));
        QCOMPARE(str(clipboard[4]["control"]), QStringLiteral("comboBox"));
        QCOMPARE(clipboard[4]["currentIndex"].asInt(), 1);
        QCOMPARE(str(doc["topRight"][0]["placeholder"]), QStringLiteral("Search"));
        QCOMPARE(doc["topRight"][0]["width"].asInt(), 140);
    }

    // Each refusal sets lastError, reports it with its source and leaves the bar.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("text");   // loaded as text; "@file:" prefixes a file name
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("source");
        QTest::newRow("missing file") << QByteArray("@file:nowhere/none.json")
                                      << "Ribbon config file was not found: nowhere/none.json" << "nowhere/none.json";
        QTest::newRow("bad file") << QByteArray("@file:bad.json") << "Invalid Ribbon JSON in @dir/bad.json: "
                                  << "@dir/bad.json";
        QTest::newRow("bad text") << QByteArray("{\"schemaVersion\": ") << "Invalid Ribbon JSON: " << "inline";
        QTest::newRow("array root") << QByteArray("[1]") << "Ribbon config root must be an object." << "inline";
        QTest::newRow("version 2") << QByteArray(R"({"schemaVersion": 2})")
                                   << "Unsupported Ribbon schemaVersion; expected 1." << "inline";
        QTest::newRow("version text") << QByteArray(R"({"schemaVersion": "1"})")
                                      << "Unsupported Ribbon schemaVersion; expected 1." << "inline";
        QTest::newRow("no version") << QByteArray(R"({"pages": []})")
                                    << "Unsupported Ribbon schemaVersion; expected 1." << "inline";
        QTest::newRow("combo item not a text")
            << QByteArray(R"({"schemaVersion": 1, "topRight": [{"type": "widget", "control": "comboBox",)"
                          R"("items": ["a", 2]}]})")
            << "Invalid Ribbon config: comboBox items must be strings." << "inline";
        QTest::newRow("oversized file") << QByteArray("@file:huge.json") << "Ribbon config file is larger than"
                                        << "@dir/huge.json";
        // Counted over the whole document before anything is built.
        const auto many = [](qint64 count, const QByteArray& entry) {
            QByteArray list;
            for (qint64 i = 0; i < count; ++i)
                list += (i ? "," : "") + entry;
            return list;
        };
        QTest::newRow("pages past the bound")
            << QByteArray(R"({"schemaVersion": 1, "pages": [)" + many(VYRQRibbonConfig::maxPages / 2, "{}")
                          + R"(], "contextGroups": [{"pages": [)" + many(VYRQRibbonConfig::maxPages / 2 + 1, "{}")
                          + "]}]}")
            << "Invalid Ribbon config: more than 2000 pages." << "inline";
        QTest::newRow("groups past the bound")
            << QByteArray(R"({"schemaVersion": 1, "pages": [{"groups": [)" + many(VYRQRibbonConfig::maxGroups + 1, "{}")
                          + "]}]}")
            << "Invalid Ribbon config: more than 10000 groups." << "inline";
        QTest::newRow("gallery entries past the item bound")
            << QByteArray(R"({"schemaVersion": 1, "pages": [{"groups": [{"items": [{"type": "gallery", "items": [)"
                          + many(VYRQRibbonConfig::maxItems, "{}") + "]}]}]}]}")
            << "Invalid Ribbon config: more than 25000 items." << "inline";
        QTest::newRow("menu entries past the item bound")
            << QByteArray(R"({"schemaVersion": 1, "application": {"menu": [{"items": [)"
                          + many(VYRQRibbonConfig::maxItems, "{}") + "]}]}}")
            << "Invalid Ribbon config: more than 25000 items." << "inline";
    }

    void refusals()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QFETCH(QString, source);
        const QString dir = m_dir.path();
        message.replace("@dir", dir);
        source.replace("@dir", dir);
        QVERIFY(writeFile(m_dir.filePath("bad.json"), "{\"schemaVersion\": 1,,}"));
        QFile huge(m_dir.filePath("huge.json"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(16 * 1024 * 1024 + 1));
        huge.close();

        VYRQRibbonBar bar;
        QVERIFY(bar.loadConfigFile(fullConfig));
        const QString before = bar.configJson();
        QSignalSpy failed(&bar, &VYRQRibbonBar::configLoadFailed);
        const bool loaded = text.startsWith("@file:")
            ? bar.loadConfigFile(text.startsWith("@file:nowhere") ? QString::fromUtf8(text.mid(6))
                                                                  : m_dir.filePath(QString::fromUtf8(text.mid(6))))
            : bar.loadConfigJson(QString::fromUtf8(text));
        QVERIFY(!loaded);
        QVERIFY2(bar.lastError().startsWith(message), qPrintable(bar.lastError()));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), source);
        QCOMPARE(failed.at(0).at(1).toString(), bar.lastError());
        QCOMPARE(bar.configJson(), before);
        QCOMPARE(bar.configFile(), fullConfig);

        // A later successful load clears the message.
        QVERIFY(bar.loadConfigJson(R"({"schemaVersion": 1.0})"));
        QVERIFY(bar.lastError().isEmpty());
        QCOMPARE(bar.pageCount(), 0);
        QVERIFY(bar.applicationButton()->isHidden());
        QCOMPARE(bar.groupRows(), 3);
    }

    // Missing and mistyped keys read as their defaults; unknown words as first values.
    void defaults_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QString>("expected");   // "type size popup text id" of the item written back
        QTest::newRow("bare button") << QByteArray(R"([{}])") << "button large none Command ";
        QTest::newRow("button with a menu") << QByteArray(R"([{"id": "m", "menu": 3}])") << "button large instant m m";
        QTest::newRow("widget") << QByteArray(R"([{"type": "widget", "control": "label", "text": 4}])")
                                << "widget small -  ";
        QTest::newRow("type is case-sensitive") << QByteArray(R"([{"type": "Widget", "size": "SMALL"}])")
                                                << "button small none Command ";
        QTest::newRow("wrong types") << QByteArray(R"([{"id": 5, "text": true, "popup": "Split", "size": 1}])")
                                     << "button large split Command ";
    }

    void defaults()
    {
        QFETCH(QByteArray, items);
        QFETCH(QString, expected);
        VYRQRibbonBar bar;
        const Json::Value item = firstItem(bar, items);
        auto field = [&item](const char* key) { return item.isMember(key) ? str(item[key]) : QStringLiteral("-"); };
        QCOMPARE(QStringList({field("type"), field("size"), field("popup"), field("text"), field("id")}).join(' '),
                 expected);
    }

    void documentKeys()
    {
        VYRQRibbonBar bar;
        QSignalSpy modes(&bar, &VYRQRibbonBar::layoutModeChanged);
        QSignalSpy pages(&bar, &VYRQRibbonBar::currentPageChanged);
        QVERIFY(bar.loadConfigJson(R"({"schemaVersion": 1, "layoutMode": "COMPACT", "currentPage": "ctx.page",)"
                                   R"("pages": [{"id": "a"}, {"id": "b"}],)"
                                   R"("contextGroups": [{"id": "ctx", "pages": [{"id": "ctx.page"}]}]})"));
        QCOMPARE(bar.layoutMode(), VYR_RIBBON_LAYOUT_MODE::compact);
        QCOMPARE(bar.groupRows(), 2);
        QCOMPARE(modes.count(), 0);
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("a"));
        QCOMPARE(pages.count(), 0);
        QVERIFY(!bar.contextGroupById("ctx")->isVisible());
        QCOMPARE(bar.contextGroupById("ctx")->color(), QColor("#5a8dee"));

        QVERIFY(bar.loadConfigJson(R"({"schemaVersion": 1, "minimized": true, "pages": [{"id": "x"}, {"id": "y"}]})"));
        QVERIFY(bar.isMinimized());
        QCOMPARE(pages.count(), 1);
        QCOMPARE(bar.layoutMode(), VYR_RIBBON_LAYOUT_MODE::office);
    }

    // Large documents load and show in time and memory that grow with their size: the
    // tabs are built once, the commands indexed, the pages, galleries and header laid
    // out once.
    void largeConfigurations_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("count");
        QTest::newRow("2,000 pages") << "pages" << 2000;
        QTest::newRow("10,000 actions in 100 groups") << "actions" << 10000;
        QTest::newRow("2,000 actions in one group") << "oneGroup" << 2000;
        QTest::newRow("20,000 gallery items") << "gallery" << 20000;
        QTest::newRow("4,000 quick-access commands") << "quickAccess" << 4000;
        QTest::newRow("4,000 top-right widgets") << "topRight" << 4000;
    }

    void largeConfigurations()
    {
        QFETCH(QString, kind);
        QFETCH(int, count);
        const bool header = kind == "quickAccess" || kind == "topRight";
        QByteArray doc = R"({"schemaVersion": 1, )";
        if (header) {
            doc += "\"" + kind.toUtf8() + "\": [";
            const QString item = kind == "quickAccess"
                                     ? QStringLiteral(R"({"id": "a%1", "text": "A%1"})")
                                     : QStringLiteral(R"({"type": "widget", "control": "label", "id": "a%1", "text": "A%1"})");
            for (int i = 0; i < count; ++i)
                doc += (i ? "," : "") + item.arg(i).toUtf8();
            doc += "], ";
        }
        doc += R"("pages": [)";
        if (header) {
        } else if (kind == "pages") {
            for (int i = 0; i < count; ++i)
                doc += (i ? "," : "") + QStringLiteral(R"({"id": "p%1", "groups": [{"id": "g"}]})").arg(i).toUtf8();
        } else if (kind == "gallery") {
            doc += R"({"id": "p", "groups": [{"items": [{"type": "gallery", "items": [)";
            for (int i = 0; i < count; ++i)
                doc += (i ? "," : "") + QStringLiteral(R"({"id": "i%1", "text": "I%1"})").arg(i).toUtf8();
            doc += "]}]}]}";
        } else {
            const int perGroup = kind == "actions" ? 100 : count;
            doc += R"({"id": "p", "groups": [)";
            for (int i = 0; i < count; ++i) {
                if (i % perGroup == 0)
                    doc += (i ? "]}," : "") + QByteArray(R"({"items": [)");
                else
                    doc += ",";
                doc += QStringLiteral(R"({"id": "a%1", "text": "A%1", "size": "small"})").arg(i).toUtf8();
            }
            doc += "]}]}";
        }
        doc += "]}";

        QWidget window;
        auto* bar = new VYRQRibbonBar(&window);
        bar->resize(1000, 157);
        QVERIFY(shown(window));
        const PeakMemory memory;
        const CpuTimer timer;
        QVERIFY(bar->loadConfigJson(QString::fromUtf8(doc)));
        const int tabs = bar->findChildren<VYRQRibbonButton*>(QRegularExpression("^ribbonTab_")).size();
        window.grab();
        QCoreApplication::processEvents();
        const qint64 elapsed = timer.elapsed();
        const qint64 grown = memory.growthMb();
        QCOMPARE(tabs, bar->pageCount());
        if (kind == "pages") {
            QCOMPARE(bar->pageCount(), count);
        } else if (kind == "gallery") {
            QCOMPARE(bar->findChild<VYRQRibbonGallery*>()->count(), count);
        } else if (kind == "topRight") {
            // Laid out at the end of the load: the last widget ends at the bar's margin.
            const QWidget* last = bar->findChild<QWidget*>(QStringLiteral("a%1").arg(count - 1));
            QVERIFY(last);
            QCOMPARE(last->geometry().right() + 1, bar->width() - 4);
        } else {
            QVERIFY(bar->findAction(QStringLiteral("a%1").arg(count - 1)));
        }
        if (kind == "quickAccess") {
            QMap<QString, int> left;
            for (const VYRQRibbonButton* button : bar->findChildren<VYRQRibbonButton*>())
                left.insert(button->toolTip(), button->x());
            QVERIFY(left.value(QStringLiteral("A%1").arg(count - 1)) > left.value(QStringLiteral("A0")));
        }
        QVERIFY2(elapsed < largeLoadMs, qPrintable(QStringLiteral("%1 ms of CPU time").arg(elapsed)));
        VERIFY_PEAK_GROWTH_BELOW(grown, 1024);
    }

    // Icons named by a configuration, a gallery, a menu file or a page's ribbon are read
    // as theme images are: a FIFO is refused without waiting for a writer (the one here
    // comes after 3 s), an image that decodes past 16 Mpx before it is decoded (the PNG
    // is 16000 x 16000 in 31 KB), and the item is built without its icon. Images within
    // the bounds, SVG files and Qt's resources give icons, kept at the size they are
    // drawn at: 32 pixels a side for a command or a gallery item, 16 for a menu item.
    void iconFiles_data()
    {
        QTest::addColumn<QString>("reader");   // "command", "gallery", "menu file" or "page"
        QTest::addColumn<QString>("file");     // "fifo", "huge", "large", "svg" or "resource"
        QTest::addColumn<QSize>("icon");       // the icon's size; invalid: none
        for (const char* reader : {"command", "gallery", "menu file", "page"}) {
            QTest::addRow("%s, FIFO", reader) << reader << "fifo" << QSize();
            QTest::addRow("%s, 16000 x 16000 PNG", reader) << reader << "huge" << QSize();
        }
        QTest::newRow("command, 200 x 100 PNG") << "command" << "large" << QSize(32, 16);
        QTest::newRow("menu file, 200 x 100 PNG") << "menu file" << "large" << QSize(16, 8);
        QTest::newRow("gallery, SVG") << "gallery" << "svg" << QSize(32, 32);
        QTest::newRow("menu file, Qt resource") << "menu file" << "resource" << QSize(16, 16);
    }

    void iconFiles()
    {
        QFETCH(QString, reader);
        QFETCH(QString, file);
        QFETCH(QSize, icon);
        const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_");
        QString path = m_dir.filePath(name + (file == "svg" ? ".svg" : ".png"));
        std::unique_ptr<specialfiles::FifoWriter> unblock;
        if (file == "fifo") {
            QVERIFY(specialfiles::fifo(path));
            unblock.reset(new specialfiles::FifoWriter({path}, 3000));
        } else if (file == "huge") {
            const QString source = m_dir.filePath("huge.png");
            if (!QFile::exists(source)) {
                QImage image(16000, 16000, QImage::Format_Mono);
                image.fill(1);
                QVERIFY(image.save(source));
            }
            QVERIFY(QFile::copy(source, path));
        } else if (file == "large") {
            QVERIFY(sty::saveSolid(path, QSize(200, 100), Qt::red));
        } else if (file == "svg") {
            const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><rect width='8' height='8'/></svg>";
            QVERIFY(writeFile(path, svg));
        } else {
            path = QStringLiteral(":/qt-project.org/styles/commonstyle/images/standardbutton-ok-16.png");
        }
        const QByteArray command = QStringLiteral(R"({"id": "cmd", "icon": "%1"})").arg(path).toUtf8();
        const QByteArray ribbon = R"({"schemaVersion": 1, "pages": [{"id": "p", "groups": [{"items": [)"
            + (reader == "gallery" ? R"({"type": "gallery", "items": [)" + command + "]}" : command) + "]}]}]}";
        const QString menuFile = m_dir.filePath(name + "-menu.json");
        const QString pageFile = m_dir.filePath(name + "-page.json");
        QVERIFY(writeFile(menuFile, QStringLiteral(R"({"items": [{"text": "item", "icon": "%1"}]})").arg(path).toUtf8()));
        QVERIFY(writeFile(pageFile, R"({"elements": [{"type": "qtribbonbar", "attr": {"ribbon": )" + ribbon + "}}]}"));

        QWidget host;
        WarningCapture capture;
        const PeakMemory memory;
        const CpuTimer timer;
        QAction* action = nullptr;
        if (reader == "menu file") {
            if (VYRQMenu* menu = vyrCreateMenuByFileName(&host, menuFile))
                action = menu->actions().value(0);
        } else {
            VYRQRibbonBar* bar = nullptr;
            if (reader == "page") {
                vyrCreatePageByFileName(&host, pageFile);
                bar = host.findChild<VYRQRibbonBar*>();
            } else {
                bar = new VYRQRibbonBar(&host);
                bar->loadConfigJson(QString::fromUtf8(ribbon));
            }
            auto* gallery = bar ? bar->findChild<VYRQRibbonGallery*>() : nullptr;
            action = gallery ? gallery->galleryActions().value(0) : bar ? bar->findAction("cmd") : nullptr;
        }
        VERIFY_CPU_BELOW(timer, 2000);
        const qint64 grown = memory.growthMb();
        QCOMPARE(unblock ? unblock->readersFound() : 0, 0);   // refused without waiting for a writer
        unblock.reset();
        QVERIFY(action);
        const QList<QSize> sizes = action->icon().availableSizes();
        QCOMPARE(sizes.isEmpty() ? QSize() : sizes.last(), icon);
        QCOMPARE(capture.count(QStringLiteral("refused")) > 0, !icon.isValid());
        VERIFY_PEAK_GROWTH_BELOW(grown, 64);
    }

    // An action that outlives the content it was part of reports once when added anew.
    void reloadedCommandsReportOnce()
    {
        VYRQRibbonBar bar;
        QAction keep("keep");
        keep.setObjectName("keep");
        QSignalSpy spy(&bar, &VYRQRibbonBar::commandTriggered);
        bar.addQuickAction(&keep);
        QVERIFY(bar.loadConfigJson(R"({"schemaVersion": 1})"));
        keep.trigger();
        QCOMPARE(spy.count(), 0);
        bar.addQuickAction(&keep);
        bar.addPage("p", "")->addGroup("g", "")->addLargeAction(&keep);
        keep.trigger();
        QCOMPARE(spy.count(), 1);
    }

    // A relative path is looked for beside the executable first, then in the
    // current folder.
    void relativePathCandidates()
    {
        const QString name = QStringLiteral("tst_ribbon_candidates.json");
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        QVERIFY(writeFile(beside, R"({"schemaVersion": 1, "pages": [{"id": "beside"}]})"));
        QVERIFY(writeFile(m_dir.filePath(name), R"({"schemaVersion": 1, "pages": [{"id": "current"}]})"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        VYRQRibbonBar bar;
        const bool first = bar.loadConfigFile(name);
        const QString firstPage = bar.pageCount() ? bar.pageAt(0)->pageId() : QString();
        QFile::remove(beside);
        const bool second = bar.loadConfigFile(name);
        QDir::setCurrent(previous);
        QVERIFY(first && second);
        QCOMPARE(firstPage, QStringLiteral("beside"));
        QCOMPARE(bar.pageAt(0)->pageId(), QStringLiteral("current"));
        QCOMPARE(bar.configFile(), name);
    }

    // The page element: "groupRows" clamped, heights, slots, and what "attr" does.
    void elementAttr_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::addColumn<QString>("expected");   // "rows pageHeight mode minimized pages"
        QTest::newRow("rows above") << QByteArray(R"({"groupRows": 7, "pageHeight": 80})") << "3 80 office 0 0";
        QTest::newRow("rows below") << QByteArray(R"({"groupRows": 1})") << "2 96 office 0 0";
        QTest::newRow("rows as text") << QByteArray(R"({"groupRows": "2"})") << "3 96 office 0 0";
        QTest::newRow("absurd height") << QByteArray(R"({"pageHeight": 2000000000})") << "3 4096 office 0 0";
        QTest::newRow("mode over the configuration")
            << QByteArray(R"({"ribbon": {"schemaVersion": 1, "pages": [{"id": "a"}]}, "layoutMode": "compact"})")
            << "2 96 compact 0 1";
        QTest::newRow("configuration keeps its mode")
            << QByteArray(R"({"ribbon": {"schemaVersion": 1, "layoutMode": "compact"}, "groupRows": 3})")
            << "2 96 compact 0 0";
        QTest::newRow("minimised") << QByteArray(R"({"minimized": true})") << "3 96 office 1 0";
    }

    void elementAttr()
    {
        QFETCH(QByteArray, attr);
        QFETCH(QString, expected);
        VYRQRibbonBar bar;
        QVERIFY(sty::load(bar, "{\"attr\": " + attr + "}"));
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(bar.groupRows())
                     .arg(bar.pageHeight())
                     .arg(vyr::ribbonLayoutModeName(bar.layoutMode()))
                     .arg(bar.isMinimized() ? 1 : 0)
                     .arg(bar.pageCount()),
                 expected);
    }

    // An inline configuration wins over the file, whose name is still kept.
    void inlineBeforeFile()
    {
        VYRQRibbonBar bar;
        QByteArray element = R"({"attr": {"configFile": "@path", "ribbon": {"schemaVersion": 1, "pages": [{"id": "inline"}]}}})";
        QVERIFY(sty::load(bar, element.replace("@path", fullConfig.toUtf8())));
        QCOMPARE(bar.configFile(), fullConfig);
        QCOMPARE(bar.pageCount(), 1);
        VYRQRibbonBar fromFile;
        QByteArray fileOnly = R"({"attr": {"configFile": "@path"}})";
        QVERIFY(sty::load(fromFile, fileOnly.replace("@path", fullConfig.toUtf8())));
        QCOMPARE(fromFile.pageCount(), 4);
    }

    // Slots by kind; 15 reads into the button text, which is written at 14; a bar of
    // unnamed styles writes no "style" and all eight "attr" keys.
    void elementStyles()
    {
        VYRQRibbonBar bar;
        Json::Value plain = write(bar);
        QVERIFY(!plain.isMember("style"));
        QCOMPARE(plain["attr"].getMemberNames().size(), size_t(8));
        QCOMPARE(plain["attr"]["ribbon"]["schemaVersion"].asInt(), 1);

        QVERIFY(sty::load(bar, R"({"style": [["Text", 2, 15], ["Fill", 1, 3], ["Fill", 2, 0], ["Nope", 1, 0],)"
                               R"(["Fill", 1, 5], ["Fill", 1, 18]]})"));
        QCOMPARE(vyrtest::impl(bar)->buttonText.name, QStringLiteral("Text"));
        QVERIFY(vyrtest::impl(bar)->barBackground.name.isEmpty());
        QCOMPARE(vyrtest::impl(bar)->tabBackgrounds.get(Hot).name, QStringLiteral("Fill"));
        QVERIFY(vyrtest::impl(bar)->tabBackgrounds.get(Normal).name.isEmpty());
        QCOMPARE(sty::entries(write(bar)["style"]), (QStringList{"Fill:1:5", "Text:2:14", "Fill:1:18"}));
    }

    // The design canvas saves the bar with its ribbon and opens it again unchanged.
    void pageControlOnCanvas()
    {
        const QString page = m_dir.filePath("ribbon-page.json");
        QFile source(fullConfig);
        QVERIFY(source.open(QIODevice::ReadOnly));
        Json::Value ribbon = parse(source.readAll());
        Json::Value doc = parse(R"({"w": 800, "h": 200, "elements": [{"type": "qtribbonbar", "name": "ribbon",)"
                                R"("w": 780, "h": 157, "attr": {"layoutMode": "compact"}}]})");
        doc["elements"][0]["attr"]["ribbon"] = ribbon;
        QVERIFY(writeFile(page, QByteArray::fromStdString(vyr::json::styledText(doc))));

        QWidget host;
        auto* canvas = new VYRQCanvas(&host);
        canvas->resize(900, 400);
        QVERIFY(canvas->OpenJsonFile(page));
        auto* bar = canvas->GetCurWindow()->findChild<VYRQRibbonBar*>("ribbon");
        QVERIFY(bar);
        QCOMPARE(bar->layoutMode(), VYR_RIBBON_LAYOUT_MODE::compact);
        const QString loaded = bar->configJson();
        QVERIFY(canvas->SavePage(page));
        canvas->closeAllWindows();
        QFile savedFile(page);
        QVERIFY(savedFile.open(QIODevice::ReadOnly));
        const Json::Value saved = parse(savedFile.readAll());
        QCOMPARE(str(saved["elements"][0]["type"]), QStringLiteral("qtribbonbar"));
        QCOMPARE(str(saved["elements"][0]["attr"]["layoutMode"]), QStringLiteral("compact"));
        QCOMPARE(saved["elements"][0]["attr"]["ribbon"]["pages"].size(), 2u);
        // The bar builds its rows and buttons itself: saved as children, they would
        // come back as extra controls over the bar, one more set on every save.
        QVERIFY(!saved["elements"][0].isMember("child"));
        QVERIFY(canvas->OpenJsonFile(page));
        bar = canvas->GetCurWindow()->findChild<VYRQRibbonBar*>("ribbon");
        QVERIFY(bar);
        QCOMPARE(bar->configJson(), loaded);
        QCOMPARE(bar->findChildren<VYRQContainer*>(QString(), Qt::FindDirectChildrenOnly).size(), 3);
        QCOMPARE(bar->findChildren<VYRQRibbonButton*>(QStringLiteral("ribbonApplicationButton")).size(), 1);

        bar->setJsonData(R"({"attr": {"pageHeight": 70}})");
        QCOMPARE(bar->pageHeight(), 70);
        bar->setJsonData(R"({"attr": {"pageHeight": 60}})");
        QCOMPARE(bar->pageHeight(), 70);
    }

    // A theme element sets sizes and styles, never a configuration, mode or minimised.
    void themeElement()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/ribbon-theme"));
        VYRQRibbonBar bar;
        QCOMPARE(bar.pageHeight(), 80);
        QCOMPARE(vyrtest::impl(bar)->barBackground.name, QStringLiteral("ThemeBar"));
        QCOMPARE(bar.pageCount(), 0);
        QCOMPARE(bar.layoutMode(), VYR_RIBBON_LAYOUT_MODE::office);
        QVERIFY(!bar.isMinimized());
        sty::dropTheme();
    }
};

VYR_TEST_SUITE(tst_RibbonConfig, 5)
#include "tst_ribbonconfig.moc"
