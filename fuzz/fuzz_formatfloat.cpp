// FormatFloat must take any pattern and any double: no crash, no hang, an output no
// longer than the pattern allows, and numbers written in a scientific pattern read
// back to within the digits asked for. The first 8 bytes are the double, the rest the
// pattern (UTF-8).
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
    const QString text = vorgrd::FormatFloat(pattern, value);
    // each pattern character writes at most a digit and a thousands separator; the
    // digits without a placeholder, the sign and the exponent add a bounded amount
    if (text.size() > 2 * pattern.size() + 64) std::abort();

    if (std::isfinite(value)) {
        // Fifteen digits read back to within the rounding of the last one. Only the
        // largest doubles may round up past the double range and read back as infinity.
        const auto readsBack = [value](const QString &written) {
            const double back = vorgrd::StrToFloat(written);
            if (!std::isfinite(back)) return std::fabs(value) >= 1.79769313486231e308;
            return std::fabs(back - value) <= std::fabs(value) * 1e-14;
        };
        if (!readsBack(vorgrd::FormatFloat("0.00000000000000E+000", value))) std::abort();
        if (!readsBack(vorgrd::FloatToStr(value))) std::abort();
    }
    return 0;
}
