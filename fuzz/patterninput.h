#pragma once
// The input of the pattern fuzzers: the first 8 bytes are a double, the rest a
// pattern in UTF-8. The settings are pinned once so results do not depend on the
// machine's locale.
#include "host/formatsettings.h"

#include <QString>

#include <cstdint>
#include <cstring>

namespace vorgrd::fuzz {

inline bool splitValueAndPattern(const uint8_t *data, size_t size, double &value, QString &pattern)
{
    static const bool pinned = [] {
        setFormatSettings(FormatSettings::invariant());
        return true;
    }();
    (void)pinned;
    if (size < sizeof(double)) return false;
    std::memcpy(&value, data, sizeof value);
    pattern = QString::fromUtf8(reinterpret_cast<const char *>(data + sizeof value),
                                qsizetype(size - sizeof value));
    return true;
}

} // namespace vorgrd::fuzz
