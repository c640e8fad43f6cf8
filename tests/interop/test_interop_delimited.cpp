// Delimited text between the grid and LibreOffice Calc, both ways, compared cell by
// cell: files written by SaveToFile, read by LibreOffice with the same delimiter and
// the double quote as its text quote (every column as text); and CSV files that
// LibreOffice writes from a sheet of hostile texts, loaded by LoadFromFile. Runs only
// when VORGRD_SOFFICE names the program (make test-interop sets it).
#include "formulas/printers.h"
#include "grid/vorGrid.h"
#include "interop/libreoffice.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>

#include <ostream>

#include <gtest/gtest.h>

#include <cstdio>

using namespace vorgrd;

namespace {

// What a delimited file must carry: the delimiters themselves, quotes where a field
// starts and inside it, line breaks, tabs, blanks, markup, non-ASCII, number-like and
// formula-like texts, and empty cells.
const QStringList hostile = {
    "plain",       "say \"hi\"",       "\"",          "\"quoted\"", "ends with \"",  "tab\there",
    "semi;colon",  "<b>x</b> & y",     "Grüße, 東京, 😀", " leading", "trailing ",     "two  blanks",
    "",            "=1+2",             "12.5",        "007",        "1,5",           "Y",
    "a,b",         "'apostrophe",      "-",           "",           "\u00a0nbsp",    "two\nlines",
    "\n",          "a;\"b\"\tc\nd",    "\"\"",        "x\n\n",      "Walnuts, shelled",
};

// LibreOffice keeps a cell's line breaks as paragraphs: CR LF and a lone CR come back
// as LF, as from every other format.
const QStringList lineBreakForms = {"crlf\r\nend", "cr\rend"};

QString asLibreOfficeReadsIt(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

struct Delimiter
{
    const char *name;
    QString text;
    int code; // LibreOffice's separator option: the character's number
};

void PrintTo(const Delimiter &d, std::ostream *out)
{
    *out << d.name;
}

// Every hostile text in every one of four columns, plus one row entirely empty and
// one empty but for its last cell.
void fill(tvorgrid &grid)
{
    const QStringList texts = hostile + lineBreakForms;
    const int cols = 4;
    const int rows = int(texts.size()) + 2;
    grid.setColCount(cols);
    grid.setRowCount(rows);
    for (int r = 0; r < int(texts.size()); ++r)
        for (int c = 0; c < cols; ++c)
            grid.setCells(c, r, texts[(r + c * 5) % texts.size()]);
    grid.setCells(cols - 1, rows - 1, QStringLiteral("last"));
}

// Separator, double quote as text quote (34), UTF-8 (76), from line 1, every column
// as text (format 2).
QString importOptions(const Delimiter &d, int cols)
{
    QString columns;
    for (int c = 1; c <= cols; ++c)
        columns += QStringLiteral("%1%2/2").arg(c == 1 ? "" : "/").arg(c);
    return QStringLiteral("Text - txt - csv (StarCalc):%1,34,76,1,%2").arg(d.code).arg(columns);
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
    fill(grid);
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
            if (got != asLibreOfficeReadsIt(grid.Cells(c, r))) {
                ++differ;
                ADD_FAILURE() << "cell (" << c << "," << r << ") [" << grid.Cells(c, r).toStdString()
                              << "] came back [" << got.toStdString() << "]";
            }
        }
    // Read back by our own loader, the file gives the same cells as well, line
    // breaks and all.
    tvorgrid reloaded;
    reloaded.LoadFromFile(path, d.text);
    ASSERT_EQ(reloaded.RowCount(), grid.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            EXPECT_EQ(reloaded.Cells(c, r), grid.Cells(c, r)) << "cell (" << c << "," << r << ")";
    std::printf("delimited (%s): %d cells compared, %d not exact\n", d.name, cells, differ);
}

INSTANTIATE_TEST_SUITE_P(SemicolonCommaAndTab, LibreOfficeDelimited,
                         ::testing::Values(Delimiter{"semicolon", QStringLiteral(";"), 59},
                                           Delimiter{"comma", QStringLiteral(","), 44},
                                           Delimiter{"tab", QStringLiteral("\t"), 9}),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- CSV written by LibreOffice --------------------------------------------------------

// The sheet: the hostile texts over three columns, the last row ending in an empty
// cell, so that empty cells stand at the start, inside and at the end of rows.
QList<QStringList> sheetRows()
{
    QList<QStringList> rows;
    for (qsizetype i = 0; i < hostile.size(); i += 3)
        rows << QStringList{hostile.value(i), hostile.value(i + 1), hostile.value(i + 2)};
    rows << QStringList{QStringLiteral("first"), QString(), QString()};
    return rows;
}

// A sheet of the hostile texts, written for LibreOffice to read.
struct LibreOfficeSheet : ::testing::Test
{
    QTemporaryDir work;
    const QList<QStringList> rows = sheetRows();
    QString sheet;
    void SetUp() override
    {
        if (interop::sofficeProgram().isEmpty())
            GTEST_SKIP() << "VORGRD_SOFFICE is not set (make test-interop sets it)";
        ASSERT_TRUE(work.isValid());
        sheet = interop::writeSheet(work, rows);
    }
};

TEST_F(LibreOfficeSheet, ItsCsvLoadsCellForCell)
{
    for (const bool quoteAll : {false, true}) {
        QString error;
        const auto csv = interop::convertToCsv(sheet, QString(), work, error, quoteAll);
        ASSERT_TRUE(csv) << error.toStdString();
        const QString path = work.filePath(QStringLiteral("libreoffice.csv"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*csv);
        file.close();

        tvorgrid grid;
        grid.LoadFromFile(path, QStringLiteral(","));
        ASSERT_EQ(grid.RowCount(), rows.size()) << csv->constData();
        ASSERT_EQ(grid.ColCount(), 3);
        int differ = 0;
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < 3; ++c)
                if (grid.Cells(c, r) != rows[r][c]) {
                    ++differ;
                    ADD_FAILURE() << "cell (" << c << "," << r << ") [" << rows[r][c].toStdString()
                                  << "] loaded as [" << grid.Cells(c, r).toStdString() << "]";
                }
        std::printf("LibreOffice's CSV (%s): %lld cells compared, %d not exact\n",
                    quoteAll ? "every text quoted" : "quoted where needed", rows.size() * 3LL, differ);
    }
}

// ---- LibreOffice's copy of cells, pasted -------------------------------------------------

// Offers `plain` (unless null) and `html` on the clipboard, pastes into (0, 0) of a
// grid without fixed cells and returns the cells of `rows` x `cols` from there.
QList<QStringList> pasted(const QString &plain, const QString &html, int rows, int cols)
{
    auto *data = new QMimeData;
    if (!plain.isNull()) data->setText(plain);
    data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data);
    tvorgrid grid;
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.FocusCell(0, 0, true);
    grid.PasteFromClipboard();
    QList<QStringList> out;
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < cols; ++c)
            row << grid.Cells(c, r);
        out << row;
    }
    return out;
}

