// The grid's SYLK and HTML exports read by LibreOffice Calc: a grid of hostile texts
// is exported, converted to CSV by soffice, and every cell compared with the grid.
// Runs only when VORGRD_SOFFICE names the program (make test-interop sets it).
#include "exchange/exportreader.h"
#include "grid/vorGrid.h"
#include "host/textconvert.h"
#include "interop/libreoffice.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace vorgrd;

namespace {

const QStringList hostile = {
    "plain",          "semi;colon",   ";;;",          "say \"hi\"",      "ends with \"",
    "tab\there",      "two\nlines",   "crlf\r\nend",  "<b>not bold</b>", "a & b < c > d",
    "Grüße, 東京, 😀", " leading",     "trailing ",    "two  blanks",     "",
    "\n",             "=1+2",         "12.5",         "007",             "a;\"b\";c",
};
const QStringList numbers = {"12.5", "-3", "1e3", "007", "", "abc", "3;4", "0.1", " 12", "1,5", ".5", "-2.5E-3"};

struct LibreOffice : ::testing::Test
{
    tvorgrid grid;
    QTemporaryDir work;
    QStringList report;

    void SetUp() override
    {
        if (interop::sofficeProgram().isEmpty())
            GTEST_SKIP() << "VORGRD_SOFFICE is not set (make test-interop sets it)";
        ASSERT_TRUE(work.isValid());
        const int rows = int(std::max(hostile.size(), numbers.size())) + 1;
        grid.setColCount(5);
        grid.setRowCount(rows);
        const QStringList names = {"No", "Text;1", "Quote\"d <x>", "Number", "Paid"};
        for (int c = 0; c < 5; ++c)
            grid.columns()->GeTmColumn(c)->SetcolumnName(names[c]);
        grid.columns()->GeTmColumn(3)->settype(ftnumeric);
        grid.columns()->GeTmColumn(4)->settype(ftcheckbox);
        grid.setshowtitles(true);
        for (int r = 1; r < rows; ++r) {
            grid.setCells(0, r, QString::number(r));
            grid.setCells(1, r, hostile.value(r - 1));
            grid.setCells(2, r, hostile.value(int(hostile.size()) - r));
            grid.setCells(3, r, numbers.value(r - 1));
            grid.setCells(4, r, r % 3 == 0 ? QString() : QStringLiteral("Y"));
        }
    }

    QString save(const QString &name, const TStrings &lines)
    {
        const QString path = work.filePath(name);
        lines.SaveToFile(path);
        return path;
    }

    QList<QStringList> convert(const QString &path, const QString &filter)
    {
        QString error;
        const auto csv = interop::convertToCsv(path, filter, work, error);
        if (!csv) {
            ADD_FAILURE() << error.toStdString();
            return {};
        }
        return interop::parseCsv(QString::fromUtf8(*csv));
    }

    static QString shown(QString text)
    {
        return text.replace(u'\n', QStringLiteral("\\n"))
            .replace(u'\r', QStringLiteral("\\r"))
            .replace(u'\t', QStringLiteral("\\t"));
    }

    // Records one cell: exact, equal by value, or a difference; returns whether it may
    // pass (an exact text, or a value LibreOffice itself turned into a number).
    bool compare(const char *format, int c, int r, const QString &grid, const QString &expected,
                 const QString &back, bool numeric, const QString &spreadsheetReading = {})
    {
        double a = 0, b = 0;
        QString verdict;
        bool pass = true;
        if (back == expected)
            verdict = QStringLiteral("exact");
        else if (numeric && ValFloat(expected.trimmed(), a) == 0 && ValFloat(back, b) == 0 && a == b)
            verdict = QStringLiteral("same number");
        else if (!spreadsheetReading.isNull() && back == spreadsheetReading)
            verdict = QStringLiteral("LibreOffice's own reading");
        else {
            verdict = QStringLiteral("DIFFERS");
            pass = false;
        }
        if (verdict != u"exact")
            report << QStringLiteral("%1 (%2,%3) grid [%4] came back [%5]: %6")
                          .arg(QLatin1String(format))
                          .arg(c)
                          .arg(r)
                          .arg(shown(grid), shown(back), verdict);
        return pass;
    }

    void printReport(const char *format, int cells)
    {
        std::printf("%s: %d cells compared, %d not exact\n", format, cells, int(report.size()));
        for (const QString &line : report)
            std::printf("  %s\n", line.toUtf8().constData());
        report.clear();
    }
};

QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

TEST_F(LibreOffice, ReadsEverySylkCellBack)
{
    TStringList lines;
    grid.SaveasSYLK(lines);
    // LibreOffice detects SYLK by an ID record starting "ID;P"; ours is named.
    const auto rows = convert(save("grid.slk", lines), QStringLiteral("SYLK"));
    ASSERT_FALSE(rows.isEmpty());
    int cells = 0, failures = 0;
    for (int c = 0; c < grid.ColCount(); ++c) {
        ++cells;
        const QString title = grid.Cells(c, 0);
        failures += !compare("SYLK", c, 0, title, title, interop::csvCell(rows, c, 0), false);
    }
    for (int r = 1; r < grid.RowCount(); ++r) {
        EXPECT_EQ(interop::csvCell(rows, 0, r), "") << "column 0 holds no data";
        for (int c = 1; c < grid.ColCount(); ++c) {
            ++cells;
            const QString text = grid.Cells(c, r);
            const tvorcolumntype type = grid.columns()->GeTmColumn(c)->gettype();
            QString expected = withLineFeeds(text);
            if (type == ftcheckbox)
                expected = text.isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            failures += !compare("SYLK", c, r, text, expected, interop::csvCell(rows, c, r),
                                 type == ftnumeric);
        }
    }
    printReport("SYLK", cells);
    EXPECT_EQ(failures, 0);
}

TEST_F(LibreOffice, ReadsEveryHtmlCellBackAsFarAsHtmlKeepsThem)
{
    grid.columns()->GeTmColumn(2)->SetHide(true); // left out of the table
    TStringList lines;
    const QString caption = QStringLiteral("Orders & <more> \"quoted\"");
    grid.SaveasHTML(caption, true, lines);
    const auto rows = convert(save("grid.html", lines), QStringLiteral("HTML (StarCalc)"));
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(interop::csvCell(rows, 0, 0), caption);
    const std::vector<int> written = {1, 3, 4};
    int cells = 0, failures = 0;
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (size_t i = 0; i < written.size(); ++i) {
            ++cells;
            const int c = written[i];
            const QString text = grid.Cells(c, r);
            QString expected = withLineFeeds(text);
            // What HTML itself cannot carry to a spreadsheet: a tab is white space.
            expected.replace(u'\t', u' ');
            const QString back = interop::csvCell(rows, int(i), r + 1);
            // LibreOffice turns number-like texts into numbers in any column, evaluates
            // formula-like texts, and drops a cell's only line break.
            QString reading;
            if (text.startsWith(u'='))
                reading = QStringLiteral("3"); // the one formula text of the grid, =1+2
            else if (expected == u"\n")
                reading = QStringLiteral("");
            failures += !compare("HTML", c, r, text, expected, back, true, reading);
        }
    }
    EXPECT_TRUE(interop::csvCell(rows, int(written.size()), 1).isEmpty()) << "hidden column written";
    printReport("HTML", cells);
    EXPECT_EQ(failures, 0);
}

} // namespace
