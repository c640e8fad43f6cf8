// HTML and SYLK export: the records line by line, the escaping that keeps markup and
// records intact, hidden columns, numeric and check-box cells, and round trips of
// hostile texts through an independent reader.
#include "exchange/exportreader.h"
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

const QChar Esc(0x1B);

struct Export : ::testing::Test
{
    tvorgrid grid;

    void shape(int cols, int rows)
    {
        grid.setFixedCols(0);
        grid.setFixedRows(0);
        grid.setColCount(cols);
        grid.setRowCount(rows);
    }
    void type(int col, tvorcolumntype t) { grid.columns()->GeTmColumn(col)->settype(t); }
    QStringList sylk()
    {
        TStringList lines;
        grid.SaveasSYLK(lines);
        return lines.toStringList();
    }
    QStringList html(const QString &caption = {}, bool onTop = true)
    {
        TStringList lines;
        grid.SaveasHTML(caption, onTop, lines);
        return lines.toStringList();
    }
};

// ---- SYLK -----------------------------------------------------------------------------

TEST_F(Export, SylkWritesIdBoundsTitlesOverEveryColumnThenDataFromColumnOne)
{
    shape(3, 3);
    grid.columns()->GeTmColumn(0)->SetcolumnName("No");
    grid.columns()->GeTmColumn(1)->SetcolumnName("Name");
    grid.columns()->GeTmColumn(2)->SetcolumnName("Qty");
    grid.setshowtitles(true);
    type(2, ftnumeric);
    grid.setCells(0, 1, "fixed");
    grid.setCells(1, 1, "Ann");
    grid.setCells(2, 1, "12.5");
    grid.setCells(1, 2, "Bob");
    grid.setCells(2, 2, "-3");
    EXPECT_EQ(sylk(), QStringList({"ID;VORGRID.SYLK", "B;Y3;X3", "C;Y1;X1;K\"No\"",
                                   "C;Y1;X2;K\"Name\"", "C;Y1;X3;K\"Qty\"", "C;Y2;X2;K\"Ann\"",
                                   "C;Y2;X3;K12.5", "C;Y3;X2;K\"Bob\"", "C;Y3;X3;K-3", "E"}));
}

TEST_F(Export, SylkWithoutTitlesStartsAtRowZeroAndReplacesTheList)
{
    shape(2, 2);
    grid.setCells(1, 0, "first");
    grid.setCells(1, 1, "second");
    TStringList lines;
    lines.Add("old line");
    grid.SaveasSYLK(lines);
    EXPECT_EQ(lines.toStringList(), QStringList({"ID;VORGRID.SYLK", "B;Y2;X2", "C;Y1;X2;K\"first\"",
                                                 "C;Y2;X2;K\"second\"", "E"}));
}

TEST_F(Export, SylkOfOneColumnHasOnlyIdBoundsTitlesAndEnd)
{
    shape(1, 4);
    grid.setshowtitles(true);
    grid.setCells(0, 2, "never exported");
    EXPECT_EQ(sylk(), QStringList({"ID;VORGRID.SYLK", "B;Y4;X1", "C;Y1;X1;K\"column 1\"", "E"}));
    grid.setshowtitles(false);
    EXPECT_EQ(sylk(), QStringList({"ID;VORGRID.SYLK", "B;Y4;X1", "E"}));
}

TEST_F(Export, SylkCheckBoxesAreTrueOrFalseInQuotes)
{
    shape(2, 3);
    type(1, ftcheckbox);
    grid.setCells(1, 0, "Y");
    grid.setCells(1, 2, "anything");
    const QStringList lines = sylk();
    EXPECT_EQ(lines[2], "C;Y1;X2;K\"TRUE\"");
    EXPECT_EQ(lines[3], "C;Y2;X2;K\"FALSE\"");
    EXPECT_EQ(lines[4], "C;Y3;X2;K\"TRUE\"");
}

