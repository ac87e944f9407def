#include "VYRQSvgBounds_p.h"

#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"
#include "VYRQSvgQuickReading_p.h"
#include "VYRQSvgStrokeWork_p.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>
#include <zlib.h>

namespace vyr {

namespace {

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

// Qt's renderer reads the document with prefixes taken as written, as here: the same
// tokens, whatever the namespaces declared.
void readAsTheRenderer(QXmlStreamReader& xml)
{
    xml.setNamespaceProcessing(false);
}

bool isImage(const QXmlStreamReader& xml)
{
    return xml.name() == QLatin1String("image");
}

// The attribute the renderer takes an image's source from.
QString imageSource(const QXmlStreamReader& xml)
{
    return xml.attributes().value(QLatin1String("xlink:href")).toString();
}

bool isStyleSheet(const QXmlStreamReader& xml)
{
    return xml.processingInstructionTarget() == QLatin1String("xml-stylesheet");
}

// What becomes of the images of one document, in document order.
class ImageRoutes {
public:
    explicit ImageRoutes(bool read) : m_read(read) {}

    // Keeps the image `source` names when it keeps within the bounds.
    void route(const QString& source)
    {
        m_kept.push_back(QByteArray());
        if (source.isEmpty() || !m_read)
            return;   // no source: the renderer draws nothing, and there is nothing to say
        QByteArray bytes;
        QString why = read(source, bytes);
        ImageCost cost;
        if (why.isEmpty() && !imageCost(bytes, cost, why) && why.isEmpty())
            why = QStringLiteral("not an image");
        if (why.isEmpty() && m_pixels + cost.pixels > maxImagePixels)
            why = QStringLiteral("its images would have more than %1 pixels").arg(maxImagePixels);
        if (!why.isEmpty()) {
            leaveOut(source, why);
            return;
        }
        m_bytes += bytes.size();
        m_pixels += cost.pixels;
        m_held += cost.pixels * cost.bytesPerPixel;
        m_kept.back() = "data:image;base64," + withDrawnPngChunks(std::move(bytes)).toBase64();
    }

    void leaveOut(const QString& name, const QString& why)
    {
        if (m_leftOut++ == 0)
            m_first = name.left(200) + QStringLiteral(": ") + why;
    }

    int count() const { return int(m_kept.size()); }
    // The data URL of the `index`th image, empty when it is left out.
    const QByteArray& kept(int index) const { return m_kept.at(size_t(index)); }
    qint64 heldBytes() const { return m_held; }

    void warn() const
    {
        if (m_leftOut > 0)
            qCWarning(vyrRes) << "SVG:" << m_leftOut << "of its images and style sheets left out, the first" << m_first;
    }

private:
    // The bytes of the image `source` names, read as the renderer would read them (a
    // data URL when it starts with "data", else a file from the working folder), when
    // they fit beside the document's other images; else why not.
    QString read(const QString& source, QByteArray& bytes) const
    {
        const QString tooMany = QStringLiteral("its images would hold more than %1 bytes").arg(maxSvgBytes);
        if (source.startsWith(QLatin1String("data"))) {
            const int base64 = source.lastIndexOf(QLatin1String("base64,"));
            if (base64 < 0)
                return QStringLiteral("not a base64 data URL");
            bytes = QByteArray::fromBase64(source.mid(base64 + 7).toLatin1());
            return m_bytes + bytes.size() > maxSvgBytes ? tooMany : QString();
        }
        const FileRead result = readRegularFile(source, maxSvgBytes - m_bytes, bytes);
        if (result == FileRead::TooLarge)
            return tooMany;
        return result == FileRead::Read ? QString() : QString::fromLatin1(fileReadText(result));
    }

