#include "VYRQLogging.h"

Q_LOGGING_CATEGORY(vyrCore, "vyr.core", QtWarningMsg)
Q_LOGGING_CATEGORY(vyrRes, "vyr.res", QtWarningMsg)
Q_LOGGING_CATEGORY(vyrLayout, "vyr.layout", QtWarningMsg)
Q_LOGGING_CATEGORY(vyrControls, "vyr.controls", QtWarningMsg)
