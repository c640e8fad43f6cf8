// An XML part of a workbook read in pieces (xmlpart_p.h).
#include "exchange/xmlpart_p.h"

#include "exchange/workbookstage_p.h"

namespace vorgrd::workbook_internal {

XmlPart::XmlPart(ZipInput &zip, const QString &name) : m_zip(zip), m_part(zip, name) {}

bool XmlPart::feed()
{
    if (!m_part.read(m_piece)) return false;
    m_sinceToken += m_piece.size();
    if (m_sinceToken > WorkbookLimits::MaxTokenBytes)
        broken(QStringLiteral("an item of more than %1 bytes").arg(WorkbookLimits::MaxTokenBytes));
    m_xml.addData(m_piece);
    return true;
}

void XmlPart::broken(const QString &reason)
{
    m_zip.damaged(QStringLiteral("%1, line %2: %3").arg(m_part.name()).arg(m_xml.lineNumber()).arg(reason));
}

QXmlStreamReader::TokenType XmlPart::next()
{
    for (;;) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && feed()) continue;
            broken(m_xml.errorString());
        }
        if (token == QXmlStreamReader::DTD)
            broken(QStringLiteral("a document type declaration, which no workbook part has; its entities are "
                                  "not resolved"));
        if (token == QXmlStreamReader::EntityReference)
            broken(QStringLiteral("an entity reference (&%1;), which is not resolved").arg(m_xml.name()));
        m_sinceToken = 0;
        return token;
    }
}

QStringView XmlPart::attribute(QStringView localName) const
{
    // Const, so that walking it does not copy the reader's list; the views stay valid
    // while the reader keeps its own.
    const QXmlStreamAttributes attributes = m_xml.attributes();
    for (const QXmlStreamAttribute &a : attributes)
        if (a.name() == localName) return a.value();
    return {};
}

QString XmlPart::elementText()
{
    QString text;
    appendElementText(text);
    return text;
}

void XmlPart::appendElementText(QString &text)
{
    for (int depth = 1; depth > 0;) {
        switch (next()) {
        case QXmlStreamReader::StartElement: ++depth; break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::Characters: text += m_xml.text(); break;
        case QXmlStreamReader::EndDocument: broken(QStringLiteral("the document ends inside an element"));
        default: break;
        }
    }
}

void XmlPart::skipElement()
{
    for (int depth = 1; depth > 0;) {
        switch (next()) {
        case QXmlStreamReader::StartElement: ++depth; break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::EndDocument: broken(QStringLiteral("the document ends inside an element"));
        default: break;
        }
    }
}

} // namespace vorgrd::workbook_internal
