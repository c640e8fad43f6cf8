// Number formatting of textconvert.h: FloatToStr and FormatFloat.
//
// Both start from the shortest decimal text that reads back as the double (what
// std::to_chars gives) and round that text, halves away from zero. So 0.125 and 2.675
// round to 0.13 and 2.68 as a reader of the decimal text expects, although the nearest
// doubles lie a little below those halves.
//
// Sections:
//   decimal digits   the Decimal type, rounding on the digits
//   FloatToStr       the general format
//   FormatFloat      the pattern reader (Section) and the writer
#include "host/formatsettings.h"
#include "host/textconvert.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vorgrd {

namespace {

// ---- decimal digits ---------------------------------------------------------------

// |value| = 0.d1 d2 d3 ... x 10^point; digits holds no leading or trailing zeros and is
// empty for zero.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int point = 0;

    bool isZero() const { return digits.empty(); }
};

void stripTrailingZeros(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) d.point = 0;
}

// The shortest round-trip text of a finite double.
Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific);
    const std::string text(buffer, result.ptr);
    // d[.ddd]e±xx
    const auto e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.') d.digits += text[i];
    d.point = std::stoi(text.substr(e + 1)) + 1;
    stripTrailingZeros(d);
    return d;
}

// Keeps the first `keep` digits, rounding the rest away, halves away from zero.
void roundToDigits(Decimal &d, long long keep)
{
    if (keep >= (long long)d.digits.size()) return;
    if (keep < 0) {
        d.digits.clear();
        d.point = 0;
        return;
    }
    const bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') {
            d.digits[size_t(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[size_t(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        }
    }
    stripTrailingZeros(d);
}

void roundToDecimals(Decimal &d, int decimals)
{
    roundToDigits(d, (long long)d.point + decimals);
}

// The digit at position `k` of the text, counting 1 for the first digit after the
// point and 0, -1, ... for the units, tens, ...: '0' beyond the stored digits.
char digitAt(const Decimal &d, long long k)
{
    const long long index = (long long)d.point + k - 1;
    return index >= 0 && index < (long long)d.digits.size() ? d.digits[size_t(index)] : '0';
}

QString exponentText(int exponent, bool alwaysSign, int minDigits)
{
    QString out;
    if (exponent < 0)
        out += u'-';
    else if (alwaysSign)
        out += u'+';
    out += QStringLiteral("%1").arg(std::abs(exponent), minDigits, 10, QLatin1Char('0'));
    return out;
}

// ---- FloatToStr -------------------------------------------------------------------

constexpr int GeneralDigits = 15;

QString generalFormat(double value)
{
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    Decimal d = toDecimal(value);
    roundToDigits(d, GeneralDigits);
    if (d.isZero()) return QStringLiteral("0");
    const QChar point = formatSettings().DecimalSeparator;
    QString out;
    if (d.negative) out += u'-';
    const int exponent = d.point - 1; // of the first digit
    if (exponent >= GeneralDigits || exponent < -5) {
        out += QChar(d.digits[0]);
        if (d.digits.size() > 1) {
            out += point;
            out += QString::fromLatin1(d.digits.data() + 1, qsizetype(d.digits.size() - 1));
        }
        out += u'E';
        out += exponentText(exponent, false, 1);
        return out;
    }
    if (d.point <= 0) {
        out += u'0';
        out += point;
        out += QString(-d.point, u'0');
        out += QString::fromLatin1(d.digits.data(), qsizetype(d.digits.size()));
        return out;
    }
    for (int k = 1 - d.point; k <= 0; ++k)
        out += QChar(digitAt(d, k));
    if ((long long)d.digits.size() > d.point) {
        out += point;
        out += QString::fromLatin1(d.digits.data() + d.point, qsizetype(d.digits.size()) - d.point);
    }
    return out;
}

// ---- FormatFloat ------------------------------------------------------------------

// Numbers of this size or more are written in the general format unless the pattern
// asks for an exponent: a fixed pattern would only pad them with meaningless digits.
constexpr double FixedLimit = 1e18;
// LIMIT: exponents are written with at most this many digits asked for ("E+0000").
constexpr int MaxExponentDigits = 4;

// One section of a pattern, read once before writing.
struct Section
{
    QStringView text;
    int integerPlaces = 0;     // 0 and # before the decimal point
    int minIntegerDigits = 0;  // placeholders from the first 0 to the point
    int fractionPlaces = 0;    // 0 and # after the point
    int minFractionDigits = 0; // placeholders up to the last 0 after the point
    bool thousands = false;
    bool hasPoint = false;
    qsizetype exponentAt = -1; // index of the E/e that starts the exponent
    int exponentDigits = 0;
    bool exponentAlwaysSigned = false;

    bool hasPlaceholders() const { return integerPlaces + fractionPlaces > 0; }
};

// Skips a quoted literal starting at `i`; returns the index after it.
qsizetype skipQuoted(QStringView text, qsizetype i)
{
    const qsizetype end = text.indexOf(text[i], i + 1);
    return end < 0 ? text.size() : end + 1;
}

// Copies the quoted literal starting at `i` without its quotes; an unclosed quote runs
// to the end of the section. Returns the index after it.
qsizetype appendQuoted(QString &out, QStringView text, qsizetype i)
{
    const qsizetype end = text.indexOf(text[i], i + 1);
    const qsizetype stop = end < 0 ? text.size() : end;
    out += text.mid(i + 1, stop - i - 1);
    return end < 0 ? text.size() : end + 1;
}

bool isExponentStart(QStringView text, qsizetype i)
{
    return (text[i] == u'E' || text[i] == u'e') && i + 1 < text.size() &&
           (text[i + 1] == u'+' || text[i + 1] == u'-');
}

Section readSection(QStringView text)
{
    Section s;
    s.text = text;
    bool seenZero = false;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'"' || c == u'\'') {
            i = skipQuoted(text, i);
            continue;
        }
        if (isExponentStart(text, i)) {
            s.exponentAt = i;
            s.exponentAlwaysSigned = text[i + 1] == u'+';
            qsizetype j = i + 2;
            while (j < text.size() && text[j] == u'0') {
                ++j;
                ++s.exponentDigits;
            }
            // what follows the exponent is literal text
            break;
        }
        if (c == u'0' || c == u'#') {
            if (s.hasPoint) {
                ++s.fractionPlaces;
                if (c == u'0') s.minFractionDigits = s.fractionPlaces;
            } else {
                ++s.integerPlaces;
                if (c == u'0') seenZero = true;
                if (seenZero) ++s.minIntegerDigits;
            }
        } else if (c == u'.') {
            s.hasPoint = true;
        } else if (c == u',') {
            s.thousands = true;
        }
        ++i;
    }
    s.exponentDigits = std::min(s.exponentDigits, MaxExponentDigits);
    return s;
}

