#pragma once
// The draw-info record: the grid's cell geometry on each axis, as tvorgrid's hit
// testing sees it (CalcDrawInfo, CalcCoordFromPoint, CalcSizingState in vorGrid.h).
//
// Pixels are viewport pixels. Every cell is followed by a grid line of lineWidth
// pixels; the fixed cells start at pixel 0, the scrollable ones at fixedEnd with
// firstCell (the base's LeftCol or TopRow) first. On a right-to-left grid the
// columns run from the right edge: X positions given to and taken from these
// operations are viewport pixels, mirrored by the axis layout (host/gridaxislayout.h)
// that the base uses too, while fixedEnd, drawnEnd and fullEnd count from the right.

#include "host/gridaxis.h"

#include <functional>

namespace vorgrd {

// One axis: the columns (horizontal) or the rows (vertical).
struct TGridAxisInfo
{
    // The grid-line width in effect: the grid's line width when either line option of
    // this axis is on, else 0.
    int lineWidth = 0;
    // Sum of (extent + lineWidth) over the fixed cells: where the scrollable cells begin.
    int fixedEnd = 0;
    // Where the last drawn cell ends (at most the client extent).
    int drawnEnd = 0;
    // The client width (height).
    int clientExtent = 0;
    // The last cell shown whole, and the pixel where it ends.
    int lastFullCell = 0;
    int fullEnd = 0;
    int fixedCount = 0;
    // The first scrollable cell shown.
    int firstCell = 0;
    int cellCount = 0;
    // Width (height) of a cell; the grid's GetColWidths (GetRowHeights). It refers to
    // the grid that filled the record: the record must not outlive it.
    std::function<int(int)> extent;
    // Whether the axis runs from the far edge (the columns of a right-to-left grid).
    bool reversed = false;
    // The base's own extents, set by CalcFixedInfo: the queries then read them (in
    // O(log n) per question) instead of calling `extent` cell by cell. A record filled
    // by hand leaves it null.
    const GridAxis *extents = nullptr;
};

struct TGridDrawInfo
{
    TGridAxisInfo Horz;
    TGridAxisInfo Vert;
};

} // namespace vorgrd
