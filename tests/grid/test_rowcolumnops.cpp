// Row and column operations: splitting delimited texts into a row or column,
// appending, inserting and deleting lines with their marks and descriptions, the drag
// hooks, argument checks that change nothing, and a model test of random sequences.
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QMetaObject>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace vorgrd;

namespace {

QString cellName(int col, int row)
{
    return QStringLiteral("c%1r%2").arg(col).arg(row);
}

struct RowColOps : ::testing::Test
{
    tvorgrid grid;

    tmcolumn *column(int i) { return grid.columns()->GeTmColumn(i); }
    QString mark(int row) { return grid.RowMarks()->Strings(row); }
    void setMark(int row, const QString &m) { grid.RowMarks()->setStrings(row, m); }

    void fill()
    {
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < grid.ColCount(); ++c)
                grid.setCells(c, r, cellName(c, r));
    }
    QStringList rowTexts(int row)
    {
        QStringList texts;
        for (int c = 0; c < grid.ColCount(); ++c)
            texts << grid.Cells(c, row);
        return texts;
    }
    QStringList colTexts(int col)
    {
        QStringList texts;
        for (int r = 0; r < grid.RowCount(); ++r)
            texts << grid.Cells(col, r);
        return texts;
    }
    QStringList marks() { return grid.RowMarks()->toStringList(); }
    QStringList columnNames()
    {
        QStringList names;
        for (int i = 0; i < grid.columns()->Count(); ++i)
            names << column(i)->columnName();
        return names;
    }

    void TearDown() override
    {
        grid.checkConsistency();
        EXPECT_EQ(grid.cellStore().checkConsistency(), QString());
    }
};

} // namespace

// ---- ModifyRow / ModifyCol ------------------------------------------------------------

TEST_F(RowColOps, ModifyRowSplitsTheTextAtEveryExactDelimiter)
{
    struct Case
    {
        QString text, delimiter;
        QStringList fields;
    };
    const Case cases[] = {
        {"a;b;;e", ";", {"a", "b", "", "e"}},
        {"a::b", "::", {"a", "b"}},
        {"a:::b", "::", {"a", ":b"}},
        {"whole;text", "", {"whole;text"}},
        {"", ";", {""}},
        {"a;", ";", {"a", ""}},
        {";;", ";", {"", "", ""}},
        {"aXbxc", "x", {"aXb", "c"}},
        {"1<>2<>3", "<>", {"1", "2", "3"}},
    };
    for (const Case &c : cases) {
        for (int col = 0; col < grid.ColCount(); ++col)
            grid.setCells(col, 2, QStringLiteral("old"));
        EXPECT_EQ(grid.ModifyRow(2, c.text, c.delimiter), c.fields.size()) << c.text.toStdString();
        QStringList expected = c.fields;
        while (expected.size() < grid.ColCount())
            expected << QStringLiteral("old"); // cells after the last field keep their text
        EXPECT_EQ(rowTexts(2), expected)
            << c.text.toStdString() << " / " << c.delimiter.toStdString();
    }
}

TEST_F(RowColOps, ModifyColWalksDownTheColumn)
{
    EXPECT_EQ(grid.ModifyCol(3, QStringLiteral("x|y||z"), QStringLiteral("|")), 4);
    EXPECT_EQ(colTexts(3), (QStringList{"x", "y", "", "z", ""}));
    EXPECT_EQ(colTexts(2), (QStringList{"", "", "", "", ""}));
}

TEST_F(RowColOps, FieldsBeyondTheCountLandInCellsThatShowOnceTheCountGrows)
{
    EXPECT_EQ(grid.ModifyRow(1, QStringLiteral("0,1,2,3,4,5,6"), QStringLiteral(",")), 7);
    EXPECT_EQ(grid.ColCount(), 5);
    grid.setColCount(7);
    EXPECT_EQ(grid.Cells(5, 1), QStringLiteral("5"));
    EXPECT_EQ(grid.Cells(6, 1), QStringLiteral("6"));

    EXPECT_EQ(grid.ModifyCol(0, QStringLiteral("a b c d e f"), QStringLiteral(" ")), 6);
    grid.setRowCount(6);
    EXPECT_EQ(grid.Cells(0, 5), QStringLiteral("f"));
}

// ---- AddRow / AddCol ----------------------------------------------------------------------

TEST_F(RowColOps, AddRowAppendsARowWithAFreshMark)
{
    grid.setRowCount(3);
    setMark(1, QStringLiteral("YY"));
    grid.AddRow(QStringLiteral("x,y"), QLatin1Char(','));
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(rowTexts(3), (QStringList{"x", "y", "", "", ""}));
    EXPECT_EQ(marks(), (QStringList{"N", "YY", "N", "N"}));
}

