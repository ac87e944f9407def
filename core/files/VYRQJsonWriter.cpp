#include "VYRQJsonWriter_p.h"

#include <json/value.h>
#include <json/writer.h>

#include <cmath>
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
            if (byte < 0x20) {
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

} // namespace

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
        text = Json::valueToString(value.asDouble());
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
