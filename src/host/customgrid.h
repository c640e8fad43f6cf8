#pragma once
// TCustomGrid: the base of the string grid, a scrollable matrix of cells on
// QAbstractScrollArea. It owns the geometry (counts, fixed bands, extents, scrolling),
// the current cell and the selection, the painting cycle, mouse and keyboard handling
// and the in-place editor mechanism; it stores no cell data (TStringGrid does).
//
// Layout. Columns 0 .. FixedCols-1 and rows 0 .. FixedRows-1 are the fixed bands; they
// stay in view while the others scroll. Each cell is followed by a grid line of
// GridLineWidth pixels (0 on an axis whose two line options are both off). The view
// scrolls by whole cells: LeftCol and TopRow are the first scrollable column and row
// shown, and the scroll bars' values are exactly those.
//
// Counts. ColCount > FixedCols >= 0 and RowCount > FixedRows >= 0 always hold, so a
// current cell always exists. Writing a count below 0 raises ERangeError; writing a
// count from 0 up to the fixed count is raised to fixed count + 1 (an empty file load
// asks for 0 and gets one row and one column beyond the fixed bands). Writing a fixed
// count outside 0 .. count-1 raises ERangeError. Nothing changes when a write raises.
// The grid keeps the count last asked for: a count is always max(asked, fixed + 1),
// so lowering the fixed count brings a raised count down to what was asked. Counts
// then fixed counts (the order of the form stream and of .ui files) give back the
// grid that was saved: RowCount 1 then FixedRows 0 is one row.
//
// Hooks for descendants (protected virtuals): DrawCell, SizeChanged,
// ColWidthsChanged, RowHeightsChanged, RowMoved, ColumnMoved, MouseDown, MouseMove,
// MouseUp, KeyDown, KeyPress, WMChar, DblClick, SelectCell, TopLeftChanged,
// CreateEditor, GetEditText, SetEditText, CanEditShow, Loaded.
//
// Call flow of input:
//   Qt mouse press   -> MouseDown (select / start sizing / start moving) -> OnMouseDown
//   Qt mouse move    -> MouseMove (extend selection / resize / track the move)
//   Qt mouse release -> MouseUp (ColWidthsChanged / ColumnMoved / open editor) -> OnMouseUp
//   Qt key press     -> KeyDown (navigation, F2, Ctrl+A) -> WMChar(character) -> KeyPress
//                       -> ShowEditorChar for a typed character when editing
//   A key press that none of these used (Escape without an editor, a character the
//   grid does not edit with) is ignored, so it reaches the parent (a dialog's
//   Escape); a used one is accepted.
//
// Every Qt event handler runs inside the event guard (host/eventguard.h): nothing
// thrown leaves it, the message goes to qWarning, and an interrupted drag is reset.
// Likewise a property written through the meta-object (setProperty, QUiLoader, Qt
// Designer) that a setter refuses returns false with a qWarning, the grid unchanged
// (host/propertywriteguard.h); the setters called from C++ raise.
//
// Handlers (the OnXxx events) may change the grid, even destroy it. After each call
// the grid re-checks what the handler may have changed (the counts under the current
// cell, the line being dragged). A grid destroyed by its own handler stops the
// running operation at once: callHandler throws an Exception that the event guard
// reports (code that called into the grid gets it). Destroy a grid from its handlers
// with deleteLater(). A change made while the grid paints (from DrawCell or
// OnDrawCell) never paints recursively: the running paint stops after the cell if
// the layout changed, and a repaint is scheduled.

#include "host/vorgrdexport.h"
#include "host/graphics.h"
#include "host/gridaxis.h"
#include "host/gridaxislayout.h"
#include "host/gridtypes.h"
#include "host/linechange.h"
#include "host/propertywriteguard.h"

#include <QAbstractScrollArea>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>

