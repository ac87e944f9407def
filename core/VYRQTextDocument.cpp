#include "VYRQTextDocument.h"

#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"

#include <QImage>
#include <QRegularExpression>
#include <QUrl>
#include <QVariant>

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
QImage noImage()
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QString VYRQTextDocument::namingNothing(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    // What Qt's rich text loads: src, href and background attributes, url() and
    // @import of style sheets.
    static const QRegularExpression attribute(QStringLiteral(R"(\b(src|href|background)\s*=\s*("[^"]*"|'[^']*'|[^\s>]*))"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression styleUrl(QStringLiteral(R"(url\s*\([^)]*\))"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression styleImport(QStringLiteral(R"(@import[^;]*;?)"),
                                                QRegularExpression::CaseInsensitiveOption);
    QString shown = text;
    shown.replace(attribute, QStringLiteral("\\1=\"\""));
    shown.replace(styleUrl, QStringLiteral("none"));
    shown.replace(styleImport, QString());
    return shown;
}

VYRQTextDocument::VYRQTextDocument(QObject* parent)
    : QTextDocument(parent)
{
}

QVariant VYRQTextDocument::boundedResource(int type, const QUrl& url)
{
    // Never null, nor an image that does not decode: Qt's document takes a null result
    // as leave to read the file itself, and its image handler then loads the image
    // from the name directly.
    const QVariant nothing = type == QTextDocument::ImageResource ? QVariant(noImage()) : QVariant(QByteArray(""));
    QByteArray bytes;
    if (url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) {
        bytes = dataUrlBytes(url);
    } else {
        const QString path = localPath(url);
        if (path.isEmpty())
            return nothing;
        const vyr::FileRead result = vyr::readRegularFile(path, vyr::maxFileBytes, bytes);
        if (result == vyr::FileRead::NotRegular || result == vyr::FileRead::TooLarge)
            qCWarning(vyrRes) << "rich-text resource" << path << "refused:" << vyr::fileReadText(result);
    }
    if (bytes.isEmpty())
        return nothing;
    if (type != QTextDocument::ImageResource)
        return bytes;
    // Decoded here, once: handed bytes, Qt's image handler would decode them at every paint.
    QString refusal;
    QImage image;
    if (vyr::decodeImage(bytes, image, refusal) == vyr::ImageRead::Read && !image.isNull())
        return image;
    if (!refusal.isEmpty())
        qCWarning(vyrRes) << "rich-text image" << url.toDisplayString().left(200) << "refused:" << refusal;
    return nothing;
}

QVariant VYRQTextDocument::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() && !baseUrl().isEmpty() ? baseUrl().resolved(name) : name;
    const QVariant resource = boundedResource(type, url);
    // Kept, as Qt's document keeps what it read: layout and painting ask again and again.
    addResource(type, name, resource);
    return resource;
}
