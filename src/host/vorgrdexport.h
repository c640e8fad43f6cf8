#pragma once
// VORGRD_EXPORT marks what the shared library shows to its users. The library is
// built with hidden default visibility, so a class or free function without the mark
// stays inside libvorgrd: keep it on every public class and function.
//
// VORGRD_AUTOTEST_EXPORT marks internals that vorgrd's own tests reach (declared in
// private headers, never in a public one), above all the private parts behind a
// public class's d-pointer, which would otherwise be exported with their class. They
// leave the library only in a build with VORGRD_AUTOTEST_EXPORTS on (the CMake option
// of that name, on when the tests are built); elsewhere they are hidden, so that a
// released library's users cannot link against them.
//
// VORGRD_BUILDING_LIBRARY is defined only while the library itself is compiled;
// VORGRD_STATIC would be defined by a static build, where nothing is imported.
#include <QtCore/qglobal.h>

#if defined(VORGRD_STATIC)
#define VORGRD_EXPORT
#elif defined(VORGRD_BUILDING_LIBRARY)
#define VORGRD_EXPORT Q_DECL_EXPORT
#else
#define VORGRD_EXPORT Q_DECL_IMPORT
#endif

#if defined(VORGRD_AUTOTEST_EXPORTS)
#define VORGRD_AUTOTEST_EXPORT VORGRD_EXPORT
#else
#define VORGRD_AUTOTEST_EXPORT Q_DECL_HIDDEN
#endif
