#include "VYRQIconFile_p.h"

#include "VYRQFileIdentity_p.h"
#include "VYRQImageBounds_p.h"
#include "VYRQLogging.h"
#include "VYRQLruOrder_p.h"
#include "VYRQRegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace vyr {

namespace {

// Icons of files already read, by file identity and size: a ribbon naming one file for
// each of its thousands of commands decodes it once. Past the bound the least recently
// used go, so the icons a menu keeps coming back to stay.
struct IconCache {
    struct Icon {
        QIcon icon;
        qint64 bytes;
        LruOrder<QByteArray>::Position use;
    };
    QHash<QByteArray, Icon> icons;
    LruOrder<QByteArray> order;
    qint64 bytes = 0;
    int decodes = 0;

    void insert(const QByteArray& key, const QIcon& icon, qint64 size, qint64 bound)
    {
        // Kept already when the file was renamed over between the look-up and the read.
        const auto kept = icons.find(key);
        if (kept != icons.end()) {
            bytes -= kept->bytes;
            order.remove(kept->use);
            icons.erase(kept);
        }
        while (bytes + size > bound && !order.isEmpty()) {
            bytes -= icons.take(order.oldest()).bytes;
            order.removeOldest();
        }
        icons.insert(key, { icon, size, order.add(key) });
        bytes += size;
    }
};

IconCache& iconCache()
{
    static IconCache cache;
    return cache;
}

qreal pixelRatio()
{
    return qGuiApp ? std::max<qreal>(qGuiApp->devicePixelRatio(), 1) : 1;
}

int pixelsOf(int side)
{
    return int(std::ceil(std::min(side, 1024) * pixelRatio()));
}

// What an icon kept costs besides its pixels: its key and its place in the tables. An
// icon that gave nothing counts that much.
constexpr qint64 entryBytes = 256;

qint64 iconBytes(int width, int height)
{
    return qint64(width) * height * 4 + entryBytes;
}

// What a menu at its item limit draws.
qint64 cacheBound()
{
    const int side = pixelsOf(smallIconSide);
    return maxMenuItems * iconBytes(side, side);
}

QImage fitted(QImage image, int pixels)
{
    if (image.width() <= pixels && image.height() <= pixels)
        return image;
    return image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// An SVG is drawn once, at its own proportions within the icon's size.
// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE QImage renderSvg(const QByteArray& data, int pixels, QString& refusal)
{
    CheckedSvg svg;
    if (!boundedSvg(data, svg, refusal))
        return QImage();
    QSvgRenderer renderer(svg.text);
    if (!renderer.isValid())
        return QImage();
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = QSize(pixels, pixels);
    size.scale(pixels, pixels, Qt::KeepAspectRatio);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QImage decodeIcon(const QByteArray& data, int pixels, QString& refusal)
{
    ImageBytesReader bytes(data);
    if (bytes.format().isEmpty())
        return QImage();
    if (bytes.isSvg())
        return renderSvg(data, pixels, refusal);
    QImage image;
    if (readBoundedImage(bytes.reader(), bytes.format(), data, image, refusal) != ImageRead::Read)
        return QImage();
    return fitted(std::move(image), pixels);
}

} // namespace

QIcon readIconFile(const QString& path, int side)
{
    if (path.isEmpty())
        return QIcon();
    const int pixels = pixelsOf(std::max(side, 1));
    const QByteArray identity = fileIdentity(path);
    const QByteArray key = identity + '@' + QByteArray::number(pixels);
    IconCache& cache = iconCache();
    if (!identity.isEmpty()) {
        const auto cached = cache.icons.find(key);
        if (cached != cache.icons.end()) {
            cache.order.touch(cached->use);
            return cached->icon;
        }
    }

    // Kept under the identity of the file that was read, which may have changed since
    // the look-up above.
    QByteArray data;
    QByteArray readIdentity;
    const FileRead result = readRegularFile(path, maxFileBytes, data, nullptr, nullptr, &readIdentity);
    if (result == FileRead::Missing)
        return QIcon();
    if (result != FileRead::Read) {
        qCWarning(vyrRes) << "icon file" << path << "refused:" << fileReadText(result);
        return QIcon();
    }
    QString refusal;
    ++cache.decodes;
    const QImage image = decodeIcon(data, pixels, refusal);
    if (!refusal.isEmpty())
        qCWarning(vyrRes) << "icon file" << path << "refused:" << refusal;
    const QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
    if (!readIdentity.isEmpty())
        cache.insert(readIdentity + '@' + QByteArray::number(pixels), icon, iconBytes(image.width(), image.height()),
                     cacheBound());
    return icon;
}

int iconFileDecodes()
{
    return iconCache().decodes;
}

} // namespace vyr
