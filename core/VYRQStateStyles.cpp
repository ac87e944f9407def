#include "VYRQStateStyles.h"

#include "VYRQJson.h"

namespace vyr {

bool fillAlike(const FillStyle& a, const FillStyle& b)
{
    if (a.draw != b.draw || a.colorMode != b.colorMode)
        return false;
    if (!a.colorMode)
        return a.image == b.image;
    const FillRes& x = a.fill;
    const FillRes& y = b.fill;
    return x.color == y.color && x.color2 == y.color2 && x.borderColor == y.borderColor
        && x.gradient == y.gradient && x.round == y.round && x.borderSize == y.borderSize && x.spare == y.spare
        && x.border == y.border && x.leftBorder == y.leftBorder && x.topBorder == y.topBorder
        && x.rightBorder == y.rightBorder && x.bottomBorder == y.bottomBorder
        && x.roundTopLeft == y.roundTopLeft && x.roundTopRight == y.roundTopRight
        && x.roundBottomRight == y.roundBottomRight && x.roundBottomLeft == y.roundBottomLeft;
}

bool textAlike(const TextStyleDesc& a, const TextStyleDesc& b)
{
    return a.bold == b.bold && a.italic == b.italic && a.size == b.size && a.underline == b.underline
        && a.family == b.family && a.color == b.color && a.x == b.x && a.y == b.y && a.isHor == b.isHor
        && a.hor == b.hor && a.ver == b.ver && a.elideMode == b.elideMode;
}

void appendStyleEntry(Json::Value& styleArray, const QString& name, StyleEntryKind kind, int slot)
{
    if (!styleArray.isArray())
        styleArray = Json::Value(Json::arrayValue);
    Json::Value entry(Json::arrayValue);
    entry.append(json::toUtf8(name));
    entry.append(int(kind));
    entry.append(slot);
    styleArray.append(entry);
}

} // namespace vyr
