#include "host/gridaxis.h"

#include <algorithm>

namespace vorgrd {

void GridAxis::setCount(int count)
{
    m_count = count;
    m_custom.erase(m_custom.lower_bound(count), m_custom.end());
    m_dirty = true;
}

void GridAxis::setDefaultExtent(int extent)
{
    m_default = extent;
    m_custom.clear();
    m_dirty = true;
}

int GridAxis::extent(int index) const
{
    const auto it = m_custom.find(index);
    return it == m_custom.end() ? m_default : it->second;
}

void GridAxis::setExtent(int index, int extent)
{
    if (extent == m_default)
        m_custom.erase(index);
    else
        m_custom[index] = extent;
    m_dirty = true;
}

void GridAxis::move(int from, int to)
{
    if (from == to) return;
    const int moving = extent(from);
    std::map<int, int> next;
    for (const auto &[index, value] : m_custom) {
        if (index == from) continue;
        int target = index;
        if (from < to && index > from && index <= to)
            target = index - 1;
        else if (to < from && index >= to && index < from)
            target = index + 1;
        next[target] = value;
    }
    if (moving != m_default) next[to] = moving;
    m_custom = std::move(next);
    m_dirty = true;
}

void GridAxis::rebuild() const
{
    m_keys.clear();
    m_prefix.assign(1, 0);
    for (const auto &[index, value] : m_custom) {
        m_keys.push_back(index);
        m_prefix.push_back(m_prefix.back() + value - m_default);
    }
    m_dirty = false;
}

qint64 GridAxis::deltaBefore(int index) const
{
    if (m_dirty) rebuild();
    const auto j = std::lower_bound(m_keys.begin(), m_keys.end(), index) - m_keys.begin();
    return m_prefix[static_cast<size_t>(j)];
}

qint64 GridAxis::offset(int index, int lineWidth) const
{
    return static_cast<qint64>(index) * (m_default + lineWidth) + deltaBefore(index);
}

int GridAxis::indexAt(qint64 pos, int lineWidth) const
{
    if (pos < 0) return -1;
    // The first cell whose end lies beyond pos; ends never decrease with the index.
    int lo = 0, hi = m_count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (offset(mid + 1, lineWidth) > pos)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

int GridAxis::lastIndexAtOrBefore(qint64 pos, int lineWidth) const
{
    if (pos < 0) return -1;
    // Offsets never decrease with the index: the last one not beyond pos.
    int lo = 0, hi = m_count;
    while (lo < hi) {
        const int mid = static_cast<int>(lo + (qint64(hi) - lo + 1) / 2);
        if (offset(mid, lineWidth) <= pos)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

int GridAxis::nextShown(int index, int lineWidth) const
{
    if (index >= m_count) return m_count;
    if (index < 0) index = 0;
    if (extent(index) + lineWidth > 0) return index;
    // The cells before `index` end at or before its offset; the first one ending
    // beyond it is the first that takes pixels.
    return indexAt(offset(index, lineWidth), lineWidth);
}

} // namespace vorgrd
