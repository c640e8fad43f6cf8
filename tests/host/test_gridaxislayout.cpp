// The axis layout against a naive model: a plain vector of extents walked pixel by
// pixel, for random axes with zero extents, line widths of 0 to 8, fixed bands and
// scrolled first cells, in both directions.
#include "host/gridaxislayout.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace vorgrd;

namespace {

struct Model
{
    std::vector<int> extents;
    GridAxisLayout::Placement place;

    int count() const { return static_cast<int>(extents.size()); }
    qint64 sum(int from, int to) const // cells from .. to-1, each with its line
    {
        qint64 s = 0;
        for (int i = from; i < to; ++i) s += extents[i] + place.lineWidth;
        return s;
    }
    int fixedEnd() const { return static_cast<int>(sum(0, place.fixedCount)); }
    qint64 start(int cell) const
    {
        if (cell < place.fixedCount) return sum(0, cell);
        return cell >= place.first ? fixedEnd() + sum(place.first, cell)
                                   : fixedEnd() - sum(cell, place.first);
    }
    int cellAt(qint64 pos) const
    {
        if (pos < 0) return -1;
        const bool fixed = pos < fixedEnd();
        for (int i = fixed ? 0 : place.first; i < (fixed ? place.fixedCount : count()); ++i)
            if (pos >= start(i) && pos < start(i) + extents[i] + place.lineWidth) return i;
        return -1;
    }
    // Whether `last` is shown whole when the scrollable cells begin at `first`.
    bool showsWhole(int first, int last) const
    {
        return fixedEnd() + sum(first, last + 1) - place.lineWidth <= place.clientExtent;
    }
    int visibleCount() const
    {
        int n = 0;
        while (place.first + n < count() && showsWhole(place.first, place.first + n)) ++n;
        return n;
    }
    int firstShowing(int last) const
    {
        int f = place.fixedCount;
        while (f < last && !showsWhole(f, last)) ++f;
        return f;
    }
    GridAxisLayout::Border borderAt(int pos) const
    {
        const int lw = place.lineWidth, zone = std::max(lw, 7), back = lw < 7 ? (7 - lw) / 2 : 0;
        qint64 run = fixedEnd();
        int i = place.first;
        for (; i < count(); ++i) {
            // Cells of no pixels share the border before them (the first one in view
            // still owns its own).
            if (i > place.first && extents[i] + lw == 0) continue;
            run += extents[i];
            if (run > place.clientExtent) break;
            if (pos >= run - back && pos <= run - back + zone)
                return {i, static_cast<int>(run), static_cast<int>(run - pos)};
            run += lw;
        }
        const int client = place.clientExtent;
        if (pos >= client - back && pos <= client && i < count()) return {i, client, client - pos};
        return {};
    }
};

Model randomModel(std::mt19937 &rng)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Model m;
    const int n = pick(1, 30);
    for (int i = 0; i < n; ++i) m.extents.push_back(pick(0, 3) == 0 ? 0 : pick(1, 40));
    m.place.fixedCount = pick(0, std::min(3, n - 1));
    m.place.first = pick(m.place.fixedCount, n - 1);
    m.place.lineWidth = pick(0, 4) == 0 ? 0 : pick(1, 8);
    m.place.clientExtent = pick(0, 300);
    m.place.reversed = pick(0, 1) == 1;
    return m;
}

GridAxis axisOf(const Model &m, int defaultExtent)
{
    GridAxis a;
    a.setDefaultExtent(defaultExtent);
    a.setCount(m.count());
    for (int i = 0; i < m.count(); ++i) a.setExtent(i, m.extents[i]);
    return a;
}

} // namespace

