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

// What an icon keeps of its image: twice the largest side the menus and the ribbon
// draw (32 pixels), for a screen of twice the density. A file may name an image of
// 16 Mpx, and a ribbon tens of thousands of such files; kept at this size, each costs
// 16 KB.
constexpr int maxIconSide = 64;

// The icon of the image file at `path`, scaled down to maxIconSide when larger; null
// when the path is empty, the file missing or not an image, or refused. A file read
// before and unchanged since (the same file, size and modification time, by whatever
// path) is not read again while it is among the 256 icons most recently asked for.
VYRQTLIB_EXPORT QIcon readIconFile(const QString& path);

// Icon files decoded since the process started (each read that was not served from
// the icons kept).
VYRQTLIB_EXPORT int iconFileDecodes();

} // namespace vyr
