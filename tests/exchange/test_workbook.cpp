// Workbooks through our own writers and readers: what a typed grid becomes after a
// round trip through XLSX and ODS, that a load replaces the content like
// LoadFromFile, that bad files (damaged, hostile, too large, not workbooks) are
// refused with the grid unchanged, and that a failed save keeps the previous file.
#include "exchange/typedgrid.h"
#include "exchange/workbookfiles.h"
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "support/pinnedsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

using namespace vorgrd;
using vorgrd::test::rowsOf;

namespace {

struct Format
{
    const char *name;
    void (tvorgrid::*save)(const QString &);
    // XLSX escapes a CR (_x000D_); ODS starts a new paragraph at any line break.
    bool keepsCarriageReturns;
};
const Format Formats[] = {{"xlsx", &tvorgrid::SaveasXLSX, true}, {"ods", &tvorgrid::SaveasODS, false}};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Workbook : ::testing::TestWithParam<Format>
{
    QTemporaryDir dir;
    tvorgrid grid;

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString saved(tvorgrid &from)
    {
        const QString file = path(GetParam().name);
        (from.*GetParam().save)(file);
        return file;
    }
};

} // namespace

// ---- round trips ------------------------------------------------------------------------

TEST_P(Workbook, EveryColumnTypeComesBackAsTheTextsTheSpreadsheetShows)
{
    tvorgrid source;
    test::TypedGrid::fill(source);
    grid.LoadFromWorkbook(saved(source));
    EXPECT_EQ(rowsOf(grid), test::TypedGrid::expected(GetParam().keepsCarriageReturns));
    EXPECT_EQ(grid.RowCount(), source.RowCount());
    EXPECT_EQ(grid.ColCount(), source.ColCount());
    grid.checkConsistency();
}

TEST_P(Workbook, TheLoadedTextsLoadTheSameAgain)
{
    // Nothing drifts: a grid that holds what a load gives saves and loads to itself.
    tvorgrid source;
    test::TypedGrid::fill(source);
    source.LoadFromWorkbook(saved(source));
    const QStringList once = rowsOf(source);
    grid.LoadFromWorkbook(saved(source));
    EXPECT_EQ(rowsOf(grid), once);
}

TEST_P(Workbook, NumbersComeBackWithAPointWhateverTheDecimalSeparator)
{
    FormatSettings german = FormatSettings::invariant();
    german.DecimalSeparator = u',';
    german.ThousandSeparator = u'.';
    const test::PinnedSettings pinned(german);
    tvorgrid source;
    source.setColCount(2);
    source.setRowCount(3);
    source.columns()->GeTmColumn(1)->settype(ftnumeric);
    source.setCells(1, 0, "12,5");   // the settings' form
    source.setCells(1, 1, "0.25");   // the parser's form
    source.setCells(1, 2, "1.234,5"); // no number in either: a text
    grid.LoadFromWorkbook(saved(source));
    EXPECT_EQ(grid.Cells(1, 0), "12.5");
    EXPECT_EQ(grid.Cells(1, 1), "0.25");
    EXPECT_EQ(grid.Cells(1, 2), "1.234,5");
}

INSTANTIATE_TEST_SUITE_P(Formats, Workbook, ::testing::ValuesIn(Formats),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- what a load replaces ----------------------------------------------------------------

TEST(WorkbookLoad, ReplacesTheContentAsLoadFromFileDoes)
{
    QTemporaryDir dir;
    tvorgrid source;
    source.setColCount(3);
    source.setRowCount(2);
    source.setCells(2, 1, "new");
    const QString file = dir.filePath("small.xlsx");
    source.SaveasXLSX(file);

    tvorgrid grid;
    grid.setColCount(6);
    grid.setRowCount(9);
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 6; ++c)
            grid.setCells(c, r, "old");
    grid.setCells(20, 20, "beyond");
    grid.columns()->GeTmColumn(2)->SetcolumnName("kept");
    grid.SetSelectRow(5, 1, true);
    grid.LoadFromWorkbook(file);

    EXPECT_EQ(rowsOf(grid), QStringList({"||", "||new"}));
    EXPECT_EQ(grid.Cells(20, 20), "") << "a cell beyond the counts would come back when they grow";
    EXPECT_EQ(grid.columns()->GeTmColumn(2)->columnName(), "kept");
    for (int r = 0; r < grid.RowCount(); ++r)
        EXPECT_EQ(grid.RowMarks()->Strings(r), "N");
    grid.checkConsistency();
}

