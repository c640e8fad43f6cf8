// tvorgrid's search: a cursor over a rectangle of cells, kept in the grid's private
// part between calls.
//
//   1. the key window of a search (cutting, converting and matching keys is the key
//      engine's: keyedlist/keyengine_p.h)
//   2. moving the cursor (CutRange, normalise, advance)
//   3. the start operations and FindNext
//   4. turning round (SetReverseSearch)
//
// Call flow: FindFirst / FindFirstInRow / FindFirstInCol -> startSearch -> FindNext
//            FindNext -> matchFor -> cutRange -> normalise -> (matches, advance)*
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "keyedlist/keyengine_p.h"
#include "ordering/keytype_p.h"

#include <QStringView>

namespace vorgrd {

namespace {

// ---- 1. keys and matches --------------------------------------------------------------

// The key window is taken as the grid's values stand (a sort clamps a length below 1
// to 1, a search does not): a start below 1 counts as 1, a length of 0 or less and a
// start beyond the end give the empty key.
internal::KeyRule searchKey(const OrderingSettings &ordering)
{
    internal::KeyRule rule;
    rule.pos = ordering.keyPos;
    rule.len = ordering.keyLen;
    rule.type = internal::listKeyType(ordering.keyType);
    rule.shortLength = internal::ShortLength::Empty;
    return rule;
}

// ---- 2. the cursor ----------------------------------------------------------------------

// The search range cut to the grid's current counts: rows or columns removed since the
// search started are never read.
struct CutRange
{
    int top, left, bottom, right;
    bool empty() const { return top > bottom || left > right; }
};

CutRange cutRange(const SearchState &s, int rowCount, int colCount)
{
    return {s.SearchTop, s.SearchLeft, qMin(s.SearchBottom, rowCount - 1),
            qMin(s.SearchRight, colCount - 1)};
}

// The position and the range seen along the scan order: `fast` is the index that
// changes from cell to cell (the column when searching by rows), `slow` the line.
struct ScanAxes
{
    int &fast;
    int &slow;
    const int fastFirst;
    const int fastLast;
    const int slowFirst;
    const int slowLast;

