// The cell store at the edges of int: every index it accepts is handled without
// overflow, writes past the limits are refused with nothing changed.
#include "host/cellstore.h"
#include "host/exceptions.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace vorgrd;

TEST(CellStoreLimits, RowsNearTheLargestIndexMoveAndCheckWithoutOverflow)
{
    CellStore store;
    const int top = CellStore::MaxWriteRow;
    store.setText(0, top, QStringLiteral("top"));
    store.setText(1, top - 1, QStringLiteral("below"));
    EXPECT_EQ(store.rowExtent(), top + 1);
    EXPECT_EQ(store.checkConsistency(), QString());
    store.moveRow(top, top - 5);
    EXPECT_EQ(store.text(0, top - 5), QStringLiteral("top"));
    EXPECT_EQ(store.text(1, top), QStringLiteral("below"));
    store.exchangeRows(top, 0);
    EXPECT_EQ(store.text(1, 0), QStringLiteral("below"));
    EXPECT_EQ(store.checkConsistency(), QString());
    store.setText(1, 0, QString());
    store.setText(0, top - 5, QString());
    EXPECT_EQ(store.rowExtent(), 0);
    EXPECT_EQ(store.checkConsistency(), QString());
}

// A column operation visits the rows written: with one row at the largest index,
// walking every index below it would take seconds.
TEST(CellStoreLimits, ColumnOperationsOnARowAtTheLargestIndexCostItsRowsOnly)
{
    CellStore store;
    const int top = CellStore::MaxWriteRow;
    store.setText(0, top, QStringLiteral("a"));
    store.setText(2, top, QStringLiteral("c"));
    store.setText(1, 5, QStringLiteral("low"));
    QElapsedTimer clock;
    clock.start();
    store.moveCol(0, 1);      // top: "", a, c    row 5: low, "", ""
    store.exchangeCols(1, 2); // top: "", c, a    row 5: low
    store.permuteCols(0, {2, 0, 1});
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(store.text(0, top), QStringLiteral("a"));
    EXPECT_EQ(store.text(2, top), QStringLiteral("c"));
    EXPECT_EQ(store.text(1, 5), QStringLiteral("low"));
    EXPECT_EQ(store.checkConsistency(), QString());
}

TEST(CellStoreLimits, WritesAndMovesPastTheLimitsAreRefusedWithNothingChanged)
{
    CellStore store;
    store.setText(2, 3, QStringLiteral("x"));
    EXPECT_THROW(store.setText(0, INT_MAX, QStringLiteral("y")), ERangeError);
    EXPECT_THROW(store.setText(INT_MAX, 0, QStringLiteral("y")), ERangeError);
    EXPECT_THROW(store.setObject(CellStore::MaxWriteColumn + 1, 0, &store), ERangeError);
    EXPECT_THROW(store.moveRow(3, INT_MAX), ERangeError);
    EXPECT_THROW(store.moveCol(2, INT_MAX), ERangeError);
    EXPECT_THROW(store.permuteRows(INT_MAX - 1, {INT_MAX - 1, INT_MAX}), ERangeError);
    EXPECT_EQ(store.text(2, 3), QStringLiteral("x"));
    EXPECT_EQ(store.rowExtent(), 4);
    EXPECT_EQ(store.checkConsistency(), QString());
    // Reading anywhere is fine.
    EXPECT_EQ(store.text(INT_MAX, INT_MAX), QString());
}
