#pragma once

#include "VYRQExport.h"

// Page text, written within a bound on its size. In the styled layout every line is
// indented by its depth, so a page of nested controls writes many times what it read
// (a page of 154,000 check boxes read from 3.4 MB took 82 MB); the writer stops as
// soon as the text passes the bound, and holds none that does.
//
// Styled is Json::StyledWriter's layout: members in key order, three spaces a level,
// "key" : value, an array of scalars on one line while that line stays under 74
// characters. Text outside ASCII is written as its UTF-8 bytes, where StyledWriter
// writes a \u escape of six bytes for every UTF-16 unit; the values read back the
// same. Compact is the same text without the layout's whitespace. Comments are not
// written. A number that is not finite has no JSON text (a NaN would go out as null,
// an infinity as a number no reader takes): a value holding one is not written.
//
// A number is written as the text it was read from when the writer is given that text
// (setSource) and the value's offsets find in it a number that reads back the same;
// otherwise a double is written as the shortest text that reads back the same double.
// A lone surrogate (the three bytes a page reads its escape as) is written as its escape.

#include <cstddef>
#include <string>

namespace Json {
class Value;
}

class VYRQTLIB_EXPORT VYRQJsonWriter {
public:
    enum class Layout { Styled, Compact };

    VYRQJsonWriter(Layout layout, std::size_t maxBytes);

    // The text of `value`, ending with a newline, into `out`. False, with `out`
    // emptied, when it would be longer than maxBytes or holds a number that is not
    // finite (heldNonFinite then tells which).
    bool write(const Json::Value& value, std::string& out);
    bool heldNonFinite() const { return m_nonFinite; }
    // The text the values being written were read from, which must outlive the writing.
    void setSource(const char* begin, std::size_t size);
    static std::string shortestText(double value);

private:
    void writeValue(const Json::Value& value);
    void writeArray(const Json::Value& array);
    void writeObject(const Json::Value& object);
    // A scalar or an empty container, as text.
    void scalarText(const Json::Value& value, std::string& text);
    bool sourceText(const Json::Value& value, std::string& text) const;
    void newLine();
    void put(const char* text, std::size_t size);
    void put(const std::string& text) { put(text.data(), text.size()); }

    Layout m_layout;
    std::size_t m_maxBytes;
    std::string* m_out = nullptr;   // null while the text is only measured
    std::size_t m_size = 0;
    std::string m_indent;
    bool m_over = false;
    bool m_nonFinite = false;
    const char* m_source = nullptr;
    std::size_t m_sourceSize = 0;
};
