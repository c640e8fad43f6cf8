// The clipboard: the text and HTML a copy offers, cutting, what a paste writes where
// and how the grid grows (checked against growing one step at a time), and the three
// shortcuts with and without an open editor.
#include "formulas/printers.h"
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"
#include "support/delimitedreference.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

struct Clipboard : ::testing::Test
{
    tvorgrid grid;

    void SetUp() override { clipboard()->clear(); }
    void fill()
    {
        for (int r = 0; r < grid.RowCount(); ++r)
            for (int c = 0; c < grid.ColCount(); ++c)
                grid.setCells(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
    }
    void select(int left, int top, int right, int bottom)
    {
        grid.setOptions(grid.Options() | goRangeSelect);
        grid.setSelection(TGridRect{left, top, right, bottom});
    }
    QString row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << grid.Cells(c, r);
        return cells.join(u'|');
    }
};

// ---- copying -----------------------------------------------------------------------

TEST_F(Clipboard, ACopyJoinsCellsWithTabsAndRowsWithCrLfAndNoFinalBreak)
{
    grid.setCells(1, 1, QStringLiteral("a"));
    grid.setCells(2, 1, QStringLiteral("b"));
    grid.setCells(1, 2, QStringLiteral("c"));
    grid.setCells(2, 2, QStringLiteral("d"));
    select(1, 1, 2, 2);
    grid.CopyToClipboard();
    EXPECT_EQ(clipboard()->text(), QStringLiteral("a\tb\r\nc\td"));
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("a"));
}

TEST_F(Clipboard, ACopyAlsoOffersTheCellsAsAnEscapedHtmlTable)
{
    grid.setCells(1, 1, QStringLiteral("<b>&\"x\"</b>"));
    grid.setCells(2, 1, QStringLiteral("two\r\nlines"));
    select(1, 1, 2, 1);
    grid.CopyToClipboard();
    const QMimeData *data = clipboard()->mimeData();
    ASSERT_TRUE(data->hasHtml());
    const QString html = data->html();
    EXPECT_TRUE(html.contains(QLatin1String(
        "<tr><td>&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;</td><td>two<br>lines</td></tr>")))
        << qPrintable(html);
    EXPECT_FALSE(html.contains(QLatin1String("<b>")));
    EXPECT_EQ(data->text(), QStringLiteral("\"<b>&\"\"x\"\"</b>\"\t\"two\r\nlines\""));
}

// What another program reads of half a surrogate pair is U+FFFD, in both flavours,
// as a file gets it.
TEST_F(Clipboard, HalfASurrogatePairIsOfferedAsTheReplacementCharacter)
{
    grid.setCells(1, 1, QString(QChar(0xD83D)) + QStringLiteral("x"));
    grid.setCells(2, 1, QStringLiteral("y") + QChar(0xDE00) + QString::fromUtf8("\xF0\x9F\x98\x80"));
    select(1, 1, 2, 1);
    grid.CopyToClipboard();
    const QString expected = QString(QChar(0xFFFD)) + QStringLiteral("x\ty") + QChar(0xFFFD) +
                             QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(clipboard()->text(), expected);
    const QString html = clipboard()->mimeData()->html();
    EXPECT_TRUE(html.contains(QStringLiteral("<td>") + QChar(0xFFFD) + QStringLiteral("x</td>")))
        << qPrintable(html);
    EXPECT_FALSE(html.contains(QChar(0xD83D) + QStringLiteral("x")));
}

TEST_F(Clipboard, ACutEmptiesOnlyTheSelectionAndASaveTakesEveryCell)
{
    grid.setColCount(3);
    grid.setRowCount(3);
    fill();
    select(1, 1, 2, 1);
    grid.CutToClipboard();
    EXPECT_EQ(clipboard()->text(), QStringLiteral("b1\tc1"));
    EXPECT_EQ(row(1), QStringLiteral("a1||"));
    EXPECT_EQ(row(2), QStringLiteral("a2|b2|c2"));
    grid.SaveToClipboard();
    EXPECT_EQ(clipboard()->text(), QStringLiteral("a0\tb0\tc0\r\na1\t\t\r\na2\tb2\tc2"));
}

