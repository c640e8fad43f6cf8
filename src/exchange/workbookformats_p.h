#pragma once
// A column's Displayformat as a workbook format: the grid's number and date patterns
// (docs/formats.md) read into a structure that both workbook writers render, XLSX as
// a number-format code and ODS as data-style elements.
//
// Only what a spreadsheet shows the same way translates; anything else gives no
// format, and the writer leaves the cell in the workbook's general format (numbers)
// or its ISO date format (dates). docs/exchange.md lists what translates.
// Not installed; the tests call the exported functions.

#include "host/formatsettings.h"
#include "host/vorgrdexport.h"

#include <QString>

#include <optional>
#include <vector>

namespace vorgrd::workbook_internal {

// One section of a number pattern: literal text, then the number, then literal text.
struct NumberSection
{
    QString prefix;
    QString suffix;
    bool hasNumber = true;     // false: the section writes only its literal text
    int integerDigits = 0;     // placeholders before the point
    int minIntegerDigits = 0;  // of them, the digits always written
    bool grouping = false;     // thousands separators
    int decimals = 0;          // placeholders after the point
    int minDecimals = 0;       // of them, the digits always written
    bool blankZeros = false;   // trailing zeros of the fraction shown as blanks (the "x")
    bool scientific = false;
    bool exponentSignAlways = true; // E+ (true) or E- (false)
    bool lowerCaseExponent = false;
    int exponentDigits = 0;

    friend bool operator==(const NumberSection &, const NumberSection &) = default;
};

// One to three sections: positive (and the default), negative, zero. A grid pattern
// whose negative or zero section is missing or empty gets the section the grid uses
// in its place, so a renderer never relies on a spreadsheet's own fallbacks.
struct NumberFormat
{
    std::vector<NumberSection> sections;
    friend bool operator==(const NumberFormat &, const NumberFormat &) = default;
};

// A number pattern of a numeric or formula column: a last "x" asks for blanked
// trailing zeros. Nothing when the pattern does not translate.
VORGRD_EXPORT std::optional<NumberFormat> numberFormatOf(const QString &displayformat);

// The XLSX (and LibreOffice) format code of a number format; nothing when that format
// cannot say it.
VORGRD_EXPORT std::optional<QString> xlsxNumberCode(const NumberFormat &format);

// One piece of a date pattern.
struct DatePart
{
    enum Kind
    {
        Text,
        Day,
        DayName,
        Month,
        MonthName,
        Year,
        Hour,
        Minute,
        Second,
        Millisecond, // three digits, right after a second and a "."
        AmPm,        // AM/PM (upper case) or, with `longForm` false, a/p
    };
    Kind kind = Text;
    bool longForm = false; // two digits, four-digit year, full name
    QString text;          // Text only

    friend bool operator==(const DatePart &, const DatePart &) = default;
};

struct DateFormat
{
    std::vector<DatePart> parts;
    bool hasDate = false;
    bool hasTime = false;
    friend bool operator==(const DateFormat &, const DateFormat &) = default;
};

// A date/time pattern of a date column, with the settings' formats that some
// letters stand for expanded (ddddd, dddddd, t, tt) and "/" and ":" written as the
// settings' separators. Nothing when it does not translate (see docs/exchange.md),
// and for the empty pattern and "c", which a writer replaces by the ISO format that
// fits each value.
VORGRD_EXPORT std::optional<DateFormat> dateFormatOf(const QString &displayformat,
                                                     const FormatSettings &settings);

// The ISO formats a date cell gets without a translated pattern: the date, the time
// or both, as the value needs (yyyy-mm-dd, hh:mm:ss, yyyy-mm-dd hh:mm:ss).
VORGRD_EXPORT DateFormat isoDateFormat(bool date, bool time);

// The XLSX format code of a date format; nothing when that format cannot say it.
VORGRD_EXPORT std::optional<QString> xlsxDateCode(const DateFormat &format);

} // namespace vorgrd::workbook_internal
