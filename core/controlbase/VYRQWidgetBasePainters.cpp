// The shared painters of VYRQWidgetBaseImpl: fills, nine-slice images, icons, SVGs
// and texts, as every control draws its styles.

#include "VYRQWidgetBaseImpl.h"

#include "VYRQDecodedCache.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQSaturate_p.h"

#include <QCache>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSvgRenderer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

VYRQResourceManager* resources()
{
    return VYRQResourceManager::getInstance();
}

// What a text style makes of a font.
struct FontKey {
    QString family;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontKey& o) const
    {
        return size == o.size && bold == o.bold && italic == o.italic && underline == o.underline
            && family == o.family;
    }
};

uint qHash(const FontKey& key, uint seed = 0)
{
    return ::qHash(key.family, seed) ^ uint(key.size * 8 + key.bold * 4 + key.italic * 2 + key.underline);
}

struct ElideKey {
    QString text;
    int width = 0;
    FontKey font;
    bool operator==(const ElideKey& o) const { return width == o.width && text == o.text && font == o.font; }
};

uint qHash(const ElideKey& key, uint seed = 0)
{
    return ::qHash(key.text, seed) ^ qHash(key.font, seed) ^ uint(key.width * 31);
}

// Fonts and elided texts of drawText, kept across paints: building the font, its
// metrics and the elision on every paint cost more than drawing the text. Both
// tables are bounded; a change of the application font empties them.
class TextCache {
public:
    static TextCache& instance()
    {
        thread_local TextCache cache;
        return cache;
    }

    FontKey keyOf(const TextStyleDesc& style) const
    {
        const QString global = resources()->getGlobalFontFamily();
        return {global.isEmpty() ? style.family : global, std::max(style.size, 1), style.bold, style.italic,
                style.underline};
    }

    QFont font(const FontKey& key)
    {
        checkApplicationFont();
        const auto found = m_fonts.constFind(key);
        if (found != m_fonts.constEnd())
            return *found;
        if (m_fonts.size() >= maxFonts)
            m_fonts.clear();
        QFont font;
        font.setFamily(key.family);
        font.setPixelSize(key.size);
        font.setWeight(key.bold ? 75 : 50);
        font.setItalic(key.italic);
        font.setUnderline(key.underline);
        m_fonts.insert(key, font);
        return font;
    }

    QString elided(const FontKey& key, const QFont& font, const QString& text, int width)
    {
        ElideKey elideKey{text, width, key};
        const auto found = m_elided.constFind(elideKey);
        if (found != m_elided.constEnd())
            return *found;
        if (m_elided.size() >= maxElided)
            m_elided.clear();
        const QString result = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
        m_elided.insert(std::move(elideKey), result);
        return result;
    }

private:
    static constexpr int maxFonts = 256;
    static constexpr int maxElided = 4096;

    void checkApplicationFont()
    {
        const QFont app = QGuiApplication::font();
        if (app == m_applicationFont && app.resolve() == m_applicationFont.resolve())
            return;
        m_applicationFont = app;
        m_fonts.clear();
        m_elided.clear();
    }

    QFont m_applicationFont;
    QHash<FontKey, QFont> m_fonts;
    QHash<ElideKey, QString> m_elided;
};

QPoint placeIcon(int x, int y, int w, int h, const QSize& size, const IconStyleDesc& style)
{
    return vyr::safeRect(qint64(VYRQWidgetBaseImpl::alignedStart(style.hor, x, w, size.width())) + style.x,
                         qint64(VYRQWidgetBaseImpl::alignedStart(style.ver, y, h, size.height())) + style.y, 0, 0)
        .topLeft();
}

QBrush fillBrush(const FillRes& fill, const QPointF& from, const QPointF& to)
{
    if (!fill.gradient)
        return QBrush(fill.color);
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0, fill.color);
    gradient.setColorAt(1, fill.color2);
    return QBrush(gradient);
}

// Beyond this many centre tiles the tiling is done by one textured fill instead, so
// a one-pixel source over a large area cannot stall painting.
constexpr qint64 maxCentreTiles = 4096;

constexpr qint64 maxTintPixels = 4096 * 4096;

// Tinted and greyed SVG pictures, in bytes; the least recently drawn go first.
constexpr int svgCacheBytes = 64 * 1024 * 1024;

