#pragma once
// A grid of every column type with the texts each type meets, and what a workbook
// load gives back for it, and the grid's cells as lines to compare: shared by the
// round-trip tests and the LibreOffice tests.
#include "grid/vorGrid.h"

#include <QStringList>

#include <iterator>

namespace vorgrd::test {

// Every cell in the counts, row by row, cells joined by "|".
inline QStringList rowsOf(const tvorgrid &grid)
{
    QStringList out;
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << grid.Cells(c, r);
        out << cells.join(u'|');
    }
    return out;
}

// A grid of every column type, with the texts each type meets: values of its kind,
// texts that are not, empty cells.
struct TypedGrid
{
    static constexpr int Cols = 7;
    //                        fixed   text         number  date                        check  formula
    static inline const char *cells[][Cols] = {
        {"1", " leading", "12.5", "2020-01-05", "Y", "CELL(2;1)*2", "a"},
        {"2", "trailing ", "-3", "13:45", "", "1/0", ""},
        {"3", "two  blanks", "1e3", "2020-01-05 13:45:30.250", "x", "SQRT(16)", "=1+2"},
        {"4", "tab\there", "007", "not a date", "Y", "SUMROW(2;2)", "007"},
        {"5", "two\nlines", "abc", "", "", "CELL(2;5)*2", "_x0041_"},
        {"6", "crlf\r\nend", "0.1", "1899-12-30", "Y", "CELL(5;3)+1", "Grüße, 東京, 😀"},
        {"7", "", "", "", "", "", ""},
        {"8", "end", " 12", "2021-03-07", "", "INT(2.5)+FRAC(-2.75)", "$"},
    };
    // What a load gives back: numbers with a point, dates as ISO texts, check boxes as
    // "Y" or empty, formulas as their values (an expression the grid cannot evaluate
    // as itself), line breaks as LF (XLSX keeps a CR). A time in a column whose format shows dates comes
    // back with its date, 1899-12-30.
    static inline const char *loaded[][Cols] = {
        {"1", " leading", "12.5", "2020-01-05", "Y", "25", "a"},
        {"2", "trailing ", "-3", "1899-12-30 13:45:00", "", "1/0", ""},
        {"3", "two  blanks", "1000", "2020-01-05 13:45:30.250", "Y", "4", "=1+2"},
        {"4", "tab\there", "7", "not a date", "Y", "12.5", "007"},
        {"5", "two\nlines", "abc", "", "", "CELL(2;5)*2", "_x0041_"},
        {"6", "crlf\nend", "0.1", "1899-12-30", "Y", "5", "Grüße, 東京, 😀"},
        {"7", "", "", "", "", "", ""},
        {"8", "end", "12", "2021-03-07", "", "1.25", "$"},
    };

    static void fill(tvorgrid &grid)
    {
        const int rows = int(std::size(cells)) + 1;
        grid.setColCount(Cols);
        grid.setRowCount(rows);
        const char *names[] = {"No", "Text", "Amount", "When", "Paid", "Result", "Note"};
        const tvorcolumntype types[] = {ftstring, ftstring, ftnumeric, ftdatetime, ftcheckbox, ftformula, ftstring};
        for (int c = 0; c < Cols; ++c) {
            tmcolumn *column = grid.columns()->GeTmColumn(c);
            column->SetcolumnName(QString::fromUtf8(names[c]));
            column->settype(types[c]);
        }
        grid.columns()->GeTmColumn(2)->SetDisplayformat("#,##0.00");
        grid.columns()->GeTmColumn(3)->SetDisplayformat("dd.mm.yyyy");
        grid.setshowtitles(true);
        for (int r = 1; r < rows; ++r)
            for (int c = 0; c < Cols; ++c)
                grid.setCells(c, r, QString::fromUtf8(cells[r - 1][c]));
    }

    static QStringList expected(bool keepsCarriageReturns)
    {
        QStringList out = {"No|Text|Amount|When|Paid|Result|Note"};
        for (const auto &row : loaded) {
            QStringList cells;
            for (const char *cell : row)
                cells << QString::fromUtf8(cell).replace("crlf\n", keepsCarriageReturns ? "crlf\r\n" : "crlf\n");
            out << cells.join(u'|');
        }
        return out;
    }
};

} // namespace vorgrd::test
