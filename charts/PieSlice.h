#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QString>

// One share of a pie chart. It counts only while it is visible and its value is a
// finite number above 0.
struct VYRQTLIB_EXPORT PieSlice {
    QString name;
    double value = 0.0;
    QColor color;           // invalid: the theme's palette colour of the slice index
    bool visible = true;
};
