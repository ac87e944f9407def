#include "VYRQTextDocument.h"

#include "VYRQCssReader_p.h"
#include "VYRQHtmlReader_p.h"
#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"

#include <QImage>
#include <QPixmap>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace {

// "data:[<type>][;base64],<payload>"
QByteArray dataUrlBytes(const QUrl& url)
{
    const QByteArray text = url.toEncoded();
    const int comma = text.indexOf(',');
    if (comma < 0)
        return QByteArray();
    QByteArray payload = QByteArray::fromPercentEncoding(text.mid(comma + 1));
    if (text.left(comma).toLower().endsWith(";base64"))
        payload = QByteArray::fromBase64(payload);
    return payload;
}

// The file Qt's document would read for `url`: a name without a scheme is a path (from
// the working directory, or into the resources with ":"); empty for any other scheme.
QString localPath(const QUrl& url)
{
    if (url.scheme().isEmpty())
        return url.path(QUrl::FullyDecoded);
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path(QUrl::FullyDecoded);
    return QString();
}

// What a refused or missing image shows: nothing, in a pixel.
QPixmap noImage()
{
    QPixmap image(1, 1);
    image.fill(Qt::transparent);
    return image;
}

// The pixels the images of every document hold together.
std::atomic<qint64>& heldByAll()
{
    static std::atomic<qint64> pixels{0};
    return pixels;
}

