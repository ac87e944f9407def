// expect: core/files includes core/resources/VYRQResourceManager.h
#include "VYRQResourceManager.h"
