// The staged sheet of a workbook load and the texts of its values
// (workbookstage_p.h).
#include "exchange/workbookstage_p.h"

#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"

#include <charconv>
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

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The digits from `i` on; returns the index after them.
qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// A plain decimal: an optional minus, digits, optionally a point and more digits.
// Returns the index of the point (the size when there is none), or -1 for any other
// text.
qsizetype plainDecimalPoint(QStringView text)
{
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    const qsizetype point = skipDigits(text, start);
    if (point == start) return -1;
    if (point == text.size()) return point;
    if (text[point] != u'.' || point + 1 == text.size() || skipDigits(text, point + 1) != text.size()) return -1;
    return point;
}

// Whether a plain decimal is already the text numberText gives for its value: no
// leading zeros, no trailing zeros after the point, not "-0", at most 15 significant
// digits, and a first digit at most five places behind the point (0.00001 is
// written so, 0.000001 as 1E-6). Such a text reads as the double whose shortest
// text it is, since no two texts of 15 significant digits read as the same double.
bool isGeneralText(QStringView text, qsizetype point)
{
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    const bool zeroInteger = text[start] == u'0';
    if (zeroInteger && point - start > 1) return false;
    if (point == text.size()) return !(zeroInteger && start == 1) && point - start <= 15;
    if (text.back() == u'0') return false;
    if (!zeroInteger) return text.size() - start - 1 <= 15;
    qsizetype first = point + 1;
    while (text[first] == u'0')
        ++first;
    return first - point - 1 <= 4 && text.size() - first <= 15;
}

} // namespace

std::optional<double> numberValue(QStringView text)
{
    // A plain decimal, as workbooks write their numbers, is read with from_chars
    // (correctly rounded, as Qt's reading is) without Qt's copy of the text; any other
    // text, and a long one, as Qt reads it.
    constexpr qsizetype Short = 64;
    if (text.size() <= Short && plainDecimalPoint(text) >= 0) {
        char latin1[Short];
        for (qsizetype i = 0; i < text.size(); ++i)
            latin1[i] = char(text[i].unicode());
        double value = 0;
        const auto result = std::from_chars(latin1, latin1 + text.size(), value);
        if (result.ec == std::errc() && result.ptr == latin1 + text.size()) return value;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QString numberText(double value, QStringView written)
{
    const qsizetype point = plainDecimalPoint(written);
    if (point >= 0 && isGeneralText(written, point)) return written.toString();
    return numberText(value);
}

QString dateText(double value, bool date, bool time)
{
    const double day = std::floor(value);
    const double fraction = value - day;
    // Milliseconds as FormatDateTime rounds them.
    const double ms = std::round(fraction * 86'400'000.0);
    date = date || day != 0;
    time = time || (ms != 0 && ms != 86'400'000.0);
    const bool milliseconds = time && std::fmod(ms, 1000.0) != 0;
    // 0001-01-01 to 9999-12-31, the dates the grid reads.
    if (!(value >= -693593.0 && value < 2958466.0)) return numberText(value);
    // By date + 2 * time + 4 * milliseconds; made once, as a sheet has millions of dates.
    static const QString patterns[8] = {
        QString(),
        QStringLiteral("yyyy\"-\"mm\"-\"dd"),
        QStringLiteral("hh\":\"nn\":\"ss"),
        QStringLiteral("yyyy\"-\"mm\"-\"dd hh\":\"nn\":\"ss"),
        QString(),
        QString(),
        QStringLiteral("hh\":\"nn\":\"ss\".\"zzz"),
        QStringLiteral("yyyy\"-\"mm\"-\"dd hh\":\"nn\":\"ss\".\"zzz"),
    };
    return FormatDateTime(patterns[(date ? 1 : 0) + (time ? 2 : 0) + (milliseconds ? 4 : 0)], value);
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
