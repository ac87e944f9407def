#pragma once

#include "VYRQExport.h"

// Makes the OpenGL chart types creatable by type key. Called once by the program,
// after VYRQtLib::init().
VYRQTLIB_EXPORT void registerChartControls();
