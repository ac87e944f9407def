#include "LanguageManager.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {

// Missing keys warn on every new input; printing them would drown the fuzzer's output.
void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_language_json";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qInstallMessageHandler(dropMessages);
        new QCoreApplication(argc, argv);
    }
}

} // namespace

// Qt 5.15's JSON parser drops the earlier value of a duplicated key without
// freeing it when that value is an object or array. Only that leak is waived;
// Qt has no frame pointers, so matching its frames needs the slow unwinder.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QJsonDocument::fromJson\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureApplication();
    LanguageManager* manager = LanguageManager::instance();
    const QByteArray json(reinterpret_cast<const char*>(data), int(size));

    QString error;
    if (!manager->loadFromJson(json, &error) && error.isEmpty())
        __builtin_trap();

    // Probe with a key taken from the input so lookups can hit and miss.
    const QString key = QString::fromUtf8(json.right(8));
    const QStringList languages = manager->languages();
    for (const QString& language : languages) {
        if (!manager->setLanguage(language) || manager->currentLanguage() != language)
            __builtin_trap();
        manager->contains(key, language);
        manager->text(key, QString());
        manager->text(QStringLiteral("title"), QStringLiteral("fallback"));
    }
    if (!languages.isEmpty() && !languages.contains(manager->defaultLanguage()))
        __builtin_trap();
    return 0;
}
