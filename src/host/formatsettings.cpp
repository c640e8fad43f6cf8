#include "host/formatsettings.h"

#include <memory>

namespace vorgrd {

namespace {

// Appends `text` as literal text of our patterns: in "..." quotes, except that a
// double quote itself goes in '...'.
void appendLiteral(QString &out, QStringView text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'"') {
            out += QStringLiteral("'\"'");
            ++i;
            continue;
        }
        const qsizetype end = text.indexOf(u'"', i);
        const qsizetype stop = end < 0 ? text.size() : end;
        out += u'"';
        out += text.mid(i, stop - i);
        out += u'"';
        i = stop;
    }
}

bool isQtPatternLetter(QChar c)
{
    return QStringView(u"dMyhHmszaAtP").contains(c) || c == u'p';
}

// Bidirectional marks and other invisible format characters sit between the fields of
// some locales' patterns (Arabic); they are no separators.
bool isInvisible(QChar c)
{
    return c.category() == QChar::Other_Format;
}

// Qt's date/time pattern letters differ from ours: Qt's "M" is our "m" (month),
// Qt's "m" is our "n" (minute), Qt's "H" is our "h", and Qt's "AP"/"A"/"ap"/"a" is our
// "ampm". Literal text in single quotes ('' is a quote) stays literal. Every other
// ASCII letter, and "/" and ":", are quoted so that they cannot turn into our own
// letters (c, n, t, ...) or separators. The character `separator`, when not null, is
// written as `placeholder` ("/" or ":"), so that the pattern follows the
// settings' DateSeparator or TimeSeparator.
QString patternFromQt(const QString &qt, QChar separator = QChar(), QChar placeholder = QChar())
{
    QString out;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt.at(i);
        if (c == u'\'') {
            if (i + 1 < qt.size() && qt.at(i + 1) == u'\'') {
                appendLiteral(out, u"'");
                ++i;
                continue;
            }
            // quoted text; '' inside it is one quote
            QString literal;
            qsizetype j = i + 1;
            for (; j < qt.size(); ++j) {
                if (qt.at(j) == u'\'') {
                    if (j + 1 < qt.size() && qt.at(j + 1) == u'\'') {
                        literal += u'\'';
                        ++j;
                        continue;
                    }
                    break;
                }
                literal += qt.at(j);
            }
            appendLiteral(out, literal);
            i = j;
        } else if (!separator.isNull() && c == separator) {
            out += placeholder;
        } else if (c == u'M') {
            out += u'm';
        } else if (c == u'm') {
            out += u'n';
        } else if (c == u'H') {
            out += u'h';
        } else if (c == u'A' || c == u'a') {
            out += QStringLiteral("ampm");
            if (i + 1 < qt.size() && (qt.at(i + 1) == u'P' || qt.at(i + 1) == u'p')) ++i;
        } else if (c == u't') {
            // time zone: not supported by our patterns; drop it
        } else if (c == u'/' || c == u':' || c == u'"' ||
                   (c.unicode() < 128 && c.isLetter() && !isQtPatternLetter(c))) {
            appendLiteral(out, QStringView(&c, 1));
        } else if (!isInvisible(c)) {
            out += c;
        }
    }
    return out.trimmed();
}

// The first character between the fields of a Qt pattern: not a letter or digit, not
// in quotes, not a blank or an invisible mark.
QChar firstSeparator(const QString &pattern, QChar fallback)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'\'') {
            const qsizetype end = pattern.indexOf(u'\'', i + 1);
            if (end < 0) break;
            i = end;
        } else if (!c.isLetterOrNumber() && !c.isSpace() && !isInvisible(c)) {
            return c;
        }
    }
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
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    s.DateSeparator = firstSeparator(shortDate, u'/');
    s.TimeSeparator = firstSeparator(shortTime, u':');
    s.ShortDateFormat = patternFromQt(shortDate, s.DateSeparator, u'/');
    s.LongDateFormat = patternFromQt(locale.dateFormat(QLocale::LongFormat));
    s.ShortTimeFormat = patternFromQt(shortTime, s.TimeSeparator, u':');
    s.LongTimeFormat = patternFromQt(locale.timeFormat(QLocale::LongFormat), s.TimeSeparator, u':');
    // An empty marker could never be told apart when reading a time back.
    s.TimeAMString = locale.amText().isEmpty() ? QStringLiteral("AM") : locale.amText();
    s.TimePMString = locale.pmText().isEmpty() ? QStringLiteral("PM") : locale.pmText();
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