    ScanAxes(SearchState &s, const CutRange &r)
        : fast(s.SearchByRows ? s.SearchCol : s.SearchRow),
          slow(s.SearchByRows ? s.SearchRow : s.SearchCol),
          fastFirst(s.SearchByRows ? r.left : r.top), fastLast(s.SearchByRows ? r.right : r.bottom),
          slowFirst(s.SearchByRows ? r.top : r.left), slowLast(s.SearchByRows ? r.bottom : r.right)
    {}
};

// Moves the position one cell in scan order; false when it left the range.
bool advance(SearchState &s, const CutRange &r, bool backwards)
{
    auto [fast, slow, fastFirst, fastLast, slowFirst, slowLast] = ScanAxes(s, r);
    if (!backwards) {
        if (++fast > fastLast) {
            fast = fastFirst;
            ++slow;
        }
        return slow <= slowLast;
    }
    if (--fast < fastFirst) {
        fast = fastLast;
        --slow;
    }
    return slow >= slowFirst;
}

// Puts a position that lies beyond the cut range (lines were removed) on the first
// existing cell at or after it in scan order, without stepping over the missing cells
// one by one. False when no such cell is left.
bool normalise(SearchState &s, const CutRange &r, bool backwards)
{
    auto [fast, slow, fastFirst, fastLast, slowFirst, slowLast] = ScanAxes(s, r);
    if (!backwards) {
        if (slow < slowFirst) {
            slow = slowFirst;
            fast = fastFirst;
        }
        if (fast < fastFirst) fast = fastFirst;
        if (fast > fastLast) {
            fast = fastFirst;
            ++slow;
        }
        return slow <= slowLast;
    }
    if (slow > slowLast) {
        slow = slowLast;
        fast = fastLast;
    }
    if (fast > fastLast) fast = fastLast;
    if (fast < fastFirst) {
        fast = fastLast;
        --slow;
    }
    return slow >= slowFirst;
}

void checkLine(int index, int count, const char *what)
{
    checkRange("Search", what, index, 0, count - 1);
}

} // namespace

// ---- 3. starting and continuing ---------------------------------------------------------

bool tvorgrid::Private::startSearch(const QString &text, bool byRows, int top, int left, int bottom,
                                    int right, int &col, int &row)
{
    SearchState &s = search;
    s = SearchState{};
    s.SearchText = text;
    s.SearchByRows = byRows;
    s.SearchActive = true;
    s.SearchTop = top;
    s.SearchLeft = left;
    s.SearchBottom = bottom;
    s.SearchRight = right;
    s.SearchCol = ordering.reverseSearch ? right : left;
    s.SearchRow = ordering.reverseSearch ? bottom : top;
    if (!ordering.searchExists) {
        ordering.searchExists = true;
        emit q.searchExistsChanged(true);
    }
    return q.FindNext(col, row);
}

bool tvorgrid::FindFirst(const QString &text, bool byRows, int &col, int &row)
{
    col = row = -1;
    const int fixedRows = GetFixedRows();
    const int fixedCols = GetFixedCols();
    int top = 0;
    int left = 0;
    switch (d->ordering.useFixed) {
    case hfNot:
        top = fixedRows;
        left = fixedCols;
        break;
    case hfSmart:
        // A row-wise search takes the fixed columns (the row titles) along, a
        // column-wise one the fixed rows.
        top = byRows ? fixedRows : 0;
        left = byRows ? 0 : fixedCols;
        break;
    case hfYes:
        break;
    }
    return d->startSearch(text, byRows, top, left, RowCount() - 1, ColCount() - 1, col, row);
}

bool tvorgrid::FindFirstInRow(const QString &text, int searchRow, int &col, int &row)
{
    col = row = -1;
    checkLine(searchRow, RowCount(), "row");
    const int left = d->ordering.useFixed == hfNot ? GetFixedCols() : 0;
    return d->startSearch(text, true, searchRow, left, searchRow, ColCount() - 1, col, row);
}

bool tvorgrid::FindFirstInCol(const QString &text, int searchCol, int &col, int &row)
{
    col = row = -1;
    checkLine(searchCol, ColCount(), "column");
    const int top = d->ordering.useFixed == hfNot ? GetFixedRows() : 0;
    return d->startSearch(text, false, top, searchCol, RowCount() - 1, searchCol, col, row);
}

bool tvorgrid::FindNext(int &col, int &row)
{
    col = row = -1;
    SearchState &s = d->search;
    if (!s.SearchActive) return false;

    // Converted before any cell is tested: a date text that does not convert raises
    // here with the search still armed where it was. A date that does not convert is
    // worded as StrToDateTime words it (no operation name).
    const internal::KeyRule key = searchKey(d->ordering);
    const internal::KeyMatch match =
        internal::matchFor(key.type, d->ordering.searchSubstring, s.SearchText, nullptr);
    // Stored upper-cased, as later searches of the same cursor see it.
    if (match.substring && key.type == sString) s.SearchText = match.text;

    const bool backwards = d->ordering.reverseSearch;
    const CutRange range = cutRange(s, RowCount(), ColCount());
    if (range.empty() || !normalise(s, range, backwards)) {
        s.SearchActive = false;
        return false;
    }
    // OPTIMIZATION: a search reads a million cells and keeps none: read them as views.
    CellStore::TextBuffer buffer;
    const CellStore &store = cellStore();
    do {
        bool found = false;
        try {
            found = internal::matches(match, store.textView(s.SearchCol, s.SearchRow, buffer),
                                      key, nullptr);
        } catch (const EConvertError &e) {
            // The position stays on this cell and the search stays armed.
            throw EConvertError(QStringLiteral("%1 (search in cell %2, %3)")
                                    .arg(e.Message())
                                    .arg(s.SearchCol)
                                    .arg(s.SearchRow));
        }
        if (found) {
            col = s.SearchCol;
            row = s.SearchRow;
            s.HasMatch = true;
            s.MatchCol = col;
            s.MatchRow = row;
            s.SearchActive = advance(s, range, backwards);
            return true;
        }
    } while (advance(s, range, backwards));
    s.SearchActive = false;
    return false;
}

// ---- 4. turning round -------------------------------------------------------------------

void tvorgrid::SetReverseSearch(bool value)
{
    if (value == d->ordering.reverseSearch) return;
    d->ordering.reverseSearch = value;
    SearchState &s = d->search;
    if (s.SearchActive && s.HasMatch) {
        // Go on from the cell before the last match in the new direction. Scanning from
        // the current position instead (it lies one cell past the match) would report
        // that match a second time whenever the cell after it matched as well.
        s.SearchCol = s.MatchCol;
        s.SearchRow = s.MatchRow;
        const CutRange range = cutRange(s, RowCount(), ColCount());
        s.SearchActive = !range.empty() && advance(s, range, value);
    } else if (d->ordering.searchExists) {
        // An exhausted search, or one that has reported nothing yet (a date error
        // stopped it), starts again from the other end of the same range.
        s.SearchActive = true;
        s.HasMatch = false;
        s.SearchCol = value ? s.SearchRight : s.SearchLeft;
        s.SearchRow = value ? s.SearchBottom : s.SearchTop;
    }
    emit reverseSearchChanged(value);
}

} // namespace vorgrd