// The resource of `type` at `url`; an image only when it decodes to no more than
// `documentLeft` and `allLeft`, its pixels then in `pixels`; a style sheet only within
// `bytesLeft`, its bytes then in `bytes`, as our CSS reader writes it again.
QVariant readResource(int type, const QUrl& url, qint64 documentLeft, qint64 allLeft, qint64 bytesLeft,
                      vyr::CssCensus& census, qint64& pixels, qint64& sheetBytes)
{
    pixels = 0;
    sheetBytes = 0;
    const bool sheet = type == QTextDocument::StyleSheetResource;
    // Never null, nor an image that does not decode: Qt's document takes a null result
    // as leave to read the file itself, and its image handler then loads the image
    // from the name directly.
    const QVariant nothing = type == QTextDocument::ImageResource ? QVariant(noImage()) : QVariant(QByteArray(""));
    QByteArray bytes;
    if (url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) {
        bytes = dataUrlBytes(url);
        if (sheet && bytes.size() > bytesLeft) {
            qCWarning(vyrRes) << "rich-text style sheet" << url.toDisplayString().left(200) << "refused: larger than the"
                              << bytesLeft << "bytes left of" << VYRQTextDocument::maxSheetBytes;
            return nothing;
        }
    } else {
        const QString path = localPath(url);
        if (path.isEmpty())
            return nothing;
        const vyr::FileRead result = vyr::readRegularFile(path, sheet ? bytesLeft : vyr::maxFileBytes, bytes);
        if (result == vyr::FileRead::NotRegular || result == vyr::FileRead::TooLarge)
            qCWarning(vyrRes) << "rich-text resource" << path << "refused:" << vyr::fileReadText(result)
                              << (sheet ? QStringLiteral("(%1 of the %2 bytes of style sheets left)")
                                              .arg(bytesLeft).arg(VYRQTextDocument::maxSheetBytes)
                                        : QString());
    }
    if (bytes.isEmpty())
        return nothing;
    if (sheet) {
        sheetBytes = bytes.size();
        // Its own imports are not followed: the HTML reader counted this one sheet.
        const vyr::CssRead css = vyr::readCssSheet(QString::fromUtf8(bytes), false);
        const qint64 work = vyr::cssWork(css.targets, census);
        if (work > census.workLeft) {
            qCWarning(vyrRes) << "rich-text style sheet" << url.toDisplayString().left(200)
                              << "refused: its rules matched against" << census.elements << "elements cost" << work
                              << "of the" << census.workLeft << "left of" << vyr::maxHtmlStyleWork;
            return nothing;
        }
        census.workLeft -= work;
        return css.css;
    }
    if (type != QTextDocument::ImageResource)
        return nothing;
    QString refusal;
    QImage image;
    const qint64 left = std::min(documentLeft, allLeft);
    if (vyr::decodeImage(bytes, image, refusal, left) == vyr::ImageRead::Read && !image.isNull()) {
        pixels = qint64(image.width()) * image.height();
        // Held as a pixmap, which every use shares: Qt's document turns an image into
        // a new pixmap at each paint, and into one of its own for each cell or block
        // whose background names it.
        return QPixmap::fromImage(std::move(image));
    }
    if (!refusal.isEmpty() && left < vyr::maxImagePixels) {
        refusal += documentLeft <= allLeft
            ? QStringLiteral(" (%1 of the %2 pixels in one document left)").arg(left).arg(VYRQTextDocument::maxDocumentPixels)
            : QStringLiteral(" (%1 of the %2 pixels in all rich text left)").arg(left).arg(VYRQTextDocument::maxAllPixels);
    }
    if (!refusal.isEmpty())
        qCWarning(vyrRes) << "rich-text image" << url.toDisplayString().left(200) << "refused:" << refusal;
    return nothing;
}

} // namespace

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE VYRQTextDocument::VYRQTextDocument(QObject* parent)
    : QTextDocument(parent)
    , m_census(std::make_unique<vyr::CssCensus>())
{
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQTextDocument::setContent(const QString& text, Qt::TextFormat format)
{
    QString html;
    const bool rich = richText(text, format, html, this);
    clear();
    if (rich)
        setHtml(html);
    else
        setPlainText(text);
}

bool VYRQTextDocument::richText(const QString& text, Qt::TextFormat format, QString& html, VYRQTextDocument* parser)
{
    html.clear();
    if (format != Qt::RichText && (format != Qt::AutoText || !Qt::mightBeRichText(text)))
        return false;
    vyr::HtmlRead read = vyr::readHtml(text);
    if (!read.withinBounds) {
        qCWarning(vyrControls) << "rich text of" << text.size() << "characters shown as plain text: it"
                               << qPrintable(read.refusal);
        return false;
    }
    html = std::move(read.html);
    if (parser) {
        *parser->m_census = std::move(read.census);
        // A sheet Qt holds from an earlier text would be matched again, and not counted.
        for (const QUrl& name : qAsConst(parser->m_sheets))
            parser->addResource(StyleSheetResource, name, QVariant());
        parser->m_sheets.clear();
    }
    return true;
}

VYRQTextDocument::~VYRQTextDocument()
{
    heldByAll() -= m_pixels;
}

void VYRQTextDocument::clear()
{
    QTextDocument::clear();
    heldByAll() -= m_pixels;
    m_heldPixels.clear();
    m_pixels = 0;
    m_sheetBytes = 0;
}

QVariant VYRQTextDocument::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() && !baseUrl().isEmpty() ? baseUrl().resolved(name) : name;
    // A name read again replaces what it held.
    const qint64 earlier = m_heldPixels.take(name);
    m_pixels -= earlier;
    heldByAll() -= earlier;
    qint64 pixels = 0;
    qint64 sheetBytes = 0;
    const QVariant resource = readResource(type, url, maxDocumentPixels - m_pixels, maxAllPixels - heldByAll(),
                                           maxSheetBytes - m_sheetBytes, *m_census, pixels, sheetBytes);
    if (type == StyleSheetResource)
        m_sheets.insert(name);
    m_sheetBytes += sheetBytes;
    if (pixels > 0) {
        m_heldPixels.insert(name, pixels);
        m_pixels += pixels;
        heldByAll() += pixels;
    }
    // Kept, as Qt's document keeps what it read: layout and painting ask again and again.
    addResource(type, name, resource);
    return resource;
}
