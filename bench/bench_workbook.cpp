// Workbooks of 200,000 rows x 10 typed columns (numbers with formats, dates, check
// boxes, texts), written and read as XLSX and ODS, against LibreOffice Calc doing the
// same work on the same data in the same run. Both sides are timed as whole
// processes, start-up included, by the CPU time the system accounts to the process
// and its children (wait4's resource usage); the wall time is printed beside it:
//   save  ours: this program started with --save: LoadFromFile of the CSV, the
//               columns typed, SaveasXLSX (SaveasODS)
//         LibreOffice: soffice --convert-to xlsx (ods) of the same CSV
//   load  ours: --load: LoadFromWorkbook of our XLSX (ODS), SaveToFile as CSV
//         LibreOffice: soffice --convert-to csv of the same file
// Prints ratio xlsx_save.vs_libreoffice, xlsx_load.vs_libreoffice and the same for
// ods (ours / LibreOffice), and the peak memory of a workbook load in this process
// against the memory of the grid holding the result.
#include "manualtime.h"
#include "grid/vorGrid.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

using namespace vorgrd;
using vorgrd::bench::statusKb;

namespace {

constexpr int Rows = 200'000;
constexpr int Cols = 10;

// The columns: type and format of each.
struct Column
{
    tvorcolumntype type;
    const char *format;
};
const Column Columns[Cols] = {{ftstring, ""},           {ftstring, ""},      {ftnumeric, "0"},
                              {ftnumeric, "#,##0.00"},  {ftnumeric, "0.00"}, {ftdatetime, "yyyy-mm-dd"},
                              {ftdatetime, "yyyy-mm-dd hh:nn"}, {ftcheckbox, ""}, {ftstring, ""},
                              {ftnumeric, "0.000"}};

std::string cellText(int col, int row)
{
    char b[48];
    switch (col) {
    case 0: std::snprintf(b, sizeof b, "R%07d", row); break;
    case 1: std::snprintf(b, sizeof b, "%s %d", row % 50 == 0 ? "Caf\xC3\xA9" : "item", row % 997); break;
    case 2: std::snprintf(b, sizeof b, "%d", row % 1000); break;
    case 3: std::snprintf(b, sizeof b, "%lld.%02d", (row * 7919LL) % 100000, row % 100); break;
    case 4: std::snprintf(b, sizeof b, "%d.%d", row % 500, row % 10); break;
    case 5: std::snprintf(b, sizeof b, "20%02d-%02d-%02d", row % 30, 1 + row % 12, 1 + row % 28); break;
    case 6: std::snprintf(b, sizeof b, "20%02d-%02d-%02d %02d:%02d", row % 30, 1 + row % 12, 1 + row % 28, row % 24, row % 60); break;
    case 7: return row % 3 ? "Y" : "";
    case 8: std::snprintf(b, sizeof b, "c%d-r%06d", col, row); break;
    default: std::snprintf(b, sizeof b, "0.%03d", row % 1000); break;
    }
    return b;
}

void typeColumns(tvorgrid &grid)
{
    for (int c = 0; c < Cols; ++c) {
        tmcolumn *column = grid.columns()->GeTmColumn(c);
        column->settype(Columns[c].type);
        column->SetDisplayformat(QString::fromLatin1(Columns[c].format));
    }
}

// ---- the child: our side as a whole process ------------------------------------------

int child(const QStringList &args)
{
    tvorgrid grid;
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    if (args[0] == u"--save") {
        grid.LoadFromFile(args[1], QStringLiteral(";"));
        typeColumns(grid);
        if (args[2].endsWith(u".xlsx")) grid.SaveasXLSX(args[2]);
        else grid.SaveasODS(args[2]);
    } else {
        grid.LoadFromWorkbook(args[1]);
        grid.SaveToFile(args[2], QStringLiteral(";"));
    }
    return 0;
}

// ---- measuring a process ---------------------------------------------------------------

struct ProcessTime
{
    double cpu = -1;
    double wall = 0;
};

ProcessTime runProcess(const std::vector<std::string> &argv)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    // wait4 counts the process and the children it waited for (soffice's launcher
    // waits for the office process).
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), wall};
}

struct Data
{
    QTemporaryDir dir;
    std::string self, soffice, profile, csv;
    long long csvBytes = 0;
};
Data *data = nullptr;

std::string path(const char *name)
{
    return data->dir.filePath(QLatin1String(name)).toStdString();
}

std::vector<std::string> soffice(const std::string &target, const std::string &file, const char *outDir)
{
    return {data->soffice, "-env:UserInstallation=file://" + data->profile, "--headless", "--norestore",
            "--convert-to", target, "--outdir", path(outDir), file};
}

