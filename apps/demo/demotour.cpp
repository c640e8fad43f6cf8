#include "demotour.h"

#include "demowindow.h"
#include "findbar.h"

#include "design/strcoled.h"
#include "grid/vorGrid.h"
#include "presentation/inplaceeditor.h"
#include "presentation/popuplist.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStatusBar>
#include <QTest>

#include <cstdio>

using namespace vorgrd;

namespace {

int column(DemoWindow &w, const QString &name) { return w.grid()->getcellsindex(name); }

void settle() { QApplication::processEvents(); }

// Presses the action the menus offer (found by its object name, the menu text).
void trigger(DemoWindow &w, const char *action)
{
    if (QAction *a = w.findChild<QAction *>(QString::fromLatin1(action))) a->trigger();
    settle();
}

void clickTitle(DemoWindow &w, const QString &name)
{
    tvorgrid *grid = w.grid();
    const QRect title = grid->CellRect(column(w, name), 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, title.center());
    settle();
}

void typeInto(DemoWindow &w, int col, int row, const QString &text)
{
    tvorgrid *grid = w.grid();
    grid->FocusCell(col, row, true);
    grid->setFocus();
    // The first character opens the editor with it; the rest is typed into the editor.
    QTest::keyClick(grid, text.at(0).toLatin1());
    QWidget *editor = grid->InplaceEditor();
    if (!editor) return;
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
}

void find(DemoWindow &w)
{
    w.findBar()->activate();
    w.findBar()->text()->setText(QStringLiteral("Walnuts"));
    w.findBar()->substring()->setChecked(false);
    w.findBar()->findFirst();
    w.findBar()->findNext();
    settle();
}

void paste(DemoWindow &w)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("Plums\t12\r\nPears\t7"));
    tvorgrid *grid = w.grid();
    const int product = column(w, QStringLiteral("Product"));
    grid->setTopRow(grid->FixedRows());
    grid->FocusCell(product, 3, true);
    trigger(w, "Paste\tCtrl+V");
    grid->setSelection({product, 3, product + 1, 4}); // to show where the cells went
}

void openPickList(DemoWindow &w)
{
    tvorgrid *grid = w.grid();
    grid->FocusCell(column(w, QStringLiteral("Status")), 3, true);
    grid->ShowEditor();
    if (auto *editor = qobject_cast<TVORGridInplaceEdit *>(grid->InplaceEditor())) editor->OpenPickList();
    settle();
}

void flagRows(DemoWindow &w)
{
    tvorgrid *grid = w.grid();
    grid->FocusCell(column(w, QStringLiteral("Customer")), 6, true);
    grid->setSelection({column(w, QStringLiteral("Customer")), 6, column(w, QStringLiteral("Customer")), 8});
    trigger(w, "Flag or unflag selected rows");
}

void openColumnEditor(DemoWindow &w)
{
    TmGridColEditor *editor = w.showColumnEditor();
    settle();
    auto *columnList = editor->findChild<QListWidget *>(QStringLiteral("ColumnList"));
    const QList<QListWidgetItem *> price = columnList->findItems(QStringLiteral("Price"), Qt::MatchExactly);
    if (!price.isEmpty()) {
        columnList->setCurrentItem(price.first());
        editor->ColumnListClick();
    }
    // Over the window's middle, as a window manager would place it.
    editor->move(w.geometry().center() - editor->rect().center());
    settle();
}

const std::vector<TourStep> steps = {
    {"orders", "The orders as the window opens: typed columns, the totals row, flagged (unpaid) orders",
     [](DemoWindow &w) { w.grid()->FocusCell(column(w, QStringLiteral("Price")), 2, true); }},
    {"sort", "A click on the Price title sorts the orders by price; the arrow shows the direction",
     [](DemoWindow &w) { clickTitle(w, QStringLiteral("Price")); }},
    {"undo-sort", "Undo sort (Ctrl+Z) brings the previous order back",
     [](DemoWindow &w) { trigger(w, "Undo sort"); }},
    {"find", "The find bar: \"Walnuts\" found, then Find next", find},
    {"paste", "Two rows of two cells (product and quantity) pasted from the clipboard onto the second order", paste},
    {"formula", "The first order's line total edited into COL(4)*COL(5)*0.9: a tenth off, the totals follow",
     [](DemoWindow &w) { typeInto(w, column(w, QStringLiteral("Total")), 2, QStringLiteral("COL(4)*COL(5)*0.9")); }},
    {"picklist", "The Status column's pick list", openPickList},
    {"flags", "Three orders flagged with Ctrl+M; the status bar counts the flagged rows", flagRows},
    {"coleditor", "Edit Columns... on the Price column", openColumnEditor},
};

// Without a window manager a dialog has no frame: `framed` draws a thin one.
void paintOver(QImage &image, DemoWindow &window, QWidget *widget, bool framed)
{
    if (!widget || !widget->isVisible()) return;
    QPainter painter(&image);
    const QPoint at = widget->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0));
    painter.drawImage(at, widget->grab().toImage());
    if (!framed) return;
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(QRect(at, widget->size()).adjusted(-1, -1, 0, 0));
}

} // namespace

const std::vector<TourStep> &tourSteps() { return steps; }

void finishStep(DemoWindow &window)
{
    for (TmGridColEditor *editor : window.findChildren<TmGridColEditor *>())
        editor->close();
    tvorgrid *grid = window.grid();
    if (auto *editor = qobject_cast<TVORGridInplaceEdit *>(grid->InplaceEditor()))
        if (editor->ListShown()) editor->ClosePickList(false);
    if (grid->EditorMode()) grid->HideEditor();
    window.statusBar()->clearMessage();
    window.showCellInfo(grid->Col(), grid->Row());
    settle();
}

QImage photograph(DemoWindow &window)
{
    settle();
    QImage image = window.grab().toImage();
    if (auto *editor = qobject_cast<TVORGridInplaceEdit *>(window.grid()->InplaceEditor()))
        if (editor->ListShown()) paintOver(image, window, editor->PickListBox(), false);
    for (TmGridColEditor *editor : window.findChildren<TmGridColEditor *>())
        paintOver(image, window, editor, true);
    return image;
}

int runTour(DemoWindow &window, const QString &dir)
{
    QDir().mkpath(dir);
    window.show();
    settle();
    int number = 1;
    for (const TourStep &step : tourSteps()) {
        step.run(window);
        const QString file = QDir(dir).filePath(
            QStringLiteral("tour-%1-%2.png").arg(number++, 2, 10, QLatin1Char('0')).arg(QLatin1String(step.name)));
        if (!photograph(window).save(file, "PNG")) {
            std::fprintf(stderr, "vorgrd-demo: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(QFileInfo(file).absoluteFilePath()));
        finishStep(window);
    }
    return 0;
}
