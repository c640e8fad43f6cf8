#pragma once
// The demo's "Export" and "Database" menus: the grid as HTML or SYLK, and the grid
// filled again from a SQLite database of the sample orders.

class QMainWindow;
namespace vorgrd {
class tvorgrid;
}

void addExportAndFillMenus(QMainWindow *window, vorgrd::tvorgrid *grid);
