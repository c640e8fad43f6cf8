// The bulk cell writer of the file load and the paste.
#include "exchange/cellwriter_p.h"

#include <cstring>

namespace vorgrd::exchange_internal {

void CellWriter::write(int col, int row, QStringView text)
{
    if (text.isEmpty()) {
        m_store.setText(col, row, QString());
        return;
    }
    // The store copies a short Latin-1 text into the cell and shares any other, so the
    // buffer is either copied from or detaches on its next use; either way it is safe.
    m_text.resize(text.size());
    std::memcpy(m_text.data(), text.data(), size_t(text.size()) * sizeof(QChar));
    m_store.setText(col, row, m_text);
}

void CellWriter::writeUtf8(int col, int row, const char *bytes, qsizetype size)
{
    if (size == 0) {
        m_store.setText(col, row, QString());
        return;
    }
    // ASCII is Latin-1: such a field goes into the store as it stands.
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            m_store.setText(col, row, m_decoder.decode(QByteArrayView(bytes, size)));
            return;
        }
    }
    m_store.setTextLatin1(col, row, QLatin1StringView(bytes, size));
}

} // namespace vorgrd::exchange_internal