TEST(WorkbookLoad, TakesTheSheetItIsAskedForAndValuesWhereverTheyStand)
{
    // Shared texts, inline texts, rich text runs, escapes, a cell without a name,
    // a Boolean, an error, a formula's cached text, and a second sheet.
    QTemporaryDir dir;
    using namespace workbookfiles;
    Parts parts = xlsx(xlsxSheet(R"(<row r="2"><c r="B2" t="s"><v>0</v></c><c t="inlineStr"><is><t>inline</t></is></c></row>)"
                                 R"(<row r="4"><c r="A4" t="b"><v>1</v></c><c r="B4" t="e"><v>#DIV/0!</v></c>)"
                                 R"(<c r="C4" t="str"><f>"a"&amp;"b"</f><v>ab</v></c><c r="D4"><f>1+1</f></c></row>)"),
                       R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><r><t>ri</t></r><r><t xml:space="preserve">ch _x000D_</t></r><rPh><t>x</t></rPh></si></sst>)");
    parts[2].second = R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Z" sheetId="9" r:id="rId9"/><sheet name="A" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    parts[3].second.replace("</Relationships>",
                            R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/other.xml"/></Relationships>)");
    parts.push_back({"xl/worksheets/other.xml", xlsxSheet(R"(<row r="1"><c r="A1"><v>0.5</v></c></row>)")});
    const QString file = dir.filePath("hand.xlsx");
    ASSERT_TRUE(writeZip(file, parts));

    tvorgrid grid;
    grid.LoadFromWorkbook(file, 1);
    EXPECT_EQ(rowsOf(grid), QStringList({"||", "|rich \r|inline", "||", "Y|#DIV/0!|ab"}));
    grid.LoadFromWorkbook(file, 0);
    EXPECT_EQ(rowsOf(grid), QStringList({"0.5|", "|"}));
}

TEST(WorkbookLoad, OdsCellsTakeTheirValuesAndPlaces)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("repeat.ods");
    ASSERT_TRUE(workbookfiles::writeZip(
        file, workbookfiles::ods(
                  R"(<table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="2"/>)"
                  R"(<table:table-cell office:value-type="float" office:value="2" table:number-columns-repeated="2"/></table:table-row>)"
                  R"(<table:table-row><table:table-cell office:value-type="string"><text:p><text:s text:c="2"/>a<text:tab/>b</text:p><text:p>c<text:span>d</text:span></text:p></table:table-cell>)"
                  R"(<table:covered-table-cell/><table:table-cell office:value-type="boolean" office:boolean-value="false"/>)"
                  R"(<table:table-cell office:value-type="time" office:time-value="PT13H45M00S"/>)"
                  R"x(<table:table-cell table:formula="of:=TRUE()" office:value-type="float" office:value="1"/></table:table-row>)x"
                  R"(<table:table-row table:number-rows-repeated="1048570"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>)")));
    tvorgrid grid;
    grid.LoadFromWorkbook(file);
    // A Boolean as LibreOffice writes one it read from XLSX: the formula TRUE().
    EXPECT_EQ(rowsOf(grid), QStringList({"||2|2|", "||2|2|", "  a\tb\ncd|||13:45:00|Y"}));
}

// ---- refusals ---------------------------------------------------------------------------

namespace {

struct BadFile
{
    const char *name;
    std::function<QString(const QTemporaryDir &)> make; // returns the file's path
    int sheet;
    const char *type; // "MFileError", "EInOutError", "ERangeError"
    const char *message;
};

QString make(const QTemporaryDir &dir, const char *name, const workbookfiles::Parts &parts)
{
    const QString file = dir.filePath(QLatin1String(name));
    EXPECT_TRUE(workbookfiles::writeZip(file, parts));
    return file;
}

QString savedXlsx(const QTemporaryDir &dir)
{
    tvorgrid grid;
    grid.setCells(1, 1, "x");
    const QString file = dir.filePath("good.xlsx");
    grid.SaveasXLSX(file);
    return file;
}

// A package whose directory says the sheet unpacks to 3.75 GiB: the sizes in the
// local header and in the central directory entry are set so.
QString lyingSizes(const QTemporaryDir &dir)
{
    const QString file = make(dir, "bomb.xlsx", workbookfiles::xlsx(workbookfiles::xlsxSheet("")));
    QByteArray bytes = readFile(file);
    const QByteArray name = "xl/worksheets/sheet1.xml";
    for (qsizetype at = bytes.indexOf(name); at >= 0; at = bytes.indexOf(name, at + 1)) {
        const bool central = at >= 46 && bytes.mid(at - 46, 4) == "PK\x01\x02";
        const qsizetype size = central ? at - 46 + 24 : at - 30 + 22;
        bytes.replace(size, 4, QByteArray("\x00\x00\x00\xF0", 4));
    }
    writeFile(file, bytes);
    return file;
}

QString row(int cells)
{
    QString xml = "<row r=\"1\">";
    for (int c = 0; c < cells; ++c) {
        QString name;
        for (int n = c + 1; n > 0; n = (n - 1) / 26)
            name.prepend(QChar(char16_t(u'A' + (n - 1) % 26)));
        xml += "<c r=\"" + name + "1\"><v>1</v></c>";
    }
    return xml + "</row>";
}

const QByteArray Xxe = R"(<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY secret SYSTEM "file:///etc/hostname">]>)"
                       R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>&secret;</t></si></sst>)";