// Splits the pattern at the ";" outside quotes into at most three sections.
QList<QStringView> splitSections(const QString &format)
{
    QList<QStringView> sections;
    const QStringView all(format);
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size();) {
        if (all[i] == u'"' || all[i] == u'\'') {
            i = skipQuoted(all, i);
        } else if (all[i] == u';') {
            sections << all.mid(start, i - start);
            start = ++i;
            if (sections.size() == 2)
                break; // a third ";" and all after it belong to the zero section
        } else {
            ++i;
        }
    }
    sections << all.mid(start);
    return sections;
}

// Writes one section with the (already rounded) digits of `d`; the sign is the
// caller's.
QString writeSection(const Section &s, const Decimal &d, int exponent)
{
    const FormatSettings &fs = formatSettings();
    QString out;
    // integer digits of the number, at least the section's minimum
    const long long numberIntegerDigits = d.isZero() ? 0 : std::max(0, d.point);
    const long long integerDigits = std::max<long long>(numberIntegerDigits, s.minIntegerDigits);
    // fraction digits to write: the number's, at least the minimum, at most the places
    const long long numberFractionDigits =
        std::max<long long>(0, (long long)d.digits.size() - d.point);
    const long long fractionDigits = std::min<long long>(
        s.fractionPlaces, std::max<long long>(numberFractionDigits, s.minFractionDigits));

    long long integerPlaceholdersLeft = s.integerPlaces;
    long long fractionWritten = 0;
    bool inFraction = false;
    bool integerDone = false;
    auto writeIntegerDigit = [&](long long position) { // position: digits left of it
        out += QChar(digitAt(d, -position));
        if (s.thousands && position > 0 && position % 3 == 0) out += fs.ThousandSeparator;
    };
    // The digits that have no placeholder of their own go with the first one.
    auto writeLeadingDigits = [&]() {
        for (long long position = integerDigits - 1; position >= integerPlaceholdersLeft;
             --position)
            writeIntegerDigit(position);
    };
    // A pattern without integer placeholders (".00") still shows the integer digits,
    // where the point stands; a section without any placeholder shows no digits.
    auto finishInteger = [&]() {
        if (integerDone) return;
        integerDone = true;
        if (s.integerPlaces == 0 && s.hasPlaceholders()) writeLeadingDigits();
    };

    const qsizetype end = s.exponentAt >= 0 ? s.exponentAt : s.text.size();
    for (qsizetype i = 0; i < end;) {
        const QChar c = s.text[i];
        if (c == u'"' || c == u'\'') {
            i = appendQuoted(out, s.text, i);
            continue;
        }
        if (c == u'0' || c == u'#') {
            if (!inFraction) {
                if (integerPlaceholdersLeft == s.integerPlaces) writeLeadingDigits();
                --integerPlaceholdersLeft;
                if (integerPlaceholdersLeft < integerDigits)
                    writeIntegerDigit(integerPlaceholdersLeft);
            } else {
                ++fractionWritten;
                if (fractionWritten <= fractionDigits) out += QChar(digitAt(d, fractionWritten));
            }
        } else if (c == u'.') {
            if (!inFraction) {
                finishInteger();
                inFraction = true;
                if (fractionDigits > 0) out += fs.DecimalSeparator;
            }
        } else if (c != u',') {
            out += c;
        }
        ++i;
    }
    finishInteger();
    if (s.exponentAt >= 0) {
        out += s.text[s.exponentAt];
        out += exponentText(exponent, s.exponentAlwaysSigned, std::max(1, s.exponentDigits));
        qsizetype i = s.exponentAt + 2 + s.exponentDigits;
        while (i < s.text.size() && s.text[i] == u'0')
            ++i; // exponent digits asked for beyond the limit
        for (; i < s.text.size();) {
            const QChar c = s.text[i];
            if (c == u'"' || c == u'\'') {
                i = appendQuoted(out, s.text, i);
            } else {
                out += c;
                ++i;
            }
        }
    }
    return out;
}

} // namespace

