#pragma once
// A ZIP container written with libzip: parts given whole, or produced piece by piece
// while libzip compresses them, so that a large part never stands in memory whole.
// libzip writes everything when the archive is closed.
// Not installed; included only by src/exchange/.

#include <QByteArray>
#include <QString>

#include <functional>
#include <list>
#include <memory>

struct zip;
struct zip_source;

namespace vorgrd::workbook_internal {

class ZipOutput
{
public:
    // Fills `piece` with the next bytes of a part; returns false after the last.
    using Producer = std::function<bool(QByteArray &piece)>;

    // Raises EInOutError naming `displayName` when the archive cannot be started.
    ZipOutput(const QString &path, const QString &displayName);
    ~ZipOutput();
    ZipOutput(const ZipOutput &) = delete;
    ZipOutput &operator=(const ZipOutput &) = delete;

    void addStored(const char *name, QByteArray data);
    void addDeflated(const char *name, QByteArray data);
    void addProduced(const char *name, Producer producer);
    // Writes the archive; raises what a producer raised, or EInOutError with
    // libzip's reason.
    void close();

private:
    struct Produced;
    void add(const char *name, zip_source *source, bool deflate);
    [[noreturn]] void fail(const QString &reason) const;

    struct zip *m_zip = nullptr;
    QString m_name;
    std::list<QByteArray> m_buffers;                // whole parts, alive until close
    std::list<std::unique_ptr<Produced>> m_produced; // produced parts' state
};

} // namespace vorgrd::workbook_internal
