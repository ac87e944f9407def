#pragma once

#include <QColor>
#include <QString>

// A connection of a VYRQFlowView between two node ids, filled by the owner.
struct VYRQFlowConnection {
    QString from;
    QString to;
    QColor color;
    bool arrow = false;        // arrow head at the `to` end
};
