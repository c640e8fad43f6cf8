// Copying cells to the system clipboard, and the three shortcuts.
// The paste (PasteFromClipboard, PasteText) is in clipboard_paste.cpp.
#include "exchange/delimitedtext_p.h"
#include "exchange/textencoding_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vorgrd {

namespace {

void appendEscapedHtml(QString &out, const QString &text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\r':
            // CR LF is one line break.
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
            out += QLatin1String("<br>");
            break;
        case '\n': out += QLatin1String("<br>"); break;
        default: out += c;
        }
        ++i;
    }
}

TGridRect wholeGrid(const tvorgrid &grid)
{
    return TGridRect{0, 0, grid.ColCount() - 1, grid.RowCount() - 1};
}

void putOnClipboard(const tvorgrid &grid, const TGridRect &rect)
{
    auto *data = new QMimeData;
    data->setText(grid.ClipboardText(rect));
    data->setHtml(grid.ClipboardHtml(rect));
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace

QString tvorgrid::ClipboardText(const TGridRect &rect) const
{
    exchange_internal::ClipboardTextBuilder text;
    for (int row = rect.Top; row <= rect.Bottom; ++row) {
        text.startRow();
        for (int col = rect.Left; col <= rect.Right; ++col)
            text.addCell(Cells(col, row));
    }
    return text.text();
}

QString tvorgrid::ClipboardHtml(const TGridRect &rect) const
{
    // A whole document with its character set named: programs that read the HTML
    // flavour of the clipboard as a file otherwise guess the encoding.
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>\r\n");
    for (int row = rect.Top; row <= rect.Bottom; ++row) {
        out += QLatin1String("<tr>");
        for (int col = rect.Left; col <= rect.Right; ++col) {
            out += QLatin1String("<td>");
            appendEscapedHtml(out, Cells(col, row));
            out += QLatin1String("</td>");
        }
        out += QLatin1String("</tr>\r\n");
    }
    out += QLatin1String("</table></body></html>");
    exchange_internal::replaceUnpairedSurrogates(out);
    return out;
}

void tvorgrid::CopyToClipboard()
{
    putOnClipboard(*this, Selection());
}

void tvorgrid::CutToClipboard()
{
    const TGridRect rect = Selection();
    putOnClipboard(*this, rect);
    const GridEdit edit(*this);
    for (int row = rect.Top; row <= rect.Bottom; ++row)
        for (int col = rect.Left; col <= rect.Right; ++col)
            setCells(col, row, QString());
}

void tvorgrid::SaveToClipboard()
{
    putOnClipboard(*this, wholeGrid(*this));
}

void tvorgrid::KeyPress(QChar &Key)
{
    if (d->exchange.enableClipboardShortcuts && !EditorMode()) {
        switch (Key.unicode()) {
        case 3: CopyToClipboard(); markKeyUsed(); break;
        case 22: PasteFromClipboard(); markKeyUsed(); break;
        case 24: CutToClipboard(); markKeyUsed(); break;
        default: break;
        }
    }
    TStringGrid::KeyPress(Key);
}

} // namespace vorgrd
