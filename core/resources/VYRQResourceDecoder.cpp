#include "VYRQResourceDecoder_p.h"

#include "VYRQFileIdentity_p.h"
#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"
#include "VYRQResourceKeys_p.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

using vyr::grayKeySuffix;
using vyr::imageKey;

QImage disabledImage(QImage image)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QSize size = image.size();
        // Handed over, so that the pixmap may convert the pixels in place: a large
        // image is then not held twice while its grey copy is made.
        const QIcon icon(QPixmap::fromImage(std::move(image)));
        QImage out = icon.pixmap(size, QIcon::Disabled, QIcon::Off).toImage();
        if (!out.isNull())
            return out;
        image = icon.pixmap(size).toImage();
    }
    // Without a GUI application there are no pixmaps: grey the pixels directly.
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return out;
}

// The files an image or SVG name may stand for beside the resource sets, in the order
// they are tried.
std::vector<QString> resourceFiles(const QString& folder, const QString& name)
{
    const QString relative = vyr::fsPath(name);
    if (relative.isEmpty())
        return {};
    return { folder + relative, relative, folder + QLatin1String("images/") + relative };
}

QByteArray setFileIdentity(const VYRQResourceManagerImpl* set, const std::string& key)
{
    qint64 size = 0;
    quint32 crc = 0;
    if (!set->files.identity(key, size, crc))
        return QByteArray();
    return QByteArray::number(size) + ':' + QByteArray::number(crc, 16);
}

int decodes = 0;
int probes = 0;

bool isFileProbed(const QString& path)
{
    ++probes;
    return QFileInfo(path).isFile();
}

QByteArray identityProbed(const QString& path)
{
    ++probes;
    return vyr::fileIdentity(path);
}

// What a refusal for room was given against: more room comes only once pinned bytes go.
QByteArray roomNow(const VYRQDecodedCache::Budget& budget)
{
    return "|room:" + QByteArray::number(budget.pinnedFreed());
}

// Whether what was `tried` is what would be tried `now`, refused for room or not.
bool sameTry(const QByteArray& tried, const QByteArray& now, const VYRQDecodedCache::Budget& budget)
{
    return tried == now || tried == now + roomNow(budget);
}

void noRoomFor(const QString& key, const VYRQDecodedCache::Budget& budget)
{
    qCWarning(vyrRes) << key << "not kept: what was changed through the pointers handed out fills the"
                      << budget.bound() << "bytes decoded images and renderers may hold";
}

// The bytes of SVG documents are read into one buffer kept on the thread from one to
// the next (up to a large icon's size): loading a folder of icons then neither allocates
// nor frees a file's bytes for each. Taken while in use, so that a renderer loaded
// meanwhile (from a slot its repaint reaches) reads into a buffer of its own.
class ReadBuffer {
public:
    ReadBuffer()
        : m_bytes(std::exchange(spare(), QByteArray()))
    {
        if (m_bytes.capacity() < first)
            m_bytes.reserve(first);
    }
    ~ReadBuffer()
    {
        if (m_bytes.isDetached() && m_bytes.capacity() <= most)
            spare() = std::move(m_bytes);
    }
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;
    QByteArray& bytes() { return m_bytes; }

private:
    static QByteArray& spare()
    {
        thread_local QByteArray buffer;
        return buffer;
    }
    static constexpr int first = 16 * 1024;
    static constexpr int most = 256 * 1024;
    QByteArray m_bytes;
};

} // namespace

namespace vyr {

int resourceDecodes()
{
    return decodes;
}

int resourceFileProbes()
{
    return probes;
}

} // namespace vyr

VYRQResourceDecoder::VYRQResourceDecoder(const VYRQResourceManager& manager)
    : m_manager(manager)
    , m_default(manager.getDefaultManagerImpl())
    , m_project(manager.getProjectManagerImpl())
    , m_theme(manager.getThemeManagerImpl())
{
}

// ---------------------------------------------------------------------------
// Look-ups

template <class Object, class Key>
Object* VYRQResourceDecoder::inSets(const Key& key, Object* (VYRQDecodedCache::*find)(const Key&, bool*),
                                    VYRQResourceManagerImpl*& emptied) const
{
    emptied = nullptr;
    for (VYRQResourceManagerImpl* set : { m_default, m_project, m_theme }) {
        bool known = false;
        if (Object* loaded = set ? (set->decoded.*find)(key, &known) : nullptr)
            return loaded;
        if (known) {
            emptied = set;
            break;
        }
    }
    return nullptr;
}