// What HTML can carry to a table: no tab, no run of blanks or blank at a line's
// start or end, no line break at the end.
bool htmlCarries(const QString &text)
{
    static const QRegularExpression lost(QStringLiteral("\\t|  |^ | $| \\n|\\n |\\n$|\\r"));
    return !lost.match(text).hasMatch();
}

// LibreOffice's copy offers its text export (tab, quotes where needed, LF) as
// text/plain and its HTML export as text/html; both are made here by LibreOffice
// from a sheet of the hostile texts and pasted as the clipboard would give them.
TEST_F(LibreOfficeSheet, ItsCopyPastesEveryCellAndItsTableAloneWhatHtmlCarries)
{
    QString error;
    const auto text = interop::convertFile(sheet, QString(),
                                           QStringLiteral("csv:Text - txt - csv (StarCalc):9,34,76,1,,1033,false,true,false"),
                                           QStringLiteral("copy-out"), work, error);
    ASSERT_TRUE(text) << error.toStdString();
    const auto html = interop::convertFile(sheet, QString(), QStringLiteral("html:HTML (StarCalc)"),
                                           QStringLiteral("copy-out"), work, error);
    ASSERT_TRUE(html) << error.toStdString();

    EXPECT_EQ(pasted(QString::fromUtf8(*text), QString::fromUtf8(*html), int(rows.size()), 3), rows);
    const QList<QStringList> fromTable = pasted(QString(), QString::fromUtf8(*html), int(rows.size()), 3);
    int carried = 0;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 3; ++c)
            if (htmlCarries(rows[r][c])) {
                ++carried;
                EXPECT_EQ(fromTable[r][c], rows[r][c]) << "cell (" << c << "," << r << ")";
            }
    std::printf("LibreOffice's copy: %lld cells pasted from both flavours, %d of them from the table alone\n",
                rows.size() * 3LL, carried);
}

} // namespace
