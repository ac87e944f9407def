#include "VYRQFileStore.h"

#include "VYRQCrc32_p.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"

#include <QFile>

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

namespace {

quint32 crcOf(const QByteArray& bytes)
{
    return vyr::crc32Of(bytes.constData(), bytes.size());
}

// Where a key's last part begins.
size_t lastPart(std::string_view key)
{
    const size_t slash = key.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Whether the last part of `key` is `name` (in ASCII, as most theme files are named).
bool spells(std::string_view key, const QString& name)
{
    const size_t from = lastPart(key);
    if (key.size() - from != size_t(name.size()))
        return false;
    for (int i = 0; i < name.size(); ++i) {
        if (name.at(i).unicode() >= 0x80 || char(name.at(i).unicode()) != key[from + size_t(i)])
            return false;
    }
    return true;
}

} // namespace

VYRQFileStore::VYRQFileStore(qint64 bound)
    : m_bound(bound)
{
}

VYRQFileStore::~VYRQFileStore() = default;

// ---------------------------------------------------------------------------
// Archives

bool VYRQFileStore::listArchive(ZipHandle* zip, std::vector<ArchiveEntry>& out)
{
    ZipEntry item;
    if (getZipItem(zip, -1, &item) != ZR_OK)
        return false;
    const int count = item.index;
    for (int i = 0; i < count; ++i) {
        ArchiveEntry entry;
        if (getZipItem(zip, i, &item) != ZR_OK || getZipItemRef(zip, i, &entry.ref) != ZR_OK) {
            qCDebug(vyrRes) << "skipping unreadable zip item" << i;
            continue;
        }
        if (item.unpackedSize == 0)
            continue;   // folders and empty files
        item.name[sizeof item.name - 1] = '\0';
        entry.name = QByteArray(item.name);
        entry.size = item.unpackedSize;
        out.push_back(std::move(entry));
    }
    return true;
}

uint32_t VYRQFileStore::readArchiveEntry(ZipHandle* zip, const ArchiveEntry& entry, QByteArray& out)
{
    out.clear();
    ZipEntry item;
    ZipItemRef now;
    const int index = entry.ref.index;
    if (seekZipItem(zip, entry.ref) != ZR_OK || getZipItem(zip, index, &item) != ZR_OK
        || getZipItemRef(zip, index, &now) != ZR_OK)
        return ZR_CORRUPT;
    item.name[sizeof item.name - 1] = '\0';
    if (item.unpackedSize != entry.size || now.crc != entry.ref.crc || now.directoryOffset != entry.ref.directoryOffset
        || QByteArray(item.name) != entry.name)
        return ZR_CORRUPT;
    // Only sizes checked against the limits at load are ever allocated here.
    out.resize(int(entry.size));
    // The layer gives ZR_OK only when the data filled the buffer and matched the CRC.
    const uint32_t result = unzipItem(zip, index, out.data(), entry.size);
    if (result != ZR_OK)
        out.clear();
    return result;
}

// ---------------------------------------------------------------------------
// Adding and forgetting

VYRQFileStore::Files::value_type* VYRQFileStore::indexed(std::string_view key, size_t hash) const
{
    if (m_index.empty())
        return nullptr;
    const size_t mask = m_index.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_index[i];
        if (!slot.entry)
            return nullptr;
        if (slot.hash == hash && std::string_view(slot.entry->first.data(), slot.entry->first.size()) == key)
            return slot.entry;
    }
}

void VYRQFileStore::index(Files::value_type* entry, size_t hash)
{
    if (2 * (m_files.size() + 1) > m_index.size())
        reindex(std::max<size_t>(16, 2 * m_index.size()));
    const size_t mask = m_index.size() - 1;
    size_t i = hash & mask;
    while (m_index[i].entry)
        i = (i + 1) & mask;
    m_index[i] = { hash, entry };
}

