// SortCompleteRows and UndoSort on 1,000,000 rows x 10 columns, sorted by a numeric
// column, against, in the same run and on the same data:
//   qt     a QStandardItemModel (the same texts; the key column also carries its
//          number under Qt::UserRole) seen through a QSortFilterProxyModel with that
//          sort role: sort(0) is the sort; sort(-1), which brings back the source
//          order, is the undo. This is what a Qt programmer would write.
//   limit  the physical limit: std::sort of the keys, converted beforehand and paired
//          with their row index, plus applying the permutation to the grid's row
//          store (CellStore::permuteRows). Its undo is applying the inverse
//          permutation to the row store, the order being known.
// Ours converts every key from its text, orders through the keyed list, moves the rows
// and their marks, and writes the inverse permutation into SortIndex; its undo checks
// SortIndex, moves rows and marks back and writes SortIndex again.
//
// sort_texts repeats ours and the limit on column 1, whose texts at zero make the grid
// order through the keyed list (see docs/sorting.md).
//
// Each timed region is one operation, measured as the thread's CPU time (the machine
// is shared; wall time would count other programs). Whatever brings the data back to
// its starting state runs outside the timed region. Prints
//   ratio sortrows.vs_qt, sortrows.vs_limit, undosort.vs_qt, undosort.vs_limit
// as ours / theirs.
#include "grid/vorGrid.h"
#include "host/textconvert.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vorgrd;

namespace {

constexpr int Rows = 1'000'000;
constexpr int Cols = 10;

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <typename F> double timed(F &&work)
{
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

// The texts of a cell: column 0, the key column, holds numbers with two decimals
// (ties are common: 1,000,000 draws from 10,000,000 values); column 1 the same kind of
// numbers with one row in twenty "n/a", a text without a number that sorts at zero
// (the keyed list orders those texts among themselves, which the grid's direct numeric
// ordering leaves to it); the others short labels.
QString cellText(QRandomGenerator &random, int col, int row)
{
    if (col > 1) return QStringLiteral("r%1c%2").arg(row).arg(col);
    if (col == 1 && random.bounded(20) == 0) return QStringLiteral("n/a");
    return QString::number(random.bounded(10'000'000) / 100.0, 'f', 2);
}

struct Data
{
    std::unique_ptr<tvorgrid> grid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QSortFilterProxyModel> proxy;
    // The numbers of columns 0 and 1, in the unsorted row order.
    std::vector<double> keys[2];
};

Data *data = nullptr;

void buildData()
{
    data = new Data;
    QRandomGenerator random(20261207);
    data->grid = std::make_unique<tvorgrid>();
    tvorgrid &grid = *data->grid;
    grid.setColCount(Cols);
    grid.setRowCount(Rows);
    grid.setFixedRows(0);
    grid.setFixedCols(0);
    grid.setKeyType(soNumeric);
    data->model = std::make_unique<QStandardItemModel>(Rows, Cols);
    data->keys[0].reserve(Rows);
    data->keys[1].reserve(Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            const QString text = cellText(random, c, r);
            grid.cellStore().setText(c, r, text);
            auto *item = new QStandardItem(text);
            if (c < 2) data->keys[c].push_back(LeadingNumber(text));
            if (c == 0) item->setData(data->keys[0].back(), Qt::UserRole);
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
    for (int r = 0; r < Rows; ++r) {
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

void BM_OursUndo(benchmark::State &state)
{
    tvorgrid &grid = *data->grid;
    const QString firstBefore = grid.Cells(1, 0);
    for (auto _ : state) {
        grid.SortCompleteRows(0);
        state.SetIterationTime(timed([&] { grid.UndoSort(); }));
        if (grid.Cells(1, 0) != firstBefore) state.SkipWithError("undo lost the first row");
    }
}

// ---- the Qt peer ------------------------------------------------------------------------------

void BM_QtSort(benchmark::State &state)
{
    QSortFilterProxyModel &proxy = *data->proxy;
    for (auto _ : state) {
        state.SetIterationTime(timed([&] { proxy.sort(0, Qt::AscendingOrder); }));
        const double first = proxy.index(0, 0).data(Qt::UserRole).toDouble();
        const double last = proxy.index(Rows - 1, 0).data(Qt::UserRole).toDouble();
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
        if (proxy.mapToSource(proxy.index(Rows - 1, 0)).row() != Rows - 1)
            state.SkipWithError("the proxy is not back in source order");
    }
}

// ---- the limit --------------------------------------------------------------------------------

std::vector<int> sortedOrder(int col)
{
    std::vector<std::pair<double, int>> pairs(Rows);
    for (int r = 0; r < Rows; ++r)
        pairs[size_t(r)] = {data->keys[col][size_t(r)], r};
    std::sort(pairs.begin(), pairs.end());
    std::vector<int> order(Rows);
    for (int r = 0; r < Rows; ++r)
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
    CellStore &store = data->grid->cellStore();
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
    CellStore &store = data->grid->cellStore();
    const std::vector<int> order = sortedOrder(0);
    const std::vector<int> inverse = inverseOf(order);
    for (auto _ : state) {
        store.permuteRows(0, order);
        state.SetIterationTime(timed([&] { store.permuteRows(0, inverse); }));
    }
}

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.iterations > 0 && !run.error_occurred)
                seconds[run.run_name.function_name] =
                    run.real_accumulated_time / double(run.iterations);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("building 1,000,000 x 10 cells in the grid and in a QStandardItemModel...\n");
    std::fflush(stdout);
    const auto built = std::chrono::steady_clock::now();
    buildData();
    std::printf("built in %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - built).count());

    const auto add = [](const char *name, void (*fn)(benchmark::State &), int iterations,
                        int col = 0) {
        benchmark::RegisterBenchmark(name, fn)
            ->Arg(col)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(iterations);
    };
    add("ours/sort", BM_OursSort, 3);
    add("ours/undo", BM_OursUndo, 3);
    add("limit/sort", BM_LimitSort, 3);
    add("limit/undo", BM_LimitUndo, 3);
    add("ours/sort_texts", BM_OursSort, 3, 1);
    add("limit/sort_texts", BM_LimitSort, 3, 1);
    add("qt/sort", BM_QtSort, 1);
    add("qt/undo", BM_QtUndo, 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto &s = reporter.seconds;
    const auto ratio = [&](const char *label, const std::string &ours, const std::string &theirs) {
        if (!s.count(ours) || !s.count(theirs) || s[theirs] <= 0) return;
        std::printf("ratio %s = %.3f   (CPU: ours %.1f ms, %s %.1f ms)\n", label,
                    s[ours] / s[theirs], s[ours] * 1e3, theirs.c_str(), s[theirs] * 1e3);
    };
    std::printf("(times are the CPU time of the timed operation alone)\n");
    ratio("sortrows.vs_qt", "ours/sort", "qt/sort");
    ratio("sortrows.vs_limit", "ours/sort", "limit/sort");
    ratio("undosort.vs_qt", "ours/undo", "qt/undo");
    ratio("undosort.vs_limit", "ours/undo", "limit/undo");
    ratio("sortrows_texts.vs_limit", "ours/sort_texts", "limit/sort_texts");
    data->proxy.reset();
    data->model.reset();
    data->grid.reset();
    delete data;
    return 0;
}
