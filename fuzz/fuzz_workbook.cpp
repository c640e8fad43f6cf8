// tvorgrid::LoadFromWorkbook must take any workbook without crashing, hanging, leaking
// or escaping with anything but MFileError, EInOutError or ERangeError, and a refused
// file must leave the grid as it was. The first byte picks what the rest is: the
// sheet part of an XLSX package, its shared texts (under a sheet that refers to the
// first ones), the content of an ODS package, or the whole file (the container itself).
#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace vorgrd;

namespace {

QApplication *app = nullptr;
QTemporaryDir *dir = nullptr;
tvorgrid *sharedGrid = nullptr;

using Parts = std::vector<std::pair<const char *, QByteArray>>;

const QByteArray Rels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const QByteArray Book =
    R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="A" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const QByteArray BookRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
const QByteArray SharedSheet =
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row></sheetData></worksheet>)";

Parts xlsx(const QByteArray &sheet, const QByteArray &strings)
{
    return {{"[Content_Types].xml", "<Types/>"},      {"_rels/.rels", Rels}, {"xl/workbook.xml", Book},
            {"xl/_rels/workbook.xml.rels", BookRels}, {"xl/worksheets/sheet1.xml", sheet},
            {"xl/sharedStrings.xml", strings}};
}

bool writeZip(const QString &path, const Parts &parts)
{
    zip_t *z = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    if (!z) return false;
    for (const auto &[name, bytes] : parts) {
        zip_source_t *source = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(z, name, source, 0) < 0) {
            zip_source_free(source);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

bool writeInput(const QString &path, uint8_t kind, const QByteArray &bytes)
{
    switch (kind % 4) {
    case 0: return writeZip(path, xlsx(bytes, "<sst/>"));
    case 1: return writeZip(path, xlsx(SharedSheet, bytes));
    case 2: return writeZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", bytes}});
    default: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    }
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_workbook: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    dir = new QTemporaryDir;
    sharedGrid = new tvorgrid;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString path = dir->filePath(QStringLiteral("input"));
    if (!writeInput(path, data[0], bytes)) return 0;
    tvorgrid &grid = *sharedGrid;
    if (grid.RowCount() < 2) grid.setRowCount(2);
    if (grid.ColCount() < 2) grid.setColCount(2);
    grid.setCells(1, 1, QStringLiteral("before"));
    grid.RowMarks()->setStrings(1, QStringLiteral("Y"));
    const int rows = grid.RowCount(), cols = grid.ColCount();
    try {
        grid.LoadFromWorkbook(path, data[0] >> 7);
    } catch (const Exception &e) {
        check(dynamic_cast<const EInOutError *>(&e) || dynamic_cast<const ERangeError *>(&e)
                  || dynamic_cast<const MFileError *>(&e),
              "a load failed with an unexpected error");
        check(grid.Cells(1, 1) == QLatin1String("before") && grid.RowMarks()->Strings(1) == QLatin1String("Y")
                  && grid.RowCount() == rows && grid.ColCount() == cols,
              "a refused file changed the grid");
        return 0;
    }
    grid.checkConsistency();
    for (int r = 0; r < grid.RowCount(); ++r)
        check(grid.RowMarks()->Strings(r) == QLatin1String("N"), "a loaded row kept a mark");
    return 0;
}
