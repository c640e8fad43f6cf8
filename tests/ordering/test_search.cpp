// Searching the grid: scan orders and directions, the match rules of the key types,
// the range by UseFixed, turning round, date errors, and ranges cut by removed lines.
#include "grid/vorGrid.h"

#include <QMetaObject>
#include <QMetaProperty>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace vorgrd;

namespace {

using Cell = std::pair<int, int>; // (col, row)
using Cells = std::vector<Cell>;

// A grid without fixed cells holding `rows` (each a list of cell texts).
void fill(tvorgrid &grid, const std::vector<QStringList> &rows, int fixedCols = 0,
          int fixedRows = 0)
{
    // Fixed counts first: a count is always kept above its fixed count.
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setColCount(int(rows.front().size()));
    grid.setRowCount(int(rows.size()));
    grid.setFixedCols(fixedCols);
    grid.setFixedRows(fixedRows);
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[r].size()); ++c)
            grid.setCells(c, r, rows[r][c]);
}

// Every cell a search reports: what `start` reports, then FindNext's reports until
// false. Checks that the failing call gives (-1, -1).
template <class Start> Cells collect(tvorgrid &grid, Start start)
{
    Cells found;
    int col = 0, row = 0;
    bool ok = start(col, row);
    while (ok) {
        found.emplace_back(col, row);
        ok = grid.FindNext(col, row);
        if (found.size() > 1000) break; // a search that never ends fails the test below
    }
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    return found;
}

// What FindNext reports from here on.
Cells remaining(tvorgrid &grid)
{
    return collect(grid, [&](int &c, int &r) { return grid.FindNext(c, r); });
}

Cells findAll(tvorgrid &grid, const QString &text, bool byRows)
{
    return collect(grid, [&](int &c, int &r) { return grid.FindFirst(text, byRows, c, r); });
}

const std::vector<QStringList> kExample = {{"a", "b", "a"}, {"a", "x", "y"}};

} // namespace

// ---- scan orders -------------------------------------------------------------------------

TEST(Search, FindNextBeforeAnySearchReportsNothing)
{
    tvorgrid grid;
    int col = 5, row = 5;
    EXPECT_FALSE(grid.FindNext(col, row));
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    EXPECT_FALSE(grid.SearchExists());
}

TEST(Search, TheFourScanOrdersReportMatchesInTheirOrder)
{
    struct Case
    {
        bool byRows;
        bool backwards;
        Cells expected;
    };
    const Case cases[] = {
        {true, false, {{0, 0}, {2, 0}, {0, 1}}},
        {false, false, {{0, 0}, {0, 1}, {2, 0}}},
        {true, true, {{0, 1}, {2, 0}, {0, 0}}},
        {false, true, {{2, 0}, {0, 1}, {0, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "byRows " << c.byRows << " backwards " << c.backwards);
        tvorgrid grid;
        fill(grid, kExample);
        grid.SetReverseSearch(c.backwards);
        EXPECT_EQ(findAll(grid, "A", c.byRows), c.expected);
        // Exhausted: stays so.
        int col = 0, row = 0;
        EXPECT_FALSE(grid.FindNext(col, row));
        EXPECT_TRUE(grid.SearchExists());
    }
}

TEST(Search, AMatchInTheLastCellEndsTheSearchAtOnce)
{
    tvorgrid grid;
    fill(grid, {{"x", "x"}, {"x", "hit"}});
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirst("hit", true, col, row));
    EXPECT_EQ(Cell(col, row), Cell(1, 1));
    EXPECT_FALSE(grid.FindNext(col, row));
    EXPECT_EQ(Cell(col, row), Cell(-1, -1));
}

TEST(Search, SearchingNeitherMovesTheCurrentCellNorChangesCells)
{
    tvorgrid grid;
    fill(grid, kExample);
    grid.setCol(1);
    grid.setRow(1);
    EXPECT_EQ(findAll(grid, "a", true).size(), 3u);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Cells(0, 0), "a");
}

