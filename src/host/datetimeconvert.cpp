// Date and time conversions of textconvert.h: StrToDateTime reads the texts listed in
// docs/formats.md, FormatDateTime writes a value by a pattern.
//
// Sections:
//   calendar      day numbers <-> (year, month, day), the valid range
//   reading       a small cursor over the text and the three accepted shapes
//   writing       the pattern walker behind FormatDateTime
//
// A value is a day number plus the fraction of the day, the day number being
// floor(value). Dates before 1899-12-30 therefore have negative day numbers while the
// fraction still counts forward from midnight: 1899-12-29 06:00 is -1 + 0.25 = -0.75,
// which keeps the order of the values the order of time.
#include "host/datepattern_p.h"
#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace vorgrd {

// ---- pattern pieces (host/datepattern_p.h) ------------------------------------------

namespace datepattern {

char16_t asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
}

qsizetype runLength(QStringView format, qsizetype i, QChar letter, qsizetype limit)
{
    qsizetype n = 0;
    while (i + n < format.size() && n < limit && asciiLower(format.at(i + n)) == asciiLower(letter))
        ++n;
    return n;
}

// The am/pm markers at position i: "am/pm", "a/p" or "ampm", letter case ignored.
// Returns the marker's length, 0 when there is none.
qsizetype ampmMarker(QStringView format, qsizetype i)
{
    // Every marker starts with an a: most positions are told apart by that alone.
    if (i >= format.size() || asciiLower(format.at(i)) != u'a') return 0;
    const QStringView rest = format.mid(i);
    if (rest.startsWith(u"am/pm", Qt::CaseInsensitive)) return 5;
    if (rest.startsWith(u"ampm", Qt::CaseInsensitive)) return 4;
    if (rest.startsWith(u"a/p", Qt::CaseInsensitive)) return 3;
    return 0;
}

// A pattern counts hours 1-12 when it holds an am/pm marker anywhere outside quotes.
bool usesTwelveHours(QStringView format)
{
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'"' || c == u'\'') {
            const qsizetype end = format.indexOf(c, i + 1);
            if (end < 0) return false;
            i = end;
        } else if (ampmMarker(format, i) > 0) {
            return true;
        }
    }
    return false;
}

} // namespace datepattern

