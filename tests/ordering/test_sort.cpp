// The grid's six sorts and their undo: orders by key type and key window, the fixed
// bands under hfNot / hfSmart / hfYes, objects and marks travelling with their cells,
// SortIndex toggling, and the refusals that leave everything as it was.
#include "ordering/test_sort_grid.h"

#include "host/exceptions.h"
#include "host/inplaceedit.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

struct Sort : ::testing::Test
{
    tvorgrid grid;
    void TearDown() override
    {
        grid.checkConsistency();
        EXPECT_EQ(grid.cellStore().checkConsistency(), QString());
        EXPECT_EQ(grid.SortIndex()->checkConsistency(), QString());
    }
};

using Table = std::vector<QStringList>;

QStringList list(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *s : items)
        out << QString::fromUtf8(s);
    return out;
}

} // namespace

// ---- the worked example and toggling --------------------------------------------------------

TEST_F(Sort, CompleteRowsOrderRowsAndUndoTogglesBetweenBothOrders)
{
    fillGrid(grid, {list({"c", "c1", "c2"}), list({"a", "a1", "a2"}), list({"b", "b1", "b2"})});
    const Table before = texts(grid);
    const Table sorted{list({"a", "a1", "a2"}), list({"b", "b1", "b2"}), list({"c", "c1", "c2"})};

    grid.SortCompleteRows(0);
    EXPECT_EQ(texts(grid), sorted);
    EXPECT_EQ(grid.SortState(), CompleteRows);
    EXPECT_EQ(sortIndexObjects(grid), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(sortIndexTexts(grid), list({"2", "0", "1"}));

    grid.UndoSort();
    EXPECT_EQ(texts(grid), before);
    EXPECT_EQ(sortIndexObjects(grid), (std::vector<int>{1, 2, 0}));
    grid.UndoSort();
    EXPECT_EQ(texts(grid), sorted);
    EXPECT_EQ(grid.SortState(), CompleteRows) << "undo leaves the state alone";
}

TEST_F(Sort, UndoSortWithoutASortChangesNothing)
{
    fillGrid(grid, {list({"b"}), list({"a"})});
    const GridSnapshot before = snapshot(grid);
    grid.UndoSort();
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_EQ(grid.SortState(), Unsorted);
    EXPECT_EQ(grid.SortIndex()->Count(), 0);
}

TEST_F(Sort, LinesAlreadyInOrderStayAndTheStateIsStillSet)
{
    fillGrid(grid, {list({"a", "1"}), list({"b", "2"}), list({"c", "3"})});
    const GridSnapshot before = snapshot(grid);
    grid.SortCol(0);
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_EQ(grid.SortState(), SingleCol);
    EXPECT_EQ(grid.SortLine(), 0);
    EXPECT_EQ(sortIndexObjects(grid), (std::vector<int>{0, 1, 2}));
}

TEST_F(Sort, PublishedSortsAreCallableByName)
{
    fillGrid(grid, {list({"b", "x"}), list({"a", "y"})});
    ASSERT_TRUE(QMetaObject::invokeMethod(&grid, "SortCompleteRows", Q_ARG(int, 0)));
    EXPECT_EQ(column(grid, 1), list({"y", "x"}));
    ASSERT_TRUE(QMetaObject::invokeMethod(&grid, "UndoSort"));
    EXPECT_EQ(column(grid, 1), list({"x", "y"}));
    for (const char *name : {"SortCompleteColumns(int)", "SortRow(int)", "SortCol(int)",
                             "SortAllRows()", "SortAllCols()"})
        EXPECT_GE(grid.metaObject()->indexOfMethod(name), 0) << name;
    EXPECT_LT(grid.metaObject()->indexOfMethod("UndoCompRowSort()"), 0)
        << "the specific undo operations are not published";
}

// ---- keys -----------------------------------------------------------------------------------

TEST_F(Sort, KeyTypesAndKeyWindowDecideTheOrder)
{
    struct Case
    {
        const char *what;
        TMSortType type;
        int keyPos, keyLen;
        bool descending;
        QStringList cells, expected;
    };
    const Case cases[] = {
        {"numeric, texts at zero", soNumeric, 1, 2147483647, false, list({"10", "9", "x", "2"}),
         list({"x", "2", "9", "10"})},
        {"numeric descending", soNumeric, 1, 2147483647, true, list({"10", "9", "x", "2"}),
         list({"10", "9", "2", "x"})},
        {"numeric leading number", soNumeric, 1, 2147483647, false,
         list({"12.5kg", "7 apples", "-3"}), list({"-3", "7 apples", "12.5kg"})},
        {"text ignores case", soString, 1, 2147483647, false, list({"b", "a", "C"}),
         list({"a", "b", "C"})},
        {"text by codes", soStringCaseSensitive, 1, 2147483647, false, list({"b", "a", "C"}),
         list({"C", "a", "b"})},
        {"key from position 3", soString, 3, 2147483647, false, list({"x3a", "y1c", "z2b"}),
         list({"x3a", "z2b", "y1c"})},
        {"one character from position 2", soNumeric, 2, 1, false, list({"x37", "y15", "z26"}),
         list({"y15", "z26", "x37"})},
        {"position below 1 acts as 1", soString, -4, 0, false, list({"zb", "ya", "xc"}),
         list({"xc", "ya", "zb"})},
        {"dates", soDate, 1, 2147483647, false, list({"2024-03-01", "2023-12-31", "2024-01-15"}),
         list({"2023-12-31", "2024-01-15", "2024-03-01"})},
    };
    for (const Case &c : cases) {
        Table rows;
        for (const QString &t : c.cells)
            rows.push_back(QStringList{t});
        fillGrid(grid, rows);
        grid.setKeyType(c.type);
        grid.setKeyPos(c.keyPos);
        grid.setKeyLen(c.keyLen);
        grid.setSortDescending(c.descending);
        grid.SortCol(0);
        EXPECT_EQ(column(grid, 0), c.expected) << c.what;
        grid.UndoSort();
        EXPECT_EQ(column(grid, 0), c.cells) << c.what << " (undo)";
    }
}

TEST_F(Sort, DescendingKeepsThePositionsBeforeTheSortStart)
{
    fillGrid(grid, {list({"h", "0"}), list({"a", "1"}), list({"c", "2"}), list({"b", "3"})}, 0, 1);
    grid.setSortDescending(true);
    grid.SortCompleteRows(0);
    EXPECT_EQ(column(grid, 0), list({"h", "c", "b", "a"}));
    EXPECT_EQ(column(grid, 1), list({"0", "2", "3", "1"}));
}

// ---- fixed rows and columns -------------------------------------------------------------------

TEST_F(Sort, FixedBandsTakePartAsUseFixedSays)
{
    const Table byRows{list({"t", "z", "T2"}), list({"r1", "c", "x1"}), list({"r2", "a", "x2"}),
                       list({"r3", "b", "x3"})};
    const Table byCols{list({"t", "r1", "r2", "r3"}), list({"z", "c", "a", "b"}),
                       list({"T2", "x1", "x2", "x3"})};
    const Table allLines{list({"c", "b", "a"}), list({"z", "y", "x"}), list({"q", "p", "o"})};
    struct Case
    {
        const char *what;
        HandleFixed useFixed;
        const Table *start;
        std::function<void(tvorgrid &)> sort;
        Table expected;
        int firstMoved; // SortFirstCol or SortFirstRow, as the sort sets it
        std::function<int(const tvorgrid &)> firstOf;
    };
    const auto firstCol = [](const tvorgrid &g) { return g.SortFirstCol(); };
    const auto firstRow = [](const tvorgrid &g) { return g.SortFirstRow(); };
    const auto noFirst = [](const tvorgrid &) { return -1; };
    const auto rows1 = [](tvorgrid &g) { g.SortCompleteRows(1); };
    const auto cols1 = [](tvorgrid &g) { g.SortCompleteColumns(1); };
    const auto col1 = [](tvorgrid &g) { g.SortCol(1); };
    const auto row1 = [](tvorgrid &g) { g.SortRow(1); };
    const auto allRows = [](tvorgrid &g) { g.SortAllRows(); };
    const auto allCols = [](tvorgrid &g) { g.SortAllCols(); };
    const Case cases[] = {
        {"rows hfNot",
         hfNot,
         &byRows,
         rows1,
         {list({"t", "z", "T2"}), list({"r1", "a", "x2"}), list({"r2", "b", "x3"}),
          list({"r3", "c", "x1"})},
         1,
         firstCol},
        {"rows hfSmart",
         hfSmart,
         &byRows,
         rows1,
         {list({"t", "z", "T2"}), list({"r2", "a", "x2"}), list({"r3", "b", "x3"}),
          list({"r1", "c", "x1"})},
         0,
         firstCol},
        {"rows hfYes",
         hfYes,
         &byRows,
         rows1,
         {list({"r2", "a", "x2"}), list({"r3", "b", "x3"}), list({"r1", "c", "x1"}),
          list({"t", "z", "T2"})},
         0,
         firstCol},
        {"columns hfNot",
         hfNot,
         &byCols,
         cols1,
         {list({"t", "r1", "r2", "r3"}), list({"z", "a", "b", "c"}),
          list({"T2", "x2", "x3", "x1"})},
         1,
         firstRow},
        {"columns hfSmart",
         hfSmart,
         &byCols,
         cols1,
         {list({"t", "r2", "r3", "r1"}), list({"z", "a", "b", "c"}),
          list({"T2", "x2", "x3", "x1"})},
         0,
         firstRow},
        {"columns hfYes",
         hfYes,
         &byCols,
         cols1,
         {list({"r2", "r3", "r1", "t"}), list({"a", "b", "c", "z"}),
          list({"x2", "x3", "x1", "T2"})},
         0,
         firstRow},
        {"one column hfNot",
         hfNot,
         &byRows,
         col1,
         {list({"t", "z", "T2"}), list({"r1", "a", "x1"}), list({"r2", "b", "x2"}),
          list({"r3", "c", "x3"})},
         -1,
         noFirst},
        {"one column hfSmart",
         hfSmart,
         &byRows,
         col1,
         {list({"t", "z", "T2"}), list({"r1", "a", "x1"}), list({"r2", "b", "x2"}),
          list({"r3", "c", "x3"})},
         -1,
         noFirst},
        {"one column hfYes",
         hfYes,
         &byRows,
         col1,
         {list({"t", "a", "T2"}), list({"r1", "b", "x1"}), list({"r2", "c", "x2"}),
          list({"r3", "z", "x3"})},
         -1,
         noFirst},
        {"one row hfNot",
         hfNot,
         &byCols,
         row1,
         {list({"t", "r1", "r2", "r3"}), list({"z", "a", "b", "c"}),
          list({"T2", "x1", "x2", "x3"})},
         -1,
         noFirst},
        {"one row hfYes",
         hfYes,
         &byCols,
         row1,
         {list({"t", "r1", "r2", "r3"}), list({"a", "b", "c", "z"}),
          list({"T2", "x1", "x2", "x3"})},
         -1,
         noFirst},
        {"all rows hfNot",
         hfNot,
         &allLines,
         allRows,
         {list({"c", "b", "a"}), list({"z", "x", "y"}), list({"q", "o", "p"})},
         1,
         firstRow},
        {"all rows hfSmart",
         hfSmart,
         &allLines,
         allRows,
         {list({"c", "a", "b"}), list({"z", "x", "y"}), list({"q", "o", "p"})},
         0,
         firstRow},
        {"all rows hfYes",
         hfYes,
         &allLines,
         allRows,
         {list({"a", "b", "c"}), list({"x", "y", "z"}), list({"o", "p", "q"})},
         0,
         firstRow},
        {"all columns hfNot",
         hfNot,
         &allLines,
         allCols,
         {list({"c", "b", "a"}), list({"z", "p", "o"}), list({"q", "y", "x"})},
         1,
         firstCol},
        {"all columns hfSmart",
         hfSmart,
         &allLines,
         allCols,
         {list({"c", "b", "a"}), list({"q", "p", "o"}), list({"z", "y", "x"})},
         0,
         firstCol},
        {"all columns hfYes",
         hfYes,
         &allLines,
         allCols,
         {list({"c", "b", "a"}), list({"q", "p", "o"}), list({"z", "y", "x"})},
         0,
         firstCol},
    };
    for (const Case &c : cases) {
        fillGrid(grid, *c.start, 1, 1);
        grid.setUseFixed(c.useFixed);
        c.sort(grid);
        EXPECT_EQ(texts(grid), c.expected) << c.what;
        EXPECT_EQ(c.firstOf(grid), c.firstMoved) << c.what;
        grid.UndoSort();
        EXPECT_EQ(texts(grid), *c.start) << c.what << " (undo)";
        grid.UndoSort();
        EXPECT_EQ(texts(grid), c.expected) << c.what << " (redo)";
    }
}

TEST_F(Sort, AllLineSortsKeepOneBlockPerProcessedLineInSortIndex)
{
    fillGrid(grid, {list({"c", "b", "a"}), list({"z", "y", "x"}), list({"q", "p", "o"})}, 1, 1);
    grid.SortAllRows(); // rows 1 and 2, from column 1 on
    EXPECT_EQ(grid.SortFirstRow(), 1);
    EXPECT_EQ(sortIndexObjects(grid), (std::vector<int>{0, 2, 1, 0, 2, 1}));
    grid.setUseFixed(hfYes);
    grid.SortAllCols();
    EXPECT_EQ(grid.SortState(), AllCols);
    EXPECT_EQ(grid.SortIndex()->Count(), 9);
}

// ---- what travels -----------------------------------------------------------------------------

TEST_F(Sort, ObjectsStayWithTheirTextsThroughEverySortAndUndo)
{
    const Table start{list({"d", "h", "b"}), list({"a", "e", "i"}), list({"g", "c", "f"})};
    std::map<QString, int> payload;
    const std::pair<const char *, std::function<void(tvorgrid &)>> sorts[] = {
        {"SortCompleteRows", [](tvorgrid &g) { g.SortCompleteRows(1); }},
        {"SortCompleteColumns", [](tvorgrid &g) { g.SortCompleteColumns(2); }},
        {"SortCol", [](tvorgrid &g) { g.SortCol(0); }},
        {"SortRow", [](tvorgrid &g) { g.SortRow(0); }},
        {"SortAllRows", [](tvorgrid &g) { g.SortAllRows(); }},
        {"SortAllCols", [](tvorgrid &g) { g.SortAllCols(); }},
    };
    for (const QStringList &r : start)
        for (const QString &t : r)
            payload[t] = 0;
    const auto objectsMatch = [&](const char *what) {
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < grid.ColCount(); ++c)
                EXPECT_EQ(grid.Objects(c, r), &payload[grid.Cells(c, r)])
                    << what << " at " << c << "," << r;
    };
    for (const auto &[name, sort] : sorts) {
        fillGrid(grid, start);
        grid.setUseFixed(hfYes);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setObjects(c, r, &payload[grid.Cells(c, r)]);
        sort(grid);
        EXPECT_NE(texts(grid), start) << name << " moved nothing: the test proves nothing";
        objectsMatch(name);
        grid.UndoSort();
        EXPECT_EQ(texts(grid), start) << name;
        objectsMatch(name);
    }
}