struct SvgKey {
    const QSvgRenderer* renderer;
    // A renderer given another document in place (a skin loaded again) counts anew.
    qulonglong loads;
    QString name;
    QSize size;
    VYRQWidgetBaseImpl::SvgLook look;
    QRgb tint;
    bool operator==(const SvgKey& other) const
    {
        return renderer == other.renderer && loads == other.loads && name == other.name && size == other.size
            && look == other.look && tint == other.tint;
    }
};

uint qHash(const SvgKey& key, uint seed = 0)
{
    return ::qHash(key.name, seed) ^ ::qHash(quintptr(key.renderer), seed) ^ ::qHash(key.loads, seed)
        ^ ::qHash((qint64(key.size.width()) << 32) ^ key.size.height(), seed) ^ ::qHash(key.tint, seed)
        ^ uint(key.look);
}

struct SvgPicture {
    // A renderer freed and another made at its address must not find this picture.
    QPointer<QSvgRenderer> renderer;
    QImage image;
};

QCache<SvgKey, SvgPicture>& svgCache()
{
    static QCache<SvgKey, SvgPicture> cache(svgCacheBytes);
    return cache;
}

QImage renderSvgPicture(QSvgRenderer* renderer, const QSize& size, VYRQWidgetBaseImpl::SvgLook look,
                        const QColor& tint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        renderer->render(&p, QRectF(QPointF(0, 0), size));
        if (look == VYRQWidgetBaseImpl::SvgLook::Tinted) {
            // The colour takes the picture's shape and alpha.
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            p.fillRect(image.rect(), tint);
        }
    }
    if (look == VYRQWidgetBaseImpl::SvgLook::Grey)
        return QIcon(QPixmap::fromImage(image)).pixmap(size, QIcon::Disabled).toImage();
    return image;
}

// The picture of the cache, drawn first where it is missing; a shared copy.
QImage svgPicture(QSvgRenderer* renderer, const QString& name, const QSize& size,
                  VYRQWidgetBaseImpl::SvgLook look, const QColor& tint)
{
    const quint64 loads = VYRQDecodedCache::loadsOf(*renderer);
    const SvgKey key{renderer, loads, name, size, look, look == VYRQWidgetBaseImpl::SvgLook::Tinted ? tint.rgba() : 0};
    QCache<SvgKey, SvgPicture>& cache = svgCache();
    if (const SvgPicture* hit = cache.object(key)) {
        if (hit->renderer == renderer)
            return hit->image;
        cache.remove(key);
    }
    const QImage image = renderSvgPicture(renderer, size, look, tint);
    const qint64 bytes = image.sizeInBytes();
    if (!image.isNull() && bytes <= svgCacheBytes)
        cache.insert(key, new SvgPicture{renderer, image}, int(std::max<qint64>(bytes, 1)));
    return image;
}

// Areas from pages and style files are kept where Qt's arithmetic cannot overflow.
void keepInRange(int& x, int& y, int& w, int& h)
{
    const QRect area = vyr::safeRect(x, y, w, h);
    x = area.x();
    y = area.y();
    w = area.width();
    h = area.height();
}

} // namespace

QPainterPath VYRQWidgetBaseImpl::makeRoundedRectPath(const QRectF& rect, double radius, bool topLeft,
                                                     bool topRight, bool bottomRight, bool bottomLeft)
{
    QPainterPath path;
    if (!rect.isValid())
        return path;
    const double r = std::max(0.0, std::min(radius, std::min(rect.width(), rect.height()) / 2.0));
    if (r <= 0.0) {
        path.addRect(rect);
        return path;
    }
    const double d = 2 * r;
    const double left = rect.left();
    const double top = rect.top();
    const double right = rect.right();
    const double bottom = rect.bottom();

    path.moveTo(topLeft ? left + r : left, top);
    path.lineTo(topRight ? right - r : right, top);
    if (topRight)
        path.arcTo(QRectF(right - d, top, d, d), 90, -90);
    path.lineTo(right, bottomRight ? bottom - r : bottom);
    if (bottomRight)
        path.arcTo(QRectF(right - d, bottom - d, d, d), 0, -90);
    path.lineTo(bottomLeft ? left + r : left, bottom);
    if (bottomLeft)
        path.arcTo(QRectF(left, bottom - d, d, d), 270, -90);
    path.lineTo(left, topLeft ? top + r : top);
    if (topLeft)
        path.arcTo(QRectF(left, top, d, d), 180, -90);
    path.closeSubpath();
    return path;
}

