#pragma once
// tvorgrid: the spreadsheet-like grid component.
//
// A TStringGrid (cells, counts, fixed bands, widths, current cell, painting, editing)
// with what the rest of the component hangs on it:
//   columns     one tmcolumn per grid column (type, colour, font, alignment, width,
//               hiding, format, pick list, title), kept at exactly ColCount items
//   RowMarks    one mark string per row ("N", "YNY", ...), kept at RowCount entries
//   SortIndex   the permutation of the last sort (a TvorList)
//   Parser      the expression evaluator of formula cells, reading this grid
//   CheckImages the check-box glyph sheet (12 glyphs of CheckWidth x CheckHeight)
//
// Title row: while showtitles is on, row 0 holds the columns' title captions (it is
// rewritten whenever a column changes) and is drawn in the title style.
//
// Counts and marks: raising RowCount appends "N" marks; lowering it by the property
// resets every mark to "N" (row deletions that keep the marks are the row
// operations' job). Raising ColCount appends default columns named "column <n>";
// lowering it drops the last descriptions and keeps the others' settings.
//
// Widths: a column's Width is pushed into ColWidths (0 while hidden). Widths the user
// drags are copied back into every column's Width; widths written by code are not
// reported back, so showing a hidden column brings its width back.
//
// Published properties (besides the base's): KeyType, KeyPos, KeyLen, UseFixed,
// SearchSubstring, EnableClipboardShortcuts, PasteToCursor, ClickFixed,
// SortDescending, ReverseSearch, SearchExists (read-only), SortIndex (read-only),
// SavedFixedRows, SavedFixedCols (read the current fixed counts), showtitles (stored
// only when on), columns.

#include "host/vorgrdexport.h"
#include "exchange/dbfill.h"
#include "formulas/vorpars.h"
#include "grid/columns.h"
#include "host/stringgrid.h"
#include "keyedlist/vorlist.h"
#include "ordering/orderingtypes.h"
#include "presentation/drawingtypes.h"
#include "presentation/mousegeometry.h"

#include <QImage>
#include <QStringConverter>

#include <functional>
#include <memory>
#include <vector>

namespace vorgrd {

class TDataSet;

class VORGRD_EXPORT tvorgrid : public TStringGrid
{
    Q_OBJECT
    Q_PROPERTY(vorgrd::OrderingTypes::TMSortType KeyType READ KeyType WRITE setKeyType NOTIFY
                   keyTypeChanged)
    Q_PROPERTY(int KeyPos READ KeyPos WRITE setKeyPos NOTIFY keyPosChanged)
    Q_PROPERTY(int KeyLen READ KeyLen WRITE setKeyLen NOTIFY keyLenChanged)
    Q_PROPERTY(vorgrd::OrderingTypes::HandleFixed UseFixed READ UseFixed WRITE setUseFixed NOTIFY
                   useFixedChanged)
    Q_PROPERTY(bool SearchSubstring READ SearchSubstring WRITE setSearchSubstring NOTIFY
                   searchSubstringChanged)
    Q_PROPERTY(bool EnableClipboardShortcuts READ EnableClipboardShortcuts WRITE
                   setEnableClipboardShortcuts NOTIFY enableClipboardShortcutsChanged)
    Q_PROPERTY(bool PasteToCursor READ PasteToCursor WRITE setPasteToCursor NOTIFY
                   pasteToCursorChanged)
    Q_PROPERTY(bool ClickFixed READ ClickFixed WRITE setClickFixed NOTIFY clickFixedChanged)
    Q_PROPERTY(bool SortDescending READ SortDescending WRITE setSortDescending NOTIFY
                   sortDescendingChanged)
    Q_PROPERTY(bool ReverseSearch READ ReverseSearch WRITE SetReverseSearch NOTIFY
                   reverseSearchChanged)
    Q_PROPERTY(bool SearchExists READ SearchExists NOTIFY searchExistsChanged)
    Q_PROPERTY(vorgrd::TvorList *SortIndex READ SortIndex DESIGNABLE false CONSTANT)
    Q_PROPERTY(int SavedFixedRows READ GetFixedRows WRITE setSavedFixedRows NOTIFY savedFixedRowsChanged)
    Q_PROPERTY(int SavedFixedCols READ GetFixedCols WRITE setSavedFixedCols NOTIFY savedFixedColsChanged)
    Q_PROPERTY(bool showtitles READ showtitles WRITE setshowtitles NOTIFY showtitlesChanged)
    Q_CLASSINFO("stored:showtitles", "IsshowtitlesStored")
    // Qt Designer cannot edit the collection: it edits ColumnsJson (below), through the
    // column editor of the grid's task menu.
    Q_PROPERTY(vorgrd::TvorgridColumns *columns READ columns WRITE setcolumns NOTIFY columnsChanged
                   DESIGNABLE false)

public:
    Q_INVOKABLE explicit tvorgrid(QWidget *parent = nullptr);
    ~tvorgrid() override;