TEST_F(Export, SylkNumericCellsAreNumbersOnlyWhenTheirTextIsOne)
{
    const QStringList texts = {"12.5", "1e3", "007", "", "abc", " 12", "12 ", "3;4", "1e999"};
    shape(2, int(texts.size()));
    type(1, ftnumeric);
    for (int r = 0; r < texts.size(); ++r)
        grid.setCells(1, r, texts[r]);
    const QStringList lines = sylk();
    const QStringList values = {"K12.5", "K1e3", "K007", "K\"\"", "K\"abc\"", "K\" 12\"",
                                "K\"12 \"", "K\"3;;4\"", "K\"1e999\""};
    for (int r = 0; r < texts.size(); ++r)
        EXPECT_TRUE(lines[2 + r].endsWith(";" + values[r])) << lines[2 + r].toStdString();
}

TEST_F(Export, SylkWritesANumberWithTheSettingsDecimalCommaWithAPoint)
{
    FormatSettings german = FormatSettings::invariant();
    german.DecimalSeparator = u',';
    german.ThousandSeparator = u'.';
    test::PinnedSettings pinned(german);
    shape(2, 2);
    type(1, ftnumeric);
    grid.setCells(1, 0, "12,5");
    grid.setCells(1, 1, "12.5");
    const QStringList lines = sylk();
    EXPECT_EQ(lines[2], "C;Y1;X2;K12.5");
    EXPECT_EQ(lines[3], "C;Y2;X2;K12.5");
}

TEST_F(Export, SylkTextsDoubleSemicolonsAndKeepEveryRecordOnOneLine)
{
    shape(2, 4);
    grid.setCells(1, 0, "a;b;;c");
    grid.setCells(1, 1, "line1\r\nline2\nline3\rline4");
    grid.setCells(1, 2, "say \"hi\"");
    type(1, ftformula);
    grid.setCells(1, 3, "COL(1)*2");
    const QStringList lines = sylk();
    EXPECT_EQ(lines[2], "C;Y1;X2;K\"a;;b;;;;c\"");
    EXPECT_EQ(lines[3], QString("C;Y2;X2;K\"line1") + Esc + " :line2" + Esc + " :line3" + Esc
                            + " :line4\"");
    EXPECT_EQ(lines[4], "C;Y3;X2;K\"say \"hi\"\"");
    EXPECT_EQ(lines[5], "C;Y4;X2;K\"COL(1)*2\"");
    for (const QString &line : lines)
        EXPECT_FALSE(line.contains(u'\n') || line.contains(u'\r'));
}

TEST_F(Export, SylkWritesHiddenColumnsLikeTheOthers)
{
    shape(3, 1);
    grid.columns()->GeTmColumn(1)->SetHide(true);
    grid.setCells(1, 0, "hidden");
    grid.setCells(2, 0, "shown");
    EXPECT_EQ(sylk(), QStringList({"ID;VORGRID.SYLK", "B;Y1;X3", "C;Y1;X2;K\"hidden\"",
                                   "C;Y1;X3;K\"shown\"", "E"}));
}

// ---- HTML -----------------------------------------------------------------------------

TEST_F(Export, HtmlWritesTheTableLineByLineWithTheCaptionOnTop)
{
    shape(3, 3);
    grid.setshowtitles(true);
    grid.columns()->GeTmColumn(1)->SetcolumnName("Name");
    grid.columns()->GeTmColumn(2)->SetcolumnName("Qty");
    grid.setshowtitles(true);
    grid.setCells(0, 1, "not written");
    grid.setCells(1, 1, "Ann");
    grid.setCells(2, 1, "3");
    grid.setCells(1, 2, "Bob");
    EXPECT_EQ(html("Orders"),
              QStringList({"<table border=1>", "<tr><th nowrap colspan=2>Orders</th></tr>", "<tr>",
                           "<th nowrap>Name</th>", "<th nowrap>Qty</th>", "</tr>", "<tr>",
                           "<td nowrap>Ann</td>", "<td nowrap>3</td>", "</tr>", "<tr>",
                           "<td nowrap>Bob</td>", "<td nowrap><br></td>", "</tr>", "</table><p>"}));
}

