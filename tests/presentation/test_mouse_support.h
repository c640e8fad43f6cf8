#pragma once
// A tvorgrid shown inside a window, laid out for pixel-exact input: no frame, no scroll
// bars, default sizes (64 x 24, lines of 1), so that an unscrolled cell (c, r) starts
// at (65 c, 25 r). The grid is a child widget, so a resize takes effect at once.
#include "grid/vorGrid.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

namespace vorgrd::test {

class ShownGrid
{
public:
    // `own`, when given, is the grid to show (a test's descendant); the window owns it.
    explicit ShownGrid(int width = 480, int height = 300, tvorgrid *own = nullptr)
    {
        window.resize(width, height);
        grid = own ? own : new tvorgrid;
        grid->setParent(&window);
        grid->setFrameShape(QFrame::NoFrame);
        grid->setScrollBars(ssNone);
        grid->setGeometry(0, 0, width, height);
        grid->show();
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    // Gives the window and the grid the keyboard focus.
    void focus()
    {
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        grid->setFocus(Qt::OtherFocusReason);
    }
    QWidget *area() const { return grid->viewport(); }
    QPoint center(int col, int row) const { return grid->CellRect(col, row).center(); }
    void click(int col, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(area(), button, Qt::NoModifier, center(col, row));
    }

    QWidget window;
    tvorgrid *grid = nullptr; // owned by the window
};

} // namespace vorgrd::test
