#pragma once
// tvorgrid's private part: the state behind the grid's d-pointer and the helpers of
// each concern. Only the grid's own sources include it (no public header does, and it
// is not installed), so the state can change without changing the published surface.
//
// Where new private state goes: a concern with state of its own gets a small struct
// (in its folder when it is more than a few settings, else below) and one member of
// tvorgrid::Private. Its helpers are members of tvorgrid::Private declared in the
// concern's block below and defined in the concern's .cpp; they reach the grid through
// `q`, with the access of the grid's own members.

#include "exchange/dbfill_p.h"
#include "grid/vorGrid.h"
#include "host/largememory.h"
#include "ordering/searchstate_p.h"
#include "ordering/sortrecord_p.h"

#include <QImage>

#include <climits>
#include <memory>
#include <vector>

namespace vorgrd {

// The keys and directions that sorting and searching read (published as KeyType,
// KeyPos, KeyLen, UseFixed, SearchSubstring, SortDescending, ReverseSearch).
struct OrderingSettings
{
    TMSortType keyType = soString;
    int keyPos = 1;
    int keyLen = INT_MAX;
    HandleFixed useFixed = hfNot;
    bool searchSubstring = false;
    bool sortDescending = false;
    bool reverseSearch = false;
    bool searchExists = false; // set by the first search, never cleared
};

// The clipboard and mouse switches (EnableClipboardShortcuts, PasteToCursor,
// ClickFixed).
struct ExchangeSettings
{
    bool enableClipboardShortcuts = false;
    bool pasteToCursor = false;
    bool clickFixed = false;
};

// What the grid keeps per line beside the base's cells: one description per column
// and one mark per row, fitted to the counts, and the title row's switch.
struct LineParts
{
    std::unique_ptr<TvorgridColumns> columns;
    std::unique_ptr<TStringList> rowMarks;
    // The RowCount the marks were last fitted to: a drop below it resets every mark.
    int rowMarksCount = 0;
    bool showtitles = false;
    // Streamed values of SavedFixedRows / SavedFixedCols (read back as the real counts).
    int savedFixedRows = 0;
    int savedFixedCols = 0;
    // The text setColumnsJson last applied: the same text again changes nothing.
    QString columnsJsonTaken;
};

// The check-box glyph sheet and the scratch image the drawing cuts glyphs and wraps
// text through.
struct CheckGlyphs
{
    QImage sheet;
    int width = 0; // one glyph
    int height = 0;
    QImage workBitmap;
};

// What the accessibility notices remember between calls.
struct AccessibleNotices
{
    // Set once anything asked for the grid's accessible interface: before that no
    // one can care about notices.
    bool tableMade = false;
    bool focusPending = false; // a current-cell notice is queued
    bool inLineChange = false; // between linesAboutToChange and linesChanged
    int col = -1;              // the cell last announced as current
    int row = -1;
};

struct tvorgrid::Private
{
    explicit Private(tvorgrid &grid) : q(grid) {}

    tvorgrid &q;

    OrderingSettings ordering;
    ExchangeSettings exchange;
    LineParts lines;
    std::unique_ptr<TvorList> sortIndex;
    std::unique_ptr<TvorParser> parser;
    CheckGlyphs glyphs;

    // ---- keeping the lines in step with the counts (grid/vorGrid.cpp) ----
    void fitRowMarks();
    void fitColumns();
    void pushColumnWidths();

    // ---- sorting (ordering/sorting.cpp) ----
    SortRecord sort;
    // The working memory of the sorts of millions of lines (their keys, the row move),
    // kept from one sort to the next: see host/largememory.h.
    ScratchMemory sortScratch;
    // The six undo operations: each applies SortIndex to the lines of the last sort of
    // its kind and leaves the inverse order in SortIndex. UndoSort picks one by state.
    void UndoCompRowSort();
    void UndoCompColSort();
    void UndoColSort();
    void UndoRowSort();
    void UndoAllRowsSort();
    void UndoAllColsSort();
    // The common steps of the sorts.
    void sortLines(mSortState kind, int line);
    void sortEveryLine(mSortState kind);
    void undoLines(mSortState kind);
    void applyLineOrder(mSortState kind, std::vector<int> order, std::vector<int> inverse);
    void undoUntouchedLines(mSortState kind);
    void moveLines(mSortState kind, const std::vector<int> &order, const std::vector<int> &inverse,
                   bool revert = false);
    void moveRowMarks(const std::vector<int> &order);
    void applyBlockOrders(mSortState kind, const std::vector<int> &orders);
    void permuteBlocks(CellStore &store, mSortState kind, const std::vector<int> &orders);
    void checkSortCounts(mSortState kind) const;
    std::vector<int> readSortIndex(mSortState kind) const;
    void afterSortMoved();
    SortStamps sortStamps() const;

    // ---- searching (ordering/searching.cpp) ----
    SearchState search;
    // Arms a search over the range with the position at its start for the direction.
    bool startSearch(const QString &text, bool byRows, int top, int left, int bottom, int right,
                     int &col, int &row);

    // ---- row and column operations (grid/rowcolumnops.cpp) ----
    // Raises when RowMarks or columns were changed from outside and no longer match
    // the counts (the operations would otherwise move the wrong entries).
    void checkLinesInStep(const char *operation) const;
    // Replaces the descriptions by copies of `wanted`, inside the update bracket; on
    // failure the previous descriptions are put back.
    void rebuildColumns(const TvorgridColumns &wanted);
    // Puts back descriptions, count and widths kept before an operation that failed.
    void restoreColumns(const TvorgridColumns &descriptions, const std::vector<int> &widths);
    // Commits an open editor's text before the lines under it move.
    void commitEditorBeforeLinesMove();
    // An open editor shows the text of the cell now under it (so that a later commit
    // does not write the old cell's text into the new one).
    void syncEditorWithCell();
    // Shows the moved lines (and the editor's new cell text) in one repaint.
    void refreshAfterLinesMoved();

    // ---- mouse and accessibility (presentation/mouse.cpp, presentation/accessible.cpp) ----
    // The current cell's check box between "Y" and empty, when its column is a check-box
    // column and the cell is no title cell; returns whether it toggled.
    bool toggleCurrentCheckCell();
    // Sends the notices of accessible.cpp; they cost nothing while no assistive
    // technology listens.
    void connectAccessibleNotices();
    void notifyAccessibleCellsWritten(const QRect &cells);
    void notifyAccessibleCellWritten(int col, int row);
    void notifyAccessibleLinesChanged(const TLineChange &change);
    void notifyAccessibleCurrentCell();
    bool accessibleListening() const;
    AccessibleNotices accessibleNotices;

    // ---- workbooks (exchange/workbook.cpp) ----
    // Puts staged cells in the place of the grid's in one step and sets the counts.
    void replaceContent(CellStore &staged, int cols, int rows);

    // ---- database fill (exchange/dbfill.cpp, exchange/dbfillquery.cpp) ----
    DbFillState dbfill;
    int fillFromDataSet(TDataSet &dataSet, int knownSize, const TFillOptions &options);
    void nameColumnsAfterFields(TDataSet &dataSet);
    void clearRowsFrom(int firstRow);
};

} // namespace vorgrd
