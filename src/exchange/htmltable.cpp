// readHtmlTable: the cells of the one table in an HTML document.
//
// One pass over the text, a tag or a run of text at a time:
//   document     := ( text | comment | declaration | end-tag | start-tag )*
//   comment      := "<!--" ... "-->"
//   declaration  := "<!" ... ">" | "<?" ... ">"
//   end-tag      := "</" name ... ">"
//   start-tag    := "<" name attribute* "/"? ">"
//   attribute    := name ( "=" ( '"' ... '"' | "'" ... "'" | unquoted ) )?
// Tags of the outermost table build the rows and cells; tags inside a cell only break
// its lines; the text of <script>, <style>, <title> and <textarea> is skipped whole.
#include "exchange/htmltable_p.h"
#include "host/exceptions.h"

#include <QTextDocumentFragment>

#include <algorithm>
#include <map>
#include <utility>

namespace vorgrd::exchange_internal {

namespace {

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

// A cell's text as a browser lays it out: runs of blanks collapse, none at the start
// of a line or at the end, and a block (a paragraph, a nested table's row) starts on
// a line of its own.
class LaidOutText
{
public:
    void space() { m_space = !m_text.isEmpty() && !m_text.endsWith(u'\n'); }
    void character(QChar c)
    {
        if (m_block) m_text += u'\n';
        else if (m_space) m_text += u' ';
        m_block = m_space = m_endsInBr = false;
        m_text += c;
    }
    void characters(QStringView s)
    {
        for (QChar c : s)
            character(c);
    }
    // <br>: a line break, except as the last thing in its cell, where it shows no
    // line (LibreOffice writes an empty cell as <br>).
    void lineBreak()
    {
        if (m_block) m_text += u'\n';
        m_block = m_space = false;
        m_text += u'\n';
        m_endsInBr = true;
    }
    // Only between texts: a block at the start or end of a cell shows no line.
    void blockBreak()
    {
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n')) m_block = true;
        m_space = false;
    }
    void separator()
    {
        if (!m_text.isEmpty()) character(u'\t');
    }
    QString take()
    {
        if (m_endsInBr) m_text.chop(1);
        m_block = m_space = m_endsInBr = false;
        return std::exchange(m_text, QString());
    }

private:
    QString m_text;
    bool m_space = false;
    bool m_block = false;
    bool m_endsInBr = false;
};

class HtmlTableReader
{
public:
    HtmlTableReader(QStringView html, qint64 maxCells) : m_html(html), m_maxCells(maxCells) {}

    std::optional<HtmlTable> read()
    {
        skipWindowsHeader();
        while (m_pos < m_html.size()) {
            const qsizetype lt = m_html.indexOf(u'<', m_pos);
            const qsizetype textEnd = lt < 0 ? m_html.size() : lt;
            text(m_html.sliced(m_pos, textEnd - m_pos));
            m_pos = textEnd;
            if (m_pos < m_html.size()) markup();
        }
        endTable();
        if (m_tables != 1 || m_textOutside || m_rows.empty()) return std::nullopt;
        return std::move(m_rows);
    }

private:
    // Windows' "HTML Format" starts with lines such as "Version:0.9" before the markup.
    void skipWindowsHeader()
    {
        if (!m_html.startsWith(QLatin1String("Version:"))) return;
        const qsizetype lt = m_html.indexOf(u'<');
        m_pos = lt < 0 ? m_html.size() : lt;
    }

    // markup := comment | declaration | end-tag | start-tag, or a "<" that is text.
    void markup()
    {
        const QStringView rest = m_html.sliced(m_pos);
        if (rest.startsWith(QLatin1String("<!--"))) {
            const qsizetype end = m_html.indexOf(QLatin1String("-->"), m_pos + 4);
            m_pos = end < 0 ? m_html.size() : end + 3;
        } else if (rest.size() > 1 && (rest[1] == u'!' || rest[1] == u'?')) {
            const qsizetype end = m_html.indexOf(u'>', m_pos);
            m_pos = end < 0 ? m_html.size() : end + 1;
        } else if (rest.size() > 2 && rest[1] == u'/' && rest[2].isLetter()) {
            tag(true);
        } else if (rest.size() > 1 && rest[1].isLetter()) {
            tag(false);
        } else {
            text(rest.first(1));
            ++m_pos;
        }
    }

    // start-tag | end-tag, from the "<" on.
    void tag(bool end)
    {
        qsizetype p = m_pos + (end ? 2 : 1);
        const qsizetype nameStart = p;
        while (p < m_html.size() && isNameChar(m_html[p]))
            ++p;
        const QString name = m_html.sliced(nameStart, p - nameStart).toString().toLower();
        int colspan = 1, rowspan = 1;
        p = attributes(p, colspan, rowspan);
        m_pos = p;
        if (end) {
            endTag(name);
            return;
        }
        startTag(name, colspan, rowspan);
        if (name == u"script" || name == u"style" || name == u"title" || name == u"textarea")
            skipRawText(name);
    }

