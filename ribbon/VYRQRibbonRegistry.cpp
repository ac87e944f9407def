#include "VYRQRibbonRegistry.h"

#include "VYRQGlobal_p.h"
#include "VYRQMenuBar.h"
#include "VYRQRibbonBar.h"

void vyrRegisterRibbonControls()
{
    vyr::registerControl<VYRQMenuBar>({"menubar"});
    vyr::registerControl<VYRQRibbonBar>();
}
