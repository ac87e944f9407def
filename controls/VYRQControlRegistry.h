#pragma once

#include "VYRQExport.h"

// Registers the basic controls (label, buttons, toggles, sliders, edits, ...) with
// the control registry; run once by the library's start-up.
VYRQTLIB_EXPORT void vyrRegisterBasicControls();
