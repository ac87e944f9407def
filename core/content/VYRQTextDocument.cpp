#include "VYRQTextDocument.h"

#include "VYRQCssReader_p.h"
#include "VYRQHtmlReader_p.h"
#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"

#include <QImage>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QPixmap>
#include <QUrl>
#include <QVariant>
#include <QVector>

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
// `bytesLeft`, its bytes then in `bytes`, as our CSS reader writes it again. A refusal
// warns unless `quiet`.
QVariant readResource(int type, const QUrl& url, qint64 documentLeft, qint64 allLeft, qint64 bytesLeft,
                      vyr::CssCensus& census, bool quiet, qint64& pixels, qint64& sheetBytes)
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
            if (!quiet)
                qCWarning(vyrRes) << "rich-text style sheet" << url.toDisplayString().left(200) << "refused: larger than the"
                              << bytesLeft << "bytes left of" << VYRQTextDocument::maxSheetBytes;
            return nothing;
        }
    } else {
        const QString path = localPath(url);
        if (path.isEmpty())
            return nothing;
        const vyr::FileRead result = vyr::readRegularFile(path, sheet ? bytesLeft : vyr::maxFileBytes, bytes);
        if (!quiet && (result == vyr::FileRead::NotRegular || result == vyr::FileRead::TooLarge))
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
            if (!quiet)
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
    if (!refusal.isEmpty() && !quiet)
        qCWarning(vyrRes) << "rich-text image" << url.toDisplayString().left(200) << "refused:" << refusal;
    return nothing;
}

// A font's pixel size as the layout takes it (points at 96 dots an inch), and the
// height of its lines, taken large: most fonts' lines are 1.1 to 1.3 of their size.
qreal pixelSize(const QFont& font)
{
    const qreal size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72;
    return std::max<qreal>(size, 1);
}

constexpr qreal lineFactor = 1.5;
// What a character takes of a line, at most on average, in sizes of its font.
constexpr qreal advanceFactor = 0.6;
// The width a text is taken to wrap at when its document has none or a narrow one.
constexpr qreal wrapWidth = 200;
constexpr qreal narrowest = 50;

qreal wrappingWidth(qreal width)
{
    return width > 0 ? std::max(width, narrowest) : wrapWidth;
}

qreal frameHeight(QTextDocument& document, QTextFrame* frame, qreal width);

qreal imageHeight(QTextDocument& document, const QTextImageFormat& image)
{
    if (image.height() > 0)
        return image.height();
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
    QSizeF size;
    if (resource.canConvert<QPixmap>())
        size = resource.value<QPixmap>().size();
    else if (resource.canConvert<QImage>())
        size = resource.value<QImage>().size();
    if (image.width() > 0 && size.width() > 0)
        return image.width() * size.height() / size.width();
    return size.height();
}

// A line of natural height `natural` as the block's line height makes it.
qreal lineHeight(const QTextBlockFormat& format, qreal natural)
{
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        return natural * format.lineHeight() / 100;
    case QTextBlockFormat::FixedHeight:
        return format.lineHeight();
    case QTextBlockFormat::MinimumHeight:
        return std::max(natural, format.lineHeight());
    case QTextBlockFormat::LineDistanceHeight:
        return natural + format.lineHeight();
    default:
        return natural;
    }
}

qreal blockHeight(QTextDocument& document, const QTextBlock& block, qreal width)
{
    const QFont base = document.defaultFont();
    const QTextBlockFormat format = block.blockFormat();
    qreal size = pixelSize(block.charFormat().font().resolve(base));
    QVector<qreal> images;
    qreal characters = 0;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat charFormat = fragment.charFormat();
        if (charFormat.isImageFormat()) {
            images.append(imageHeight(document, charFormat.toImageFormat()) * fragment.length());
            continue;
        }
        size = std::max(size, pixelSize(charFormat.font().resolve(base)));
        characters += fragment.length();
    }
    const qreal line = size * lineFactor;
    // Its line breaks, or as many lines as its characters fill, whichever is more;
    // each image on a line of its own, at most.
    const qreal lines = std::max<qreal>(1 + block.text().count(QChar::LineSeparator),
                                        characters * advanceFactor * size / wrappingWidth(width));
    qreal height = lines * std::max<qreal>(lineHeight(format, line), 0);
    for (qreal image : images)
        height += std::max<qreal>(lineHeight(format, image + line), 0);
    return height + std::max<qreal>(format.topMargin(), 0) + std::max<qreal>(format.bottomMargin(), 0);
}

// What the blocks and frames `begin` walks take, one below the other.
qreal contentHeight(QTextDocument& document, QTextFrame::iterator it, qreal width)
{
    qreal height = 0;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame())
            height += frameHeight(document, child, width);
        else
            height += blockHeight(document, it.currentBlock(), width);
    }
    return height;
}

