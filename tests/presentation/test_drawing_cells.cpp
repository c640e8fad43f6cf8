// DrawCell as a whole: the display text reaching ondrawcell and the screen, the
// DefaultDrawing bracket around the handler, canvas colours by cell kind, and
// painting that touches only the cells in view.
#include "test_drawing_grid.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

QColor colourOf(TColor c)
{
    return ColorToQColor(c);
}

} // namespace

TEST(DrawCell, TheHandlerReceivesTheDisplayTextAndWhatItLeavesIsDrawn)
{
    DrawingGrid grid;
    grid.column(1)->settype(ftformula);
    grid.column(2)->settype(ftnumeric);
    grid.column(2)->SetDisplayformat("0.00");
    grid.setCells(1, 1, "2+3*4");
    grid.setCells(2, 1, "2.5");
    grid.setCells(3, 1, "plain");
    std::map<std::pair<int, int>, QString> seen;
    grid.ondrawcell = [&](QObject *sender, int col, int row, const QRect &rect, TGridDrawState,
                          QString &text) {
        EXPECT_EQ(sender, &grid);
        EXPECT_EQ(rect, grid.CellRect(col, row));
        seen[{col, row}] = text;
        if (col == 3 && row == 1) text.clear();        // the text disappears
        if (col == 3 && row == 2) text = "WWWW";         // an empty cell gets text
    };
    const QImage image = grid.render();
    EXPECT_EQ(seen[std::make_pair(1, 1)], "14");
    EXPECT_EQ(seen[std::make_pair(2, 1)], "2.50");
    EXPECT_EQ(seen[std::make_pair(3, 1)], "plain");
    const QColor window = colourOf(grid.Color());
    EXPECT_TRUE(inkBounds(image, grid.CellRect(3, 1), window).isEmpty());
    EXPECT_FALSE(inkBounds(image, grid.CellRect(3, 2), window).isEmpty());
    EXPECT_EQ(grid.Cells(3, 1), "plain"); // the handler's text is drawn, not stored
}

TEST(DrawCell, AHandlerTurningDefaultDrawingOffDrawsThatCellAloneAndIsUndoneAfterIt)
{
    DrawingGrid grid;
    grid.setCells(1, 2, "one"); // (1, 1) is the current cell, which gets a focus frame
    grid.setCells(2, 2, "two");
    int calls = 0;
    grid.ondrawcell = [&](QObject *, int col, int row, const QRect &rect, TGridDrawState,
                          QString &) {
        ++calls;
        EXPECT_TRUE(grid.DefaultDrawing()) << "cell " << col << "," << row;
        if (col == 1 && row == 2) {
            grid.Canvas().Painter()->fillRect(rect, Qt::red);
            grid.setDefaultDrawing(false);
        }
        if (col == 2 && row == 3) {
            grid.setDefaultDrawing(false);
            throw std::runtime_error("handler failed");
        }
    };
    const QImage image = grid.render();
    EXPECT_GT(calls, 4);
    EXPECT_TRUE(grid.DefaultDrawing());
    const QRect own = grid.CellRect(1, 2);
    EXPECT_EQ(countColour(image, own, Qt::red), own.width() * own.height());
    // The next cell in the row is drawn the grid's way again.
    const QRect next = grid.CellRect(2, 2);
    EXPECT_EQ(countColour(image, next, Qt::red), 0);
    EXPECT_FALSE(inkBounds(image, next, colourOf(grid.Color())).isEmpty());
}
