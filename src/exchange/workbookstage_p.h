#pragma once
// What a workbook reader fills: the cells of one sheet, staged beside the grid and
// put in its place in one step once the whole sheet was read (a failure part-way
// leaves the grid as it was); the bounds every load keeps to; and the texts the
// grid gets for a workbook's numbers, dates and Booleans.
// Not installed; included only by src/exchange/ (the tests call the exported parts).

#include "host/cellstore.h"
#include "host/vorgrdexport.h"

#include <QString>

#include <optional>

namespace vorgrd::workbook_internal {

// LIMIT: the bounds of a workbook load, said in docs/exchange.md. A file beyond them
// is refused with ERangeError (the unpacked size with EInOutError) and nothing changed.
struct WorkbookLimits
{
    // Bytes unpacked from the container in all (a ZIP entry of a megabyte can unpack
    // to gigabytes); the declared sizes are checked first, the bytes read as well.
    static constexpr qint64 MaxUnpackedBytes = qint64(1) << 30;
    // Bytes of XML read without a token completing: the largest single cell text.
    static constexpr qint64 MaxTokenBytes = qint64(64) << 20;
    // Cells holding a value.
    static constexpr qint64 MaxCells = 16'777'216;
    // The columns and rows a loaded sheet may reach. Every grid column carries a
    // description with two fonts; a value in the format's last column (XFD) is far
    // more often a slip or a hostile file than data.
    static constexpr int MaxColumns = 4'096;
    static constexpr int MaxRows = 1'048'576;
};

class VORGRD_EXPORT StagedSheet
{
public:
    explicit StagedSheet(const QString &fileName) : m_fileName(fileName) {}

    // Writes a non-empty text into cell (col, row), both 0-based; raises ERangeError
    // beyond the bounds, naming the file.
    void setCell(qint64 col, qint64 row, const QString &text);
    // Says that `count` more cells are coming (a repeated cell or row), before they
    // are written: raises ERangeError when they would pass the cell bound.
    void expectCells(qint64 count);

    const QString &fileName() const { return m_fileName; }
    CellStore &cells() { return m_cells; }
    int rowCount() const { return m_rows; }
    int colCount() const { return m_cols; }

private:
    QString m_fileName;
    CellStore m_cells;
    qint64 m_count = 0;
    int m_rows = 0;
    int m_cols = 0;
};

// A number as the grid writes it: FloatToStr's digits (15 significant) with a
// point, whatever the settings' decimal separator, so that sorting and formulas read
// it: 12.5, 0.1, 1E20.
VORGRD_EXPORT QString numberText(double value);
// A number as a workbook writes it (12.5, -3, 1E-7), read as QString::toDouble reads
// it; nothing for another text.
VORGRD_EXPORT std::optional<double> numberValue(QStringView text);
// numberText(value) for a value read from `written`: the written text itself where it
// already is that text, which spares formatting the millions of numbers of a sheet.
VORGRD_EXPORT QString numberText(double value, QStringView written);
// A date value (days since 1899-12-30) as the grid reads it under any settings:
// 2026-01-05, 08:30:00 or 2026-01-05 08:30:00, with .250 when there are
// milliseconds. The date is written when `date` is asked for or the day is not
// 1899-12-30, the time when `time` is asked for or it is not midnight. A value
// beyond the years 1-9999 is written as a number.
VORGRD_EXPORT QString dateText(double value, bool date, bool time);
// An ISO 8601 date and time as a workbook writes it (2020-01-05, 2020-01-05T13:45:00,
// with a fraction of a second of any length and a "Z"), as a date value; nothing for
// any other text.
VORGRD_EXPORT std::optional<double> isoDateValue(QStringView text);
// A Boolean as a check-box cell holds it: "Y" or the empty text.
inline QString booleanText(bool value)
{
    return value ? QStringLiteral("Y") : QString();
}

} // namespace vorgrd::workbook_internal