TEST_F(Sort, RowMarksTravelWithCompleteRows)
{
    fillGrid(grid, {list({"c"}), list({"a"}), list({"b"})});
    grid.RowMarks()->Put(0, QStringLiteral("YN"));
    grid.RowMarks()->Put(2, QStringLiteral("NY"));
    grid.SortCompleteRows(0);
    EXPECT_EQ(marks(grid), list({"N", "NY", "YN"}));
    grid.UndoSort();
    EXPECT_EQ(marks(grid), list({"YN", "N", "NY"}));

    grid.SortCol(0);
    EXPECT_EQ(marks(grid), list({"YN", "N", "NY"})) << "a single column leaves the marks";
}

TEST_F(Sort, AllLineSortsAndTheirUndoResetEveryMarkButRowZero)
{
    const std::pair<const char *, std::function<void(tvorgrid &)>> sorts[] = {
        {"SortAllRows", [](tvorgrid &g) { g.SortAllRows(); }},
        {"SortAllCols", [](tvorgrid &g) { g.SortAllCols(); }},
    };
    for (const auto &[name, sort] : sorts) {
        fillGrid(grid, {list({"b", "a"}), list({"d", "c"}), list({"f", "e"})});
        for (int r = 0; r < 3; ++r)
            grid.RowMarks()->Put(r, QStringLiteral("Y"));
        sort(grid);
        EXPECT_EQ(marks(grid), list({"Y", "N", "N"})) << name;
        grid.RowMarks()->Put(2, QStringLiteral("YY"));
        grid.UndoSort();
        EXPECT_EQ(marks(grid), list({"Y", "N", "N"})) << name << " (undo)";
    }
}

