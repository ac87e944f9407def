// Feeds arbitrary bytes to the resource manager as a language.txt table.

#include "VYRQResourceManager.h"

#include <cstdint>
#include <cstdlib>

namespace {
struct Probe : VYRQResourceManager {
    using VYRQResourceManager::readLanguage;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024 * 1024)
        return 0;
    Probe rm;
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    if (!rm.readLanguage(bytes))
        return 0;
    const QStringList languages = rm.getLanguageList();
    if (languages.isEmpty() || !languages.contains(rm.getCurrentLanguage()))
        std::abort();
    for (const QString& language : languages) {
        if (!rm.setCurrentLanguage(language))
            std::abort();
    }
    // Reading the same table again is accepted and changes no language list.
    if (!rm.readLanguage(bytes) || rm.getLanguageList() != languages)
        std::abort();
    return 0;
}
