// The cost of destroying a grid of many columns. Every column description leaves the
// collection on the way out; that must cost about what building them cost, not a
// search of the whole collection for every description (at 40,000 columns that made
// destroying the grid take seconds, and the sanitizer build a quarter of a minute).
// The collection's own removals are held in tests/host/test_collection_growth.cpp.
//
// Timing is measured against a reference taken in the same run (building the same
// grid), so a loaded machine slows both sides alike; each side keeps its best of a few
// runs. Searching per description costs about 3.5 times the build here; a linear
// removal less than half of it.
#include "grid/vorGrid.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace vorgrd;

TEST(ColumnGrowth, DestroyingAGridOfManyColumnsCostsLessThanBuildingIt)
{
    constexpr int manyColumns = 40'000;
    double build = 1e9, destroy = 1e9;
    QElapsedTimer timer;
    for (int run = 0; run < 3; ++run) {
        auto grid = std::make_unique<tvorgrid>();
        timer.start();
        grid->setColCount(manyColumns);
        build = std::min(build, double(timer.nsecsElapsed()));
        ASSERT_EQ(grid->columns()->Count(), manyColumns);
        timer.start();
        grid.reset();
        destroy = std::min(destroy, double(timer.nsecsElapsed()));
    }
    std::printf("ratio columns.destroy_vs_build = %.2f   (destroy %.1f ms, build %.1f ms, "
                "%d columns)\n",
                destroy / build, destroy * 1e-6, build * 1e-6, manyColumns);
    EXPECT_LE(destroy, 1.5 * build);
}
