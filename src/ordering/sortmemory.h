#pragma once
// Private to the grid's sorting: what the last sort was, so that UndoSort can
// apply the order held in SortIndex to the same lines again. Held by tvorgrid and
// touched only by the sort and undo operations (ordering/sorting.cpp).

#include "host/vorgrdexport.h"
#include "ordering/orderingtypes.h"

namespace vorgrd {

struct VORGRD_EXPORT SortMemory
{
    mSortState state = Unsorted;
    int line = 0;     // SortLine: the column of SortCol, the row of SortRow
    int firstCol = 0; // SortFirstCol
    int firstRow = 0; // SortFirstRow
    // The counts the sort ran on. SortIndex describes lines of exactly these
    // counts; an undo after they changed would move the wrong lines.
    int colCount = 0;
    int rowCount = 0;
};

} // namespace vorgrd
