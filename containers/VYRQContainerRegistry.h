#pragma once

#include "VYRQExport.h"

// Registers the containers, the page frame and the design canvas with the control
// registry; run once by the library's start-up.
VYRQTLIB_EXPORT void vyrRegisterContainerControls();
