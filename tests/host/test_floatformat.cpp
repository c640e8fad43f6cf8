#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorgrd;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

FormatSettings commaDecimal()
{
    FormatSettings s = FormatSettings::invariant();
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    return s;
}

} // namespace

TEST(FloatToStr, WritesTheShortestTextOfFifteenDigits)
{
    struct Case
    {
        double value;
        const char *text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-2.5, "-2.5"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {9999999999999999.0, "1E16"},
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {-1.5e20, "-1.5E20"},
        {123456.789, "123456.789"},
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {1e-6, "1E-6"},
        {1e-7, "1E-7"},
        {-1.25e-7, "-1.25E-7"},
        {1e300, "1E300"},
        {5e-324, "5E-324"},
        {std::numeric_limits<double>::max(), "1.79769313486232E308"},
        {std::nan(""), "NAN"},
        {Inf, "INF"},
        {-Inf, "-INF"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FloatToStr(c.value), c.text) << c.text;
}

TEST(FloatToStr, UsesTheDecimalSeparatorOfTheSettings)
{
    test::PinnedSettings pinned(commaDecimal());
    EXPECT_EQ(FloatToStr(1234.5), "1234,5");
    EXPECT_EQ(FloatToStr(1.5e-9), "1,5E-9");
}

TEST(FormatFloat, WritesDigitPlaceholdersPointAndThousands)
{
    struct Case
    {
        const char *format;
        double value;
        const char *text;
    } cases[] = {
        {"0", 12.5, "13"},
        {"0", -12.5, "-13"},
        {"0.00", 2.5, "2.50"},
        {"0.00", 0.125, "0.13"},
        {"0.00", 2.675, "2.68"},
        {"0.00", 1.005, "1.01"},
        {"0.00", -0.125, "-0.13"},
        {"0.00", 9.999, "10.00"},
        {"#.##", 0.5, ".5"},
        {"#.##", 1, "1"},
        {"#.##", 0, ""},
        {"0.##", 1.5, "1.5"},
        {"0.0#", 1, "1.0"},
        {"0.#0", 1, "1.00"}, // a 0 after # still asks for the digit
        {"000", 7, "007"},
        {"#00", 7, "07"},
        {"0", 123456, "123456"},
        {".00", 1.5, "1.50"},
        {".00", 0.5, ".50"},
        {"#,##0", 1234567, "1,234,567"},
        {"#,##0.00", -1234.567, "-1,234.57"},
        {"#,##0.00", 0.5, "0.50"},
        {"0,000", 12, "0,012"},
        {",0", 1000, "1,000"},
        {"00-00", 1234, "12-34"},
        {"00-00", 123456, "1234-56"},
        {"$#,##0.00", -5, "-$5.00"},
        {"0.00 \"kg\"", 3, "3.00 kg"},
        {"0.00 'm;s'", 3, "3.00 m;s"},
        {"\"#0.\" 0", 3, "#0. 3"},
        {"0 \"open", 3, "3 open"},
        {"0.0.0", 1.25, "1.25"}, // a second point is ignored
        {"0%", 50, "50%"},
        {"0.0000000000000000000000", 0.1, "0.1000000000000000000000"},
        {"0.###############", 0.1 + 0.2, "0.3"},
        {"0", 1e17, "100000000000000000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text))
            << c.format << " " << c.value;
}

TEST(FormatFloat, WritesExponents)
{
    struct Case
    {
        const char *format;
        double value;
        const char *text;
    } cases[] = {
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.00E+00", 0.00012345, "1.23E-04"},
        {"0.00E-00", 12345, "1.23E04"},
        {"0.00e-00", 0.00012345, "1.23e-04"},
        {"0.00E+00", 0, "0.00E+00"},
        {"0.00E+00", -12345, "-1.23E+04"},
        {"0.00E+0", 9.999, "1.00E+1"},
        {"0.##E+0", 100, "1E+2"},
        {"00.0E+0", 12345, "12.3E+3"},
        {".00E+00", 12345, ".12E+05"},
        {"0E+", 5e300, "5E+300"},
        {"0.0E+00000000", 1, "1.0E+0000"},
        {"0.0E+00 \"u\" 0", 1, "1.0E+00 u 0"},
        {"0.0E", 1, "1.0E"},
        {"0.0E+00", 1e200, "1.0E+200"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text))
            << c.format << " " << c.value;
}

TEST(FormatFloat, ChoosesTheSectionBySign)
{
    struct Case
    {
        const char *format;
        double value;
        const char *text;
    } cases[] = {
        {"0.00;(0.00);\"zero\"", 5, "5.00"},
        {"0.00;(0.00);\"zero\"", -5, "(5.00)"},
        {"0.00;(0.00);\"zero\"", 0, "zero"},
        {"0.00;(0.00);\"zero\"", -0.001, "zero"}, // rounded to zero: the zero section
        {"0.00;(0.00)", -0.001, "0.00"},          // no zero section: no sign either
        {"0.00", -0.001, "0.00"},
        {"0.00;;\"zero\"", -5, "-5.00"}, // empty negative section: the first, signed
        {"0.00;(0.00);", 0, "0.00"},     // empty zero section: the first
        {"0;-0;0;0", -5, "-5"},          // a fourth section belongs to the third
        {"0;0;\"a;b\"", 0, "a;b"},
        {"\"pos\";\"neg\"", -5, "neg"},
        {"\"pos\";\"neg\"", 5, "pos"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.text))
            << c.format << " " << c.value;
}

TEST(FormatFloat, FallsBackToTheGeneralFormat)
{
    EXPECT_EQ(FormatFloat("", 1234.5), "1234.5");
    EXPECT_EQ(FormatFloat("", 1e20), "1E20");
    EXPECT_EQ(FormatFloat("#,##0.00", 1e18), "1E18");
    EXPECT_EQ(FormatFloat("#,##0.00", -2.5e30), "-2.5E30");
    EXPECT_EQ(FormatFloat("0.00", std::nan("")), "NAN");
    EXPECT_EQ(FormatFloat("0.00", -Inf), "-INF");
    EXPECT_EQ(FormatFloat("0.00E+00", 1e18), "1.00E+18");
}

TEST(FormatFloat, WritesTheSeparatorsOfTheSettings)
{
    test::PinnedSettings pinned(commaDecimal());
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("0.00E+00", 1234), "1,23E+03");
}

TEST(FormatFloat, StaysLinearOnHugePatterns)
{
    const QString zeros(100000, u'0');
    EXPECT_EQ(FormatFloat(zeros, 5).size(), 100000);
    EXPECT_TRUE(FormatFloat(zeros, 5).endsWith(u'5'));
    const QString fraction = "0." + zeros;
    EXPECT_EQ(FormatFloat(fraction, 0.5).size(), 100002);
    const QString grouped = "#," + zeros;
    EXPECT_EQ(FormatFloat(grouped, 1).size(), 100000 + (100000 - 1) / 3);
    EXPECT_EQ(FormatFloat("0." + zeros + "E+00", 1).size(), 100006);
    EXPECT_EQ(FormatFloat(QString(100000, u';'), 1), "");
}
