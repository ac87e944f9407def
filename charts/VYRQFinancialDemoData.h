#pragma once

#include "VYRQExport.h"

#include "FinancialCandle.h"
#include "FinancialPricePoint.h"

#include <QVector>

// The demonstration records a new financial chart shows: 62 daily candles and 49
// five-minute price points of the last day.
VYRQTLIB_EXPORT QVector<FinancialCandle> financialDemoCandles();
VYRQTLIB_EXPORT QVector<FinancialPricePoint> financialDemoPricePoints();
