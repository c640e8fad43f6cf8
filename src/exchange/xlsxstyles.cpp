// Date formats of an XLSX workbook (xlsxstyles_p.h).
#include "exchange/xlsxstyles_p.h"

#include "exchange/xmlpart_p.h"

#include <QHash>
#include <QRegularExpression>

#include <optional>

namespace vorgrd::workbook_internal {

namespace {

DateKind builtIn(int id)
{
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58)) return DateKind::Date;
    if ((id >= 18 && id <= 21) || id == 45 || id == 47) return DateKind::Time;
    if (id == 22) return DateKind::DateTime;
    return DateKind::None;
}

// The code's first section with quoted text, escaped characters and colour or
// locale brackets taken out; nothing for an elapsed time.
std::optional<QString> letters(const QString &code)
{
    QString out;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u';') break;
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            i = end < 0 ? code.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is literal (or a fill or width)
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            const QString inside = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1).toLower();
            if (inside == u"h" || inside == u"hh" || inside == u"m" || inside == u"mm" || inside == u"s"
                || inside == u"ss")
                return std::nullopt;
            i = end < 0 ? code.size() : end;
        } else {
            out += c.toLower();
        }
    }
    return out;
}

} // namespace

DateKind dateKindOf(int id, const QString &code)
{
    if (code.isEmpty()) return builtIn(id);
    const auto text = letters(code);
    if (!text || text->contains(QLatin1String("general"))) return DateKind::None;
    bool date = false, time = false;
    QChar previous; // the last date or time letter
    for (qsizetype i = 0; i < text->size(); ++i) {
        const QChar c = text->at(i);
        if (c == u'y' || c == u'd') {
            date = true;
        } else if (c == u'h' || c == u's') {
            time = true;
        } else if (c == u'm') {
            // Minutes right after an hour or right before a second, else the month.
            qsizetype j = i;
            while (j < text->size() && text->at(j) == u'm')
                ++j;
            const qsizetype next = text->indexOf(QRegularExpression(QStringLiteral("[ydhs]")), j);
            const bool minute = previous == u'h' || (next >= 0 && text->at(next) == u's');
            (minute ? time : date) = true;
            i = j - 1;
        } else if (text->mid(i).startsWith(QLatin1String("am/pm")) || text->mid(i).startsWith(QLatin1String("a/p"))) {
            time = true;
        } else {
            continue;
        }
        previous = c;
    }
    if (date && time) return DateKind::DateTime;
    if (date) return DateKind::Date;
    if (time) return DateKind::Time;
    return DateKind::None;
}

XlsxStyles::XlsxStyles(ZipInput &zip, const QString &part)
{
    if (part.isEmpty() || !zip.contains(part)) return;
    QHash<int, QString> codes;
    XmlPart xml(zip, part);
    bool inCellFormats = false;
    while (xml.next() != QXmlStreamReader::EndDocument) {
        const QXmlStreamReader &r = xml.reader();
        if (r.isEndElement()) {
            if (r.name() == u"cellXfs") inCellFormats = false;
            if (r.name() == u"styleSheet") break;
            continue;
        }
        if (!r.isStartElement()) continue;
        if (r.name() == u"numFmt") {
            codes.insert(xml.attribute(u"numFmtId").toInt(), xml.attribute(u"formatCode").toString());
        } else if (r.name() == u"cellXfs") {
            inCellFormats = true;
        } else if (r.name() == u"xf" && inCellFormats) {
            const int id = xml.attribute(u"numFmtId").toInt();
            m_kinds.push_back(dateKindOf(id, codes.value(id)));
        }
    }
}

} // namespace vorgrd::workbook_internal
