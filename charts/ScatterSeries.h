#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QPointF>
#include <QString>
#include <QVector>

// One point series of a scatter chart.
struct VYRQTLIB_EXPORT ScatterSeries {
    QString name;
    QVector<QPointF> points;
    QColor color;           // invalid: the theme's palette colour of the series index
    bool visible = true;
    double pointSize = 8.0; // diameter in pixels
};
