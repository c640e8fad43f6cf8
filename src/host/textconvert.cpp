// Number scanning and the text helpers of textconvert.h. Number formatting lives in
// floatformat.cpp, dates and times in datetimeconvert.cpp.
#include "host/textconvert.h"

#include "host/exceptions.h"
#include "host/formatsettings.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vorgrd {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Scans the longest valid number at `from` (after blanks). Returns the index one past
// it, or `from` when there is no number at all. The digits are copied to `ascii` with
// "." as the decimal point, ready for std::from_chars.
qsizetype scanNumber(const QString &text, qsizetype from, QChar point, std::string &ascii)
{
    ascii.clear();
    qsizetype i = from;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') ascii += '-';
        ++i;
    }
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ascii += char(text[i].unicode());
        ++i;
        ++digits;
    }
    qsizetype end = digits > 0 ? i : from;
    if (i < n && text[i] == point) {
        std::string fraction;
        qsizetype j = i + 1;
        while (j < n && isDigit(text[j])) {
            fraction += char(text[j].unicode());
            ++j;
        }
        if (digits > 0 || !fraction.empty()) {
            if (digits == 0) ascii += '0';
            ascii += '.';
            ascii += fraction.empty() ? std::string("0") : fraction;
            i = j;
            digits += qsizetype(fraction.size());
            end = i;
        }
    }
    if (digits == 0) return from;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent += char(text[j].unicode());
            ++j;
        }
        const qsizetype expStart = j;
        while (j < n && isDigit(text[j])) {
            exponent += char(text[j].unicode());
            ++j;
        }
        if (j > expStart) {
            ascii += exponent;
            end = j;
        }
    }
    return end;
}

// The decimal exponent of the first non-zero digit of a scanned number (0 for 0),
// with the exponent part saturated so that no digit count can overflow it.
long long leadingExponent(const std::string &ascii)
{
    const auto e = ascii.find('e');
    const std::string mantissa = ascii.substr(0, e);
    const auto point = mantissa.find('.');
    const long long integerDigits =
        (long long)(point == std::string::npos ? mantissa.size() : point) -
        (mantissa[0] == '-' ? 1 : 0);
    long long magnitude = 0;
    long long seen = 0; // digits passed, counted from the first integer digit
    for (const char c : mantissa) {
        if (c < '0' || c > '9') continue;
        if (c != '0') {
            magnitude = integerDigits - seen - 1;
            break;
        }
        ++seen;
    }
    long long exponent = 0;
    if (e != std::string::npos) {
        const bool negative = e + 1 < ascii.size() && ascii[e + 1] == '-';
        for (size_t i = e + 1; i < ascii.size(); ++i)
            if (ascii[i] >= '0' && ascii[i] <= '9')
                exponent = std::min<long long>(exponent * 10 + (ascii[i] - '0'), 1000000000);
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent;
}

double toDouble(const std::string &ascii)
{
    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on range errors: decide it by the size of
        // the number (the exponent letter alone misleads: 1000...0e-1 is huge).
        const bool negative = !ascii.empty() && ascii[0] == '-';
        value = leadingExponent(ascii) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
        if (negative) value = -value;
    }
    return value;
}

qsizetype skipBlanks(const QString &text, qsizetype i)
{
    while (i < text.size() && text[i] == u' ')
        ++i;
    return i;
}

} // namespace

int ValFloat(const QString &text, double &value)
{
    value = 0;
    std::string ascii;
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype end = scanNumber(text, start, u'.', ascii);
    if (end == start)
        return int(std::min<qsizetype>(start, std::numeric_limits<int>::max() - 1)) + 1;
    if (end < text.size())
        return int(std::min<qsizetype>(end, std::numeric_limits<int>::max() - 1)) + 1;
    value = toDouble(ascii);
    return 0;
}

double RoundToReal48(double value)
{
    if (!std::isfinite(value) || value == 0) return std::isnan(value) ? 0.0 : value + 0.0;
    int exponent = 0;
    const double mantissa = std::frexp(value, &exponent); // |mantissa| in [0.5, 1)
    const double rounded = std::ldexp(std::nearbyint(std::ldexp(mantissa, 40)), exponent - 40);
    const double magnitude = std::fabs(rounded);
    if (magnitude >= std::ldexp(1.0, 127))
        return std::copysign(std::numeric_limits<double>::infinity(), value);
    if (magnitude < std::ldexp(1.0, -128)) return 0.0;
    return rounded;
}

double LeadingNumber(const QString &text)
{
    double value = 0;
    const int errorAt = ValFloat(text, value);
    if (errorAt > 0) ValFloat(text.left(errorAt - 1), value); // its own success is not checked
    return RoundToReal48(value);
}

bool TryStrToFloat(const QString &text, double &value)
{
    value = 0;
    std::string ascii;
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype end = scanNumber(text, start, formatSettings().DecimalSeparator, ascii);
    if (end == start || skipBlanks(text, end) != text.size()) return false;
    value = toDouble(ascii);
    return true;
}

double StrToFloat(const QString &text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

int StrToIntDef(const QString &text, int defaultValue)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && t[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == t.size()) return defaultValue;
    // Digits only from here on: no second sign, no blank, no other script's digits.
    qint64 v = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0) return defaultValue;
        v = v * base + digit;
        if (v > qint64(std::numeric_limits<int>::max()) + 1)
            return defaultValue; // stops before the accumulator could overflow
    }
    if (negative) v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return defaultValue;
    return int(v);
}

int AnsiCompareText(const QString &a, const QString &b)
{
    return textCollator().compare(a, b);
}

QString UpperCase(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - (u'a' - u'A'));
    return out;
}

} // namespace vorgrd
