// A byte string read as a sequence of grid operations on one tvorgrid. Each operation
// may be refused, but only with a vorgrd::Exception; after every operation the grid,
// its cell store and its columns must pass their consistency checks and the current
// cell must lie inside the counts. Anything else (a crash, a sanitizer report, another
// exception, a broken invariant) aborts.
//
// Each operation is one byte choosing it, then its argument bytes. Arguments are
// mostly small (so that lines overlap and move into each other), sometimes the edges
// of int (so that the caps and the overflow guards are reached).
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/formstream.h"

#include "widgetinput.h"

#include <QKeyEvent>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

using namespace vorgrd;

namespace {

class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool more() const { return m_pos < m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // 0..11 mostly; a few codes stand for the edges. The caps themselves are left to
    // the unit tests: a grid of a hundred million rows would turn every following
    // operation into a long one, and the fuzzer into a search for slow inputs. One
    // past each cap is refused at once.
    int index()
    {
        const uint8_t b = byte();
        switch (b) {
        case 250: return -1;
        case 251: return INT_MAX;
        case 252: return INT_MAX - 1;
        case 253: return tvorgrid::MaxInsertColCount + 1;
        case 254: return tvorgrid::MaxInsertRowCount + 1;
        case 255: return INT_MIN;
        default: return b % 12;
        }
    }
    QString text()
    {
        static const char *const texts[] = {"", "a", "B", "10", "9", "2024-01-15", "x y",
                                            "=1+2", "\xc3\xa4", "2023-12-31", "-3.5", "zz"};
        return QString::fromUtf8(texts[byte() % 12]);
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};


// v * k without overflow, so that widths and heights reach the edges too.
int scaled(int v, int k)
{
    const long long product = static_cast<long long>(v) * k;
    return int(std::clamp<long long>(product, INT_MIN, INT_MAX));
}

void check(const tvorgrid &g)
{
    g.checkConsistency(); // grid, store and columns; throws std::logic_error
    if (g.Col() < g.FixedCols() || g.Col() >= g.ColCount() || g.Row() < g.FixedRows() ||
        g.Row() >= g.RowCount()) {
        std::fprintf(stderr, "current cell (%d, %d) outside the grid\n", g.Col(), g.Row());
        std::abort();
    }
}

void apply(tvorgrid &g, Input &in)
{
    int col = 0, row = 0;
    switch (in.byte() % 32) {
    case 0: g.setColCount(in.index()); break;
    case 1: g.setRowCount(in.index()); break;
    case 2: g.setFixedCols(in.index()); break;
    case 3: g.setFixedRows(in.index()); break;
    case 4: { const int c = in.index(), r = in.index(); g.setCells(c, r, in.text()); break; }
    case 5: { const int p = in.index(); g.InsertRows(p, in.index()); break; }
    case 6: { const int p = in.index(); g.InsertCols(p, in.index()); break; }
    case 7: { const int p = in.index(); g.DeleteRows(p, in.index()); break; }
    case 8: { const int p = in.index(); g.DeleteCols(p, in.index()); break; }
    case 9: { const int f = in.index(); g.MoveRow(f, in.index()); break; }
    case 10: { const int f = in.index(); g.MoveColumn(f, in.index()); break; }
    case 11: { const int i = in.index(); g.setColWidths(i, scaled(in.index(), 10)); break; }
    case 12: { const int i = in.index(); g.setRowHeights(i, scaled(in.index(), 5)); break; }
    case 13: g.setDefaultRowHeight(scaled(in.index(), 3)); break;
    case 14: g.setGridLineWidth(in.index() % 3); break;
    case 15: g.columns()->GeTmColumn(in.index())->SetWidth(scaled(in.index(), 10)); break;
    case 16: g.columns()->GeTmColumn(in.index())->SetHide(in.byte() & 1); break;
    case 17: g.columns()->GeTmColumn(in.index())->settype(static_cast<tvorcolumntype>(in.index())); break;
    case 18: g.setKeyType(static_cast<TMSortType>(in.index())); break;
    case 19: g.setUseFixed(static_cast<HandleFixed>(in.index())); break;
    case 20: g.SortCompleteRows(in.index()); break;
    case 21: g.SortCol(in.index()); break;
    case 22: g.SortAllCols(); break;
    case 23: g.UndoSort(); break;
    case 24: g.FindFirst(in.text(), in.byte() & 1, col, row); break;
    case 25: g.FindNext(col, row); break;
    case 26: g.setshowtitles(in.byte() & 1); break;
    case 27: g.setCol(in.index()); break;
    case 28: g.setRow(in.index()); break;
    case 29: { const int r = in.index(); g.ModifyRow(r, in.text(), QStringLiteral(" ")); break; }
    case 30: {
        tvorgrid other;
        other.setColCount(std::max(1, in.index()));
        g.setcolumns(other.columns());
        break;
    }
    case 31: {
        // The grid's own stream always loads: a refusal here is a fault, not a refusal.
        tvorgrid copy;
        try {
            LoadComponent(copy, SaveComponent(g));
        } catch (const Exception &e) {
            std::fprintf(stderr, "the grid's own stream does not load: %s\n", e.what());
            std::abort();
        }
        check(copy);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vorgrd::fuzz::startWidgets();
    Input in(data, size);
    tvorgrid g;
    g.resize(300, 200);
    for (int step = 0; in.more() && step < 64; ++step) {
        try {
            apply(g, in);
        } catch (const Exception &) {
            // A refusal: the invariants must hold all the same.
        }
        check(g);
    }
    // Painting whatever the operations left must work too.
    (void)g.grab();
    return 0;
}
