#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The monitor's start-up options, read from the command line.
struct TarnexOptions {
    // The largest window side a "--size" may ask for. On X11 with OpenGL a screenshot
    // of 6144 x 6144 peaks at about 1.2 GB; 8192 x 8192 took 2.1 GB, 16384 x 16384
    // 8 GB and nearly a minute.
    static constexpr int kMaxSide = 6144;

    QSize size = QSize(1440, 900);
    int page = 0;               // 0 dashboard, 1 plant
    bool drawer = false;
    bool chinese = false;
    QString screenshotPath;     // empty: no screenshot
    bool help = false;          // "--help": print usage() and start nothing
    QString error;              // a bad value: the run ends with it and exit code 2

    // The "--help" text.
    static QString usage();

    // arguments[0] is the program and is skipped. Unknown words, and options that
    // take a value but stand last, are skipped silently, except "--screenshot": an
    // unattended run without its path would start the interactive monitor and wait
    // forever, so a missing or empty path sets error.
    static TarnexOptions fromArguments(const QStringList& arguments);
};