namespace vorgrd {

class CellStore;
class TInplaceEdit;

class VORGRD_EXPORT TCustomGrid : public PropertyWriteGuard<QAbstractScrollArea>
{
    Q_OBJECT
    // Declaration order is streaming order: counts before the fixed counts.
    Q_PROPERTY(int ColCount READ ColCount WRITE setColCount NOTIFY colCountChanged STORED true)
    Q_PROPERTY(int RowCount READ RowCount WRITE setRowCount NOTIFY rowCountChanged STORED true)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE setFixedCols NOTIFY fixedColsChanged STORED true)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE setFixedRows NOTIFY fixedRowsChanged STORED true)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE setDefaultColWidth NOTIFY
                   defaultColWidthChanged STORED true)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE setDefaultRowHeight NOTIFY
                   defaultRowHeightChanged STORED true)
    Q_PROPERTY(int GridLineWidth READ GridLineWidth WRITE setGridLineWidth NOTIFY
                   gridLineWidthChanged STORED true)
    Q_PROPERTY(quint32 Color READ Color WRITE setColor NOTIFY colorChanged STORED true)
    Q_PROPERTY(quint32 FixedColor READ FixedColor WRITE setFixedColor NOTIFY fixedColorChanged STORED true)
    // Qt Designer cannot edit an object of ours: it edits the QWidget font instead,
    // which is the same font (see Font()).
    Q_PROPERTY(vorgrd::TFont *Font READ Font WRITE setFont NOTIFY fontChanged DESIGNABLE false STORED true)
    Q_PROPERTY(vorgrd::GridTypes::TGridOptions Options READ Options WRITE setOptions NOTIFY
                   optionsChanged STORED true)
    Q_PROPERTY(vorgrd::GridTypes::TScrollStyle ScrollBars READ ScrollBars WRITE setScrollBars NOTIFY
                   scrollBarsChanged STORED true)

public:
    explicit TCustomGrid(QWidget *parent = nullptr);
    ~TCustomGrid() override;

    // ---- signals (host/gridsignals.cpp) ---------------------------------------------
    // Emitted beside the OnXxx events, after the change is complete (docs/signals.md).
    // A property's signal comes only when its value really changed.
Q_SIGNALS:
    void colCountChanged(int count);
    void rowCountChanged(int count);
    void fixedColsChanged(int count);
    void fixedRowsChanged(int count);
    void defaultColWidthChanged(int width);
    void defaultRowHeightChanged(int height);
    void gridLineWidthChanged(int width);
    void colorChanged(quint32 color);
    void fixedColorChanged(quint32 color);
    // The grid's font changed, through the TFont object or QWidget::setFont.
    void fontChanged();
    void optionsChanged(vorgrd::GridTypes::TGridOptions options);
    void scrollBarsChanged(vorgrd::GridTypes::TScrollStyle style);
    // TDrawGrid's DefaultDrawing (DefaultDrawing() says the new value).
    void defaultDrawingChanged();
    // The current cell moved (by the user, by code, or because the counts shrank
    // under it), after OnSelectCell accepted it.
    void currentCellChanged(int col, int row, int previousCol, int previousRow);
    // Selection() now covers other cells.
    void selectionChanged();
    // Around every change that inserts, removes, moves or reorders lines, or replaces
    // the content (TLineChange); between the two the grid is in between, so an
    // observer should only take note. Nested changes report only the outer one.
    void linesAboutToChange(const vorgrd::TLineChange &change);
    void linesChanged(const vorgrd::TLineChange &change);

protected:
    // The hooks of the change pipeline (host/gridedit.h), for a descendant that keeps
    // cells. EditOpened runs when any edit opens (after linesAboutToChange for a
    // structural one), EditClosing when it closes, before linesChanged, with the
    // change it reports (null unless it is the outermost structural edit): a
    // descendant gathers the cell writes made meanwhile and reports them when the
    // outermost edit closes. EditClosing may throw (a receiver of its report); the
    // edit passes that to the event guard. EditableCells gives GridEdit::store() the
    // cells (null by default: the base keeps none); CellsWritten takes what an edit
    // says it wrote.
    virtual void EditOpened();
    virtual void EditClosing(const TLineChange *reported);
    virtual CellStore *EditableCells();
    virtual void CellsWritten(const QRect &cells);
    // A write made outside any edit (a single cell): counts as one edit for
    // ContentGeneration.
    void noteContentChanged() noexcept;

