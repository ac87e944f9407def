#pragma once

// Library-internal hooks of the start-up code; not installed.

#include "ControlInfo.h"
#include "VYRQGlobal.h"
#include "VYRQIconFile_p.h"
#include "VYRQResourceKeys_p.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace Json { class Value; }
class QWidget;
class VYRQContainer;

namespace vyr {

// Emulator mode is settled once, by the built-in registration at start-up.
VYRQTLIB_EXPORT void setQtEmulator(bool on);
// Set by the library's start-up once everything is registered.
void setStarted(bool on);
// Reads a page or menu document by name (".json" added when missing): from the
// resource sets first, then from the skin folder or the path itself.
bool readPageDocument(QString name, Json::Value& root);
// The page loader's steps after reading: the page document `root` built under
// `parent` (`name` only names it in warnings). False, with nothing built, when the
// page is refused whole; `page` receives the loader's result (null when refused).
bool buildPage(QWidget* parent, const Json::Value& root, const QString& name, VYRQContainer*& page);

// Every key the registry can build, records or not, in byte order.
VYRQTLIB_EXPORT QStringList registeredKeys();

// Registration helpers for the folders' own registration functions: a type key with
// its designer record and the further keys (short aliases) that build the same
// control; and keys that build a control without a designer record.
inline void registerControl(const char* key, QWidget* (*create)(), ControlInfo info, bool flag,
                            std::initializer_list<const char*> aliases = {})
{
    vyrRegisterQtControl(key, create, std::move(info), flag);
    for (const char* alias : aliases)
        vyrRegisterDefaultControl(alias, create);
}

// The usual case: the key, the factory and the record all come from the class.
template <class Control>
void registerControl(std::initializer_list<const char*> aliases = {})
{
    registerControl(Control::typeName(), []() -> QWidget* { return new Control(nullptr); }, Control::getProps(), true,
                    aliases);
}

inline void registerFactory(std::initializer_list<const char*> keys, QWidget* (*create)())
{
    for (const char* key : keys)
        vyrRegisterDefaultControl(key, create);
}

// A control class without a designer record, under its own key and aliases.
template <class Control>
void registerFactory(std::initializer_list<const char*> aliases = {})
{
    QWidget* (*create)() = []() -> QWidget* { return new Control(nullptr); };
    vyrRegisterDefaultControl(Control::typeName(), create);
    registerFactory(aliases, create);
}
// True when an executable path names the emulator or the designer (case-sensitive).
bool pathNamesEmulator(const QString& path);

// Element trees deeper than this many levels (a page's top-level elements are the
// first) are cut off by the page loader: a JSON value built in code has no nesting
// limit of its own.
constexpr int maxElementDepth = 128;

// Qt paints the children of one widget by recursing once per sibling, and paints a
// child's own children from within that recursion: with the usual 8 MiB stack, a page
// of overlapping labels crashes once the lists along one path from the page down to a
// label hold about 28,900 entries together, however they are nested (the same in the
// sanitizer build: the frames are Qt's). The page loader refuses a page in which the
// lists an element and its ancestors belong to add up to more entries than this.
constexpr int maxPageSiblings = 10000;
// A page's "w", "h", "minW" and "minH" for its window are held to this many pixels:
// the window's backing store grows with its area (30000 x 30000 took 7 GB on X, and
// 46341 x 46341 crashed flushing it).
constexpr int maxPageWindowSide = 8192;
// Each control costs about 3 KB built (widget, implementation object, style copies),
// so a page is refused past this many elements in all, which keeps the largest page
// built within about 800 MB; a page file of 64 MiB holds more than three million.
constexpr int maxPageControls = 250000;
// False when the lists of elements along some path of the page document hold more
// than maxPageSiblings entries together, or the document more than maxPageControls
// elements in all; `refusal`, when given, then receives the reason for a warning.
// `cut`, when given, tells whether elements lie deeper than maxElementDepth (the loader
// leaves them out).
VYRQTLIB_EXPORT bool pageWithinLimits(const Json::Value& root, QString* refusal = nullptr, bool* cut = nullptr);
// False when the menu document holds more than maxMenuItems items.
VYRQTLIB_EXPORT bool menuWithinLimits(const Json::Value& root);

// A control that builds some of its "child" elements itself lists, in this dynamic
// property (a QStringList), texts of the types it takes: the page loader builds no
// widget for a child element whose "type" contains one of them. The control does not
// write such elements; the design canvas keeps them as read (VYRQPageKeeping).
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
