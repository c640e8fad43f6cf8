#include "keyedlist/keyconvert_p.h"

#include "host/exceptions.h"
#include "host/textconvert.h"

#include <charconv>
#include <system_error>

namespace vorgrd::internal {

// OPTIMIZATION: a sort converts every key, and LeadingNumber builds strings on the
// heap (and, for a text with anything after the number, a second copy of the text).
// This reads the same grammar as ValFloat (blanks, sign, digits, "." and fraction,
// exponent only with digits) into a buffer on the stack; a number too long for it, or
// one out of the double range, is left to LeadingNumber itself. The tests compare the
// two on tables and random texts.
double leadingNumberOf(QStringView text)
{
    char buffer[128];
    qsizetype length = 0;
    bool overflow = false;
    auto put = [&](char c) {
        if (length < qsizetype(sizeof buffer))
            buffer[length++] = c;
        else
            overflow = true;
    };
    auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };

    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') put('-');
        ++i;
    }
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        put(char(text[i].unicode()));
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        qsizetype j = i + 1;
        const qsizetype fractionStart = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (digits > 0 || j > fractionStart) {
            if (digits == 0) put('0');
            put('.');
            if (j == fractionStart) put('0');
            for (qsizetype k = fractionStart; k < j; ++k)
                put(char(text[k].unicode()));
            digits += j - fractionStart;
            i = j;
        }
    }
    if (digits == 0) return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        char sign = 0;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            sign = char(text[j].unicode());
            ++j;
        }
        const qsizetype expStart = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > expStart) {
            put('e');
            if (sign) put(sign);
            for (qsizetype k = expStart; k < j; ++k)
                put(char(text[k].unicode()));
        }
    }
    double value = 0;
    if (!overflow) {
        const auto result = std::from_chars(buffer, buffer + length, value);
        if (result.ec == std::errc() && result.ptr == buffer + length) return RoundToReal48(value);
    }
    return LeadingNumber(text.toString());
}

// OPTIMIZATION: the ISO form is what date keys mostly hold. It is read here without
// copying the key; the value comes from EncodeDateTime, the same formula that
// StrToDateTime ends in. StrToDateTime tries the ISO form first and reads exactly
// this grammar the same way (the time separator ":" is accepted under every setting),
// so wherever this accepts a text, StrToDateTime gives the same value. Everything else
// (other forms, fractions of seconds, am/pm, blanks around, invalid dates) goes to
// TryStrToDateTime itself.
bool dateTimeOf(QStringView text, double &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digitsAt = [&](int minDigits, int maxDigits, int &out) {
        int count = 0;
        out = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            if (count == maxDigits) return false;
            out = out * 10 + (text[i].unicode() - u'0');
            ++count;
            ++i;
        }
        return count >= minDigits;
    };
    auto take = [&](char16_t c) {
        if (i < n && text[i] == c) {
            ++i;
            return true;
        }
        return false;
    };
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool iso = digitsAt(4, 4, year) && take(u'-') && digitsAt(1, 2, month) && take(u'-') &&
               digitsAt(1, 2, day);
    if (iso && i < n) {
        iso = (take(u' ') || take(u'T')) && digitsAt(1, 2, hour) && take(u':') &&
              digitsAt(1, 2, minute);
        if (iso && i < n) iso = take(u':') && digitsAt(1, 2, second) && i == n;
    }
    if (iso && year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 &&
        minute <= 59 && second <= 59) {
        try {
            value = EncodeDateTime(year, month, day, hour, minute, second, 0);
            return true;
        } catch (const EConvertError &) {
            // not a real date (30 February): the full reader decides
        }
    }
    return TryStrToDateTime(text.toString(), value);
}

} // namespace vorgrd::internal
