#pragma once

#include "VYRQExport.h"

// The images and SVG renderers one resource set decoded, by key (an image's name, with
// "_gray" added for its grey look; a renderer's name), each with the source it was
// decoded from. A pointer handed out stays valid as long as the cache, until `release`:
// an object is never deleted before, only emptied in place, and decoded again into the
// same object, from the same source.
// - Eviction: the loaded entries of every cache sharing a budget stay within its bound;
//   past it the least recently used are emptied. One changed through the pointer handed
//   out (an image whose cacheKey, a renderer whose loads moved since it was stored) could
//   not be decoded back: it is pinned instead (out of the order, still counted) until it
//   is stored again, reloaded or released. Pinned bytes cannot be made room from: a
//   store that finds no room is refused.
// - Reload: when the set file an entry was decoded from changes (a skin loaded again),
//   `emptyDecodedFrom` empties it and names it, and the caller decodes it again at once,
//   so that whoever holds the pointer draws the new file.
// A name that gave nothing is remembered with the identity of what was tried (a set
// file's size and CRC-32, a disk file's device, inode, size and modification time), and
// so is an entry its source did not decode into again; either is tried again once that
// identity changes.
// Each entry costs its key and some 150 bytes beside what it holds: entries lie
// together in blocks (the image object inside its entry), found through an index of
// their hashes, so that a look-up reads one slot and one entry however many there
// are. GUI thread only.
// Words, each of one meaning: an entry is loaded (holds what was decoded) or emptied;
// touched, it moves last in the budget's least-recently-used order; pinned, it is out
// of that order and still counted; built in, it is never emptied, released nor counted;
// released, it is deleted.

#include <QByteArray>
#include <QString>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QImage;
class QSvgRenderer;

class VYRQTLIB_EXPORT VYRQDecodedCache {
public:
    static constexpr qint64 defaultBound = 256 * 1024 * 1024;

    // What the loaded entries of the caches sharing it hold together, and its bound.
    class VYRQTLIB_EXPORT Budget {
    public:
        explicit Budget(qint64 bound = defaultBound);
        ~Budget();
        Budget(const Budget&) = delete;
        Budget& operator=(const Budget&) = delete;
        qint64 bound() const { return m_bound; }
        qint64 bytes() const { return m_bytes; }
        // Empties the least recently used entries until `room` more bytes fit; false when
        // they do not fit even then. The order follows as entries are touched, so a trim
        // looks at nothing but what it empties (or pins, changed), however many entries
        // there are.
        bool makeRoom(qint64 room);
        // Entries the trims have looked at since the budget was made.
        qint64 trimVisits() const { return m_trimVisits; }
        // Raised whenever pinned bytes leave the budget (emptied, released, shrunk): a
        // store refused for room is worth trying again only once this moved.
        quint64 pinnedFreed() const { return m_pinnedFreed; }

    private:
        friend class VYRQDecodedCache;
        struct Order;
        std::unique_ptr<Order> m_order;
        qint64 m_bound;
        qint64 m_bytes = 0;
        qint64 m_trimVisits = 0;
        quint64 m_pinnedFreed = 0;
    };

    enum class Kind : quint8 { Image, Renderer };

    // Raised on a renderer each time it takes a document (from the cache or through the
    // pointer), so that pictures drawn from its earlier document are not taken for the
    // new one; 0 for a renderer no cache made.
    static quint64 loadsOf(const QSvgRenderer& renderer);

    // Where an entry was decoded from: a file of the cache's own set, by its key (the
    // set's file store knows the folder file or the archive entry behind it), or a file
    // on disk by its path. A grey look is decoded from its file, then greyed.
    struct Source {
        enum class From : quint8 { Nothing, SetFile, DiskFile };
        // Not member initialisers: the cache's own declarations take a default Source.
        Source() : from(From::Nothing), gray(false) {}
        From from;
        std::string file;
        QString path;
        bool gray;

        static Source setFile(const std::string& key, bool gray = false)
        {
            Source source;
            source.from = From::SetFile;
            source.file = key;
            source.gray = gray;
            return source;
        }
        static Source diskFile(const QString& path, bool gray = false)
        {
            Source source;
            source.from = From::DiskFile;
            source.path = path;
            source.gray = gray;
            return source;
        }
        bool sameFile(const Source& other) const
        {
            return from == other.from && file == other.file && path == other.path;
        }
    };

    // Without a budget the cache has one of its own.
    explicit VYRQDecodedCache(Budget* budget = nullptr);
    ~VYRQDecodedCache();
    VYRQDecodedCache(const VYRQDecodedCache&) = delete;
    VYRQDecodedCache& operator=(const VYRQDecodedCache&) = delete;

    Budget& budget() const { return *m_budget; }
    // Tells this cache from every other made in the process, also one made later at
    // the same address.
    quint64 serial() const { return m_serial; }

