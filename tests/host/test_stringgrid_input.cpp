// The grid driven through QTest: selecting with the mouse and keys, navigation and
// scrolling at the edges, sizing and moving lines by dragging, typed characters.
#include "gridprobe.h"

#include <gtest/gtest.h>

using namespace vorgrd;
using vorgrd::test::obj;
using vorgrd::test::ProbeGrid;

namespace {

TGridRect rect(int l, int t, int r, int b)
{
    return TGridRect{l, t, r, b};
}

void drag(QWidget *w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = {})
{
    QTest::mousePress(w, Qt::LeftButton, mods, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, mods, to);
}

} // namespace

TEST(StringGridMouse, ClickDragAndShiftClickSelect)
{
    ProbeGrid g;
    QTest::mouseClick(g.area(), Qt::LeftButton, {}, g.cellCenter(3, 2));
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Selection(), rect(3, 2, 3, 2));

    drag(g.area(), g.cellCenter(1, 1), g.cellCenter(2, 3));
    EXPECT_EQ(g.Selection(), rect(1, 1, 2, 3));
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 3);

    QTest::mouseClick(g.area(), Qt::LeftButton, Qt::ShiftModifier, g.cellCenter(4, 4));
    EXPECT_EQ(g.Selection(), rect(1, 1, 4, 4));

    // Without range selection a drag only moves the current cell.
    g.setOptions(g.Options() & ~goRangeSelect);
    drag(g.area(), g.cellCenter(1, 1), g.cellCenter(3, 3));
    EXPECT_EQ(g.Selection(), rect(3, 3, 3, 3));
}

TEST(StringGridMouse, RightClicksAndFixedCellsDoNotMoveTheCurrentCell)
{
    ProbeGrid g;
    std::vector<TMouseButton> downs;
    g.OnMouseDown = [&](QObject *, TMouseButton b, TShiftState, int, int) { downs.push_back(b); };
    QTest::mouseClick(g.area(), Qt::RightButton, {}, g.cellCenter(3, 3));
    QTest::mouseClick(g.area(), Qt::LeftButton, {}, g.cellCenter(0, 3));
    QTest::mouseClick(g.area(), Qt::LeftButton, {}, g.cellCenter(3, 0));
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(downs, (std::vector<TMouseButton>{mbRight, mbLeft, mbLeft}));
}

TEST(StringGridMouse, DoubleClickRaisesTheNotification)
{
    ProbeGrid g;
    int clicks = 0;
    g.OnDblClick = [&](QObject *) { ++clicks; };
    QTest::mouseDClick(g.area(), Qt::LeftButton, {}, g.cellCenter(2, 2));
    EXPECT_EQ(clicks, 1);
}

TEST(StringGridMouse, ColumnBordersAreDraggedOnlyInsideTheFixedRows)
{
    ProbeGrid g;
    g.setOptions(g.Options() | goColSizing | goRowSizing);
    // Border after column 1 is at x = 65 + 64 = 129.
    drag(g.area(), QPoint(129, 10), QPoint(159, 10));
    EXPECT_EQ(g.ColWidths(1), 94);
    EXPECT_EQ(g.colWidthsChanged, 1);
    EXPECT_EQ(g.GridState(), gsNormal);

    // The same border below the fixed row is a cell press.
    const int before = g.ColWidths(2);
    const int border2 = 65 + 95 + 64; // end of column 2 after the resize
    drag(g.area(), QPoint(border2, 40), QPoint(border2 + 30, 40));
    EXPECT_EQ(g.ColWidths(2), before);
    EXPECT_EQ(g.colWidthsChanged, 1);

    // Row borders inside the fixed column.
    drag(g.area(), QPoint(10, 49), QPoint(10, 69));
    EXPECT_EQ(g.RowHeights(1), 44);
    EXPECT_EQ(g.rowHeightsChanged, 1);

    // Widths written by code are not reported.
    g.setColWidths(3, 20);
    EXPECT_EQ(g.colWidthsChanged, 1);
}

TEST(StringGridMouse, SizingNeedsTheOptionExceptInDesignMode)
{
    ProbeGrid g;
    drag(g.area(), QPoint(129, 10), QPoint(159, 10));
    EXPECT_EQ(g.ColWidths(1), 64);
    g.setDesigning(true);
    drag(g.area(), QPoint(129, 10), QPoint(159, 10));
    EXPECT_EQ(g.ColWidths(1), 94);
}