    // ---- signals (emitted where each change is made) ---------------------------------
    // Beside the base's signals (counts, current cell, selection, cells) and the
    // std::function events: a NOTIFY signal for every published property that can
    // change, and sorted() after every sort and UndoSort that moved cells, after the
    // cellsChanged that reports them (docs/signals.md).
Q_SIGNALS:
    void keyTypeChanged(vorgrd::OrderingTypes::TMSortType value);
    void keyPosChanged(int value);
    void keyLenChanged(int value);
    void useFixedChanged(vorgrd::OrderingTypes::HandleFixed value);
    void searchSubstringChanged(bool value);
    void enableClipboardShortcutsChanged(bool value);
    void pasteToCursorChanged(bool value);
    void clickFixedChanged(bool value);
    void sortDescendingChanged(bool value);
    void reverseSearchChanged(bool value);
    void searchExistsChanged(bool value);
    void showtitlesChanged(bool value);
    // SavedFixedRows (SavedFixedCols) reads the fixed count: these follow
    // fixedRowsChanged (fixedColsChanged).
    void savedFixedRowsChanged(int value);
    void savedFixedColsChanged(int value);
    // A column description changed (or all of them, through setcolumns, a count
    // change or a row and column operation); also the NOTIFY of ColumnsJson.
    void columnsChanged();
    void sorted();

public:
    // (end of signals)

    // ---- sort and search settings ------------------------------------------------------
    // Every setter below emits its NOTIFY signal only when the value changes
    // (definitions in grid/settings.cpp).
    TMSortType KeyType() const;
    // The enumeration setters refuse a value the enumeration does not declare
    // (ERangeError, nothing changed), also when it comes through setProperty.
    void setKeyType(TMSortType value);
    // 1-based start and length of the key cut out of each cell text.
    int KeyPos() const;
    void setKeyPos(int value);
    int KeyLen() const;
    void setKeyLen(int value);
    HandleFixed UseFixed() const;
    void setUseFixed(HandleFixed value);
    bool SearchSubstring() const;
    void setSearchSubstring(bool value);
    bool SortDescending() const;
    void setSortDescending(bool value);
    bool ReverseSearch() const;
    // Turns the search round. A running search goes on from the cell before its last
    // match in the new direction (that match is not reported again); an exhausted
    // search, or one that has reported no match yet, is armed again at the far end of
    // its range. Never scans cells, never throws.
    void SetReverseSearch(bool value);
    // Set once any search has started; never cleared.
    bool SearchExists() const;

    // ---- exchange and mouse settings ---------------------------------------------------
    bool EnableClipboardShortcuts() const;
    void setEnableClipboardShortcuts(bool value);
    bool PasteToCursor() const;
    void setPasteToCursor(bool value);
    bool ClickFixed() const;
    void setClickFixed(bool value);

    // ---- fixed counts as streamed --------------------------------------------------------
    // The current FixedRows (FixedCols), whatever was written to SavedFixedRows.
    int GetFixedRows() const { return FixedRows(); }
    int GetFixedCols() const { return FixedCols(); }
    // Stores the value and changes nothing else.
    void setSavedFixedRows(int value);
    void setSavedFixedCols(int value);

    // ---- titles --------------------------------------------------------------------------
    bool showtitles() const;
    // On: writes every column's title caption into row 0. Off: empties row 0.
    void setshowtitles(bool value);
    Q_INVOKABLE bool IsshowtitlesStored() const { return showtitles(); }

    // ---- owned parts -----------------------------------------------------------------------
    TvorgridColumns *columns() const;
    // Copies the descriptions of another collection (Assign), fitted to ColCount: the
    // grid keeps exactly one description per column.
    void setcolumns(TvorgridColumns *value);
    TStringList *RowMarks() const;
    int RowMarksCount() const;
    TvorList *SortIndex() const;
    TvorParser *Parser() const;
    const QImage &CheckImages() const;
    int CheckWidth() const;
    int CheckHeight() const;

    // Fires OnEditButtonClick (the editor's ellipsis button, or Ctrl+Enter in it). A
    // handler that destroyed the grid ends the event there, as the grid's other
    // handlers do (an Exception that the editor's event guard reports).
    virtual void EditButtonClick();

    // ---- row and column operations (grid/rowcolumnops.cpp) -------------------------------
    // Every operation checks its arguments first and raises ERangeError naming the
    // value and the valid range, with nothing changed. RowMarks travel with their
    // rows and the column descriptions with their columns; the base's column widths
    // stay by position (a hidden description keeps its column at width 0).
    //
    // The operations act on the lines inside the counts, so their cost follows the
    // grid's size. Cells the store keeps beyond the counts (see TStringGrid) stay
    // where they are, except where inserted lines come into view: inserted lines are
    // always empty. Deleted lines leave no stale copy behind the new count. A
    // failure part-way (memory) puts everything back before the exception leaves.

