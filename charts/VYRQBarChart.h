#pragma once

#include "VYRQExport.h"

#include "BarSeries.h"
#include "VYRQChartControl.h"

#include <QColor>
#include <QStringList>
#include <QVector>

class VYRQBarChartImpl;

// Grouped vertical bars: equal category slots, one bar per visible series with a
// value there, a value axis whose lower end is never above zero, a legend whose
// entries switch series on and off, bar or category hover with tips, and bars that
// grow out of the zero line with the entry animation.
class VYRQTLIB_EXPORT VYRQBarChart : public VYRQChartControl<VYRQBarChart, VYRQBarChartImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQBarChart, "qtbarchart")
public:
    explicit VYRQBarChart(QWidget* parent = nullptr);
    ~VYRQBarChart() override;

    void setTitle(const QString& title);
    void setCategories(const QStringList& categories);
    // Replaces every series and replays the entry animation.
    void setSeries(const QVector<BarSeries>& series);
    void setSingleSeries(const QString& name, const QVector<double>& values, const QColor& color);
    void setHoverEnabled(bool enabled);
    // 0 none, 1 a single bar, 2 a whole category.
    void setHoverMode(int mode);
    void setTooltipEnabled(bool enabled);
    void initDemoData();
};
