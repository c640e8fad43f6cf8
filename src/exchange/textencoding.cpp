// The encoding checks of delimited text and the rule for half a surrogate pair.
#include "exchange/textencoding_p.h"

#include <QStringEncoder>

#include <cstdint>
#include <cstring>

namespace vorgrd::exchange_internal {

namespace {

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the well-formed sequence starting at p (p < end, *p >= 0x80), or 0.
// The second-byte ranges follow the table of well-formed sequences in the Unicode
// standard, which rules out overlong forms, surrogates and values past U+10FFFF.
int sequenceLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char b0 = p[0];
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (end - p < length) return 0;
    if (p[1] < low || p[1] > high) return 0;
    for (int i = 2; i < length; ++i)
        if (!isContinuation(p[i])) return 0;
    return length;
}

// One UTF-16 (width 2) or UTF-32 (width 4) unit.
char32_t unitAt(const char *data, qsizetype offset, int width, bool bigEndian)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data + offset);
    char32_t value = 0;
    for (int i = 0; i < width; ++i)
        value |= char32_t(p[bigEndian ? i : width - 1 - i]) << (8 * (width - 1 - i));
    return value;
}

} // namespace

qsizetype firstInvalidUtf8(const char *data, qsizetype size)
{
    const auto *begin = reinterpret_cast<const unsigned char *>(data);
    const unsigned char *p = begin;
    const unsigned char *end = begin + size;
    while (p < end) {
        // OPTIMIZATION: delimited text is mostly ASCII; skip it eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ULL) break;
            p += 8;
        }
        if (p == end) break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = sequenceLength(p, end);
        if (length == 0) return p - begin;
        p += length;
    }
    return -1;
}

qsizetype firstInvalidUtf16(const char *data, qsizetype size, bool bigEndian)
{
    const qsizetype whole = size & ~qsizetype(1);
    for (qsizetype i = 0; i < whole; i += 2) {
        const char32_t unit = unitAt(data, i, 2, bigEndian);
        if (!QChar::isSurrogate(unit)) continue;
        if (QChar::isLowSurrogate(unit) || i + 2 >= whole ||
            !QChar::isLowSurrogate(unitAt(data, i + 2, 2, bigEndian)))
            return i;
        i += 2;
    }
    return whole < size ? whole : -1;
}

qsizetype firstInvalidUtf32(const char *data, qsizetype size, bool bigEndian)
{
    const qsizetype whole = size & ~qsizetype(3);
    for (qsizetype i = 0; i < whole; i += 4) {
        const char32_t value = unitAt(data, i, 4, bigEndian);
        if (value > 0x10FFFF || QChar::isSurrogate(value)) return i;
    }
    return whole < size ? whole : -1;
}

QByteArray toUtf8(QStringView text)
{
    // Stateless: a stateful encoder keeps a high surrogate at the end back for the
    // next call, which never comes.
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

void replaceUnpairedSurrogates(QString &text)
{
    const qsizetype n = text.size();
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (!QChar::isSurrogate(units[i])) continue;
        if (QChar::isHighSurrogate(units[i]) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) {
            ++i;
            continue;
        }
        text[i] = QChar::ReplacementCharacter;
        units = reinterpret_cast<const char16_t *>(text.constData()); // detached
    }
}

} // namespace vorgrd::exchange_internal
