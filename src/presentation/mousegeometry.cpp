// tvorgrid's own cell geometry: the draw-info record, the cell under a point and the
// sizing test. The rules are the base's layout rules (a cell is its extent plus the
// line after it; the scrollable cells start at the fixed end with LeftCol or TopRow),
// read through the base's public members, so that a press the grid examines lands on
// the cell, and grabs the border, that the base would find.
#include "grid/vorGrid.h"

#include <algorithm>
#include <climits>

namespace vorgrd {

namespace {

int extentOf(const TGridAxisInfo &axis, int index)
{
    return axis.extent ? axis.extent(index) : 0;
}

int clampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

// The fixed part of one axis.
void fillFixedAxis(TGridAxisInfo &axis, int lineWidth, int fixedCount, int firstCell,
                   int cellCount, std::function<int(int)> extent)
{
    axis.lineWidth = lineWidth;
    axis.fixedCount = fixedCount;
    axis.firstCell = firstCell;
    axis.cellCount = cellCount;
    axis.extent = std::move(extent);
    qint64 end = 0;
    for (int i = 0; i < fixedCount; ++i)
        end += extentOf(axis, i) + lineWidth;
    axis.fixedEnd = clampToInt(end);
}

} // namespace

int tvorgrid::GetColWidths(int Index) const
{
    return ColWidths(Index);
}

int tvorgrid::GetRowHeights(int Index) const
{
    return RowHeights(Index);
}

void tvorgrid::CalcFixedInfo(TGridDrawInfo &DrawInfo) const
{
    fillFixedAxis(DrawInfo.Horz, VertLineWidth(), FixedCols(), LeftCol(), ColCount(),
                  [this](int i) { return GetColWidths(i); });
    fillFixedAxis(DrawInfo.Vert, HorzLineWidth(), FixedRows(), TopRow(), RowCount(),
                  [this](int i) { return GetRowHeights(i); });
}

void tvorgrid::CalcAxisBounds(TGridAxisInfo &Axis, int UseExtent)
{
    Axis.clientExtent = UseExtent;
    qint64 drawn = Axis.fixedEnd;
    Axis.fullEnd = Axis.fixedEnd;
    Axis.lastFullCell = Axis.firstCell;
    for (int i = Axis.firstCell; i < Axis.cellCount; ++i) {
        drawn += extentOf(Axis, i) + Axis.lineWidth;
        if (drawn > qint64(UseExtent) + Axis.lineWidth) {
            drawn = UseExtent;
            break;
        }
        Axis.lastFullCell = i;
        Axis.fullEnd = clampToInt(drawn);
    }
    Axis.drawnEnd = clampToInt(drawn);
}

void tvorgrid::CalcDrawInfoXY(TGridDrawInfo &DrawInfo, int UseWidth, int UseHeight) const
{
    CalcFixedInfo(DrawInfo);
    CalcAxisBounds(DrawInfo.Horz, UseWidth);
    CalcAxisBounds(DrawInfo.Vert, UseHeight);
}

void tvorgrid::CalcDrawInfo(TGridDrawInfo &DrawInfo) const
{
    CalcDrawInfoXY(DrawInfo, ClientWidth(), ClientHeight());
}

int tvorgrid::CellAtPosition(const TGridAxisInfo &Axis, int Position)
{
    // A point before the grid is beyond the cells too; walking the fixed cells from
    // pixel 0 would otherwise name cell 0 for it.
    if (Position < 0) return -1;
    int first = Axis.firstCell, last = Axis.cellCount;
    qint64 run = Axis.fixedEnd;
    if (Position < Axis.fixedEnd) {
        first = 0;
        last = Axis.fixedCount;
        run = 0;
    }
    for (int i = first; i < last; ++i) {
        run += extentOf(Axis, i) + Axis.lineWidth;
        if (Position < run) return i;
    }
    return -1;
}

TGridCoord tvorgrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo &DrawInfo) const
{
    return TGridCoord{CellAtPosition(DrawInfo.Horz, X), CellAtPosition(DrawInfo.Vert, Y)};
}

void tvorgrid::CalcAxisSizing(const TGridAxisInfo &Axis, int Point, TGridState NewState,
                              TGridState &State, int &Index, int &SizingPos, int &SizingOfs)
{
    // A thin line is hard to hit: the grab zone is at least 7 pixels, centred on it.
    int zone = Axis.lineWidth, backOff = 0;
    if (Axis.lineWidth < 7) {
        zone = 7;
        backOff = (7 - Axis.lineWidth) / 2;
    }
    qint64 run = Axis.fixedEnd;
    int i = Axis.firstCell;
    for (; i < Axis.cellCount; ++i) {
        run += extentOf(Axis, i);
        if (run > Axis.clientExtent) break;
        if (Point >= run - backOff && Point <= run - backOff + zone) {
            State = NewState;
            SizingPos = clampToInt(run);
            SizingOfs = clampToInt(run - Point);
            Index = i;
            return;
        }
        run += Axis.lineWidth;
    }
    // The client edge grabs the cell it cuts. When every cell fits there is no such
    // cell, and no border to drag there.
    if (i < Axis.cellCount && Point >= Axis.clientExtent - backOff && Point <= Axis.clientExtent) {
        State = NewState;
        SizingPos = Axis.clientExtent;
        SizingOfs = Axis.clientExtent - Point;
        Index = i;
    }
}

void tvorgrid::CalcSizingState(int X, int Y, TGridState &State, int &Index, int &SizingPos,
                               int &SizingOfs, TGridDrawInfo &FixedInfo) const
{
    State = gsNormal;
    Index = -1;
    const bool colSizing = (Options() & goColSizing) || Designing();
    const bool rowSizing = (Options() & goRowSizing) || Designing();
    if (!colSizing && !rowSizing) return;
    FixedInfo.Vert.clientExtent = ClientHeight();
    FixedInfo.Horz.clientExtent = ClientWidth();
    if (X > FixedInfo.Horz.fixedEnd && colSizing) {
        // Column borders are grabbed only inside the fixed rows.
        if (Y >= FixedInfo.Vert.fixedEnd) return;
        CalcAxisSizing(FixedInfo.Horz, X, gsColSizing, State, Index, SizingPos, SizingOfs);
    } else if (Y > FixedInfo.Vert.fixedEnd && rowSizing) {
        if (X >= FixedInfo.Horz.fixedEnd) return;
        CalcAxisSizing(FixedInfo.Vert, Y, gsRowSizing, State, Index, SizingPos, SizingOfs);
    }
}

} // namespace vorgrd
