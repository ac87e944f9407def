#include "LanguageManager.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray baseJson = R"({"defaultLanguage": "en", "languages": {
    "en": {"greet": "Hello", "onlyEn": "Only English", "blank": "Not blank"},
    "fr": {"greet": "Bonjour", "blank": ""}}})";

// Counts warnings while alive; QTest::ignoreMessage cannot tell that a message
// did not come a second time.
class WarningCapture {
public:
    WarningCapture() { messages().clear(); m_previous = qInstallMessageHandler(handler); }
    ~WarningCapture() { qInstallMessageHandler(m_previous); }
    static QStringList& messages() { static QStringList list; return list; }

private:
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            messages() << message;
    }
    QtMessageHandler m_previous;
};

} // namespace

class tst_LanguageManager : public QObject {
    Q_OBJECT
    LanguageManager* mgr = LanguageManager::instance();

    // The manager is a singleton: every case starts from this state.
    void loadBase(const QString& current)
    {
        QString error;
        QVERIFY2(mgr->loadFromJson(baseJson, &error), qPrintable(error));
        QVERIFY(mgr->setLanguage(current));
    }
    void verifyBaseKept()
    {
        QCOMPARE(mgr->languages(), QStringList({"en", "fr"}));
        QCOMPARE(mgr->defaultLanguage(), QString("en"));
        QCOMPARE(mgr->currentLanguage(), QString("fr"));
        QCOMPARE(mgr->text("greet"), QString("Bonjour"));
    }

private slots:
    void invalidFileKeepsState_data();
    void invalidFileKeepsState();
    void sizeLimit_data();
    void sizeLimit();
    void unreadableFile();
    void currentLanguageAfterLoad_data();
    void currentLanguageAfterLoad();
    void setLanguageAndContains();
    void textFallbackChain_data();
    void textFallbackChain();
    void missingKeyWarnsOncePerLanguage();
    void languagesSortIgnoringCase();
};

void tst_LanguageManager::invalidFileKeepsState_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const QString needs = "Language JSON requires defaultLanguage and a languages object.";
    QTest::newRow("unterminated") << QByteArray("{") << "Invalid language JSON: unterminated object";
    QTest::newRow("trailing garbage") << QByteArray("{} x") << "Invalid language JSON: garbage at the end of the document";
    QTest::newRow("array document") << QByteArray(R"([{"defaultLanguage": "en"}])")
                                    << "Invalid language JSON: document is not an object";
    QTest::newRow("no default") << QByteArray(R"({"languages": {"en": {"a": "b"}}})") << needs;
    QTest::newRow("empty default") << QByteArray(R"({"defaultLanguage": "", "languages": {"en": {"a": "b"}}})") << needs;
    QTest::newRow("numeric default") << QByteArray(R"({"defaultLanguage": 1, "languages": {"en": {"a": "b"}}})") << needs;
    QTest::newRow("languages array") << QByteArray(R"({"defaultLanguage": "en", "languages": []})") << needs;
    QTest::newRow("language not object") << QByteArray(R"({"defaultLanguage": "en", "languages": {"en": "x"}})")
                                         << "Language 'en' must contain at least one translation.";
    QTest::newRow("language empty") << QByteArray(R"({"defaultLanguage": "en", "languages": {"en": {"a": "b"}, "xx": {}}})")
                                    << "Language 'xx' must contain at least one translation.";
    QTest::newRow("numeric text") << QByteArray(R"({"defaultLanguage": "en", "languages": {"en": {"a": 1}}})")
                                  << "Translation 'a' in language 'en' must be a string.";
    QTest::newRow("null text") << QByteArray(R"({"defaultLanguage": "en", "languages": {"en": {"a": "b", "c": null}}})")
                               << "Translation 'c' in language 'en' must be a string.";
    QTest::newRow("unknown default") << QByteArray(R"({"defaultLanguage": "de", "languages": {"en": {"a": "b"}}})")
                                     << "Default language 'de' does not exist in languages.";
}

void tst_LanguageManager::invalidFileKeepsState()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    loadBase("fr");
    QSignalSpy spy(mgr, &LanguageManager::languageChanged);

    QString message;
    QVERIFY(!mgr->loadFromJson(json, &message));
    QCOMPARE(message, error);
    QVERIFY(!mgr->loadFromJson(json, nullptr));
    QCOMPARE(spy.count(), 0);
    verifyBaseKept();
}

void tst_LanguageManager::sizeLimit_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("json at limit") << LanguageManager::MaxFileSize << false << true;
    QTest::newRow("json over limit") << LanguageManager::MaxFileSize + 1 << false << false;
    QTest::newRow("file at limit") << LanguageManager::MaxFileSize << true << true;
    QTest::newRow("file over limit") << LanguageManager::MaxFileSize + 1 << true << false;
}

