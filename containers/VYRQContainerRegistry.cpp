#include "VYRQContainerRegistry.h"

#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQContainer.h"
#include "VYRQGlobal_p.h"
#include "VYRQGroupBox.h"
#include "VYRQScrollView.h"
#include "VYRQSpacer.h"
#include "VYRQSplitter.h"
#include "VYRQStackContainer.h"
#include "VYRQTabWidget.h"

void vyrRegisterContainerControls()
{
    using vyr::registerControl;
    using vyr::registerFactory;
    registerControl("Window", &VYRQCanvasWindow::createCanvas, VYRQCanvasWindow::getProps(), true);
    registerControl<VYRQContainer>({"container"});
    registerControl<VYRQStackContainer>({"stackcontainer"});
    registerControl<VYRQSpacer>();
    registerControl<VYRQTabWidget>({"tab"});
    registerControl<VYRQGroupBox>({"groupbox"});
    registerControl<VYRQScrollView>({"scrollview"});
    registerFactory<VYRQSplitter>({"splitter"});
    registerFactory<VYRQCanvas>();
}
