// tvorgrid's sorts and their undo.
//
// Sections: helpers (key texts, numeric ordering, list permutation) | the six sorts |
// the undo operations | applying an order
//
// Call flow of a sort:
//   SortCompleteRows / SortCompleteColumns / SortCol / SortRow -> sortLines
//   SortAllRows / SortAllCols                                   -> sortEveryLine
//     1. check the index and the settings                   (may throw, nothing changed)
//     2. order the keys: numbers directly (orderNumbers), else in a temporary TvorList
//                                                           (may throw, nothing changed)
//     3. store the sort's state, then applyLineOrder / applyBlockOrders:
//        move the cells (and marks), write the inverse order into SortIndex, refresh
//   UndoSort -> Undo...Sort -> readSortIndex (checks, may throw) -> apply... (step 3)
//
// A sort has the same effect as ordering SortIndex and calling its undo operation on
// it; it hands the order to the common apply step directly, which spares writing
// SortIndex twice.
//
// Positions in SortIndex: item k's object is the integer position itself (not a
// pointer), its text the same integer in decimal. SortIndex keeps them as integers
// (TvorList::AssignPositions) and makes a text only when somebody reads it.

#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"
#include "host/largememory.h"
#include "host/textconvert.h"
#include "host/updatebracket.h"
#include "keyedlist/keyconvert_p.h"
#include "keyedlist/keyengine_p.h"
#include "ordering/keytype_p.h"
#include "keyedlist/keyorder_p.h"
#include "ordering/sortlists_p.h"

#include <QScopeGuard>

#include <algorithm>
#include <optional>
#include <climits>
#include <cstdint>
#include <utility>

