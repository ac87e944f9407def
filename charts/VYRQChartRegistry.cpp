#include "VYRQChartRegistry.h"

#include "VYRQGlobal.h"
#include "VYRQLineChart.h"
#include "VYRQOpenGLPieChart.h"

void registerChartControls()
{
    vyrRegisterQtControl(VYRQLineChart::typeName(), &VYRQLineChart::createVYRQLineChart, VYRQLineChart::getProps(),
                         true);
    vyrRegisterQtControl(VYRQOpenGLPieChart::typeName(), &VYRQOpenGLPieChart::createVYRQOpenGLPieChart,
                         VYRQOpenGLPieChart::getProps(), true);
}
