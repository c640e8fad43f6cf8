// SortCompleteRows and UndoSort on 100,000, 1,000,000 and 10,000,000 rows x 10
// columns (the grid built once per size and freed before the next), sorted by a
// numeric column, against, in the same run and on the same data:
//   qt     a QStandardItemModel (the same texts; the key column also carries its
//          number under Qt::UserRole) seen through a QSortFilterProxyModel with that
//          sort role: sort(0) is the sort; sort(-1), which brings back the source
//          order, is the undo. This is what a Qt programmer would write. Not built
//          for 10,000,000 rows (its ten million items per million rows would take
//          more memory than a shared machine has to spare).
//   limit  the physical limit: std::sort of the keys, converted beforehand and paired
//          with their row index, plus applying the permutation to the grid's row
//          store (CellStore::permuteRows). Its undo is applying the inverse
//          permutation to the row store, the order being known.
// Ours converts every key from its text, orders it, moves the rows and their marks,
// and leaves the inverse permutation in SortIndex; its undo, with nothing changed
// since the sort, puts back the row table the sort replaced and leaves SortIndex
// inverted again. undo_moved is the same undo after rows were moved between (and put
// back), which moves every row back instead.
//
// search (at the sizes with the Qt peer) looks for a value no cell holds, so that it
// reads the whole column once: ours FindFirstInCol, by number (KeyType soNumeric) in
// column 0 and as a case-insensitive part of the text (soString, SearchSubstring) in
// column 2; the peer QAbstractItemModel::match on the model, Qt::MatchExactly on the
// numbers under Qt::UserRole and Qt::MatchContains on the texts. Prints
//   ratio search_number.vs_qt, search_substring.vs_qt
//
// sort_texts repeats ours and the limit on column 1, whose keys include texts without
// a number (they sort at zero and are ordered among themselves as text).
//
// Each timed region is one operation, measured as the thread's CPU time (the machine
// is shared; wall time would count other programs). Whatever brings the data back to
// its starting state runs outside the timed region. Memory is the heap in use
// (mallinfo2) taken by the grid, measured after its first sort and undo, so that
// SortIndex holds its permutation. Prints, as ours / theirs,
//   ratio sortrows.vs_qt, sortrows.vs_limit, undosort.vs_qt, undosort.vs_limit,
//         undosort_moved.vs_limit, sortrows_texts.vs_limit   at 1,000,000 rows
//   ratio sortrows_<size>.vs_limit, ...                at the other sizes
// and the growth from one size to the next, against what n log n (sorts) and n
// (undo, memory per cell: constant) allow:
//   ratio scale.sortrows_10M_vs_1M, scale.undosort_10M_vs_1M,
//         scale.memory_per_cell_10M_vs_1M, and the same from 100k to 1M.
// --rows=N,N,... chooses other sizes (the first two named ratios need 1000000),
// --no-qt leaves the peer out.
#include "manualtime.h"
#include "grid/vorGrid.h"
#include "host/textconvert.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vorgrd;
using vorgrd::bench::RatioReporter;
using vorgrd::bench::threadSeconds;
using vorgrd::bench::timed;

namespace {

constexpr int Cols = 10;

// Bytes of heap in use, small blocks and mapped ones.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks) + double(info.hblkhd);
}

std::string sizeLabel(int rows)
{
    if (rows % 1'000'000 == 0) return std::to_string(rows / 1'000'000) + "M";
    if (rows % 1'000 == 0) return std::to_string(rows / 1'000) + "k";
    return std::to_string(rows);
}

// The texts of a cell: column 0, the key column, holds numbers with two decimals
// (ties are common: n draws from 10,000,000 values); column 1 the same kind of numbers
// with one row in twenty "n/a", a text without a number that sorts at zero; the
// others short labels.
// (Written digit by digit rather than with QString::arg and QString::number: the same
// texts in a fraction of the time, which matters for a hundred million cells.)
char *putDigits(char *out, unsigned value, int atLeast = 1)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0 || n < atLeast);
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

