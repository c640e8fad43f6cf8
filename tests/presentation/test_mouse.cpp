// What the grid does with presses and typed characters before the base: fixed-cell
// clicks, check-box toggling, swallowed right and middle presses, double clicks,
// border presses and the first character that opens the editor.
#include "test_mouse_support.h"

#include "host/inplaceedit.h"

#include <gtest/gtest.h>

using namespace vorgrd;
using vorgrd::test::ShownGrid;

namespace {

struct MouseGrid : ::testing::Test
{
    void SetUp() override
    {
        g.grid->setColCount(6);
        g.grid->setRowCount(8);
        g.grid->OnMouseDown = [this](QObject *, TMouseButton, TShiftState, int, int) { ++downs; };
        g.grid->OnDblClick = [this](QObject *) { ++doubles; };
    }
    void makeCheckColumn(int col) { g.grid->columns()->GeTmColumn(col)->settype(ftcheckbox); }
    void allowEditing() { g.grid->setOptions(g.grid->Options() | goEditing); }
    QPoint current() const { return QPoint(g.grid->Col(), g.grid->Row()); }

    ShownGrid g;
    int downs = 0;
    int doubles = 0;
};

TEST_F(MouseGrid, ClickFixedMovesTheRowOrColumnPressedAndTheCornerDoesNothing)
{
    g.grid->setClickFixed(true);
    g.grid->FocusCell(2, 2, true);
    g.click(3, 0); // the fixed cell above column 3
    EXPECT_EQ(current(), QPoint(3, 2));
    g.click(0, 5); // the fixed cell left of row 5
    EXPECT_EQ(current(), QPoint(3, 5));
    g.click(0, 0);
    EXPECT_EQ(current(), QPoint(3, 5));
    // None of these reached the base's handling.
    EXPECT_EQ(downs, 0);
}

TEST_F(MouseGrid, WithoutClickFixedFixedCellPressesGoToTheBase)
{
    g.grid->FocusCell(2, 2, true);
    g.click(3, 0);
    g.click(0, 5);
    EXPECT_EQ(current(), QPoint(2, 2));
    EXPECT_EQ(downs, 2);
}

TEST_F(MouseGrid, TheSecondPressOnACheckBoxCellTogglesItBetweenYAndEmpty)
{
    makeCheckColumn(2);
    allowEditing();
    g.grid->setCells(2, 4, QString());
    g.click(2, 4); // makes the cell current (base handling)
    EXPECT_EQ(current(), QPoint(2, 4));
    EXPECT_EQ(g.grid->Cells(2, 4), "");
    EXPECT_EQ(downs, 1);
    g.click(2, 4);
    EXPECT_EQ(g.grid->Cells(2, 4), "Y");
    g.click(2, 4);
    EXPECT_EQ(g.grid->Cells(2, 4), "");
    // A check box that holds any other text counts as checked and is emptied.
    g.grid->setCells(2, 4, "N");
    g.click(2, 4);
    EXPECT_EQ(g.grid->Cells(2, 4), "");
    // The toggles did not reach the base: no OnMouseDown, no editor.
    EXPECT_EQ(downs, 1);
    EXPECT_FALSE(g.grid->EditorMode());
}

TEST_F(MouseGrid, CheckBoxesStayAsTheyAreWithoutEditingOrInOtherColumns)
{
    makeCheckColumn(2);
    g.click(2, 4);
    g.click(2, 4);
    EXPECT_EQ(g.grid->Cells(2, 4), "");
    allowEditing();
    g.click(3, 4);
    g.click(3, 4);
    EXPECT_EQ(g.grid->Cells(3, 4), "");
    // A press on a check-box cell that is not current only makes it current.
    g.click(2, 5);
    EXPECT_EQ(g.grid->Cells(2, 5), "");
    EXPECT_EQ(current(), QPoint(2, 5));
}

TEST_F(MouseGrid, RightAndMiddlePressesChangeNothingAndFireNoMouseDown)
{
    makeCheckColumn(2);
    allowEditing();
    g.grid->FocusCell(2, 3, true);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        g.click(4, 6, button);
        g.click(2, 3, button); // the current check-box cell
    }
    EXPECT_EQ(current(), QPoint(2, 3));
    EXPECT_EQ(g.grid->Cells(2, 3), "");
    EXPECT_EQ(downs, 0);
}

TEST_F(MouseGrid, ADoubleClickFiresOnDblClickAndItsSecondPressDoesNothingElse)
{
    makeCheckColumn(3);
    allowEditing();
    // Qt's sequence: a press and release, then the double-click press and its release.
    g.click(3, 3);
    QTest::mouseDClick(g.area(), Qt::LeftButton, Qt::NoModifier, g.center(3, 3));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(downs, 1); // the first press of the pair only
    EXPECT_EQ(current(), QPoint(3, 3));
    EXPECT_EQ(g.grid->Cells(3, 3), ""); // the second press did not toggle
}

