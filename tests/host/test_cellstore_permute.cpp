// Whole-row permutations over several pages of the row table: sparse rows, missing
// pages, ranges reaching beyond the last row, large random orders, and taking a
// permutation back, each checked against a plain model and the store's own invariant
// check.
#include "host/cellstore.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <numeric>
#include <random>

using vorgrd::CellStore;

namespace {

#define EXPECT_CONSISTENT(store) EXPECT_EQ((store).checkConsistency(), QString())

// Writes "r<row>" into column 1 of every listed row (and an object into row 0's
// column 3 when listed) and returns the model: row -> text.
std::map<int, QString> fill(CellStore &store, const std::vector<int> &rows)
{
    std::map<int, QString> model;
    for (int row : rows) {
        const QString text = QStringLiteral("r%1").arg(row);
        store.setText(1, row, text);
        model[row] = text;
    }
    return model;
}

// Applies `order` from `first` to the model as permuteRows does to the store.
std::map<int, QString> permuted(const std::map<int, QString> &model, int first,
                                const std::vector<int> &order)
{
    std::map<int, QString> next;
    for (const auto &[row, text] : model)
        if (row < first || row >= first + static_cast<int>(order.size())) next[row] = text;
    for (size_t i = 0; i < order.size(); ++i) {
        const auto source = model.find(order[i]);
        if (source != model.end()) next[first + static_cast<int>(i)] = source->second;
    }
    return next;
}

void expectHolds(const CellStore &store, const std::map<int, QString> &model, int upTo)
{
    for (int row = 0; row < upTo; ++row) {
        const auto it = model.find(row);
        ASSERT_EQ(store.text(1, row), it == model.end() ? QString() : it->second) << "row " << row;
    }
    EXPECT_EQ(store.rowExtent(), model.empty() ? 0 : model.rbegin()->first + 1);
    EXPECT_CONSISTENT(store);
}

std::vector<int> shuffled(int first, int count, unsigned seed)
{
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), first);
    std::mt19937 rng(seed);
    std::shuffle(order.begin(), order.end(), rng);
    return order;
}

std::vector<int> inverseOf(const std::vector<int> &order)
{
    std::vector<int> inverse(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        inverse[static_cast<size_t>(order[i])] = static_cast<int>(i);
    return inverse;
}

} // namespace

TEST(CellStorePermute, RowsTravelAcrossPagesThatDidNotExistAndBack)
{
    // Rows in pages 0 and 3 only (1024 rows a page); the permutation spreads them over
    // pages 0 to 4, so pages 1, 2 and 4 must come into being for the rows they receive.
    CellStore store;
    auto model = fill(store, {5, 700, 1023, 3100, 3500});
    const std::vector<int> order = shuffled(0, 5000, 7);
    const std::vector<int> inverse = inverseOf(order);
    store.permuteRows(0, order);
    model = permuted(model, 0, order);
    expectHolds(store, model, 5000);
    const quint64 permutedStamp = store.rowLayoutStamp();
    // Taken back: the old pages and extent return, with what was written into the
    // rows in between (it travels with its row).
    const int target = inverse[3100];
    store.setText(1, target, QStringLiteral("edited"));
    store.setObject(6, target, reinterpret_cast<void *>(intptr_t(7)));
    model[target] = QStringLiteral("edited");
    ASSERT_TRUE(store.revertRowPermutation(permutedStamp));
    model = permuted(model, 0, inverse);
    expectHolds(store, model, 5000);
    EXPECT_EQ(store.text(1, 3100), QStringLiteral("edited"));
    EXPECT_EQ(store.object(6, 3100), reinterpret_cast<void *>(intptr_t(7)));
    EXPECT_EQ(store.rowExtent(), 3501);
    // The revert is itself taken back the same way.
    ASSERT_TRUE(store.revertRowPermutation(store.rowLayoutStamp()));
    model = permuted(model, 0, order);
    expectHolds(store, model, 5000);
    // And back by the inverse order: every row returns.
    store.permuteRows(0, inverse);
    model = permuted(model, 0, inverse);
    expectHolds(store, model, 5000);
    EXPECT_EQ(store.text(1, 3500), QStringLiteral("r3500"));
}

