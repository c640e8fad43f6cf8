#include "demowindow.h"

#include "demoexchange.h"
#include "exportfill.h"

#include "grid/vorGrid.h"

#include <QFile>
#include <QInputDialog>
#include <QStatusBar>
#include <QTextStream>

using namespace vorgrd;

namespace {

struct ColumnSetup
{
    const char *name;
    tvorcolumntype type;
    const char *format;
    int width;
    TAlignment alignment;
};

// Column 0 (the order number) is the fixed column.
const ColumnSetup columnSetups[] = {
    {"Order", ftstring, "", 60, taLeftJustify},
    {"Customer", ftstring, "", 120, taLeftJustify},
    {"Product", ftstring, "", 130, taLeftJustify},
    {"Quantity", ftnumeric, "0", 70, taRightJustify},
    {"Price", ftnumeric, "#,##0.00", 70, taRightJustify},
    {"Delivered", ftdatetime, "dd mmm yyyy", 110, taLeftJustify},
    {"Paid", ftcheckbox, "", 50, taCenter},
    {"Total", ftformula, "#,##0.00", 100, taRightJustify},
};

} // namespace

DemoWindow::DemoWindow(QWidget *parent) : QMainWindow(parent), m_grid(new tvorgrid(this))
{
    setWindowTitle(QStringLiteral("vorgrd demo"));
    setCentralWidget(m_grid);
    m_grid->setOptions(m_grid->Options() | goColSizing | goColMoving | goRowMoving | goEditing | goTabs);
    setUpColumns();
    loadOrders();
    showDrawing();
    setUpEditorColumns();
    showMarkedRows();
    m_grid->setshowtitles(true);
    addFileAndClipboardMenus(this, m_grid);
    addExportAndFillMenus(this, m_grid);
    statusBar()->showMessage(QStringLiteral("%1 orders").arg(m_grid->RowCount() - 1));
    resize(915, 520);
}

void DemoWindow::setUpColumns()
{
    m_grid->setColCount(int(std::size(columnSetups)));
    m_grid->setFixedCols(1);
    m_grid->setFixedRows(1);
    TvorgridColumns *columns = m_grid->columns();
    columns->BeginUpdate();
    for (int i = 0; i < columns->Count(); ++i) {
        const ColumnSetup &setup = columnSetups[i];
        tmcolumn *column = columns->GeTmColumn(i);
        column->SetcolumnName(QString::fromLatin1(setup.name));
        column->settype(setup.type);
        column->SetDisplayformat(QString::fromLatin1(setup.format));
        column->SetWidth(setup.width);
        column->SetAlignment(setup.alignment);
    }
    columns->GeTmColumn(2)->GetPickList()->setStringList(
        {"Apples", "Bananas", "Carrots", "Cherries", "Grapes", "Leeks", "Pears", "Plums"});
    columns->EndUpdate();
    for (int i = 0; i < columns->Count(); ++i)
        m_grid->setColWidths(i, columns->GeTmColumn(i)->GetWidth());
}