TEST_F(MouseGrid, ABorderPressInTheFixedRowResizesAndTheSamePressBelowItIsACellPress)
{
    g.grid->setOptions(g.grid->Options() | goColSizing);
    const int border = g.grid->CellRect(2, 0).right() + 1; // the line after column 2
    QTest::mousePress(g.area(), Qt::LeftButton, {}, QPoint(border, 10));
    QTest::mouseMove(g.area(), QPoint(border + 20, 10));
    QTest::mouseRelease(g.area(), Qt::LeftButton, {}, QPoint(border + 20, 10));
    EXPECT_EQ(g.grid->ColWidths(2), 84);
    EXPECT_EQ(g.grid->columns()->GeTmColumn(2)->GetWidth(), 84);
    const int below = g.grid->CellRect(2, 3).right() + 1;
    QTest::mouseClick(g.area(), Qt::LeftButton, {}, QPoint(below - 2, g.center(2, 3).y()));
    EXPECT_EQ(g.grid->ColWidths(2), 84);
    EXPECT_EQ(current(), QPoint(2, 3));
}

TEST_F(MouseGrid, TypedCharactersToggleCheckBoxesAndOpenTheEditorElsewhere)
{
    makeCheckColumn(2);
    allowEditing();
    g.focus();
    g.grid->FocusCell(2, 3, true);
    QTest::keyClick(g.grid, Qt::Key_A);
    EXPECT_EQ(g.grid->Cells(2, 3), "Y");
    QTest::keyClick(g.grid, Qt::Key_Backspace);
    EXPECT_EQ(g.grid->Cells(2, 3), "");
    QTest::keyClick(g.grid, Qt::Key_Space);
    EXPECT_EQ(g.grid->Cells(2, 3), "Y");
    // Control characters other than backspace go to the base: Escape does nothing
    // there, Enter opens the editor.
    QTest::keyClick(g.grid, Qt::Key_Escape);
    EXPECT_EQ(g.grid->Cells(2, 3), "Y");
    EXPECT_FALSE(g.grid->EditorMode());
    QTest::keyClick(g.grid, Qt::Key_Return);
    EXPECT_EQ(g.grid->Cells(2, 3), "Y");
    EXPECT_TRUE(g.grid->EditorMode());
    QTest::keyClick(g.grid->InplaceEditor(), Qt::Key_Escape);

    g.grid->FocusCell(3, 3, true);
    QTest::keyClick(g.grid, Qt::Key_X);
    ASSERT_TRUE(g.grid->EditorMode());
    EXPECT_EQ(g.grid->InplaceEditor()->text(), "x");
}

TEST_F(MouseGrid, OnKeyPressSeesAndMayConsumeTheCharacterThatWouldToggleOrOpenTheEditor)
{
    makeCheckColumn(2);
    allowEditing();
    QString seen;
    g.grid->OnKeyPress = [&seen](QObject *, QChar &key) {
        seen += key;
        if (key == QLatin1Char('q')) key = QChar(); // a filter refusing "q"
        if (key == QLatin1Char('a')) key = QLatin1Char('b');
    };
    g.focus();
    g.grid->FocusCell(2, 3, true);
    QTest::keyClick(g.grid, Qt::Key_Q);
    EXPECT_EQ(g.grid->Cells(2, 3), "");
    g.grid->FocusCell(3, 3, true);
    QTest::keyClick(g.grid, Qt::Key_Q);
    EXPECT_FALSE(g.grid->EditorMode());
    QTest::keyClick(g.grid, Qt::Key_A);
    ASSERT_TRUE(g.grid->EditorMode());
    EXPECT_EQ(g.grid->InplaceEditor()->text(), "b");
    EXPECT_EQ(seen.left(3), "qqa");
}

TEST_F(MouseGrid, TheTitleRowOfACheckBoxColumnIsNeverToggled)
{
    makeCheckColumn(2);
    allowEditing();
    g.grid->setFixedRows(0);
    g.grid->setshowtitles(true);
    const QString caption = g.grid->Cells(2, 0);
    ASSERT_FALSE(caption.isEmpty());
    g.click(2, 0);
    g.click(2, 0);
    EXPECT_EQ(current(), QPoint(2, 0));
    g.focus();
    QTest::keyClick(g.grid, Qt::Key_A);
    EXPECT_EQ(g.grid->Cells(2, 0), caption);
}

} // namespace
