// What a column's Displayformat and a formula cell's expression become in a workbook:
// case tables of grid text -> XLSX code (or formula), and the ones that must not
// translate because a spreadsheet would show or compute something else. What
// LibreOffice then shows is tests/interop's job; these pin the translation itself.
#include "exchange/workbookformats_p.h"
#include "exchange/workbookformula_p.h"
#include "exchange/workbookstage_p.h"
#include "exchange/xlsxstyles_p.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace vorgrd;
using namespace vorgrd::workbook_internal;

namespace {

std::string xlsxNumber(const char *displayformat)
{
    const auto format = numberFormatOf(QString::fromUtf8(displayformat));
    const auto code = format ? xlsxNumberCode(*format) : std::nullopt;
    return code ? code->toStdString() : "(none)";
}

std::string xlsxDate(const char *displayformat)
{
    const auto format = dateFormatOf(QString::fromUtf8(displayformat), FormatSettings::invariant());
    const auto code = format ? xlsxDateCode(*format) : std::nullopt;
    return code ? code->toStdString() : "(none)";
}

} // namespace

TEST(WorkbookNumberFormat, TranslatesWhatASpreadsheetShowsAlike)
{
    const std::pair<const char *, const char *> cases[] = {
        {"0.00", "0.00"},
        {"#,##0.00", "#,##0.00"},
        {"0.00,", "#,##0.00"},        // a comma anywhere groups, never scales
        {"0,000", "0,000"},
        {"#.##", "#.##"},
        {"0.#0", "0.00"},             // a 0 further out asks for every digit up to it
        {"000", "000"},
        {".00", ".00"},
        {"0.00E+00", "0.00E+00"},
        {"0.00e-00", "0.00e-00"},
        {"0.00;(0.00);\"zero\"", "0.00;\"(\"0.00\")\";\"zero\""},
        {"0.00;;", "0.00;\"-\"0.00;0.00"}, // empty sections: the grid's stand-ins
        {"0.00 \"kg\"", "0.00\" kg\""},
        {"0.00%", "0.00\"%\""},        // the grid's % does not scale
        {"$#,##0.00", "\"$\"#,##0.00"},
        {"'say \"hi\" '0", "\"say \"\\\"\"hi\"\\\"\" \"0"},
        {"0.00x", "0.??"},            // trailing zeros blanked
        {"00.0E+0", "(none)"},        // spreadsheets scale such mantissas otherwise
        {"00-00", "(none)"},          // text between digits
        {"abc", "(none)"},
        {"", "(none)"},
        {"0;1;2;3", "(none)"},
    };
    for (const auto &[grid, xlsx] : cases)
        EXPECT_EQ(xlsxNumber(grid), xlsx) << grid;
}

TEST(WorkbookDateFormat, TranslatesTheGridsLettersAndRefusesWhatReadsOtherwise)
{
    const std::pair<const char *, const char *> cases[] = {
        {"yyyy-mm-dd", "yyyy-mm-dd"},
        {"dd/mm/yyyy", "dd-mm-yyyy"}, // "/" is the settings' separator
        {"hh:nn", "hh:mm"},
        {"hh:mm", "hh:mm"},           // m right after h is the minute
        {"nn:ss", "mm:ss"},
        {"yyyy-mm-dd hh:nn:ss.zzz", "yyyy-mm-dd hh:mm:ss.000"},
        {"dddd, d mmmm yyyy", "dddd, d mmmm yyyy"},
        {"ddd mmm yy", "ddd mmm yy"},
        {"h:nn AM/PM", "h:mm AM/PM"},
        {"h a/p", "h A/P"},
        {"d 'of' mmmm", "d \"of\" mmmm"},
        {"yy.mm.dd", "yy\".\"mm\".\"dd"},
        {"ddddd", "yyyy-mm-dd"},      // the settings' short date
        {"mm:ss", "(none)"},          // the grid's month would read as a minute
        {"nn", "(none)"},             // a minute alone would read as a month
        {"h:nn am/pm", "(none)"},     // spreadsheets write the marker in capitals
        {"hh:nn:ss.z", "(none)"},     // milliseconds without their zeros
        {"c", "(none)"},              // the date, and the time only when there is one
        {"", "(none)"},
        {"\"text\"", "(none)"},
    };
    for (const auto &[grid, xlsx] : cases)
        EXPECT_EQ(xlsxDate(grid), xlsx) << grid;
}