public:
    // (end of signals)

    // Changes whenever the cells, the lines or the counts may have changed (each
    // closing GridEdit and each single cell write counts one): equal readings mean
    // nothing of that changed in between.
    quint64 ContentGeneration() const;

    // ---- counts and extents --------------------------------------------------------
    int ColCount() const;
    void setColCount(int count);
    int RowCount() const;
    void setRowCount(int count);
    int FixedCols() const;
    // A fixed band that comes to cover the current cell moves it out of the band; an
    // editor open on it commits its text into the cell first, and closes.
    void setFixedCols(int count);
    int FixedRows() const;
    void setFixedRows(int count);
    // The largest counts, INT_MAX unless a descendant that keeps something per line
    // lowered them with setCountLimits; a larger count raises ERangeError. Cell
    // writes of a descendant that stores cells stay below them too.
    int MaxColCount() const;
    int MaxRowCount() const;
    // Sizes are 0 .. 1,000,000 pixels, else ERangeError. Writing a default size resets
    // every individual width (height) to it.
    int DefaultColWidth() const;
    void setDefaultColWidth(int width);
    int DefaultRowHeight() const;
    void setDefaultRowHeight(int height);
    // Index 0 .. ColCount-1 (RowCount-1), extent 0 or more. Writing from code does
    // not call ColWidthsChanged / RowHeightsChanged: those report the user's drags.
    int ColWidths(int index) const;
    void setColWidths(int index, int width);
    int RowHeights(int index) const;
    void setRowHeights(int index, int height);
    // 0 .. 1000 pixels.
    int GridLineWidth() const;
    void setGridLineWidth(int width);

    // ---- appearance ----------------------------------------------------------------
    TColor Color() const;
    void setColor(TColor color);
    TColor FixedColor() const;
    void setFixedColor(TColor color);
    // The grid's font, which is the widget's font: a change through the object or
    // setFont(TFont *) is set on the widget (QWidget::setFont), and QWidget::setFont or
    // a font the parent passes down is copied into the object. Either way the grid
    // repaints and emits fontChanged once. Row heights do not follow the font (see
    // docs/signals.md, "Font and palette").
    TFont *Font() const;
    void setFont(TFont *font); // copies the font (Assign); null is ignored
    using QWidget::setFont;
    TGridOptions Options() const;
    void setOptions(TGridOptions options);
    TScrollStyle ScrollBars() const;
    void setScrollBars(TScrollStyle style);
    // Whether the base paints each cell's background, the selection and the focus
    // rectangle around DrawCell (and TStringGrid the text). Published by TDrawGrid.
    bool DefaultDrawing() const;
    void setDefaultDrawing(bool value);
    // The drawing surface; it has a painter only while the grid paints.
    TCanvas &Canvas();

    // ---- scrolling ------------------------------------------------------------------
    int LeftCol() const;
    void setLeftCol(int col); // clamped to FixedCols .. the last useful left column
    int TopRow() const;
    void setTopRow(int row);
    // Scrollable columns (rows) fully visible from LeftCol (TopRow); at least 0.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    int ClientWidth() const;
    int ClientHeight() const;

    // ---- current cell and selection -----------------------------------------------
    int Col() const;
    void setCol(int col); // FixedCols .. ColCount-1, else ERangeError
    int Row() const;
    void setRow(int row);
    // Both corners included. Without goRangeSelect it is the current cell; with
    // goRowSelect it spans the scrollable columns.
    TGridRect Selection() const;
    void setSelection(const TGridRect &rect);
    // Moves the current cell (and, when moveAnchor, the selection's anchor with it)
    // and scrolls it into view. Raises ERangeError for a cell outside the scrollable
    // cells. Returns false when SelectCell refused the cell.
    bool FocusCell(int col, int row, bool moveAnchor);

    // ---- geometry --------------------------------------------------------------------
    // The cell's rectangle in viewport pixels; empty when it is not in view.
    QRect CellRect(int col, int row) const;
    // The cell under a viewport point; -1 for a coordinate beyond the cells.
    TGridCoord MouseCoord(int x, int y) const;
    // Line widths in effect on each axis (0 when both of the axis's line options are off).
    int VertLineWidth() const;
    int HorzLineWidth() const;

    // ---- state -------------------------------------------------------------------------
    TGridState GridState() const;
    // Design mode (in a form designer): presses only resize, and both sizing
    // options count as on.
    bool Designing() const;
    void setDesigning(bool designing);

    // ---- focus ---------------------------------------------------------------------------
    bool CanFocus() const;
    void SetFocus();
    // The widget of the grid's window that has (or last had) the keyboard focus.
    QWidget *ParentActiveControl() const;

    // ---- editor --------------------------------------------------------------------------
    bool EditorMode() const;
    void setEditorMode(bool on); // ShowEditor / HideEditor
    TInplaceEdit *InplaceEditor() const;
    void ShowEditor();
    // Commits the editor's text into the cell and closes the editor.
    void HideEditor();
    // Opens the editor as if `ch` was typed into it (backspace empties it).
    void ShowEditorChar(QChar ch);
    // Writes the editor's text into its cell when it differs.
    void UpdateText();

    // ---- moving lines ---------------------------------------------------------------------
    // Moves a scrollable or fixed line with its extent, keeps the current cell on its
    // line and calls ColumnMoved / RowMoved. Indices out of range raise ERangeError;
    // a move CheckMoveLine refuses raises with nothing changed, and a ColumnMoved /
    // RowMoved that raises has the extent and the current cell put back.
    void MoveColumn(int fromIndex, int toIndex);
    void MoveRow(int fromIndex, int toIndex);

    // ---- painting -------------------------------------------------------------------------
    // Repaint at once.
    void Refresh();
    void Repaint();
    void InvalidateCell(int col, int row);
    void InvalidateGrid();

    Q_INVOKABLE virtual void Loaded();

    // ---- events ---------------------------------------------------------------------------
    std::function<void(QObject *sender, TMouseButton button, TShiftState shift, int x, int y)>
        OnMouseDown;
    std::function<void(QObject *sender, TMouseButton button, TShiftState shift, int x, int y)>
        OnMouseUp;
    std::function<void(QObject *sender, QChar &key)> OnKeyPress;
    std::function<void(QObject *sender, int &key, TShiftState shift)> OnKeyDown;
    std::function<void(QObject *sender)> OnDblClick;
    // May refuse a cell by setting canSelect to false.
    std::function<void(QObject *sender, int col, int row, bool &canSelect)> OnSelectCell;
    std::function<void(QObject *sender)> OnTopLeftChanged;