    // Splits Text at every Delimiter (matched exactly and case-sensitively; an empty
    // delimiter is never found, two adjacent ones give an empty field) and writes the
    // fields into cells (0, Row), (1, Row), ... Fields beyond ColCount land in cells
    // beyond the count; cells after the last field keep their text. Returns the
    // number of fields (at least 1). Row: 0..RowCount-1. More fields than cells
    // setCells may write raise ERangeError before any cell is written.
    Q_INVOKABLE int ModifyRow(int Row, const QString &Text, const QString &Delimiter);
    // The same down column Col (0..ColCount-1), starting at row 0.
    Q_INVOKABLE int ModifyCol(int Col, const QString &Text, const QString &Delimiter);
    // Appends a row (mark "N") and fills it like ModifyRow.
    Q_INVOKABLE void AddRow(const QString &Text, QChar Delimiter);
    // Appends a column (a default description) and fills it like ModifyCol.
    Q_INVOKABLE void AddCol(const QString &Text, QChar Delimiter);
    // Inserts Count empty rows (marks "N") before row Position (0..RowCount).
    Q_INVOKABLE void InsertRows(int Position, int Count);
    // Inserts Count empty columns before column Position (0..ColCount), each with a
    // fresh description named "column " + its 1-based position.
    Q_INVOKABLE void InsertCols(int Position, int Count);
    // Deletes Count rows from Position (0..RowCount-1), with their marks; a Count
    // reaching past the end is cut to the end. The base keeps at least one row beyond
    // the fixed rows: such a row is left empty with the mark "N".
    Q_INVOKABLE void DeleteRows(int Position, int Count);
    // Deletes Count columns from Position (0..ColCount-1) with their descriptions.
    Q_INVOKABLE void DeleteCols(int Position, int Count);

    // LIMIT: the insertions, the count properties (also from a stream) and cell writes
    // refuse to grow the grid past these counts (ERangeError, nothing changed). Every
    // row costs a mark string and every column a description with two fonts, so a
    // mistyped count must fail cleanly instead of exhausting memory.
    static constexpr int MaxInsertRowCount = 100'000'000;
    static constexpr int MaxInsertColCount = 100'000;

    // (end of row and column operations)

    // ---- sorting (ordering/sorting.cpp) ------------------------------------------------
    // Each sort orders lines by a key cut out of the cell texts (KeyPos, KeyLen, KeyType,
    // SortDescending); UseFixed decides whether the fixed rows and columns take part.
    // Texts and objects move together. Afterwards SortIndex holds, at position k, where
    // the line that UndoSort will bring back to k now stands; UndoSort applies it and
    // leaves the inverse, so repeated calls toggle between the two orders.
    //   SortCompleteRows(c)     whole rows, by their cells in column c; the row marks
    //                           travel with their rows
    //   SortCompleteColumns(r)  whole columns, by their cells in row r
    //   SortCol(c) / SortRow(r) only the cells of that column (row) among themselves
    //   SortAllRows / SortAllCols  every row (column) among itself; these reset every
    //                           row mark but row 0's to "N", and so does their undo
    // An open editor's text goes into its cell first, so that what was typed is sorted
    // (or moved back) with the rest, as the row operations commit it before they move.
    // Errors, each with nothing changed (cells, marks, SortState, SortIndex; the
    // editor's text committed stays): a line
    // index outside the grid raises ERangeError; a date key that does not convert
    // raises EConvertError (UndoSort then still toggles the previous sort); UndoSort
    // after the row or column count changed since the sort, or with a SortIndex that
    // no longer describes the sort, raises EListError.
    Q_INVOKABLE void SortCompleteColumns(int ARow);
    Q_INVOKABLE void SortCompleteRows(int ACol);
    Q_INVOKABLE void SortRow(int ARow);
    Q_INVOKABLE void SortCol(int ACol);
    Q_INVOKABLE void SortAllRows();
    Q_INVOKABLE void SortAllCols();
    // Undoes (or, called again, redoes) the last sort; in state Unsorted nothing.
    Q_INVOKABLE void UndoSort();

    // Which sort ran last, and the lines it used: SortLine is the column of SortCol or
    // the row of SortRow; SortFirstCol the first column whose cells a complete-row
    // sort moves (first column sorted by SortAllCols); SortFirstRow likewise for
    // complete-column sorts and SortAllRows.
    Q_INVOKABLE vorgrd::OrderingTypes::mSortState SortState() const;
    Q_INVOKABLE int SortLine() const;
    Q_INVOKABLE int SortFirstCol() const;
    Q_INVOKABLE int SortFirstRow() const;

    // (end of sorting)

    // ---- searching (ordering/searching.cpp) --------------------------------------------
    // A search is a cursor over a rectangle of cells (docs/search.md). A start operation
    // sets the text and the range and reports the first match; FindNext reports the
    // next one. Matches follow KeyType, KeyPos, KeyLen and SearchSubstring; UseFixed
    // decides whether the fixed bands belong to the range; ReverseSearch scans
    // backwards. There is no wrap-around. Each call returns whether a cell matched and
    // puts its (col, row) into the out parameters, or (-1, -1). Searching never moves
    // the current cell or the selection.
    //
    // With soDate a search text or a cell key that is no date raises EConvertError; the
    // search stays armed on that cell. If rows or columns are removed while a search is
    // under way, FindNext treats its range as cut to the current counts.

    // The whole grid, along each row (byRows) or down each column.
    Q_INVOKABLE bool FindFirst(const QString &text, bool byRows, int &col, int &row);
    // One row (one column); an index outside the grid raises ERangeError and leaves
    // the running search as it was.
    Q_INVOKABLE bool FindFirstInRow(const QString &text, int searchRow, int &col, int &row);
    Q_INVOKABLE bool FindFirstInCol(const QString &text, int searchCol, int &col, int &row);
    // The next match after the last one; false and (-1, -1) once the range is exhausted
    // or when no search was started.
    Q_INVOKABLE bool FindNext(int &col, int &row);

