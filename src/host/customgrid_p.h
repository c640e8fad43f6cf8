#pragma once
// The private part of TCustomGrid: its state and its helpers. Only the base's own
// sources include it; no public header does, and it is never installed.
//
// Where new private state goes: a field of the base goes here, and so does a helper
// that no descendant calls (a member of Private reaching the grid through `q`, with
// the access of the grid's own members; a static function in the .cpp when it needs
// neither). State of one concern of a descendant goes into that descendant's private
// part (TStringGrid's in stringgrid_p.h, tvorgrid's in grid/vorGrid_p.h), never into a
// public header.

#include "host/customgrid.h"
#include "host/eventguard.h"
#include "host/graphics.h"
#include "host/gridaxislayout.h"

#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <climits>

namespace vorgrd {

struct TCustomGrid::Private
{
    explicit Private(TCustomGrid &grid) : q(grid) {}

    TCustomGrid &q;

    struct Sizing
    {
        TGridState state = gsNormal;
        int index = -1;
        int position = 0; // logical pixel of the border
        int offset = 0;   // border minus the point
    };

    // The border a press at viewport (x, y) grabs: column borders only inside the
    // fixed rows and row borders only inside the fixed columns.
    Sizing sizingAt(int x, int y) const;
    // Whether the drag in progress still refers to existing lines.
    bool dragStillValid() const;
    // The line after a painted cell (a logical rectangle) on both axes.
    void paintLines(QPainter &painter, int col, int row, const QRect &logical,
                    const GridAxisLayout &h, int hlw) const;
    // The insertion mark of a line drag: where the dragged line will land.
    void paintMoveMark(QPainter &painter, const GridAxisLayout &h, const GridAxisLayout &v,
                       int xEnd, int yEnd) const;

    GridAxis cols;
    GridAxis rows;
    int fixedCols = 1;
    int fixedRows = 1;
    // The counts last written: a count is the one asked for or, while that leaves no
    // line beyond the fixed ones, the fixed count + 1 (fitLineCount).
    int askedColCount = 5;
    int askedRowCount = 5;
    int gridLineWidth = 1;
    TColor color = clWindow;
    TColor fixedColor = clBtnFace;
    TFont *font;
    TGridOptions options;
    TScrollStyle scrollBars = ssBoth;
    bool defaultDrawing = true;
    TCanvas canvas;

    int leftCol = 1;
    int topRow = 1;
    TGridCoord current{1, 1};
    TGridCoord anchor{1, 1};
    bool designing = false;
    TGridState gridState = gsNormal;
    bool syncingScrollBars = false;
    int maxColCount = DefaultMaxColCount;
    int maxRowCount = DefaultMaxRowCount;
    // Painting: set while paintEvent runs; the layout generation counts changes of
    // counts, extents and scrolling, so that a paint sees a handler's change.
    bool painting = false;
    quint64 layoutGeneration = 0;

    // Drag state.
    Sizing sizing;
    int sizingStart = 0; // logical pixel where the sized cell starts
    int sizingOriginal = 0;
    int moveFrom = -1;
    int moveTo = -1;
    bool clickOnCurrent = false;

    TInplaceEdit *inplaceEdit = nullptr;
    bool editorMode = false;

    // Signals, the font sync and the key reports (host/gridsignals.cpp).
    int lineChangeDepth = 0;       // structural edits open (host/gridedit.cpp)
    quint64 contentGeneration = 0; // see ContentGeneration()
    TGridCoord reportedCurrent{1, 1};
    TGridRect reportedSelection{1, 1, 1, 1};
    bool syncingFont = false; // the Font object and QWidget::font are being aligned
    bool keyUsed = false;     // the key press being handled did something

    // ---- helpers (host/customgrid.cpp unless named) ----
    // Runs the work of one Qt event handler inside the event guard; resets the drag
    // when it threw and the grid is still there.
    template <class Work> void guarded(const char *handler, Work &&work);
    // setColCount / setRowCount after the range check: the count asked for is kept
    // (and put back when the change raises); false when the count stayed.
    bool setLineCount(Qt::Orientation orientation, int count);
    // Brings the count in line with the count asked for and the fixed count; false
    // when it stayed.
    bool fitLineCount(Qt::Orientation orientation);
    // setFixedCols / setFixedRows after the range check, with their signals (and the
    // count's, when it came down).
    void setFixedCount(Qt::Orientation orientation, int count);
    // LeftCol or TopRow moved: scroll bars, editor, repaint, TopLeftChanged.
    void firstCellChanged();
    void updateScrollBars();
    // Scrolls the least that shows the cell.
    void scrollIntoView(int col, int row);
    // Keeps the current cell, the anchor and the scroll position valid after any
    // change of counts, fixed bands or extents, and brings the view and the editor in
    // step.
    void clampCurrent();
    // Moves the current cell (asking SelectCell), the anchor with it unless extending.
    void moveCurrent(int col, int row, bool moveAnchor, bool showCell);
    // The editor follows the new current cell, or closes.
    void afterCurrentMoved();
    // Places the open editor over the current cell, or hides its widget (editing
    // goes on) while the cell is scrolled out of view.
    void updateEditor();
    // The editor's Escape: its text goes back to the cell's.
    void cancelEdit();
    // Keys that the open editor hands to the grid; returns whether handled.
    bool editorKey(int key, TShiftState shift);
    // The steps of KeyDown: F2 and Ctrl+A (true when run), the cell a navigation key
    // moves to (false for a key that moves nothing), and the page keys' move.
    bool commandKey(int key, TShiftState shift);
    void selectAllCells();
    bool keyTarget(int key, TShiftState shift, TGridCoord &to, bool &moveAnchor);
    void pageTarget(bool down, TGridCoord &to);
    void paintView(QPainter &painter, const QRect &clip);
    void paintCell(int col, int row, const QRect &rect);
    // The Font object changed: the widget, the editor and the view follow.
    void applyFontChange();
    // The left button's release: applies the sizing or the move the drag made.
    void finishDrag(TMouseButton button, TShiftState shift, int x, int y);
    void moveLine(bool column, int fromIndex, int toIndex);
    // Emits currentCellChanged / selectionChanged when the cell or the selection
    // differs from what was last reported (host/gridsignals.cpp).
    void reportCursorChanges();
};

template <class Work> void TCustomGrid::Private::guarded(const char *handler, Work &&work)
{
    const QPointer<TCustomGrid> alive(&q);
    guardEvent(handler, static_cast<Work &&>(work), [&] {
        if (alive) q.resetDrag();
    });
}

namespace grid_internal {

inline int clampInt(qint64 value, int low, int high)
{
    return static_cast<int>(std::clamp<qint64>(value, low, high));
}

// Index arithmetic that cannot overflow near INT_MAX lines.
inline int plus(int index, qint64 delta)
{
    return clampInt(index + delta, INT_MIN, INT_MAX);
}

} // namespace grid_internal

} // namespace vorgrd
