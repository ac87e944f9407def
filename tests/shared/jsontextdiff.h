#pragma once

// The first difference between two JSON texts as values, or an empty text when they
// hold the same: members in any order (a key twice counts twice), numbers as the exact
// decimal their text writes (1.50 is 1.5, 0.10000000000000001 is not 0.1), strings as
// the code units their escapes and UTF-8 give, where a byte that is no part of UTF-8
// (the three bytes of a surrogate among them) is never equal to an escape. No jsoncpp
// in between, which keeps neither a number's text nor a lone surrogate's escape.
// `extra`: members of `b` that `a` may lack (keys a writer adds); "*" stands for any.

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vyrtest {

struct JsonTextNode {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    std::string scalar;   // "true"/"false", a number's exact decimal, a string's units
    std::vector<JsonTextNode> items;
    std::multimap<std::string, JsonTextNode> members;
};

class JsonTextReader {
public:
    JsonTextReader(const char* begin, const char* end)
        : p(begin)
        , e(end)
    {
    }

    bool read(JsonTextNode& out)
    {
        space();
        if (!value(out, 0))
            return false;
        space();
        return p == e;
    }

private:
    void space()
    {
        while (p != e && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t'))
            ++p;
    }
    static bool digit(char c) { return c >= '0' && c <= '9'; }

    bool literal(const char* word)
    {
        for (const char* w = word; *w; ++w, ++p) {
            if (p == e || *p != *w)
                return false;
        }
        return true;
    }

    bool value(JsonTextNode& out, int depth)
    {
        if (p == e || depth > 600)
            return false;
        switch (*p) {
        case '{': return object(out, depth);
        case '[': return array(out, depth);
        case '"': out.kind = JsonTextNode::String; return string(out.scalar);
        case 't': out.kind = JsonTextNode::Bool; out.scalar = "true"; return literal("true");
        case 'f': out.kind = JsonTextNode::Bool; out.scalar = "false"; return literal("false");
        case 'n': out.kind = JsonTextNode::Null; return literal("null");
        default: out.kind = JsonTextNode::Number; return number(out.scalar);
        }
    }

    bool object(JsonTextNode& out, int depth)
    {
        out.kind = JsonTextNode::Object;
        ++p;
        space();
        if (p != e && *p == '}')
            return ++p, true;
        for (;;) {
            std::string key;
            JsonTextNode member;
            space();
            if (p == e || *p != '"' || !string(key))
                return false;
            key = plain(key);
            space();
            if (p == e || *p != ':')
                return false;
            ++p;
            space();
            if (!value(member, depth + 1))
                return false;
            out.members.emplace(std::move(key), std::move(member));
            space();
            if (p != e && *p == ',') {
                ++p;
                continue;
            }
            if (p != e && *p == '}')
                return ++p, true;
            return false;
        }
    }

    bool array(JsonTextNode& out, int depth)
    {
        out.kind = JsonTextNode::Array;
        ++p;
        space();
        if (p != e && *p == ']')
            return ++p, true;
        for (;;) {
            space();
            out.items.emplace_back();
            if (!value(out.items.back(), depth + 1))
                return false;
            space();
            if (p != e && *p == ',') {
                ++p;
                continue;
            }
            if (p != e && *p == ']')
                return ++p, true;
            return false;
        }
    }

    // A key's units as text: ASCII as itself, any other unit as {N}.
    static std::string plain(const std::string& units)
    {
        std::string out;
        std::size_t at = 0;
        while (at < units.size()) {
            const std::size_t comma = units.find(',', at);
            const std::string piece = units.substr(at, comma - at);
            at = comma + 1;
            const unsigned long u = piece[0] == 'u' ? std::stoul(piece.substr(1)) : 0x110000;
            out += u >= 0x20 && u < 0x7F && u != '{' ? std::string(1, char(u)) : "{" + piece + "}";
        }
        return out;
    }

    static void unit(std::string& out, std::uint32_t u)
    {
        out += "u" + std::to_string(u) + ",";
    }

    bool string(std::string& out)
    {
        ++p;
        out.clear();
        while (p != e && *p != '"') {
            const auto c = static_cast<unsigned char>(*p);
            if (c == '\\') {
                if (++p == e)
                    return false;
                const char x = *p++;
                const char* simple = "\"\\/bfnrt";
                const char* decoded = "\"\\/\b\f\n\r\t";
                const char* at = std::find(simple, simple + 8, x);
                if (at != simple + 8) {
                    unit(out, static_cast<unsigned char>(decoded[at - simple]));
                    continue;
                }
                if (x != 'u' || e - p < 4)
                    return false;
                std::uint32_t u = 0;
                for (int i = 0; i < 4; ++i, ++p) {
                    const char h = *p;
                    const int d = digit(h) ? h - '0' : (h >= 'a' && h <= 'f') ? h - 'a' + 10 : (h >= 'A' && h <= 'F') ? h - 'A' + 10 : -1;
                    if (d < 0)
                        return false;
                    u = u * 16 + std::uint32_t(d);
                }
                unit(out, u);
                continue;
            }
            if (c < 0x20)
                return false;
            // Strict UTF-8; a byte outside it stands for itself, apart from every unit.
            int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
            std::uint32_t cp = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
            bool valid = length > 0 && e - p >= length;
            for (int i = 1; valid && i < length; ++i) {
                const auto next = static_cast<unsigned char>(p[i]);
                valid = (next & 0xC0) == 0x80;
                cp = (cp << 6) | (next & 0x3F);
            }
            const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
            valid = valid && cp >= least[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
            if (!valid) {
                out += "byte" + std::to_string(c) + ",";
                ++p;
                continue;
            }
            p += length;
            if (cp >= 0x10000) {
                unit(out, 0xD800 + ((cp - 0x10000) >> 10));
                unit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                unit(out, cp);
            }
        }
        if (p == e)
            return false;
        ++p;
        return true;
    }

    // "-" or "", the significant digits without leading or trailing zeros, "e" and the
    // power of ten of the last of them; "0" for zero, of either sign.
    bool number(std::string& out)
    {
        std::string sign;
        if (p != e && *p == '-')
            sign = "-", ++p;
        std::string digits;
        long long exponent = 0;
        if (p == e || !digit(*p))
            return false;
        while (p != e && digit(*p))
            digits += *p++;
        if (p != e && *p == '.') {
            ++p;
            if (p == e || !digit(*p))
                return false;
            while (p != e && digit(*p))
                digits += *p++, --exponent;
        }
        if (p != e && (*p == 'e' || *p == 'E')) {
            ++p;
            bool negative = false;
            if (p != e && (*p == '+' || *p == '-'))
                negative = *p++ == '-';
            if (p == e || !digit(*p))
                return false;
            long long power = 0;
            while (p != e && digit(*p))
                power = std::min(power * 10 + (*p++ - '0'), 1LL << 40);
            exponent += negative ? -power : power;
        }
        const std::size_t first = digits.find_first_not_of('0');
        if (first == std::string::npos) {
            out = "0";
            return true;
        }
        digits.erase(0, first);
        while (digits.back() == '0')
            digits.pop_back(), ++exponent;
        out = sign + digits + "e" + std::to_string(exponent);
        return true;
    }

    const char* p;
    const char* e;
};

inline std::string jsonTextNodeDifference(const JsonTextNode& a, const JsonTextNode& b, const std::string& path,
                                          const std::set<std::string>& extra)
{
    static const char* const kinds[] = {"null", "bool", "number", "string", "array", "object"};
    if (a.kind != b.kind)
        return path + ": " + kinds[a.kind] + " against " + kinds[b.kind];
    if (a.scalar != b.scalar)
        return path + ": " + a.scalar + " against " + b.scalar;
    if (a.items.size() != b.items.size())
        return path + ": " + std::to_string(a.items.size()) + " items against " + std::to_string(b.items.size());
    for (std::size_t i = 0; i < a.items.size(); ++i) {
        const std::string d = jsonTextNodeDifference(a.items[i], b.items[i], path + "[" + std::to_string(i) + "]", extra);
        if (!d.empty())
            return d;
    }
    for (auto it = b.members.begin(); it != b.members.end(); it = b.members.upper_bound(it->first)) {
        if (a.members.count(it->first) == 0 && extra.count(it->first) == 0 && extra.count("*") == 0)
            return path + "." + it->first + ": added";
    }
    for (auto it = a.members.begin(); it != a.members.end(); it = a.members.upper_bound(it->first)) {
        const auto mine = a.members.equal_range(it->first);
        const auto theirs = b.members.equal_range(it->first);
        if (std::distance(mine.first, mine.second) != std::distance(theirs.first, theirs.second))
            return path + "." + it->first + ": missing or repeated";
        for (auto i = mine.first, j = theirs.first; i != mine.second; ++i, ++j) {
            const std::string d = jsonTextNodeDifference(i->second, j->second, path + "." + it->first, extra);
            if (!d.empty())
                return d;
        }
    }
    return {};
}

inline std::string jsonTextDifference(const std::string& a, const std::string& b,
                                      const std::set<std::string>& extra = {})
{
    JsonTextNode x;
    JsonTextNode y;
    if (!JsonTextReader(a.data(), a.data() + a.size()).read(x))
        return "$: the first text does not parse";
    if (!JsonTextReader(b.data(), b.data() + b.size()).read(y))
        return "$: the second text does not parse";
    return jsonTextNodeDifference(x, y, "$", extra);
}

} // namespace vyrtest
