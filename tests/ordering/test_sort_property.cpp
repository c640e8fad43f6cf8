// Random grids, random sorts of every kind under random UseFixed and key settings.
// After each sort: the key line is in order from the sort start on, the cells (and
// objects and marks) moved exactly as SortIndex says and nothing else moved; UndoSort
// then restores every cell, object and mark, and a second UndoSort gives the sorted
// grid again.
#include "ordering/test_sort_grid.h"

#include "host/textconvert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

struct SortCase
{
    mSortState kind = Unsorted;
    int line = 0;
    HandleFixed useFixed = hfNot;
    TMSortType keyType = soString;
    int keyPos = 1, keyLen = 2147483647;
    bool descending = false;
};

// Whether the line argument of this kind is a column.
bool ordersRowsKind(mSortState kind)
{
    return kind == CompleteRows || kind == SingleCol;
}

QString randomText(std::mt19937 &rng, TMSortType type)
{
    if (type == soDate)
        return QStringLiteral("2024-0%1-%2")
            .arg(int(rng() % 9) + 1)
            .arg(int(rng() % 28) + 1, 2, 10, QLatin1Char('0'));
    // Few distinct texts, so that equal keys are common; numbers with and without
    // trailing words, texts without numbers, empty cells and mixed case.
    static const char *const pool[] = {"",   "a",     "B",   "b",    "abc", "Abd",  "10",
                                       "9",  "-2.5x", "0",   "007q", "x1",  "y22",  "Zz",
                                       "3e", "1e2",   "zz9", ".5",   "B12", "b12c", "ä"};
    return QString::fromUtf8(pool[rng() % (sizeof pool / sizeof *pool)]);
}

QString keyOf(const QString &text, int keyPos, int keyLen)
{
    return text.mid(std::max(keyPos, 1) - 1, std::max(keyLen, 1));
}

