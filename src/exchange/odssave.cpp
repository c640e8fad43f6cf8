// The grid as an OpenDocument spreadsheet (ODS): a ZIP container (libzip) of XML
// parts written with QXmlStreamWriter.
//
//   mimetype (stored, first) -> META-INF/manifest.xml, styles.xml, meta.xml,
//   settings.xml (the frozen panes) -> content.xml, produced a megabyte at a time
//   while libzip compresses it: styles (data, cell, column) -> columns -> rows
//
// Cells: runs of empty cells and rows are written once with a repeat count. A text
// is one <text:p> per line, with <text:s> for the blanks XML would collapse and
// <text:tab> for tabs; the control characters XML cannot hold become U+FFFD.
#include "exchange/workbookio_p.h"

#include "exchange/odsstyles_p.h"
#include "exchange/workbooksheet_p.h"
#include "exchange/workbooktarget_p.h"
#include "exchange/zipoutput_p.h"
#include "host/textconvert.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>

namespace vorgrd::workbook_internal {

namespace {

constexpr qsizetype PieceSize = 1 << 20;
const QString SheetName = QStringLiteral("Sheet1");

const char *const Namespaces[][2] = {
    {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
    {"xmlns:number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
    {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"xmlns:of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
    {"xmlns:meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
    {"xmlns:config", "urn:oasis:names:tc:opendocument:xmlns:config:1.0"},
};

void startDocument(QXmlStreamWriter &xml, const char *root)
{
    xml.writeStartDocument();
    xml.writeStartElement(QLatin1String(root));
    for (const auto &ns : Namespaces)
        xml.writeAttribute(QLatin1String(ns[0]), QLatin1String(ns[1]));
    xml.writeAttribute(QStringLiteral("office:version"), QStringLiteral("1.3"));
}

// A small part written whole.
template <typename Body> QByteArray part(const char *root, Body &&body)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    startDocument(xml, root);
    body(xml);
    xml.writeEndDocument();
    return bytes;
}

QByteArray manifest()
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("manifest:manifest"));
    xml.writeAttribute(QStringLiteral("xmlns:manifest"), QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"));
    xml.writeAttribute(QStringLiteral("manifest:version"), QStringLiteral("1.3"));
    const auto entry = [&](const char *path, const char *type) {
        xml.writeEmptyElement(QStringLiteral("manifest:file-entry"));
        xml.writeAttribute(QStringLiteral("manifest:full-path"), QLatin1String(path));
        if (path[0] == '/') xml.writeAttribute(QStringLiteral("manifest:version"), QStringLiteral("1.3"));
        xml.writeAttribute(QStringLiteral("manifest:media-type"), QLatin1String(type));
    };
    entry("/", "application/vnd.oasis.opendocument.spreadsheet");
    for (const char *name : {"content.xml", "styles.xml", "meta.xml", "settings.xml"})
        entry(name, "text/xml");
    xml.writeEndDocument();
    return bytes;
}

void configItem(QXmlStreamWriter &xml, const char *name, const char *type, const QString &value)
{
    xml.writeStartElement(QStringLiteral("config:config-item"));
    xml.writeAttribute(QStringLiteral("config:name"), QLatin1String(name));
    xml.writeAttribute(QStringLiteral("config:type"), QLatin1String(type));
    xml.writeCharacters(value);
    xml.writeEndElement();
}

// The view settings that freeze the fixed rows and columns.
QByteArray settings(int fixedRows, int fixedCols)
{
    return part("office:document-settings", [&](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("office:settings"));
        xml.writeStartElement(QStringLiteral("config:config-item-set"));
        xml.writeAttribute(QStringLiteral("config:name"), QStringLiteral("ooo:view-settings"));
        xml.writeStartElement(QStringLiteral("config:config-item-map-indexed"));
        xml.writeAttribute(QStringLiteral("config:name"), QStringLiteral("Views"));
        xml.writeStartElement(QStringLiteral("config:config-item-map-entry"));
        configItem(xml, "ViewId", "string", QStringLiteral("view1"));
        xml.writeStartElement(QStringLiteral("config:config-item-map-named"));
        xml.writeAttribute(QStringLiteral("config:name"), QStringLiteral("Tables"));
        xml.writeStartElement(QStringLiteral("config:config-item-map-entry"));
        xml.writeAttribute(QStringLiteral("config:name"), SheetName);
        const QString cols = QString::number(fixedCols), rows = QString::number(fixedRows);
        configItem(xml, "HorizontalSplitMode", "short", fixedCols > 0 ? QStringLiteral("2") : QStringLiteral("0"));
        configItem(xml, "VerticalSplitMode", "short", fixedRows > 0 ? QStringLiteral("2") : QStringLiteral("0"));
        configItem(xml, "HorizontalSplitPosition", "int", cols);
        configItem(xml, "VerticalSplitPosition", "int", rows);
        configItem(xml, "ActiveSplitRange", "short", QStringLiteral("2"));
        configItem(xml, "PositionLeft", "int", QStringLiteral("0"));
        configItem(xml, "PositionRight", "int", cols);
        configItem(xml, "PositionTop", "int", QStringLiteral("0"));
        configItem(xml, "PositionBottom", "int", rows);
        xml.writeEndElement(); // map-entry Sheet1
        xml.writeEndElement(); // map-named
        configItem(xml, "ActiveTable", "string", SheetName);
        xml.writeEndElement(); // map-entry
        xml.writeEndElement(); // map-indexed
        xml.writeEndElement(); // item-set
        xml.writeEndElement(); // settings
    });
}

// An ODF date-value: the day, with the time when there is one, with milliseconds
// when there are some.
QString isoDateTime(double value)
{
    const double ms = std::round((value - std::floor(value)) * 86'400'000.0);
    if (ms == 0 || ms == 86'400'000.0) return FormatDateTime(QStringLiteral("yyyy\"-\"mm\"-\"dd"), value);
    return FormatDateTime(std::fmod(ms, 1000.0) != 0
                              ? QStringLiteral("yyyy\"-\"mm\"-\"dd\"T\"hh\":\"nn\":\"ss\".\"zzz")
                              : QStringLiteral("yyyy\"-\"mm\"-\"dd\"T\"hh\":\"nn\":\"ss"),
                          value);
}

QString doubleText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// content.xml, row after row, in pieces.
class OdsContent
{
public:
    explicit OdsContent(WorkbookSheet &sheet) : m_sheet(sheet)
    {
        m_buffer.setBuffer(&m_bytes);
        m_buffer.open(QIODevice::WriteOnly);
        m_xml.setDevice(&m_buffer);
        for (const WorkbookStyle &style : sheet.styles())
            m_styled.push_back(odsCanShow(style));
    }

    bool next(QByteArray &piece)
    {
        if (m_row < 0) writeHead();
        while (m_row < m_sheet.rowCount() && m_bytes.size() < PieceSize)
            writeRows();
        if (m_row >= m_sheet.rowCount()) writeTail();
        piece.swap(m_bytes);
        m_bytes.resize(0);
        m_buffer.seek(0);
        return m_row <= m_sheet.rowCount();
    }

private:
    WorkbookSheet &m_sheet;
    QByteArray m_bytes;
    QBuffer m_buffer;
    QXmlStreamWriter m_xml;
    std::vector<bool> m_styled; // per style: written as a data style
    int m_row = -1;
    QString m_paragraph;

    void writeHead()
    {
        startDocument(m_xml, "office:document-content");
        m_xml.writeStartElement(QStringLiteral("office:automatic-styles"));
        writeStyles();
        m_xml.writeEndElement();
        m_xml.writeStartElement(QStringLiteral("office:body"));
        m_xml.writeStartElement(QStringLiteral("office:spreadsheet"));
        m_xml.writeStartElement(QStringLiteral("table:table"));
        m_xml.writeAttribute(QStringLiteral("table:name"), SheetName);
        for (int c = 0; c < m_sheet.colCount(); ++c) {
            m_xml.writeEmptyElement(QStringLiteral("table:table-column"));
            m_xml.writeAttribute(QStringLiteral("table:style-name"), QStringLiteral("co%1").arg(c));
            // OPTIMIZATION: the column's format as its cells' default, so that its
            // cells need not name it (a third of the bytes of a number cell).
            if (const int style = columnStyle(c); style >= 0)
                m_xml.writeAttribute(QStringLiteral("table:default-cell-style-name"), QStringLiteral("ce%1").arg(style));
            if (m_sheet.column(c).hidden)
                m_xml.writeAttribute(QStringLiteral("table:visibility"), QStringLiteral("collapse"));
        }
        m_row = 0;
    }

    void writeStyles()
    {
        const auto &styles = m_sheet.styles();
        for (size_t s = 0; s < styles.size(); ++s)
            if (m_styled[s]) writeOdsDataStyle(m_xml, QStringLiteral("N%1").arg(s), styles[s]);
        for (size_t s = 0; s < styles.size(); ++s) {
            if (!m_styled[s]) continue;
            m_xml.writeEmptyElement(QStringLiteral("style:style"));
            m_xml.writeAttribute(QStringLiteral("style:name"), QStringLiteral("ce%1").arg(s));
            m_xml.writeAttribute(QStringLiteral("style:family"), QStringLiteral("table-cell"));
            m_xml.writeAttribute(QStringLiteral("style:data-style-name"), QStringLiteral("N%1").arg(s));
        }
        for (int c = 0; c < m_sheet.colCount(); ++c) {
            m_xml.writeStartElement(QStringLiteral("style:style"));
            m_xml.writeAttribute(QStringLiteral("style:name"), QStringLiteral("co%1").arg(c));
            m_xml.writeAttribute(QStringLiteral("style:family"), QStringLiteral("table-column"));
            m_xml.writeEmptyElement(QStringLiteral("style:table-column-properties"));
            // Pixels at 96 per inch, as the grid's widths are meant on screen.
            m_xml.writeAttribute(QStringLiteral("style:column-width"),
                                 QString::number(m_sheet.column(c).width / 96.0, 'f', 4) + QStringLiteral("in"));
            m_xml.writeEndElement();
        }
    }

    int columnStyle(int c) const
    {
        const int style = m_sheet.column(c).style;
        return style >= 0 && m_styled[size_t(style)] ? style : -1;
    }

    void writeTail()
    {
        if (m_row > m_sheet.rowCount()) return;
        m_xml.writeEndDocument(); // closes table, spreadsheet, body, document
        m_row = m_sheet.rowCount() + 1;
    }

    // One row, or a run of empty rows written once.
    void writeRows()
    {
        int emptyRows = 0;
        while (m_row + emptyRows < m_sheet.rowCount() && rowIsEmpty(m_row + emptyRows))
            ++emptyRows;
        m_xml.writeStartElement(QStringLiteral("table:table-row"));
        if (emptyRows > 0) {
            if (emptyRows > 1)
                m_xml.writeAttribute(QStringLiteral("table:number-rows-repeated"), QString::number(emptyRows));
            emptyCells(m_sheet.colCount());
            m_row += emptyRows;
        } else {
            writeCells(m_row);
            ++m_row;
        }
        m_xml.writeEndElement();
    }

    bool rowIsEmpty(int row)
    {
        for (int c = 0; c < m_sheet.colCount(); ++c)
            if (m_sheet.cell(c, row).kind != WorkbookCell::Empty) return false;
        return true;
    }

    void emptyCells(int count)
    {
        if (count <= 0) return;
        m_xml.writeEmptyElement(QStringLiteral("table:table-cell"));
        if (count > 1) m_xml.writeAttribute(QStringLiteral("table:number-columns-repeated"), QString::number(count));
    }

    void writeCells(int row)
    {
        int empty = 0;
        for (int c = 0; c < m_sheet.colCount(); ++c) {
            const WorkbookCell &cell = m_sheet.cell(c, row);
            if (cell.kind == WorkbookCell::Empty) {
                ++empty;
                continue;
            }
            emptyCells(std::exchange(empty, 0));
            writeCell(cell, columnStyle(c));
        }
        emptyCells(empty);
    }

    void writeCell(const WorkbookCell &cell, int columnStyle)
    {
        const bool text = cell.kind == WorkbookCell::Text;
        m_xml.writeStartElement(QStringLiteral("table:table-cell"));
        const int style = cell.style >= 0 && m_styled[size_t(cell.style)] ? cell.style : -1;
        if (style != columnStyle && !text)
            m_xml.writeAttribute(QStringLiteral("table:style-name"),
                                 style >= 0 ? QStringLiteral("ce%1").arg(style) : QStringLiteral("Default"));
        switch (cell.kind) {
        case WorkbookCell::Empty: break;
        case WorkbookCell::Text: m_xml.writeAttribute(QStringLiteral("office:value-type"), QStringLiteral("string")); break;
        case WorkbookCell::Formula:
            m_xml.writeAttribute(QStringLiteral("table:formula"), odsFormula(*cell.formula));
            [[fallthrough]];
        case WorkbookCell::Number:
            m_xml.writeAttribute(QStringLiteral("office:value-type"), QStringLiteral("float"));
            m_xml.writeAttribute(QStringLiteral("office:value"), doubleText(cell.value));
            break;
        case WorkbookCell::Date:
            m_xml.writeAttribute(QStringLiteral("office:value-type"), QStringLiteral("date"));
            m_xml.writeAttribute(QStringLiteral("office:date-value"), isoDateTime(cell.value));
            break;
        case WorkbookCell::Boolean:
            m_xml.writeAttribute(QStringLiteral("office:value-type"), QStringLiteral("boolean"));
            m_xml.writeAttribute(QStringLiteral("office:boolean-value"),
                                 cell.value != 0 ? QStringLiteral("true") : QStringLiteral("false"));
            break;
        }
        if (text) writeParagraphs(cell.text);
        m_xml.writeEndElement();
    }

    // One <text:p> per line of the text.
    void writeParagraphs(QStringView text)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            const bool end = i == text.size();
            if (!end && text.at(i) != u'\r' && text.at(i) != u'\n') continue;
            writeParagraph(text.mid(start, i - start));
            if (!end && text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
            start = i + 1;
        }
    }

    void writeParagraph(QStringView line)
    {
        m_xml.writeStartElement(QStringLiteral("text:p"));
        m_paragraph.clear();
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == u'\t') {
                flush();
                m_xml.writeEmptyElement(QStringLiteral("text:tab"));
            } else if (c == u' ' && (i == 0 || i + 1 == line.size() || line.at(i - 1) == u' '
                                     || line.at(i - 1) == u'\t')) {
                // Blanks XML would collapse or drop: the first of a run inside the line
                // stays a blank, the others, and those at the ends, are counted.
                qsizetype n = 1;
                while (i + n < line.size() && line.at(i + n) == u' ')
                    ++n;
                flush();
                m_xml.writeEmptyElement(QStringLiteral("text:s"));
                if (n > 1) m_xml.writeAttribute(QStringLiteral("text:c"), QString::number(n));
                i += n - 1;
            } else {
                m_paragraph += xmlCharacter(line, i);
            }
        }
        flush();
        m_xml.writeEndElement();
    }