QString cellText(QRandomGenerator &random, int col, int row)
{
    char text[32];
    char *end = text;
    if (col > 1) {
        *end++ = 'r';
        end = putDigits(end, unsigned(row));
        *end++ = 'c';
        end = putDigits(end, unsigned(col));
    } else if (col == 1 && random.bounded(20) == 0) {
        return QStringLiteral("n/a");
    } else {
        const unsigned hundredths = random.bounded(10'000'000u);
        end = putDigits(end, hundredths / 100);
        *end++ = '.';
        end = putDigits(end, hundredths % 100, 2);
    }
    return QString::fromLatin1(text, qsizetype(end - text));
}

struct Data
{
    int rows = 0;
    std::unique_ptr<tvorgrid> grid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QSortFilterProxyModel> proxy;
    // The numbers of columns 0 and 1, in the unsorted row order.
    std::vector<double> keys[2];
    double gridBytes = 0; // heap the grid takes, SortIndex filled
};

Data *data = nullptr;

void buildGrid(int rows)
{
    const double heapBefore = heapInUse();
    QRandomGenerator random(20261207);
    data->rows = rows;
    data->grid = std::make_unique<tvorgrid>();
    tvorgrid &grid = *data->grid;
    grid.setColCount(Cols);
    grid.setRowCount(rows);
    grid.setFixedRows(0);
    grid.setFixedCols(0);
    grid.setKeyType(soNumeric);
    std::vector<double> keys[2];
    for (auto &k : keys)
        k.reserve(size_t(rows));
    {
        GridEdit edit(grid);
        CellStore &store = edit.store();
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < Cols; ++c) {
                const QString text = cellText(random, c, r);
                store.setText(c, r, text);
                if (c < 2) keys[c].push_back(LeadingNumber(text));
            }
    }
    // Once sorted and undone, SortIndex holds a permutation of every row: that is the
    // grid's memory as it is used. The key vectors are the benchmark's, not the grid's.
    grid.SortCompleteRows(0);
    grid.UndoSort();
    data->gridBytes = heapInUse() - heapBefore;
    for (int c = 0; c < 2; ++c)
        data->keys[c] = std::move(keys[c]);
}

void buildPeer()
{
    const int rows = data->rows;
    data->model = std::make_unique<QStandardItemModel>(rows, Cols);
    const CellStore &store = data->grid->cellStore();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            auto *item = new QStandardItem(store.text(c, r));
            if (c == 0) item->setData(data->keys[0][size_t(r)], Qt::UserRole);
            data->model->setItem(r, c, item);
        }
    data->proxy = std::make_unique<QSortFilterProxyModel>();
    data->proxy->setDynamicSortFilter(false);
    data->proxy->setSortRole(Qt::UserRole);
    data->proxy->setSourceModel(data->model.get());
    data->proxy->rowCount(); // the proxy's mapping exists before anything is timed
}

bool keyColumnAscending(const tvorgrid &grid, int col)
{
    double previous = -1;
    for (int r = 0; r < data->rows; ++r) {
        const double v = LeadingNumber(grid.Cells(col, r));
        if (v < previous) return false;
        previous = v;
    }
    return true;
}

// ---- ours -------------------------------------------------------------------------------

void BM_OursSort(benchmark::State &state)
{
    tvorgrid &grid = *data->grid;
    const int col = int(state.range(0));
    for (auto _ : state) {
        state.SetIterationTime(timed([&] { grid.SortCompleteRows(col); }));
        if (!keyColumnAscending(grid, col)) state.SkipWithError("the grid is not in order");
        grid.UndoSort();
    }
}