// The key order a sort must produce, written out independently of the keyed list.
int compareKeys(const QString &a, const QString &b, TMSortType type)
{
    switch (type) {
    case soString:
        return AnsiCompareText(a, b);
    case soStringCaseSensitive:
        return QString::compare(a, b, Qt::CaseSensitive);
    case soNumeric: {
        const double x = LeadingNumber(a), y = LeadingNumber(b);
        if (x != y) return x < y ? -1 : 1;
        return x == 0 ? AnsiCompareText(a, b) : 0;
    }
    case soDate: {
        const double x = StrToDateTime(a), y = StrToDateTime(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    }
    return 0;
}

std::vector<int> inverse(const std::vector<int> &positions, size_t from, size_t length)
{
    std::vector<int> order(length);
    for (size_t k = 0; k < length; ++k)
        order[static_cast<size_t>(positions[from + k])] = static_cast<int>(k);
    return order;
}

void runSort(tvorgrid &grid, const SortCase &s)
{
    switch (s.kind) {
    case CompleteRows:
        grid.SortCompleteRows(s.line);
        break;
    case CompleteCols:
        grid.SortCompleteColumns(s.line);
        break;
    case SingleCol:
        grid.SortCol(s.line);
        break;
    case SingleRow:
        grid.SortRow(s.line);
        break;
    case AllRows:
        grid.SortAllRows();
        break;
    case AllCols:
        grid.SortAllCols();
        break;
    case Unsorted:
        break;
    }
}

// Checks the sorted grid against the one before, as SortIndex describes the move.
void checkMove(const tvorgrid &grid, const SortCase &s, const GridSnapshot &before,
               const GridSnapshot &after, const std::string &what)
{
    const int cols = grid.ColCount(), rows = grid.RowCount();
    const int fixedCols = grid.GetFixedCols(), fixedRows = grid.GetFixedRows();
    const std::vector<int> index = sortIndexObjects(grid);
    // The cell (c, r) after the sort, from where it came: (fromCol, fromRow).
    auto expectFrom = [&](int c, int r, int fromCol, int fromRow) {
        const auto rc = static_cast<size_t>(r), cc = static_cast<size_t>(c);
        const auto fr = static_cast<size_t>(fromRow), fc = static_cast<size_t>(fromCol);
        EXPECT_EQ(after.cells[rc][c], before.cells[fr][fromCol])
            << what << " cell " << c << "," << r;
        EXPECT_EQ(after.objects[rc][cc], before.objects[fr][fc])
            << what << " object " << c << "," << r;
    };
    // The key line (through `keyAt`) in order from `start` on, and the positions
    // before `start` left alone.
    auto expectOrdered = [&](const std::vector<int> &order, int start, auto keyAt) {
        for (int i = 0; i < std::min(start, int(order.size())); ++i)
            EXPECT_EQ(order[static_cast<size_t>(i)], i) << what << " moved " << i;
        for (int i = std::max(start, 0); i + 1 < int(order.size()); ++i) {
            const int c = compareKeys(keyOf(keyAt(i), s.keyPos, s.keyLen),
                                      keyOf(keyAt(i + 1), s.keyPos, s.keyLen), s.keyType);
            EXPECT_TRUE(s.descending ? c >= 0 : c <= 0)
                << what << " out of order at " << i << ": " << keyAt(i).toStdString() << " / "
                << keyAt(i + 1).toStdString() << " (KeyPos " << s.keyPos << ", KeyLen " << s.keyLen
                << (s.descending ? ", descending" : "") << ", fixed " << fixedCols << "/"
                << fixedRows << ")" << [&] {
                       std::string line;
                       for (int k = 0; k < int(order.size()); ++k)
                           line += " [" + keyAt(k).toStdString() + "]";
                       return line;
                   }();
        }
    };
    const bool fixedRowsSort = s.useFixed != hfYes;
    switch (s.kind) {
    case CompleteRows:
    case SingleCol: {
        ASSERT_EQ(index.size(), static_cast<size_t>(rows)) << what;
        const std::vector<int> order = inverse(index, 0, index.size());
        const int firstCol = s.kind == SingleCol ? -1 : (s.useFixed == hfNot ? fixedCols : 0);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const bool moves = s.kind == SingleCol ? c == s.line : c >= firstCol;
                expectFrom(c, r, c, moves ? order[static_cast<size_t>(r)] : r);
            }
        for (int r = 0; r < rows; ++r)
            EXPECT_EQ(after.rowMarks[r],
                      before.rowMarks[s.kind == CompleteRows ? order[static_cast<size_t>(r)] : r])
                << what << " mark " << r;
        // The key line itself stays when it lies in a fixed band that does not move,
        // so its keys are read where they stood, in the order the sort gave.
        expectOrdered(order, fixedRowsSort ? fixedRows : 0, [&](int i) {
            return before.cells[static_cast<size_t>(order[static_cast<size_t>(i)])][s.line];
        });
        break;
    }
    case CompleteCols:
    case SingleRow: {
        ASSERT_EQ(index.size(), static_cast<size_t>(cols)) << what;
        const std::vector<int> order = inverse(index, 0, index.size());
        const int firstRow = s.kind == SingleRow ? -1 : (s.useFixed == hfNot ? fixedRows : 0);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const bool moves = s.kind == SingleRow ? r == s.line : r >= firstRow;
                expectFrom(c, r, moves ? order[static_cast<size_t>(c)] : c, r);
            }
        EXPECT_EQ(after.rowMarks, before.rowMarks) << what;
        expectOrdered(order, fixedRowsSort ? fixedCols : 0, [&](int i) {
            return before.cells[static_cast<size_t>(s.line)][order[static_cast<size_t>(i)]];
        });
        break;
    }
    case AllRows:
    case AllCols: {
        const bool byRows = s.kind == AllRows;
        const int first = s.useFixed == hfNot ? (byRows ? fixedRows : fixedCols) : 0;
        const int length = byRows ? cols : rows;
        const int lines = (byRows ? rows : cols) - first;
        ASSERT_EQ(index.size(), static_cast<size_t>(lines * length)) << what;
        for (int l = 0; l < first; ++l)
            for (int i = 0; i < length; ++i)
                expectFrom(byRows ? i : l, byRows ? l : i, byRows ? i : l, byRows ? l : i);
        for (int b = 0; b < lines; ++b) {
            const int l = first + b;
            const std::vector<int> order =
                inverse(index, static_cast<size_t>(b * length), static_cast<size_t>(length));
            for (int i = 0; i < length; ++i) {
                const int from = order[static_cast<size_t>(i)];
                expectFrom(byRows ? i : l, byRows ? l : i, byRows ? from : l, byRows ? l : from);
            }
            expectOrdered(order, fixedRowsSort ? (byRows ? fixedCols : fixedRows) : 0, [&](int i) {
                return byRows ? after.cells[static_cast<size_t>(l)][i]
                              : after.cells[static_cast<size_t>(i)][l];
            });
        }
        for (int r = 1; r < rows; ++r)
            EXPECT_EQ(after.rowMarks[r], QStringLiteral("N")) << what << " mark " << r;
        EXPECT_EQ(after.rowMarks[0], before.rowMarks[0]) << what;
        break;
    }
    case Unsorted:
        break;
    }
}

} // namespace

