// TvorParser, the expression evaluator.
//
// Sections:
//   1. Messages and small helpers
//   2. Exec: normalisation
//   3. The descent: Calculate, SubTerm, Term
//   4. Literals, constants, names: GetNumber, GetConst, GetFunction
//   5. Functions and cell references
//   6. Limits: nesting, circular references
//
// Call flow of one evaluation, e.g. Exec("CELL(1;2)+1"):
//   Exec -> Calculate -> SubTerm -> Term -> GetFunction, applyFunction
//        -> Calculate (each argument) ... -> cellValueAt -> nested TvorParser::Exec
//        -> Calculate ...                  (the nested parser has its own Expression)
// Every Calculate takes one nesting level (LevelGuard); a nested parser starts
// CellReferenceLevels - 1 levels below the level of the Calculate that called it, so
// one counter bounds parentheses, arguments and cell references together.

#include "formulas/vorpars_p.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace vorgrd {

// ---- 1. Messages and small helpers --------------------------------------------

namespace {

enum FunctionCode : quint8
{
    fnArctan = 1,
    fnCos,
    fnSin,
    fnTan,
    fnAbs,
    fnExp,
    fnLn,
    fnLog,
    fnSqrt,
    fnSqr,
    fnInt,
    fnFrac,
    fnCell,
    fnCol,
    fnRow,
    fnSumRow,
    fnSumCol,
    fnAvgRow,
    fnAvgCol,
};

bool takesTwoArguments(quint8 code)
{
    return code == fnCell || code >= fnSumRow;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// What may stand right after a number literal or a constant.
bool mayFollowOperand(char16_t c)
{
    return c <= 32 || c == u')' || c == u'*' || c == u'+' || c == u'-' || c == u'/' || c == u';';
}

// What may end an expression.
bool isEnder(char16_t c)
{
    return c == 0 || c == u')' || c == u',' || c == u';' || c == u'<' || c == u'=' || c == u'>';
}

[[noreturn]] void raiseOwn(const QString &message)
{
    throw ErxParserError(message);
}

// A cell coordinate: the argument truncated toward zero. One that does not fit a
// 32-bit integer is an integer overflow of the conversion, message 5.
int truncateCoordinate(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0)) RaiseParserError(5);
    return int(value);
}

// INT: the nearest integer, halves to the even neighbour, as a 32-bit integer. Done
// by hand rather than with nearbyint so that a caller's rounding mode cannot change
// the result. x - trunc(x) and x / 2 are exact, so a half is recognised exactly.
double roundHalfEven(double x)
{
    double r = std::round(x); // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2 * std::round(x / 2);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) RaiseParserError(5);
    return r;
}

// The text of a number literal as GetNumber assembles it. Literals are short, so it
// lives on the stack; a literal longer than the inline room (only a pathological
// one is) moves to the heap.
class LiteralText
{
public:
    void append(char c)
    {
        if (m_size < sizeof m_inline) {
            m_inline[m_size++] = c;
            return;
        }
        if (m_heap.empty()) m_heap.assign(m_inline, m_size);
        m_heap.push_back(c);
        ++m_size;
    }
    const char *data() const { return m_heap.empty() ? m_inline : m_heap.data(); }
    size_t size() const { return m_size; }
    char back() const { return data()[m_size - 1]; }

private:
    char m_inline[64];
    size_t m_size = 0;
    std::string m_heap;
};

// The strict number syntax: [sign] digits ["." digits] ["E" [sign] digits], nothing
// else. Only "." is a decimal point, whatever the locale says.
bool isStrictNumber(const char *p, const char *end)
{
    if (p != end && (*p == '+' || *p == '-')) ++p;
    auto digits = [&p, end] {
        const char *start = p;
        while (p != end && *p >= '0' && *p <= '9')
            ++p;
        return p != start;
    };
    if (!digits()) return false;
    if (p != end && *p == '.') {
        ++p;
        if (!digits()) return false;
    }
    if (p != end && *p == 'E') {
        ++p;
        if (p != end && (*p == '+' || *p == '-')) ++p;
        if (!digits()) return false;
    }
    return p == end;
}

