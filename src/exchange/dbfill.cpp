// Fillgrid and FillrowfromDB: the grid asks the application for rows, and copies a
// data set's current record into one row by matching column names to field names.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/dataset.h"
#include "host/exceptions.h"

#include <QPointer>

namespace vorgrd {

void tvorgrid::Fillgrid()
{
    if (!OnFillNextRecord)
        return;
    // A copy, so that a handler that assigns OnFillNextRecord does not destroy the
    // function it is running in; the new handler serves the next Fillgrid.
    const auto handler = OnFillNextRecord;
    const QPointer<tvorgrid> self(this);
    const GridEdit edit(*this); // one report for the rows the handler filled
    bool next = false;
    int row = d->lines.showtitles ? 1 : 0;
    handler(row, next);
    while (self && OnFillNextRecord && next && ++row < RowCount())
        handler(row, next);
}

void tvorgrid::FillrowfromDB(TDataSet &DataSet, int Row)
{
    if (Row < 0 || Row >= RowCount())
        throw ERangeError(QStringLiteral("FillrowfromDB: row %1 is out of range (valid: 0..%2)")
                              .arg(Row)
                              .arg(RowCount() - 1));
    // The buffers are taken for this call: a field's text access may fill another row
    // (from the same data set, even), which must not empty this one's texts.
    DbFillState::Buffers buffers = d->dbfill.take();
    const int count = d->lines.columns->Count();
    buffers.names.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        buffers.names[size_t(i)] = d->lines.columns->GeTmColumn(i)->columnName();
    // Matched once per fill: the data set remembers the answer for these names.
    const std::vector<TField *> fields = DataSet.ColumnFields(buffers.names);
    std::vector<QString> &texts = buffers.texts;
    texts.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        TField *field = fields[size_t(i)];
        texts[size_t(i)] = field ? field->AsString() : QString();
    }
    // OPTIMIZATION: the row goes into the store and is reported once; setCells per cell
    // spent more on its checks and notices than on the write, on a fill of a million
    // rows. The last column first: the row's cells are then allocated once.
    GridEdit edit(*this);
    edit.cellsWritten(QRect(0, Row, count, 1)); // reported at the edit's close, also on failure
    CellStore &store = edit.store();
    for (int i = count; i-- > 0;)
        withMemoryCheck("FillrowfromDB",
                        [&] { store.setText(i, Row, std::exchange(texts[size_t(i)], QString())); });
    d->dbfill.giveBack(std::move(buffers));
    if (Row == this->Row()) d->syncEditorWithCell();
}

} // namespace vorgrd
