// Evaluations per second of TvorParser::Exec, which normalises and parses its text
// afresh on every call (as the grid does for every painted formula cell).
//
// Prints `rate parser.<name> = N/s` for each formula, and two ratios: against the
// target of 2,000,000 evaluations of 2+3*4 per second, and against the floor of
// any evaluator that reads its text, one pass copying the text into a reused buffer
// (measured in the same run). Rates are by the CPU time of the benchmark thread
// (bench/manualtime.h): Exec is CPU-bound, and on a shared machine wall-clock rates
// fall with the load.
#include "formulas/vorpars.h"
#include "host/gridcellreader.h"
#include "manualtime.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

using namespace vorgrd;
using vorgrd::bench::printRatio;
using vorgrd::bench::RatioReporter;

namespace {

// A 4 x 4 grid held in an array, so that reading a cell costs next to nothing and
// the benchmark measures the parser.
class SmallGrid : public GridCellReader
{
public:
    SmallGrid()
    {
        cells[1][2] = QStringLiteral("1.5");
        cells[2][2] = QStringLiteral("2*3");
    }
    QString CellText(int col, int row) const override
    {
        if (col < 0 || col >= 4 || row < 0 || row >= 4) return QString();
        return cells[size_t(col)][size_t(row)];
    }
    int CurrentCol() const override { return 0; }
    int CurrentRow() const override { return 0; }

    std::array<std::array<QString, 4>, 4> cells;
};

void runExec(benchmark::State &state, const QString &text)
{
    SmallGrid grid;
    TvorParser parser;
    parser.setGrid(&grid);
    for (auto _ : state) {
        parser.Exec(text);
        benchmark::DoNotOptimize(parser.Value());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Simple(benchmark::State &state)
{
    runExec(state, QStringLiteral("2+3*4"));
}
BENCHMARK(BM_Simple)->Name("parser.simple");

void BM_Functions(benchmark::State &state)
{
    runExec(state, QStringLiteral("SQRT(16)+SIN(PI/2)*(1.5E2-3)"));
}
BENCHMARK(BM_Functions)->Name("parser.functions");

void BM_Cells(benchmark::State &state)
{
    runExec(state, QStringLiteral("CELL(1;2)+CELL(2;2)"));
}
BENCHMARK(BM_Cells)->Name("parser.cells");

// The floor: one pass over "2+3*4" into a reused buffer, upper-casing as it goes.
void BM_TextPass(benchmark::State &state)
{
    const QString text = QStringLiteral("2+3*4");
    QString buffer;
    for (auto _ : state) {
        buffer.resize(text.size());
        QChar *out = buffer.data();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            out[i] = QChar(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
        }
        benchmark::DoNotOptimize(buffer.constData());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextPass)->Name("parser.textpass");

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // One item per iteration: the rate is the inverse of an iteration's CPU time.
    const auto &seconds = reporter.seconds;
    for (const auto &[name, perCall] : seconds)
        if (perCall > 0) std::printf("rate %s = %.0f/s\n", name.c_str(), 1.0 / perCall);
    const auto simple = seconds.find("parser.simple");
    if (simple != seconds.end() && simple->second > 0) {
        std::printf("ratio parser.simple / target 2000000/s = %.2f\n", 1.0 / simple->second / 2e6);
        // How many times one pass over the text the evaluation costs.
        printRatio(seconds, "parser.textpass / parser.simple", "parser.simple", "parser.textpass");
    }
    return 0;
}
