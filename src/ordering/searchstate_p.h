#pragma once
// Private to the grid's search: the search cursor of tvorgrid. Only the searching code
// (ordering/searching.cpp) reads or writes it; the grid merely holds it, so that two
// grids never share a search.

#include <QString>

namespace vorgrd {

struct SearchState
{
    QString SearchText; // upper-cased in place by a soString substring search
    // The range, inclusive on all four sides, as computed when the search started.
    int SearchTop = 0;
    int SearchLeft = 0;
    // The next cell to test.
    int SearchRow = 0;
    int SearchCol = 0;
    int SearchBottom = 0;
    int SearchRight = 0;
    bool SearchByRows = false; // true: along each row (the column changes fastest)
    bool SearchActive = false; // a position is armed for the next FindNext

    // The cell of the last match this search reported: where a change of direction
    // turns round, so that the match is not reported twice.
    bool HasMatch = false;
    int MatchCol = 0;
    int MatchRow = 0;
};

} // namespace vorgrd
