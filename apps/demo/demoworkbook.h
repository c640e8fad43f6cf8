#pragma once
// The demo's workbook commands: open a sheet of an XLSX or ODS file into the orders
// grid, and save the grid as either (the file dialog's type or the name's extension
// decides). Outcomes show in the status bar, refusals in a message box; a refused
// operation leaves the grid and any previous file as they were.

#include <QString>

class QMainWindow;

namespace vorgrd {
class tvorgrid;
}

void openWorkbook(QMainWindow *window, vorgrd::tvorgrid *grid);
void saveWorkbook(QMainWindow *window, vorgrd::tvorgrid *grid);
// The steps behind the two dialogs, for a name already known.
bool loadWorkbook(QMainWindow *window, vorgrd::tvorgrid *grid, const QString &file);
bool writeWorkbook(QMainWindow *window, vorgrd::tvorgrid *grid, const QString &file);
