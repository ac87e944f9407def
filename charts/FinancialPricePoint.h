#pragma once

#include "VYRQExport.h"

#include <QString>

// One intraday record: the price, the running average price and the volume.
struct VYRQTLIB_EXPORT FinancialPricePoint {
    QString label;
    double price = 0.0;
    double average = 0.0;
    double volume = 0.0;
};
