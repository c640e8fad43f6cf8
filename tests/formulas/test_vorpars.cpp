// The expression language of TvorParser without cells: values, messages,
// normalisation, the parser's state, and the number literal rules.
#include "formulas/printers.h"
#include "formulas/vorpars_p.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace vorgrd;

namespace {

struct ValueCase
{
    const char *text;
    double expected;
};

// The message Exec raises for a text, or "" when it succeeds.
QString errorOf(TvorParser &parser, const QString &text)
{
    try {
        parser.Exec(text);
    } catch (const ErxParserError &error) {
        return error.Message();
    }
    return QString();
}

void expectValues(std::initializer_list<ValueCase> cases)
{
    for (const ValueCase &c : cases) {
        SCOPED_TRACE(c.text);
        TvorParser parser;
        EXPECT_EQ(errorOf(parser, QString::fromUtf8(c.text)), QString());
        EXPECT_DOUBLE_EQ(parser.Value(), c.expected);
    }
}

void expectErrors(const char *message, std::initializer_list<const char *> texts)
{
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        TvorParser parser;
        EXPECT_EQ(errorOf(parser, QString::fromUtf8(text)), QString::fromUtf8(message));
    }
}

} // namespace

TEST(ParserArithmetic, EvaluatesWithPrecedenceAndLeftToRight)
{
    expectValues({{"2+3*4", 14},
                  {"(2+3)*4", 20},
                  {"2*-3", -6},
                  {"1-2-3", -4},
                  {"8/2/2", 2},
                  {"2*3/4", 1.5},
                  {"1/4", 0.25},
                  {"1--1", 2},
                  {"1+-1", 0},
                  {"-3", -3},
                  {"+3", 3},
                  {"((((7))))", 7},
                  {"2*(3+4)*5", 70},
                  {"10-(2-3)", 11},
                  {"0-0", 0},
                  {"1+2*3-4/2", 5}});
}

TEST(ParserArithmetic, EndersStopTheTopLevelExpression)
{
    // What follows an ender at the top level is never read; but a literal or a
    // constant may not stand right before ",", "<", "=" or ">".
    expectValues({{"1;5", 1}, {"(2)=3", 2}, {"(4)<5", 4}, {"(6)>", 6}, {"(7),8", 7}, {"1)(", 1}});
    expectErrors("Syntax error", {"4<5", "E=1", "PI>"});
}

TEST(ParserLiterals, AcceptsTheAbbreviatedForms)
{
    expectValues({{"1.E5", 1e5},
                  {"5.", 5},
                  {".5", 0.5},
                  {"+.5", 0.5},
                  {"-.5", -0.5},
                  {"1.5E+2", 150},
                  {"1.5e2", 150},
                  {"25E-1", 2.5},
                  {"1e-3", 0.001},
                  {"0.1", 0.1},
                  {"007", 7},
                  {"1.E+1", 10},
                  {".", 0},
                  {"1E-400", 0},
                  {"-1E-400", -0.0},
                  {"1E308", 1e308},
                  {"3.141592653589793", std::numbers::pi}});
}

TEST(ParserLiterals, RejectsMalformedOnesAsSyntaxErrors)
{
    expectErrors("Syntax error", {"2E", "1,5", "2=3", "1.2.3", "1E5E3", "1E+", "--1", "-SIN(1)",
                                  "-(1)", "+", "-", "1..5", "5PI", "2(3)", "1<"});
}

TEST(ParserLiterals, OverflowingLiteralIsAnInvalidFloatOperation)
{
    expectErrors("Invalid float operation", {"1E400", "-1E400", "0.00001E314"});
    expectValues({{"100000E-328", 1e-323}, {"0E99999999999999999999", 0}});
}

TEST(ParserLiterals, ConvertIndependentlyOfTheDecimalSeparator)
{
    FormatSettings comma = FormatSettings::invariant();
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    test::PinnedSettings pinned(comma);
    expectValues({{"1.5", 1.5}, {"1.5E2*2", 300}, {".25", 0.25}});
    expectErrors("Syntax error", {"1,5"});
}

TEST(ParserConstants, ReadEAndPIWhereAnOperandMayEnd)
{
    expectValues({
        {"PI", 3.141592653589793},
        {"E", 2.718281828459045},
        {"E+1", std::numbers::e + 1},
        {"2*PI", 2 * std::numbers::pi},
        {"(E)", std::numbers::e},
        {"pi", std::numbers::pi},
        {"EXP(1)", std::numbers::e}, // EXP is a function, not the constant E
    });
    expectErrors("Syntax error", {"PI(1)", "EE", "PII"});
}

