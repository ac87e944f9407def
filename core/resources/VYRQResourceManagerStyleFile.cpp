// The resource manager's style files: the "style" array of a style.json read into a
// resource set, and a set's styles written back as such an array.

#include "VYRQResourceManager.h"

#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQResourceManagerImpl.h"

#include <QByteArray>
#include <QSet>

#include <algorithm>

namespace {

// A parsed style file holds about 128 bytes a JSON value, and a stored style about 350
// bytes: a file of a million small styles took over 700 MB. A file is held to its
// values and entries before it is parsed, and a set to its styles before any is stored.
constexpr qint64 maxStyleValues = 512 * 1024;
constexpr int maxSetStyles = 65536;

// At least the number of values `text` parses to: every value but the root follows a
// comma or opens the list of an array or an object. Braces bound the objects alike.
bool styleTextWithinBounds(const QByteArray& text)
{
    const auto opensOrFollows = [](char c) { return c == ',' || c == '[' || c == '{'; };
    const qint64 values = 1 + std::count_if(text.cbegin(), text.cend(), opensOrFollows);
    const qint64 objects = std::count(text.cbegin(), text.cend(), '{');
    if (values > maxStyleValues) {
        qCWarning(vyrRes) << "style file refused: more than" << maxStyleValues << "JSON values";
        return false;
    }
    if (objects - 1 > maxSetStyles) {
        qCWarning(vyrRes) << "style file refused: more than" << maxSetStyles << "styles";
        return false;
    }
    return true;
}

// Whether `set` keeps within maxSetStyles with the styles of `styleArray` added (a name
// it holds already is replaced, not added).
bool stylesFit(const VYRQResourceManagerImpl& set, const Json::Value& styleArray)
{
    namespace J = vyr::json;
    qint64 count = set.fillStyles.size() + set.textStyles.size();
    if (count + qint64(styleArray.size()) <= maxSetStyles)
        return true;
    QSet<QString> added[2];
    for (Json::ArrayIndex i = 0; i < styleArray.size() && count <= maxSetStyles; ++i) {
        const Json::Value& entry = styleArray[i];
        const Json::Value* typeValue = J::member(entry, "type");
        if (!typeValue || !typeValue->isInt() || (typeValue->asInt() != 1 && typeValue->asInt() != 2))
            continue;
        const bool fill = typeValue->asInt() == 1;
        const QString name = J::stringOr(entry, "name");
        if ((fill ? set.fillIndex : set.textIndex).contains(name) || added[fill].contains(name))
            continue;
        added[fill].insert(name);
        ++count;
    }
    if (count <= maxSetStyles)
        return true;
    qCWarning(vyrRes) << "style file refused: the set would hold more than" << maxSetStyles << "styles";
    return false;
}

void setFlagIfFalse(Json::Value& obj, const char* key, bool value)
{
    if (!value)
        obj[key] = false;
}

void setFlagIfTrue(Json::Value& obj, const char* key, bool value)
{
    if (value)
        obj[key] = true;
}

} // namespace

const Json::Value* VYRQResourceManager::styleArrayOf(const QByteArray& buffer, Json::Value& root,
                                                     const VYRQResourceManagerImpl* into)
{
    if (buffer.isEmpty() || !styleTextWithinBounds(buffer))
        return nullptr;
    if (!vyr::json::parse(buffer.constData(), buffer.constData() + buffer.size(), root))
        return nullptr;
    const Json::Value* styles = vyr::json::array(root, "style");
    return styles && (!into || stylesFit(*into, *styles)) ? styles : nullptr;
}

bool VYRQResourceManager::parseStyleTail(VYRQResourceManagerImpl* set)
{
    if (!set || set->styleFiles.isEmpty())
        return false;
    Json::Value root;
    const Json::Value* styles = styleArrayOf(set->styleFiles.last(), root);
    if (!styles)
        return false;
    return readStyle(set, *styles);
}