TEST_F(Sort, CellsBeyondTheColumnCountTravelWithTheirRow)
{
    fillGrid(grid, {list({"b", "1"}), list({"a", "2"})});
    grid.setCells(4, 0, QStringLiteral("hidden b"));
    grid.SortCompleteRows(0);
    EXPECT_EQ(grid.Cells(4, 1), QStringLiteral("hidden b"));
    EXPECT_EQ(grid.Cells(4, 0), QString());
    grid.UndoSort();
    EXPECT_EQ(grid.Cells(4, 0), QStringLiteral("hidden b"));
}

// ---- refusals, each leaving everything as it was --------------------------------------------

TEST_F(Sort, LineIndexOutsideTheGridIsRefused)
{
    fillGrid(grid, {list({"c", "z", "1"}), list({"a", "y", "2"}), list({"b", "x", "3"}),
                    list({"d", "w", "4"})});
    grid.SortCompleteRows(1); // something for the refusals to leave alone
    const GridSnapshot before = snapshot(grid);
    const std::vector<int> indexBefore = sortIndexObjects(grid);
    struct Case
    {
        const char *what;
        std::function<void(tvorgrid &)> sort;
        const char *message;
    };
    const Case cases[] = {
        {"rows -1", [](tvorgrid &g) { g.SortCompleteRows(-1); },
         "column -1 is out of range (valid: 0..2)"},
        {"rows 3", [](tvorgrid &g) { g.SortCompleteRows(3); },
         "column 3 is out of range (valid: 0..2)"},
        {"columns -1", [](tvorgrid &g) { g.SortCompleteColumns(-1); },
         "row -1 is out of range (valid: 0..3)"},
        {"columns 4", [](tvorgrid &g) { g.SortCompleteColumns(4); },
         "row 4 is out of range (valid: 0..3)"},
        {"col 3", [](tvorgrid &g) { g.SortCol(3); }, "column 3 is out of range (valid: 0..2)"},
        {"col -7", [](tvorgrid &g) { g.SortCol(-7); }, "column -7 is out of range (valid: 0..2)"},
        {"row 4", [](tvorgrid &g) { g.SortRow(4); }, "row 4 is out of range (valid: 0..3)"},
        {"row huge", [](tvorgrid &g) { g.SortRow(2147483647); }, "row 2147483647 is out of range"},
    };
    for (const Case &c : cases) {
        try {
            c.sort(grid);
            ADD_FAILURE() << c.what << ": no exception";
        } catch (const ERangeError &e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.message)))
                << e.Message().toStdString();
        }
        EXPECT_EQ(snapshot(grid), before) << c.what;
        EXPECT_EQ(grid.SortState(), CompleteRows) << c.what;
        EXPECT_EQ(sortIndexObjects(grid), indexBefore) << c.what;
    }
}

