#include "LanguageManager.h"
#include "VYRQResourceManager.h"
#include "walkcontrol.h"
#include "testzip.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Probe : VYRQResourceManager {
    using VYRQResourceManager::readLanguage;
};

// language.txt bytes: UTF-16LE, no byte-order mark unless the text has one.
QByteArray utf16(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        out.append(char(c.unicode() & 0xff));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

const QString table = QStringLiteral("Language\tEN\tZH\r\n"
                                     "ok\tOK\t\u786e\u5b9a\r\n"
                                     "zhOnly\t\tzh\r\n"
                                     "lonely\r\n"
                                     "\r\n"
                                     "enOnly\ten\r\n");

} // namespace

class tst_LanguageTable : public QObject {
    Q_OBJECT
private slots:
    void init() { walkLog.clear(); }

    void parse_data();
    void parse();
    void tablesGrowAndKeepCurrent();
    void setCurrentLanguageWalksWindows();
    void skinLanguageFiles();
    // These load the process-wide language manager, which cannot be emptied again.
    void languageManagerComesFirst();
    void languageChangeWalksWindowsOnly();
};

void tst_LanguageTable::parse_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("zh");

    QTest::newRow("table") << utf16(table) << true << "ok" << "OK" << QStringLiteral("\u786e\u5b9a");
    QTest::newRow("empty first cell") << utf16(table) << true << "zhOnly" << "" << "zh";
    QTest::newRow("short line sets first") << utf16(table) << true << "enOnly" << "en" << QString();
    QTest::newRow("key alone ignored") << utf16(table) << true << "lonely" << QString() << QString();
    QTest::newRow("odd byte ignored") << utf16(table) + 'x' << true << "enOnly" << "en" << QString();
    QTest::newRow("byte-order mark") << utf16(QChar(0xfeff) + table) << false << "ok" << QString() << QString();
    QTest::newRow("one line") << utf16("Language\tEN\tZH") << false << "" << QString() << QString();
    QTest::newRow("bare newlines") << utf16("Language\tEN\nok\tOK\n") << false << "ok" << QString() << QString();
    QTest::newRow("one header cell") << utf16("Language\r\nok\tOK") << false << "ok" << QString() << QString();
    QTest::newRow("wrong header") << utf16("language\tEN\r\nok\tOK") << false << "ok" << QString() << QString();
    QTest::newRow("empty") << QByteArray() << false << "ok" << QString() << QString();
    QTest::newRow("utf-8 text") << table.toUtf8() << false << "ok" << QString() << QString();
}

void tst_LanguageTable::parse()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, ok);
    QFETCH(QString, key);
    QFETCH(QString, en);
    QFETCH(QString, zh);
    Probe rm;
    QCOMPARE(rm.readLanguage(data), ok);
    if (!ok) {
        QVERIFY(rm.getLanguageList().isEmpty());
        QVERIFY(rm.getCurrentLanguage().isEmpty());
        return;
    }
    QCOMPARE(rm.getLanguageList(), QStringList({ "EN", "ZH" }));
    QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("EN"));
    const QString first = rm.getString(key);
    QVERIFY(!first.isNull() || en.isNull());
    QCOMPARE(first, en.isNull() ? QString("") : en);
    QVERIFY(rm.setCurrentLanguage("ZH"));
    QCOMPARE(rm.getString(key), zh.isNull() ? QString("") : zh);
}

void tst_LanguageTable::tablesGrowAndKeepCurrent()
{
    Probe rm;
    QVERIFY(rm.readLanguage(utf16("Language\tZH\tEN\r\nok\tzh-ok\ten-ok\r\nold\tzh-old\ten-old")));
    QVERIFY(rm.readLanguage(utf16("Language\tEN\tDE\r\nok\ten-new\tde-ok")));
    QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("ZH"));   // chosen by the first file
    QCOMPARE(rm.getLanguageList(), QStringList({ "DE", "EN", "ZH" }));
    QVERIFY(!rm.readLanguage(utf16("Language")));
    QVERIFY(rm.setCurrentLanguage("EN"));
    QCOMPARE(rm.getString("ok"), QStringLiteral("en-new"));
    QCOMPARE(rm.getString("old"), QStringLiteral("en-old"));
    QVERIFY(!rm.setCurrentLanguage("FR"));
    QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("EN"));
    QVERIFY(rm.getString("unknown").isEmpty());
}