TEST(ParserFunctions, ComputeEachOfTheNineteen)
{
    expectValues({{"ARCTAN(1)", std::numbers::pi / 4},
                  {"COS(0)", 1},
                  {"SIN(PI/2)", 1},
                  {"TAN(1)", std::tan(1.0)},
                  {"ABS(-3)", 3},
                  {"EXP(2)", std::exp(2.0)},
                  {"LN(E)", 1},
                  {"LOG(1000)", 3},
                  {"sqrt(16)", 4},
                  {"SQR(3)", 9},
                  {"SQR(-3)", 9},
                  {"FRAC(-2.75)", -0.75},
                  {"FRAC(2.75)", 0.75},
                  {"SQRT(SQR(5))", 5},
                  {"EXP(-1000)", 0}});
}

TEST(ParserFunctions, IntRoundsHalvesToEvenWithin32Bits)
{
    expectValues({{"INT(2.5)", 2},
                  {"INT(3.5)", 4},
                  {"INT(-2.5)", -2},
                  {"INT(-3.5)", -4},
                  {"INT(0.5)", 0},
                  {"INT(1.5)", 2},
                  {"INT(2.4999)", 2},
                  {"INT(2.5001)", 3},
                  {"INT(-7.2)", -7},
                  {"INT(-0.5)", 0},
                  {"INT(0.49999999999999994)", 0},
                  {"INT(-1.5000000000000002)", -2},
                  {"INT(2147483647.4)", 2147483647},
                  {"INT(-2147483648.5)", -2147483648.0}});
    expectErrors("Invalid float operation", {"INT(2147483647.5)", "INT(-2147483649)", "INT(1E10)"});
}

TEST(ParserFunctions, LongerNameWinsAndNamesNeedAParenthesis)
{
    expectValues({{"SQRT(9)", 3}, {"SQR(9)", 81}, {"LN(1)", 0}, {"LOG(10)", 1}});
    expectErrors("Syntax error", {"COSX(1)", "SIN 1", "SQRTT(4)", "FOO(1)", "SIN"});
}

TEST(ParserMessagesTable, RaisesEachFailureWithItsMessage)
{
    expectErrors("Not cramp", {"((1)", "(1))", "CELL((1),2)", "SIN(1;2)", "SUMROW(1)", "(1;2)"});
    expectErrors("Divide by zero", {"1/0", "0/0", "1/(1-1)", "1E300/1E-300"});
    expectErrors("Log function error", {"LN(0)", "LN(-1)", "LOG(0)"});
    expectErrors("Sqr function error", {"SQRT(-1)"});
    expectErrors("Invalid float operation",
                 {"EXP(1000)", "SQR(1E200)", "1E200*1E200", "1E308+1E308", "-1E308-1E308"});
    expectErrors("Syntax error", {"", "   ", "+", "CELL(1,2)", ")(", "1+", "2^3", "1 ! 2"});
}

TEST(ParserMessagesTable, ErrorsInsideAnArgumentOrDivisorKeepTheirMessage)
{
    expectErrors("Sqr function error", {"1/SQRT(-1)"});
    expectErrors("Divide by zero", {"SQRT(1/0)"});
    expectErrors("Sqr function error", {"LN(SQRT(-4))"});
    expectErrors("Syntax error", {"SIN(2E)"});
}

TEST(ParserMessagesTable, RaiseParserErrorUsesTheTableAndChecksTheNumber)
{
    const char *const texts[] = {
        "Not cramp",          "Divide by zero",          "Log function error",
        "Sqr function error", "Invalid float operation", "Syntax error"};
    for (int n = 1; n <= 6; ++n) {
        try {
            RaiseParserError(n);
            ADD_FAILURE() << "no exception for " << n;
        } catch (const ErxParserError &error) {
            EXPECT_EQ(error.Message(), QString::fromLatin1(texts[n - 1]));
            EXPECT_STREQ(error.what(), texts[n - 1]);
        }
    }
    for (int n : {0, 7, -1}) {
        try {
            RaiseParserError(n);
            ADD_FAILURE() << "no exception for " << n;
        } catch (const ERangeError &error) {
            EXPECT_TRUE(error.Message().contains(QString::number(n))) << error.what();
            EXPECT_TRUE(error.Message().contains(QLatin1String("1 to 6"))) << error.what();
        }
    }
}

TEST(ParserNormalisation, DropsBlanksAndControlsAndUpperCasesAsciiLetters)
{
    expectValues({{"1 2", 12},
                  {"s in(0)", 0},
                  {"\t2\n+\r3", 5},
                  {"1\x01+\x1f"
                   "1",
                   2},
                  {"  sqrt ( 1 6 ) ", 4},
                  {"1.\t5", 1.5}});
    TvorParser parser;
    parser.Exec(QStringLiteral(" s in( 1 )\t; x"));
    EXPECT_EQ(parser.Expression(), QStringLiteral("SIN(1);X") + QChar(0));
    // Codes above 32 pass unchanged, also non-ASCII letters and DEL.
    EXPECT_EQ(errorOf(parser, QString::fromUtf8("s\xc3\xa4n(1)")), QStringLiteral("Syntax error"));
    EXPECT_EQ(parser.Expression(), QString::fromUtf8("S\xc3\xa4N(1)") + QChar(0));
    EXPECT_EQ(errorOf(parser, QStringLiteral("1\x7f")), QStringLiteral("Syntax error"));
}

