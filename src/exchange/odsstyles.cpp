// The data styles of an ODS workbook: the number and date formats of
// workbookformats_p.h as <number:number-style>, <number:date-style> and
// <number:time-style> elements. A format with a negative or zero section becomes one
// style per section, the first mapping the others by the value's sign.
#include "exchange/odsstyles_p.h"

#include <QXmlStreamWriter>

namespace vorgrd::workbook_internal {

namespace {

void writeText(QXmlStreamWriter &xml, const QString &text)
{
    if (!text.isEmpty()) xml.writeTextElement(QStringLiteral("number:text"), text);
}

bool canShow(const NumberSection &s)
{
    // ODS writes the exponent's letter in capitals, and one integer digit is what
    // LibreOffice shows as the grid does.
    return !s.scientific || (!s.lowerCaseExponent && s.integerDigits == 1 && !s.grouping);
}

void writeNumber(QXmlStreamWriter &xml, const NumberSection &s)
{
    xml.writeStartElement(s.scientific ? QStringLiteral("number:scientific-number") : QStringLiteral("number:number"));
    xml.writeAttribute(QStringLiteral("number:decimal-places"), QString::number(s.decimals));
    xml.writeAttribute(QStringLiteral("number:min-decimal-places"), QString::number(s.blankZeros ? 0 : s.minDecimals));
    xml.writeAttribute(QStringLiteral("number:min-integer-digits"), QString::number(s.minIntegerDigits));
    if (s.scientific) {
        xml.writeAttribute(QStringLiteral("number:min-exponent-digits"), QString::number(std::max(s.exponentDigits, 1)));
        xml.writeAttribute(QStringLiteral("number:exponent-interval"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("number:forced-exponent-sign"),
                           s.exponentSignAlways ? QStringLiteral("true") : QStringLiteral("false"));
    } else {
        if (s.grouping) xml.writeAttribute(QStringLiteral("number:grouping"), QStringLiteral("true"));
        if (s.decimals > (s.blankZeros ? 0 : s.minDecimals))
            xml.writeAttribute(QStringLiteral("number:decimal-replacement"),
                               s.blankZeros ? QStringLiteral(" ") : QString());
    }
    xml.writeEndElement();
}

void writeSection(QXmlStreamWriter &xml, const QString &name, const NumberSection &s,
                  const QStringList &maps = {}, const QStringList &mapped = {})
{
    xml.writeStartElement(QStringLiteral("number:number-style"));
    xml.writeAttribute(QStringLiteral("style:name"), name);
    writeText(xml, s.prefix);
    if (s.hasNumber) writeNumber(xml, s);
    writeText(xml, s.suffix);
    for (qsizetype i = 0; i < maps.size(); ++i) {
        xml.writeEmptyElement(QStringLiteral("style:map"));
        xml.writeAttribute(QStringLiteral("style:condition"), maps[i]);
        xml.writeAttribute(QStringLiteral("style:apply-style-name"), mapped[i]);
    }
    xml.writeEndElement();
}

void writeNumberStyle(QXmlStreamWriter &xml, const QString &name, const NumberFormat &format)
{
    const auto &sections = format.sections;
    QStringList maps, mapped;
    const char16_t *conditions[] = {nullptr, u"value()<0", u"value()=0"};
    for (size_t i = 1; i < sections.size(); ++i) {
        const QString part = name + QStringLiteral("P%1").arg(i);
        writeSection(xml, part, sections[i]);
        maps << QString::fromUtf16(conditions[i]);
        mapped << part;
    }
    writeSection(xml, name, sections.front(), maps, mapped);
}

// The date parts: a millisecond is written as the seconds' three decimals, together
// with the "." before it.
bool canShow(const DateFormat &format)
{
    const auto &parts = format.parts;
    for (size_t i = 0; i < parts.size(); ++i) {
        const DatePart &p = parts[i];
        if (p.kind == DatePart::AmPm && !p.longForm) return false;
        if (p.kind == DatePart::Millisecond
            && (i < 2 || parts[i - 1].text != u"." || parts[i - 2].kind != DatePart::Second))
            return false;
    }
    return true;
}

void writeDatePart(QXmlStreamWriter &xml, const std::vector<DatePart> &parts, size_t i)
{
    const DatePart &p = parts[i];
    const QString style = p.longForm ? QStringLiteral("long") : QStringLiteral("short");
    const auto element = [&](const char *name, bool textual = false) {
        xml.writeEmptyElement(QLatin1String(name));
        xml.writeAttribute(QStringLiteral("number:style"), style);
        if (textual) xml.writeAttribute(QStringLiteral("number:textual"), QStringLiteral("true"));
    };
    const bool millisecondsFollow = i + 2 < parts.size() && parts[i + 2].kind == DatePart::Millisecond;
    switch (p.kind) {
    case DatePart::Text:
        if (!(p.text == u"." && i + 1 < parts.size() && parts[i + 1].kind == DatePart::Millisecond))
            writeText(xml, p.text);
        break;
    case DatePart::Day: element("number:day"); break;
    case DatePart::DayName: element("number:day-of-week"); break;
    case DatePart::Month: element("number:month"); break;
    case DatePart::MonthName: element("number:month", true); break;
    case DatePart::Year: element("number:year"); break;
    case DatePart::Hour: element("number:hours"); break;
    case DatePart::Minute: element("number:minutes"); break;
    case DatePart::Second:
        element("number:seconds");
        if (millisecondsFollow) xml.writeAttribute(QStringLiteral("number:decimal-places"), QStringLiteral("3"));
        break;
    case DatePart::Millisecond: break;
    case DatePart::AmPm: xml.writeEmptyElement(QStringLiteral("number:am-pm")); break;
    }
}

void writeDateStyle(QXmlStreamWriter &xml, const QString &name, const DateFormat &format)
{
    xml.writeStartElement(format.hasDate ? QStringLiteral("number:date-style") : QStringLiteral("number:time-style"));
    xml.writeAttribute(QStringLiteral("style:name"), name);
    for (size_t i = 0; i < format.parts.size(); ++i)
        writeDatePart(xml, format.parts, i);
    xml.writeEndElement();
}

} // namespace

bool odsCanShow(const WorkbookStyle &style)
{
    if (style.date) return canShow(style.dateFormat);
    for (const NumberSection &s : style.number.sections)
        if (!canShow(s)) return false;
    return true;
}

void writeOdsDataStyle(QXmlStreamWriter &xml, const QString &name, const WorkbookStyle &style)
{
    if (style.date) writeDateStyle(xml, name, style.dateFormat);
    else writeNumberStyle(xml, name, style.number);
}

} // namespace vorgrd::workbook_internal
