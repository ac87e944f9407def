#include "TarnexStartup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Must precede the application object.
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL, true);
    QApplication app(argc, argv);
    return tarnex::runMonitor(QCoreApplication::arguments());
}