TEST_F(Sort, FailedDateSortLeavesEverythingAndUndoStillTogglesThePreviousSort)
{
    fillGrid(grid,
             {list({"2024-01-02", "b"}), list({"2024-01-01", "a"}), list({"not a date", "c"})});
    grid.SortCompleteRows(1); // by text: b, a, c -> a, b, c
    grid.RowMarks()->Put(1, QStringLiteral("Y"));
    const GridSnapshot before = snapshot(grid);
    const std::vector<int> indexBefore = sortIndexObjects(grid);

    grid.setKeyType(soDate);
    for (const auto &sort : std::vector<std::function<void()>>{[&] { grid.SortCompleteRows(0); },
                                                               [&] { grid.SortCol(0); },
                                                               [&] { grid.SortAllCols(); }}) {
        EXPECT_THROW(sort(), EConvertError);
        EXPECT_EQ(snapshot(grid), before);
        EXPECT_EQ(grid.SortState(), CompleteRows);
        EXPECT_EQ(grid.SortFirstCol(), 0);
        EXPECT_EQ(sortIndexObjects(grid), indexBefore);
    }
    grid.UndoSort();
    EXPECT_EQ(column(grid, 1), list({"b", "a", "c"}));
}

TEST_F(Sort, UndoAfterTheCountsChangedIsRefused)
{
    const std::pair<const char *, std::function<void(tvorgrid &)>> changes[] = {
        {"a row more", [](tvorgrid &g) { g.setRowCount(4); }},
        {"a column fewer", [](tvorgrid &g) { g.setColCount(1); }},
    };
    for (const auto &[what, change] : changes) {
        fillGrid(grid, {list({"c", "3"}), list({"a", "1"}), list({"b", "2"})});
        grid.SortCompleteRows(0);
        change(grid);
        const GridSnapshot before = snapshot(grid);
        const std::vector<int> indexBefore = sortIndexObjects(grid);
        try {
            grid.UndoSort();
            ADD_FAILURE() << what << ": no exception";
        } catch (const EListError &e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String("can no longer be undone")))
                << e.Message().toStdString();
        }
        EXPECT_EQ(snapshot(grid), before) << what;
        EXPECT_EQ(sortIndexObjects(grid), indexBefore) << what;
    }
}