const QByteArray Laughs = R"(<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">]>)"
                          R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>&b;&b;&b;</t></si></sst>)";
const QByteArray SharedCell = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)";

const BadFile BadFiles[] = {
    {"missing", [](const QTemporaryDir &d) { return d.filePath("none.xlsx"); }, 0, "MFileError", "not found"},
    {"text file",
     [](const QTemporaryDir &d) {
         writeFile(d.filePath("a.xlsx"), "a;b\r\n");
         return d.filePath("a.xlsx");
     },
     0, "EInOutError", "is not a workbook (XLSX or ODS)"},
    {"cut short",
     [](const QTemporaryDir &d) {
         const QByteArray whole = readFile(savedXlsx(d));
         writeFile(d.filePath("cut.xlsx"), whole.left(whole.size() * 2 / 3));
         return d.filePath("cut.xlsx");
     },
     0, "EInOutError", "damaged workbook: its ZIP directory is missing or broken"},
    {"ZIP of something else", [](const QTemporaryDir &d) { return make(d, "z.xlsx", {{"hello.txt", "hello"}}); }, 0,
     "EInOutError", "is a ZIP archive but not a workbook"},
    {"zip bomb", lyingSizes, 0, "EInOutError", "unpacks to more than 1073741824 bytes"},
    {"cell-count bomb",
     [](const QTemporaryDir &d) {
         return make(d, "cells.ods",
                     workbookfiles::ods(R"(<table:table-row table:number-rows-repeated="5000"><table:table-cell )"
                                        R"(table:number-columns-repeated="4000" office:value-type="float" office:value="1"/></table:table-row>)"));
     },
     0, "ERangeError", "holds more than 16777216 values"},
    {"external entity",
     [](const QTemporaryDir &d) { return make(d, "xxe.xlsx", workbookfiles::xlsx(workbookfiles::xlsxSheet(SharedCell), Xxe)); },
     0, "EInOutError", "document type declaration"},
    {"entity expansion",
     [](const QTemporaryDir &d) { return make(d, "laughs.xlsx", workbookfiles::xlsx(workbookfiles::xlsxSheet(SharedCell), Laughs)); },
     0, "EInOutError", "document type declaration"},
    {"16,384 columns",
     [](const QTemporaryDir &d) { return make(d, "wide.xlsx", workbookfiles::xlsx(workbookfiles::xlsxSheet(row(16384).toUtf8()))); },
     0, "ERangeError", "a value in column 4097; a workbook load reads at most 4096 columns"},
    {"16,384 repeated ODS columns",
     [](const QTemporaryDir &d) {
         return make(d, "wide.ods",
                     workbookfiles::ods(R"(<table:table-row><table:table-cell table:number-columns-repeated="16384" )"
                                        R"(office:value-type="float" office:value="1"/></table:table-row>)"));
     },
     0, "ERangeError", "at most 4096 columns"},
    {"sheet out of range", savedXlsx, 1, "ERangeError", "has no sheet 1: its sheets are 0 to 0"},
    {"negative sheet", savedXlsx, -1, "ERangeError", "has no sheet -1"},
    {"ODS sheet out of range", [](const QTemporaryDir &d) { return make(d, "one.ods", workbookfiles::ods("")); }, 2,
     "ERangeError", "has no sheet 2: its sheets are 0 to 0"},
    {"encrypted XLSX",
     [](const QTemporaryDir &d) {
         writeFile(d.filePath("locked.xlsx"), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(500, '\0')
                                                  + QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32));
         return d.filePath("locked.xlsx");
     },
     0, "EInOutError", "is a password-protected workbook"},
    {"old binary workbook",
     [](const QTemporaryDir &d) {
         writeFile(d.filePath("old.xls"), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(500, '\0'));
         return d.filePath("old.xls");
     },
     0, "EInOutError", "is an old binary workbook (.xls)"},
    {"encrypted ODS",
     [](const QTemporaryDir &d) {
         return make(d, "locked.ods", workbookfiles::ods("", "<manifest:encryption-data/>"));
     },
     0, "EInOutError", "is a password-protected workbook"},
    {"ODF text document",
     [](const QTemporaryDir &d) {
         auto parts = workbookfiles::ods("");
         parts[0].second = "application/vnd.oasis.opendocument.text";
         return make(d, "letter.odt", parts);
     },
     0, "EInOutError", "another kind (application/vnd.oasis.opendocument.text)"},
    {"XML not well-formed",
     [](const QTemporaryDir &d) {
         return make(d, "bad.xlsx", workbookfiles::xlsx(workbookfiles::xlsxSheet("<row><c><v>1</v></row>")));
     },
     0, "EInOutError", "damaged workbook: xl/worksheets/sheet1.xml, line 1"},
    {"shared text out of range",
     [](const QTemporaryDir &d) { return make(d, "sst.xlsx", workbookfiles::xlsx(workbookfiles::xlsxSheet(SharedCell))); },
     0, "EInOutError", "a shared text numbered 0"},
};

