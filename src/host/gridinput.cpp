// TCustomGrid's input: the mouse (selecting, sizing and moving lines), focus and the
// keyboard.
#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

namespace vorgrd {

using grid_internal::clampInt;
using grid_internal::plus;

namespace {

// The cell a selecting drag reaches at a logical pixel: past either edge of the
// scrollable cells it scrolls by one line per move.
int dragTarget(const GridAxisLayout &axis, int point)
{
    const int client = axis.clientExtent();
    int cell = axis.cellAt(std::clamp(point, 0, std::max(0, client - 1)));
    if (cell < 0) cell = axis.count() - 1;
    if (point < axis.fixedExtent() || cell < axis.fixedCount())
        return std::max(axis.fixedCount(), axis.first() - 1);
    if (point >= client) return std::min(axis.count() - 1, plus(axis.first(), axis.visibleCount()));
    return cell;
}

// Where Tab (Shift+Tab) moves the current cell: along the row, wrapping to the next
// (previous) row, stopping at the last (first) cell.
std::pair<int, int> tabTarget(int c, int r, bool back, int firstC, int lastC, int firstR,
                              int lastR)
{
    if (back) {
        if (c > firstC) return {c - 1, r};
        if (r > firstR) return {lastC, r - 1};
    } else {
        if (c < lastC) return {c + 1, r};
        if (r < lastR) return {firstC, r + 1};
    }
    return {c, r};
}

} // namespace

// ---- mouse
// ---------------------------------------------------------------------------------------

void TCustomGrid::mousePressEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse press", [&] {
        MouseDown(b, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse double click", [&] {
        MouseDown(b, ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    });
}

void TCustomGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse move", [&] {
        MouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse release", [&] {
        MouseUp(b, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // A press while a drag is still set means its release went elsewhere (a handler
    // opened a window, the grab was lost): that drag ends unapplied.
    if (d->gridState != gsNormal) resetDrag();
    if (!d->designing && CanFocus() && !hasFocus()) SetFocus();
    d->clickOnCurrent = false;
    if (Button == mbLeft && (Shift & ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        const Private::Sizing sizing = d->sizingAt(X, Y);
        if (sizing.state != gsNormal) {
            if (d->editorMode) HideEditor();
            d->sizing = sizing;
            d->gridState = sizing.state;
            const bool column = sizing.state == gsColSizing;
            const GridAxisLayout axis = column ? columnLayout() : rowLayout();
            d->sizingStart = static_cast<int>(axis.start(sizing.index));
            d->sizingOriginal = axis.extent(sizing.index);
            viewport()->setCursor(column ? Qt::SplitHCursor : Qt::SplitVCursor);
        } else if (!d->designing) {
            const TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= 0 && cell.Y >= 0) {
                const bool fixedRow = cell.Y < d->fixedRows, fixedCol = cell.X < d->fixedCols;
                if (fixedRow && !fixedCol && (d->options & goColMoving)) {
                    d->gridState = gsColMoving;
                    d->moveFrom = d->moveTo = cell.X;
                } else if (fixedCol && !fixedRow && (d->options & goRowMoving)) {
                    d->gridState = gsRowMoving;
                    d->moveFrom = d->moveTo = cell.Y;
                } else if (!fixedRow && !fixedCol) {
                    d->clickOnCurrent = (d->options & goEditing) && !d->editorMode &&
                                       cell.X == d->current.X && cell.Y == d->current.Y;
                    const bool extend = (Shift & ssShift) && (d->options & goRangeSelect);
                    d->moveCurrent(cell.X, cell.Y, !extend, true);
                    d->gridState = gsSelecting;
                }
            }
        }
    }
    callHandler(OnMouseDown, this, Button, Shift, X, Y);
    // The handler may have removed the line whose border or body the drag holds.
    if (!d->dragStillValid()) resetDrag();
}

void TCustomGrid::MouseMove(TShiftState, int X, int Y)
{
    if (!d->dragStillValid()) resetDrag();
    switch (d->gridState) {
    case gsSelecting: {
        const GridAxisLayout h = columnLayout(), v = rowLayout();
        d->moveCurrent(dragTarget(h, h.toLogical(X)), dragTarget(v, Y), !(d->options & goRangeSelect),
                    true);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        const bool column = d->gridState == gsColSizing;
        const int point = column ? columnLayout().toLogical(X) : Y;
        const int extent = clampInt(qint64(point) + d->sizing.offset - d->sizingStart, 0, MaxExtent);
        GridAxis &axis = column ? d->cols : d->rows;
        if (axis.extent(d->sizing.index) != extent) {
            axis.setExtent(d->sizing.index, extent);
            d->clampCurrent();
        }
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        const GridAxisLayout axis = d->gridState == gsColMoving ? columnLayout() : rowLayout();
        const int point = d->gridState == gsColMoving ? axis.toLogical(X) : Y;
        int cell = axis.cellAt(std::clamp(point, 0, std::max(0, axis.clientExtent() - 1)));
        if (cell < 0) cell = axis.count() - 1;
        d->moveTo = std::max(cell, axis.fixedCount());
        viewport()->update();
        break;
    }
    case gsNormal: {
        const Private::Sizing s = d->sizingAt(X, Y);
        if (s.state == gsColSizing)
            viewport()->setCursor(Qt::SplitHCursor);
        else if (s.state == gsRowSizing)
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
        break;
    }
    }
}


