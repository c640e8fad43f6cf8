#pragma once
// The process-wide settings behind every number and date text conversion and every
// locale-aware text comparison of the library. They start from the system locale the
// first time they are read; an application (or a test) may replace them at any time
// from the GUI thread with setFormatSettings().
//
// Date and time patterns use the letters of docs/formats.md (d, m, y, h, n, s, z,
// am/pm, ...), not Qt's: "m" is the month and "n" the minute.

#include "host/vorgrdexport.h"
#include <QChar>
#include <QCollator>
#include <QLocale>
#include <QString>

namespace vorgrd {

struct VORGRD_EXPORT FormatSettings
{
    QChar DecimalSeparator = u'.';
    QChar ThousandSeparator = u',';
    QChar DateSeparator = u'-'; // what "/" in a date pattern writes
    QChar TimeSeparator = u':'; // what ":" in a time pattern writes
    QString ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    QString LongDateFormat = QStringLiteral("dddd, d mmmm yyyy");
    QString ShortTimeFormat = QStringLiteral("hh:nn");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    QStringList ShortMonthNames; // 12 names, January first
    QStringList LongMonthNames;
    QStringList ShortDayNames; // 7 names, Sunday first
    QStringList LongDayNames;
    QLocale CollationLocale = QLocale::c(); // locale of AnsiCompareText

    // Settings taken from a Qt locale (its separators, date and time formats,
    // month and day names).
    static FormatSettings fromLocale(const QLocale &locale);
    // Fixed settings that do not depend on the machine: "." and ",", ISO dates
    // (yyyy-mm-dd), 24-hour times, English names, the C locale's collation.
    // Tests pin these.
    static FormatSettings invariant();
};

// The settings in force.
VORGRD_EXPORT const FormatSettings &formatSettings();
// Replaces the settings in force (also the collator behind AnsiCompareText).
VORGRD_EXPORT void setFormatSettings(const FormatSettings &settings);
// The case-insensitive collator of the settings' CollationLocale. Sorting code may
// take sort keys from it; AnsiCompareText compares with it.
VORGRD_EXPORT const QCollator &textCollator();

} // namespace vorgrd
