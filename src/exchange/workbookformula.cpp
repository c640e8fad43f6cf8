// Formula translation: a recursive-descent reader of the grid's expression language
// that builds nodes instead of evaluating, and one renderer per workbook syntax.
//
//   translateFormula -> normalise (drop codes up to 32, upper-case a-z)
//     -> expression -> product -> operand (number, constant, function, group)
//   xlsxFormula / odsFormula -> render(node) with the syntax's references and
//     argument separator
#include "exchange/workbookformula_p.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vorgrd::workbook_internal {

namespace {

using Node = WorkbookFormula::Node;

// Largest coordinates a workbook holds (XLSX and ODS alike).
constexpr int MaxWorkbookRow = 1'048'575;
constexpr int MaxWorkbookCol = 16'383;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool mayFollowOperand(char16_t c)
{
    return c == 0 || c == u')' || c == u'*' || c == u'+' || c == u'-' || c == u'/' || c == u';';
}

bool isEnder(char16_t c)
{
    return c == 0 || c == u')' || c == u',' || c == u';' || c == u'<' || c == u'=' || c == u'>';
}

bool isStrictNumber(const std::string &text)
{
    size_t p = 0;
    const auto digits = [&] {
        const size_t start = p;
        while (p < text.size() && text[p] >= '0' && text[p] <= '9')
            ++p;
        return p != start;
    };
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
    if (!digits()) return false;
    if (p < text.size() && text[p] == '.') {
        ++p;
        if (!digits()) return false;
    }
    if (p < text.size() && text[p] == 'E') {
        ++p;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) ++p;
        if (!digits()) return false;
    }
    return p == text.size();
}

// The function names in the order the parser tries them.
constexpr const char16_t *FunctionNames[] = {u"ARCTAN", u"COS", u"SIN",    u"TAN",    u"ABS",    u"EXP",   u"LN",
                                             u"LOG",    u"SQRT", u"SQR",   u"INT",    u"FRAC",   u"CELL",  u"COL",
                                             u"ROW",    u"SUMROW", u"SUMCOL", u"AVGROW", u"AVGCOL"};

class Reader
{
public:
    Reader(QStringView expression, int col, int row) : m_col(col), m_row(row)
    {
        for (const QChar c : expression) {
            const char16_t u = c.unicode();
            if (u <= 32) continue;
            m_text += (u >= u'a' && u <= u'z') ? QChar(char16_t(u - (u'a' - u'A'))) : c;
        }
    }

    std::optional<WorkbookFormula> read()
    {
        int depth = 0;
        for (const QChar c : m_text) {
            if (c == u'(') ++depth;
            if (c == u')') --depth;
        }
        if (depth != 0) return std::nullopt;
        // At the top level the parser ignores whatever follows an ender.
        m_out.root = expression();
        if (m_failed) return std::nullopt;
        return std::move(m_out);
    }

private:
    QString m_text;
    qsizetype m_pos = 0;
    int m_col, m_row;
    bool m_failed = false;
    WorkbookFormula m_out;

    char16_t current() const { return m_pos < m_text.size() ? m_text.at(m_pos).unicode() : 0; }
    char16_t at(qsizetype i) const { return i < m_text.size() ? m_text.at(i).unicode() : 0; }

    int add(Node node)
    {
        m_out.nodes.push_back(std::move(node));
        return int(m_out.nodes.size() - 1);
    }
    int fail()
    {
        m_failed = true;
        return -1;
    }

    // expression := product { ("+" | "-") product }, then an ender
    int expression()
    {
        int left = product();
        while (!m_failed && (current() == u'+' || current() == u'-')) {
            const Node::Kind kind = current() == u'+' ? Node::Add : Node::Subtract;
            ++m_pos;
            const int right = product();
            left = add({kind, 0, {}, {}, left, right});
        }
        if (!m_failed && !isEnder(current())) return fail();
        return left;
    }

    // product := operand { ("*" | "/") operand }
    int product()
    {
        int left = operand();
        while (!m_failed && (current() == u'*' || current() == u'/')) {
            const Node::Kind kind = current() == u'*' ? Node::Multiply : Node::Divide;
            ++m_pos;
            const int right = operand();
            left = add({kind, 0, {}, {}, left, right});
        }
        return left;
    }

    // operand := "(" expression ")" | number | "E" | "PI" | function
    int operand()
    {
        if (m_failed) return -1;
        if (current() == u'(') {
            ++m_pos;
            const int inner = expression();
            if (m_failed || current() != u')') return fail();
            ++m_pos;
            return add({Node::Group, 0, {}, {}, inner});
        }
        if (const auto n = number()) return add({Node::Number, *n, {}, {}});
        if (current() == u'E' && mayFollowOperand(at(m_pos + 1))) {
            ++m_pos;
            return add({Node::E, 0, {}, {}});
        }
        if (current() == u'P' && at(m_pos + 1) == u'I' && mayFollowOperand(at(m_pos + 2))) {
            m_pos += 2;
            return add({Node::Pi, 0, {}, {}});
        }
        return function();
    }

    // number := [+|-] digits [. digits] [E [+|-] digits], with the parser's
    // shorthands (.5, 5., 1.E5).
    std::optional<double> number()
    {
        const qsizetype start = m_pos;
        char16_t c = current();
        if (!(c == u'+' || c == u'-' || c == u'.' || isDigit(c))) return std::nullopt;
        std::string text = c == u'.' ? "0." : std::string(1, char(c));
        ++m_pos;
        if ((c == u'+' || c == u'-') && current() == u'.') text += '0';
        bool exponent = false;
        for (;;) {
            c = current();
            if (c == u'E') {
                if (text.back() == '.') text += '0';
                text += 'E';
                exponent = true;
                ++m_pos;
                if (current() == u'+' || current() == u'-') text += char(current()), ++m_pos;
            } else if (c == u'.' || isDigit(c)) {
                text += char(c);
                ++m_pos;
            } else {
                break;
            }
        }
        if (text.back() == '.' && !exponent) text += '0';
        if (!isStrictNumber(text) || !mayFollowOperand(current())) {
            m_pos = start;
            return std::nullopt;
        }
        const char *begin = text.data() + (text[0] == '+' ? 1 : 0);
        double value = 0;
        const auto result = std::from_chars(begin, text.data() + text.size(), value);
        if (result.ec != std::errc() || !std::isfinite(value)) {
            m_failed = true;
            return std::nullopt;
        }
        return value;
    }

