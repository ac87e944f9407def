#include "VYRQImageBounds_p.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace vyr {

namespace {

quint32 le16(const uchar* p) { return quint32(p[0]) | quint32(p[1]) << 8; }
quint32 le32(const uchar* p) { return le16(p) | le16(p + 2) << 16; }
quint32 be32(const uchar* p) { return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]; }

// Kept below 2^30 per side so that a product never overflows.
qint64 side(qint64 v) { return std::min<qint64>(std::max<qint64>(v, 0), qint64(1) << 30); }

const char pngSignature[] = "\x89PNG\r\n\x1a\n";

// An icon file's directory gives each entry's size in a byte (0 standing for 256), and
// that is what the reader reports; but an entry holding a PNG image is decoded at the
// PNG's own size, and a bitmap entry whose directory size is 0 at its header's size.
// Every entry counts, whichever one gets decoded.
qint64 iconPixels(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < 6)
        return 0;
    const quint32 count = le16(p + 4);
    qint64 largest = 0;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 entry = 6 + 16 * qint64(i);
        if (entry + 16 > size)
            break;
        qint64 w = p[entry] ? p[entry] : 256;
        qint64 h = p[entry + 1] ? p[entry + 1] : 256;
        const qint64 offset = le32(p + entry + 12);
        if (offset <= size - 24) {
            const uchar* image = p + offset;
            if (std::memcmp(image, pngSignature, 8) == 0) {
                // IHDR is always a PNG's first chunk: width and height follow its type.
                w = be32(image + 16);
                h = be32(image + 20);
            } else if (!p[entry] || !p[entry + 1]) {
                w = std::max<qint64>(w, std::abs(qint64(qint32(le32(image + 4)))));
                h = std::max<qint64>(h, std::abs(qint64(qint32(le32(image + 8)))) / 2);
            }
        }
        largest = std::max(largest, side(w) * side(h));
    }
    return largest;
}

// Qt's GIF decoder allocates every frame at the logical screen's size (at the first
// frame's extent for a screen of 0), while its size probe takes a screen much larger
// than the frame for a mistake and reports the frame: 34 bytes then decode to 1 GB
// behind a size of one pixel. Counted here for every frame, the larger of the screen
// and the frame's extent, as the blocks are walked (a frame's data skipped by its
// sub-block lengths) to where the decoder stops: the trailer, an unknown block, the end.
qint64 gifPixels(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < 13)
        return 0;
    const qint64 screenWidth = le16(p + 6);
    const qint64 screenHeight = le16(p + 8);
    const auto colourTable = [](uchar flags) { return flags & 0x80 ? 3 * (qint64(2) << (flags & 7)) : 0; };
    qint64 at = 13 + colourTable(p[10]);
    const auto skipSubBlocks = [&] {
        while (at < size && p[at] != 0)
            at += 1 + qint64(p[at]);
        ++at;
    };
    qint64 largest = 0;
    while (at < size) {
        const uchar block = p[at++];
        if (block == 0x21) {
            ++at;   // the extension's label
            skipSubBlocks();
        } else if (block == 0x2c) {
            if (at + 9 > size)
                break;
            const qint64 right = le16(p + at) + qint64(le16(p + at + 4));
            const qint64 bottom = le16(p + at + 2) + qint64(le16(p + at + 6));
            largest = std::max(largest, std::max(screenWidth, right) * std::max(screenHeight, bottom));
            at += 9 + colourTable(p[at + 8]) + 1;   // the descriptor, its colour table, the code size
            skipSubBlocks();
        } else {
            break;
        }
    }
    return largest;
}

// A bitmap's size from its header: Qt's reader reports a top-down bitmap (a negative
// height) as having no size, while its decoder allocates the height's magnitude.
qint64 bmpPixels(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    if (data.size() < 26)
        return 0;
    if (le32(p + 14) == 12)   // the old header, of 16-bit sides
        return side(le16(p + 18)) * side(le16(p + 20));
    return side(std::abs(qint64(qint32(le32(p + 18))))) * side(std::abs(qint64(qint32(le32(p + 22)))));
}

