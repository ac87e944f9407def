#pragma once

// Symbol visibility of the shared library: everything is hidden unless marked.
// VYRQTLIB_BUILD is defined only while the library itself is compiled.
#if defined(_WIN32) || defined(__CYGWIN__)
#  ifdef VYRQTLIB_BUILD
#    define VYRQTLIB_EXPORT __declspec(dllexport)
#  else
#    define VYRQTLIB_EXPORT __declspec(dllimport)
#  endif
#else
#  define VYRQTLIB_EXPORT __attribute__((visibility("default")))
#endif
