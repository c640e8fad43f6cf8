#pragma once
// The demo's file and clipboard menus: open and save delimited files, cut, copy and
// paste cells.

class QMainWindow;

namespace vorgrd {
class tvorgrid;
}

// Adds "File" entries (open, save as) and an "Edit" menu for the grid to the window's
// menu bar, and turns the grid's clipboard shortcuts on.
void addFileAndClipboardMenus(QMainWindow *window, vorgrd::tvorgrid *grid);
