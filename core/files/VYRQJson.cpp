#include "VYRQJson.h"
#include "VYRQJsonEscape_p.h"
#include "VYRQJsonReader.h"

#include <json/reader.h>
#include <json/writer.h>

#include <cctype>
#include <cstring>
#include <climits>
#include <cmath>
#include <memory>

namespace vyr {
namespace json {

namespace {
// Deeper than any page the loader builds, shallow enough that the recursive parser and
// our own recursive readers stay far from the stack's end.
constexpr int maxNesting = VYRQJsonReader::maxDepth + 72;
static_assert(VYRQJsonReader::maxDepth + 32 < maxNesting, "the fast reader must decline well before the limit");
}

bool parse(const char* begin, const char* end, Json::Value& root)
{
    if (!begin || !end || end < begin)
        return false;
    // Plain JSON takes the fast reader; whatever it declines (comments, odd numbers,
    // syntax errors, ...) the full reader below decides, with unchanged settings.
    try {
        VYRQJsonReader fast;
        if (fast.parse(begin, end, root) == VYRQJsonReader::Result::Parsed)
            return true;
    } catch (...) {
        return false;
    }
    return parseFull(begin, end, root);
}

bool parseFull(const char* begin, const char* end, Json::Value& root)
{
    if (!begin || !end || end < begin)
        return false;
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    builder["stackLimit"] = maxNesting;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    try {
        Json::Value parsed;
        if (!reader->parse(begin, end, &parsed, &errors))
            return false;
        root.swap(parsed);
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

// The \u escape of [p, p + 6) as a number, or -1.
long escapeAt(const char* p, const char* end)
{
    if (end - p < 6 || p[0] != '\\' || p[1] != 'u')
        return -1;
    return vyr::jsonEscapeUnit(p + 2);
}

// The first high surrogate escape in a string of [begin, end) that no low one follows.
const char* loneHighSurrogate(const char* begin, const char* end)
{
    bool inString = false;
    for (const char* p = begin; p < end; ++p) {
        if (*p == '"') {
            inString = !inString;
        } else if (inString && *p == '\\' && p + 1 < end) {
            const long unit = escapeAt(p, end);
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                const long next = escapeAt(p + 6, end);
                if (next < 0xDC00 || next > 0xDFFF)
                    return p;
            }
            ++p;
        }
    }
    return nullptr;
}

} // namespace

bool parseWholePage(const char* begin, const char* end, Json::Value& root, std::string& why)
{
    why.clear();
    if (!begin || !end || end < begin) {
        why = "it is empty";
        return false;
    }
    try {
        VYRQJsonReader fast(VYRQJsonReader::Mode::WholePage);
        switch (fast.parse(begin, end, root)) {
        case VYRQJsonReader::Result::Parsed:
            return true;
        case VYRQJsonReader::Result::Refused:
            why = fast.refusal();
            return false;
        case VYRQJsonReader::Result::NotMine:
            break;
        }
        // The full reader takes a high surrogate escape and whatever escape follows as a
        // pair: "\ud800\u0041" would come back as another character.
        if (const char* lone = loneHighSurrogate(begin, end)) {
            why = "holds a lone surrogate escape at byte " + std::to_string(lone - begin)
                + " in a text only the full reader takes (comments, trailing commas, ...), which it would not read as written";
            return false;
        }
        Json::CharReaderBuilder builder;
        builder["allowComments"] = true;
        builder["collectComments"] = false;
        builder["stackLimit"] = maxNesting;
        builder["rejectDupKeys"] = true;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value parsed;
        std::string errors;
        if (reader->parse(begin, end, &parsed, &errors)) {
            root.swap(parsed);
            return true;
        }
        // "* Line 1, Column 9\n  Syntax error: ...\n": the first error on one line.
        std::string first = errors.substr(0, errors.find("\n*", 1));
        for (char& c : first) {
            if (c == '\n')
                c = ' ';
        }
        while (!first.empty() && (first.back() == ' ' || first.back() == '\n'))
            first.pop_back();
        if (first.size() > 2 && first.compare(0, 2, "* ") == 0)
            first.erase(0, 2);
        why = "it does not parse: " + (first.empty() ? std::string("syntax error") : first);
    } catch (...) {
        why = "it does not parse";
    }
    return false;
}

bool parse(const QByteArray& text, Json::Value& root)
{
    return parse(text.constData(), text.constData() + text.size(), root);
}

std::string styledText(const Json::Value& value)
{
    Json::StyledWriter writer;
    return writer.write(value);
}

const Json::Value* member(const Json::Value& obj, const char* key)
{
    if (!key || !obj.isObject())
        return nullptr;
    return obj.find(key, key + std::strlen(key));
}

Json::Value* member(Json::Value& obj, const char* key)
{
    return const_cast<Json::Value*>(member(static_cast<const Json::Value&>(obj), key));
}

bool has(const Json::Value& obj, const char* key)
{
    return member(obj, key) != nullptr;
}

bool toBool(const Json::Value& v, bool& out)
{
    if (v.isBool()) {
        out = v.asBool();
        return true;
    }
    if (v.isIntegral()) {
        out = v.isInt64() ? v.asInt64() != 0 : v.asUInt64() != 0;
        return true;
    }
    return false;
}

bool toInt(const Json::Value& v, int& out)
{
    if (v.isInt()) {
        out = v.asInt();
        return true;
    }
    if (v.isBool()) {
        out = v.asBool() ? 1 : 0;
        return true;
    }
    if (v.isDouble()) {
        const double d = v.asDouble();
        if (std::isfinite(d) && d >= double(INT_MIN) && d <= double(INT_MAX)) {
            out = int(d);
            return true;
        }
    }
    return false;
}

bool toDouble(const Json::Value& v, double& out)
{
    if (v.isNumeric()) {
        out = v.asDouble();
        return true;
    }
    return false;
}

bool toString(const Json::Value& v, QString& out)
{
    if (!v.isString())
        return false;
    const char* b = nullptr;
    const char* e = nullptr;
    v.getString(&b, &e);
    out = QString::fromUtf8(b, int(e - b));
    return true;
}

bool read(const Json::Value& obj, const char* key, bool& out)
{
    const Json::Value* v = member(obj, key);
    return v && toBool(*v, out);
}

bool read(const Json::Value& obj, const char* key, int& out)
{
    const Json::Value* v = member(obj, key);
    return v && toInt(*v, out);
}

bool read(const Json::Value& obj, const char* key, unsigned int& out)
{
    const Json::Value* v = member(obj, key);
    if (!v)
        return false;
    if (v->isUInt()) {
        out = v->asUInt();
        return true;
    }
    int i = 0;
    if (toInt(*v, i)) {
        out = unsigned(i);
        return true;
    }
    return false;
}

bool read(const Json::Value& obj, const char* key, double& out)
{
    const Json::Value* v = member(obj, key);
    return v && toDouble(*v, out);
}

bool read(const Json::Value& obj, const char* key, float& out)
{
    double d = 0;
    if (!read(obj, key, d))
        return false;
    out = float(d);
    return true;
}

bool read(const Json::Value& obj, const char* key, QString& out)
{
    const Json::Value* v = member(obj, key);
    return v && toString(*v, out);
}

bool read(const Json::Value& obj, const char* key, std::string& out)
{
    const Json::Value* v = member(obj, key);
    if (!v || !v->isString())
        return false;
    out = v->asString();
    return true;
}

bool boolOr(const Json::Value& obj, const char* key, bool fallback)
{
    read(obj, key, fallback);
    return fallback;
}

int intOr(const Json::Value& obj, const char* key, int fallback)
{
    read(obj, key, fallback);
    return fallback;
}

double doubleOr(const Json::Value& obj, const char* key, double fallback)
{
    read(obj, key, fallback);
    return fallback;
}

QString stringOr(const Json::Value& obj, const char* key, const QString& fallback)
{
    QString out = fallback;
    read(obj, key, out);
    return out;
}

const Json::Value* array(const Json::Value& obj, const char* key)
{
    const Json::Value* v = member(obj, key);
    return v && v->isArray() ? v : nullptr;
}

const Json::Value* object(const Json::Value& obj, const char* key)
{
    const Json::Value* v = member(obj, key);
    return v && v->isObject() ? v : nullptr;
}

unsigned int parseColorNumber(const char* text)
{
    if (!text)
        return 0;
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2])))
        p += 2;
    // Accumulated in 64 bits and clamped, as a 32-bit strtoul saturates.
    unsigned long long value = 0;
    bool overflow = false;
    for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p) {
        const char c = *p;
        const int digit = c <= '9' ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        if (!overflow) {
            value = value * 16 + unsigned(digit);
            if (value > 0xFFFFFFFFull)
                overflow = true;
        }
    }
    return overflow ? 0xFFFFFFFFu : unsigned(value);
}