TEST(WorkbookFormula, KeepsTheStructureAndSpellsOutTheGridsOwnComputations)
{
    // The formula cell is (5, 2), so COL(c) reads row 2 and ROW(r) column 5.
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"CELL(1;2)*2", "B3*2", "of:=[.B3]*2"},
        {"cell(1;2) + col(3) - row(4)", "B3+D3-F5", "of:=[.B3]+[.D3]-[.F5]"},
        {"CELL(27;0)", "AB1", "of:=[.AB1]"},
        {"(1+2)*3-4/2", "(1+2)*3-4/2", "of:=(1+2)*3-4/2"},
        {"2*-3", "2*(-3)", "of:=2*(-3)"},
        {".5+5.+1.E2", "0.5+5+100", "of:=0.5+5+100"},
        {"PI*E", "PI()*EXP(1)", "of:=PI()*EXP(1)"},
        {"SQRT(16)+SQR(3)", "SQRT(16)+((3)*(3))", "of:=SQRT(16)+((3)*(3))"},
        {"ARCTAN(1)+LOG(100)+LN(1)", "ATAN(1)+LOG10(100)+LN(1)", "of:=ATAN(1)+LOG10(100)+LN(1)"},
        {"TAN(1)", "(SIN(1)/COS(1))", "of:=(SIN(1)/COS(1))"},
        {"FRAC(CELL(1;1))", "((B2)-TRUNC(B2))", "of:=(([.B2])-TRUNC([.B2]))"},
        {"INT(2.5)", "IF(ABS((2.5)-TRUNC(2.5))=0.5,2*ROUND((2.5)/2,0),ROUND((2.5),0))",
         "of:=IF(ABS((2.5)-TRUNC(2.5))=0.5;2*ROUND((2.5)/2;0);ROUND((2.5);0))"},
        {"1;5", "1", "of:=1"},         // what follows a top-level ender is ignored
        {"CELL((1);(2))", "B3", "of:=[.B3]"},
    };
    for (const auto &[grid, xlsx, ods] : cases) {
        const auto formula = translateFormula(QString::fromUtf8(grid), 5, 2);
        ASSERT_TRUE(formula) << grid;
        EXPECT_EQ(xlsxFormula(*formula).toStdString(), xlsx) << grid;
        EXPECT_EQ(odsFormula(*formula).toStdString(), ods) << grid;
    }
    EXPECT_EQ(translateFormula(u"CELL(1;2)+COL(1)", 5, 2)->references,
              (std::vector<CellReference>{{1, 2}, {1, 2}}));
}

TEST(WorkbookFormula, RefusesWhatHasNoWorkbookForm)
{
    for (const char *grid : {"SUMROW(1;3)", "AVGCOL(1;2)", "CELL(1+1;2)", "CELL(CELL(1;1);2)", "CELL(-1;2)",
                             "CELL(16384;1)", "COSX(1)", "", "1,5", "(1", "2E"})
        EXPECT_FALSE(translateFormula(QString::fromUtf8(grid), 5, 2)) << grid;
}

TEST(WorkbookValueText, NumbersAndDatesAsTheGridReadsThem)
{
    EXPECT_EQ(numberText(12.5), "12.5");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberText(1e20), "1E20");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(dateText(43835, true, false), "2020-01-05");
    EXPECT_EQ(dateText(43835.5, true, false), "2020-01-05 12:00:00"); // the time is kept
    EXPECT_EQ(dateText(0.25, false, true), "06:00:00");
    EXPECT_EQ(dateText(1.25, false, true), "1899-12-31 06:00:00");    // the date is kept
    EXPECT_EQ(dateText(0, true, false), "1899-12-30");
    EXPECT_EQ(dateText(43835 + 0.25 + 0.125 / 86400, true, true), "2020-01-05 06:00:00.125");
    EXPECT_EQ(dateText(3e6, true, false), "3000000"); // past 9999-12-31
    EXPECT_EQ(isoDateValue(u"2020-01-05T12:00:00.123456Z"), isoDateValue(u"2020-01-05 12:00:00.123"));
    EXPECT_NEAR(*isoDateValue(u"2020-01-05T12:00:00.123456Z"), 43835.5 + 0.123 / 86400, 1e-9);
    EXPECT_FALSE(isoDateValue(u"05.01.2020"));
}

