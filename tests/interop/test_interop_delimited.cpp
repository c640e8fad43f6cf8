// Delimited files written by SaveToFile, read by LibreOffice Calc with the same
// delimiter the way the grid's own loader reads them (no text quote, every column as
// text), converted to CSV and compared cell by cell. Runs only when VORGRD_SOFFICE
// names the program (make test-interop sets it).
#include "grid/vorGrid.h"
#include "interop/libreoffice.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace vorgrd;

namespace {

// What a delimited file can carry: any text without the delimiter or a line break
// (the format neither quotes nor escapes, docs/exchange.md).
const QStringList hostile = {
    "plain",        "say \"hi\"",  "\"",           "\"quoted\"",   "ends with \"", "tab\there",
    "semi;colon",   "<b>x</b> & y", "Grüße, 東京, 😀", " leading",   "trailing ",    "two  blanks",
    "",             "=1+2",        "12.5",         "007",          "1,5",          "Y",
    "a,b",          "'apostrophe", "-",            "",             "\u00a0nbsp",
};

struct Delimiter
{
    const char *name;
    QString text;
    int code; // LibreOffice's separator option: the character's number
};

// The cells: every hostile text that does not hold the delimiter, spread over four
// columns so that each appears in every column, plus one row entirely empty and one
// that is empty but for its last cell.
void fill(tvorgrid &grid, const QString &delimiter)
{
    QStringList texts;
    for (const QString &t : hostile)
        if (!t.contains(delimiter)) texts << t;
    const int cols = 4;
    const int rows = int(texts.size()) + 2;
    grid.setColCount(cols);
    grid.setRowCount(rows);
    for (int r = 0; r < int(texts.size()); ++r)
        for (int c = 0; c < cols; ++c)
            grid.setCells(c, r, texts[(r + c * 5) % texts.size()]);
    grid.setCells(cols - 1, rows - 1, QStringLiteral("last"));
}

// Separator, no text quote, UTF-8 (76), from line 1, every column as text (format 2).
QString importOptions(const Delimiter &d, int cols)
{
    QString columns;
    for (int c = 1; c <= cols; ++c)
        columns += QStringLiteral("%1%2/2").arg(c == 1 ? "" : "/").arg(c);
    return QStringLiteral("Text - txt - csv (StarCalc):%1,,76,1,%2").arg(d.code).arg(columns);
}

class LibreOfficeDelimited : public ::testing::TestWithParam<Delimiter>
{
};

TEST_P(LibreOfficeDelimited, ReadsEveryCellOfASavedFileWithTheSameDelimiter)
{
    if (interop::sofficeProgram().isEmpty())
        GTEST_SKIP() << "VORGRD_SOFFICE is not set (make test-interop sets it)";
    const Delimiter d = GetParam();
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    tvorgrid grid;
    fill(grid, d.text);
    const QString path = work.filePath(QStringLiteral("grid.txt"));
    grid.SaveToFile(path, d.text);

    QString error;
    const auto csv = interop::convertToCsv(path, importOptions(d, grid.ColCount()), work, error);
    ASSERT_TRUE(csv) << error.toStdString();
    const auto back = interop::parseCsv(QString::fromUtf8(*csv));
    int cells = 0, differ = 0;
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c) {
            ++cells;
            const QString got = interop::csvCell(back, c, r);
            if (got != grid.Cells(c, r)) {
                ++differ;
                ADD_FAILURE() << "cell (" << c << "," << r << ") [" << grid.Cells(c, r).toStdString()
                              << "] came back [" << got.toStdString() << "]";
            }
        }
    // Read back by our own loader, the file gives the same cells as well.
    tvorgrid reloaded;
    reloaded.LoadFromFile(path, d.text);
    ASSERT_EQ(reloaded.RowCount(), grid.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            EXPECT_EQ(reloaded.Cells(c, r), grid.Cells(c, r)) << "cell (" << c << "," << r << ")";
    std::printf("delimited (%s): %d cells compared, %d not exact\n", d.name, cells, differ);
}

INSTANTIATE_TEST_SUITE_P(SemicolonAndTab, LibreOfficeDelimited,
                         ::testing::Values(Delimiter{"semicolon", QStringLiteral(";"), 59},
                                           Delimiter{"tab", QStringLiteral("\t"), 9}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
