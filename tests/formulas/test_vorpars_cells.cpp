// TvorParser's cell functions over an in-memory grid, and the limits that keep
// self-referencing, deep and fanning-out formulas from crashing or hanging.
#include "formulas/memorygrid.h"
#include "formulas/printers.h"
#include "formulas/vorpars.h"

#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace vorgrd;
using vorgrd::test::MemoryGrid;

namespace {

QString errorOf(TvorParser &parser, const QString &text)
{
    try {
        parser.Exec(text);
    } catch (const ErxParserError &error) {
        return error.Message();
    }
    return QString();
}

QString nestingMessage()
{
    return QString::fromLatin1(ParserNestingMessage).arg(TvorParser::MaxNestingLevels);
}

QString circularMessage(int col, int row)
{
    return QString::fromLatin1(ParserCircularMessage).arg(col).arg(row);
}

// The deepest chain of cells the nesting bound admits below a top-level formula:
// the top-level expression takes one level, each referenced cell CellReferenceLevels.
constexpr int deepestCellChain =
    (TvorParser::MaxNestingLevels - 1) / TvorParser::CellReferenceLevels;

// Cells (1, 1) .. (1, length): each refers to the next, the last holds `last`.
void buildChain(MemoryGrid &grid, int length, const QString &last)
{
    for (int row = 1; row < length; ++row)
        grid.set(1, row, QStringLiteral("CELL(1;%1)").arg(row + 1));
    grid.set(1, length, last);
}

QString nested(const QString &open, const QString &inner, const QString &close, int depth)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

class ParserCells : public ::testing::Test
{
protected:
    ParserCells() { parser.setGrid(&grid); }

    double eval(const QString &text)
    {
        parser.Exec(text);
        return parser.Value();
    }

    MemoryGrid grid;
    TvorParser parser;
};

} // namespace

TEST_F(ParserCells, CellReferencesEvaluateNestedFormulas)
{
    grid.set(1, 1, QStringLiteral("2"));
    grid.set(2, 1, QStringLiteral("CELL(1;1)*3"));
    EXPECT_EQ(eval(QStringLiteral("CELL(2;1)+1")), 7);
    EXPECT_EQ(eval(QStringLiteral("cell(1;1) * cell(2;1)")), 12);
    // The outer parser's state survives the nested evaluations.
    EXPECT_EQ(eval(QStringLiteral("(CELL(1;1)+CELL(2;1))*2")), 16);
}

TEST_F(ParserCells, CoordinatesAreTruncatedTowardZero)
{
    grid.set(1, 1, QStringLiteral("11"));
    grid.set(0, 1, QStringLiteral("5"));
    EXPECT_EQ(eval(QStringLiteral("CELL(1.9;1.2)")), 11);
    EXPECT_EQ(eval(QStringLiteral("CELL(-0.5;1)")), 5);
    EXPECT_EQ(eval(QStringLiteral("CELL(0.5+0.6;1)")), 11);
    for (const char *text : {"CELL(3E9;1)", "CELL(1;-3E9)", "COL(1E300)", "SUMROW(1;1E10)"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf(parser, QString::fromLatin1(text)),
                  QStringLiteral("Invalid float operation"));
    }
}

TEST_F(ParserCells, ColAndRowUseTheCurrentCellOfEachParser)
{
    grid.set(1, 5, QStringLiteral("10"));
    grid.set(3, 2, QStringLiteral("20"));
    grid.set(4, 5, QStringLiteral("COL(1)*2")); // its own row, 5
    parser.setCellCol(3);
    parser.setCellRow(5);
    EXPECT_EQ(eval(QStringLiteral("COL(1)+ROW(2)")), 30);
    parser.setCellCol(0);
    parser.setCellRow(0);
    EXPECT_EQ(eval(QStringLiteral("CELL(4;5)")), 20);
}

