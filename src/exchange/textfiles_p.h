#pragma once
// Private helpers shared by the file and clipboard exchange: checking UTF-8, and
// writing many cells into the cell store at the cost of a copy per cell.
// Not installed; included only by src/exchange/textfiles*.cpp and clipboard*.cpp.

#include "host/cellstore.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
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

// Writes cell texts into a store. The texts come as UTF-16 views or as UTF-8 bytes
// (already checked); short ones are passed to the store through a reused buffer, so
// that no text is allocated only to be copied again.
class CellWriter
{
public:
    explicit CellWriter(CellStore &store) : m_store(store) {}

    void write(int col, int row, QStringView text);
    // `bytes` must be well-formed UTF-8.
    void writeUtf8(int col, int row, const char *bytes, qsizetype size);

private:
    CellStore &m_store;
    QString m_text;
    // Keeps a U+FEFF at the start of a cell: only the file's first bytes are a mark.
    QStringDecoder m_decoder{QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                         QStringConverter::Flag::ConvertInitialBom};
};

} // namespace vorgrd::exchange_internal