TEST_F(Sort, UndoWithARewrittenSortIndexIsRefused)
{
    const std::pair<const char *, std::function<void(TvorList &)>> damages[] = {
        {"an item fewer", [](TvorList &l) { l.Delete(0); }},
        {"a position outside", [](TvorList &l) { l.PutObject(1, reinterpret_cast<void *>(3)); }},
        {"a position twice", [](TvorList &l) { l.PutObject(0, l.GetObject(1)); }},
        {"a negative position", [](TvorList &l) { l.PutObject(2, reinterpret_cast<void *>(-1)); }},
    };
    for (const auto &[what, damage] : damages) {
        fillGrid(grid, {list({"c", "3"}), list({"a", "1"}), list({"b", "2"})});
        grid.RowMarks()->Put(0, QStringLiteral("Y"));
        grid.SortCompleteRows(0);
        damage(*grid.SortIndex());
        const GridSnapshot before = snapshot(grid);
        EXPECT_THROW(grid.UndoSort(), EListError) << what;
        EXPECT_EQ(snapshot(grid), before) << what;
    }
}

// Numeric keys are ordered without the keyed list when they can be; the order must
// still be exactly the keyed list's, ties and the texts at zero included.
TEST_F(Sort, NumericOrderIsTheKeyedListsOrderTiesIncluded)
{
    static const char *const numbers[] = {"1",  "2",   "2.0", "02",   "3x", "-1", "1e1",
                                          "10", "7 a", "7 b", "-0.5", "2",  "10"};
    static const char *const zeros[] = {"abc", "0", "Zed", "x1", ""};
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        const int n = int(rng() % 30) + 1;
        const int zeroCount = round % 3 == 0 ? 0 : (round % 3 == 1 ? 1 : int(rng() % 5) + 2);
        QStringList cells;
        for (int i = 0; i < n; ++i)
            cells << QString::fromUtf8(numbers[rng() % std::size(numbers)]);
        for (int k = 0; k < zeroCount && k < n; ++k)
            cells[int(rng() % n)] = QString::fromUtf8(zeros[rng() % std::size(zeros)]);
        Table rows;
        for (const QString &t : cells)
            rows.push_back(QStringList{t});
        fillGrid(grid, rows, 0, int(rng() % std::min(n, 3)));
        grid.setKeyType(soNumeric);
        grid.setKeyPos(int(rng() % 2) + 1);
        grid.setSortDescending(rng() % 2);

        TvorList reference;
        reference.SetKeyType(sNumeric);
        reference.SetKeyPos(grid.KeyPos());
        reference.setSortStart(grid.FixedRows());
        reference.setDescending(grid.SortDescending());
        for (int i = 0; i < n; ++i)
            reference.AddObject(cells[i], reinterpret_cast<void *>(std::intptr_t(i)));
        reference.SetSorted(true);
        QStringList expected;
        for (int i = 0; i < n; ++i)
            expected << reference.Get(i);

        grid.SortCol(0);
        ASSERT_EQ(column(grid, 0), expected) << "round " << round;
        // Equal texts could hide a different order of equal keys: SortIndex cannot.
        std::vector<int> referenceOrder, gridOrder(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            referenceOrder.push_back(int(reinterpret_cast<std::intptr_t>(reference.GetObject(i))));
        const std::vector<int> index = sortIndexObjects(grid);
        for (int i = 0; i < n; ++i)
            gridOrder[static_cast<size_t>(index[static_cast<size_t>(i)])] = i;
        ASSERT_EQ(gridOrder, referenceOrder) << "round " << round;
    }
}