// ---- pasting -----------------------------------------------------------------------

TEST_F(Clipboard, APasteAtTheLastCellGrowsOneColumnAndOneRowBeyondTheBlock)
{
    grid.setColCount(3);
    grid.setRowCount(3);
    grid.FocusCell(2, 2, true);
    clipboard()->setText(QStringLiteral("a\tb\r\nc\td"));
    grid.PasteFromClipboard();
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(row(2), QStringLiteral("||a|b|"));
    EXPECT_EQ(row(3), QStringLiteral("||c|d|"));
    EXPECT_EQ(row(4), QStringLiteral("||||"));
    EXPECT_EQ(grid.RowMarks()->toStringList(), QStringList(5, QStringLiteral("N")));
    EXPECT_EQ(grid.columns()->GeTmColumn(4)->columnName(), QStringLiteral("column 5"));
    grid.checkConsistency();
}

// What every spreadsheet copies ends with a line break: it ends the last line.
TEST_F(Clipboard, ALineBreakAtTheEndOfTheTextEndsTheLastLineAndWritesNothing)
{
    for (const QString &text : {QStringLiteral("x\ty\r\n"), QStringLiteral("x\ty\n"), QStringLiteral("x\ty\r")}) {
        fill();
        grid.PasteText(text);
        EXPECT_EQ(row(1), QStringLiteral("a1|x|y|d1|e1"));
        EXPECT_EQ(row(2), QStringLiteral("a2|b2|c2|d2|e2"));
    }
    // A text that is one line break is one empty line.
    fill();
    grid.PasteText(QStringLiteral("\n"));
    EXPECT_EQ(row(1), QStringLiteral("a1||c1|d1|e1"));
    EXPECT_EQ(row(2), QStringLiteral("a2|b2|c2|d2|e2"));
}

// What Linux and macOS programs put on the clipboard ends its lines with LF.
TEST_F(Clipboard, LfCrLfAndALoneCrAllEndALine)
{
    fill();
    grid.PasteText(QStringLiteral("a\tb\nc\td\re\r\nf"));
    EXPECT_EQ(row(1), QStringLiteral("a1|a|b|d1|e1"));
    EXPECT_EQ(row(2), QStringLiteral("a2|c|d|d2|e2"));
    EXPECT_EQ(row(3), QStringLiteral("a3|e|c3|d3|e3"));
    EXPECT_EQ(row(4), QStringLiteral("a4|f|c4|d4|e4"));
}

// As LibreOffice and Excel copy cells that hold tabs, quotes or line breaks.
TEST_F(Clipboard, QuotedFieldsPasteWithTheirTabsQuotesAndLineBreaks)
{
    fill();
    grid.PasteText(QStringLiteral("\"Walnuts,\tshelled\"\t\"two\nlines\"\t\"say \"\"hi\"\"\"\n5\t\t\"\"\n"));
    EXPECT_EQ(row(1), QStringLiteral("a1|Walnuts,\tshelled|two\nlines|say \"hi\"|e1"));
    EXPECT_EQ(row(2), QStringLiteral("a2|5|||e2"));
    EXPECT_EQ(row(3), QStringLiteral("a3|b3|c3|d3|e3"));
    // A byte-order mark that came along is no part of the first cell.
    grid.PasteText(QChar(0xFEFF) + QStringLiteral("m"));
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("m"));
}

