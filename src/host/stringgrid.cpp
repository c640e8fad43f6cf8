#include "host/stringgrid.h"
#include "host/stringgrid_p.h"
#include "host/eventguard.h"

#include "host/exceptions.h"
#include "host/inplaceedit.h"
#include "host/updatebracket.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace vorgrd {

// ---- TStringGridStrings ------------------------------------------------------------

TStringGridStrings::TStringGridStrings(TStringGrid *grid, Kind kind, int index)
    : m_grid(grid), m_kind(kind), m_index(index)
{}

int TStringGridStrings::GetCount() const
{
    return m_kind == RowView ? m_grid->ColCount() : m_grid->RowCount();
}

QString TStringGridStrings::Get(int index) const
{
    checkIndex(index, "Get");
    return m_grid->Cells(col(index), row(index));
}

void *TStringGridStrings::GetObject(int index) const
{
    checkIndex(index, "GetObject");
    return m_grid->Objects(col(index), row(index));
}

void TStringGridStrings::Put(int index, const QString &text)
{
    checkIndex(index, "Put");
    m_grid->setCells(col(index), row(index), text);
}

void TStringGridStrings::PutObject(int index, void *object)
{
    checkIndex(index, "PutObject");
    m_grid->setObjects(col(index), row(index), object);
}

void TStringGridStrings::Insert(int index, const QString &)
{
    throw EListError(
        QStringLiteral("Cannot insert item %1 into a grid %2: a grid line has a "
                       "fixed number of cells")
            .arg(index)
            .arg(m_kind == RowView ? QStringLiteral("row") : QStringLiteral("column")));
}

void TStringGridStrings::Delete(int index)
{
    throw EListError(
        QStringLiteral("Cannot delete item %1 of a grid %2: a grid line has a "
                       "fixed number of cells")
            .arg(index)
            .arg(m_kind == RowView ? QStringLiteral("row") : QStringLiteral("column")));
}

void TStringGridStrings::Clear()
{
    if (m_kind == RowView)
        m_grid->d->store.clearRow(m_index, 0, GetCount() - 1);
    else
        m_grid->d->store.clearCol(m_index, 0, GetCount() - 1);
    // From its corner cells: the line may be the last index an int holds, where
    // index + 1 would overflow.
    const int last = GetCount() - 1;
    m_grid->reportCellsChanged(QRect(QPoint(col(0), row(0)), QPoint(col(last), row(last))));
    if (m_grid->EditorMode() && m_grid->InplaceEditor() &&
        (m_kind == RowView ? m_grid->Row() : m_grid->Col()) == m_index)
        m_grid->InplaceEditor()->UpdateContents();
    m_grid->InvalidateGrid();
}

void TStringGridStrings::Assign(const TStrings &source)
{
    if (&source == this) return;
    // Read everything first: the source may be a view crossing this one.
    const int n = source.GetCount();
    std::vector<std::pair<QString, void *>> items;
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        items.emplace_back(source.Get(i), source.GetObject(i));
    UpdateBracket bracket(*this);
    const TStringGrid::CellBatch batch(*m_grid);
    const int count = std::max(GetCount(), n);
    for (int i = 0; i < count; ++i) {
        const bool has = i < n;
        m_grid->setCells(col(i), row(i), has ? items[static_cast<size_t>(i)].first : QString());
        m_grid->setObjects(col(i), row(i), has ? items[static_cast<size_t>(i)].second : nullptr);
    }
}

// ---- TStringGrid ------------------------------------------------------------------------

TStringGrid::TStringGrid(QWidget *parent)
    : TDrawGrid(parent), d(std::make_unique<Private>(*this))
{}

TStringGrid::~TStringGrid() = default;

CellStore &TStringGrid::cellStore()
{
    return d->store;
}

const CellStore &TStringGrid::cellStore() const
{
    return d->store;
}

QString TStringGrid::Cells(int ACol, int ARow) const
{
    return d->store.text(ACol, ARow);
}

void TStringGrid::checkCellWrite(const char *operation, int col, int row) const
{
    // A row is dense up to its highest written column, so a column far beyond the cap
    // would make the row as large as the index: refuse it instead of exhausting
    // memory. Rows cost nothing per index (they are paged), so any row the store can
    // hold may be written.
    checkRange(operation, "column", col, 0, std::min(MaxColCount() - 1, CellStore::MaxWriteColumn));
    checkRange(operation, "row", row, 0, CellStore::MaxWriteRow);
}

void TStringGrid::setCells(int ACol, int ARow, const QString &text)
{
    checkCellWrite("setCells", ACol, ARow);
    withMemoryCheck("setCells", [&] { d->store.setText(ACol, ARow, text); });
    d->cellWritten(ACol, ARow);
}

