#pragma once
// Private to the grid's sorting: what the last sort was, so that UndoSort can
// apply the order held in SortIndex to the same lines again. Held by tvorgrid and
// touched only by the sort and undo operations (ordering/sorting.cpp).

#include "host/vorgrdexport.h"
#include "ordering/orderingtypes.h"

#include <QtGlobal>

#include <optional>
#include <vector>

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
    // OPTIMIZATION: after a complete-line or single-line sort or undo, the inverse of
    // the order SortIndex holds, and SortIndex's change stamp at that moment. While
    // the stamp is the same, nobody has touched SortIndex, so the next undo applies
    // SortIndex as it stands (no checks needed: the grid wrote it) and leaves this in
    // it, instead of inverting a permutation whose scattered writes grow faster than
    // the rows once the permutation no longer fits in the processor's cache. Empty
    // when not known (after an all-line sort).
    std::vector<int> inverse;
    quint64 indexStamp = 0;
    // OPTIMIZATION: what lets the undo of a complete-rows sort skip the rows and the
    // marks when nothing disturbed them. The cell store's row layout stamp right after
    // the last sort or undo moved the rows: with it, the store can put back the row
    // table that move replaced, as long as no row has changed since. RowMarks' change stamp when a move found
    // every mark alike: while it is the same, the marks need not move.
    quint64 rowLayoutStamp = 0;
    std::optional<quint64> alikeMarksStamp;
};

} // namespace vorgrd