TEST(GridAxisLayout, PixelQueriesAgreeWithAWalkOverEveryCell)
{
    std::mt19937 rng(9);
    for (int round = 0; round < 400; ++round) {
        const Model m = randomModel(rng);
        const GridAxis extents = axisOf(m, round % 2 ? 24 : 0);
        const GridAxisLayout layout(extents, m.place);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        ASSERT_EQ(layout.fixedExtent(), m.fixedEnd());
        for (int c = 0; c < m.count(); ++c) ASSERT_EQ(layout.start(c), m.start(c)) << c;
        for (int p = -3; p < m.place.clientExtent + 60; ++p) {
            ASSERT_EQ(layout.cellAt(p), m.cellAt(p)) << p;
            const auto b = layout.borderAt(p), e = m.borderAt(p);
            ASSERT_EQ(b.index, e.index) << p;
            if (e.index >= 0) {
                ASSERT_EQ(b.position, e.position) << p;
                ASSERT_EQ(b.offset, e.offset) << p;
            }
        }
    }
}

TEST(GridAxisLayout, ScrollQueriesAgreeWithTheModel)
{
    std::mt19937 rng(14);
    for (int round = 0; round < 400; ++round) {
        const Model m = randomModel(rng);
        const GridAxis extents = axisOf(m, 7);
        const GridAxisLayout layout(extents, m.place);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        ASSERT_EQ(layout.visibleCount(), m.visibleCount());
        const int maxFirst = std::max(m.firstShowing(m.count() - 1), m.place.fixedCount);
        ASSERT_EQ(layout.maxFirst(), std::min(maxFirst, m.count() - 1));
        ASSERT_EQ(layout.clampFirst(-5), m.place.fixedCount);
        ASSERT_EQ(layout.clampFirst(INT_MAX), layout.maxFirst());
        for (int c = 0; c < m.count(); ++c) {
            const int f = layout.firstToShow(c);
            if (c < m.place.fixedCount) {
                ASSERT_EQ(f, m.place.first);
                continue;
            }
            // The cell ends up in view (whole, unless it cannot fit at all), with the
            // least scrolling from where the view stood.
            ASSERT_LE(f, c);
            if (c < m.place.first) ASSERT_EQ(f, c);
            else ASSERT_EQ(f, std::max(m.place.first, m.firstShowing(c)));
        }
    }
}

TEST(GridAxisLayout, TheWalkVisitsExactlyTheCellsWithPixelsInView)
{
    std::mt19937 rng(8);
    for (int round = 0; round < 300; ++round) {
        const Model m = randomModel(rng);
        const GridAxis extents = axisOf(m, 0);
        const GridAxisLayout layout(extents, m.place);
        std::vector<std::pair<int, qint64>> walked;
        layout.forEachShown([&](int c, qint64 at) { walked.emplace_back(c, at); });
        std::vector<std::pair<int, qint64>> expected;
        auto band = [&](int from, int to) {
            for (int c = from; c < to; ++c)
                if (m.start(c) < m.place.clientExtent && m.extents[c] + m.place.lineWidth > 0)
                    expected.emplace_back(c, m.start(c));
        };
        band(0, m.place.fixedCount);
        band(m.place.first, m.count());
        ASSERT_EQ(walked, expected) << "round " << round;
    }
}

TEST(GridAxisLayout, TenMillionCellsOfWhichMostHaveNoPixelsAreCheapToLayOut)
{
    GridAxis extents;
    extents.setDefaultExtent(0);
    extents.setCount(10'000'000);
    extents.setExtent(0, 20);
    extents.setExtent(9'999'990, 20);
    extents.setExtent(9'999'999, 30);
    const GridAxisLayout layout(extents, {1, 1, 0, 100, false});
    std::vector<int> shown;
    layout.forEachShown([&](int c, qint64) { shown.push_back(c); });
    EXPECT_EQ(shown, (std::vector<int>{0, 9'999'990, 9'999'999}));
    EXPECT_EQ(layout.cellAt(20), 9'999'990);
    EXPECT_EQ(layout.cellAt(45), 9'999'999);
    EXPECT_EQ(layout.cellAt(70), -1);
    EXPECT_EQ(layout.maxFirst(), 1);
    EXPECT_EQ(layout.firstToShow(9'999'999), 1);
}