TEST(StringGridMouse, DraggedRowsAndColumnsCarryTextsAndObjects)
{
    ProbeGrid g;
    g.setOptions(g.Options() | goColMoving | goRowMoving);
    for (int i = 0; i < 5; ++i) {
        g.setCells(i, 2, QStringLiteral("c%1").arg(i));
        g.setObjects(i, 2, obj(10 + i));
        if (i != 2) g.setCells(4, i, QStringLiteral("r%1").arg(i));
    }
    g.setColWidths(1, 50);
    // Drag the title of column 1 onto column 3: the order becomes 0, 2, 3, 1, 4.
    drag(g.area(), g.cellCenter(1, 0), g.cellCenter(3, 0));
    EXPECT_EQ(g.colMoves, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(g.Cells(3, 2), QStringLiteral("c1"));
    EXPECT_EQ(g.Objects(3, 2), obj(11));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("c2"));
    EXPECT_EQ(g.Objects(2, 2), obj(13));
    EXPECT_EQ(g.ColWidths(3), 50); // the width travels with its column
    EXPECT_EQ(g.ColWidths(1), 64);
    EXPECT_EQ(g.Cells(4, 3), QStringLiteral("r3"));

    // Drag the fixed cell of row 4 onto row 1: the order becomes 0, 4, 1, 2, 3.
    drag(g.area(), g.cellCenter(0, 4), g.cellCenter(0, 1));
    EXPECT_EQ(g.rowMoves, (std::vector<std::pair<int, int>>{{4, 1}}));
    EXPECT_EQ(g.Cells(3, 3), QStringLiteral("c1"));
    EXPECT_EQ(g.Objects(3, 3), obj(11));
    EXPECT_EQ(g.Cells(4, 1), QStringLiteral("r4"));
    EXPECT_EQ(g.Cells(4, 2), QStringLiteral("r1"));

    // Without the options a drag on a fixed cell moves nothing.
    g.setOptions(g.Options() & ~(goColMoving | goRowMoving));
    drag(g.area(), g.cellCenter(1, 0), g.cellCenter(3, 0));
    EXPECT_EQ(g.colMoves.size(), 1u);
}

TEST(StringGridKeys, NavigationStopsAtTheEdgesAndScrolls)
{
    ProbeGrid g(300, 200);
    g.setRowCount(100);
    g.setColCount(30);
    struct Step
    {
        int key;
        Qt::KeyboardModifiers mods;
        int col, row;
    };
    const Step steps[] = {
        {Qt::Key_Up, {}, 1, 1},   // already at the top
        {Qt::Key_Left, {}, 1, 1}, // and at the left
        {Qt::Key_Down, {}, 1, 2},
        {Qt::Key_Right, {}, 2, 2},
        {Qt::Key_End, {}, 29, 2},
        {Qt::Key_Home, {}, 1, 2},
        {Qt::Key_End, Qt::ControlModifier, 29, 99},
        {Qt::Key_Down, {}, 29, 99}, // last row: stays
        {Qt::Key_Home, Qt::ControlModifier, 1, 1},
        {Qt::Key_PageDown, {}, 1, 1 + g.VisibleRowCount()},
    };
    for (const Step &s : steps) {
        QTest::keyClick(&g, static_cast<Qt::Key>(s.key), s.mods);
        EXPECT_EQ(g.Col(), s.col) << "key " << s.key;
        EXPECT_EQ(g.Row(), s.row) << "key " << s.key;
        // The current cell is always in view.
        EXPECT_FALSE(g.CellRect(g.Col(), g.Row()).isEmpty()) << "key " << s.key;
    }
    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(g.TopRow(), 100 - g.VisibleRowCount());
}

TEST(StringGridKeys, ShiftArrowsExtendTheSelection)
{
    ProbeGrid g;
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), rect(1, 1, 3, 2));
    QTest::keyClick(&g, Qt::Key_Up);
    EXPECT_EQ(g.Selection(), rect(3, 1, 3, 1));
}

TEST(StringGridKeys, TabMovesBetweenCellsOnlyWithTheOption)
{
    ProbeGrid g;
    QTest::keyClick(&g, Qt::Key_Tab);
    EXPECT_EQ(g.Col(), 1);
    g.setOptions(g.Options() | goTabs);
    g.setCol(4);
    QTest::keyClick(&g, Qt::Key_Tab); // wraps to the next row
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 2);
    QTest::keyClick(&g, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(g.Col(), 4);
    EXPECT_EQ(g.Row(), 1);
}

TEST(StringGridKeys, TypedCharactersReachKeyPressAsControlCodes)
{
    ProbeGrid g;
    QTest::keyClick(&g, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&g, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&g, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&g, Qt::Key_Backspace);
    QTest::keyClick(&g, Qt::Key_A);
    EXPECT_EQ(g.typed, QStringLiteral(u"\u0003\u0016\u0018\u0008a"));
    EXPECT_FALSE(g.EditorMode()); // no goEditing: nothing opens
}

TEST(StringGridKeys, OnKeyPressCanSwallowACharacter)
{
    ProbeGrid g;
    g.setOptions(g.Options() | goEditing);
    g.OnKeyPress = [](QObject *, QChar &key) {
        if (key == u'q') key = QChar();
    };
    QTest::keyClick(&g, Qt::Key_Q);
    EXPECT_FALSE(g.EditorMode());
    QTest::keyClick(&g, Qt::Key_W);
    EXPECT_TRUE(g.EditorMode());
}
