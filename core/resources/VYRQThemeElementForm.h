#pragma once

#include "VYRQStyleDefs.h"

#include <string>
#include <vector>

namespace Json { class Value; }

// A theme element as a control's read uses it, worked out once per theme set: its
// "attr" object and "theme" redirect, and each well-formed "style" entry with the
// fill and text style its name resolves to in the theme set. Every control built
// while the theme is loaded reads its theme element; with this form it no longer
// walks the element's JSON and looks each name up again.
class VYRQThemeElementForm {
public:
    struct StyleEntry {
        int slot = 0;
        bool hasFill = false;
        bool hasText = false;
        FillStyle fill;
        TextStyleDesc text;
    };

    // Resolves names through the resource manager, which must be searching the theme
    // set (its theme switch raised), as during any read of a theme element.
    explicit VYRQThemeElementForm(const Json::Value& element);

    const Json::Value* attr = nullptr;   // the "attr" member when it is an object
    bool hasThemeKey = false;            // a "theme" member that is a string
    std::string theme;
    std::vector<StyleEntry> styles;
};