    // (end of searching)

    // ---- cell names and formula cells (formulas/cellnames.cpp) -------------------------
    // Cells addressed by column name and as variants (docs/cellnames.md). A name matches
    // a column's columnName with a-z upper-cased on both sides; the first matching
    // column wins. A name that no column carries is not an error: writing changes
    // nothing, reading gives the empty result. Rows and columns must lie inside the grid
    // (0..RowCount-1, 0..ColCount-1), else ERangeError with nothing changed.
    //
    // Variants become text through QVariant's own conversion to QString (3 -> "3",
    // 2.5 -> "2.5", true -> "true"); an invalid QVariant is the empty text. A variant
    // with no text form (a QRect, say) raises EVariantError naming its type, with the
    // cell unchanged. Reading gives a QString variant.

    void setcellname(const QString &name, int row, const QString &value);
    QString getcellname(const QString &name, int row) const;
    void setvcellname(const QString &name, int row, const QVariant &value);
    // A QString variant; an invalid QVariant when no column has the name.
    QVariant getvcellname(const QString &name, int row) const;
    void setvcell(int col, int row, const QVariant &value);
    QVariant getvcell(int col, int row) const;
    // The columnName of column `index`; empty for an index outside 0..ColCount-1.
    Q_INVOKABLE QString getcellsname(int index) const;
    // The index of the first column with that name; -1 when none has it.
    Q_INVOKABLE int getcellsindex(const QString &name) const;

    // The text a formula cell shows: the cell's text evaluated by Parser() with
    // (col, row) as its current cell, formatted with the column's Displayformat (a
    // trailing "x" dropped) through FormatFloat, or with FloatToStr when there is no
    // format. Any failure of evaluation or formatting gives the raw text; so does a
    // cell that is no formula cell (another column type, or the title row while
    // showtitles is on). SUMROW and the other range functions read the focused cell.
    QString FormulaDisplayText(int col, int row);

    // (end of cell names)

    // ---- cell drawing (presentation/drawing*.cpp) --------------------------------------
    // The grid draws every cell itself (docs/drawing.md). For each visible cell the
    // base's paint calls DrawCell, which sets the canvas up from the column (or its
    // title), prepares the display text, hands both to ondrawcell and then, unless the
    // handler set DefaultDrawing to false, draws the cell with DefaultDrawText.
    // DefaultDrawing is put back after every cell, whatever the handler did.
    //
    // The building blocks below are public so that an ondrawcell handler can draw with
    // them; they paint on Canvas() and do nothing outside a paint (no painter). They
    // use the canvas's current brush and font, as DrawCell left them for the cell.

    // The text DrawCell shows for a cell before ondrawcell sees it: the title row's
    // caption (row 0 while showtitles is on); a numeric cell through its column's
    // Displayformat (a trailing "x" dropped) by FormatFloat; a date/time cell through
    // the whole Displayformat by FormatDateTime; a formula cell's value (see
    // FormulaDisplayText); the raw text otherwise, and whenever conversion,
    // evaluation or formatting fails. Check-box cells give their raw text. Trailing
    // zeros are not blanked here (that is the drawing's "x" rule). Never paints.
    // ACol, ARow: 0..ColCount-1, 0..RowCount-1, else ERangeError.
    QString DisplayText(int ACol, int ARow);

    // Draws a cell's content the grid's way: a glyph for a check-box cell (outside the
    // title row), else an optional bevel (the content then inset by 2 pixels), then a
    // formatted number right-aligned on one line, or the text through DrawCellTextEx.
    // In a column whose Displayformat ends in "x", trailing zeros of a formatted number
    // (and a decimal separator left last) are drawn as blanks, so that "2.50" shows as
    // "2.5" lined up with its neighbours' decimal separators.
    void DefaultDrawText(int ACol, int ARow, const QRect &Rect, TAlignment Alignment,
                         TVertAlignment VertAlignment, bool WordWrap, TCellBevelStyle Bevel,
                         const QString &Text);
    // Works out the top offset (2 for top, centred or bottom, never below 2) and calls
    // WriteText with a left offset of 2. ACol and ARow are not used.
    void DrawCellTextEx(int ACol, int ARow, const QString &Text, const QRect &Rect,
                        TAlignment Alignment, TVertAlignment VertAlignment, bool WordWrap);
    // Fills Rect with the brush colour and writes Text into it, clipped: one line at
    // (DX, DY) from the top-left (right-aligned text ends 3 pixels before the right
    // edge, centred text is centred), or, with WordWrap or a carriage return in the
    // text, lines flowing down from DY through WorkBitmap. Texts of any length.
    void WriteText(const QRect &Rect, int DX, int DY, const QString &Text, TAlignment Alignment,
                   bool WordWrap);
    // Draws glyph CheckGlyphIndex[Style][State] centred in Rect, its transparent
    // pixels in the grid's Color; nothing else of Rect is painted. The brush colour is
    // kept. State 0..2 and Style 0..3, else ERangeError naming the value.
    void DrawCheck(const QRect &Rect, int State, int Style);
    // A raised or sunken edge of 2 pixels along the inside of Rect.
    void DrawCellBevel(const QRect &Rect, bool Raised);
    // Draws Graphic centred on Rect, unclipped and without a background. ACol and ARow
    // are not used.
    void DrawCellBitmap(int ACol, int ARow, const QImage &Graphic, const QRect &Rect);

