#pragma once

#include "VYRQExport.h"

// A single-pass reader for the plain JSON our pages, themes and styles are written
// in. It builds the Json::Value tree straight from the text, the same tree (types,
// members, offsets) that jsoncpp's reader builds with vyr::json::parse's settings,
// and declines anything outside the subset it is sure of: comments, trailing
// commas, a BOM, text after the root, leading zeros, integers beyond Int64, doubles
// out of range or of an odd shape, surrogate \u escapes that are not a proper pair,
// deep nesting, and every syntax error. A declined text goes to jsoncpp, which
// decides it, so the reader only has to be right when it accepts.
//
// Bounded: recursion stops at maxDepth, it never reads outside [begin, end), and it
// allocates only the tree and one scratch buffer for strings with escapes. Members
// under the keys every page and style file repeats ("type", "name", "x", ...) point
// at the reader's own static key texts instead of holding a copy of the key, as
// jsoncpp's StaticString keys do; the tree and its copies stay equal to the full
// reader's in every respect.

#include <string>

namespace Json {
class Value;
}

class VYRQTLIB_EXPORT VYRQJsonReader {
public:
    enum class Result {
        Parsed,     // `root` holds the tree
        NotMine,    // `root` is untouched; the text needs the full reader
        Refused     // a page read whole only: `refusal()` says why (no other reader takes it)
    };

    // A page the design canvas opens, which it must write back value for value: a key
    // twice in one object is refused (one value would be lost), and a lone surrogate
    // escape, high or low, is taken as the three bytes of its code unit, as the full
    // reader takes a lone low one, so that the writer can give its escape back.
    enum class Mode { Plain, WholePage };

    VYRQJsonReader() = default;
    explicit VYRQJsonReader(Mode mode)
        : mode_(mode)
    {
    }

    // Containers nested deeper than this are declined. A page nests each element level
    // in two (the element and its "child" list) within its own object and "elements"
    // list: the page loader's 128 element levels take 258, and the deepest element's
    // own keys ("attr", "style" and what they hold) up to 16 more. Well below the full
    // reader's stack limit, so neither reader gets near the end of the stack.
    static constexpr int maxDepth = 2 * 128 + 2 + 16;

    Result parse(const char* begin, const char* end, Json::Value& root);
    const std::string& refusal() const { return refusal_; }

private:
    bool readValue(Json::Value& out, int depth);
    enum class Step { Next, Closed, Bad };
    bool open(Json::Value& out, char close, const char* start);
    Step afterItem(Json::Value& out, char close, const char* start);
    bool readObject(Json::Value& out, int depth);
    bool readArray(Json::Value& out, int depth);
    bool readString(Json::Value& out);
    bool readNumber(Json::Value& out);
    bool readWideNumber(Json::Value& out, const char* start, const char* p, bool negative);
    // Scans the string at p_ (just past its opening quote) and leaves p_ past its
    // closing quote. [b, e) is the raw text when it has no escape, else the
    // decoded bytes in scratch_.
    bool scanString(const char*& b, const char*& e);
    bool decodeEscapes(const char* from);
    void skipSpace();
    void setOffsets(Json::Value& v, const char* start) const;

    const char* begin_ = nullptr;
    const char* p_ = nullptr;
    const char* end_ = nullptr;
    std::string scratch_;
    std::string refusal_;
    Mode mode_ = Mode::Plain;
};
