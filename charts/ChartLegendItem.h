#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QRectF>
#include <QString>

// One computed legend entry of a chart: the series (or slice) it toggles, where it
// sits, its swatch colour and text, and whether its series is shown.
struct VYRQTLIB_EXPORT ChartLegendItem {
    int seriesIndex = -1;
    QRectF rect;
    QColor color;
    QString text;
    bool visible = true;
};