    bool m_read;
    std::vector<QByteArray> m_kept;
    qint64 m_bytes = 0;
    qint64 m_pixels = 0;
    qint64 m_held = 0;
    int m_leftOut = 0;
    QString m_first;
};

// The document again, each image's source replaced by the data URL kept for it or the
// image left out, and its processing instructions, comments and type declaration
// dropped (entities are expanded in what the reader gives).
QByteArray routed(const QByteArray& text, const ImageRoutes& images)
{
    QByteArray out;
    QXmlStreamReader xml(text);
    readAsTheRenderer(xml);
    QXmlStreamWriter writer(&out);
    int image = 0;
    int skipping = 0;   // the depth within an element left out
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartDocument:
            writer.writeStartDocument();
            break;
        case QXmlStreamReader::StartElement: {
            // Counted as the first reading met them, those within one left out too.
            const bool isAnImage = isImage(xml) && image < images.count();
            const QByteArray source = isAnImage ? images.kept(image++) : QByteArray();
            if (skipping > 0 || (isAnImage && source.isEmpty())) {
                ++skipping;
                break;
            }
            writer.writeStartElement(xml.qualifiedName().toString());
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                if (source.isEmpty() || attribute.qualifiedName() != QLatin1String("xlink:href"))
                    writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            }
            if (!source.isEmpty())
                writer.writeAttribute(QStringLiteral("xlink:href"), QString::fromLatin1(source));
            break;
        }
        case QXmlStreamReader::EndElement:
            if (skipping > 0)
                --skipping;
            else
                writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (skipping > 0)
                break;
            if (xml.isCDATA())
                writer.writeCDATA(xml.text().toString());
            else
                writer.writeCharacters(xml.text().toString());
            break;
        case QXmlStreamReader::EndDocument:
            writer.writeEndDocument();
            break;
        default:
            break;
        }
    }
    return out;
}

// Whether `text` holds `word`, found through its letter at `at` (its rarest).
bool holds(const QByteArray& text, char letter, int at, const char* word)
{
    const int length = int(std::strlen(word));
    const char* begin = text.constData();
    const char* end = begin + text.size();
    for (const char* p = begin + at; p < end && (p = static_cast<const char*>(std::memchr(p, letter, size_t(end - p))));
         ++p) {
        const char* from = p - at;
        if (from >= begin && end - from >= length && std::memcmp(from, word, size_t(length)) == 0)
            return true;
    }
    return false;
}

// Whether a document read without entities may hold a <use> element: "<use" or,
// prefixed, ":use".
bool holdsUse(const QByteArray& text)
{
    return holds(text, 'u', 1, "<use") || holds(text, 'u', 1, ":use");
}

// Measured: up to about 1.5 KB a parsed element and two bytes a character.
qint64 weightOf(qint64 elements, qint64 characters, qint64 textBytes, qint64 imageBytes)
{
    return elements * 2048 + (textBytes + characters) * 2 + imageBytes;
}

// Why a document of `characters` whose painting asks `work` is refused, if it is. Text
// is laid out again for each <use> that draws it. A count that is not a number (an
// infinite stretch times nothing) is past its bound. Each bound is what one kind of
// work may cost a paint; shapes and text together share one.
QString pastBound(qint64 characters, const SvgStrokeWork::Totals& work)
{
    if (!(characters + work.textThroughUses <= maxSvgBytes))
        return QStringLiteral("text of more than %1 characters, counted for each use").arg(maxSvgBytes);
    if (!(work.points <= maxSvgPoints))
        return QStringLiteral("shapes of more than %1 points").arg(maxSvgPoints);
    if (!(work.dashes <= maxSvgDashes))
        return QStringLiteral("strokes of more than %1 dashes").arg(maxSvgDashes);
    if (!(work.outline <= maxSvgOutline))
        return QStringLiteral("shapes of more than %1 pixels of edges").arg(maxSvgOutline);
    if (!(work.glyphs <= maxSvgGlyphs))
        return QStringLiteral("text of more than %1 glyphs laid out, its runs and uses counted").arg(maxSvgGlyphs);
    // A shape's points and edges are two measures of much the same work.
    if (!(std::max(work.points / maxSvgPoints, work.outline / maxSvgOutline) + work.glyphs / maxSvgGlyphs <= 1))
        return QStringLiteral("shapes and glyphs together past one paint's bound");
    return QString();
}

