#pragma once

#include "VYRQExport.h"

// The files of one resource set, by key. Each file's bytes come from a file of the
// set's folder (read on first use), an entry of an archive on disk (read at load, its
// place in the archive's directory kept from that one walk), or an archive given in
// memory (kept for good). Bytes are dropped once decoded and read again when needed,
// going straight to an archive entry however many come before it, and only as they
// were first read: a file whose CRC-32 changed since is warned about and missing from
// then on. Bytes handed out (`handOut`) are never dropped: they stay until the store
// is cleared. Bytes shared with readers (`keep`) stay while their file does, so that
// a page opens again as it was first read whatever became of its file on disk.
// Everything the set holds counts against one bound; a read that would pass it is
// refused at once when even the bytes the store must keep leave no room, and
// otherwise drops bytes that can be read again until it fits. GUI thread only.

#include "VYRQZip.h"

#include <QByteArray>
#include <QString>

#include <memory_resource>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class VYRQTLIB_EXPORT VYRQFileStore {
public:
    // An archive item with data, as one walk over the directory found it.
    struct ArchiveEntry {
        QByteArray name;    // the cleaned name the archive gives
        ZipItemRef ref;     // its place, and the CRC-32 of its data
        quint32 size = 0;
    };

    explicit VYRQFileStore(qint64 bound = qint64(ZipMaxArchiveSize));
    ~VYRQFileStore();
    VYRQFileStore(const VYRQFileStore&) = delete;
    VYRQFileStore& operator=(const VYRQFileStore&) = delete;

    // Every item of the archive with data, in the archive's order, in one walk over
    // its directory. False when the directory cannot be read.
    static bool listArchive(ZipHandle* zip, std::vector<ArchiveEntry>& out);
    // Unpacks an entry found by listArchive, going straight to it, when the archive
    // still holds it as listed (place, name, size, CRC); ZR_CORRUPT when it does not.
    static uint32_t readArchiveEntry(ZipHandle* zip, const ArchiveEntry& entry, QByteArray& out);

    // An archive's entries by key, as a load takes them.
    using ArchiveEntries = std::vector<std::pair<std::string, ArchiveEntry>>;

    // Room for `files` more files, made at once rather than as they come.
    void reserve(size_t files);
    // Adding; the first file under a key stays (but see reviseArchive). Of folder files
    // listed in one folder under one key, the one whose name sorts first (as a listing
    // by name meets them) stays, whatever order they are listed in.
    void listFolderFile(const std::string& key, const QString& path);
    // The same for the file `name` of `folder` (a path ending in "/").
    void listFolderFile(const std::string& key, const QString& folder, const QString& name);
    // An entry of the archive at `archive`, read at load (counted against the bound).
    bool addArchiveEntry(const std::string& key, const QByteArray& bytes, const QString& archive,
                         const ArchiveEntry& entry);
    // An entry of an archive given in memory, `origin` naming that archive: with nowhere
    // to read it again from, it is never dropped.
    bool addBytes(const std::string& key, const QByteArray& bytes, const QString& origin, const ArchiveEntry& entry);
    bool addBytes(const std::string& key, const QByteArray& bytes);
    // Forgets a file; bytes it handed out stay allocated until the store is cleared.
    void remove(const std::string& key);
    // Takes `entries` of `origin` (an archive's path, or what names one in memory) in
    // place of the entries an earlier load of it added: one whose size and CRC did not
    // change stays, with its bytes, now found at its new place; the others are
    // forgotten, and their keys returned.
    std::set<std::string> reviseArchive(const QString& origin, const ArchiveEntries& entries);
    // The keys reviseArchive() would forget, changing nothing.
    std::set<std::string> changedBy(const QString& origin, const ArchiveEntries& entries) const;
    void clear();

    // The bytes the store must keep (see keptBytes) once `entries` of `origin` were
    // taken in place of those an earlier load of it added, and added under every key
    // no other file holds.
    qint64 keptWith(const QString& origin, const ArchiveEntries& entries) const;
    // Bytes the set holds beside its files (its style files) count against the bound too.
    // False when they do not fit, even after dropping what can be read again.
    bool charge(qint64 bytes);
    void discharge(qint64 bytes);
    // Reads a folder file whole, within the per-file limit and the room left, without
    // storing it (the caller charges what it keeps). False, with a warning, when
    // refused; a file that cannot be opened reads as empty, and sets `missing`.
    bool readFolderFile(const QString& path, QByteArray& out, bool* missing = nullptr);

    // A file's bytes, read (again) when not held; null when there is no such file or it
    // is refused. Valid until released or until the store next reads or changes.
    const QByteArray* bytes(const std::string& key);
    // The same, kept until the store is cleared, so that the bytes can be handed out.
    const QByteArray* handOut(const std::string& key);
    // The same, kept while the file is (the caller shares the bytes rather than holding
    // a pointer into them): neither dropped nor read again.
    const QByteArray* keep(const std::string& key);
    // The caller has decoded the bytes: they are dropped when they can be read again
    // and were not handed out.
    void release(const std::string& key);
    // A file's bytes to be decoded: shared with `out`, and released at once (the caller's
    // copy holds them until it is done). False when bytes() would give null.
    bool takeToDecode(const std::string& key, QByteArray& out);

    bool contains(const std::string& key) const;   // held, or readable when asked for
    bool holds(const std::string& key) const;      // its bytes are in memory now
    std::vector<std::string> keys() const;         // the files contains() knows, sorted
    // The size and CRC-32 of a file's bytes, once they were first read; false before,
    // and for a file contains() does not know.
    bool identity(const std::string& key, qint64& size, quint32& crc) const;
    qint64 heldBytes() const { return m_held + m_charged; }
    // What cannot be dropped: bytes handed out (also of files since forgotten), kept,
    // in memory, and bytes held beside the files.
    qint64 keptBytes() const { return m_kept + m_charged; }
    qint64 bound() const { return m_bound; }
    // Reads of a file's bytes after its first, since the store was made.
    int rereads() const { return m_rereads; }
    // Raised whenever a file is added or forgotten: what was not found may be found now.
    quint64 changes() const { return m_changes; }

