#include "demoexchange.h"

#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

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

// Asks which delimiter the file uses; false when the user cancels.
bool askDelimiter(QWidget *parent, QString &delimiter)
{
    QStringList labels;
    for (const DelimiterChoice &choice : delimiterChoices)
        labels << QString::fromLatin1(choice.label);
    bool ok = false;
    const QString picked = QInputDialog::getItem(parent, QStringLiteral("Delimiter"),
                                                 QStringLiteral("Cells are separated by:"),
                                                 labels, 0, false, &ok);
    if (!ok) return false;
    delimiter = QString::fromLatin1(delimiterChoices[labels.indexOf(picked)].delimiter);
    return true;
}

const QString fileFilter = QStringLiteral("Delimited text (*.csv *.txt *.tsv);;All files (*)");

// Asks for the file (to open or to save as) and its delimiter, then runs the operation
// and reports the outcome in the status bar, or a refusal in a message box.
template <typename Operation>
void withDelimitedFile(QMainWindow *window, bool saving, Operation operation)
{
    const QString title = saving ? QStringLiteral("Save as delimited file") : QStringLiteral("Open delimited file");
    const QString file = saving ? QFileDialog::getSaveFileName(window, title, QString(), fileFilter)
                                : QFileDialog::getOpenFileName(window, title, QString(), fileFilter);
    QString delimiter;
    if (file.isEmpty() || !askDelimiter(window, delimiter)) return;
    try {
        window->statusBar()->showMessage(operation(file, delimiter));
    } catch (const Exception &e) {
        QMessageBox::warning(window, title, e.Message());
    }
}

// Runs a clipboard operation, showing a refusal instead of letting it escape.
template <typename Operation> void guarded(QMainWindow *window, Operation operation)
{
    try {
        operation();
    } catch (const Exception &e) {
        QMessageBox::warning(window, QStringLiteral("Clipboard"), e.Message());
    }
}

} // namespace

void addFileAndClipboardMenus(QMainWindow *window, tvorgrid *grid)
{
    grid->setEnableClipboardShortcuts(true);
    QMenu *file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open delimited file..."), window, [=] {
        withDelimitedFile(window, false, [=](const QString &name, const QString &delimiter) {
            grid->LoadFromFile(name, delimiter);
            return QStringLiteral("%1: %2 rows, %3 columns").arg(name).arg(grid->RowCount()).arg(grid->ColCount());
        });
    });
    file->addAction(QStringLiteral("&Save as delimited file..."), window, [=] {
        withDelimitedFile(window, true, [=](const QString &name, const QString &delimiter) {
            grid->SaveToFile(name, delimiter);
            return QStringLiteral("Saved %1").arg(name);
        });
    });

    // The shortcuts are the grid's own (Ctrl+X, Ctrl+C, Ctrl+V); the menu only names them.
    QMenu *edit = window->menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("Cu&t\tCtrl+X"), window, [=] { guarded(window, [=] { grid->CutToClipboard(); }); });
    edit->addAction(QStringLiteral("&Copy\tCtrl+C"), window, [=] { guarded(window, [=] { grid->CopyToClipboard(); }); });
    edit->addAction(QStringLiteral("&Paste\tCtrl+V"), window, [=] { guarded(window, [=] { grid->PasteFromClipboard(); }); });
    edit->addSeparator();
    edit->addAction(QStringLiteral("Copy the &whole grid"), window, [=] { guarded(window, [=] { grid->SaveToClipboard(); }); });
    QAction *toCursor = edit->addAction(QStringLiteral("Paste at the c&ursor"));
    toCursor->setCheckable(true);
    QObject::connect(toCursor, &QAction::toggled, grid, [=](bool on) { grid->setPasteToCursor(on); });
}
