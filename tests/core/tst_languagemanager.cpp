#include "LanguageManager.h"
#include "VYRQLanguageTable.h"
#include "peakmemory.h"
#include "specialfiles.h"
#include "warningcapture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray baseJson = R"({"defaultLanguage": "en", "languages": {
    "en": {"greet": "Hello", "onlyEn": "Only English", "blank": "Not blank"},
    "fr": {"greet": "Bonjour", "blank": ""}}})";

QString writeFile(const QTemporaryDir& dir, const QByteArray& data)
{
    QFile file(dir.filePath("lang.json"));
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() ? file.fileName() : QString();
}

QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// A language.txt of `languages` columns (L<first>, L<first + 1> ...) and `rows` keys
// (<prefix>0, <prefix>1 ...), each cell `cell`.
QByteArray languageTxt(int languages, int rows, const QString& cell = QString(), const QString& prefix = "k",
                       int first = 0)
{
    QString text = QStringLiteral("Language");
    for (int j = 0; j < languages; ++j)
        text += QStringLiteral("\tL%1").arg(first + j);
    QString line;
    for (int j = 0; j < languages; ++j)
        line += QLatin1Char('\t') + cell;
    text.reserve(text.size() + rows * (line.size() + 10));
    for (int i = 0; i < rows; ++i)
        text += QStringLiteral("\r\n") + prefix + QString::number(i) + line;
    return utf16(text);
}

} // namespace

class tst_LanguageManager : public QObject {
    Q_OBJECT
    LanguageManager* mgr = LanguageManager::instance();

