// Displayformat patterns as workbook formats.
//
//   numbers  numberFormatOf: sections at ";" -> readSection (prefix, placeholders,
//            point, exponent, suffix) -> the grid's stand-ins for empty sections;
//            xlsxNumberCode renders the sections as a format code
//   dates    dateFormatOf: the pattern walker of FormatDateTime, collecting parts
//            instead of text; xlsxDateCode renders them, checking that a spreadsheet
//            reads each "m" as the month or minute the grid meant
#include "exchange/workbookformats_p.h"

#include "host/datepattern_p.h"

namespace vorgrd::workbook_internal {

namespace {

// ---- number patterns ------------------------------------------------------------------

// The pattern split at ";" outside quotes.
QStringList splitSections(const QString &pattern)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

enum class Place { Prefix, Integer, Fraction, Suffix };

// Reads one section laid out as literal text, digit placeholders with at most one
// point and exponent, literal text. A placeholder after literal text that follows the
// number (the grid's "00-00") has no workbook form.
std::optional<NumberSection> readSection(QStringView s, bool blankZeros)
{
    NumberSection out;
    QString integer, fraction;
    Place place = Place::Prefix;
    bool pointSeen = false;
    const auto literal = [&](QStringView text) {
        if (place == Place::Prefix) {
            out.prefix += text;
        } else {
            place = Place::Suffix;
            out.suffix += text;
        }
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'"' || c == u'\'') {
            const qsizetype end = s.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? s.size() : end;
            literal(s.mid(i + 1, stop - i - 1));
            i = stop;
        } else if (c == u'0' || c == u'#') {
            if (place == Place::Suffix) return std::nullopt;
            if (place == Place::Prefix) place = Place::Integer;
            (place == Place::Integer ? integer : fraction) += c;
        } else if (c == u'.') {
            if (pointSeen) continue; // further points are not written
            if (place == Place::Suffix) return std::nullopt;
            pointSeen = true;
            place = Place::Fraction;
        } else if (c == u',') {
            out.grouping = true;
        } else if ((c == u'E' || c == u'e') && i + 1 < s.size() && (s.at(i + 1) == u'+' || s.at(i + 1) == u'-')
                   && place != Place::Prefix && place != Place::Suffix) {
            out.scientific = true;
            out.lowerCaseExponent = c == u'e';
            out.exponentSignAlways = s.at(i + 1) == u'+';
            i += 2;
            while (i < s.size() && s.at(i) == u'0' && out.exponentDigits < 4) {
                ++out.exponentDigits;
                ++i;
            }
            place = Place::Suffix;
            --i;
        } else {
            literal(s.mid(i, 1));
        }
    }
    out.integerDigits = int(integer.size());
    out.minIntegerDigits = integer.contains(u'0') ? int(integer.size() - integer.indexOf(u'0')) : 0;
    out.decimals = int(fraction.size());
    out.minDecimals = int(fraction.lastIndexOf(u'0') + 1);
    out.hasNumber = out.integerDigits + out.decimals > 0;
    out.blankZeros = blankZeros && out.decimals > 0;
    if (!out.hasNumber && (out.scientific || out.grouping)) return std::nullopt;
    return out;
}

// A format code's literal text: quoted, a quote itself escaped outside the quotes.
void appendQuoted(QString &code, const QString &text)
{
    QString run;
    const auto flush = [&] {
        if (run.isEmpty()) return;
        code += u'"' + run + u'"';
        run.clear();
    };
    for (const QChar c : text) {
        if (c == u'"') {
            flush();
            code += QLatin1String("\\\"");
        } else {
            run += c;
        }
    }
    flush();
}

QString integerCode(const NumberSection &s)
{
    int zeros = s.minIntegerDigits;
    int hashes = s.integerDigits - zeros;
    if (!s.grouping) return QString(hashes, u'#') + QString(zeros, u'0');
    // A comma between two placeholders groups thousands; "#" adds no digit.
    if (zeros == 0 && hashes == 0) hashes = 1;
    hashes = std::max(hashes, 4 - zeros);
    QString digits = QString(hashes, u'#') + QString(zeros, u'0');
    digits.insert(1, u',');
    return digits;
}

std::optional<QString> sectionCode(const NumberSection &s)
{
    QString code;
    appendQuoted(code, s.prefix);
    if (s.hasNumber) {
        if (s.scientific && (s.integerDigits != 1 || s.grouping)) return std::nullopt;
        code += s.scientific ? QString(s.minIntegerDigits ? u'0' : u'#') : integerCode(s);
        if (s.decimals > 0) {
            code += u'.';
            code += QString(s.minDecimals, s.blankZeros ? u'?' : u'0');
            code += QString(s.decimals - s.minDecimals, u'#');
        }
        if (s.scientific) {
            code += QChar(s.lowerCaseExponent ? u'e' : u'E');
            code += QChar(s.exponentSignAlways ? u'+' : u'-');
            code += QString(std::max(s.exponentDigits, 1), u'0');
        }
    }
    appendQuoted(code, s.suffix);
    if (code.isEmpty()) return std::nullopt;
    return code;
}

// ---- date patterns ------------------------------------------------------------------

using datepattern::asciiLower;
using datepattern::runLength;

// Collects the parts of a date pattern the way FormatDateTime walks it. `failed` is
// set for what a workbook cannot show the grid's way.
class DateWalker
{
public:
    DateWalker(const FormatSettings &settings) : m_settings(settings) {}

