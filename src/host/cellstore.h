#pragma once
// The sparse cell store behind the string grid: one text and one opaque object per
// (column, row) pair, with no notion of the grid's counts. A cell never written reads
// as the empty text with no object; any cell with non-negative indices may be
// written, whatever the grid shows.
//
// Memory follows the cells written, not the indices: rows live in pages of row
// pointers that are allocated only when a row in them is written, each row holds a
// compact vector of cells up to its highest written column, and objects (rare) sit in
// a second vector that exists only for rows that carry one. Moving or permuting rows
// moves row pointers; moving cells inside a row moves 16-byte cells, never text. A
// permutation of the whole row table keeps the table it replaced (8 bytes a row, freed
// by clear() or once the store shrinks to less than half of it), so that it can be
// taken back in constant time.
//
// Negative indices raise ERangeError naming the index, with nothing changed. Writes
// (texts and objects) go up to MaxWriteColumn and MaxWriteRow; a write beyond them
// raises ERangeError too, and running out of memory raises Exception, both with
// nothing changed. Every index computation is defined for every int.

#include "host/vorgrdexport.h"
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace vorgrd {

class ScratchMemory;

namespace cellstore_internal {

// One cell's text in 16 bytes.
// OPTIMIZATION: a text of up to 15 Latin-1 characters is kept inside the cell, which
// takes short texts (the common case in a grid) from ~72 bytes as a QString to 16;
// longer or non-Latin-1 texts are kept as a heap QString owned by the cell.
class VORGRD_EXPORT CellText
{
public:
    CellText() noexcept { clearBytes(); }
    ~CellText() { release(); }
    CellText(const CellText &) = delete;
    CellText &operator=(const CellText &) = delete;
    CellText(CellText &&other) noexcept;
    CellText &operator=(CellText &&other) noexcept;

    QString text() const;
    // The text without a QString: over the heap text, or widened into `buffer` (at
    // least InlineCapacity units) for an inline one.
    QStringView view(char16_t *buffer) const noexcept;
    void setText(const QString &text);
    void setLatin1(QLatin1StringView text);
    static constexpr int InlineCapacity = 15;
    bool isEmpty() const noexcept { return m_bytes[0] == 0; }
    bool isInline() const noexcept { return m_bytes[0] != HeapTag; }
    // For the consistency check: a heap text must not be one that fits inline.
    bool isWellFormed() const;

private:
    static constexpr unsigned char HeapTag = 0xFF;

    QString *heap() const noexcept;
    void release() noexcept;
    void clearBytes() noexcept;

    // byte 0: length of an inline text (0..15) or HeapTag; bytes 1..15: the inline
    // Latin-1 characters, or at bytes 8..15 the QString pointer.
    alignas(8) unsigned char m_bytes[16];
};

struct VORGRD_EXPORT Row
{
    std::vector<CellText> cells;                  // up to the highest written column
    std::unique_ptr<std::vector<void *>> objects; // only when the row carries one
};

} // namespace cellstore_internal

class VORGRD_EXPORT CellStore
{
public:
    // LIMIT: a row is a dense vector up to its highest written column, 16 bytes a
    // cell: a write at column 16,777,215 already asks for 256 MiB. The last row
    // index is kept free so that "one beyond the last row" is still an int.
    static constexpr int MaxWriteColumn = (1 << 24) - 1;
    static constexpr int MaxWriteRow = 2'147'483'646;

    CellStore();
    ~CellStore();
    CellStore(const CellStore &) = delete;
    CellStore &operator=(const CellStore &) = delete;

    QString text(int col, int row) const;
    void setText(int col, int row, const QString &text);

    // Reading a cell without building a QString, for code that reads many cells and
    // keeps none (searching, cutting sort keys). The view is over the stored text or,
    // for a short text kept inside the cell, over `buffer`, into which it is widened;
    // it stays valid until the cell is written or the buffer is used again. Negative
    // indices raise ERangeError as text() does.
    struct TextBuffer
    {
        char16_t units[cellstore_internal::CellText::InlineCapacity];
    };
    QStringView textView(int col, int row, TextBuffer &buffer) const;

    // Writes a text given as Latin-1 (so also ASCII) bytes: a short one goes into the
    // cell as it stands, with no QString made on the way, which is what loading a
    // delimited file of mostly short ASCII fields needs.
    void setTextLatin1(int col, int row, QLatin1StringView text);
    void *object(int col, int row) const;
    void setObject(int col, int row, void *object);

    // Empties every cell (texts and objects).
    void clear();
    // Exchanges the whole content with `other` in constant time, so that a load can
    // build its cells aside and put them in place in one step. Both stores'
    // rowLayoutStamp change, and neither can take back a permutation made before.
    void swap(CellStore &other) noexcept;
    // Empties the cells of one row (or column) from `first` up to `last`, both
    // included.
    void clearRow(int row, int first, int last);
    void clearCol(int col, int first, int last);

    // One more than the highest row holding a non-empty text or an object: rows from
    // here on read as empty. (A row whose cells are all emptied again gives its
    // memory back.)
    int rowExtent() const { return m_rowExtent; }
    // One more than the highest column of `row` holding a text or an object.
    int colExtent(int row) const;

    // Moves row `from` to index `to`, shifting the rows between by one towards
    // `from`'s old place (texts and objects travel; nothing is copied).
    void moveRow(int from, int to);
    void moveCol(int from, int to);
    // Exchanges two rows or two columns.
    void exchangeRows(int a, int b);
    void exchangeCols(int a, int b);

    // Permutations for sorting. `order` lists, for each target index first + i, the
    // source index it takes its line from; it must be a permutation of
    // first .. first + order.size() - 1 (EListError otherwise, nothing changed).
    //   permuteRows: whole rows         permuteCols: whole columns (in every row)
    //   permuteRowCells: the cells of one row across columns
    //   permuteColCells: the cells of one column across rows
    // permuteRows takes its working memory (8 bytes a row) from `scratch` when given,
    // so that a caller permuting millions of rows again and again reuses one block.
    // A permutation of the whole row table (first 0, every row with a cell inside the
    // range) builds the new table beside the old one and keeps the old one, so that
    // revertRowPermutation can take it back.
    void permuteRows(int first, const std::vector<int> &order, ScratchMemory *scratch = nullptr);
    void permuteCols(int first, const std::vector<int> &order);
    void permuteRowCells(int row, int first, const std::vector<int> &order);
    void permuteColCells(int col, int first, const std::vector<int> &order);

    // Changes whenever a row is created, removed or moved (by any operation, every
    // permutation included); cells written into existing rows do not change it.
    quint64 rowLayoutStamp() const { return m_layoutStamp; }
    // Takes back the whole-table permutation after which rowLayoutStamp() read `stamp`,
    // in constant time, by putting back the table it replaced: the same as permuting by
    // its inverse order (the cells written in between travel with their rows). Only
    // while rowLayoutStamp() still reads `stamp`; returns false with nothing changed
    // otherwise, and for a stamp that no whole-table permutation left. A successful
    // call can itself be taken back the same way, with the stamp it leaves.
    bool revertRowPermutation(quint64 stamp) noexcept;

    // Checks the store's invariants; returns an empty text when they hold, else a
    // description of the first broken one. Tests call it after every mutation.
    QString checkConsistency() const;

private:
    using Row = cellstore_internal::Row;
    static constexpr int PageBits = 10; // 1024 row pointers per page
    static constexpr int PageSize = 1 << PageBits;
    // A page's slots do not own their rows: the store deletes the rows of m_pages
    // itself, so that a second table (m_replaced) can point at the same rows.
    using Page = std::vector<Row *>;
    using Table = std::vector<std::unique_ptr<Page>>;

    const Row *rowAt(int row) const;
    Row *rowAt(int row);
    // The row record, created (with its page) when missing.
    Row &rowFor(int row);
    // Runs a write on the row record (created when missing); a failure leaves no
    // blank record behind and running out of memory becomes an Exception.
    template <class Work> void withRowOf(int row, const char *operation, Work &&work);
    Row *&slot(int row); // creates the page
    std::unique_ptr<Row> takeRow(int row);
    void putRow(int row, std::unique_ptr<Row> record);
    void rotateRows(int from, int to);
    static void rotateCellsInRow(Row &r, int from, int to);
    static void ensureCols(Row &r, int count);
    static bool isBlank(const Row &r);
    // Drops trailing empty cells and objects; removes a row left blank.
    void trim(int row);
    void trimExtent();
    static void checkOrder(int first, const std::vector<int> &order, const char *what);
    // For permuteRows: creates the missing pages that targets of `order` may need and
    // returns their indices; puts a row (or none) into a slot whose row has been taken,
    // if its page exists; frees pages of `pages` that were left without a row.
    std::vector<size_t> createPagesFor(int first, const std::vector<int> &order);
    void placeRow(int row, Row *record) noexcept;
    void dropBlankPages(const std::vector<size_t> &pages) noexcept;
    // The whole-table permutation: the new table is gathered into m_replaced's pages.
    void permuteTable(const std::vector<int> &order, ScratchMemory &scratch);
    void copyRowsOut(int first, int last, Row **out);
    static void gatherPage(std::unique_ptr<Page> &page, size_t base, const std::vector<int> &order,
                           Row *const *taken);
    void deleteRows() noexcept;
    QString checkReplaced() const;
    void rowsChanged() noexcept { ++m_layoutStamp; }

    Table m_pages;
    int m_rowExtent = 0;
    // The table the last whole-table permutation replaced, and its extent: it points at
    // the rows of m_pages, in their old places, while m_replacedStamp equals
    // m_layoutStamp; otherwise its slots are stale and only its pages are reused.
    Table m_replaced;
    int m_replacedExtent = 0;
    quint64 m_layoutStamp = 1;
    quint64 m_replacedStamp = 0;
};

} // namespace vorgrd