namespace {

// Rounded solid fills without a border, drawn once into an image of their size and then
// copied. On the raster engine an untransformed, unclipped, opaque copy of the
// premultiplied coverage blends to exactly the pixels a fresh fill of the path gives.
struct RoundedFillKey {
    int w;
    int h;
    int round;
    int corners;
    QRgba64 color;
    bool operator==(const RoundedFillKey& o) const
    {
        return w == o.w && h == o.h && round == o.round && corners == o.corners && color == o.color;
    }
};

uint qHash(const RoundedFillKey& key, uint seed = 0)
{
    return ::qHash(quint64(key.color), seed) ^ uint(key.w * 131 + key.h * 31 + key.round * 7 + key.corners);
}

constexpr int maxCachedFillPixels = 256 * 256;
constexpr int maxCachedFills = 256;

bool drawCachedRoundedFill(QPainter* painter, const FillRes& fill, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0 || qint64(w) * h > maxCachedFillPixels)
        return false;
    QPaintEngine* engine = painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter->hasClipping() || painter->opacity() != 1.0
        || painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QPaintDevice* target = engine->paintDevice();
    if (!target || target->devType() != QInternal::Image)
        return false;
    const QImage::Format format = static_cast<const QImage*>(target)->format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32)
        return false;
    const QTransform& transform = painter->deviceTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx())
        || transform.dy() != std::floor(transform.dy()))
        return false;

    // Per thread: painting into images is allowed off the GUI thread.
    thread_local QHash<RoundedFillKey, QImage> cache;
    const int corners = (fill.roundTopLeft ? 1 : 0) | (fill.roundTopRight ? 2 : 0) | (fill.roundBottomRight ? 4 : 0)
        | (fill.roundBottomLeft ? 8 : 0);
    const RoundedFillKey key{w, h, fill.round, corners, fill.color.rgba64()};
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() >= maxCachedFills)
            cache.clear();
        QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.fillPath(VYRQWidgetBaseImpl::makeRoundedRectPath(QRectF(0, 0, w, h), double(fill.round), fill.roundTopLeft,
                                                           fill.roundTopRight, fill.roundBottomRight,
                                                           fill.roundBottomLeft),
                   QBrush(fill.color));
        p.end();
        it = cache.insert(key, image);
    }
    painter->drawImage(x, y, *it);
    return true;
}

} // namespace

void VYRQWidgetBaseImpl::paintFillStyle(QPainter* painter, const FillRes& fill, int x, int y, int w, int h)
{
    if (!painter)
        return;
    keepInRange(x, y, w, h);
    const int size = std::clamp(fill.borderSize, 0, 16777215);
    // Half a border width, so a border of any width lies exactly inside the area.
    const double half = size >= 1 ? size / 2.0 : 0.0;
    const bool withBorder = fill.border && size >= 1;
    const bool allSides = fill.leftBorder && fill.topBorder && fill.rightBorder && fill.bottomBorder;

    if (fill.round == 0) {
        // fillRect ignores pen, brush and hints: square fills need no painter state.
        painter->fillRect(QRect(x, y, w, h), fillBrush(fill, QPointF(x, 0), QPointF(x + w, 0)));
        if (withBorder) {
            // Square borders are bands of the border width along the edges: the same
            // area as the stroked outline, exact with or without antialiasing.
            const QColor c = fill.borderColor;
            const int bw = std::min(size, w);
            const int bh = std::min(size, h);
            if (fill.topBorder)
                painter->fillRect(QRect(x, y, w, bh), c);
            if (fill.bottomBorder)
                painter->fillRect(QRect(x, y + h - bh, w, bh), c);
            if (fill.leftBorder)
                painter->fillRect(QRect(x, y, bw, h), c);
            if (fill.rightBorder)
                painter->fillRect(QRect(x + w - bw, y, bw, h), c);
        }
        return;
    }
    if (!withBorder && !fill.gradient && drawCachedRoundedFill(painter, fill, x, y, w, h))
        return;

    painter->save();
    painter->setPen(QPen(QBrush(fill.borderColor), std::max(size, 0), Qt::SolidLine));
    painter->setBrush(Qt::NoBrush);

    const QRectF inset(x + half, y + half, std::max(w - size, 0), std::max(h - size, 0));
    const QRectF shape = withBorder ? inset : QRectF(x, y, w, h);
    const double radius = withBorder ? std::max(fill.round - half, 0.0) : double(fill.round);
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath path = makeRoundedRectPath(shape, radius, fill.roundTopLeft, fill.roundTopRight,
                                                  fill.roundBottomRight, fill.roundBottomLeft);
    painter->fillPath(path, fillBrush(fill, shape.topLeft(), shape.topRight()));
    if (withBorder) {
        if (allSides) {
            painter->drawPath(makeRoundedRectPath(inset, fill.round, fill.roundTopLeft, fill.roundTopRight,
                                                  fill.roundBottomRight, fill.roundBottomLeft));
        } else {
            const double tl = fill.roundTopLeft ? fill.round : 0;
            const double tr = fill.roundTopRight ? fill.round : 0;
            const double br = fill.roundBottomRight ? fill.round : 0;
            const double bl = fill.roundBottomLeft ? fill.round : 0;
            if (fill.bottomBorder)
                painter->drawLine(QPointF(x + std::max(bl, half), y + h - half),
                                  QPointF(x + w - std::max(br, half), y + h - half));
            if (fill.topBorder)
                painter->drawLine(QPointF(x + std::max(tl, half), y + half),
                                  QPointF(x + w - std::max(tr, half), y + half));
            if (fill.rightBorder)
                painter->drawLine(QPointF(x + w - half, y + std::max(tr, half)),
                                  QPointF(x + w - half, y + h - std::max(br, half)));
            if (fill.leftBorder)
                painter->drawLine(QPointF(x + half, y + std::max(tl, half)),
                                  QPointF(x + half, y + h - std::max(bl, half)));
        }
    }
    painter->restore();
}

