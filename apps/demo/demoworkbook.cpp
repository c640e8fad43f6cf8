#include "demoworkbook.h"

#include "demoexchange.h"
#include "orderstable.h"

#include "grid/vorGrid.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QStatusBar>

using namespace vorgrd;

namespace {

const QString XlsxFilter = QStringLiteral("Excel workbook (*.xlsx)");
const QString OdsFilter = QStringLiteral("OpenDocument spreadsheet (*.ods)");

} // namespace

bool loadWorkbook(QMainWindow *window, tvorgrid *grid, const QString &file)
{
    if (!guarded(window, QStringLiteral("Open workbook"), [&] {
            const TotalsRowAside aside(grid);
            grid->LoadFromWorkbook(file);
        }))
        return false;
    fitNoteRows(grid);
    window->statusBar()->showMessage(QStringLiteral("%1: %2 rows, %3 columns of its first sheet")
                                         .arg(file)
                                         .arg(grid->RowCount() - grid->FixedRows())
                                         .arg(grid->ColCount()));
    return true;
}

bool writeWorkbook(QMainWindow *window, tvorgrid *grid, const QString &file)
{
    const bool ods = file.endsWith(QLatin1String(".ods"), Qt::CaseInsensitive);
    const bool written = guarded(window, QStringLiteral("Save workbook"), [&] {
        const TotalsRowAside aside(grid);
        if (ods) grid->SaveasODS(file);
        else grid->SaveasXLSX(file);
    });
    if (written) window->statusBar()->showMessage(QStringLiteral("Saved %1").arg(file));
    return written;
}

void openWorkbook(QMainWindow *window, tvorgrid *grid)
{
    const QString file = QFileDialog::getOpenFileName(
        window, QStringLiteral("Open workbook"), QString(),
        QStringLiteral("Workbooks (*.xlsx *.ods);;") + XlsxFilter + QStringLiteral(";;") + OdsFilter);
    if (!file.isEmpty()) loadWorkbook(window, grid, file);
}

void saveWorkbook(QMainWindow *window, tvorgrid *grid)
{
    QString filter = XlsxFilter;
    QString file = QFileDialog::getSaveFileName(window, QStringLiteral("Save as workbook"),
                                                QStringLiteral("orders.xlsx"), XlsxFilter + QStringLiteral(";;") + OdsFilter, &filter);
    if (file.isEmpty()) return;
    // A name without the type's extension gets it, so that the file opens where it is
    // double-clicked.
    const QString extension = filter == OdsFilter ? QStringLiteral(".ods") : QStringLiteral(".xlsx");
    if (!file.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) && !file.endsWith(QLatin1String(".ods"), Qt::CaseInsensitive))
        file += extension;
    writeWorkbook(window, grid, file);
}
