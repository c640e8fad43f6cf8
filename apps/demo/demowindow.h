#pragma once
// The demo's main window: the orders in a tvorgrid (typed columns, a formula column,
// a totals row, flagged rows), menus and a toolbar for what the component can do, a
// find bar, and a status bar that follows the current cell.
//
// The commands are public members so that the scripted tour (demotour.h) and the
// tests drive the window as the menus do.
//   demowindow.cpp     the window, the grid's set-up, the status bar
//   ordercommands.cpp  sorting, rows and columns, marks, the column editor, the chooser
//   demoactions.cpp    the menus and the toolbar that call them

#include "orderstable.h"

#include <QMainWindow>

#include <functional>

class FindBar;
class QLabel;

namespace vorgrd {
class tvorgrid;
class TmGridColEditor;
}

class DemoWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DemoWindow(QWidget *parent = nullptr);
    ~DemoWindow() override;

    vorgrd::tvorgrid *grid() const { return m_grid; }
    FindBar *findBar() const { return m_findBar; }
    const SortIndicator &sortIndicator() const { return m_sort; }

    // ---- data (demowindow.cpp) ----------------------------------------------------------
    // Fills the orders again from the database; marks the unpaid ones.
    void reloadOrders();

    // ---- status bar (demowindow.cpp) ----------------------------------------------------
    // The status line of a cell: its column's name, its raw text and, for a formula or
    // a formatted cell, the value shown.
    QString cellInfo(int col, int row) const;
    QString cellInfoShown() const;
    QString markedInfoShown() const;
    void showCellInfo(int col, int row);
    void showCurrentCellInfo();
    void showMarkedCount();

    // ---- commands (ordercommands.cpp) ---------------------------------------------------
    // Sorts the orders (whole rows) by the column, the key type following the column's
    // type; a date that does not convert is reported with nothing changed. False
    // when the sort did not run.
    bool sortByColumn(int col, bool descending);
    bool sortByCurrentColumn(bool descending);
    // Undoes the last sort, or redoes it when called again.
    void undoSort();
    void insertRow();
    void deleteRows();
    void insertColumn();
    void deleteColumn();
    // Flags the selected rows, or unflags them when all are flagged already.
    void toggleMarks();
    void unmarkAll();
    // The column editor on the grid's columns: modal, or (for the tour) shown and
    // returned, owned by the window.
    void editColumns();
    vorgrd::TmGridColEditor *showColumnEditor();
    // The customer chooser for the current row (the Customer column's ellipsis).
    void chooseCustomer();

private:
    void setUpGrid();
    void setUpStatusBar();
    void connectGridEvents();
    // A title cell pressed with ClickFixed sorts by its column (again: the other way).
    void titleClicked(int x, int y);
    // Runs a command of the library: a refusal goes to a message box, and the grid and
    // the status bar show the outcome either way. False when it was refused.
    bool command(const QString &title, const std::function<void()> &operation);

    vorgrd::tvorgrid *m_grid;
    FindBar *m_findBar;
    QLabel *m_cellInfo;
    QLabel *m_markedInfo;
    SortIndicator m_sort;
    SortIndicator m_undone; // the sort an undo took back, for the redo
    bool m_pressReachedBase = false;
    bool m_lastReleaseOnTitle = false;
};