void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) d->finishDrag(Button, Shift, X, Y);
    callHandler(OnMouseUp, this, Button, Shift, X, Y);
}

void TCustomGrid::Private::finishDrag(TMouseButton, TShiftState, int X, int Y)
{
    if (!dragStillValid()) q.resetDrag();
    const TGridState state = gridState;
    gridState = gsNormal;
    q.viewport()->unsetCursor();
    switch (state) {
    case gsColSizing:
        if (cols.extent(sizing.index) != sizingOriginal) q.ColWidthsChanged();
        break;
    case gsRowSizing:
        if (rows.extent(sizing.index) != sizingOriginal) q.RowHeightsChanged();
        break;
    case gsColMoving:
        if (moveTo >= fixedCols && moveTo != moveFrom) q.MoveColumn(moveFrom, moveTo);
        q.viewport()->update();
        break;
    case gsRowMoving:
        if (moveTo >= fixedRows && moveTo != moveFrom) q.MoveRow(moveFrom, moveTo);
        q.viewport()->update();
        break;
    case gsSelecting: {
        const TGridCoord cell = q.MouseCoord(X, Y);
        if (clickOnCurrent && cell == current) q.ShowEditor();
        break;
    }
    case gsNormal:
        break;
    }
    clickOnCurrent = false;
    moveFrom = moveTo = -1;
}

bool TCustomGrid::Private::dragStillValid() const
{
    switch (gridState) {
    case gsColSizing:
        return sizing.index >= 0 && sizing.index < cols.count();
    case gsRowSizing:
        return sizing.index >= 0 && sizing.index < rows.count();
    case gsColMoving:
        return moveFrom >= fixedCols && moveFrom < cols.count() && moveTo < cols.count();
    case gsRowMoving:
        return moveFrom >= fixedRows && moveFrom < rows.count() && moveTo < rows.count();
    default:
        return true;
    }
}

void TCustomGrid::resetDrag()
{
    const bool moving = d->gridState == gsColMoving || d->gridState == gsRowMoving;
    d->gridState = gsNormal;
    d->sizing = Private::Sizing{};
    d->moveFrom = d->moveTo = -1;
    d->clickOnCurrent = false;
    viewport()->unsetCursor();
    if (moving) viewport()->update(); // takes the insertion mark away
}

void TCustomGrid::DblClick()
{
    callHandler(OnDblClick, this);
}

// ---- focus ------------------------------------------------------------------------------------

