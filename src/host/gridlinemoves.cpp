// TCustomGrid's line moves (MoveColumn, MoveRow, inside one structural edit) and the
// default bodies of the hooks descendants override.
#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/exceptions.h"
#include "host/gridedit.h"
#include "host/inplaceedit.h"

namespace vorgrd {

namespace {

int movedIndex(int index, int from, int to)
{
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (to < from && index >= to && index < from) return index + 1;
    return index;
}

} // namespace

// ---- moving lines -------------------------------------------------------------------------

void TCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    checkRange("MoveColumn", "FromIndex", fromIndex, 0, ColCount() - 1);
    checkRange("MoveColumn", "ToIndex", toIndex, 0, ColCount() - 1);
    if (fromIndex == toIndex) return;
    CheckMoveLine(true, fromIndex, toIndex);
    d->moveLine(true, fromIndex, toIndex);
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex)
{
    checkRange("MoveRow", "FromIndex", fromIndex, 0, RowCount() - 1);
    checkRange("MoveRow", "ToIndex", toIndex, 0, RowCount() - 1);
    if (fromIndex == toIndex) return;
    CheckMoveLine(false, fromIndex, toIndex);
    d->moveLine(false, fromIndex, toIndex);
}

void TCustomGrid::Private::moveLine(bool column, int fromIndex, int toIndex)
{
    if (editorMode) q.UpdateText();
    TLineChange change;
    change.kind = TLineChange::Move;
    change.orientation = column ? Qt::Horizontal : Qt::Vertical;
    change.first = fromIndex;
    change.last = toIndex;
    GridEdit edit(q, change);
    GridAxis &axis = column ? cols : rows;
    int TGridCoord::*along = column ? &TGridCoord::X : &TGridCoord::Y;
    edit.onFailure([this, &axis, fromIndex, toIndex, oldCurrent = current, oldAnchor = anchor] {
        axis.move(toIndex, fromIndex);
        current = oldCurrent;
        anchor = oldAnchor;
        clampCurrent();
    });
    axis.move(fromIndex, toIndex);
    current.*along = movedIndex(current.*along, fromIndex, toIndex);
    anchor.*along = movedIndex(anchor.*along, fromIndex, toIndex);
    clampCurrent();
    if (column)
        q.ColumnMoved(fromIndex, toIndex);
    else
        q.RowMoved(fromIndex, toIndex);
    edit.commit();
    if (editorMode && inplaceEdit) inplaceEdit->UpdateContents();
    q.viewport()->update();
    reportCursorChanges();
}

// ---- hooks ------------------------------------------------------------------------------------

void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::ColWidthsChanged() {}
void TCustomGrid::RowHeightsChanged() {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::CheckMoveLine(bool, int, int) const {}

void TCustomGrid::Loaded()
{
    d->clampCurrent();
}

} // namespace vorgrd
