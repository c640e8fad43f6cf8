// Reading one sheet of an XLSX workbook into a staged sheet.
//
//   _rels/.rels -> the workbook part -> its sheets (in order) and relationships
//   -> the sheet's part; styles.xml -> which cell formats show dates or times;
//   sharedStrings.xml -> the shared texts; then the sheet's <c> elements, each
//   value written as the grid's text (workbookstage_p.h)
//
// Part names are resolved as the package's relationships say, so files whose parts
// are named otherwise than Excel names them (LibreOffice, generators) load as well.
// Texts are unescaped as SpreadsheetML escapes them (_xHHHH_).
#include "exchange/workbookio_p.h"

#include "exchange/workbookstage_p.h"
#include "exchange/xlsxstyles_p.h"
#include "exchange/xmlpart_p.h"
#include "exchange/zipinput_p.h"
#include "host/exceptions.h"

#include <QHash>

#include <vector>

namespace vorgrd::workbook_internal {

namespace {

// LIMIT: the positions an XLSX sheet has.
constexpr qint64 XlsxRows = 1'048'576;
constexpr qint64 XlsxCols = 16'384;

struct Relationship
{
    QString type;
    QString target; // resolved to a part name
};

// A relationship's target as a part name: relative to the folder of the part that
// holds it, or absolute from the package's root.
QString resolve(const QString &from, QStringView target)
{
    if (target.startsWith(u'/')) return target.mid(1).toString();
    QString folder = from.left(from.lastIndexOf(u'/') + 1);
    QStringList parts = (folder + target.toString()).split(u'/');
    QStringList out;
    for (const QString &p : parts) {
        if (p == u"..") {
            if (!out.isEmpty()) out.removeLast();
        } else if (p != u"." && !p.isEmpty()) {
            out << p;
        }
    }
    return out.join(u'/');
}

// The relationships part of `part` (folder/_rels/name.rels), by id.
QHash<QString, Relationship> relationships(ZipInput &zip, const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString rels = part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
    QHash<QString, Relationship> out;
    if (!zip.contains(rels)) return out;
    XmlPart xml(zip, rels);
    while (xml.next() != QXmlStreamReader::EndDocument) {
        if (xml.reader().isStartElement() && xml.reader().name() == u"Relationship")
            out.insert(xml.attribute(u"Id").toString(),
                       {xml.attribute(u"Type").toString(), resolve(part, xml.attribute(u"Target"))});
        else if (xml.reader().isEndElement() && xml.reader().name() == u"Relationships")
            break;
    }
    return out;
}

QString relatedPart(const QHash<QString, Relationship> &rels, QStringView typeEnding)
{
    for (const Relationship &r : rels)
        if (r.type.endsWith(typeEnding)) return r.target;
    return {};
}

// The workbook part as the package's root relationships name it.
QString workbookPart(ZipInput &zip)
{
    const QString part = relatedPart(relationships(zip, QString()), u"/officeDocument");
    if (!part.isEmpty() && zip.contains(part)) return part;
    if (zip.contains(QStringLiteral("xl/workbook.xml"))) return QStringLiteral("xl/workbook.xml");
    zip.damaged(QStringLiteral("it names no workbook part"));
}

struct WorkbookInfo
{
    QStringList sheetIds; // relationship ids, in the sheets' order
    bool date1904 = false;
};

WorkbookInfo readWorkbook(ZipInput &zip, const QString &part)
{
    WorkbookInfo info;
    XmlPart xml(zip, part);
    while (xml.next() != QXmlStreamReader::EndDocument) {
        const QXmlStreamReader &r = xml.reader();
        if (r.isEndElement() && r.name() == u"workbook") break;
        if (!r.isStartElement()) continue;
        if (r.name() == u"sheet") {
            info.sheetIds << xml.attribute(u"id").toString();
        } else if (r.name() == u"workbookPr") {
            const QStringView v = xml.attribute(u"date1904");
            info.date1904 = v == u"1" || v == u"true";
        }
    }
    return info;
}

// A text with SpreadsheetML's escapes (_xHHHH_, the code unit HHHH) undone.
QString unescape(const QString &text)
{
    if (!text.contains(QLatin1String("_x"))) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        const ushort unit = i + 7 <= text.size() && text.at(i) == u'_' && text.at(i + 1) == u'x'
                                    && text.at(i + 6) == u'_'
                                ? QStringView(text).mid(i + 2, 4).toUShort(&ok, 16)
                                : 0;
        if (ok) {
            out += QChar(unit);
            i += 6;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

// The text of a rich or plain string item (<si>, <is>) appended to `text`: its <t>
// elements, phonetic runs (<rPh>) left out; escapes not yet undone.
void appendRichText(XmlPart &xml, QStringView element, QString &text)
{
    while (xml.next() != QXmlStreamReader::EndElement || !xml.isNamed(element)) {
        if (!xml.reader().isStartElement()) continue;
        if (xml.isNamed(u"t")) xml.appendElementText(text);
        else if (xml.isNamed(u"rPh")) xml.skipElement();
    }
}

QString richText(XmlPart &xml, QStringView element)
{
    QString text;
    appendRichText(xml, element, text);
    return unescape(text);
}

std::vector<QString> readSharedStrings(ZipInput &zip, const QString &part)
{
    std::vector<QString> strings;
    if (part.isEmpty() || !zip.contains(part)) return strings;
    XmlPart xml(zip, part);
    while (xml.next() != QXmlStreamReader::EndDocument) {
        const QXmlStreamReader &r = xml.reader();
        if (r.isEndElement() && r.name() == u"sst") break;
        if (r.isStartElement() && r.name() == u"si") strings.push_back(richText(xml, u"si"));
    }
    return strings;
}

// "B3" as 0-based (col, row); false for anything else.
bool parseReference(QStringView ref, qint64 &col, qint64 &row)
{
    qsizetype i = 0;
    qint64 c = 0, r = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z' && c <= XlsxCols; ++i)
        c = c * 26 + (ref[i].unicode() - u'A' + 1);
    if (i == 0 || i == ref.size()) return false;
    for (; i < ref.size() && ref[i] >= u'0' && ref[i] <= u'9' && r <= XlsxRows; ++i)
        r = r * 10 + (ref[i].unicode() - u'0');
    if (i != ref.size() || c > XlsxCols || r < 1 || r > XlsxRows) return false;
    col = c - 1;
    row = r - 1;
    return true;
}

class SheetReader
{
public:
    SheetReader(ZipInput &zip, const QString &part, StagedSheet &staged, const XlsxStyles &styles,
                const std::vector<QString> &strings, bool date1904)
        : m_xml(zip, part), m_zip(zip), m_staged(staged), m_styles(styles), m_strings(strings),
          m_dateOffset(date1904 ? 1462.0 : 0.0)
    {
    }

    void read()
    {
        while (m_xml.next() != QXmlStreamReader::EndDocument) {
            const QXmlStreamReader &r = m_xml.reader();
            if (r.isEndElement() && r.name() == u"sheetData") return;
            if (!r.isStartElement()) continue;
            if (r.name() == u"row") startRow();
            else if (r.name() == u"c") readCell();
        }
        m_zip.damaged(QStringLiteral("the sheet has no cell data"));
    }

private:
    XmlPart m_xml;
    ZipInput &m_zip;
    StagedSheet &m_staged;
    const XlsxStyles &m_styles;
    const std::vector<QString> &m_strings;
    double m_dateOffset;
    qint64 m_row = -1;
    qint64 m_col = -1;

    void startRow()
    {
        const QStringView r = m_xml.attribute(u"r");
        bool ok = false;
        const qint64 number = r.isNull() ? m_row + 2 : r.toLongLong(&ok);
        if ((!r.isNull() && !ok) || number < 1 || number > XlsxRows)
            m_zip.damaged(QStringLiteral("a row numbered %1").arg(r.toString()));
        m_row = number - 1;
        m_col = -1;
    }

    // The cell types (the t attribute) the reader tells apart.
    enum class Type { Number, Shared, Inline, Formula, Error, Boolean, Date, Other };

    static Type typeOf(QStringView t)
    {
        if (t.isNull() || t == u"n") return Type::Number;
        if (t == u"s") return Type::Shared;
        if (t == u"inlineStr" || t == u"is") return Type::Inline;
        if (t == u"str") return Type::Formula;
        if (t == u"e") return Type::Error;
        if (t == u"b") return Type::Boolean;
        if (t == u"d") return Type::Date;
        return Type::Other;
    }

    // The cell's place, type and style, from one pass over its attributes (a sheet has
    // millions of cells); nothing of the attributes is kept, as the reader reuses them.
    Type readCellAttributes(int &style)
    {
        QStringView ref, type;
        // Const, so that walking it does not copy the reader's list.
        const QXmlStreamAttributes attributes = m_xml.reader().attributes();
        for (const QXmlStreamAttribute &a : attributes) {
            const QStringView name = a.name();
            if (name == u"r") ref = a.value();
            else if (name == u"t") type = a.value();
            else if (name == u"s") style = a.value().toInt();
        }
        if (ref.isNull()) {
            ++m_col;
            if (m_row < 0) m_row = 0;
        } else if (!parseReference(ref, m_col, m_row)) {
            m_zip.damaged(QStringLiteral("a cell named %1").arg(ref.toString()));
        }
        return typeOf(type);
    }

    void readCell()
    {
        int style = 0;
        const Type type = readCellAttributes(style);
        // One buffer for every value: its memory is kept from cell to cell.
        m_value.resize(0);
        bool hasValue = false;
        while (m_xml.next() != QXmlStreamReader::EndElement || !m_xml.isNamed(u"c")) {
            if (!m_xml.reader().isStartElement()) continue;
            if (m_xml.isNamed(u"v")) {
                m_value.resize(0);
                m_xml.appendElementText(m_value);
                hasValue = true;
            } else if (m_xml.isNamed(u"is")) {
                m_value.resize(0);
                appendRichText(m_xml, u"is", m_value);
                m_value = unescape(m_value);
                hasValue = true;
            } else {
                m_xml.skipElement(); // the formula, extensions
            }
        }
        if (!hasValue) return;
        const QString text = cellText(type, style);
        if (!text.isEmpty()) m_staged.setCell(m_col, m_row, text);
    }

    QString cellText(Type type, int style)
    {
        const QString &value = m_value;
        switch (type) {
        case Type::Shared: {
            bool ok = false;
            const qsizetype index = value.toLongLong(&ok);
            if (!ok || index < 0 || index >= qsizetype(m_strings.size()))
                m_zip.damaged(QStringLiteral("a shared text numbered %1").arg(value));
            return m_strings[size_t(index)];
        }
        case Type::Inline:
        case Type::Error: return value;
        case Type::Formula: return unescape(value);
        case Type::Boolean: return booleanText(value == u"1" || value == u"true");
        case Type::Date: {
            const auto date = isoDateValue(value);
            if (!date) m_zip.damaged(QStringLiteral("a date cell holding %1").arg(value));
            return dateText(*date, true, false);
        }
        case Type::Number:
        case Type::Other: break;
        }
        const auto number = numberValue(value);
        if (!number) m_zip.damaged(QStringLiteral("a number cell holding %1").arg(value));
        const DateKind kind = m_styles.dateKind(style);
        if (kind == DateKind::None) return numberText(*number, value);
        return dateText(*number + m_dateOffset, kind != DateKind::Time, kind != DateKind::Date);
    }

    QString m_value;
};

} // namespace

void readXlsx(ZipInput &zip, int index, StagedSheet &staged)
{
    const QString book = workbookPart(zip);
    const WorkbookInfo info = readWorkbook(zip, book);
    const QHash<QString, Relationship> rels = relationships(zip, book);
    if (index < 0 || index >= info.sheetIds.size())
        throw ERangeError(QStringLiteral("File %1 has no sheet %2: its sheets are 0 to %3")
                              .arg(zip.fileName())
                              .arg(index)
                              .arg(info.sheetIds.size() - 1));
    const Relationship sheet = rels.value(info.sheetIds[index]);
    if (!sheet.type.endsWith(u"/worksheet"))
        throw EInOutError(QStringLiteral("File %1: sheet %2 is no worksheet (a chart or dialog sheet)")
                              .arg(zip.fileName())
                              .arg(index));
    if (!zip.contains(sheet.target)) zip.damaged(QStringLiteral("it has no part %1").arg(sheet.target));
    const XlsxStyles styles(zip, relatedPart(rels, u"/styles"));
    const std::vector<QString> strings = readSharedStrings(zip, relatedPart(rels, u"/sharedStrings"));
    SheetReader(zip, sheet.target, staged, styles, strings, info.date1904).read();
}

} // namespace vorgrd::workbook_internal