TEST_F(Sort, AnOpenEditorShowsTheTextNowUnderIt)
{
    fillGrid(grid, {list({"h", "x"}), list({"c", "first"}), list({"a", "second"})}, 0, 1);
    grid.setOptions(grid.Options() | goEditing);
    grid.setCol(1);
    grid.setRow(1);
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    ASSERT_EQ(grid.InplaceEditor()->text(), QStringLiteral("first"));
    grid.SortCompleteRows(0);
    EXPECT_EQ(grid.InplaceEditor()->text(), QStringLiteral("second"));
    grid.UndoSort();
    EXPECT_EQ(grid.InplaceEditor()->text(), QStringLiteral("first"));
}

TEST_F(Sort, CompleteRowSortWithoutAMarkForEveryRowIsRefused)
{
    fillGrid(grid, {list({"c"}), list({"a"}), list({"b"})});
    grid.SortCol(0);
    grid.RowMarks()->Delete(2); // code may shrink the public mark list
    const GridSnapshot before = snapshot(grid);
    const std::vector<int> indexBefore = sortIndexObjects(grid);
    EXPECT_THROW(grid.SortCompleteRows(0), EListError);
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_EQ(grid.SortState(), SingleCol);
    EXPECT_EQ(sortIndexObjects(grid), indexBefore);
    grid.RowMarks()->Add(QStringLiteral("N")); // in step again for the teardown check
}