    // (end of cell drawing)
    // ---- mouse, typed characters and geometry (presentation/mouse*.cpp) ----------------
    // What the grid does with a press before the base sees it (docs/mouse.md):
    //   1. it takes the focus; a press while another control keeps it goes to the base
    //   2. a left double click fires OnDblClick and nothing else
    //   3. a left press on a border the base would drag (CalcSizingState) goes to the
    //      base, which resizes; with ClickFixed a press on a fixed cell makes the row
    //      (column) pressed current, a corner cell fixed both ways doing nothing; a
    //      press on the current cell of a check-box column toggles it between "Y" and
    //      empty when goEditing is on; anything else goes to the base (selection,
    //      editor, OnMouseDown)
    //   4. right and middle presses are swallowed: no OnMouseDown, no cell change
    // A typed printable character or backspace, with goEditing, passes KeyPress
    // (OnKeyPress may change or consume it) and then toggles the current check-box
    // cell or opens the editor with that character; other characters go to the base.
    // The title row (row 0 while showtitles is on) is never toggled.
    //
    // The geometry operations follow the base's layout (line widths, fixed bands,
    // LeftCol, TopRow, client size), read through its public members, so that a
    // handler or a descendant hit-tests exactly as the grid does.

    // Fills both axes for the client size (CalcDrawInfoXY with ClientWidth/Height).
    void CalcDrawInfo(TGridDrawInfo &DrawInfo) const;
    // Fills both axes as if the client were UseWidth x UseHeight pixels.
    void CalcDrawInfoXY(TGridDrawInfo &DrawInfo, int UseWidth, int UseHeight) const;
    // Fills the line widths, fixed ends and counts, first cells and extent functions.
    void CalcFixedInfo(TGridDrawInfo &DrawInfo) const;
    // Walks the scrollable cells from the first one to fill drawnEnd, lastFullCell and
    // fullEnd for a client extent of UseExtent pixels.
    static void CalcAxisBounds(TGridAxisInfo &Axis, int UseExtent);
    // The cell under a viewport point; -1 on an axis where the point lies before the
    // first cell or beyond the last one.
    TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfo &DrawInfo) const;
    // The cell of one axis at a pixel position (-1 when there is none).
    static int CellAtPosition(const TGridAxisInfo &Axis, int Position);
    // Whether a press at (X, Y) grabs a border: State gsColSizing or gsRowSizing with
    // the cell whose border it is (Index), the border's pixel (SizingPos) and its
    // distance from the point (SizingOfs); else gsNormal and Index -1. Column borders
    // are grabbed only inside the fixed rows and row borders only inside the fixed
    // columns, within a zone of at least 7 pixels (3 before to 4 after a border with
    // lines of 1). While Designing both sizing options count as on. Sets the client
    // extents of FixedInfo, which must have been filled by CalcFixedInfo.
    void CalcSizingState(int X, int Y, TGridState &State, int &Index, int &SizingPos,
                         int &SizingOfs, TGridDrawInfo &FixedInfo) const;
    // The border test of one axis; Point is X for columns and Y for rows. Leaves the
    // out parameters alone when no border is grabbed.
    static void CalcAxisSizing(const TGridAxisInfo &Axis, int Point, TGridState NewState,
                               TGridState &State, int &Index, int &SizingPos, int &SizingOfs);
    // The base's ColWidths (RowHeights): the extent functions of the record.
    int GetColWidths(int Index) const;
    int GetRowHeights(int Index) const;

    // (end of mouse)

    // ---- row marks (presentation/marks.cpp) ----------------------------------------------
    // Every row carries any number of independent marks at positions 1, 2, 3, ... in its
    // RowMarks entry: character p is "Y" when mark p is set. Marks change only through
    // these operations (no mouse action or key sets them); none of them repaints or
    // fires an event, so a handler that shows marks (ondrawcell) calls Refresh itself.
    // Rows at or beyond the number of entries are not marked: SetSelectRow ignores them.
    // A position below 1 or a negative row raises ERangeError naming the value, with
    // nothing changed.

    // Whether mark Position of Row is set.
    bool GetSelectRow(int Row, int Position) const;
    // Sets or clears mark Position of Row; a shorter entry is first padded with "N".
    void SetSelectRow(int Row, int Position, bool Value);
    // Clears mark Position in every row; entries keep their lengths.
    void DeSelectAllMark(int Position);
    // Clears every mark of every row: each entry becomes "N".
    void DeSelectAll();
    // The number of rows whose mark Position is set.
    int GetSelectRowCount(int Position) const;

    // (end of row marks)

