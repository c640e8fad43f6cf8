// The pick list: opening and closing by key and mouse, what a close writes, the
// incremental search, the list's size and place, and its staying out of the focus.
#include "editorgrid.h"

#include <QScreen>
#include <QScrollBar>

using namespace vorgrd;
using vorgrd::test::EditorGrid;

namespace {

using PickListKeys = EditorGrid;
using PickListSearch = EditorGrid;
using PickListGeometry = EditorGrid;
using PickListMouse = EditorGrid;
using PickListFocus = EditorGrid;

TEST_F(PickListKeys, AltDownOpensAndAltUpClosesWritingTheSelectedItem)
{
    grid->setCells(1, 1, "open");
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e->ListShown());
    TPopupListbox *list = e->PickListBox();
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->ItemIndex(), 0); // the cell's text is selected
    // Without Alt, Down moves in the list; the cell stays until the list closes.
    key(e, Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(grid->Cells(1, 1), "open");
    EXPECT_EQ(grid->Row(), 1);
    key(e, Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(e->ListShown());
    EXPECT_TRUE(list->isHidden());
    EXPECT_EQ(grid->Cells(1, 1), "closed");
    EXPECT_EQ(e->text(), "closed"); // the editor shows what the cell now holds
    // The editor stays open; its own Return now commits the shown text.
    key(e, Qt::Key_Return);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "closed");
}

TEST_F(PickListKeys, ReturnWithoutSelectionEmptiesTheCellEscapeLeavesIt)
{
    grid->setCells(1, 1, "not an item");
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_F4);
    ASSERT_TRUE(e->ListShown());
    EXPECT_EQ(e->PickListBox()->ItemIndex(), -1);
    key(e, Qt::Key_Return);
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "");
    EXPECT_TRUE(grid->EditorMode());

    grid->setCells(1, 1, "waiting");
    key(e, Qt::Key_Down, Qt::AltModifier);
    key(e, Qt::Key_Up);
    key(e, Qt::Key_Escape);
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "waiting");
    EXPECT_TRUE(grid->EditorMode()); // only the list closed
    // Alt+Return does not close the list.
    key(e, Qt::Key_Down, Qt::AltModifier);
    key(e, Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(e->ListShown());
}

TEST_F(PickListKeys, OtherKeysGoToTheOpenListNotToTheText)
{
    QStringList items;
    for (int i = 0; i < 30; ++i)
        items << QStringLiteral("item %1").arg(i, 2, 10, QChar('0'));
    setPickList(1, items);
    grid->setCells(1, 1, "item 00");
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    TPopupListbox *list = e->PickListBox();
    key(e, Qt::Key_PageDown);
    EXPECT_GT(list->ItemIndex(), 1);
    const int afterPage = list->ItemIndex();
    key(e, Qt::Key_Up);
    EXPECT_EQ(list->ItemIndex(), afterPage - 1);
    QTest::keyClicks(e, "item 2");
    settle();
    EXPECT_EQ(list->ItemIndex(), 20);
    EXPECT_EQ(e->text(), "item 00");
    EXPECT_EQ(grid->Cells(1, 1), "item 00");
    key(e, Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), "item 20");
}

TEST_F(PickListSearch, PrefixGrowsWithinTwoSecondsRestartsAfterAndStopsAt32)
{
    setPickList(1, {"apple", "abacus", "abc", "banana", "ABX"});
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    TPopupListbox *list = e->PickListBox();
    QTest::keyClick(e, 'a');
    EXPECT_EQ(list->ItemIndex(), 0);
    now += 2000; // exactly two seconds: still the same search
    QTest::keyClick(e, 'b');
    EXPECT_EQ(list->SearchText(), "ab");
    EXPECT_EQ(list->ItemIndex(), 1);
    now += 2001;
    QTest::keyClick(e, 'b');
    EXPECT_EQ(list->SearchText(), "b");
    EXPECT_EQ(list->ItemIndex(), 3);
    key(e, Qt::Key_Backspace);
    EXPECT_EQ(list->SearchText(), "");
    QTest::keyClicks(e, "abx");
    EXPECT_EQ(list->ItemIndex(), 4); // ignoring case

    now += 5000;
    QTest::keyClicks(e, QString(40, QChar('z')));
    EXPECT_EQ(list->SearchText(), QString(32, QChar('z')));
    EXPECT_EQ(list->ItemIndex(), 4); // nothing begins with z: the selection stays
    EXPECT_EQ(e->text(), "");
}

