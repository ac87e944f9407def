#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QString>

// A connection of a VYRQFlowView between two node ids, filled by the owner.
struct VYRQTLIB_EXPORT VYRQFlowConnection {
    QString from;
    QString to;
    QColor color;
    bool arrow = false;        // arrow head at the `to` end
};
