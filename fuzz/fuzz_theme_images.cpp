// Feeds arbitrary bytes to the resource manager as a theme's image or SVG file and
// draws it the ways controls do: plain, greyed, tinted, nine-sliced, measured.

#include "FuzzApplication.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQWidgetBaseImpl.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstddef>
#include <cstdint>

namespace {

VYRQResourceManager* ensureLibrary()
{
    fuzz::startWidgetApplication("fuzz_theme_images");
    return VYRQResourceManager::getInstance();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VYRQResourceManager* rm = ensureLibrary();
    if (size < 1)
        return 0;
    // The first byte picks the file name (and so the decoder path) and the drawing.
    const uint8_t mode = data[0];
    const QString name = (mode & 1) ? QStringLiteral("images/fuzz.svg") : QStringLiteral("images/fuzz.png");
    VYRQResourceManagerImpl* set = rm->getDefaultManagerImpl();
    const QByteArray file(reinterpret_cast<const char*>(data + 1), int(size - 1));
    set->files.addBytes("images/fuzz.svg", file);
    set->files.addBytes("images/fuzz.png", file);

    QImage canvas(48, 32, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        IconStyleDesc style;
        style.useColor = (mode & 2) != 0;
        style.color = QColor(10, 200, 30);
        style.hor = (mode >> 2) % 3;
        style.ver = (mode >> 4) % 3;
        const bool gray = (mode & 64) != 0;
        VYRQWidgetBaseImpl::drawImage(&painter, name, style, QRect(0, 0, 48, 32), gray);
        VYRQWidgetBaseImpl::getImageSize(name, gray);
        ImageDesc slices;
        slices.left = slices.right = slices.top = slices.bottom = 3;
        slices.repeatCenter = (mode & 128) != 0;
        VYRQWidgetBaseImpl::drawNinePatchImage(&painter, name, slices, 0, 0, 48, 32);
    }

    // Nothing is kept from one input to the next, not even a name refused as too large.
    set->files.remove("images/fuzz.svg");
    set->files.remove("images/fuzz.png");
    rm->releaseRes();
    return 0;
}
