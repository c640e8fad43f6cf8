// The quoting rule of the delimited-text writer (delimitedtext_p.h).
#include "exchange/delimitedtext_p.h"
#include "exchange/textencoding_p.h"

#include <utility>

namespace vorgrd::exchange_internal {

bool DelimitedWriter::needsQuotesFrom(QStringView cell, qsizetype i) const
{
    const QChar u = cell[i];
    if (u == u'"' || u == u'\r' || u == u'\n') return true;
    if (!m_delimiter.isEmpty() && cell.sliced(i).startsWith(m_delimiter)) return true;
    // Half a surrogate pair is written as U+FFFD, which the delimiter holds: compare
    // the cell as it is written.
    if (m_surrogatesMatter && u.isSurrogate()) {
        QString written = cell.toString();
        replaceUnpairedSurrogates(written);
        return written.contains(m_delimiter);
    }
    return false;
}

void ClipboardTextBuilder::startRow()
{
    if (m_anyRow) m_text += QLatin1String("\r\n");
    m_anyRow = true;
    m_cellsInRow = 0;
}

void ClipboardTextBuilder::addCell(QStringView cell)
{
    if (m_cellsInRow++ > 0) m_text += u'\t';
    m_writer.appendCell(m_text, cell);
    m_lastCellEmpty = cell.isEmpty();
}

QString ClipboardTextBuilder::text()
{
    if (m_anyRow && m_cellsInRow == 1 && m_lastCellEmpty) m_text += QLatin1String("\r\n");
    // The platform would write "?" for half a surrogate pair; files get U+FFFD.
    replaceUnpairedSurrogates(m_text);
    return std::exchange(m_text, QString());
}

} // namespace vorgrd::exchange_internal
