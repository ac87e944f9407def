#pragma once

#include "VYRQExport.h"

// The images and SVG renderers one resource set decoded, by key (an image's name, with
// "_gray" added for its grey look; a renderer's name). A pointer handed out stays
// valid as long as the cache, until `release`: an object is never deleted before, only
// emptied in place, and decoded again into the same object.
// - Eviction: the loaded entries of every cache sharing a budget keep within its bound;
//   past it the least recently used are emptied, and decoded again when next asked for.
// - Reload: when the set file an entry was decoded from changes (a skin loaded again),
//   `emptyDecodedFrom` empties it and names it, and the caller decodes it again at once,
//   so that whoever holds the pointer draws the new file.
// A name that gave nothing is remembered with the identity of what was tried (a set
// file's size and CRC-32, a disk file's size and modification time) and tried again once
// that identity changes. GUI thread only.

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
        // Empties the least recently used entries until `room` more bytes fit. The
        // order is kept as entries are used, so a trim looks at nothing but what it
        // empties, however many entries there are.
        void makeRoom(qint64 room);
        // Entries the trims have looked at since the budget was made.
        qint64 trimVisits() const { return m_trimVisits; }

    private:
        friend class VYRQDecodedCache;
        struct Order;
        std::unique_ptr<Order> m_order;
        qint64 m_bound;
        qint64 m_bytes = 0;
        qint64 m_trimVisits = 0;
    };

    enum class Kind : quint8 { Image, Renderer };

    // Raised on a renderer each time a document is loaded into it, so that pictures
    // drawn from its earlier document are not taken for the new one.
    static constexpr const char* loadsProperty = "_vyr_loads";

    // Without a budget the cache has one of its own.
    explicit VYRQDecodedCache(Budget* budget = nullptr);
    ~VYRQDecodedCache();
    VYRQDecodedCache(const VYRQDecodedCache&) = delete;
    VYRQDecodedCache& operator=(const VYRQDecodedCache&) = delete;

    // The loaded image or renderer under `key`, marked as just used; null when there is
    // none or it was emptied (decode it again and store it).
    QImage* image(const QString& key);
    QSvgRenderer* renderer(const QString& key);
    // The same image in the form the raster engine draws without converting each line
    // (premultiplied alpha, or opaque 32 bits): the image itself when it has that form,
    // else a copy made on first request, counted with the entry and emptied with it. For
    // drawing at once: valid until the cache next changes.
    const QImage* imageToDraw(const QString& key);
    // Stores what was decoded under `key`, into the object the key had when it had one;
    // room is made first. `file` names the set file it came from (empty: none).
    QImage* storeImage(const QString& key, QImage image, const std::string& file = std::string());
    // Loads `document` (checked against the bounds, `weight` the bytes a renderer of it
    // holds); null, with nothing stored, when it does not give a valid renderer.
    QSvgRenderer* storeRenderer(const QString& key, const QByteArray& document, qint64 weight,
                                const std::string& file = std::string());
    // An image that is never emptied (the built-in images).
    QImage* keepImage(const QString& key, QImage image);

    // Failures, by the name asked for: what was tried when it last gave nothing (null
    // when it has not), to be compared with what would be tried now.
    const QByteArray* failure(Kind kind, const QString& name) const;
    void rememberFailure(Kind kind, const QString& name, const QByteArray& identity);
    void forgetFailure(Kind kind, const QString& name);

    // Empties every entry decoded from one of `files` and names them, for decoding again.
    std::vector<std::pair<Kind, QString>> emptyDecodedFrom(const std::set<std::string>& files);
    // Deletes every renderer and every image whose key does not contain `keep`, and
    // forgets every failure: pointers to what was deleted are invalid from then on.
    void release(const QString& keep);
    void clear();

    // Entries, loaded or emptied; whether `key` has one that is loaded; bytes loaded.
    int count(Kind kind) const;
    bool isLoaded(Kind kind, const QString& key) const;
    qint64 bytes() const { return m_bytes; }

private:
    struct Entry;
    struct Tables;
    Entry& entry(Kind kind, const QString& key, const std::string& file);
    void load(Entry& entry, qint64 bytes);
    void empty(Entry& entry);
    void unlink(Entry& entry);
    void touch(Entry& entry);

    std::unique_ptr<Budget> m_ownBudget;
    Budget* m_budget;
    std::unique_ptr<Tables> m_tables;
    qint64 m_bytes = 0;
};