// The undo; with a non-zero argument, after rows were moved between the sort and the
// undo (two exchanges of the same rows, which leave every cell as it was): the grid
// cannot put back the row table the sort replaced and moves every row back instead.
void BM_OursUndo(benchmark::State &state)
{
    tvorgrid &grid = *data->grid;
    const bool rowsMoved = state.range(0) != 0;
    const QString firstBefore = grid.Cells(1, 0);
    for (auto _ : state) {
        grid.SortCompleteRows(0);
        if (rowsMoved) {
            GridEdit edit(grid);
            edit.store().exchangeRows(0, 1);
            edit.store().exchangeRows(0, 1);
        }
        state.SetIterationTime(timed([&] { grid.UndoSort(); }));
        if (grid.Cells(1, 0) != firstBefore) state.SkipWithError("undo lost the first row");
    }
}

// A search for what no cell holds: every cell of the column is read once.
void BM_OursSearch(benchmark::State &state)
{
    tvorgrid &grid = *data->grid;
    const bool substring = state.range(0) != 0;
    grid.setKeyType(substring ? soString : soNumeric);
    grid.setSearchSubstring(substring);
    for (auto _ : state) {
        int col = 0, row = 0;
        bool found = true;
        state.SetIterationTime(timed([&] {
            found = grid.FindFirstInCol(substring ? QStringLiteral("zz") : QStringLiteral("-1"),
                                        substring ? 2 : 0, col, row);
        }));
        if (found) state.SkipWithError("found what no cell holds");
    }
    grid.setKeyType(soNumeric);
    grid.setSearchSubstring(false);
}

void BM_QtSearch(benchmark::State &state)
{
    QStandardItemModel &model = *data->model;
    const bool substring = state.range(0) != 0;
    for (auto _ : state) {
        QModelIndexList hits;
        state.SetIterationTime(timed([&] {
            hits = substring ? model.match(model.index(0, 2), Qt::DisplayRole, QStringLiteral("zz"),
                                           1, Qt::MatchContains)
                             : model.match(model.index(0, 0), Qt::UserRole, -1.0, 1,
                                           Qt::MatchExactly);
        }));
        if (!hits.isEmpty()) state.SkipWithError("found what no cell holds");
    }
}

// ---- the Qt peer ------------------------------------------------------------------------------

void BM_QtSort(benchmark::State &state)
{
    QSortFilterProxyModel &proxy = *data->proxy;
    for (auto _ : state) {
        state.SetIterationTime(timed([&] { proxy.sort(0, Qt::AscendingOrder); }));
        const double first = proxy.index(0, 0).data(Qt::UserRole).toDouble();
        const double last = proxy.index(data->rows - 1, 0).data(Qt::UserRole).toDouble();
        if (first > last) state.SkipWithError("the proxy is not in order");
        proxy.sort(-1);
    }
}

void BM_QtUndo(benchmark::State &state)
{
    QSortFilterProxyModel &proxy = *data->proxy;
    for (auto _ : state) {
        proxy.sort(0, Qt::AscendingOrder);
        state.SetIterationTime(timed([&] { proxy.sort(-1); }));
        if (proxy.mapToSource(proxy.index(data->rows - 1, 0)).row() != data->rows - 1)
            state.SkipWithError("the proxy is not back in source order");
    }
}

// ---- the limit --------------------------------------------------------------------------------