    // function := NAME "(" expression [";" expression] ")"
    int function()
    {
        QString name;
        for (const char16_t *candidate : FunctionNames) {
            const QStringView n(candidate);
            if (QStringView(m_text).mid(m_pos).startsWith(n)) {
                name = n.toString();
                break;
            }
        }
        if (name.isEmpty() || at(m_pos + name.size()) != u'(') return fail();
        m_pos += name.size() + 1;
        const bool twoArguments = name == u"CELL" || name.startsWith(u"SUM") || name.startsWith(u"AVG");
        const int first = expression();
        int second = -1;
        if (twoArguments) {
            if (m_failed || current() != u';') return fail();
            ++m_pos;
            second = expression();
        }
        if (m_failed || current() != u')') return fail();
        ++m_pos;
        return call(name, first, second);
    }

    // A literal argument (parentheses around it allowed), truncated as a coordinate.
    std::optional<int> coordinate(int node) const
    {
        while (node >= 0 && m_out.nodes[size_t(node)].kind == Node::Group)
            node = m_out.nodes[size_t(node)].a;
        if (node < 0 || m_out.nodes[size_t(node)].kind != Node::Number) return std::nullopt;
        const double v = std::trunc(m_out.nodes[size_t(node)].number);
        if (!(v >= 0 && v <= MaxWorkbookRow)) return std::nullopt;
        return int(v);
    }

    int reference(std::optional<int> col, std::optional<int> row)
    {
        if (!col || !row || *col > MaxWorkbookCol) return fail();
        const CellReference cell{*col, *row};
        m_out.references.push_back(cell);
        return add({Node::Reference, 0, cell, {}});
    }

    int call(const QString &name, int first, int second)
    {
        if (name == u"CELL") return reference(coordinate(first), coordinate(second));
        if (name == u"COL") return reference(coordinate(first), m_row);
        if (name == u"ROW") return reference(m_col, coordinate(first));
        // The range functions read the focused cell: no workbook form.
        if (second >= 0) return fail();
        return add({Node::Function, 0, {}, name, first});
    }
};

// Rendering, in one syntax.
struct Syntax
{
    QChar separator;
    bool ods;
};

QString numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer).toUpper();
    return value < 0 || std::signbit(value) ? u'(' + text + u')' : text;
}

QString render(const WorkbookFormula &f, int index, const Syntax &syntax)
{
    const Node &n = f.nodes[size_t(index)];
    const auto arg = [&](int i) { return render(f, i, syntax); };
    const QString sep = syntax.separator;
    switch (n.kind) {
    case Node::Number: return numberText(n.number);
    case Node::Reference:
        return syntax.ods ? QStringLiteral("[.") + cellName(n.cell.col, n.cell.row) + u']'
                          : cellName(n.cell.col, n.cell.row);
    case Node::Pi: return QStringLiteral("PI()");
    case Node::E: return QStringLiteral("EXP(1)");
    case Node::Add: return arg(n.a) + u'+' + arg(n.b);
    case Node::Subtract: return arg(n.a) + u'-' + arg(n.b);
    case Node::Multiply: return arg(n.a) + u'*' + arg(n.b);
    case Node::Divide: return arg(n.a) + u'/' + arg(n.b);
    case Node::Group: return u'(' + arg(n.a) + u')';
    case Node::Function: break;
    }
    const QString x = u'(' + arg(n.a) + u')';
    if (n.name == u"ARCTAN") return QStringLiteral("ATAN") + x;
    if (n.name == u"LOG") return QStringLiteral("LOG10") + x;
    // The grid's TAN is sin/cos, its SQR a product, its FRAC x - trunc(x).
    if (n.name == u"TAN") return QStringLiteral("(SIN%1/COS%1)").arg(x);
    if (n.name == u"SQR") return QStringLiteral("(%1*%1)").arg(x);
    if (n.name == u"FRAC") return QStringLiteral("(%1-TRUNC%1)").arg(x);
    // INT: halves to the even neighbour, the rest to the nearest integer.
    if (n.name == u"INT")
        return QStringLiteral("IF(ABS(") + x + QStringLiteral("-TRUNC") + x + QStringLiteral(")=0.5") + sep
               + QStringLiteral("2*ROUND(") + x + QStringLiteral("/2") + sep + QStringLiteral("0)") + sep
               + QStringLiteral("ROUND(") + x + sep + QStringLiteral("0))");
    return n.name + x; // COS, SIN, ABS, EXP, LN, SQRT
}

} // namespace

std::optional<WorkbookFormula> translateFormula(QStringView expression, int col, int row)
{
    return Reader(expression, col, row).read();
}

QString xlsxFormula(const WorkbookFormula &formula)
{
    return render(formula, formula.root, {u',', false});
}

QString odsFormula(const WorkbookFormula &formula)
{
    return QStringLiteral("of:=") + render(formula, formula.root, {u';', true});
}

QString cellName(int col, int row)
{
    QString letters;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(char16_t(u'A' + (c - 1) % 26)));
    return letters + QString::number(qint64(row) + 1);
}

} // namespace vorgrd::workbook_internal
