#include "VYRQRibbonRegistry.h"

#include "VYRQGlobal.h"
#include "VYRQMenuBar.h"

void vyrRegisterRibbonControls()
{
    vyrRegisterQtControl("qtmenubar", &VYRQMenuBar::createVYRQMenuBar, VYRQMenuBar::getProps(), true);
    vyrRegisterDefaultControl("menubar", &VYRQMenuBar::createVYRQMenuBar);
}
