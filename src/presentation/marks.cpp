// Row marks: any number of independent marks per row, kept as the row's RowMarks
// entry, one character per mark position counted from 1 ("Y" set, anything else not).
// The operations neither repaint nor fire events: marks are the application's data,
// shown (if at all) by its own ondrawcell handler.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"

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
    if (Row >= d->lines.rowMarks->Count()) return false;
    return isSet(d->lines.rowMarks->Strings(Row), Position);
}

void tvorgrid::SetSelectRow(int Row, int Position, bool Value)
{
    checkRow(Row);
    checkPosition(Position);
    if (Row >= d->lines.rowMarks->Count()) return;
    QString entry = d->lines.rowMarks->Strings(Row);
    if (entry.size() < Position) entry = entry.leftJustified(Position, QLatin1Char('N'));
    entry[Position - 1] = QLatin1Char(Value ? 'Y' : 'N');
    d->lines.rowMarks->setStrings(Row, entry);
}

void tvorgrid::DeSelectAllMark(int Position)
{
    checkPosition(Position);
    for (int i = 0; i < d->lines.rowMarks->Count(); ++i) {
        QString entry = d->lines.rowMarks->Strings(i);
        if (entry.size() < Position || entry.at(Position - 1) == QLatin1Char('N')) continue;
        entry[Position - 1] = QLatin1Char('N');
        d->lines.rowMarks->setStrings(i, entry);
    }
}

void tvorgrid::DeSelectAll()
{
    for (int i = 0; i < d->lines.rowMarks->Count(); ++i)
        if (d->lines.rowMarks->Strings(i) != QLatin1String("N"))
            d->lines.rowMarks->setStrings(i, QStringLiteral("N"));
}

int tvorgrid::GetSelectRowCount(int Position) const
{
    checkPosition(Position);
    int count = 0;
    for (int i = 0; i < d->lines.rowMarks->Count(); ++i)
        if (isSet(d->lines.rowMarks->Strings(i), Position)) ++count;
    return count;
}

} // namespace vorgrd
