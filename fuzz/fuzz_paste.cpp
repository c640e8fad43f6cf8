// tvorgrid::PasteText (what PasteFromClipboard does with the clipboard's text) must
// take any text without crashing, hanging, leaking or escaping with anything but
// ERangeError. The first byte picks the grid's size, the start cell and PasteToCursor;
// the rest, as UTF-8, is the text.
//
// Property checked besides survival: the result (cells, counts, marks, column names)
// equals growing the grid one cell and one line at a time over the records of a
// reading of the text written apart from the library's (tests/support).
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "../tests/support/delimitedreference.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vorgrd;

namespace {

QApplication *app = nullptr;
// Two grids for every input (a new widget per input would be most of the time), set
// back to the same start each time.
tvorgrid *ours = nullptr;
tvorgrid *reference = nullptr;

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_paste: %s\n", what);
        std::abort();
    }
}

// The growth as one step per cell and per line would do it, over the records of a
// reading written apart from the library's.
void pasteStepByStep(tvorgrid &grid, QString text)
{
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    const int startCol = grid.PasteToCursor() ? grid.Col() : grid.Selection().Left;
    int row = grid.PasteToCursor() ? grid.Row() : grid.Selection().Top;
    for (const auto &record : testing_reference::records(text, QStringLiteral("\t"))) {
        int col = startCol;
        for (const QString &cell : record.fields) {
            grid.setCells(col, row, cell);
            if (++col >= grid.ColCount()) grid.setColCount(col + 1);
        }
        if (++row >= grid.RowCount()) grid.setRowCount(row + 1);
    }
}

void setUp(tvorgrid &grid, uint8_t shape)
{
    {
        GridEdit edit(grid);
        edit.store().clear();
    }
    grid.setColCount(2 + shape % 4);
    grid.setRowCount(2 + (shape >> 2) % 4);
    for (int i = 0; i < grid.RowCount(); ++i)
        grid.RowMarks()->setStrings(i, QStringLiteral("N"));
    grid.setOptions(grid.Options() | goRangeSelect);
    grid.setPasteToCursor(shape & 0x40);
    grid.setCells(0, 0, QStringLiteral("fixed"));
    grid.RowMarks()->setStrings(1, QStringLiteral("YN"));
    const int col = grid.ColCount() - 1 - (shape >> 4) % 2;
    const int row = grid.RowCount() - 1 - (shape >> 5) % 2;
    grid.setSelection(TGridRect{1, 1, std::max(col, 1), std::max(row, 1)});
}

void checkSame(const tvorgrid &ours, const tvorgrid &reference)
{
    ours.checkConsistency();
    check(ours.cellStore().checkConsistency().isEmpty(), "the cell store is inconsistent");
    check(ours.ColCount() == reference.ColCount() && ours.RowCount() == reference.RowCount(),
          "the counts differ from growing step by step");
    for (int r = 0; r < ours.RowCount(); ++r)
        for (int c = 0; c < ours.ColCount(); ++c)
            check(ours.Cells(c, r) == reference.Cells(c, r), "a cell differs from growing step by step");
    check(ours.RowMarks()->toStringList() == reference.RowMarks()->toStringList(), "the marks differ");
    for (int c = 0; c < ours.ColCount(); ++c)
        check(ours.columns()->GeTmColumn(c)->columnName() ==
                  reference.columns()->GeTmColumn(c)->columnName(),
              "a column description differs");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    ours = new tvorgrid;
    reference = new tvorgrid;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    setUp(*ours, data[0]);
    setUp(*reference, data[0]);
    try {
        ours->PasteText(text);
    } catch (const ERangeError &) {
        return 0;
    }
    pasteStepByStep(*reference, text);
    checkSame(*ours, *reference);
    return 0;
}