// Whatever the cells hold, a copy pastes back into the same cells.
TEST_F(Clipboard, ACopyPastesBackExactlyWhateverTheCellsHold)
{
    QRandomGenerator random(3);
    const QString pieces[] = {"a", "\t", "\"", "\r\n", "\n", "\r", " ", QString::fromUtf8("\xC3\xA9"), ""};
    for (int round = 0; round < 40; ++round) {
        tvorgrid source;
        source.setFixedCols(0);
        source.setFixedRows(0);
        source.setColCount(1 + round % 3);
        source.setRowCount(1 + round % 4);
        for (int r = 0; r < source.RowCount(); ++r)
            for (int c = 0; c < source.ColCount(); ++c) {
                QString text;
                for (int k = random.bounded(4); k > 0; --k)
                    text += pieces[random.bounded(int(std::size(pieces)))];
                source.setCells(c, r, text);
            }
        source.SaveToClipboard();
        tvorgrid target;
        target.setColCount(6);
        target.setRowCount(7);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 6; ++c)
                target.setCells(c, r, QStringLiteral("old"));
        target.FocusCell(1, 1, true);
        target.PasteFromClipboard();
        for (int r = 0; r < source.RowCount(); ++r)
            for (int c = 0; c < source.ColCount(); ++c)
                ASSERT_EQ(target.Cells(c + 1, r + 1), source.Cells(c, r))
                    << c << "," << r << " of " << qPrintable(clipboard()->text());
        // Nothing beyond the block was written.
        EXPECT_EQ(target.Cells(1, source.RowCount() + 1), QStringLiteral("old"));
        EXPECT_EQ(target.Cells(source.ColCount() + 1, 1), QStringLiteral("old"));
    }
}

TEST_F(Clipboard, ALoneCrEndsALineWithoutSwallowingTheNextCharacter)
{
    grid.PasteText(QStringLiteral("a\rbc\r\rd"));
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("a"));
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("bc"));
    EXPECT_EQ(grid.Cells(1, 3), QString());
    EXPECT_EQ(grid.Cells(1, 4), QStringLiteral("d"));
}

TEST_F(Clipboard, TheStartIsTheCursorOrTheSelectionsTopLeftCell)
{
    select(2, 1, 3, 2); // the current cell is the bottom-right corner
    grid.PasteText(QStringLiteral("s"));
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("s"));
    grid.setPasteToCursor(true);
    grid.PasteText(QStringLiteral("c"));
    EXPECT_EQ(grid.Cells(3, 2), QStringLiteral("c"));
}

TEST_F(Clipboard, LongCellsArePastedWhole)
{
    const QString longText(1000, u'x');
    grid.PasteText(longText + u'\t' + longText + QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(grid.Cells(1, 1), longText);
    EXPECT_EQ(grid.Cells(2, 1), longText + QString::fromUtf8("\xF0\x9F\x98\x80"));
}

TEST_F(Clipboard, NoTextOnTheClipboardPastesNothing)
{
    fill();
    const int cols = grid.ColCount(), rows = grid.RowCount();
    grid.PasteFromClipboard();
    grid.PasteText(QString());
    EXPECT_EQ(grid.ColCount(), cols);
    EXPECT_EQ(grid.RowCount(), rows);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("b1"));
}

TEST_F(Clipboard, APasteThatWouldGrowPastTheLimitChangesNothing)
{
    fill();
    const QString wide = QString(tvorgrid::MaxInsertColCount, u'\t');
    EXPECT_THROW(grid.PasteText(wide), ERangeError);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("b1"));
}

// The growth as one step per cell and per line would do it, over the records of a
// reading written apart from the library's: the reference the paste must match.
void pasteStepByStep(tvorgrid &grid, QString text)
{
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    const TGridRect selection = grid.Selection();
    const int startCol = grid.PasteToCursor() ? grid.Col() : selection.Left;
    int row = grid.PasteToCursor() ? grid.Row() : selection.Top;
    for (const auto &record : testing_reference::records(text, QStringLiteral("\t"))) {
        int col = startCol;
        for (const QString &cell : record.fields) {
            grid.setCells(col, row, cell);
            if (++col >= grid.ColCount()) grid.setColCount(col + 1);
        }
        if (++row >= grid.RowCount()) grid.setRowCount(row + 1);
    }
}