TEST_F(PickListGeometry, HeightIsItemRowsPlusFourAndWidthTheEditors)
{
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    TPopupListbox *list = e->PickListBox();
    const int ih = list->ItemHeight();
    EXPECT_GT(ih, 0);
    EXPECT_EQ(list->height(), 3 * ih + 4);
    EXPECT_EQ(list->width(), e->width());
    EXPECT_EQ(list->geometry().topLeft(), e->mapToGlobal(QPoint(0, e->height())));
    key(e, Qt::Key_Escape);

    QStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty << QString::number(i);
    setPickList(1, twenty);
    key(e, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(list->height(), 7 * ih + 4);
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
    // Every visible row is whole: 7 rows fill the item area exactly.
    EXPECT_EQ(list->viewport()->height(), 7 * ih);
    key(e, Qt::Key_Escape);

    // DropDownRows is not checked where it is set: 0 still shows a row, a huge value
    // stays on the screen.
    column(1)->setDropDownRows(0);
    key(e, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(list->height(), ih + 4);
    key(e, Qt::Key_Escape);
    QStringList many;
    for (int i = 0; i < 5000; ++i)
        many << QString::number(i);
    setPickList(1, many);
    column(1)->setDropDownRows(2147483647);
    key(e, Qt::Key_Down, Qt::AltModifier);
    EXPECT_LE(list->height(), e->screen()->availableGeometry().height());
    EXPECT_GT(list->height(), 7 * ih);
}

TEST_F(PickListGeometry, TheCellsItemIsInViewWithoutNeedlessScrolling)
{
    setPickList(1, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    grid->setCells(1, 1, "e");
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    TPopupListbox *list = e->PickListBox();
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->verticalScrollBar()->value(), 0); // the first seven rows show "e"
    key(e, Qt::Key_Escape);
    grid->setCells(1, 1, "j");
    key(e, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(list->ItemIndex(), 9);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(9, 0))));
}

TEST_F(PickListGeometry, NearTheBottomOfTheScreenTheListOpensAbove)
{
    const QRect screen = grid->screen()->availableGeometry();
    grid->move(screen.left() + 10, screen.bottom() - 60);
    settle();
    TVORGridInplaceEdit *e = edit(1, 1);
    const QPoint top = e->mapToGlobal(QPoint(0, 0));
    ASSERT_GT(top.y() + e->height() + 3 * 10, screen.bottom()); // it would not fit below
    key(e, Qt::Key_Down, Qt::AltModifier);
    TPopupListbox *list = e->PickListBox();
    EXPECT_EQ(list->geometry().bottom() + 1, top.y());
    EXPECT_EQ(list->x(), top.x());
}

TEST_F(PickListMouse, ClickOnAnItemWritesItReleaseOutsideChangesNothing)
{
    grid->setCells(1, 1, "open");
    TVORGridInplaceEdit *e = edit(1, 1);
    QTest::mouseClick(e, Qt::LeftButton, {}, buttonCenter(e));
    settle();
    TPopupListbox *list = e->PickListBox();
    ASSERT_TRUE(e->ListShown());
    EXPECT_FALSE(e->Tracking());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemCenter(list, 2));
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "waiting");
    EXPECT_EQ(e->text(), "waiting");

    QTest::mouseClick(e, Qt::LeftButton, {}, buttonCenter(e));
    settle();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, itemCenter(list, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, QPoint(-20, list->height() + 30));
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "waiting");
}

TEST_F(PickListMouse, DraggingFromTheButtonIntoTheListChoosesWhereReleased)
{
    TVORGridInplaceEdit *e = edit(1, 1);
    QTest::mousePress(e, Qt::LeftButton, {}, buttonCenter(e));
    settle();
    TPopupListbox *list = e->PickListBox();
    ASSERT_TRUE(e->ListShown());
    const QPoint over = e->mapFromGlobal(list->viewport()->mapToGlobal(itemCenter(list, 1)));
    QTest::mouseMove(e, over);
    EXPECT_FALSE(e->Tracking()); // the list has the drag now
    QTest::mouseRelease(e, Qt::LeftButton, {}, over);
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "closed");
}

TEST_F(PickListMouse, PressOnTheButtonWhileOpenClosesWithoutChange)
{
    grid->setCells(1, 1, "open");
    TVORGridInplaceEdit *e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    key(e, Qt::Key_Down);
    QTest::mouseClick(e, Qt::LeftButton, {}, buttonCenter(e));
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "open");
}

TEST_F(PickListFocus, TheEditorKeepsTheFocusAndLosingItClosesTheList)
{
    TVORGridInplaceEdit *e = edit(1, 1);
    ASSERT_TRUE(e->hasFocus());
    key(e, Qt::Key_Down, Qt::AltModifier);
    TPopupListbox *list = e->PickListBox();
    ASSERT_TRUE(e->ListShown());
    EXPECT_TRUE(e->hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), e);
    EXPECT_TRUE(list->isWindow());
    EXPECT_TRUE(list->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(list->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(list->focusPolicy(), Qt::NoFocus);

    key(e, Qt::Key_Down);
    grid->setFocus(); // another control takes the focus
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(grid->Cells(1, 1), "");

    // So does the grid moving the editor (here by widening a column left of it).
    e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e->ListShown());
    grid->setColWidths(0, 90);
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_EQ(e->x(), 91);

    // Hiding the editor (here by moving to another cell) closes it too.
    grid->HideEditor();
    e = edit(1, 1);
    key(e, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e->ListShown());
    grid->FocusCell(3, 3, true);
    settle();
    EXPECT_FALSE(e->ListShown());
    EXPECT_TRUE(list->isHidden());
}

} // namespace
