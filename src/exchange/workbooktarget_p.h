#pragma once
// Where a workbook writer puts its file: first a temporary file (the libraries write
// to a path of their own), which then replaces the target through a QSaveFile, so
// that a failure anywhere leaves the previous file as it was, as SaveToFile does.
// Not installed; included only by src/exchange/.

#include <QString>
#include <QTemporaryDir>

namespace vorgrd::workbook_internal {

class WorkbookTarget
{
public:
    // Raises EInOutError naming the file when no temporary folder can be made.
    explicit WorkbookTarget(const QString &fileName);

    // The path the library writes to.
    QString temporaryPath() const;
    // Puts the written file in the target's place; raises EInOutError naming the
    // target and the system's reason, with the target untouched.
    void commit();
    [[noreturn]] void fail(const QString &reason) const;

private:
    QString m_fileName;
    QTemporaryDir m_dir;
};

} // namespace vorgrd::workbook_internal
