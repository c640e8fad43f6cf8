#pragma once
// What the workbook writers see of a grid: one sheet whose cells are typed by their
// columns. Both writers (xlsxsave.cpp, odssave.cpp) read the grid only through it,
// so that a cell means the same in both formats:
//
//   the title row (row 0 with showtitles)  text
//   ftnumeric   a number (its text read as the display reads it, or with a point),
//               with the column's Displayformat as its format where it translates
//   ftdatetime  a date (StrToDateTime), with the column's format where it
//               translates, else the ISO format of the date, time or both
//   ftcheckbox  a Boolean: true for any text, false for the empty one
//   ftformula   a live formula with the grid's value as its cached result, where the
//               expression translates and every cell it reads reaches the workbook
//               as a number with the value the grid gives it; else its value; an
//               expression the grid cannot evaluate is written as the text it shows
//   ftstring    text
// A text that is not what its column holds (a word in a numeric column) stays text,
// and an empty cell stays empty, so nothing of a cell is lost.
// Not installed; included only by src/exchange/.

#include "exchange/workbookformats_p.h"
#include "exchange/workbookformula_p.h"
#include "grid/columntypes.h"
#include "host/cellstore.h"
#include "host/vorgrdexport.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

namespace vorgrd {

class GridCellReader;
class TvorParser;
class TvorgridColumns;

namespace workbook_internal {

// The parts of a grid a workbook is written from.
struct WorkbookGridParts
{
    const CellStore *cells = nullptr;
    const TvorgridColumns *columns = nullptr;
    const GridCellReader *reader = nullptr; // the formulas' cells
    int rows = 0;
    int cols = 0;
    int fixedRows = 0;
    int fixedCols = 0;
    bool titles = false;
    std::vector<int> widths; // pixels, per column, as shown (0 while hidden)
};

// A cell's format: a number format or a date format.
struct WorkbookStyle
{
    bool date = false;
    NumberFormat number;
    DateFormat dateFormat;
};

struct WorkbookColumn
{
    int width = 0;      // pixels
    bool hidden = false;
    int style = -1;     // the format its typed cells take (-1: none of its own)
};

struct WorkbookCell
{
    enum Kind
    {
        Empty,
        Text,
        Number,
        Date,    // value: days since 1899-12-30
        Boolean, // value: 0 or 1
        Formula, // value: the grid's result
    };
    Kind kind = Empty;
    QStringView text; // Text: valid until the next cell() call
    double value = 0;
    std::optional<WorkbookFormula> formula;
    int style = -1; // index into styles(), -1 for the workbook's general format
};

class VORGRD_EXPORT WorkbookSheet
{
public:
    explicit WorkbookSheet(WorkbookGridParts parts);
    ~WorkbookSheet();
    WorkbookSheet(const WorkbookSheet &) = delete;
    WorkbookSheet &operator=(const WorkbookSheet &) = delete;

    int rowCount() const { return m_parts.rows; }
    int colCount() const { return m_parts.cols; }
    int fixedRows() const { return m_parts.fixedRows; }
    int fixedCols() const { return m_parts.fixedCols; }
    const WorkbookColumn &column(int col) const { return m_columns[size_t(col)]; }
    // Every format a cell may name, known before the first cell is read.
    const std::vector<WorkbookStyle> &styles() const { return m_styles; }

    // Cell (col, row) as the workbook gets it; the result is valid until the next call.
    const WorkbookCell &cell(int col, int row);

private:
    struct ColumnType
    {
        tvorcolumntype type = ftstring;
        int style = -1;
    };

    void typeNumber(double value);
    void typeDate(const ColumnType &column, double value);
    void typeFormula(const ColumnType &column, int col, int row);
    // The value the workbook's copy of cell (col, row) holds, when it holds the value
    // the grid gives the cell's text; the check behind a live formula.
    bool holdsGridValue(int col, int row);
    std::optional<double> evaluate(int col, int row);

    WorkbookGridParts m_parts;
    std::vector<WorkbookColumn> m_columns;
    std::vector<ColumnType> m_types;
    std::vector<WorkbookStyle> m_styles;
    int m_isoStyles[4] = {-1, -1, -1, -1}; // by (date ? 1 : 0) + (time ? 2 : 0)
    std::unique_ptr<TvorParser> m_parser;
    CellStore::TextBuffer m_buffer;
    WorkbookCell m_cell;
};

// A cell text as a number the way the display reads it (the settings' decimal
// separator) or with a point; nothing for any other text or a value beyond the
// doubles.
VORGRD_EXPORT std::optional<double> cellNumber(QStringView text);

} // namespace workbook_internal
} // namespace vorgrd