    // attribute* "/"? ">": reads colspan and rowspan; returns the position after ">".
    qsizetype attributes(qsizetype p, int &colspan, int &rowspan) const
    {
        const qsizetype n = m_html.size();
        while (p < n && m_html[p] != u'>') {
            if (!isNameChar(m_html[p])) {
                ++p;
                continue;
            }
            const qsizetype nameStart = p;
            while (p < n && isNameChar(m_html[p]))
                ++p;
            const QStringView name = m_html.sliced(nameStart, p - nameStart);
            while (p < n && isHtmlSpace(m_html[p]))
                ++p;
            if (p >= n || m_html[p] != u'=') continue;
            ++p;
            while (p < n && isHtmlSpace(m_html[p]))
                ++p;
            qsizetype valueStart = p, valueEnd;
            if (p < n && (m_html[p] == u'"' || m_html[p] == u'\'')) {
                const qsizetype close = m_html.indexOf(m_html[p], p + 1);
                valueStart = p + 1;
                valueEnd = close < 0 ? n : close;
                p = close < 0 ? n : close + 1;
            } else {
                while (p < n && !isHtmlSpace(m_html[p]) && m_html[p] != u'>')
                    ++p;
                valueEnd = p;
            }
            const QStringView value = m_html.sliced(valueStart, valueEnd - valueStart).trimmed();
            // The limits HTML gives the spans; 0 or nonsense count as 1.
            if (name.compare(QLatin1String("colspan"), Qt::CaseInsensitive) == 0)
                colspan = std::clamp(value.toInt(), 1, 1000);
            else if (name.compare(QLatin1String("rowspan"), Qt::CaseInsensitive) == 0)
                rowspan = std::clamp(value.toInt(), 1, 65534);
        }
        return p < n ? p + 1 : n;
    }

    void skipRawText(const QString &name)
    {
        const qsizetype end = m_html.indexOf(QStringLiteral("</") + name, m_pos, Qt::CaseInsensitive);
        if (end < 0) {
            m_pos = m_html.size();
            return;
        }
        const qsizetype gt = m_html.indexOf(u'>', end);
        m_pos = gt < 0 ? m_html.size() : gt + 1;
    }

    static bool isBlock(const QString &name)
    {
        static const char *const blocks[] = {"p",  "div", "li", "ul", "ol", "h1", "h2",  "h3",
                                             "h4", "h5",  "h6", "pre", "hr", "blockquote", "dl", "dt", "dd"};
        for (const char *b : blocks)
            if (name == QLatin1String(b)) return true;
        return false;
    }

    void startTag(const QString &name, int colspan, int rowspan)
    {
        if (name == u"head") m_inHead = true;
        else if (name == u"body") m_inHead = false;
        else if (name == u"table") startTable();
        else if (m_depth == 1 && name == u"tr") startRow();
        else if (m_depth == 1 && (name == u"td" || name == u"th")) startCell(colspan, rowspan);
        else if (m_depth == 1 && name == u"caption") m_inCaption = true;
        else if (m_inCell && name == u"br") m_cell.lineBreak();
        else if (m_inCell && name == u"tr") m_cell.blockBreak(); // in a nested table
        else if (m_inCell && (name == u"td" || name == u"th")) m_cell.separator();
        else if (m_inCell && isBlock(name)) m_cell.blockBreak();
    }

    void endTag(const QString &name)
    {
        if (name == u"head") m_inHead = false;
        else if (name == u"table") endTableTag();
        else if (m_depth == 1 && name == u"tr") endRow();
        else if (m_depth == 1 && (name == u"td" || name == u"th")) endCell();
        else if (m_depth == 1 && name == u"caption") m_inCaption = false;
        else if (m_inCell && isBlock(name)) m_cell.blockBreak();
    }

    void startTable()
    {
        if (m_depth == 0) {
            ++m_tables;
            m_covered.clear();
        } else if (m_inCell) {
            m_cell.blockBreak();
        }
        ++m_depth;
    }

    void endTableTag()
    {
        if (m_depth == 1) endTable();
        else if (m_inCell) m_cell.blockBreak();
        m_depth = std::max(m_depth - 1, 0);
    }

    void endTable()
    {
        if (m_depth == 1) endRow();
    }

    void startRow()
    {
        endRow();
        m_rows.emplace_back();
        m_inRow = true;
        m_col = 0;
    }

    void endRow()
    {
        endCell();
        if (!m_inRow) return;
        // Columns still covered by a span from above, right of the last cell.
        auto &row = m_rows.back();
        for (size_t c = size_t(m_col); c < m_covered.size(); ++c) {
            if (m_covered[c] == 0) continue;
            while (qsizetype(row.size()) <= qsizetype(c))
                addCell(row, QString());
        }
        for (int &rows : m_covered)
            rows = std::max(rows - 1, 0);
        m_inRow = false;
    }

