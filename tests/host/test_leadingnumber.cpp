#include "host/exceptions.h"
#include "host/textconvert.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorgrd;

TEST(LeadingNumber, TakesTheNumberAtTheStartOfTheText)
{
    struct Case
    {
        const char *text;
        double value;
    } cases[] = {
        {"12.5kg", 12.5}, {"7 apples", 7},   {"1e3", 1000}, {"12,5", 12}, {"abc", 0}, {"", 0},
        {"-1", -1},       {"+.5", 0.5},      {"5.", 5},     {" 42", 42},  {"1e", 1},  {"1e+x", 1},
        {"-", 0},         {"2.5E-1z", 0.25}, {"0x10", 0},   {"..5", 0},   {"3..", 3},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(LeadingNumber, ComparesAtSixByteRealPrecision)
{
    // 40-bit mantissa: about 12 significant digits survive, the 13th and on do not.
    EXPECT_EQ(LeadingNumber("1.0000000000001"), LeadingNumber("1.0000000000002"));
    EXPECT_NE(LeadingNumber("1.00000001"), LeadingNumber("1.00000002"));
    EXPECT_EQ(LeadingNumber("0.1"), RoundToReal48(0.1));
    EXPECT_NE(RoundToReal48(0.1), 0.1);
}

TEST(LeadingNumber, RangeBeyondSixByteRealSaturates)
{
    EXPECT_TRUE(std::isinf(LeadingNumber("1e39")));
    EXPECT_GT(LeadingNumber("1e39"), 0);
    EXPECT_LT(LeadingNumber("-1e39"), 0);
    EXPECT_EQ(LeadingNumber("1e-40"), 0.0);
    EXPECT_EQ(LeadingNumber("1e999"), LeadingNumber("1e400"));
    EXPECT_GT(LeadingNumber("1.7e38"), 1e38);
}

TEST(ValFloat, ReportsThePositionOfTheFirstUnusedCharacter)
{
    double v = -1;
    EXPECT_EQ(ValFloat("12.5", v), 0);
    EXPECT_EQ(v, 12.5);
    EXPECT_EQ(ValFloat("12.5kg", v), 5);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ValFloat("", v), 1);
    EXPECT_EQ(ValFloat("x", v), 1);
    EXPECT_EQ(ValFloat("  x", v), 3);
}

TEST(StrToFloat, UsesTheDecimalSeparatorOfTheSettings)
{
    EXPECT_EQ(StrToFloat(" 1.5 "), 1.5);
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
    FormatSettings comma = FormatSettings::invariant();
    comma.DecimalSeparator = u',';
    test::PinnedSettings pinned(comma);
    EXPECT_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_THROW(StrToFloat("1.5"), EConvertError);
}

TEST(StrToFloat, RejectsWithTheTextInTheMessage)
{
    for (const char *bad : {"", " ", "abc", "1.5x", "+", "1e", "1 2"}) {
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError &e) {
            EXPECT_TRUE(e.Message().contains(QString("'%1'").arg(bad))) << e.what();
        }
    }
}

TEST(StrToIntDef, FallsBackOnAnythingThatIsNotA32BitInteger)
{
    EXPECT_EQ(StrToIntDef("42", -1), 42);
    EXPECT_EQ(StrToIntDef(" -7 ", 0), -7);
    EXPECT_EQ(StrToIntDef("$ff", 0), 255);
    EXPECT_EQ(StrToIntDef("0x10", 0), 16);
    EXPECT_EQ(StrToIntDef("2147483648", 5), 5);
    EXPECT_EQ(StrToIntDef("-2147483648", 5), -2147483647 - 1);
    EXPECT_EQ(StrToIntDef("1.5", 5), 5);
    EXPECT_EQ(StrToIntDef("", 5), 5);
}

TEST(TextCompare, UpperCaseFoldsOnlyAsciiLetters)
{
    EXPECT_EQ(UpperCase("abz\u00e9\u00df{"), QString("ABZ\u00e9\u00df{"));
}

TEST(TextCompare, AnsiCompareTextIgnoresCase)
{
    EXPECT_EQ(AnsiCompareText("abc", "ABC"), 0);
    EXPECT_LT(AnsiCompareText("a", "B"), 0);
    EXPECT_GT(AnsiCompareText("b", "A"), 0);
}

TEST(LeadingNumber, DecidesOverflowByTheSizeOfTheNumberNotTheExponentSign)
{
    struct Case
    {
        QString text;
        double value;
    } cases[] = {
        {QString(400, u'1') + "e-1", std::numeric_limits<double>::infinity()},
        {"-" + QString(400, u'9') + "e-5", -std::numeric_limits<double>::infinity()},
        {"0." + QString(400, u'0') + "1", 0},
        {"0." + QString(400, u'0') + "1e400", 0.1},
        {"1e99999999999999999999999", std::numeric_limits<double>::infinity()},
        {"-1e-99999999999999999999999", 0},
        {"1" + QString(300, u'0') + "e-300", 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LeadingNumber(c.text), RoundToReal48(c.value)) << c.text.left(12).toStdString();
        double exact = -1;
        EXPECT_EQ(ValFloat(c.text, exact), 0);
        EXPECT_EQ(exact, c.value) << c.text.left(12).toStdString();
    }
}

TEST(StrToIntDef, AcceptsOnlyDigitsAfterThePrefix)
{
    for (const char *bad : {"$-5", "0x+5", "$ 5", "0x 5", "- 5", "+-5", "0x", "$", "1 2", "5x",
                            "$g", "\u0661\u0662", "99999999999999999999"})
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(bad), 999), 999) << bad;
    EXPECT_EQ(StrToIntDef("-0x10", 0), -16);
    EXPECT_EQ(StrToIntDef("0X1f", 0), 31);
    EXPECT_EQ(StrToIntDef("$7FFFFFFF", 0), 2147483647);
    EXPECT_EQ(StrToIntDef("-$80000000", 0), -2147483647 - 1);
    EXPECT_EQ(StrToIntDef("$80000000", 7), 7);
    EXPECT_EQ(StrToIntDef("00012", 0), 12);
}