TEST_F(Sort, AnUndoRefusedHalfWayLeavesSortIndexAndTheKeptInverseAsTheyWere)
{
    // The undo of an untouched SortIndex hands it the inverse before the rows move; a
    // refusal during the move must give SortIndex its order back, and the undo after
    // the cause is mended must still bring the old order back.
    fillGrid(grid, {list({"c", "3"}), list({"a", "1"}), list({"b", "2"})});
    const GridSnapshot unsorted = snapshot(grid);
    grid.SortCompleteRows(0);
    const GridSnapshot sorted = snapshot(grid);
    const std::vector<int> indexBefore = sortIndexObjects(grid);
    grid.RowMarks()->Delete(2);
    EXPECT_THROW(grid.UndoSort(), EListError);
    EXPECT_EQ(sortIndexObjects(grid), indexBefore);
    EXPECT_EQ(grid.SortState(), CompleteRows);
    grid.RowMarks()->Add(QStringLiteral("N"));
    EXPECT_EQ(snapshot(grid), sorted);
    grid.UndoSort();
    EXPECT_EQ(snapshot(grid), unsorted);
    grid.UndoSort();
    EXPECT_EQ(snapshot(grid), sorted);
    EXPECT_EQ(sortIndexObjects(grid), indexBefore);
}

