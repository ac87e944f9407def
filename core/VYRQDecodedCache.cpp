#include "VYRQDecodedCache.h"

#include "VYRQLruOrder_p.h"

#include <QHash>
#include <QImage>
#include <QSvgRenderer>
#include <QVariant>

#include <unordered_map>

namespace {

struct NameHash {
    size_t operator()(const QString& name) const { return qHash(name); }
};

// What an emptied renderer is left holding: a document that draws nothing.
QByteArray emptySvg()
{
    return QByteArrayLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1\" height=\"1\"/>");
}

// The form QPixmap gives an image on the raster engine: premultiplied when it has
// alpha pixels, opaque 32 bits when not. Formats deeper than 8 bits a channel keep
// their precision and are drawn as they are.
QImage::Format formatToDraw(const QImage& image)
{
    if (image.depth() > 32)
        return image.format();
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

quint64 loadsOf(const QSvgRenderer& renderer)
{
    return renderer.property(VYRQDecodedCache::loadsProperty).toULongLong();
}

// A renderer says it took a document by asking to be repainted, whoever loaded it.
std::unique_ptr<QSvgRenderer> countedRenderer()
{
    auto renderer = std::make_unique<QSvgRenderer>();
    QSvgRenderer* r = renderer.get();
    QObject::connect(r, &QSvgRenderer::repaintNeeded, r,
                     [r] { r->setProperty(VYRQDecodedCache::loadsProperty, loadsOf(*r) + 1); });
    return renderer;
}

bool loadDocument(QSvgRenderer& renderer, const QByteArray& document)
{
    return renderer.load(document) && renderer.isValid();
}

} // namespace

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

struct VYRQDecodedCache::Entry {
    VYRQDecodedCache* owner = nullptr;
    Source source;
    std::unique_ptr<QImage> image;
    QImage drawn;           // the image's form for drawing, when it is not that form itself
    qint64 drawnFrom = 0;   // the image's cacheKey the form was made from
    std::unique_ptr<QSvgRenderer> renderer;
    qint64 bytes = 0;       // counted in the budget while loaded, unless kept
    qint64 storedKey = 0;   // the image's cacheKey when stored
    quint64 storedLoads = 0;   // the renderer's loads when stored
    bool loaded = false;
    bool kept = false;      // never emptied, not counted
    bool linked = false;    // in the budget's order
    bool hasRefillFailure = false;
    QByteArray refillFailure;
    vyr::LruOrder<Entry*>::Position use;
};

struct VYRQDecodedCache::Budget::Order {
    vyr::LruOrder<VYRQDecodedCache::Entry*> entries;
};

struct VYRQDecodedCache::Tables {
    // Node-based: an entry keeps its address, which the budget's order holds.
    using Table = std::unordered_map<QString, Entry, NameHash>;
    Table images;
    Table renderers;
    QHash<const QImage*, QString> imageKeys;
    QHash<QString, QByteArray> imageFailures;
    QHash<QString, QByteArray> rendererFailures;

