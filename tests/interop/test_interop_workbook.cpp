// The grid's XLSX and ODS files read by LibreOffice Calc, and LibreOffice's files read
// by the grid. LibreOffice runs with a profile that recomputes every formula on load,
// so the values it shows for the grid's formulas are its own results, not the cached
// ones. Runs only when VORGRD_SOFFICE names the program (make test-interop sets it).
#include "exchange/typedgrid.h"
#include "exchange/workbookfiles.h"
#include "grid/vorGrid.h"
#include "host/textconvert.h"
#include "interop/libreoffice.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace vorgrd;
using vorgrd::test::rowsOf;

namespace {

struct Format
{
    const char *name;
    void (tvorgrid::*save)(const QString &);
};

// Number formats that translate, and values that meet their sections and rounding.
const char *const NumberFormats[] = {"0.00",     "#,##0.00",     "#.##",          "0.0#",
                                     "000",      "0.00E+00",     "0.##E+0",       "0.00;(0.00);\"zero\"",
                                     "0.00 \"kg\"", "0.00%",     "$#,##0.00",     "0.00;;",
                                     "#,##0",    ".00",          "0.000E-00"};
const double Numbers[] = {2.5, -1234.567, 0, 0.125, 7, 12345.6789, -0.5, 1e-7};
const char *const DateFormats[] = {"yyyy-mm-dd", "dd/mm/yyyy",        "hh:nn",      "yyyy-mm-dd hh:nn:ss.zzz",
                                   "dddd, d mmmm yyyy", "h:nn AM/PM", "mmm d, yy",  "d 'of' mmmm yyyy",
                                   "nn:ss",      "yy.mm.dd hh:nn:ss"};
const char *const Dates[] = {"2020-01-05 13:45:30.250", "2021-03-07", "1999-12-31 23:59:59", "2024-02-29 00:00:01",
                             "1900-03-01 12:00",        "2000-01-01 09:05", "2038-01-19 03:14:07", "1970-01-01"};
// Formulas over the first number column and each other, with the format "0.00"
// (rows are 1-based: row r holds Numbers[r - 1]).
const char *const Formulas[] = {"CELL(1;1)*2",      "CELL(1;2)/3+CELL(1;5)", "SQRT(16)+SQR(3)", "ARCTAN(1)*4",
                                "LN(10)+LOG(1000)", "EXP(1)+PI+E",           "TAN(1)-COS(1)*SIN(1)",
                                "INT(2.5)+INT(3.5)+INT(-2.5)+FRAC(-2.75)+ABS(-1)"};

const QString ShownCsv = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true,true");
const QString FormulaCsv = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true,false,true");

// A profile whose Calc recomputes every formula of an XLSX or ODS file on load.
void writeRecalculatingProfile(const QTemporaryDir &work)
{
    QDir().mkpath(work.filePath("profile/user"));
    QFile xcu(work.filePath("profile/user/registrymodifications.xcu"));
    ASSERT_TRUE(xcu.open(QIODevice::WriteOnly));
    xcu.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="ODFRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
)");
}

struct LibreOfficeWorkbook : ::testing::TestWithParam<Format>
{
    QTemporaryDir work;
    tvorgrid grid;

    void SetUp() override
    {
        if (interop::sofficeProgram().isEmpty())
            GTEST_SKIP() << "VORGRD_SOFFICE is not set (make test-interop sets it)";
        ASSERT_TRUE(work.isValid());
        writeRecalculatingProfile(work);
    }

    QString saved(tvorgrid &from, const QString &base)
    {
        const QString file = work.filePath(base + u'.' + GetParam().name);
        (from.*GetParam().save)(file);
        return file;
    }

    std::optional<QByteArray> convert(const QString &file, const QString &target, const char *outDir)
    {
        QString error;
        auto bytes = interop::convertFile(file, QString(), target, QLatin1String(outDir), work, error);
        if (!bytes) ADD_FAILURE() << error.toStdString();
        return bytes;
    }

    QList<QStringList> csv(const QString &file, const QString &target, const char *outDir)
    {
        const auto bytes = convert(file, target, outDir);
        return bytes ? interop::parseCsv(QString::fromUtf8(*bytes)) : QList<QStringList>();
    }

