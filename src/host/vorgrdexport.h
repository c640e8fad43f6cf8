#pragma once
// VORGRD_EXPORT marks what the shared library shows to its users. The library is
// built with hidden default visibility, so a class or free function without the mark
// stays inside libvorgrd: keep it on every public class and function, and on the
// internals a test of ours calls.
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
