#pragma once
// Private helpers of the HTML and SYLK exports (exporthtml.cpp, exportsylk.cpp):
// writing decimals without QString::number's temporaries, and recognising a line
// break inside a cell text. Nothing public includes this header.

#include "host/strings.h"

#include <QString>
#include <QStringView>

namespace vorgrd::export_internal {

// Appends the decimal form of a non-negative or negative int.
inline void appendDecimal(QString &out, int value)
{
    char16_t digits[12];
    int n = 12;
    // Work in the negative range so that INT_MIN needs no special case.
    int v = value < 0 ? value : -value;
    do {
        digits[--n] = char16_t(u'0' - v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0)
        digits[--n] = u'-';
    out.append(QStringView(digits + n, 12 - n));
}

// At text[i], the length of a line break (CR LF gives 2, a lone CR or LF 1), else 0.
// A cell's line break is written as the format's own line break whatever its form.
inline int lineBreakLength(QStringView text, qsizetype i)
{
    const QChar ch = text.at(i);
    if (ch == u'\n')
        return 1;
    if (ch == u'\r')
        return (i + 1 < text.size() && text.at(i + 1) == u'\n') ? 2 : 1;
    return 0;
}

} // namespace vorgrd::export_internal
