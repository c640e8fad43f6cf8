#pragma once
// The data styles of the ODS writer (odsstyles.cpp). Not installed.

#include "exchange/workbooksheet_p.h"

class QXmlStreamWriter;

namespace vorgrd::workbook_internal {

// Whether ODS can show the format the grid's way.
bool odsCanShow(const WorkbookStyle &style);
// Writes the data style `name` (and, for a format of several sections, the styles
// `name`P1 and `name`P2 it maps to). Only for a style odsCanShow accepts.
void writeOdsDataStyle(QXmlStreamWriter &xml, const QString &name, const WorkbookStyle &style);

} // namespace vorgrd::workbook_internal
