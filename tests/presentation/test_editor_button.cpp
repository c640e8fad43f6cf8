// The editor's button: which kind a column gets, the ellipsis by mouse and key, and
// what the button looks like.
#include "editorgrid.h"
#include "host/warningcapture.h"

#include <QStyle>

using namespace vorgrd;
using vorgrd::test::EditorGrid;

namespace {

using ButtonChoice = EditorGrid;
using EllipsisButton = EditorGrid;
using ButtonPainting = EditorGrid;

TEST_F(ButtonChoice, FollowsStyleListAndReadOnly)
{
    // cbsAuto without items: no button, and typing edits the cell.
    TVORGridInplaceEdit *e = edit(3, 1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ButtonKind(), ebkNone);
    EXPECT_TRUE(e->ButtonRect().isEmpty());
    EXPECT_EQ(e->ActiveList(), nullptr);
    QTest::keyClicks(e, "xy");
    key(e, Qt::Key_Return);
    EXPECT_EQ(grid->Cells(3, 1), "xy");

    // cbsAuto with items: the drop-down.
    e = edit(1, 1);
    EXPECT_EQ(e->ButtonKind(), ebkPickList);
    EXPECT_EQ(e->ActiveList(), e->PickListBox());
    EXPECT_EQ(e->ButtonRect(), QRect(e->width() - e->ButtonWidth(), 0, e->ButtonWidth(), e->height()));
    grid->HideEditor();

    // The same column read-only: no button, still editable.
    column(1)->SetReadOnly(true);
    e = edit(1, 2);
    EXPECT_EQ(e->ButtonKind(), ebkNone);
    EXPECT_EQ(e->ActiveList(), nullptr);
    QTest::keyClicks(e, "typed");
    key(e, Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 2), "typed");

    // cbsEllipsis keeps its button on a read-only column; cbsNone never has one.
    column(2)->SetReadOnly(true);
    EXPECT_EQ(edit(2, 1)->ButtonKind(), ebkEllipsis);
    grid->HideEditor();
    column(1)->SetReadOnly(false);
    column(1)->SetButtonStyle(cbsNone);
    EXPECT_EQ(edit(1, 1)->ButtonKind(), ebkNone);
}

TEST_F(ButtonChoice, WidthIsTheStylesScrollBarWidthAndTheListIsMadeOnce)
{
    TVORGridInplaceEdit *e = edit(1, 1);
    EXPECT_EQ(e->ButtonWidth(), e->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, e));
    TPopupListbox *list = e->PickListBox();
    ASSERT_NE(list, nullptr);
    grid->HideEditor();
    edit(2, 1); // ellipsis: no active list, the list is kept
    EXPECT_EQ(e->ActiveList(), nullptr);
    EXPECT_EQ(e->PickListBox(), list);
    grid->HideEditor();
    EXPECT_EQ(edit(1, 3)->ActiveList(), list);
}

TEST_F(EllipsisButton, ReleaseOverTheButtonFiresOnceAndDraggingOffFiresNothing)
{
    TVORGridInplaceEdit *e = edit(2, 1);
    QTest::mouseClick(e, Qt::LeftButton, {}, buttonCenter(e));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(e->ButtonPressed());

    QTest::mousePress(e, Qt::LeftButton, {}, buttonCenter(e));
    EXPECT_TRUE(e->Tracking());
    EXPECT_TRUE(e->ButtonPressed());
    QTest::mouseMove(e, textPoint(e));
    EXPECT_FALSE(e->ButtonPressed());
    QTest::mouseRelease(e, Qt::LeftButton, {}, textPoint(e));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(e->Tracking());

    // Back onto the button before the release: that is a click again.
    QTest::mousePress(e, Qt::LeftButton, {}, buttonCenter(e));
    QTest::mouseMove(e, textPoint(e));
    QTest::mouseMove(e, buttonCenter(e));
    QTest::mouseRelease(e, Qt::LeftButton, {}, buttonCenter(e));
    EXPECT_EQ(clicks, 2);
}

TEST_F(EllipsisButton, DoubleClickFiresOnceAndLeavesTheTextAlone)
{
    grid->setCells(2, 1, "two words");
    TVORGridInplaceEdit *e = edit(2, 1);
    e->deselect();
    // What Qt delivers for a double click: press, release, press, double click, release.
    QTest::mouseClick(e, Qt::LeftButton, {}, buttonCenter(e));
    QTest::mousePress(e, Qt::LeftButton, {}, buttonCenter(e));
    QTest::mouseDClick(e, Qt::LeftButton, {}, buttonCenter(e));
    QTest::mouseRelease(e, Qt::LeftButton, {}, buttonCenter(e));
    settle();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(e->hasSelectedText());
    EXPECT_FALSE(e->Tracking());
}

