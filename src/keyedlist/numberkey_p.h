#pragma once
// Internal to TvorList (and its tests): the numeric key conversion used by sorting.
#include <QStringView>

namespace vorgrd::internal {

// Exactly LeadingNumber(text.toString()), without its allocations.
double leadingNumberOf(QStringView text);

} // namespace vorgrd::internal
