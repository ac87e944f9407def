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

namespace vyr {

namespace {

// Records read from one style set share their strings: most comparisons end at the
// pointer.
bool sameText(const QString& a, const QString& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool sameFill(const FillRes& x, const FillRes& y)
{
    return x.resId == y.resId && x.gradient == y.gradient && x.round == y.round && x.borderSize == y.borderSize
        && x.spare == y.spare && x.border == y.border && x.leftBorder == y.leftBorder && x.topBorder == y.topBorder
        && x.rightBorder == y.rightBorder && x.bottomBorder == y.bottomBorder
        && x.roundTopLeft == y.roundTopLeft && x.roundTopRight == y.roundTopRight
        && x.roundBottomRight == y.roundBottomRight && x.roundBottomLeft == y.roundBottomLeft
        && x.color == y.color && x.color2 == y.color2 && x.borderColor == y.borderColor
        && sameText(x.resText, y.resText);
}

bool sameSlices(const ImageDesc& x, const ImageDesc& y)
{
    return x.left == y.left && x.right == y.right && x.top == y.top && x.bottom == y.bottom
        && x.repeatLeft == y.repeatLeft && x.repeatRight == y.repeatRight && x.repeatTop == y.repeatTop
        && x.repeatBottom == y.repeatBottom && x.repeatCenter == y.repeatCenter;
}

} // namespace

bool sameStyle(const FillStyle& a, const FillStyle& b)
{
    return a.kind == b.kind && a.draw == b.draw && a.colorMode == b.colorMode && a.thirdFlag == b.thirdFlag
        && sameSlices(a.imageDesc, b.imageDesc) && sameFill(a.fill, b.fill) && sameText(a.name, b.name)
        && sameText(a.image, b.image);
}

bool sameStyle(const TextStyleDesc& a, const TextStyleDesc& b)
{
    return a.kind == b.kind && a.bold == b.bold && a.italic == b.italic && a.spare1 == b.spare1 && a.size == b.size
        && a.underline == b.underline && a.spare2 == b.spare2 && a.x == b.x && a.y == b.y && a.isHor == b.isHor
        && a.singleLine == b.singleLine && a.hor == b.hor && a.ver == b.ver && a.elideMode == b.elideMode
        && a.color == b.color && sameText(a.name, b.name) && sameText(a.family, b.family);
}

} // namespace vyr
