#pragma once
// TLineChange: what a structural change of a grid does to its lines, as the grid
// reports it before and after the change (TCustomGrid::linesAboutToChange and
// linesChanged). An item model over the grid turns these into Qt's begin/end pairs
// (rowsAboutToBeInserted ... rowsInserted, layoutAboutToBeChanged ... layoutChanged,
// modelAboutToBeReset ... modelReset), which must bracket the change itself.

#include <QtCore/qnamespace.h>
#include <QtGlobal>

#include <vector>

namespace vorgrd {

struct TLineChange
{
    enum Kind
    {
        Insert,  // lines first..last are new; the lines from first on move down by the
                 // count
        Remove,  // lines first..last go; the lines after them move up
        Move,    // line `first` moves to index `last` (the lines between shift by one)
        Reorder, // lines are permuted among themselves: new line i is old line
                 // (*order)[i]; `order` is null when the permutation is not known
        Reset    // anything may change, the counts included
    };
    Kind kind = Reset;
    Qt::Orientation orientation = Qt::Vertical; // Vertical: rows, Horizontal: columns
    int first = -1;
    int last = -1;
    // Reorder only; valid while the signal is being delivered.
    const std::vector<int> *order = nullptr;
    // linesChanged only: false when the operation failed and put back what it had
    // done, so the lines may not be as the change said (an observer then compares
    // the counts again and treats every cell as changed).
    bool completed = true;

    bool rows() const { return orientation == Qt::Vertical; }

    // A count going from oldCount to newCount: lines appended or cut off at the end.
    static TLineChange forCount(Qt::Orientation orientation, int oldCount, int newCount)
    {
        TLineChange change;
        change.orientation = orientation;
        change.kind = newCount > oldCount ? Insert : Remove;
        change.first = newCount > oldCount ? oldCount : newCount;
        change.last = (newCount > oldCount ? newCount : oldCount) - 1;
        return change;
    }
    // A structural change of the lines first..last (Insert or Remove).
    static TLineChange lines(Kind kind, Qt::Orientation orientation, int first, int last)
    {
        TLineChange change;
        change.kind = kind;
        change.orientation = orientation;
        change.first = first;
        change.last = last;
        return change;
    }
};

} // namespace vorgrd
