#pragma once
// Private to the grid's sorting: the record of the last sort, so that UndoSort can
// apply the order held in SortIndex to the same lines again, and knows when it may
// take a shortcut. Held by tvorgrid and touched only by the sort and undo operations
// (ordering/sorting.cpp).

#include "ordering/orderingtypes.h"

#include <QtGlobal>

#include <array>
#include <vector>

namespace vorgrd {

// The change stamps of the parts an undo may find as the last sort or undo left them,
// read together (tvorgrid::Private::sortStamps) so that the record compares them in
// one place.
struct SortStamps
{
    quint64 sortIndex = 0; // SortIndex's change stamp
    quint64 rows = 0;      // the cell store's row layout stamp
    quint64 rowMarks = 0;  // RowMarks' change stamp
};

class SortRecord
{
public:
    // ---- what was sorted ----
    mSortState kind = Unsorted;
    int line = 0;     // SortLine: the column of SortCol, the row of SortRow
    int firstCol = 0; // SortFirstCol
    int firstRow = 0; // SortFirstRow
    // The counts the sort ran on. SortIndex describes lines of exactly these
    // counts; an undo after they changed would move the wrong lines.
    int colCount = 0;
    int rowCount = 0;
    // OPTIMIZATION: after a complete-line or single-line sort or undo, the inverse of
    // the order SortIndex holds. While SortIndex is untouched, the next undo applies
    // SortIndex as it stands (no checks needed: the grid wrote it) and leaves this in
    // it, instead of inverting a permutation whose scattered writes grow faster than
    // the rows once the permutation no longer fits in the processor's cache. Empty
    // when not known (after an all-line sort).
    std::vector<int> inverse;

    // ---- whether the parts are as the last sort or undo left them ----
    // SortIndex: written by the last move (it holds the inverse of `inverse`).
    // Rows: the row table the last complete-rows move left; the cell store can then put
    //   back the table that move replaced instead of moving the rows.
    // RowMarks: found all alike by the last move, so that they need not move.
    enum class Part : quint8
    {
        SortIndex,
        Rows,
        RowMarks
    };
    // Notes `part` as it stands at `now`.
    void remember(Part part, const SortStamps &now)
    {
        m_seen[index(part)] = stampOf(part, now);
        m_known[index(part)] = true;
    }
    void forget(Part part) { m_known[index(part)] = false; }
    // Whether nothing has changed `part` since it was remembered.
    bool untouchedSince(Part part, const SortStamps &now) const
    {
        return m_known[index(part)] && m_seen[index(part)] == stampOf(part, now);
    }
    // The row layout stamp remembered for Rows: what the cell store needs to put back
    // the row table the last move replaced.
    quint64 rowLayout() const { return m_seen[index(Part::Rows)]; }

private:
    static size_t index(Part part) { return static_cast<size_t>(part); }
    static quint64 stampOf(Part part, const SortStamps &now)
    {
        switch (part) {
        case Part::SortIndex:
            return now.sortIndex;
        case Part::Rows:
            return now.rows;
        case Part::RowMarks:
            return now.rowMarks;
        }
        return 0;
    }

    std::array<quint64, 3> m_seen{};
    std::array<bool, 3> m_known{};
};

} // namespace vorgrd
