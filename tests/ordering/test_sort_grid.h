#pragma once
// Shared by the sort tests: a grid filled from a table of texts, and snapshots of
// its cells, objects and marks to compare before and after.
#include "formulas/printers.h"
#include "grid/vorGrid.h"

#include <QStringList>

#include <cstdint>
#include <vector>

namespace vorgrd::test {

// Rows of texts; every row of `rows` must be as long as the first.
inline void fillGrid(tvorgrid &grid, const std::vector<QStringList> &rows, int fixedCols = 0,
                     int fixedRows = 0)
{
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setColCount(static_cast<int>(rows.front().size()));
    grid.setRowCount(static_cast<int>(rows.size()));
    grid.setFixedCols(fixedCols);
    grid.setFixedRows(fixedRows);
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            grid.setCells(c, r, rows[static_cast<size_t>(r)][c]);
}

inline std::vector<QStringList> texts(const tvorgrid &grid)
{
    std::vector<QStringList> rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.ColCount(); ++c)
            row << grid.Cells(c, r);
        rows.push_back(row);
    }
    return rows;
}

inline QStringList column(const tvorgrid &grid, int c)
{
    QStringList texts;
    for (int r = 0; r < grid.RowCount(); ++r)
        texts << grid.Cells(c, r);
    return texts;
}

inline QStringList row(const tvorgrid &grid, int r)
{
    QStringList texts;
    for (int c = 0; c < grid.ColCount(); ++c)
        texts << grid.Cells(c, r);
    return texts;
}

inline QStringList marks(const tvorgrid &grid)
{
    QStringList all;
    for (int r = 0; r < grid.RowMarks()->Count(); ++r)
        all << grid.RowMarks()->Get(r);
    return all;
}

// The integer positions SortIndex holds as objects, and its texts.
inline std::vector<int> sortIndexObjects(const tvorgrid &grid)
{
    std::vector<int> positions;
    for (int k = 0; k < grid.SortIndex()->Count(); ++k)
        positions.push_back(
            static_cast<int>(reinterpret_cast<std::intptr_t>(grid.SortIndex()->GetObject(k))));
    return positions;
}

inline QStringList sortIndexTexts(const tvorgrid &grid)
{
    QStringList all;
    for (int k = 0; k < grid.SortIndex()->Count(); ++k)
        all << grid.SortIndex()->Get(k);
    return all;
}

// Everything a sort may move, for exact comparisons.
struct GridSnapshot
{
    std::vector<QStringList> cells;
    std::vector<std::vector<void *>> objects;
    QStringList rowMarks;
    bool operator==(const GridSnapshot &) const = default;
};

inline GridSnapshot snapshot(const tvorgrid &grid)
{
    GridSnapshot s{texts(grid), {}, marks(grid)};
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::vector<void *> row;
        for (int c = 0; c < grid.ColCount(); ++c)
            row.push_back(grid.Objects(c, r));
        s.objects.push_back(row);
    }
    return s;
}

} // namespace vorgrd::test
