#include "VYRQRibbonTypes.h"

namespace vyr {

namespace {
bool named(const QString& word, const char* name)
{
    return word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}
} // namespace

VYR_RIBBON_LAYOUT_MODE ribbonLayoutModeFromName(const QString& word)
{
    return named(word, "compact") ? VYR_RIBBON_LAYOUT_MODE::compact : VYR_RIBBON_LAYOUT_MODE::office;
}

VYR_RIBBON_ITEM_SIZE ribbonItemSizeFromName(const QString& word)
{
    if (named(word, "medium"))
        return VYR_RIBBON_ITEM_SIZE::medium;
    if (named(word, "small"))
        return VYR_RIBBON_ITEM_SIZE::small;
    return VYR_RIBBON_ITEM_SIZE::large;
}

VYR_RIBBON_POPUP_MODE ribbonPopupModeFromName(const QString& word)
{
    if (named(word, "instant"))
        return VYR_RIBBON_POPUP_MODE::instant;
    if (named(word, "split"))
        return VYR_RIBBON_POPUP_MODE::split;
    return VYR_RIBBON_POPUP_MODE::none;
}

QString ribbonLayoutModeName(VYR_RIBBON_LAYOUT_MODE mode)
{
    return mode == VYR_RIBBON_LAYOUT_MODE::compact ? QStringLiteral("compact") : QStringLiteral("office");
}

QString ribbonItemSizeName(VYR_RIBBON_ITEM_SIZE size)
{
    switch (size) {
    case VYR_RIBBON_ITEM_SIZE::medium: return QStringLiteral("medium");
    case VYR_RIBBON_ITEM_SIZE::small: return QStringLiteral("small");
    default: return QStringLiteral("large");
    }
}

QString ribbonPopupModeName(VYR_RIBBON_POPUP_MODE mode)
{
    switch (mode) {
    case VYR_RIBBON_POPUP_MODE::instant: return QStringLiteral("instant");
    case VYR_RIBBON_POPUP_MODE::split: return QStringLiteral("split");
    default: return QStringLiteral("none");
    }
}

} // namespace vyr
