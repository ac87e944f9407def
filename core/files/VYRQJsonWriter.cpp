#include "VYRQJsonWriter_p.h"

#include <json/value.h>
#include <json/writer.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// StyledWriter's right margin: an array of scalars goes on one line when its text
// ("[ " and " ]" included) is shorter, and never with 25 entries or more.
constexpr std::size_t rightMargin = 74;
constexpr const char* indentStep = "   ";

void appendQuoted(const char* begin, const char* end, std::string& out)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char* c = begin; c != end; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        switch (byte) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            // A lone surrogate, as a page reads its escape: the escape again, where its
            // bytes would be no UTF-8.
            if (byte == 0xED && end - c >= 3 && (static_cast<unsigned char>(c[1]) & 0xE0) == 0xA0
                && (static_cast<unsigned char>(c[2]) & 0xC0) == 0x80) {
                const unsigned unit = 0xD000 | ((static_cast<unsigned char>(c[1]) & 0x3F) << 6)
                    | (static_cast<unsigned char>(c[2]) & 0x3F);
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4)
                    out += hex[(unit >> shift) & 0xf];
                c += 2;
            } else if (byte < 0x20) {
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0xf];
            } else {
                out += char(byte);
            }
        }
    }
    out += '"';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether [b, e) is a JSON number as a whole; `integral` tells whether it has neither
// fraction nor exponent.
bool isNumberText(const char* b, const char* e, bool& integral)
{
    const char* p = b;
    if (p != e && *p == '-')
        ++p;
    if (p == e || !isDigit(*p))
        return false;
    if (*p == '0')
        ++p;
    else
        while (p != e && isDigit(*p))
            ++p;
    integral = true;
    if (p != e && *p == '.') {
        integral = false;
        if (++p == e || !isDigit(*p))
            return false;
        while (p != e && isDigit(*p))
            ++p;
    }
    if (p != e && (*p == 'e' || *p == 'E')) {
        integral = false;
        ++p;
        if (p != e && (*p == '+' || *p == '-'))
            ++p;
        if (p == e || !isDigit(*p))
            return false;
        while (p != e && isDigit(*p))
            ++p;
    }
    return p == e;
}

// Whether the number text [b, e) reads back as `value`, its type included: an integral
// text within 64 bits is read as an integer, any other as a double.
bool readsBackAs(const char* b, const char* e, const Json::Value& value)
{
    bool integral = false;
    if (!isNumberText(b, e, integral))
        return false;
    std::int64_t asInt = 0;
    std::uint64_t asUInt = 0;
    const bool fitsInt = integral && std::from_chars(b, e, asInt).ec == std::errc();
    const bool fitsUInt = integral && !fitsInt && std::from_chars(b, e, asUInt).ec == std::errc();
    switch (value.type()) {
    case Json::intValue:
        return (fitsInt && asInt == value.asLargestInt()) || (fitsUInt && value.asLargestInt() >= 0
                                                               && asUInt == value.asLargestUInt());
    case Json::uintValue:
        return (fitsUInt && asUInt == value.asLargestUInt())
            || (fitsInt && asInt >= 0 && std::uint64_t(asInt) == value.asLargestUInt());
    case Json::realValue: {
        if (fitsInt || fitsUInt)
            return false;
        const std::string text(b, e);
        const double read = std::strtod(text.c_str(), nullptr);
        const double held = value.asDouble();
        return std::memcmp(&read, &held, sizeof read) == 0;
    }
    default:
        return false;
    }
}

} // namespace

void VYRQJsonWriter::setSource(const char* begin, std::size_t size)
{
    m_source = begin;
    m_sourceSize = size;
}

bool VYRQJsonWriter::sourceText(const Json::Value& value, std::string& text) const
{
    if (!m_source)
        return false;
    const std::ptrdiff_t start = value.getOffsetStart();
    const std::ptrdiff_t limit = value.getOffsetLimit();
    if (start < 0 || limit <= start || std::size_t(limit) > m_sourceSize)
        return false;
    if (!readsBackAs(m_source + start, m_source + limit, value))
        return false;
    text.assign(m_source + start, m_source + limit);
    return true;
}