TEST_F(Export, HtmlCaptionBelowGoesAfterTheBodyAndAnEmptyCaptionIsNotWritten)
{
    shape(2, 2);
    grid.setCells(1, 1, "x");
    const QStringList below = html("Sum", false);
    EXPECT_EQ(below.mid(below.size() - 2),
              QStringList({"<tr><th nowrap colspan=1>Sum</th></tr>", "</table><p>"}));
    EXPECT_EQ(below[1], "<tr>");
    for (bool onTop : {true, false})
        for (const QString &line : html(QString(), onTop))
            EXPECT_FALSE(line.contains("colspan"));
}

TEST_F(Export, HtmlOfOneColumnHasEmptyRows)
{
    shape(1, 3);
    grid.setCells(0, 1, "fixed only");
    EXPECT_EQ(html("C"), QStringList({"<table border=1>", "<tr><th nowrap colspan=0>C</th></tr>",
                                      "<tr>", "</tr>", "<tr>", "</tr>", "<tr>", "</tr>",
                                      "</table><p>"}));
}

TEST_F(Export, HtmlAppendsSoTwoCallsGiveTwoTablesAfterTheLinesThere)
{
    shape(2, 2);
    grid.setCells(1, 1, "one");
    TStringList lines;
    lines.Add("<h1>Report</h1>");
    grid.SaveasHTML("First", true, lines);
    grid.setCells(1, 1, "two");
    grid.SaveasHTML("Second", false, lines);
    const QStringList all = lines.toStringList();
    ASSERT_EQ(all.front(), "<h1>Report</h1>");
    qsizetype next = 0;
    const auto first = exportreader::readHtml(all, 1, &next);
    const auto second = exportreader::readHtml(all, next, &next);
    ASSERT_TRUE(first.ok && second.ok) << first.error.toStdString() << second.error.toStdString();
    EXPECT_EQ(next, all.size());
    EXPECT_EQ(first.body, QList<QStringList>({{"one"}}));
    EXPECT_EQ(second.body, QList<QStringList>({{"two"}}));
    EXPECT_EQ(first.caption, "First");
    EXPECT_TRUE(first.captionOnTop);
    EXPECT_FALSE(second.captionOnTop);
}

TEST_F(Export, HtmlEscapesMarkupInCellsAndCaption)
{
    shape(2, 2);
    grid.setCells(1, 0, "<b>&\"");
    grid.setCells(1, 1, "</td><script>x</script>");
    const QStringList lines = html("A & <B>");
    EXPECT_EQ(lines[1], "<tr><th nowrap colspan=1>A &amp; &lt;B&gt;</th></tr>");
    EXPECT_EQ(lines[3], "<th nowrap>&lt;b&gt;&amp;&quot;</th>");
    EXPECT_EQ(lines[6], "<td nowrap>&lt;/td&gt;&lt;script&gt;x&lt;/script&gt;</td>");
}

TEST_F(Export, HtmlKeepsBlanksTabsAndLineBreaksThatHtmlWouldCollapse)
{
    shape(2, 6);
    grid.setCells(1, 1, " two  blanks ");
    grid.setCells(1, 2, "a\tb");
    grid.setCells(1, 3, "a\r\nb\nc\rd");
    grid.setCells(1, 4, "\n");
    grid.setCells(1, 5, "one space");
    const QStringList lines = html();
    EXPECT_EQ(lines[5], "<td nowrap>&nbsp;two &nbsp;blanks&nbsp;</td>");
    EXPECT_EQ(lines[8], "<td nowrap>a&#9;b</td>");
    EXPECT_EQ(lines[11], "<td nowrap>a<br>b<br>c<br>d</td>");
    EXPECT_EQ(lines[14], "<td nowrap>&#10;</td>");
    EXPECT_EQ(lines[17], "<td nowrap>one space</td>");
}

