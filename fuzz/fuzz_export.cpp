// SaveasSYLK and SaveasHTML on grids of fuzzed cells, read back by the independent
// readers of the tests: every cell must come back exactly (a line break in whatever
// form as the formats' one line break, LF), every record must stay on its line, and
// nothing may crash, hang or trip a sanitizer.
//
// Input: byte 0 picks the column count (1-5) and showtitles, byte 1 the row count
// (1-6), byte 2 the column types and byte 3 the hidden columns; the rest is UTF-8
// split at 0x1F into the cell texts, row by row.
#include "../tests/exchange/exportreader.h"
#include "grid/vorGrid.h"
#include "host/formatsettings.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace vorgrd;

namespace {

QApplication *app = nullptr;

// The SYLK line-break escape is ESC " :"; a cell holding those three characters
// reads back as a line break (a limit of the format, docs/exchange.md).
QString readBack(QString text, bool sylk)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (sylk) text.replace(QString(QChar(0x1B)) + QStringLiteral(" :"), QStringLiteral("\n"));
    return text;
}

[[noreturn]] void fail(const char *what, int col, int row, const QString &expected, const QString &got)
{
    fprintf(stderr, "%s: cell (%d,%d) expected [%s] got [%s]\n", what, col, row,
            expected.toUtf8().constData(), got.toUtf8().constData());
    abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    setFormatSettings(FormatSettings::invariant());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4) return 0;
    const int cols = 1 + data[0] % 5;
    const bool titles = (data[0] & 0x80) != 0;
    const int rows = 1 + data[1] % 6;
    const QStringList texts = QString::fromUtf8(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4))
                                  .split(QChar(0x1F));

    tvorgrid grid;
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setColCount(cols);
    grid.setRowCount(rows);
    for (int c = 0; c < cols; ++c) {
        grid.columns()->GeTmColumn(c)->settype(tvorcolumntype((data[2] >> c) % 5));
        grid.columns()->GeTmColumn(c)->SetHide((data[3] >> c) & 1);
    }
    grid.setshowtitles(titles);
    for (int i = 0; i < texts.size() && i < cols * rows; ++i)
        if (!(titles && i < cols)) grid.setCells(i % cols, i / cols, texts[i]);

    TStringList sylkLines;
    grid.SaveasSYLK(sylkLines);
    for (const QString &line : sylkLines.toStringList())
        if (line.contains(u'\n') || line.contains(u'\r')) fail("SYLK record broken", -1, -1, {}, line);
    const auto sylk = exportreader::readSylk(sylkLines.toStringList());
    if (!sylk.ok) fail("SYLK unreadable", -1, -1, {}, sylk.error);
    for (int r = titles ? 1 : 0; r < rows; ++r)
        for (int c = 1; c < cols; ++c) {
            const QString text = grid.Cells(c, r);
            QString expected = readBack(text, true);
            if (grid.columns()->GeTmColumn(c)->gettype() == ftcheckbox)
                expected = text.isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            if (sylk.cells.value({c, r}) != expected) fail("SYLK", c, r, expected, sylk.cells.value({c, r}));
        }

    TStringList htmlLines;
    grid.SaveasHTML(texts.value(0), (data[3] & 0x80) != 0, htmlLines);
    for (const QString &line : htmlLines.toStringList())
        if (line.contains(u'\n') || line.contains(u'\r')) fail("HTML line broken", -1, -1, {}, line);
    const auto html = exportreader::readHtml(htmlLines.toStringList());
    if (!html.ok) fail("HTML unreadable", -1, -1, {}, html.error);
    if (html.caption != (texts.value(0).isEmpty() ? QString() : readBack(texts.value(0), false)))
        fail("HTML caption", -1, -1, texts.value(0), html.caption);
    if (html.body.size() != rows - 1) fail("HTML row count", -1, -1, {}, {});
    int written = 0;
    for (int c = 1; c < cols; ++c) {
        if (grid.columns()->GeTmColumn(c)->GetHide()) continue;
        for (int r = 0; r < rows; ++r) {
            const QString got = r == 0 ? html.header.value(written) : html.body[r - 1].value(written);
            if (got != readBack(grid.Cells(c, r), false)) fail("HTML", c, r, grid.Cells(c, r), got);
        }
        ++written;
    }
    if (html.header.size() != written) fail("HTML header width", -1, -1, {}, {});
    return 0;
}
