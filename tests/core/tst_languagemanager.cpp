#include "LanguageManager.h"
#include "warningcapture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray baseJson = R"({"defaultLanguage": "en", "languages": {
    "en": {"greet": "Hello", "onlyEn": "Only English", "blank": "Not blank"},
    "fr": {"greet": "Bonjour", "blank": ""}}})";

QString writeFile(const QTemporaryDir& dir, const QByteArray& data)
{
    QFile file(dir.filePath("lang.json"));
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() ? file.fileName() : QString();
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
