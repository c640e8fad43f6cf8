// The exports and the database fill on 1,000,000 rows x 10 columns, against peers
// measured in the same run on the same data:
//   export  SaveasSYLK and SaveasHTML of the grid, against the limit: the same cell
//           texts read from the grid and added to a string list, one line per cell
//           (the exports write one line per cell, and each must at least read every
//           text and keep it in a line)
//   fill    FillFromQuery of a SQLite table (a database file in a temporary folder),
//           against QSqlQueryModel running the same SELECT and fetching every row,
//           which is what a Qt programmer would write to show a result
//   wide    FillFromQuery of a table of 2,000 columns x 250 rows (500,000 cells, as
//           many as SQLite allows in a table), against reading the same SELECT
//           plainly: QSqlQuery stepping every record and reading every value as text
// Each timed region is one operation, measured as the thread's CPU time (the machine
// is shared; wall time would count other programs). Prints
//   ratio export_sylk.vs_limit, export_html.vs_limit, export.vs_limit (the larger),
//   ratio fill.vs_qsqlquerymodel, ratio fill_wide.vs_reading
// as ours / theirs.
#include "manualtime.h"
#include "grid/vorGrid.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>

using namespace vorgrd;
using vorgrd::bench::RatioReporter;
using vorgrd::bench::threadSeconds;
using vorgrd::bench::timed;

namespace {

constexpr int Rows = 1'000'000;
constexpr int Cols = 10;

// (The price is computed in 64 bits: row * 7919 passes the int range at row 271,189,
// and the signed overflow let the compiler drop the insert loop's end test.)
// Column 0 the fixed row number; 1 a price, 2 a quantity (numeric), 3 a check box, 4 a
// date, the rest labels, one in fifty with a ";" or a "&" to escape.
QString cellText(int col, int row)
{
    switch (col) {
    case 0: return QString::number(row);
    case 1: return QString::number((row * 7919LL % 100000) / 100.0, 'f', 2);
    case 2: return QString::number(row % 250);
    case 3: return row % 3 ? QStringLiteral("Y") : QString();
    case 4: return QStringLiteral("2026-%1-%2").arg(row % 12 + 1, 2, 10, QChar(u'0')).arg(row % 28 + 1, 2, 10, QChar(u'0'));
    default:
        if (row % 50 == 0) return QStringLiteral("Smith; Jones & Co %1").arg(col);
        return QStringLiteral("customer %1-%2").arg(row % 9973).arg(col);
    }
}

std::unique_ptr<tvorgrid> grid;
QTemporaryDir *folder = nullptr;
const QString connection = QStringLiteral("bench");

void buildGrid()
{
    grid = std::make_unique<tvorgrid>();
    grid->setColCount(Cols);
    grid->setRowCount(Rows + 1);
    grid->columns()->GeTmColumn(1)->settype(ftnumeric);
    grid->columns()->GeTmColumn(2)->settype(ftnumeric);
    grid->columns()->GeTmColumn(3)->settype(ftcheckbox);
    grid->columns()->GeTmColumn(4)->settype(ftdatetime);
    grid->setshowtitles(true);
    GridEdit edit(*grid);
    CellStore &store = edit.store();
    for (int r = 1; r <= Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            store.setText(c, r, cellText(c, r));
}

void buildDatabase()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(folder->filePath(QStringLiteral("bench.sqlite")));
    if (!db.open()) qFatal("cannot open the database: %s", qPrintable(db.lastError().text()));
    QSqlQuery q(db);
    q.exec(QStringLiteral("CREATE TABLE orders (c0 INTEGER, c1 REAL, c2 INTEGER, c3 TEXT, c4 TEXT, "
                          "c5 TEXT, c6 TEXT, c7 TEXT, c8 TEXT, c9 TEXT)"));
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO orders VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int r = 1; r <= Rows; ++r) {
        q.bindValue(0, r);
        q.bindValue(1, cellText(1, r).toDouble());
        q.bindValue(2, r % 250);
        for (int c = 3; c < Cols; ++c)
            q.bindValue(c, cellText(c, r));
        if (!q.exec()) qFatal("insert failed: %s", qPrintable(q.lastError().text()));
    }
    db.commit();
}

const QString selectAll = QStringLiteral("SELECT * FROM orders");

constexpr int WideRows = 250;
constexpr int WideCols = 2000;
const QString selectWide = QStringLiteral("SELECT * FROM wide");

void buildWideTable()
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    QStringList columns, marks;
    for (int c = 0; c < WideCols; ++c) {
        columns << QStringLiteral("w%1 TEXT").arg(c);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(db);
    q.exec(QStringLiteral("CREATE TABLE wide (%1)").arg(columns.join(u',')));
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO wide VALUES (%1)").arg(marks.join(u',')));
    for (int r = 0; r < WideRows; ++r) {
        for (int c = 0; c < WideCols; ++c)
            q.bindValue(c, QStringLiteral("r%1c%2").arg(r).arg(c));
        if (!q.exec()) qFatal("insert failed: %s", qPrintable(q.lastError().text()));
    }
    db.commit();
}

