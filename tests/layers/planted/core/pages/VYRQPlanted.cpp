// expect: core/pages includes controls/VYRQLabel.h
// allowed: core/pages includes core/controlbase/VYRQControl.h
#include "VYRQControl.h"
#include "VYRQLabel.h"
