#include "VYRQDecodedCache.h"

#include "VYRQResourceKeys_p.h"

#include <QHash>
#include <QImage>
#include <QSvgRenderer>

#include <algorithm>
#include <functional>

namespace {

using vyr::grayKeySuffix;

// The form QPixmap gives an image on the raster engine: premultiplied when it has
// alpha pixels, opaque 32 bits when not. Formats deeper than 8 bits a channel hold
// their precision and are drawn as they are.
QImage::Format formatToDraw(const QImage& image)
{
    if (image.depth() > 32)
        return image.format();
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

// A renderer that counts the documents it takes. It says it took one by asking to be
// repainted, whoever loaded it. Its animation timer would ask too, thirty times a
// second, and pictures are drawn from a renderer's document as it stands, so an
// animated one is not played.
class CountedRenderer : public QSvgRenderer {
public:
    CountedRenderer()
    {
        setFramesPerSecond(0);
        connect(this, &QSvgRenderer::repaintNeeded, this, [this] { ++loads; });
    }
    quint64 loads = 0;
};

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE bool loadDocument(QSvgRenderer& renderer, const QByteArray& document)
{
    return renderer.load(document) && renderer.isValid();
}

// The set file a key names: its grey look's comes from the plain image's.
std::string fileNamedBy(const QString& key, bool gray)
{
    return vyr::fileKey(gray && key.endsWith(grayKeySuffix) ? key.chopped(grayKeySuffix.size()) : key);
}

} // namespace

quint64 VYRQDecodedCache::loadsOf(const QSvgRenderer& renderer)
{
    const auto* counted = dynamic_cast<const CountedRenderer*>(&renderer);
    return counted ? counted->loads : 0;
}

QImage VYRQDecodedCache::formToDraw(QImage image)
{
    const QImage::Format format = formatToDraw(image);
    if (image.format() == format)
        return image;
    // In place where the image is not shared.
    image = std::move(image).convertToFormat(format);
    if (format != QImage::Format_ARGB32_Premultiplied)
        return image;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return image;
        }
    }
    // Every pixel opaque: copied rather than blended.
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

// What few entries have: a copy for drawing an image changed to another form, a
// failed refill.
struct VYRQDecodedCache::Aside {
    QImage drawn;            // the image's form for drawing
    qint64 drawnFrom = 0;    // the image's cacheKey the form was made from
    bool hasRefillFailure = false;
    QByteArray refillFailure;
};

// Entries lie together in blocks rather than each on its own among the pixels
// they hold, and found through a flat index: looking one up reads a slot and the
// entry, however many there are.
struct VYRQDecodedCache::Entry {
    QString key;
    VYRQDecodedCache* owner = nullptr;
    Entry* older = nullptr;      // the budget's order, while linked
    Entry* newer = nullptr;
    QImage image;                // the object an image's pointer is handed out to
    std::unique_ptr<QSvgRenderer> renderer;
    std::unique_ptr<Aside> aside;
    qint64 bytes = 0;            // counted in the budget while loaded, unless built in
    qint64 stored = 0;           // the image's cacheKey, the renderer's loads, when stored
    QByteArray file;             // the source's set file, when not the one the key names
    QString path;                // the source's disk file
    quint32 number = 0;          // its place in the cache's blocks
    Kind kind = Kind::Image;
    Source::From from = Source::From::Nothing;
    bool gray = false;
    bool occupied = false;       // holds an entry (else free)
    bool loaded = false;
    bool builtIn = false;        // never emptied nor released, not counted
    bool linked = false;         // in the budget's order; loaded, counted and not linked: pinned

    Aside& side()
    {
        if (!aside)
            aside = std::make_unique<Aside>();
        return *aside;
    }
};

struct VYRQDecodedCache::Budget::Order {
    Entry* oldest = nullptr;
    Entry* newest = nullptr;

    void add(Entry* entry)
    {
        entry->older = newest;
        entry->newer = nullptr;
        (newest ? newest->newer : oldest) = entry;
        newest = entry;
    }
    void remove(Entry* entry)
    {
        (entry->older ? entry->older->newer : oldest) = entry->newer;
        (entry->newer ? entry->newer->older : newest) = entry->older;
        entry->older = entry->newer = nullptr;
    }
    void touch(Entry* entry)
    {
        if (entry == newest)
            return;
        remove(entry);
        add(entry);
    }
};

