#pragma once

#include "VYRQExport.h"

#include <QString>

// One daily trading record; rising when close >= open.
struct VYRQTLIB_EXPORT FinancialCandle {
    QString label;
    double open = 0.0;
    double high = 0.0;
    double low = 0.0;
    double close = 0.0;
    double volume = 0.0;
};