void tst_LanguageManager::sizeLimit()
{
    QFETCH(qint64, size);
    QFETCH(bool, fromFile);
    QFETCH(bool, accepted);
    loadBase("fr");
    const QByteArray small = R"({"defaultLanguage": "de", "languages": {"de": {"k": "v"}}})";
    QByteArray json = small + QByteArray(int(size - small.size()), ' ');

    QString error;
    bool ok;
    if (fromFile) {
        QTemporaryDir dir;
        QFile file(dir.filePath("big.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(json), size);
        file.close();
        ok = mgr->loadFromFile(file.fileName(), &error);
    } else {
        ok = mgr->loadFromJson(json, &error);
    }
    QCOMPARE(ok, accepted);
    if (accepted) {
        QCOMPARE(mgr->languages(), QStringList("de"));
    } else {
        QVERIFY2(error.startsWith("Invalid language JSON: "), qPrintable(error));
        verifyBaseKept();
    }
}

void tst_LanguageManager::unreadableFile()
{
    loadBase("fr");
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.json");
    QString error;
    QVERIFY(!mgr->loadFromFile(missing, &error));
    QCOMPARE(error, QString("Unable to open language file '%1': No such file or directory").arg(missing));
    QVERIFY(!mgr->loadFromFile(dir.path(), &error));
    QVERIFY2(error.startsWith(QString("Unable to open language file '%1': ").arg(dir.path())), qPrintable(error));
    verifyBaseKept();
}

void tst_LanguageManager::currentLanguageAfterLoad_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("after");
    QTest::newRow("current kept") << "fr" << QByteArray(R"({"defaultLanguage": "de", "languages": {"de": {"k": "v"}, "fr": {"k": "v"}}})") << "fr";
    QTest::newRow("current dropped") << "fr" << QByteArray(R"({"defaultLanguage": "de", "languages": {"de": {"k": "v"}, "en": {"k": "v"}}})") << "de";
    QTest::newRow("old default kept") << "en" << QByteArray(R"({"defaultLanguage": "fr", "languages": {"en": {"k": "v"}, "fr": {"k": "v"}}})") << "en";
}

void tst_LanguageManager::currentLanguageAfterLoad()
{
    QFETCH(QString, before);
    QFETCH(QByteArray, json);
    QFETCH(QString, after);
    loadBase(before);
    QSignalSpy spy(mgr, &LanguageManager::languageChanged);
    QTemporaryDir dir;
    QFile file(dir.filePath("lang.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(json);
    file.close();

    QString error;
    QVERIFY2(mgr->loadFromFile(file.fileName(), &error), qPrintable(error));
    QCOMPARE(mgr->currentLanguage(), after);
    QCOMPARE(spy.count(), 1); // also when the language did not change
    QCOMPARE(spy.at(0).at(0).toString(), after);
    // Replaced as a whole, not merged.
    QVERIFY(!mgr->contains("greet", "fr"));
    QVERIFY(!mgr->contains("greet", "en"));
}

void tst_LanguageManager::setLanguageAndContains()
{
    loadBase("en");
    QSignalSpy spy(mgr, &LanguageManager::languageChanged);
    QVERIFY(!mgr->setLanguage("xx"));
    QVERIFY(!mgr->setLanguage(QString()));
    QVERIFY(mgr->setLanguage("en"));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(mgr->currentLanguage(), QString("en"));

    QVERIFY(mgr->setLanguage("fr"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("fr"));
    QCOMPARE(mgr->currentLanguage(), QString("fr"));
    QCOMPARE(mgr->defaultLanguage(), QString("en"));

    QVERIFY(!mgr->contains("onlyEn")); // empty language: the current one
    QVERIFY(mgr->contains("onlyEn", "en"));
    QVERIFY(mgr->contains("blank")); // an empty text is still a text
    QVERIFY(!mgr->contains("greet", "xx"));
}

void tst_LanguageManager::textFallbackChain_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("warns");
    const QString none;
    const QString empty = QLatin1String("");
    QTest::newRow("current language") << "fr" << "greet" << none << "Bonjour" << false;
    QTest::newRow("default language") << "fr" << "onlyEn" << none << "Only English" << false;
    QTest::newRow("empty text wins") << "fr" << "blank" << "fb" << empty << false;
    QTest::newRow("fallback") << "fr" << "nope" << "fb" << "fb" << false;
    QTest::newRow("empty fallback") << "fr" << "nope" << empty << empty << false;
    QTest::newRow("key") << "fr" << "nope" << none << "nope" << true;
    QTest::newRow("key in default language") << "en" << "nope" << none << "nope" << true;
}

void tst_LanguageManager::textFallbackChain()
{
    QFETCH(QString, current);
    QFETCH(QString, key);
    QFETCH(QString, fallback);
    QFETCH(QString, expected);
    QFETCH(bool, warns);
    loadBase(current);
    WarningCapture capture;
    const QString result = mgr->text(key, fallback);
    QCOMPARE(result, expected);
    QCOMPARE(result.isNull(), false);
    QCOMPARE(capture.messages().size(), warns ? 1 : 0);
}

void tst_LanguageManager::missingKeyWarnsOncePerLanguage()
{
    loadBase("fr");
    WarningCapture capture;
    const QStringList &warnings = capture.messages();
    mgr->text("nope");
    mgr->text("nope");
    QCOMPARE(warnings, QStringList("Missing translation key \"nope\" for language \"fr\""));
    mgr->text("other");
    QCOMPARE(warnings.size(), 2);

    // A language change forgets what was reported, even a change back.
    QVERIFY(mgr->setLanguage("en"));
    QVERIFY(mgr->setLanguage("fr"));
    mgr->text("nope");
    QCOMPARE(warnings.size(), 3);
    // A failed load changes nothing; a new file forgets as well.
    QVERIFY(!mgr->loadFromJson("{"));
    mgr->text("nope");
    QCOMPARE(warnings.size(), 3);
    QVERIFY(mgr->loadFromJson(baseJson));
    mgr->text("nope");
    QCOMPARE(warnings.size(), 4);
}

void tst_LanguageManager::languagesSortIgnoringCase()
{
    QVERIFY(mgr->loadFromJson(R"({"defaultLanguage": "fr", "languages": {
        "fr": {"k": "v"}, "EN": {"k": "v"}, "de": {"k": "v"}}})"));
    QCOMPARE(mgr->languages(), QStringList({"de", "EN", "fr"}));
}

QTEST_GUILESS_MAIN(tst_LanguageManager)
#include "tst_languagemanager.moc"
