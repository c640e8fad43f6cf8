#pragma once
// The orders table's look: its typed columns, the totals row under the titles, and the
// drawing handler that shows totals, marked rows and the sort indicator.
//
// Layout of the grid after setUpOrdersTable:
//   row 0        the titles (showtitles), fixed
//   row 1        the totals row, fixed (so sorting, searching and pasting pass it by)
//   rows 2..     one order per row
//   column 0     fixed, no data: a dot on flagged rows
//   column 1..   Order, Customer, Product, Quantity, Price, Delivered, Paid, Status,
//                Total (the line total's formula), Note

#include <QString>

namespace vorgrd {
class tvorgrid;
}

namespace orders {
inline const QString Order = QStringLiteral("Order");
inline const QString Customer = QStringLiteral("Customer");
inline const QString Product = QStringLiteral("Product");
inline const QString Quantity = QStringLiteral("Quantity");
inline const QString Price = QStringLiteral("Price");
inline const QString Delivered = QStringLiteral("Delivered");
inline const QString Paid = QStringLiteral("Paid");
inline const QString Status = QStringLiteral("Status");
inline const QString Total = QStringLiteral("Total");
inline const QString Note = QStringLiteral("Note");
// Mark 1 of a row flags the order (the demo marks the unpaid ones at start).
constexpr int FlagMark = 1;
constexpr int TotalsRow = 1;
constexpr int FirstOrderRow = 2;
} // namespace orders

// Which column the orders were last sorted by, for the indicator in its title.
struct SortIndicator
{
    int column = -1; // none
    bool descending = false;
};

// The column descriptions (names, types, formats, widths, pick lists, buttons).
void setUpOrdersColumns(vorgrd::tvorgrid *grid);

// Puts the totals row in (row 1, fixed) or takes it out again, around a fill that
// replaces every row below the titles.
void addTotalsRow(vorgrd::tvorgrid *grid);
void removeTotalsRow(vorgrd::tvorgrid *grid);

// Takes the totals row out for the life of the object, for the operations that work on
// every row (filling, loading, saving and exporting files), and puts it back, also
// when the operation throws.
class TotalsRowAside
{
public:
    explicit TotalsRowAside(vorgrd::tvorgrid *grid);
    ~TotalsRowAside();
    TotalsRowAside(const TotalsRowAside &) = delete;
    TotalsRowAside &operator=(const TotalsRowAside &) = delete;

private:
    vorgrd::tvorgrid *m_grid;
    bool m_hadRow;
};

// The sums the totals row shows: the quantities, and the line totals' formula values.
// Rows whose quantity is no number or whose formula fails are left out and counted.
struct OrderTotals
{
    double quantity = 0;
    double total = 0;
    int leftOut = 0;
};
OrderTotals computeTotals(vorgrd::tvorgrid *grid);

// Orders with a note get rows two lines high, where the note wraps.
void fitNoteRows(vorgrd::tvorgrid *grid);

// The grid's ondrawcell handler: the totals row's sums, a pale tint on flagged rows
// and an arrow after the sorted column's title. `sort` must outlive the grid.
void installOrdersDrawing(vorgrd::tvorgrid *grid, const SortIndicator *sort);
