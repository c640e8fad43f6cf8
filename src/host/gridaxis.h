#pragma once
// One axis of the grid's geometry (the columns or the rows): a count, a default
// extent and the extents that differ from it.
//
// OPTIMIZATION: only the non-default extents are stored (a sorted map), with a
// prefix sum of their differences rebuilt on the first query after a change. The
// pixel offset of a cell is then O(log k) and the cell at an offset O(log n log k),
// whatever the count, so a grid of 10,000,000 rows costs nothing per row.
//
// Offsets count every cell as its extent plus the line width that follows it.

#include "host/vorgrdexport.h"
#include <QtGlobal>

#include <map>
#include <vector>

namespace vorgrd {

class VORGRD_EXPORT GridAxis
{
public:
    int count() const { return m_count; }
    // Drops the extents of cells at or beyond the new count.
    void setCount(int count);
    int defaultExtent() const { return m_default; }
    // Sets the default and forgets every individual extent.
    void setDefaultExtent(int extent);
    int extent(int index) const;
    void setExtent(int index, int extent);
    // Moves the extent of `from` to `to`, shifting those between.
    void move(int from, int to);

    // Offset of the start of cell `index` (0 <= index <= count) from the start of
    // cell 0, each cell taking extent + lineWidth.
    qint64 offset(int index, int lineWidth) const;
    // The cell whose span [offset(i), offset(i + 1)) holds `pos`, searched from
    // index 0; count() when pos lies beyond the last cell, -1 when negative.
    int indexAt(qint64 pos, int lineWidth) const;
    // The largest index 0 .. count whose offset is at most `pos`; -1 when pos < 0.
    int lastIndexAtOrBefore(qint64 pos, int lineWidth) const;
    // The first cell from `index` on that takes pixels (extent + lineWidth > 0), or
    // count() when none does. Walks over lines of extent 0 (with no grid lines) in
    // O(log n log k), so a view of zero-height rows costs what the visible ones cost.
    int nextShown(int index, int lineWidth) const;
    int customCount() const { return static_cast<int>(m_custom.size()); }

private:
    void rebuild() const;
    qint64 deltaBefore(int index) const;

    int m_count = 0;
    int m_default = 0;
    std::map<int, int> m_custom;
    mutable bool m_dirty = true;
    mutable std::vector<int> m_keys;
    mutable std::vector<qint64> m_prefix; // m_prefix[j] = sum of deltas of keys[0..j)
};

} // namespace vorgrd