struct VYRQDecodedCache::Tables {
    static constexpr quint32 blockEntries = 64;
    // Open addressing, linear probing, at most half full. A slot holds its entry's hash,
    // so that a look-up reads no other entry.
    struct Slot {
        quint32 hash = 0;
        quint32 number = 0;   // the entry's, plus one; 0 for an empty slot
    };
    // Entry n is entry n % 64 of block n / 64; blocks never move, so entries hold their
    // addresses.
    std::vector<std::unique_ptr<Entry[]>> blocks;
    std::vector<const Entry*> byAddress;   // each block's first entry, sorted
    std::vector<quint32> free;              // numbers of free entries
    std::vector<Slot> index;
    quint32 occupied = 0;
    int counts[2] = { 0, 0 };
    QHash<QString, QByteArray> imageFailures;
    QHash<QString, QByteArray> rendererFailures;

    QHash<QString, QByteArray>& failures(Kind kind) { return kind == Kind::Image ? imageFailures : rendererFailures; }
    const QHash<QString, QByteArray>& failures(Kind kind) const
    {
        return kind == Kind::Image ? imageFailures : rendererFailures;
    }

    Entry& at(quint32 number) const { return blocks[number / blockEntries][number % blockEntries]; }
    static quint32 hashOf(Kind kind, uint keyHash) { return keyHash ^ quint32(kind); }
    static quint32 hashOf(Kind kind, const QString& key) { return hashOf(kind, qHash(key)); }
    size_t next(size_t slot) const { return (slot + 1) & (index.size() - 1); }

    // The slot of the entry under `key`, or the empty slot where it would go.
    size_t slotOf(Kind kind, const QString& key, quint32 hash) const
    {
        size_t slot = hash & (index.size() - 1);
        for (; index[slot].number; slot = next(slot)) {
            if (index[slot].hash != hash)
                continue;
            const Entry& entry = at(index[slot].number - 1);
            if (entry.kind == kind && entry.key == key)
                break;
        }
        return slot;
    }

    Entry* find(Kind kind, const QString& key) const
    {
        return index.empty() ? nullptr : find(kind, key, qHash(key));
    }
    // `keyHash` is qHash(key).
    Entry* find(Kind kind, const QString& key, uint keyHash) const
    {
        if (index.empty())
            return nullptr;
        const Slot& slot = index[slotOf(kind, key, hashOf(kind, keyHash))];
        return slot.number ? &at(slot.number - 1) : nullptr;
    }

    void place(Slot slot)
    {
        size_t at = slot.hash & (index.size() - 1);
        while (index[at].number)
            at = next(at);
        index[at] = slot;
    }

    Entry& add(Kind kind, const QString& key)
    {
        if (size_t(occupied + 1) * 2 > index.size()) {
            std::vector<Slot> old(std::max<size_t>(16, index.size() * 2));
            old.swap(index);
            for (const Slot& slot : old) {
                if (slot.number)
                    place(slot);
            }
        }
        if (free.empty()) {
            const quint32 first = quint32(blocks.size()) * blockEntries;
            blocks.push_back(std::make_unique<Entry[]>(blockEntries));
            for (quint32 n = blockEntries; n > 0; --n)
                free.push_back(first + n - 1);
            const Entry* block = blocks.back().get();
            byAddress.insert(std::upper_bound(byAddress.begin(), byAddress.end(), block, std::less<const Entry*>()),
                             block);
        }
        const quint32 number = free.back();
        free.pop_back();
        Entry& entry = at(number);
        entry.key = key;
        entry.kind = kind;
        entry.number = number;
        entry.occupied = true;
        place(Slot{ hashOf(kind, key), number + 1 });
        ++occupied;
        ++counts[int(kind)];
        return entry;
    }

    // Takes the entry out of the index, closing the gap behind it, and frees it.
    void erase(Entry& entry)
    {
        size_t slot = hashOf(entry.kind, entry.key) & (index.size() - 1);
        while (index[slot].number != entry.number + 1)
            slot = next(slot);
        index[slot] = Slot();
        for (size_t after = next(slot); index[after].number; after = next(after)) {
            const Slot moved = index[after];
            index[after] = Slot();
            place(moved);
        }
        --occupied;
        --counts[int(entry.kind)];
        const quint32 number = entry.number;
        entry = Entry();
        free.push_back(number);
    }