    // The manager is a singleton: every case starts from the base file with `current` chosen.
    void loadBase(const QString& current)
    {
        QVERIFY(mgr->loadFromJson(baseJson));
        QVERIFY(mgr->setLanguage(current));
    }

private slots:
    void invalidFileKeepsState_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        const QString needs = "Language JSON requires defaultLanguage and a languages object.";
        QTest::newRow("unterminated") << QByteArray("{") << "Invalid language JSON: unterminated object";
        QTest::newRow("array document") << QByteArray(R"([{"defaultLanguage": "en"}])")
                                        << "Invalid language JSON: document is not an object";
        QTest::newRow("over the size limit") << QByteArray(int(LanguageManager::MaxFileSize) + 1, ' ')
                                             << "Invalid language JSON: document is larger than 16777216 bytes";
        QTest::newRow("no default") << QByteArray(R"({"languages": {"en": {"a": "b"}}})") << needs;
        QTest::newRow("languages array") << QByteArray(R"({"defaultLanguage": "en", "languages": []})") << needs;
        QTest::newRow("language empty") << QByteArray(R"({"defaultLanguage": "en", "languages": {"en": {"a": "b"}, "xx": {}}})")
                                        << "Language 'xx' must contain at least one translation.";
        QTest::newRow("null text") << QByteArray(R"({"defaultLanguage": "en", "languages": {"en": {"a": "b", "c": null}}})")
                                   << "Translation 'c' in language 'en' must be a string.";
        QTest::newRow("unknown default") << QByteArray(R"({"defaultLanguage": "de", "languages": {"en": {"a": "b"}}})")
                                         << "Default language 'de' does not exist in languages.";
    }
    // A refused file changes nothing and says why, read from memory or from a file.
    void invalidFileKeepsState()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        loadBase("fr");
        QSignalSpy spy(mgr, &LanguageManager::languageChanged);
        QTemporaryDir dir;
        QString fromJson, fromFile;
        QVERIFY(!mgr->loadFromJson(json, &fromJson));
        QVERIFY(!mgr->loadFromFile(writeFile(dir, json), &fromFile));
        QCOMPARE(fromJson, error);
        QCOMPARE(fromFile, error);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(mgr->languages(), QStringList({ "en", "fr" }));
        QCOMPARE(mgr->currentLanguage(), QString("fr"));
        QCOMPARE(mgr->text("greet"), QString("Bonjour"));

        const QString missing = dir.filePath("missing.json");
        QVERIFY(!mgr->loadFromFile(missing, &fromFile));
        QCOMPARE(fromFile, QString("Unable to open language file '%1': No such file or directory").arg(missing));
    }

    void specialFilesRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("folder") << "folder";
    }
    // A FIFO is refused without waiting for a writer (should the open wait, the writer
    // comes after a few seconds with a valid file); a device, or a link to one, without
    // reading it; a folder as what it is.
    void specialFilesRefused()
    {
        QFETCH(QString, kind);
        loadBase("fr");
        QTemporaryDir dir;
        const QString path = dir.filePath("lang.json");
        std::unique_ptr<specialfiles::FifoWriter> writer;
        if (kind == "fifo") {
            QVERIFY(specialfiles::fifo(path));
            writer = std::make_unique<specialfiles::FifoWriter>(QStringList{ path }, 5000, baseJson);
        } else if (kind == "device") {
            QVERIFY(specialfiles::linkToEndlessDevice(path));
        } else {
            QVERIFY(QDir(dir.path()).mkdir("lang.json"));
        }
        QSignalSpy spy(mgr, &LanguageManager::languageChanged);
        QString error;
        QVERIFY(!mgr->loadFromFile(path, &error));
        QCOMPARE(error, QStringLiteral("Unable to open language file '%1': not a regular file").arg(path));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(mgr->currentLanguage(), QString("fr"));
    }

    void languageTableBounds_data()
    {
        QTest::addColumn<QList<QByteArray>>("files");
        QTest::addColumn<QList<bool>>("read");
        QTest::addColumn<int>("languages");
        QTest::addColumn<qint64>("texts");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<qint64>("peakMb");   // 0: not measured
        const qint64 most = VYRQLanguageTable::maxTexts;
        const int characters = int(VYRQLanguageTable::maxCharacters) - 2;   // and the key "k0"
        QTest::newRow("at the bounds")
            << QList<QByteArray>{ languageTxt(256, 1), languageTxt(1, int(most) - 256, "x", "m") }
            << QList<bool>{ true, true } << 256 << most << QString() << qint64(0);
        QTest::newRow("at the bound of characters") << QList<QByteArray>{ languageTxt(1, 1, QString(characters, 'y')) }
                                                    << QList<bool>{ true } << 1 << qint64(1) << QString() << qint64(0);
        QTest::newRow("a language too many") << QList<QByteArray>{ languageTxt(257, 1) } << QList<bool>{ false } << 0
                                             << qint64(0) << "more than 256 languages" << qint64(0);
        QTest::newRow("languages add up") << QList<QByteArray>{ languageTxt(200, 1), languageTxt(100, 1, "", "k", 200) }
                                          << QList<bool>{ true, false } << 200 << qint64(200)
                                          << "more than 256 languages" << qint64(0);
        QTest::newRow("a text too many")
            << QList<QByteArray>{ languageTxt(2, int(most / 2)), languageTxt(1, 1, "x", "m") }
            << QList<bool>{ true, false } << 2 << most << "more than 500000 texts" << qint64(0);
        QTest::newRow("the same file again adds nothing")
            << QList<QByteArray>{ languageTxt(2, int(most / 2)), languageTxt(2, int(most / 2), "again") }
            << QList<bool>{ true, true } << 2 << most << QString() << qint64(0);
        QTest::newRow("a character too many")
            << QList<QByteArray>{ languageTxt(1, 1, QString(characters + 1, 'y')) } << QList<bool>{ false } << 0
            << qint64(0) << "more than 8388608 characters" << qint64(0);
        // 31 MiB of tabs once made 16 M empty texts: 800 MB (1.3 GB and more checked).
        QTest::newRow("8,000 languages by 2,000 empty keys")
            << QList<QByteArray>{ languageTxt(8000, 2000) } << QList<bool>{ false } << 0 << qint64(0)
            << "more than 256 languages" << qint64(100);
    }
    // The tables are bounded as a whole: a file that would take them past a bound adds
    // nothing, with a warning, and the tables keep what earlier files gave. Refused, a
    // file costs little more than the text it decodes to.
    void languageTableBounds()
    {
        QFETCH(QList<QByteArray>, files);
        QFETCH(QList<bool>, read);
        QFETCH(int, languages);
        QFETCH(qint64, texts);
        QFETCH(QString, warning);
        QFETCH(qint64, peakMb);
        VYRQLanguageTable table;
        WarningCapture capture;
        const PeakMemory memory;
        for (int i = 0; i < files.size(); ++i)
            QCOMPARE(table.read(files.at(i)), read.at(i));
        const qint64 growth = memory.growthMb();
        QCOMPARE(table.languages().size(), languages);
        QCOMPARE(table.texts(), texts);
        QCOMPARE(capture.messages().size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(capture.messages().first().contains(warning), qPrintable(capture.messages().first()));
        QString text;
        QCOMPARE(table.find("k0", text), languages > 0);
        QCOMPARE(table.currentLanguage(), languages > 0 ? QString("L0") : QString());
        if (peakMb > 0) {
            if (growth < 0)
                QSKIP("peak memory cannot be read here");
            QVERIFY2(growth < peakMb, qPrintable(QStringLiteral("%1 MB").arg(growth)));
        }
    }

    // Only a change of language signals; a load always does, keeping the current language if it can.
    void signalRules()
    {
        loadBase("en");
        QSignalSpy spy(mgr, &LanguageManager::languageChanged);
        QVERIFY(!mgr->setLanguage("xx"));
        QVERIFY(mgr->setLanguage("en"));
        QVERIFY(mgr->setLanguage("fr"));
        const QByteArray keepsFr = R"({"defaultLanguage": "de", "languages": {"de": {"k": "v"}, "fr": {"k": "v"}}})";
        QVERIFY(mgr->loadFromJson(keepsFr + QByteArray(int(LanguageManager::MaxFileSize) - keepsFr.size(), ' ')));
        QVERIFY(!mgr->contains("greet"));   // replaced, not merged
        QVERIFY(mgr->loadFromJson(R"({"defaultLanguage": "de", "languages": {"de": {"k": "v"}, "EN": {"k": "v"}}})"));
        QCOMPARE(mgr->languages(), QStringList({ "de", "EN" }));   // sorted ignoring case
        QStringList signalled;
        for (const QList<QVariant>& args : spy)
            signalled << args.at(0).toString();
        QCOMPARE(signalled, QStringList({ "fr", "fr", "de" }));
    }

    void textFallbackChain_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("expected");
        QTest::newRow("current language") << "greet" << QString() << "Bonjour";
        QTest::newRow("default language") << "onlyEn" << QString() << "Only English";
        QTest::newRow("empty text wins") << "blank" << "fb" << "";
        QTest::newRow("fallback") << "nope" << "fb" << "fb";
        QTest::newRow("empty fallback") << "nope" << "" << "";
        QTest::newRow("key") << "nope" << QString() << "nope";
    }
    void textFallbackChain()
    {
        QFETCH(QString, key);
        QFETCH(QString, fallback);
        QFETCH(QString, expected);
        loadBase("fr");
        WarningCapture capture;
        const QString result = mgr->text(key, fallback);
        QCOMPARE(result, expected);
        QVERIFY(!result.isNull());
        QCOMPARE(capture.messages().size(), result == key ? 1 : 0);
    }

    // Once per language and key; a language change or a new file forgets, a failed load does not.
    void missingKeyWarnsOnce()
    {
        loadBase("fr");
        WarningCapture capture;
        mgr->text("nope");
        mgr->text("nope");
        QCOMPARE(capture.messages(), QStringList("Missing translation key \"nope\" for language \"fr\""));
        QVERIFY(mgr->setLanguage("en"));
        QVERIFY(mgr->setLanguage("fr"));
        mgr->text("nope");
        QCOMPARE(capture.messages().size(), 2);
        QVERIFY(!mgr->loadFromJson("{"));
        mgr->text("nope");
        QCOMPARE(capture.messages().size(), 2);
        QVERIFY(mgr->loadFromJson(baseJson));
        mgr->text("nope");
        QCOMPARE(capture.messages().size(), 3);
    }
};

QTEST_GUILESS_MAIN(tst_LanguageManager)
#include "tst_languagemanager.moc"