TEST_F(ParserCells, RangeFunctionsFollowTheGridsFocusedCell)
{
    for (int col = 1; col <= 3; ++col)
        grid.set(col, 4, QString::number(col));
    grid.set(2, 1, QStringLiteral("10"));
    grid.set(2, 2, QStringLiteral("30"));
    grid.currentRow = 4;
    grid.currentCol = 2;
    parser.setCellCol(7); // whichever cell holds the formula
    parser.setCellRow(9);
    EXPECT_EQ(eval(QStringLiteral("SUMROW(1;3)")), 6);
    EXPECT_EQ(eval(QStringLiteral("AVGROW(1;3)")), 2);
    EXPECT_EQ(eval(QStringLiteral("SUMCOL(1;2)")), 40);
    EXPECT_EQ(eval(QStringLiteral("AVGCOL(1;2)")), 20);
    EXPECT_EQ(eval(QStringLiteral("SUMROW(2.9;3.9)")), 5);
    EXPECT_EQ(eval(QStringLiteral("SUMROW(3;1)")), 0); // empty range
    EXPECT_EQ(eval(QStringLiteral("SUMCOL(5;4)")), 0);
    for (const char *text : {"AVGROW(3;1)", "AVGROW(2;1)", "AVGCOL(9;0)"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf(parser, QString::fromLatin1(text)),
                  QStringLiteral("Invalid float operation"));
    }
}

TEST_F(ParserCells, SummedCellsAreTheirOwnCurrentCell)
{
    grid.currentRow = 4;
    grid.set(1, 4, QStringLiteral("ROW(0)")); // column 1 of row 0
    grid.set(2, 4, QStringLiteral("COL(5)")); // column 5 of row 4
    grid.set(1, 0, QStringLiteral("100"));
    grid.set(5, 4, QStringLiteral("1"));
    EXPECT_EQ(eval(QStringLiteral("SUMROW(1;2)")), 101);
}

