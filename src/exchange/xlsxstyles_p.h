#pragma once
// Which cell formats of an XLSX workbook show a number as a date or a time: the
// built-in format numbers that are dates, and the codes of the workbook's own formats
// read for their date letters (d, m, y, h, s), as spreadsheets read them.
// Not installed; included only by src/exchange/ (the tests call dateKindOf).

#include "host/vorgrdexport.h"

#include <QString>

#include <vector>

namespace vorgrd::workbook_internal {

class ZipInput;

enum class DateKind { None, Date, Time, DateTime };

// What a number format shows: `id` its number, `code` its format code (empty for a
// built-in format). Elapsed times ([h]:mm) are durations, not dates: None.
VORGRD_EXPORT DateKind dateKindOf(int id, const QString &code);

class XlsxStyles
{
public:
    // Reads the styles part; an empty name (a workbook without one) gives no dates.
    XlsxStyles(ZipInput &zip, const QString &part);
    // The kind of the cell format `index` (the cell's s attribute).
    DateKind dateKind(int index) const
    {
        return index >= 0 && size_t(index) < m_kinds.size() ? m_kinds[size_t(index)] : DateKind::None;
    }

private:
    std::vector<DateKind> m_kinds;
};

} // namespace vorgrd::workbook_internal
