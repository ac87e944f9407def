#include "TarnexOptions.h"
#include "TarnexStartup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // "--help" is answered before the application object, which needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (TarnexOptions::fromArguments(arguments).help) {
        std::fputs(TarnexOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }

    // Must precede the application object.
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL, true);
    QApplication app(argc, argv);
    return tarnex::runMonitor(QCoreApplication::arguments());
}
