// The grid component: construction, row marks and columns following the counts,
// the title row, the fixed-count properties, published members by name.
#include "grid/vorGrid.h"

#include <QMetaObject>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

QStringList marks(const tvorgrid &g)
{
    return g.RowMarks()->toStringList();
}

// The drawing's scratch image is protected: a descendant shows its starting size.
class GridWithWorkBitmap : public tvorgrid
{
public:
    using tvorgrid::WorkBitmap;
};

} // namespace

TEST(Vorgrid, ANewGridHasOneColumnPerGridColumnAndOneMarkPerRow)
{
    GridWithWorkBitmap grid;
    grid.checkConsistency();
    EXPECT_EQ(grid.columns()->Count(), grid.ColCount());
    EXPECT_EQ(marks(grid), QStringList(grid.RowCount(), "N"));
    for (int i = 0; i < grid.ColCount(); ++i)
        EXPECT_EQ(grid.columns()->GeTmColumn(i)->columnName(), QString("column %1").arg(i + 1));
    EXPECT_EQ(grid.KeyPos(), 1);
    EXPECT_EQ(grid.KeyLen(), 2147483647);
    EXPECT_EQ(grid.KeyType(), soString);
    EXPECT_EQ(grid.UseFixed(), hfNot);
    EXPECT_FALSE(grid.showtitles());
    EXPECT_EQ(grid.Parser()->Grid(), &grid);
    EXPECT_EQ(grid.SortIndex()->Count(), 0);
    EXPECT_EQ(grid.CheckWidth(), 13);
    EXPECT_EQ(grid.CheckHeight(), 13);
    EXPECT_EQ(grid.WorkBitmap().size(), QSize(13, 13));
}

TEST(Vorgrid, MarksAreKeptWhenRowsGrowAndResetWhenTheCountShrinks)
{
    tvorgrid grid;
    grid.RowMarks()->setStrings(1, "Y");
    grid.RowMarks()->setStrings(4, "NY");
    grid.setRowCount(8);
    EXPECT_EQ(marks(grid), QStringList({"N", "Y", "N", "N", "NY", "N", "N", "N"}));
    grid.setRowCount(6);
    EXPECT_EQ(marks(grid), QStringList(6, "N"));
    grid.checkConsistency();
}

TEST(Vorgrid, ColumnsAreAddedWithNumberedNamesAndDroppedBeyondTheCountKeepingTheOthers)
{
    tvorgrid grid;
    grid.columns()->GeTmColumn(1)->settype(ftnumeric);
    grid.columns()->GeTmColumn(1)->SetWidth(111);
    grid.setColCount(7);
    EXPECT_EQ(grid.columns()->GeTmColumn(5)->columnName(), "column 6");
    EXPECT_EQ(grid.columns()->GeTmColumn(6)->columnName(), "column 7");
    grid.columns()->GeTmColumn(6)->SetColor(clRed);
    grid.setColCount(2);
    grid.checkConsistency();
    EXPECT_EQ(grid.columns()->GeTmColumn(1)->gettype(), ftnumeric);
    EXPECT_EQ(grid.columns()->GeTmColumn(1)->GetWidth(), 111);
    EXPECT_EQ(grid.columns()->UpdateCount(), 0);
    grid.setColCount(7);
    EXPECT_EQ(grid.columns()->GeTmColumn(6)->GetColor(), grid.Color()) << "a fresh column, not the dropped one";
}

