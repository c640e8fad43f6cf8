// The typed view of a grid that the workbook writers read (workbooksheet_p.h).
#include "exchange/workbooksheet_p.h"

#include "formulas/vorpars.h"
#include "grid/columns.h"
#include "host/formatsettings.h"
#include "host/gridcellreader.h"
#include "host/textconvert.h"

#include <cmath>

namespace vorgrd::workbook_internal {

std::optional<double> cellNumber(QStringView text)
{
    const QString t = text.toString();
    double value = 0;
    if (TryStrToFloat(t, value) && std::isfinite(value)) return value;
    if (ValFloat(t, value) == 0 && std::isfinite(value)) return value;
    return std::nullopt;
}

WorkbookSheet::WorkbookSheet(WorkbookGridParts parts)
    : m_parts(std::move(parts)), m_parser(std::make_unique<TvorParser>())
{
    m_parser->setGrid(const_cast<GridCellReader *>(m_parts.reader));
    const FormatSettings &settings = formatSettings();
    for (int c = 0; c < m_parts.cols; ++c) {
        tmcolumn *column = m_parts.columns->GeTmColumn(c);
        const bool hidden = column->GetHide();
        m_columns.push_back({hidden ? column->GetWidth() : m_parts.widths[size_t(c)], hidden});
        ColumnType type{column->gettype(), -1};
        const QString &format = column->Displayformat();
        if (type.type == ftnumeric || type.type == ftformula) {
            if (auto number = numberFormatOf(format)) {
                type.style = int(m_styles.size());
                m_styles.push_back({false, std::move(*number), {}});
            }
        } else if (type.type == ftdatetime) {
            if (auto date = dateFormatOf(format, settings)) {
                type.style = int(m_styles.size());
                m_styles.push_back({true, {}, std::move(*date)});
            }
        }
        m_types.push_back(type);
        m_columns.back().style = type.style;
    }
    // The ISO formats of date cells without a translated pattern.
    for (int kind = 1; kind < 4; ++kind) {
        m_isoStyles[kind] = int(m_styles.size());
        m_styles.push_back({true, {}, isoDateFormat(kind & 1, kind & 2)});
    }
}

WorkbookSheet::~WorkbookSheet() = default;

const WorkbookCell &WorkbookSheet::cell(int col, int row)
{
    m_cell = WorkbookCell();
    const QStringView text = m_parts.cells->textView(col, row, m_buffer);
    const ColumnType &column = m_types[size_t(col)];
    const bool title = row == 0 && m_parts.titles;
    if (column.type == ftcheckbox && !title) {
        m_cell.kind = WorkbookCell::Boolean;
        m_cell.value = text.isEmpty() ? 0 : 1;
        return m_cell;
    }
    if (text.isEmpty()) return m_cell;
    m_cell.kind = WorkbookCell::Text;
    m_cell.text = text;
    if (title) return m_cell;
    switch (column.type) {
    case ftnumeric:
        if (const auto value = cellNumber(text)) {
            typeNumber(*value);
            m_cell.style = column.style;
        }
        break;
    case ftdatetime: {
        double value = 0;
        if (TryStrToDateTime(text.toString(), value)) typeDate(column, value);
        break;
    }
    case ftformula: typeFormula(column, col, row); break;
    case ftstring:
    case ftcheckbox: break;
    }
    return m_cell;
}

void WorkbookSheet::typeNumber(double value)
{
    m_cell.kind = WorkbookCell::Number;
    m_cell.value = value;
}

void WorkbookSheet::typeDate(const ColumnType &column, double value)
{
    m_cell.kind = WorkbookCell::Date;
    m_cell.value = value;
    if (column.style >= 0) {
        m_cell.style = column.style;
        return;
    }
    const double day = std::floor(value);
    const bool time = value != day;
    const bool date = day != 0 || !time;
    m_cell.style = m_isoStyles[(date ? 1 : 0) + (time ? 2 : 0)];
}

void WorkbookSheet::typeFormula(const ColumnType &column, int col, int row)
{
    // The expression is read before the view's buffer is used again.
    const QString expression = m_cell.text.toString();
    const auto value = evaluate(col, row);
    if (!value) return; // the grid shows the expression itself
    m_cell.value = *value;
    m_cell.style = column.style;
    m_cell.kind = WorkbookCell::Number;
    auto formula = translateFormula(expression, col, row);
    if (!formula) return;
    for (const CellReference &ref : formula->references)
        if (!holdsGridValue(ref.col, ref.row)) return;
    m_cell.kind = WorkbookCell::Formula;
    m_cell.formula = std::move(formula);
    m_cell.text = {};
}

std::optional<double> WorkbookSheet::evaluate(int col, int row)
{
    const QString text = m_parts.cells->text(col, row);
    try {
        m_parser->setCellCol(col);
        m_parser->setCellRow(row);
        m_parser->Exec(text);
        if (!std::isfinite(m_parser->Value())) return std::nullopt;
        return m_parser->Value();
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

bool WorkbookSheet::holdsGridValue(int col, int row)
{
    if (col >= m_parts.cols || row >= m_parts.rows || (row == 0 && m_parts.titles)) return false;
    switch (m_types[size_t(col)].type) {
    case ftformula:
        // Evaluated by the formula that reads it: a number the writer gives too.
        return true;
    case ftnumeric: {
        const auto written = cellNumber(m_parts.cells->text(col, row));
        const auto read = evaluate(col, row);
        return written && read && *written == *read;
    }
    default: return false;
    }
}

} // namespace vorgrd::workbook_internal