QImage* VYRQResourceDecoder::image(const QString& name, bool gray)
{
    const QString key = imageKey(name, gray);
    VYRQResourceManagerImpl* set = nullptr;
    if (QImage* loaded = inSets(key, &VYRQDecodedCache::image, set))
        return loaded;
    return set ? refilledImage(set, key) : firstImage(name, gray, set);
}

const QImage* VYRQResourceDecoder::imageToDraw(const QString& name, bool gray)
{
    // The name itself for a plain image: no copy for each paint.
    const QString grayKey = gray ? imageKey(name, true) : QString();
    const QString& key = gray ? grayKey : name;
    VYRQResourceManagerImpl* set = nullptr;
    const auto toDraw = static_cast<const QImage* (VYRQDecodedCache::*)(const VYRQDecodedCache::HashedKey&, bool*)>(
        &VYRQDecodedCache::imageToDraw);
    if (const QImage* loaded = inSets(VYRQDecodedCache::HashedKey(key), toDraw, set))
        return loaded;
    if (set ? !refilledImage(set, key) : !firstImage(name, gray, set))
        return nullptr;
    return set->decoded.imageToDraw(key);
}

const QImage* VYRQResourceDecoder::imageToDraw(const QImage* image)
{
    QString key;
    for (VYRQResourceManagerImpl* set : { m_default, m_project, m_theme }) {
        if (!set)
            continue;
        if (const QImage* loaded = set->decoded.imageToDraw(image))
            return loaded;
        if (!set->decoded.keyOf(image, key))
            continue;
        if (!refilledImage(set, key))
            return image;   // emptied, and its file gives nothing now
        return set->decoded.imageToDraw(key);
    }
    return image;
}

VYRQResourceDecoder::HeldImage VYRQResourceDecoder::hold(const QImage* image) const
{
    HeldImage held;
    for (VYRQResourceManagerImpl* set : { m_default, m_project, m_theme }) {
        if (set && set->decoded.keyOf(image, held.key)) {
            held.set = set->decoded.serial();
            break;
        }
    }
    return held;
}

VYRQResourceManagerImpl* VYRQResourceDecoder::setHolding(const HeldImage& held) const
{
    for (VYRQResourceManagerImpl* set : { m_default, m_project, m_theme }) {
        if (set && set->decoded.serial() == held.set)
            return set;
    }
    return nullptr;
}

const QImage* VYRQResourceDecoder::imageToDraw(const HeldImage& held)
{
    VYRQResourceManagerImpl* set = setHolding(held);
    if (!set)
        return nullptr;
    bool known = false;
    if (const QImage* loaded = set->decoded.imageToDraw(held.key, &known))
        return loaded;
    return known && refilledImage(set, held.key) ? set->decoded.imageToDraw(held.key) : nullptr;
}

bool VYRQResourceDecoder::holds(const HeldImage& held, const QImage* image) const
{
    const VYRQResourceManagerImpl* set = setHolding(held);
    QString key;
    return set && set->decoded.keyOf(image, key) && key == held.key;
}

QSvgRenderer* VYRQResourceDecoder::renderer(const QString& name)
{
    VYRQResourceManagerImpl* set = nullptr;
    if (QSvgRenderer* loaded = inSets(name, &VYRQDecodedCache::renderer, set))
        return loaded;
    return set ? refilledRenderer(set, name) : firstRenderer(name);
}

void VYRQResourceDecoder::decodeAgain(VYRQResourceManagerImpl* set,
                                      std::vector<std::pair<VYRQDecodedCache::Kind, QString>> entries)
{
    // A plain image before its grey look, which is then made from it.
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries) {
        if (entry.first == Kind::Renderer)
            rendererIn(set, entry.second);
        else
            imageIn(set, entry.second);
    }
}

// ---------------------------------------------------------------------------
// An entry's own source

QImage* VYRQResourceDecoder::imageIn(VYRQResourceManagerImpl* set, const QString& key)
{
    QImage* image = set->decoded.image(key);
    return image ? image : refilledImage(set, key);
}

