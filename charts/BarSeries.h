#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QString>
#include <QVector>

// One series of a bar chart: one value per category.
struct VYRQTLIB_EXPORT BarSeries {
    QString name;
    QVector<double> values;
    QColor color;        // invalid: the theme's palette colour of the series index
    QColor borderColor;  // invalid: the fill colour darkened
    bool visible = true;
};