TEST(Search, FindFirstInRowAndInColScanOneLine)
{
    tvorgrid grid;
    fill(grid, {{"a", "a", "b"}, {"a", "x", "a"}, {"b", "a", "a"}});
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInRow("a", 1, c, r); }),
              Cells({{0, 1}, {2, 1}}));
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInCol("a", 2, c, r); }),
              Cells({{2, 1}, {2, 2}}));
    grid.SetReverseSearch(true);
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInCol("a", 0, c, r); }),
              Cells({{0, 1}, {0, 0}}));
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInRow("x", 1, c, r); }),
              Cells({{1, 1}}));
}

// ---- the match rule ----------------------------------------------------------------------

TEST(Search, OneCellMatchesByKeyTypeKeyWindowAndSubstringMode)
{
    struct Case
    {
        TMSortType type;
        bool substring;
        int keyPos, keyLen;
        QString search, cell;
        bool match;
    };
    const int all = 2147483647;
    const Case cases[] = {
        // exact text, case-insensitive or not
        {soString, false, 1, all, "ABC", "abc", true},
        {soString, false, 1, all, "ab", "abc", false},
        {soStringCaseSensitive, false, 1, all, "ABC", "abc", false},
        {soStringCaseSensitive, false, 1, all, "abc", "abc", true},
        // substring mode: upper-cased a-z only, case-sensitive for the other type
        {soString, true, 1, all, "ab", "xABy", true},
        {soStringCaseSensitive, true, 1, all, "ab", "xABy", false},
        {soStringCaseSensitive, true, 1, all, "AB", "xABy", true},
        {soString, true, 1, all, "\u00e9", "\u00c9t\u00e9", true},
        {soString, true, 1, all, "\u00e9", "\u00c9T\u00c9", false},
        {soString, true, 1, all, "abcd", "abc", false},
        // the empty text: no substring anywhere; as exact key it matches empty keys
        {soString, true, 1, all, "", "", false},
        {soString, true, 1, all, "", "abc", false},
        {soStringCaseSensitive, true, 1, all, "", "abc", false},
        {soString, false, 1, all, "", "", true},
        {soString, false, 1, all, "", "abc", false},
        // the key window; substring mode ignores it
        {soString, false, 2, 3, "123", "x123y", true},
        {soString, false, 2, 3, "123", "ab123", false},
        {soString, true, 2, 3, "123", "ab123", true},
        {soString, false, 0, 3, "abc", "abcdef", true}, // a start below 1 counts as 1
        {soString, false, -5, 2, "ab", "abcdef", true},
        {soString, false, 1, 0, "", "abc", true}, // no length: the empty key
        {soString, false, 1, -1, "", "abc", true},
        {soString, false, 4, all, "", "abc", true}, // start beyond the end
        {soString, false, 3, all, "c", "abc", true},
        {soStringCaseSensitive, false, all, all, "", "abc", true},
        // numbers: the leading number of the key
        {soNumeric, false, 1, all, "12", "12", true},
        {soNumeric, false, 1, all, "12", "12.0", true},
        {soNumeric, false, 1, all, "12", "12kg", true},
        {soNumeric, false, 1, all, "12", "13", false},
        {soNumeric, true, 1, all, "12", "112", false}, // no substring mode for numbers
        {soNumeric, false, 1, all, "abc", "x", true},
        {soNumeric, false, 1, all, "abc", "", true},
        {soNumeric, false, 1, all, "abc", "0", true},
        {soNumeric, false, 1, all, "abc", "5", false},
        {soNumeric, false, 3, 2, "45", "1245.7", true},
        // dates
        {soDate, false, 1, all, "2024-01-05", "2024-01-05", true},
        {soDate, false, 1, all, "2024-01-05", "2024/01/05 00:00", true},
        {soDate, false, 1, all, "2024-01-05", "2024-01-06", false},
        {soDate, true, 1, all, "2024-01-05", "2024-01-05", true},
        {soDate, false, 3, 10, "2024-01-05", "d:2024-01-05!", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << int(c.type) << " substring " << c.substring << " window "
                     << c.keyPos << "/" << c.keyLen << " search '" << c.search.toStdString()
                     << "' cell '" << c.cell.toStdString() << "'");
        tvorgrid grid;
        fill(grid, {{c.cell}});
        grid.setKeyType(c.type);
        grid.setSearchSubstring(c.substring);
        grid.setKeyPos(c.keyPos);
        grid.setKeyLen(c.keyLen);
        int col = 0, row = 0;
        EXPECT_EQ(grid.FindFirst(c.search, true, col, row), c.match);
        EXPECT_EQ(Cell(col, row), c.match ? Cell(0, 0) : Cell(-1, -1));
    }
}