TEST(Vorgrid, TitlesGoIntoRowZeroAndAreEmptiedWhenSwitchedOff)
{
    tvorgrid grid;
    grid.setColCount(3);
    grid.columns()->GeTmColumn(0)->SetcolumnName("a");
    grid.columns()->GeTmColumn(1)->SetcolumnName("b");
    grid.columns()->GeTmColumn(2)->Title()->SetCaption("Third");
    grid.setCells(1, 1, "data");
    grid.setshowtitles(true);
    EXPECT_EQ(grid.Cells(0, 0), "a");
    EXPECT_EQ(grid.Cells(1, 0), "b");
    EXPECT_EQ(grid.Cells(2, 0), "Third");
    grid.columns()->GeTmColumn(0)->Title()->SetCaption("Alpha");
    EXPECT_EQ(grid.Cells(0, 0), "Alpha") << "a column change rewrites the titles";
    grid.setCells(1, 0, "typed over");
    grid.setshowtitles(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(grid.Cells(i, 0), "");
    EXPECT_EQ(grid.Cells(1, 1), "data");
    grid.columns()->GeTmColumn(0)->SetColor(clRed);
    EXPECT_EQ(grid.Cells(0, 0), "") << "titles off: a column change leaves row 0 alone";
}

TEST(Vorgrid, SavedFixedCountsReadTheCurrentFixedCounts)
{
    tvorgrid grid;
    grid.setSavedFixedRows(3);
    grid.setSavedFixedCols(4);
    EXPECT_EQ(grid.GetFixedRows(), grid.FixedRows());
    EXPECT_EQ(grid.GetFixedCols(), grid.FixedCols());
    grid.setFixedRows(2);
    EXPECT_EQ(grid.property("SavedFixedRows").toInt(), 2);
}

TEST(Vorgrid, EditButtonClickFiresOnlyWhenAssigned)
{
    tvorgrid grid;
    EXPECT_NO_THROW(grid.EditButtonClick());
    QObject *sender = nullptr;
    grid.OnEditButtonClick = [&](QObject *s) { sender = s; };
    grid.EditButtonClick();
    EXPECT_EQ(sender, &grid);
}

TEST(Vorgrid, PublishedMembersAreReachedByName)
{
    tvorgrid grid;
    grid.columns()->GeTmColumn(0)->SetcolumnName("Name");
    EXPECT_TRUE(grid.setProperty("showtitles", true));
    EXPECT_EQ(grid.Cells(0, 0), "Name");
    EXPECT_TRUE(grid.setProperty("UseFixed", "hfSmart"));
    EXPECT_EQ(grid.UseFixed(), hfSmart);
    bool stored = false;
    ASSERT_TRUE(QMetaObject::invokeMethod(&grid, "IsshowtitlesStored", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, stored)));
    EXPECT_TRUE(stored);
    EXPECT_FALSE(grid.setProperty("SearchExists", true)) << "read-only";
}

TEST(Vorgrid, DraggingAColumnBorderCopiesTheWidthsIntoTheColumns)
{
    tvorgrid grid;
    grid.resize(500, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.setOptions(grid.Options() | goColSizing);
    const QRect cell = grid.CellRect(1, 0);
    const QPoint border(cell.right() + 1, cell.center().y());
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid.viewport(), border + QPoint(30, 0));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
    EXPECT_EQ(grid.ColWidths(1), grid.DefaultColWidth() + 30);
    EXPECT_EQ(grid.columns()->GeTmColumn(1)->GetWidth(), grid.DefaultColWidth() + 30);
    EXPECT_TRUE(grid.columns()->GeTmColumn(1)->IsWidthStored());
}

TEST(Vorgrid, MarksTakeStorageForTheRowsTheyHaveNotForTwiceAsMany)
{
    tvorgrid grid;
    grid.setRowCount(100'000); // one large step: room for exactly these rows
    EXPECT_EQ(grid.RowMarks()->Capacity(), 100'000);
    for (int rows = 100'001; rows <= 100'100; ++rows) // small steps: amortised growth
        grid.setRowCount(rows);
    EXPECT_GE(grid.RowMarks()->Capacity(), 100'100);
    EXPECT_LE(grid.RowMarks()->Capacity(), 200'000);
    EXPECT_EQ(grid.RowMarks()->Count(), 100'100);
    grid.checkConsistency();
}
