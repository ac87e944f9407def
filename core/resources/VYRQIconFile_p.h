#pragma once

// Library-internal; not installed.
//
// Icons that menu files, galleries and ribbon configurations name by path are read
// the way theme images are: a regular file only, opened without blocking, within a
// theme file's size, decoded only when the image it decodes to keeps within the image
// bound (an SVG within the SVG bounds). A refused file gives a null icon and a warning
// on vyr.res. Paths into Qt's resources (":/...") are read under the same bounds.

#include "VYRQExport.h"

#include <QIcon>
#include <QString>

namespace vyr {

// Building and painting a menu grows with all its items; the menu loader refuses a
// menu file with more items than this, the items of its sub-menus included (each
// sub-menu is a window of its own, so its items stack up no paint).
constexpr int maxMenuItems = 10000;

// The sides icons are drawn at, in device-independent pixels: menu items and small
// ribbon buttons, large ribbon buttons.
constexpr int smallIconSide = 16;
constexpr int largeIconSide = 32;

// The icon of the image file at `path`, kept at the size it is drawn at: scaled down to
// `side` times the screens' largest pixel ratio when larger. Null when the path is
// empty, the file missing or not an image, or refused. A file read before at that size
// and unchanged since (the same file, size and modification time, by whatever path) is
// not read again while it is kept: the icons most recently asked for are kept up to
// what a menu at its item limit draws (10,000 small icons: 12.8 MB at a pixel ratio of 1).
VYRQTLIB_EXPORT QIcon readIconFile(const QString& path, int side);

// Icon files decoded since the process started (each read that was not served from
// the icons kept).
VYRQTLIB_EXPORT int iconFileDecodes();

} // namespace vyr
