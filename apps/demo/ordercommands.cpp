// DemoWindow's commands on the orders: sorting, rows and columns, flags, the column
// editor and the customer chooser.
#include "demowindow.h"

#include "customerchooser.h"
#include "orderssource.h"

#include "design/strcoled.h"
#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QStatusBar>

using namespace vorgrd;

namespace {

// The key type a column's values sort by; false for a formula column, whose cells
// hold expressions (sorting them would order the texts, not the values).
bool keyTypeOf(tvorcolumntype type, TMSortType &key)
{
    switch (type) {
    case ftnumeric: key = soNumeric; return true;
    case ftdatetime: key = soDate; return true;
    case ftformula: return false;
    default: key = soString; return true;
    }
}

} // namespace

bool DemoWindow::sortByColumn(int col, bool descending)
{
    if (col < m_grid->FixedCols() || col >= m_grid->ColCount()) return false;
    TMSortType key = soString;
    const QString name = m_grid->getcellsname(col);
    if (!keyTypeOf(m_grid->columns()->GeTmColumn(col)->gettype(), key)) {
        statusBar()->showMessage(QStringLiteral("%1 holds formulas: sort by the columns they read").arg(name), 5000);
        return false;
    }
    return command(QStringLiteral("Sort"), [&] {
        m_grid->setKeyType(key);
        m_grid->setKeyPos(1);
        m_grid->setKeyLen(2147483647);
        m_grid->setUseFixed(hfNot); // the titles and the totals row stay on top
        m_grid->setSortDescending(descending);
        m_grid->SortCompleteRows(col);
        m_sort = {col, descending};
        m_undone = SortIndicator();
        statusBar()->showMessage(
            QStringLiteral("Sorted by %1, %2").arg(name, descending ? "descending" : "ascending"), 5000);
    });
}

bool DemoWindow::sortByCurrentColumn(bool descending) { return sortByColumn(m_grid->Col(), descending); }

void DemoWindow::undoSort()
{
    command(QStringLiteral("Undo sort"), [this] {
        if (m_grid->SortState() == Unsorted) {
            statusBar()->showMessage(QStringLiteral("Nothing sorted yet"), 5000);
            return;
        }
        m_grid->UndoSort();
        std::swap(m_sort, m_undone);
        statusBar()->showMessage(m_sort.column < 0 ? QStringLiteral("Sort undone")
                                                   : QStringLiteral("Sort done again"),
                                 5000);
    });
}

void DemoWindow::insertRow()
{
    command(QStringLiteral("Insert row"), [this] { m_grid->InsertRows(m_grid->Row(), 1); });
}

void DemoWindow::deleteRows()
{
    command(QStringLiteral("Delete rows"), [this] {
        const TGridRect selection = m_grid->Selection();
        m_grid->DeleteRows(selection.Top, selection.Bottom - selection.Top + 1);
    });
}

void DemoWindow::insertColumn()
{
    command(QStringLiteral("Insert column"), [this] {
        m_grid->InsertCols(m_grid->Col(), 1);
        m_grid->setColWidths(m_grid->Col(), m_grid->DefaultColWidth());
    });
}

void DemoWindow::deleteColumn()
{
    command(QStringLiteral("Delete column"), [this] { m_grid->DeleteCols(m_grid->Col(), 1); });
}

void DemoWindow::toggleMarks()
{
    command(QStringLiteral("Flag"), [this] {
        const TGridRect selection = m_grid->Selection();
        bool allFlagged = true;
        for (int row = selection.Top; row <= selection.Bottom; ++row)
            allFlagged = allFlagged && m_grid->GetSelectRow(row, orders::FlagMark);
        for (int row = selection.Top; row <= selection.Bottom; ++row)
            m_grid->SetSelectRow(row, orders::FlagMark, !allFlagged);
    });
}

void DemoWindow::unmarkAll()
{
    command(QStringLiteral("Unflag"), [this] { m_grid->DeSelectAllMark(orders::FlagMark); });
}

TmGridColEditor *DemoWindow::showColumnEditor()
{
    auto *editor = new TmGridColEditor(this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowTitle(QStringLiteral("Edit Columns"));
    editor->setEditColumns(m_grid->columns());
    editor->show();
    return editor;
}

void DemoWindow::editColumns()
{
    TmGridColEditor editor(this);
    editor.setWindowTitle(QStringLiteral("Edit Columns"));
    editor.setEditColumns(m_grid->columns());
    editor.exec();
    command(QStringLiteral("Edit Columns"), [] {});
}

void DemoWindow::chooseCustomer()
{
    const int customer = m_grid->getcellsindex(orders::Customer);
    const int row = m_grid->Row();
    if (m_grid->Col() != customer) return;
    QStringList customers;
    if (!command(QStringLiteral("Customers"), [&] { customers = orderCustomers(); })) return;
    CustomerChooser chooser(customers, m_grid->Cells(customer, row), this);
    if (chooser.exec() != QDialog::Accepted || chooser.chosen().isEmpty()) return;
    command(QStringLiteral("Customer"), [&] { m_grid->setCells(customer, row, chooser.chosen()); });
}
