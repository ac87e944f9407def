#pragma once

#include "VYRQExport.h"

// Type-checked access to jsoncpp values. jsoncpp throws when a value of the wrong
// type is converted or indexed; every reader of the library goes through these
// helpers instead, so a malformed page or theme fails cleanly.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <json/value.h>

namespace vyr {
namespace json {

// Parses [begin, end) as JSON with comments allowed. False on a syntax error, on
// nesting deeper than a few hundred levels and on any exception of the parser.
VYRQTLIB_EXPORT bool parse(const char* begin, const char* end, Json::Value& root);
VYRQTLIB_EXPORT bool parse(const QByteArray& text, Json::Value& root);
// A page the design canvas opens: as parse, but a key twice in one object is refused
// and a lone surrogate escape is taken (VYRQJsonReader::Mode::WholePage). `why` gets
// the reason of a refusal.
VYRQTLIB_EXPORT bool parseWholePage(const char* begin, const char* end, Json::Value& root, std::string& why);
// jsoncpp's own reader with the same settings: what parse falls back to for anything the
// fast reader declines (tests and benchmarks compare the two through it).
VYRQTLIB_EXPORT bool parseFull(const char* begin, const char* end, Json::Value& root);

// Styled (indented) JSON text, as Json::StyledWriter gives it.
VYRQTLIB_EXPORT std::string styledText(const Json::Value& value);

// The member `key` of `obj`, or null when `obj` is not an object or lacks it.
VYRQTLIB_EXPORT const Json::Value* member(const Json::Value& obj, const char* key);
VYRQTLIB_EXPORT Json::Value* member(Json::Value& obj, const char* key);
VYRQTLIB_EXPORT bool has(const Json::Value& obj, const char* key);

// Each reader leaves `out` unchanged and returns false when the key is absent or
// its value has a type that does not convert cleanly.
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, bool& out);
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, int& out);
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, unsigned int& out);
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, double& out);
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, float& out);
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, QString& out);
VYRQTLIB_EXPORT bool read(const Json::Value& obj, const char* key, std::string& out);

// Plain value conversions with the same rules.
VYRQTLIB_EXPORT bool toBool(const Json::Value& v, bool& out);
VYRQTLIB_EXPORT bool toInt(const Json::Value& v, int& out);
VYRQTLIB_EXPORT bool toDouble(const Json::Value& v, double& out);
VYRQTLIB_EXPORT bool toString(const Json::Value& v, QString& out);

// Convenience: the value, or `fallback` when absent or of the wrong type.
VYRQTLIB_EXPORT bool boolOr(const Json::Value& obj, const char* key, bool fallback);
VYRQTLIB_EXPORT int intOr(const Json::Value& obj, const char* key, int fallback);
VYRQTLIB_EXPORT double doubleOr(const Json::Value& obj, const char* key, double fallback);
VYRQTLIB_EXPORT QString stringOr(const Json::Value& obj, const char* key, const QString& fallback = QString());

// The member as an array or object, or null when absent or of another type.
VYRQTLIB_EXPORT const Json::Value* array(const Json::Value& obj, const char* key);
VYRQTLIB_EXPORT const Json::Value* object(const Json::Value& obj, const char* key);

// Colour text: eight hex digits AARRGGBB. Reading follows the C library's unsigned
// conversion into 32 bits (blanks skipped, "0x" accepted, stops at the first
// non-digit, no digit gives 0, overflow gives all ones).
VYRQTLIB_EXPORT unsigned int parseColorNumber(const char* text);
VYRQTLIB_EXPORT QColor colorFromText(const char* text, bool withAlpha);
VYRQTLIB_EXPORT QColor colorFromText(const std::string& text, bool withAlpha);
VYRQTLIB_EXPORT std::string colorToText(const QColor& color);
// Reads a colour-text member; false (out unchanged) when absent or not a string.
VYRQTLIB_EXPORT bool readColor(const Json::Value& obj, const char* key, QColor& out, bool withAlpha);

VYRQTLIB_EXPORT QString toQString(const Json::Value& v);   // UTF-8 string value, empty otherwise
VYRQTLIB_EXPORT std::string toUtf8(const QString& text);

// Writers of keys that are left out while they hold their default: a text when not
// empty, a number when it differs from the fallback.
VYRQTLIB_EXPORT void writeUnlessEmpty(Json::Value& obj, const char* key, const QString& value);
VYRQTLIB_EXPORT void writeUnlessDefault(Json::Value& obj, const char* key, int value, int fallback);

} // namespace json
} // namespace vyr