QSvgRenderer* VYRQResourceDecoder::rendererIn(VYRQResourceManagerImpl* set, const QString& key)
{
    QSvgRenderer* renderer = set->decoded.renderer(key);
    return renderer ? renderer : refilledRenderer(set, key);
}

QImage* VYRQResourceDecoder::refilledImage(VYRQResourceManagerImpl* set, const QString& key)
{
    return refilled(set, Kind::Image, key, &VYRQResourceDecoder::decodeImage);
}

QSvgRenderer* VYRQResourceDecoder::refilledRenderer(VYRQResourceManagerImpl* set, const QString& key)
{
    return refilled(set, Kind::Renderer, key, &VYRQResourceDecoder::decodeRenderer);
}

template <class Object>
Object* VYRQResourceDecoder::refilled(VYRQResourceManagerImpl* set, Kind kind, const QString& key,
                                      DecodeInto<Object> decodeInto)
{
    Object* object = nullptr;
    refill(set, kind, key, [&](VYRQResourceManagerImpl* from, const Source& source, Outcome& outcome, Read& read) {
        object = (this->*decodeInto)(from, key, source, outcome, read);
        return object != nullptr;
    });
    return object;
}

void VYRQResourceDecoder::refill(VYRQResourceManagerImpl* set, Kind kind, const QString& key, const Decode& decode)
{
    Source source;
    set->decoded.source(kind, key, source);
    const QByteArray* failed = set->decoded.refillFailure(kind, key);
    if (failed && sameTry(*failed, identityNow(set, source), set->decoded.budget()))
        return;
    Outcome outcome = Outcome::Missing;
    Read read;
    if (decode(set, source, outcome, read))
        return;
    // A set's file is told by what the store knows of it, which a read does not change.
    QByteArray tried = source.from == Source::From::SetFile ? identityNow(set, source) : read.identity;
    if (outcome == Outcome::NoRoom)
        tried += roomNow(set->decoded.budget());
    set->decoded.rememberRefillFailure(kind, key, tried);
}

bool VYRQResourceDecoder::readSource(VYRQResourceManagerImpl* set, const Source& source, QByteArray& out,
                                     Read& read) const
{
    // The decoded image or renderer is what stays; the file is read again should it be needed.
    ++decodes;
    if (source.from == Source::From::SetFile)
        return set->files.takeToDecode(source.file, out);
    if (source.from != Source::From::DiskFile)
        return false;
    read.path = source.path;
    const vyr::FileRead result = vyr::readRegularFile(source.path, vyr::maxFileBytes, out, nullptr, nullptr,
                                                      &read.identity);
    if (result == vyr::FileRead::Read)
        return true;
    if (result != vyr::FileRead::Missing)
        qCWarning(vyrRes) << "file" << source.path << "refused:" << vyr::fileReadText(result);
    return false;
}

QByteArray VYRQResourceDecoder::identityNow(VYRQResourceManagerImpl* set, const Source& source) const
{
    if (source.from == Source::From::SetFile)
        return setFileIdentity(set, source.file);
    return source.from == Source::From::DiskFile ? identityProbed(source.path) : QByteArray();
}