TEST_F(EllipsisButton, CtrlReturnFiresAndTypesNothingOtherCombinationsGoToTheEditor)
{
    grid->setCells(2, 1, "kept");
    TVORGridInplaceEdit *e = edit(2, 1);
    key(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(e->text(), "kept");
    EXPECT_TRUE(grid->EditorMode());

    // Shift+Ctrl+Return is the editor's Return: it commits and closes.
    QTest::keyClicks(e, "new");
    key(e, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(2, 1), "new");

    // Ctrl+Return elsewhere is no button click.
    TVORGridInplaceEdit *plain = edit(3, 1);
    key(plain, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(EllipsisButton, AHandlerThatThrowsDoesNotBreakTheEditor)
{
    int calls = 0;
    grid->OnEditButtonClick = [&](QObject *) {
        ++calls;
        throw std::runtime_error("dialog failed");
    };
    TVORGridInplaceEdit *e = edit(2, 1);
    QTest::mouseClick(e, Qt::LeftButton, {}, buttonCenter(e));
    key(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(e->Tracking());
    EXPECT_FALSE(e->ButtonPressed());
}

TEST_F(EllipsisButton, AHandlerThatDestroysTheGridEndsTheEventThere)
{
    // Under the sanitizers a touch of the destroyed editor after the handler fails here.
    for (const bool byKey : {true, false}) {
        if (!grid) SetUp();
        grid->OnEditButtonClick = [this](QObject *) { grid.reset(); };
        TVORGridInplaceEdit *e = edit(2, 1);
        const QPoint button = buttonCenter(e);
        vorgrd::test::WarningCapture warnings;
        if (byKey) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier);
            QApplication::sendEvent(e, &press);
        } else {
            QTest::mousePress(e, Qt::LeftButton, {}, button);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(button), QPointF(e->mapToGlobal(button)),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(e, &release);
        }
        EXPECT_FALSE(grid) << (byKey ? "Ctrl+Return" : "click");
        EXPECT_TRUE(warnings.contains("destroyed by one of its own handlers")) << (byKey ? "Ctrl+Return" : "click");
    }
}

TEST_F(ButtonPainting, EllipsisShowsThreeBlackSquaresAndTextStaysOffTheButton)
{
    grid->setRowHeights(1, 40);
    TVORGridInplaceEdit *e = edit(2, 1);
    const QRect b = e->ButtonRect();
    const QImage empty = (e->setText(QString()), e->grab().toImage());
    const int side = std::max(1, std::min(e->height() / 8, (b.width() - 4) / 5));
    const int middle = b.left() + b.width() / 2 - 1;
    const int top = b.top() + (b.height() - side) / 2;
    for (int x : {middle - 2 * side, middle, middle + 2 * side})
        EXPECT_EQ(empty.pixelColor(x, top).rgb(), QColor(Qt::black).rgb()) << x;
    // Between the squares the button's face shows.
    EXPECT_NE(empty.pixelColor(middle - side, top).rgb(), QColor(Qt::black).rgb());

    e->setText(QString(60, QChar('W')));
    e->setCursorPosition(60);
    const QImage full = e->grab().toImage();
    EXPECT_EQ(full.copy(b), empty.copy(b));
    // The caret stays in view, left of the button.
    const QRect caret = e->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_LE(caret.center().x(), b.left());
    EXPECT_GT(caret.left(), 0);

    // Pressed, the squares move one pixel right and down.
    QTest::mousePress(e, Qt::LeftButton, {}, buttonCenter(e));
    const QImage pressed = e->grab().toImage();
    EXPECT_EQ(pressed.pixelColor(middle + 1, top + 1).rgb(), QColor(Qt::black).rgb());
    EXPECT_NE(pressed.copy(b), empty.copy(b));
    QTest::mouseRelease(e, Qt::LeftButton, {}, buttonCenter(e));
}

TEST_F(ButtonPainting, DropDownIsDrawnPressedWhileHeldAndCursorIsTheArrowOverIt)
{
    TVORGridInplaceEdit *e = edit(1, 1);
    const QRect b = e->ButtonRect();
    QTest::mouseMove(e, textPoint(e));
    EXPECT_EQ(e->cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(e, buttonCenter(e));
    EXPECT_EQ(e->cursor().shape(), Qt::ArrowCursor);
    const QImage up = e->grab().toImage().copy(b);

    QTest::mousePress(e, Qt::LeftButton, {}, buttonCenter(e));
    EXPECT_TRUE(e->ButtonPressed());
    EXPECT_NE(e->grab().toImage().copy(b), up);
    QTest::mouseRelease(e, Qt::LeftButton, {}, buttonCenter(e));
    EXPECT_FALSE(e->ButtonPressed());
    EXPECT_EQ(e->grab().toImage().copy(b), up);
    // A column without a button has the text cursor everywhere.
    TVORGridInplaceEdit *none = edit(3, 1);
    QTest::mouseMove(none, QPoint(none->width() - 2, none->height() / 2));
    EXPECT_EQ(none->cursor().shape(), Qt::IBeamCursor);
}

} // namespace
