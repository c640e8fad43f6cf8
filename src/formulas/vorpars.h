#pragma once
// vorpars: TvorParser, the expression evaluator behind formula cells.
//
// A TvorParser evaluates a text as an arithmetic expression over doubles and keeps
// the result. It computes while it reads (recursive descent, no token list, no
// tree). Besides number literals an expression may use the constants E and PI and
// nineteen functions, seven of which read other cells of a grid through a
// GridCellReader; the text of a referenced cell is evaluated by a nested parser, so
// formulas build on each other. docs/parser.md describes the language for users.
//
// Typical use by the grid, once per painted formula cell:
//     parser.setGrid(this);                  // once
//     parser.setCellCol(c); parser.setCellRow(r);
//     parser.Exec(cellText);                 // throws ErxParserError on bad input
//     double v = parser.Value();
//
// Grammar (the text is normalised first: every character with a code up to 32 is
// dropped, a-z are upper-cased):
//     expression := product { ("+" | "-") product }  ender
//     ender      := end of text | ")" | "," | ";" | "<" | "=" | ">"
//     product    := operand { ("*" | "/") operand }
//     operand    := "(" expression ")" | number | "E" | "PI"
//                 | name "(" expression [ ";" expression ] ")"
//     number     := [ "+" | "-" ] digits [ "." digits ] [ "E" [ "+" | "-" ] digits ]
//                   (also "5.", ".5", "+.5", "1.E5"; a sign belongs to a literal only)
//
// Limits (raised as ErxParserError, never a crash or a hang):
//  - nesting: parentheses, function arguments and cell references together may
//    nest MaxNestingLevels deep; a cell reference counts CellReferenceLevels.
//    This keeps any evaluation inside 256 KiB of stack.
//  - a formula whose evaluation comes back to a cell it is already evaluating
//    is reported as a circular reference.
//  - one Exec may evaluate at most MaxCellEvaluations referenced cells holding at
//    most MaxCellTextLength characters in total, so that formulas that fan out
//    (each cell referring to the next twice, say) cannot run for hours.

#include "host/vorgrdexport.h"
#include "host/exceptions.h"
#include "host/gridcellreader.h"

#include <QString>
#include <QtGlobal>

#include <array>

namespace vorgrd {

// The error of an expression. Its message is one of ParserMessages, or one of the
// parser's limit messages (ParserNestingMessage and the others below).
class VORGRD_EXPORT ErxParserError : public Exception
{
public:
    using Exception::Exception;
};

// The six messages, numbered 1 to 6 by RaiseParserError.
inline constexpr std::array<const char *, 6> ParserMessages = {
    "Not cramp",               // 1: "(" and ")" do not pair up, ";" missing
    "Divide by zero",          // 2: a division fails; TAN where cos x = 0
    "Log function error",      // 3: LN or LOG of x <= 0
    "Sqr function error",      // 4: SQRT of x < 0
    "Invalid float operation", // 5: any other failure while a function is applied
    "Syntax error",            // 6: no operand here, or a character that may not end one
};

// Raises ErxParserError with message number `number` (1 to 6). A number outside
// 1..6 raises ERangeError naming it instead.
[[noreturn]] VORGRD_EXPORT void RaiseParserError(int number);

// The function names in the order they are tried; the 1-based index is the code
// GetFunction reports. "SQRT" stands before "SQR" so that the longer name wins.
inline constexpr std::array<const char *, 19> FunctionNames = {
    "ARCTAN", "COS",  "SIN",  "TAN", "ABS", "EXP",    "LN",     "LOG",    "SQRT",   "SQR",
    "INT",    "FRAC", "CELL", "COL", "ROW", "SUMROW", "SUMCOL", "AVGROW", "AVGCOL",
};

class VORGRD_EXPORT TvorParser
{
public:
    // LIMIT: how deep an evaluation may nest. Each Calculate (the whole text, a
    // parenthesised expression, a function argument) is one level; a referenced
    // cell adds CellReferenceLevels more, since a nested parser and its Exec sit
    // on the stack besides the usual three frames. The numbers are chosen so that
    // the deepest admitted evaluation needs well under 256 KiB of stack (measured:
    // about 112 KiB optimised, 160 KiB unoptimised; the tests run it on a thread
    // with a 256 KiB stack).
    static constexpr int MaxNestingLevels = 500;
    static constexpr int CellReferenceLevels = 3;
    // LIMIT: the work one Exec may spend on referenced cells.
    static constexpr int MaxCellEvaluations = 1000000;
    static constexpr qint64 MaxCellTextLength = 8 * 1024 * 1024;

