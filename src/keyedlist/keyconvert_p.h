#pragma once
// Internal to TvorList (and its tests): the key conversions used by sorting.
#include <QStringView>

namespace vorgrd::internal {

// Exactly LeadingNumber(text.toString()), without its allocations.
double leadingNumberOf(QStringView text);

// Exactly TryStrToDateTime(text.toString(), value), reading the ISO form
// yyyy-m-d [(blank | T) h:n[:s]] directly.
bool dateTimeOf(QStringView text, double &value);

} // namespace vorgrd::internal