TEST_F(Clipboard, GrowingAtOnceEqualsGrowingStepByStep)
{
    QRandomGenerator random(7);
    const QString pieces[] = {"a", "bb", "\t", "\t", "\r\n", "\r", "\n", "\"", "\"\"", QString::fromUtf8("\xC3\xA9")};
    for (int round = 0; round < 60; ++round) {
        tvorgrid ours, reference;
        for (tvorgrid *g : {&ours, &reference}) {
            g->setColCount(2 + round % 4);
            g->setRowCount(3 + round % 3);
            g->setOptions(g->Options() | goRangeSelect);
            g->setPasteToCursor(round % 2);
            g->columns()->GeTmColumn(1)->settype(ftnumeric);
            g->RowMarks()->setStrings(1, QStringLiteral("Y"));
            g->setCells(0, 1, QStringLiteral("kept"));
            g->FocusCell(g->ColCount() - 1 - round % 2, 1 + round % 2, true);
        }
        QString text;
        const int length = random.bounded(25);
        for (int k = 0; k < length; ++k)
            text += pieces[random.bounded(int(std::size(pieces)))];
        ours.PasteText(text);
        pasteStepByStep(reference, text);
        ASSERT_EQ(ours.ColCount(), reference.ColCount()) << qPrintable(text);
        ASSERT_EQ(ours.RowCount(), reference.RowCount()) << qPrintable(text);
        for (int r = 0; r < ours.RowCount() + 2; ++r)
            for (int c = 0; c < ours.ColCount() + 2; ++c)
                ASSERT_EQ(ours.Cells(c, r), reference.Cells(c, r)) << c << "," << r << " of " << qPrintable(text);
        EXPECT_EQ(ours.RowMarks()->toStringList(), reference.RowMarks()->toStringList());
        for (int c = 0; c < ours.ColCount(); ++c) {
            EXPECT_EQ(ours.columns()->GeTmColumn(c)->columnName(),
                      reference.columns()->GeTmColumn(c)->columnName());
            EXPECT_EQ(ours.columns()->GeTmColumn(c)->gettype(),
                      reference.columns()->GeTmColumn(c)->gettype());
            EXPECT_EQ(ours.ColWidths(c), reference.ColWidths(c));
        }
        ours.checkConsistency();
    }
}

// ---- pasting an HTML table -----------------------------------------------------------

// Puts text/plain (when not null) and text/html on the clipboard, pastes at (1, 1) of
// a grid of 2 x 2 cells and returns the rows of the pasted block, cells joined by "|".
QStringList pastedRows(const QString &plain, const QString &html)
{
    auto *data = new QMimeData;
    if (!plain.isNull()) data->setText(plain);
    data->setHtml(html);
    clipboard()->setMimeData(data);
    tvorgrid grid;
    grid.setColCount(2);
    grid.setRowCount(2);
    grid.PasteFromClipboard(); // at (1, 1): the grid grows one beyond the block
    QStringList rows;
    for (int r = 1; r + 1 < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c + 1 < grid.ColCount(); ++c)
            cells << grid.Cells(c, r);
        rows << cells.join(u'|');
    }
    return rows;
}

