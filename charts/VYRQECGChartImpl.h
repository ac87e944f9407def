#pragma once

#include "VYRQExport.h"

#include "VYRQSweepTraceImpl.h"

class VYRQECGChart;

class VYRQTLIB_EXPORT VYRQECGChartImpl : public VYRQSweepTraceImpl {
public:
    explicit VYRQECGChartImpl(VYRQECGChart* owner);

    void drawControl(QPainter* painter, const QRect& rect) override;

    bool fillBelow = false;
    bool fillAbove = false;
    QColor belowTopColor;
    QColor belowBottomColor;
    QColor aboveTopColor;
    QColor aboveBottomColor;
};
