#pragma once

#include "VYRQExport.h"

#include "VYRQSweepTraceControl.h"

class VYRQICDChartImpl;

// How the ICD trace is drawn: a polyline through the points, or one flat line at
// y 40 across the widget whatever the points; any other value draws no trace.
enum VYRQtICDType : int {
    VYRQtICDPolyline = 0,
    VYRQtICDFlatLine = 1
};

// The lighter sweep-trace chart: one gradient trace by type, with the previous pass
// visible ahead of the trace head. Built in code; not in the control registry.
class VYRQTLIB_EXPORT VYRQICDChart : public VYRQSweepTraceControl<VYRQICDChart, VYRQICDChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQICDChart, "qtecgchart")
public:
    explicit VYRQICDChart(QWidget* parent = nullptr);
    ~VYRQICDChart() override;

    // Takes effect at the next repaint.
    void setICDType(VYRQtICDType type);
    // Accepted and ignored.
    void addMarker(float position, bool on);
    void addMarkerValue(float position, int a, int b, int c);
};
