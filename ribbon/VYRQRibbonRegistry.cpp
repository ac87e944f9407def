#include "VYRQRibbonRegistry.h"

#include "VYRQGlobal.h"
#include "VYRQMenuBar.h"
#include "VYRQRibbonBar.h"

void vyrRegisterRibbonControls()
{
    vyrRegisterQtControl("qtmenubar", &VYRQMenuBar::createVYRQMenuBar, VYRQMenuBar::getProps(), true);
    vyrRegisterDefaultControl("menubar", &VYRQMenuBar::createVYRQMenuBar);
    vyrRegisterQtControl("qtribbonbar", &VYRQRibbonBar::createVYRQRibbonBar, VYRQRibbonBar::getProps(), true);
}
