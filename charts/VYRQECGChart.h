#pragma once

#include "VYRQExport.h"

#include "VYRQSweepTraceControl.h"

class VYRQECGChartImpl;

// A monitor-style sweeping trace: points appended in widget coordinates drawn as one
// gradient line, optionally filled below and above, with the previous pass visible
// ahead of the trace head. Built in code; not in the control registry.
class VYRQTLIB_EXPORT VYRQECGChart : public VYRQSweepTraceControl<VYRQECGChart, VYRQECGChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQECGChart, "qtecgchart")
public:
    explicit VYRQECGChart(QWidget* parent = nullptr);
    ~VYRQECGChart() override;

    // The fills take effect at the next repaint.
    void enableFillColor(bool below, bool above);
    void setBelowFillColor(const QColor& top, const QColor& bottom);
    void setAboveFillColor(const QColor& top, const QColor& bottom);
};
