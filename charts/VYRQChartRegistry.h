#pragma once

// Makes the OpenGL chart types creatable by type key. Called once by the program,
// after VYRQtLib::init().
void registerChartControls();
