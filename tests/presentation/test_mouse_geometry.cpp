// The grid's own hit testing against the base's: the cell under a point and the
// border a press grabs must be the ones the base itself finds and drags, on random
// layouts (extents, line widths and line options, fixed counts, scroll positions).
#include "test_mouse_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorgrd;
using vorgrd::test::ShownGrid;

namespace {

// Reaches the base's own mouse handling of the same grid, bypassing tvorgrid's.
class BaseReach : public tvorgrid
{
public:
    void basePress(int x, int y) { TStringGrid::MouseDown(mbLeft, ssLeft, x, y); }
    void baseMove(int x, int y) { TStringGrid::MouseMove(ssLeft, x, y); }
    void baseRelease(int x, int y) { TStringGrid::MouseUp(mbLeft, {}, x, y); }
};

BaseReach *reach(tvorgrid *grid)
{
    return dynamic_cast<BaseReach *>(grid);
}

struct Layout
{
    std::mt19937 rng{20261208};
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    // A random layout on the grid; the client is 300..480 x 200..300 pixels.
    void apply(tvorgrid &grid)
    {
        grid.setFixedCols(0);
        grid.setFixedRows(0);
        grid.setColCount(pick(1, 14));
        grid.setRowCount(pick(1, 20));
        grid.setGridLineWidth(pick(0, 9));
        TGridOptions options;
        for (TGridOption o : {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine})
            if (pick(0, 3) > 0) options |= o;
        if (pick(0, 3) > 0) options |= goColSizing;
        if (pick(0, 3) > 0) options |= goRowSizing;
        grid.setOptions(options);
        for (int c = 0; c < grid.ColCount(); ++c)
            grid.setColWidths(c, pick(0, 5) == 0 ? pick(0, 3) : pick(8, 110));
        for (int r = 0; r < grid.RowCount(); ++r)
            grid.setRowHeights(r, pick(0, 5) == 0 ? pick(0, 3) : pick(6, 40));
        grid.setFixedCols(pick(0, std::min(3, grid.ColCount() - 1)));
        grid.setFixedRows(pick(0, std::min(3, grid.RowCount() - 1)));
        grid.resize(pick(300, 480), pick(200, 300));
        grid.setLeftCol(pick(grid.FixedCols(), grid.ColCount() - 1));
        grid.setTopRow(pick(grid.FixedRows(), grid.RowCount() - 1));
    }
};

TEST(MouseGeometry, CalcCoordFromPointAgreesWithTheBaseOnRandomLayoutsAndPoints)
{
    ShownGrid g;
    Layout layout;
    int beyond = 0, fixed = 0, scrolled = 0;
    for (int round = 0; round < 150; ++round) {
        layout.apply(*g.grid);
        // Every other layout mirrored: the columns then run from the right edge.
        g.grid->setLayoutDirection(round % 2 ? Qt::RightToLeft : Qt::LeftToRight);
        TGridDrawInfo info;
        g.grid->CalcDrawInfo(info);
        for (int k = 0; k < 80; ++k) {
            const int x = layout.pick(-4, g.grid->ClientWidth() + 4);
            const int y = layout.pick(-4, g.grid->ClientHeight() + 4);
            const TGridCoord ours = g.grid->CalcCoordFromPoint(x, y, info);
            ASSERT_EQ(ours, g.grid->MouseCoord(x, y))
                << "round " << round << " point " << x << "," << y;
            if (ours.X < 0 || ours.Y < 0)
                ++beyond;
            else if (ours.X < g.grid->FixedCols() || ours.Y < g.grid->FixedRows())
                ++fixed;
            else
                ++scrolled;
        }
    }
    // The sample reached every kind of point.
    EXPECT_GT(beyond, 100);
    EXPECT_GT(fixed, 100);
    EXPECT_GT(scrolled, 100);
}

TEST(MouseGeometry, CalcSizingStateFindsTheBordersTheBaseDrags)
{
    ShownGrid g(480, 300, new BaseReach);
    ASSERT_NE(reach(g.grid), nullptr);
    Layout layout;
    int grabbed = 0;
    for (int round = 0; round < 150; ++round) {
        layout.apply(*g.grid);
        g.grid->setDesigning(layout.pick(0, 5) == 0);
        for (int k = 0; k < 40; ++k) {
            TGridDrawInfo info;
            g.grid->CalcFixedInfo(info);
            // Aim near the fixed bands, where the borders are grabbed.
            const int x = layout.pick(0, 4) == 0 ? layout.pick(0, info.Horz.fixedEnd + 8)
                                                 : layout.pick(0, g.grid->ClientWidth());
            const int y = layout.pick(0, 1) == 0 ? layout.pick(0, info.Vert.fixedEnd + 8)
                                                 : layout.pick(0, g.grid->ClientHeight());
            TGridState state;
            int index, pos, ofs;
            g.grid->CalcSizingState(x, y, state, index, pos, ofs, info);
            reach(g.grid)->basePress(x, y);
            const TGridState base = g.grid->GridState();
            const bool baseSizing = base == gsColSizing || base == gsRowSizing;
            ASSERT_EQ(state, baseSizing ? base : gsNormal)
                << "round " << round << " point " << x << "," << y;
            if (!baseSizing) {
                EXPECT_EQ(index, -1);
                reach(g.grid)->baseRelease(x, y);
                continue;
            }
            ++grabbed;
            // Drag 5 pixels on: the base resizes cell `index` so that its border lands
            // at the point plus the offset.
            const bool cols = state == gsColSizing;
            const int start = cols ? g.grid->CellRect(index, 0).x()
                                   : g.grid->CellRect(0, index).y();
            const int before = cols ? g.grid->ColWidths(index) : g.grid->RowHeights(index);
            if (cols)
                reach(g.grid)->baseMove(x + 5, y);
            else
                reach(g.grid)->baseMove(x, y + 5);
            const int after = cols ? g.grid->ColWidths(index) : g.grid->RowHeights(index);
            EXPECT_EQ(after, (cols ? x : y) + 5 + ofs - start)
                << "round " << round << " point " << x << "," << y;
            EXPECT_EQ(pos, (cols ? x : y) + ofs);
            reach(g.grid)->baseRelease(x, y);
            if (cols)
                g.grid->setColWidths(index, before);
            else
                g.grid->setRowHeights(index, before);
        }
    }
    g.grid->setDesigning(false);
    EXPECT_GT(grabbed, 100);
}

TEST(MouseGeometry, ALineOfOnePixelIsGrabbedFromThreeBeforeToFourAfterIt)
{
    ShownGrid g;
    g.grid->setOptions(g.grid->Options() | goColSizing);
    TGridDrawInfo info;
    g.grid->CalcFixedInfo(info);
    const int border = 65 + 65 + 64; // the end of column 2, where its line starts
    auto grab = [&](int x) {
        TGridState state;
        int index, pos, ofs;
        g.grid->CalcSizingState(x, 5, state, index, pos, ofs, info);
        return state == gsColSizing && index == 2 && pos == border && ofs == border - x;
    };
    EXPECT_FALSE(grab(border - 4));
    for (int x = border - 3; x <= border + 4; ++x)
        EXPECT_TRUE(grab(x)) << x;
    EXPECT_FALSE(grab(border + 5));
    // Below the fixed row the same column is a cell, not a border.
    TGridState state;
    int index, pos, ofs;
    g.grid->CalcSizingState(border, 40, state, index, pos, ofs, info);
    EXPECT_EQ(state, gsNormal);
}

TEST(MouseGeometry, OnAMirroredGridTheBorderIsGrabbedAtItsMirroredPixel)
{
    ShownGrid g;
    g.grid->setOptions(g.grid->Options() | goColSizing);
    g.grid->setLayoutDirection(Qt::RightToLeft);
    TGridDrawInfo info;
    g.grid->CalcFixedInfo(info);
    EXPECT_TRUE(info.Horz.reversed);
    // Column 2's line is the pixel left of its cell.
    const QRect cell = g.grid->CellRect(2, 1);
    const int border = cell.left() - 1;
    TGridState state;
    int index, pos, ofs;
    g.grid->CalcSizingState(border - 2, 5, state, index, pos, ofs, info);
    EXPECT_EQ(state, gsColSizing);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(pos, border);
    // The offset (border minus point) counts in logical pixels, from the fixed column:
    // the point lies two pixels past the border.
    EXPECT_EQ(ofs, -2);
    // The same pixel of a left-to-right grid lies inside a cell, on no border.
    g.grid->setLayoutDirection(Qt::LeftToRight);
    g.grid->CalcFixedInfo(info);
    g.grid->CalcSizingState(border - 2, 5, state, index, pos, ofs, info);
    EXPECT_EQ(state, gsNormal);
}

TEST(MouseGeometry, WhileDesigningBordersAreGrabbedWithBothSizingOptionsOff)
{
    ShownGrid g;
    TGridDrawInfo info;
    g.grid->CalcFixedInfo(info);
    TGridState state;
    int index, pos, ofs;
    g.grid->CalcSizingState(129, 5, state, index, pos, ofs, info);
    EXPECT_EQ(state, gsNormal);
    g.grid->setDesigning(true);
    g.grid->CalcSizingState(129, 5, state, index, pos, ofs, info);
    EXPECT_EQ(state, gsColSizing);
    EXPECT_EQ(index, 1);
    g.grid->CalcSizingState(5, 49, state, index, pos, ofs, info);
    EXPECT_EQ(state, gsRowSizing);
    EXPECT_EQ(index, 1);
}

TEST(MouseGeometry, TheDrawInfoBoundsFollowTheClientAndTheScrollPosition)
{
    ShownGrid g(300, 200);
    g.grid->setColCount(10);
    g.grid->setLeftCol(3);
    TGridDrawInfo info;
    g.grid->CalcDrawInfo(info);
    EXPECT_EQ(info.Horz.fixedEnd, 65);
    EXPECT_EQ(info.Horz.firstCell, 3);
    // Columns 3, 4 and 5 fit whole (65 + 3 * 65 = 260), column 6 is cut at 300.
    EXPECT_EQ(info.Horz.lastFullCell, 5);
    EXPECT_EQ(info.Horz.fullEnd, 260);
    EXPECT_EQ(info.Horz.drawnEnd, 300);
    // All five rows fit in 200 pixels: the walk ends with the last row.
    EXPECT_EQ(info.Vert.lastFullCell, 4);
    EXPECT_EQ(info.Vert.fullEnd, 125);
    EXPECT_EQ(info.Vert.drawnEnd, 125);
    // Without line options the line width in effect is 0.
    g.grid->setOptions({});
    g.grid->CalcDrawInfoXY(info, 1000, 1000);
    EXPECT_EQ(info.Horz.lineWidth, 0);
    EXPECT_EQ(info.Horz.fixedEnd, 64);
    EXPECT_EQ(info.Horz.clientExtent, 1000);
}

} // namespace