TEST_F(RowColOps, AddColAppendsADefaultDescriptionAndFillsItDownwards)
{
    column(4)->settype(ftnumeric);
    grid.AddCol(QStringLiteral("1;2;3"), QLatin1Char(';'));
    EXPECT_EQ(grid.ColCount(), 6);
    EXPECT_EQ(column(5)->columnName(), QStringLiteral("column 6"));
    EXPECT_EQ(column(5)->gettype(), ftstring);
    EXPECT_EQ(column(4)->gettype(), ftnumeric);
    EXPECT_EQ(colTexts(5), (QStringList{"1", "2", "3", "", ""}));
}

// ---- rows -----------------------------------------------------------------------------------

TEST_F(RowColOps, InsertRowsOpensEmptyRowsWithFreshMarks)
{
    grid.setRowCount(3);
    grid.ModifyCol(0, QStringLiteral("P,Q,R"), QStringLiteral(","));
    setMark(1, QStringLiteral("Y"));
    grid.InsertRows(1, 2);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(colTexts(0), (QStringList{"P", "", "", "Q", "R"}));
    EXPECT_EQ(marks(), (QStringList{"N", "N", "N", "Y", "N"}));
}

TEST_F(RowColOps, InsertRowsAtTheEndAppendsEmptyRows)
{
    fill();
    grid.InsertRows(grid.RowCount(), 1);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(rowTexts(5), (QStringList{"", "", "", "", ""}));
    EXPECT_EQ(rowTexts(4), (QStringList{"c0r4", "c1r4", "c2r4", "c3r4", "c4r4"}));
}

TEST_F(RowColOps, ObjectsTravelWithTheirCells)
{
    int a = 0, b = 0;
    grid.setObjects(1, 1, &a);
    grid.setObjects(2, 3, &b);
    grid.InsertRows(0, 2);
    EXPECT_EQ(grid.Objects(1, 3), &a);
    EXPECT_EQ(grid.Objects(2, 5), &b);
    grid.InsertCols(2, 1);
    EXPECT_EQ(grid.Objects(3, 5), &b);
    grid.DeleteRows(0, 3);
    EXPECT_EQ(grid.Objects(1, 0), &a);
    EXPECT_EQ(grid.Objects(3, 2), &b);
    grid.DeleteCols(0, 1);
    EXPECT_EQ(grid.Objects(0, 0), &a);
    EXPECT_EQ(grid.Objects(2, 2), &b);
}

TEST_F(RowColOps, DeleteRowsCutsTheCountAtTheEndAndKeepsRowsBefore)
{
    grid.setFixedRows(0);
    grid.setRowCount(4);
    fill();
    setMark(0, QStringLiteral("Y"));
    setMark(2, QStringLiteral("Y"));
    grid.DeleteRows(1, 5);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(rowTexts(0), (QStringList{"c0r0", "c1r0", "c2r0", "c3r0", "c4r0"}));
    EXPECT_EQ(marks(), (QStringList{"Y"}));
}

TEST_F(RowColOps, DeletingEveryRowBeyondTheFixedOnesLeavesOneEmptyRow)
{
    grid.setRowCount(4);
    ASSERT_EQ(grid.FixedRows(), 1);
    fill();
    setMark(3, QStringLiteral("Y"));
    grid.DeleteRows(1, 3);
    EXPECT_EQ(grid.RowCount(), 2) << "the base keeps a row beyond the fixed ones";
    EXPECT_EQ(rowTexts(0), (QStringList{"c0r0", "c1r0", "c2r0", "c3r0", "c4r0"}));
    EXPECT_EQ(rowTexts(1), (QStringList{"", "", "", "", ""}));
    EXPECT_EQ(marks(), (QStringList{"N", "N"}));
}

TEST_F(RowColOps, DeleteRowsKeepsMarksWithTheirRowsAndLeavesNoStaleCopies)
{
    fill();
    for (int r = 0; r < 5; ++r)
        setMark(r, QStringLiteral("Y").repeated(r + 1));
    grid.DeleteRows(1, 2);
    EXPECT_EQ(colTexts(0), (QStringList{"c0r0", "c0r3", "c0r4"}));
    EXPECT_EQ(marks(), (QStringList{"Y", "YYYY", "YYYYY"}));
    // The rows that slid up must not reappear as copies when the count grows again.
    grid.setRowCount(5);
    EXPECT_EQ(colTexts(0), (QStringList{"c0r0", "c0r3", "c0r4", "", ""}));
}

TEST_F(RowColOps, CellsBeyondTheCountStayOutsideTheOperations)
{
    fill();
    grid.setRowCount(3); // rows 3 and 4 stay in the store, hidden
    grid.InsertRows(1, 1);
    EXPECT_EQ(colTexts(0), (QStringList{"c0r0", "", "c0r1", "c0r2"}))
        << "the new row is empty although hidden row 3 came into view";
    grid.setRowCount(5);
    EXPECT_EQ(grid.Cells(0, 4), QStringLiteral("c0r4")) << "the row beyond stays untouched";

    grid.setRowCount(2);
    grid.DeleteRows(0, 1);
    grid.setRowCount(5);
    EXPECT_EQ(colTexts(0), (QStringList{"", "", "c0r1", "c0r2", "c0r4"}));

    // The cost follows the counts, not the farthest cell the store holds.
    grid.setCells(0, 2000000000, QStringLiteral("far"));
    grid.InsertRows(0, 3);
    grid.DeleteRows(0, 2);
    EXPECT_EQ(grid.Cells(0, 2000000000), QStringLiteral("far"));
    grid.setCells(0, 2000000000, QString());
}

