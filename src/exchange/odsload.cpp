// Reading one sheet of an ODS workbook into a staged sheet.
//
//   mimetype and manifest (another kind of document, encryption) -> content.xml:
//   the null date, then the sheets (<table:table>) in order, the chosen one read
//   row by row: repeated rows and cells (number-rows-repeated,
//   number-columns-repeated) advance the position, and a repeated cell that holds a
//   value is written as often as it repeats, within the cell bound
//
// A cell's value comes from its value-type and value attributes (the number, not
// the text shown for it); a text cell's from its paragraphs, one line each.
#include "exchange/workbookio_p.h"

#include "exchange/workbookstage_p.h"
#include "exchange/xmlpart_p.h"
#include "exchange/zipinput_p.h"
#include "host/exceptions.h"

#include <limits>
#include <utility>
#include <vector>

namespace vorgrd::workbook_internal {

namespace {

// "-PT36H15M00.5S", "P1DT2H": a duration in days; nothing for another text.
std::optional<double> durationValue(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    if (negative) text = text.mid(1);
    if (!text.startsWith(u'P')) return std::nullopt;
    double days = 0;
    bool inTime = false;
    QString number;
    for (const QChar c : text.mid(1)) {
        if (c.isDigit() || c == u'.') {
            number += c;
            continue;
        }
        if (c == u'T') {
            inTime = true;
            continue;
        }
        bool ok = false;
        const double n = number.toDouble(&ok);
        if (!ok) return std::nullopt;
        number.clear();
        if (c == u'D' && !inTime) days += n;
        else if (c == u'H' && inTime) days += n / 24;
        else if (c == u'M' && inTime) days += n / 1440;
        else if (c == u'S' && inTime) days += n / 86400;
        else return std::nullopt;
    }
    if (!number.isEmpty()) return std::nullopt;
    return negative ? -days : days;
}

qint64 repeatCount(QStringView text)
{
    if (text.isNull()) return 1;
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok && n > 0 ? n : 1;
}

// a × b, held at the largest qint64 instead of overflowing.
qint64 product(qint64 a, qint64 b)
{
    return a > std::numeric_limits<qint64>::max() / b ? std::numeric_limits<qint64>::max() : a * b;
}

void checkPackage(ZipInput &zip)
{
    if (zip.contains(QStringLiteral("mimetype"))) {
        const QByteArray type = zip.readAll(QStringLiteral("mimetype")).trimmed();
        if (!type.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            throw EInOutError(QStringLiteral("File %1 is an OpenDocument file of another kind (%2), not a spreadsheet")
                                  .arg(zip.fileName(), QString::fromUtf8(type.left(100))));
    }
    const QString manifest = QStringLiteral("META-INF/manifest.xml");
    if (!zip.contains(manifest)) return;
    XmlPart xml(zip, manifest);
    while (xml.next() != QXmlStreamReader::EndDocument) {
        const QXmlStreamReader &r = xml.reader();
        if (r.isStartElement() && r.name() == u"encryption-data")
            throw EInOutError(QStringLiteral("File %1 is a password-protected workbook; save it without a password "
                                             "to load it")
                                  .arg(zip.fileName()));
        if (r.isEndElement() && r.name() == u"manifest") break;
    }
}

class ContentReader
{
public:
    ContentReader(ZipInput &zip, StagedSheet &staged)
        : m_xml(zip, QStringLiteral("content.xml")), m_zip(zip), m_staged(staged)
    {
    }

    void read(int index)
    {
        int tables = 0;
        while (m_xml.next() != QXmlStreamReader::EndDocument) {
            const QXmlStreamReader &r = m_xml.reader();
            if (r.isEndElement() && r.name() == u"spreadsheet") break;
            if (!r.isStartElement()) continue;
            if (r.name() == u"null-date") {
                if (const auto date = isoDateValue(m_xml.attribute(u"date-value"))) m_nullDate = *date;
            } else if (r.name() == u"table") {
                if (tables++ == index) return readTable();
                m_xml.skipElement();
            }
        }
        throw ERangeError(QStringLiteral("File %1 has no sheet %2: its sheets are 0 to %3")
                              .arg(m_zip.fileName())
                              .arg(index)
                              .arg(tables - 1));
    }

private:
    XmlPart m_xml;
    ZipInput &m_zip;
    StagedSheet &m_staged;
    double m_nullDate = 0;
    qint64 m_row = 0;
    std::vector<std::pair<qint64, QString>> m_cells; // of the row being read

    void readTable()
    {
        for (;;) {
            const auto token = m_xml.next();
            const QXmlStreamReader &r = m_xml.reader();
            if (token == QXmlStreamReader::EndElement && r.name() == u"table") return;
            if (token != QXmlStreamReader::StartElement) continue;
            // Rows may stand in header, group and row-set elements: go into those.
            if (r.name() == u"table-row") readRow();
            else if (r.name() != u"table-header-rows" && r.name() != u"table-row-group" && r.name() != u"table-rows")
                m_xml.skipElement();
        }
    }

    void readRow()
    {
        const qint64 repeat = repeatCount(m_xml.attribute(u"number-rows-repeated"));
        m_cells.clear();
        qint64 col = 0;
        while (m_xml.next() != QXmlStreamReader::EndElement || m_xml.reader().name() != u"table-row") {
            const QXmlStreamReader &r = m_xml.reader();
            if (!r.isStartElement()) continue;
            if (r.name() != u"table-cell" && r.name() != u"covered-table-cell") {
                m_xml.skipElement();
                continue;
            }
            const Cell cell = cellAttributes();
            const qint64 n = cell.repeat;
            const QString text = cellText(cell);
            if (!text.isEmpty()) {
                m_staged.expectCells(product(n, repeat));
                for (qint64 k = 0; k < n; ++k)
                    m_cells.emplace_back(col + k, text);
            }
            col = col > std::numeric_limits<qint64>::max() - n ? col : col + n;
        }
        for (qint64 k = 0; k < repeat && !m_cells.empty(); ++k)
            for (const auto &[c, text] : m_cells)
                m_staged.setCell(c, m_row + k, text);
        m_row = m_row > std::numeric_limits<qint64>::max() - repeat ? m_row : m_row + repeat;
    }

    // What a cell's attributes say, read in one pass (a sheet has millions of cells).
    struct Cell
    {
        enum Type { Text, Number, Date, Time, Boolean } type = Text;
        bool numberRead = true;
        QString value; // the number's text, the date-value or time-value, by the type
        std::optional<QString> stringValue;
        bool booleanTrue = false;
        int booleanFormula = -1; // 1 for TRUE(), 0 for FALSE()
        qint64 repeat = 1;
    };

    static Cell::Type typeOf(QStringView v)
    {
        if (v == u"float" || v == u"percentage" || v == u"currency") return Cell::Number;
        if (v == u"date") return Cell::Date;
        if (v == u"time") return Cell::Time;
        if (v == u"boolean") return Cell::Boolean;
        return Cell::Text;
    }

    Cell cellAttributes()
    {
        Cell cell;
        QStringView number, dateValue, timeValue;
        const QXmlStreamAttributes attributes = m_xml.reader().attributes();
        for (const QXmlStreamAttribute &a : attributes) {
            const QStringView name = a.name(), v = a.value();
            if (name == u"value-type") cell.type = typeOf(v);
            else if (name == u"value") number = v;
            else if (name == u"date-value") dateValue = v;
            else if (name == u"time-value") timeValue = v;
            else if (name == u"boolean-value") cell.booleanTrue = v == u"true" || v == u"1";
            else if (name == u"string-value") cell.stringValue = v.toString();
            else if (name == u"number-columns-repeated") cell.repeat = repeatCount(v);
            // LibreOffice writes a Boolean it read from XLSX as the formula TRUE() or
            // FALSE() with a number as its value, and shows it as TRUE or FALSE.
            else if (name == u"formula" && v.endsWith(u"=TRUE()", Qt::CaseInsensitive)) cell.booleanFormula = 1;
            else if (name == u"formula" && v.endsWith(u"=FALSE()", Qt::CaseInsensitive)) cell.booleanFormula = 0;
        }
        if (cell.type == Cell::Number) {
            const auto value = numberValue(number);
            cell.numberRead = value.has_value();
            cell.value = value ? numberText(*value, number) : number.toString();
        } else if (cell.type == Cell::Date) {
            cell.value = dateValue.toString();
        } else if (cell.type == Cell::Time) {
            cell.value = timeValue.toString();
        }
        return cell;
    }

    // The cell's value as the grid's text; the reader ends on the cell's end.
    QString cellText(const Cell &cell)
    {
        QString shown = cell.stringValue.value_or(QString());
        bool first = true;
        while (m_xml.next() != QXmlStreamReader::EndElement
               || (m_xml.reader().name() != u"table-cell" && m_xml.reader().name() != u"covered-table-cell")) {
            const QXmlStreamReader &r = m_xml.reader();
            if (!r.isStartElement()) continue;
            if (r.name() == u"p" && !cell.stringValue) {
                if (!first) shown += u'\n';
                shown += paragraph();
                first = false;
            } else {
                m_xml.skipElement(); // comments, drawings
            }
        }
        if (cell.booleanFormula >= 0) return booleanText(cell.booleanFormula == 1);
        switch (cell.type) {
        case Cell::Number:
            if (!cell.numberRead)
                m_zip.damaged(QStringLiteral("content.xml: a number cell holding \"%1\"").arg(cell.value));
            return cell.value;
        case Cell::Date:
            if (const auto v = isoDateValue(cell.value)) return dateText(*v, true, false);
            return cell.value;
        case Cell::Time:
            if (const auto v = durationValue(cell.value)) return dateText(m_nullDate + *v, false, true);
            return cell.value;
        case Cell::Boolean: return booleanText(cell.booleanTrue);
        case Cell::Text: break;
        }
        return shown;
    }

    // A paragraph's text: its characters, <text:s> as blanks, <text:tab> and
    // <text:line-break>, the text of spans and links; notes and comments left out.
    QString paragraph()
    {
        QString text;
        for (int depth = 1; depth > 0;) {
            const auto token = m_xml.next();
            const QXmlStreamReader &r = m_xml.reader();
            if (token == QXmlStreamReader::Characters) {
                text += r.text();
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if (token == QXmlStreamReader::StartElement) {
                if (r.name() == u"s") {
                    const QStringView c = m_xml.attribute(u"c");
                    const qint64 blanks = std::min<qint64>(repeatCount(c), WorkbookLimits::MaxTokenBytes + 1);
                    text += QString(qsizetype(blanks), u' ');
                    ++depth;
                } else if (r.name() == u"tab") {
                    text += u'\t';
                    ++depth;
                } else if (r.name() == u"line-break") {
                    text += u'\n';
                    ++depth;
                } else if (r.name() == u"annotation" || r.name() == u"note") {
                    m_xml.skipElement();
                } else {
                    ++depth;
                }
            }
            if (text.size() > WorkbookLimits::MaxTokenBytes)
                m_zip.damaged(QStringLiteral("content.xml: a cell text of more than %1 characters")
                                  .arg(WorkbookLimits::MaxTokenBytes));
        }
        return text;
    }
};

} // namespace

void readOds(ZipInput &zip, int index, StagedSheet &staged)
{
    checkPackage(zip);
    if (index < 0) throw ERangeError(QStringLiteral("File %1 has no sheet %2").arg(zip.fileName()).arg(index));
    ContentReader(zip, staged).read(index);
}

} // namespace vorgrd::workbook_internal
