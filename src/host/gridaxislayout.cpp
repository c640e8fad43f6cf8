#include "host/gridaxislayout.h"

#include <algorithm>
#include <climits>

namespace vorgrd {

GridAxisLayout::GridAxisLayout(const GridAxis &extents, const Placement &placement)
    : m_extents(&extents), m_place(placement)
{
}

int GridAxisLayout::fixedExtent() const
{
    const qint64 end = m_extents->offset(m_place.fixedCount, m_place.lineWidth);
    return static_cast<int>(std::clamp<qint64>(end, 0, INT_MAX));
}

qint64 GridAxisLayout::start(int cell) const
{
    const int lw = m_place.lineWidth;
    if (cell < m_place.fixedCount) return m_extents->offset(cell, lw);
    return fixedExtent() + m_extents->offset(cell, lw) - m_extents->offset(m_place.first, lw);
}

int GridAxisLayout::cellAt(qint64 pos) const
{
    if (pos < 0) return -1;
    const int lw = m_place.lineWidth;
    const int fixedEnd = fixedExtent();
    if (pos < fixedEnd) return m_extents->indexAt(pos, lw);
    const int i = m_extents->indexAt(pos - fixedEnd + m_extents->offset(m_place.first, lw), lw);
    return i >= count() ? -1 : i;
}

GridAxisLayout::Border GridAxisLayout::borderAt(int pos) const
{
    const int lw = m_place.lineWidth, client = m_place.clientExtent;
    // A thin line is hard to hit: the grab zone is at least 7 pixels around it.
    int zone = lw, back = 0;
    if (lw < 7) {
        zone = 7;
        back = (7 - lw) / 2;
    }
    qint64 run = fixedExtent();
    // Lines of no pixels are stepped over: their border is the one before them,
    // already tried.
    int i = m_place.first;
    for (; i < count(); i = m_extents->nextShown(i + 1, lw)) {
        run += m_extents->extent(i);
        if (run > client) break;
        if (pos >= run - back && pos <= run - back + zone)
            return Border{i, static_cast<int>(run), static_cast<int>(run - pos)};
        run += lw;
    }
    // The client edge grabs the cell it cuts; when every cell fits there is none.
    if (pos >= client - back && pos <= client && i < count()) return Border{i, client, client - pos};
    return Border{};
}

// The lines first .. last each take extent + lw; the last one's line is not needed.
// Found by offset, so lines of extent 0 cost nothing.
int GridAxisLayout::firstShowing(int last) const
{
    const int lw = m_place.lineWidth;
    const qint64 room = qint64(m_place.clientExtent) - fixedExtent();
    const qint64 need = m_extents->offset(last + 1, lw) - lw - room;
    const int before = m_extents->lastIndexAtOrBefore(need - 1, lw); // the last that no longer fits
    return std::max(before + 1, m_place.fixedCount);
}

int GridAxisLayout::visibleCount() const
{
    const int lw = m_place.lineWidth;
    const qint64 room = qint64(m_place.clientExtent) - fixedExtent();
    const int end =
        m_extents->lastIndexAtOrBefore(m_extents->offset(m_place.first, lw) + room + lw, lw);
    return std::max(0, end - m_place.first);
}

int GridAxisLayout::maxFirst() const
{
    return std::clamp(firstShowing(count() - 1), m_place.fixedCount, count() - 1);
}

int GridAxisLayout::clampFirst(int first) const
{
    return std::clamp(first, m_place.fixedCount, maxFirst());
}

int GridAxisLayout::firstToShow(int cell) const
{
    if (cell < m_place.fixedCount) return m_place.first;
    if (cell < m_place.first) return cell;
    return std::max(m_place.first, std::min(firstShowing(cell), cell));
}

std::optional<Qt::Orientation> sizingAxisAt(int logicalX, int y, int fixedColsEnd, int fixedRowsEnd,
                                            bool colSizing, bool rowSizing)
{
    if (logicalX > fixedColsEnd && colSizing) {
        if (y >= fixedRowsEnd) return std::nullopt;
        return Qt::Horizontal;
    }
    if (y > fixedRowsEnd && rowSizing) {
        if (logicalX >= fixedColsEnd) return std::nullopt;
        return Qt::Vertical;
    }
    return std::nullopt;
}

} // namespace vorgrd