    Table& of(Kind kind) { return kind == Kind::Image ? images : renderers; }
    const Table& of(Kind kind) const { return kind == Kind::Image ? images : renderers; }
    QHash<QString, QByteArray>& failures(Kind kind) { return kind == Kind::Image ? imageFailures : rendererFailures; }
    const QHash<QString, QByteArray>& failures(Kind kind) const
    {
        return kind == Kind::Image ? imageFailures : rendererFailures;
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
    while (m_bytes + room > m_bound && !m_order->entries.isEmpty()) {
        Entry* oldest = m_order->entries.oldest();
        ++m_trimVisits;
        if (changedThroughPointer(*oldest))
            oldest->owner->keepChanged(*oldest);
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
}

VYRQDecodedCache::~VYRQDecodedCache()
{
    clear();
}

void VYRQDecodedCache::clear()
{
    for (Tables::Table* table : { &m_tables->images, &m_tables->renderers }) {
        for (auto& entry : *table)
            uncount(entry.second);
        table->clear();
    }
    m_tables->imageKeys.clear();
    m_tables->imageFailures.clear();
    m_tables->rendererFailures.clear();
}

VYRQDecodedCache::Entry& VYRQDecodedCache::entry(Kind kind, const QString& key, const Source& source)
{
    Entry& entry = m_tables->of(kind)[key];
    entry.owner = this;
    entry.source = source;
    if (kind == Kind::Image && !entry.image) {
        entry.image = std::make_unique<QImage>();
        m_tables->imageKeys.insert(entry.image.get(), key);
    }
    if (kind == Kind::Renderer && !entry.renderer)
        entry.renderer = countedRenderer();
    return entry;
}

void VYRQDecodedCache::erase(Kind kind, const QString& key)
{
    Tables::Table& table = m_tables->of(kind);
    const auto it = table.find(key);
    if (it == table.end())
        return;
    uncount(it->second);
    if (it->second.image)
        m_tables->imageKeys.remove(it->second.image.get());
    table.erase(it);
}

void VYRQDecodedCache::uncount(Entry& entry)
{
    if (entry.linked)
        m_budget->m_order->entries.remove(entry.use);
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
    entry.use = m_budget->m_order->entries.add(&entry);
    entry.linked = true;
    m_budget->m_bytes += bytes;
    m_bytes += bytes;
}

void VYRQDecodedCache::recount(Entry& entry)
{
    if (!entry.loaded || entry.kept || !entry.image)
        return;
    const qint64 now = entry.image->sizeInBytes() + entry.drawn.sizeInBytes();
    m_budget->m_bytes += now - entry.bytes;
    m_bytes += now - entry.bytes;
    entry.bytes = now;
}

void VYRQDecodedCache::empty(Entry& entry)
{
    uncount(entry);
    entry.loaded = false;
    entry.drawn = QImage();
    if (entry.image)
        *entry.image = QImage();
    if (entry.renderer)
        loadDocument(*entry.renderer, emptySvg());
}

void VYRQDecodedCache::keepChanged(Entry& entry)
{
    if (entry.linked)
        m_budget->m_order->entries.remove(entry.use);
    entry.linked = false;
    recount(entry);
}

bool VYRQDecodedCache::changedThroughPointer(const Entry& entry)
{
    if (entry.image)
        return entry.image->cacheKey() != entry.storedKey;
    return entry.renderer && loadsOf(*entry.renderer) != entry.storedLoads;
}

void VYRQDecodedCache::touch(Entry& entry)
{
    if (entry.linked)
        m_budget->m_order->entries.touch(entry.use);
    recount(entry);
}

QImage* VYRQDecodedCache::image(const QString& key)
{
    const auto it = m_tables->images.find(key);
    if (it == m_tables->images.end() || !it->second.loaded)
        return nullptr;
    touch(it->second);
    return it->second.image.get();
}

const QImage* VYRQDecodedCache::asStored(const QString& key)
{
    const QImage* loaded = image(key);
    return loaded && loaded->cacheKey() == m_tables->images.find(key)->second.storedKey ? loaded : nullptr;
}

const QImage* VYRQDecodedCache::imageToDraw(const QString& key)
{
    const auto it = m_tables->images.find(key);
    if (it == m_tables->images.end() || !it->second.loaded)
        return nullptr;
    Entry& entry = it->second;
    touch(entry);
    const QImage& image = *entry.image;
    const QImage::Format format = formatToDraw(image);
    if (image.format() == format) {
        if (!entry.drawn.isNull()) {
            entry.drawn = QImage();
            recount(entry);
        }
        return &image;
    }
    if (!entry.drawn.isNull() && entry.drawnFrom == image.cacheKey())
        return &entry.drawn;
    entry.drawn = QImage();
    recount(entry);
    if (!entry.kept) {
        // Out of the order while room is made, so that it is not what goes; drawn as it
        // is when there is none.
        const bool linked = entry.linked;
        if (linked)
            m_budget->m_order->entries.remove(entry.use);
        const bool room = m_budget->makeRoom(qint64(image.width()) * image.height() * 4);
        if (linked)
            entry.use = m_budget->m_order->entries.add(&entry);
        if (!room)
            return &image;
    }
    entry.drawn = formToDraw(image);
    entry.drawnFrom = image.cacheKey();
    recount(entry);
    return entry.drawn.isNull() ? &image : &entry.drawn;
}

QSvgRenderer* VYRQDecodedCache::renderer(const QString& key)
{
    const auto it = m_tables->renderers.find(key);
    if (it == m_tables->renderers.end() || !it->second.loaded)
        return nullptr;
    touch(it->second);
    return it->second.renderer.get();
}

const VYRQDecodedCache::Source* VYRQDecodedCache::source(Kind kind, const QString& key) const
{
    const auto& table = m_tables->of(kind);
    const auto it = table.find(key);
    return it == table.end() ? nullptr : &it->second.source;
}

bool VYRQDecodedCache::keyOf(const QImage* image, QString& key) const
{
    const auto it = m_tables->imageKeys.constFind(image);
    if (it == m_tables->imageKeys.constEnd())
        return false;
    key = *it;
    return true;
}

QImage* VYRQDecodedCache::storeImage(const QString& key, QImage image, const Source& source)
{
    const qint64 bytes = image.sizeInBytes();
    const bool known = m_tables->images.count(key) != 0;
    Entry& slot = entry(Kind::Image, key, source);
    empty(slot);
    slot.hasRefillFailure = false;
    slot.refillFailure.clear();
    if (!m_budget->makeRoom(bytes)) {
        // An image handed out before stays, empty; a new one was never seen.
        if (!known)
            erase(Kind::Image, key);
        return nullptr;
    }
    *slot.image = std::move(image);
    slot.storedKey = slot.image->cacheKey();
    load(slot, bytes);
    return slot.image.get();
}

QSvgRenderer* VYRQDecodedCache::storeRenderer(const QString& key, const QByteArray& document, qint64 weight,
                                              const Source& source)
{
    const bool known = m_tables->renderers.count(key) != 0;
    Entry& slot = entry(Kind::Renderer, key, source);
    uncount(slot);
    slot.loaded = false;
    slot.hasRefillFailure = false;
    slot.refillFailure.clear();
    if (m_budget->makeRoom(weight) && loadDocument(*slot.renderer, document)) {
        slot.storedLoads = loadsOf(*slot.renderer);
        load(slot, weight);
        return slot.renderer.get();
    }
    // A renderer handed out before stays, drawing nothing; a new one was never seen.
    if (known)
        empty(slot);
    else
        erase(Kind::Renderer, key);
    return nullptr;
}

QImage* VYRQDecodedCache::keepImage(const QString& key, QImage image)
{
    Entry& slot = entry(Kind::Image, key, Source());
    uncount(slot);
    slot.drawn = QImage();
    *slot.image = std::move(image);
    slot.loaded = true;
    slot.kept = true;
    return slot.image.get();
}

const QByteArray* VYRQDecodedCache::failure(Kind kind, const QString& name) const
{
    const auto& failures = m_tables->failures(kind);
    const auto it = failures.constFind(name);
    return it == failures.constEnd() ? nullptr : &*it;
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
    const auto& table = m_tables->of(kind);
    const auto it = table.find(key);
    return it == table.end() || !it->second.hasRefillFailure ? nullptr : &it->second.refillFailure;
}

void VYRQDecodedCache::rememberRefillFailure(Kind kind, const QString& key, const QByteArray& identity)
{
    auto& table = m_tables->of(kind);
    const auto it = table.find(key);
    if (it == table.end())
        return;
    it->second.hasRefillFailure = true;
    it->second.refillFailure = identity;
}

std::vector<std::pair<VYRQDecodedCache::Kind, QString>> VYRQDecodedCache::emptyDecodedFrom(
    const std::set<std::string>& files)
{
    std::vector<std::pair<Kind, QString>> emptied;
    if (files.empty())
        return emptied;
    for (Kind kind : { Kind::Image, Kind::Renderer }) {
        for (auto& it : m_tables->of(kind)) {
            Entry& entry = it.second;
            if (entry.kept || !entry.loaded || entry.source.from != Source::From::SetFile
                || !files.count(entry.source.file))
                continue;
            empty(entry);
            emptied.emplace_back(kind, it.first);
        }
    }
    return emptied;
}

void VYRQDecodedCache::release(const QString& keep)
{
    for (Kind kind : { Kind::Image, Kind::Renderer }) {
        Tables::Table& table = m_tables->of(kind);
        for (auto it = table.begin(); it != table.end();) {
            if (kind == Kind::Image && it->first.contains(keep)) {
                ++it;
                continue;
            }
            uncount(it->second);
            if (it->second.image)
                m_tables->imageKeys.remove(it->second.image.get());
            it = table.erase(it);
        }
    }
    m_tables->imageFailures.clear();
    m_tables->rendererFailures.clear();
}

int VYRQDecodedCache::count(Kind kind) const
{
    return int(m_tables->of(kind).size());
}

bool VYRQDecodedCache::isLoaded(Kind kind, const QString& key) const
{
    const auto& table = m_tables->of(kind);
    const auto it = table.find(key);
    return it != table.end() && it->second.loaded;
}
