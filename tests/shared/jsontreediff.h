#pragma once

// The first difference between two jsoncpp trees, or an empty text when they are
// the same: types (an intValue is not a uintValue), values (doubles bit for bit),
// member names and order (also as iterator keys), array lengths and source offsets.
// Used by the reader's differential test and its fuzzer, against vyr::json::parseFull.
// Without `offsets`, two trees read from different texts compare by their values alone
// (a text written and read back against the one it was written from).

#include <json/value.h>

#include <cstring>
#include <string>

namespace vyrtest {

inline std::string jsonTreeDifference(const Json::Value& a, const Json::Value& b, const std::string& path = "$",
                                      bool offsets = true)
{
    static const char* const typeNames[] = {"null", "int", "uint", "real", "string", "bool", "array", "object"};
    if (a.type() != b.type())
        return path + ": type " + typeNames[a.type()] + " against " + typeNames[b.type()];
    if (offsets && (a.getOffsetStart() != b.getOffsetStart() || a.getOffsetLimit() != b.getOffsetLimit()))
        return path + ": offsets [" + std::to_string(a.getOffsetStart()) + ", " + std::to_string(a.getOffsetLimit())
            + ") against [" + std::to_string(b.getOffsetStart()) + ", " + std::to_string(b.getOffsetLimit()) + ")";
    switch (a.type()) {
    case Json::nullValue:
        return {};
    case Json::intValue:
        return a.asInt64() == b.asInt64() ? std::string()
                                          : path + ": " + std::to_string(a.asInt64()) + " against " + std::to_string(b.asInt64());
    case Json::uintValue:
        return a.asUInt64() == b.asUInt64() ? std::string()
                                            : path + ": " + std::to_string(a.asUInt64()) + " against " + std::to_string(b.asUInt64());
    case Json::realValue: {
        const double x = a.asDouble();
        const double y = b.asDouble();
        return std::memcmp(&x, &y, sizeof x) == 0 ? std::string()
                                                  : path + ": " + std::to_string(x) + " against " + std::to_string(y);
    }
    case Json::booleanValue:
        return a.asBool() == b.asBool() ? std::string() : path + ": boolean differs";
    case Json::stringValue: {
        const char *ab, *ae, *bb, *be;
        a.getString(&ab, &ae);
        b.getString(&bb, &be);
        if (ae - ab != be - bb || std::memcmp(ab, bb, size_t(ae - ab)) != 0)
            return path + ": \"" + std::string(ab, ae) + "\" against \"" + std::string(bb, be) + "\"";
        return {};
    }
    case Json::arrayValue:
        if (a.size() != b.size())
            return path + ": " + std::to_string(a.size()) + " items against " + std::to_string(b.size());
        for (Json::ArrayIndex i = 0; i < a.size(); ++i) {
            const std::string d = jsonTreeDifference(a[i], b[i], path + "[" + std::to_string(i) + "]", offsets);
            if (!d.empty())
                return d;
        }
        return {};
    case Json::objectValue: {
        if (a.size() != b.size())
            return path + ": " + std::to_string(a.size()) + " members against " + std::to_string(b.size());
        if (a.getMemberNames() != b.getMemberNames())
            return path + ": member names differ";
        auto i = a.begin();
        auto j = b.begin();
        for (; i != a.end(); ++i, ++j) {
            const std::string name = i.name();
            if (name != j.name())
                return path + ": member \"" + name + "\" against \"" + j.name() + "\"";
            // key() rebuilds the name by its own path for keys that are not copied.
            const Json::Value key = i.key();
            if (key.type() != Json::stringValue || key.asString() != name || !(key == j.key()))
                return path + ": key of member \"" + name + "\" differs";
            const std::string d = jsonTreeDifference(*i, *j, path + "." + name, offsets);
            if (!d.empty())
                return d;
        }
        return {};
    }
    }
    return path + ": unknown type";
}

} // namespace vyrtest
