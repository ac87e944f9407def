// expect: core/content includes core/styles/VYRQStyleDefs.h
// expect: core/content includes core/languages/LanguageManager.h
#include "VYRQStyleDefs.h"
#include <LanguageManager.h>
