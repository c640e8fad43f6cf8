#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorgrd;

namespace {

constexpr double Millisecond = 1.0 / 86400000.0;

FormatSettings germanLike()
{
    FormatSettings s = FormatSettings::invariant();
    s.ShortDateFormat = "dd.mm.yyyy";
    s.DateSeparator = u'.';
    s.DecimalSeparator = u',';
    return s;
}

FormatSettings americanLike()
{
    FormatSettings s = FormatSettings::invariant();
    s.ShortDateFormat = "m/d/yy";
    s.DateSeparator = u'/';
    return s;
}

} // namespace

TEST(EncodeDateTime, CountsDaysFromTheEndOf1899)
{
    struct Case
    {
        int y, m, d, h, n;
        double value;
    } cases[] = {
        {1899, 12, 30, 0, 0, 0},      {1899, 12, 31, 0, 0, 1},       {1900, 1, 1, 0, 0, 2},
        {1900, 3, 1, 0, 0, 61},       {1970, 1, 1, 0, 0, 25569},     {2000, 1, 1, 12, 0, 36526.5},
        {1, 1, 1, 0, 0, -693593},     {9999, 12, 31, 0, 0, 2958465}, {1899, 12, 29, 6, 0, -0.75},
        {1899, 12, 29, 18, 0, -0.25}, {1600, 2, 29, 0, 0, -109512},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EncodeDateTime(c.y, c.m, c.d, c.h, c.n), c.value)
            << c.y << "-" << c.m << "-" << c.d << " " << c.h;
}

TEST(EncodeDateTime, RejectsPartsThatAreNoRealDateOrTime)
{
    const int bad[][7] = {{2023, 2, 29, 0, 0, 0, 0}, {1900, 2, 29, 0, 0, 0, 0},
                          {0, 1, 1, 0, 0, 0, 0},     {10000, 1, 1, 0, 0, 0, 0},
                          {2020, 13, 1, 0, 0, 0, 0}, {2020, 4, 31, 0, 0, 0, 0},
                          {2020, 1, 1, 24, 0, 0, 0}, {2020, 1, 1, 0, 60, 0, 0},
                          {2020, 1, 1, 0, 0, -1, 0}, {2020, 1, 1, 0, 0, 0, 1000}};
    for (const auto &b : bad)
        EXPECT_THROW(EncodeDateTime(b[0], b[1], b[2], b[3], b[4], b[5], b[6]), EConvertError)
            << b[0] << "-" << b[1] << "-" << b[2] << " " << b[3] << ":" << b[4];
}