TEST(Search, ASubstringSearchKeepsItsTextUpperCasedForTheRestOfTheSearch)
{
    tvorgrid grid;
    fill(grid, {{"ab", "x", "AB", "ab"}});
    grid.setSearchSubstring(true);
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirst("ab", true, col, row));
    EXPECT_EQ(Cell(col, row), Cell(0, 0));
    // The stored text is now "AB": a case-sensitive continuation looks for that.
    grid.setKeyType(soStringCaseSensitive);
    ASSERT_TRUE(grid.FindNext(col, row));
    EXPECT_EQ(Cell(col, row), Cell(2, 0));
    EXPECT_FALSE(grid.FindNext(col, row));
}

// ---- the range -----------------------------------------------------------------------------

TEST(Search, UseFixedDecidesWhichFixedBandsAreSearched)
{
    struct Case
    {
        HandleFixed useFixed;
        bool byRows;
        size_t count;
        bool row0, col0; // whether row 0 / column 0 appear among the matches
    };
    const Case cases[] = {
        {hfNot, true, 4, false, false},  {hfNot, false, 4, false, false},
        {hfSmart, true, 6, false, true}, {hfSmart, false, 6, true, false},
        {hfYes, true, 9, true, true},    {hfYes, false, 9, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "UseFixed " << int(c.useFixed) << " byRows " << c.byRows);
        tvorgrid grid;
        fill(grid, {{"a", "a", "a"}, {"a", "a", "a"}, {"a", "a", "a"}}, 1, 1);
        grid.setUseFixed(c.useFixed);
        const Cells found = findAll(grid, "a", c.byRows);
        EXPECT_EQ(found.size(), c.count);
        bool row0 = false, col0 = false;
        for (const Cell &cell : found) {
            row0 = row0 || cell.second == 0;
            col0 = col0 || cell.first == 0;
        }
        EXPECT_EQ(row0, c.row0);
        EXPECT_EQ(col0, c.col0);
    }
}

TEST(Search, OneLineSearchesLeaveOutTheFixedBandOnlyUnderHfNot)
{
    tvorgrid grid;
    fill(grid, {{"a", "a", "a"}, {"a", "a", "a"}, {"a", "a", "a"}}, 1, 1);
    // The line asked for is searched even when it is itself fixed.
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInRow("a", 0, c, r); }),
              Cells({{1, 0}, {2, 0}}));
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInCol("a", 1, c, r); }),
              Cells({{1, 1}, {1, 2}}));
    grid.setUseFixed(hfSmart);
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInRow("a", 2, c, r); }),
              Cells({{0, 2}, {1, 2}, {2, 2}}));
    EXPECT_EQ(collect(grid, [&](int &c, int &r) { return grid.FindFirstInCol("a", 2, c, r); }),
              Cells({{2, 0}, {2, 1}, {2, 2}}));
}