QString FloatToStr(double value)
{
    return generalFormat(value);
}

QString FormatFloat(const QString &format, double value)
{
    if (format.isEmpty() || !std::isfinite(value)) return generalFormat(value);
    const QList<QStringView> texts = splitSections(format);
    const auto sectionFor = [&](int index) {
        return index < texts.size() && !texts[index].isEmpty() ? readSection(texts[index])
                                                               : readSection(texts[0]);
    };
    const bool negative = value < 0;
    bool ownNegativeSection = negative && texts.size() > 1 && !texts[1].isEmpty();
    Section s = sectionFor(value == 0 ? 2 : negative ? 1 : 0);

    const auto prepare = [&](const Section &section, Decimal &d, int &exponent) {
        d = toDecimal(value);
        exponent = 0;
        if (section.exponentAt >= 0) {
            if (!d.isZero()) {
                const int significant = std::max(1, section.integerPlaces + section.fractionPlaces);
                roundToDigits(d, significant);
                exponent = d.point - section.integerPlaces;
                d.point = section.integerPlaces;
            }
            return;
        }
        roundToDecimals(d, section.fractionPlaces);
    };

    if (s.exponentAt < 0 && s.hasPlaceholders() && std::fabs(value) >= FixedLimit)
        return generalFormat(value);
    Decimal d;
    int exponent = 0;
    prepare(s, d, exponent);
    if (d.isZero() && value != 0) {
        // Rounded away to nothing: written as zero, by the zero section when there is one.
        ownNegativeSection = false;
        s = sectionFor(2);
        prepare(s, d, exponent);
        d = Decimal{};
        exponent = 0;
    }
    QString out;
    if (d.negative && !d.isZero() && !ownNegativeSection && s.hasPlaceholders()) out += u'-';
    out += writeSection(s, d, exponent);
    return out;
}

} // namespace vorgrd
