// libFuzzer target for the zip access layer: opens the input from memory, walks
// every item record and unpacks every item in pieces, as the resource manager does.

#include "VYRQZip.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
// Unpack buffers are capped; larger items are delivered in pieces (0x600).
constexpr uint32_t bufferCap = 64u * 1024u;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > UINT_MAX)
        return 0;
    ZipHandle* h = openZipFromMemory(data, static_cast<unsigned int>(size), nullptr);
    if (!h)
        return 0;

    ZipEntry info;
    if (getZipItem(h, -1, &info) == ZR_OK) {
        const int count = info.index;
        std::vector<unsigned char> buf;
        for (int i = 0; i < count; ++i) {
            ZipEntry e;
            if (getZipItem(h, i, &e) != ZR_OK)
                continue;
            if (strnlen(e.name, sizeof e.name) >= sizeof e.name)
                __builtin_trap();  // names are always terminated
            // The same index again answers from the kept record.
            ZipEntry again;
            if (getZipItem(h, i, &again) != ZR_OK || std::memcmp(&again, &e, sizeof e) != 0)
                __builtin_trap();

            const uint32_t want = e.unpackedSize < bufferCap ? e.unpackedSize : bufferCap;
            buf.assign(want > 0 ? want : 1, 0);
            // Every 0x600 delivered a full buffer, so the loop ends within the
            // declared size; the guard only keeps a broken layer from hanging here.
            uint32_t rc;
            unsigned long rounds = 0;
            do {
                rc = unzipItem(h, i, buf.data(), static_cast<unsigned int>(buf.size()));
            } while (rc == ZR_MORE && ++rounds < (1ul << 20));
        }
        // Out-of-order access after the walk.
        if (count > 1) {
            ZipEntry e;
            unsigned char small[16];
            getZipItem(h, count - 1, &e);
            unzipItem(h, 0, small, sizeof small);
            getZipItem(h, 0, &e);
        }
    }
    closeZip(h);
    return 0;
}
