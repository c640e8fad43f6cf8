#pragma once
// Workbook files made by hand for the loader's tests: a ZIP container written with
// libzip from named parts, and the few parts an XLSX or ODS package needs around the
// sheet a test is about.

#include <QByteArray>
#include <QString>

#include <zip.h>

#include <utility>
#include <vector>

namespace workbookfiles {

using Parts = std::vector<std::pair<const char *, QByteArray>>;

// Writes the parts, deflated, in their order; returns false when libzip failed.
inline bool writeZip(const QString &path, const Parts &parts)
{
    int error = 0;
    zip_t *z = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) return false;
    for (const auto &[name, bytes] : parts) {
        zip_source_t *source = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(z, name, source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

// One part of a ZIP file, or an empty array.
inline QByteArray readZipPart(const QString &path, const char *name)
{
    zip_t *z = zip_open(path.toLocal8Bit().constData(), ZIP_RDONLY, nullptr);
    if (!z) return {};
    QByteArray bytes;
    zip_stat_t st;
    zip_file_t *f = zip_stat(z, name, 0, &st) == 0 ? zip_fopen(z, name, 0) : nullptr;
    if (f) {
        bytes.resize(qsizetype(st.size));
        if (zip_fread(f, bytes.data(), st.size) != zip_int64_t(st.size)) bytes.clear();
        zip_fclose(f);
    }
    zip_discard(z);
    return bytes;
}

// An XLSX package around one sheet's XML (and shared strings, when given).
inline Parts xlsx(const QByteArray &sheet, const QByteArray &sharedStrings = {})
{
    Parts parts = {
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/></Types>)"},
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="A" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml", sheet},
    };
    if (!sharedStrings.isEmpty()) parts.push_back({"xl/sharedStrings.xml", sharedStrings});
    return parts;
}

// A sheet part holding `rows` (<row> elements).
inline QByteArray xlsxSheet(const QByteArray &rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
           + rows + "</sheetData></worksheet>";
}

// An ODS package around one table's rows.
inline Parts ods(const QByteArray &rows, const QByteArray &manifestExtra = {})
{
    return {
        {"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
        {"META-INF/manifest.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"><manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml">)"
             + manifestExtra + "</manifest:file-entry></manifest:manifest>"},
        {"content.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet><table:table table:name="A">)"
             + rows + "</table:table></office:spreadsheet></office:body></office:document-content>"},
    };
}

} // namespace workbookfiles
