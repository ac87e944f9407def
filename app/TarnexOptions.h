#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The monitor's start-up options, read from the command line.
struct TarnexOptions {
    // The largest window side a "--size" may ask for; a bigger value would ask for a
    // window (and a screenshot) of gigabytes.
    static constexpr int kMaxSide = 16384;

    QSize size = QSize(1440, 900);
    int page = 0;               // 0 dashboard, 1 plant
    bool drawer = false;
    bool chinese = false;
    QString screenshotPath;     // empty: no screenshot

    // arguments[0] is the program and is skipped. Unknown words, and options that
    // take a value but stand last, are skipped silently.
    static TarnexOptions fromArguments(const QStringList& arguments);
};