void *TStringGrid::Objects(int ACol, int ARow) const
{
    return d->store.object(ACol, ARow);
}

void TStringGrid::setObjects(int ACol, int ARow, void *object)
{
    checkCellWrite("setObjects", ACol, ARow);
    withMemoryCheck("setObjects", [&] { d->store.setObject(ACol, ARow, object); });
}

void TStringGrid::Private::cellWritten(int col, int row)
{
    if (col >= q.ColCount() || row >= q.RowCount()) return;
    // Inside a batch the batch's end repaints once: finding each cell's rectangle
    // would cost more than the write itself on a fill of a million rows.
    if (cellBatchDepth == 0) q.InvalidateCell(col, row);
    if (q.EditorMode() && q.InplaceEditor() && col == q.Col() && row == q.Row())
        q.InplaceEditor()->UpdateContents();
    reportCellChanged(col, row);
}

void TStringGrid::Private::reportCellChanged(int col, int row)
{
    if (cellBatchDepth > 0)
        cellBatchArea |= QRect(col, row, 1, 1);
    else
        emit q.cellChanged(col, row);
}

void TStringGrid::reportCellsChanged(const QRect &cells)
{
    if (d->cellBatchDepth > 0) {
        d->cellBatchArea |= cells;
        return;
    }
    const QRect shown = cells & QRect(0, 0, ColCount(), RowCount());
    if (!shown.isEmpty()) emit cellsChanged(shown);
}

TStringGrid::CellBatch::CellBatch(TStringGrid &grid) : m_grid(&grid)
{
    ++grid.d->cellBatchDepth;
}

TStringGrid::CellBatch::~CellBatch()
{
    if (!m_grid || --m_grid->d->cellBatchDepth > 0) return;
    const QRect area = std::exchange(m_grid->d->cellBatchArea, QRect());
    if (area.width() == 1 && area.height() == 1)
        m_grid->InvalidateCell(area.x(), area.y());
    else if (!area.isEmpty())
        m_grid->InvalidateGrid();
    // Also on the way out of a failed operation: what it wrote before failing (or
    // put back) must reach the receivers, and nothing may escape a destructor.
    guardEvent("cellsChanged", [&] { m_grid->reportCellsChanged(area); });
}

void TStringGrid::LineChangeOpened(const TLineChange &)
{
    ++d->cellBatchDepth;
}

void TStringGrid::LineChangeClosing(const TLineChange &change)
{
    if (change.kind == TLineChange::Reset) d->cellBatchArea |= QRect(0, 0, ColCount(), RowCount());
    if (--d->cellBatchDepth > 0) return;
    const QRect area = std::exchange(d->cellBatchArea, QRect());
    if (!area.isEmpty()) InvalidateGrid();
    reportCellsChanged(area);
}

TStringGridStrings TStringGrid::Rows(int i)
{
    checkAtLeast("", "Row", i, 0);
    return TStringGridStrings(this, TStringGridStrings::RowView, i);
}

TStringGridStrings TStringGrid::Cols(int i)
{
    checkAtLeast("", "Column", i, 0);
    return TStringGridStrings(this, TStringGridStrings::ColView, i);
}

QString TStringGrid::CellText(int col, int row) const
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return QString();
    return d->store.text(col, row);
}

void TStringGrid::DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState)
{
    if (DefaultDrawing())
        Canvas().TextRect(ARect, ARect.left() + 2, ARect.top() + 2, d->store.text(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

QString TStringGrid::GetEditText(int ACol, int ARow)
{
    return d->store.text(ACol, ARow);
}

void TStringGrid::SetEditText(int ACol, int ARow, const QString &Value)
{
    d->store.setText(ACol, ARow, Value);
    InvalidateCell(ACol, ARow);
    if (ACol < ColCount() && ARow < RowCount()) d->reportCellChanged(ACol, ARow);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    d->store.moveRow(FromIndex, ToIndex);
    InvalidateGrid();
    const int top = std::min(FromIndex, ToIndex);
    reportCellsChanged(QRect(0, top, ColCount(), std::abs(ToIndex - FromIndex) + 1));
}

void TStringGrid::CheckMoveLine(bool Column, int FromIndex, int ToIndex) const
{
    const int last = Column ? CellStore::MaxWriteColumn : CellStore::MaxWriteRow;
    const char *operation = Column ? "MoveColumn" : "MoveRow";
    checkRange(operation, "FromIndex", FromIndex, 0, last);
    checkRange(operation, "ToIndex", ToIndex, 0, last);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    d->store.moveCol(FromIndex, ToIndex);
    InvalidateGrid();
    const int left = std::min(FromIndex, ToIndex);
    reportCellsChanged(QRect(left, 0, std::abs(ToIndex - FromIndex) + 1, RowCount()));
}

} // namespace vorgrd
