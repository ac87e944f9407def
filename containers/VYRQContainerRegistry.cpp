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
    registerControl("qtcontainer", &VYRQContainer::createVYRQContainer, VYRQContainer::getProps(), true, {"container"});
    registerControl("qtstackcontainer", &VYRQStackContainer::createVYRQStackContainer, VYRQStackContainer::getProps(),
                    true, {"stackcontainer"});
    registerControl("qtspacer", &VYRQSpacer::createVYRQSpacer, VYRQSpacer::getProps(), true);
    registerControl("qttab", &VYRQTabWidget::createVYRQTabWidget, VYRQTabWidget::getProps(), true, {"tab"});
    registerControl("qtgroupbox", &VYRQGroupBox::createVYRQGroupBox, VYRQGroupBox::getProps(), true, {"groupbox"});
    registerControl("qtscrollview", &VYRQScrollView::createVYRQScrollView, VYRQScrollView::getProps(), true,
                    {"scrollview"});
    registerFactory({"qtsplitter", "splitter"}, &VYRQSplitter::createVYRQSplitter);
    registerFactory({"canvas"}, &VYRQCanvas::createVYRQCanvas);
}