QImage* VYRQResourceDecoder::decodeImage(VYRQResourceManagerImpl* set, const QString& key, const Source& source,
                                         Outcome& outcome, Read& read)
{
    QImage image;
    const QImage* plain = source.gray ? set->decoded.asStored(key.chopped(grayKeySuffix.size()), source) : nullptr;
    if (plain) {
        // The grey look of a decoded image is made from it, as long as it is what its
        // file gave: nothing is read again.
        image = *plain;
    } else {
        QByteArray bytes;
        if (!readSource(set, source, bytes, read)) {
            outcome = Outcome::Missing;
            return nullptr;
        }
        QString refusal;
        const vyr::ImageRead decoded = vyr::decodeImage(bytes, image, refusal);
        if (decoded == vyr::ImageRead::Refused) {
            qCWarning(vyrRes) << "image" << key << "refused:" << refusal << "- treated as missing";
            outcome = Outcome::Refused;
            return nullptr;
        }
        const float scale = m_manager.getScaleFactor();
        if (!image.isNull() && scale < 1.0f) {
            image = image.scaled(int(float(image.width()) * scale), int(float(image.height()) * scale),
                                 Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        // An empty image counts as missing; it is neither cached nor handed out.
        if (decoded != vyr::ImageRead::Read || image.width() <= 0 || image.height() <= 0) {
            outcome = Outcome::Failed;
            return nullptr;
        }
    }
    // Room first, so that the cache and the copies greying makes never add up past it.
    if (!set->decoded.budget().makeRoom(image.sizeInBytes())) {
        noRoomFor(key, set->decoded.budget());
        outcome = Outcome::NoRoom;
        return nullptr;
    }
    if (source.gray)
        image = disabledImage(std::move(image));
    QImage* stored = set->decoded.storeImage(key, VYRQDecodedCache::formToDraw(std::move(image)), source);
    if (!stored) {
        noRoomFor(key, set->decoded.budget());
        outcome = Outcome::NoRoom;
        return nullptr;
    }
    outcome = Outcome::Decoded;
    return stored;
}

QSvgRenderer* VYRQResourceDecoder::decodeRenderer(VYRQResourceManagerImpl* set, const QString& key,
                                                  const Source& source, Outcome& outcome, Read& read)
{
    ReadBuffer buffer;
    QByteArray& bytes = buffer.bytes();
    if (!readSource(set, source, bytes, read)) {
        outcome = Outcome::Missing;
        return nullptr;
    }
    QString refusal;
    vyr::CheckedSvg svg;
    const bool checked = !bytes.isEmpty() && vyr::boundedSvg(bytes, svg, refusal);
    if (!refusal.isEmpty()) {
        qCWarning(vyrRes) << "SVG" << key << "refused:" << refusal << "- treated as missing";
        outcome = Outcome::Refused;
        return nullptr;
    }
    if (!checked) {
        outcome = Outcome::Failed;
        return nullptr;
    }
    // Room first, so that a store that fails did so on the document, not for room.
    if (!set->decoded.budget().makeRoom(svg.weight)) {
        noRoomFor(key, set->decoded.budget());
        outcome = Outcome::NoRoom;
        return nullptr;
    }
    QSvgRenderer* renderer = set->decoded.storeRenderer(key, svg.text, svg.weight, source);
    outcome = renderer ? Outcome::Decoded : Outcome::Failed;
    return renderer;
}

// ---------------------------------------------------------------------------
// First decodes

QString VYRQResourceDecoder::besideFile(const QString& name) const
{
    for (const QString& candidate : resourceFiles(m_manager.getSkinDirPath(), name)) {
        if (isFileProbed(candidate))
            return candidate;
    }
    return QString();
}

QImage* VYRQResourceDecoder::firstImage(const QString& name, bool gray, VYRQResourceManagerImpl*& set)
{
    const QString key = imageKey(name, gray);
    if (gray) {
        // The grey look comes from the file the plain image came from.
        for (VYRQResourceManagerImpl* holder : { m_default, m_project, m_theme }) {
            Source source;
            if (!holder || !holder->decoded.source(Kind::Image, name, source))
                continue;
            set = holder;
            source.gray = true;
            // Only a refusal for room is remembered here, under the grey look's key.
            const std::string file = vyr::fileKey(name);
            if (failedBefore(Kind::Image, file, key))
                return nullptr;
            Outcome outcome = Outcome::Missing;
            Read read;
            QImage* image = decodeImage(set, key, source, outcome, read);
            noteOutcome(Kind::Image, file, key, outcome == Outcome::NoRoom, &read, true);
            return image;
        }
    }
    QImage* image = nullptr;
    set = decodeFirst(Kind::Image, name, gray, [&](VYRQResourceManagerImpl* from, const Source& source,
                                                   Outcome& outcome, Read& read) {
        image = decodeImage(from, key, source, outcome, read);
        return image != nullptr;
    });
    return image;
}

QSvgRenderer* VYRQResourceDecoder::firstRenderer(const QString& name)
{
    QSvgRenderer* renderer = nullptr;
    decodeFirst(Kind::Renderer, name, false, [&](VYRQResourceManagerImpl* from, const Source& source,
                                                 Outcome& outcome, Read& read) {
        renderer = decodeRenderer(from, name, source, outcome, read);
        return renderer != nullptr;
    });
    return renderer;
}

VYRQResourceManagerImpl* VYRQResourceDecoder::decodeFirst(Kind kind, const QString& name, bool gray,
                                                          const Decode& decode)
{
    const std::string file = vyr::fileKey(name);
    if (failedBefore(kind, file, name))
        return nullptr;
    Outcome outcome = Outcome::Missing;
    Read read;
    for (VYRQResourceManagerImpl* set : { m_project, m_default, m_theme }) {
        if (!set)
            continue;
        read = Read();
        if (decode(set, Source::setFile(file, gray), outcome, read)) {
            noteOutcome(kind, file, name, false, &read);
            return set;
        }
        // Only a file the set does not have passes to the next set's: one refused or
        // failing to decode is the name's file, and what the name gives.
        if (outcome != Outcome::Missing)
            break;
    }
    bool found = outcome != Outcome::Missing;
    if (outcome != Outcome::Refused && outcome != Outcome::NoRoom) {
        const QString beside = besideFile(name);
        found = found || !beside.isEmpty();
        read = Read();
        if (!beside.isEmpty() && decode(m_default, Source::diskFile(beside, gray), outcome, read)) {
            noteOutcome(kind, file, name, false, &read);
            return m_default;
        }
    }
    // A name found nowhere is looked for again once a set or the files it holds change;
    // one refused for room once pinned bytes went.
    if (!found)
        failuresOf(holderOf(file)).rememberFailure(kind, name, missedNow());
    else
        noteOutcome(kind, file, name, true, &read, outcome == Outcome::NoRoom);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Failures of first decodes

VYRQResourceManagerImpl* VYRQResourceDecoder::holderOf(const std::string& key) const
{
    for (VYRQResourceManagerImpl* set : { m_project, m_default, m_theme }) {
        if (set && set->files.contains(key))
            return set;
    }
    return nullptr;
}

VYRQDecodedCache& VYRQResourceDecoder::failuresOf(VYRQResourceManagerImpl* holder) const
{
    return (holder ? holder : m_default)->decoded;
}

QByteArray VYRQResourceDecoder::triedFor(VYRQResourceManagerImpl* holder, const std::string& key,
                                         const QString& name, const Read* read) const
{
    const QByteArray tried = holder ? setFileIdentity(holder, key) : QByteArray();
    // A file beside the skin as it was read, not as it is now: one finished after the
    // read is tried again.
    if (read && !read->path.isEmpty())
        return read->identity.isEmpty() ? tried : tried + '|' + read->path.toUtf8() + '|' + read->identity;
    for (const QString& candidate : resourceFiles(m_manager.getSkinDirPath(), name)) {
        const QByteArray file = identityProbed(candidate);
        if (!file.isEmpty())
            return tried + '|' + candidate.toUtf8() + '|' + file;
    }
    return tried;
}

bool VYRQResourceDecoder::anyFailures(Kind kind) const
{
    for (VYRQResourceManagerImpl* set : { m_default, m_project, m_theme }) {
        if (set && set->decoded.hasFailures(kind))
            return true;
    }
    return false;
}

bool VYRQResourceDecoder::failedBefore(Kind kind, const std::string& key, const QString& name) const
{
    if (!anyFailures(kind))
        return false;
    VYRQResourceManagerImpl* holder = holderOf(key);
    const QByteArray* tried = failuresOf(holder).failure(kind, name);
    if (!tried)
        return false;
    if (*tried == missedNow())
        return true;
    return sameTry(*tried, triedFor(holder, key, name, nullptr), m_default->decoded.budget());
}

QByteArray VYRQResourceDecoder::missedNow() const
{
    QByteArray sets = "missed|" + QFile::encodeName(m_manager.getSkinDirPath());
    for (const VYRQResourceManagerImpl* set : { m_default, m_project, m_theme }) {
        sets += '|';
        if (set)
            sets += QByteArray::number(set->decoded.serial()) + ':' + QByteArray::number(set->files.changes());
    }
    return sets;
}

void VYRQResourceDecoder::noteOutcome(Kind kind, const std::string& key, const QString& name, bool failed,
                                      const Read* read, bool noRoom)
{
    if (!failed && !anyFailures(kind))
        return;
    VYRQResourceManagerImpl* holder = holderOf(key);
    VYRQDecodedCache& failures = failuresOf(holder);
    if (failed)
        failures.rememberFailure(kind, name,
                                 triedFor(holder, key, name, read) + (noRoom ? roomNow(failures.budget()) : QByteArray()));
    else if (failures.failure(kind, name))
        failures.forgetFailure(kind, name);
}
