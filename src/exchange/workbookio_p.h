#pragma once
// The workbook writers and readers, as the grid's forwards call them
// (exchange/workbook.cpp). Not installed; included only by src/exchange/.

#include "host/vorgrdexport.h"

#include <QString>

namespace vorgrd::workbook_internal {

class WorkbookSheet;
class StagedSheet;
class ZipInput;

// Write `sheet` to `fileName`; the previous file stays untouched on any failure.
void saveXlsx(WorkbookSheet &sheet, const QString &fileName);
void saveOds(WorkbookSheet &sheet, const QString &fileName);

// Reads sheet `index` of an XLSX or ODS file (told apart by their contents) into
// `staged`.
void loadWorkbook(const QString &fileName, int index, StagedSheet &staged);
// The readers behind it (xlsxload.cpp, odsload.cpp).
void readXlsx(ZipInput &zip, int index, StagedSheet &staged);
void readOds(ZipInput &zip, int index, StagedSheet &staged);

} // namespace vorgrd::workbook_internal
