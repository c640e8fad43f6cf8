#include "host/dataset.h"

namespace vorgrd {

// Out of line so that the vtables live in one place.
TField::~TField() = default;
TDataSet::~TDataSet() = default;

} // namespace vorgrd
