// PasteText: writing tab-delimited text into the grid from a start cell on.
//
// Growing one row or column at a time while writing would repeat the per-line work
// of a count change (marks, descriptions, scroll bars) for every line. A paste
// measures the text first, grows the grid once to the counts that growing step by
// step would reach, and then writes the cells straight into the store. Growth adds
// marks "N" and fresh descriptions in the same order either way and never rewrites
// a cell, so the result is the same.
#include "exchange/cellwriter_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vorgrd {

using exchange_internal::CellWriter;

namespace {

// Calls `each` with every line: the text up to CR LF, up to a lone CR, or to the end.
// A line break at the very end is followed by one more, empty, line.
template <typename Each> void forEachPastedLine(QStringView text, Each &&each)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r', start);
        if (cr < 0) {
            each(text.sliced(start));
            return;
        }
        each(text.sliced(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text.at(start) == u'\n') ++start;
    }
}

struct PasteExtent
{
    qint64 lines = 0;
    qint64 widest = 0; // cells of the widest line
};

PasteExtent measure(QStringView text)
{
    PasteExtent extent;
    forEachPastedLine(text, [&](QStringView line) {
        ++extent.lines;
        extent.widest = std::max(extent.widest, qint64(line.count(u'\t')) + 1);
    });
    return extent;
}

// The count that stepping through `cells` lines (cells) from `start` reaches: it
// grows whenever the position after a write reaches it, so one line (column) always
// stays beyond the pasted block.
qint64 grownCount(qint64 count, qint64 start, qint64 cells)
{
    return start + cells >= count ? start + cells + 1 : count;
}

void checkGrowth(const char *what, qint64 count, qint64 current, qint64 limit)
{
    if (count > current && count > limit)
        throw ERangeError(QStringLiteral("PasteText: the text needs %1 %2, more than the %3 "
                                         "a grid grows to")
                              .arg(count)
                              .arg(QLatin1String(what))
                              .arg(limit));
}

} // namespace

void tvorgrid::PasteText(const QString &Text)
{
    if (Text.isEmpty()) return;
    const TGridRect selection = Selection();
    const int startCol = d->exchange.pasteToCursor ? Col() : selection.Left;
    const int startRow = d->exchange.pasteToCursor ? Row() : selection.Top;

    const PasteExtent extent = measure(Text);
    const qint64 cols = grownCount(ColCount(), startCol, extent.widest);
    const qint64 rows = grownCount(RowCount(), startRow, extent.lines);
    checkGrowth("columns", cols, ColCount(), MaxInsertColCount);
    checkGrowth("rows", rows, RowCount(), MaxInsertRowCount);
    setColCount(int(cols));
    setRowCount(int(rows));

    CellWriter writer(cellStore());
    std::vector<QStringView> cells;
    int row = startRow;
    bool editorCellWritten = false;
    forEachPastedLine(Text, [&](QStringView line) {
        cells.clear();
        qsizetype start = 0;
        for (qsizetype tab; (tab = line.indexOf(u'\t', start)) >= 0; start = tab + 1)
            cells.push_back(line.sliced(start, tab - start));
        cells.push_back(line.sliced(start));
        // The last cell first: a row's cells are then allocated once.
        for (size_t i = cells.size(); i-- > 0;)
            writer.write(startCol + int(i), row, cells[i]);
        if (row == Row() && Col() >= startCol && Col() < startCol + int(cells.size()))
            editorCellWritten = true;
        ++row;
    });
    // Writing the cell under an open editor shows the new text in it, as any write does.
    if (editorCellWritten) d->syncEditorWithCell();
    Refresh();
    reportCellsChanged(QRect(startCol, startRow, extent.widest, extent.lines));
}

} // namespace vorgrd
