#pragma once
// The encodings of delimited text: checking UTF-8, UTF-16 and UTF-32 for what is no
// character, and the one rule for half a surrogate pair on the way out.
// Not installed; included only by src/exchange/.

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace vorgrd::exchange_internal {

// Half a surrogate pair has no UTF-8 form: every text the exchange hands to another
// program (files, the clipboard) carries U+FFFD in its place.
// The text as UTF-8, half a surrogate pair as U+FFFD.
QByteArray toUtf8(QStringView text);
// Replaces every half of a surrogate pair in `text` by U+FFFD.
void replaceUnpairedSurrogates(QString &text);

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence
// (an overlong form, a surrogate, a code point past U+10FFFF, a stray continuation
// byte or a sequence cut short by the end), or -1 when all of `data` is UTF-8.
qsizetype firstInvalidUtf8(const char *data, qsizetype size);

// The same for UTF-16 and UTF-32 units in the given byte order: the offset of the
// first unit that is no character (half a surrogate pair, a value past U+10FFFF or a
// surrogate value in UTF-32) or that the end cuts short, or -1.
qsizetype firstInvalidUtf16(const char *data, qsizetype size, bool bigEndian);
qsizetype firstInvalidUtf32(const char *data, qsizetype size, bool bigEndian);

} // namespace vorgrd::exchange_internal