bool inspect(const QByteArray& data, CheckedSvg& out, QString& refusal, bool readImages)
{
    refusal.clear();
    out = CheckedSvg();
    if (data.size() > maxSvgBytes) {
        refusal = QStringLiteral("more than %1 bytes").arg(maxSvgBytes);
        return false;
    }
    QByteArray text = data;
    if (data.startsWith("\x1f\x8b")) {
        bool tooLarge = false;
        if (!inflateGzip(data, maxSvgBytes, text, tooLarge)) {
            if (tooLarge)
                refusal = QStringLiteral("more than %1 bytes inflated").arg(maxSvgBytes);
            return false;
        }
    }

    // Nearly every document is read once, quickly, and handed on as it is. Its strokes
    // are counted however short it is: a single circle far off the picture, in 16
    // bytes, is flattened into 2,048 segments and walks more edge than a paint may.
    // Its paths are first bounded without reading their numbers digit by digit, which
    // most documents keep well within; one that does not is counted again exactly.
    const bool uses = holdsUse(text);
    for (const SvgStrokeWork::Paths paths : { SvgStrokeWork::Paths::Bounded, SvgStrokeWork::Paths::Exact }) {
        SvgStrokeWork strokes(uses, paths);
        SvgQuickReading quick(text, strokes);
        if (!quick.read())
            break;
        if (pastBound(quick.characters(), strokes.totals()).isEmpty()) {
            out.text = text;
            out.weight = weightOf(quick.elements(), quick.characters(), text.size(), 0);
            return true;
        }
    }

    // Entities expand into elements and text, so they are counted as the renderer's
    // reader sees them; the walk stops at the first bound passed.
    QXmlStreamReader xml(text);
    readAsTheRenderer(xml);
    qint64 elements = 0;
    qint64 characters = 0;
    SvgStrokeWork strokes;
    ImageRoutes images(readImages);
    int styleSheets = 0;
    QString sheet;   // the text of the <style> element being read
    bool inSheet = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++elements > maxSvgElements) {
                refusal = QStringLiteral("more than %1 elements").arg(maxSvgElements);
                return false;
            }
            for (const QXmlStreamAttribute& attribute : xml.attributes())
                characters += attribute.value().size();
            strokes.startElement(xml);
            if (isImage(xml))
                images.route(imageSource(xml));
            if (xml.name() == QLatin1String("style")) {
                inSheet = true;
                sheet.clear();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            strokes.endElement();
            if (xml.name() == QLatin1String("style")) {
                strokes.styleSheet(sheet);
                inSheet = false;
            }
        } else if (token == QXmlStreamReader::Characters) {
            characters += xml.text().size();
            strokes.characters(xml.text());
            if (inSheet)
                sheet += xml.text();
        } else if (token == QXmlStreamReader::ProcessingInstruction && isStyleSheet(xml)) {
            ++styleSheets;
            images.leaveOut(xml.processingInstructionData().toString(), QStringLiteral("a style sheet"));
        }
        if (characters > maxSvgBytes) {
            refusal = QStringLiteral("text of more than %1 characters").arg(maxSvgBytes);
            return false;
        }
    }
    // A document the reader stops in is one the renderer refuses.
    if (xml.hasError())
        return false;
    refusal = pastBound(characters, strokes.totals());
    if (!refusal.isEmpty())
        return false;
    out.namesFiles = images.count() > 0 || styleSheets > 0;
    out.text = out.namesFiles ? routed(text, images) : text;
    out.weight = weightOf(elements, characters, out.text.size(), images.heldBytes());
    if (readImages)
        images.warn();
    return true;
}

} // namespace

bool boundedSvg(const QByteArray& data, CheckedSvg& out, QString& refusal)
{
    return inspect(data, out, refusal, true);
}

bool boundedInnerSvg(const QByteArray& data, CheckedSvg& out, QString& refusal)
{
    return inspect(data, out, refusal, false);
}

} // namespace vyr