std::string VYRQJsonWriter::shortestText(double value)
{
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    // Read back as a double, not an integer.
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

VYRQJsonWriter::VYRQJsonWriter(Layout layout, std::size_t maxBytes)
    : m_layout(layout)
    , m_maxBytes(maxBytes)
{
}

bool VYRQJsonWriter::write(const Json::Value& value, std::string& out)
{
    std::string().swap(out);
    // Measured first, so that a text too long is never held, and one that fits takes
    // one allocation of its size.
    for (std::string* target : { static_cast<std::string*>(nullptr), &out }) {
        m_out = target;
        m_size = 0;
        m_indent.clear();
        m_over = false;
        m_nonFinite = false;
        writeValue(value);
        put("\n", 1);
        if (m_over)
            break;
        if (!target)
            out.reserve(m_size);
    }
    m_out = nullptr;
    return !m_over;
}

void VYRQJsonWriter::put(const char* text, std::size_t size)
{
    if (m_over)
        return;
    if (size > m_maxBytes - m_size) {
        m_over = true;
        return;
    }
    m_size += size;
    if (m_out)
        m_out->append(text, size);
}

void VYRQJsonWriter::newLine()
{
    if (m_layout == Layout::Compact)
        return;
    put("\n", 1);
    put(m_indent);
}

void VYRQJsonWriter::scalarText(const Json::Value& value, std::string& text)
{
    if (value.isNumeric() && sourceText(value, text))
        return;
    switch (value.type()) {
    case Json::nullValue: text = "null"; break;
    case Json::intValue: text = Json::valueToString(value.asLargestInt()); break;
    case Json::uintValue: text = Json::valueToString(value.asLargestUInt()); break;
    case Json::realValue:
        if (!std::isfinite(value.asDouble())) {
            // Stops the writing as a text too long does.
            m_nonFinite = true;
            m_over = true;
            text.clear();
            break;
        }
        text = shortestText(value.asDouble());
        break;
    case Json::booleanValue: text = value.asBool() ? "true" : "false"; break;
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        text.clear();
        value.getString(&begin, &end);
        appendQuoted(begin, end, text);
        break;
    }
    case Json::arrayValue: text = "[]"; break;
    case Json::objectValue: text = "{}"; break;
    }
}

void VYRQJsonWriter::writeValue(const Json::Value& value)
{
    if (m_over)
        return;
    if (value.isArray() && !value.empty()) {
        writeArray(value);
    } else if (value.isObject() && !value.empty()) {
        writeObject(value);
    } else {
        std::string text;
        scalarText(value, text);
        put(text);
    }
}

void VYRQJsonWriter::writeObject(const Json::Value& object)
{
    const bool styled = m_layout == Layout::Styled;
    put("{", 1);
    m_indent += indentStep;
    std::string key;
    for (auto it = object.begin(); it != object.end() && !m_over; ++it) {
        if (it != object.begin())
            put(",", 1);
        newLine();
        char const* end = nullptr;
        const char* begin = it.memberName(&end);
        key.clear();
        appendQuoted(begin, end, key);
        put(key);
        put(styled ? " : " : ":", styled ? 3 : 1);
        writeValue(*it);
    }
    m_indent.resize(m_indent.size() - 3);
    newLine();
    put("}", 1);
}

void VYRQJsonWriter::writeArray(const Json::Value& array)
{
    const Json::ArrayIndex size = array.size();
    // Scalars (empty containers among them) in a short array go on one line.
    std::vector<std::string> scalars;
    bool oneLine = m_layout == Layout::Styled && std::size_t(size) * 3 < rightMargin;
    for (Json::ArrayIndex i = 0; i < size && oneLine; ++i) {
        const Json::Value& entry = array[i];
        oneLine = !((entry.isArray() || entry.isObject()) && !entry.empty());
    }
    if (oneLine) {
        scalars.resize(size);
        std::size_t length = 4 + (std::size_t(size) - 1) * 2;
        for (Json::ArrayIndex i = 0; i < size; ++i) {
            scalarText(array[i], scalars[i]);
            length += scalars[i].size();
        }
        if (length < rightMargin) {
            put("[ ", 2);
            for (Json::ArrayIndex i = 0; i < size; ++i) {
                if (i > 0)
                    put(", ", 2);
                put(scalars[i]);
            }
            put(" ]", 2);
            return;
        }
    }
    put("[", 1);
    m_indent += indentStep;
    for (Json::ArrayIndex i = 0; i < size && !m_over; ++i) {
        if (i > 0)
            put(",", 1);
        newLine();
        if (!scalars.empty())
            put(scalars[i]);
        else
            writeValue(array[i]);
    }
    m_indent.resize(m_indent.size() - 3);
    newLine();
    put("]", 1);
}
