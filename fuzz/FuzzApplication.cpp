#include "FuzzApplication.h"

#include "VYRQGlobal.h"

#include <QApplication>

namespace fuzz {

namespace {

void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

bool startWidgetApplication(const char* name)
{
    if (QCoreApplication::instance())
        return false;
    // QApplication keeps references to both for its whole life.
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    qInstallMessageHandler(dropMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
    return true;
}

void startLibrary(const char* name)
{
    if (startWidgetApplication(name))
        VYRQtLib::init();
}

void turnEventLoop()
{
    // Only a pass over every event type and receiver takes delivered events off the
    // queue; a pass for one type leaves them in it, and every widget deleted later
    // scans all of it. Deletions deferred outside any event loop need their own pass:
    // no loop level lets them through otherwise.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace fuzz
