// SaveasHTML: the grid as an HTML table appended to the caller's list.
//
//   <table border=1>
//   <tr><th nowrap colspan=N>caption</th></tr>     caption on top (when not empty)
//   <tr>  <th nowrap>title</th> ...  </tr>         row 0, one line per cell
//   <tr>  <td nowrap>text</td> ...  </tr>          rows 1.., one line per cell
//   <tr><th nowrap colspan=N>caption</th></tr>     caption below (when not empty)
//   </table><p>
//
// Column 0 is the fixed leading column and is not written; neither is a hidden
// column, in the header and the body alike, so every row has the N cells the caption
// spans. Texts are escaped so that a cell can never inject markup and reads back
// exactly: & < > " as entities, a line break as <br>, a tab as &#9;, and blanks that
// HTML would collapse (leading, trailing, or following another blank or a line
// break) as &nbsp;. An empty text is written as <br>, a text that is just one line
// break as &#10;.
#include "exchange/export_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/updatebracket.h"

namespace vorgrd {

namespace {

using export_internal::appendDecimal;
using export_internal::lineBreakLength;
using export_internal::reserveLines;

bool needsEscape(QChar ch)
{
    switch (ch.unicode()) {
    case u'&':
    case u'<':
    case u'>':
    case u'"':
    case u'\r':
    case u'\n':
    case u'\t':
    case u' ':
        return true;
    default:
        return false;
    }
}

void appendHtmlText(QString &out, QStringView text)
{
    if (text.isEmpty()) {
        out.append(QLatin1String("<br>"));
        return;
    }
    const qsizetype n = text.size();
    if (lineBreakLength(text, 0) == n) {
        // "<br>" alone is the empty cell: a text that is one line break says so as a
        // character reference.
        out.append(QLatin1String("&#10;"));
        return;
    }
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (!needsEscape(ch))
            continue;
        if (ch == u' ') {
            const bool collapses = i == 0 || i + 1 == n || text.at(i - 1) == u' '
                                   || text.at(i - 1) == u'\n' || text.at(i - 1) == u'\r';
            if (!collapses)
                continue;
        }
        out.append(text.mid(plainFrom, i - plainFrom));
        plainFrom = i + 1;
        switch (ch.unicode()) {
        case u'&': out.append(QLatin1String("&amp;")); break;
        case u'<': out.append(QLatin1String("&lt;")); break;
        case u'>': out.append(QLatin1String("&gt;")); break;
        case u'"': out.append(QLatin1String("&quot;")); break;
        case u'\t': out.append(QLatin1String("&#9;")); break;
        case u' ': out.append(QLatin1String("&nbsp;")); break;
        default: // a line break
            out.append(QLatin1String("<br>"));
            i += lineBreakLength(text, i) - 1;
            plainFrom = i + 1;
            break;
        }
    }
    out.append(text.mid(plainFrom));
}

QString cellLine(QLatin1String open, QStringView text, QLatin1String close)
{
    QString line;
    line.reserve(open.size() + text.size() + close.size() + 8);
    line.append(open);
    appendHtmlText(line, text);
    line.append(close);
    return line;
}

QString captionLine(const QString &caption, int span)
{
    QString line = QStringLiteral("<tr><th nowrap colspan=");
    appendDecimal(line, span);
    line.append(QChar(u'>'));
    appendHtmlText(line, caption);
    line.append(QLatin1String("</th></tr>"));
    return line;
}


} // namespace

void tvorgrid::SaveasHTML(const QString &Caption, bool CaptionOnTop, TStrings &Lines)
{
    const int colCount = ColCount();
    const int rowCount = RowCount();
    std::vector<int> written;
    for (int c = 1; c < colCount; ++c)
        if (!d->lines.columns->GeTmColumn(c)->GetHide()) written.push_back(c);
    const int span = int(written.size());

    UpdateBracket bracket(Lines);
    reserveLines(Lines, 6 + span + qint64(std::max(rowCount - 1, 0)) * (span + 2));
    Lines.Add(QStringLiteral("<table border=1>"));
    if (!Caption.isEmpty() && CaptionOnTop)
        Lines.Add(captionLine(Caption, span));
    Lines.Add(QStringLiteral("<tr>"));
    for (int c : written)
        Lines.Add(cellLine(QLatin1String("<th nowrap>"), Cells(c, 0), QLatin1String("</th>")));
    Lines.Add(QStringLiteral("</tr>"));

    const CellStore &store = cellStore();
    CellStore::TextBuffer buffer; // the texts as views: no QString made per cell
    for (int r = 1; r < rowCount; ++r) {
        Lines.Add(QStringLiteral("<tr>"));
        for (int c : written)
            Lines.Add(cellLine(QLatin1String("<td nowrap>"), store.textView(c, r, buffer),
                               QLatin1String("</td>")));
        Lines.Add(QStringLiteral("</tr>"));
    }
    if (!Caption.isEmpty() && !CaptionOnTop)
        Lines.Add(captionLine(Caption, span));
    Lines.Add(QStringLiteral("</table><p>"));
}

} // namespace vorgrd