protected:
    // Lowers the count caps (see MaxColCount); the current counts must fit.
    void setCountLimits(int maxCols, int maxRows);

    // Calls an application handler (an empty std::function is skipped). A handler that
    // destroyed the grid stops the operation: an Exception saying so is thrown before
    // anything touches the grid again.
    template <class Handler, class... Args> void callHandler(const Handler &handler, Args &&...args)
    {
        if (!handler) return;
        const QPointer<TCustomGrid> alive(this);
        handler(std::forward<Args>(args)...);
        if (!alive) destroyedByHandler();
    }
    [[noreturn]] static void destroyedByHandler();

    // Sets what the mouse is doing (a descendant that examines a press before the base
    // marks a sizing press it hands on).
    void setGridState(TGridState state);

    // The layout of the columns (rows) as the grid stands now: extents, fixed count,
    // LeftCol (TopRow), line width in effect, client extent and, for the columns, the
    // direction (reversed under Qt::RightToLeft). A descendant that hit-tests or draws
    // on its own asks these, so that it cannot disagree with the base. The layout reads
    // the grid's extents: it must not outlive the grid or a change of the counts.
    GridAxisLayout columnLayout() const;
    GridAxisLayout rowLayout() const;

    // Says that the key press being handled did something although no hook consumed
    // its key (a shortcut that acted and lets the base's handling follow), so that it
    // is accepted instead of passed to the parent.
    void markKeyUsed();

    // Ends a sizing, moving or selecting drag without applying it (after an exception
    // or a handler that removed the dragged line).
    void resetDrag();

    // Paints one cell. The canvas's brush and font are set for the cell's state; with
    // DefaultDrawing the rectangle is already filled.
    virtual void DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState) = 0;
    // After ColCount or RowCount changed, with the counts before the change.
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    // After the user resized a column (a row) by dragging its border.
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    // After a line was moved (by a drag or by MoveColumn/MoveRow); the base does
    // nothing, TStringGrid moves the cells.
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    // Asked before a line moves (a drag or MoveColumn/MoveRow), with valid indices;
    // raises to refuse the move while nothing has changed. The base refuses nothing.
    virtual void CheckMoveLine(bool Column, int FromIndex, int ToIndex) const;

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DblClick();
    // Key is a Qt::Key value; a handler that consumes it sets it to 0.
    virtual void KeyDown(int &Key, TShiftState Shift);
    // A typed character after OnKeyPress; setting it to 0 consumes it.
    virtual void KeyPress(QChar &Key);
    // Receives every typed character (control characters included: Ctrl+C is 3,
    // backspace 8, Tab 9, Enter 13, Escape 27) before the base's own handling.
    virtual void WMChar(QChar Key);
    virtual bool SelectCell(int ACol, int ARow);
    virtual void TopLeftChanged();

    virtual TInplaceEdit *CreateEditor();
    virtual QString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const QString &Value);
    virtual bool CanEditShow() const;

    // Qt plumbing.
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    // QWidget::setFont (and a font the parent passes down) becomes the grid's Font.
    void changeEvent(QEvent *event) override;

public:
    // LIMIT: a line is at most a million pixels and a grid line at most a thousand, so
    // that pixel sums of visible cells stay far from the int range of QRect.
    static constexpr int MaxExtent = 1'000'000;
    static constexpr int MaxLineWidth = 1000;
    static constexpr int DefaultMaxColCount = 2'147'483'647;
    static constexpr int DefaultMaxRowCount = 2'147'483'647;

private:
    // The editor hands the grid the keys it does not use and its Escape.
    friend class TInplaceEdit;
    // The change pipeline reports through the base's signals and state.
    friend class GridEdit;

    // The grid's state and helpers (customgrid_p.h). New private state and helpers go
    // there, never here: this header is the class's manual.
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