// ---- export -------------------------------------------------------------------------------

void BM_Sylk(benchmark::State &state)
{
    for (auto _ : state) {
        auto lines = std::make_unique<TStringList>();
        state.SetIterationTime(timed([&] { grid->SaveasSYLK(*lines); }));
        if (lines->Count() != 3 + Cols + Rows * (Cols - 1)) state.SkipWithError("wrong record count");
        lines.reset();
    }
}

void BM_Html(benchmark::State &state)
{
    for (auto _ : state) {
        auto lines = std::make_unique<TStringList>();
        state.SetIterationTime(timed([&] { grid->SaveasHTML(QStringLiteral("Orders"), true, *lines); }));
        if (lines->Count() != 4 + Cols + Rows * (Cols + 1)) state.SkipWithError("wrong line count");
        lines.reset();
    }
}

void BM_Limit(benchmark::State &state)
{
    const CellStore &store = grid->cellStore();
    for (auto _ : state) {
        auto lines = std::make_unique<TStringList>();
        state.SetIterationTime(timed([&] {
            for (int r = 0; r <= Rows; ++r)
                for (int c = 1; c < Cols; ++c)
                    lines->Add(store.text(c, r));
        }));
        if (lines->Count() != (Rows + 1) * (Cols - 1)) state.SkipWithError("wrong line count");
        lines.reset();
    }
}

// ---- fill ---------------------------------------------------------------------------------

void BM_Fill(benchmark::State &state)
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    for (auto _ : state) {
        tvorgrid target;
        target.setshowtitles(true);
        TFillOptions options;
        options.nameColumns = true;
        int filled = 0;
        state.SetIterationTime(timed([&] { filled = target.FillFromQuery(selectAll, db, options); }));
        // The fields go into the columns after the fixed column 0: field c5 into column 6.
        if (filled != Rows || target.Cells(6, Rows) != cellText(5, Rows))
            state.SkipWithError("the grid does not hold the table");
    }
}

void BM_Model(benchmark::State &state)
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    for (auto _ : state) {
        QSqlQueryModel model;
        state.SetIterationTime(timed([&] {
            model.setQuery(selectAll, db);
            while (model.canFetchMore())
                model.fetchMore();
        }));
        if (model.rowCount() != Rows) state.SkipWithError("the model does not hold the table");
    }
}

void BM_FillWide(benchmark::State &state)
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    for (auto _ : state) {
        tvorgrid target;
        TFillOptions options;
        options.nameColumns = true;
        int filled = 0;
        state.SetIterationTime(timed([&] { filled = target.FillFromQuery(selectWide, db, options); }));
        if (filled != WideRows || target.Cells(WideCols, WideRows - 1) != QStringLiteral("r249c1999"))
            state.SkipWithError("the grid does not hold the table");
    }
}

void BM_ReadWide(benchmark::State &state)
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    for (auto _ : state) {
        qint64 characters = 0;
        state.SetIterationTime(timed([&] {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            query.exec(selectWide);
            while (query.next())
                for (int c = 0; c < WideCols; ++c)
                    characters += query.value(c).toString().size();
        }));
        if (characters == 0) state.SkipWithError("nothing read");
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    std::printf("building 1,000,000 x 10 cells in the grid and in a SQLite table...\n");
    std::fflush(stdout);
    const auto built = std::chrono::steady_clock::now();
    buildGrid();
    buildDatabase();
    buildWideTable();
    std::printf("built in %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - built).count());

    const auto add = bench::registerManual;
    add("ours/sylk", BM_Sylk, 2);
    add("ours/html", BM_Html, 2);
    add("limit/lines", BM_Limit, 2);
    add("ours/fill", BM_Fill, 2);
    add("qt/qsqlquerymodel", BM_Model, 2);
    add("ours/fill_wide", BM_FillWide, 2);
    add("qt/read_wide", BM_ReadWide, 2);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto &s = reporter.seconds;
    const auto ratio = [&](const char *label, const std::string &ours, const std::string &theirs) {
        return bench::printRatio(s, label, ours, theirs);
    };
    std::printf("(times are the CPU time of the timed operation alone)\n");
    const double sylk = ratio("export_sylk.vs_limit", "ours/sylk", "limit/lines");
    const double html = ratio("export_html.vs_limit", "ours/html", "limit/lines");
    std::printf("ratio export.vs_limit = %.3f   (the larger of the two)\n", std::max(sylk, html));
    ratio("fill.vs_qsqlquerymodel", "ours/fill", "qt/qsqlquerymodel");
    ratio("fill_wide.vs_reading", "ours/fill_wide", "qt/read_wide");
    grid.reset();
    QSqlDatabase::removeDatabase(connection);
    return 0;
}