void VYRQFileStore::unindex(const Files::value_type* entry)
{
    if (m_index.empty())
        return;
    const size_t mask = m_index.size() - 1;
    size_t hole = hashOf(std::string_view(entry->first.data(), entry->first.size())) & mask;
    while (m_index[hole].entry && m_index[hole].entry != entry)
        hole = (hole + 1) & mask;
    if (!m_index[hole].entry)
        return;
    // The slots after it that would no longer be reached move back into the hole.
    for (size_t i = (hole + 1) & mask; m_index[i].entry; i = (i + 1) & mask) {
        const size_t home = m_index[i].hash & mask;
        const bool between = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
        if (!between) {
            m_index[hole] = m_index[i];
            hole = i;
        }
    }
    m_index[hole] = Slot();
}

void VYRQFileStore::reindex(size_t least)
{
    size_t count = 16;
    while (count < least)
        count *= 2;
    std::vector<Slot> old(count);
    old.swap(m_index);
    const size_t mask = count - 1;
    for (const Slot& slot : old) {
        if (!slot.entry)
            continue;
        size_t i = slot.hash & mask;
        while (m_index[i].entry)
            i = (i + 1) & mask;
        m_index[i] = slot;
    }
}

void VYRQFileStore::reserve(size_t files)
{
    m_files.reserve(m_files.size() + files);
    if (2 * (m_files.size() + files) > m_index.size())
        reindex(2 * (m_files.size() + files));
}

VYRQFileStore::Files::value_type* VYRQFileStore::find(const std::string& key)
{
    return indexed(key, hashOf(key));
}

const VYRQFileStore::Files::value_type* VYRQFileStore::find(const std::string& key) const
{
    return indexed(key, hashOf(key));
}

VYRQFileStore::Files::value_type* VYRQFileStore::emplace(const std::string& key, File file)
{
    ++m_changes;
    Files::value_type* entry = &*m_files
                                     .emplace(std::piecewise_construct, std::forward_as_tuple(key.data(), key.size()),
                                              std::forward_as_tuple(std::move(file)))
                                     .first;
    index(entry, hashOf(key));
    return entry;
}

VYRQFileStore::ArchiveEntry VYRQFileStore::entryOf(const Files::value_type& file)
{
    ArchiveEntry entry = file.second.entry;
    if (entry.name.isNull())
        entry.name = QByteArray(file.first.data(), int(file.first.size()));
    return entry;
}

void VYRQFileStore::setEntry(File& file, const std::string& key, const ArchiveEntry& entry)
{
    file.entry = entry;
    if (entry.name == QByteArray::fromRawData(key.data(), int(key.size())))
        file.entry.name = QByteArray();
}

quint32 VYRQFileStore::placeOf(const QString& place)
{
    for (size_t i = m_places.size(); i > 0; --i) {
        if (m_places[i - 1] == place)
            return quint32(i - 1);
    }
    m_places.push_back(place);
    return quint32(m_places.size() - 1);
}

QString VYRQFileStore::pathOf(const Files::value_type& file) const
{
    const QString& place = m_places[file.second.place];
    if (file.second.origin != Origin::Folder)
        return place;
    if (!file.second.name.isNull())
        return place + file.second.name;
    const size_t from = lastPart(file.first);
    return place + QString::fromUtf8(file.first.data() + from, int(file.first.size() - from));
}

void VYRQFileStore::listFolderFile(const std::string& key, const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    listFolderFile(key, path.left(slash + 1), path.mid(slash + 1));
}

void VYRQFileStore::listFolderFile(const std::string& key, const QString& folder, const QString& name)
{
    const quint32 place = placeOf(folder);
    const size_t hash = hashOf(key);
    Files::value_type* entry = indexed(key, hash);
    if (entry) {
        File& listed = entry->second;
        const bool before = listed.origin == Origin::Folder && listed.state == State::Listed && listed.place == place
            && name < pathOf(*entry).mid(m_places[place].size());
        if (before)
            listed.name = spells(key, name) ? QString() : name;
        return;
    }
    entry = &*m_files.try_emplace(std::pmr::string(key.data(), key.size(), &m_pool)).first;
    index(entry, hash);
    File& listed = entry->second;
    ++m_changes;
    listed.origin = Origin::Folder;
    listed.state = State::Listed;
    listed.place = place;
    if (!spells(key, name))
        listed.name = name;
}

