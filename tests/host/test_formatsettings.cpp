#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

using namespace vorgrd;

TEST(FormatSettings, FromLocaleTakesSeparatorsAndPatternsInOurLetters)
{
    struct Case
    {
        const char *locale;
        char16_t decimal, thousands, date, time;
        const char *shortDate, *shortTime, *longTime;
    } cases[] = {
        {"de_DE", u',', u'.', u'.', u':', "dd/mm/yy", "hh:nn", "hh:nn:ss"},
        {"en_US", u'.', u',', u'/', u':', "m/d/yy", "h:nn ampm", "h:nn:ss ampm"},
        {"fi_FI", u',', u'\u00a0', u'.', u'.', "d/m/yyyy", "h:nn", "h:nn:ss"},
        {"nl_NL", u',', u'.', u'-', u':', "dd/mm/yyyy", "hh:nn", "hh:nn:ss"},
        // the right-to-left marks between the fields are no separators
        {"ar_EG", u'\u066b', u'\u066c', u'/', u':', "d/m/yyyy", "h:nn ampm", "h:nn:ss ampm"},
        // Qt's quoted letters stay literal text
        {"bg_BG", u',', u'\u00a0', u'.', u':', "d/mm/yy \"\u0433\"/", "h:nn \"\u0447\".",
         "h:nn:ss \"\u0447\"."},
    };
    for (const auto &c : cases) {
        const FormatSettings s = FormatSettings::fromLocale(QLocale(c.locale));
        EXPECT_EQ(s.DecimalSeparator, QChar(c.decimal)) << c.locale;
        EXPECT_EQ(s.ThousandSeparator, QChar(c.thousands)) << c.locale;
        EXPECT_EQ(s.DateSeparator, QChar(c.date)) << c.locale;
        EXPECT_EQ(s.TimeSeparator, QChar(c.time)) << c.locale;
        EXPECT_EQ(s.ShortDateFormat, QString::fromUtf8(c.shortDate)) << c.locale;
        EXPECT_EQ(s.ShortTimeFormat, QString::fromUtf8(c.shortTime)) << c.locale;
        EXPECT_EQ(s.LongTimeFormat, QString::fromUtf8(c.longTime)) << c.locale;
        EXPECT_EQ(s.ShortMonthNames.size(), 12) << c.locale;
        EXPECT_EQ(s.LongDayNames.size(), 7) << c.locale;
        EXPECT_FALSE(s.TimeAMString.isEmpty()) << c.locale;
    }
}

TEST(FormatSettings, FromLocaleGivesSundayFirstAndLocalNames)
{
    const FormatSettings de = FormatSettings::fromLocale(QLocale("de_DE"));
    EXPECT_EQ(de.LongDayNames.first(), "Sonntag");
    EXPECT_EQ(de.LongDayNames.last(), "Samstag");
    EXPECT_EQ(de.LongMonthNames.at(2), QString::fromUtf8("M\u00e4rz"));
    EXPECT_EQ(de.CollationLocale, QLocale("de_DE"));
}

TEST(FormatSettings, LocaleDatesWrittenByTheirShortPatternReadBack)
{
    const double v = EncodeDateTime(2021, 3, 7, 14, 5);
    struct Case
    {
        const char *locale;
        const char *shown; // ShortDateFormat + " " + ShortTimeFormat
    } cases[] = {
        {"de_DE", "07.03.21 14:05"},
        {"en_US", "3/7/21 2:05 PM"},
        {"fr_FR", "07/03/2021 14:05"},
        {"fi_FI", "7.3.2021 14.05"},
        {"nl_NL", "07-03-2021 14:05"},
        {"en_GB", "07/03/2021 14:05"},
        {"sv_SE", "2021-03-07 14:05"},
        {"hu_HU", "2021. 03. 07. 14:05"},
        {"ko_KR", "21. 3. 7. \uc624\ud6c4 2:05"},
        {"ja_JP", "2021/03/07 14:05"},
        {"ar_EG", "7/3/2021 2:05 \u0645"},
    };
    for (const auto &c : cases) {
        const FormatSettings s = FormatSettings::fromLocale(QLocale(c.locale));
        test::PinnedSettings pinned(s);
        const QString shown = FormatDateTime(s.ShortDateFormat + " " + s.ShortTimeFormat, v);
        EXPECT_EQ(shown, QString::fromUtf8(c.shown)) << c.locale;
        double back = 0;
        EXPECT_TRUE(TryStrToDateTime(shown, back)) << c.locale;
        EXPECT_EQ(back, v) << c.locale;
    }
}

TEST(FormatSettings, InvariantSettingsAreIsoAndEnglish)
{
    const FormatSettings s = FormatSettings::invariant();
    EXPECT_EQ(FormatDateTime("ddddd", EncodeDateTime(2021, 3, 7)), "2021-03-07");
    EXPECT_EQ(s.LongMonthNames.first(), "January");
    EXPECT_EQ(s.ShortDayNames.first(), "Sun");
    EXPECT_EQ(s.DecimalSeparator, u'.');
}
