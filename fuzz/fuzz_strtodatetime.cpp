// StrToDateTime must read any text without crashing, and whatever it accepts must be a
// date of years 1-9999 that FormatDateTime writes in ISO form and StrToDateTime reads
// back to the very same value. The first byte picks the settings, so that the short
// date orders, separators and am/pm words of several locales are fuzzed too.
#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"

#include <cstdint>
#include <cstdlib>

namespace {

vorgrd::FormatSettings settingsFor(uint8_t selector)
{
    vorgrd::FormatSettings s = vorgrd::FormatSettings::invariant();
    switch (selector % 4) {
    case 1: // day first, dots, decimal comma
        s.ShortDateFormat = "dd/mm/yyyy";
        s.DateSeparator = u'.';
        s.DecimalSeparator = u',';
        break;
    case 2: // month first, two-digit years, twelve hours
        s.ShortDateFormat = "m/d/yy";
        s.DateSeparator = u'/';
        s.TimeAMString = "a.m.";
        s.TimePMString = "p.m.";
        break;
    case 3: // separators followed by blanks and closing the date, dotted times
        s.ShortDateFormat = "yyyy/ mm/ dd/";
        s.DateSeparator = u'.';
        s.TimeSeparator = u'.';
        break;
    default:
        break;
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    vorgrd::setFormatSettings(settingsFor(data[0]));
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    double value = 0;
    const bool ok = vorgrd::TryStrToDateTime(text, value);
    bool threw = false;
    try {
        if (vorgrd::StrToDateTime(text) != value) std::abort();
    } catch (const vorgrd::EConvertError &) {
        threw = true;
    }
    if (threw == ok) std::abort(); // the two entry points disagree
    if (!ok) return 0;
    if (!(value >= -693593 && value < 2958466)) std::abort();
    const QString iso = vorgrd::FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value);
    if (vorgrd::StrToDateTime(iso) != value) std::abort();
    return 0;
}
