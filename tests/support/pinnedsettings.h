#pragma once
// A test that changes the process-wide format settings restores the invariant ones
// when it ends, so that tests stay independent of their order.
#include "host/formatsettings.h"

namespace vorgrd::test {

class PinnedSettings
{
public:
    PinnedSettings() = default;
    explicit PinnedSettings(const FormatSettings &settings) { setFormatSettings(settings); }
    ~PinnedSettings() { setFormatSettings(FormatSettings::invariant()); }
    PinnedSettings(const PinnedSettings &) = delete;
    PinnedSettings &operator=(const PinnedSettings &) = delete;
};

} // namespace vorgrd::test