// Without plain text the table is read as a browser shows it.
TEST_F(Clipboard, AnHtmlTableAloneIsPastedAsABrowserShowsIt)
{
    const struct
    {
        const char *what;
        QString html;
        QStringList rows;
    } cases[] = {
        {"blanks collapse, <br> and paragraphs break lines",
         "<table><tr><td>  a \n  b  </td><td>one<br>two<BR/> three</td><td><p>p1</p><p>p2</p></td></tr></table>",
         {"a b|one\ntwo\nthree|p1\np2"}},
        {"a <br> last in its cell shows no line", "<table><tr><td><br></td><td>a<br></td><td>b<br><br></td><td>&#10;</td></tr></table>",
         {"|a|b\n|\n"}},
        {"references", "<table><tr><td>&lt;&amp;&gt;&quot;&#39;&#x20AC;&euro;&nbsp;&nbsp;x &bogus; a&b</td></tr></table>",
         {QString::fromUtf8("<&>\"'\xE2\x82\xAC\xE2\x82\xAC\xC2\xA0\xC2\xA0x &bogus; a&b")}},
        {"head, styles, scripts, comments, caption and sections are no text",
         "<!DOCTYPE html><html><head><title>T</title><style>td{}</style></head><body><!--StartFragment-->"
         "<table border=1><caption>C</caption><colgroup><col></colgroup><thead><tr><th>h1</th><th>h2</th></tr></thead>"
         "<tbody><tr><td>x<script>y</script></td><td>z</td></tr></tbody></table><!--EndFragment--></body></html>",
         {"h1|h2", "x|z"}},
        {"spans keep the columns", "<table><tr><td colspan=2>a</td><td rowspan='2'>b</td><td>c</td></tr>"
                                   "<tr><td>d</td><td>e</td><td>f</td></tr><tr><td>g</td></tr></table>",
         {"a||b|c", "d|e||f", "g|||"}},
        {"end tags left out", "<table><tr><td>a<td>b<tr><td>c</table>", {"a|b", "c|"}},
        {"Windows' HTML Format header", "Version:0.9\r\nStartHTML:0000000105\r\n<html><body><table><tr><td>w</td></tr></table></body></html>",
         {"w"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pastedRows(QString(), c.html), c.rows) << c.what;
}

// LibreOffice and Excel quote their plain text exactly: it wins, and keeps what HTML
// collapses. A browser writes a cell's line break into the plain text as it stands:
// the table then keeps the cells in place.
TEST_F(Clipboard, APasteReadsTheTableWhereThePlainTextLostItsShape)
{
    const QString table = QStringLiteral("<table><tr><td>a  b</td><td>two<br>lines</td></tr></table>");
    EXPECT_EQ(pastedRows(QStringLiteral("a  b\t\"two\nlines\"\n"), table), QStringList{"a  b|two\nlines"});
    EXPECT_EQ(pastedRows(QStringLiteral("a  b\ttwo\nlines\n"), table), QStringList{"a b|two\nlines"});
    // Not a table alone: the plain text.
    EXPECT_EQ(pastedRows(QStringLiteral("p\tq"), QStringLiteral("<p>Intro</p>") + table), QStringList{"p|q"});
    EXPECT_EQ(pastedRows(QStringLiteral("p\tq"), table + table), QStringList{"p|q"});
    EXPECT_EQ(pastedRows(QStringLiteral("p\tq"), QStringLiteral("<b>no table</b>")), QStringList{"p|q"});
}

// ---- shortcuts ---------------------------------------------------------------------

TEST_F(Clipboard, ShortcutsCopyPasteAndCutOnlyWhenEnabled)
{
    fill();
    QList<char16_t> seen;
    grid.OnKeyPress = [&](QObject *, QChar &key) { seen << key.unicode(); };
    grid.show();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard()->text().isEmpty());

    grid.setEnableClipboardShortcuts(true);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard()->text(), QStringLiteral("b1"));
    QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(grid.Cells(1, 1), QString());
    clipboard()->setText(QStringLiteral("p\tq"));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("p"));
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("q"));
    // The base's handling follows every shortcut: the key event still fires.
    EXPECT_EQ(seen, (QList<char16_t>{3, 3, 24, 22}));
}

TEST_F(Clipboard, CtrlCWithTheEditorOpenIsLeftToTheEditor)
{
    grid.setOptions(grid.Options() | goEditing);
    grid.setEnableClipboardShortcuts(true);
    grid.setCells(1, 1, QStringLiteral("cell"));
    grid.setCells(2, 1, QStringLiteral("next"));
    grid.show();
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    TInplaceEdit *editor = grid.InplaceEditor();
    editor->setText(QStringLiteral("typed text"));
    editor->setSelection(0, 5);
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard()->text(), QStringLiteral("typed"));
    // Even a Ctrl+C that reaches the grid itself leaves the cells alone.
    clipboard()->clear();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard()->text().isEmpty());
    clipboard()->setText(QStringLiteral("x\ty"));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("next"));
}

} // namespace
