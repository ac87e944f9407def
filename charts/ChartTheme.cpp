#include "ChartTheme.h"

ChartTheme chartThemeByIndex(int index)
{
    ChartTheme theme;
    switch (index) {
    case 1:
        theme.name = QStringLiteral("Macarons");
        theme.background = QColor(248, 245, 250);
        theme.plotBackground = QColor(255, 255, 255);
        theme.textColor = QColor(90, 84, 116);
        theme.axisColor = QColor(185, 176, 205);
        theme.labelColor = QColor(122, 113, 145);
        theme.gridColor = QColor(232, 226, 240);
        theme.pointerColor = QColor(179, 166, 209, 190);
        theme.palette = {QColor(45, 183, 245), QColor(239, 90, 161), QColor(250, 200, 88),
                         QColor(114, 204, 104), QColor(251, 132, 53), QColor(155, 94, 230)};
        break;
    case 2:
        theme.name = QStringLiteral("Shine");
        theme.background = QColor(255, 251, 245);
        theme.plotBackground = QColor(255, 255, 255);
        theme.textColor = QColor(111, 78, 55);
        theme.axisColor = QColor(204, 176, 148);
        theme.labelColor = QColor(138, 105, 77);
        theme.gridColor = QColor(243, 227, 210);
        theme.pointerColor = QColor(221, 182, 140, 190);
        theme.palette = {QColor(193, 35, 43), QColor(39, 114, 123), QColor(252, 206, 16),
                         QColor(232, 124, 37), QColor(39, 174, 96), QColor(142, 68, 173)};
        break;
    case 3:
        theme.name = QStringLiteral("Dark");
        theme.background = QColor(16, 20, 28);
        theme.plotBackground = QColor(24, 30, 42);
        theme.textColor = QColor(233, 238, 247);
        theme.axisColor = QColor(96, 110, 132);
        theme.labelColor = QColor(169, 181, 201);
        theme.gridColor = QColor(58, 67, 84);
        theme.pointerColor = QColor(132, 147, 173, 210);
        theme.palette = {QColor(73, 220, 187), QColor(114, 159, 255), QColor(255, 194, 92),
                         QColor(255, 120, 134), QColor(172, 120, 255), QColor(102, 205, 249)};
        break;
    default:
        break;
    }
    return theme;
}
