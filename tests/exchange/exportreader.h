#pragma once
// Small independent readers of the grid's HTML and SYLK exports, for the tests and
// the export fuzzer: they decode what the records say, cell by cell, so that a test
// can compare every cell with the grid it came from.

#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace exportreader {

// (col, row) -> text, 0-based like the grid.
using Cells = QMap<QPair<int, int>, QString>;

// Decodes a quoted SYLK text (the part after K, quotes included); nullopt when the
// value is malformed (no closing quote, a lone ";").
inline std::optional<QString> sylkText(QStringView value)
{
    if (value.size() < 2 || value.front() != u'"' || value.back() != u'"')
        return std::nullopt;
    QString text;
    const QStringView body = value.mid(1, value.size() - 2);
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar ch = body[i];
        if (ch == u';') {
            if (i + 1 >= body.size() || body[i + 1] != u';')
                return std::nullopt;
            text += u';';
            ++i;
        } else if (ch == QChar(0x1B) && body.mid(i + 1, 2) == u" :") {
            text += u'\n';
            i += 2;
        } else if (ch == u'\r' || ch == u'\n') {
            return std::nullopt;
        } else {
            text += ch;
        }
    }
    return text;
}

struct Sylk
{
    int rows = -1, cols = -1;
    Cells cells;
    bool ok = false;
    QString error;
};

// Reads the records of SaveasSYLK; ok only when every record is well formed and the
// list starts with the ID record and ends with "E".
inline Sylk readSylk(const QStringList &lines)
{
    Sylk out;
    auto fail = [&](const QString &why) {
        out.error = why;
        return out;
    };
    if (lines.size() < 3 || lines.front() != u"ID;VORGRID.SYLK" || lines.back() != u"E")
        return fail(QStringLiteral("no ID or E record"));
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(u"B;Y")) {
            const qsizetype x = line.indexOf(u";X");
            out.rows = line.mid(3, x - 3).toInt();
            out.cols = line.mid(x + 2).toInt();
            continue;
        }
        if (!line.startsWith(u"C;Y"))
            return fail(QStringLiteral("unknown record: ") + line);
        const qsizetype x = line.indexOf(u";X");
        const qsizetype k = line.indexOf(u";K", x);
        if (x < 0 || k < 0)
            return fail(QStringLiteral("malformed record: ") + line);
        bool okY = false, okX = false;
        const int y = line.mid(3, x - 3).toInt(&okY);
        const int col = line.mid(x + 2, k - x - 2).toInt(&okX);
        if (!okY || !okX || y < 1 || col < 1)
            return fail(QStringLiteral("bad coordinates: ") + line);
        const QStringView value = QStringView(line).mid(k + 2);
        QString text;
        if (!value.isEmpty() && value.front() == u'"') {
            const auto decoded = sylkText(value);
            if (!decoded)
                return fail(QStringLiteral("bad text: ") + line);
            text = *decoded;
        } else {
            text = value.toString(); // a number, as written
        }
        out.cells.insert({col - 1, y - 1}, text);
    }
    out.ok = true;
    return out;
}

// Decodes one HTML cell's content as SaveasHTML writes it.
inline QString htmlText(QStringView content)
{
    if (content == u"<br>")
        return {};
    QString text;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content.mid(i).startsWith(u"<br>")) {
            text += u'\n';
            i += 3;
        } else if (content[i] == u'&') {
            const qsizetype semi = content.indexOf(u';', i);
            const QStringView name = content.mid(i + 1, semi - i - 1);
            if (name == u"amp") text += u'&';
            else if (name == u"lt") text += u'<';
            else if (name == u"gt") text += u'>';
            else if (name == u"quot") text += u'"';
            else if (name == u"nbsp") text += u' ';
            else if (name.startsWith(u'#')) text += QChar(name.mid(1).toInt());
            else text += u'?';
            i = semi;
        } else {
            text += content[i];
        }
    }
    return text;
}

struct Html
{
    QStringList header;            // the <th> texts of the title row
    QList<QStringList> body;       // the <td> texts of each body row
    QString caption;
    int captionSpan = -1;
    bool captionOnTop = false;
    bool ok = false;
    QString error;
};

// Reads the first table in `lines` from `from` on; `next` gets the index after it.
inline Html readHtml(const QStringList &lines, qsizetype from = 0, qsizetype *next = nullptr)
{
    Html out;
    qsizetype i = from;
    auto fail = [&](const QString &why) {
        out.error = why + QStringLiteral(" at line %1").arg(i);
        return out;
    };
    if (i >= lines.size() || lines[i] != u"<table border=1>")
        return fail(QStringLiteral("no table"));
    ++i;
    bool headerDone = false;
    const QString capOpen = QStringLiteral("<tr><th nowrap colspan=");
    for (; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line == u"</table><p>") {
            if (next) *next = i + 1;
            out.ok = headerDone;
            return out;
        }
        if (line.startsWith(capOpen) && line.endsWith(u"</th></tr>")) {
            const qsizetype gt = line.indexOf(u'>', capOpen.size());
            out.captionSpan = line.mid(capOpen.size(), gt - capOpen.size()).toInt();
            out.caption = htmlText(QStringView(line).mid(gt + 1, line.size() - gt - 1 - 10));
            out.captionOnTop = !headerDone;
            continue;
        }
        if (line != u"<tr>")
            return fail(QStringLiteral("expected <tr>: ") + line);
        QStringList row;
        const QString open = headerDone ? QStringLiteral("<td nowrap>") : QStringLiteral("<th nowrap>");
        const QString close = headerDone ? QStringLiteral("</td>") : QStringLiteral("</th>");
        for (++i; i < lines.size() && lines[i] != u"</tr>"; ++i) {
            if (!lines[i].startsWith(open) || !lines[i].endsWith(close))
                return fail(QStringLiteral("bad cell: ") + lines[i]);
            row << htmlText(QStringView(lines[i]).mid(open.size(), lines[i].size() - open.size() - close.size()));
        }
        if (headerDone) out.body << row;
        else out.header = row;
        headerDone = true;
    }
    return fail(QStringLiteral("no </table><p>"));
}

} // namespace exportreader