    // ---- columns as one text for form designers (design/designcolumns.cpp) -------------
    // The columns as the form stream writes them: a JSON array with one object per
    // column holding its stored properties, e.g.
    //   [{"columnName":"Price","Title":{"Caption":"Price"},"columntype":"ftnumeric",...}]
    // Qt Designer keeps only properties of types it knows, so this string is how a
    // .ui file carries the columns: uic turns it into a setColumnsJson() call and
    // QUiLoader writes it through the meta-object. Our own form stream streams
    // `columns` itself and leaves this one out (IsColumnsJsonStored).
    //
    // Writing sets ColCount to the number of columns (at least FixedCols + 1, the
    // base's minimum, the grid adding default columns up to it) and replaces every
    // description. An empty text changes nothing. A text that is no such array, or
    // holds a value a column refuses, changes nothing either: setColumnsJson reports
    // it with qWarning (it runs inside uic's setupUi and QUiLoader, where an exception
    // cannot be caught), LoadColumnsJson raises EReadError naming the property.
    //
    // The text is no translatable text: the Designer plugin marks it notr="true", so
    // uic sets it once in setupUi() and lupdate leaves it alone. A .ui saved without
    // the mark makes uic write it again from retranslateUi() on every language change;
    // so setColumnsJson with the text it last applied changes nothing, and the columns
    // the application changed since stay. LoadColumnsJson always applies its text (to
    // put the designed columns back, for instance).
    Q_PROPERTY(QString ColumnsJson READ ColumnsJson WRITE setColumnsJson NOTIFY columnsChanged
                   DESIGNABLE true)
    Q_CLASSINFO("stored:ColumnsJson", "IsColumnsJsonStored")
    QString ColumnsJson() const;
    void setColumnsJson(const QString &json);
    void LoadColumnsJson(const QString &json);
    Q_INVOKABLE bool IsColumnsJsonStored() const { return false; }
    // Designer saves these two properties with stdset="0" (their setters are not
    // "set" + the name with a capital first letter), and uic then writes them
    // through setProperty. A .ui file written by hand without stdset="0" makes uic
    // call these names, so that such a form compiles too.
    void setShowtitles(bool value) { setshowtitles(value); }
    void setReverseSearch(bool value) { SetReverseSearch(value); }

    // (end of columns as designer text)

    // ---- exchange: files and clipboard (exchange/textfiles.cpp, exchange/clipboard.cpp) ----
    // Delimited text as spreadsheets write it (docs/exchange.md). A file holds one
    // grid row per line, the cells joined by a delimiter string, each line ended by
    // CR LF; a cell that holds the delimiter, a quote, CR or LF is written in double
    // quotes with its quotes doubled, every other cell as it stands. Reading, a field
    // that starts with a quote is quoted (RFC 4180) and CR LF, LF and a lone CR each
    // end a line. Files are UTF-8 unless they open with a byte-order mark. The
    // clipboard carries the cells tab-delimited with CR LF between rows and none after
    // the last, as text/plain, and beside it the same cells as an HTML table
    // (text/html).

    // Replaces the grid's content with the file's lines: every non-empty line becomes
    // a row (split at the delimiter outside quotes, exactly and case-sensitively; an
    // empty delimiter never matches), RowCount becomes the number of non-empty lines
    // and ColCount the widest line's field count (the base's lower bounds apply: an
    // empty file leaves one row and one column beyond the fixed ones). Afterwards the
    // grid holds exactly the file's cells: every other cell is empty, cell objects are
    // cleared and every row mark is "N"; column descriptions are kept by position (new
    // ones are fresh). The file is read block by block into a new content that
    // replaces the grid's only once the whole file has been read and checked. Errors,
    // each with the grid unchanged: a file that cannot be opened raises MFileError
    // ("File " + name + " not found"); a read error, or bytes that are not valid UTF-8
    // (UTF-16 or UTF-32 with a byte-order mark), raise EInOutError naming the file and
    // the reason (the byte offset for bad bytes); more lines than MaxInsertRowCount, a
    // line with more fields than MaxInsertColCount, or a file past the load limits
    // below raises ERangeError.
    Q_INVOKABLE void LoadFromFile(const QString &FileName, const QString &Delimiter);
    // The same for files in another encoding (a byte-order mark still wins). Latin-1
    // reads every byte as one character, so it accepts any file.
    void LoadFromFile(const QString &FileName, const QString &Delimiter,
                      QStringConverter::Encoding encoding);
    // LIMIT: what a load reads and builds at most, so that an endless or enormous file
    // (a device, a pipe, a file of a gigabyte) cannot take all memory: a file of more
    // than MaxLoadFileSize bytes (as stored), or one whose non-empty lines hold more
    // than MaxLoadCells fields in all, raises ERangeError with nothing changed. Both
    // are checked as the file is read; a file whose size is known to pass the first is
    // refused before any reading.
    static constexpr qint64 MaxLoadFileSize = qint64(256) << 20;
    static constexpr qint64 MaxLoadCells = qint64(32) << 20;
    // Writes rows 0..RowCount-1, fixed ones included, each the cells of columns
    // 0..ColCount-1 joined by Delimiter (quoted where they need it) and ended by CR LF,
    // in UTF-8 without a byte-order mark. The text goes to a file beside the target that replaces it only
    // once complete, so a failure never destroys the previous file; it raises
    // EInOutError naming the file and the system's reason.
    Q_INVOKABLE void SaveToFile(const QString &FileName, const QString &Delimiter);

