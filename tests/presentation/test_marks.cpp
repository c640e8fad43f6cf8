// Row marks: independent marks per row at positions from 1, kept in RowMarks.
#include "grid/vorGrid.h"

#include "host/exceptions.h"

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

QStringList marks(const tvorgrid &g)
{
    return g.RowMarks()->toStringList();
}

TEST(Marks, SetSelectRowPadsTheEntryAndSetsOnlyThatPosition)
{
    tvorgrid grid;
    grid.setRowCount(8);
    grid.SetSelectRow(5, 3, true);
    EXPECT_EQ(grid.RowMarks()->Strings(5), "NNY");
    EXPECT_FALSE(grid.GetSelectRow(5, 2));
    EXPECT_TRUE(grid.GetSelectRow(5, 3));
    EXPECT_FALSE(grid.GetSelectRow(5, 4)); // beyond the entry
    EXPECT_EQ(grid.GetSelectRowCount(3), 1);
    EXPECT_EQ(grid.GetSelectRowCount(1), 0);
    grid.SetSelectRow(5, 3, false);
    EXPECT_EQ(grid.RowMarks()->Strings(5), "NNN");
    EXPECT_EQ(grid.GetSelectRowCount(3), 0);
    grid.checkConsistency();
}

TEST(Marks, APositionBelowOneOrANegativeRowIsRefusedWithNothingChanged)
{
    tvorgrid grid;
    grid.SetSelectRow(1, 2, true);
    const QStringList before = marks(grid);
    auto message = [](auto &&call) {
        try {
            call();
        } catch (const ERangeError &e) {
            return e.Message();
        }
        return QString("no error");
    };
    EXPECT_TRUE(message([&] { grid.SetSelectRow(1, 0, true); }).contains("position 0"));
    EXPECT_TRUE(message([&] { grid.SetSelectRow(-1, 1, true); }).contains("Row -1"));
    EXPECT_TRUE(message([&] { grid.GetSelectRow(1, -3); }).contains("position -3"));
    EXPECT_TRUE(message([&] { grid.GetSelectRow(-2, 1); }).contains("Row -2"));
    EXPECT_TRUE(message([&] { grid.DeSelectAllMark(0); }).contains("position 0"));
    EXPECT_TRUE(message([&] { grid.GetSelectRowCount(0); }).contains("position 0"));
    EXPECT_EQ(marks(grid), before);
}

TEST(Marks, MarksChangeNoCellAndTravelWithTheirRowsWhenRowsAreInserted)
{
    tvorgrid grid;
    grid.setCells(1, 2, "two");
    grid.SetSelectRow(2, 2, true);
    grid.InsertRows(1, 2);
    EXPECT_TRUE(grid.GetSelectRow(4, 2));
    EXPECT_FALSE(grid.GetSelectRow(2, 2));
    EXPECT_EQ(grid.Cells(1, 4), "two");
    grid.checkConsistency();
}

} // namespace
