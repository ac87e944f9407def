#pragma once

// Registers the basic controls (label, buttons, toggles, sliders, edits, ...) with
// the control registry; run once by the library's start-up.
void vyrRegisterBasicControls();