TEST_F(RowColOps, NewColumnsAreEmptyWhereTheStoreKeptCellsBeyondTheCount)
{
    grid.ModifyRow(1, QStringLiteral("a,b,c,d,e,f,g"), QStringLiteral(","));
    grid.InsertCols(0, 1);
    EXPECT_EQ(rowTexts(1), (QStringList{"", "a", "b", "c", "d", "e"}));
    grid.setColCount(7);
    EXPECT_EQ(rowTexts(1), (QStringList{"", "a", "b", "c", "d", "e", "g"}));
    grid.DeleteCols(1, 1);
    EXPECT_EQ(rowTexts(1), (QStringList{"", "b", "c", "d", "e", "g"}));
    grid.setColCount(7);
    EXPECT_EQ(grid.Cells(6, 1), QString()) << "no stale copy of the last column";
}

TEST_F(RowColOps, DraggingARowCarriesItsMark)
{
    fill();
    setMark(3, QStringLiteral("YN"));
    grid.MoveRow(3, 0);
    EXPECT_EQ(marks(), (QStringList{"YN", "N", "N", "N", "N"}));
    EXPECT_EQ(colTexts(0), (QStringList{"c0r3", "c0r0", "c0r1", "c0r2", "c0r4"}));
    grid.MoveRow(0, 4);
    EXPECT_EQ(marks(), (QStringList{"N", "N", "N", "N", "YN"}));
    EXPECT_EQ(grid.Cells(0, 4), QStringLiteral("c0r3"));
}

// ---- columns --------------------------------------------------------------------------------

TEST_F(RowColOps, InsertColsMovesACheckBoxDescriptionWithItsData)
{
    grid.setColCount(3);
    column(1)->settype(ftcheckbox);
    column(2)->settype(ftnumeric);
    grid.ModifyRow(1, QStringLiteral("s,Y,7"), QStringLiteral(","));
    grid.InsertCols(1, 1);
    ASSERT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(column(0)->gettype(), ftstring);
    EXPECT_EQ(column(1)->gettype(), ftstring);
    EXPECT_EQ(column(1)->columnName(), QStringLiteral("column 2"));
    EXPECT_EQ(column(2)->gettype(), ftcheckbox);
    EXPECT_EQ(column(3)->gettype(), ftnumeric);
    EXPECT_EQ(column(2)->columnName(), QStringLiteral("column 2")) << "a copy keeps its name";
    EXPECT_EQ(rowTexts(1), (QStringList{"s", "", "Y", "7"}));
    EXPECT_EQ(colTexts(1), (QStringList{"", "", "", "", ""}));
}

TEST_F(RowColOps, InsertedDescriptionsAreNamedByTheirPosition)
{
    grid.InsertCols(0, 3);
    EXPECT_EQ(columnNames(), (QStringList{"column 1", "column 2", "column 3", "column 1",
                                          "column 2", "column 3", "column 4", "column 5"}));
}

TEST_F(RowColOps, DeleteColsPullsTheLaterColumnsWithTheirDescriptions)
{
    grid.setColCount(4);
    fill();
    column(2)->SetDisplayformat(QStringLiteral("0.00"));
    column(3)->settype(ftdatetime);
    grid.DeleteCols(0, 2);
    ASSERT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(column(0)->Displayformat(), QStringLiteral("0.00"));
    EXPECT_EQ(column(1)->gettype(), ftdatetime);
    EXPECT_EQ(columnNames(), (QStringList{"column 3", "column 4"}));
    EXPECT_EQ(rowTexts(4), (QStringList{"c2r4", "c3r4"}));
    grid.setColCount(4);
    EXPECT_EQ(rowTexts(4), (QStringList{"c2r4", "c3r4", "", ""})) << "no stale copies";
}

TEST_F(RowColOps, WidthsStayByPositionButAHiddenColumnStaysHidden)
{
    column(1)->SetWidth(100);
    column(2)->SetHide(true);
    ASSERT_EQ(grid.ColWidths(2), 0);
    grid.InsertCols(0, 1);
    EXPECT_EQ(grid.ColWidths(1), 100) << "the base's widths stay by position";
    EXPECT_EQ(column(3)->GetHide(), true);
    EXPECT_EQ(grid.ColWidths(3), 0) << "the hidden description keeps its column hidden";
    EXPECT_EQ(grid.ColWidths(2), column(2)->GetWidth()) << "its old place shows again";

    grid.DeleteCols(0, 1);
    EXPECT_EQ(grid.ColWidths(2), 0);
    EXPECT_EQ(grid.ColWidths(3), column(3)->GetWidth());
}

