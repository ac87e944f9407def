#pragma once

// Library-internal; not installed. What the page layer, which the control base may not
// include, sets for it.

class QWidget;

namespace vyr {

// The design canvas's modes, read by the controls' writing and theming; set through
// vyrSetIsInDesigner and vyrEnableSerializeChild (VYRQGlobal.h).
struct DesignModes {
    bool designer = false;
    bool serializeChild = true;
};
DesignModes& designModes();

// Builds a control of a registered type key under `parent`, null for an unknown key;
// set by the control registry when the library loads.
using ControlMaker = QWidget* (*)(const char* typeKey, QWidget* parent);
ControlMaker& controlMaker();

} // namespace vyr
