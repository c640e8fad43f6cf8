// tvorgrid's own cell geometry: the draw-info record, the cell under a point and the
// sizing test. Every question is answered by the axis layout the base itself lays out
// with (host/gridaxislayout.h), filled from the base's columnLayout / rowLayout, so
// that a press the grid examines lands on the cell, and grabs the border, that the
// base would find.
#include "grid/vorGrid.h"
#include "host/gridaxislayout.h"

#include <algorithm>
#include <climits>

namespace vorgrd {

namespace {

int clampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

// Answers a question about a record through the same layout object the base uses.
// A record the grid filled reads the grid's extents; one filled by hand has its
// extent function read into a copy first.
// LIMIT: that copy costs O(cellCount) per question, which only hand-made records pay.
template <class Question> auto askLayout(const TGridAxisInfo &axis, Question &&question)
{
    const GridAxisLayout::Placement place{axis.fixedCount, axis.firstCell, axis.lineWidth,
                                          axis.clientExtent, axis.reversed};
    if (axis.extents && axis.extents->count() == axis.cellCount)
        return question(GridAxisLayout(*axis.extents, place));
    GridAxis own;
    own.setCount(std::max(0, axis.cellCount));
    for (int i = 0; axis.extent && i < axis.cellCount; ++i)
        own.setExtent(i, axis.extent(i));
    return question(GridAxisLayout(own, place));
}

// The record of one axis from the base's layout (the client extent is set later).
void fillFixedAxis(TGridAxisInfo &axis, const GridAxisLayout &layout, std::function<int(int)> extent)
{
    axis.lineWidth = layout.lineWidth();
    axis.fixedCount = layout.fixedCount();
    axis.firstCell = layout.first();
    axis.cellCount = layout.count();
    axis.reversed = layout.reversed();
    axis.extents = &layout.extents();
    axis.extent = std::move(extent);
    axis.fixedEnd = layout.fixedExtent();
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
    fillFixedAxis(DrawInfo.Horz, columnLayout(), [this](int i) { return GetColWidths(i); });
    fillFixedAxis(DrawInfo.Vert, rowLayout(), [this](int i) { return GetRowHeights(i); });
}

void tvorgrid::CalcAxisBounds(TGridAxisInfo &Axis, int UseExtent)
{
    Axis.clientExtent = UseExtent;
    askLayout(Axis, [&](const GridAxisLayout &layout) {
        // The cells shown whole from the first one; the walk of the drawn cells ends
        // at the client edge when one more cell is cut there.
        const int shown = layout.visibleCount();
        const int end = Axis.firstCell + shown;
        Axis.lastFullCell = shown > 0 ? end - 1 : Axis.firstCell;
        Axis.fullEnd = clampToInt(layout.start(std::min(end, layout.count())));
        Axis.drawnEnd = end < layout.count() ? UseExtent : Axis.fullEnd;
        return 0;
    });
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
    return askLayout(Axis, [&](const GridAxisLayout &layout) { return layout.cellAtView(Position); });
}

TGridCoord tvorgrid::CalcCoordFromPoint(int X, int Y, const TGridDrawInfo &DrawInfo) const
{
    return TGridCoord{CellAtPosition(DrawInfo.Horz, X), CellAtPosition(DrawInfo.Vert, Y)};
}

void tvorgrid::CalcAxisSizing(const TGridAxisInfo &Axis, int Point, TGridState NewState,
                              TGridState &State, int &Index, int &SizingPos, int &SizingOfs)
{
    const GridAxisLayout::Border border = askLayout(Axis, [&](const GridAxisLayout &layout) {
        GridAxisLayout::Border b = layout.borderAt(layout.toLogical(Point));
        b.position = layout.toLogical(b.position); // back in viewport pixels
        return b;
    });
    if (border.index < 0) return;
    State = NewState;
    Index = border.index;
    SizingPos = border.position;
    SizingOfs = border.offset;
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
    // The fixed columns stand at the leading edge, which is the right one when the
    // columns are mirrored.
    const int x = FixedInfo.Horz.reversed ? FixedInfo.Horz.clientExtent - 1 - X : X;
    const auto axis = sizingAxisAt(x, Y, FixedInfo.Horz.fixedEnd, FixedInfo.Vert.fixedEnd, colSizing, rowSizing);
    if (axis == Qt::Horizontal)
        CalcAxisSizing(FixedInfo.Horz, X, gsColSizing, State, Index, SizingPos, SizingOfs);
    else if (axis == Qt::Vertical)
        CalcAxisSizing(FixedInfo.Vert, Y, gsRowSizing, State, Index, SizingPos, SizingOfs);
}

} // namespace vorgrd
