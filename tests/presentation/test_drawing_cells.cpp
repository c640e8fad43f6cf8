// DrawCell as a whole: the display text reaching ondrawcell and the screen, the
// DefaultDrawing bracket around the handler, canvas colours by cell kind, and
// painting that touches only the cells in view.
#include "test_drawing_grid.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
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

TEST(DrawCell, TitleCellsUseTheTitlesColourFontAndAlignmentAlsoInNumberColumns)
{
    DrawingGrid grid(400, 250);
    for (int col : {1, 2}) {
        tmcolumn *column = grid.column(col);
        column->SetWidth(100);
        column->Title()->SetCaption("Q10.00");
        column->Title()->SetColor(clYellow);
        column->Title()->SetAlignment(taCenter);
    }
    // A number column whose format blanks zeros: its caption is no number.
    grid.column(2)->settype(ftnumeric);
    grid.column(2)->SetDisplayformat("0.00x");
    grid.column(2)->SetAlignment(taRightJustify);
    grid.setshowtitles(true);
    const QImage image = grid.render();
    const QRect plain = grid.CellRect(1, 0), number = grid.CellRect(2, 0);
    EXPECT_EQ(image.pixelColor(plain.left() + 1, plain.top() + 1).rgb(), colourOf(clYellow).rgb());
    const QRect ink = inkBounds(image, plain, colourOf(clYellow));
    EXPECT_NEAR(ink.center().x() - plain.left(), 50, 2);
    EXPECT_EQ(image.copy(number), image.copy(plain));
}

TEST(DrawCell, SelectedCellsShowTheHighlightAndFixedCellsTheirColumnsColours)
{
    DrawingGrid grid(400, 250);
    grid.setOptions(grid.Options() | goRangeSelect);
    grid.column(0)->SetColor(clLime); // the fixed column
    grid.column(1)->SetColor(clAqua);
    grid.column(1)->SetWordwrap(false);
    grid.column(2)->SetColor(clAqua);
    grid.setCells(0, 2, "fixed");
    grid.setCells(1, 2, "data");
    grid.setCells(1, 3, "chosen");
    grid.setCol(2);
    grid.setRow(1);
    grid.setSelection(TGridRect{1, 3, 2, 1}); // anchor (1, 3), current (2, 1)
    const QImage image = grid.render();
    const QRect fixed = grid.CellRect(0, 2), data = grid.CellRect(1, 2), chosen = grid.CellRect(1, 3);
    EXPECT_EQ(image.pixelColor(fixed.left() + 1, fixed.bottom() - 1).rgb(), colourOf(clLime).rgb());
    EXPECT_EQ(image.pixelColor(data.left() + 1, data.bottom() - 1).rgb(), colourOf(clHighlight).rgb());
    EXPECT_EQ(image.pixelColor(chosen.left() + 1, chosen.bottom() - 1).rgb(), colourOf(clHighlight).rgb());
    // Selected text is drawn in the highlight text colour (anti-aliased: its pixels
    // come near that colour, far from the highlight).
    const QColor text = colourOf(clHighlightText), highlight = colourOf(clHighlight);
    ASSERT_GT(std::abs(qGray(text.rgb()) - qGray(highlight.rgb())), 100);
    int nearText = 0;
    for (int y = chosen.top(); y <= chosen.bottom(); ++y)
        for (int x = chosen.left(); x <= chosen.right(); ++x)
            if (std::abs(qGray(image.pixel(x, y)) - qGray(text.rgb())) < 40) ++nearText;
    EXPECT_GT(nearText, 10);
    const QRect unselected = grid.CellRect(3, 2);
    EXPECT_EQ(image.pixelColor(unselected.left() + 1, unselected.bottom() - 1).rgb(),
              colourOf(grid.Color()).rgb());
}

TEST(DrawCell, PaintingCallsTheCellsInViewOnlyWhereverAMillionRowsAreScrolled)
{
    DrawingGrid grid(400, 250);
    grid.setRowCount(1'000'000);
    grid.column(1)->settype(ftformula);
    int calls = 0;
    std::set<int> rows;
    grid.ondrawcell = [&](QObject *, int, int row, const QRect &, TGridDrawState, QString &) {
        ++calls;
        rows.insert(row);
    };
    grid.render();
    const int atTop = calls;
    // 250 pixels of rows of 25: 10 rows in view, 6 columns.
    EXPECT_EQ(atTop, 10 * 6);
    calls = 0;
    rows.clear();
    grid.setTopRow(999'900);
    grid.setCells(1, 999'905, "CELL(1;999904)+1");
    grid.render();
    EXPECT_EQ(calls, atTop);
    EXPECT_EQ(*rows.begin(), 0);
    EXPECT_EQ(*rows.rbegin(), 999'908);
}
