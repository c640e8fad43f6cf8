#include "demoactions.h"

#include "demoexchange.h"
#include "demoworkbook.h"
#include "demowindow.h"
#include "findbar.h"

#include "grid/vorGrid.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

using namespace vorgrd;

namespace {

// One menu entry: its text, shortcut, toolbar icon (none: not on the toolbar).
struct Entry
{
    const char *text;
    const char *shortcut;
    QStyle::StandardPixmap icon;
};
constexpr QStyle::StandardPixmap noIcon = QStyle::SP_CustomBase;

class ActionBuilder
{
public:
    ActionBuilder(DemoWindow *window, QToolBar *toolBar) : m_window(window), m_toolBar(toolBar) {}

    void menu(const char *title) { m_menu = m_window->menuBar()->addMenu(QString::fromLatin1(title)); }
    void separator() { m_menu->addSeparator(); }

    template <typename Slot> QAction *add(const Entry &entry, Slot slot)
    {
        QAction *action = m_menu->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QString::fromUtf8(entry.text).remove(u'&').remove(QStringLiteral("...")));
        if (*entry.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        QObject::connect(action, &QAction::triggered, m_window, slot);
        // Whatever the command changed, the status bar shows the current cell anew.
        QObject::connect(action, &QAction::triggered, m_window, [w = m_window] {
            w->showCellInfo(w->grid()->Col(), w->grid()->Row());
            w->showMarkedCount();
        });
        if (entry.icon != noIcon) {
            action->setIcon(m_window->style()->standardIcon(entry.icon));
            m_toolBar->addAction(action);
        }
        return action;
    }

private:
    DemoWindow *m_window;
    QToolBar *m_toolBar;
    QMenu *m_menu = nullptr;
};

void addFileMenu(ActionBuilder &b, DemoWindow *w)
{
    tvorgrid *grid = w->grid();
    b.menu("&File");
    b.add({"&Open delimited file...", "Ctrl+O", QStyle::SP_DialogOpenButton}, [=] { openDelimitedFile(w, grid); });
    b.add({"&Save as delimited file...", "Ctrl+S", QStyle::SP_DialogSaveButton}, [=] { saveDelimitedFile(w, grid); });
    b.add({"Open &workbook (XLSX, ODS)...", "Ctrl+Shift+O", noIcon}, [=] { openWorkbook(w, grid); });
    b.add({"Save as wor&kbook (XLSX, ODS)...", "Ctrl+Shift+S", noIcon}, [=] { saveWorkbook(w, grid); });
    b.separator();
    b.add({"Export as &HTML...", "Ctrl+Shift+H", QStyle::SP_FileDialogDetailedView}, [=] { exportHtml(w, grid); });
    b.add({"Export as S&YLK...", "Ctrl+Shift+Y", noIcon}, [=] { exportSylk(w, grid); });
    b.separator();
    b.add({"&Reload the orders from the database", "F5", QStyle::SP_BrowserReload}, [=] { w->reloadOrders(); });
    b.separator();
    b.add({"&Quit", "Ctrl+Q", noIcon}, [=] { w->close(); });
}

void addEditMenu(ActionBuilder &b, DemoWindow *w)
{
    tvorgrid *grid = w->grid();
    b.menu("&Edit");
    b.add({"Cu&t\tCtrl+X", "", noIcon}, [=] { runClipboard(w, grid, ClipboardOperation::Cut); });
    b.add({"&Copy\tCtrl+C", "", noIcon}, [=] { runClipboard(w, grid, ClipboardOperation::Copy); });
    b.add({"&Paste\tCtrl+V", "", noIcon}, [=] { runClipboard(w, grid, ClipboardOperation::Paste); });
    b.add({"Copy the &whole grid", "", noIcon}, [=] { runClipboard(w, grid, ClipboardOperation::CopyAll); });
    QAction *toCursor = b.add({"Paste at the c&ursor", "", noIcon}, [] {});
    toCursor->setCheckable(true);
    QObject::connect(toCursor, &QAction::toggled, grid, [=](bool on) { grid->setPasteToCursor(on); });
    b.separator();
    b.add({"&Find...", "Ctrl+F", QStyle::SP_FileDialogContentsView}, [=] { w->findBar()->activate(); });
    b.add({"Find &next", "F3", noIcon}, [=] { w->findBar()->findNext(); });
    b.separator();
    b.add({"Edit &Columns...", "Ctrl+Shift+E", noIcon}, [=] { w->editColumns(); });
}

void addRowsMenu(ActionBuilder &b, DemoWindow *w)
{
    b.menu("&Rows");
    b.add({"&Insert row", "Ctrl+I", noIcon}, [=] { w->insertRow(); });
    b.add({"&Delete selected rows", "Ctrl+D", noIcon}, [=] { w->deleteRows(); });
    b.add({"Insert co&lumn", "Ctrl+Shift+I", noIcon}, [=] { w->insertColumn(); });
    b.add({"Delete col&umn", "Ctrl+Shift+D", noIcon}, [=] { w->deleteColumn(); });
    b.separator();
    b.add({"&Flag or unflag selected rows", "Ctrl+M", QStyle::SP_DialogApplyButton}, [=] { w->toggleMarks(); });
    b.add({"U&nflag all rows", "Ctrl+Shift+M", noIcon}, [=] { w->unmarkAll(); });
}

void addSortMenu(ActionBuilder &b, DemoWindow *w)
{
    b.menu("&Sort");
    b.add({"Sort &ascending by the current column", "F6", QStyle::SP_ArrowUp}, [=] { w->sortByCurrentColumn(false); });
    b.add({"Sort &descending by the current column", "Shift+F6", QStyle::SP_ArrowDown}, [=] { w->sortByCurrentColumn(true); });
    b.add({"&Undo sort", "Ctrl+Z", QStyle::SP_ArrowBack}, [=] { w->undoSort(); });
}

} // namespace

void addDemoActions(DemoWindow *window)
{
    QToolBar *toolBar = window->addToolBar(QStringLiteral("Commands"));
    toolBar->setObjectName(QStringLiteral("commandBar"));
    toolBar->setIconSize(QSize(16, 16));
    ActionBuilder builder(window, toolBar);
    addFileMenu(builder, window);
    addEditMenu(builder, window);
    addRowsMenu(builder, window);
    addSortMenu(builder, window);
}