TEST(WorkbookDateKind, TellsDatesTimesAndDurationsByTheirLetters)
{
    const std::tuple<int, const char *, DateKind> cases[] = {
        {14, "", DateKind::Date},
        {20, "", DateKind::Time},
        {22, "", DateKind::DateTime},
        {2, "", DateKind::None},
        {164, "yyyy-mm-dd", DateKind::Date},
        {164, "mm:ss", DateKind::Time},
        {164, "hh:mm", DateKind::Time},
        {164, "[$-409]mmm d, yyyy;@", DateKind::Date},
        {164, "[Red]0.00", DateKind::None},
        {164, "[h]:mm:ss", DateKind::None},     // a duration
        {164, "\"day\" 0", DateKind::None},     // letters inside quotes
        {164, "0.00\\d", DateKind::None},      // an escaped letter
        {164, "General", DateKind::None},
        {164, "d/m/yy h:mm AM/PM", DateKind::DateTime},
    };
    for (const auto &[id, code, kind] : cases)
        EXPECT_EQ(dateKindOf(id, QString::fromUtf8(code)), kind) << id << " " << code;
}

namespace {

// The general conversions the shortcuts must agree with: QString::toDouble, and
// numberText of the value.
void expectReadAndShownAlike(const QString &text)
{
    bool ok = false;
    const double expected = text.toDouble(&ok);
    const auto value = numberValue(text);
    ASSERT_EQ(value.has_value(), ok) << text.toStdString();
    if (!ok) return;
    EXPECT_EQ(std::memcmp(&*value, &expected, sizeof expected), 0) << text.toStdString(); // -0 too
    EXPECT_EQ(numberText(*value, text), numberText(expected)) << text.toStdString();
}

} // namespace

TEST(WorkbookValueText, WrittenNumbersReadAndShowAsTheGeneralConversionsDo)
{
    // On either side of each edge of the shortcuts: signs and zeros, 15 and 16
    // significant digits, the fifth and sixth place behind the point, trailing zeros,
    // the limits of a double, and texts that are no plain decimals at all.
    const char *texts[] = {
        "0", "-0", "00", "0.0", "-0.0", "5", "-5", "05", "12.5", "12.50", "-12.5", "0.5", "-0.5", ".5", "5.",
        "123456789012345", "1234567890123456", "-123456789012345", "12345678901234.5", "1234567890123.45",
        "123456789012345.6", "0.123456789012345", "0.1234567890123456", "0.00001", "0.000012345678901",
        "0.000001", "0.0000012", "0.10", "100", "1000000000000000", "999999999999999", "9999999999999999",
        "0.1", "0.2", "0.3", "1E20", "1e-7", "2.5E+3", "+5", " 5", "5 ", "1,5", "", "-", "abc", "0x10", "inf",
        "nan", "1.7976931348623157E308", "1e309", "4.9E-324", "123456789012345678901234567890",
        "0.000000000000000000000000000000000000000000000000000000000000000000001",
        "179769313486231570000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
        "00000000000000000000000000000000000000000",
        "36924.04236111111", "7919.01", "\xd9\xa3",
    };
    for (const char *text : texts)
        expectReadAndShownAlike(QString::fromUtf8(text));
    // Decimals of 1 to 18 digits with the point anywhere, from a fixed seed.
    std::mt19937_64 random(20261209);
    for (int i = 0; i < 20'000; ++i) {
        const int digits = 1 + int(random() % 18);
        QString text = random() % 4 == 0 ? QStringLiteral("-") : QString();
        const int point = int(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point && d > 0) text += u'.';
            // Zeros often, so that leading and trailing zeros come up.
            text += QChar(u'0' + (random() % 3 == 0 ? 0 : int(random() % 10)));
        }
        expectReadAndShownAlike(text);
    }
}