    void startCell(int colspan, int rowspan)
    {
        if (!m_inRow) startRow();
        endCell();
        auto &row = m_rows.back();
        while (size_t(m_col) < m_covered.size() && m_covered[size_t(m_col)] > 0) {
            addCell(row, QString());
            ++m_col;
        }
        m_colspan = colspan;
        m_rowspan = rowspan;
        m_inCell = true;
    }

    void endCell()
    {
        if (!m_inCell) return;
        m_inCell = false;
        auto &row = m_rows.back();
        addCell(row, m_cell.take());
        for (int i = 1; i < m_colspan; ++i)
            addCell(row, QString());
        if (m_covered.size() < size_t(m_col + m_colspan)) m_covered.resize(size_t(m_col + m_colspan), 0);
        for (int c = m_col; c < m_col + m_colspan; ++c)
            m_covered[size_t(c)] = std::max(m_covered[size_t(c)], m_rowspan);
        m_col += m_colspan;
    }

    void addCell(std::vector<QString> &row, QString text)
    {
        if (++m_cells > m_maxCells)
            throw ERangeError(QStringLiteral("The HTML table has more than %1 cells").arg(m_maxCells));
        row.push_back(std::move(text));
    }

    // Character data: cell text in a cell, nothing between the table's tags, and
    // outside the table a sign that the document is more than a table.
    void text(QStringView raw)
    {
        if (raw.isEmpty() || m_inHead) return;
        if (m_depth == 0) {
            for (QChar c : raw)
                if (!isHtmlSpace(c)) m_textOutside = true;
            return;
        }
        if (!m_inCell || m_inCaption) return;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            const QChar c = raw[i];
            if (isHtmlSpace(c)) {
                m_cell.space();
            } else if (c == u'&') {
                i = reference(raw, i);
            } else {
                m_cell.character(c);
            }
        }
    }

    // A character reference at raw[i] ("&"): appends what it stands for and returns
    // the index of its last character; an "&" that starts none is a character.
    qsizetype reference(QStringView raw, qsizetype i)
    {
        const qsizetype semicolon = raw.indexOf(u';', i + 1);
        if (semicolon < 0 || semicolon - i > 32) {
            m_cell.character(u'&');
            return i;
        }
        const QStringView body = raw.sliced(i + 1, semicolon - i - 1);
        const QString decoded = decodeReference(body);
        if (decoded.isNull()) {
            m_cell.character(u'&');
            return i;
        }
        m_cell.characters(decoded);
        return semicolon;
    }

    QString decodeReference(QStringView body)
    {
        if (body.startsWith(u'#')) {
            bool ok = false;
            const uint code = body.size() > 1 && (body[1] == u'x' || body[1] == u'X')
                                  ? body.sliced(2).toUInt(&ok, 16)
                                  : body.sliced(1).toUInt(&ok, 10);
            if (!ok) return QString();
            const char32_t c = code == 0 || code > 0x10FFFF || QChar::isSurrogate(code) ? 0xFFFD : code;
            return QString::fromUcs4(&c, 1);
        }
        // U+00A0, as HTML means it and LibreOffice writes a no-break space.
        if (body == QLatin1String("nbsp")) return QString(QChar(0xA0));
        if (body == QLatin1String("amp")) return QStringLiteral("&");
        if (body == QLatin1String("lt")) return QStringLiteral("<");
        if (body == QLatin1String("gt")) return QStringLiteral(">");
        if (body == QLatin1String("quot")) return QStringLiteral("\"");
        if (body == QLatin1String("apos")) return QStringLiteral("'");
        // The rarer names (&euro;, &eacute;, ...) through Qt's own table, once each.
        const QString name = body.toString();
        auto found = m_named.find(name);
        if (found == m_named.end()) {
            const QString text = QTextDocumentFragment::fromHtml(u'&' + name + u';').toPlainText();
            found = m_named.emplace(name, text == u'&' + name + u';' ? QString() : text).first;
        }
        return found->second;
    }

    QStringView m_html;
    qint64 m_maxCells;
    qsizetype m_pos = 0;
    int m_depth = 0;  // tables open around the position
    int m_tables = 0; // outermost tables seen
    bool m_textOutside = false;
    bool m_inHead = false;
    bool m_inCaption = false;
    bool m_inRow = false;
    bool m_inCell = false;
    HtmlTable m_rows;
    LaidOutText m_cell;
    int m_col = 0;
    int m_colspan = 1;
    int m_rowspan = 1;
    qint64 m_cells = 0;
    // For each column, how many more rows (the current one included) a rowspan covers.
    std::vector<int> m_covered;
    std::map<QString, QString> m_named;
};

} // namespace

std::optional<HtmlTable> readHtmlTable(QStringView html, qint64 maxCells)
{
    return HtmlTableReader(html, maxCells).read();
}

} // namespace vorgrd::exchange_internal
