#pragma once
// The pieces of a date/time pattern (docs/formats.md) that FormatDateTime walks and the
// workbook writers translate, so that both read a pattern alike. Pattern letters are
// ASCII; other characters are never folded onto them. Not installed.

#include "host/vorgrdexport.h"

#include <QChar>
#include <QStringView>

namespace vorgrd::datepattern {

char16_t asciiLower(QChar c);
// The length of the run of `letter` (either case) starting at i, at most `limit`.
qsizetype runLength(QStringView format, qsizetype i, QChar letter, qsizetype limit);
// The am/pm marker at i, "am/pm", "ampm" or "a/p" in any letter case: its length, 0
// when there is none.
qsizetype ampmMarker(QStringView format, qsizetype i);
// Whether a pattern counts hours 1-12: it holds a marker anywhere outside quotes.
bool usesTwelveHours(QStringView format);

} // namespace vorgrd::datepattern
