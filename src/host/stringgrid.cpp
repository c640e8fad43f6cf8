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
    GridEdit edit(*m_grid);
    if (m_kind == RowView)
        edit.store().clearRow(m_index, 0, GetCount() - 1);
    else
        edit.store().clearCol(m_index, 0, GetCount() - 1);
    // From its corner cells: the line may be the last index an int holds, where
    // index + 1 would overflow.
    const int last = GetCount() - 1;
    edit.cellsWritten(QRect(QPoint(col(0), row(0)), QPoint(col(last), row(last))));
    if (m_grid->EditorMode() && m_grid->InplaceEditor() &&
        (m_kind == RowView ? m_grid->Row() : m_grid->Col()) == m_index)
        m_grid->InplaceEditor()->UpdateContents();
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
    const GridEdit edit(*m_grid);
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
    noteContentChanged();
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
    noteContentChanged();
}

void TStringGrid::Private::cellWritten(int col, int row)
{
    if (col >= q.ColCount() || row >= q.RowCount()) return;
    // Inside an edit the edit's close repaints once: finding each cell's rectangle
    // would cost more than the write itself on a fill of a million rows.
    if (editDepth == 0) q.InvalidateCell(col, row);
    if (q.EditorMode() && q.InplaceEditor() && col == q.Col() && row == q.Row())
        q.InplaceEditor()->UpdateContents();
    reportCellChanged(col, row);
}

void TStringGrid::Private::reportCellChanged(int col, int row)
{
    if (editDepth > 0)
        editArea |= QRect(col, row, 1, 1);
    else
        emit q.cellChanged(col, row);
}

void TStringGrid::Private::reportCellsChanged(const QRect &cells)
{
    if (editDepth > 0) {
        editArea |= cells;
        return;
    }
    const QRect shown = cells & QRect(0, 0, q.ColCount(), q.RowCount());
    if (!shown.isEmpty()) emit q.cellsChanged(shown);
}

void TStringGrid::EditOpened()
{
    ++d->editDepth;
}

void TStringGrid::EditClosing(const TLineChange *reported)
{
    if (reported && reported->kind == TLineChange::Reset) d->editArea |= QRect(0, 0, ColCount(), RowCount());
    if (--d->editDepth > 0) return;
    const QRect area = std::exchange(d->editArea, QRect());
    if (area.width() == 1 && area.height() == 1)
        InvalidateCell(area.x(), area.y());
    else if (!area.isEmpty())
        InvalidateGrid();
    d->reportCellsChanged(area);
}

CellStore *TStringGrid::EditableCells()
{
    return &d->store;
}

void TStringGrid::CellsWritten(const QRect &cells)
{
    d->reportCellsChanged(cells);
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
    noteContentChanged();
    InvalidateCell(ACol, ARow);
    if (ACol < ColCount() && ARow < RowCount()) d->reportCellChanged(ACol, ARow);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    d->store.moveRow(FromIndex, ToIndex);
    InvalidateGrid();
    const int top = std::min(FromIndex, ToIndex);
    d->reportCellsChanged(QRect(0, top, ColCount(), std::abs(ToIndex - FromIndex) + 1));
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
    d->reportCellsChanged(QRect(left, 0, std::abs(ToIndex - FromIndex) + 1, RowCount()));
}

} // namespace vorgrd
