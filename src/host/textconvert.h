#pragma once
// Text conversions of numbers and dates, and text comparison, through the settings
// of formatsettings.h. docs/formats.md lists the accepted texts and the pattern
// letters with examples.
//
// Date/time values are doubles: whole days since 1899-12-30, plus the fraction of
// the day (0.5 = 12:00). The day is floor(value), so days before 1899-12-30 are
// negative while the fraction still counts forward in time from midnight:
// 1899-12-29 06:00 is -1 + 0.25 = -0.75. The order of the values is the order of time.
// Dates run from 0001-01-01 (-693593) to 9999-12-31 (2958465).

#include "host/vorgrdexport.h"
#include <QString>

namespace vorgrd {

// ---- numbers ----------------------------------------------------------------

// The standard decimal conversion: optional leading blanks, optional sign, digits
// with an optional "." and fraction, optional exponent (e or E, optional sign,
// digits). Only "." is a decimal point; no group separators. Returns 0 when the
// whole text converted (value set), otherwise the 1-based position of the first
// character that is not part of the longest valid number at the start of the text
// (value then 0). The empty text fails at position 1.
VORGRD_EXPORT int ValFloat(const QString &text, double &value);

// The value of the number at the start of a text, 0 when there is none: '12.5kg'
// gives 12.5, '7 apples' 7, '1e3' 1000, '12,5' 12, 'abc' 0. The value is rounded to
// the precision of a 6-byte real (40-bit mantissa), so texts that differ only beyond
// about 12 significant digits give equal values. Magnitudes at or above 2^127
// (about 1.7e38) give +/-infinity; magnitudes below 2^-128 give 0.
VORGRD_EXPORT double LeadingNumber(const QString &text);

// Rounds a double to the nearest 6-byte real (40-bit mantissa, ties to even), with
// the range rule of LeadingNumber.
VORGRD_EXPORT double RoundToReal48(double value);

// Locale-aware conversion: blanks around the number are allowed, the decimal point
// is the settings' DecimalSeparator; the rest as ValFloat. Throws EConvertError
// naming the text.
VORGRD_EXPORT double StrToFloat(const QString &text);
VORGRD_EXPORT bool TryStrToFloat(const QString &text, double &value);

// General number format: the shortest decimal text that reads back as the value,
// rounded to 15 significant digits (halves away from zero) and written without
// trailing zeros, with the settings' decimal separator and no thousands separators.
// Scientific form (1.5E20, 1E-7, "E" and the exponent without leading zeros) when the
// exponent of the first digit is 15 or more or below -5: 1E15 but 999999999999999,
// 0.00001 but 1E-6. "0" for both zeros; "NAN", "INF", "-INF" for the non-finite values.
VORGRD_EXPORT QString FloatToStr(double value);

// Formats a number by a pattern (see docs/formats.md): 0 # . , E+ E- e+ e-, text
// in "" or '' copied as it stands, any other character copied, up to three sections
// "positive;negative;zero". The number is the shortest decimal text of the double,
// rounded on its decimal digits, halves away from zero (0.125 with "0.00" is 0.13).
// The empty pattern, NaN and the infinities, and magnitudes of 1e18 or more under a
// pattern without exponent give FloatToStr's text.
VORGRD_EXPORT QString FormatFloat(const QString &format, double value);

// Integer conversion with a default for anything that is not a 32-bit integer
// (optional blanks and sign, decimal digits, or hex after $ or 0x).
VORGRD_EXPORT int StrToIntDef(const QString &text, int defaultValue);

// ---- dates and times ----------------------------------------------------------

// Converts a date/time text. Accepted, with blanks around (docs/formats.md has the
// details and examples):
//   yyyy-mm-dd, optionally followed by a blank or "T" and a time;
//   a short date in the d/m/y order of the settings' ShortDateFormat, separated by
//   the settings' DateSeparator or "/", optionally followed by a blank and a time;
//   a time alone (the date part is then 0):  h:nn[:ss[.zzz]] with an optional am/pm
//   word (the settings' or AM/PM) before or after it.
// Two-digit years 00-49 are 2000-2049, 50-99 are 1950-1999. The date must exist
// (no 2023-02-30) and lie in years 1-9999. Throws EConvertError naming the text for
// anything else, the empty text included.
VORGRD_EXPORT double StrToDateTime(const QString &text);
VORGRD_EXPORT bool TryStrToDateTime(const QString &text, double &value);

// The value of a date and time of day. Throws EConvertError naming the parts when
// they are no real date and time (years 1-9999).
VORGRD_EXPORT double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int msec = 0);

// Formats a date/time value by a pattern (letters in docs/formats.md; the empty
// pattern is "c"). The value is rounded to the millisecond. A value outside
// 0001-01-01 .. 9999-12-31 23:59:59.999, NaN and the infinities included, throws
// EConvertError naming the value.
VORGRD_EXPORT QString FormatDateTime(const QString &format, double dateTime);

// ---- text --------------------------------------------------------------------

// Case-insensitive, locale-aware comparison through textCollator(): negative,
// zero or positive.
VORGRD_EXPORT int AnsiCompareText(const QString &a, const QString &b);

// Upper-cases a-z only; every other character passes unchanged.
VORGRD_EXPORT QString UpperCase(const QString &text);

} // namespace vorgrd
