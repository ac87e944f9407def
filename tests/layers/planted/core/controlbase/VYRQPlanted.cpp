// expect: core/controlbase includes core/pages/VYRQGlobal.h
// allowed: core/controlbase includes core/resources/VYRQResourceManager.h
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