TEST_F(Export, HtmlLeavesHiddenColumnsOutOfEveryRowAndTheSpan)
{
    shape(4, 2);
    grid.columns()->GeTmColumn(2)->SetHide(true);
    grid.columns()->GeTmColumn(0)->SetHide(true); // column 0 is never written anyway
    for (int c = 0; c < 4; ++c) {
        grid.setCells(c, 0, QString("t%1").arg(c));
        grid.setCells(c, 1, QString("d%1").arg(c));
    }
    const auto table = exportreader::readHtml(html("Cap"));
    ASSERT_TRUE(table.ok) << table.error.toStdString();
    EXPECT_EQ(table.captionSpan, 2);
    EXPECT_EQ(table.header, QStringList({"t1", "t3"}));
    EXPECT_EQ(table.body, QList<QStringList>({{"d1", "d3"}}));
}

// A list that refuses its fourth line, as a list at the end of its memory would.
struct FullList : TStringList
{
    int updates = 0;
    void Insert(int index, const QString &text) override
    {
        if (Count() == 3) throw EListError("list full");
        TStringList::Insert(index, text);
    }
    void SetUpdateState(bool updating) override { updates += updating ? 1 : -1; }
};

TEST_F(Export, AFailingListIsLeftOutOfItsUpdateBracket)
{
    shape(3, 3);
    FullList lines;
    EXPECT_THROW(grid.SaveasSYLK(lines), EListError);
    EXPECT_EQ(lines.UpdateCount(), 0);
    EXPECT_EQ(lines.updates, 0);
    lines.Clear();
    EXPECT_THROW(grid.SaveasHTML("c", true, lines), EListError);
    EXPECT_EQ(lines.UpdateCount(), 0);
    EXPECT_EQ(lines.updates, 0);
}

// ---- round trips ----------------------------------------------------------------------

const QStringList hostileTexts = {
    "plain", "semi;colon", ";;", "\"quoted\"", "\"", "tab\there", "two\nlines", "crlf\r\nend",
    "<b>bold</b>", "a & b", "Grüße, 東京, emoji 😀", " lead", "trail ", "a  b", "", "\n",
    "=1+2", "12.5", "007", "\x1b[0m",
};

QString withLineFeeds(QString text)
{
    // Both formats have one line break; a CR LF or CR inside a cell reads back as LF.
    return text.replace("\r\n", "\n").replace('\r', '\n');
}

TEST_F(Export, HostileTextsComeBackFromBothExportsThroughAnIndependentReader)
{
    shape(4, int(hostileTexts.size()) + 1);
    grid.setshowtitles(true);
    type(3, ftnumeric);
    for (int i = 0; i < hostileTexts.size(); ++i) {
        grid.setCells(1, i + 1, hostileTexts[i]);
        grid.setCells(2, i + 1, hostileTexts[hostileTexts.size() - 1 - i]);
        grid.setCells(3, i + 1, hostileTexts[i]);
    }
    const auto s = exportreader::readSylk(sylk());
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    const auto h = exportreader::readHtml(html("<caption> & \"more\""));
    ASSERT_TRUE(h.ok) << h.error.toStdString();
    EXPECT_EQ(h.caption, "<caption> & \"more\"");
    ASSERT_EQ(h.body.size(), hostileTexts.size());
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 1; c < 4; ++c) {
            const QString text = grid.Cells(c, r);
            EXPECT_EQ(s.cells.value({c, r}), withLineFeeds(text)) << c << "," << r;
            EXPECT_EQ(h.body[r - 1][c - 1], withLineFeeds(text)) << c << "," << r;
        }
    }
}

} // namespace