void DemoWindow::loadOrders()
{
    QFile file(QStringLiteral(":/demo/orders.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QTextStream in(&file);
    in.readLine(); // the header: the titles come from the columns
    QStringList lines;
    while (!in.atEnd())
        lines << in.readLine();
    m_grid->setRowCount(int(lines.size()) + 1);
    for (int row = 1; row <= lines.size(); ++row) {
        const QStringList fields = lines[row - 1].split(u';');
        for (int col = 0; col < fields.size(); ++col)
            m_grid->setCells(col, row, fields[col]);
    }
}

void DemoWindow::showDrawing()
{
    TvorgridColumns *columns = m_grid->columns();
    const int note = m_grid->ColCount();
    m_grid->setColCount(note + 1);
    columns->BeginUpdate();
    for (int i = 0; i < columns->Count(); ++i)
        columns->GeTmColumn(i)->Title()->SetAlignment(taCenter);
    columns->GeTmColumn(0)->SetColor(clBtnFace);
    columns->GeTmColumn(note)->SetcolumnName(QStringLiteral("Note"));
    columns->GeTmColumn(note)->SetWidth(170); // a string column wraps its words
    columns->EndUpdate();
    m_grid->setColWidths(note, columns->GeTmColumn(note)->GetWidth());
    const struct
    {
        int row;
        const char *text;
    } notes[] = {{2, "Leave at the back door and ring twice"},
                 {5, "Call ahead: the loading bay closes at noon"},
                 {9, "Split into two boxes and label both"}};
    const int twoLines = 2 * m_grid->Font()->Height() + 6;
    for (const auto &n : notes) {
        if (n.row >= m_grid->RowCount()) continue;
        m_grid->setCells(note, n.row, QString::fromLatin1(n.text));
        m_grid->setRowHeights(n.row, twoLines);
    }
}

void DemoWindow::setUpEditorColumns()
{
    // The notes column (showDrawing's) gets the ellipsis; the status column is new.
    int note = m_grid->getcellsindex(QStringLiteral("Note"));
    const int status = m_grid->ColCount();
    m_grid->setColCount(status + (note < 0 ? 2 : 1));
    if (note < 0) note = status + 1;
    tmcolumn *statusColumn = m_grid->columns()->GeTmColumn(status);
    statusColumn->SetcolumnName(QStringLiteral("Status"));
    statusColumn->GetPickList()->setStringList(
        {"new", "confirmed", "packed", "shipped", "delivered", "returned", "cancelled"});
    statusColumn->SetWidth(90);
    tmcolumn *noteColumn = m_grid->columns()->GeTmColumn(note);
    noteColumn->SetcolumnName(QStringLiteral("Note"));
    noteColumn->SetButtonStyle(cbsEllipsis);
    const QStringList states = statusColumn->GetPickList()->toStringList();
    for (int row = 1; row < m_grid->RowCount(); ++row)
        m_grid->setCells(status, row, states.at((row * 3) % 5));
    // The ellipsis (or Ctrl+Return) on a Note cell edits the note in a dialog.
    m_grid->OnEditButtonClick = [this, note](QObject *) {
        if (m_grid->Col() != note) return;
        const int row = m_grid->Row();
        bool ok = false;
        const QString text = QInputDialog::getMultiLineText(
            this, QStringLiteral("Note"), QStringLiteral("Note for order %1:").arg(m_grid->Cells(0, row)),
            m_grid->Cells(note, row), &ok);
        if (ok) m_grid->setCells(note, row, text.simplified());
    };
}

// Row marks are the application's own: mark 1 flags the orders not yet paid, an
// ondrawcell handler tints their cells, and a double click marks or unmarks a row.
void DemoWindow::showMarkedRows()
{
    const int paidColumn = m_grid->getcellsindex(QStringLiteral("Paid"));
    if (paidColumn < 0) return;
    constexpr TColor markTint = 0x00C8F0FF; // a pale yellow (0x00BBGGRR)
    for (int row = m_grid->FixedRows(); row < m_grid->RowCount(); ++row)
        m_grid->SetSelectRow(row, 1, m_grid->Cells(paidColumn, row).isEmpty());
    m_grid->ondrawcell = [this](QObject *, int col, int row, const QRect &, TGridDrawState state,
                                QString &) {
        if (col < m_grid->FixedCols() || row < m_grid->FixedRows() || (state & gdSelected))
            return;
        if (m_grid->GetSelectRow(row, 1)) m_grid->Canvas().Brush().setColor(markTint);
    };
    m_grid->OnDblClick = [this](QObject *) {
        const int row = m_grid->Row();
        m_grid->SetSelectRow(row, 1, !m_grid->GetSelectRow(row, 1));
        m_grid->Refresh(); // marks never repaint by themselves
    };
}