// The scans of a JPEG, counted from its markers as the decoder meets them up to the end
// of the image (or one past the bound): a segment is skipped by its length, a scan's
// data to the next marker that is not a restart.
int jpegScans(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    int scans = 0;
    qint64 at = 2;
    while (at < size && scans <= maxJpegScans) {
        if (p[at] != 0xff) {   // the decoder skips what lies between segments
            ++at;
            continue;
        }
        while (at < size && p[at] == 0xff)
            ++at;
        if (at >= size)
            break;
        const uchar marker = p[at++];
        if (marker == 0xd9)
            break;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8))
            continue;   // no segment follows
        if (at + 2 > size)
            break;
        const qint64 length = qint64(p[at]) << 8 | p[at + 1];
        if (length < 2)
            break;
        at += length;
        if (marker != 0xda)
            continue;
        ++scans;
        for (; at + 1 < size; ++at) {
            if (p[at] == 0xff && p[at + 1] != 0 && p[at + 1] != 0xff && (p[at + 1] < 0xd0 || p[at + 1] > 0xd7))
                break;
        }
    }
    return scans;
}

void putBe32(uchar* p, quint32 v)
{
    p[0] = uchar(v >> 24);
    p[1] = uchar(v >> 16);
    p[2] = uchar(v >> 8);
    p[3] = uchar(v);
}

bool isDrawnChunk(const uchar* type, bool& profileSeen)
{
    if (!(type[0] & 0x20))
        return true;   // critical: the decoder refuses one it does not know
    static const char* const drawn[] = { "tRNS", "gAMA", "cHRM", "sRGB", "pHYs", "oFFs" };
    if (std::any_of(std::begin(drawn), std::end(drawn), [&](const char* name) { return std::memcmp(type, name, 4) == 0; }))
        return true;
    if (std::memcmp(type, "iCCP", 4) != 0 || profileSeen)
        return false;
    profileSeen = true;
    return true;
}

// Renames the chunks of the PNG at [start, end) of `data` that isDrawnChunk() does not
// keep, each with its CRC written again; `data` is detached only when one is found.
void renameUndrawnChunks(QByteArray& data, qint64 start, qint64 end)
{
    static const char privateType[] = "vyRq";   // ancillary, private, safe to copy
    if (start < 0 || end > data.size() || end - start < 8
        || std::memcmp(data.constData() + start, pngSignature, 8) != 0)
        return;
    bool profileSeen = false;
    for (qint64 at = start + 8; at + 12 <= end;) {
        const auto* p = reinterpret_cast<const uchar*>(data.constData());
        const qint64 length = be32(p + at);
        const qint64 next = at + 12 + length;
        if (!isDrawnChunk(p + at + 4, profileSeen)) {
            uchar* w = reinterpret_cast<uchar*>(data.data()) + at;
            std::memcpy(w + 4, privateType, 4);
            // One past the end is left as it is: the decoder stops there anyway.
            if (next <= end)
                putBe32(w + 8 + length, quint32(crc32(0, w + 4, uInt(4 + length))));
        } else if (std::memcmp(p + at + 4, "IEND", 4) == 0) {
            return;
        }
        at = next;
    }
}

QString sizeUnknown(const QByteArray& format)
{
    return QStringLiteral("its format (%1) does not tell the size it decodes to").arg(QString::fromLatin1(format));
}

QString tooManyPixels(qint64 bound)
{
    return QStringLiteral("larger than %1 pixels").arg(bound);
}

} // namespace

QByteArray withDrawnPngChunks(QByteArray data)
{
    const qint64 size = data.size();
    if (size >= 8 && std::memcmp(data.constData(), pngSignature, 8) == 0) {
        renameUndrawnChunks(data, 0, size);
        return data;
    }
    // An icon's entries, as iconPixels() walks them: a PNG entry is decoded whole.
    if (size < 6 || le16(reinterpret_cast<const uchar*>(data.constData())) != 0)
        return data;
    const quint32 kind = le16(reinterpret_cast<const uchar*>(data.constData()) + 2);
    if (kind != 1 && kind != 2)
        return data;
    const quint32 count = le16(reinterpret_cast<const uchar*>(data.constData()) + 4);
    for (quint32 i = 0; i < count; ++i) {
        const qint64 entry = 6 + 16 * qint64(i);
        if (entry + 16 > size)
            break;
        const auto* p = reinterpret_cast<const uchar*>(data.constData());
        const qint64 bytes = le32(p + entry + 8);
        const qint64 offset = le32(p + entry + 12);
        renameUndrawnChunks(data, offset, std::min(size, offset + bytes));
    }
    return data;
}

