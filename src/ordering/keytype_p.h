#pragma once
// Internal to the library: the grid publishes its own enumeration of the key types,
// value for value the keyed list's; this is the one place that maps one onto the
// other (the keyed list knows nothing of the grid's enumerations).
#include "host/vorgrdexport.h"
#include "keyedlist/vorlist.h"
#include "ordering/orderingtypes.h"

namespace vorgrd::internal {

// A value outside the enumeration raises ERangeError.
VORGRD_EXPORT TLSortType listKeyType(TMSortType type);

} // namespace vorgrd::internal
