// expect: core includes core/files/VYRQJson.h
#include "VYRQJson.h"
