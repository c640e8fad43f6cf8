// Which reader a workbook file takes: told by the container's contents, not by the
// file's name.
#include "exchange/workbookio_p.h"

#include "exchange/workbookstage_p.h"
#include "exchange/zipinput_p.h"
#include "host/exceptions.h"

namespace vorgrd::workbook_internal {

void loadWorkbook(const QString &fileName, int index, StagedSheet &staged)
{
    ZipInput zip(fileName);
    if (zip.contains(QStringLiteral("content.xml")))
        readOds(zip, index, staged);
    else if (zip.contains(QStringLiteral("[Content_Types].xml")))
        readXlsx(zip, index, staged);
    else
        throw EInOutError(QStringLiteral("File %1 is a ZIP archive but not a workbook (XLSX or ODS)").arg(fileName));
}

} // namespace vorgrd::workbook_internal