// from_chars reports both overflow and underflow as out of range. Tells them apart
// by the decimal exponent of the first significant digit of a strictly valid
// literal: positive means the value is above 1, so it overflowed.
bool literalOverflows(const char *p, const char *end)
{
    if (*p == '+' || *p == '-') ++p;
    // The value lies in [10^(m-1), 10^m) for m = digits before the point, counted
    // from the first significant digit (negative when it stands after the point).
    qint64 integerDigits = 0, index = 0, firstSignificant = -1;
    bool inFraction = false;
    for (; p != end && *p != 'E'; ++p) {
        if (*p == '.') {
            inFraction = true;
            continue;
        }
        if (!inFraction) ++integerDigits;
        if (firstSignificant < 0 && *p != '0') firstSignificant = index;
        ++index;
    }
    const qint64 magnitude = integerDigits - qMax<qint64>(firstSignificant, 0);
    qint64 exponent = 0;
    if (p != end) {
        ++p; // the "E"
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '+' || *p == '-')) ++p;
        for (; p != end; ++p)
            exponent = qMin<qint64>(exponent * 10 + (*p - '0'), 1'000'000'000);
        if (negative) exponent = -exponent;
    }
    return magnitude + exponent > 0;
}

} // namespace

void RaiseParserError(int number)
{
    if (number < 1 || number > int(ParserMessages.size()))
        throw ERangeError(QStringLiteral("Parser message number %1 is outside the range 1 to %2")
                              .arg(number)
                              .arg(ParserMessages.size()));
    throw ErxParserError(QString::fromLatin1(ParserMessages[size_t(number - 1)]));
}

// ---- 2. Exec: normalisation ---------------------------------------------------

void TvorParser::Exec(const QString &Text)
{
    if (&Text == &m_Expression) {
        // The text would change under the loop below.
        const QString copy = Text;
        Exec(copy);
        return;
    }
    // LIMIT: Position is a 32-bit integer; it must reach one past the end mark
    // without overflowing.
    constexpr qsizetype longest = std::numeric_limits<int>::max() - 3;
    const qsizetype length = Text.size();
    if (length > longest) raiseOwn(QString::fromLatin1(ParserLengthMessage).arg(longest));
    // OPTIMIZATION: Expression's buffer is reused from one call to the next, so an
    // Exec of a short text allocates nothing once the parser has warmed up.
    m_Expression.resize(length + 1);
    QChar *out = m_Expression.data();
    const QChar *in = Text.constData();
    qsizetype depth = 0;
    qsizetype kept = 0;
    for (qsizetype i = 0; i < length; ++i) {
        char16_t c = in[i].unicode();
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        if (c > 32) {
            if (c >= u'a' && c <= u'z') c -= u'a' - u'A';
            out[kept++] = QChar(c);
        }
    }
    out[kept++] = QChar(u'\0'); // the end mark that every scan stops at
    m_Expression.resize(kept);
    m_Position = 1;
    if (depth != 0) RaiseParserError(1);
    m_Value = Calculate();
}

// ---- 3. The descent -------------------------------------------------------------

// Takes one nesting level for the lifetime of a Calculate. The outermost Calculate
// of an outermost parser also starts a fresh budget for the cells it will read.
class TvorParser::Private::LevelGuard
{
public:
    explicit LevelGuard(TvorParser &parser) : m_parser(parser)
    {
        if (parser.m_levels >= MaxNestingLevels) raiseTooDeep(parser);
        if (parser.m_levels == 0 && !parser.m_parent) parser.m_ownBudget = Budget();
        ++parser.m_levels;
    }
    ~LevelGuard() { --m_parser.m_levels; }
    LevelGuard(const LevelGuard &) = delete;
    LevelGuard &operator=(const LevelGuard &) = delete;

private:
    TvorParser &m_parser;
};

