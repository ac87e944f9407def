#pragma once

#include "VYRQExport.h"

#include <QLoggingCategory>

// What Q_DECLARE_LOGGING_CATEGORY declares, exported: callers may log or filter by them.
VYRQTLIB_EXPORT const QLoggingCategory& vyrCore();
VYRQTLIB_EXPORT const QLoggingCategory& vyrRes();
VYRQTLIB_EXPORT const QLoggingCategory& vyrLayout();
VYRQTLIB_EXPORT const QLoggingCategory& vyrControls();