    // The entry whose image `image` is; null for any other image.
    Entry* entryOf(const QImage* image) const
    {
        const auto address = reinterpret_cast<quintptr>(image);
        const auto after = std::upper_bound(byAddress.begin(), byAddress.end(), address,
                                            [](quintptr a, const Entry* block) {
                                                return a < reinterpret_cast<quintptr>(block);
                                            });
        if (after == byAddress.begin())
            return nullptr;
        const Entry* block = *std::prev(after);
        const quintptr offset = address - reinterpret_cast<quintptr>(block);
        if (offset >= sizeof(Entry) * blockEntries)
            return nullptr;
        Entry* entry = const_cast<Entry*>(block) + offset / sizeof(Entry);
        return entry->occupied && entry->kind == Kind::Image && &entry->image == image ? entry : nullptr;
    }

    template <class Visit>
    void forEach(const Visit& visit)
    {
        for (const auto& block : blocks) {
            for (quint32 i = 0; i < blockEntries; ++i) {
                if (block[i].occupied)
                    visit(block[i]);
            }
        }
    }
};

// ---------------------------------------------------------------------------
// Budget

VYRQDecodedCache::Budget::Budget(qint64 bound)
    : m_order(std::make_unique<Order>())
    , m_bound(bound)
{
}

VYRQDecodedCache::Budget::~Budget() = default;

bool VYRQDecodedCache::Budget::makeRoom(qint64 room)
{
    while (m_bytes + room > m_bound && m_order->oldest) {
        Entry* oldest = m_order->oldest;
        ++m_trimVisits;
        if (changedThroughPointer(*oldest))
            oldest->owner->pin(*oldest);
        else
            oldest->owner->empty(*oldest);
    }
    return m_bytes + room <= m_bound;
}

// ---------------------------------------------------------------------------
// Cache

VYRQDecodedCache::VYRQDecodedCache(Budget* budget)
    : m_ownBudget(budget ? nullptr : std::make_unique<Budget>())
    , m_budget(budget ? budget : m_ownBudget.get())
    , m_tables(std::make_unique<Tables>())
{
    static quint64 made = 0;
    m_serial = ++made;
}

VYRQDecodedCache::~VYRQDecodedCache()
{
    clear();
}

void VYRQDecodedCache::clear()
{
    m_tables->forEach([this](Entry& entry) { uncount(entry); });
    m_tables = std::make_unique<Tables>();
}

VYRQDecodedCache::Entry& VYRQDecodedCache::entry(Kind kind, const QString& key, const Source& source, bool& known)
{
    Entry* found = m_tables->find(kind, key);
    known = found != nullptr;
    Entry& entry = found ? *found : m_tables->add(kind, key);
    entry.owner = this;
    entry.from = source.from;
    entry.gray = source.gray;
    entry.path = source.path;
    entry.file.clear();
    if (source.from == Source::From::SetFile && source.file != fileNamedBy(key, source.gray))
        entry.file = QByteArray(source.file.data(), int(source.file.size()));
    if (kind == Kind::Renderer && !entry.renderer)
        entry.renderer = std::make_unique<CountedRenderer>();
    return entry;
}

VYRQDecodedCache::Source VYRQDecodedCache::sourceOf(const Entry& entry)
{
    Source source;
    source.from = entry.from;
    source.gray = entry.gray;
    source.path = entry.path;
    if (entry.from == Source::From::SetFile)
        source.file = entry.file.isNull() ? fileNamedBy(entry.key, entry.gray) : entry.file.toStdString();
    return source;
}

void VYRQDecodedCache::erase(Entry& entry)
{
    uncount(entry);
    m_tables->erase(entry);
}

bool VYRQDecodedCache::isPinned(const Entry& entry)
{
    return entry.loaded && !entry.linked && !entry.builtIn && entry.bytes > 0;
}

void VYRQDecodedCache::uncount(Entry& entry)
{
    if (isPinned(entry))
        ++m_budget->m_pinnedFreed;
    if (entry.linked)
        m_budget->m_order->remove(&entry);
    entry.linked = false;
    m_budget->m_bytes -= entry.bytes;
    m_bytes -= entry.bytes;
    entry.bytes = 0;
}

void VYRQDecodedCache::load(Entry& entry, qint64 bytes)
{
    uncount(entry);
    entry.loaded = true;
    entry.bytes = bytes;
    m_budget->m_order->add(&entry);
    entry.linked = true;
    m_budget->m_bytes += bytes;
    m_bytes += bytes;
}

void VYRQDecodedCache::recount(Entry& entry)
{
    if (!entry.loaded || entry.builtIn || entry.kind != Kind::Image)
        return;
    const qint64 now = entry.image.sizeInBytes() + (entry.aside ? entry.aside->drawn.sizeInBytes() : 0);
    if (now < entry.bytes && isPinned(entry))
        ++m_budget->m_pinnedFreed;
    m_budget->m_bytes += now - entry.bytes;
    m_bytes += now - entry.bytes;
    entry.bytes = now;
}