bool VYRQResourceManager::readStyle(VYRQResourceManagerImpl* set, const Json::Value& styleArray)
{
    namespace J = vyr::json;
    if (!set || !styleArray.isArray() || !stylesFit(*set, styleArray))
        return false;
    const float scale = m_scale;

    // A key whose value has the wrong JSON type is treated as missing: the entry
    // keeps that key's default and everything valid in it is still read.
    for (Json::ArrayIndex i = 0; i < styleArray.size(); ++i) {
        const Json::Value& entry = styleArray[i];
        const Json::Value* typeValue = J::member(entry, "type");
        if (!typeValue || !typeValue->isInt())
            continue;
        const int type = typeValue->asInt();
        if (type == 1) {
            FillStyle style;
            style.name = J::stringOr(entry, "name");
            if (style.name == QLatin1String("empty"))
                style.draw = false;
            FillRes& fill = style.fill;
            fill.border = J::boolOr(entry, "border", false);
            fill.borderSize = J::intOr(entry, "borderSize", 1);
            fill.borderColor = QColor(255, 255, 255, 255);
            J::readColor(entry, "borderclr", fill.borderColor, true);
            style.colorMode = !J::boolOr(entry, "drawImg", true);
            fill.color = QColor(255, 255, 255, 255);
            J::readColor(entry, "clr", fill.color, true);
            style.image = J::stringOr(entry, "img");
            fill.round = J::intOr(entry, "round", 0);
            fill.roundTopLeft = J::boolOr(entry, "roundTopLeft", true);
            fill.roundTopRight = J::boolOr(entry, "roundTopRight", true);
            fill.roundBottomRight = J::boolOr(entry, "roundBottomRight", true);
            fill.roundBottomLeft = J::boolOr(entry, "roundBottomLeft", true);
            fill.leftBorder = J::boolOr(entry, "leftBorder", true);
            fill.rightBorder = J::boolOr(entry, "rightBorder", true);
            fill.topBorder = J::boolOr(entry, "topBorder", true);
            fill.bottomBorder = J::boolOr(entry, "bottomBorder", true);
            ImageDesc& slices = style.imageDesc;
            slices.repeatLeft = J::boolOr(entry, "repeatLeft", false);
            slices.repeatTop = J::boolOr(entry, "repeatTop", false);
            slices.repeatRight = J::boolOr(entry, "repeatRight", false);
            slices.repeatBottom = J::boolOr(entry, "repeatBottom", false);
            slices.repeatCenter = J::boolOr(entry, "repeatCenter", false);
            if (const Json::Value* margin = J::array(entry, "margin")) {
                int widths[4] = { 0, 0, 0, 0 };   // top, right, bottom, left
                for (Json::ArrayIndex m = 0; m < 4 && m < margin->size(); ++m) {
                    if (!J::toInt((*margin)[m], widths[m]))
                        widths[m] = 0;
                    if (scale < 1.0f)
                        widths[m] = int(float(widths[m]) * scale);
                }
                slices.top = widths[0];
                slices.right = widths[1];
                slices.bottom = widths[2];
                slices.left = widths[3];
            }
            set->storeFillStyle(style.name, style);
        } else if (type == 2) {
            TextStyleDesc style;
            style.name = J::stringOr(entry, "name");
            style.color = QColor(0, 0, 0, 255);
            J::readColor(entry, "clr", style.color, false);
            style.hor = J::intOr(entry, "hor", 0);
            style.ver = J::intOr(entry, "ver", 1);
            style.x = J::intOr(entry, "x", 0);
            style.y = J::intOr(entry, "y", 0);
            style.bold = J::boolOr(entry, "bold", false);
            style.underline = J::boolOr(entry, "underline", false);
            style.italic = J::boolOr(entry, "italic", false);
            style.isHor = J::boolOr(entry, "isHor", true);
            style.singleLine = J::boolOr(entry, "singleline", true);
            style.size = J::intOr(entry, "size", 12);
            style.family = J::stringOr(entry, "family", QStringLiteral(VYR_DEFAULT_CJK_FAMILY));
            set->storeTextStyle(style.name, style);
        }
    }
    return true;
}

bool VYRQResourceManager::writeStyle(VYRQResourceManagerImpl* set, Json::Value& styleArray) const
{
    namespace J = vyr::json;
    if (!set || !(styleArray.isNull() || styleArray.isArray()))
        return false;
    for (const FillStyle& style : set->fillStyles) {
        const FillRes& fill = style.fill;
        const ImageDesc& slices = style.imageDesc;
        Json::Value obj(Json::objectValue);
        obj["type"] = 1;
        obj["name"] = J::toUtf8(style.name);
        if (fill.border)
            obj["border"] = true;
        obj["borderSize"] = fill.borderSize;
        obj["borderclr"] = J::colorToText(fill.borderColor);
        obj["drawImg"] = !style.colorMode;
        obj["clr"] = J::colorToText(fill.color);
        obj["img"] = J::toUtf8(style.image);
        if (fill.round != 0)
            obj["round"] = fill.round;
        setFlagIfFalse(obj, "roundTopLeft", fill.roundTopLeft);
        setFlagIfFalse(obj, "roundTopRight", fill.roundTopRight);
        setFlagIfFalse(obj, "roundBottomRight", fill.roundBottomRight);
        setFlagIfFalse(obj, "roundBottomLeft", fill.roundBottomLeft);
        if (fill.border) {
            setFlagIfFalse(obj, "leftBorder", fill.leftBorder);
            setFlagIfFalse(obj, "rightBorder", fill.rightBorder);
            setFlagIfFalse(obj, "topBorder", fill.topBorder);
            setFlagIfFalse(obj, "bottomBorder", fill.bottomBorder);
        }
        setFlagIfTrue(obj, "repeatLeft", slices.repeatLeft);
        setFlagIfTrue(obj, "repeatTop", slices.repeatTop);
        setFlagIfTrue(obj, "repeatRight", slices.repeatRight);
        setFlagIfTrue(obj, "repeatBottom", slices.repeatBottom);
        setFlagIfTrue(obj, "repeatCenter", slices.repeatCenter);
        if (slices.top || slices.right || slices.bottom || slices.left) {
            Json::Value margin(Json::arrayValue);
            margin.append(slices.top);
            margin.append(slices.right);
            margin.append(slices.bottom);
            margin.append(slices.left);
            obj["margin"] = margin;
        }
        styleArray.append(obj);
    }
    for (const TextStyleDesc& style : set->textStyles) {
        Json::Value obj(Json::objectValue);
        obj["type"] = 2;
        obj["name"] = J::toUtf8(style.name);
        obj["clr"] = J::colorToText(style.color);
        obj["hor"] = style.hor;
        obj["ver"] = style.ver;
        if (style.x != 0)
            obj["x"] = style.x;
        if (style.y != 0)
            obj["y"] = style.y;
        setFlagIfTrue(obj, "bold", style.bold);
        setFlagIfTrue(obj, "underline", style.underline);
        setFlagIfTrue(obj, "italic", style.italic);
        setFlagIfFalse(obj, "isHor", style.isHor);
        if (style.size != 12)
            obj["size"] = style.size;
        obj["family"] = J::toUtf8(style.family);
        styleArray.append(obj);
    }
    return true;
}

QString VYRQResourceManager::toProjectStyleString() const
{
    Json::Value styles;
    if (m_project)
        writeStyle(m_project.get(), styles);
    Json::Value root(Json::objectValue);
    root["style"] = styles;
    return QString::fromStdString(vyr::json::styledText(root));
}