bool VYRQFileStore::addArchiveEntry(const std::string& key, const QByteArray& bytes, const QString& archive,
                                    const ArchiveEntry& entry)
{
    if (find(key) || !makeRoom(bytes.size(), nullptr))
        return false;
    File file;
    file.origin = Origin::Archive;
    file.crcKnown = true;
    file.crc = entry.ref.crc;
    file.place = placeOf(archive);
    setEntry(file, key, entry);
    hold(emplace(key, std::move(file))->second, bytes);
    return true;
}

bool VYRQFileStore::addBytes(const std::string& key, const QByteArray& bytes, const QString& origin,
                             const ArchiveEntry& entry)
{
    if (find(key) || !makeRoom(bytes.size(), nullptr))
        return false;
    File file;
    file.crcKnown = true;
    file.crc = crcOf(bytes);
    file.place = placeOf(origin);
    setEntry(file, key, entry);
    file.entry.size = quint32(bytes.size());
    hold(emplace(key, std::move(file))->second, bytes);
    return true;
}

bool VYRQFileStore::addBytes(const std::string& key, const QByteArray& bytes)
{
    return addBytes(key, bytes, QString(), ArchiveEntry());
}

void VYRQFileStore::remove(const std::string& key)
{
    Files::value_type* const entry = find(key);
    if (!entry)
        return;
    File& file = entry->second;
    // Still counted: whoever was handed the bytes may read them until the store is cleared.
    if (file.handedOut && file.state == State::Held) {
        m_retired.push_back(std::move(file.bytes));
    } else if (file.state == State::Held) {
        m_held -= file.bytes.size();
        if (kept(file))
            m_kept -= file.bytes.size();
    }
    unindex(entry);
    m_files.erase(m_files.find(entry->first));
    ++m_changes;
}

bool VYRQFileStore::fromOrigin(const File& file, const QString& origin) const
{
    return !origin.isEmpty() && file.origin != Origin::Folder && m_places[file.place] == origin;
}

namespace {

// An archive's entries by key, for comparing them with the files an earlier load added.
std::map<std::string, const VYRQFileStore::ArchiveEntry*> byKey(const VYRQFileStore::ArchiveEntries& entries)
{
    std::map<std::string, const VYRQFileStore::ArchiveEntry*> out;
    for (const auto& entry : entries)
        out.emplace(entry.first, &entry.second);
    return out;
}

} // namespace

bool VYRQFileStore::sameEntry(const File& file, const ArchiveEntry* entry)
{
    return entry && entry->size == file.entry.size && file.crcKnown && entry->ref.crc == file.crc;
}

std::set<std::string> VYRQFileStore::changedBy(const QString& origin, const ArchiveEntries& entries) const
{
    std::set<std::string> changed;
    if (origin.isEmpty())
        return changed;
    const auto now = byKey(entries);
    for (const auto& file : m_files) {
        if (!fromOrigin(file.second, origin))
            continue;
        const std::string key(file.first.data(), file.first.size());
        const auto it = now.find(key);
        if (it == now.end() || !sameEntry(file.second, it->second))
            changed.insert(key);
    }
    return changed;
}

std::set<std::string> VYRQFileStore::reviseArchive(const QString& origin, const ArchiveEntries& entries)
{
    const std::set<std::string> forgotten = changedBy(origin, entries);
    if (origin.isEmpty())
        return forgotten;
    const auto now = byKey(entries);
    for (auto& file : m_files) {
        if (file.second.origin != Origin::Archive || !fromOrigin(file.second, origin))
            continue;
        const std::string key(file.first.data(), file.first.size());
        const auto it = now.find(key);
        if (!forgotten.count(key) && it != now.end())
            setEntry(file.second, key, *it->second);   // read again at its new place
    }
    for (const std::string& key : forgotten)
        remove(key);
    return forgotten;
}