void VYRQWidgetBaseImpl::drawFillStyle(QPainter* painter, const FillStyle& style, const QRect& rect)
{
    drawFillStyle(painter, style, rect.x(), rect.y(), rect.width(), rect.height());
}

void VYRQWidgetBaseImpl::drawFillStyle(QPainter* painter, const FillStyle& style, int x, int y, int w, int h)
{
    if (!style.draw)
        return;
    if (style.colorMode)
        paintFillStyle(painter, style.fill, x, y, w, h);
    else
        drawNinePatchImage(painter, style.image, style.imageDesc, x, y, w, h);
}

void VYRQWidgetBaseImpl::drawNinePatchImage(QPainter* painter, const QString& name, const ImageDesc& desc,
                                            int x, int y, int w, int h)
{
    if (!painter || w == 0 || h == 0 || name.isEmpty())
        return;
    const QImage* image = resources()->getImageToDraw(name, false);
    if (!image || image->isNull() || !isImageValid(*image))
        return;
    keepInRange(x, y, w, h);
    const int iw = image->width();
    const int ih = image->height();
    // Slice widths come from style files; kept within the sizes Qt handles so that
    // the sums below stay in int.
    const int L = std::clamp(desc.left, 0, 16777215);
    const int R = std::clamp(desc.right, 0, 16777215);
    const int T = std::clamp(desc.top, 0, 16777215);
    const int B = std::clamp(desc.bottom, 0, 16777215);

    auto piece = [&](const QRect& target, const QRect& source) {
        if (!target.isValid() || !source.isValid())
            return false;
        painter->drawImage(target, *image, source);
        return true;
    };

    if (T != 0)
        piece(QRect(x + L, y, w - L - R, T), QRect(L, 0, iw - L - R, T));
    if (B != 0) {
        const QRect target(x + L, y + h - B, w - L - R, B);
        if (target.top() >= 0)
            piece(target, QRect(L, ih - B, iw - L - R, B));
    }
    bool leftDrawn = false;
    if (L != 0)
        leftDrawn = piece(QRect(x, y + T, L, h - T - B), QRect(0, T, L, ih - T - B));
    if (R != 0) {
        const QRect target(x + w - R, y + T, R, h - T - B);
        if (target.left() >= 0) {
            const int leftEnd = x + L;
            if (leftDrawn && leftEnd > target.left()) {
                // Too narrow for both edges: the right edge starts where the left one ends.
                const QRect visible(leftEnd, target.top(), target.right() - leftEnd + 1, target.height());
                if (visible.isValid()) {
                    painter->save();
                    painter->setClipRect(visible, Qt::IntersectClip);
                    piece(target, QRect(iw - R, T, R, ih - T - B));
                    painter->restore();
                }
            } else {
                piece(target, QRect(iw - R, T, R, ih - T - B));
            }
        }
    }
    if (T != 0 && L != 0)
        piece(QRect(x, y, L, T), QRect(0, 0, L, T));
    if (T != 0 && R != 0)
        piece(QRect(x + w - R, y, R, T), QRect(iw - R, 0, R, T));
    if (B != 0 && L != 0)
        piece(QRect(x, y + h - B, L, B), QRect(0, ih - B, L, B));
    if (B != 0 && R != 0)
        piece(QRect(x + w - R, y + h - B, R, B), QRect(iw - R, ih - B, R, B));

    const QRect target(x + L, y + T, w - L - R, h - T - B);
    const QRect source(L, T, iw - L - R, ih - T - B);
    if (!target.isValid() || !source.isValid())
        return;
    if (!desc.repeatCenter) {
        painter->drawImage(target, *image, source);
        return;
    }
    painter->save();
    painter->setClipRect(target, Qt::IntersectClip);
    const qint64 cols = (qint64(target.width()) + source.width() - 1) / source.width();
    const qint64 rows = (qint64(target.height()) + source.height() - 1) / source.height();
    if (cols * rows <= maxCentreTiles) {
        for (qint64 row = 0; row < rows; ++row) {
            for (qint64 col = 0; col < cols; ++col) {
                const QPoint at(target.left() + int(col) * source.width(), target.top() + int(row) * source.height());
                painter->drawImage(at, *image, source);
            }
        }
    } else {
        painter->setBrushOrigin(target.topLeft());
        painter->fillRect(target, QBrush(image->copy(source)));
    }
    painter->restore();
}

