#pragma once

// Library-internal hooks of the start-up code; not installed.

#include <QString>

namespace vyr {

// Emulator mode is settled once, by the built-in registration at start-up.
void setQtEmulator(bool on);
// True when an executable path names the emulator or the designer (case-sensitive).
bool pathNamesEmulator(const QString& path);

// Element trees deeper than this are cut off by the page loader: a JSON value
// built in code has no nesting limit of its own.
constexpr int maxElementDepth = 128;

// A control that builds some of its "child" elements itself lists, in this dynamic
// property (a QStringList), texts of the types it takes: the page loader builds no
// widget for a child element whose "type" contains one of them.
constexpr const char* ownChildTypesProperty = "_vyr_own_child_types";

} // namespace vyr
