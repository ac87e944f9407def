#pragma once

// Library-internal hooks of the start-up code; not installed.

#include <QObject>
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

// True when `object` is `candidate` or lies inside it: adding candidate as a child
// of object would close a loop of parents.
inline bool isSelfOrInside(const QObject* object, const QObject* candidate)
{
    for (const QObject* o = object; o; o = o->parent()) {
        if (o == candidate)
            return true;
    }
    return false;
}

} // namespace vyr