    std::vector<DatePart> parts;
    bool failed = false;
    // Per hour part: whether its pattern counts hours 1-12 (it holds a marker).
    std::vector<bool> twelveHours;

    void walk(QStringView format, int depth)
    {
        const bool twelve = datepattern::usesTwelveHours(format);
        bool afterHour = false;
        for (qsizetype i = 0; i < format.size() && !failed;) {
            const QChar c = format.at(i);
            if (c == u'"' || c == u'\'') {
                const qsizetype end = format.indexOf(c, i + 1);
                const qsizetype stop = end < 0 ? format.size() : end;
                text(format.mid(i + 1, stop - i - 1));
                i = end < 0 ? format.size() : end + 1;
            } else if (c == u'/' || c == u':') {
                text(QString(c == u'/' ? m_settings.DateSeparator : m_settings.TimeSeparator));
                ++i;
            } else if (asciiLower(c) == u'a' && marker(format, i)) {
                // marker() stepped over it
            } else if (const qsizetype n = letter(format, i, depth, afterHour, twelve)) {
                i += n;
            } else {
                text(format.mid(i, 1));
                ++i;
            }
        }
    }

private:
    const FormatSettings &m_settings;

    void text(QStringView t)
    {
        if (t.isEmpty()) return;
        if (!parts.empty() && parts.back().kind == DatePart::Text) parts.back().text += t;
        else parts.push_back({DatePart::Text, false, t.toString()});
    }
    void part(DatePart::Kind kind, bool longForm) { parts.push_back({kind, longForm, QString()}); }

    // am/pm markers: only those a spreadsheet writes in the same letters.
    bool marker(QStringView format, qsizetype &i)
    {
        const qsizetype length = datepattern::ampmMarker(format, i);
        const QStringView written = format.mid(i, length);
        if (length == 5) failed = written != u"AM/PM";
        else if (length == 4) failed = m_settings.TimeAMString != u"AM" || m_settings.TimePMString != u"PM";
        else if (length == 3) failed = written != u"a/p";
        else return false;
        part(DatePart::AmPm, length != 3);
        i += length;
        return true;
    }

