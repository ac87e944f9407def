#include "TarnexOptions.h"
#include "TarnexStartup.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // Past a file-size limit (ulimit -f) a write would kill the process without a word;
    // ignored, it fails with EFBIG and the screenshot run says which file and why.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // "--help" and bad values are answered before the application object, which
    // needs a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TarnexOptions options = TarnexOptions::fromArguments(arguments);
    if (options.help) {
        std::fputs(TarnexOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "tarnex: %s (see --help)\n", options.error.toLocal8Bit().constData());
        return 2;
    }

    // Qt would abort without a word of its own that the operator can act on.
    const QString noDisplay = tarnex::displayFault(arguments);
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "tarnex: %s\n", noDisplay.toLocal8Bit().constData());
        return 1;
    }

    // Must precede the application object.
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL, true);
    QApplication app(argc, argv);
    return tarnex::runMonitor(QCoreApplication::arguments());
}