TEST(CellStorePermute, RangesBeyondTheLastRowGrowAndShrinkTheExtent)
{
    CellStore store;
    auto model = fill(store, {0, 1, 2});
    // Row 0 goes to 2999: the extent grows to 3000.
    std::vector<int> order(3000);
    std::iota(order.begin(), order.end(), 0);
    std::swap(order[0], order[2999]);
    store.permuteRows(0, order);
    model = permuted(model, 0, order);
    expectHolds(store, model, 3000);
    EXPECT_EQ(store.rowExtent(), 3000);
    // A range starting past every row moves nothing; one starting at the last row
    // brings it back to 0..2 and the extent shrinks.
    store.permuteRows(5000, {5001, 5000});
    expectHolds(store, model, 3000);
    store.permuteRows(0, order); // a swap is its own inverse
    model = permuted(model, 0, order);
    expectHolds(store, model, 3000);
    EXPECT_EQ(store.rowExtent(), 3);
}

TEST(CellStorePermute, LargeRandomOrdersOfPartlyFilledRangesMatchTheModel)
{
    // Many pages, one row in three written, objects riding along, a range that starts
    // inside a page: the prefetching gather must place every row exactly.
    CellStore store;
    std::vector<int> rows;
    for (int row = 0; row < 20000; row += 3)
        rows.push_back(row);
    auto model = fill(store, rows);
    store.setObject(4, 9, reinterpret_cast<void *>(intptr_t(99)));
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const int first = 100 * static_cast<int>(seed);
        const std::vector<int> order = shuffled(first, 21000 - first, seed);
        store.permuteRows(first, order);
        model = permuted(model, first, order);
        expectHolds(store, model, 21000);
    }
    int objectRows = 0;
    for (int row = 0; row < store.rowExtent(); ++row)
        objectRows += store.object(4, row) != nullptr;
    EXPECT_EQ(objectRows, 1);
}

// ---- taking a whole-table permutation back ----

TEST(CellStorePermute, ARevertIsRefusedWithNothingChangedOnceRowsWereCreatedRemovedOrMoved)
{
    struct Case
    {
        const char *name;
        std::function<void(CellStore &)> change;
    };
    const Case cases[] = {
        {"a row created", [](CellStore &s) { s.setText(1, 4, QStringLiteral("new")); }},
        {"a row removed", [](CellStore &s) { s.setText(1, 1, QString()); }},
        {"rows exchanged and put back",
         [](CellStore &s) {
             s.exchangeRows(0, 1);
             s.exchangeRows(0, 1);
         }},
        {"part of the table permuted", [](CellStore &s) { s.permuteRows(1, {2, 1}); }},
        // A revert must not take back somebody else's permutation.
        {"the whole table permuted again", [](CellStore &s) { s.permuteRows(0, {1, 0, 2}); }},
        {"every cell emptied", [](CellStore &s) { s.clear(); }},
        {"swapped with another store and back",
         [](CellStore &s) {
             CellStore other;
             other.setText(1, 2, QStringLiteral("other"));
             s.swap(other);
             EXPECT_EQ(s.text(1, 2), QStringLiteral("other"));
             EXPECT_CONSISTENT(other);
             s.swap(other);
         }},
    };
    for (const Case &c : cases) {
        CellStore store;
        auto model = fill(store, {0, 1, 3});
        store.permuteRows(0, {3, 0, 1, 2, 4});
        const quint64 permutedStamp = store.rowLayoutStamp();
        c.change(store);
        std::map<int, QString> after;
        for (int row = 0; row < 5; ++row)
            if (!store.text(1, row).isEmpty()) after[row] = store.text(1, row);
        EXPECT_FALSE(store.revertRowPermutation(permutedStamp)) << c.name;
        expectHolds(store, after, 5);
    }
    CellStore untouched;
    EXPECT_FALSE(untouched.revertRowPermutation(untouched.rowLayoutStamp()))
        << "nothing was permuted";
}

TEST(CellStorePermute, AnExchangeOfContentsTakesTheRowsAndTheKeptTableAlong)
{
    CellStore loaded, shown;
    const auto model = fill(loaded, {0, 1, 3, 2000});
    fill(shown, {5});
    shown.permuteRows(0, {5, 0, 1, 2, 3, 4});
    const quint64 before = shown.rowLayoutStamp();
    loaded.swap(shown);
    expectHolds(shown, model, 2001);
    EXPECT_EQ(loaded.text(1, 0), "r5");
    EXPECT_EQ(loaded.rowExtent(), 1);
    EXPECT_NE(shown.rowLayoutStamp(), before);
    EXPECT_NE(loaded.rowLayoutStamp(), before);
    EXPECT_FALSE(shown.revertRowPermutation(before));
    EXPECT_CONSISTENT(loaded);
    EXPECT_CONSISTENT(shown);
}
