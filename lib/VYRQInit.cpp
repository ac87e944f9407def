// The library's start-up: it sits above every folder of the library and calls
// each folder's own registration.

#include "VYRQContainerRegistry.h"
#include "VYRQControlRegistry.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQLogging.h"
#include "VYRQResourceManager.h"
#include "VYRQRibbonRegistry.h"
#include "VYRQViewRegistry.h"

#include <QApplication>
#include <QCoreApplication>

void vyrInitQtControl()
{
    vyrRegisterContainerControls();
    vyrRegisterBasicControls();
    vyrRegisterViewControls();
    vyrRegisterRibbonControls();

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