    void flush()
    {
        if (m_paragraph.isEmpty()) return;
        m_xml.writeCharacters(m_paragraph);
        m_paragraph.clear();
    }

    // The character at i, or U+FFFD for one XML 1.0 cannot carry (a control
    // character, half a surrogate pair, U+FFFE, U+FFFF).
    static QString xmlCharacter(QStringView line, qsizetype &i)
    {
        const QChar c = line.at(i);
        if (c.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
            ++i;
            return line.mid(i - 1, 2).toString();
        }
        const char16_t u = c.unicode();
        if (u < 0x20 || c.isSurrogate() || u == 0xFFFE || u == 0xFFFF) return QString(QChar(0xFFFD));
        return QString(c);
    }
};

QByteArray meta()
{
    return part("office:document-meta", [](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("office:meta"));
        xml.writeTextElement(QStringLiteral("meta:generator"), QStringLiteral("vorgrd/" VORGRD_VERSION_TEXT));
        xml.writeEndElement();
    });
}

QByteArray styles()
{
    // The cell style a cell names to leave its column's default style.
    return part("office:document-styles", [](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("office:styles"));
        xml.writeEmptyElement(QStringLiteral("style:style"));
        xml.writeAttribute(QStringLiteral("style:name"), QStringLiteral("Default"));
        xml.writeAttribute(QStringLiteral("style:family"), QStringLiteral("table-cell"));
        xml.writeEndElement();
    });
}

} // namespace

void saveOds(WorkbookSheet &sheet, const QString &fileName)
{
    WorkbookTarget target(fileName);
    {
        OdsContent content(sheet); // outlives the archive that pulls from it
        ZipOutput zip(target.temporaryPath(), fileName);
        // The first entry, stored: readers recognise the format by it.
        zip.addStored("mimetype", QByteArrayLiteral("application/vnd.oasis.opendocument.spreadsheet"));
        zip.addDeflated("META-INF/manifest.xml", manifest());
        zip.addDeflated("styles.xml", styles());
        zip.addDeflated("meta.xml", meta());
        zip.addDeflated("settings.xml", settings(sheet.fixedRows(), sheet.fixedCols()));
        zip.addProduced("content.xml", [&content](QByteArray &piece) { return content.next(piece); });
        zip.close();
    }
    target.commit();
}

} // namespace vorgrd::workbook_internal
