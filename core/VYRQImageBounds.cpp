#include "VYRQImageBounds_p.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <zlib.h>

namespace vyr {

namespace {

quint32 le16(const uchar* p) { return quint32(p[0]) | quint32(p[1]) << 8; }
quint32 le32(const uchar* p) { return le16(p) | le16(p + 2) << 16; }
quint32 be32(const uchar* p) { return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]; }

// Kept below 2^30 per side so that a product never overflows.
qint64 side(qint64 v) { return std::min<qint64>(std::max<qint64>(v, 0), qint64(1) << 30); }

// An icon file's directory gives each entry's size in a byte (0 standing for 256), and
// that is what the reader reports; but an entry holding a PNG image is decoded at the
// PNG's own size, and a bitmap entry whose directory size is 0 at its header's size.
// Every entry counts, whichever one gets decoded.
qint64 iconPixels(const QByteArray& data)
{
    static const char pngSignature[] = "\x89PNG\r\n\x1a\n";
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

bool inflateGzip(const QByteArray& data, qint64 maxBytes, QByteArray& out, bool& tooLarge)
{
    tooLarge = false;
    out.clear();
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    constexpr int step = 64 * 1024;
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (out.size() > maxBytes) {
            tooLarge = true;
            break;
        }
        const int at = out.size();
        out.resize(at + step);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + at);
        stream.avail_out = step;
        rc = inflate(&stream, Z_NO_FLUSH);
        out.resize(at + step - int(stream.avail_out));
    }
    inflateEnd(&stream);
    if (rc != Z_STREAM_END || out.size() > maxBytes) {
        tooLarge = tooLarge || out.size() > maxBytes;
        out.clear();
        return false;
    }
    return true;
}

QString sizeUnknown(const QByteArray& format)
{
    return QStringLiteral("its format (%1) does not tell the size it decodes to").arg(QString::fromLatin1(format));
}

QString tooManyPixels()
{
    return QStringLiteral("larger than %1 pixels").arg(maxImagePixels);
}

} // namespace

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
    // Decoders that allocate the size their header gives. SVG documents are rendered at
    // their own size.
    static const char* const headerSized[] = { "png", "jpeg", "jpg", "bmp", "pbm", "pgm", "ppm",
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
// when they keep within the bound; false with the reason in `refusal` otherwise.
bool pixelsWithin(const QImageReader& reader, const QByteArray& format, const QByteArray& data, qint64& pixels,
                  QString& refusal)
{
    if (!decodedPixels(format, data, reader.size(), pixels)) {
        refusal = sizeUnknown(format);
        return false;
    }
    if (pixels > maxImagePixels) {
        refusal = tooManyPixels();
        return false;
    }
    return true;
}

} // namespace

QByteArray checkedImageFormat(const QByteArray& data, QString& refusal)
{
    refusal.clear();
    ImageBytesReader image(data);
    QImageReader& reader = image.reader();
    const QByteArray format = image.format();
    if (format.isEmpty())
        return QByteArray();
    if (image.isSvg()) {
        QByteArray text;
        qint64 weight = 0;
        if (!boundedSvg(data, text, weight, refusal))
            return QByteArray();
    }
    qint64 pixels = -1;
    if (!pixelsWithin(reader, format, data, pixels, refusal))
        return QByteArray();
    if (pixels < 0) {
        refusal = sizeUnknown(format);
        return QByteArray();
    }
    return format;
}

ImageRead readBoundedImage(QImageReader& reader, const QByteArray& format, const QByteArray& data, QImage& out,
                           QString& refusal)
{
    qint64 pixels = -1;
    if (!pixelsWithin(reader, format, data, pixels, refusal))
        return ImageRead::Refused;
    if (!reader.read(&out))
        return ImageRead::Failed;
    if (qint64(out.width()) * out.height() > maxImagePixels) {
        out = QImage();
        refusal = tooManyPixels();
        return ImageRead::Refused;
    }
    return ImageRead::Read;
}

bool boundedSvg(const QByteArray& data, QByteArray& text, qint64& weight, QString& refusal)
{
    refusal.clear();
    weight = 0;
    if (data.size() > maxSvgBytes) {
        refusal = QStringLiteral("more than %1 bytes").arg(maxSvgBytes);
        return false;
    }
    text = data;
    if (data.startsWith("\x1f\x8b")) {
        bool tooLarge = false;
        if (!inflateGzip(data, maxSvgBytes, text, tooLarge)) {
            if (tooLarge)
                refusal = QStringLiteral("more than %1 bytes inflated").arg(maxSvgBytes);
            return false;
        }
    }

    // Entities expand into elements and text, so they are counted as the renderer's
    // reader sees them; the walk stops at the first bound passed.
    QXmlStreamReader xml(text);
    qint64 elements = 0;
    qint64 characters = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++elements > maxSvgElements) {
                refusal = QStringLiteral("more than %1 elements").arg(maxSvgElements);
                return false;
            }
            for (const QXmlStreamAttribute& attribute : xml.attributes())
                characters += attribute.value().size();
        } else if (token == QXmlStreamReader::Characters) {
            characters += xml.text().size();
        }
        if (characters > maxSvgBytes) {
            refusal = QStringLiteral("text of more than %1 characters").arg(maxSvgBytes);
            return false;
        }
    }
    // Measured: up to about 1.5 KB a parsed element and two bytes a character.
    weight = elements * 2048 + (text.size() + characters) * 2;
    return true;
}

} // namespace vyr
