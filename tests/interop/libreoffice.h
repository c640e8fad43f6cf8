#pragma once
// Running LibreOffice Calc headless on files the grid wrote, and reading the CSV it
// writes back. The program is named by the environment variable VORGRD_SOFFICE (the
// interoperability script sets it); without it the tests skip.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace interop {

inline QString sofficeProgram()
{
    return qEnvironmentVariable("VORGRD_SOFFICE");
}

// Converts `file` with soffice --convert-to `target` (a filter such as
// "xlsx" or "csv:...") into `work`/`outDir`, using the import filter `inFilter` (and
// its options, when not empty) and the profile in `work`. Returns the written file's
// bytes, or nullopt with `error` set.
inline std::optional<QByteArray> convertFile(const QString &file, const QString &inFilter, const QString &target,
                                             const QString &outDir, const QTemporaryDir &work, QString &error)
{
    const QString out = work.filePath(outDir);
    QDir().mkpath(out);
    QStringList args = {
        QStringLiteral("-env:UserInstallation=file://") + work.filePath(QStringLiteral("profile")),
        QStringLiteral("--headless"), QStringLiteral("--norestore")};
    if (!inFilter.isEmpty())
        args << (QStringLiteral("--infilter=") + inFilter);
    args << QStringLiteral("--convert-to") << target << QStringLiteral("--outdir") << out << file;
    QProcess soffice;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // LibreOffice reads SYLK in the locale's encoding; the grid writes UTF-8.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    soffice.setProcessEnvironment(env);
    soffice.start(sofficeProgram(), args);
    if (!soffice.waitForFinished(180000) || soffice.exitCode() != 0) {
        error = QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(soffice.readAllStandardError())
                + QString::fromLocal8Bit(soffice.readAllStandardOutput());
        soffice.kill();
        return std::nullopt;
    }
    const QString extension = target.section(u':', 0, 0);
    QFile written(out + u'/' + QFileInfo(file).completeBaseName() + u'.' + extension);
    if (!written.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("no %1 written: ").arg(extension) + QString::fromLocal8Bit(soffice.readAllStandardError());
        return std::nullopt;
    }
    return written.readAll();
}

// Converts `file` to CSV (comma, double quotes, UTF-8, raw values; every text quoted,
// or with `quoteAllTexts` false only what needs it, as LibreOffice saves a CSV by
// default) with the import filter `inFilter` (and its options), using a fresh profile
// in `work`. Returns the CSV's bytes, or nullopt with `error` set.
inline std::optional<QByteArray> convertToCsv(const QString &file, const QString &inFilter,
                                              const QTemporaryDir &work, QString &error,
                                              bool quoteAllTexts = true)
{
    return convertFile(file, inFilter,
                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,%1,true,false")
                           .arg(quoteAllTexts ? QLatin1String("true") : QLatin1String("false")),
                       QStringLiteral("csv-out"), work, error);
}

// A flat ODF spreadsheet (.fods) in `work` holding exactly `rows` as texts, each
// given as its cell's string value: an attribute keeps blanks, tabs and line breaks,
// which a paragraph's text would collapse or drop.
inline QString writeSheet(const QTemporaryDir &work, const QList<QStringList> &rows)
{
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
        "<office:body><office:spreadsheet><table:table table:name=\"Sheet1\">");
    for (const QStringList &row : rows) {
        xml += QStringLiteral("<table:table-row>");
        for (const QString &text : row) {
            if (text.isEmpty()) {
                xml += QStringLiteral("<table:table-cell/>");
                continue;
            }
            QString value = text.toHtmlEscaped();
            value.replace(u'\t', QLatin1String("&#9;")).replace(u'\n', QLatin1String("&#10;"))
                .replace(u'\r', QLatin1String("&#13;"));
            xml += QStringLiteral("<table:table-cell office:value-type=\"string\" office:string-value=\"%1\">"
                                  "<text:p>-</text:p></table:table-cell>")
                       .arg(value);
        }
        xml += QStringLiteral("</table:table-row>\n");
    }
    xml += QStringLiteral("</table:table></office:spreadsheet></office:body></office:document>\n");
    const QString path = work.filePath(QStringLiteral("sheet.fods"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(xml.toUtf8());
    return path;
}

// RFC 4180 fields: "" inside quotes is one quote, line breaks inside quotes belong to
// the field, rows end with LF or CR LF.
inline QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
        } else if (ch == u'"') {
            quoted = true;
            any = true;
        } else if (ch == u',') {
            row << field;
            field.clear();
            any = true;
        } else if (ch == u'\n' || ch == u'\r') {
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            row << field;
            rows << row;
            row.clear();
            field.clear();
            any = false;
        } else {
            field += ch;
            any = true;
        }
    }
    if (any || !field.isEmpty()) {
        row << field;
        rows << row;
    }
    return rows;
}

inline QString csvCell(const QList<QStringList> &rows, int col, int row)
{
    if (row < 0 || row >= rows.size() || col < 0 || col >= rows[row].size())
        return {};
    return rows[row][col];
}

} // namespace interop
