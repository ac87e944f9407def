#pragma once

#include "VYRQExport.h"

#include "VYRQICDChart.h"
#include "VYRQSweepTraceImpl.h"

class VYRQTLIB_EXPORT VYRQICDChartImpl : public VYRQSweepTraceImpl {
public:
    explicit VYRQICDChartImpl(VYRQICDChart* owner);

    void drawControl(QPainter* painter, const QRect& rect) override;

    VYRQtICDType icdType = VYRQtICDPolyline;
};