TEST(StrToDateTime, ReadsIsoShortDateAndTimeTexts)
{
    struct Case
    {
        const char *text;
        double value;
    } cases[] = {
        {"2020-01-05", EncodeDateTime(2020, 1, 5)},
        {"2020-1-5", EncodeDateTime(2020, 1, 5)},
        {"  2020-01-05  ", EncodeDateTime(2020, 1, 5)},
        {"2020-01-05 13:45", EncodeDateTime(2020, 1, 5, 13, 45)},
        {"2020-01-05T13:45", EncodeDateTime(2020, 1, 5, 13, 45)},
        {"2020-01-05   13:45:30", EncodeDateTime(2020, 1, 5, 13, 45, 30)},
        {"2020-01-05 13:45:30.250", EncodeDateTime(2020, 1, 5, 13, 45, 30, 250)},
        {"2020-01-05 13:45:30.5", EncodeDateTime(2020, 1, 5, 13, 45, 30, 500)},
        {"2020-01-05 13:45:30.05", EncodeDateTime(2020, 1, 5, 13, 45, 30, 50)},
        {"2020-01-05 1:05 PM", EncodeDateTime(2020, 1, 5, 13, 5)},
        {"2020-01-05 12:00am", EncodeDateTime(2020, 1, 5, 0, 0)},
        {"2020/01/05", EncodeDateTime(2020, 1, 5)},
        {"20-01-05", EncodeDateTime(2020, 1, 5)},
        {"49/12/31", EncodeDateTime(2049, 12, 31)},
        {"50/1/1", EncodeDateTime(1950, 1, 1)},
        {"2000-02-29", EncodeDateTime(2000, 2, 29)},
        {"0001-01-01", EncodeDateTime(1, 1, 1)},
        {"9999-12-31 23:59:59.999", EncodeDateTime(9999, 12, 31, 23, 59, 59, 999)},
        {"1899-12-29 06:00", -0.75},
        {"13:45", EncodeDateTime(1899, 12, 30, 13, 45)},
        {"0:00", 0},
        {"12:00 PM", 0.5},
        {"9:5:7", EncodeDateTime(1899, 12, 30, 9, 5, 7)},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(StrToDateTime(c.text), c.value) << c.text;
        double v = -1;
        EXPECT_TRUE(TryStrToDateTime(c.text, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(StrToDateTime, RejectsEverythingElseNamingTheText)
{
    const char *bad[] = {
        "",
        " ",
        "abc",
        "2023-02-30",
        "2023-02-29",
        "1900-02-29",
        "2020-13-01",
        "2020-00-10",
        "2020-01-00",
        "0000-01-01",
        "10000-01-01",
        "123-01-05",
        "2020-01/05",
        "2020/01-05",
        "2020-01-05x",
        "2020-01-05T",
        "2020-01-05 12",
        "2020-01-05 24:00",
        "2020-01-05 12:60",
        "12:00:60",
        "13:00 PM",
        "0:30 AM",
        "12:",
        "T12:00",
        "2020-01-05 12:00 x",
        "2020-01-05 12:00:00.1234",
        "1.5",
        "2020",
        "20-1",
        "2020-01-05T 12:00",
        "\uff12\uff10\uff12\uff10-01-05",
        "--",
        "2020-01-05 -1:00",
        "100:00",
        "2020-001-05",
    };
    for (const char *text : bad) {
        double v = -1;
        EXPECT_FALSE(TryStrToDateTime(QString::fromUtf8(text), v)) << text;
        EXPECT_EQ(v, 0) << text;
        try {
            StrToDateTime(QString::fromUtf8(text));
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.Message(),
                      QString("'%1' is not a valid date and time").arg(QString::fromUtf8(text)));
        }
    }
}

TEST(StrToDateTime, FollowsTheShortDateOrderOfTheSettings)
{
    {
        test::PinnedSettings pinned(germanLike());
        EXPECT_EQ(StrToDateTime("31.12.2020"), EncodeDateTime(2020, 12, 31));
        EXPECT_EQ(StrToDateTime("1.2.20 14:30"), EncodeDateTime(2020, 2, 1, 14, 30));
        EXPECT_EQ(StrToDateTime("1/2/2020"), EncodeDateTime(2020, 2, 1));
        EXPECT_EQ(StrToDateTime("2020-12-31"), EncodeDateTime(2020, 12, 31)); // ISO stays
        EXPECT_EQ(StrToDateTime("1.2.2020 14:30:15,5"),
                  EncodeDateTime(2020, 2, 1, 14, 30, 15, 500));
        EXPECT_THROW(StrToDateTime("2020.12.31"), EConvertError);
        try {
            StrToDateTime("31.02.2020");
            ADD_FAILURE() << "accepted 31.02.2020";
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.Message(), QString("'31.02.2020' is not a valid date and time"));
        }
    }
    {
        test::PinnedSettings pinned(americanLike());
        EXPECT_EQ(StrToDateTime("12/31/20 1:30 PM"), EncodeDateTime(2020, 12, 31, 13, 30));
        EXPECT_EQ(StrToDateTime("2/1/2020"), EncodeDateTime(2020, 2, 1));
        EXPECT_THROW(StrToDateTime("31/12/2020"), EConvertError);
    }
    {
        FormatSettings s = FormatSettings::invariant();
        s.TimeSeparator = u'.';
        s.TimeAMString = "vorm.";
        s.TimePMString = "nachm.";
        test::PinnedSettings pinned(s);
        EXPECT_EQ(StrToDateTime("2020-01-05 13.45"), EncodeDateTime(2020, 1, 5, 13, 45));
        EXPECT_EQ(StrToDateTime("1.45 nachm."), EncodeDateTime(1899, 12, 30, 13, 45));
        EXPECT_EQ(StrToDateTime("1:45 PM"), EncodeDateTime(1899, 12, 30, 13, 45));
    }
}

TEST(StrToDateTime, ValuesOrderChronologicallyAlsoBefore1899)
{
    const char *inOrder[] = {"0001-01-01",       "1800-06-01 23:00", "1899-12-29 00:00",
                             "1899-12-29 00:01", "1899-12-29 23:59", "1899-12-30 00:00",
                             "1899-12-30 00:01", "2020-01-01",       "9999-12-31 23:59:59.999"};
    for (size_t i = 1; i < std::size(inOrder); ++i)
        EXPECT_LT(StrToDateTime(inOrder[i - 1]), StrToDateTime(inOrder[i]))
            << inOrder[i - 1] << " < " << inOrder[i];
}

TEST(FormatDateTime, WritesThePatternLetters)
{
    const double sunday = EncodeDateTime(2021, 3, 7, 14, 5, 9, 45);
    struct Case
    {
        const char *format;
        const char *text;
    } cases[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", "2021-03-07 14:05:09.045"},
        {"d/m/yy", "7-3-21"},
        {"dd.mm.yyyy", "07.03.2021"},
        {"ddd dddd", "Sun Sunday"},
        {"mmm mmmm", "Mar March"},
        {"h:m", "14:5"},
        {"hh:mm", "14:05"},
        {"hh 'h' mm", "14 h 05"},
        {"mm hh", "03 14"},
        {"HH:NN:SS", "14:05:09"},
        {"h:n:s", "14:5:9"},
        {"h:nn am/pm", "2:05 pm"},
        {"h:nn AM/PM", "2:05 PM"},
        {"am/pm h", "pm 2"},
        {"h a/p", "2 p"},
        {"hh ampm", "02 PM"},
        {"z zzz", "45 045"},
        {"ddddd", "2021-03-07"},
        {"dddddd", "Sunday, 7 March 2021"},
        {"t", "14:05"},
        {"tt", "14:05:09"},
        {"c", "2021-03-07 14:05:09"},
        {"", "2021-03-07 14:05:09"},
        {"\"d\" d 'm' m", "d 7 m 3"},
        {"yyyy\"open", "2021open"},
        {"dd.mm.yyx", "07.03.21x"},
        {"Q-b", "Q-b"},
        {"\u00e4 dd", "\u00e4 07"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), sunday), QString::fromUtf8(c.text))
            << c.format;
}

TEST(FormatDateTime, CountsTwelveHoursAroundMidnightAndNoon)
{
    struct Case
    {
        int hour;
        const char *text;
    } cases[] = {{0, "12 am"}, {1, "1 am"}, {11, "11 am"}, {12, "12 pm"}, {23, "11 pm"}};
    for (const auto &c : cases)
        EXPECT_EQ(FormatDateTime("h am/pm", EncodeDateTime(2000, 1, 1, c.hour)), c.text);
}

TEST(FormatDateTime, LeavesTheTimeOutOfCAtMidnight)
{
    EXPECT_EQ(FormatDateTime("c", EncodeDateTime(2021, 3, 7)), "2021-03-07");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -0.75), "1899-12-29 06:00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -0.25), "1899-12-29 18:00");
}