// expression := product { ("+" | "-") product } ender
double TvorParser::Calculate()
{
    const Private::LevelGuard level(*this);
    double value = SubTerm();
    for (;;) {
        const char16_t c = Private::current(*this);
        if (c == u'+') {
            NextChar();
            value += SubTerm();
        } else if (c == u'-') {
            NextChar();
            value -= SubTerm();
        } else {
            break;
        }
        // C++ does not trap an overflow; the host arithmetic did.
        if (!std::isfinite(value)) RaiseParserError(5);
    }
    if (!isEnder(Private::current(*this))) RaiseParserError(6);
    return value;
}

// product := operand { ("*" | "/") operand }
double TvorParser::SubTerm()
{
    double value = Term();
    for (;;) {
        const char16_t c = Private::current(*this);
        if (c == u'*') {
            NextChar();
            value *= Term();
            if (!std::isfinite(value)) RaiseParserError(5);
        } else if (c == u'/') {
            NextChar();
            const double divisor = Term(); // its own errors keep their message
            if (divisor == 0) RaiseParserError(2);
            value /= divisor;
            if (!std::isfinite(value)) RaiseParserError(2);
        } else {
            return value;
        }
    }
}

// operand := "(" expression ")" | number | constant | name "(" arguments ")"
double TvorParser::Term()
{
    if (Private::current(*this) == u'(') {
        NextChar();
        const double value = Calculate();
        if (Private::current(*this) != u')') RaiseParserError(1);
        NextChar();
        return value;
    }
    double number = 0;
    if (GetNumber(number) || GetConst(number)) return number;
    quint8 code = 0;
    if (GetFunction(code)) return Private::applyFunction(*this, code);
    RaiseParserError(6);
}

// ---- 4. Literals, constants, names --------------------------------------------

// number := [ "+" | "-" ] digits [ "." digits ] [ "E" [ "+" | "-" ] digits ]
// The text is first assembled with the zeros that make "5.", ".5", "+.5" and "1.E5"
// complete, then checked and converted. Kept out of line so that its buffer does
// not sit in Term's frame at every nesting level.
Q_NEVER_INLINE bool TvorParser::GetNumber(double &Number)
{
    Number = 0;
    const int start = m_Position;
    char16_t c = Private::current(*this);
    if (!(c == u'+' || c == u'-' || c == u'.' || isDigit(c))) return false;
    LiteralText text;
    if (c == u'.') {
        text.append('0');
        text.append('.');
    } else {
        text.append(char(c));
    }
    NextChar();
    if ((c == u'+' || c == u'-') && Private::current(*this) == u'.') text.append('0');
    bool hasExponent = false;
    for (;;) {
        c = Private::current(*this);
        if (c == u'E') {
            if (text.back() == '.') text.append('0');
            text.append('E');
            hasExponent = true;
            NextChar();
            c = Private::current(*this);
            if (c == u'+' || c == u'-') {
                text.append(char(c));
                NextChar();
            }
        } else if (c == u'.' || isDigit(c)) {
            text.append(char(c));
            NextChar();
        } else {
            break;
        }
    }
    if (text.back() == '.' && !hasExponent) text.append('0');

    const char *begin = text.data();
    const char *end = begin + text.size();
    if (!isStrictNumber(begin, end) || !mayFollowOperand(Private::current(*this))) {
        m_Position = start;
        return false;
    }
    // Locale-independent on purpose: the syntax above admits only ".", so a locale
    // with "," as decimal separator must not make valid literals fail.
    if (*begin == '+') ++begin; // from_chars takes no plus sign
    double value = 0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        if (literalOverflows(begin, end)) RaiseParserError(5);
        value = *begin == '-' ? -0.0 : 0.0; // below the smallest double: 0
    }
    Number = value;
    return true;
}

QChar TvorParser::GetChar() const
{
    return QChar(Private::current(*this));
}

