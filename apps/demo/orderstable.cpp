#include "orderstable.h"

#include "grid/vorGrid.h"
#include "host/textconvert.h"

using namespace vorgrd;

namespace {

struct ColumnSetup
{
    const QString &name;
    tvorcolumntype type;
    const char *format;
    int width;
    TAlignment alignment;
};

const QString markerName;

// Column 0, the fixed column, holds no data (the exports leave it out): it shows the
// flag of marked rows. Its empty name matches no database field, so a fill empties it.
const ColumnSetup columnSetups[] = {
    {markerName, ftstring, "", 22, taCenter},
    {orders::Order, ftstring, "", 50, taLeftJustify},
    {orders::Customer, ftstring, "", 110, taLeftJustify},
    {orders::Product, ftstring, "", 110, taLeftJustify},
    {orders::Quantity, ftnumeric, "0", 70, taRightJustify},
    {orders::Price, ftnumeric, "#,##0.00", 70, taRightJustify},
    {orders::Delivered, ftdatetime, "dd mmm yyyy", 100, taLeftJustify},
    {orders::Paid, ftcheckbox, "", 45, taCenter},
    {orders::Status, ftstring, "", 90, taLeftJustify},
    {orders::Total, ftformula, "#,##0.00", 90, taRightJustify},
    {orders::Note, ftstring, "", 170, taLeftJustify},
};

const QStringList statusChoices = {"new",       "confirmed", "packed",   "shipped",
                                   "delivered", "returned",  "cancelled"};

constexpr TColor flagTint = 0x00C8F0FF;   // a pale yellow (0x00BBGGRR)
constexpr TColor totalsTint = 0x00F0E6DC; // a pale blue-grey

void describeColumn(tmcolumn *column, const ColumnSetup &setup)
{
    column->SetcolumnName(setup.name);
    column->settype(setup.type);
    column->SetDisplayformat(QString::fromLatin1(setup.format));
    column->SetWidth(setup.width);
    column->SetAlignment(setup.alignment);
    column->Title()->SetAlignment(taCenter);
}

// The sum of one column's cells, read as numbers or evaluated as formulas.
void addColumn(tvorgrid *grid, int col, bool formula, double &sum, int &leftOut)
{
    TvorParser parser;
    parser.setGrid(grid);
    for (int row = orders::FirstOrderRow; row < grid->RowCount(); ++row) {
        const QString text = grid->Cells(col, row);
        if (text.isEmpty()) continue;
        double value = 0;
        if (formula) {
            try {
                parser.setCellCol(col);
                parser.setCellRow(row);
                parser.Exec(text);
                value = parser.Value();
            } catch (const Exception &) {
                ++leftOut;
                continue;
            }
        } else if (!TryStrToFloat(text, value)) {
            ++leftOut;
            continue;
        }
        sum += value;
    }
}

QString totalsText(tvorgrid *grid, int col)
{
    if (col == grid->getcellsindex(orders::Order)) return QStringLiteral("Total");
    const OrderTotals totals = computeTotals(grid);
    if (col == grid->getcellsindex(orders::Quantity))
        return FormatFloat(QStringLiteral("#,##0"), totals.quantity);
    if (col == grid->getcellsindex(orders::Total))
        return FormatFloat(QStringLiteral("#,##0.00"), totals.total);
    if (col == grid->getcellsindex(orders::Product) && totals.leftOut > 0)
        return QStringLiteral("%1 rows left out").arg(totals.leftOut);
    return QString();
}

} // namespace

void setUpOrdersColumns(tvorgrid *grid)
{
    grid->setColCount(int(std::size(columnSetups)));
    grid->setFixedCols(1);
    TvorgridColumns *columns = grid->columns();
    columns->BeginUpdate();
    for (int i = 0; i < columns->Count(); ++i)
        describeColumn(columns->GeTmColumn(i), columnSetups[i]);
    columns->GeTmColumn(0)->SetColor(clBtnFace);
    columns->GeTmColumn(grid->getcellsindex(orders::Status))->GetPickList()->setStringList(statusChoices);
    // The ellipsis opens the customer chooser (the window's OnEditButtonClick).
    columns->GeTmColumn(grid->getcellsindex(orders::Customer))->SetButtonStyle(cbsEllipsis);
    columns->EndUpdate();
    for (int i = 0; i < columns->Count(); ++i)
        grid->setColWidths(i, columns->GeTmColumn(i)->GetWidth());
}

void addTotalsRow(tvorgrid *grid)
{
    if (grid->FixedRows() > orders::TotalsRow) return;
    grid->InsertRows(orders::TotalsRow, 1);
    grid->setFixedRows(orders::TotalsRow + 1);
}

void removeTotalsRow(tvorgrid *grid)
{
    if (grid->FixedRows() <= orders::TotalsRow) return;
    grid->setFixedRows(orders::TotalsRow);
    grid->DeleteRows(orders::TotalsRow, 1);
}

TotalsRowAside::TotalsRowAside(tvorgrid *grid)
    : m_grid(grid), m_hadRow(grid->FixedRows() > orders::TotalsRow)
{
    removeTotalsRow(grid);
}

TotalsRowAside::~TotalsRowAside()
{
    if (!m_hadRow) return;
    try {
        addTotalsRow(m_grid);
    } catch (const Exception &) {
        // Only a grid at its row limit refuses the row; it then shows no totals.
    }
}

OrderTotals computeTotals(tvorgrid *grid)
{
    OrderTotals totals;
    const int quantity = grid->getcellsindex(orders::Quantity);
    const int total = grid->getcellsindex(orders::Total);
    if (quantity >= 0) addColumn(grid, quantity, false, totals.quantity, totals.leftOut);
    int formulasLeftOut = 0;
    if (total >= 0) addColumn(grid, total, true, totals.total, formulasLeftOut);
    totals.leftOut = std::max(totals.leftOut, formulasLeftOut);
    return totals;
}

void fitNoteRows(tvorgrid *grid)
{
    const int note = grid->getcellsindex(orders::Note);
    if (note < 0) return;
    const int oneLine = grid->DefaultRowHeight();
    const int twoLines = 2 * grid->Font()->Height() + 6;
    for (int row = orders::FirstOrderRow; row < grid->RowCount(); ++row)
        grid->setRowHeights(row, grid->Cells(note, row).isEmpty() ? oneLine : twoLines);
}

void installOrdersDrawing(tvorgrid *grid, const SortIndicator *sort)
{
    grid->ondrawcell = [grid, sort](QObject *, int col, int row, const QRect &rect,
                                    TGridDrawState state, QString &text) {
        if (row == 0 && col == sort->column) {
            text += sort->descending ? QStringLiteral(" \u25BC") : QStringLiteral(" \u25B2");
        } else if (row == orders::TotalsRow && grid->FixedRows() > orders::TotalsRow) {
            // OPTIMIZATION: none needed: the sums cost one pass over the rows per
            // painted totals cell, well below a millisecond for the demo's orders.
            text = totalsText(grid, col);
            grid->Canvas().Brush().setColor(totalsTint);
            if (col == grid->getcellsindex(orders::Paid)) {
                // A check-box cell would show a box; the totals row has nothing to tick.
                grid->setDefaultDrawing(false);
                grid->Canvas().FillRect(rect);
            }
        } else if (row >= grid->FixedRows() && grid->GetSelectRow(row, orders::FlagMark)) {
            if (col == 0)
                text = QStringLiteral("\u25CF"); // a dot in the fixed column
            else if (!(state & gdSelected))
                grid->Canvas().Brush().setColor(flagTint);
        }
    };
}
