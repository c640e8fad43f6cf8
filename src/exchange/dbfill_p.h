#pragma once
// Private state of the database fill, held by the grid's private part; only
// exchange/dbfill*.cpp touch it.

#include <QString>

#include <utility>
#include <vector>

namespace vorgrd {

struct DbFillState
{
    // One row's column names and field texts; the texts are read completely before
    // any cell is written, so that a failing field leaves the row as it was.
    struct Buffers
    {
        std::vector<QString> names;
        std::vector<QString> texts;
    };

    // The buffers of the last row, kept to spare two allocations per row. A call takes
    // them for itself (a nested one finds none and makes its own) and gives them back.
    Buffers take() { return std::exchange(spare, {}); }
    void giveBack(Buffers buffers) { spare = std::move(buffers); }

    Buffers spare;
};

} // namespace vorgrd
