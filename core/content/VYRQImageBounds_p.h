#pragma once

// Library-internal; not installed.
//
// What a theme image may cost before it is decoded. A small file can claim a size
// that decodes to gigabytes, and a container can claim one size and hold another, so
// the size checked is the one the decoder will allocate, read from the image's own
// header; formats whose decoder is not known to keep to such a header are refused. A
// progressive JPEG costs a pass over the whole image for each of its scans, however
// few bytes a scan holds, so its scans are counted from its markers. A PNG's ancillary
// chunks are inflated and kept whole by its decoder (a text chunk of a few kilobytes
// holds megabytes), so Qt is given only the ones it draws with. SVG documents are read
// by VYRQSvgBounds_p.h.

#include "VYRQSvgBounds_p.h"

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
// Measured: 1,000 scans of a 4096 x 4096 progressive JPEG take 1.3 s to decode, however
// few bytes each holds; a progressive JPEG written by an encoder has about ten.
constexpr int maxJpegScans = 100;

// Pixels the image in `data` decodes to, for the reader format `format` whose reported
// size is `readerSize`: -1 when the header gives no size (decode, then check). False for
// a format whose decoder may allocate more than its header says.
bool decodedPixels(const QByteArray& format, const QByteArray& data, const QSize& readerSize, qint64& pixels);

// What decoding the image in `data` whole costs: its format, the most pixels one of its
// frames decodes to, and the bytes a pixel takes decoded.
struct ImageCost {
    QByteArray format;
    qint64 pixels = 0;
    int bytesPerPixel = 4;
};

// The cost of the image in `data` when every frame of it keeps within the bounds at the
// size it decodes to, as read from the data (an SVG within the SVG bounds, naming no
// image or style sheet), for a decoder that checks nothing after: a movie decodes its
// frames as it plays, Qt's SVG renderer an image as it reads the document. False
// otherwise, with the reason in `refusal`, which stays empty when `data` holds nothing
// Qt reads as an image.
bool imageCost(const QByteArray& data, ImageCost& cost, QString& refusal);

// The format of imageCost(), empty when it gives false.
QByteArray checkedImageFormat(const QByteArray& data, QString& refusal);

// `data` with every PNG in it (the whole, or an icon's entry) holding only the chunks
// Qt draws with: the critical ones, transparency, colour space (one ICC profile), pixel
// size and offset. Any other ancillary chunk (text, compressed or not, among them) is
// renamed to a private one the decoder skips, in place, so that sizes and offsets stay.
// Anything that is not a PNG is returned as it is.
QByteArray withDrawnPngChunks(QByteArray data);

enum class ImageRead { Read, Failed, Refused };

// One QImageReader on image bytes in memory, its format guessed from them: the reader
// that checks the size then decodes, so Qt looks for the image plugin once.
class ImageBytesReader {
public:
    // Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
    Q_NEVER_INLINE explicit ImageBytesReader(const QByteArray& data)
    {
        m_buffer.setData(withDrawnPngChunks(data));
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
// known (`format`), when it keeps within `maxPixels` (at most maxImagePixels) and its
// format's costs, before and after decoding; Refused with the reason in `refusal`
// otherwise. One reader serves the format, the size and the pixels: each reader made
// looks through every image plugin again.
ImageRead readBoundedImage(QImageReader& reader, const QByteArray& format, const QByteArray& data, QImage& out,
                           QString& refusal, qint64 maxPixels = maxImagePixels);

// The one way an image is decoded from bytes, wherever it is named: its format guessed
// from the data, its header and cost checked, within `maxPixels` (what is left of the
// budget of the document it is for, at most maxImagePixels). An SVG is drawn at its own
// size from the document boundedSvg() gives. Failed when the data hold no image Qt
// reads, Refused with the reason in `refusal` when it passes a bound.
ImageRead decodeImage(const QByteArray& data, QImage& out, QString& refusal, qint64 maxPixels = maxImagePixels);

} // namespace vyr
