#pragma once
// A reading of delimited text written apart from the library's, one character at a
// time, for tests and fuzz targets to hold the library's reader against: fields split
// at the delimiter outside quotes, a field that starts with a quote quoted (RFC 4180,
// "" for a quote) until a quote that is never closed turns quoting off, CR LF, LF and
// a lone CR each ending a record, a line break at the very end ending the last one.

#include <QList>
#include <QString>
#include <QStringList>

namespace vorgrd::testing_reference {

struct Record
{
    QStringList fields;
    bool blank = false; // nothing stood before its line end
};

// The quoted field opening at text[i] ('"'): its text and the index after its closing
// quote, or -1 when no quote closes it.
inline qsizetype quotedField(const QString &text, qsizetype i, QString &content)
{
    for (qsizetype j = i + 1; j < text.size(); ++j) {
        if (text[j] != u'"') {
            content += text[j];
        } else if (j + 1 < text.size() && text[j + 1] == u'"') {
            content += u'"';
            ++j;
        } else {
            return j + 1;
        }
    }
    return -1;
}

inline QList<Record> records(const QString &text, const QString &delimiter)
{
    bool quoting = !delimiter.contains(u'"');
    const bool matching = !delimiter.isEmpty() && !delimiter.contains(u'\r') && !delimiter.contains(u'\n');
    QList<Record> out;
    Record record;
    QString cell;
    bool fieldStart = true, recordOpen = false;
    qsizetype recordBegin = 0;
    for (qsizetype i = 0; i < text.size();) {
        recordOpen = true;
        if (fieldStart && quoting && text[i] == u'"') {
            QString content;
            const qsizetype after = quotedField(text, i, content);
            if (after >= 0) {
                cell += content;
                i = after;
                fieldStart = false;
                continue;
            }
            quoting = false;
        }
        fieldStart = false;
        if (matching && QStringView(text).sliced(i).startsWith(delimiter)) {
            record.fields << cell;
            cell.clear();
            i += delimiter.size();
            fieldStart = true;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            record.fields << cell;
            record.blank = i == recordBegin;
            out << record;
            record = Record();
            cell.clear();
            i += (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
            recordBegin = i;
            fieldStart = true;
            recordOpen = false;
        } else {
            cell += text[i++];
        }
    }
    if (recordOpen) {
        record.fields << cell;
        out << record;
    }
    return out;
}

} // namespace vorgrd::testing_reference
