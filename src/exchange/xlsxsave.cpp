// The grid as an XLSX workbook, written by libxlsxwriter.
//
//   checkSize -> workbook (constant-memory mode: each row goes to disk as it is
//   written, texts as inline strings) -> formats -> columns and frozen panes ->
//   rows (cells by kind) -> close -> the temporary file replaces the target
#include "exchange/workbookio_p.h"

#include "exchange/workbooksheet_p.h"
#include "exchange/workbooktarget_p.h"
#include "host/exceptions.h"

#include <xlsxwriter.h>

#include <QRegularExpression>

namespace vorgrd::workbook_internal {

namespace {

// LIMIT: what an XLSX sheet holds.
constexpr int MaxXlsxRows = 1'048'576;
constexpr int MaxXlsxCols = 16'384;
constexpr qsizetype MaxXlsxText = 32'767;

class XlsxWriter
{
public:
    XlsxWriter(WorkbookSheet &sheet, WorkbookTarget &target) : m_sheet(sheet), m_target(target)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_path = target.temporaryPath().toLocal8Bit();
        m_book = workbook_new_opt(m_path.constData(), &options);
        if (!m_book) target.fail(QStringLiteral("libxlsxwriter could not start a workbook"));
        m_ws = workbook_add_worksheet(m_book, "Sheet1");
        if (!m_ws) target.fail(QStringLiteral("libxlsxwriter could not add a sheet"));
    }
    ~XlsxWriter()
    {
        // After a failure: closing frees the workbook; its file is thrown away.
        if (m_book) workbook_close(m_book);
    }

    void write()
    {
        makeFormats();
        writeColumns();
        if (m_sheet.fixedRows() > 0 || m_sheet.fixedCols() > 0)
            worksheet_freeze_panes(m_ws, lxw_row_t(m_sheet.fixedRows()), lxw_col_t(m_sheet.fixedCols()));
        for (int r = 0; r < m_sheet.rowCount(); ++r)
            for (int c = 0; c < m_sheet.colCount(); ++c)
                writeCell(c, r);
        const lxw_error closed = workbook_close(std::exchange(m_book, nullptr));
        check(closed, -1, -1);
    }

private:
    WorkbookSheet &m_sheet;
    WorkbookTarget &m_target;
    QByteArray m_path;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_ws = nullptr;
    std::vector<lxw_format *> m_formats; // by style, null for the general format
    QByteArray m_utf8;

    void check(lxw_error error, int col, int row) const
    {
        if (error == LXW_NO_ERROR) return;
        QString reason = QString::fromUtf8(lxw_strerror(error));
        if (col >= 0) reason = QStringLiteral("cell (%1, %2): %3").arg(col).arg(row).arg(reason);
        m_target.fail(reason);
    }

    void makeFormats()
    {
        for (const WorkbookStyle &style : m_sheet.styles()) {
            const auto code = style.date ? xlsxDateCode(style.dateFormat) : xlsxNumberCode(style.number);
            lxw_format *format = nullptr;
            if (code) {
                format = workbook_add_format(m_book);
                format_set_num_format(format, code->toUtf8().constData());
            }
            m_formats.push_back(format);
        }
    }

    void writeColumns()
    {
        for (int c = 0; c < m_sheet.colCount(); ++c) {
            const WorkbookColumn &column = m_sheet.column(c);
            lxw_row_col_options hidden{};
            hidden.hidden = LXW_TRUE;
            check(worksheet_set_column_pixels_opt(m_ws, lxw_col_t(c), lxw_col_t(c), uint32_t(std::max(column.width, 0)),
                                                  nullptr, column.hidden ? &hidden : nullptr),
                  c, -1);
        }
    }

    lxw_format *format(int style) const { return style < 0 ? nullptr : m_formats[size_t(style)]; }

    void writeCell(int c, int r)
    {
        const WorkbookCell &cell = m_sheet.cell(c, r);
        const auto row = lxw_row_t(r);
        const auto col = lxw_col_t(c);
        lxw_format *f = format(cell.style);
        lxw_error error = LXW_NO_ERROR;
        switch (cell.kind) {
        case WorkbookCell::Empty: return;
        case WorkbookCell::Text: error = writeText(row, col, cell.text, c, r); break;
        case WorkbookCell::Number:
        case WorkbookCell::Date: error = worksheet_write_number(m_ws, row, col, cell.value, f); break;
        case WorkbookCell::Boolean: error = worksheet_write_boolean(m_ws, row, col, int(cell.value), f); break;
        case WorkbookCell::Formula:
            m_utf8 = xlsxFormula(*cell.formula).toUtf8();
            error = worksheet_write_formula_num(m_ws, row, col, m_utf8.constData(), f, cell.value);
            break;
        }
        check(error, c, r);
    }

    lxw_error writeText(lxw_row_t row, lxw_col_t col, QStringView text, int c, int r)
    {
        // libxlsxwriter escapes control characters as _xHHHH_ but leaves such a
        // sequence typed into a text alone, which every reader would then decode: its
        // underscore is escaped the same way (_x005F_), as spreadsheets write it.
        static const QRegularExpression escapeLike(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
        QString escaped;
        if (text.contains(QLatin1String("_x"))) {
            escaped = text.toString();
            escaped.replace(escapeLike, QStringLiteral("_x005F_\\1"));
            text = escaped;
        }
        if (text.size() > MaxXlsxText && QStringView(text).toUcs4().size() > MaxXlsxText)
            m_target.fail(QStringLiteral("cell (%1, %2) holds %3 characters; an XLSX cell holds at most %4")
                              .arg(c)
                              .arg(r)
                              .arg(text.size())
                              .arg(MaxXlsxText));
        m_utf8 = text.toUtf8();
        return worksheet_write_string(m_ws, row, col, m_utf8.constData(), nullptr);
    }
};

} // namespace

void saveXlsx(WorkbookSheet &sheet, const QString &fileName)
{
    if (sheet.rowCount() > MaxXlsxRows || sheet.colCount() > MaxXlsxCols)
        throw ERangeError(QStringLiteral("File %1: a grid of %2 rows and %3 columns does not fit an XLSX sheet "
                                         "(at most %4 rows and %5 columns)")
                              .arg(fileName)
                              .arg(sheet.rowCount())
                              .arg(sheet.colCount())
                              .arg(MaxXlsxRows)
                              .arg(MaxXlsxCols));
    WorkbookTarget target(fileName);
    XlsxWriter(sheet, target).write();
    target.commit();
}

} // namespace vorgrd::workbook_internal
