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
    int editDepth = 0; // GridEdits open
    QRect editArea;    // cell coordinates, empty while nothing was written

    // A cell was written: repaint it, let an editor open on it show the text, report
    // it. Nothing for a cell beyond the counts.
    void cellWritten(int col, int row);
    // cellChanged, or the cell added to the open edit.
    void reportCellChanged(int col, int row);
    // Cells a bulk write changed: added to the open edit, else cellsChanged at once.
    void reportCellsChanged(const QRect &cells);
};

} // namespace vorgrd
