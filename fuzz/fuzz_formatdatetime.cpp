// FormatDateTime must take any pattern and any double: values inside years 1-9999 are
// written (never an exception, output bounded by the pattern), values outside raise
// EConvertError and nothing else; and the ISO form of a value reads back to within
// half a millisecond. The first 8 bytes are the double, the rest the pattern (UTF-8).
#include "host/exceptions.h"
#include "host/textconvert.h"
#include "patterninput.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    double value = 0;
    QString pattern;
    if (!vorgrd::fuzz::splitValueAndPattern(data, size, value, pattern)) return 0;
    const bool inRange = value >= -693593 && value < 2958466;
    try {
        const QString text = vorgrd::FormatDateTime(pattern, value);
        if (!inRange) std::abort();
        // the longest expansion of one letter is "c" (short date, blank, long time)
        if (text.size() > 64 * pattern.size() + 64) std::abort();
        const QString iso = vorgrd::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value);
        const double back = vorgrd::StrToDateTime(iso);
        if (std::fabs(back - value) > 0.5 / 86400000.0 + 1e-9) std::abort();
    } catch (const vorgrd::EConvertError &) {
        if (inRange) std::abort();
    }
    return 0;
}