void VYRQDecodedCache::empty(Entry& entry)
{
    uncount(entry);
    entry.loaded = false;
    if (entry.aside)
        entry.aside->drawn = QImage();
    entry.image = QImage();
    // Loading nothing deletes the document and costs nothing to parse (an empty
    // document's parse costs as much as a small icon's); the renderer is then left
    // invalid, drawing nothing, until its key is asked for again.
    if (entry.renderer)
        loadDocument(*entry.renderer, QByteArray());
}

void VYRQDecodedCache::pin(Entry& entry)
{
    if (entry.linked)
        m_budget->m_order->remove(&entry);
    entry.linked = false;
    recount(entry);
}

bool VYRQDecodedCache::changedThroughPointer(const Entry& entry)
{
    if (entry.kind == Kind::Image)
        return entry.image.cacheKey() != entry.stored;
    return entry.renderer && loadsOf(*entry.renderer) != quint64(entry.stored);
}

void VYRQDecodedCache::touch(Entry& entry)
{
    if (entry.linked)
        m_budget->m_order->touch(&entry);
    recount(entry);
}

VYRQDecodedCache::Entry* VYRQDecodedCache::touchLoaded(Entry* entry)
{
    if (!entry || !entry->loaded)
        return nullptr;
    touch(*entry);
    return entry;
}

QImage* VYRQDecodedCache::image(const QString& key, bool* known)
{
    Entry* entry = m_tables->find(Kind::Image, key);
    if (known)
        *known = entry != nullptr;
    return touchLoaded(entry) ? &entry->image : nullptr;
}

const QImage* VYRQDecodedCache::asStored(const QString& key, const Source& from)
{
    Entry* entry = touchLoaded(m_tables->find(Kind::Image, key));
    if (!entry || entry->image.cacheKey() != entry->stored || !sourceOf(*entry).sameFile(from))
        return nullptr;
    return &entry->image;
}

const QImage* VYRQDecodedCache::imageToDraw(const QString& key, bool* known)
{
    return imageToDraw(HashedKey(key), known);
}

VYRQDecodedCache::HashedKey::HashedKey(const QString& name)
    : key(name)
    , hash(qHash(name))
{
}

const QImage* VYRQDecodedCache::imageToDraw(const HashedKey& key, bool* known)
{
    Entry* entry = m_tables->find(Kind::Image, key.key, key.hash);
    if (known)
        *known = entry != nullptr;
    return entry && entry->loaded ? drawForm(*entry) : nullptr;
}

const QImage* VYRQDecodedCache::drawForm(Entry& entry)
{
    touch(entry);
    const QImage& image = entry.image;
    const QImage::Format format = formatToDraw(image);
    if (image.format() == format) {
        if (entry.aside && !entry.aside->drawn.isNull()) {
            entry.aside->drawn = QImage();
            recount(entry);
        }
        return &image;
    }
    Aside& aside = entry.side();
    if (!aside.drawn.isNull() && aside.drawnFrom == image.cacheKey())
        return &aside.drawn;
    aside.drawn = QImage();
    recount(entry);
    if (!entry.builtIn) {
        // Out of the order while room is made, so that it is not what goes; drawn as it
        // is when there is none.
        const bool linked = entry.linked;
        if (linked)
            m_budget->m_order->remove(&entry);
        const bool room = m_budget->makeRoom(qint64(image.width()) * image.height() * 4);
        if (linked)
            m_budget->m_order->add(&entry);
        if (!room)
            return &image;
    }
    aside.drawn = formToDraw(image);
    aside.drawnFrom = image.cacheKey();
    recount(entry);
    return aside.drawn.isNull() ? &image : &aside.drawn;
}

QSvgRenderer* VYRQDecodedCache::renderer(const QString& key, bool* known)
{
    Entry* entry = m_tables->find(Kind::Renderer, key);
    if (known)
        *known = entry != nullptr;
    return touchLoaded(entry) ? entry->renderer.get() : nullptr;
}

bool VYRQDecodedCache::contains(Kind kind, const QString& key) const
{
    return m_tables->find(kind, key) != nullptr;
}

bool VYRQDecodedCache::source(Kind kind, const QString& key, Source& out) const
{
    const Entry* entry = m_tables->find(kind, key);
    if (!entry)
        return false;
    out = sourceOf(*entry);
    return true;
}

