#pragma once
// The private part of TStringGrid: the cells and the state of the cell reports. Only
// the string grid's own sources include it; no public header does, and it is never
// installed. New private state of the string grid goes here, its helpers as members
// of Private reaching the grid through `q`.

#include "host/stringgrid.h"

#include <QRect>

namespace vorgrd {

struct TStringGrid::Private
{
    explicit Private(TStringGrid &grid) : q(grid) {}

    TStringGrid &q;
    CellStore store;
    int cellBatchDepth = 0;
    QRect cellBatchArea; // cell coordinates, empty while nothing was written

    // A cell was written: repaint it, let an editor open on it show the text, report
    // it. Nothing for a cell beyond the counts.
    void cellWritten(int col, int row);
    // cellChanged, or the cell added to the open batch.
    void reportCellChanged(int col, int row);
};

} // namespace vorgrd
