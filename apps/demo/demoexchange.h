#pragma once
// The demo's exchange operations behind its menus: delimited files (a file dialog and
// a delimiter choice), HTML and SYLK export (the HTML opened in the system browser when
// one is there), and the clipboard. Each reports its outcome in the window's status
// bar and a refusal in a message box with the library's message; a refused operation
// leaves the grid as it was.

#include "host/exceptions.h"

#include <QString>

#include <exception>

class QMainWindow;

namespace vorgrd {
class tvorgrid;
}

void openDelimitedFile(QMainWindow *window, vorgrd::tvorgrid *grid);
void saveDelimitedFile(QMainWindow *window, vorgrd::tvorgrid *grid);
// The steps behind the two dialogs, for a name and a delimiter already known.
void loadDelimited(QMainWindow *window, vorgrd::tvorgrid *grid, const QString &file,
                   const QString &delimiter);
void saveDelimited(QMainWindow *window, vorgrd::tvorgrid *grid, const QString &file,
                   const QString &delimiter);

void exportHtml(QMainWindow *window, vorgrd::tvorgrid *grid);
void exportSylk(QMainWindow *window, vorgrd::tvorgrid *grid);
// Writes the export into `file`; true when it was written.
bool writeExport(QMainWindow *window, vorgrd::tvorgrid *grid, const QString &file, bool html);

enum class ClipboardOperation { Cut, Copy, Paste, CopyAll };
void runClipboard(QMainWindow *window, vorgrd::tvorgrid *grid, ClipboardOperation operation);

// Shows a refusal of the library (or any failure) in a message box.
void showError(QMainWindow *window, const QString &title, const QString &message);

// Runs an operation of the library, showing its refusal instead of letting it escape;
// true when it ran through.
template <typename Operation> bool guarded(QMainWindow *window, const QString &title, Operation operation)
{
    try {
        operation();
        return true;
    } catch (const vorgrd::Exception &e) {
        showError(window, title, e.Message());
    } catch (const std::exception &e) {
        showError(window, title, QString::fromLocal8Bit(e.what()));
    }
    return false;
}