void VYRQWidgetBaseImpl::drawImageDesc(QPainter* painter, const ImageRecord& image, int x, int y, int w, int h)
{
    drawNinePatchImage(painter, image.name, image.desc, x, y, w, h);
}

void VYRQWidgetBaseImpl::drawIcon(QPainter* painter, const QIcon& icon, const QSize& size,
                                  const IconStyleDesc& style, const QRect& rect)
{
    if (!painter || icon.isNull())
        return;
    const QPixmap pixmap = icon.pixmap(size, QIcon::Normal);
    if (pixmap.isNull())
        return;
    painter->drawPixmap(placeIcon(rect.x(), rect.y(), rect.width(), rect.height(), size, style), pixmap);
}

void VYRQWidgetBaseImpl::drawImage(QPainter* painter, const QString& name, const IconStyleDesc& style,
                                   const QRect& rect, bool gray)
{
    drawImage(painter, name, style, rect.x(), rect.y(), rect.width(), rect.height(), gray);
}

void VYRQWidgetBaseImpl::drawImage(QPainter* painter, const QString& name, const IconStyleDesc& style,
                                   int x, int y, int w, int h, bool gray)
{
    if (!painter || name.isEmpty())
        return;
    keepInRange(x, y, w, h);
    VYRQResourceManager* rm = resources();
    if (!isSvgName(name)) {
        const QImage* image = rm->getImageToDraw(name, gray);
        if (!image || !isImageValid(*image))
            return;
        painter->drawImage(placeIcon(x, y, w, h, image->size(), style), *image);
        return;
    }

    QSvgRenderer* renderer = rm->getSvgRenderer(name);
    if (!renderer || !renderer->isValid())
        return;
    QSize size = scaleSize(renderer->defaultSize());
    if (size.isEmpty()) {
        const int side = std::max(std::min(w, h), 1);
        size = QSize(side, side);
    }
    const QPoint at = placeIcon(x, y, w, h, size, style);
    const SvgLook look = style.useColor ? SvgLook::Tinted : gray ? SvgLook::Grey : SvgLook::Plain;
    drawSvg(painter, renderer, name, QRect(at, size), look, style.color);
}

void VYRQWidgetBaseImpl::drawSvg(QPainter* painter, QSvgRenderer* renderer, const QString& name,
                                 const QRect& target, SvgLook look, const QColor& tint)
{
    if (!painter || !renderer || !renderer->isValid() || target.width() < 1 || target.height() < 1)
        return;
    if (look == SvgLook::Plain) {
        renderer->render(painter, QRectF(target));
        return;
    }
    // Tinting and greying go through an image of the target's size; an SVG may claim
    // any size, and no icon needs more than this.
    if (qint64(target.width()) * target.height() > maxTintPixels)
        return;
    const QImage picture = svgPicture(renderer, name, target.size(), look, tint);
    if (!picture.isNull())
        painter->drawImage(target.topLeft(), picture);
}

int VYRQWidgetBaseImpl::alignedStart(int align, int start, int length, int size)
{
    switch (align) {
    case DockCenter:
        return vyr::clampInt(qint64(start) + (qint64(length) - size) / 2);
    case DockFar:
        return vyr::clampInt(qint64(start) + length - size);
    default:
        return start;
    }
}