    // One column per number format, then one per date format, a formula column, a
    // check-box column and a text column; one row per value.
    void fillFormats()
    {
        const int numbers = int(std::size(NumberFormats)), dates = int(std::size(DateFormats));
        grid.setColCount(1 + numbers + dates + 3);
        grid.setRowCount(1 + int(std::size(Numbers)));
        for (int i = 0; i < numbers; ++i) {
            tmcolumn *column = grid.columns()->GeTmColumn(1 + i);
            column->settype(ftnumeric);
            column->SetDisplayformat(QString::fromUtf8(NumberFormats[i]));
            for (int r = 0; r < int(std::size(Numbers)); ++r)
                grid.setCells(1 + i, r + 1, FloatToStr(Numbers[r]));
        }
        for (int i = 0; i < dates; ++i) {
            tmcolumn *column = grid.columns()->GeTmColumn(1 + numbers + i);
            column->settype(ftdatetime);
            column->SetDisplayformat(QString::fromUtf8(DateFormats[i]));
            for (int r = 0; r < int(std::size(Dates)); ++r)
                grid.setCells(1 + numbers + i, r + 1, QString::fromUtf8(Dates[r]));
        }
        const int formula = 1 + numbers + dates, check = formula + 1, text = formula + 2;
        grid.columns()->GeTmColumn(formula)->settype(ftformula);
        grid.columns()->GeTmColumn(formula)->SetDisplayformat("0.000000");
        grid.columns()->GeTmColumn(check)->settype(ftcheckbox);
        const QStringList texts = {"plain", " leading", "two  blanks", "tab\there", "two\nlines", "Grüße 😀", "<&>", "=1+2"};
        for (int r = 1; r < grid.RowCount(); ++r) {
            grid.setCells(0, r, QString::number(r));
            grid.setCells(formula, r, QString::fromUtf8(Formulas[r - 1]));
            grid.setCells(check, r, r % 3 ? QStringLiteral("Y") : QString());
            grid.setCells(text, r, texts[r - 1]);
        }
        for (int c = 0; c < grid.ColCount(); ++c)
            grid.setCells(c, 0, QStringLiteral("title %1").arg(c));
    }

    // What the grid shows in a cell, as LibreOffice writes it into a CSV.
    QString shownByGrid(int c, int r)
    {
        const bool title = r == 0 && grid.showtitles();
        if (!title && grid.columns()->GeTmColumn(c)->gettype() == ftcheckbox)
            return grid.Cells(c, r).isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
        QString shown = grid.DisplayText(c, r);
        // What the two programs show differently, as docs/exchange.md says: a value
        // that rounds to zero under its section shows the zero section in the grid,
        // the positive one in a spreadsheet; and LibreOffice leaves a tab it read from
        // ODS (<text:tab/>) out of what it writes.
        const QString format = grid.columns()->GeTmColumn(c)->Displayformat();
        double value = 0;
        if (format.count(u';') == 2 && TryStrToFloat(grid.Cells(c, r), value) && value != 0
            && shown == FormatFloat(format, 0))
            shown = FormatFloat(format.section(u';', 0, 0), 0);
        if (QByteArray(GetParam().name) == "ods") shown.remove(u'\t');
        return shown;
    }
};

} // namespace

TEST_P(LibreOfficeWorkbook, ShowsEveryCellAsTheGridShowsIt)
{
    fillFormats();
    const auto rows = csv(saved(grid, "formats"), ShownCsv, "shown");
    ASSERT_FALSE(rows.isEmpty());
    int cells = 0;
    QStringList differences;
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            ++cells;
            const QString expected = shownByGrid(c, r), back = interop::csvCell(rows, c, r);
            if (back != expected)
                differences << QStringLiteral("(%1,%2) format [%3] grid [%4] LibreOffice [%5]")
                                   .arg(c)
                                   .arg(r)
                                   .arg(grid.columns()->GeTmColumn(c)->Displayformat(), expected, back);
        }
    }
    std::printf("%s: %d cells compared, %d differ\n", GetParam().name, cells, int(differences.size()));
    for (const QString &d : differences)
        std::printf("  %s\n", d.toUtf8().constData());
    EXPECT_TRUE(differences.isEmpty());
}

TEST_P(LibreOfficeWorkbook, FormulasStayLiveWhereTheyTranslate)
{
    fillFormats();
    grid.setCells(grid.ColCount() - 3, 2, "SUMROW(1;2)"); // follows the focused row
    const auto rows = csv(saved(grid, "formulas"), FormulaCsv, "formulas");
    ASSERT_FALSE(rows.isEmpty());
    const int formula = grid.ColCount() - 3;
    for (int r = 1; r < grid.RowCount(); ++r) {
        const QString back = interop::csvCell(rows, formula, r);
        if (r == 2)
            EXPECT_FALSE(back.startsWith(u'=')) << "SUMROW has no workbook form: " << back.toStdString();
        else
            EXPECT_TRUE(back.startsWith(u'=')) << "row " << r << ": " << back.toStdString();
    }
}