    // The selected cells (Selection()) onto the clipboard.
    void CopyToClipboard();
    // CopyToClipboard, then empties the selected cells.
    void CutToClipboard();
    // Every row and column, fixed ones included, onto the clipboard.
    void SaveToClipboard();
    // Writes the clipboard's cells into the grid (PasteText): its plain text, or the
    // table of its text/html where the plain text is missing or lost the table's shape
    // (rows and cells per row); nothing when the clipboard holds neither. A table of
    // more than MaxLoadCells cells raises ERangeError with nothing changed.
    void PasteFromClipboard();
    // The paste itself, from a text given directly, read as tab-delimited text: CR LF,
    // LF and a lone CR each end a line, a line break at the very end of the text ends
    // the last line, and a quoted field keeps its tabs, quotes and line breaks. Cells
    // are taken whole, whatever their length. The first cell goes to the current cell
    // when PasteToCursor is on, else to the selection's top-left cell; each line
    // starts again in that column, one row further down. The grid grows so that a
    // column stays to the right of the widest line and a row below the last line; new
    // rows get the mark "N" and new columns fresh descriptions. An empty text does
    // nothing. Growth past MaxInsertRowCount or MaxInsertColCount raises ERangeError
    // with nothing changed.
    void PasteText(const QString &Text);
    // The clipboard's text of a rectangle of cells (both corners included): rows
    // joined by CR LF, cells by tabs, quoted where they need it (and a CR LF after a
    // last row of one empty cell); and the same cells as an escaped HTML table.
    QString ClipboardText(const TGridRect &rect) const;
    QString ClipboardHtml(const TGridRect &rect) const;

protected:
    // Ctrl+C, Ctrl+V and Ctrl+X (characters 3, 22, 24) copy, paste and cut, when
    // EnableClipboardShortcuts is on and the in-place editor is not shown (an open
    // editor keeps them for its own text). The base's handling always follows.
    void KeyPress(QChar &Key) override;

public:
    // (end of exchange: files and clipboard)

    // ---- exchange: export (exchange/exporthtml.cpp, exchange/exportsylk.cpp) ----------
    // The raw cell texts (formulas as their expressions, numbers and dates as stored)
    // as an HTML table or SYLK records, one record per line of `Lines`; the caller
    // saves or shows the list (Lines.SaveToFile writes UTF-8). Row 0 is the title row
    // and column 0 the fixed leading column, which holds no data. docs/exchange.md has
    // the records line by line.

    // Appends a table to Lines (the list is not cleared, so two calls give two
    // tables). A non-empty Caption gives a caption row spanning the columns written,
    // above the titles (CaptionOnTop) or below the last row. Hidden columns are left
    // out of every row. Texts are escaped: & < > " as entities, line breaks as <br>,
    // tabs as &#9;, blanks that HTML would collapse as &nbsp;, an empty text as <br>.
    void SaveasHTML(const QString &Caption, bool CaptionOnTop, TStrings &Lines);
    // Replaces the contents of Lines with SYLK records: the ID and bounds records, the
    // title row over every column (only with showtitles), the cells of columns 1.. in
    // every data row (from row 1 with showtitles, else from row 0), and "E". Hidden
    // columns are written like the others. Check boxes give "TRUE"/"FALSE"; a numeric
    // cell is written as a number when its text is one (a decimal comma becomes the
    // format's point), else as a quoted text; texts double every ";" and write line
    // breaks as the escape ESC " :" (read back as a line feed).
    void SaveasSYLK(TStrings &Lines);

    // (end of exchange: export)

    // ---- exchange: workbooks (exchange/workbook.cpp, exchange/xlsx*, exchange/ods*) -------
    // XLSX and ODS files, both ways; docs/exchange.md has the mapping and the bounds.

    // Writes rows 0..RowCount-1 and columns 0..ColCount-1, fixed ones included, as one
    // sheet, each cell typed by its column: numbers and dates with the Displayformat as
    // their format where it translates, check boxes as Booleans, formulas as live
    // formulas (with the grid's value as result) where the expression translates and
    // else as their value, titles and every text that is not what its column holds as
    // text. Column widths (hidden columns hidden) and the fixed rows and columns as
    // frozen panes go along. The file replaces the target only once complete; every
    // error leaves the previous file: EInOutError naming the file and the reason (also
    // for a text longer than the 32,767 characters an XLSX cell holds), ERangeError for
    // a grid larger than a sheet (1,048,576 rows, 16,384 columns).
    Q_INVOKABLE void SaveasXLSX(const QString &FileName);
    Q_INVOKABLE void SaveasODS(const QString &FileName);
    // Replaces the grid's content with sheet Sheet (from 0) of an XLSX or ODS file, told
    // apart by its contents, as LoadFromFile replaces it: each cell the text the
    // spreadsheet shows, numbers written with a point (12.5, 1E20), dates as ISO texts
    // (2026-01-05, 08:30:00, 2026-01-05 08:30:00), Booleans as "Y" and "", formulas as
    // their results. RowCount and ColCount become the sheet's extent (the base's lower
    // bounds apply), every row mark "N"; column descriptions stay. The whole sheet is
    // read before anything changes. Errors, each with the grid unchanged: MFileError for
    // a missing file; EInOutError for a file that is no workbook, a password-protected,
    // damaged or cut-short one, XML with a document type declaration, or more unpacked
    // bytes than the bound; ERangeError for a sheet index out of range and a sheet past
    // the bounds of values, rows or columns.
    Q_INVOKABLE void LoadFromWorkbook(const QString &FileName, int Sheet = 0);