TEST_F(RowColOps, ColumnOperationsRewriteTheTitleRowWhenTitlesAreOn)
{
    grid.setshowtitles(true);
    grid.InsertCols(1, 1);
    EXPECT_EQ(rowTexts(0), (QStringList{"column 1", "column 2", "column 2", "column 3", "column 4",
                                        "column 5"}));
    grid.DeleteCols(0, 6); // the base keeps two columns (one fixed): fresh descriptions
    EXPECT_EQ(rowTexts(0), (QStringList{"column 1", "column 2"}));
}

TEST_F(RowColOps, RowOperationsNeverRewriteTheTitleRow)
{
    fill();
    grid.setshowtitles(true);
    grid.DeleteRows(0, 1);
    EXPECT_EQ(rowTexts(0), (QStringList{"c0r1", "c1r1", "c2r1", "c3r1", "c4r1"}))
        << "the data row that moved up is not overwritten";
}

TEST_F(RowColOps, DraggingAColumnCarriesItsDescriptionAndLeavesTheBracketClosed)
{
    fill();
    column(0)->settype(ftcheckbox);
    column(1)->SetDisplayformat(QStringLiteral("#"));
    grid.MoveColumn(0, 2);
    EXPECT_EQ(column(2)->gettype(), ftcheckbox);
    EXPECT_EQ(column(0)->Displayformat(), QStringLiteral("#"));
    EXPECT_EQ(columnNames(),
              (QStringList{"column 2", "column 3", "column 1", "column 4", "column 5"}));
    EXPECT_EQ(rowTexts(1), (QStringList{"c1r1", "c2r1", "c0r1", "c3r1", "c4r1"}));
    EXPECT_EQ(grid.columns()->UpdateCount(), 0);
    column(4)->SetWidth(120);
    EXPECT_EQ(grid.ColWidths(4), 120) << "changes reach the grid again";

    grid.MoveColumn(3, 0);
    EXPECT_EQ(columnNames(),
              (QStringList{"column 4", "column 2", "column 3", "column 1", "column 5"}));
}

TEST_F(RowColOps, ColumnOperationsLeaveTheUpdateBracketClosed)
{
    grid.InsertCols(2, 2);
    grid.DeleteCols(1, 3);
    grid.AddCol(QStringLiteral("a"), QLatin1Char(','));
    EXPECT_EQ(grid.columns()->UpdateCount(), 0);
    column(1)->SetWidth(77);
    EXPECT_EQ(grid.ColWidths(1), 77);
}

// ---- argument checks ---------------------------------------------------------------------------

TEST_F(RowColOps, ArgumentsOutsideTheLimitsRaiseAndChangeNothing)
{
    fill();
    setMark(2, QStringLiteral("Y"));
    column(1)->settype(ftnumeric);
    struct Case
    {
        const char *call;
        std::function<void(tvorgrid &)> run;
        QString message;
    };
    const Case cases[] = {
        {"ModifyRow(-1)", [](tvorgrid &g) { g.ModifyRow(-1, "a", ","); },
         "ModifyRow: Row -1 is out of range (valid: 0..4)"},
        {"ModifyRow(5)", [](tvorgrid &g) { g.ModifyRow(5, "a", ","); },
         "ModifyRow: Row 5 is out of range (valid: 0..4)"},
        {"ModifyCol(5)", [](tvorgrid &g) { g.ModifyCol(5, "a", ","); },
         "ModifyCol: Col 5 is out of range (valid: 0..4)"},
        {"ModifyRow(2, 100,001 fields)", [](tvorgrid &g) { g.ModifyRow(2, QString(100000, u','), ","); },
         "ModifyRow: column 100000 is out of range (valid: 0..99999)"},
        {"InsertRows(6, 1)", [](tvorgrid &g) { g.InsertRows(6, 1); },
         "InsertRows: Position 6 is out of range (valid: 0..5)"},
        {"InsertRows(-1, 1)", [](tvorgrid &g) { g.InsertRows(-1, 1); },
         "InsertRows: Position -1 is out of range (valid: 0..5)"},
        {"InsertRows(0, 0)", [](tvorgrid &g) { g.InsertRows(0, 0); },
         "InsertRows: Count 0 is out of range (valid: 1..99999995)"},
        {"InsertRows(0, huge)", [](tvorgrid &g) { g.InsertRows(0, 2147483647); },
         "InsertRows: Count 2147483647 is out of range (valid: 1..99999995)"},
        {"DeleteRows(5, 1)", [](tvorgrid &g) { g.DeleteRows(5, 1); },
         "DeleteRows: Position 5 is out of range (valid: 0..4)"},
        {"DeleteRows(0, -3)", [](tvorgrid &g) { g.DeleteRows(0, -3); },
         "DeleteRows: Count -3 is out of range (valid: 1..2147483647)"},
        {"InsertCols(6, 1)", [](tvorgrid &g) { g.InsertCols(6, 1); },
         "InsertCols: Position 6 is out of range (valid: 0..5)"},
        {"InsertCols(0, 0)", [](tvorgrid &g) { g.InsertCols(0, 0); },
         "InsertCols: Count 0 is out of range (valid: 1..99995)"},
        {"InsertCols(0, huge)", [](tvorgrid &g) { g.InsertCols(0, 1000000); },
         "InsertCols: Count 1000000 is out of range (valid: 1..99995)"},
        {"DeleteCols(-1, 1)", [](tvorgrid &g) { g.DeleteCols(-1, 1); },
         "DeleteCols: Position -1 is out of range (valid: 0..4)"},
        {"DeleteCols(0, 0)", [](tvorgrid &g) { g.DeleteCols(0, 0); },
         "DeleteCols: Count 0 is out of range (valid: 1..2147483647)"},
    };
    for (const Case &c : cases) {
        try {
            c.run(grid);
            ADD_FAILURE() << c.call << " raised nothing";
        } catch (const ERangeError &e) {
            EXPECT_EQ(e.Message(), c.message) << c.call;
        }
        EXPECT_EQ(grid.RowCount(), 5) << c.call;
        EXPECT_EQ(grid.ColCount(), 5) << c.call;
        for (int r = 0; r < 5; ++r)
            for (int col = 0; col < 5; ++col)
                EXPECT_EQ(grid.Cells(col, r), cellName(col, r)) << c.call;
        EXPECT_EQ(marks(), (QStringList{"N", "N", "Y", "N", "N"})) << c.call;
        EXPECT_EQ(column(1)->gettype(), ftnumeric) << c.call;
        EXPECT_EQ(columnNames(),
                  (QStringList{"column 1", "column 2", "column 3", "column 4", "column 5"}))
            << c.call;
    }
}