namespace vorgrd {

// ---- helpers ---------------------------------------------------------------------------

namespace {

void *positionObject(int position)
{
    return reinterpret_cast<void *>(static_cast<std::intptr_t>(position));
}

std::intptr_t positionOf(void *object)
{
    return reinterpret_cast<std::intptr_t>(object);
}

const char *sortName(mSortState kind)
{
    switch (kind) {
    case CompleteRows:
        return "SortCompleteRows";
    case CompleteCols:
        return "SortCompleteColumns";
    case SingleCol:
        return "SortCol";
    case SingleRow:
        return "SortRow";
    case AllRows:
        return "SortAllRows";
    case AllCols:
        return "SortAllCols";
    case Unsorted:
        break;
    }
    return "UndoSort";
}

// Whether the lines of this kind are rows (the key line is then a column and each
// item of the key line is one row).
bool ordersRows(mSortState kind)
{
    return kind == CompleteRows || kind == SingleCol;
}

bool watched(const TvorList &index)
{
    return index.OnChange || index.OnChanging;
}

// The storage of the positions SortIndex holds, if it has room for `count`, for the
// sort that calls this and is about to replace them; SortIndex is empty until then.
// Nothing when a handler watches it (it would see the list empty), when it holds
// texts, or when it is too small (the new storage is then allocated while SortIndex is
// still whole, so that running out of memory leaves it as it was).
std::vector<int> takePositionsOf(TvorList &index, size_t count)
{
    const std::vector<int> *const positions = index.Positions();
    if (watched(index) || !positions || positions->capacity() < count) return {};
    return index.AssignPositions({});
}

// Makes room in `order` for `count` entries from `at` on and drops what it held there.
void replaceFrom(std::vector<int> &order, size_t at, size_t count)
{
    reserveLarge(order, at + count);
    order.resize(at);
}

// `storage` lends its memory: a sort reuses that of the inverse it replaces, already
// touched, where fresh memory of ten million entries costs more than the inversion.
std::vector<int> inverseOf(const std::vector<int> &order, std::vector<int> storage = {})
{
    std::vector<int> inverse = std::move(storage);
    inverse.clear();
    reserveLarge(inverse, order.size());
    inverse.resize(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        inverse[static_cast<size_t>(order[i])] = static_cast<int>(i);
    return inverse;
}

// The texts of one key line, for the keyed list that orders them.
// OPTIMIZATION: a keyed list of a million freshly read cell texts owns a million small
// allocations, and after the sort it frees them in the sorted, that is random, order:
// that alone cost as much as the sort. The texts are instead copied into one buffer
// (each read text is freed at once, in reading order) and the list gets non-owning
// views of it; the buffer outlives the list.
class KeyTexts
{
public:
    void clear()
    {
        m_chars.clear();
        m_spans.clear();
    }
    void add(QStringView text)
    {
        m_spans.emplace_back(static_cast<qsizetype>(m_chars.size()), text.size());
        m_chars.insert(m_chars.end(), text.cbegin(), text.cend());
    }
    // Appends every text to `list`, each with its position in the line as object.
    void loadInto(TvorList &list) const
    {
        for (size_t i = 0; i < m_spans.size(); ++i)
            list.AddObject(
                QString::fromRawData(m_chars.data() + m_spans[i].first, m_spans[i].second),
                positionObject(static_cast<int>(i)));
    }

private:
    std::vector<QChar> m_chars;
    std::vector<std::pair<qsizetype, qsizetype>> m_spans; // start, length
};

// Sorts `list` (loaded with texts, each with its position as object) once and reads
// back the order: entry i is the position of the line that now ranks i-th.
// The order replaces what `order` holds from `at` on, once the sort has succeeded.
void orderInto(TvorList &list, std::vector<int> &order, size_t at)
{
    list.SetSorted(true);
    list.SetSorted(false);
    const int count = list.Count();
    replaceFrom(order, at, static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order.push_back(static_cast<int>(positionOf(list.GetObject(i))));
}

// ---- numeric keys without the string list ----
//
// OPTIMIZATION: ordering a million numeric keys through a keyed list of their texts
// costs twice what the ordering itself does (loading the texts, moving them in the
// list, releasing them). For numeric keys the grid converts each key once and orders
// the numbers itself, by the keyed list's own partition-exchange scheme and its own
// text ordering for the run of zero values (keys without a number), so the order,
// ties included, is exactly the keyed list's.

// The key settings of the grid's sorts: a length below 1 is cut as the keyed list,
// which stores it as 1, cuts it.
internal::KeyRule sortKey(const tvorgrid &grid)
{
    internal::KeyRule rule;
    rule.pos = grid.KeyPos();
    rule.len = grid.KeyLen();
    rule.type = internal::listKeyType(grid.KeyType());
    rule.descending = grid.SortDescending();
    return rule;
}

// Orders the numeric keys of one line (textAt(i, buffer) for i in 0..n-1, a view as
// CellStore::textView gives it) from sortStart on and appends the order to `order`:
// entry i is the position that ranks i-th. The keys are ordered in memory lent by
// `scratch`; the order replaces what `order` holds from `at` on once they are.
template <typename TextAt>
void orderNumbers(const TextAt &textAt, int n, int sortStart, const internal::KeyRule &rule,
                  ScratchMemory &scratch, std::vector<int> &order, size_t at)
{
    using Entry = internal::Entry<double>;
    const int start = std::min(std::max(sortStart, 0), n);
    const auto count = static_cast<size_t>(n - start);
    const ScratchMemory::Lease lease = scratch.lend(std::max<size_t>(count, 1) * sizeof(Entry));
    auto *const entries = static_cast<Entry *>(lease.data());
    CellStore::TextBuffer buffer;
    for (int i = start; i < n; ++i)
        new (entries + (i - start))
            Entry{internal::leadingNumberOf(internal::cutKey(textAt(i, buffer), rule)), i};
    internal::orderNumeric(entries, static_cast<int>(count), rule,
                           [&](int index) { return textAt(index, buffer).toString(); });
    replaceFrom(order, at, static_cast<size_t>(n));
    for (int i = 0; i < start; ++i)
        order.push_back(i);
    for (size_t k = 0; k < count; ++k)
        order.push_back(entries[k].index);
}

// The marks travel with complete rows, so there must be one for every row.
void checkRowMarks(const TStrings &marks, int rows)
{
    if (marks.Count() < rows)
        throw EListError(QStringLiteral("SortCompleteRows: RowMarks holds %1 entries for %2 rows")
                             .arg(marks.Count())
                             .arg(rows));
}


} // namespace

bool sort_internal::permuteList(TStrings &list, const std::vector<int> &order)
{
    const int n = static_cast<int>(order.size());
    if (n == 0) return true;
    // OPTIMIZATION: most grids never mark a row, so every entry is the same "N" and
    // the permutation would rewrite a million entries with what they already hold.
    const QString firstText = list.Get(0);
    void *const firstObject = list.GetObject(0);
    int differing = 1;
    while (differing < n && list.GetObject(differing) == firstObject &&
           list.Get(differing) == firstText)
        ++differing;
    if (differing == n) return true;
    std::vector<std::pair<QString, void *>> old(order.size());
    for (int i = 0; i < n; ++i)
        old[static_cast<size_t>(i)] = {list.Get(i), list.GetObject(i)};
    UpdateBracket bracket(list);
    for (int i = 0; i < n; ++i) {
        const int source = order[static_cast<size_t>(i)];
        if (source == i) continue;
        list.Put(i, old[static_cast<size_t>(source)].first);
        list.PutObject(i, old[static_cast<size_t>(source)].second);
    }
    return false;
}

// ---- the six sorts ----------------------------------------------------------------------

void tvorgrid::SortCompleteRows(int ACol)
{
    d->sortLines(CompleteRows, ACol);
}

void tvorgrid::SortCompleteColumns(int ARow)
{
    d->sortLines(CompleteCols, ARow);
}

void tvorgrid::SortCol(int ACol)
{
    d->sortLines(SingleCol, ACol);
}

void tvorgrid::SortRow(int ARow)
{
    d->sortLines(SingleRow, ARow);
}

void tvorgrid::SortAllRows()
{
    d->sortEveryLine(AllRows);
}

void tvorgrid::SortAllCols()
{
    d->sortEveryLine(AllCols);
}

mSortState tvorgrid::SortState() const
{
    return d->sort.kind;
}

int tvorgrid::SortLine() const
{
    return d->sort.line;
}

int tvorgrid::SortFirstCol() const
{
    return d->sort.firstCol;
}

int tvorgrid::SortFirstRow() const
{
    return d->sort.firstRow;
}

namespace {

// The settings a sort reads, checked before anything moves: a value cast into the
// enumerations from outside their range must not reach the keyed list.
void checkSettings(const tvorgrid &grid, mSortState kind)
{
    checkEnumRange(sortName(kind), "KeyType", grid.KeyType());
    checkEnumRange(sortName(kind), "UseFixed", grid.UseFixed());
}

void applyKeySettings(TvorList &list, const tvorgrid &grid, int sortStart)
{
    list.SetKeyPos(grid.KeyPos());
    list.SetKeyLen(grid.KeyLen());
    list.SetKeyType(internal::listKeyType(grid.KeyType()));
    list.setSortStart(sortStart);
    list.setDescending(grid.SortDescending());
}

// The sort start along a line of rows (a column's cells) or of columns (a row's
// cells): with hfYes the fixed band is ordered too, else it keeps its place.
int sortStartAlong(const tvorgrid &grid, bool alongRows)
{
    if (grid.UseFixed() == hfYes) return 0;
    return alongRows ? grid.GetFixedRows() : grid.GetFixedCols();
}

} // namespace

void tvorgrid::Private::sortLines(mSortState kind, int line)
{
    const bool rows = ordersRows(kind);
    const int lineLimit = rows ? q.ColCount() : q.RowCount();
    checkRange(sortName(kind), rows ? "column" : "row", line, 0, lineLimit - 1);
    checkSettings(q, kind);
    commitEditorBeforeLinesMove(); // what was typed is sorted with the rest
    const int sortStart = sortStartAlong(q, rows);

    // The key line's texts, each with its position; ordering them may raise (a date
    // that does not convert) while nothing has been touched yet.
    const int n = rows ? q.RowCount() : q.ColCount();
    const CellStore &store = q.cellStore();
    const auto textAt = [&](int i, CellStore::TextBuffer &buffer) {
        return rows ? store.textView(line, i, buffer) : store.textView(i, line, buffer);
    };
    if (kind == CompleteRows) checkRowMarks(*lines.rowMarks, n);
    // OPTIMIZATION: the order and its inverse take the place of the two arrays the
    // grid holds for the last sort (the inverse it keeps, the positions in SortIndex),
    // so they go into that memory: fresh memory for ten million entries costs more
    // than filling it. The kept inverse is overwritten only once the ordering has
    // succeeded, and handed back unchanged if it fails.
    std::vector<int> order = std::exchange(sort.inverse, {});
    auto handBack = qScopeGuard([&] { sort.inverse = std::move(order); });
    if (q.KeyType() == soNumeric) {
        orderNumbers(textAt, n, sortStart, sortKey(q), sortScratch, order, 0);
    } else {
        KeyTexts texts; // outlives `keys`, which views it
        CellStore::TextBuffer buffer;
        for (int i = 0; i < n; ++i)
            texts.add(textAt(i, buffer));
        TvorList keys;
        applyKeySettings(keys, q, sortStart);
        texts.loadInto(keys);
        orderInto(keys, order, 0);
    }
    handBack.dismiss();
    // From here on nothing fails: record the sort, then move.
    sortIndex->SetSorted(false);
    std::vector<int> inverse = inverseOf(order, takePositionsOf(*sortIndex, order.size()));
    switch (kind) {
    case CompleteRows:
        sort.firstCol = q.UseFixed() == hfNot ? q.GetFixedCols() : 0;
        break;
    case CompleteCols:
        sort.firstRow = q.UseFixed() == hfNot ? q.GetFixedRows() : 0;
        break;
    default:
        sort.line = line;
        break;
    }
    sort.kind = kind;
    sort.colCount = q.ColCount();
    sort.rowCount = q.RowCount();
    // SortIndex keeps the settings it was ordered with, as a grid that orders
    // SortIndex itself would leave them.
    applyKeySettings(*sortIndex, q, sortStart);
    applyLineOrder(kind, std::move(order), std::move(inverse));
}

void tvorgrid::Private::sortEveryLine(mSortState kind)
{
    checkSettings(q, kind);
    commitEditorBeforeLinesMove(); // what was typed is sorted with the rest
    const bool rows = kind == AllRows; // each row sorted among itself
    const int first = q.UseFixed() == hfNot ? (rows ? q.GetFixedRows() : q.GetFixedCols()) : 0;
    const int lines = (rows ? q.RowCount() : q.ColCount()) - first;
    const int blockLength = rows ? q.ColCount() : q.RowCount();
    const long long total = static_cast<long long>(std::max(lines, 0)) * blockLength;
    // LIMIT: SortIndex is a string list indexed by int.
    if (total > INT_MAX)
        throw ERangeError(QStringLiteral("%1: %2 lines of %3 cells are more positions than "
                                         "SortIndex can hold (%4)")
                              .arg(QLatin1String(sortName(kind)))
                              .arg(lines)
                              .arg(blockLength)
                              .arg(INT_MAX));
    const int sortStart = sortStartAlong(q, !rows);

    KeyTexts texts; // outlives `keys`, which views it
    TvorList keys;
    applyKeySettings(keys, q, sortStart);
    const internal::KeyRule key = sortKey(q);
    const CellStore &store = q.cellStore();
    std::vector<int> orders;
    orders.reserve(static_cast<size_t>(total));
    for (int line = first; line < first + lines; ++line) {
        const auto textAt = [&](int i, CellStore::TextBuffer &buffer) {
            return rows ? store.textView(i, line, buffer) : store.textView(line, i, buffer);
        };
        if (q.KeyType() == soNumeric) {
            orderNumbers(textAt, blockLength, sortStart, key, sortScratch, orders, orders.size());
            continue;
        }
        keys.Clear(); // before the texts it views
        texts.clear();
        CellStore::TextBuffer buffer;
        for (int i = 0; i < blockLength; ++i)
            texts.add(textAt(i, buffer));
        texts.loadInto(keys);
        orderInto(keys, orders, orders.size());
    }

    if (rows)
        sort.firstRow = first;
    else
        sort.firstCol = first;
    sort.kind = kind;
    sort.colCount = q.ColCount();
    sort.rowCount = q.RowCount();
    sortIndex->SetSorted(false);
    applyBlockOrders(kind, orders);
}

// ---- the undo operations ------------------------------------------------------------------

void tvorgrid::UndoSort()
{
    if (d->sort.kind != Unsorted) d->commitEditorBeforeLinesMove();
    switch (d->sort.kind) {
    case CompleteRows:
        d->UndoCompRowSort();
        break;
    case CompleteCols:
        d->UndoCompColSort();
        break;
    case SingleCol:
        d->UndoColSort();
        break;
    case SingleRow:
        d->UndoRowSort();
        break;
    case AllRows:
        d->UndoAllRowsSort();
        break;
    case AllCols:
        d->UndoAllColsSort();
        break;
    case Unsorted:
        break;
    }
}

void tvorgrid::Private::UndoCompRowSort()
{
    undoLines(CompleteRows);
}

void tvorgrid::Private::UndoCompColSort()
{
    undoLines(CompleteCols);
}

void tvorgrid::Private::UndoColSort()
{
    undoLines(SingleCol);
}

void tvorgrid::Private::UndoRowSort()
{
    undoLines(SingleRow);
}

void tvorgrid::Private::undoLines(mSortState kind)
{
    checkSortCounts(kind);
    const std::vector<int> *const positions = sortIndex->Positions();
    if (positions && sort.untouchedSince(SortRecord::Part::SortIndex, sortStamps()) &&
        sort.inverse.size() == positions->size()) {
        undoUntouchedLines(kind);
        return;
    }
    std::vector<int> order = readSortIndex(kind);
    std::vector<int> inverse = inverseOf(order);
    applyLineOrder(kind, std::move(order), std::move(inverse));
}

void tvorgrid::Private::UndoAllRowsSort()
{
    applyBlockOrders(AllRows, readSortIndex(AllRows));
}

void tvorgrid::Private::UndoAllColsSort()
{
    applyBlockOrders(AllCols, readSortIndex(AllCols));
}

// SortIndex as an order to apply, checked against the grid: the counts must be those
// the sort ran on, and SortIndex (which code may have rewritten: it is a public list)
// must hold a permutation of each line's positions. Changes nothing.
// The counts must be those the sort ran on: SortIndex describes lines of exactly
// those counts.
void tvorgrid::Private::checkSortCounts(mSortState kind) const
{
    if (q.ColCount() != sort.colCount || q.RowCount() != sort.rowCount)
        throw EListError(QStringLiteral("UndoSort: the last sort (%1) ran on %2 columns and %3 "
                                        "rows, the grid now has %4 columns and %5 rows; the "
                                        "sort can no longer be undone")
                             .arg(QLatin1String(sortName(kind)))
                             .arg(sort.colCount)
                             .arg(sort.rowCount)
                             .arg(q.ColCount())
                             .arg(q.RowCount()));
}

std::vector<int> tvorgrid::Private::readSortIndex(mSortState kind) const
{
    checkSortCounts(kind);
    int blockLength = 0;
    long long expected = 0;
    switch (kind) {
    case CompleteRows:
    case SingleCol:
        blockLength = q.RowCount();
        expected = blockLength;
        break;
    case CompleteCols:
    case SingleRow:
        blockLength = q.ColCount();
        expected = blockLength;
        break;
    case AllRows:
        blockLength = q.ColCount();
        expected = static_cast<long long>(q.RowCount() - sort.firstRow) * blockLength;
        break;
    case AllCols:
        blockLength = q.RowCount();
        expected = static_cast<long long>(q.ColCount() - sort.firstCol) * blockLength;
        break;
    case Unsorted:
        break;
    }
    const TvorList &index = *sortIndex;
    const int count = index.Count();
    if (count != expected)
        throw EListError(QStringLiteral("UndoSort: SortIndex holds %1 items, the last sort "
                                        "(%2) needs %3")
                             .arg(count)
                             .arg(QLatin1String(sortName(kind)))
                             .arg(expected));
    // Positions still held as integers are read directly; a list that code has
    // changed or searched since is read item by item.
    const std::vector<int> *const positions = index.Positions();
    std::vector<int> order(static_cast<size_t>(count));
    std::vector<bool> seen(static_cast<size_t>(count), false);
    for (int k = 0; k < count; ++k) {
        const std::intptr_t value =
            positions ? (*positions)[static_cast<size_t>(k)] : positionOf(index.GetObject(k));
        const int blockStart = k - k % blockLength; // count > 0, so blockLength > 0
        if (value < 0 || value >= blockLength || seen[static_cast<size_t>(blockStart + value)])
            throw EListError(QStringLiteral("UndoSort: SortIndex item %1 holds %2, which is not "
                                            "an unused position in 0..%3")
                                 .arg(k)
                                 .arg(static_cast<qlonglong>(value))
                                 .arg(blockLength - 1));
        seen[static_cast<size_t>(blockStart + value)] = true;
        order[static_cast<size_t>(k)] = static_cast<int>(value);
    }
    return order;
}

// ---- applying an order ----------------------------------------------------------------------

// Every stamp the sort record compares, read in one place: the record decides from
// them whether a part is as the last sort or undo left it.
SortStamps tvorgrid::Private::sortStamps() const
{
    return {sortIndex->ChangeStamp(), q.cellStore().rowLayoutStamp(), lines.rowMarks->ChangeStamp()};
}

namespace {


// Rewrites SortIndex with `positions`, every item's text the position in decimal.
void writeSortIndex(TvorList &index, std::vector<int> positions)
{
    index.SetSorted(false);
    if (!watched(index)) {
        index.AssignPositions(std::move(positions)); // texts made when read
        return;
    }
    // A handler watches SortIndex: it sees the rewrite item by item, as it always has.
    UpdateBracket bracket(index);
    index.Clear();
    for (int position : positions)
        index.AddObject(QString::number(position), positionObject(position));
}

} // namespace

// Moves the lines so that new line i is old line order[i] (texts and objects
// together), carries the row marks along with complete rows, and leaves the inverse
// order in SortIndex, so that the next call moves everything back.
void tvorgrid::Private::applyLineOrder(mSortState kind, std::vector<int> order,
                                       std::vector<int> inverse)
{
    moveLines(kind, order, inverse);
    writeSortIndex(*sortIndex, std::move(inverse));
    sort.inverse = std::move(order); // what SortIndex now holds, inverted
    sort.remember(SortRecord::Part::SortIndex, sortStamps());
    afterSortMoved();
}

// The undo of a SortIndex that nobody touched since the last sort or undo: the order to
// apply is what SortIndex holds and its inverse is the one kept, so the two arrays
// change places instead of being copied (ten million fresh entries cost more than the
// copy itself). With a handler watching SortIndex it is written item by item instead.
void tvorgrid::Private::undoUntouchedLines(mSortState kind)
{
    if (watched(*sortIndex)) {
        applyLineOrder(kind, *sortIndex->Positions(), std::move(sort.inverse));
        return;
    }
    // SortIndex already shows the inverse while the lines move; should the move fail
    // (it changes nothing then), it gets its order back.
    // (Failures are handed on to the caller, so this is a rollback, not an event guard;
    // giving positions back to an unwatched, unsorted list cannot throw.)
    std::vector<int> order = sortIndex->AssignPositions(std::move(sort.inverse));
    auto giveBack = qScopeGuard([&] {
        sort.inverse = sortIndex->AssignPositions(std::move(order));
        sort.remember(SortRecord::Part::SortIndex, sortStamps());
    });
    // The fixed lines are put back by the inverse: a copy, since a handler of the
    // layout change could rewrite SortIndex under a reference.
    const bool fixedBack = (kind == CompleteRows && sort.firstCol > 0) ||
                           (kind == CompleteCols && sort.firstRow > 0);
    moveLines(kind, order, fixedBack ? *sortIndex->Positions() : std::vector<int>{}, true);
    giveBack.dismiss();
    sort.inverse = std::move(order);
    sort.remember(SortRecord::Part::SortIndex, sortStamps());
    afterSortMoved();
}

// The cells (and, for complete rows, the row marks) in the order `order`; `inverse`
// is its inverse. With `revert`, `order` undoes the last move, so the cell store may
// put back the row table that move replaced instead of moving the rows.
void tvorgrid::Private::moveLines(mSortState kind, const std::vector<int> &order,
                                  const std::vector<int> &inverse, bool revert)
{
    const int n = static_cast<int>(order.size());
    if (kind == CompleteRows) checkRowMarks(*lines.rowMarks, n);
    // Complete lines are permuted as wholes, which a model over the grid reports as a
    // layout change; the other kinds only rewrite cells.
    TLineChange change;
    change.kind = TLineChange::Reorder;
    change.orientation = kind == CompleteCols ? Qt::Horizontal : Qt::Vertical;
    change.order = &order;
    std::optional<GridEdit> edit;
    if (kind == CompleteRows || kind == CompleteCols)
        edit.emplace(q, change);
    else
        edit.emplace(q);
    CellStore &store = edit->store();
    switch (kind) {
    case CompleteRows:
        moveRowMarks(order);
        // Whole rows move as row records; the cells before SortFirstCol are then put
        // back in place, which is cheaper than moving every other column cell by cell.
        if (!(revert && sort.untouchedSince(SortRecord::Part::Rows, sortStamps()) &&
              store.revertRowPermutation(sort.rowLayout())))
            store.permuteRows(0, order, &sortScratch);
        for (int col = 0; col < sort.firstCol; ++col)
            store.permuteColCells(col, 0, inverse);
        sort.remember(SortRecord::Part::Rows, sortStamps());
        break;
    case CompleteCols:
        store.permuteCols(0, order);
        for (int row = 0; row < sort.firstRow; ++row)
            store.permuteRowCells(row, 0, inverse);
        break;
    case SingleCol:
        store.permuteColCells(sort.line, 0, order);
        break;
    case SingleRow:
        store.permuteRowCells(sort.line, 0, order);
        break;
    default:
        break;
    }
    // Inside a layout change its receivers take the cells as part of it.
    edit->cellsWritten(QRect(0, 0, q.ColCount(), q.RowCount()));
}

// The marks travel with their rows. Marks found all alike stay so until RowMarks
// changes, and then nothing needs to move: a sort and its undo read a million marks
// only once.
void tvorgrid::Private::moveRowMarks(const std::vector<int> &order)
{
    if (sort.untouchedSince(SortRecord::Part::RowMarks, sortStamps())) return;
    sort.forget(SortRecord::Part::RowMarks);
    if (sort_internal::permuteList(*lines.rowMarks, order))
        sort.remember(SortRecord::Part::RowMarks, sortStamps());
}

// The same per line for the all-line sorts: `orders` holds one block per line, from
// SortFirstRow (SortFirstCol) on, each an order of the positions within that line.
void tvorgrid::Private::applyBlockOrders(mSortState kind, const std::vector<int> &orders)
{
    {
        GridEdit edit(q);
        permuteBlocks(edit.store(), kind, orders);
        edit.cellsWritten(QRect(0, 0, q.ColCount(), q.RowCount()));
        // The marks of an all-line sort lose their rows' meaning: every row's cells
        // were mixed. Row 0 keeps its mark (a title row when titles are shown).
        UpdateBracket bracket(*lines.rowMarks);
        for (int row = 1; row < lines.rowMarks->Count(); ++row)
            if (lines.rowMarks->Get(row) != QLatin1String("N"))
                lines.rowMarks->Put(row, QStringLiteral("N"));
    }
    std::vector<int>().swap(sort.inverse); // not kept for the blocks
    afterSortMoved();
}

// Permutes each line's block by its order and leaves the inverse orders in SortIndex.
void tvorgrid::Private::permuteBlocks(CellStore &store, mSortState kind, const std::vector<int> &orders)
{
    const bool rows = kind == AllRows;
    const int blockLength = rows ? q.ColCount() : q.RowCount();
    const int first = rows ? sort.firstRow : sort.firstCol;
    std::vector<int> inverses(orders.size());
    std::vector<int> block(static_cast<size_t>(blockLength));
    for (size_t start = 0; blockLength > 0 && start < orders.size();
         start += static_cast<size_t>(blockLength)) {
        const int line = first + static_cast<int>(start / static_cast<size_t>(blockLength));
        std::copy(orders.begin() + static_cast<std::ptrdiff_t>(start),
                  orders.begin() + static_cast<std::ptrdiff_t>(start) + blockLength, block.begin());
        for (int i = 0; i < blockLength; ++i)
            inverses[start + static_cast<size_t>(block[static_cast<size_t>(i)])] = i;
        if (rows)
            store.permuteRowCells(line, 0, block);
        else
            store.permuteColCells(line, 0, block);
    }
    writeSortIndex(*sortIndex, std::move(inverses));
}

// Writing through the cell store repaints nothing: repaint once for the whole sort,
// and let an open editor show the text now under it, as a cell write would. The
// cells were reported by the edit that moved them.
void tvorgrid::Private::afterSortMoved()
{
    syncEditorWithCell();
    q.Refresh();
    emit q.sorted();
}

} // namespace vorgrd
