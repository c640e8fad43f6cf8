#pragma once
// Writing many cells into the cell store at the cost of a copy per cell, for the
// file load and the paste. Not installed; included only by src/exchange/.

#include "host/cellstore.h"

#include <QString>
#include <QStringDecoder>
#include <QStringView>

namespace vorgrd::exchange_internal {

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