    // The loaded image or renderer under `key`, touched; null when there is
    // none or it was emptied (decode it again from its source and store it). `known`
    // tells the two apart.
    QImage* image(const QString& key, bool* known = nullptr);
    QSvgRenderer* renderer(const QString& key, bool* known = nullptr);
    // The loaded image under `key` as it was stored from the file `from` names: null also
    // when it was changed through its pointer since, or came from another file.
    const QImage* asStored(const QString& key, const Source& from);
    // `image` in the form the raster engine draws without converting each line: with
    // premultiplied alpha, or opaque 32 bits when no pixel is translucent (as a QPixmap
    // holds it); deeper formats as they are.
    static QImage formToDraw(QImage image);
    // The image under `key` in that form: the image itself when it has it, else a copy
    // made on request, counted with the entry, emptied with it and made again once the
    // image changed (its cacheKey). For drawing at once: valid until the cache next
    // changes.
    const QImage* imageToDraw(const QString& key, bool* known = nullptr);
    // A key hashed once, for looking it up in several caches on every paint. It holds
    // the name by reference: never a temporary, which would be gone by the look-up.
    struct HashedKey {
        explicit HashedKey(const QString& name);
        HashedKey(const QString&&) = delete;
        const QString& key;
        uint hash;
    };
    const QImage* imageToDraw(const HashedKey& key, bool* known = nullptr);
    // Whether there is an entry under `key`, loaded or emptied.
    bool contains(Kind kind, const QString& key) const;
    // Where the entry under `key` (loaded or emptied) was decoded from; false for none.
    bool source(Kind kind, const QString& key, Source& out) const;
    // The key of an image this cache handed out; false for any other image.
    bool keyOf(const QImage* image, QString& key) const;
    // imageToDraw of an image this cache handed out, by its pointer; null for any other
    // image and for one emptied.
    const QImage* imageToDraw(const QImage* image);
    // Stores what was decoded from `source` under `key`, into the object the key had when
    // it had one; room is made first. Null when there is no room (the object stays,
    // empty; a new entry is not stored).
    QImage* storeImage(const QString& key, QImage image, const Source& source = Source());
    // Loads `document` (checked against the bounds, `weight` the bytes a renderer of it
    // holds); null, with nothing stored, when it does not give a valid renderer or finds
    // no room.
    QSvgRenderer* storeRenderer(const QString& key, const QByteArray& document, qint64 weight,
                                const Source& source = Source());
    // An image that is never emptied nor released, and not counted (the built-in images).
    QImage* storeBuiltIn(const QString& key, QImage image);

    // Failures, by the name asked for: what was tried when it last gave nothing (null
    // when it has not), to be compared with what would be tried now.
    const QByteArray* failure(Kind kind, const QString& name) const;
    bool hasFailures(Kind kind) const;
    void rememberFailure(Kind kind, const QString& name, const QByteArray& identity);
    void forgetFailure(Kind kind, const QString& name);
    // An emptied entry its source did not decode into again: what the source was then;
    // null when it has not failed since it was last stored.
    const QByteArray* refillFailure(Kind kind, const QString& key) const;
    void rememberRefillFailure(Kind kind, const QString& key, const QByteArray& identity);

    // Empties every entry decoded from one of the set's `files` and names them, for
    // decoding again.
    std::vector<std::pair<Kind, QString>> emptyDecodedFrom(const std::set<std::string>& files);
    // Deletes every renderer and every image but the built-in ones, and forgets every
    // failure: pointers to what was deleted are invalid from then on.
    void release();
    void clear();

    // Entries, loaded or emptied; whether `key` has one that is loaded; bytes loaded.
    int count(Kind kind) const;
    bool isLoaded(Kind kind, const QString& key) const;
    qint64 bytes() const { return m_bytes; }

private:
    struct Entry;
    struct Aside;
    struct Tables;
    // The entry under `key`, made when there is none (`known` says whether there was).
    Entry& entry(Kind kind, const QString& key, const Source& source, bool& known);
    // Touches a loaded entry (moves it last in the order); null when it is emptied.
    Entry* touchLoaded(Entry* entry);
    static Source sourceOf(const Entry& entry);
    void erase(Entry& entry);
    const QImage* drawForm(Entry& entry);
    // Counts a loaded entry's bytes and puts it last in the order.
    void load(Entry& entry, qint64 bytes);
    // Takes a loaded entry's bytes off the budget and out of the order.
    void uncount(Entry& entry);
    // The bytes an image entry holds now, which a change through its pointer may move.
    void recount(Entry& entry);
    void empty(Entry& entry);
    // Out of the order for good, still counted: changed through its pointer.
    void pin(Entry& entry);
    static bool isPinned(const Entry& entry);
    static bool changedThroughPointer(const Entry& entry);
    void touch(Entry& entry);

    std::unique_ptr<Budget> m_ownBudget;
    Budget* m_budget;
    std::unique_ptr<Tables> m_tables;
    qint64 m_bytes = 0;
    quint64 m_serial = 0;
};
