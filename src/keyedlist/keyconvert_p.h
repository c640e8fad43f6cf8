#pragma once
// Internal to TvorList (and its tests): the key conversions used by sorting.
#include "host/vorgrdexport.h"
#include <QStringView>

namespace vorgrd::internal {

// Exactly LeadingNumber(text.toString()), without its allocations.
VORGRD_EXPORT double leadingNumberOf(QStringView text);

// Exactly TryStrToDateTime(text.toString(), value), reading the ISO form
// yyyy-m-d [(blank | T) h:n[:s]] directly.
VORGRD_EXPORT bool dateTimeOf(QStringView text, double &value);

} // namespace vorgrd::internal
