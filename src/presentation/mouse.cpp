// tvorgrid's handling of mouse presses and typed characters before the base's own:
// the sizing test, ClickFixed, check-box toggling and the editor's first character.
//
//   Qt press -> TCustomGrid::mousePressEvent -> tvorgrid::MouseDown
//       focus; another control kept it        -> TStringGrid::MouseDown
//       left double click                      -> DblClick (OnDblClick)
//       left on a draggable border             -> TStringGrid::MouseDown (resizes)
//       left on a fixed cell with ClickFixed   -> setRow / setCol
//       left on the current check-box cell     -> toggleCurrentCheckCell
//       other left presses                     -> TStringGrid::MouseDown
//       right, middle                          -> nothing
//   Qt key -> TCustomGrid::keyPressEvent -> KeyDown -> tvorgrid::WMChar
//       printable or backspace, goEditing      -> KeyPress, then toggle or ShowEditorChar
//       anything else                          -> TStringGrid::WMChar
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"

namespace vorgrd {

void tvorgrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!Designing() && CanFocus()) SetFocus();
    if (ParentActiveControl() != this) {
        // Another control kept the focus (its own handler refused to let it go).
        TStringGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (Button != mbLeft) return; // right and middle presses belong to the application
    if (Shift & ssDouble) {
        DblClick();
        return;
    }
    TGridDrawInfo info;
    CalcDrawInfo(info);
    TGridState state = gsNormal;
    int index = -1, sizingPos = 0, sizingOfs = 0;
    CalcSizingState(X, Y, state, index, sizingPos, sizingOfs, info);
    setGridState(state);
    if (state != gsNormal) {
        TStringGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    const TGridCoord cell = CalcCoordFromPoint(X, Y, info);
    const bool fixedCol = cell.X >= 0 && cell.X < FixedCols();
    const bool fixedRow = cell.Y >= 0 && cell.Y < FixedRows();
    if (ClickFixed() && (fixedCol || fixedRow)) {
        if (cell.Y >= FixedRows()) setRow(cell.Y);
        if (cell.X >= FixedCols()) setCol(cell.X);
        return;
    }
    if ((Options() & goEditing) && cell.X == Col() && cell.Y == Row() &&
        d->toggleCurrentCheckCell())
        return;
    TStringGrid::MouseDown(Button, Shift, X, Y);
}

void tvorgrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TStringGrid::MouseUp(Button, Shift, X, Y);
}

void tvorgrid::WMChar(QChar Key)
{
    const char16_t code = Key.unicode();
    if (!(Options() & goEditing) || (code != 8 && code < 32)) {
        TStringGrid::WMChar(Key);
        return;
    }
    // OnKeyPress sees the character that opens the editor too, so that a handler that
    // filters what may be typed is not bypassed by the first key.
    KeyPress(Key);
    if (Key.isNull()) return;
    if (d->toggleCurrentCheckCell()) return;
    ShowEditorChar(Key);
}

bool tvorgrid::Private::toggleCurrentCheckCell()
{
    const int col = q.Col(), row = q.Row();
    if (col >= q.columns()->Count() || q.columns()->GeTmColumn(col)->gettype() != ftcheckbox)
        return false;
    // The title row shows the caption, not a box: toggling it would overwrite it.
    if (row == 0 && q.showtitles()) return false;
    q.setCells(col, row, q.Cells(col, row).isEmpty() ? QStringLiteral("Y") : QString());
    return true;
}

} // namespace vorgrd
