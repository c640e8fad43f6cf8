// SaveasSYLK: the grid as SYLK records, one per line of the caller's list.
//
//   ID;VORGRID.SYLK            identification
//   B;Y<rows>;X<cols>          bounds: the full counts
//   C;Y1;X<c+1>;K"<title>"     title row, every column (X1 too), only with showtitles
//   C;Y<r+1>;X<c+1>;K...       data cells, columns 1.., rows from the first data row
//   E                          end
//
// Inside a quoted text every ";" is doubled (a lone ";" after a quote would end the
// text in spreadsheets that read the format) and a line break is written as the
// escape ESC " :", which spreadsheets read as a line feed; a raw line break would cut
// the record. Quotes stay single: readers take a doubled quote as two.
// Numeric cells are written unquoted only when their text is a number; anything else
// (an empty cell, a word) is written as a quoted text, because a spreadsheet reads a
// malformed or empty unquoted value as 0.
#include "exchange/export_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "host/updatebracket.h"

#include <cmath>

namespace vorgrd {

namespace {

using export_internal::appendDecimal;
using export_internal::lineBreakLength;
using export_internal::reserveLines;

// ESC, blank, colon: the record-safe form of a line break.
constexpr char16_t SylkLineBreak[] = {0x1B, u' ', u':'};

void appendSylkText(QString &out, QStringView text)
{
    out.append(QChar(u'"'));
    const qsizetype n = text.size();
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch != u';' && ch != u'\r' && ch != u'\n')
            continue;
        out.append(text.mid(plainFrom, i - plainFrom));
        if (ch == u';') {
            out.append(QLatin1String(";;"));
            plainFrom = i + 1;
        } else {
            const int len = lineBreakLength(text, i);
            out.append(QStringView(SylkLineBreak, 3));
            i += len - 1;
            plainFrom = i + 1;
        }
    }
    out.append(text.mid(plainFrom));
    out.append(QChar(u'"'));
}

// A number in SYLK's form ("." as the decimal point), or an empty text when the cell
// is no number. A number in the settings' own form (a decimal comma) is rewritten
// with the point, so that its value survives.
QString sylkNumber(const QString &text)
{
    if (text.isEmpty() || text.at(0).isSpace() || text.back().isSpace())
        return {};
    double value = 0;
    if (ValFloat(text, value) == 0)
        return std::isfinite(value) ? text : QString();
    const QChar separator = formatSettings().DecimalSeparator;
    if (separator == u'.' || !TryStrToFloat(text, value) || !std::isfinite(value))
        return {};
    QString rewritten = text;
    rewritten.replace(separator, u'.');
    return ValFloat(rewritten, value) == 0 ? rewritten : QString();
}

void appendCellHead(QString &out, int col, int row)
{
    out.append(QLatin1String("C;Y"));
    appendDecimal(out, row + 1);
    out.append(QLatin1String(";X"));
    appendDecimal(out, col + 1);
    out.append(QLatin1String(";K"));
}

void appendCellValue(QString &out, tvorcolumntype type, QStringView text)
{
    switch (type) {
    case ftnumeric:
        if (const QString number = sylkNumber(text.toString()); !number.isEmpty())
            out.append(number);
        else
            appendSylkText(out, text);
        break;
    case ftcheckbox:
        out.append(text.isEmpty() ? QLatin1String("\"FALSE\"") : QLatin1String("\"TRUE\""));
        break;
    default:
        appendSylkText(out, text);
        break;
    }
}


} // namespace

void tvorgrid::SaveasSYLK(TStrings &Lines)
{
    const int colCount = ColCount();
    const int rowCount = RowCount();
    UpdateBracket bracket(Lines);
    Lines.Clear();
    const qint64 bodyRows = std::max(rowCount - (d->lines.showtitles ? 1 : 0), 0);
    reserveLines(Lines, 3 + (d->lines.showtitles ? colCount : 0) + bodyRows * std::max(colCount - 1, 0));
    Lines.Add(QStringLiteral("ID;VORGRID.SYLK"));
    QString record;
    record.append(QLatin1String("B;Y"));
    appendDecimal(record, rowCount);
    record.append(QLatin1String(";X"));
    appendDecimal(record, colCount);
    Lines.Add(record);

    if (d->lines.showtitles) {
        for (int c = 0; c < colCount; ++c) {
            record.clear();
            appendCellHead(record, c, 0);
            appendSylkText(record, Cells(c, 0));
            Lines.Add(record);
        }
    }

    std::vector<tvorcolumntype> types(size_t(std::max(colCount, 0)));
    for (int c = 1; c < colCount; ++c)
        types[size_t(c)] = d->lines.columns->GeTmColumn(c)->gettype();

    // OPTIMIZATION: the texts are read as views and each record is built in one reused
    // buffer, then copied out at its exact size: one allocation per record.
    const CellStore &store = cellStore();
    CellStore::TextBuffer buffer;
    for (int r = d->lines.showtitles ? 1 : 0; r < rowCount; ++r) {
        for (int c = 1; c < colCount; ++c) {
            record.resize(0); // keeps the capacity, where clear() would free it
            appendCellHead(record, c, r);
            appendCellValue(record, types[size_t(c)], store.textView(c, r, buffer));
            Lines.Add(QString(record.constData(), record.size()));
        }
    }
    Lines.Add(QStringLiteral("E"));
}

} // namespace vorgrd
