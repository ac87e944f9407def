// Feeds arbitrary bytes to the resource manager as a set's style.json: parse, read
// the "style" array, write it back and read that again.

#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"

#include <cstdint>
#include <cstdlib>

namespace {
struct Probe : VYRQResourceManager {
    using VYRQResourceManager::parseStyleTail;
    using VYRQResourceManager::readStyle;
    using VYRQResourceManager::writeStyle;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Probe* rm = new Probe;
    if (size > 1024 * 1024)
        return 0;
    // The last byte picks the scale factor, so margin scaling is reached too.
    rm->setScaleFactor(size && (data[size - 1] & 1) ? 0.5f : 1.0f);

    VYRQResourceManagerImpl set;
    set.styleFiles.append(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    if (!rm->parseStyleTail(&set))
        return 0;

    Json::Value written;
    if (!rm->writeStyle(&set, written))
        std::abort();
    VYRQResourceManagerImpl again;
    if (!written.isNull() && !rm->readStyle(&again, written))
        std::abort();
    // Names are unique per kind, so a write and read keeps every style.
    if (again.fillStyles.size() != set.fillStyles.size() || again.textStyles.size() != set.textStyles.size())
        std::abort();
    return 0;
}
