#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QSizeF>
#include <QString>

// A node of a VYRQFlowView, filled by the owner. Position and size are fractions of
// the view's width and height, so a diagram scales with its view.
struct VYRQTLIB_EXPORT VYRQFlowNode {
    QString id;
    double x = 0.0;            // centre
    double y = 0.0;
    QSizeF size;
    QString title;
    QString subtitle;
    QString value;
    QColor accent;             // status dot and value text
    QColor fill;
    QColor border;
    QColor selectedBorder;
    bool selected = false;
};