bool TCustomGrid::CanFocus() const
{
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

void TCustomGrid::SetFocus()
{
    setFocus(Qt::MouseFocusReason);
}

QWidget *TCustomGrid::ParentActiveControl() const
{
    return window()->focusWidget();
}

void TCustomGrid::focusInEvent(QFocusEvent *event)
{
    d->guarded("focus in", [&] {
        QAbstractScrollArea::focusInEvent(event);
        // Only a grid without an open editor opens one: an editor hidden because its
        // cell scrolled away hands the focus here, and must not pull the view back.
        if ((d->options & goAlwaysShowEditor) && (d->options & goEditing) && !d->designing &&
            !d->editorMode)
            ShowEditor();
    });
}

// ---- keyboard --------------------------------------------------------------------------------

bool TCustomGrid::event(QEvent *event)
{
    // With goTabs, Tab moves between cells instead of to the next widget.
    if (event->type() == QEvent::KeyPress && (d->options & goTabs)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    bool handled = false;
    d->guarded("event", [&] {
        handled = QAbstractScrollArea::event(event);
        // The columns now run the other way: the editor moves and everything repaints.
        if (event->type() == QEvent::LayoutDirectionChange) d->clampCurrent();
    });
    return handled;
}

bool TCustomGrid::focusNextPrevChild(bool next)
{
    if (d->options & goTabs) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

// The characters a key press types, as a classic character message would carry them:
// Ctrl+letter gives the control characters 1..26.
static QString typedCharacters(const QKeyEvent *event)
{
    const auto mods = event->modifiers();
    const int key = event->key();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z)
        return QString(QChar(static_cast<char16_t>(key - Qt::Key_A + 1)));
    switch (key) {
    case Qt::Key_Backspace:
        return QString(QChar(8));
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QString(QChar(9));
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QString(QChar(13));
    case Qt::Key_Escape:
        return QString(QChar(27));
    default:
        break;
    }
    QString out;
    for (QChar c : event->text())
        if (c.unicode() >= 32 && c.unicode() != 127) out += c;
    return out;
}

void TCustomGrid::keyPressEvent(QKeyEvent *event)
{
    const QPointer<TCustomGrid> alive(this);
    d->keyUsed = false;
    d->guarded("key press", [&] {
        int key = event->key();
        TShiftState shift = ShiftStateOf(event->modifiers(), Qt::NoButton);
        if (key == Qt::Key_Backtab) {
            key = Qt::Key_Tab;
            shift |= ssShift;
        }
        KeyDown(key, shift);
        if (key == 0) {
            d->keyUsed = true;
            return;
        }
        for (QChar c : typedCharacters(event)) {
            // A character the grid edits with (typing opens the editor, a check-box
            // cell toggles) is used whatever the hooks did with it.
            const char16_t code = c.unicode();
            if ((d->options & goEditing) && !d->designing && (code == 8 || code >= 32))
                d->keyUsed = true;
            WMChar(c);
            if (!alive) return;
        }
    });
    // Keys the grid has no use for go on to the parent (Escape to a dialog).
    if (alive && !d->keyUsed)
        event->ignore();
    else
        event->accept();
}

// Navigation keys move the current cell (the anchor stays while Shift extends a range
// selection); F2 and Ctrl+A run their command. A key used here is set to 0.
void TCustomGrid::KeyDown(int &Key, TShiftState Shift)
{
    callHandler(OnKeyDown, this, Key, Shift);
    if (Key == 0) return;
    if (d->commandKey(Key, Shift)) {
        Key = 0;
        return;
    }
    TGridCoord target = d->current;
    bool moveAnchor = !((Shift & ssShift) && (d->options & goRangeSelect));
    if (!d->keyTarget(Key, Shift, target, moveAnchor)) return;
    d->moveCurrent(target.X, target.Y, moveAnchor, true);
    Key = 0;
}

bool TCustomGrid::Private::commandKey(int key, TShiftState shift)
{
    if (key == Qt::Key_F2) {
        if (!(options & goEditing)) return false;
        q.ShowEditor();
        return true;
    }
    // Ctrl+A selects every scrollable cell, as in Qt's item views.
    if (key == Qt::Key_A && (shift & ssCtrl) && !(shift & (ssAlt | ssShift)) &&
        (options & goRangeSelect) && !editorMode) {
        selectAllCells();
        return true;
    }
    return false;
}

// The selection runs from its anchor to the current cell, so the current cell goes to
// the first scrollable cell and the anchor to the last.
void TCustomGrid::Private::selectAllCells()
{
    moveCurrent(q.ColCount() - 1, q.RowCount() - 1, true, false);
    moveCurrent(fixedCols, fixedRows, false, true);
}

bool TCustomGrid::Private::keyTarget(int key, TShiftState shift, TGridCoord &to, bool &moveAnchor)
{
    const int firstC = fixedCols, lastC = q.ColCount() - 1;
    const int firstR = fixedRows, lastR = q.RowCount() - 1;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        to.Y = key == Qt::Key_Up ? std::max(firstR, to.Y - 1) : std::min(lastR, to.Y + 1);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // Under a right-to-left layout the columns run leftwards: the arrows follow
        // what the user sees, as in QTableView.
        const bool back = (key == Qt::Key_Left) != (q.layoutDirection() == Qt::RightToLeft);
        to.X = back ? std::max(firstC, to.X - 1) : std::min(lastC, to.X + 1);
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        pageTarget(key == Qt::Key_PageDown, to);
        return true;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool home = key == Qt::Key_Home;
        to.X = home ? firstC : lastC;
        if (shift & ssCtrl) to.Y = home ? firstR : lastR;
        return true;
    }
    case Qt::Key_Tab:
        if (!(options & goTabs)) return false;
        moveAnchor = true;
        std::tie(to.X, to.Y) = tabTarget(to.X, to.Y, shift & ssShift, firstC, lastC, firstR, lastR);
        return true;
    default:
        return false;
    }
}

// A page is the rows in view: the view scrolls by it and the current cell follows.
void TCustomGrid::Private::pageTarget(bool down, TGridCoord &to)
{
    const int page = std::max(1, q.VisibleRowCount());
    to.Y = down ? std::min(q.RowCount() - 1, plus(to.Y, page)) : std::max(fixedRows, to.Y - page);
    q.setTopRow(plus(topRow, down ? page : -page));
}

void TCustomGrid::KeyPress(QChar &Key)
{
    callHandler(OnKeyPress, this, Key);
    if (Key.isNull()) {
        markKeyUsed();
        return;
    }
    if (Key.unicode() == 13 && (d->options & goEditing) && !(d->options & goAlwaysShowEditor) &&
        !d->designing) {
        if (d->editorMode)
            HideEditor();
        else
            ShowEditor();
        Key = QChar();
        markKeyUsed();
    }
}

void TCustomGrid::WMChar(QChar Key)
{
    KeyPress(Key);
    if (Key.isNull()) return;
    const char16_t code = Key.unicode();
    if ((d->options & goEditing) && !d->designing && (code == 8 || code >= 32)) ShowEditorChar(Key);
}

} // namespace vorgrd
