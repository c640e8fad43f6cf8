// Pasting: PasteFromClipboard chooses between the clipboard's plain text and the table
// in its HTML, PasteText writes tab-delimited text into the grid from a start cell on.
//
// Growing one row or column at a time while writing would repeat the per-line work
// of a count change (marks, descriptions, scroll bars) for every line. A paste
// measures the text first, grows the grid once to the counts that growing step by
// step would reach, and then writes the cells straight into the store. Growth adds
// marks "N" and fresh descriptions in the same order either way and never rewrites
// a cell, so the result is the same.
#include "exchange/cellwriter_p.h"
#include "exchange/delimitedtext_p.h"
#include "exchange/htmltable_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <optional>
#include <vector>

namespace vorgrd {

using exchange_internal::CellWriter;
using exchange_internal::ClipboardTextBuilder;
using exchange_internal::DelimitedReader;
using exchange_internal::HtmlTable;
using exchange_internal::readHtmlTable;
using exchange_internal::Record;

namespace {

constexpr char16_t Tab[] = u"\t";

// The extent of a text: its records and the fields of the widest.
struct MeasureSink
{
    qint64 lines = 0;
    qint64 widest = 0;
    void record(const Record<char16_t> &record)
    {
        ++lines;
        widest = std::max(widest, qint64(record.fields.size()));
    }
    [[noreturn]] void tooManyFields() const
    {
        throw ERangeError(QStringLiteral("PasteText: a line of the text has more than %1 cells, "
                                         "more than a grid grows to")
                              .arg(tvorgrid::MaxInsertColCount));
    }
};

// Writes each record into the next row from the start cell on.
struct WriteSink
{
    CellWriter writer;
    int startCol;
    int row;
    int editorCol;
    int editorRow;
    bool editorCellWritten = false;
    void record(const Record<char16_t> &record)
    {
        const auto &fields = record.fields;
        // The last cell first: a row's cells are then allocated once.
        for (size_t i = fields.size(); i-- > 0;)
            writer.write(startCol + int(i), row,
                         QStringView(fields[i].begin, fields[i].end - fields[i].begin));
        if (row == editorRow && editorCol >= startCol && editorCol < startCol + int(fields.size()))
            editorCellWritten = true;
        ++row;
    }
    void tooManyFields() const {} // measured before: never reached
};

template <typename Sink> void readText(QStringView text, Sink &sink)
{
    DelimitedReader<char16_t, Sink> reader(std::u16string_view(Tab, 1), tvorgrid::MaxInsertColCount, sink);
    reader.read(text.utf16(), text.utf16() + text.size(), true);
}

// A byte-order mark that came along with a text is no part of it.
QStringView withoutMark(QStringView text)
{
    return text.startsWith(QChar(0xFEFF)) ? text.sliced(1) : text;
}

// Whether the plain text reads as the table's rows and cells. Then it is the more
// exact of the two (HTML collapses blanks); otherwise it lost the table's shape (a
// browser writes a line break or tab inside a cell as it stands).
bool sameShape(QStringView text, const HtmlTable &table)
{
    struct WidthSink : MeasureSink
    {
        std::vector<size_t> widths;
        void record(const Record<char16_t> &record) { widths.push_back(record.fields.size()); }
    } sink;
    readText(withoutMark(text), sink);
    if (sink.widths.size() != table.size()) return false;
    for (size_t r = 0; r < table.size(); ++r)
        if (sink.widths[r] != table[r].size()) return false;
    return true;
}

// The table as the clipboard's plain text, for PasteText.
QString tableText(const HtmlTable &table)
{
    ClipboardTextBuilder text;
    for (const auto &row : table) {
        text.startRow();
        for (const QString &cell : row)
            text.addCell(cell);
    }
    return text.text();
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

void tvorgrid::PasteFromClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data) return;
    const QString text = data->hasText() ? data->text() : QString();
    // Spreadsheets and browsers offer the cells as an HTML table too: it keeps the
    // cells where the plain text is missing or lost them.
    if (data->hasHtml()) {
        const std::optional<HtmlTable> table = readHtmlTable(data->html(), MaxLoadCells);
        if (table && (text.isEmpty() || !sameShape(text, *table))) {
            PasteText(tableText(*table));
            return;
        }
    }
    PasteText(text);
}

void tvorgrid::PasteText(const QString &Text)
{
    const QStringView text = withoutMark(Text);
    if (text.isEmpty()) return;
    const TGridRect selection = Selection();
    const int startCol = d->exchange.pasteToCursor ? Col() : selection.Left;
    const int startRow = d->exchange.pasteToCursor ? Row() : selection.Top;

    MeasureSink extent;
    readText(text, extent);
    const qint64 cols = grownCount(ColCount(), startCol, extent.widest);
    const qint64 rows = grownCount(RowCount(), startRow, extent.lines);
    checkGrowth("columns", cols, ColCount(), MaxInsertColCount);
    checkGrowth("rows", rows, RowCount(), MaxInsertRowCount);
    GridEdit edit(*this);
    setColCount(int(cols));
    setRowCount(int(rows));

    WriteSink write{CellWriter(edit.store()), startCol, startRow, Col(), Row()};
    edit.cellsWritten(QRect(startCol, startRow, int(extent.widest), int(extent.lines)));
    readText(text, write);
    // Writing the cell under an open editor shows the new text in it, as any write does.
    if (write.editorCellWritten) d->syncEditorWithCell();
    Refresh();
}

} // namespace vorgrd
