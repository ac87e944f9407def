#pragma once

#include "VYRQExport.h"

#include "PieSlice.h"
#include "VYRQChartControl.h"

#include <QVector>

class VYRQOpenGLPieChartImpl;

// Named shares drawn as a pie or, with an inner hole, as a ring: a title, optional
// outside labels with percentages, a legend whose entries switch slices on and off,
// hover highlighting and a hover tip. Slices grow from their start angles with the
// entry animation.
class VYRQTLIB_EXPORT VYRQOpenGLPieChart : public VYRQChartControl<VYRQOpenGLPieChart, VYRQOpenGLPieChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQOpenGLPieChart, "qtopenglpiechart")
public:
    explicit VYRQOpenGLPieChart(QWidget* parent = nullptr);
    ~VYRQOpenGLPieChart() override;

    void setTitle(const QString& title);
    // Replaces the slices and replays the entry animation.
    void setSlices(const QVector<PieSlice>& slices);
    // Held to 0..0.8 of the pie's diameter.
    void setHoleRatio(double ratio);
    void setLabelsVisible(bool visible);
    void setHoverEnabled(bool enabled);
    void setTooltipEnabled(bool enabled);
    void initDemoData();
};