bool TvorParser::GetConst(double &Number)
{
    const qsizetype at = qsizetype(m_Position) - 1;
    auto charAt = [this](qsizetype index) -> char16_t {
        return size_t(index) < size_t(m_Expression.size()) ? m_Expression.at(index).unicode()
                                                           : u'\0';
    };
    const char16_t c = charAt(at);
    if (c == u'E' && mayFollowOperand(charAt(at + 1))) {
        Number = std::numbers::e;
        NextChar();
        return true;
    }
    if (c == u'P' && charAt(at + 1) == u'I' && mayFollowOperand(charAt(at + 2))) {
        Number = std::numbers::pi;
        NextChar();
        NextChar();
        return true;
    }
    return false;
}

bool TvorParser::GetFunction(quint8 &Code)
{
    Code = 0;
    const qsizetype at = qsizetype(m_Position) - 1;
    const qsizetype size = m_Expression.size();
    if (size_t(at) >= size_t(size)) return false;
    const QChar *text = m_Expression.constData() + at;
    const char16_t first = text[0].unicode();
    if (first < u'A' || first > u'Z') return false;
    // Names are tried in table order and the first that matches decides, as
    // documented: "SQRT" before "SQR". The end mark stops every comparison, since
    // no name contains it.
    qsizetype nameLength = 0;
    for (size_t i = 0; i < FunctionNames.size(); ++i) {
        const char *name = FunctionNames[i];
        if (name[0] != first) continue;
        qsizetype j = 1;
        while (name[j] != 0 && at + j < size && text[j].unicode() == char16_t(name[j]))
            ++j;
        if (name[j] == 0) {
            Code = quint8(i + 1);
            nameLength = j;
            break;
        }
    }
    if (Code == 0 || at + nameLength >= size || text[nameLength] != u'(') {
        Code = 0;
        return false;
    }
    m_Position += int(nameLength);
    return true;
}

// ---- 5. Functions and cell references -----------------------------------------

// Reads the arguments of the function whose name GetFunction has just read, and
// applies it. Any failure of the arithmetic is message 5 unless the message table names
// another; errors from reading the arguments keep their message.
double TvorParser::Private::applyFunction(TvorParser &parser, quint8 code)
{
    parser.NextChar(); // the "("
    const double x = parser.Calculate();
    double y = 0;
    if (takesTwoArguments(code)) {
        if (current(parser) != u';') RaiseParserError(1);
        parser.NextChar();
        y = parser.Calculate();
    }
    if (current(parser) != u')') RaiseParserError(1);
    parser.NextChar();

    double result = 0;
    switch (code) {
    case fnArctan:
        result = std::atan(x);
        break;
    case fnCos:
        result = std::cos(x);
        break;
    case fnSin:
        result = std::sin(x);
        break;
    case fnTan: {
        const double cosine = std::cos(x);
        if (cosine == 0) RaiseParserError(2);
        result = std::sin(x) / cosine;
        break;
    }
    case fnAbs:
        result = std::fabs(x);
        break;
    case fnExp:
        result = std::exp(x);
        break;
    case fnLn:
        if (!(x > 0)) RaiseParserError(3);
        result = std::log(x);
        break;
    case fnLog:
        if (!(x > 0)) RaiseParserError(3);
        // log10 rather than log(x)/log(10): the quotient in doubles gives
        // 2.9999999999999996 for LOG(1000), where the host's extended precision
        // gave 3.
        result = std::log10(x);
        break;
    case fnSqrt:
        if (x < 0) RaiseParserError(4);
        result = std::sqrt(x);
        break;
    case fnSqr:
        result = x * x;
        break;
    case fnInt:
        result = roundHalfEven(x);
        break;
    case fnFrac:
        result = x - std::trunc(x);
        break;
    case fnCell:
        result = cellValueAt(parser, truncateCoordinate(x), truncateCoordinate(y));
        break;
    case fnCol:
        result = cellValueAt(parser, truncateCoordinate(x), parser.m_CellRow);
        break;
    case fnRow:
        result = cellValueAt(parser, parser.m_CellCol, truncateCoordinate(x));
        break;
    case fnSumRow:
    case fnSumCol:
    case fnAvgRow:
    case fnAvgCol:
        result = cellRange(parser, x, y, code == fnSumRow || code == fnAvgRow,
                           code == fnAvgRow || code == fnAvgCol);
        break;
    default:
        RaiseParserError(6); // unreachable: GetFunction gives only the codes above
    }
    if (!std::isfinite(result)) RaiseParserError(5);
    return result;
}

