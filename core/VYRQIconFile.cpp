#include "VYRQIconFile_p.h"

#include "VYRQFileIdentity_p.h"
#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQLruOrder_p.h"
#include "VYRQRegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vyr {

namespace {

// Icons of files already read, by file identity: a ribbon naming one file for each of
// its thousands of commands decodes it once. Past the bound the least recently used
// goes, so the icons a menu keeps coming back to stay.
constexpr int maxCachedIcons = 256;

struct IconCache {
    struct Icon {
        QIcon icon;
        LruOrder<QByteArray>::Position use;
    };
    QHash<QByteArray, Icon> icons;
    LruOrder<QByteArray> order;
    int decodes = 0;
};

IconCache& iconCache()
{
    static IconCache cache;
    return cache;
}

QImage fitted(QImage image)
{
    if (image.width() <= maxIconSide && image.height() <= maxIconSide)
        return image;
    return image.scaled(maxIconSide, maxIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// An SVG is drawn once, at its own proportions within the icon's size.
QImage renderSvg(const QByteArray& data, QString& refusal)
{
    QByteArray text;
    qint64 weight = 0;
    if (!boundedSvg(data, text, weight, refusal))
        return QImage();
    QSvgRenderer renderer(text);
    if (!renderer.isValid())
        return QImage();
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = QSize(maxIconSide, maxIconSide);
    size.scale(maxIconSide, maxIconSide, Qt::KeepAspectRatio);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QImage decodeIcon(const QByteArray& data, QString& refusal)
{
    ImageBytesReader bytes(data);
    if (bytes.format().isEmpty())
        return QImage();
    if (bytes.isSvg())
        return renderSvg(data, refusal);
    QImage image;
    if (readBoundedImage(bytes.reader(), bytes.format(), data, image, refusal) != ImageRead::Read)
        return QImage();
    return fitted(std::move(image));
}

} // namespace

QIcon readIconFile(const QString& path)
{
    if (path.isEmpty())
        return QIcon();
    const QByteArray identity = fileIdentity(path);
    IconCache& cache = iconCache();
    if (!identity.isEmpty()) {
        const auto cached = cache.icons.find(identity);
        if (cached != cache.icons.end()) {
            cache.order.touch(cached->use);
            return cached->icon;
        }
    }

    QByteArray data;
    const FileRead result = readRegularFile(path, maxFileBytes, data);
    if (result == FileRead::Missing)
        return QIcon();
    if (result != FileRead::Read) {
        qCWarning(vyrRes) << "icon file" << path << "refused:" << fileReadText(result);
        return QIcon();
    }
    QString refusal;
    ++cache.decodes;
    const QImage image = decodeIcon(data, refusal);
    if (!refusal.isEmpty())
        qCWarning(vyrRes) << "icon file" << path << "refused:" << refusal;
    const QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
    if (!identity.isEmpty()) {
        if (cache.icons.size() >= maxCachedIcons) {
            cache.icons.remove(cache.order.oldest());
            cache.order.removeOldest();
        }
        cache.icons.insert(identity, { icon, cache.order.add(identity) });
    }
    return icon;
}

int iconFileDecodes()
{
    return iconCache().decodes;
}

} // namespace vyr
