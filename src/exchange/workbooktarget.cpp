// A workbook file written aside and put in place in one step (workbooktarget_p.h).
#include "exchange/workbooktarget_p.h"

#include "host/exceptions.h"

#include <QFile>
#include <QSaveFile>

namespace vorgrd::workbook_internal {

WorkbookTarget::WorkbookTarget(const QString &fileName) : m_fileName(fileName)
{
    if (!m_dir.isValid()) fail(m_dir.errorString());
}

QString WorkbookTarget::temporaryPath() const
{
    return m_dir.filePath(QStringLiteral("workbook"));
}

void WorkbookTarget::commit()
{
    QFile written(temporaryPath());
    if (!written.open(QIODevice::ReadOnly)) fail(written.errorString());
    QSaveFile out(m_fileName);
    if (!out.open(QIODevice::WriteOnly)) fail(out.errorString());
    QByteArray block;
    for (;;) {
        block = written.read(1 << 20);
        if (written.error() != QFileDevice::NoError) fail(written.errorString());
        if (block.isEmpty()) break;
        if (out.write(block) != block.size()) fail(out.errorString());
    }
    if (!out.commit()) fail(out.errorString());
}

void WorkbookTarget::fail(const QString &reason) const
{
    throw EInOutError(QStringLiteral("File %1 could not be written: %2").arg(m_fileName, reason));
}

} // namespace vorgrd::workbook_internal
