#pragma once

// Library-internal; not installed.
//
// What a theme image may cost before it is decoded. A small file can claim a size
// that decodes to gigabytes, and a container can claim one size and hold another, so
// the size checked is the one the decoder will allocate, read from the image's own
// header; formats whose decoder is not known to keep to such a header are refused.
// An SVG costs by its elements and text on every paint, so a document is read once
// through the same XML reader Qt's renderer uses (entities expanded) and refused past
// a bound on its length, its elements or its expanded text.

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <QString>

class QImage;

namespace vyr {

// 16 Mpx (64 MiB at 32 bits per pixel) is far beyond what a theme draws; drawing an
// image grey takes a few more copies of that size.
constexpr qint64 maxImagePixels = 16 * 1024 * 1024;
// An icon drawn from an SVG is parsed once but rendered on every paint: measured in a
// release build, 10,000 text elements take about 0.4 s a paint and 14 MB.
constexpr qint64 maxSvgBytes = 4 * 1024 * 1024;
constexpr int maxSvgElements = 10000;

// Pixels the image in `data` decodes to, for the reader format `format` whose reported
// size is `readerSize`: -1 when the header gives no size (decode, then check). False for
// a format whose decoder may allocate more than its header says.
bool decodedPixels(const QByteArray& format, const QByteArray& data, const QSize& readerSize, qint64& pixels);

// The format of the image in `data` when every frame of it keeps within the bounds at
// the size it decodes to, as read from the data (an SVG within the SVG bounds too),
// for a decoder that checks nothing after: a movie decodes its frames as it plays,
// rich text when it lays out. Empty otherwise, with the reason in `refusal`, which
// stays empty when `data` holds nothing Qt reads as an image.
QByteArray checkedImageFormat(const QByteArray& data, QString& refusal);

enum class ImageRead { Read, Failed, Refused };

// One QImageReader on image bytes in memory, its format guessed from them: the reader
// that checks the size then decodes, so Qt looks for the image plugin once.
class ImageBytesReader {
public:
    explicit ImageBytesReader(const QByteArray& data)
    {
        m_buffer.setData(data);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_buffer);
        m_format = m_reader.format();
    }
    QImageReader& reader() { return m_reader; }
    const QByteArray& format() const { return m_format; }
    bool isSvg() const { return m_format == "svg" || m_format == "svgz"; }

private:
    QBuffer m_buffer;
    QImageReader m_reader;
    QByteArray m_format;
};

// Reads the image of `data` through `reader`, set on those bytes with its format
// known (`format`), when it keeps within maxImagePixels, before and after decoding;
// Refused with the reason in `refusal` otherwise. One reader serves the format, the
// size and the pixels: each reader made looks through every image plugin again.
ImageRead readBoundedImage(QImageReader& reader, const QByteArray& format, const QByteArray& data, QImage& out,
                           QString& refusal);

// The SVG text of `data`, inflated when it is gzip-compressed, when it keeps within
// the bounds above; `weight` then estimates the bytes a renderer built from it holds.
// False with the reason in `refusal`, or with an empty `refusal` when the data do not
// inflate (which the renderer would refuse too).
bool boundedSvg(const QByteArray& data, QByteArray& text, qint64& weight, QString& refusal);

} // namespace vyr