namespace {

// Fails once inside the count change, after the base and tvorgrid have done their part,
// as memory exhaustion part-way would.
struct FailingGrid : tvorgrid
{
    bool armed = false;
    void SizeChanged(int OldColCount, int OldRowCount) override
    {
        tvorgrid::SizeChanged(OldColCount, OldRowCount);
        if (armed) {
            armed = false;
            throw EListError(QStringLiteral("injected failure"));
        }
    }
};

struct GridSnapshot
{
    int rows = 0, cols = 0;
    QStringList cells, marks, columns;
    std::vector<void *> objects;
    std::vector<int> widths, heights;
    bool operator==(const GridSnapshot &) const = default;

    explicit GridSnapshot(tvorgrid &g) : rows(g.RowCount()), cols(g.ColCount())
    {
        for (int r = 0; r < 9; ++r) // beyond the counts too
            for (int c = 0; c < 9; ++c) {
                cells << g.Cells(c, r);
                objects.push_back(g.Objects(c, r));
            }
        marks = g.RowMarks()->toStringList();
        for (int r = 0; r < g.RowCount(); ++r)
            heights.push_back(g.RowHeights(r));
        for (int i = 0; i < g.columns()->Count(); ++i) {
            const tmcolumn *col = g.columns()->GeTmColumn(i);
            columns << col->columnName() + QLatin1Char('/') + QString::number(col->gettype()) +
                           QLatin1Char('/') + QString::number(col->GetHide());
            widths.push_back(g.ColWidths(i));
        }
    }
};

} // namespace

TEST(RowColOpsFailure, AFailurePartWayPutsTheGridBackAsItWas)
{
    struct Case
    {
        const char *call;
        std::function<void(tvorgrid &)> run;
    };
    const Case cases[] = {
        {"InsertRows(1, 2)", [](tvorgrid &g) { g.InsertRows(1, 2); }},
        {"DeleteRows(1, 2)", [](tvorgrid &g) { g.DeleteRows(1, 2); }},
        {"DeleteRows(0, 10)", [](tvorgrid &g) { g.DeleteRows(0, 10); }},
        {"InsertCols(1, 2)", [](tvorgrid &g) { g.InsertCols(1, 2); }},
        {"DeleteCols(1, 2)", [](tvorgrid &g) { g.DeleteCols(1, 2); }},
        {"DeleteCols(0, 10)", [](tvorgrid &g) { g.DeleteCols(0, 10); }},
        {"AddRow", [](tvorgrid &g) { g.AddRow(QStringLiteral("a,b"), QLatin1Char(',')); }},
        {"AddCol", [](tvorgrid &g) { g.AddCol(QStringLiteral("a,b"), QLatin1Char(',')); }},
    };
    for (const Case &c : cases) {
        FailingGrid g;
        int object = 0;
        for (int r = 0; r < 5; ++r)
            for (int col = 0; col < 5; ++col)
                g.setCells(col, r, cellName(col, r));
        g.setObjects(3, 2, &object);
        g.setCells(7, 1, QStringLiteral("beyond the columns"));
        g.setCells(1, 7, QStringLiteral("beyond the rows"));
        g.RowMarks()->setStrings(2, QStringLiteral("YN"));
        g.columns()->GeTmColumn(1)->settype(ftcheckbox);
        g.columns()->GeTmColumn(3)->SetHide(true);
        g.setRowHeights(4, 40);
        const GridSnapshot before(g);
        g.armed = true;
        EXPECT_THROW(c.run(g), EListError) << c.call;
        EXPECT_TRUE(GridSnapshot(g) == before) << c.call;
        EXPECT_EQ(g.columns()->UpdateCount(), 0) << c.call;
        g.checkConsistency();
        EXPECT_EQ(g.cellStore().checkConsistency(), QString()) << c.call;
    }
}

