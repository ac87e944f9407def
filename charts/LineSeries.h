#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QString>
#include <QVector>

// One value series of a line chart: the value of category 0, 1, 2 ...
struct VYRQTLIB_EXPORT LineSeries {
    QString name;
    QVector<double> values;
    QColor color;           // invalid: the theme's palette colour of the series index
    QColor areaColor;       // invalid: the line colour
    bool showPoints = true;
    bool smooth = false;
    bool areaFill = false;
    bool visible = true;
    double lineWidth = 2.0; // 0 or less: the theme's line width
    double areaOpacity = 0.22;
};
