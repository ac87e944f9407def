#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QString>
#include <QVector>

// Colours and sizes a chart paints with. A record made with no arguments holds the
// colours of the "Default" theme.
struct VYRQTLIB_EXPORT ChartTheme {
    QString name = QStringLiteral("Default");
    QColor background = QColor(255, 255, 255);
    QColor plotBackground = QColor(255, 255, 255);
    QColor textColor = QColor(67, 76, 94);
    QColor axisColor = QColor(145, 154, 170);
    QColor labelColor = QColor(101, 111, 128);
    QColor gridColor = QColor(229, 233, 242);
    QColor pointerColor = QColor(171, 179, 191, 180);
    QVector<QColor> palette = {QColor(84, 112, 198), QColor(145, 204, 117), QColor(250, 200, 88),
                               QColor(238, 102, 102), QColor(115, 192, 222), QColor(59, 162, 114)};
    int titleFontSize = 16;
    int labelFontSize = 11;
    int tipFontSize = 12;
    double lineWidth = 2.0;
    double pointRadius = 4.0;
    double hoverPointRadius = 5.5;
    double barRadius = 6.0;
};

// 1 "Macarons", 2 "Shine", 3 "Dark"; 0 and every other index "Default".
VYRQTLIB_EXPORT ChartTheme chartThemeByIndex(int index);
