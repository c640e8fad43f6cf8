#pragma once
// Reading a workbook's ZIP container with libzip, within the load's bounds: every
// byte unpacked counts against WorkbookLimits::MaxUnpackedBytes, the sizes the
// directory declares first and the bytes read as well (a directory may lie).
// Opening tells the cases a user should hear apart: a file that is no ZIP at all, a
// ZIP cut short, a password-protected workbook.
// Not installed; included only by src/exchange/.

#include <QByteArray>
#include <QString>

struct zip;
struct zip_file;

namespace vorgrd::workbook_internal {

class ZipInput
{
public:
    // Raises MFileError for a missing file, EInOutError for one that is no
    // readable workbook container.
    explicit ZipInput(const QString &fileName);
    ~ZipInput();
    ZipInput(const ZipInput &) = delete;
    ZipInput &operator=(const ZipInput &) = delete;

    const QString &fileName() const { return m_fileName; }
    // Part names compare without regard to letter case, as the packages define.
    bool contains(const QString &part) const;

    // One part read piece by piece.
    class Part
    {
    public:
        Part(ZipInput &zip, const QString &name);
        ~Part();
        Part(const Part &) = delete;
        Part &operator=(const Part &) = delete;
        // The next piece; false at the end of the part.
        bool read(QByteArray &piece);
        const QString &name() const { return m_name; }

    private:
        ZipInput &m_zip;
        QString m_name;
        struct zip_file *m_file = nullptr;
    };

    // A small part whole (the directory parts of a workbook).
    QByteArray readAll(const QString &name);

    // Raises EInOutError: the file is damaged, with the reason.
    [[noreturn]] void damaged(const QString &reason) const;

private:
    friend class Part;
    // Counts bytes unpacked; raises EInOutError past the bound.
    void count(qint64 bytes, const QString &part);
    void checkRoom(qint64 bytes, const QString &part) const;

    QString m_fileName;
    struct zip *m_zip = nullptr;
    qint64 m_unpacked = 0;
};

} // namespace vorgrd::workbook_internal
