// The library's start-up: it sits above every folder of the library and calls
// each folder's own registration.

#include "VYRQContainerRegistry.h"
#include "VYRQControlRegistry.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQLogging.h"
#include "VYRQResourceManager.h"

#include <QApplication>
#include <QCoreApplication>

// The item views and the ribbon register through their folders' functions once those
// folders hold them.
#if __has_include("VYRQViewRegistry.h")
#include "VYRQViewRegistry.h"
#define VYR_HAVE_VIEW_REGISTRY 1
#endif
#if __has_include("VYRQRibbonRegistry.h")
#include "VYRQRibbonRegistry.h"
#define VYR_HAVE_RIBBON_REGISTRY 1
#endif

void vyrInitQtControl()
{
    vyrRegisterContainerControls();
    vyrRegisterBasicControls();
#ifdef VYR_HAVE_VIEW_REGISTRY
    vyrRegisterViewControls();
#endif
#ifdef VYR_HAVE_RIBBON_REGISTRY
    vyrRegisterRibbonControls();
#endif

    // The emulator and the designer show demonstration content in their views.
    if (QCoreApplication::instance() && vyr::pathNamesEmulator(QCoreApplication::applicationFilePath()))
        vyr::setQtEmulator(true);
}

namespace VYRQtLib {

void init()
{
    if (isStarted())
        return;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setStyle(vyrGetStyle());
    else
        qCWarning(vyrCore) << "VYRQtLib::init without a QApplication: the application style is not installed";
    vyrInitQtControl();
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    rm->initDefaultImageRes();
    rm->initDefaultStyleRes();
    vyr::setStarted(true);
}

} // namespace VYRQtLib