    // Normalises Text into Expression, evaluates it and stores the result in
    // Value. Raises ErxParserError for any error of the expression; Value then
    // keeps the result of the last Exec that succeeded.
    void Exec(const QString &Text);

    // The steps of the evaluation are public so that an
    // application can drive them on Expression at Position itself.
    // Sums and differences, followed by an ender (left on it).
    double Calculate();
    // Products and quotients.
    double SubTerm();
    // One operand: "(" expression ")", a number, a constant or a function call.
    double Term();
    // A number literal at Position; on failure Position is unchanged and Number 0.
    bool GetNumber(double &Number);
    // The constant E or PI at Position when an operand may end after it.
    bool GetConst(double &Number);
    // A function name followed by "(" at Position; Position moves to the "(".
    bool GetFunction(quint8 &Code);
    // The character at Position; the end mark (code 0) when Position lies
    // outside Expression.
    QChar GetChar() const;
    // One character on; never further than one past the end mark.
    void NextChar()
    {
        if (m_Position < m_Expression.size() + 1) ++m_Position;
    }

    // 1-based index into Expression of the current character.
    int Position() const { return m_Position; }
    // The normalised text of the last Exec, ending with the end mark (code 0).
    const QString &Expression() const { return m_Expression; }
    // The cell whose formula is evaluated: COL and ROW read its row and column.
    int CellCol() const { return m_CellCol; }
    void setCellCol(int col) { m_CellCol = col; }
    int CellRow() const { return m_CellRow; }
    void setCellRow(int row) { m_CellRow = row; }
    // The cells the cell functions read; not owned. Without one, a cell function
    // raises ErxParserError.
    GridCellReader *Grid() const { return m_Grid; }
    void setGrid(GridCellReader *grid) { m_Grid = grid; }
    // The result of the last Exec that succeeded (0 before the first).
    double Value() const { return m_Value; }

    // The evaluation's helpers and limits, in a private header that is not installed
    // (the library's own code and tests use it).
    struct Private;

private:
    struct Budget
    {
        int cellEvaluations = 0;
        qint64 cellTextLength = 0;
    };

    int m_Position = 0;
    QString m_Expression;
    int m_CellCol = 0;
    int m_CellRow = 0;
    GridCellReader *m_Grid = nullptr;
    double m_Value = 0;

    // Evaluation state, carried from a parser into the nested parsers of the cells
    // it refers to.
    int m_levels = 0;                     // nesting levels in use, counted from the outermost Exec
    const TvorParser *m_parent = nullptr; // the parser whose cell function made this one
    Budget *m_sharedBudget = nullptr;     // the outermost parser's budget (nested only)
    Budget m_ownBudget;
};

// The messages of the limits (not numbered: they are not among the six).
inline constexpr const char *ParserNestingMessage =
    "Formula nested too deeply (more than %1 levels)";
inline constexpr const char *ParserCircularMessage = "Circular reference through CELL(%1;%2)";
inline constexpr const char *ParserComplexityMessage =
    "Formula too complex (it would evaluate more than %1 cells or %2 characters of cell text)";
inline constexpr const char *ParserLengthMessage = "Formula too long (more than %1 characters)";
inline constexpr const char *ParserNoGridMessage =
    "Cell function without a grid to read cells from";

} // namespace vorgrd
