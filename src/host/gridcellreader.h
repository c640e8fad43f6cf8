#pragma once
// What an expression evaluator needs to see of a grid: the text of any cell and
// the grid's focused cell. The string grid implements it; tests and applications
// may implement it over any cell store of their own.

#include "host/vorgrdexport.h"
#include <QString>

namespace vorgrd {

class VORGRD_EXPORT GridCellReader
{
public:
    virtual ~GridCellReader() = default;

    // The text of cell (col, row); a cell never written, or outside the grid, reads
    // as the empty text. Must not throw for any pair of integers.
    virtual QString CellText(int col, int row) const = 0;
    // The grid's focused cell (its current column and row).
    virtual int CurrentCol() const = 0;
    virtual int CurrentRow() const = 0;
};

} // namespace vorgrd
