#include "host/cellstore.h"

#include "host/exceptions.h"
#include "host/largememory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

// Sections: CellText | row table (pages, extent, trimming) | cell access |
// moves and exchanges | permutations | consistency check

namespace vorgrd {

namespace cellstore_internal {

// ---- CellText -----------------------------------------------------------------

CellText::CellText(CellText &&other) noexcept
{
    std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
    other.clearBytes();
}

CellText &CellText::operator=(CellText &&other) noexcept
{
    if (this != &other) {
        release();
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        other.clearBytes();
    }
    return *this;
}

QString *CellText::heap() const noexcept
{
    QString *p = nullptr;
    std::memcpy(&p, m_bytes + 8, sizeof p);
    return p;
}

void CellText::clearBytes() noexcept
{
    std::memset(m_bytes, 0, sizeof m_bytes);
}

void CellText::release() noexcept
{
    if (m_bytes[0] == HeapTag) delete heap();
    clearBytes();
}

QString CellText::text() const
{
    if (m_bytes[0] == HeapTag) return *heap();
    return QString::fromLatin1(reinterpret_cast<const char *>(m_bytes + 1), m_bytes[0]);
}

QStringView CellText::view(char16_t *buffer) const noexcept
{
    if (m_bytes[0] == HeapTag) return QStringView(*heap());
    const int length = m_bytes[0];
    for (int i = 0; i < length; ++i)
        buffer[i] = m_bytes[1 + i];
    return QStringView(buffer, length);
}

static bool fitsInline(const QString &text)
{
    if (text.size() > 15) return false;
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

void CellText::setText(const QString &text)
{
    if (text.isEmpty()) {
        release();
        return;
    }
    if (fitsInline(text)) {
        release();
        m_bytes[0] = static_cast<unsigned char>(text.size());
        for (int i = 0; i < text.size(); ++i)
            m_bytes[1 + i] = static_cast<unsigned char>(text.at(i).unicode());
        return;
    }
    if (m_bytes[0] == HeapTag) {
        *heap() = text;
        return;
    }
    auto *p = new QString(text);
    clearBytes();
    m_bytes[0] = HeapTag;
    std::memcpy(m_bytes + 8, &p, sizeof p);
}

void CellText::setLatin1(QLatin1StringView text)
{
    if (text.size() > InlineCapacity) {
        setText(QString(text));
        return;
    }
    release();
    m_bytes[0] = static_cast<unsigned char>(text.size());
    if (!text.isEmpty()) std::memcpy(m_bytes + 1, text.data(), size_t(text.size()));
}

bool CellText::isWellFormed() const
{
    if (m_bytes[0] == HeapTag) {
        const QString *p = heap();
        return p != nullptr && !fitsInline(*p);
    }
    if (m_bytes[0] > InlineCapacity) return false;
    for (int i = 1 + m_bytes[0]; i < 16; ++i)
        if (m_bytes[i] != 0) return false;
    return true;
}

} // namespace cellstore_internal

using cellstore_internal::CellText;

namespace {

void checkIndex(int value, const char *what)
{
    checkAtLeast("", what, value, 0);
}

// Indices a write or a move may reach: the store never holds a row or a column
// beyond them.
void checkWriteCol(int value)
{
    checkRange("Cell store", "column", value, 0, CellStore::MaxWriteColumn);
}

void checkWriteRow(int value)
{
    checkRange("Cell store", "row", value, 0, CellStore::MaxWriteRow);
}

// Pages needed for `extent` rows, computed without overflowing near INT_MAX.
size_t pagesFor(int extent, int pageSize)
{
    return static_cast<size_t>((qint64(extent) + pageSize - 1) / pageSize);
}

int rowSize(const cellstore_internal::Row &r)
{
    const int objects = r.objects ? static_cast<int>(r.objects->size()) : 0;
    return std::max(static_cast<int>(r.cells.size()), objects);
}

// How far ahead of the row being placed a gather starts reading: enough reads in
// flight to overlap their memory accesses.
constexpr size_t GatherAhead = 16;

// Row pointers taken out of the pages during a permutation, in one block (lent by a
// ScratchMemory, which backs a large one with huge pages, so that reading it in a
// random order does not also miss the address translation cache for nearly every
// read).
class RowPointerBuffer
{
public:
    // `count` pointers, those from `written` on null (the first ones are all written
    // by the caller before they are read).
    RowPointerBuffer(ScratchMemory &memory, size_t count, size_t written)
        : m_lease(memory.lend(std::max<size_t>(count, 1) * sizeof(void *))),
          m_data(static_cast<cellstore_internal::Row **>(m_lease.data()))
    {
        std::fill(m_data + std::min(written, count), m_data + count, nullptr);
    }
    cellstore_internal::Row *&operator[](size_t i) noexcept { return m_data[i]; }
    cellstore_internal::Row **data() noexcept { return m_data; }

private:
    ScratchMemory::Lease m_lease;
    cellstore_internal::Row **m_data;
};

} // namespace

// ---- row table ------------------------------------------------------------------

namespace {

// Calls visit(row, record) for every row record below `extent`, from the last up to
// row 0. Absent pages are skipped whole: a column operation costs what the rows
// written hold, not the highest row index (one cell at row 100,000,000 is one page).
// A visit may trim the store (drop its row, lower the extent, free pages), so the
// extent and the page are read again for every row.
template <class Pages, class Visit>
void forEachRowDown(Pages &pages, const int &extent, int pageBits, Visit &&visit)
{
    const int pageSize = 1 << pageBits;
    for (int p = (extent - 1) >> pageBits; p >= 0; --p) {
        const int base = p << pageBits;
        for (int i = pageSize - 1; i >= 0; --i) {
            const auto index = static_cast<size_t>(p);
            if (index >= pages.size() || !pages[index]) break;
            if (base + i >= extent) continue;
            if (auto *record = (*pages[index])[static_cast<size_t>(i)]) visit(base + i, *record);
        }
    }
}

} // namespace

CellStore::CellStore() = default;

CellStore::~CellStore()
{
    deleteRows();
}

void CellStore::deleteRows() noexcept
{
    for (auto &page : m_pages)
        if (page)
            for (Row *&record : *page)
                delete std::exchange(record, nullptr);
}

const CellStore::Row *CellStore::rowAt(int row) const
{
    if (row >= m_rowExtent) return nullptr;
    const auto &page = m_pages[static_cast<size_t>(row >> PageBits)];
    return page ? (*page)[static_cast<size_t>(row & (PageSize - 1))] : nullptr;
}

CellStore::Row *CellStore::rowAt(int row)
{
    return const_cast<Row *>(static_cast<const CellStore *>(this)->rowAt(row));
}

CellStore::Row *&CellStore::slot(int row)
{
    const auto pageIndex = static_cast<size_t>(row >> PageBits);
    if (m_pages.size() <= pageIndex) m_pages.resize(pageIndex + 1);
    auto &page = m_pages[pageIndex];
    if (!page) page = std::make_unique<Page>(PageSize);
    return (*page)[static_cast<size_t>(row & (PageSize - 1))];
}

CellStore::Row &CellStore::rowFor(int row)
{
    auto &s = slot(row);
    if (!s) {
        s = new Row;
        rowsChanged();
    }
    m_rowExtent = std::max(m_rowExtent, row + 1);
    return *s;
}

std::unique_ptr<CellStore::Row> CellStore::takeRow(int row)
{
    if (row >= m_rowExtent || !m_pages[static_cast<size_t>(row >> PageBits)]) return nullptr;
    rowsChanged();
    return std::unique_ptr<Row>(std::exchange(slot(row), nullptr));
}

void CellStore::putRow(int row, std::unique_ptr<Row> record)
{
    rowsChanged();
    if (record) {
        Row *&target = slot(row);
        delete std::exchange(target, record.release());
        m_rowExtent = std::max(m_rowExtent, row + 1);
    } else if (row < m_rowExtent && m_pages[static_cast<size_t>(row >> PageBits)]) {
        delete std::exchange(slot(row), nullptr);
    }
}

bool CellStore::isBlank(const Row &r)
{
    return r.cells.empty() && !r.objects;
}

void CellStore::trim(int row)
{
    Row *r = rowAt(row);
    if (!r) return;
    while (!r->cells.empty() && r->cells.back().isEmpty())
        r->cells.pop_back();
    if (r->cells.capacity() > 2 * r->cells.size() + 8) r->cells.shrink_to_fit();
    if (r->objects) {
        auto &objects = *r->objects;
        while (!objects.empty() && objects.back() == nullptr)
            objects.pop_back();
        if (objects.empty()) r->objects.reset();
    }
    if (isBlank(*r)) {
        delete std::exchange(slot(row), nullptr);
        rowsChanged();
        if (row == m_rowExtent - 1) trimExtent();
    }
}

void CellStore::trimExtent()
{
    int row = m_rowExtent - 1;
    while (row >= 0) {
        const auto &page = m_pages[static_cast<size_t>(row >> PageBits)];
        if (!page) {
            row = (row & ~(PageSize - 1)) - 1; // skip the whole missing page
            continue;
        }
        if ((*page)[static_cast<size_t>(row & (PageSize - 1))]) break;
        --row;
    }
    m_rowExtent = row + 1;
    m_pages.resize(pagesFor(m_rowExtent, PageSize));
    // A kept table that can no longer be put back goes once it is much larger than the
    // table, so that a store that shrank does not keep 8 bytes for every row it had.
    if (m_replacedStamp != m_layoutStamp && m_replaced.size() > 2 * m_pages.size() + 1)
        m_replaced.clear();
}

void CellStore::ensureCols(Row &r, int count)
{
    if (static_cast<int>(r.cells.size()) < count) r.cells.resize(static_cast<size_t>(count));
    if (r.objects && static_cast<int>(r.objects->size()) < count)
        r.objects->resize(static_cast<size_t>(count), nullptr);
}

// ---- cell access ------------------------------------------------------------------

QString CellStore::text(int col, int row) const
{
    checkIndex(col, "Cell column");
    checkIndex(row, "Cell row");
    const Row *r = rowAt(row);
    if (!r || col >= static_cast<int>(r->cells.size())) return QString();
    return r->cells[static_cast<size_t>(col)].text();
}

QStringView CellStore::textView(int col, int row, TextBuffer &buffer) const
{
    checkIndex(col, "Cell column");
    checkIndex(row, "Cell row");
    const Row *r = rowAt(row);
    if (!r || col >= static_cast<int>(r->cells.size())) return {};
    return r->cells[static_cast<size_t>(col)].view(buffer.units);
}

void CellStore::setText(int col, int row, const QString &text)
{
    checkWriteCol(col);
    checkWriteRow(row);
    if (text.isEmpty()) {
        Row *r = rowAt(row);
        if (r && col < static_cast<int>(r->cells.size())) {
            r->cells[static_cast<size_t>(col)].setText(text);
            trim(row);
        }
        return;
    }
    withRowOf(row, "setText", [&](Row &r) {
        if (static_cast<int>(r.cells.size()) <= col) r.cells.resize(static_cast<size_t>(col) + 1);
        r.cells[static_cast<size_t>(col)].setText(text);
    });
}

void CellStore::setTextLatin1(int col, int row, QLatin1StringView text)
{
    if (text.isEmpty()) {
        setText(col, row, QString());
        return;
    }
    checkWriteCol(col);
    checkWriteRow(row);
    withRowOf(row, "setText", [&](Row &r) {
        if (static_cast<int>(r.cells.size()) <= col) r.cells.resize(static_cast<size_t>(col) + 1);
        r.cells[static_cast<size_t>(col)].setLatin1(text);
    });
}

template <class Work> void CellStore::withRowOf(int row, const char *operation, Work &&work)
{
    withMemoryCheck(operation, [&] {
        try {
            work(rowFor(row));
        } catch (...) {
            trim(row); // a row record created for the write goes again
            throw;
        }
    });
}

void *CellStore::object(int col, int row) const
{
    checkIndex(col, "Cell column");
    checkIndex(row, "Cell row");
    const Row *r = rowAt(row);
    if (!r || !r->objects || col >= static_cast<int>(r->objects->size())) return nullptr;
    return (*r->objects)[static_cast<size_t>(col)];
}

void CellStore::setObject(int col, int row, void *object)
{
    checkWriteCol(col);
    checkWriteRow(row);
    if (!object) {
        Row *r = rowAt(row);
        if (r && r->objects && col < static_cast<int>(r->objects->size())) {
            (*r->objects)[static_cast<size_t>(col)] = nullptr;
            trim(row);
        }
        return;
    }
    withRowOf(row, "setObject", [&](Row &r) {
        if (!r.objects) r.objects = std::make_unique<std::vector<void *>>();
        if (static_cast<int>(r.objects->size()) <= col)
            r.objects->resize(static_cast<size_t>(col) + 1, nullptr);
        (*r.objects)[static_cast<size_t>(col)] = object;
    });
}

void CellStore::clear()
{
    deleteRows();
    m_pages.clear();
    m_rowExtent = 0;
    m_replaced.clear();
    rowsChanged();
}

void CellStore::swap(CellStore &other) noexcept
{
    std::swap(m_pages, other.m_pages);
    std::swap(m_rowExtent, other.m_rowExtent);
    std::swap(m_replaced, other.m_replaced);
    std::swap(m_replacedExtent, other.m_replacedExtent);
    // Both row tables changed; neither kept table describes its store any more.
    const quint64 stamp = std::max(m_layoutStamp, other.m_layoutStamp) + 1;
    m_layoutStamp = other.m_layoutStamp = stamp;
    m_replacedStamp = other.m_replacedStamp = 0;
}

int CellStore::colExtent(int row) const
{
    checkIndex(row, "Cell row");
    const Row *r = rowAt(row);
    return r ? rowSize(*r) : 0;
}

void CellStore::clearRow(int row, int first, int last)
{
    checkIndex(row, "Cell row");
    checkIndex(first, "Cell column");
    Row *r = rowAt(row);
    if (!r || last < first) return;
    const int end = std::min(last, rowSize(*r) - 1);
    for (int c = first; c <= end; ++c) {
        if (c < static_cast<int>(r->cells.size()))
            r->cells[static_cast<size_t>(c)].setText(QString());
        if (r->objects && c < static_cast<int>(r->objects->size()))
            (*r->objects)[static_cast<size_t>(c)] = nullptr;
    }
    trim(row);
}

void CellStore::clearCol(int col, int first, int last)
{
    checkIndex(col, "Cell column");
    checkIndex(first, "Cell row");
    const int end = std::min(last, m_rowExtent - 1);
    for (int row = end; row >= first; --row) {
        Row *r = rowAt(row);
        if (!r) continue;
        if (col < static_cast<int>(r->cells.size()))
            r->cells[static_cast<size_t>(col)].setText(QString());
        if (r->objects && col < static_cast<int>(r->objects->size()))
            (*r->objects)[static_cast<size_t>(col)] = nullptr;
        trim(row);
    }
}

// ---- moves and exchanges ------------------------------------------------------------

// Shifts only the part of the range that holds rows: indices at or beyond the extent
// are empty, so moving 10 rows near the end of a 10,000,000-row grid costs 10 steps.
void CellStore::rotateRows(int from, int to)
{
    if (from < to) {
        if (from >= m_rowExtent) return;
        auto moving = takeRow(from);
        const int end = std::min(to, m_rowExtent - 1);
        for (int i = from; i < end; ++i)
            putRow(i, takeRow(i + 1));
        putRow(to, std::move(moving));
    } else {
        if (to >= m_rowExtent) return;
        auto moving = takeRow(from);
        for (int i = std::min(from, m_rowExtent); i > to; --i)
            putRow(i, takeRow(i - 1));
        putRow(to, std::move(moving));
    }
    trimExtent();
}

void CellStore::moveRow(int from, int to)
{
    checkWriteRow(from);
    checkWriteRow(to);
    if (from != to) rotateRows(from, to);
}

void CellStore::rotateCellsInRow(Row &r, int from, int to)
{
    const int size = rowSize(r);
    if (std::min(from, to) >= size) return;
    ensureCols(r, std::max(from, to) + 1);
    auto rotate = [&](auto &v) {
        auto b = v.begin();
        if (from < to)
            std::rotate(b + from, b + from + 1, b + to + 1);
        else
            std::rotate(b + to, b + from, b + from + 1);
    };
    rotate(r.cells);
    if (r.objects) rotate(*r.objects);
}

void CellStore::moveCol(int from, int to)
{
    checkWriteCol(from);
    checkWriteCol(to);
    if (from == to) return;
    forEachRowDown(m_pages, m_rowExtent, PageBits, [&](int row, Row &r) {
        rotateCellsInRow(r, from, to);
        trim(row);
    });
}

void CellStore::exchangeRows(int a, int b)
{
    checkWriteRow(a);
    checkWriteRow(b);
    if (a == b) return;
    auto ra = takeRow(a);
    auto rb = takeRow(b);
    putRow(a, std::move(rb));
    putRow(b, std::move(ra));
    trimExtent();
}

void CellStore::exchangeCols(int a, int b)
{
    checkWriteCol(a);
    checkWriteCol(b);
    if (a == b) return;
    forEachRowDown(m_pages, m_rowExtent, PageBits, [&](int row, Row &r) {
        if (std::min(a, b) >= rowSize(r)) return;
        ensureCols(r, std::max(a, b) + 1);
        std::swap(r.cells[static_cast<size_t>(a)], r.cells[static_cast<size_t>(b)]);
        if (r.objects)
            std::swap((*r.objects)[static_cast<size_t>(a)], (*r.objects)[static_cast<size_t>(b)]);
        trim(row);
    });
}

// ---- permutations -------------------------------------------------------------------

void CellStore::checkOrder(int first, const std::vector<int> &order, const char *what)
{
    checkIndex(first, what[0] == 'r' ? "Cell row" : "Cell column");
    const auto n = static_cast<long long>(order.size());
    const int last = what[0] == 'r' ? MaxWriteRow : MaxWriteColumn;
    if (first + n - 1 > last)
        throw ERangeError(QStringLiteral("Cell store permutation of %1 %2s from %3 runs past "
                                         "the largest index")
                              .arg(n)
                              .arg(QLatin1String(what))
                              .arg(first));
    std::vector<bool> seen(order.size(), false);
    for (int source : order) {
        const long long k = static_cast<long long>(source) - first;
        if (k < 0 || k >= n || seen[static_cast<size_t>(k)])
            throw ERangeError(QStringLiteral("Cell store permutation: %1 index %2 is repeated or "
                                             "outside %3..%4")
                                  .arg(QLatin1String(what))
                                  .arg(source)
                                  .arg(first)
                                  .arg(first + n - 1));
        seen[static_cast<size_t>(k)] = true;
    }
}

std::vector<size_t> CellStore::createPagesFor(int first, const std::vector<int> &order)
{
    // Only a target whose source lies below the extent can receive a row: a sparse
    // store permuted over a long range creates no page for the empty stretch.
    std::vector<size_t> created;
    try {
        for (size_t i = 0; i < order.size(); ++i) {
            if (order[i] >= m_rowExtent) continue;
            const auto pageIndex = static_cast<size_t>((first + static_cast<int>(i)) >> PageBits);
            if (pageIndex < m_pages.size() && m_pages[pageIndex]) continue;
            if (m_pages.size() <= pageIndex) m_pages.resize(pageIndex + 1);
            if (created.size() == created.capacity()) created.reserve(2 * created.size() + 8);
            m_pages[pageIndex] = std::make_unique<Page>(PageSize);
            created.push_back(pageIndex);
        }
    } catch (...) {
        // Undo and rethrow (not the event guard: this is no handler, the caller's
        // withMemoryCheck turns the failure into the store's error).
        dropBlankPages(created); // all blank: nothing has moved yet
        m_pages.resize(pagesFor(m_rowExtent, PageSize));
        throw;
    }
    return created;
}

void CellStore::placeRow(int row, Row *record) noexcept
{
    const auto pageIndex = static_cast<size_t>(row >> PageBits);
    // A missing page holds no row, and one that receives a row has been created.
    if (pageIndex >= m_pages.size() || !m_pages[pageIndex]) return;
    // Its row has been taken, and goes to another slot.
    (*m_pages[pageIndex])[static_cast<size_t>(row & (PageSize - 1))] = record;
    if (record) m_rowExtent = std::max(m_rowExtent, row + 1);
}

void CellStore::dropBlankPages(const std::vector<size_t> &pages) noexcept
{
    for (size_t pageIndex : pages) {
        auto &page = m_pages[pageIndex];
        if (std::all_of(page->begin(), page->end(), [](const auto &r) { return !r; })) page.reset();
    }
}

// OPTIMIZATION: a permutation of millions of rows is a gather of row pointers in a
// random order, and once those pointers no longer fit in the processor's cache every
// step is a memory access. It is made as cheap as such an access allows: the rows are
// copied out as plain pointers into one buffer, and no slot is written but once, by
// the gather (clearing the slots as they were taken, or as they were read, added a
// pass of writes over a row table that no longer fits in the cache either), the
// buffer asks for huge pages (so a random read does not also miss the address
// translation cache), and the read of the row a few steps ahead is started early, so
// that several accesses overlap.
void CellStore::permuteRows(int first, const std::vector<int> &order, ScratchMemory *scratch)
{
    checkOrder(first, order, "row");
    rowsChanged(); // even when nothing moves: a revert must not reach past this call
    ScratchMemory ownMemory;
    ScratchMemory &memory = scratch ? *scratch : ownMemory;
    if (first == 0 && static_cast<qint64>(order.size()) >= m_rowExtent) {
        permuteTable(order, memory);
        return;
    }
    if (first >= m_rowExtent || order.empty()) return;
    // Part of the table: permuted in place. Every page the range may receive a row in
    // exists before a row is taken, so nothing after the take can fail with rows in
    // the buffer.
    const int last = first + static_cast<int>(order.size() - 1);
    const int takenEnd = std::min(last, m_rowExtent - 1);
    std::vector<size_t> created;
    RowPointerBuffer taken = withMemoryCheck("permuteRows", [&] {
        RowPointerBuffer buffer(memory, order.size(), static_cast<size_t>(takenEnd - first + 1));
        created = createPagesFor(first, order);
        return buffer;
    });
    // Copied, not released: the gather overwrites every slot of the range that exists,
    // each of whose rows has a copy in the buffer, and nothing between can fail.
    copyRowsOut(first, takenEnd, taken.data());
    const size_t n = order.size();
    for (size_t i = 0; i < n; ++i) {
        if (i + GatherAhead < n)
            __builtin_prefetch(&taken[static_cast<size_t>(order[i + GatherAhead] - first)]);
        placeRow(first + static_cast<int>(i), taken[static_cast<size_t>(order[i] - first)]);
    }
    dropBlankPages(created);
    trimExtent();
}

// OPTIMIZATION: a sort is undone far more often than the rows change between the sort
// and its undo, and moving ten million rows back costs a random memory access per row.
// So the whole table is gathered into the pages of a second table, the one kept from
// the last such permutation (already touched: no fresh memory), and the table it
// replaces is kept: taking the permutation back is then an exchange of two tables.
// The kept table costs 8 bytes a row. Nothing changes before the new table is
// complete, so running out of memory half-way leaves the rows where they were.
void CellStore::permuteTable(const std::vector<int> &order, ScratchMemory &scratch)
{
    const size_t n = order.size();
    const auto extent = static_cast<size_t>(m_rowExtent);
    m_replacedStamp = 0; // its pages are about to be overwritten
    withMemoryCheck("permuteRows", [&] {
        RowPointerBuffer taken(scratch, n, extent);
        copyRowsOut(0, m_rowExtent - 1, taken.data());
        m_replaced.resize(pagesFor(static_cast<int>(n), PageSize));
        for (size_t p = 0; p < m_replaced.size(); ++p)
            gatherPage(m_replaced[p], p << PageBits, order, taken.data());
    });
    std::swap(m_pages, m_replaced);
    m_replacedExtent = m_rowExtent;
    rowsChanged();
    m_replacedStamp = m_layoutStamp;
    m_rowExtent = static_cast<int>(n);
    trimExtent();
}

void CellStore::copyRowsOut(int first, int last, Row **out)
{
    for (int row = first; row <= last; ++row)
        out[row - first] = rowAt(row);
}

// Fills the page of targets from `base` on with taken[order[i]]; a page that receives
// no row is dropped, and a missing one is created for the first row it receives.
void CellStore::gatherPage(std::unique_ptr<Page> &page, size_t base, const std::vector<int> &order,
                           Row *const *taken)
{
    const size_t n = order.size();
    const size_t end = std::min<size_t>(base + PageSize, n);
    bool holdsRows = false;
    for (size_t i = base; i < end; ++i) {
        if (i + GatherAhead < n) __builtin_prefetch(&taken[static_cast<size_t>(order[i + GatherAhead])]);
        Row *const record = taken[static_cast<size_t>(order[i])];
        if (record && !page) page = std::make_unique<Page>(PageSize);
        if (page) (*page)[i - base] = record;
        holdsRows |= record != nullptr;
    }
    if (!holdsRows)
        page.reset();
    else
        std::fill(page->begin() + static_cast<std::ptrdiff_t>(end - base), page->end(), nullptr);
}

bool CellStore::revertRowPermutation(quint64 stamp) noexcept
{
    if (stamp != m_layoutStamp || m_replacedStamp != m_layoutStamp) return false;
    std::swap(m_pages, m_replaced);
    std::swap(m_rowExtent, m_replacedExtent);
    rowsChanged();
    m_replacedStamp = m_layoutStamp;
    return true;
}

void CellStore::permuteRowCells(int row, int first, const std::vector<int> &order)
{
    checkIndex(row, "Cell row");
    checkOrder(first, order, "column");
    Row *r = rowAt(row);
    if (!r || first >= rowSize(*r) || order.empty()) return;
    const int n = static_cast<int>(order.size());
    ensureCols(*r, first + n);
    std::vector<CellText> texts(order.size());
    for (int i = 0; i < n; ++i)
        texts[static_cast<size_t>(i)] = std::move(r->cells[static_cast<size_t>(first + i)]);
    for (int i = 0; i < n; ++i)
        r->cells[static_cast<size_t>(first + i)] =
            std::move(texts[static_cast<size_t>(order[static_cast<size_t>(i)] - first)]);
    if (r->objects) {
        std::vector<void *> objects(r->objects->begin() + first, r->objects->begin() + first + n);
        for (int i = 0; i < n; ++i)
            (*r->objects)[static_cast<size_t>(first + i)] =
                objects[static_cast<size_t>(order[static_cast<size_t>(i)] - first)];
    }
    trim(row);
}

void CellStore::permuteCols(int first, const std::vector<int> &order)
{
    checkOrder(first, order, "column");
    forEachRowDown(m_pages, m_rowExtent, PageBits,
                   [&](int row, Row &) { permuteRowCells(row, first, order); });
}

void CellStore::permuteColCells(int col, int first, const std::vector<int> &order)
{
    checkIndex(col, "Cell column");
    checkOrder(first, order, "row");
    if (first >= m_rowExtent) return;
    const int n = static_cast<int>(order.size());
    std::vector<CellText> texts(order.size());
    std::vector<void *> objects(order.size(), nullptr);
    for (int i = 0; i < n; ++i) {
        Row *r = rowAt(first + i);
        if (!r) continue;
        if (col < static_cast<int>(r->cells.size()))
            texts[static_cast<size_t>(i)] = std::move(r->cells[static_cast<size_t>(col)]);
        if (r->objects && col < static_cast<int>(r->objects->size()))
            std::swap(objects[static_cast<size_t>(i)], (*r->objects)[static_cast<size_t>(col)]);
    }
    for (int i = 0; i < n; ++i) {
        const auto source = static_cast<size_t>(order[static_cast<size_t>(i)] - first);
        const int row = first + i;
        if (!texts[source].isEmpty()) {
            Row &r = rowFor(row);
            ensureCols(r, col + 1);
            r.cells[static_cast<size_t>(col)] = std::move(texts[source]);
        }
        if (objects[source]) {
            Row &r = rowFor(row);
            if (!r.objects) r.objects = std::make_unique<std::vector<void *>>();
            if (static_cast<int>(r.objects->size()) <= col)
                r.objects->resize(static_cast<size_t>(col) + 1, nullptr);
            (*r.objects)[static_cast<size_t>(col)] = objects[source];
        }
    }
    for (int i = n - 1; i >= 0; --i)
        trim(first + i);
}

// ---- consistency check -----------------------------------------------------------------

QString CellStore::checkConsistency() const
{
    const size_t expectedPages = pagesFor(m_rowExtent, PageSize);
    if (m_pages.size() != expectedPages)
        return QStringLiteral("%1 pages for a row extent of %2")
            .arg(m_pages.size())
            .arg(m_rowExtent);
    int lastRow = -1;
    for (size_t p = 0; p < m_pages.size(); ++p) {
        if (!m_pages[p]) continue;
        if (m_pages[p]->size() != PageSize)
            return QStringLiteral("page %1 holds %2 slots").arg(p).arg(m_pages[p]->size());
        for (int i = 0; i < PageSize; ++i) {
            const Row *r = (*m_pages[p])[static_cast<size_t>(i)];
            if (!r) continue;
            const auto row = static_cast<int>(qint64(p) * PageSize + i);
            lastRow = row;
            if (isBlank(*r)) return QStringLiteral("row %1 is kept although blank").arg(row);
            if (!r->cells.empty() && r->cells.back().isEmpty())
                return QStringLiteral("row %1 ends with an empty cell").arg(row);
            if (r->objects && (r->objects->empty() || r->objects->back() == nullptr))
                return QStringLiteral("row %1 ends with a missing object").arg(row);
            for (size_t c = 0; c < r->cells.size(); ++c)
                if (!r->cells[c].isWellFormed())
                    return QStringLiteral("cell (%1, %2) is malformed").arg(c).arg(row);
        }
    }
    if (lastRow + 1 != m_rowExtent)
        return QStringLiteral("row extent %1 but the last row is %2").arg(m_rowExtent).arg(lastRow);
    return m_replacedStamp == m_layoutStamp ? checkReplaced() : QString();
}

namespace {

// The rows a table points at, in address order, and one more than its last row's index.
template <class Table>
int rowsOf(const Table &table, int pageSize, std::vector<const void *> &rows)
{
    int extent = 0;
    for (size_t p = 0; p < table.size(); ++p)
        for (int i = 0; table[p] && i < pageSize; ++i)
            if (const auto *record = (*table[p])[static_cast<size_t>(i)]) {
                rows.push_back(record);
                extent = static_cast<int>(qint64(p) * pageSize + i) + 1;
            }
    std::sort(rows.begin(), rows.end());
    return extent;
}

} // namespace

// The kept table must point at exactly the rows of the table, within its own
// extent.
QString CellStore::checkReplaced() const
{
    if (m_replaced.size() != pagesFor(m_replacedExtent, PageSize))
        return QStringLiteral("%1 kept pages for a kept extent of %2")
            .arg(m_replaced.size())
            .arg(m_replacedExtent);
    std::vector<const void *> rows, kept;
    rowsOf(m_pages, PageSize, rows);
    if (rowsOf(m_replaced, PageSize, kept) != m_replacedExtent)
        return QStringLiteral("the kept table's last row is not %1").arg(m_replacedExtent - 1);
    if (rows != kept) return QStringLiteral("the kept table holds other rows than the table");
    return QString();
}

} // namespace vorgrd
