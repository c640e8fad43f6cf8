// The staged sheet of a workbook load and the texts of its values
// (workbookstage_p.h).
#include "exchange/workbookstage_p.h"

#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"

#include <cmath>

namespace vorgrd::workbook_internal {

void StagedSheet::setCell(qint64 col, qint64 row, const QString &text)
{
    if (col >= WorkbookLimits::MaxColumns)
        throw ERangeError(QStringLiteral("File %1: a value in column %2; a workbook load reads at most %3 columns")
                              .arg(m_fileName)
                              .arg(col + 1)
                              .arg(WorkbookLimits::MaxColumns));
    if (row >= WorkbookLimits::MaxRows)
        throw ERangeError(QStringLiteral("File %1: a value in row %2; a workbook load reads at most %3 rows")
                              .arg(m_fileName)
                              .arg(row + 1)
                              .arg(WorkbookLimits::MaxRows));
    expectCells(1);
    ++m_count;
    m_cells.setText(int(col), int(row), text);
    m_rows = std::max(m_rows, int(row) + 1);
    m_cols = std::max(m_cols, int(col) + 1);
}

void StagedSheet::expectCells(qint64 count)
{
    if (count > WorkbookLimits::MaxCells - m_count)
        throw ERangeError(QStringLiteral("File %1 holds more than %2 values, the most a workbook load reads")
                              .arg(m_fileName)
                              .arg(WorkbookLimits::MaxCells));
}

QString numberText(double value)
{
    QString text = FloatToStr(value);
    const QChar separator = formatSettings().DecimalSeparator;
    if (separator != u'.') text.replace(separator, u'.');
    return text;
}

QString dateText(double value, bool date, bool time)
{
    const double day = std::floor(value);
    const double fraction = value - day;
    // Milliseconds as FormatDateTime rounds them.
    const double ms = std::round(fraction * 86'400'000.0);
    date = date || day != 0;
    time = time || (ms != 0 && ms != 86'400'000.0);
    QString pattern;
    if (date) pattern = QStringLiteral("yyyy\"-\"mm\"-\"dd");
    if (date && time) pattern += u' ';
    if (time) pattern += QStringLiteral("hh\":\"nn\":\"ss");
    if (time && std::fmod(ms, 1000.0) != 0) pattern += QStringLiteral("\".\"zzz");
    // 0001-01-01 to 9999-12-31, the dates the grid reads.
    if (!(value >= -693593.0 && value < 2958466.0)) return numberText(value);
    return FormatDateTime(pattern, value);
}

std::optional<double> isoDateValue(QStringView text)
{
    QString iso = text.trimmed().toString();
    if (iso.endsWith(u'Z')) iso.chop(1);
    // FormatDateTime's precision: a longer fraction of a second is cut to milliseconds.
    const qsizetype point = iso.indexOf(u'.');
    if (point >= 0 && iso.size() - point > 4) iso.truncate(point + 4);
    double value = 0;
    if (iso.size() < 10 || iso.at(4) != u'-' || !TryStrToDateTime(iso, value)) return std::nullopt;
    return value;
}

} // namespace vorgrd::workbook_internal
