#pragma once

#include "VYRQExport.h"

#include "ScatterSeries.h"
#include "VYRQChartControl.h"

#include <QVector>

class VYRQScatterChartImpl;

// Series of (x, y) points on two linear value axes spanning the padded range of the
// visible points; a legend whose entries switch series on and off; hovering enlarges
// and fills the nearest point within reach and shows its coordinates. With the entry
// animation the points rise from the bottom edge and grow to their full size.
class VYRQTLIB_EXPORT VYRQScatterChart : public VYRQChartControl<VYRQScatterChart, VYRQScatterChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQScatterChart, "qtscatterchart")
public:
    explicit VYRQScatterChart(QWidget* parent = nullptr);
    ~VYRQScatterChart() override;

    void setTitle(const QString& title);
    // Replaces every series and replays the entry animation.
    void setSeries(const QVector<ScatterSeries>& series);
    void initDemoData();
};
