#pragma once

#include "VYRQExport.h"

// Registers the page controls of the menu and ribbon family with the control
// registry; run once by the library's start-up.
VYRQTLIB_EXPORT void vyrRegisterRibbonControls();
