// What handlers may do to the grid: throw anything, change or destroy the grid while it
// selects, drags or paints. Each case once took the grid (or the application) down.
#include "gridprobe.h"
#include "warningcapture.h"

#include <QPointer>

#include <gtest/gtest.h>

using namespace vorgrd;
using vorgrd::test::ProbeGrid;
using vorgrd::test::WarningCapture;

namespace {

// The pixel of column `col`'s right border inside the fixed row.
QPoint colBorder(const ProbeGrid &g, int col)
{
    const QRect r = g.CellRect(col, 0);
    return QPoint(r.right() + 1, r.center().y());
}

} // namespace

TEST(GridHandlers, NothingAHandlerThrowsLeavesAQtEventHandler)
{
    ProbeGrid g;
    WarningCapture warnings;
    g.OnKeyDown = [](QObject *, int &, TShiftState) { throw 1; };
    g.OnMouseDown = [](QObject *, TMouseButton, TShiftState, int, int) {
        throw std::runtime_error("mouse handler failed");
    };
    g.OnSelectCell = [](QObject *, int, int, bool &) { throw 2.5; };
    EXPECT_NO_THROW(QTest::keyClick(&g, Qt::Key_Down));
    EXPECT_NO_THROW(QTest::mouseClick(g.area(), Qt::LeftButton, {}, g.cellCenter(3, 3)));
    // The refused selection left the current cell alone, and the user can see why.
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_TRUE(warnings.contains(QStringLiteral("vorgrd: key press: an exception that is no")));
    EXPECT_TRUE(warnings.contains(QStringLiteral("mouse press: ")));
}

TEST(GridHandlers, AnInterruptedDragIsReset)
{
    ProbeGrid g;
    g.setOptions(g.Options() | goColSizing | goColMoving);
    // A handler that throws after the press started sizing a column.
    g.OnMouseDown = [](QObject *, TMouseButton, TShiftState, int, int) { throw 3; };
    QTest::mousePress(g.area(), Qt::LeftButton, {}, colBorder(g, 1));
    EXPECT_EQ(g.GridState(), gsNormal);
    QTest::mouseMove(g.area(), colBorder(g, 1) + QPoint(40, 0));
    QTest::mouseRelease(g.area(), Qt::LeftButton, {}, colBorder(g, 1) + QPoint(40, 0));
    EXPECT_EQ(g.ColWidths(1), 64);
    EXPECT_EQ(g.colWidthsChanged, 0);

    // A handler that drops the column being sized: the drag ends, no width is
    // written past the count.
    g.OnMouseDown = [&](QObject *, TMouseButton, TShiftState, int, int) { g.setColCount(2); };
    QTest::mousePress(g.area(), Qt::LeftButton, {}, colBorder(g, 3));
    EXPECT_EQ(g.GridState(), gsNormal);
    QTest::mouseMove(g.area(), colBorder(g, 1) + QPoint(40, 0));
    QTest::mouseRelease(g.area(), Qt::LeftButton, {}, colBorder(g, 1) + QPoint(40, 0));
    g.OnMouseDown = nullptr;
    g.setColCount(5);
    EXPECT_EQ(g.ColWidths(3), 64);

    // A press while a drag is still set (its release went elsewhere) ends that drag.
    QTest::mousePress(g.area(), Qt::LeftButton, {}, g.CellRect(2, 0).center());
    EXPECT_EQ(g.GridState(), gsColMoving);
    QTest::mousePress(g.area(), Qt::LeftButton, {}, g.cellCenter(3, 3));
    EXPECT_EQ(g.GridState(), gsSelecting);
    QTest::mouseRelease(g.area(), Qt::LeftButton, {}, g.cellCenter(3, 3));
    EXPECT_EQ(g.colMoves.size(), 0u);
    EXPECT_EQ(g.Col(), 3);
}

TEST(GridHandlers, ASelectionHandlerThatShrinksTheGridKeepsTheCurrentCellInside)
{
    ProbeGrid g;
    g.OnSelectCell = [&](QObject *, int, int, bool &) {
        g.setRowCount(3);
        g.setColCount(2);
    };
    QTest::mouseClick(g.area(), Qt::LeftButton, {}, g.cellCenter(4, 4));
    EXPECT_LT(g.Row(), g.RowCount());
    EXPECT_LT(g.Col(), g.ColCount());
    EXPECT_LT(g.Selection().Bottom, g.RowCount());
    g.OnSelectCell = [&](QObject *, int, int, bool &) { g.setRowCount(2); };
    g.setRowCount(5);
    g.setRow(4);
    EXPECT_EQ(g.Row(), 1);
}

TEST(GridHandlers, AGridDestroyedByItsOwnHandlerStopsAtOnce)
{
    WarningCapture warnings;
    auto *g = new ProbeGrid;
    QPointer<ProbeGrid> alive(g);
    g->OnSelectCell = [g](QObject *, int, int, bool &) { delete g; };
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(g, &down);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(warnings.contains(QStringLiteral("deleteLater")));

    // Called from code, the operation raises instead of going on in freed memory.
    auto *h = new ProbeGrid;
    h->OnSelectCell = [h](QObject *, int, int, bool &) { delete h; };
    EXPECT_THROW(h->setRow(3), Exception);
}

TEST(GridPainting, AChangeWhilePaintingNeverPaintsRecursively)
{
    ProbeGrid g;
    int calls = 0;
    g.OnDrawCell = [&](QObject *, int, int, const QRect &, TGridDrawState) {
        if (++calls == 3) {
            g.Repaint();
            g.setColCount(3);
            g.setDefaultRowHeight(30);
        }
    };
    g.render();
    EXPECT_EQ(g.ColCount(), 3);
    // The paint stopped at the change; the next one draws exactly the new layout.
    g.OnDrawCell = nullptr;
    g.render();
    for (const auto &[c, r] : g.drawn) EXPECT_LT(c, 3);
    EXPECT_TRUE(g.drawn.count({2, 4}));
    EXPECT_EQ(g.CellRect(0, 1).top(), 31);
}

TEST(GridPainting, ZeroHeightRowsCostNothingToPaintOrHitTest)
{
    // With no grid lines and rows of height 0, every row but the last two takes no
    // pixel: the view shows those two, whatever the count.
    ProbeGrid g(300, 200, true);
    g.setOptions(g.Options() | goRowSizing);
    g.setRowCount(INT_MAX);
    g.setGridLineWidth(0);
    g.setDefaultRowHeight(0);
    g.setRowHeights(INT_MAX - 2, 24);
    g.setRowHeights(INT_MAX - 1, 24);
    g.render();
    std::set<int> rows;
    for (const auto &[c, r] : g.drawn) rows.insert(r);
    EXPECT_EQ(rows, (std::set<int>{INT_MAX - 2, INT_MAX - 1}));
    EXPECT_EQ(g.MouseCoord(10, 30).Y, INT_MAX - 1);
    // Every zero-height row from the fixed band on is shown whole.
    EXPECT_EQ(g.VisibleRowCount(), INT_MAX - 1);
    g.setRow(INT_MAX - 1);
    EXPECT_EQ(g.Row(), INT_MAX - 1);
    QTest::mouseMove(g.area(), QPoint(20, 5));
    QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(g.Row(), 0 + g.FixedRows());
}
