// Loads arbitrary bytes as a ribbon configuration into one long-lived bar, writes a
// loaded configuration back and loads the written text again.

#include "FuzzApplication.h"
#include "VYRQRibbonBar.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

VYRQRibbonBar* ensureBar()
{
    static VYRQRibbonBar* bar = nullptr;
    if (bar)
        return bar;
    fuzz::startLibrary("fuzz_ribbon_config");
    bar = new VYRQRibbonBar;
    bar->resize(720, 157);
    return bar;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VYRQRibbonBar* bar = ensureBar();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    if (bar->loadConfigJson(text)) {
        const QString written = bar->configJson();
        bar->loadConfigJson(written);
    }
    // Removed widgets and actions go with the deferred deletions.
    fuzz::turnEventLoop();
    return 0;
}
