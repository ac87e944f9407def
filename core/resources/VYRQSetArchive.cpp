#include "VYRQSetArchive_p.h"

#include "VYRQLogging.h"
#include "VYRQResourceKeys_p.h"

#include <set>
#include <string>
#include <utility>

namespace {

using vyr::styleFileKey;
using vyr::themeFileKey;

ZipHandle* openArchive(const char* path, const char* data, unsigned int size)
{
    ZipHandle* zip = path ? openZipFromFile(path, nullptr) : openZipFromMemory(data, size, nullptr);
    if (!zip)
        qCDebug(vyrRes) << "cannot open zip" << (path ? path : "(memory)") << Qt::hex << Qt::showbase << zipLastResult();
    return zip;
}

} // namespace

VYRQSetArchive::VYRQSetArchive(const char* path, const char* data, unsigned int size)
    : m_zip(openArchive(path, data, size))
{
}

bool VYRQSetArchive::list()
{
    std::vector<VYRQFileStore::ArchiveEntry> entries;
    if (!m_zip || !VYRQFileStore::listArchive(m_zip.get(), entries))
        return false;
    std::set<std::string> seen;
    uint64_t total = 0;
    for (VYRQFileStore::ArchiveEntry& entry : entries) {
        const std::string key = vyr::fileKey(entry.name);
        const bool isStyle = key == styleFileKey;
        if (!isStyle && !seen.insert(key).second)
            continue;   // the first item of a key is kept
        if (entry.size > ZipMaxEntrySize) {
            qCWarning(vyrRes) << "zip entry too large:" << entry.name << entry.size;
            if (isStyle || key == themeFileKey)
                return false;
            continue;
        }
        total += entry.size;
        if (total > ZipMaxArchiveSize) {
            qCWarning(vyrRes) << "zip archive unpacks to more than" << ZipMaxArchiveSize << "bytes";
            return false;
        }
        if (isStyle)
            m_styles.push_back(std::move(entry));
        else
            m_files.emplace_back(key, std::move(entry));
    }
    return true;
}

// In the listing's order this is one more walk over the directory, cheaper than going
// to each item by its position. The layer gives ZR_OK only when the item filled the
// buffer to its listed size and its CRC matched.
bool VYRQSetArchive::unpack(const VYRQFileStore::ArchiveEntry& entry, QByteArray& out)
{
    out.resize(int(entry.size));
    const uint32_t result = unzipItem(m_zip.get(), entry.ref.index, out.data(), entry.size);
    if (result == ZR_OK)
        return true;
    qCWarning(vyrRes) << "zip entry does not unpack:" << entry.name << Qt::hex << Qt::showbase << result;
    out.clear();
    return false;
}