std::vector<int> sortedOrder(int col)
{
    const int rows = data->rows;
    std::vector<std::pair<double, int>> pairs(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        pairs[size_t(r)] = {data->keys[col][size_t(r)], r};
    std::sort(pairs.begin(), pairs.end());
    std::vector<int> order(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        order[size_t(r)] = pairs[size_t(r)].second;
    return order;
}

std::vector<int> inverseOf(const std::vector<int> &order)
{
    std::vector<int> inverse(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        inverse[size_t(order[i])] = int(i);
    return inverse;
}

void BM_LimitSort(benchmark::State &state)
{
    GridEdit edit(*data->grid);
    CellStore &store = edit.store();
    for (auto _ : state) {
        std::vector<int> order;
        state.SetIterationTime(timed([&] {
            order = sortedOrder(int(state.range(0)));
            store.permuteRows(0, order);
        }));
        store.permuteRows(0, inverseOf(order));
    }
}

void BM_LimitUndo(benchmark::State &state)
{
    GridEdit edit(*data->grid);
    CellStore &store = edit.store();
    const std::vector<int> order = sortedOrder(0);
    const std::vector<int> inverse = inverseOf(order);
    for (auto _ : state) {
        store.permuteRows(0, order);
        state.SetIterationTime(timed([&] { store.permuteRows(0, inverse); }));
    }
}

// Iterations per size: enough for a steady figure (one run of ten million rows swung
// the growth ratios by several points between two runs minutes apart), few enough
// that ten million rows stay within two minutes or so.
int iterationsFor(int rows)
{
    return rows <= 100'000 ? 10 : 3;
}

// The undo that puts back the row table takes microseconds, where one interrupt
// weighs as much as the undo: it gets more samples (each after an untimed sort).
constexpr int UndoIterations = 10;

void runSize(int rows, bool withQt, RatioReporter &reporter, std::map<std::string, double> &bytes)
{
    const std::string label = sizeLabel(rows);
    std::printf("building %d x %d cells in the grid%s...\n", rows, Cols,
                withQt ? " and in a QStandardItemModel" : "");
    std::fflush(stdout);
    const auto built = std::chrono::steady_clock::now();
    data = new Data;
    buildGrid(rows);
    if (withQt) buildPeer();
    std::printf("built in %.1f s; the grid takes %.0f MB of heap, %.2f bytes per cell\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - built).count(),
                data->gridBytes / 1e6, data->gridBytes / (double(rows) * Cols));
    std::fflush(stdout);
    bytes[label] = data->gridBytes;

    const int iterations = iterationsFor(rows);
    const auto add = [&](const char *name, void (*fn)(benchmark::State &), int count, int col) {
        benchmark::RegisterBenchmark((std::string(name) + "@" + label).c_str(), fn)
            ->Arg(col)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(count);
    };
    add("ours/sort", BM_OursSort, iterations, 0);
    add("ours/undo", BM_OursUndo, std::max(iterations, UndoIterations), 0);
    add("ours/undo_moved", BM_OursUndo, iterations, 1);
    add("limit/sort", BM_LimitSort, iterations, 0);
    add("limit/undo", BM_LimitUndo, iterations, 0);
    add("ours/sort_texts", BM_OursSort, iterations, 1);
    add("limit/sort_texts", BM_LimitSort, iterations, 1);
    if (withQt) {
        add("qt/sort", BM_QtSort, 1, 0);
        add("qt/undo", BM_QtUndo, 1, 0);
        add("ours/search_number", BM_OursSearch, iterations, 0);
        add("ours/search_substring", BM_OursSearch, iterations, 1);
        add("qt/search_number", BM_QtSearch, iterations, 0);
        add("qt/search_substring", BM_QtSearch, iterations, 1);
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::ClearRegisteredBenchmarks();
    data->proxy.reset();
    data->model.reset();
    data->grid.reset();
    delete data;
    data = nullptr;
}

std::vector<int> parseRows(const char *list)
{
    std::vector<int> rows;
    for (const char *p = list; *p;) {
        char *end = nullptr;
        const long value = std::strtol(p, &end, 10);
        if (end == p || value < 2 || value > 100'000'000) {
            std::fprintf(stderr, "--rows: expected row counts from 2 to 100000000, got %s\n", p);
            std::exit(2);
        }
        rows.push_back(int(value));
        p = *end == ',' ? end + 1 : end;
    }
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<int> sizes = {100'000, 1'000'000, 10'000'000};
    bool qt = true;
    // Our own options, taken out before Google Benchmark reads the rest.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rows=", 7) == 0)
            sizes = parseRows(argv[i] + 7);
        else if (std::strcmp(argv[i], "--no-qt") == 0)
            qt = false;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    std::map<std::string, double> bytes;
    for (int rows : sizes)
        runSize(rows, qt && rows <= 1'000'000, reporter, bytes);

    auto &s = reporter.seconds;
    const auto ratio = [&](const std::string &label, const std::string &ours,
                           const std::string &theirs) { bench::printRatio(s, label, ours, theirs); };
    std::printf("(times are the CPU time of the timed operation alone)\n");
    for (int rows : sizes) {
        const std::string at = "@" + sizeLabel(rows);
        // The ratios at a million rows keep their plain names.
        const std::string tag = rows == 1'000'000 ? "" : "_" + sizeLabel(rows);
        ratio("sortrows" + tag + ".vs_qt", "ours/sort" + at, "qt/sort" + at);
        ratio("sortrows" + tag + ".vs_limit", "ours/sort" + at, "limit/sort" + at);
        ratio("undosort" + tag + ".vs_qt", "ours/undo" + at, "qt/undo" + at);
        ratio("undosort" + tag + ".vs_limit", "ours/undo" + at, "limit/undo" + at);
        ratio("undosort_moved" + tag + ".vs_limit", "ours/undo_moved" + at, "limit/undo" + at);
        ratio("sortrows_texts" + tag + ".vs_limit", "ours/sort_texts" + at,
              "limit/sort_texts" + at);
        ratio("search_number" + tag + ".vs_qt", "ours/search_number" + at,
              "qt/search_number" + at);
        ratio("search_substring" + tag + ".vs_qt", "ours/search_substring" + at,
              "qt/search_substring" + at);
    }
    // Growth from each size to the next, ours and (for comparison) the limit's.
    for (size_t i = 1; i < sizes.size(); ++i) {
        const std::string small = sizeLabel(sizes[i - 1]), large = sizeLabel(sizes[i]);
        const double n = double(sizes[i]) / sizes[i - 1];
        const double nlogn = n * std::log(double(sizes[i])) / std::log(double(sizes[i - 1]));
        const auto growth = [&](const char *name, const std::string &what, double allowed,
                                const char *law, const std::string &limit) {
            const std::string a = what + "@" + small, b = what + "@" + large;
            const std::string la = limit + "@" + small, lb = limit + "@" + large;
            if (!s.count(a) || !s.count(b) || s[a] <= 0) return;
            std::printf("ratio scale.%s_%s_vs_%s = %.3f   (CPU: %.4g ms at %s, %.4g ms at %s; "
                        "the limit grows %.3f; %s gives %.2f)\n",
                        name, large.c_str(), small.c_str(), s[b] / s[a], s[a] * 1e3,
                        small.c_str(), s[b] * 1e3, large.c_str(),
                        s.count(la) && s.count(lb) && s[la] > 0 ? s[lb] / s[la] : 0.0, law,
                        allowed);
        };
        growth("sortrows", "ours/sort", nlogn, "n log n", "limit/sort");
        growth("sortrows_texts", "ours/sort_texts", nlogn, "n log n", "limit/sort_texts");
        growth("undosort", "ours/undo", n, "n", "limit/undo");
        growth("undosort_moved", "ours/undo_moved", n, "n", "limit/undo");
        if (bytes.count(small) && bytes.count(large) && bytes[small] > 0) {
            const double perSmall = bytes[small] / (double(sizes[i - 1]) * Cols);
            const double perLarge = bytes[large] / (double(sizes[i]) * Cols);
            std::printf("ratio scale.memory_per_cell_%s_vs_%s = %.3f   (%.2f bytes per cell at "
                        "%s, %.2f at %s)\n",
                        large.c_str(), small.c_str(), perLarge / perSmall, perSmall,
                        small.c_str(), perLarge, large.c_str());
        }
    }
    return 0;
}
