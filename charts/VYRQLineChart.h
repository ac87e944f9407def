#pragma once

#include "VYRQExport.h"

#include "LineSeries.h"
#include "VYRQChartControl.h"

#include <QColor>
#include <QStringList>
#include <QVector>

class VYRQLineChartImpl;

// Value series over a row of named categories drawn as lines (optionally smoothed
// and filled below), with data points, grid, labels, a title, a legend whose entries
// switch series on and off, and a hover pointer over a category or a single point.
class VYRQTLIB_EXPORT VYRQLineChart : public VYRQChartControl<VYRQLineChart, VYRQLineChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQLineChart, "qtlinechart")
public:
    explicit VYRQLineChart(QWidget* parent = nullptr);
    ~VYRQLineChart() override;

    void setTitle(const QString& title);
    void setCategories(const QStringList& categories);
    // Replaces every series and replays the entry animation.
    void setSeries(const QVector<LineSeries>& series);
    // One series that takes the chart-wide smoothing and area switches.
    void setSingleSeries(const QString& name, const QVector<double>& values, const QColor& color);
    void setHoverEnabled(bool enabled);
    // 0 none, 1 the nearest single point, 2 the whole category.
    void setHoverMode(int mode);
    void setTooltipEnabled(bool enabled);
    void initDemoData();
};
