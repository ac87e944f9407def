#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QString>

// Fonts named by style files that were written on CJK desktops; any installed CJK
// family does, the painters substitute the global font family when one is set.
#define VYR_DEFAULT_CJK_FAMILY "WenQuanYi Micro Hei"

// Controls share equal records; a field added to a style record must be compared
// in vyr::sameStyle too.

// Colour part of a fill style; also used alone as a window background.
struct VYRQTLIB_EXPORT FillRes {
    int resId = 0;             // carried, not filed
    QString resText;           // carried, not filed
    QColor color = QColor(255, 255, 255, 255);
    QColor color2 = QColor(255, 255, 255, 255);
    QColor borderColor = QColor(128, 128, 128, 255);
    bool gradient = false;
    int round = 0;
    int borderSize = 0;
    int spare = 0;             // carried, not filed
    bool border = false;
    bool leftBorder = true;
    bool topBorder = true;
    bool rightBorder = true;
    bool bottomBorder = true;
    bool roundTopLeft = true;
    bool roundTopRight = true;
    bool roundBottomRight = true;
    bool roundBottomLeft = true;
};

// Nine-slice description of an image.
struct VYRQTLIB_EXPORT ImageDesc {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    bool repeatLeft = false;
    bool repeatRight = false;
    bool repeatTop = false;
    bool repeatBottom = false;
    bool repeatCenter = false;
};

// A named background style of a theme.
struct VYRQTLIB_EXPORT FillStyle {
    int kind = 0;
    QString name;
    bool draw = true;
    bool colorMode = true;     // paint the colour part; false paints the image ("drawImg")
    bool thirdFlag = true;     // carried, not filed
    FillRes fill;
    QString image;
    ImageDesc imageDesc;
};

// A named text style of a theme.
struct VYRQTLIB_EXPORT TextStyleDesc {
    int kind = 1;
    QString name;
    bool bold = false;
    bool italic = false;
    bool spare1 = false;       // carried, not filed
    int size = 12;
    bool underline = false;
    bool spare2 = false;       // carried, not filed
    QString family = QStringLiteral(VYR_DEFAULT_CJK_FAMILY);
    QColor color = QColor(0, 0, 0, 255);
    int x = 0;
    int y = 0;
    bool isHor = true;
    bool singleLine = true;
    int hor = 0;               // 0 near, 1 centre, 2 far
    int ver = 1;
    int elideMode = 1;         // 3 draws the whole text
};

// Placement and colour of a control's icon.
struct VYRQTLIB_EXPORT IconStyleDesc {
    int x = 0;
    int y = 0;
    bool useColor = false;
    QColor color = QColor(0, 0, 0, 255);
    int hor = 1;
    int ver = 1;
};

// An image name with its nine-slice description (used by drawImageDesc).
struct VYRQTLIB_EXPORT ImageRecord {
    QString name;
    ImageDesc desc;
};
