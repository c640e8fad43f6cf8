// Row marks: any number of independent marks per row, kept as the row's RowMarks
// entry, one character per mark position counted from 1 ("Y" set, anything else not).
// The operations neither repaint nor fire events: marks are the application's data,
// shown (if at all) by its own ondrawcell handler.
#include "grid/vorGrid.h"

#include "host/exceptions.h"

namespace vorgrd {

namespace {

void checkPosition(int position)
{
    checkAtLeast("", "Mark position", position, 1);
}

void checkRow(int row)
{
    checkAtLeast("", "Row", row, 0);
}

bool isSet(const QString &entry, int position)
{
    return position <= entry.size() && entry.at(position - 1) == QLatin1Char('Y');
}

} // namespace

bool tvorgrid::GetSelectRow(int Row, int Position) const
{
    checkRow(Row);
    checkPosition(Position);
    if (Row >= m_RowMarks->Count()) return false;
    return isSet(m_RowMarks->Strings(Row), Position);
}

void tvorgrid::SetSelectRow(int Row, int Position, bool Value)
{
    checkRow(Row);
    checkPosition(Position);
    if (Row >= m_RowMarks->Count()) return;
    QString entry = m_RowMarks->Strings(Row);
    if (entry.size() < Position) entry = entry.leftJustified(Position, QLatin1Char('N'));
    entry[Position - 1] = QLatin1Char(Value ? 'Y' : 'N');
    m_RowMarks->setStrings(Row, entry);
}

void tvorgrid::DeSelectAllMark(int Position)
{
    checkPosition(Position);
    for (int i = 0; i < m_RowMarks->Count(); ++i) {
        QString entry = m_RowMarks->Strings(i);
        if (entry.size() < Position || entry.at(Position - 1) == QLatin1Char('N')) continue;
        entry[Position - 1] = QLatin1Char('N');
        m_RowMarks->setStrings(i, entry);
    }
}

void tvorgrid::DeSelectAll()
{
    for (int i = 0; i < m_RowMarks->Count(); ++i)
        if (m_RowMarks->Strings(i) != QLatin1String("N"))
            m_RowMarks->setStrings(i, QStringLiteral("N"));
}

int tvorgrid::GetSelectRowCount(int Position) const
{
    checkPosition(Position);
    int count = 0;
    for (int i = 0; i < m_RowMarks->Count(); ++i)
        if (isSet(m_RowMarks->Strings(i), Position)) ++count;
    return count;
}

} // namespace vorgrd