private:
    enum class Origin : quint8 { Folder, Archive, Memory };
    enum class State : quint8 { Listed, Held, Dropped, Missing };
    struct File {
        Origin origin = Origin::Memory;
        State state = State::Held;
        bool handedOut = false;
        bool keptForReaders = false;
        bool crcKnown = false;
        quint32 crc = 0;
        quint32 place = 0;        // in m_places: the folder file's folder, or the archive
        QString name;             // a folder file's name, when its key does not spell it
        ArchiveEntry entry;       // an archive's entry (its name null when it is the key)
        QByteArray bytes;
    };
    // Keys hashed as their bytes. The hash may throw as far as the table knows, which
    // makes libstdc++ keep each entry's hash code with it: a look-up among tens of
    // thousands of files then compares codes, not keys it would hash again to find
    // where a bucket ends.
    struct KeyHash {
        size_t operator()(const std::pmr::string& key) const
        {
            return std::hash<std::string_view>()(std::string_view(key.data(), key.size()));
        }
    };
    // Records and keys come from the store's own pool: a set of thousands of files is not
    // spread in small pieces among everything else, and goes back in a few blocks.
    using Files = std::pmr::unordered_map<std::pmr::string, File, KeyHash>;

    // Where each key's entry is, by the key's hash, a power of two of slots at most half
    // full: a look-up reads a slot and the entry, where the map's buckets, nodes and codes
    // took several reads apart, each a miss among tens of thousands of files.
    struct Slot {
        size_t hash = 0;
        Files::value_type* entry = nullptr;
    };
    static size_t hashOf(std::string_view key) { return std::hash<std::string_view>()(key); }
    Files::value_type* indexed(std::string_view key, size_t hash) const;
    void index(Files::value_type* entry, size_t hash);
    void unindex(const Files::value_type* entry);
    void reindex(size_t least);

    // The entry under `key`; null when there is none.
    Files::value_type* find(const std::string& key);
    const Files::value_type* find(const std::string& key) const;
    Files::value_type* emplace(const std::string& key, File file);
    quint32 placeOf(const QString& place);
    // The folder file's path, or the archive's.
    QString pathOf(const Files::value_type& file) const;
    // An archive's entry as the archive names it.
    static ArchiveEntry entryOf(const Files::value_type& file);
    static void setEntry(File& file, const std::string& key, const ArchiveEntry& entry);
    // A file's bytes, kept from then on for `reason` (handed out, or read to be shared).
    const QByteArray* keepFor(const std::string& key, bool File::*reason);
    // Reads the file into `out` (its reserved room reused) and holds the bytes, shared.
    bool load(Files::value_type& file, QByteArray& out);
    bool readArchiveAgain(File& file, const ArchiveEntry& entry, const QString& archive, QByteArray& out);
    // Drops bytes that can be read again, never those of `keep`, until `bytes` more fit.
    bool makeRoom(qint64 bytes, const File* keep);
    void hold(File& file, QByteArray bytes);
    void drop(File& file);
    static bool kept(const File& file)
    {
        return file.handedOut || file.keptForReaders || file.origin == Origin::Memory;
    }
    bool fromOrigin(const File& file, const QString& origin) const;
    // Whether `entry` of a new load holds what `file` holds (size and CRC).
    static bool sameEntry(const File& file, const ArchiveEntry* entry);

    qint64 m_bound;
    qint64 m_held = 0;       // bytes of the files held, and of those retired
    qint64 m_kept = 0;       // the part of m_held that cannot be dropped
    qint64 m_charged = 0;    // bytes held beside them
    int m_rereads = 0;
    quint64 m_changes = 0;
    std::pmr::unsynchronized_pool_resource m_pool;
    // Looked up several times for every image decoded: hashed, not ordered.
    Files m_files{ &m_pool };
    std::vector<Slot> m_index;
    // Folders and archives the files lie in, each kept once rather than with every file.
    std::vector<QString> m_places;
    // Bytes handed out by files since forgotten or replaced.
    std::vector<QByteArray> m_retired;
};