void VYRQFileStore::clear()
{
    {
        // Emptied down to the one bucket a map holds in itself, so that the pool keeps
        // nothing it still uses.
        Files empty(&m_pool);
        empty.swap(m_files);
    }
    std::vector<Slot>().swap(m_index);
    m_pool.release();
    ++m_changes;
    m_places.clear();
    m_retired.clear();
    m_held = 0;
    m_kept = 0;
    m_charged = 0;
}

qint64 VYRQFileStore::keptWith(const QString& origin, const ArchiveEntries& entries) const
{
    qint64 bytes = keptBytes();
    const auto now = byKey(entries);
    const auto changed = [&](const std::string& key, const File& file) {
        const auto it = now.find(key);
        return fromOrigin(file, origin) && !sameEntry(file, it == now.end() ? nullptr : it->second);
    };
    for (const auto& file : m_files) {
        // Forgotten bytes that must be kept go with their file, unless they were handed out.
        const File& old = file.second;
        if (changed(std::string(file.first.data(), file.first.size()), old) && old.state == State::Held && kept(old)
            && !old.handedOut)
            bytes -= old.bytes.size();
    }
    for (const auto& entry : now) {
        const auto* it = find(entry.first);
        if (!it || changed(entry.first, it->second))
            bytes += entry.second->size;
    }
    return bytes;
}

bool VYRQFileStore::charge(qint64 bytes)
{
    if (!makeRoom(bytes, nullptr))
        return false;
    m_charged += bytes;
    return true;
}

void VYRQFileStore::discharge(qint64 bytes)
{
    m_charged = std::max<qint64>(0, m_charged - bytes);
}

bool VYRQFileStore::readFolderFile(const QString& path, QByteArray& out, bool* missing)
{
    const auto room = [this] { return std::max<qint64>(0, m_bound - heldBytes()); };
    qint64 size = -1;
    vyr::FileRead result = vyr::readRegularFile(path, std::min(vyr::maxFileBytes, room()), out, &size);
    if (result == vyr::FileRead::TooLarge && size <= vyr::maxFileBytes && makeRoom(size, nullptr))
        result = vyr::readRegularFile(path, std::min(vyr::maxFileBytes, room()), out, &size);
    if (missing)
        *missing = result == vyr::FileRead::Missing;
    switch (result) {
    case vyr::FileRead::Read:
    case vyr::FileRead::Missing:
        return true;
    case vyr::FileRead::TooLarge:
        if (size > vyr::maxFileBytes)
            qCWarning(vyrRes) << "theme file too large:" << path << size << "bytes";
        else
            qCWarning(vyrRes) << "theme file" << path << "refused: its set would hold more than" << m_bound << "bytes";
        return false;
    case vyr::FileRead::NotRegular:
    case vyr::FileRead::Failed:
        break;
    }
    qCWarning(vyrRes) << "theme file" << path << "refused:" << vyr::fileReadText(result);
    return false;
}

// ---------------------------------------------------------------------------
// Bytes

const QByteArray* VYRQFileStore::bytes(const std::string& key)
{
    Files::value_type* const it = find(key);
    if (!it)
        return nullptr;
    File& file = it->second;
    if (file.state == State::Held)
        return &file.bytes;
    if (file.state == State::Missing)
        return nullptr;
    // Tried once: a refused or changed file stays missing rather than warning on every look-up.
    QByteArray bytes;
    if (!load(*it, bytes)) {
        file.state = State::Missing;
        return nullptr;
    }
    return &file.bytes;
}

const QByteArray* VYRQFileStore::handOut(const std::string& key)
{
    return keepFor(key, &File::handedOut);
}

const QByteArray* VYRQFileStore::keep(const std::string& key)
{
    return keepFor(key, &File::keptForReaders);
}

const QByteArray* VYRQFileStore::keepFor(const std::string& key, bool File::*reason)
{
    const QByteArray* out = bytes(key);
    if (!out)
        return nullptr;
    File& file = find(key)->second;
    if (!kept(file))
        m_kept += file.bytes.size();
    file.*reason = true;
    return out;
}

void VYRQFileStore::release(const std::string& key)
{
    Files::value_type* const it = find(key);
    if (it && it->second.state == State::Held && !kept(it->second))
        drop(it->second);
}

