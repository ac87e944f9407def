#pragma once

#include "VYRQExport.h"

// Enumerations of the ribbon family and their JSON words. Words are matched without
// regard to case; a word that names no value reads as the first value.

#include <QMetaType>
#include <QString>

enum class VYR_RIBBON_LAYOUT_MODE : int {
    office = 0,    // top row above the tab row
    compact = 1    // one header row
};

enum class VYR_RIBBON_ITEM_SIZE : int {
    large = 0,     // full group height, 32-pixel icon above the text
    medium = 1,    // stacked in rows, 16-pixel icon beside the text
    small = 2
};

enum class VYR_RIBBON_POPUP_MODE : int {
    none = 0,
    instant = 1,   // any press opens the menu
    split = 2      // a press on the indicator strip opens it, elsewhere the button clicks
};

Q_DECLARE_METATYPE(VYR_RIBBON_LAYOUT_MODE)
Q_DECLARE_METATYPE(VYR_RIBBON_ITEM_SIZE)
Q_DECLARE_METATYPE(VYR_RIBBON_POPUP_MODE)

namespace vyr {

VYRQTLIB_EXPORT VYR_RIBBON_LAYOUT_MODE ribbonLayoutModeFromName(const QString& word);
VYRQTLIB_EXPORT VYR_RIBBON_ITEM_SIZE ribbonItemSizeFromName(const QString& word);
VYRQTLIB_EXPORT VYR_RIBBON_POPUP_MODE ribbonPopupModeFromName(const QString& word);
VYRQTLIB_EXPORT QString ribbonLayoutModeName(VYR_RIBBON_LAYOUT_MODE mode);
VYRQTLIB_EXPORT QString ribbonItemSizeName(VYR_RIBBON_ITEM_SIZE size);
VYRQTLIB_EXPORT QString ribbonPopupModeName(VYR_RIBBON_POPUP_MODE mode);

} // namespace vyr
