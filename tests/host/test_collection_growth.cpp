// The cost of removing items from a large collection. Clearing, destroying and
// shrinking from the end must each cost about what adding the items cost:
// an item that searches the whole collection on its way out makes every one of them
// quadratic (a grid's column operations rebuild its descriptions through these).
//
// Timing is measured against a reference taken in the same run (adding the same
// number of items), so a loaded machine slows both sides alike; each side keeps its
// best of a few runs. A search per item costs about 70 times the reference at this
// size; it holds under about one.
#include "host/collection.h"
#include "streamsamples.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

constexpr int manyItems = 40'000;
constexpr double bound = 8.0;

double nanoseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed());
}

void addMany(Slots &list)
{
    for (int i = 0; i < manyItems; ++i)
        list.Add();
}

} // namespace

TEST(CollectionGrowth, RemovingManyItemsCostsAboutWhatAddingThemCost)
{
    double add = 1e18, clear = 1e18, destroy = 1e18, shrink = 1e18;
    for (int run = 0; run < 5; ++run) {
        Slots list;
        add = std::min(add, nanoseconds([&] { addMany(list); }));
        clear = std::min(clear, nanoseconds([&] { list.Clear(); }));
        EXPECT_EQ(list.Count(), 0);
        list.checkConsistency();

        // Items deleted one by one from the end, as a shrinking count deletes them.
        addMany(list);
        shrink = std::min(shrink, nanoseconds([&] {
                              while (list.Count() > 0)
                                  delete list.Items(list.Count() - 1);
                          }));


        auto doomed = std::make_unique<Slots>();
        addMany(*doomed);
        destroy = std::min(destroy, nanoseconds([&] { doomed.reset(); }));
    }
    const auto report = [&](const char *name, double cost, const char *peer, double reference) {
        std::printf("ratio collection.%s_vs_%s = %.2f   (%.1f ms, %s %.1f ms, %d items)\n", name,
                    peer, cost / reference, cost * 1e-6, peer, reference * 1e-6, manyItems);
        EXPECT_LE(cost, bound * reference) << name;
    };
    report("clear", clear, "add", add);
    report("delete_from_end", shrink, "add", add);
    report("destroy", destroy, "add", add);
}