bool VYRQDecodedCache::keyOf(const QImage* image, QString& key) const
{
    const Entry* entry = m_tables->entryOf(image);
    if (!entry)
        return false;
    key = entry->key;
    return true;
}

const QImage* VYRQDecodedCache::imageToDraw(const QImage* image)
{
    Entry* entry = m_tables->entryOf(image);
    return entry && entry->loaded ? drawForm(*entry) : nullptr;
}

QImage* VYRQDecodedCache::storeImage(const QString& key, QImage image, const Source& source)
{
    const qint64 bytes = image.sizeInBytes();
    bool known = false;
    Entry& slot = entry(Kind::Image, key, source, known);
    empty(slot);
    if (slot.aside)
        slot.aside.reset();
    if (!m_budget->makeRoom(bytes)) {
        // An image handed out before stays, empty; a new one was never seen.
        if (!known)
            erase(slot);
        return nullptr;
    }
    slot.image = std::move(image);
    slot.stored = slot.image.cacheKey();
    load(slot, bytes);
    return &slot.image;
}

QSvgRenderer* VYRQDecodedCache::storeRenderer(const QString& key, const QByteArray& document, qint64 weight,
                                              const Source& source)
{
    bool known = false;
    Entry& slot = entry(Kind::Renderer, key, source, known);
    uncount(slot);
    slot.loaded = false;
    slot.aside.reset();
    if (m_budget->makeRoom(weight) && loadDocument(*slot.renderer, document)) {
        slot.stored = qint64(loadsOf(*slot.renderer));
        load(slot, weight);
        return slot.renderer.get();
    }
    // A renderer handed out before stays, drawing nothing; a new one was never seen.
    if (known)
        empty(slot);
    else
        erase(slot);
    return nullptr;
}

QImage* VYRQDecodedCache::storeBuiltIn(const QString& key, QImage image)
{
    bool known = false;
    Entry& slot = entry(Kind::Image, key, Source(), known);
    uncount(slot);
    slot.aside.reset();
    slot.image = std::move(image);
    slot.stored = slot.image.cacheKey();
    slot.loaded = true;
    slot.builtIn = true;
    return &slot.image;
}

const QByteArray* VYRQDecodedCache::failure(Kind kind, const QString& name) const
{
    const auto& failures = m_tables->failures(kind);
    const auto it = failures.constFind(name);
    return it == failures.constEnd() ? nullptr : &*it;
}

bool VYRQDecodedCache::hasFailures(Kind kind) const
{
    return !m_tables->failures(kind).isEmpty();
}

void VYRQDecodedCache::rememberFailure(Kind kind, const QString& name, const QByteArray& identity)
{
    m_tables->failures(kind).insert(name, identity);
}

void VYRQDecodedCache::forgetFailure(Kind kind, const QString& name)
{
    m_tables->failures(kind).remove(name);
}

const QByteArray* VYRQDecodedCache::refillFailure(Kind kind, const QString& key) const
{
    const Entry* entry = m_tables->find(kind, key);
    return entry && entry->aside && entry->aside->hasRefillFailure ? &entry->aside->refillFailure : nullptr;
}

void VYRQDecodedCache::rememberRefillFailure(Kind kind, const QString& key, const QByteArray& identity)
{
    Entry* entry = m_tables->find(kind, key);
    if (!entry)
        return;
    Aside& aside = entry->side();
    aside.hasRefillFailure = true;
    aside.refillFailure = identity;
}

std::vector<std::pair<VYRQDecodedCache::Kind, QString>> VYRQDecodedCache::emptyDecodedFrom(
    const std::set<std::string>& files)
{
    std::vector<std::pair<Kind, QString>> emptied;
    if (files.empty())
        return emptied;
    m_tables->forEach([&](Entry& entry) {
        if (entry.builtIn || !entry.loaded || entry.from != Source::From::SetFile || !files.count(sourceOf(entry).file))
            return;
        empty(entry);
        emptied.emplace_back(entry.kind, entry.key);
    });
    return emptied;
}

void VYRQDecodedCache::release()
{
    std::vector<Entry*> released;
    m_tables->forEach([&](Entry& entry) {
        if (!entry.builtIn)
            released.push_back(&entry);
    });
    for (Entry* entry : released)
        erase(*entry);
    m_tables->imageFailures.clear();
    m_tables->rendererFailures.clear();
}

int VYRQDecodedCache::count(Kind kind) const
{
    return m_tables->counts[int(kind)];
}

bool VYRQDecodedCache::isLoaded(Kind kind, const QString& key) const
{
    const Entry* entry = m_tables->find(kind, key);
    return entry && entry->loaded;
}