TEST_F(RowColOps, MarksChangedFromOutsideAreReportedBeforeAnythingMoves)
{
    fill();
    grid.RowMarks()->Add(QStringLiteral("N"));
    EXPECT_THROW(grid.InsertRows(1, 1), EListError);
    EXPECT_THROW(grid.DeleteRows(1, 1), EListError);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cells(0, 1), QStringLiteral("c0r1"));
    grid.RowMarks()->Delete(5); // back in step for the consistency check
}

// ---- the editor and the meta-object system -----------------------------------------------------

TEST_F(RowColOps, AnOpenEditorCommitsBeforeTheRowsMoveAndThenShowsItsNewCell)
{
    fill();
    grid.setOptions(grid.Options() | goEditing);
    grid.FocusCell(1, 3, true);
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    grid.InplaceEditor()->setText(QStringLiteral("typed"));
    grid.DeleteRows(1, 1);
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("typed")) << "the typing went with its row";
    EXPECT_EQ(grid.InplaceEditor()->text(), grid.Cells(1, 3));
    grid.DeleteRows(0, 2); // the current row 3 falls off the end
    grid.HideEditor();
    EXPECT_EQ(colTexts(1), (QStringList{"typed", "c1r4"}));
}

TEST(EditorUnderMovingLines, WhatWasTypedGoesIntoItsCellBeforeTheGridMovesUnderIt)
{
    // The editor is open on cell (2, 3) with "a0" typed, which sorts first.
    struct Case
    {
        const char *operation;
        std::function<void(tvorgrid &)> run;
        QPoint typedCell; // where the typed text is afterwards
    };
    const Case cases[] = {
        {"SortCompleteRows", [](tvorgrid &g) { g.SortCompleteRows(2); }, {2, 1}},
        {"SortCompleteColumns", [](tvorgrid &g) { g.SortCompleteColumns(3); }, {1, 3}},
        {"SortCol", [](tvorgrid &g) { g.SortCol(2); }, {2, 1}},
        {"SortRow", [](tvorgrid &g) { g.SortRow(3); }, {1, 3}},
        {"SortAllRows", [](tvorgrid &g) { g.SortAllRows(); }, {1, 3}},
        {"SortAllCols", [](tvorgrid &g) { g.SortAllCols(); }, {2, 1}},
        {"UndoSort", [](tvorgrid &g) { g.UndoSort(); }, {2, 3}},
        {"setFixedRows", [](tvorgrid &g) { g.setFixedRows(4); }, {2, 3}},
        {"setFixedCols", [](tvorgrid &g) { g.setFixedCols(3); }, {2, 3}},
    };
    for (const Case &c : cases) {
        tvorgrid grid;
        grid.setColCount(5);
        grid.setRowCount(6);
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int col = 0; col < grid.ColCount(); ++col)
                grid.setCells(col, r, cellName(col, r));
        grid.SortCol(2); // for the undo; the column is in order already
        grid.setOptions(grid.Options() | goEditing);
        grid.FocusCell(2, 3, true);
        grid.ShowEditor();
        ASSERT_TRUE(grid.EditorMode());
        grid.InplaceEditor()->setText(QStringLiteral("a0"));
        c.run(grid);
        int copies = 0;
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int col = 0; col < grid.ColCount(); ++col)
                copies += grid.Cells(col, r) == QStringLiteral("a0");
        EXPECT_EQ(copies, 1) << c.operation;
        EXPECT_EQ(grid.Cells(c.typedCell.x(), c.typedCell.y()), QStringLiteral("a0")) << c.operation;
        if (grid.EditorMode()) {
            EXPECT_EQ(grid.InplaceEditor()->text(), grid.Cells(grid.Col(), grid.Row())) << c.operation;
        }
        grid.checkConsistency();
    }
}

TEST_F(RowColOps, PublishedMethodsAreCallableByName)
{
    fill();
    EXPECT_TRUE(QMetaObject::invokeMethod(&grid, "InsertRows", Q_ARG(int, 1), Q_ARG(int, 2)));
    EXPECT_TRUE(QMetaObject::invokeMethod(&grid, "DeleteCols", Q_ARG(int, 0), Q_ARG(int, 1)));
    int written = 0;
    EXPECT_TRUE(QMetaObject::invokeMethod(&grid, "ModifyRow", Q_RETURN_ARG(int, written),
                                          Q_ARG(int, 1), Q_ARG(QString, "p;q"),
                                          Q_ARG(QString, ";")));
    EXPECT_EQ(written, 2);
    EXPECT_TRUE(QMetaObject::invokeMethod(&grid, "AddRow", Q_ARG(QString, "z"),
                                          Q_ARG(QChar, QLatin1Char(';'))));
    EXPECT_EQ(grid.RowCount(), 8);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.Cells(0, 1), QStringLiteral("p"));
    EXPECT_EQ(grid.Cells(0, 7), QStringLiteral("z"));
}

