#pragma once
// Private state of the database fill, held by the grid's private part; only
// exchange/dbfill*.cpp touch it.

#include <QString>

#include <vector>

namespace vorgrd {

struct DbFillState
{
    // One row's field texts, read completely before any cell is written so that a
    // failing field leaves the row as it was. Kept to spare an allocation per row.
    std::vector<QString> rowTexts;
};

} // namespace vorgrd