struct Refused : ::testing::TestWithParam<BadFile>
{
};

} // namespace

TEST_P(Refused, WithAClearErrorAndTheGridUnchanged)
{
    QTemporaryDir dir;
    tvorgrid grid;
    grid.setColCount(3);
    grid.setRowCount(4);
    grid.setCells(2, 3, "kept");
    grid.SetSelectRow(2, 1, true);
    const QStringList before = rowsOf(grid);
    const BadFile &bad = GetParam();
    const QString file = bad.make(dir);
    try {
        grid.LoadFromWorkbook(file, bad.sheet);
        ADD_FAILURE() << "the load succeeded";
    } catch (const Exception &e) {
        const char *type = dynamic_cast<const MFileError *>(&e)    ? "MFileError"
                           : dynamic_cast<const EInOutError *>(&e) ? "EInOutError"
                           : dynamic_cast<const ERangeError *>(&e) ? "ERangeError"
                                                                   : "Exception";
        EXPECT_STREQ(type, bad.type) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QLatin1String(bad.message))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(file)) << e.Message().toStdString();
    }
    EXPECT_EQ(rowsOf(grid), before);
    EXPECT_TRUE(grid.GetSelectRow(2, 1));
    grid.checkConsistency();
}

INSTANTIATE_TEST_SUITE_P(BadFiles, Refused, ::testing::ValuesIn(BadFiles), [](const auto &info) {
    std::string name;
    for (const char *p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

// ---- saves that fail --------------------------------------------------------------------

TEST(WorkbookSave, AFailedSaveKeepsThePreviousFileAndNamesTheFile)
{
    QTemporaryDir dir;
    for (const Format &format : Formats) {
        SCOPED_TRACE(format.name);
        tvorgrid grid;
        grid.setCells(1, 1, "first");
        const QString file = dir.filePath(QStringLiteral("kept.") + format.name);
        (grid.*format.save)(file);
        const QByteArray before = readFile(file);
        const QString missing = dir.filePath("no/such/folder/f.") + format.name;
        try {
            (grid.*format.save)(missing);
            ADD_FAILURE() << "saved into a missing folder";
        } catch (const EInOutError &e) {
            EXPECT_TRUE(e.Message().startsWith("File " + missing + " could not be written")) << e.Message().toStdString();
        }
        EXPECT_FALSE(QFile::exists(missing));
        EXPECT_EQ(readFile(file), before);
    }
}

TEST(WorkbookSave, AnXlsxCellHoldsNoMoreThanItsCharactersAndNothingIsWrittenThen)
{
    QTemporaryDir dir;
    tvorgrid grid;
    grid.setCells(1, 1, "first");
    const QString file = dir.filePath("long.xlsx");
    grid.SaveasXLSX(file);
    const QByteArray before = readFile(file);
    grid.setCells(2, 3, QString(32767, u'a'));
    grid.SaveasXLSX(file); // the most a cell holds
    grid.setCells(2, 3, QString(32768, u'a'));
    try {
        grid.SaveasXLSX(file);
        ADD_FAILURE() << "a text too long for a cell was written";
    } catch (const EInOutError &e) {
        EXPECT_TRUE(e.Message().contains("cell (2, 3) holds 32768 characters")) << e.Message().toStdString();
    }
    grid.SaveasODS(dir.filePath("long.ods")); // ODS has no such bound
    tvorgrid back;
    back.LoadFromWorkbook(dir.filePath("long.ods"));
    EXPECT_EQ(back.Cells(2, 3).size(), 32768);
    back.LoadFromWorkbook(file);
    EXPECT_EQ(back.Cells(2, 3).size(), 32767) << "the refused save changed the file";
    EXPECT_NE(readFile(file), before);
}

TEST(WorkbookSave, AGridWiderThanAnXlsxSheetIsRefused)
{
    QTemporaryDir dir;
    tvorgrid grid;
    grid.setColCount(16385);
    const QString file = dir.filePath("wide.xlsx");
    EXPECT_THROW(grid.SaveasXLSX(file), ERangeError);
    EXPECT_FALSE(QFile::exists(file));
}
