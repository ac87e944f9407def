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

QImage convertedToDraw(const QImage& image, QImage::Format format)
{
    QImage out = image.convertToFormat(format);
    if (format != QImage::Format_ARGB32_Premultiplied)
        return out;
    for (int y = 0; y < out.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(out.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return out;
        }
    }
    // Every pixel opaque: copied rather than blended.
    out.reinterpretAsFormat(QImage::Format_RGB32);
    return out;
}

bool loadDocument(QSvgRenderer& renderer, const QByteArray& document)
{
    const bool loaded = renderer.load(document) && renderer.isValid();
    const char* const loads = VYRQDecodedCache::loadsProperty;
    renderer.setProperty(loads, renderer.property(loads).toULongLong() + 1);
    return loaded;
}

} // namespace

struct VYRQDecodedCache::Entry {
    VYRQDecodedCache* owner = nullptr;
    std::string file;
    std::unique_ptr<QImage> image;
    QImage drawn;           // the image's form for drawing, when it is not that form itself
    std::unique_ptr<QSvgRenderer> renderer;
    qint64 bytes = 0;
    bool loaded = false;
    bool kept = false;      // never emptied, not counted
    bool linked = false;    // in the budget's order
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

void VYRQDecodedCache::Budget::makeRoom(qint64 room)
{
    while (m_bytes + room > m_bound && !m_order->entries.isEmpty()) {
        Entry* oldest = m_order->entries.oldest();
        ++m_trimVisits;
        oldest->owner->empty(*oldest);
    }
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
            unlink(entry.second);
        table->clear();
    }
    m_tables->imageFailures.clear();
    m_tables->rendererFailures.clear();
}

VYRQDecodedCache::Entry& VYRQDecodedCache::entry(Kind kind, const QString& key, const std::string& file)
{
    Entry& entry = m_tables->of(kind)[key];
    entry.owner = this;
    entry.file = file;
    return entry;
}

void VYRQDecodedCache::unlink(Entry& entry)
{
    if (!entry.linked)
        return;
    m_budget->m_order->entries.remove(entry.use);
    entry.linked = false;
    m_budget->m_bytes -= entry.bytes;
    m_bytes -= entry.bytes;
    entry.bytes = 0;
}

void VYRQDecodedCache::load(Entry& entry, qint64 bytes)
{
    unlink(entry);
    entry.loaded = true;
    entry.bytes = bytes;
    entry.use = m_budget->m_order->entries.add(&entry);
    entry.linked = true;
    m_budget->m_bytes += bytes;
    m_bytes += bytes;
}

void VYRQDecodedCache::empty(Entry& entry)
{
    unlink(entry);
    entry.loaded = false;
    entry.drawn = QImage();
    if (entry.image)
        *entry.image = QImage();
    if (entry.renderer)
        loadDocument(*entry.renderer, emptySvg());
}

void VYRQDecodedCache::touch(Entry& entry)
{
    if (entry.linked)
        m_budget->m_order->entries.touch(entry.use);
}

QImage* VYRQDecodedCache::image(const QString& key)
{
    const auto it = m_tables->images.find(key);
    if (it == m_tables->images.end() || !it->second.loaded)
        return nullptr;
    touch(it->second);
    return it->second.image.get();
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
    if (image.format() == format)
        return &image;
    if (entry.drawn.isNull()) {
        if (entry.kept) {
            entry.drawn = convertedToDraw(image, format);
        } else {
            // Out of the order while room is made, so that it is not what goes.
            const qint64 own = entry.bytes;
            unlink(entry);
            m_budget->makeRoom(own + qint64(image.width()) * image.height() * 4);
            entry.drawn = convertedToDraw(image, format);
            load(entry, own + entry.drawn.sizeInBytes());
        }
    }
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

QImage* VYRQDecodedCache::storeImage(const QString& key, QImage image, const std::string& file)
{
    const qint64 bytes = image.sizeInBytes();
    Entry& slot = entry(Kind::Image, key, file);
    unlink(slot);
    m_budget->makeRoom(bytes);
    slot.drawn = QImage();
    if (slot.image)
        *slot.image = std::move(image);
    else
        slot.image = std::make_unique<QImage>(std::move(image));
    load(slot, bytes);
    return slot.image.get();
}

QSvgRenderer* VYRQDecodedCache::storeRenderer(const QString& key, const QByteArray& document, qint64 weight,
                                              const std::string& file)
{
    const bool known = m_tables->renderers.count(key) != 0;
    Entry& slot = entry(Kind::Renderer, key, file);
    unlink(slot);
    m_budget->makeRoom(weight);
    if (!slot.renderer)
        slot.renderer = std::make_unique<QSvgRenderer>();
    if (loadDocument(*slot.renderer, document)) {
        load(slot, weight);
        return slot.renderer.get();
    }
    // A renderer handed out before stays, drawing nothing; a new one was never seen.
    if (known)
        empty(slot);
    else
        m_tables->renderers.erase(key);
    return nullptr;
}

QImage* VYRQDecodedCache::keepImage(const QString& key, QImage image)
{
    Entry& slot = entry(Kind::Image, key, std::string());
    unlink(slot);
    slot.drawn = QImage();
    if (slot.image)
        *slot.image = std::move(image);
    else
        slot.image = std::make_unique<QImage>(std::move(image));
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

std::vector<std::pair<VYRQDecodedCache::Kind, QString>> VYRQDecodedCache::emptyDecodedFrom(
    const std::set<std::string>& files)
{
    std::vector<std::pair<Kind, QString>> emptied;
    if (files.empty())
        return emptied;
    for (Kind kind : { Kind::Image, Kind::Renderer }) {
        for (auto& it : m_tables->of(kind)) {
            Entry& entry = it.second;
            if (entry.kept || !entry.loaded || !files.count(entry.file))
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
            unlink(it->second);
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
