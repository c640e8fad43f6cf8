// Row and column operations of tvorgrid: writing a delimited text across a row or
// down a column, appending, inserting and deleting rows and columns, and following
// the rows and columns that the user drags.
//
// Sections:
//   1. argument checks and small tools (field splitting, moving cells within rows)
//   2. ModifyRow, ModifyCol, AddRow, AddCol
//   3. rows: InsertRows, DeleteRows, RowMoved
//   4. columns: the rebuild of the descriptions, InsertCols, DeleteCols, ColumnMoved
//
// Call flow of a structural change:
//   check every argument (nothing changed yet)
//   -> commit an open editor's text into its cell
//   -> build what can fail on its own (copies of the column descriptions)
//   -> change cells, marks, descriptions and counts inside one GridEdit, each step
//      registering its undo with it, so that an exception part-way puts the grid back
//   -> refresh once
//
// Cells move through the cell store's exchange and permutation operations: a row
// moves as one pointer, a column as one 16-byte cell per row, never as text copies.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"

#include "host/exceptions.h"
#include "host/inplaceedit.h"
#include "host/updatebracket.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

namespace vorgrd {

namespace {

constexpr int MaxIndex = std::numeric_limits<int>::max();

// ---- 1. argument checks and small tools -----------------------------------------------

// Position in 0..count, and room for Count more lines below the limit.
void checkInsertion(const char *operation, const char *countName, const char *lineName,
                    int position, int count, int oldCount, int limit)
{
    checkRange(operation, "Position", position, 0, oldCount);
    if (oldCount >= limit)
        throw ERangeError(
            QStringLiteral("%1: %2 %3 is at the limit (valid: up to %4), no %5 can be "
                           "inserted")
                .arg(QLatin1String(operation), QLatin1String(countName))
                .arg(oldCount)
                .arg(limit)
                .arg(QLatin1String(lineName)));
    checkRange(operation, "Count", count, 1, limit - oldCount);
}

// The fields of a delimited text. Splitting completes before any cell is written, so
// a text with more fields than a column index can count fails with nothing changed.
std::vector<QStringView> splitFields(const char *operation, QStringView text, QStringView delimiter)
{
    std::vector<QStringView> fields;
    if (delimiter.isEmpty()) {
        fields.push_back(text);
        return fields;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype found = text.indexOf(delimiter, start, Qt::CaseSensitive);
        if (found < 0) break;
        // LIMIT: field i goes to line index i, an int.
        if (fields.size() == static_cast<size_t>(MaxIndex))
            throw ERangeError(QStringLiteral("%1: the text has more than %2 fields")
                                  .arg(QLatin1String(operation))
                                  .arg(MaxIndex));
        fields.push_back(text.mid(start, found - start));
        start = found + delimiter.size();
    }
    fields.push_back(text.mid(start));
    return fields;
}

// Applies `order` (for target column first + i, its source column) to the cells of
// rows 0 .. rows-1; rows beyond are outside the grid and stay as they are. The rows
// done are put back if a later row fails.
void permuteRowsInView(CellStore &store, int rows, int first, const std::vector<int> &order)
{
    std::vector<int> inverse(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        inverse[static_cast<size_t>(order[i] - first)] = first + static_cast<int>(i);
    rows = std::min(rows, store.rowExtent());
    int done = rows; // rows rows-1 .. done are permuted
    try {
        for (int row = rows - 1; row >= 0; --row) {
            if (store.colExtent(row) > first) store.permuteRowCells(row, first, order);
            done = row;
        }
    } catch (...) {
        for (int row = rows - 1; row >= done; --row) {
            try {
                if (store.colExtent(row) > first) store.permuteRowCells(row, first, inverse);
            } catch (...) {
            }
        }
        throw;
    }
}

// Appends a copy of `source` to `into`, or a fresh description when there is none
// (named "column " + its 1-based position by Add).
void appendDescription(TvorgridColumns &into, const tmcolumn *source)
{
    tmcolumn *item = into.Add();
    if (source) item->Assign(source);
}

} // namespace

// ---- helpers shared by the operations --------------------------------------------------

void tvorgrid::Private::checkLinesInStep(const char *operation) const
{
    if (lines.rowMarks->Count() != q.RowCount())
        throw EListError(QStringLiteral("%1: RowMarks holds %2 entries for %3 rows")
                             .arg(QLatin1String(operation))
                             .arg(lines.rowMarks->Count())
                             .arg(q.RowCount()));
    if (lines.columns->Count() != q.ColCount())
        throw EListError(QStringLiteral("%1: columns holds %2 descriptions for %3 columns")
                             .arg(QLatin1String(operation))
                             .arg(lines.columns->Count())
                             .arg(q.ColCount()));
}

void tvorgrid::Private::commitEditorBeforeLinesMove()
{
    if (q.EditorMode()) q.UpdateText();
}

void tvorgrid::Private::syncEditorWithCell()
{
    if (q.EditorMode() && q.InplaceEditor()) q.InplaceEditor()->UpdateContents();
}

void tvorgrid::Private::refreshAfterLinesMoved()
{
    syncEditorWithCell();
    q.Refresh();
}

// ---- 2. ModifyRow, ModifyCol, AddRow, AddCol --------------------------------------------

int tvorgrid::ModifyRow(int Row, const QString &Text, const QString &Delimiter)
{
    checkRange("ModifyRow", "Row", Row, 0, RowCount() - 1);
    const std::vector<QStringView> fields = splitFields("ModifyRow", Text, Delimiter);
    checkCellWrite("ModifyRow", static_cast<int>(fields.size()) - 1, Row); // the last field's cell
    const GridEdit edit(*this);
    for (size_t i = 0; i < fields.size(); ++i)
        setCells(static_cast<int>(i), Row, fields[i].toString());
    return static_cast<int>(fields.size());
}

int tvorgrid::ModifyCol(int Col, const QString &Text, const QString &Delimiter)
{
    checkRange("ModifyCol", "Col", Col, 0, ColCount() - 1);
    const std::vector<QStringView> fields = splitFields("ModifyCol", Text, Delimiter);
    checkCellWrite("ModifyCol", Col, static_cast<int>(fields.size()) - 1); // the last field's cell
    const GridEdit edit(*this);
    for (size_t i = 0; i < fields.size(); ++i)
        setCells(Col, static_cast<int>(i), fields[i].toString());
    return static_cast<int>(fields.size());
}

void tvorgrid::AddRow(const QString &Text, QChar Delimiter)
{
    d->checkLinesInStep("AddRow");
    const int oldCount = RowCount();
    if (oldCount >= MaxInsertRowCount)
        throw ERangeError(QStringLiteral("AddRow: RowCount %1 is at the limit (valid: up to %2)")
                              .arg(oldCount)
                              .arg(MaxInsertRowCount));
    GridEdit edit(*this);
    edit.onFailure([this, oldCount] {
        while (d->lines.rowMarks->Count() > oldCount)
            d->lines.rowMarks->Delete(d->lines.rowMarks->Count() - 1);
        d->lines.rowMarksCount = oldCount;
        setRowCount(oldCount);
    });
    setRowCount(oldCount + 1);
    ModifyRow(RowCount() - 1, Text, QString(Delimiter));
    edit.commit();
}

void tvorgrid::AddCol(const QString &Text, QChar Delimiter)
{
    d->checkLinesInStep("AddCol");
    const int oldCount = ColCount();
    if (oldCount >= MaxInsertColCount)
        throw ERangeError(QStringLiteral("AddCol: ColCount %1 is at the limit (valid: up to %2)")
                              .arg(oldCount)
                              .arg(MaxInsertColCount));
    GridEdit edit(*this);
    edit.onFailure([this, oldCount] { setColCount(oldCount); });
    setColCount(oldCount + 1);
    ModifyCol(ColCount() - 1, Text, QString(Delimiter));
    edit.commit();
}

// ---- 3. rows ------------------------------------------------------------------------------

void tvorgrid::InsertRows(int Position, int Count)
{
    d->checkLinesInStep("InsertRows");
    const int oldCount = RowCount();
    checkInsertion("InsertRows", "RowCount", "row", Position, Count, oldCount, MaxInsertRowCount);

    d->commitEditorBeforeLinesMove();
    // Progress of the exchanges, read by the undo steps (so declared before the edit).
    int exchanged = oldCount; // rows oldCount-1 .. exchanged are done
    GridEdit edit(*this, TLineChange::lines(TLineChange::Insert, Qt::Vertical, Position, Position + Count - 1));
    CellStore &store = edit.store();
    // Rows the store keeps beyond the count that the new rows bring into view.
    const bool hiddenRowsInView = store.rowExtent() > oldCount;

    // The count first: SizeChanged appends Count "N" marks at the end.
    edit.onFailure([this, oldCount] {
        while (d->lines.rowMarks->Count() > oldCount)
            d->lines.rowMarks->Delete(d->lines.rowMarks->Count() - 1);
        d->lines.rowMarksCount = oldCount;
        setRowCount(oldCount);
    });
    setRowCount(oldCount + Count);

    // Cells: walking up from the last row, each row trades places with the row Count
    // below it, so the rows end Count further on and the rows that came into view
    // fill the gap. Exchanges undo themselves, which makes the undo exact.
    edit.onFailure([&store, &exchanged, oldCount, Count] {
        for (int row = exchanged; row < oldCount; ++row)
            store.exchangeRows(row, row + Count);
    });
    for (int row = oldCount - 1; row >= Position; --row) {
        store.exchangeRows(row, row + Count);
        exchanged = row;
    }

    // Marks: the same walk brings the appended "N" entries to Position.
    for (int i = oldCount - 1; i >= Position; --i)
        d->lines.rowMarks->Exchange(i, i + Count);

    edit.commit();
    // The new rows are empty, also where the store kept cells beyond the old count.
    if (hiddenRowsInView) {
        const int end = std::min(qint64(store.rowExtent()), qint64(Position) + Count);
        for (int row = Position; row < end; ++row)
            store.clearRow(row, 0, MaxIndex);
    }
    d->refreshAfterLinesMoved();
    edit.cellsWritten(QRect(0, Position, ColCount(), RowCount() - Position));
}

void tvorgrid::DeleteRows(int Position, int Count)
{
    d->checkLinesInStep("DeleteRows");
    const int oldCount = RowCount();
    checkRange("DeleteRows", "Position", Position, 0, oldCount - 1);
    checkRange("DeleteRows", "Count", Count, 1, MaxIndex);
    Count = std::min(Count, oldCount - Position);

    d->commitEditorBeforeLinesMove();
    // Progress of the exchanges, read by the undo steps (so declared before the edit).
    int exchanged = Position + Count;      // rows Position+Count .. exchanged-1 are done
    int marksExchanged = Position + Count; // the same for the marks
    GridEdit edit(*this, TLineChange::lines(TLineChange::Remove, Qt::Vertical, Position, Position + Count - 1));
    CellStore &store = edit.store();

    // Cells: walking down from Position + Count, each row trades places with the row
    // Count above it; the deleted rows ripple to the last Count rows, which are
    // emptied at the end (the one step that cannot be undone), so no stale copy
    // shows when the count grows again.
    edit.onFailure([&store, &exchanged, Position, Count] {
        for (int row = exchanged - 1; row >= Position + Count; --row)
            store.exchangeRows(row, row - Count);
    });
    for (int row = Position + Count; row < oldCount; ++row) {
        store.exchangeRows(row, row - Count);
        exchanged = row + 1;
    }

    // Marks: the same walk, then the deleted marks are dropped from the end.
    edit.onFailure([this, &marksExchanged, Position, Count] {
        for (int i = marksExchanged - 1; i >= Position + Count; --i)
            d->lines.rowMarks->Exchange(i, i - Count);
    });
    for (int i = Position + Count; i < oldCount; ++i) {
        d->lines.rowMarks->Exchange(i, i - Count);
        marksExchanged = i + 1;
    }
    // Lowering the count forgets the heights of the last rows: kept for the undo.
    QStringList droppedMarks;
    std::vector<int> droppedHeights;
    for (int i = oldCount - Count; i < oldCount; ++i) {
        droppedMarks.append(d->lines.rowMarks->Strings(i));
        droppedHeights.push_back(RowHeights(i));
    }
    edit.onFailure([this, droppedMarks, droppedHeights, oldCount] {
        const int first = oldCount - int(droppedMarks.size());
        while (d->lines.rowMarks->Count() > first)
            d->lines.rowMarks->Delete(d->lines.rowMarks->Count() - 1);
        for (const QString &mark : droppedMarks)
            d->lines.rowMarks->Add(mark);
        d->lines.rowMarksCount = oldCount;
        setRowCount(oldCount);
        for (size_t i = 0; i < droppedHeights.size(); ++i)
            setRowHeights(first + int(i), droppedHeights[i]);
    });
    for (int i = 0; i < Count; ++i)
        d->lines.rowMarks->Delete(d->lines.rowMarks->Count() - 1);

    d->syncEditorWithCell();
    // RowMarksCount first, so that SizeChanged keeps the marks just moved. The base
    // keeps one row beyond the fixed rows; fitRowMarks gives such a row an "N".
    d->lines.rowMarksCount = oldCount - Count;
    setRowCount(oldCount - Count);
    d->fitRowMarks();

    edit.commit();
    const int end = std::min(store.rowExtent(), oldCount);
    for (int row = oldCount - Count; row < end; ++row)
        store.clearRow(row, 0, MaxIndex);
    d->refreshAfterLinesMoved();
    edit.cellsWritten(QRect(0, Position, ColCount(), RowCount() - Position));
}

void tvorgrid::CheckMoveLine(bool Column, int FromIndex, int ToIndex) const
{
    TStringGrid::CheckMoveLine(Column, FromIndex, ToIndex);
    d->checkLinesInStep(Column ? "MoveColumn" : "MoveRow");
}

void tvorgrid::RowMoved(int FromIndex, int ToIndex)
{
    checkRange("RowMoved", "FromIndex", FromIndex, 0, RowCount() - 1);
    checkRange("RowMoved", "ToIndex", ToIndex, 0, RowCount() - 1);
    d->checkLinesInStep("RowMoved");
    // Step by step exchanges: no allocation, so the marks cannot fail half-moved.
    const int step = FromIndex < ToIndex ? 1 : -1;
    for (int i = FromIndex; i != ToIndex; i += step)
        d->lines.rowMarks->Exchange(i, i + step);
    try {
        TStringGrid::RowMoved(FromIndex, ToIndex);
    } catch (...) {
        for (int i = ToIndex; i != FromIndex; i -= step)
            d->lines.rowMarks->Exchange(i, i - step);
        throw;
    }
}

// ---- 4. columns -----------------------------------------------------------------------------

void tvorgrid::Private::rebuildColumns(const TvorgridColumns &wanted)
{
    TvorgridColumns previous(&q);
    for (int i = 0; i < lines.columns->Count(); ++i)
        appendDescription(previous, lines.columns->GeTmColumn(i));
    UpdateBracket bracket(*lines.columns);
    try {
        lines.columns->Clear();
        for (int i = 0; i < wanted.Count(); ++i)
            appendDescription(*lines.columns, wanted.GeTmColumn(i));
    } catch (...) {
        lines.columns->Clear();
        for (int i = 0; i < previous.Count(); ++i)
            appendDescription(*lines.columns, previous.GeTmColumn(i));
        throw;
    }
}

namespace {

// After the descriptions moved while the base's widths stayed by position: a column
// whose new description is hidden gets width 0, and one that only had width 0
// because a hidden description stood there gets its description's width back.
// Without this an insertion before a hidden column would show it and hide its
// neighbour.
void fitHiddenWidths(tvorgrid &grid, const std::vector<bool> &wasHidden)
{
    for (int i = 0; i < grid.ColCount(); ++i) {
        const tmcolumn *column = grid.columns()->GeTmColumn(i);
        const bool hidden = column->GetHide();
        const bool hiddenBefore = i < static_cast<int>(wasHidden.size()) && wasHidden[size_t(i)];
        if (hidden)
            grid.setColWidths(i, 0);
        else if (hiddenBefore)
            grid.setColWidths(i, column->GetWidth());
    }
}

// The columns as they were before an operation: every description and width, for
// putting them back after a failure (lowering the count forgets the last widths, so
// they are kept too), and which were hidden, for fitHiddenWidths.
struct KeptColumns
{
    explicit KeptColumns(tvorgrid &grid) : descriptions(&grid)
    {
        for (int i = 0; i < grid.ColCount(); ++i) {
            const tmcolumn *column = grid.columns()->GeTmColumn(i);
            appendDescription(descriptions, column);
            widths.push_back(grid.ColWidths(i));
            hidden.push_back(column->GetHide());
        }
    }
    TvorgridColumns descriptions;
    std::vector<int> widths;
    std::vector<bool> hidden;
};

} // namespace

void tvorgrid::Private::restoreColumns(const TvorgridColumns &descriptions,
                                       const std::vector<int> &widths)
{
    rebuildColumns(descriptions);
    q.setColCount(static_cast<int>(widths.size()));
    fitColumns();
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        q.setColWidths(i, widths[size_t(i)]);
}

void tvorgrid::InsertCols(int Position, int Count)
{
    d->checkLinesInStep("InsertCols");
    const int oldCount = ColCount();
    checkInsertion("InsertCols", "ColCount", "column", Position, Count, oldCount,
                   MaxInsertColCount);

    // The wanted descriptions: copies before Position, Count fresh ones, the rest.
    TvorgridColumns wanted(this);
    for (int i = 0; i < Position; ++i)
        appendDescription(wanted, d->lines.columns->GeTmColumn(i));
    for (int i = 0; i < Count; ++i)
        appendDescription(wanted, nullptr);
    for (int i = Position; i < oldCount; ++i)
        appendDescription(wanted, d->lines.columns->GeTmColumn(i));
    const KeptColumns before(*this); // for the undo steps: declared before the edit, so it outlives it

    d->commitEditorBeforeLinesMove();
    GridEdit edit(*this, TLineChange::lines(TLineChange::Insert, Qt::Horizontal, Position, Position + Count - 1));
    CellStore &store = edit.store();
    const int rows = std::min(RowCount(), store.rowExtent());
    // Rows holding cells beyond the old count that the new columns bring into view.
    std::vector<int> hiddenCellsInView;
    for (int row = 0; row < rows; ++row)
        if (store.colExtent(row) > oldCount) hiddenCellsInView.push_back(row);

    // Cells: in every row, the cells from Position on move Count places right and
    // the cells that came into view fill the gap.
    if (Position < oldCount) {
        const int span = oldCount + Count - Position;
        std::vector<int> order(static_cast<size_t>(span));
        for (int i = 0; i < span; ++i)
            order[size_t(i)] = i < Count ? oldCount + i : Position + i - Count;
        permuteRowsInView(store, rows, Position, order);
        edit.onFailure([&store, rows, Position, span, Count] {
            std::vector<int> back(static_cast<size_t>(span));
            for (int i = 0; i < span; ++i)
                back[size_t(i)] =
                    i < span - Count ? Position + Count + i : Position + i - (span - Count);
            permuteRowsInView(store, rows, Position, back);
        });
    }

    edit.onFailure([this, &before] { d->restoreColumns(before.descriptions, before.widths); });
    d->rebuildColumns(wanted);
    // SizeChanged finds the collection at the new size already.
    setColCount(oldCount + Count);
    fitHiddenWidths(*this, before.hidden);

    edit.commit();
    // The new columns are empty, also where the store kept cells beyond the old count.
    for (int row : hiddenCellsInView)
        store.clearRow(row, Position, Position + Count - 1);
    // The fresh columns' title cells are empty: write the captions again.
    if (d->lines.showtitles) setshowtitles(true);
    d->refreshAfterLinesMoved();
    edit.cellsWritten(QRect(Position, 0, ColCount() - Position, RowCount()));
}

void tvorgrid::DeleteCols(int Position, int Count)
{
    d->checkLinesInStep("DeleteCols");
    const int oldCount = ColCount();
    checkRange("DeleteCols", "Position", Position, 0, oldCount - 1);
    checkRange("DeleteCols", "Count", Count, 1, MaxIndex);
    Count = std::min(Count, oldCount - Position);

    TvorgridColumns wanted(this);
    for (int i = 0; i < oldCount; ++i)
        if (i < Position || i >= Position + Count)
            appendDescription(wanted, d->lines.columns->GeTmColumn(i));
    const KeptColumns before(*this); // for the undo steps: declared before the edit, so it outlives it

    d->commitEditorBeforeLinesMove();
    GridEdit edit(*this, TLineChange::lines(TLineChange::Remove, Qt::Horizontal, Position, Position + Count - 1));
    CellStore &store = edit.store();
    const int rows = std::min(RowCount(), store.rowExtent());

    // Cells: in every row, the cells after the deleted ones move Count places left;
    // the deleted cells go to the last Count columns and are emptied at the end, so
    // no stale copy shows when the count grows again.
    const int span = oldCount - Position;
    if (span > Count) {
        std::vector<int> order(static_cast<size_t>(span));
        for (int i = 0; i < span; ++i)
            order[size_t(i)] =
                i < span - Count ? Position + Count + i : Position + i - (span - Count);
        permuteRowsInView(store, rows, Position, order);
        edit.onFailure([&store, rows, Position, span, Count] {
            std::vector<int> back(static_cast<size_t>(span));
            for (int i = 0; i < span; ++i)
                back[size_t(i)] = i < Count ? Position + (span - Count) + i : Position + i - Count;
            permuteRowsInView(store, rows, Position, back);
        });
    }

    edit.onFailure([this, &before] { d->restoreColumns(before.descriptions, before.widths); });
    d->rebuildColumns(wanted);
    d->syncEditorWithCell();
    setColCount(oldCount - Count);
    // The base keeps one column beyond the fixed ones: it gets a default description.
    d->fitColumns();
    fitHiddenWidths(*this, before.hidden);

    edit.commit();
    for (int row = rows - 1; row >= 0; --row)
        store.clearRow(row, oldCount - Count, oldCount - 1);
    // A column the base kept beyond the fixed ones has an empty title cell.
    if (d->lines.showtitles) setshowtitles(true);
    d->refreshAfterLinesMoved();
    edit.cellsWritten(QRect(Position, 0, ColCount() - Position, RowCount()));
}

void tvorgrid::ColumnMoved(int FromIndex, int ToIndex)
{
    checkRange("ColumnMoved", "FromIndex", FromIndex, 0, ColCount() - 1);
    checkRange("ColumnMoved", "ToIndex", ToIndex, 0, ColCount() - 1);
    d->checkLinesInStep("ColumnMoved");
    if (FromIndex != ToIndex) {
        TvorgridColumns kept(this);
        appendDescription(kept, d->lines.columns->GeTmColumn(FromIndex));
        TvorgridColumns wanted(this);
        for (int i = 0; i < d->lines.columns->Count(); ++i) {
            if (i == FromIndex) continue;
            if (i == ToIndex && FromIndex > ToIndex) appendDescription(wanted, kept.GeTmColumn(0));
            appendDescription(wanted, d->lines.columns->GeTmColumn(i));
            if (i == ToIndex && FromIndex < ToIndex) appendDescription(wanted, kept.GeTmColumn(0));
        }
        d->rebuildColumns(wanted);
    }
    TStringGrid::ColumnMoved(FromIndex, ToIndex);
}

} // namespace vorgrd
