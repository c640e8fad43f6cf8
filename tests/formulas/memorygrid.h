#pragma once
// A GridCellReader over a hash of cell texts, standing in for the string grid in the
// parser's tests.
#include "host/gridcellreader.h"

#include <QHash>
#include <QPair>
#include <QString>

namespace vorgrd::test {

class MemoryGrid : public GridCellReader
{
public:
    QHash<QPair<int, int>, QString> cells;
    int currentCol = 0;
    int currentRow = 0;

    void set(int col, int row, const QString &text) { cells.insert({col, row}, text); }
    QString CellText(int col, int row) const override { return cells.value({col, row}); }
    int CurrentCol() const override { return currentCol; }
    int CurrentRow() const override { return currentRow; }
};

} // namespace vorgrd::test