bool decodedPixels(const QByteArray& format, const QByteArray& data, const QSize& readerSize, qint64& pixels)
{
    if (format == "ico" || format == "cur") {
        pixels = iconPixels(data);
        return true;
    }
    if (format == "gif") {
        pixels = gifPixels(data);
        return true;
    }
    if (format == "bmp") {
        pixels = bmpPixels(data);
        return true;
    }
    // Decoders that allocate the size their header gives. SVG documents are rendered at
    // their own size.
    static const char* const headerSized[] = { "png", "jpeg", "jpg", "pbm", "pgm", "ppm",
                                               "xbm", "xpm", "svg", "svgz" };
    const bool known = std::any_of(std::begin(headerSized), std::end(headerSized),
                                   [&](const char* name) { return format == name; });
    if (!known)
        return false;
    pixels = readerSize.isValid() ? side(readerSize.width()) * side(readerSize.height()) : -1;
    return true;
}

namespace {

// The pixels the image `reader` stands on decodes to (-1 when its data do not tell),
// when they keep within `maxPixels` and its format's costs keep within theirs; false
// with the reason in `refusal` otherwise.
bool withinBounds(const QImageReader& reader, const QByteArray& format, const QByteArray& data, qint64 maxPixels,
                  qint64& pixels, QString& refusal)
{
    if (!decodedPixels(format, data, reader.size(), pixels)) {
        refusal = sizeUnknown(format);
        return false;
    }
    if (pixels > std::min(maxPixels, maxImagePixels)) {
        refusal = tooManyPixels(std::min(maxPixels, maxImagePixels));
        return false;
    }
    if ((format == "jpeg" || format == "jpg") && jpegScans(data) > maxJpegScans) {
        refusal = QStringLiteral("more than %1 scans").arg(maxJpegScans);
        return false;
    }
    return true;
}

} // namespace

bool imageCost(const QByteArray& data, ImageCost& cost, QString& refusal)
{
    refusal.clear();
    ImageBytesReader image(data);
    QImageReader& reader = image.reader();
    cost.format = image.format();
    if (cost.format.isEmpty())
        return false;
    if (image.isSvg()) {
        CheckedSvg svg;
        if (!boundedInnerSvg(data, svg, refusal))
            return false;
        if (svg.namesFiles) {
            refusal = QStringLiteral("an SVG naming images or style sheets, which its decoder would read itself");
            return false;
        }
    }
    if (!withinBounds(reader, cost.format, data, maxImagePixels, cost.pixels, refusal))
        return false;
    if (cost.pixels < 0) {
        refusal = sizeUnknown(cost.format);
        return false;
    }
    const QImage::Format decoded = reader.imageFormat();
    if (decoded != QImage::Format_Invalid)
        cost.bytesPerPixel = std::max(cost.bytesPerPixel, QImage::toPixelFormat(decoded).bitsPerPixel() / 8);
    return true;
}

QByteArray checkedImageFormat(const QByteArray& data, QString& refusal)
{
    ImageCost cost;
    return imageCost(data, cost, refusal) ? cost.format : QByteArray();
}

ImageRead readBoundedImage(QImageReader& reader, const QByteArray& format, const QByteArray& data, QImage& out,
                           QString& refusal, qint64 maxPixels)
{
    qint64 pixels = -1;
    if (!withinBounds(reader, format, data, maxPixels, pixels, refusal))
        return ImageRead::Refused;
    if (!reader.read(&out))
        return ImageRead::Failed;
    const qint64 bound = std::min(maxPixels, maxImagePixels);
    if (qint64(out.width()) * out.height() > bound) {
        out = QImage();
        refusal = tooManyPixels(bound);
        return ImageRead::Refused;
    }
    return ImageRead::Read;
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE ImageRead decodeImage(const QByteArray& data, QImage& out, QString& refusal, qint64 maxPixels)
{
    refusal.clear();
    ImageBytesReader bytes(data);
    if (bytes.format().isEmpty())
        return ImageRead::Failed;
    if (!bytes.isSvg())
        return readBoundedImage(bytes.reader(), bytes.format(), data, out, refusal, maxPixels);
    CheckedSvg svg;
    if (!boundedSvg(data, svg, refusal))
        return refusal.isEmpty() ? ImageRead::Failed : ImageRead::Refused;
    QBuffer buffer(&svg.text);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "svg");
    return readBoundedImage(reader, "svg", svg.text, out, refusal, maxPixels);
}

} // namespace vyr