TEST(Search, ALineOutsideTheGridIsRefusedAndTheRunningSearchGoesOn)
{
    tvorgrid grid;
    fill(grid, kExample);
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirst("a", true, col, row));
    const std::pair<bool, int> bad[] = {{true, -1}, {true, 2}, {false, -1}, {false, 3}};
    for (const auto &[inRow, index] : bad) {
        SCOPED_TRACE(index);
        try {
            if (inRow)
                grid.FindFirstInRow("x", index, col, row);
            else
                grid.FindFirstInCol("x", index, col, row);
            ADD_FAILURE() << "no exception";
        } catch (const ERangeError &e) {
            EXPECT_TRUE(e.Message().contains(QString::number(index))) << e.what();
            EXPECT_TRUE(e.Message().contains(inRow ? "0..1" : "0..2")) << e.what();
        }
        EXPECT_EQ(Cell(col, row), Cell(-1, -1));
    }
    // The search for "a" is where it was.
    EXPECT_EQ(remaining(grid), Cells({{2, 0}, {0, 1}}));
}

TEST(Search, RemovedLinesAreNeverReadAfterTheSearchStarted)
{
    // Shrinking the counts keeps the cells beyond them in the store, so a search that
    // did not cut its range to the counts would report them.
    const std::vector<QStringList> all = {
        {"a", "a", "a", "a", "a"}, {"a", "a", "a", "a", "a"}, {"a", "a", "a", "a", "a"}};
    struct Case
    {
        bool byRows, backwards;
        Cells expected; // the start's match, then what FindNext reports in the 2 x 2 grid
    };
    const Case cases[] = {
        {true, false, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {false, false, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
        {true, true, {{4, 2}, {1, 1}, {0, 1}, {1, 0}, {0, 0}}},
        {false, true, {{4, 2}, {1, 1}, {1, 0}, {0, 1}, {0, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "byRows " << c.byRows << " backwards " << c.backwards);
        tvorgrid grid;
        fill(grid, all);
        grid.SetReverseSearch(c.backwards);
        int col = 0, row = 0;
        ASSERT_TRUE(grid.FindFirst("a", c.byRows, col, row));
        Cells found = {{col, row}};
        grid.setColCount(2);
        grid.setRowCount(2);
        while (grid.FindNext(col, row))
            found.emplace_back(col, row);
        EXPECT_EQ(found, c.expected);
    }
}

TEST(Search, ARangeLeftWithoutCellsEndsTheSearch)
{
    tvorgrid grid;
    fill(grid, {{"a", "a"}, {"a", "a"}, {"a", "a"}, {"a", "a"}});
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirstInRow("a", 3, col, row));
    grid.setRowCount(2); // row 3 is gone
    EXPECT_FALSE(grid.FindNext(col, row));
    EXPECT_EQ(Cell(col, row), Cell(-1, -1));
    // Disarmed: the row coming back does not revive the search.
    grid.setRowCount(4);
    EXPECT_FALSE(grid.FindNext(col, row));
    // Turning round re-arms it over the same range.
    grid.SetReverseSearch(true);
    EXPECT_EQ(remaining(grid), Cells({{1, 3}, {0, 3}}));
}

// ---- turning round -------------------------------------------------------------------------

TEST(Search, TurningAnExhaustedSearchRoundStartsItAgainFromTheOtherEnd)
{
    tvorgrid grid;
    fill(grid, kExample);
    EXPECT_EQ(findAll(grid, "a", true).size(), 3u);
    grid.SetReverseSearch(true);
    EXPECT_EQ(remaining(grid), Cells({{0, 1}, {2, 0}, {0, 0}}));
    grid.SetReverseSearch(false);
    EXPECT_EQ(remaining(grid), Cells({{0, 0}, {2, 0}, {0, 1}}));
}

TEST(Search, TurningARunningSearchRoundGoesOnBeforeTheLastMatchWithoutRepeatingIt)
{
    // Every cell matches, so the cell after the last match matches too: scanning from
    // the cursor (one past the match) would swallow that cell and report the match again.
    tvorgrid grid;
    fill(grid, {{"a", "a", "a", "a", "a"}});
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirst("a", true, col, row));
    ASSERT_TRUE(grid.FindNext(col, row));
    ASSERT_TRUE(grid.FindNext(col, row));
    EXPECT_EQ(Cell(col, row), Cell(2, 0));
    grid.SetReverseSearch(true);
    ASSERT_TRUE(grid.FindNext(col, row));
    EXPECT_EQ(Cell(col, row), Cell(1, 0));
    grid.SetReverseSearch(false);
    EXPECT_EQ(remaining(grid), Cells({{2, 0}, {3, 0}, {4, 0}}));
}

TEST(Search, TurningRoundAfterAMatchInTheFirstCellEndsTheSearch)
{
    tvorgrid grid;
    fill(grid, {{"a", "a", "b"}});
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirst("a", true, col, row));
    grid.SetReverseSearch(true);
    EXPECT_FALSE(grid.FindNext(col, row));
    // Now exhausted: the next turn re-arms from the start.
    grid.SetReverseSearch(false);
    EXPECT_EQ(remaining(grid), Cells({{0, 0}, {1, 0}}));
}

TEST(Search, SettingTheSameDirectionOrTurningBeforeAnySearchChangesNothing)
{
    tvorgrid grid;
    fill(grid, kExample);
    grid.SetReverseSearch(true);
    grid.SetReverseSearch(false);
    int col = 0, row = 0;
    EXPECT_FALSE(grid.FindNext(col, row));
    EXPECT_FALSE(grid.SearchExists());
    ASSERT_TRUE(grid.FindFirst("a", true, col, row));
    grid.SetReverseSearch(false);
    EXPECT_EQ(remaining(grid), Cells({{2, 0}, {0, 1}}));
}

// ---- date errors ---------------------------------------------------------------------------

TEST(Search, ASearchTextThatIsNoDateRaisesBeforeAnyCellIsTested)
{
    tvorgrid grid;
    fill(grid, {{"x", "when"}});
    grid.setKeyType(soDate);
    int col = 0, row = 0;
    EXPECT_THROW(grid.FindFirst("when", true, col, row), EConvertError);
    EXPECT_TRUE(grid.SearchExists());
    EXPECT_THROW(grid.FindNext(col, row), EConvertError);
    // Still armed at the first cell: as text, the search goes on from there.
    grid.setKeyType(soString);
    EXPECT_EQ(remaining(grid), Cells({{1, 0}}));
}

TEST(Search, ACellKeyThatIsNoDateRaisesAndKeepsThePositionOnThatCell)
{
    tvorgrid grid;
    fill(grid, {{"2024-01-05", "", "2024-01-05"}});
    grid.setKeyType(soDate);
    int col = 0, row = 0;
    ASSERT_TRUE(grid.FindFirst("2024-01-05", true, col, row));
    EXPECT_EQ(Cell(col, row), Cell(0, 0));
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            grid.FindNext(col, row);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError &e) {
            EXPECT_TRUE(e.Message().contains("cell 1, 0")) << e.what();
        }
    }
    grid.setCells(1, 0, "2023-12-31");
    EXPECT_EQ(remaining(grid), Cells({{2, 0}}));
}

// ---- by name -------------------------------------------------------------------------------

TEST(Search, TheSearchOperationsAreCallableByName)
{
    tvorgrid grid;
    fill(grid, kExample);
    const QMetaObject *meta = grid.metaObject();
    for (const char *signature :
         {"FindFirst(QString,bool,int&,int&)", "FindFirstInRow(QString,int,int&,int&)",
          "FindFirstInCol(QString,int,int&,int&)", "FindNext(int&,int&)"})
        EXPECT_GE(meta->indexOfMethod(signature), 0) << signature;

    bool found = false;
    int col = 0, row = 0;
    ASSERT_TRUE(QMetaObject::invokeMethod(&grid, "FindFirst", Q_RETURN_ARG(bool, found),
                                          Q_ARG(QString, "b"), Q_ARG(bool, true), Q_ARG(int &, col),
                                          Q_ARG(int &, row)));
    EXPECT_TRUE(found);
    EXPECT_EQ(Cell(col, row), Cell(1, 0));
    EXPECT_TRUE(meta->property(meta->indexOfProperty("ReverseSearch")).write(&grid, true));
    EXPECT_TRUE(grid.ReverseSearch());
}
