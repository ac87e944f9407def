#pragma once

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
bool parse(const char* begin, const char* end, Json::Value& root);
bool parse(const QByteArray& text, Json::Value& root);

// Styled (indented) JSON text, as Json::StyledWriter gives it.
std::string styledText(const Json::Value& value);

// The member `key` of `obj`, or null when `obj` is not an object or lacks it.
const Json::Value* member(const Json::Value& obj, const char* key);
Json::Value* member(Json::Value& obj, const char* key);
bool has(const Json::Value& obj, const char* key);

// Each reader leaves `out` unchanged and returns false when the key is absent or
// its value has a type that does not convert cleanly.
bool read(const Json::Value& obj, const char* key, bool& out);
bool read(const Json::Value& obj, const char* key, int& out);
bool read(const Json::Value& obj, const char* key, unsigned int& out);
bool read(const Json::Value& obj, const char* key, double& out);
bool read(const Json::Value& obj, const char* key, float& out);
bool read(const Json::Value& obj, const char* key, QString& out);
bool read(const Json::Value& obj, const char* key, std::string& out);

// Plain value conversions with the same rules.
bool toBool(const Json::Value& v, bool& out);
bool toInt(const Json::Value& v, int& out);
bool toDouble(const Json::Value& v, double& out);
bool toString(const Json::Value& v, QString& out);

// Convenience: the value, or `fallback` when absent or of the wrong type.
bool boolOr(const Json::Value& obj, const char* key, bool fallback);
int intOr(const Json::Value& obj, const char* key, int fallback);
double doubleOr(const Json::Value& obj, const char* key, double fallback);
QString stringOr(const Json::Value& obj, const char* key, const QString& fallback = QString());

// The member as an array or object, or null when absent or of another type.
const Json::Value* array(const Json::Value& obj, const char* key);
const Json::Value* object(const Json::Value& obj, const char* key);

// Colour text: eight hex digits AARRGGBB. Reading follows the C library's unsigned
// conversion into 32 bits (blanks skipped, "0x" accepted, stops at the first
// non-digit, no digit gives 0, overflow gives all ones).
unsigned int parseColorNumber(const char* text);
QColor colorFromText(const char* text, bool withAlpha);
QColor colorFromText(const std::string& text, bool withAlpha);
std::string colorToText(const QColor& color);
// Reads a colour-text member; false (out unchanged) when absent or not a string.
bool readColor(const Json::Value& obj, const char* key, QColor& out, bool withAlpha);

QString toQString(const Json::Value& v);   // UTF-8 string value, empty otherwise
std::string toUtf8(const QString& text);

// Writers of keys that are left out while they hold their default: a text when not
// empty, a number when it differs from the fallback.
void writeUnlessEmpty(Json::Value& obj, const char* key, const QString& value);
void writeUnlessDefault(Json::Value& obj, const char* key, int value, int fallback);

} // namespace json
} // namespace vyr