TEST_F(ParserCells, ErrorsOfReferencedCellsKeepTheirMessage)
{
    grid.set(1, 1, QStringLiteral("1/0"));
    grid.set(2, 1, QStringLiteral("SQRT(-1)"));
    grid.set(3, 1, QStringLiteral("(1"));
    grid.set(4, 1, QStringLiteral("CELL(2;1)"));
    const struct
    {
        const char *text;
        const char *message;
    } cases[] = {
        {"CELL(1;1)", "Divide by zero"},     {"SQRT(CELL(1;1))", "Divide by zero"},
        {"CELL(2;1)", "Sqr function error"}, {"CELL(4;1)+1", "Sqr function error"},
        {"CELL(3;1)", "Not cramp"},          {"CELL(9;9)", "Syntax error"}, // an empty cell
        {"1/CELL(9;9)", "Syntax error"}};
    parser.Exec(QStringLiteral("42"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(errorOf(parser, QString::fromLatin1(c.text)), QString::fromLatin1(c.message));
        EXPECT_EQ(parser.Value(), 42);
    }
}

TEST_F(ParserCells, FailureOfTheGridBecomesInvalidFloatOperation)
{
    class ThrowingGrid : public MemoryGrid
    {
    public:
        QString CellText(int col, int) const override
        {
            if (col == 1) throw std::runtime_error("disk on fire");
            throw EConvertError(QStringLiteral("not a number"));
        }
    } throwing;
    parser.setGrid(&throwing);
    EXPECT_EQ(errorOf(parser, QStringLiteral("CELL(1;1)")),
              QStringLiteral("Invalid float operation"));
    EXPECT_EQ(errorOf(parser, QStringLiteral("CELL(2;1)")),
              QStringLiteral("Invalid float operation"));
}

TEST(ParserCellsWithoutGrid, CellFunctionsRaiseAClearError)
{
    TvorParser parser;
    for (const char *text : {"CELL(1;1)", "COL(1)", "ROW(1)", "SUMROW(1;2)", "AVGCOL(1;1)"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf(parser, QString::fromLatin1(text)),
                  QString::fromLatin1(ParserNoGridMessage));
    }
}

// ---- limits -------------------------------------------------------------------

TEST_F(ParserCells, SelfReferenceIsReportedAsCircular)
{
    grid.set(1, 1, QStringLiteral("CELL(1;1)"));
    grid.set(2, 1, QStringLiteral("1+CELL(3;1)"));
    grid.set(3, 1, QStringLiteral("COL(2)*2")); // row 1: back to (2, 1)
    grid.set(4, 3, QStringLiteral("SUMROW(3;5)"));
    grid.set(3, 3, QStringLiteral("1"));
    grid.currentRow = 3;
    parser.setCellCol(1);
    parser.setCellRow(1);
    EXPECT_EQ(errorOf(parser, QStringLiteral("CELL(1;1)")), circularMessage(1, 1));
    const QString twoCells = errorOf(parser, QStringLiteral("CELL(2;1)"));
    EXPECT_TRUE(twoCells == circularMessage(2, 1) || twoCells == circularMessage(3, 1))
        << twoCells.toStdString();
    EXPECT_EQ(errorOf(parser, QStringLiteral("SUMROW(4;4)")), circularMessage(4, 3));
    // The parser is still usable afterwards.
    EXPECT_EQ(eval(QStringLiteral("CELL(3;3)+1")), 2);
}

TEST_F(ParserCells, CellChainsUpToTheBoundEvaluate)
{
    buildChain(grid, deepestCellChain, QStringLiteral("7"));
    EXPECT_EQ(eval(QStringLiteral("CELL(1;1)")), 7);
    buildChain(grid, deepestCellChain + 1, QStringLiteral("7"));
    EXPECT_EQ(errorOf(parser, QStringLiteral("CELL(1;1)")), nestingMessage());
}

TEST_F(ParserCells, ParenthesesAndArgumentsUpToTheBoundEvaluate)
{
    const int deepest = TvorParser::MaxNestingLevels - 1; // the text itself takes a level
    const QString open = QStringLiteral("("), close = QStringLiteral(")");
    EXPECT_EQ(eval(nested(open, QStringLiteral("1"), close, deepest)), 1);
    EXPECT_EQ(errorOf(parser, nested(open, QStringLiteral("1"), close, deepest + 1)),
              nestingMessage());
    const QString abs = QStringLiteral("ABS(");
    EXPECT_EQ(eval(nested(abs, QStringLiteral("-1"), close, deepest)), 1);
    EXPECT_EQ(errorOf(parser, nested(abs, QStringLiteral("-1"), close, deepest + 1)),
              nestingMessage());
}

TEST_F(ParserCells, HugeNestingFailsFast)
{
    // Unbalanced: refused by the parenthesis count before any evaluation.
    EXPECT_EQ(errorOf(parser, QString(100000, u'(')), QStringLiteral("Not cramp"));
    // Balanced: the nesting bound stops it.
    EXPECT_EQ(errorOf(parser, nested(QStringLiteral("("), QStringLiteral("1"), QStringLiteral(")"),
                                     100000)),
              nestingMessage());
    buildChain(grid, 100000, QStringLiteral("1"));
    EXPECT_EQ(errorOf(parser, QStringLiteral("CELL(1;1)")), nestingMessage());
}

TEST_F(ParserCells, FanningOutFormulasHitTheEvaluationBudget)
{
    // Each cell refers to the next twice: 2^60 evaluations without a budget.
    for (int row = 1; row < 60; ++row)
        grid.set(1, row, QStringLiteral("CELL(1;%1)+CELL(1;%1)").arg(row + 1));
    grid.set(1, 60, QStringLiteral("1"));
    const QString complex = QString::fromLatin1(ParserComplexityMessage)
                                .arg(TvorParser::MaxCellEvaluations)
                                .arg(TvorParser::MaxCellTextLength);
    EXPECT_EQ(errorOf(parser, QStringLiteral("CELL(1;1)")), complex);
    // The budget is per Exec: a small fan-out right after works.
    EXPECT_EQ(eval(QStringLiteral("CELL(1;55)")), 32);

    // Half the text budget per cell: one cell is fine, the second is too much.
    class LongCells : public MemoryGrid
    {
    public:
        QString text = QString(TvorParser::MaxCellTextLength / 2, u' ') + QStringLiteral("1");
        QString CellText(int, int) const override { return text; }
    } longCells;
    parser.setGrid(&longCells);
    EXPECT_EQ(eval(QStringLiteral("SUMROW(1;1)")), 1);
    EXPECT_EQ(errorOf(parser, QStringLiteral("SUMROW(1;2)")), complex);
}

TEST_F(ParserCells, ManyEvaluationsAcrossExecsAreNotCapped)
{
    for (int col = 0; col < 1000; ++col)
        grid.set(col, 0, QStringLiteral("1"));
    for (int i = 0; i < 1100; ++i) // 1.1 million cell evaluations in all
        ASSERT_EQ(eval(QStringLiteral("SUMROW(0;999)")), 1000);
}

// ---- the nesting bound on a small stack ---------------------------------------

namespace {

// Evaluates each text on a thread whose stack is only 256 KiB and reports the
// message each raised ("" for success). A stack overflow here would kill the test
// program, so passing proves the bound fits the stack. Measured need of the
// deepest admitted formulas: about 112 KiB optimised, 160 KiB at -O0. Under
// AddressSanitizer (-O0, a redzone around every local) it is about 256 KiB, so that
// build gives the thread twice the stack; the bound itself is the same everywhere.
QStringList evaluateOnSmallStack(GridCellReader *grid, const QStringList &texts)
{
#if defined(__SANITIZE_ADDRESS__)
    constexpr uint stackSize = 2 * 256 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    constexpr uint stackSize = 2 * 256 * 1024;
#else
    constexpr uint stackSize = 256 * 1024;
#endif
#else
    constexpr uint stackSize = 256 * 1024;
#endif
    QStringList messages;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        TvorParser parser;
        parser.setGrid(grid);
        for (const QString &text : texts)
            messages.append(errorOf(parser, text));
    }));
    thread->setStackSize(stackSize);
    thread->start();
    thread->wait();
    return messages;
}

} // namespace

