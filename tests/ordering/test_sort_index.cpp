// SortIndex keeps its positions as integers and makes their texts when read. Through
// chains of sorts and undos, read at any point, it must show what a SortIndex written
// item by item shows: a grid whose SortIndex has a change handler is written that way,
// so the two grids are run side by side.
#include "ordering/test_sort_grid.h"

#include "host/exceptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

struct IndexState
{
    QStringList texts;
    std::vector<int> objects;
    int capacity = 0;
    bool sorted = false;
    int keyPos = 0, keyLen = 0, sortStart = 0;
    TLSortType keyType = sString;
    bool descending = false;
    bool operator==(const IndexState &) const = default;
};

IndexState indexState(const tvorgrid &grid)
{
    const TvorList &index = *grid.SortIndex();
    return {sortIndexTexts(grid), sortIndexObjects(grid), index.Capacity(),
            index.Sorted(),       index.KeyPos(),         index.KeyLen(),
            index.SortStart(),    index.KeyType(),        index.Descending()};
}

void fillRandom(tvorgrid &grid, std::mt19937 &rng, int cols, int rows)
{
    static const char *const pool[] = {"", "b", "A", "a", "10", "9", "x2", "2.5", "n/a", "0"};
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setColCount(cols);
    grid.setRowCount(rows);
    grid.setFixedCols(1);
    grid.setFixedRows(1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.setCells(c, r, QString::fromUtf8(pool[rng() % std::size(pool)]));
}

// One random step on both grids: a sort of a random kind and settings, or an undo.
void step(std::mt19937 &rng, tvorgrid &a, tvorgrid &b)
{
    const unsigned choice = rng() % 9;
    if (choice >= 6) {
        a.UndoSort();
        b.UndoSort();
        return;
    }
    const auto keyType = static_cast<TMSortType>(rng() % 3); // no dates in these cells
    const auto useFixed = static_cast<HandleFixed>(rng() % 3);
    const bool descending = rng() % 2;
    const int line = int(rng() % 4);
    for (tvorgrid *grid : {&a, &b}) {
        grid->setKeyType(keyType);
        grid->setUseFixed(useFixed);
        grid->setSortDescending(descending);
        switch (choice) {
        case 0:
            grid->SortCompleteRows(line);
            break;
        case 1:
            grid->SortCompleteColumns(line);
            break;
        case 2:
            grid->SortCol(line);
            break;
        case 3:
            grid->SortRow(line);
            break;
        case 4:
            grid->SortAllRows();
            break;
        default:
            grid->SortAllCols();
            break;
        }
    }
}

} // namespace

TEST(SortIndexLazy, ReadAfterAnyChainOfSortsAndUndosItShowsWhatItemByItemWritingShows)
{
    std::mt19937 rng(1616);
    for (int chain = 0; chain < 60; ++chain) {
        tvorgrid lazy, eager;
        int notifications = 0;
        eager.SortIndex()->OnChange = [&](TvorList *) { ++notifications; };
        const unsigned seed = rng();
        std::mt19937 fillA(seed), fillB(seed);
        fillRandom(lazy, fillA, 4, 6);
        fillRandom(eager, fillB, 4, 6);
        const int length = int(rng() % 12) + 1;
        for (int s = 0; s < length; ++s) {
            step(rng, lazy, eager);
            ASSERT_EQ(snapshot(lazy), snapshot(eager)) << "chain " << chain << " step " << s;
            // Read now and then, mid-chain, as code reading SortIndex would.
            if (rng() % 3 == 0 || s + 1 == length) {
                ASSERT_EQ(indexState(lazy), indexState(eager))
                    << "chain " << chain << " step " << s;
                EXPECT_EQ(lazy.SortIndex()->checkConsistency(), QString());
            }
        }
        const TvorList &index = *lazy.SortIndex();
        for (int k = 0; k < index.Count(); ++k)
            ASSERT_EQ(index.Get(k),
                      QString::number(reinterpret_cast<std::intptr_t>(index.GetObject(k))));
        if (lazy.SortState() == Unsorted) continue; // only undos of nothing: nothing written
        EXPECT_GT(notifications, 0);
        // The grid's own writes and the reads above keep the positions as integers.
        EXPECT_NE(index.Positions(), nullptr) << "chain " << chain;
    }
}

TEST(SortIndexLazy, AHandlerOnSortIndexSeesEveryItemArriveAsBefore)
{
    tvorgrid grid;
    fillGrid(grid, {{"c"}, {"a"}, {"b"}});
    grid.SortCol(0);
    QStringList events;
    grid.SortIndex()->OnChanging = [&](TvorList *) { events << "changing"; };
    grid.SortIndex()->OnChange = [&](TvorList *) { events << "change"; };
    grid.UndoSort();
    // The bracket, the Clear of the old items, then one pair per item.
    QStringList expected{"changing", "changing", "change"};
    for (int k = 0; k < 3; ++k)
        expected << "changing" << "change";
    expected << "change";
    EXPECT_EQ(events, expected);
    EXPECT_EQ(sortIndexTexts(grid), (QStringList{"1", "2", "0"}));
}

TEST(SortIndexLazy, UndoFollowsSortIndexRewrittenByCodeAfterAReadOrASearch)
{
    tvorgrid grid;
    fillGrid(grid, {{"c", "3"}, {"a", "1"}, {"b", "2"}});
    grid.SortCompleteRows(0);
    // A search turns the positions into texts; the undo then reads them item by item.
    EXPECT_EQ(grid.SortIndex()->IndexOf(QStringLiteral("0")), 1);
    EXPECT_EQ(grid.SortIndex()->Positions(), nullptr);
    grid.UndoSort();
    EXPECT_EQ(column(grid, 0), (QStringList{"c", "a", "b"}));
    // Code swaps two items: the undo follows what SortIndex now says.
    grid.SortIndex()->Exchange(1, 2);
    grid.UndoSort();
    EXPECT_EQ(column(grid, 1), (QStringList{"1", "3", "2"}));
    EXPECT_EQ(grid.SortIndex()->checkConsistency(), QString());
}

TEST(SortIndexLazy, UndoFollowsPositionsThatCodeAssignedAndNotTheInverseItKept)
{
    tvorgrid grid;
    fillGrid(grid, {{"c", "3"}, {"a", "1"}, {"b", "2"}, {"d", "4"}});
    grid.SortCompleteRows(0); // a b c d
    // Another valid permutation, written the way the grid writes its own: the undo
    // must apply it, not the inverse the grid kept of what it had written.
    grid.SortIndex()->AssignPositions({3, 2, 1, 0});
    grid.UndoSort();
    EXPECT_EQ(column(grid, 0), (QStringList{"d", "c", "b", "a"}));
    EXPECT_EQ(sortIndexObjects(grid), (std::vector<int>{3, 2, 1, 0}));
    grid.UndoSort();
    EXPECT_EQ(column(grid, 0), (QStringList{"a", "b", "c", "d"}));
    // A position the grid never wrote is refused as before.
    grid.SortIndex()->AssignPositions({0, 1, 2, 2});
    EXPECT_THROW(grid.UndoSort(), EListError);
    EXPECT_EQ(column(grid, 0), (QStringList{"a", "b", "c", "d"}));
}
