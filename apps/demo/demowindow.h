#pragma once
// The demo's main window: a tvorgrid of sample orders with typed columns, titles and
// a fixed column.

#include <QMainWindow>

namespace vorgrd {
class tvorgrid;
}

class DemoWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit DemoWindow(QWidget *parent = nullptr);
    vorgrd::tvorgrid *grid() const { return m_grid; }

private:
    void setUpColumns();
    void loadOrders();
    // Centred titles, a header-coloured fixed column and a column of wrapped notes in
    // taller rows.
    void showDrawing();
    // The in-place editor's buttons: a new Status column with a pick list, and an
    // ellipsis button on the Note column that opens a small dialog.
    void setUpEditorColumns();
    void showMarkedRows();

    vorgrd::tvorgrid *m_grid;
};