// ---- model test
// ------------------------------------------------------------------------------------

namespace {

// The grid as plain vectors: what every operation must do to cells, objects, marks
// and the descriptions (tracked by Displayformat tags and names).
struct Model
{
    struct Cell
    {
        QString text;
        void *object = nullptr;
        bool operator==(const Cell &) const = default;
    };
    std::vector<std::vector<Cell>> rows; // rows[r][c]
    std::vector<QString> marks;
    std::vector<QString> names, formats;

    int rowCount() const { return int(rows.size()); }
    int colCount() const { return int(names.size()); }
};

} // namespace

TEST_F(RowColOps, RandomSequencesMatchAPlainModel)
{
    QRandomGenerator random(20261207);
    static int objects[64];
    for (int round = 0; round < 40; ++round) {
        tvorgrid g;
        const int rows0 = 1 + int(random.bounded(6)), cols0 = 1 + int(random.bounded(5));
        g.setFixedRows(0);
        g.setFixedCols(0);
        g.setRowCount(rows0);
        g.setColCount(cols0);
        // The base keeps one line beyond the fixed ones whatever is deleted.
        const int fixedRows = rows0 > 1 ? int(random.bounded(2)) : 0;
        const int fixedCols = cols0 > 1 ? int(random.bounded(2)) : 0;
        g.setFixedRows(fixedRows);
        g.setFixedCols(fixedCols);
        Model m;
        m.rows.assign(size_t(rows0), std::vector<Model::Cell>(size_t(cols0)));
        for (int c = 0; c < cols0; ++c) {
            const QString tag = QStringLiteral("f%1").arg(c);
            g.columns()->GeTmColumn(c)->SetDisplayformat(tag);
            m.names.push_back(QStringLiteral("column %1").arg(c + 1));
            m.formats.push_back(tag);
        }
        for (int r = 0; r < rows0; ++r) {
            const QString mk = random.bounded(2) ? QStringLiteral("Y") : QStringLiteral("NY");
            g.RowMarks()->setStrings(r, mk);
            m.marks.push_back(mk);
            for (int c = 0; c < cols0; ++c) {
                if (random.bounded(4) == 0) continue;
                Model::Cell cell{QStringLiteral("%1.%2.%3").arg(round).arg(r).arg(c)};
                if (random.bounded(5) == 0) cell.object = &objects[random.bounded(64)];
                g.setCells(c, r, cell.text);
                g.setObjects(c, r, cell.object);
                m.rows[size_t(r)][size_t(c)] = cell;
            }
        }
        auto emptyRow = [&] { return std::vector<Model::Cell>(size_t(m.colCount())); };
        for (int step = 0; step < 30; ++step) {
            const int R = m.rowCount(), C = m.colCount();
            QString op;
            switch (random.bounded(8)) {
            case 0: { // InsertRows
                const int p = int(random.bounded(R + 1)), n = 1 + int(random.bounded(3));
                op = QStringLiteral("InsertRows(%1,%2)").arg(p).arg(n);
                g.InsertRows(p, n);
                m.rows.insert(m.rows.begin() + p, size_t(n), emptyRow());
                m.marks.insert(m.marks.begin() + p, size_t(n), QStringLiteral("N"));
                break;
            }
            case 1: { // DeleteRows
                const int p = int(random.bounded(R)), n = 1 + int(random.bounded(4));
                op = QStringLiteral("DeleteRows(%1,%2)").arg(p).arg(n);
                g.DeleteRows(p, n);
                const int cut = std::min(n, R - p);
                m.rows.erase(m.rows.begin() + p, m.rows.begin() + p + cut);
                m.marks.erase(m.marks.begin() + p, m.marks.begin() + p + cut);
                while (m.rowCount() < fixedRows + 1) {
                    m.rows.push_back(emptyRow());
                    m.marks.push_back(QStringLiteral("N"));
                }
                break;
            }
            case 2: { // InsertCols
                const int p = int(random.bounded(C + 1)), n = 1 + int(random.bounded(3));
                op = QStringLiteral("InsertCols(%1,%2)").arg(p).arg(n);
                g.InsertCols(p, n);
                for (auto &row : m.rows)
                    row.insert(row.begin() + p, size_t(n), Model::Cell{});
                for (int i = 0; i < n; ++i) {
                    m.names.insert(m.names.begin() + p + i,
                                   QStringLiteral("column %1").arg(p + i + 1));
                    m.formats.insert(m.formats.begin() + p + i, QString());
                }
                break;
            }
            case 3: { // DeleteCols
                const int p = int(random.bounded(C)), n = 1 + int(random.bounded(3));
                op = QStringLiteral("DeleteCols(%1,%2)").arg(p).arg(n);
                g.DeleteCols(p, n);
                const int cut = std::min(n, C - p);
                for (auto &row : m.rows)
                    row.erase(row.begin() + p, row.begin() + p + cut);
                m.names.erase(m.names.begin() + p, m.names.begin() + p + cut);
                m.formats.erase(m.formats.begin() + p, m.formats.begin() + p + cut);
                while (m.colCount() < fixedCols + 1) {
                    m.names.push_back(QStringLiteral("column %1").arg(m.colCount() + 1));
                    m.formats.push_back(QString());
                    for (auto &row : m.rows)
                        row.push_back(Model::Cell{});
                }
                break;
            }
            case 4: { // MoveRow
                const int from = int(random.bounded(R)), to = int(random.bounded(R));
                op = QStringLiteral("MoveRow(%1,%2)").arg(from).arg(to);
                g.MoveRow(from, to);
                auto row = m.rows[size_t(from)];
                m.rows.erase(m.rows.begin() + from);
                m.rows.insert(m.rows.begin() + to, row);
                const QString mk = m.marks[size_t(from)];
                m.marks.erase(m.marks.begin() + from);
                m.marks.insert(m.marks.begin() + to, mk);
                break;
            }
            case 5: { // MoveColumn
                const int from = int(random.bounded(C)), to = int(random.bounded(C));
                op = QStringLiteral("MoveColumn(%1,%2)").arg(from).arg(to);
                g.MoveColumn(from, to);
                for (auto &row : m.rows) {
                    auto cell = row[size_t(from)];
                    row.erase(row.begin() + from);
                    row.insert(row.begin() + to, cell);
                }
                for (auto *v : {&m.names, &m.formats}) {
                    const QString s = (*v)[size_t(from)];
                    v->erase(v->begin() + from);
                    v->insert(v->begin() + to, s);
                }
                break;
            }
            case 6: { // AddRow with at most C fields
                const int n = 1 + int(random.bounded(C));
                QStringList fields;
                for (int i = 0; i < n; ++i)
                    fields << (random.bounded(3) ? QStringLiteral("a%1").arg(step) : QString());
                op = QStringLiteral("AddRow(%1)").arg(fields.join(QLatin1Char('|')));
                g.AddRow(fields.join(QLatin1Char('|')), QLatin1Char('|'));
                auto row = emptyRow();
                for (int i = 0; i < n; ++i)
                    row[size_t(i)].text = fields[i];
                m.rows.push_back(row);
                m.marks.push_back(QStringLiteral("N"));
                break;
            }
            default: { // AddCol with at most R fields
                const int n = 1 + int(random.bounded(R));
                QStringList fields;
                for (int i = 0; i < n; ++i)
                    fields << QStringLiteral("b%1").arg(i);
                op = QStringLiteral("AddCol(%1)").arg(n);
                g.AddCol(fields.join(QLatin1Char(',')), QLatin1Char(','));
                m.names.push_back(QStringLiteral("column %1").arg(C + 1));
                m.formats.push_back(QString());
                for (int r = 0; r < R; ++r)
                    m.rows[size_t(r)].push_back(Model::Cell{r < n ? fields[r] : QString()});
                break;
            }
            }
            const std::string where = op.toStdString() + " in round " + std::to_string(round);
            g.checkConsistency();
            ASSERT_EQ(g.cellStore().checkConsistency(), QString()) << where;
            ASSERT_EQ(g.RowCount(), m.rowCount()) << where;
            ASSERT_EQ(g.ColCount(), m.colCount()) << where;
            for (int r = 0; r < m.rowCount(); ++r) {
                ASSERT_EQ(g.RowMarks()->Strings(r), m.marks[size_t(r)]) << where;
                for (int c = 0; c < m.colCount(); ++c) {
                    ASSERT_EQ(g.Cells(c, r), m.rows[size_t(r)][size_t(c)].text)
                        << where << " cell " << c << "," << r;
                    ASSERT_EQ(g.Objects(c, r), m.rows[size_t(r)][size_t(c)].object) << where;
                }
            }
            for (int c = 0; c < m.colCount(); ++c) {
                ASSERT_EQ(g.columns()->GeTmColumn(c)->columnName(), m.names[size_t(c)]) << where;
                ASSERT_EQ(g.columns()->GeTmColumn(c)->Displayformat(), m.formats[size_t(c)])
                    << where;
            }
            // Nothing left behind beyond the counts.
            ASSERT_LE(g.cellStore().rowExtent(), g.RowCount()) << where;
            for (int r = 0; r < g.cellStore().rowExtent(); ++r)
                ASSERT_LE(g.cellStore().colExtent(r), g.ColCount()) << where;
        }
    }
}
