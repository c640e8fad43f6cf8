// tvorgrid's cell drawing: the text a cell shows and DrawCell, the hook the base's
// paint calls for every cell in view. The building blocks DrawCell ends in live in
// drawingtext.cpp (text and numbers) and drawingglyphs.cpp (glyphs, bevels, bitmaps).
//
// Call flow of one cell:
//   TCustomGrid::paintEvent -> paintCell (fills with the base's colours)
//     -> DrawCell: canvas set-up -> DisplayText -> ondrawcell -> DefaultDrawText
//          DefaultDrawText -> DrawCheck            (check-box cells)
//                          -> formatted number     (numeric and formula columns with a format)
//                          -> DrawCellTextEx -> WriteText (direct or multi-line path)
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"
#include "host/textconvert.h"

#include <QScopeGuard>

#include <exception>

namespace vorgrd {

namespace {

void checkCell(const tvorgrid &grid, int col, int row)
{
    checkRange("", "Column", col, 0, grid.ColCount() - 1);
    checkRange("", "Row", row, 0, grid.RowCount() - 1);
}

// The column's description, or null when the collection does not reach that far
// (a handler may have changed the counts in the middle of a paint).
tmcolumn *columnOf(const tvorgrid &grid, int col)
{
    const TvorgridColumns *columns = grid.columns();
    if (!columns || col < 0 || col >= columns->Count()) return nullptr;
    return columns->GeTmColumn(col);
}

// The number pattern of a Displayformat: a last "x" asks the drawing to blank
// trailing zeros and is no pattern letter.
QString numberPattern(const QString &format)
{
    return format.endsWith(QLatin1Char('x')) ? format.chopped(1) : format;
}

// Brush, font and alignment for the cell. Fixed cells outside the title row take the
// column's colours like data cells; the base's set-up stays for a cell without a
// description.
TAlignment setUpCanvas(tvorgrid &grid, int col, int row, TGridDrawState state)
{
    tmcolumn *column = columnOf(grid, col);
    if (!column) return taLeftJustify;
    TCanvas &canvas = grid.Canvas();
    if (row == 0 && grid.showtitles()) {
        tmcolumntitle *title = column->Title();
        canvas.Brush().setColor(title->GetColor());
        canvas.Font().Assign(title->GetFont());
        return title->GetAlignment();
    }
    if (state & gdSelected) {
        canvas.Brush().setColor(clHighlight);
        canvas.Font().Assign(column->GetFont());
        canvas.Font().setColor(clHighlightText);
    } else {
        canvas.Brush().setColor(column->GetColor());
        canvas.Font().Assign(column->GetFont());
    }
    return column->GetAlignment();
}

} // namespace

QString tvorgrid::DisplayText(int ACol, int ARow)
{
    checkCell(*this, ACol, ARow);
    const QString text = Cells(ACol, ARow);
    const tmcolumn *column = columnOf(*this, ACol);
    if (!column || (ARow == 0 && d->lines.showtitles)) return text;
    const QString &format = column->Displayformat();
    try {
        double value = 0;
        switch (column->gettype()) {
        case ftnumeric:
            if (format.isEmpty() || !TryStrToFloat(text, value)) return text;
            return FormatFloat(numberPattern(format), value);
        case ftdatetime:
            // The whole format: "x" is no date letter and is written as it stands.
            if (format.isEmpty() || !TryStrToDateTime(text, value)) return text;
            return FormatDateTime(format, value);
        case ftformula:
            return FormulaDisplayText(ACol, ARow);
        case ftstring:
        case ftcheckbox:
            break;
        }
    } catch (const std::exception &) {
        // A value the format cannot show (a date beyond year 9999, say) shows the text
        // as typed; painting reports nothing.
    }
    return text;
}

void tvorgrid::DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState)
{
    const TAlignment alignment = setUpCanvas(*this, ACol, ARow, AState);
    QString text = DisplayText(ACol, ARow);
    // The handler's DefaultDrawing = false holds for this cell only, also when the
    // handler throws.
    const bool defaultDrawing = DefaultDrawing();
    const auto restore = qScopeGuard([this, defaultDrawing] { setDefaultDrawing(defaultDrawing); });
    if (ondrawcell) {
        const QRect rect = ARect;
        ondrawcell(this, ACol, ARow, rect, AState, text);
    }
    if (!DefaultDrawing()) return;
    // Read after the handler: it may have changed the columns.
    const tmcolumn *column = columnOf(*this, ACol);
    DefaultDrawText(ACol, ARow, ARect, alignment,
                    column ? column->GetVertAlignment() : vaTopJustify,
                    column ? column->GetWordwrap() : true, cbNone, text);
}

} // namespace vorgrd
