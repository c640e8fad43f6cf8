// The string grid against its limits, measured in one run:
//  - painting one full 1000 x 700 viewport of a 1,000,000 x 20 grid against a 100 x 20
//    grid showing the same cells (painting must cost the visible cells only);
//  - painting after the current row was set to the last of 1,000,000 rows against
//    painting near the top;
//  - the heap bytes of 1,000,000 x 10 cells of 8-character texts in the grid's cell
//    store against the same data in a QStandardItemModel (mallinfo2 deltas).
// Prints "ratio <name> = X" lines after the Google Benchmark table.
#include "host/stringgrid.h"
#include "manualtime.h"

#include <QApplication>
#include <QImage>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vorgrd;
using vorgrd::bench::pairedRatio;
using vorgrd::bench::RatioReporter;

namespace {

constexpr int ViewWidth = 1000;
constexpr int ViewHeight = 700;

std::unique_ptr<TStringGrid> makeGrid(int rows)
{
    auto g = std::make_unique<TStringGrid>();
    g->setFrameShape(QFrame::NoFrame);
    g->setScrollBars(ssNone);
    g->setColCount(20);
    g->setRowCount(rows);
    g->resize(ViewWidth, ViewHeight);
    g->show();
    QApplication::processEvents();
    // The same texts in the cells that show, at the top and at the bottom.
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 20; ++c) {
            const QString text = QStringLiteral("r%1c%2").arg(r).arg(c);
            g->setCells(c, r, text);
            g->setCells(c, rows - 1 - r, text);
        }
    if (rows > 100000) {
        // Individual heights far from the view, so that row offsets are not a plain
        // multiplication.
        for (int r = 1000; r < rows; r += 1000)
            g->setRowHeights(r, 30);
    }
    return g;
}

// Made on first use, destroyed by main while the QApplication still exists.
std::unique_ptr<TStringGrid> g_grid100, g_grid1M;

TStringGrid &grid100()
{
    if (!g_grid100) g_grid100 = makeGrid(100);
    return *g_grid100;
}

TStringGrid &grid1M()
{
    if (!g_grid1M) g_grid1M = makeGrid(1000000);
    return *g_grid1M;
}

void paint(TStringGrid &g, QImage &image)
{
    g.viewport()->render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

void BM_Paint_rows100(benchmark::State &state)
{
    TStringGrid &g = grid100();
    g.setRow(1);
    QImage image(ViewWidth, ViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        paint(g, image);
}
BENCHMARK(BM_Paint_rows100);

void BM_Paint_rows1M(benchmark::State &state)
{
    TStringGrid &g = grid1M();
    g.setRow(1);
    QImage image(ViewWidth, ViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        paint(g, image);
}
BENCHMARK(BM_Paint_rows1M);

void BM_Paint_rows1M_lastRow(benchmark::State &state)
{
    TStringGrid &g = grid1M();
    QImage image(ViewWidth, ViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        g.setRow(1);
        g.setRow(g.RowCount() - 1); // scrolls to the end
        paint(g, image);
    }
}
BENCHMARK(BM_Paint_rows1M_lastRow);

void BM_Paint_rows1M_nearTop(benchmark::State &state)
{
    TStringGrid &g = grid1M();
    QImage image(ViewWidth, ViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        g.setRow(g.RowCount() - 1);
        g.setRow(1); // scrolls back to the top
        paint(g, image);
    }
}
BENCHMARK(BM_Paint_rows1M_nearTop);

// Rounds of the interleaved pairs: painting one viewport is quick, so more and longer
// rounds than the default keep the median steady.
constexpr int PairRounds = 31;
constexpr int PairPerRound = 5;

void measurePaintRatios()
{
    QImage image(ViewWidth, ViewHeight, QImage::Format_ARGB32_Premultiplied);
    TStringGrid &small = grid100();
    TStringGrid &large = grid1M();
    small.setRow(1);
    large.setRow(1);
    std::printf("ratio paint.rows1M_vs_100 = %.3f\n",
                pairedRatio([&] { paint(large, image); }, [&] { paint(small, image); }, PairRounds,
                            PairPerRound));
    std::printf("ratio paint.lastRow_vs_top = %.3f\n", pairedRatio(
                                                           [&] {
                                                               large.setRow(1);
                                                               large.setRow(large.RowCount() - 1);
                                                               paint(large, image);
                                                           },
                                                           [&] {
                                                               large.setRow(large.RowCount() - 1);
                                                               large.setRow(1);
                                                               paint(large, image);
                                                           },
                                                           PairRounds, PairPerRound));
}

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

QString eightChars(int i)
{
    return QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'));
}

void measureMemory()
{
    constexpr int Rows = 1000000;
    constexpr int Cols = 10;
    size_t storeBytes = 0;
    {
        malloc_trim(0);
        const size_t before = heapInUse();
        auto g = std::make_unique<TStringGrid>();
        g->setColCount(Cols);
        g->setRowCount(Rows);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                g->setCells(c, r, eightChars(r * Cols + c));
        storeBytes = heapInUse() - before;
        if (g->Cells(3, Rows - 1) != eightChars((Rows - 1) * Cols + 3))
            std::printf("error: the grid lost a cell\n");
    }
    size_t modelBytes = 0;
    {
        malloc_trim(0);
        const size_t before = heapInUse();
        auto model = std::make_unique<QStandardItemModel>(Rows, Cols);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                model->setItem(r, c, new QStandardItem(eightChars(r * Cols + c)));
        modelBytes = heapInUse() - before;
    }
    const double cells = double(Rows) * Cols;
    std::printf("memory: cell store %.1f bytes/cell (%zu bytes), QStandardItemModel %.1f "
                "bytes/cell (%zu bytes)\n",
                double(storeBytes) / cells, storeBytes, double(modelBytes) / cells, modelBytes);
    std::printf("ratio memory.cells_vs_QStandardItemModel = %.3f\n",
                double(storeBytes) / double(modelBytes));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto &s = reporter.seconds;
    if (s.count("BM_Paint_rows1M") && s.count("BM_Paint_rows100"))
        std::printf("table: paint 1M rows / 100 rows (mean CPU times above) = %.3f\n",
                    s["BM_Paint_rows1M"] / s["BM_Paint_rows100"]);
    // The ratio lines come from an interleaved measurement, steadier than the table's
    // means taken minutes apart.
    measurePaintRatios();
    g_grid100.reset();
    g_grid1M.reset();
    std::fflush(stdout);
    measureMemory();
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
}