TEST(ParserStack, DeepestAdmittedFormulasFitInASmallStack)
{
    MemoryGrid grid;
    // A chain of cells as deep as admitted whose last cell nests function calls as
    // deep as the remaining levels admit: the most stack the bound allows.
    const int chain = deepestCellChain;
    const int remaining =
        TvorParser::MaxNestingLevels - 1 - chain * TvorParser::CellReferenceLevels;
    grid.set(9, 9, QStringLiteral("9"));
    buildChain(
        grid, chain,
        nested(QStringLiteral("SQRT("), QStringLiteral("1"), QStringLiteral(")"), remaining));
    const int deepest = TvorParser::MaxNestingLevels - 1;
    const QStringList texts = {
        nested(QStringLiteral("("), QStringLiteral("1"), QStringLiteral(")"), deepest),
        nested(QStringLiteral("SIN("), QStringLiteral("0"), QStringLiteral(")"), deepest),
        // The innermost CELL is read at the level of the argument around it.
        nested(QStringLiteral("CELL(9;"), QStringLiteral("9"), QStringLiteral(")"),
               TvorParser::MaxNestingLevels - TvorParser::CellReferenceLevels),
        QStringLiteral("CELL(1;1)")};
    EXPECT_EQ(evaluateOnSmallStack(&grid, texts), QStringList(texts.size(), QString()));
}

TEST(ParserStack, TooDeepFormulasFailCleanlyOnASmallStack)
{
    MemoryGrid grid;
    buildChain(grid, 100000, QStringLiteral("1"));
    grid.set(5, 5, QStringLiteral("CELL(5;5)"));
    const QStringList texts = {
        nested(QStringLiteral("("), QStringLiteral("1"), QStringLiteral(")"), 100000),
        nested(QStringLiteral("EXP("), QStringLiteral("0"), QStringLiteral(")"), 100000),
        QStringLiteral("CELL(1;1)"), QStringLiteral("CELL(5;5)"), QString(100000, u'(')};
    const QStringList expected = {nestingMessage(), nestingMessage(), nestingMessage(),
                                  circularMessage(5, 5), QStringLiteral("Not cramp")};
    EXPECT_EQ(evaluateOnSmallStack(&grid, texts), expected);
}