// A frame's or table's height: a table's rows each as tall as their tallest cell.
qreal frameHeight(QTextDocument& document, QTextFrame* frame, qreal width)
{
    const QTextFrameFormat format = frame->frameFormat();
    qreal height = 0;
    if (auto* table = qobject_cast<QTextTable*>(frame)) {
        const QTextTableFormat tableFormat = table->format();
        const qreal spacing = std::max<qreal>(tableFormat.cellSpacing(), 0);
        for (int row = 0; row < table->rows(); ++row) {
            qreal tallest = 0;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (!cell.isValid() || cell.row() != row || cell.column() != column)
                    continue;
                const QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                const qreal padding = std::max<qreal>(cellFormat.topPadding(), 0)
                    + std::max<qreal>(cellFormat.bottomPadding(), 0) + 2 * std::max<qreal>(tableFormat.cellPadding(), 0);
                tallest = std::max(tallest, contentHeight(document, cell.begin(), width) + padding);
            }
            height += tallest + spacing + 2 * std::max<qreal>(tableFormat.border(), 0);
        }
        height += spacing;
    } else {
        height = contentHeight(document, frame->begin(), width);
    }
    height += 2 * (std::max<qreal>(format.border(), 0) + std::max<qreal>(format.padding(), 0))
        + std::max<qreal>(format.topMargin(), 0) + std::max<qreal>(format.bottomMargin(), 0);
    if (format.height().type() == QTextLength::FixedLength)
        height = std::max(height, format.height().rawValue());
    return height;
}

// How tall Qt lays out `document` at `width`, at most.
qreal laidOutHeight(QTextDocument& document, qreal width)
{
    return frameHeight(document, document.rootFrame(), width);
}

// How many characters of a plain text from its start lay out within maxHeight.
int plainHeightFit(const QString& text, const QFont& font, qreal width)
{
    const qreal size = pixelSize(font);
    const qreal line = size * lineFactor;
    const qreal perCharacter = advanceFactor * size / wrappingWidth(width) * line;
    qreal height = line;
    for (int i = 0; i < text.size(); ++i) {
        height += text.at(i) == QLatin1Char('\n') ? line : perCharacter;
        if (height > VYRQTextDocument::maxHeight)
            return i;
    }
    return text.size();
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
    clear();
    // Qt's layout waits for a page size: the text is built, weighed and, when too
    // tall, dropped before any of it is laid out.
    const QSizeF page = pageSize();
    setPageSize(QSizeF(0, 0));
    QString html;
    QString refusal;
    const bool rich = readRich(text, format, html, refusal, this);
    if (rich)
        setHtml(html);
    QString plain;
    QString uncut;
    const bool kept = weigh(*this, page.width(), text, rich, refusal, plain, &uncut);
    setPageSize(page);
    if (!kept)
        setPlainText(plain);
    m_uncut = uncut;
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE bool VYRQTextDocument::richText(const QString& text, Qt::TextFormat format, QString& shown,
                                               const QFont& font, qreal width, VYRQTextDocument* parser)
{
    QString refusal;
    // Built apart, never laid out, to be weighed; its style sheets charged as the
    // parser's will be, which warns of what both refuse.
    VYRQTextDocument built;
    built.m_quiet = parser != nullptr;
    const bool rich = readRich(text, format, shown, refusal, &built);
    const vyr::CssCensus census = *built.m_census;
    built.setDefaultFont(font);
    if (rich)
        built.setHtml(shown);
    const bool kept = weigh(built, width, text, rich, refusal, shown);
    if (kept && parser)
        parser->readNext(census);
    return kept;
}

bool VYRQTextDocument::readRich(const QString& text, Qt::TextFormat format, QString& html, QString& refusal,
                                VYRQTextDocument* parser)
{
    html.clear();
    refusal.clear();
    if (format != Qt::RichText && (format != Qt::AutoText || !Qt::mightBeRichText(text)))
        return false;
    vyr::HtmlRead read = vyr::readHtml(text);
    if (!read.withinBounds) {
        refusal = read.refusal;
        return false;
    }
    html = std::move(read.html);
    if (parser)
        parser->readNext(read.census);
    return true;
}

void VYRQTextDocument::readNext(const vyr::CssCensus& census)
{
    *m_census = census;
    for (const QUrl& name : qAsConst(m_sheets))
        addResource(StyleSheetResource, name, QVariant());
    m_sheets.clear();
}

bool VYRQTextDocument::weigh(QTextDocument& document, qreal width, const QString& text, bool built,
                             const QString& refusal, QString& plain, QString* uncut)
{
    QString why = refusal;
    if (built) {
        const qreal height = laidOutHeight(document, width);
        if (height <= maxHeight)
            return true;
        document.clear();
        why = QStringLiteral("lays out about %1 pixels tall, past %2").arg(qint64(height)).arg(qint64(maxHeight));
    }
    const bool rich = built || !why.isEmpty();
    plain = rich ? vyr::htmlPlainText(text) : text;
    int fit = std::min(vyr::plainTextFit(plain), plainHeightFit(plain, document.defaultFont(), width));
    const int whole = plain.size();
    if (uncut && fit < whole)
        *uncut = plain;
    if (fit < whole && fit > 0 && plain.at(fit - 1).isHighSurrogate())
        --fit;
    if (fit < whole)
        plain.truncate(fit);
    const QString cut = fit < whole ? QStringLiteral(", its first %1 characters").arg(fit) : QString();
    if (rich) {
        qCWarning(vyrControls).noquote()
            << QStringLiteral("rich text of %1 characters shown as plain text%2: it %3").arg(text.size()).arg(cut, why);
    } else if (fit < whole) {
        qCWarning(vyrControls).noquote()
            << QStringLiteral("plain text of %1 characters shown as its first %2: the rest lays out past the bounds")
                   .arg(whole)
                   .arg(fit);
    }
    return false;
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
    m_uncut.clear();
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
                                           maxSheetBytes - m_sheetBytes, *m_census, m_quiet, pixels, sheetBytes);
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