    // A letter run; returns its length, 0 for a character that is no letter here.
    qsizetype letter(QStringView format, qsizetype i, int depth, bool &afterHour, bool twelve)
    {
        const char16_t lower = asciiLower(format.at(i));
        qsizetype n = 0;
        switch (lower) {
        case u'c': failed = true; return 1; // date, and the time only when there is one
        case u'd':
            n = runLength(format, i, lower, 6);
            if (n <= 2) part(DatePart::Day, n == 2);
            else if (n <= 4) part(DatePart::DayName, n == 4);
            else expand(n == 5 ? m_settings.ShortDateFormat : m_settings.LongDateFormat, depth);
            break;
        case u'm':
            n = runLength(format, i, lower, 4);
            if (afterHour && n <= 2) part(DatePart::Minute, n == 2);
            else if (n <= 2) part(DatePart::Month, n == 2);
            else part(DatePart::MonthName, n == 4);
            break;
        case u'y':
            n = runLength(format, i, lower, 4);
            part(DatePart::Year, n > 2);
            break;
        case u'h':
            n = runLength(format, i, lower, 2);
            part(DatePart::Hour, n == 2);
            twelveHours.push_back(twelve);
            afterHour = true;
            return n;
        case u'n':
            n = runLength(format, i, lower, 2);
            part(DatePart::Minute, n == 2);
            break;
        case u's':
            n = runLength(format, i, lower, 2);
            part(DatePart::Second, n == 2);
            break;
        case u'z':
            n = runLength(format, i, lower, 3);
            failed = n != 3; // no workbook writes milliseconds without their zeros
            part(DatePart::Millisecond, true);
            break;
        case u't':
            n = runLength(format, i, lower, 2);
            expand(n == 1 ? m_settings.ShortTimeFormat : m_settings.LongTimeFormat, depth);
            break;
        default: return 0;
        }
        afterHour = false;
        return n;
    }

    void expand(const QString &pattern, int depth)
    {
        // As in FormatDateTime: the settings' patterns are expanded once.
        if (depth < 1) walk(pattern, depth + 1);
    }
};

bool isDatePart(DatePart::Kind k)
{
    return k == DatePart::Day || k == DatePart::DayName || k == DatePart::Month || k == DatePart::MonthName
           || k == DatePart::Year;
}

// The neighbour of part i that is no literal text, in direction step (+1 or -1).
const DatePart *neighbour(const std::vector<DatePart> &parts, size_t i, int step)
{
    for (qsizetype j = qsizetype(i) + step; j >= 0 && j < qsizetype(parts.size()); j += step)
        if (parts[size_t(j)].kind != DatePart::Text) return &parts[size_t(j)];
    return nullptr;
}

// A spreadsheet reads "m" and "mm" as the minute right after an hour or right before
// a second, else as the month.
bool readsAsMinute(const std::vector<DatePart> &parts, size_t i)
{
    const DatePart *before = neighbour(parts, i, -1);
    const DatePart *after = neighbour(parts, i, +1);
    return (before && before->kind == DatePart::Hour) || (after && after->kind == DatePart::Second);
}

// Date-format text: the separators spreadsheets show as they stand stay bare, so
// that an "m" between an hour and a ":" still reads as the minute; the rest is quoted.
void appendDateText(QString &code, const QString &text)
{
    QString quoted;
    for (const QChar c : text) {
        if (QStringView(u" -:,()").contains(c)) {
            appendQuoted(code, quoted);
            quoted.clear();
            code += c;
        } else {
            quoted += c;
        }
    }
    appendQuoted(code, quoted);
}

} // namespace

std::optional<NumberFormat> numberFormatOf(const QString &displayformat)
{
    const bool blankZeros = displayformat.endsWith(u'x');
    const QString pattern = blankZeros ? displayformat.chopped(1) : displayformat;
    if (pattern.isEmpty()) return std::nullopt;
    const QStringList raw = splitSections(pattern);
    if (raw.size() > 3) return std::nullopt;
    NumberFormat format;
    for (const QString &section : raw) {
        if (section.isEmpty() && !format.sections.empty()) {
            // The grid's stand-ins: the first section, with a minus for negatives.
            NumberSection standIn = format.sections.front();
            if (format.sections.size() == 1) standIn.prefix.prepend(u'-');
            format.sections.push_back(standIn);
            continue;
        }
        const auto read = readSection(section, blankZeros);
        if (!read) return std::nullopt;
        format.sections.push_back(*read);
    }
    if (!format.sections.front().hasNumber) return std::nullopt;
    return format;
}

