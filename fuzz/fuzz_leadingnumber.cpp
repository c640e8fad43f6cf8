// LeadingNumber and the number scanner behind it must accept any text: no crash, no
// sanitizer report, and the result is a number of the 6-byte real's range or an
// infinity, never NaN.
#include "host/textconvert.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = vorgrd::LeadingNumber(text);
    if (std::isnan(value)) std::abort();
    double exact = 0;
    if (vorgrd::ValFloat(text, exact) == 0 && vorgrd::RoundToReal48(exact) != value) std::abort();
    return 0;
}
