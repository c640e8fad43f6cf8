#pragma once
// Private helpers of the HTML and SYLK exports (exporthtml.cpp, exportsylk.cpp):
// writing decimals without QString::number's temporaries, and recognising a line
// break inside a cell text. Nothing public includes this header.

#include "host/strings.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <limits>

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

// Makes room in a string list for `more` lines after its current ones.
// OPTIMIZATION: an export of a million rows appends ten million lines; growing the
// list by doubling touches about twice the final storage in fresh memory, and on a
// large export the system's clearing of fresh pages was the largest single cost.
inline void reserveLines(TStrings &lines, qint64 more)
{
    if (auto *list = dynamic_cast<TStringList *>(&lines))
        list->SetCapacity(int(std::min<qint64>(list->Count() + more, std::numeric_limits<int>::max())));
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