QColor colorFromText(const char* text, bool withAlpha)
{
    const unsigned int argb = parseColorNumber(text);
    QColor c = QColor::fromRgba(argb);
    if (!withAlpha)
        c.setAlpha(255);
    return c;
}

QColor colorFromText(const std::string& text, bool withAlpha)
{
    return colorFromText(text.c_str(), withAlpha);
}

std::string colorToText(const QColor& color)
{
    // Written for every colour of every control a page saves: no formatted print.
    static const char digits[] = "0123456789ABCDEF";
    const int parts[] = {color.alpha(), color.red(), color.green(), color.blue()};
    std::string text(8, '0');
    for (int i = 0; i < 4; ++i) {
        text[std::size_t(2 * i)] = digits[(parts[i] >> 4) & 0xF];
        text[std::size_t(2 * i + 1)] = digits[parts[i] & 0xF];
    }
    return text;
}

bool readColor(const Json::Value& obj, const char* key, QColor& out, bool withAlpha)
{
    const Json::Value* v = member(obj, key);
    if (!v || !v->isString())
        return false;
    out = colorFromText(v->asString(), withAlpha);
    return true;
}

QString toQString(const Json::Value& v)
{
    QString out;
    toString(v, out);
    return out;
}

std::string toUtf8(const QString& text)
{
    // Most texts a page writes (names, types, keys) are ASCII: made in place.
    const int length = text.size();
    const QChar* chars = text.constData();
    std::string out(std::size_t(length), '\0');
    for (int i = 0; i < length; ++i) {
        const ushort c = chars[i].unicode();
        if (c >= 0x80) {
            const QByteArray bytes = text.toUtf8();
            return std::string(bytes.constData(), size_t(bytes.size()));
        }
        out[std::size_t(i)] = char(c);
    }
    return out;
}

void writeUnlessEmpty(Json::Value& obj, const char* key, const QString& value)
{
    if (!value.isEmpty())
        obj[key] = toUtf8(value);
}

void writeUnlessDefault(Json::Value& obj, const char* key, int value, int fallback)
{
    if (value != fallback)
        obj[key] = value;
}

} // namespace json
} // namespace vyr
