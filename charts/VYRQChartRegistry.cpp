#include "VYRQChartRegistry.h"

#include "VYRQBarChart.h"
#include "VYRQFinancialChart.h"
#include "VYRQGlobal.h"
#include "VYRQLineChart.h"
#include "VYRQOpenGLPieChart.h"
#include "VYRQScatterChart.h"

namespace {

template <class Chart>
void addChart(QWidget* (*create)())
{
    vyrRegisterQtControl(Chart::typeName(), create, Chart::getProps(), true);
}

} // namespace

void registerChartControls()
{
    addChart<VYRQBarChart>(&VYRQBarChart::createVYRQBarChart);
    addChart<VYRQLineChart>(&VYRQLineChart::createVYRQLineChart);
    addChart<VYRQOpenGLPieChart>(&VYRQOpenGLPieChart::createVYRQOpenGLPieChart);
    addChart<VYRQScatterChart>(&VYRQScatterChart::createVYRQScatterChart);
    addChart<VYRQFinancialChart>(&VYRQFinancialChart::createVYRQFinancialChart);
}
