#include "host/formatsettings.h"

#include <memory>

namespace vorgrd {

namespace {

// Qt's date/time pattern letters differ from ours: Qt's "M" is our "m" (month),
// Qt's "m" is our "n" (minute), Qt's "H" is our "h", and Qt's "AP"/"ap" is our
// "ampm". Literal text in single quotes passes unchanged.
QString patternFromQt(const QString &qt)
{
    QString out;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt.at(i);
        if (c == u'\'') {
            const qsizetype end = qt.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? qt.size() : end + 1;
            out += u'"';
            out += qt.mid(i + 1, (end < 0 ? qt.size() : end) - i - 1);
            out += u'"';
            i = stop - 1;
        } else if (c == u'M') {
            out += u'm';
        } else if (c == u'm') {
            out += u'n';
        } else if (c == u'H') {
            out += u'h';
        } else if ((c == u'A' || c == u'a') && i + 1 < qt.size() &&
                   (qt.at(i + 1) == u'P' || qt.at(i + 1) == u'p')) {
            out += QStringLiteral("ampm");
            ++i;
        } else if (c == u't') {
            // time zone: not supported by our patterns; drop it
        } else {
            out += c;
        }
    }
    return out.trimmed();
}

QChar firstSeparator(const QString &pattern, QChar fallback)
{
    for (const QChar c : pattern)
        if (!c.isLetterOrNumber() && c != u'\'' && c != u' ')
            return c;
    return fallback;
}

QStringList names(const QLocale &locale, int count, bool months, QLocale::FormatType type)
{
    QStringList list;
    for (int i = 1; i <= count; ++i) {
        // Qt counts days from Monday = 1; we keep Sunday first.
        const int day = i == 1 ? 7 : i - 1;
        list << (months ? locale.monthName(i, type) : locale.dayName(day, type));
    }
    return list;
}

struct Settings
{
    FormatSettings format;
    QCollator collator;

    explicit Settings(const FormatSettings &f) : format(f), collator(f.CollationLocale)
    {
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
    }
};

std::unique_ptr<Settings> &current()
{
    static std::unique_ptr<Settings> settings =
        std::make_unique<Settings>(FormatSettings::fromLocale(QLocale::system()));
    return settings;
}

} // namespace

FormatSettings FormatSettings::fromLocale(const QLocale &locale)
{
    FormatSettings s;
    s.DecimalSeparator = locale.decimalPoint().isEmpty() ? u'.' : locale.decimalPoint().at(0);
    s.ThousandSeparator = locale.groupSeparator().isEmpty() ? u',' : locale.groupSeparator().at(0);
    s.ShortDateFormat = patternFromQt(locale.dateFormat(QLocale::ShortFormat));
    s.LongDateFormat = patternFromQt(locale.dateFormat(QLocale::LongFormat));
    s.ShortTimeFormat = patternFromQt(locale.timeFormat(QLocale::ShortFormat));
    s.LongTimeFormat = patternFromQt(locale.timeFormat(QLocale::LongFormat));
    s.DateSeparator = firstSeparator(locale.dateFormat(QLocale::ShortFormat), u'/');
    s.TimeSeparator = firstSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
    s.TimeAMString = locale.amText();
    s.TimePMString = locale.pmText();
    s.ShortMonthNames = names(locale, 12, true, QLocale::ShortFormat);
    s.LongMonthNames = names(locale, 12, true, QLocale::LongFormat);
    s.ShortDayNames = names(locale, 7, false, QLocale::ShortFormat);
    s.LongDayNames = names(locale, 7, false, QLocale::LongFormat);
    s.CollationLocale = locale;
    return s;
}

FormatSettings FormatSettings::invariant()
{
    FormatSettings s = fromLocale(QLocale::c());
    s.DecimalSeparator = u'.';
    s.ThousandSeparator = u',';
    s.DateSeparator = u'-';
    s.TimeSeparator = u':';
    s.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    s.LongDateFormat = QStringLiteral("dddd, d mmmm yyyy");
    s.ShortTimeFormat = QStringLiteral("hh:nn");
    s.LongTimeFormat = QStringLiteral("hh:nn:ss");
    s.TimeAMString = QStringLiteral("AM");
    s.TimePMString = QStringLiteral("PM");
    s.CollationLocale = QLocale::c();
    return s;
}

const FormatSettings &formatSettings()
{
    return current()->format;
}

void setFormatSettings(const FormatSettings &settings)
{
    current() = std::make_unique<Settings>(settings);
}

const QCollator &textCollator()
{
    return current()->collator;
}

} // namespace vorgrd