TEST(FormatDateTime, RoundTripsThroughStrToDateTime)
{
    const double values[] = {0,       -0.75,        1.0 / 3,   36526.999994213, -693593,
                             2958465, 2958465.9999, 44197.123, -100000.5001,    12345.0000001};
    for (const double v : values) {
        const QString text = FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v);
        EXPECT_NEAR(StrToDateTime(text), v, Millisecond / 2 + 1e-9) << text.toStdString();
    }
}

TEST(FormatDateTime, RejectsValuesOutsideTheCalendar)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          -1e300,
                          -693593.0001,
                          2958466};
    for (const double v : bad)
        EXPECT_THROW(FormatDateTime("yyyy", v), EConvertError) << v;
    // the last millisecond of the range does not roll over into year 10000
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", std::nextafter(2958466.0, 0.0)),
              "9999-12-31 23:59:59.999");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", -693593), "0001-01-01");
}

TEST(FormatDateTime, SurvivesSettingsThatNameThemselvesOrLackNames)
{
    FormatSettings s = FormatSettings::invariant();
    s.ShortDateFormat = "c ddddd yyyy";
    s.LongTimeFormat = "tt c";
    s.ShortMonthNames.clear();
    s.LongDayNames.clear();
    test::PinnedSettings pinned(s);
    const double v = EncodeDateTime(2021, 3, 7, 14, 5);
    EXPECT_EQ(FormatDateTime("c", v), "  2021  ");
    EXPECT_EQ(FormatDateTime("mmm dddd", v), "Mar Sunday");
}