// The value of cell (col, row): its text evaluated by a nested parser whose current
// cell is that cell. This frame sits on the stack once per cell reference, so the
// messages are built out of line, not in temporaries here.
double TvorParser::Private::cellValueAt(TvorParser &parser, int col, int row)
{
    if (!parser.m_Grid) raiseNoGrid();
    Budget &spent = budget(parser);
    if (++spent.cellEvaluations > MaxCellEvaluations) raiseTooComplex();
    TvorParser nested;
    nested.m_Grid = parser.m_Grid;
    nested.m_CellCol = col;
    nested.m_CellRow = row;
    nested.m_parent = &parser;
    nested.m_sharedBudget = &spent;
    nested.m_levels = parser.m_levels + CellReferenceLevels - 1;
    try {
        const QString text = parser.m_Grid->CellText(col, row);
        spent.cellTextLength += text.size();
        if (spent.cellTextLength > MaxCellTextLength) raiseTooComplex();
        nested.Exec(text);
    } catch (const ErxParserError &) {
        throw; // the parser's own errors keep their message, however deep
    } catch (const std::exception &) {
        RaiseParserError(5); // a failure of the grid while reading the cell
    }
    return nested.m_Value;
}

// SUMROW, SUMCOL, AVGROW, AVGCOL: along the grid's focused row (or column), not the
// current cell's, so every formula that uses them follows the focus.
double TvorParser::Private::cellRange(TvorParser &parser, double first, double last, bool alongRow,
                                      bool average)
{
    const int from = truncateCoordinate(first);
    const int to = truncateCoordinate(last);
    if (!parser.m_Grid) raiseNoGrid();
    const int line = alongRow ? parser.m_Grid->CurrentRow() : parser.m_Grid->CurrentCol();
    double sum = 0;
    for (qint64 i = from; i <= to; ++i) { // qint64: `to` may be INT_MAX
        sum += alongRow ? cellValueAt(parser, int(i), line) : cellValueAt(parser, line, int(i));
        if (!std::isfinite(sum)) RaiseParserError(5);
    }
    if (!average) return sum;
    // Any range of no cells fails, not only the one where the count is exactly 0
    // (which divides 0 by 0): an average of nothing has no value.
    const qint64 count = qint64(to) - from + 1;
    if (count <= 0) RaiseParserError(5);
    return sum / double(count);
}

// ---- 6. Limits -------------------------------------------------------------------

// The nesting bound was reached. When a cell appears twice among the cells under
// evaluation, evaluating it leads back to itself without end: say so, naming the
// innermost such cell. Otherwise the formula is merely too deep.
void TvorParser::Private::raiseTooDeep(const TvorParser &parser)
{
    std::vector<const TvorParser *> cells; // innermost first
    for (const TvorParser *p = &parser; p && p->m_parent; p = p->m_parent)
        cells.push_back(p);
    for (size_t i = 0; i < cells.size(); ++i)
        for (size_t j = i + 1; j < cells.size(); ++j)
            if (cells[i]->m_CellCol == cells[j]->m_CellCol &&
                cells[i]->m_CellRow == cells[j]->m_CellRow)
                raiseOwn(QString::fromLatin1(ParserCircularMessage)
                             .arg(cells[i]->m_CellCol)
                             .arg(cells[i]->m_CellRow));
    raiseOwn(QString::fromLatin1(ParserNestingMessage).arg(MaxNestingLevels));
}

void TvorParser::Private::raiseTooComplex()
{
    raiseOwn(QString::fromLatin1(ParserComplexityMessage)
                 .arg(MaxCellEvaluations)
                 .arg(MaxCellTextLength));
}

void TvorParser::Private::raiseNoGrid()
{
    raiseOwn(QString::fromLatin1(ParserNoGridMessage));
}

} // namespace vorgrd