    // (end of exchange: workbooks)

    // ---- exchange: database fill (exchange/dbfill.cpp, exchange/dbfillquery.cpp) -------
    // Filling rows from a data set without binding the grid to it (docs/exchange.md).
    // The application drives the data set; the grid asks for rows.

    // Asks OnFillNextRecord for successive rows: first for row 1 with showtitles (row
    // 0 then shows the titles) or row 0 without, then for each following row while the
    // handler sets `next` to true and the row lies inside RowCount (read anew after
    // every call: the grid never grows by itself). `next` starts false and keeps what
    // the handler last set. Nothing happens while OnFillNextRecord is not assigned;
    // the fill stops when a handler unassigns it.
    Q_INVOKABLE void Fillgrid();
    // Copies the data set's current record into row Row (0..RowCount-1, else
    // ERangeError): each described column takes the text of the field named like its
    // columnName (as the data set compares names), a column whose name matches no
    // field (an empty name never does) is emptied, fields that match no column are
    // ignored, cells beyond the described columns are not touched. Columns whose names
    // repeat take the fields of that name in turn (TDataSet::MatchFields), so a join's
    // two "id" fill two columns named "id". The columns are matched to the fields once
    // per data set and column names, not per record. Every field is read before any
    // cell is written, so an error of the data set leaves the row as it was.
    void FillrowfromDB(TDataSet &DataSet, int Row);
    // The whole result of an executed SELECT in one call, built on Fillgrid: the rows
    // below the title row are replaced by one row per record (a result without records
    // leaves one empty row), optionally the columns are named after the fields, and
    // progress is reported (TFillOptions). Returns the number of records filled.
    // Row marks are reset to "N". An inactive query raises EDatabaseError with the
    // grid unchanged; an error while reading leaves the rows filled until then.
    // The query is filled from its first record whatever was read of it: a scrollable
    // query goes back to it, and a forward-only one that has left it raises
    // EDatabaseError with the grid unchanged.
    int FillFromQuery(QSqlQuery query, const TFillOptions &options = {});
    // The same for a query text run on `database`.
    int FillFromQuery(const QString &sql, const QSqlDatabase &database,
                      const TFillOptions &options = {});

    // (end of exchange: database fill)

    // ---- events ----------------------------------------------------------------------------
    // May change the text drawn in a cell.
    std::function<void(QObject *sender, int col, int row, const QRect &rect, TGridDrawState state,
                       QString &text)>
        ondrawcell;
    std::function<void(QObject *sender)> OnEditButtonClick;
    // Asked for the next record while filling from a data set.
    std::function<void(int row, bool &next)> OnFillNextRecord;

    // Throws std::logic_error when columns or RowMarks are out of step with the counts.
    void checkConsistency() const;

protected:
    // After-load: fits the columns to ColCount, pushes their widths into the grid and
    // writes the title row when titles are on.
    void Loaded() override;
    virtual void loaded();
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColWidthsChanged() override;
    // Copies every ColWidths into its column's Width.
    virtual void Colwidthschanged();

    // ---- protected hooks of the row and column operations --------------------------------
    // A dragged row takes its mark string along; then the base moves its cells.
    void RowMoved(int FromIndex, int ToIndex) override;
    // A dragged column takes its description along (the collection is rebuilt inside
    // its update bracket, which is closed again); then the base moves its cells.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // A move is refused before anything moves when RowMarks or columns are out of
    // step with the counts.
    void CheckMoveLine(bool Column, int FromIndex, int ToIndex) const override;

    // (end of row and column hooks)

    // ---- protected hook of the cell drawing (presentation/drawing.cpp) ---------------
    // Replaces the base's cell drawing; the base's paint calls it for every cell in view.
    void DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState) override;
    // The scratch image that wrapped text and check glyphs are drawn through; it grows
    // to the largest cell drawn and is kept between cells.
    QImage &WorkBitmap();

    // (end of cell drawing hook)

    // ---- in-place editor (presentation/inplaceeditor.cpp) ---------------------------------
    // The grid's editor is a TVORGridInplaceEdit, owned by the grid: it shows the ellipsis
    // button or the drop-down pick list of the edited cell's column (docs/editor.md).
    // EditButtonClick (above) is the hook its ellipsis fires.
    TInplaceEdit *CreateEditor() override;

    // (end of in-place editor)

    // ---- mouse and typed characters, protected hooks (presentation/mouse.cpp) ----------
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMChar(QChar Key) override;
    // Tells assistive technology, once the move is done, that the current cell moved.
    bool SelectCell(int ACol, int ARow) override;

    // (end of mouse hooks)

private:
    // The state of every concern and its helpers (grid/vorGrid_p.h).
    struct Private;
    std::unique_ptr<Private> d;
    // Reads and marks the accessibility notices (presentation/accessible.cpp).
    friend class AccessibleGrid;
};

} // namespace vorgrd
