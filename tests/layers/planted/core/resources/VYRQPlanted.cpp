// expect: core/resources includes core/controlbase/VYRQControl.h
// allowed: core/resources includes core/content/VYRQToolTip.h
#include "VYRQControl.h"
#include "VYRQToolTip.h"