namespace {

// ---- calendar -------------------------------------------------------------------

constexpr qint64 MillisecondsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm,
// exact for every year of our range).
qint64 daysFromCivil(int year, int month, int day)
{
    const qint64 y = year - (month <= 2 ? 1 : 0);
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CivilDate
{
    int year;
    int month;
    int day;
};

CivilDate civilFromDays(qint64 z)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    return {int(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

const qint64 EpochDays = daysFromCivil(1899, 12, 30);
// Day numbers of 0001-01-01 and 9999-12-31, the range of every date we read or write.
const qint64 FirstDay = daysFromCivil(1, 1, 1) - EpochDays;
const qint64 LastDay = daysFromCivil(9999, 12, 31) - EpochDays;

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool validDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

bool validTime(int hour, int minute, int second, int msec)
{
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59 &&
           msec >= 0 && msec <= 999;
}

double dateTimeValue(qint64 dayNumber, qint64 msOfDay)
{
    return double(dayNumber) + double(msOfDay) / double(MillisecondsPerDay);
}

// ---- reading --------------------------------------------------------------------

class Cursor
{
public:
    explicit Cursor(const QString &text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    qsizetype pos() const { return m_pos; }
    void reset(qsizetype pos) { m_pos = pos; }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }

    bool take(QChar c)
    {
        if (atEnd() || m_text.at(m_pos) != c) return false;
        ++m_pos;
        return true;
    }

    // Takes one of two separators; returns which, or a null QChar.
    QChar takeEither(QChar a, QChar b)
    {
        const QChar c = peek();
        if (!atEnd() && (c == a || c == b)) {
            ++m_pos;
            return c;
        }
        return QChar();
    }

    int skipBlanks()
    {
        int n = 0;
        while (!atEnd() && m_text.at(m_pos).isSpace()) {
            ++m_pos;
            ++n;
        }
        return n;
    }

    // Reads minDigits..maxDigits ASCII digits; fails (and moves nothing) when there are
    // fewer than minDigits or when more digits follow the maximum.
    std::optional<int> number(int minDigits, int maxDigits, int *digitCount = nullptr)
    {
        qsizetype i = m_pos;
        int value = 0;
        int count = 0;
        while (i < m_text.size() && isDigit(m_text.at(i))) {
            if (count == maxDigits) return std::nullopt;
            value = value * 10 + (m_text.at(i).unicode() - u'0');
            ++count;
            ++i;
        }
        if (count < minDigits) return std::nullopt;
        m_pos = i;
        if (digitCount) *digitCount = count;
        return value;
    }

    // Takes `word` when the text continues with it, letter case ignored.
    bool takeWord(const QString &word)
    {
        if (word.isEmpty() || m_text.size() - m_pos < word.size()) return false;
        if (QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        m_pos += word.size();
        return true;
    }

private:
    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    const QString &m_text;
    qsizetype m_pos = 0;
};

// Two-digit years: 00-49 are 2000-2049, 50-99 are 1950-1999. A fixed window instead of
// one that slides with the clock, so that a sorted list stays sorted next year.
int expandTwoDigitYear(int year)
{
    return year < 50 ? 2000 + year : 1900 + year;
}

// time := [marker blanks] h sep n [sep s [frac z]] [blanks marker]  (one marker at most)
//   marker: am or pm
//   h, n, s: 1-2 digits; sep: the settings' TimeSeparator or ':'; frac: '.' or the
//   settings' DecimalSeparator; z: 1-3 digits, a decimal fraction of the second.
// Reads an am or pm marker: the settings' words or "AM"/"PM", letter case ignored.
// Returns 'a', 'p', or 0 (nothing taken).
char readMarker(Cursor &in, const FormatSettings &fs)
{
    if (in.takeWord(fs.TimeAMString) || in.takeWord(QStringLiteral("AM"))) return 'a';
    if (in.takeWord(fs.TimePMString) || in.takeWord(QStringLiteral("PM"))) return 'p';
    return 0;
}

std::optional<qint64> readTime(Cursor &in, const FormatSettings &fs)
{
    // The marker may also stand first, as in Korean ("오후 2:05").
    char marker = readMarker(in, fs);
    if (marker) in.skipBlanks();
    const auto hour = in.number(1, 2);
    if (!hour) return std::nullopt;
    if (in.takeEither(fs.TimeSeparator, u':').isNull()) return std::nullopt;
    const auto minute = in.number(1, 2);
    if (!minute) return std::nullopt;
    int second = 0;
    int msec = 0;
    if (!in.takeEither(fs.TimeSeparator, u':').isNull()) {
        const auto s = in.number(1, 2);
        if (!s) return std::nullopt;
        second = *s;
        if (!in.takeEither(u'.', fs.DecimalSeparator).isNull()) {
            int digits = 0;
            const auto z = in.number(1, 3, &digits);
            if (!z) return std::nullopt;
            msec = *z * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
        }
    }
    int h = *hour;
    if (!marker) {
        const qsizetype beforeSuffix = in.pos();
        in.skipBlanks();
        marker = readMarker(in, fs);
        if (!marker) in.reset(beforeSuffix);
    }
    if (marker) {
        if (h < 1 || h > 12) return std::nullopt;
        h = h % 12 + (marker == 'p' ? 12 : 0);
    }
    if (!validTime(h, *minute, second, msec)) return std::nullopt;
    return ((qint64(h) * 60 + *minute) * 60 + second) * 1000 + msec;
}

struct DateOrder
{
    char first, second, third; // 'd', 'm', 'y'
};

// The order of day, month and year in the short date pattern; year-month-day when the
// pattern does not name all three.
DateOrder shortDateOrder(const QString &pattern)
{
    char order[3];
    int found = 0;
    bool seen[3] = {false, false, false};
    for (qsizetype i = 0; i < pattern.size() && found < 3; ++i) {
        const QChar c = pattern.at(i);
        if (c == u'"' || c == u'\'') {
            const qsizetype end = pattern.indexOf(c, i + 1);
            if (end < 0) break;
            i = end;
            continue;
        }
        const char16_t u = c.unicode();
        const char lower = u < 128 ? char(u >= u'A' && u <= u'Z' ? u + 32 : u) : 0;
        const int slot = lower == 'd' ? 0 : lower == 'm' ? 1 : lower == 'y' ? 2 : -1;
        if (slot >= 0 && !seen[slot]) {
            seen[slot] = true;
            order[found++] = lower;
        }
    }
    if (found < 3) return {'y', 'm', 'd'};
    return {order[0], order[1], order[2]};
}

// iso := yyyy '-' m{1,2} '-' d{1,2}
std::optional<qint64> readIsoDate(Cursor &in)
{
    const auto year = in.number(4, 4);
    if (!year || !in.take(u'-')) return std::nullopt;
    const auto month = in.number(1, 2);
    if (!month || !in.take(u'-')) return std::nullopt;
    const auto day = in.number(1, 2);
    if (!day || !validDate(*year, *month, *day)) return std::nullopt;
    return daysFromCivil(*year, *month, *day) - EpochDays;
}

// short := part sep part sep part [sep], in the order of the short date pattern
//   sep: the settings' DateSeparator or '/', the same each time, followed by blanks
//   where the pattern has them; day and month 1-2 digits, the year 2 or 4 digits. The
//   closing sep only where the pattern ends with one.
std::optional<qint64> readShortDate(Cursor &in, const FormatSettings &fs)
{
    const DateOrder order = shortDateOrder(fs.ShortDateFormat);
    // Some locales write "2021. 03. 07." (Hungarian) or "21. 3. 7." (Korean): blanks
    // after the separators and a separator at the end, where their pattern has them.
    const QString pattern = fs.ShortDateFormat.trimmed();
    const bool blankAfterSeparator = pattern.contains(QStringLiteral("/ ")) ||
                                     pattern.contains(QString(fs.DateSeparator) + u' ');
    const bool endsWithSeparator =
        pattern.endsWith(u'/') || (!pattern.isEmpty() && pattern.back() == fs.DateSeparator);
    const char parts[3] = {order.first, order.second, order.third};
    int year = 0, month = 0, day = 0;
    QChar separator;
    for (int i = 0; i < 3; ++i) {
        if (i == 1) {
            separator = in.takeEither(fs.DateSeparator, u'/');
            if (separator.isNull()) return std::nullopt;
        } else if (i == 2 && !in.take(separator)) {
            return std::nullopt;
        }
        if (i > 0 && blankAfterSeparator) in.skipBlanks();
        if (parts[i] == 'y') {
            int digits = 0;
            const auto y = in.number(2, 4, &digits);
            if (!y || digits == 3) return std::nullopt;
            year = digits == 2 ? expandTwoDigitYear(*y) : *y;
        } else {
            const auto v = in.number(1, 2);
            if (!v) return std::nullopt;
            (parts[i] == 'd' ? day : month) = *v;
        }
    }
    if (endsWithSeparator) in.take(separator);
    if (!validDate(year, month, day)) return std::nullopt;
    return daysFromCivil(year, month, day) - EpochDays;
}

// text := blanks (date [sep time] | time) blanks
//   date := iso | short; sep := blanks, or 'T' after an iso date
std::optional<double> readDateTime(const QString &text)
{
    const FormatSettings &fs = formatSettings();
    Cursor in(text);
    in.skipBlanks();
    const qsizetype start = in.pos();

    auto finish = [&](qint64 dayNumber, qint64 ms) -> std::optional<double> {
        in.skipBlanks();
        if (!in.atEnd()) return std::nullopt;
        return dateTimeValue(dayNumber, ms);
    };
    auto dateWithOptionalTime = [&](qint64 dayNumber, bool allowT) -> std::optional<double> {
        const qsizetype afterDate = in.pos();
        const bool t = allowT && (in.take(u'T') || in.take(u't'));
        const int blanks = t ? 0 : in.skipBlanks();
        if (t || (blanks > 0 && !in.atEnd())) {
            const auto ms = readTime(in, fs);
            if (!ms) return std::nullopt;
            return finish(dayNumber, *ms);
        }
        in.reset(afterDate);
        return finish(dayNumber, 0);
    };

    if (const auto day = readIsoDate(in)) {
        if (const auto value = dateWithOptionalTime(*day, true)) return value;
    }
    in.reset(start);
    if (const auto day = readShortDate(in, fs)) {
        if (const auto value = dateWithOptionalTime(*day, false)) return value;
    }
    in.reset(start);
    if (const auto ms = readTime(in, fs)) return finish(0, *ms);
    return std::nullopt;
}

// ---- writing --------------------------------------------------------------------

struct DateTimeParts
{
    int year, month, day, dayOfWeek; // dayOfWeek: 0 = Sunday
    int hour, minute, second, msec;
    bool hasTime;
};

DateTimeParts decode(double value)
{
    // The window is checked on the value itself first, so that the conversions below
    // never see a NaN, an infinity or a number beyond qint64.
    if (!(value >= double(FirstDay) && value < double(LastDay + 1)))
        throw EConvertError(QStringLiteral("%1 is not a valid date and time value (valid: "
                                           "%2 <= value < %3, 0001-01-01 to 9999-12-31)")
                                .arg(QString::number(value, 'g', 17))
                                .arg(FirstDay)
                                .arg(LastDay + 1));
    qint64 dayNumber = qint64(std::floor(value));
    qint64 ms = std::llround((value - double(dayNumber)) * double(MillisecondsPerDay));
    if (ms >= MillisecondsPerDay) {
        // a value a hair below midnight rounds up to the next day
        ++dayNumber;
        ms -= MillisecondsPerDay;
        if (dayNumber > LastDay) {
            dayNumber = LastDay;
            ms = MillisecondsPerDay - 1;
        }
    }
    const CivilDate date = civilFromDays(dayNumber + EpochDays);
    DateTimeParts p{};
    p.year = date.year;
    p.month = date.month;
    p.day = date.day;
    // 1899-12-30 was a Saturday
    p.dayOfWeek = int(((dayNumber % 7) + 7 + 6) % 7);
    p.hour = int(ms / 3600000);
    p.minute = int(ms / 60000 % 60);
    p.second = int(ms / 1000 % 60);
    p.msec = int(ms % 1000);
    p.hasTime = ms != 0;
    return p;
}

const QStringList &fallbackNames(bool months, bool longForm)
{
    static const QStringList shortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const QStringList longMonths = {"January",   "February", "March",    "April",
                                           "May",       "June",     "July",     "August",
                                           "September", "October",  "November", "December"};
    static const QStringList shortDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const QStringList longDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                         "Thursday", "Friday", "Saturday"};
    if (months) return longForm ? longMonths : shortMonths;
    return longForm ? longDays : shortDays;
}

// A settings object built by hand may lack the name lists; English names stand in.
QString nameOf(const QStringList &names, int index, bool months, bool longForm)
{
    const int count = months ? 12 : 7;
    if (names.size() >= count) return names.at(index);
    return fallbackNames(months, longForm).at(index);
}

// Appends `value` with at least `width` digits, zeros in front. Written digit by digit
// rather than through QString::arg: a workbook load formats millions of dates.
void appendNumber(QString &out, int value, int width = 1)
{
    if (value < 0) {
        out += QString::number(value);
        return;
    }
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int k = n; k < width; ++k)
        out += u'0';
    while (n > 0)
        out += QChar(digits[--n]);
}

using namespace datepattern;

// Patterns of the settings that one letter stands for (c, ddddd, dddddd, t, tt) are
// expanded once; inside such an expansion these letters write nothing, so a settings
// pattern that names itself cannot recurse.
constexpr int MaxExpansionDepth = 1;

void formatInto(QString &out, const QString &format, const DateTimeParts &p, int depth)
{
    const FormatSettings &fs = formatSettings();
    const bool twelveHours = usesTwelveHours(format);
    bool afterHour = false; // "m" right after h/hh is the minute
    const auto expand = [&](const QString &pattern) {
        if (depth < MaxExpansionDepth) formatInto(out, pattern, p, depth + 1);
    };

    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        const char16_t lower = asciiLower(c);
        if (c == u'"' || c == u'\'') {
            const qsizetype end = format.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            out += QStringView(format).mid(i + 1, stop - i - 1);
            i = end < 0 ? format.size() : end + 1;
            continue;
        }
        if (c == u'/') {
            out += fs.DateSeparator;
            ++i;
            continue;
        }
        if (c == u':') {
            out += fs.TimeSeparator;
            ++i;
            continue;
        }
        if (lower == u'a') {
            const qsizetype marker = ampmMarker(format, i);
            const bool pm = p.hour >= 12;
            if (marker == 4) {
                out += pm ? fs.TimePMString : fs.TimeAMString;
            } else if (marker == 5) {
                // written in the letter case of the pattern: "AM/PM" gives "PM", "am/pm" "pm"
                out += QStringView(format).mid(pm ? i + 3 : i, 2);
            } else if (marker == 3) {
                out += format.at(pm ? i + 2 : i);
            } else {
                out += c;
                ++i;
                continue;
            }
            i += marker;
            continue;
        }
        qsizetype n = 0;
        switch (lower) {
        case u'c':
            n = 1;
            if (depth < MaxExpansionDepth) {
                expand(fs.ShortDateFormat);
                if (p.hasTime) {
                    out += u' ';
                    expand(fs.LongTimeFormat);
                }
            }
            break;
        case u'd':
            n = runLength(format, i, c, 6);
            if (n == 1)
                appendNumber(out, p.day);
            else if (n == 2)
                appendNumber(out, p.day, 2);
            else if (n == 3)
                out += nameOf(fs.ShortDayNames, p.dayOfWeek, false, false);
            else if (n == 4)
                out += nameOf(fs.LongDayNames, p.dayOfWeek, false, true);
            else if (n == 5)
                expand(fs.ShortDateFormat);
            else
                expand(fs.LongDateFormat);
            break;
        case u'm':
            n = runLength(format, i, c, 4);
            if (afterHour && n <= 2)
                appendNumber(out, p.minute, int(n));
            else if (n == 1)
                appendNumber(out, p.month);
            else if (n == 2)
                appendNumber(out, p.month, 2);
            else if (n == 3)
                out += nameOf(fs.ShortMonthNames, p.month - 1, true, false);
            else
                out += nameOf(fs.LongMonthNames, p.month - 1, true, true);
            break;
        case u'y':
            n = runLength(format, i, c, 4);
            if (n <= 2) appendNumber(out, p.year % 100, 2);
            else appendNumber(out, p.year, 4);
            break;
        case u'h': {
            n = runLength(format, i, c, 2);
            const int hour = twelveHours ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
            appendNumber(out, hour, int(n));
            afterHour = true;
            i += n;
            continue;
        }
        case u'n':
            n = runLength(format, i, c, 2);
            appendNumber(out, p.minute, int(n));
            break;
        case u's':
            n = runLength(format, i, c, 2);
            appendNumber(out, p.second, int(n));
            break;
        case u'z':
            n = runLength(format, i, c, 3);
            appendNumber(out, p.msec, n < 3 ? 1 : 3);
            break;
        case u't':
            n = runLength(format, i, c, 2);
            expand(n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat);
            break;
        default:
            out += c;
            ++i;
            continue;
        }
        afterHour = false;
        i += n;
    }
}

} // namespace

bool TryStrToDateTime(const QString &text, double &value)
{
    const auto result = readDateTime(text);
    value = result.value_or(0.0);
    return result.has_value();
}

double StrToDateTime(const QString &text)
{
    const auto result = readDateTime(text);
    if (!result) throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return *result;
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    if (!validDate(year, month, day) || !validTime(hour, minute, second, msec))
        throw EConvertError(QStringLiteral("%1-%2-%3 %4:%5:%6.%7 is not a valid date and time "
                                           "(years 1-9999, hours 0-23, minutes and seconds "
                                           "0-59, milliseconds 0-999)")
                                .arg(year)
                                .arg(month)
                                .arg(day)
                                .arg(hour)
                                .arg(minute)
                                .arg(second)
                                .arg(msec));
    return dateTimeValue(daysFromCivil(year, month, day) - EpochDays,
                         ((qint64(hour) * 60 + minute) * 60 + second) * 1000 + msec);
}

QString FormatDateTime(const QString &format, double dateTime)
{
    const DateTimeParts parts = decode(dateTime);
    QString out;
    formatInto(out, format.isEmpty() ? QStringLiteral("c") : format, parts, 0);
    return out;
}

} // namespace vorgrd
