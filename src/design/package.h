#pragma once
// The identity of the vorgrd package, as the library carries it: the name, the
// description (the text resource ":/vorgrd/DESCRIPTION") and the version. The Qt
// Designer plugin shows them, and its JSON metadata repeats them.

#include "host/vorgrdexport.h"

#include <QString>

namespace vorgrd {

// "vorgrd"
VORGRD_EXPORT QString PackageName();
// "VOR grid component", read from the library's text resource.
VORGRD_EXPORT QString PackageDescription();
// The library's version, "major.minor.patch".
VORGRD_EXPORT QString PackageVersion();

} // namespace vorgrd
