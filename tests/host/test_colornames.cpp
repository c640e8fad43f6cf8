// The host's colour names: the list, names and numbers both ways, and what is refused.
#include "host/colornames.h"

#include <gtest/gtest.h>

using namespace vorgrd;

TEST(ColorNames, ListPlainColoursThenSystemColoursEachNameOnce)
{
    QStringList names;
    GetColorValues([&](const QString &name) { names << name; });
    ASSERT_EQ(names.size(), 32);
    EXPECT_EQ(names.first(), "clBlack");
    EXPECT_EQ(names[15], "clWhite");
    EXPECT_EQ(names[16], "clScrollBar");
    EXPECT_EQ(names.last(), "clInfoBk");
    EXPECT_EQ(names.removeDuplicates(), 0);
    // Every name reads back as the colour it is the name of.
    for (const QString &name : names) {
        TColor color = 0x12345678;
        ASSERT_TRUE(IdentToColor(name, color)) << name.toStdString();
        EXPECT_EQ(ColorToString(color), name);
    }
}

TEST(ColorNames, ColoursWithoutANameAreWrittenInHexadecimalAndReadBack)
{
    struct Case
    {
        TColor color;
        const char *text;
    };
    const Case cases[] = {{0x00804020, "0x00804020"}, {0x00000001, "0x00000001"},
                          {0x80000002, "0x80000002"}, {0xFFFFFFFF, "0xFFFFFFFF"}};
    for (const Case &c : cases) {
        EXPECT_EQ(ColorToString(c.color), c.text);
        TColor back = 0;
        ASSERT_TRUE(StringToColor(QLatin1String(c.text), back)) << c.text;
        EXPECT_EQ(back, c.color);
    }
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(0x0000FF), "clRed");
}

TEST(ColorNames, TextsReadAsNamesAndNumbersOrLeaveTheColourAlone)
{
    struct Case
    {
        const char *text;
        bool readable;
        TColor color;
    };
    const Case cases[] = {
        {"clred", true, clRed},           {" CLBTNFACE ", true, clBtnFace},
        {"255", true, 0xFF},              {"$FF0000", true, clBlue},
        {"0x80000005", true, clWindow},   {"-2147483643", true, clWindow},
        {"4294967295", true, 0xFFFFFFFF}, {"+16", true, 16},
        {"clRe", false, 0},               {"", false, 0},
        {"0x", false, 0},                 {"$", false, 0},
        {"0x100000000", false, 0},        {"4294967296", false, 0},
        {"-2147483649", false, 0},        {"12a", false, 0},
        {"0xFG", false, 0},               {"1 2", false, 0},
        {"\u0663", false, 0}, // an Arabic-Indic digit is no digit here
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        TColor color = 0xABCDEF;
        EXPECT_EQ(StringToColor(QString::fromUtf8(c.text), color), c.readable);
        EXPECT_EQ(color, c.readable ? c.color : 0xABCDEFu);
    }
    TColor untouched = 7;
    EXPECT_FALSE(IdentToColor("255", untouched));
    EXPECT_EQ(untouched, 7u);
}