Qt::Alignment VYRQWidgetBaseImpl::textAlignment(const TextStyleDesc& style)
{
    Qt::Alignment align;
    switch (style.hor) {
    case DockCenter: align |= Qt::AlignHCenter; break;
    case DockFar: align |= Qt::AlignRight; break;
    default: align |= Qt::AlignLeft; break;
    }
    switch (style.ver) {
    case DockCenter: align |= Qt::AlignVCenter; break;
    case DockFar: align |= Qt::AlignBottom; break;
    default: align |= Qt::AlignTop; break;
    }
    return align;
}

void VYRQWidgetBaseImpl::drawText(QPainter* painter, const QString& text, const TextStyleDesc& style,
                                  const QRect& rect)
{
    drawText(painter, text, style, rect.x(), rect.y(), rect.width(), rect.height(), style.isHor);
}

void VYRQWidgetBaseImpl::drawText(QPainter* painter, const QString& text, const TextStyleDesc& style,
                                  int x, int y, int w, int h, bool horizontal)
{
    if (!painter || text.isEmpty())
        return;
    keepInRange(x, y, w, h);
    TextCache& cache = TextCache::instance();
    const FontKey fontKey = cache.keyOf(style);
    const QFont font = cache.font(fontKey);
    const Qt::Alignment align = textAlignment(style);

    painter->save();
    painter->setFont(font);
    painter->setPen(style.color);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    if (horizontal) {
        QRect box = vyr::safeRect(qint64(x) + style.x, qint64(y) + style.y, qint64(w) - style.x, qint64(h) - style.y);
        if (style.ver == 2)
            box.setHeight(vyr::safeRect(0, 0, 0, qint64(h) + style.y).height());
        if (style.elideMode == 3)
            painter->drawText(box, int(align), text);
        else
            painter->drawText(box, int(align), cache.elided(fontKey, font, text, w - 2));
    } else if (w > 0 && h > 0) {
        // Laid out on its side, then turned clockwise so it reads top to bottom.
        QImage image(h, w, QImage::Format_ARGB32_Premultiplied);
        if (!image.isNull()) {
            image.fill(Qt::transparent);
            {
                QPainter p(&image);
                p.setFont(font);
                p.setPen(style.color);
                p.setRenderHint(QPainter::TextAntialiasing, true);
                p.drawText(QRect(0, 0, h, w), int(align), text);
            }
            painter->translate(x + w, y);
            painter->rotate(90);
            painter->drawImage(0, 0, image);
        }
    }
    painter->restore();
}

QFont VYRQWidgetBaseImpl::fontOf(const TextStyleDesc& style)
{
    TextCache& cache = TextCache::instance();
    return cache.font(cache.keyOf(style));
}

QSize VYRQWidgetBaseImpl::getImageSize(const QString& name, bool gray)
{
    if (name.isEmpty())
        return QSize();
    VYRQResourceManager* rm = resources();
    if (isSvgName(name)) {
        QSvgRenderer* renderer = rm->getSvgRenderer(name);
        if (!renderer || !renderer->isValid())
            return QSize();
        const QSize size = scaleSize(renderer->defaultSize());
        return size.isValid() ? size : QSize(16, 16);
    }
    const QImage* image = rm->getImage(name, gray);
    return image && isImageValid(*image) ? image->size() : QSize();
}

QSize VYRQWidgetBaseImpl::getTextSize(const TextStyleDesc& style, const QString& text)
{
    const QFontMetrics metrics(fontOf(style));
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

QSize VYRQWidgetBaseImpl::scaleSize(const QSize& size)
{
    if (!size.isValid())
        return size;
    const double factor = resources()->getScaleFactor();
    if (factor >= 1.0)
        return size;
    auto scaled = [factor](int side) {
        const double v = std::round(side * factor);
        return v < 1.0 ? 1 : v > double(INT_MAX) ? INT_MAX : int(v);
    };
    return QSize(scaled(size.width()), scaled(size.height()));
}

bool VYRQWidgetBaseImpl::isSvgName(const QString& name)
{
    // As name.trimmed().endsWith(...), without a copy on every paint.
    int end = name.size();
    while (end > 0 && name.at(end - 1).isSpace())
        --end;
    return QStringView(name).left(end).endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

QColor VYRQWidgetBaseImpl::colorFromHex(const std::string& text)
{
    // Taken as QRgb, so the alpha digits never make an attr colour translucent.
    return vyr::json::colorFromText(text, false);
}

bool VYRQWidgetBaseImpl::isImageValid(const QImage& image)
{
    return image.width() != 0 && image.height() != 0;
}
