#pragma once
// One XML part of a workbook read token by token with QXmlStreamReader, fed from the
// container a piece at a time, so that a sheet of any size is never held whole.
// A document type declaration is refused outright (workbook parts have none), so no
// entity, external or internal, is ever declared or resolved; and no single token
// may take more than WorkbookLimits::MaxTokenBytes of the part.
// Not installed; included only by src/exchange/.

#include "exchange/zipinput_p.h"

#include <QXmlStreamReader>

#include <optional>

namespace vorgrd::workbook_internal {

class XmlPart
{
public:
    XmlPart(ZipInput &zip, const QString &name);

    // The next token; raises EInOutError (the file is damaged) for XML that is not
    // well-formed, a document type declaration, or a token past the bound.
    QXmlStreamReader::TokenType next();
    QXmlStreamReader &reader() { return m_xml; }

    // The value of the current element's attribute with this local name (the first
    // with that name, whatever its namespace prefix), or a null view.
    QStringView attribute(QStringView localName) const;
    // The text up to the end of the current start element, the text of elements
    // inside it included; the reader then stands on its end element.
    QString elementText();
    // The same appended to `text`, so that a caller reading many elements can keep
    // one buffer.
    void appendElementText(QString &text);
    // Whether the current token's local name is `name`; inline, as the readers ask
    // it for every token of a sheet.
    bool isNamed(QStringView name) const
    {
        const QStringView own = m_xml.name();
        if (own.size() != name.size()) return false;
        for (qsizetype i = 0; i < own.size(); ++i)
            if (own[i] != name[i]) return false;
        return true;
    }
    // Steps over the rest of the current start element.
    void skipElement();

private:
    bool feed();
    [[noreturn]] void broken(const QString &reason);

    ZipInput &m_zip;
    ZipInput::Part m_part;
    QXmlStreamReader m_xml;
    QByteArray m_piece;
    qint64 m_sinceToken = 0;
};

} // namespace vorgrd::workbook_internal
