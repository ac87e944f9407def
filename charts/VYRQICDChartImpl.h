#pragma once

#include "VYRQICDChart.h"
#include "VYRQSweepTraceImpl.h"

class VYRQICDChartImpl : public VYRQSweepTraceImpl {
public:
    explicit VYRQICDChartImpl(VYRQICDChart* owner);

    void drawControl(QPainter* painter, const QRect& rect) override;

    VYRQtICDType icdType = VYRQtICDPolyline;
};
