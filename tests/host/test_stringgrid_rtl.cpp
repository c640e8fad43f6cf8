// A grid under Qt::RightToLeft: the columns run from the right edge with the fixed
// columns there, and painting, hit testing, arrows, sizing and moving follow.
// ProbeGrid: 400 pixels wide, columns of 64 with lines of 1, so column c of an
// unscrolled grid takes x 400 - 65 c - 64 .. 400 - 65 c - 1 and its line the pixel
// before (to the left of) it.
#include "gridprobe.h"

#include <gtest/gtest.h>

using namespace vorgrd;
using vorgrd::test::ProbeGrid;

namespace {

struct MirroredGrid : ProbeGrid
{
    MirroredGrid() { setLayoutDirection(Qt::RightToLeft); }
};

int viewLeft(int col)
{
    return 400 - 65 * col - 64;
}

// The columns of one image row whose pixels differ from the background colour.
std::vector<int> inkColumns(const QImage &img, int y, int from, int to, const QColor &background)
{
    std::vector<int> xs;
    for (int x = from; x < to; ++x)
        if (img.pixelColor(x, y) != background) xs.push_back(x);
    return xs;
}

} // namespace

TEST(RightToLeftGrid, PaintsTheFixedColumnOnTheRightAndTheLinesBeforeEachCell)
{
    MirroredGrid g;
    g.setFixedColor(clRed);
    g.setColor(clWhite);
    const QImage img = g.render();
    const QColor red(255, 0, 0), white(255, 255, 255);
    const QColor fixedLine = ColorToQColor(clGray), line = ColorToQColor(clSilver);
    EXPECT_EQ(img.pixelColor(399, 60), red);            // column 0 at the right edge
    EXPECT_EQ(img.pixelColor(viewLeft(0), 60), red);    // ... from x 335
    EXPECT_EQ(img.pixelColor(viewLeft(0) - 1, 60), fixedLine); // its line to the left
    EXPECT_EQ(img.pixelColor(viewLeft(1) + 10, 60), white);    // column 1, row 2
    EXPECT_EQ(img.pixelColor(viewLeft(1) - 1, 60), line);
    EXPECT_EQ(img.pixelColor(5, 60), white);            // beyond the last column: background
    EXPECT_EQ(img.pixelColor(viewLeft(4) - 2, 60), white);
    EXPECT_EQ(img.pixelColor(viewLeft(2) + 10, 10), red); // the fixed row runs leftwards too
}

TEST(RightToLeftGrid, CellTextStaysInsideItsMirroredCell)
{
    MirroredGrid g;
    g.setColor(clWhite);
    g.setCells(2, 2, QStringLiteral("WWWW"));
    const QImage img = g.render();
    const QColor white(255, 255, 255);
    const int y = g.CellRect(2, 2).center().y();
    const std::vector<int> ink = inkColumns(img, y, 0, 400, white);
    ASSERT_FALSE(ink.empty());
    // Only the text of column 2 and the lines of the row: the text lies within its cell.
    const QRect cell = g.CellRect(2, 2);
    EXPECT_EQ(cell, QRect(viewLeft(2), 50, 64, 24));
    int inside = 0;
    for (int x : ink) {
        if (x >= cell.left() && x <= cell.right()) {
            ++inside;
            continue;
        }
        // Outside the cell only the vertical lines and the fixed column.
        const bool lineOrFixed = (400 - x) % 65 == 0 || x >= viewLeft(0) - 1;
        EXPECT_TRUE(lineOrFixed) << "ink at " << x;
    }
    EXPECT_GT(inside, 4);
}

TEST(RightToLeftGrid, HitTestingAndClicksFindTheMirroredCells)
{
    MirroredGrid g;
    EXPECT_EQ(g.MouseCoord(380, 30), (TGridCoord{0, 1}));
    EXPECT_EQ(g.MouseCoord(viewLeft(0) - 1, 30).X, 0); // a cell's line belongs to it
    EXPECT_EQ(g.MouseCoord(viewLeft(1), 30).X, 1);
    EXPECT_EQ(g.MouseCoord(viewLeft(4) - 2, 30).X, -1); // left of the last column
    EXPECT_EQ(g.CellRect(1, 1), QRect(viewLeft(1), 25, 64, 24));
    QTest::mouseClick(g.area(), Qt::LeftButton, {}, g.cellCenter(3, 2));
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 2);
    // Scrolled: the first scrollable column stands next to the fixed one.
    g.setColCount(30);
    g.setLeftCol(10);
    EXPECT_EQ(g.CellRect(10, 1), QRect(viewLeft(1), 25, 64, 24));
    EXPECT_EQ(g.MouseCoord(viewLeft(1) + 3, 30).X, 10);
    EXPECT_TRUE(g.CellRect(9, 1).isEmpty());
}

TEST(RightToLeftGrid, LeftAndRightArrowsFollowWhatTheUserSees)
{
    MirroredGrid g;
    g.setFocus();
    g.setCol(2);
    QTest::keyClick(&g, Qt::Key_Left);
    EXPECT_EQ(g.Col(), 3); // the cell on the left is the next column
    QTest::keyClick(&g, Qt::Key_Right);
    QTest::keyClick(&g, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 1);
    // The same grid left-to-right moves the usual way.
    g.setLayoutDirection(Qt::LeftToRight);
    QTest::keyClick(&g, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 2);
}

TEST(RightToLeftGrid, DraggingAMirroredBorderSizesAndDraggingAHeaderMoves)
{
    MirroredGrid g;
    g.setOptions(g.Options() | goColSizing | goColMoving);
    // The border of column 1 is its line, left of the cell; dragging it leftwards widens.
    const int border = viewLeft(1) - 1;
    QTest::mousePress(g.area(), Qt::LeftButton, {}, QPoint(border, 10));
    EXPECT_EQ(g.GridState(), gsColSizing);
    QTest::mouseMove(g.area(), QPoint(border - 10, 10));
    QTest::mouseRelease(g.area(), Qt::LeftButton, {}, QPoint(border - 10, 10));
    EXPECT_EQ(g.ColWidths(1), 74);
    EXPECT_EQ(g.colWidthsChanged, 1);
    EXPECT_EQ(g.CellRect(1, 1).left(), 400 - 65 - 74);
    g.setColWidths(1, 64);
    // A press in the header of column 1 dragged onto column 3 moves it there.
    QTest::mousePress(g.area(), Qt::LeftButton, {}, QPoint(viewLeft(1) + 30, 10));
    EXPECT_EQ(g.GridState(), gsColMoving);
    QTest::mouseMove(g.area(), QPoint(viewLeft(3) + 30, 10));
    QTest::mouseRelease(g.area(), Qt::LeftButton, {}, QPoint(viewLeft(3) + 30, 10));
    EXPECT_EQ(g.colMoves, (std::vector<std::pair<int, int>>{{1, 3}}));
}