bool VYRQFileStore::takeToDecode(const std::string& key, QByteArray& out)
{
    Files::value_type* const it = find(key);
    if (!it)
        return false;
    File& file = it->second;
    if (file.state == State::Held) {
        out = file.bytes;
    } else if (file.state == State::Missing || !load(*it, out)) {
        file.state = State::Missing;
        out.clear();
        return false;
    }
    if (!kept(file))
        drop(file);
    return true;
}

bool VYRQFileStore::contains(const std::string& key) const
{
    const auto* it = find(key);
    return it && it->second.state != State::Missing;
}

bool VYRQFileStore::holds(const std::string& key) const
{
    const auto* it = find(key);
    return it && it->second.state == State::Held;
}

std::vector<std::string> VYRQFileStore::keys() const
{
    std::vector<std::string> out;
    for (const auto& file : m_files) {
        if (file.second.state != State::Missing)
            out.emplace_back(file.first.data(), file.first.size());
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool VYRQFileStore::identity(const std::string& key, qint64& size, quint32& crc) const
{
    const auto* it = find(key);
    if (!it || it->second.state == State::Missing || !it->second.crcKnown)
        return false;
    size = it->second.entry.size;
    crc = it->second.crc;
    return true;
}

bool VYRQFileStore::load(Files::value_type& listed, QByteArray& out)
{
    File& file = listed.second;
    const QString path = pathOf(listed);
    const bool again = file.state == State::Dropped;
    if (file.origin == Origin::Archive) {
        if (!readArchiveAgain(file, entryOf(listed), path, out))
            return false;
    } else {
        bool missing = false;
        if (!readFolderFile(path, out, &missing))
            return false;
        // Listed when its folder was read, and gone since: missing, read before or not.
        if (missing) {
            qCWarning(vyrRes) << "theme file" << path << "is gone - treated as missing";
            return false;
        }
        if (!file.crcKnown) {
            file.crcKnown = true;
            file.crc = crcOf(out);
            file.entry.size = quint32(out.size());
        } else if (quint32(out.size()) != file.entry.size || crcOf(out) != file.crc) {
            qCWarning(vyrRes) << "theme file" << path << "changed since it was first read - treated as missing";
            return false;
        }
    }
    if (again)
        ++m_rereads;
    hold(file, out);
    return true;
}

bool VYRQFileStore::readArchiveAgain(File& file, const ArchiveEntry& entry, const QString& archive, QByteArray& out)
{
    if (!makeRoom(entry.size, &file)) {
        qCWarning(vyrRes) << "zip entry" << entry.name << "of" << archive << "refused: its set would hold more than"
                          << m_bound << "bytes";
        return false;
    }
    ZipHandleGuard zip(openZipFromFile(QFile::encodeName(archive).constData(), nullptr));
    const uint32_t result = zip ? readArchiveEntry(zip.get(), entry, out) : uint32_t(ZR_NOFILE);
    if (result != ZR_OK) {
        qCWarning(vyrRes) << "zip entry" << entry.name << "of" << archive
                          << "changed since the archive was loaded - treated as missing" << Qt::hex << Qt::showbase
                          << result;
        return false;
    }
    return true;
}

bool VYRQFileStore::makeRoom(qint64 bytes, const File* keep)
{
    if (bytes <= m_bound - heldBytes())
        return true;
    // What could not fit even then drops nothing.
    if (bytes > m_bound - keptBytes())
        return false;
    for (auto& entry : m_files) {
        File& file = entry.second;
        if (&file == keep || file.state != State::Held || kept(file))
            continue;
        drop(file);
        if (bytes <= m_bound - heldBytes())
            return true;
    }
    return false;
}

void VYRQFileStore::hold(File& file, QByteArray bytes)
{
    file.bytes = std::move(bytes);
    file.state = State::Held;
    m_held += file.bytes.size();
    if (kept(file))
        m_kept += file.bytes.size();
}

void VYRQFileStore::drop(File& file)
{
    m_held -= file.bytes.size();
    file.bytes = QByteArray();
    file.state = State::Dropped;
}