TEST(ParserState, NewParserIsEmpty)
{
    const TvorParser parser;
    EXPECT_EQ(parser.Position(), 0);
    EXPECT_TRUE(parser.Expression().isEmpty());
    EXPECT_EQ(parser.CellCol(), 0);
    EXPECT_EQ(parser.CellRow(), 0);
    EXPECT_EQ(parser.Grid(), nullptr);
    EXPECT_EQ(parser.Value(), 0);
    EXPECT_EQ(parser.GetChar(), QChar(0));
}

TEST(ParserState, ValueKeepsTheLastGoodResult)
{
    TvorParser parser;
    parser.Exec(QStringLiteral("2+3"));
    for (const char *bad : {"1/0", "((", "", "SQRT(-1)", "1E400", "CELL(1;1)"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(parser.Exec(QString::fromLatin1(bad)), ErxParserError);
        EXPECT_EQ(parser.Value(), 5);
    }
    parser.Exec(QStringLiteral("7"));
    EXPECT_EQ(parser.Value(), 7);
}

TEST(ParserState, PositionIsLeftOnTheEnderAndStepsCanBeDrivenByHand)
{
    TvorParser parser;
    parser.Exec(QStringLiteral("1;5*2"));
    EXPECT_EQ(parser.Position(), 2);
    EXPECT_EQ(parser.GetChar(), QChar(u';'));
    parser.NextChar();
    EXPECT_EQ(parser.Calculate(), 10);
    EXPECT_EQ(parser.GetChar(), QChar(0));

    TvorParser::Private::setPosition(parser, 3);
    double number = -1;
    EXPECT_TRUE(parser.GetNumber(number));
    EXPECT_EQ(number, 5);
    EXPECT_EQ(parser.Position(), 4);
    EXPECT_FALSE(parser.GetNumber(number)); // "*" starts no literal
    EXPECT_EQ(number, 0);
    EXPECT_EQ(parser.Position(), 4);
}

TEST(ParserState, PositionOutsideTheExpressionReadsAsTheEndMark)
{
    TvorParser parser;
    parser.Exec(QStringLiteral("12"));
    for (int position : {-5, 0, 4, 1000, 2147483647}) {
        SCOPED_TRACE(position);
        TvorParser::Private::setPosition(parser, position);
        EXPECT_EQ(parser.GetChar(), QChar(0));
        double number = 1;
        quint8 code = 1;
        EXPECT_FALSE(parser.GetNumber(number));
        EXPECT_FALSE(parser.GetConst(number));
        EXPECT_FALSE(parser.GetFunction(code));
        EXPECT_EQ(code, 0);
        EXPECT_THROW(parser.Calculate(), ErxParserError);
        TvorParser::Private::setPosition(parser, position);
        parser.NextChar();
        EXPECT_GE(parser.Position(), position); // never wraps around
    }
}

TEST(ParserState, GetFunctionReportsTheTableCodeAndStopsOnTheParenthesis)
{
    TvorParser parser;
    for (size_t i = 0; i < FunctionNames.size(); ++i) {
        const QString name = QString::fromLatin1(FunctionNames[i]);
        SCOPED_TRACE(name.toStdString());
        EXPECT_THROW(parser.Exec(name + QStringLiteral("(")), ErxParserError); // Not cramp
        TvorParser::Private::setPosition(parser, 1);
        quint8 code = 0;
        ASSERT_TRUE(parser.GetFunction(code));
        EXPECT_EQ(code, i + 1);
        EXPECT_EQ(parser.GetChar(), QChar(u'('));
        EXPECT_EQ(parser.Position(), name.size() + 1);
    }
}

TEST(ParserState, ExecOfItsOwnExpressionGivesTheSameValue)
{
    TvorParser parser;
    parser.Exec(QStringLiteral("2 * (3 + 4)"));
    parser.Exec(parser.Expression());
    EXPECT_EQ(parser.Value(), 14);
    EXPECT_EQ(parser.Expression(), QStringLiteral("2*(3+4)") + QChar(0));
}

TEST(ParserState, LongTextsAndLongLiteralsEvaluate)
{
    QString sum = QStringLiteral("0");
    for (int i = 0; i < 100000; ++i)
        sum += QStringLiteral("+1");
    expectValues({{sum.toLatin1().constData(), 100000}});
    // A literal far longer than any buffer kept for ordinary ones.
    const QString longLiteral =
        QStringLiteral("0.") + QString(5000, u'0') + QStringLiteral("1E5001");
    TvorParser parser;
    parser.Exec(longLiteral);
    EXPECT_DOUBLE_EQ(parser.Value(), 1);
}