TEST_F(Sort, AnUndoAfterCellsRowsOrMarksChangedBringsEveryRowBackWithItsChanges)
{
    // The undo of an untouched sort puts the rows' old places back wholesale; what
    // happened to the rows in between must come back with them, whether or not it
    // changed which rows exist. Each change is made on the sorted grid at sorted row
    // `at` and expected after the undo at the row that came from there.
    struct Case
    {
        const char *name;
        int at;
        std::function<void(tvorgrid &)> change;
        std::function<void(GridSnapshot &, int original)> expect;
    };
    const Case cases[] = {
        {"a text rewritten", 1, [](tvorgrid &g) { g.setCells(1, 1, QStringLiteral("X")); },
         [](GridSnapshot &s, int r) { s.cells[size_t(r)][1] = QStringLiteral("X"); }},
        {"a first cell in a row that held none", 0,
         [](tvorgrid &g) { g.setCells(2, 0, QStringLiteral("new")); },
         [](GridSnapshot &s, int r) { s.cells[size_t(r)][2] = QStringLiteral("new"); }},
        {"every cell of a row emptied", 4,
         [](tvorgrid &g) {
             for (int c = 0; c < 3; ++c)
                 g.setCells(c, 4, QString());
         },
         [](GridSnapshot &s, int r) {
             for (int c = 0; c < 3; ++c)
                 s.cells[size_t(r)][c].clear();
         }},
        {"a mark set", 3, [](tvorgrid &g) { g.RowMarks()->Put(3, QStringLiteral("Y")); },
         [](GridSnapshot &s, int r) { s.rowMarks[r] = QStringLiteral("Y"); }},
    };
    // Sorted by column 0: "" (row 2, which holds no cell), a, b, c, d.
    const std::vector<int> order{2, 3, 1, 4, 0};
    for (const Case &c : cases) {
        tvorgrid g;
        fillGrid(g, {list({"d", "d1", "d2"}), list({"b", "b1", "b2"}), list({"", "", ""}),
                     list({"a", "a1", "a2"}), list({"c", "c1", "c2"})});
        g.SortCompleteRows(0); // once sorted and undone: the second sort is the one undone
        g.UndoSort();
        GridSnapshot expected = snapshot(g);
        g.SortCompleteRows(0);
        c.change(g);
        c.expect(expected, order[size_t(c.at)]);
        g.UndoSort();
        EXPECT_EQ(snapshot(g), expected) << c.name;
        EXPECT_EQ(g.cellStore().checkConsistency(), QString()) << c.name;
        g.UndoSort(); // and the redo takes the change along too
        g.UndoSort();
        EXPECT_EQ(snapshot(g), expected) << c.name << " (undone twice more)";
    }
}