std::optional<QString> xlsxNumberCode(const NumberFormat &format)
{
    QStringList codes;
    for (const NumberSection &section : format.sections) {
        const auto code = sectionCode(section);
        if (!code) return std::nullopt;
        codes << *code;
    }
    return codes.join(u';');
}

std::optional<DateFormat> dateFormatOf(const QString &displayformat, const FormatSettings &settings)
{
    DateWalker walker(settings);
    walker.walk(displayformat, 0);
    if (walker.failed) return std::nullopt;
    DateFormat format;
    format.parts = std::move(walker.parts);
    bool marker = false;
    for (const DatePart &p : format.parts) {
        if (p.kind == DatePart::Text) continue;
        (isDatePart(p.kind) ? format.hasDate : format.hasTime) = true;
        marker = marker || p.kind == DatePart::AmPm;
    }
    // An expanded settings pattern counts its hours by its own markers; a workbook
    // format counts all of its hours by any marker in it.
    for (const bool twelve : walker.twelveHours)
        if (twelve != marker) return std::nullopt;
    if (!format.hasDate && !format.hasTime) return std::nullopt;
    return format;
}

DateFormat isoDateFormat(bool date, bool time)
{
    DateFormat format;
    const auto add = [&](DatePart::Kind kind, const char16_t *text = nullptr) {
        format.parts.push_back({kind, true, text ? QString::fromUtf16(text) : QString()});
    };
    if (date) {
        add(DatePart::Year);
        add(DatePart::Text, u"-");
        add(DatePart::Month);
        add(DatePart::Text, u"-");
        add(DatePart::Day);
    }
    if (date && time) add(DatePart::Text, u" ");
    if (time) {
        add(DatePart::Hour);
        add(DatePart::Text, u":");
        add(DatePart::Minute);
        add(DatePart::Text, u":");
        add(DatePart::Second);
    }
    format.hasDate = date;
    format.hasTime = time;
    return format;
}

std::optional<QString> xlsxDateCode(const DateFormat &format)
{
    QString code;
    const auto &parts = format.parts;
    for (size_t i = 0; i < parts.size(); ++i) {
        const DatePart &p = parts[i];
        const int width = p.longForm ? 2 : 1;
        switch (p.kind) {
        case DatePart::Text:
            if (p.text == u"." && i + 1 < parts.size() && parts[i + 1].kind == DatePart::Millisecond) break;
            appendDateText(code, p.text);
            break;
        case DatePart::Day: code += QString(width, u'd'); break;
        case DatePart::DayName: code += QString(p.longForm ? 4 : 3, u'd'); break;
        case DatePart::Month:
            if (readsAsMinute(parts, i)) return std::nullopt;
            code += QString(width, u'm');
            break;
        case DatePart::MonthName: code += QString(p.longForm ? 4 : 3, u'm'); break;
        case DatePart::Year: code += QString(p.longForm ? 4 : 2, u'y'); break;
        case DatePart::Hour: code += QString(width, u'h'); break;
        case DatePart::Minute:
            if (!readsAsMinute(parts, i)) return std::nullopt;
            code += QString(width, u'm');
            break;
        case DatePart::Second: code += QString(width, u's'); break;
        case DatePart::Millisecond:
            // Only as the fraction of a second: "ss.000".
            if (i < 2 || parts[i - 1].text != u"." || parts[i - 2].kind != DatePart::Second) return std::nullopt;
            code += QLatin1String(".000");
            break;
        case DatePart::AmPm: code += p.longForm ? QLatin1String("AM/PM") : QLatin1String("A/P"); break;
        }
    }
    return code;
}

} // namespace vorgrd::workbook_internal
