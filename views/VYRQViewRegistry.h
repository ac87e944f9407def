#pragma once

#include "VYRQExport.h"

// Registers the item views under their type keys and short aliases; run once by
// the built-in registration at start-up.
VYRQTLIB_EXPORT void vyrRegisterViewControls();
