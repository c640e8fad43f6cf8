#pragma once
// TVORGridInplaceEdit: the in-place editor of tvorgrid, with an ellipsis button or a
// drop-down button and pick list depending on the column of the cell being edited.
//
// Choosing the button (UpdateContents, whenever the editor is bound to a cell):
//   ButtonStyle cbsAuto      pick list (ebkPickList) when the column's PickList has at
//                            least one line and the column is not ReadOnly; else none
//   ButtonStyle cbsEllipsis  ellipsis (ebkEllipsis), also on a ReadOnly column
//   ButtonStyle cbsNone      none
// ReadOnly has no other effect on editing.
//
// The button takes the editor's right edge, ButtonWidth pixels wide (the style's
// scroll-bar width, read once at creation): ButtonRect(). The text never paints over
// it and the caret stays in view left of it; over it the mouse cursor is the arrow.
//
// Mouse: a left press on the button presses it (the editor keeps the mouse until the
// release) and opens the pick list when there is one; a press while the list is open
// closes it without a change. Moving into the open list hands the drag to the list,
// whose release then chooses the item under it. Releasing the pressed ellipsis button
// fires the grid's EditButtonClick; pressing, dragging off and releasing fires nothing.
// A double click on the button is swallowed.
//
// Keys (the pick list's rules first, then the editor's):
//   Ctrl+Return (exactly Ctrl) on an ellipsis cell   EditButtonClick, nothing typed
//   Alt+Down, Alt+Up, F4 (pick list)                 open the list, or close it and
//                                                    write the selected item
//   Return / Escape with the list open (no Alt)      close it, writing / not writing
//   any other key while the list is open             goes to the list (Up, Down,
//                                                    Page Up/Down, Home, End, the
//                                                    incremental search)
//   everything else                                  the base editor (TInplaceEdit)
//
// The pick list (TPopupListbox) is created on first need and hidden between uses.
// OpenPickList sizes it to the editor's width and min(items, DropDownRows) rows,
// selects the cell's text when it is an item, and places it below the editor, or above
// it when it would pass the bottom of the screen's available area. ClosePickList with
// acceptance writes the selected item (the empty text when none is selected) into the
// grid's cell, which refreshes the editor; without acceptance nothing changes. The list
// also closes without a change when the editor loses the focus or is hidden.

#include "host/inplaceedit.h"
#include "host/vorgrdexport.h"

#include <QEvent>

#include <functional>
#include <memory>

namespace vorgrd {

class tvorgrid;
class TPopupListbox;
class tmcolumn;

namespace EditorTypes {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)
enum TEditButtonKind
{
    ebkNone,
    ebkEllipsis,
    ebkPickList
};
Q_ENUM_NS(TEditButtonKind)
} // namespace EditorTypes
// Named as vorgrd::TEditButtonKind, vorgrd::ebkEllipsis, ... as well.
using EditorTypes::TEditButtonKind;
using enum EditorTypes::TEditButtonKind;

class VORGRD_EXPORT TVORGridInplaceEdit : public TInplaceEdit
{
    Q_OBJECT
public:
    explicit TVORGridInplaceEdit(tvorgrid *grid);
    ~TVORGridInplaceEdit() override;

    tvorgrid *VorGrid() const;

    // Chooses the button for the column of the grid's current cell, then loads the
    // cell's text (TInplaceEdit::UpdateContents).
    void UpdateContents() override;

    // ---- state ---------------------------------------------------------------------------
    int ButtonWidth() const;
    // Created on the first need, then kept; owned by the editor.
    TPopupListbox *PickListBox() const;
    // PickListBox while the kind is ebkPickList, else none.
    TPopupListbox *ActiveList() const;
    TEditButtonKind ButtonKind() const;
    bool ListShown() const;
    // A left press on the button is being followed.
    bool Tracking() const;
    // The button is drawn pressed.
    bool ButtonPressed() const;
    // (Width - ButtonWidth, 0, ButtonWidth, Height) in editor coordinates; empty while
    // the kind is ebkNone.
    QRect ButtonRect() const;

    // ---- operations -----------------------------------------------------------------------
    // Stores the kind, creates the pick list for ebkPickList, and repaints; an open
    // list is closed without a change first.
    void SetButtonKind(TEditButtonKind Kind);
    // Only when the list is closed and there is an ActiveList.
    void OpenPickList();
    // Only when the list is open.
    void ClosePickList(bool Accepted);
    // Applies the pick list's keys; a handled key is set to 0.
    void HandleListKeys(int &Key, TShiftState Shift);
    // Presses or releases the button for a mouse at (X, Y); repaints only the button.
    void TrackButton(int X, int Y);
    // Ends following a press: the button is shown released.
    void StopTracking();
    // Bound to the pick list's OnMouseUp: a left release closes the list, accepting
    // the item when (X, Y) lies in the list's item area.
    void ListMouseUp(QObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // The millisecond clock of the pick list's incremental search (a steady clock
    // unless replaced; an empty function restores it). Kept across the list's creation.
    void setSearchClock(std::function<qint64()> clock);

protected:
    void BoundsChanged() override;
    void KeyDown(int &Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintWindow() override;

    bool event(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The column of the grid's current cell; none when the counts and the columns are
    // out of step.
    tmcolumn *currentColumn() const;
    bool inButton(int x, int y) const;
    void createPickList();
    void applyTextArea();
    void updateCursorShape(int x, int y);
    void paintButton();
    // Routes a key event while the kind is ebkPickList; true when it was taken.
    bool routeListKey(QKeyEvent *event);
    // Sends a mouse event of the editor to the list's item area (the drag the list took
    // over).
    void forwardMouseToList(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                            const QPoint &editorPoint);
    // Fires the grid's EditButtonClick; false when the handler destroyed the editor.
    bool fireEditButtonClick();

    // The button, the list and the mouse's state (inplaceeditor_p.h).
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
