#pragma once

#include "VYRQExport.h"

#include <QString>

// The enums have a fixed underlying type: callers and pages pass out-of-range
// values, which setters clamp, and those must be representable first.

// Interaction state of a control; also the index of per-state style arrays.
enum CtrlState : int {
    Normal = 0,
    Hot = 1,
    Pressed = 2,
    Disable = 3,
    // Only meaningful as the argument of a per-state setter: sets all four slots.
    AllStates = 4
};
constexpr int CtrlStateCount = 4;

// State selector of styles that only tell enabled from disabled.
enum CommonCtrlState : int {
    CommonNormal = 0,
    CommonDisable = 1
};

// Text-style selector of check boxes and radio buttons.
enum CheckBoxTextState : int {
    TextChecked = 0,
    TextUnchecked = 1,
    TextDisable = 2
};

enum LayoutType : int {
    LayoutRatio = 0,
    LayoutAbsolute = 1
};

enum LayoutSizePolicy : int {
    PolicyUnset = -1,
    PolicyFill = 0,
    PolicyFixed = 1
};

enum DockLayoutType : int {
    DockNear = 0,
    DockCenter = 1,
    DockFar = 2
};

enum ResSourceType : int {
    ResDefault = 0,
    ResTheme = 1,
    ResProject = 2
};

struct VYRQTLIB_EXPORT VYRGlobalConfig {
    QString fontFamily;
    bool buttonFadeEnabled = false;
    int buttonFadeDuration = 150;
};
