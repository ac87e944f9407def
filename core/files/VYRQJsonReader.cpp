#include "VYRQJsonReader.h"
#include "VYRQJsonEscape_p.h"

#include <json/value.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>

namespace {

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void appendUtf8(std::string& out, unsigned long cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Gives `out` the type and payload of `v`. Cheaper than assignment, which also
// moves comments and offsets; a duplicate key's earlier value is released here.
inline void put(Json::Value& out, Json::Value&& v)
{
    out.swapPayload(v);
}


// Keys that pages, themes and style files repeat in every element. A member under one
// of these keys is inserted through jsoncpp's StaticString path, which keeps a pointer
// to the literal instead of duplicating the key on insertion and freeing it with the
// tree. Grouped by length at compile time; within a length the first listed is tried
// first, so the most frequent keys lead.
constexpr std::string_view tableKeys[] = {
    // elements and layout
    "type", "name", "x", "y", "w", "h", "attr", "child", "layout", "ratio", "style", "text",
    "widthPolicy", "heightPolicy", "childLayout", "elements", "theme", "tooltip", "visibility",
    "enable", "absoluteLayout", "absoluteDockHor", "absoluteDockVer", "absoluteDockOffsetX",
    "absoluteDockOffsetY", "minWidth", "minHeight", "maxWidth", "maxHeight",
    // style files
    "clr", "drawImg", "round", "size", "hor", "ver", "family", "borderclr", "borderSize", "border",
    "bold", "italic", "underline", "isHor", "singleline", "img", "margin", "leftBorder", "topBorder",
    "rightBorder", "bottomBorder", "roundTopLeft", "roundTopRight", "roundBottomLeft",
    "roundBottomRight", "repeatLeft", "repeatTop", "repeatRight", "repeatBottom", "repeatCenter",
    // control attributes
    "id", "icon", "items", "control", "checked", "checkable", "enabled", "value", "val", "min", "max",
    "showText", "showIcon", "hasIcon", "iconPath", "hotIconPath", "iconX", "iconY", "iconHor",
    "iconVer", "txtX", "txtY", "menu", "separator", "itemHeight", "color", "background",
    "paddingLeft", "paddingTop", "paddingRight", "paddingBottom", "spacing", "layoutMode",
    "thumbW", "thumbH", "leftText", "rightText", "tip", "pages", "groups",
};

constexpr std::size_t longestTableKey()
{
    std::size_t n = 0;
    for (std::string_view k : tableKeys)
        n = k.size() > n ? k.size() : n;
    return n;
}

constexpr std::size_t tableKeyCount = sizeof(tableKeys) / sizeof(tableKeys[0]);

// The table ordered by length (stable) and where each length's run starts.
struct KeyIndex {
    std::string_view keys[tableKeyCount] = {};
    std::size_t start[longestTableKey() + 2] = {};
};

constexpr KeyIndex makeKeyIndex()
{
    KeyIndex index;
    std::size_t at = 0;
    for (std::size_t len = 0; len <= longestTableKey(); ++len) {
        index.start[len] = at;
        for (std::string_view k : tableKeys) {
            if (k.size() == len)
                index.keys[at++] = k;
        }
    }
    index.start[longestTableKey() + 1] = at;
    return index;
}

constexpr KeyIndex keyIndex = makeKeyIndex();

constexpr bool tableIsSound()
{
    for (std::size_t i = 0; i < tableKeyCount; ++i) {
        if (tableKeys[i].empty())
            return false;
        for (char c : tableKeys[i]) {
            if (c == '\0' || c == '"' || c == '\\')
                return false;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (tableKeys[i] == tableKeys[j])
                return false;
        }
    }
    return keyIndex.start[longestTableKey() + 1] == tableKeyCount;
}
static_assert(tableIsSound(), "table keys must be unique, non-empty and need no escapes");

// The table's own literal (NUL-terminated) for the key [b, b + n), or null.
inline const char* tableKey(const char* b, std::size_t n)
{
    if (n == 0 || n > longestTableKey())
        return nullptr;
    for (std::size_t i = keyIndex.start[n], last = keyIndex.start[n + 1]; i < last; ++i) {
        const std::string_view k = keyIndex.keys[i];
        if (k[0] == b[0] && std::memcmp(k.data() + 1, b + 1, n - 1) == 0)
            return k.data();
    }
    return nullptr;
}

} // namespace

VYRQJsonReader::Result VYRQJsonReader::parse(const char* begin, const char* end, Json::Value& root)
{
    if (!begin || !end || end <= begin)
        return Result::NotMine;
    begin_ = begin;
    p_ = begin;
    end_ = end;
    refusal_.clear();
    Json::Value parsed;
    skipSpace();
    if (!readValue(parsed, 0))
        return refusal_.empty() ? Result::NotMine : Result::Refused;
    skipSpace();
    if (p_ != end_)
        return Result::NotMine;
    root.swap(parsed);
    return Result::Parsed;
}

inline void VYRQJsonReader::skipSpace()
{
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t'))
        ++p_;
}

inline void VYRQJsonReader::setOffsets(Json::Value& v, const char* start) const
{
    v.setOffsetStart(start - begin_);
    v.setOffsetLimit(p_ - begin_);
}

bool VYRQJsonReader::readValue(Json::Value& out, int depth)
{
    if (p_ == end_)
        return false;
    const char* start = p_;
    switch (*p_) {
    case '{':
        return readObject(out, depth + 1);
    case '[':
        return readArray(out, depth + 1);
    case '"':
        return readString(out);
    case 't':
        if (end_ - p_ < 4 || std::memcmp(p_, "true", 4) != 0)
            return false;
        p_ += 4;
        put(out, Json::Value(true));
        break;
    case 'f':
        if (end_ - p_ < 5 || std::memcmp(p_, "false", 5) != 0)
            return false;
        p_ += 5;
        put(out, Json::Value(false));
        break;
    case 'n':
        if (end_ - p_ < 4 || std::memcmp(p_, "null", 4) != 0)
            return false;
        p_ += 4;
        put(out, Json::Value());
        break;
    default:
        return readNumber(out);
    }
    setOffsets(out, start);
    return true;
}

// Opens the object or array at p_ (`close` names which): `out` becomes an empty one.
// True when it closes at once (`close` consumed, offsets set).
bool VYRQJsonReader::open(Json::Value& out, char close, const char* start)
{
    ++p_;
    // A fresh value: a duplicate key's earlier value is replaced, not merged.
    put(out, Json::Value(close == '}' ? Json::objectValue : Json::arrayValue));
    skipSpace();
    if (p_ == end_ || *p_ != close)
        return false;
    ++p_;
    setOffsets(out, start);
    return true;
}

// After an item: Closed (`close` consumed, offsets set), Next (past the comma and the
// space after it) or Bad.
VYRQJsonReader::Step VYRQJsonReader::afterItem(Json::Value& out, char close, const char* start)
{
    skipSpace();
    if (p_ == end_)
        return Step::Bad;
    if (*p_ == close) {
        ++p_;
        setOffsets(out, start);
        return Step::Closed;
    }
    if (*p_ != ',')
        return Step::Bad;
    ++p_;
    skipSpace();
    return Step::Next;
}

bool VYRQJsonReader::readObject(Json::Value& out, int depth)
{
    if (depth > maxDepth)
        return false;
    const char* start = p_;
    if (open(out, '}', start))
        return true;
    for (;;) {
        if (p_ == end_ || *p_ != '"')
            return false;
        ++p_;
        const char* kb;
        const char* ke;
        if (!scanString(kb, ke))
            return false;
        skipSpace();
        if (p_ == end_ || *p_ != ':')
            return false;
        ++p_;
        skipSpace();
        // Both paths are done with [kb, ke) on return, so scratch_ may be reused by the value.
        const char* shared = tableKey(kb, std::size_t(ke - kb));
        const Json::ArrayIndex before = out.size();
        Json::Value* slot = shared ? &out[Json::StaticString(shared)] : out.demand(kb, ke);
        if (mode_ == Mode::WholePage && out.size() == before) {
            refusal_ = "holds the key \"" + std::string(kb, std::min(ke, kb + 80)) + "\" twice in the object at byte "
                + std::to_string(start - begin_) + ", of which a save would keep one value";
            return false;
        }
        if (!readValue(*slot, depth))
            return false;
        const Step step = afterItem(out, '}', start);
        if (step != Step::Next)
            return step == Step::Closed;
    }
}

bool VYRQJsonReader::readArray(Json::Value& out, int depth)
{
    if (depth > maxDepth)
        return false;
    const char* start = p_;
    if (open(out, ']', start))
        return true;
    for (;;) {
        Json::Value& item = out.append(Json::Value());
        if (!readValue(item, depth))
            return false;
        const Step step = afterItem(out, ']', start);
        if (step != Step::Next)
            return step == Step::Closed;
    }
}

bool VYRQJsonReader::readString(Json::Value& out)
{
    const char* start = p_++;
    const char* b;
    const char* e;
    if (!scanString(b, e))
        return false;
    put(out, Json::Value(b, e));
    setOffsets(out, start);
    return true;
}

bool VYRQJsonReader::scanString(const char*& b, const char*& e)
{
    const char* from = p_;
    const char* p = p_;
    while (p < end_ && *p != '"' && *p != '\\')
        ++p;
    if (p == end_)
        return false;
    if (*p == '"') {
        b = from;
        e = p;
        p_ = p + 1;
        return true;
    }
    p_ = p;
    if (!decodeEscapes(from))
        return false;
    b = scratch_.data();
    e = b + scratch_.size();
    return true;
}

// p_ is at the first backslash of the string that starts at `from`; decodes the
// rest into scratch_ and leaves p_ past the closing quote.
bool VYRQJsonReader::decodeEscapes(const char* from)
{
    scratch_.assign(from, p_);
    const char* p = p_;
    for (;;) {
        const char* run = p;
        while (p < end_ && *p != '"' && *p != '\\')
            ++p;
        scratch_.append(run, p);
        if (p == end_)
            return false;
        if (*p == '"')
            break;
        if (end_ - p < 2)
            return false;
        const char c = p[1];
        p += 2;
        switch (c) {
        case '"': scratch_ += '"'; break;
        case '\\': scratch_ += '\\'; break;
        case '/': scratch_ += '/'; break;
        case 'b': scratch_ += '\b'; break;
        case 'f': scratch_ += '\f'; break;
        case 'n': scratch_ += '\n'; break;
        case 'r': scratch_ += '\r'; break;
        case 't': scratch_ += '\t'; break;
        case 'u': {
            if (end_ - p < 4)
                return false;
            long cp = vyr::jsonEscapeUnit(p);
            p += 4;
            const bool lone = mode_ == Mode::WholePage;
            if (cp < 0 || (cp >= 0xDC00 && cp <= 0xDFFF && !lone))
                return false;
            if (lone && cp >= 0xD800 && cp <= 0xDBFF) {
                const long low = end_ - p >= 6 && p[0] == '\\' && p[1] == 'u' ? vyr::jsonEscapeUnit(p + 2) : -1;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    p += 6;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
            } else if (cp >= 0xD800 && cp <= 0xDBFF) {
                // Only a high surrogate followed by a low one is taken.
                if (end_ - p < 6 || p[0] != '\\' || p[1] != 'u')
                    return false;
                const long low = vyr::jsonEscapeUnit(p + 2);
                if (low < 0xDC00 || low > 0xDFFF)
                    return false;
                p += 6;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            appendUtf8(scratch_, static_cast<unsigned long>(cp));
            break;
        }
        default:
            return false;
        }
    }
    p_ = p + 1;
    return true;
}

bool VYRQJsonReader::readNumber(Json::Value& out)
{
    const char* start = p_;
    const char* p = p_;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    if (p == end_ || !isDigit(*p))
        return false;
    // The full reader takes "01" as 1; declined rather than copied.
    if (*p == '0' && p + 1 < end_ && isDigit(p[1]))
        return false;
    const char* digits = p;
    std::uint64_t magnitude = 0;
    int nonZero = 0;
    while (p < end_ && isDigit(*p)) {
        const int d = *p - '0';
        if (p - digits < 19)
            magnitude = magnitude * 10 + std::uint64_t(d);
        nonZero |= d;
        ++p;
    }
    const bool fraction = p < end_ && *p == '.';
    const bool exponent = p < end_ && (*p == 'e' || *p == 'E');
    if (!fraction && !exponent) {
        // Every integer within Int64 becomes an intValue, positive ones too.
        constexpr std::uint64_t int64Max = std::uint64_t(INT64_MAX);
        if (p - digits > 19 || magnitude > int64Max + (negative ? 1 : 0))
            return mode_ == Mode::WholePage && readWideNumber(out, start, p, negative);
        Json::Int64 value;
        if (!negative)
            value = Json::Int64(magnitude);
        else if (magnitude == int64Max + 1)
            value = INT64_MIN;
        else
            value = -Json::Int64(magnitude);
        p_ = p;
        put(out, Json::Value(value));
        setOffsets(out, start);
        return true;
    }
    if (fraction) {
        ++p;
        if (p == end_ || !isDigit(*p))
            return false;
        while (p < end_ && isDigit(*p)) {
            nonZero |= *p - '0';
            ++p;
        }
    }
    if (p < end_ && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end_ && (*p == '+' || *p == '-'))
            ++p;
        if (p == end_ || !isDigit(*p))
            return false;
        while (p < end_ && isDigit(*p))
            ++p;
    }
    double value = 0;
    const std::from_chars_result r = std::from_chars(start, p, value);
    const bool underflow = value == 0 ? nonZero != 0 : std::fabs(value) < DBL_MIN;
    if (r.ec != std::errc() || r.ptr != p || !std::isfinite(value) || underflow) {
        // Underflow (to zero or into the subnormal range) is otherwise left to the full reader.
        return mode_ == Mode::WholePage && readWideNumber(out, start, p, negative);
    }
    p_ = p;
    put(out, Json::Value(value));
    setOffsets(out, start);
    return true;
}

// [start, p) is a number the plain reading leaves to the full reader: an integer past
// Int64, a double past the range or below the normal one. Read as the full reader
// reads them (an integer within UInt64 as a uintValue, any other as the C library's
// double), so that nothing of a whole page goes to that reader for a number alone;
// one past the largest double is refused, as no text can be written back for it.
bool VYRQJsonReader::readWideNumber(Json::Value& out, const char* start, const char* p, bool negative)
{
    std::uint64_t whole = 0;
    const bool integral = std::find_if(start, p, [](char c) { return c == '.' || c == 'e' || c == 'E'; }) == p;
    if (integral && !negative && std::from_chars(start, p, whole).ec == std::errc()) {
        put(out, Json::Value(Json::UInt64(whole)));
    } else {
        const std::string text(start, p);
        const double value = std::strtod(text.c_str(), nullptr);
        if (!std::isfinite(value)) {
            refusal_ = "holds the number " + text.substr(0, 40) + " at byte " + std::to_string(start - begin_)
                + ", past the largest double, which no save could write back";
            return false;
        }
        put(out, Json::Value(value));
    }
    p_ = p;
    setOffsets(out, start);
    return true;
}
