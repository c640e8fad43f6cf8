#include "demoexchange.h"

#include "orderstable.h"

#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QUrl>

using namespace vorgrd;

namespace {

struct DelimiterChoice
{
    const char *label;
    const char *delimiter;
};

const DelimiterChoice delimiterChoices[] = {
    {"Semicolon (;)", ";"},
    {"Comma (,)", ","},
    {"Tab", "\t"},
    {"Vertical bar (|)", "|"},
};

const QString fileFilter = QStringLiteral("Delimited text (*.csv *.txt *.tsv);;All files (*)");

// Asks which delimiter the file uses; false when the user cancels.
bool askDelimiter(QWidget *parent, QString &delimiter)
{
    QStringList labels;
    for (const DelimiterChoice &choice : delimiterChoices)
        labels << QString::fromLatin1(choice.label);
    bool ok = false;
    const QString picked = QInputDialog::getItem(parent, QStringLiteral("Delimiter"),
                                                 QStringLiteral("Cells are separated by:"), labels, 0,
                                                 false, &ok);
    if (!ok) return false;
    delimiter = QString::fromLatin1(delimiterChoices[labels.indexOf(picked)].delimiter);
    return true;
}

bool hasBrowser()
{
    // The offscreen platform (headless runs, the tests) has nowhere to show a page.
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

} // namespace

void showError(QMainWindow *window, const QString &title, const QString &message)
{
    window->statusBar()->showMessage(QStringLiteral("%1 failed: %2").arg(title, message));
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        // Headless there is nobody to click OK: the message goes to stderr instead.
        qWarning("%s: %s", qPrintable(title), qPrintable(message));
        return;
    }
    QMessageBox::warning(window, title, message);
}

void loadDelimited(QMainWindow *window, tvorgrid *grid, const QString &file, const QString &delimiter)
{
    if (!guarded(window, QStringLiteral("Open"), [&] {
            const TotalsRowAside aside(grid);
            grid->LoadFromFile(file, delimiter);
        }))
        return;
    fitNoteRows(grid);
    window->statusBar()->showMessage(QStringLiteral("%1: %2 rows, %3 columns")
                                         .arg(file)
                                         .arg(grid->RowCount() - grid->FixedRows())
                                         .arg(grid->ColCount()));
}

void saveDelimited(QMainWindow *window, tvorgrid *grid, const QString &file, const QString &delimiter)
{
    if (guarded(window, QStringLiteral("Save"), [&] {
            const TotalsRowAside aside(grid);
            grid->SaveToFile(file, delimiter);
        }))
        window->statusBar()->showMessage(QStringLiteral("Saved %1").arg(file));
}

void openDelimitedFile(QMainWindow *window, tvorgrid *grid)
{
    const QString file = QFileDialog::getOpenFileName(window, QStringLiteral("Open delimited file"),
                                                      QString(), fileFilter);
    QString delimiter;
    if (!file.isEmpty() && askDelimiter(window, delimiter)) loadDelimited(window, grid, file, delimiter);
}

void saveDelimitedFile(QMainWindow *window, tvorgrid *grid)
{
    const QString file = QFileDialog::getSaveFileName(window, QStringLiteral("Save as delimited file"),
                                                      QStringLiteral("orders.csv"), fileFilter);
    QString delimiter;
    if (!file.isEmpty() && askDelimiter(window, delimiter)) saveDelimited(window, grid, file, delimiter);
}

bool writeExport(QMainWindow *window, tvorgrid *grid, const QString &file, bool html)
{
    TStringList lines;
    const bool written = guarded(window, QStringLiteral("Export"), [&] {
        {
            const TotalsRowAside aside(grid);
            if (html)
                grid->SaveasHTML(QStringLiteral("Orders"), true, lines);
            else
                grid->SaveasSYLK(lines);
        }
        lines.SaveToFile(file);
    });
    if (written)
        window->statusBar()->showMessage(QStringLiteral("Exported %1 lines to %2").arg(lines.Count()).arg(file));
    return written;
}

void exportHtml(QMainWindow *window, tvorgrid *grid)
{
    const QString file = QFileDialog::getSaveFileName(window, QStringLiteral("Export as HTML"),
                                                      QStringLiteral("orders.html"),
                                                      QStringLiteral("HTML (*.html *.htm)"));
    if (file.isEmpty() || !writeExport(window, grid, file, true)) return;
    if (!hasBrowser() || !QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        window->statusBar()->showMessage(QStringLiteral("Exported %1 (no browser to show it)").arg(file));
}

void exportSylk(QMainWindow *window, tvorgrid *grid)
{
    const QString file = QFileDialog::getSaveFileName(window, QStringLiteral("Export as SYLK"),
                                                      QStringLiteral("orders.slk"),
                                                      QStringLiteral("SYLK (*.slk)"));
    if (!file.isEmpty()) writeExport(window, grid, file, false);
}

void runClipboard(QMainWindow *window, tvorgrid *grid, ClipboardOperation operation)
{
    guarded(window, QStringLiteral("Clipboard"), [&] {
        switch (operation) {
        case ClipboardOperation::Cut: grid->CutToClipboard(); break;
        case ClipboardOperation::Copy: grid->CopyToClipboard(); break;
        case ClipboardOperation::Paste: grid->PasteFromClipboard(); break;
        case ClipboardOperation::CopyAll: grid->SaveToClipboard(); break;
        }
    });
    grid->Refresh();
}