TEST(SortProperty, EverySortMovesAsSortIndexSaysAndUndoTogglesExactly)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 400; ++round) {
        tvorgrid grid;
        SortCase s;
        s.keyType = static_cast<TMSortType>(rng() % 4);
        const int cols = int(rng() % 6) + 1, rows = int(rng() % 8) + 1;
        grid.setFixedCols(0);
        grid.setFixedRows(0);
        grid.setColCount(cols);
        grid.setRowCount(rows);
        grid.setFixedCols(int(rng() % std::min(cols, 3)));
        grid.setFixedRows(int(rng() % std::min(rows, 3)));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < cols; ++c) {
                grid.setCells(c, r, randomText(rng, s.keyType));
                if (rng() % 3 != 0)
                    grid.setObjects(c, r, reinterpret_cast<void *>(std::uintptr_t(1 + r * 64 + c)));
            }
            QString mark;
            for (int k = int(rng() % 3) + 1; k > 0; --k)
                mark += rng() % 2 ? QLatin1Char('Y') : QLatin1Char('N');
            grid.RowMarks()->Put(r, mark);
        }
        s.kind = static_cast<mSortState>(rng() % 6 + 1);
        s.line = int(rng() % (ordersRowsKind(s.kind) ? cols : rows));
        s.useFixed = static_cast<HandleFixed>(rng() % 3);
        if (s.keyType != soDate) {
            s.keyPos = int(rng() % 4); // 0 acts as 1
            s.keyLen = rng() % 2 ? 2147483647 : int(rng() % 3);
        }
        s.descending = rng() % 2;
        grid.setUseFixed(s.useFixed);
        grid.setKeyType(s.keyType);
        grid.setKeyPos(s.keyPos);
        grid.setKeyLen(s.keyLen);
        grid.setSortDescending(s.descending);
        const std::string what = "round " + std::to_string(round) + " kind " +
                                 std::to_string(s.kind) + " line " + std::to_string(s.line) +
                                 " fixed " + std::to_string(s.useFixed) + " key " +
                                 std::to_string(s.keyType);

        const GridSnapshot before = snapshot(grid);
        runSort(grid, s);
        EXPECT_EQ(grid.SortState(), s.kind) << what;
        const GridSnapshot sorted = snapshot(grid);
        checkMove(grid, s, before, sorted, what);
        grid.checkConsistency();
        ASSERT_EQ(grid.cellStore().checkConsistency(), QString()) << what;

        grid.UndoSort();
        GridSnapshot expected = before;
        if (s.kind == AllRows || s.kind == AllCols) expected.rowMarks = sorted.rowMarks;
        ASSERT_EQ(snapshot(grid), expected) << what << " (undo)";
        grid.UndoSort();
        ASSERT_EQ(snapshot(grid), sorted) << what << " (redo)";
        ASSERT_EQ(grid.cellStore().checkConsistency(), QString()) << what;
    }
}