void timeProcess(benchmark::State &state, const std::vector<std::string> &argv, const std::string &output)
{
    for (auto _ : state) {
        QFile::remove(QString::fromStdString(output));
        const ProcessTime t = runProcess(argv);
        if (t.cpu < 0 || !QFileInfo::exists(QString::fromStdString(output))) {
            state.SkipWithError("the process failed or wrote nothing");
            return;
        }
        state.SetIterationTime(t.cpu);
        state.counters["wall_s"] = t.wall;
    }
}

void BM_OursSaveXlsx(benchmark::State &s) { timeProcess(s, {data->self, "--save", data->csv, path("ours.xlsx")}, path("ours.xlsx")); }
void BM_OursSaveOds(benchmark::State &s) { timeProcess(s, {data->self, "--save", data->csv, path("ours.ods")}, path("ours.ods")); }
void BM_LoSaveXlsx(benchmark::State &s) { timeProcess(s, soffice("xlsx", data->csv, "lo"), path("lo/cells.xlsx")); }
void BM_LoSaveOds(benchmark::State &s) { timeProcess(s, soffice("ods", data->csv, "lo"), path("lo/cells.ods")); }
void BM_OursLoadXlsx(benchmark::State &s) { timeProcess(s, {data->self, "--load", path("ours.xlsx"), path("back.csv")}, path("back.csv")); }
void BM_OursLoadOds(benchmark::State &s) { timeProcess(s, {data->self, "--load", path("ours.ods"), path("back.csv")}, path("back.csv")); }
void BM_LoLoadXlsx(benchmark::State &s) { timeProcess(s, soffice("csv", path("ours.xlsx"), "loback"), path("loback/ours.csv")); }
void BM_LoLoadOds(benchmark::State &s) { timeProcess(s, soffice("csv", path("ours.ods"), "loback"), path("loback/ours.csv")); }

void writeCsv()
{
    data->csv = path("cells.csv");
    std::FILE *out = std::fopen(data->csv.c_str(), "wb");
    for (int r = 0; r < Rows; ++r) {
        std::string line;
        for (int c = 0; c < Cols; ++c) {
            if (c) line += ';';
            line += cellText(c, r);
        }
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), out);
        data->csvBytes += qint64(line.size());
    }
    std::fclose(out);
}

// A workbook load into a fresh grid, in a process of its own (a grid freed earlier
// would leave memory the load reuses): the peak over the start against the grid.
int measureLoadMemory(const QString &file)
{
    auto grid = std::make_unique<tvorgrid>();
    grid->setFixedCols(0);
    grid->setFixedRows(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = statusKb("VmRSS:");
    grid->LoadFromWorkbook(file);
    const long peak = statusKb("VmHWM:");
    const long after = statusKb("VmRSS:");
    std::printf("memory of the %s load: peak %.1f MB over the start, the loaded grid %.1f MB; peak / grid = %.2f "
                "(at most 2)\n",
                qPrintable(QFileInfo(file).suffix()), (peak - before) / 1024.0, (after - before) / 1024.0,
                double(peak - before) / double(after - before));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && (args[0] == u"--save" || args[0] == u"--load")) return child(args);
    if (!args.isEmpty() && args[0] == u"--memory") return measureLoadMemory(args[1]);

    data = new Data;
    data->self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toStdString();
    data->soffice = QStandardPaths::findExecutable(QStringLiteral("soffice")).toStdString();
    data->profile = path("profile");
    std::printf("writing 200,000 x 10 cells as CSV...\n");
    writeCsv();
    std::printf("%.1f MB written\n", data->csvBytes / 1048576.0);
    const auto add = bench::registerManual;
    add("ours/xlsx_save", BM_OursSaveXlsx, 2);
    add("ours/ods_save", BM_OursSaveOds, 2);
    add("ours/xlsx_load", BM_OursLoadXlsx, 2);
    add("ours/ods_load", BM_OursLoadOds, 2);
    if (data->soffice.empty()) {
        std::printf("soffice not found: no LibreOffice to compare with (make test-interop installs it)\n");
    } else {
        // A first conversion makes the profile, so that no timed run pays for it.
        runProcess(soffice("csv", data->csv, "warm"));
        add("libreoffice/xlsx_save", BM_LoSaveXlsx, 1);
        add("libreoffice/ods_save", BM_LoSaveOds, 1);
        add("libreoffice/xlsx_load", BM_LoLoadXlsx, 1);
        add("libreoffice/ods_load", BM_LoLoadOds, 1);
    }
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("(times are the CPU time of whole processes, start-up included; limit 0.5 for each ratio)\n");
    for (const char *kind : {"xlsx_save", "xlsx_load", "ods_save", "ods_load"})
        bench::printRatio(reporter.seconds, std::string(kind) + ".vs_libreoffice", std::string("ours/") + kind,
                          std::string("libreoffice/") + kind);
    std::fflush(stdout);
    for (const char *file : {"ours.xlsx", "ours.ods"})
        runProcess({data->self, "--memory", path(file)});
    delete data;
    return 0;
}
