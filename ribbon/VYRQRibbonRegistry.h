#pragma once

// Registers the page controls of the menu and ribbon family with the control
// registry; run once by the library's start-up.
void vyrRegisterRibbonControls();
