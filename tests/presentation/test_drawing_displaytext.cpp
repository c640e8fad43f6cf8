// The text a cell shows before any drawing hook sees it: numbers and dates through
// their column's display format, formula values, title captions, and the raw text
// whenever a conversion fails.
#include "grid/vorGrid.h"

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

void setUpColumn(tvorgrid &grid, int col, tvorcolumntype type, const QString &format)
{
    tmcolumn *column = grid.columns()->GeTmColumn(col);
    column->settype(type);
    column->SetDisplayformat(format);
}

} // namespace

TEST(DisplayText, NumbersAndDatesAreShownThroughTheDisplayFormatOrAsTyped)
{
    struct Case
    {
        tvorcolumntype type;
        QString format, text, shown;
    };
    const Case cases[] = {
        {ftnumeric, "0.00", "2.5", "2.50"},
        {ftnumeric, "#,##0.00", "1234.5", "1,234.50"},
        // The "x" is no pattern letter: it is dropped here, and the drawing blanks the
        // trailing zeros.
        {ftnumeric, "0.00x", "2.5", "2.50"},
        {ftnumeric, "0.00x", "3", "3.00"},
        {ftnumeric, "0.00", " 7 ", "7.00"}, // blanks around a number are allowed
        {ftnumeric, "0.00", "abc", "abc"},
        {ftnumeric, "0.00", "", ""},
        {ftnumeric, "0.00", "2,5", "2,5"}, // not a number with "." as separator
        {ftnumeric, "", "2.50", "2.50"},   // without a format: as typed
        // Dates keep the whole format: "x" is written as it stands.
        {ftdatetime, "dd mmm yyyy", "2026-01-05", "05 Jan 2026"},
        {ftdatetime, "yyyy-mm-ddx", "2026-01-05", "2026-01-05x"},
        {ftdatetime, "hh:nn", "2026-01-05 14:30", "14:30"},
        {ftdatetime, "dd mmm yyyy", "2026-02-30", "2026-02-30"}, // no such day
        {ftdatetime, "dd mmm yyyy", "soon", "soon"},
        {ftdatetime, "", "2026-01-05", "2026-01-05"},
        // Check-box and string cells show their text, whatever the format says.
        {ftcheckbox, "0.00", "N", "N"},
        {ftstring, "0.00", "2.5", "2.5"},
        // Formula cells show their value, failures their text.
        {ftformula, "", "2+3*4", "14"},
        {ftformula, "0.00x", "2.5", "2.50"},
        {ftformula, "0.00", "SQRT(-1)", "SQRT(-1)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1 / %2 / %3").arg(c.type).arg(c.format, c.text).toStdString());
        tvorgrid grid;
        setUpColumn(grid, 1, c.type, c.format);
        grid.setCells(1, 1, c.text);
        EXPECT_EQ(grid.DisplayText(1, 1), c.shown);
        EXPECT_EQ(grid.Cells(1, 1), c.text); // showing never changes the cell
    }
}

TEST(DisplayText, TheTitleRowShowsItsCaptionsOnlyWhileTitlesAreOn)
{
    tvorgrid grid;
    setUpColumn(grid, 1, ftnumeric, "0.00");
    setUpColumn(grid, 2, ftformula, "");
    setUpColumn(grid, 3, ftcheckbox, "");
    grid.columns()->GeTmColumn(1)->Title()->SetCaption("10");
    grid.columns()->GeTmColumn(2)->Title()->SetCaption("1+1");
    grid.columns()->GeTmColumn(3)->Title()->SetCaption("Paid");
    grid.setshowtitles(true);
    EXPECT_EQ(grid.DisplayText(1, 0), "10"); // a caption is never formatted
    EXPECT_EQ(grid.DisplayText(2, 0), "1+1");
    EXPECT_EQ(grid.DisplayText(3, 0), "Paid");
    grid.setshowtitles(false);
    grid.setCells(1, 0, "10");
    grid.setCells(2, 0, "1+1");
    EXPECT_EQ(grid.DisplayText(1, 0), "10.00");
    EXPECT_EQ(grid.DisplayText(2, 0), "2");
}

TEST(DisplayText, FixedCellsBelowTheTitleRowAreFormattedLikeDataCells)
{
    tvorgrid grid;
    setUpColumn(grid, 0, ftnumeric, "0.0");
    grid.setCells(0, 2, "4");
    EXPECT_EQ(grid.DisplayText(0, 2), "4.0");
}

TEST(DisplayText, CellsOutsideTheGridAreRefusedNamingTheIndex)
{
    tvorgrid grid;
    grid.setColCount(3);
    grid.setRowCount(4);
    grid.setCells(5, 1, "beyond"); // kept by the store, but not a cell of the grid
    try {
        (void)grid.DisplayText(3, 1);
        ADD_FAILURE() << "column 3 accepted";
    } catch (const ERangeError &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "Column 3 is out of range (valid: 0..2)");
    }
    try {
        (void)grid.DisplayText(1, -1);
        ADD_FAILURE() << "row -1 accepted";
    } catch (const ERangeError &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "Row -1 is out of range (valid: 0..3)");
    }
    EXPECT_THROW((void)grid.DisplayText(-1, 0), ERangeError);
    EXPECT_THROW((void)grid.DisplayText(0, 4), ERangeError);
}