// XLSX measures a width in characters of the default font's digits (Calibri, 7
// pixels at 11 points). LibreOffice measures them in the font it has in Calibri's
// place, so without a font of Calibri's metrics (Carlito) every XLSX column reads
// wider by one factor: the widths are compared in proportion to the first column.
TEST_P(LibreOfficeWorkbook, KeepsTheColumnWidthsAndHidesTheHiddenColumn)
{
    grid.setColCount(4);
    grid.setRowCount(3);
    const int widths[] = {40, 100, 77, 200};
    for (int c = 0; c < 4; ++c) {
        grid.columns()->GeTmColumn(c)->SetWidth(widths[c]);
        grid.setCells(c, 1, QStringLiteral("w%1").arg(c));
    }
    grid.columns()->GeTmColumn(2)->SetHide(true);
    const QString file = saved(grid, "widths");
    ASSERT_TRUE(convert(file, QStringLiteral("ods"), "ods"));
    const QByteArray content = workbookfiles::readZipPart(work.filePath("ods/widths.ods"), "content.xml");
    ASSERT_FALSE(content.isEmpty());
    // Column styles by name, then the columns in order (with their repeat counts).
    QHash<QString, double> inches;
    const QRegularExpression style(R"re(<style:style style:name="([^"]+)" style:family="table-column">)re"
                                   R"re(<style:table-column-properties[^>]*style:column-width="([0-9.]+)in")re");
    for (auto m = style.globalMatch(QString::fromUtf8(content)); m.hasNext();) {
        const auto match = m.next();
        inches.insert(match.captured(1), match.captured(2).toDouble());
    }
    const QRegularExpression column(R"re(<table:table-column ([^>]*)/>)re");
    std::vector<std::pair<int, bool>> columns; // pixels, hidden
    for (auto m = column.globalMatch(QString::fromUtf8(content)); m.hasNext();) {
        const QString attributes = m.next().captured(1);
        const QString name = QRegularExpression(R"re(table:style-name="([^"]+)")re").match(attributes).captured(1);
        const auto repeat = QRegularExpression(R"re(number-columns-repeated="(\d+)")re").match(attributes);
        for (int i = 0; i < (repeat.hasMatch() ? repeat.captured(1).toInt() : 1) && columns.size() < 4; ++i)
            columns.emplace_back(int(std::lround(inches.value(name) * 96)), attributes.contains("collapse"));
    }
    ASSERT_EQ(columns.size(), 4u);
    const bool xlsx = QByteArray(GetParam().name) == "xlsx";
    const double scale = xlsx ? double(columns[0].first) / widths[0] : 1.0;
    std::printf("%s: LibreOffice's widths / the grid's = %.3f\n", GetParam().name, scale);
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(columns[size_t(c)].first, widths[c] * scale, xlsx ? 0.02 * widths[c] * scale : 1.0) << "column " << c;
        EXPECT_EQ(columns[size_t(c)].second, c == 2) << "column " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LibreOfficeWorkbook,
                         ::testing::Values(Format{"xlsx", &tvorgrid::SaveasXLSX}, Format{"ods", &tvorgrid::SaveasODS}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(WorkbookPanes, TheFixedRowsAndColumnsAreFrozenInThePackage)
{
    // LibreOffice keeps no view settings when it converts headless, so the panes are
    // checked where it reads them: the XLSX sheet's <pane> and ODS's view settings.
    QTemporaryDir dir;
    tvorgrid grid;
    grid.setFixedRows(2);
    grid.setFixedCols(1);
    grid.SaveasXLSX(dir.filePath("p.xlsx"));
    grid.SaveasODS(dir.filePath("p.ods"));
    const QByteArray sheet = workbookfiles::readZipPart(dir.filePath("p.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains(R"(<pane xSplit="1" ySplit="2" topLeftCell="B3")")) << sheet.left(600).constData();
    EXPECT_TRUE(sheet.contains(R"(state="frozen")"));
    const QByteArray settings = workbookfiles::readZipPart(dir.filePath("p.ods"), "settings.xml");
    for (const char *item : {R"("HorizontalSplitMode" config:type="short">2<)", R"("VerticalSplitMode" config:type="short">2<)",
                             R"("HorizontalSplitPosition" config:type="int">1<)", R"("VerticalSplitPosition" config:type="int">2<)"})
        EXPECT_TRUE(settings.contains(item)) << item;
}

// LibreOffice rewrites the typed grid's XLSX as XLSX and as ODS, in its own way
// (shared strings, its styles, time cells as durations): both load as the grid's own
// file does. It writes a line break as LF, whatever the cell held.
TEST(LibreOfficeFiles, LoadExactly)
{
    if (interop::sofficeProgram().isEmpty()) GTEST_SKIP() << "VORGRD_SOFFICE is not set (make test-interop sets it)";
    QTemporaryDir work;
    tvorgrid grid;
    test::TypedGrid::fill(grid);
    const QString ours = work.filePath("typed.xlsx");
    grid.SaveasXLSX(ours);
    for (const char *format : {"xlsx", "ods"}) {
        SCOPED_TRACE(format);
        QString error;
        ASSERT_TRUE(interop::convertFile(ours, QString(), QLatin1String(format), QLatin1String(format), work, error))
            << error.toStdString();
        tvorgrid back;
        back.LoadFromWorkbook(work.filePath(QStringLiteral("%1/typed.%1").arg(QLatin1String(format))));
        EXPECT_EQ(rowsOf(back).join(u'\n').toStdString(), test::TypedGrid::expected(false).join(u'\n').toStdString());
    }
}
