// Painting typed columns, against the peers a Qt programmer would compare with, in
// one run:
//  - a full 1600 x 1000 viewport of typed columns (formatted prices and quantities,
//    dates through a display format, a formula column, a check-box column, wrapped
//    text in rows of two lines) against a QTableView over a QStandardItemModel that
//    holds the same texts already formatted, check states and alignments
//    (paint.typed_vs_qtableview);
//  - the same viewport at row 999,900 of 1,000,000 rows against a grid of 100 rows
//    (paint.typed_rows1M_vs_100);
//  - a viewport whose every cell is a formula reading two other cells against the
//    same viewport of plain texts (paint.formulas_vs_text).
// Prints "ratio <name> = X" lines after the Google Benchmark table: the median over
// interleaved rounds of the CPU time of the first paint over the second.
#include "grid/vorGrid.h"
#include "host/textconvert.h"
#include "manualtime.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vorgrd;
using vorgrd::bench::pairedRatio;

namespace {

constexpr int ViewWidth = 1600;
constexpr int ViewHeight = 1000;
constexpr int ColWidth = 100;
constexpr int RowHeight = 36; // two lines of wrapped text
constexpr int Cols = 16;      // 16 x 100 pixels fill the width
constexpr int FilledRows = 100;

// The columns after the fixed one repeat this pattern.
enum Kind
{
    Price,
    Quantity,
    Delivered,
    Total,
    Paid,
    Note
};
constexpr Kind Pattern[] = {Price, Quantity, Delivered, Total, Paid, Note};

Kind kindOf(int col)
{
    return Pattern[(col - 1) % 6];
}

// The text stored in a typed cell of data row k (0-based). A Total reads the Price
// and the Quantity of its own group of columns.
QString storedText(int col, int k)
{
    if (col == 0) return QStringLiteral("Order %1").arg(1000 + k);
    const int group = (col - 1) / 6 * 6 + 1;
    switch (kindOf(col)) {
    case Price:
        return QString::number(1.5 + (k * 37 % 900) / 4.0, 'f', 2);
    case Quantity:
        return QString::number(k * 13 % 70 + 1);
    case Delivered:
        return QStringLiteral("2026-%1-%2").arg(k % 12 + 1, 2, 10, QLatin1Char('0')).arg(k % 28 + 1, 2, 10, QLatin1Char('0'));
    case Total:
        return QStringLiteral("COL(%1)*COL(%2)").arg(group).arg(group + 1);
    case Paid:
        return k % 3 ? QStringLiteral("Y") : QString();
    case Note:
        return QStringLiteral("Deliver to the back door, ring twice %1").arg(k);
    }
    return QString();
}

void setUpTypedColumns(tvorgrid &g)
{
    TvorgridColumns *columns = g.columns();
    columns->BeginUpdate();
    for (int c = 1; c < Cols; ++c) {
        tmcolumn *column = columns->GeTmColumn(c);
        switch (kindOf(c)) {
        case Price:
            column->settype(ftnumeric);
            column->SetDisplayformat(QStringLiteral("#,##0.00x"));
            break;
        case Quantity:
            column->settype(ftnumeric);
            column->SetDisplayformat(QStringLiteral("0"));
            break;
        case Delivered:
            column->settype(ftdatetime);
            column->SetDisplayformat(QStringLiteral("dd mmm yyyy"));
            break;
        case Total:
            column->settype(ftformula);
            column->SetDisplayformat(QStringLiteral("#,##0.00"));
            break;
        case Paid:
            column->settype(ftcheckbox);
            break;
        case Note:
            break; // a string column wraps by default
        }
    }
    columns->EndUpdate();
}

void showGrid(tvorgrid &g, int rows, int cols)
{
    g.setFrameShape(QFrame::NoFrame);
    g.setScrollBars(ssNone);
    g.setColCount(cols);
    g.setRowCount(rows);
    g.setDefaultColWidth(ColWidth);
    g.setDefaultRowHeight(RowHeight);
    g.resize(ViewWidth, ViewHeight);
    g.show();
    QApplication::processEvents();
}

// A typed grid of `rows` rows whose view shows rows from `top` on.
std::unique_ptr<tvorgrid> makeTypedGrid(int rows, int top)
{
    auto g = std::make_unique<tvorgrid>();
    showGrid(*g, rows, Cols);
    setUpTypedColumns(*g);
    g->setshowtitles(true);
    for (int k = 0; k < FilledRows && top + k < rows; ++k)
        for (int c = 0; c < Cols; ++c)
            g->setCells(c, top + k, storedText(c, k));
    g->setTopRow(top);
    return g;
}

// What tvorgrid shows for a cell, formatted once up front: the texts a Qt
// programmer would put into the model.
std::unique_ptr<QTableView> makeTableView(tvorgrid &shown, QStandardItemModel &model)
{
    model.setRowCount(FilledRows);
    model.setColumnCount(Cols);
    for (int c = 0; c < Cols; ++c)
        model.setHorizontalHeaderItem(c, new QStandardItem(shown.Cells(c, 0)));
    for (int k = 0; k < FilledRows; ++k)
        for (int c = 0; c < Cols; ++c) {
            auto *item = new QStandardItem;
            const Kind kind = kindOf(c);
            if (c > 0 && kind == Paid) {
                item->setCheckable(true);
                item->setCheckState(shown.Cells(c, k + 1).isEmpty() ? Qt::Unchecked : Qt::Checked);
            } else {
                item->setText(shown.DisplayText(c, k + 1));
                if (c > 0 && (kind == Price || kind == Quantity || kind == Total))
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
            }
            model.setItem(k, c, item);
        }
    auto view = std::make_unique<QTableView>();
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setWordWrap(true);
    view->horizontalHeader()->setDefaultSectionSize(ColWidth);
    view->verticalHeader()->hide(); // the grid has no row headers beyond its fixed column
    view->verticalHeader()->setDefaultSectionSize(RowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setModel(&model);
    view->resize(ViewWidth, ViewHeight);
    view->show();
    QApplication::processEvents();
    return view;
}

// Every visible cell a formula over two cells beyond the view's right edge (plain
// numbers), or the same viewport of plain texts.
std::unique_ptr<tvorgrid> makeFormulaGrid(bool formulas)
{
    auto g = std::make_unique<tvorgrid>();
    showGrid(*g, FilledRows + 1, Cols + 2);
    g->setFixedCols(0);
    g->setFixedRows(0);
    TvorgridColumns *columns = g->columns();
    columns->BeginUpdate();
    for (int c = 0; c < Cols && formulas; ++c)
        columns->GeTmColumn(c)->settype(ftformula);
    columns->EndUpdate();
    for (int r = 0; r <= FilledRows; ++r) {
        g->setCells(Cols, r, QString::number(r * 1.25, 'f', 2));
        g->setCells(Cols + 1, r, QString::number(r % 17));
        for (int c = 0; c < Cols; ++c)
            g->setCells(c, r, formulas ? QStringLiteral("COL(%1)+COL(%2)").arg(Cols).arg(Cols + 1)
                                       : FloatToStr(r * 1.25 + r % 17));
    }
    return g;
}

struct Peers
{
    std::unique_ptr<tvorgrid> typed100, typed1M, formulas, texts;
    QStandardItemModel model;
    std::unique_ptr<QTableView> table;
};

// Made on first use, destroyed by main while the QApplication still exists.
std::unique_ptr<Peers> g_peers;

Peers &peers()
{
    if (!g_peers) {
        g_peers = std::make_unique<Peers>();
        g_peers->typed100 = makeTypedGrid(FilledRows + 1, 1);
        g_peers->typed1M = makeTypedGrid(1'000'000, 999'900);
        g_peers->formulas = makeFormulaGrid(true);
        g_peers->texts = makeFormulaGrid(false);
        g_peers->table = makeTableView(*g_peers->typed100, g_peers->model);
    }
    return *g_peers;
}

QImage &canvas()
{
    static QImage image(ViewWidth, ViewHeight, QImage::Format_ARGB32_Premultiplied);
    return image;
}

void paint(QWidget &widget)
{
    widget.render(&canvas());
    benchmark::DoNotOptimize(canvas().constBits());
}

void BM_Paint_typed_rows100(benchmark::State &state)
{
    for (auto _ : state)
        paint(*peers().typed100);
}
BENCHMARK(BM_Paint_typed_rows100)->Unit(benchmark::kMillisecond);

void BM_Paint_typed_rows1M_at999900(benchmark::State &state)
{
    for (auto _ : state)
        paint(*peers().typed1M);
}
BENCHMARK(BM_Paint_typed_rows1M_at999900)->Unit(benchmark::kMillisecond);

void BM_Paint_QTableView_sameTexts(benchmark::State &state)
{
    for (auto _ : state)
        paint(*peers().table);
}
BENCHMARK(BM_Paint_QTableView_sameTexts)->Unit(benchmark::kMillisecond);

void BM_Paint_formulas(benchmark::State &state)
{
    for (auto _ : state)
        paint(*peers().formulas);
}
BENCHMARK(BM_Paint_formulas)->Unit(benchmark::kMillisecond);

void BM_Paint_plainTexts(benchmark::State &state)
{
    for (auto _ : state)
        paint(*peers().texts);
}
BENCHMARK(BM_Paint_plainTexts)->Unit(benchmark::kMillisecond);

// The texts both sides show must agree, or the comparison would be unfair.
bool sameTexts(Peers &p)
{
    for (int k = 0; k < FilledRows; ++k)
        for (int c = 0; c < Cols; ++c) {
            if (c > 0 && kindOf(c) == Paid) continue;
            const QString grid = p.typed1M->DisplayText(c, 999'900 + k);
            if (grid != p.typed100->DisplayText(c, k + 1) || grid != p.model.item(k, c)->text())
                return false;
        }
    return p.formulas->DisplayText(3, 7) == p.texts->DisplayText(3, 7);
}

auto painting(QWidget &widget)
{
    return [&widget] { paint(widget); };
}

// Each ratio is the median over interleaved rounds of the CPU time of painting the
// first over the second (bench::pairedRatio).
void measurePaintRatios()
{
    Peers &p = peers();
    if (!sameTexts(p)) std::printf("error: the peers do not show the same texts\n");
    std::printf("limit paint.typed_vs_qtableview <= 0.7, paint.typed_rows1M_vs_100 <= 1.2, "
                "paint.formulas_vs_text <= 2.0\n");
    std::printf("ratio paint.typed_vs_qtableview = %.3f\n",
                pairedRatio(painting(*p.typed100), painting(*p.table)));
    std::printf("ratio paint.typed_rows1M_vs_100 = %.3f\n",
                pairedRatio(painting(*p.typed1M), painting(*p.typed100)));
    std::printf("ratio paint.formulas_vs_text = %.3f\n",
                pairedRatio(painting(*p.formulas), painting(*p.texts)));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    peers(); // built before the clock runs: the first benchmark would time the set-up
    benchmark::RunSpecifiedBenchmarks();
    measurePaintRatios();
    std::fflush(stdout);
    g_peers.reset();
    benchmark::Shutdown();
    return 0;
}