void tst_LanguageTable::setCurrentLanguageWalksWindows()
{
    Probe rm;
    WidgetTree window, designer;
    rm.registerWindow(&window.window);
    rm.registerDesignerWindow(&designer.window);
    QVERIFY(rm.readLanguage(utf16(table)));
    QVERIFY(walkLog.isEmpty());
    QVERIFY(!rm.setCurrentLanguage("FR"));
    QVERIFY(walkLog.isEmpty());
    QVERIFY(rm.setCurrentLanguage("ZH"));
    QCOMPARE(walkLog, QStringList({ "lang:a", "lang:b", "lang:c" }));
}

void tst_LanguageTable::skinLanguageFiles()
{
    QTemporaryDir tmp;
    const QByteArray style = R"({"style": []})";
    const QString first = tmp.path() + "/first.zip";
    const QString second = tmp.path() + "/second.zip";
    QVERIFY(writeTestZip(first, { zipItem("style.json", style), zipItem("language.txt", utf16("Language\tEN\r\na\tfirst")) }));
    QVERIFY(writeTestZip(second, { zipItem("style.json", style), zipItem("Language.TXT", utf16("Language\tEN\r\nb\tsecond")) }));
    Probe rm;
    QVERIFY(rm.loadSkinFile(first));
    QVERIFY(rm.loadSkinFile(second));
    QCOMPARE(rm.getString("a"), QStringLiteral("first"));
    QCOMPARE(rm.getString("b"), QStringLiteral("second"));

    // From memory the archive's language.txt is not read.
    const QString third = tmp.path() + "/third.zip";
    QVERIFY(writeTestZip(third, { zipItem("style.json", style), zipItem("language.txt", utf16("Language\tEN\r\nc\tthird")) }));
    const QByteArray bytes = readTestFile(third);
    QVERIFY(rm.loadSkinFile(bytes.constData(), bytes.size()));
    QVERIFY(rm.getString("c").isEmpty());

    QFile txt(tmp.path() + "/language.txt");
    QVERIFY(txt.open(QIODevice::WriteOnly));
    txt.write(utf16("Language\tEN\r\nd\tfolder"));
    txt.close();
    QFile json(tmp.path() + "/style.json");
    QVERIFY(json.open(QIODevice::WriteOnly));
    json.write(style);
    json.close();
    QVERIFY(rm.setSkinDirPath(tmp.path()));
    QCOMPARE(rm.getString("d"), QStringLiteral("folder"));
}

void tst_LanguageTable::languageManagerComesFirst()
{
    Probe rm;
    QVERIFY(rm.readLanguage(utf16("Language\tEN\r\nboth\ttable\r\ntableOnly\tfrom table")));
    QString error;
    QVERIFY2(LanguageManager::instance()->loadFromJson(
                 R"({"defaultLanguage": "en", "languages": {"en": {"both": "manager"}, "de": {"deOnly": "x"}}})", &error),
             qPrintable(error));
    QCOMPARE(rm.getString("both"), QStringLiteral("manager"));
    QCOMPARE(rm.getString("tableOnly"), QStringLiteral("from table"));
    QVERIFY(rm.getString("deOnly").isEmpty());   // not the current language
    QVERIFY(rm.getString("nowhere").isEmpty());
    QCOMPARE(rm.getLanguageList(), QStringList({ "de", "en" }));
    QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("en"));
    QVERIFY(!rm.setCurrentLanguage("EN"));       // the table's names no longer count
    QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("en"));
}

void tst_LanguageTable::languageChangeWalksWindowsOnly()
{
    Probe rm;
    WidgetTree window, designer;
    rm.registerWindow(&window.window);
    rm.registerDesignerWindow(&designer.window);
    QSignalSpy spy(LanguageManager::instance(), &LanguageManager::languageChanged);
    QVERIFY(rm.setCurrentLanguage("de"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("de"));
    QCOMPARE(walkLog, QStringList({ "lang:a", "lang:b", "lang:c" }));
    QCOMPARE(rm.getString("deOnly"), QStringLiteral("x"));
    rm.unregisterWindow(&window.window);
    walkLog.clear();
    QVERIFY(LanguageManager::instance()->setLanguage("en"));
    QVERIFY(walkLog.isEmpty());
}

QTEST_MAIN(tst_LanguageTable)
#include "tst_languagetable.moc"
