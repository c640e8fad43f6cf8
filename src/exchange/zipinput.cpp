// Reading a ZIP container within the load's bounds (zipinput_p.h).
#include "exchange/zipinput_p.h"

#include "exchange/workbookstage_p.h"
#include "host/exceptions.h"

#include <QFile>

#include <zip.h>

namespace vorgrd::workbook_internal {

namespace {

constexpr qint64 PieceSize = 1 << 20;

QString zipReason(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString reason = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return reason;
}

// What the first bytes say the file is, before libzip looks at it.
enum class Kind { Zip, Compound, Other };

Kind kindOf(QFile &file, bool &encrypted)
{
    const QByteArray head = file.read(8);
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06")) return Kind::Zip;
    if (head != QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return Kind::Other;
    // An OLE compound file: a password-protected XLSX keeps its package in a stream
    // named EncryptedPackage; an old binary workbook has none.
    const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    QByteArray window;
    while (!file.atEnd()) {
        window = window.right(name.size()) + file.read(PieceSize);
        if (window.contains(name)) {
            encrypted = true;
            break;
        }
    }
    return Kind::Compound;
}

} // namespace

ZipInput::ZipInput(const QString &fileName) : m_fileName(fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw MFileError(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    bool encrypted = false;
    switch (kindOf(file, encrypted)) {
    case Kind::Zip: break;
    case Kind::Compound:
        throw EInOutError(encrypted ? QStringLiteral("File %1 is a password-protected workbook; save it without "
                                                     "a password to load it")
                                          .arg(fileName)
                                    : QStringLiteral("File %1 is an old binary workbook (.xls), not XLSX or ODS")
                                          .arg(fileName));
    case Kind::Other: throw EInOutError(QStringLiteral("File %1 is not a workbook (XLSX or ODS)").arg(fileName));
    }
    file.close();
    int error = 0;
    m_zip = zip_open(fileName.toLocal8Bit().constData(), ZIP_RDONLY, &error);
    if (!m_zip) {
        if (error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS)
            damaged(QStringLiteral("its ZIP directory is missing or broken (a file cut short?)"));
        damaged(zipReason(error));
    }
}

ZipInput::~ZipInput()
{
    if (m_zip) zip_discard(m_zip);
}

void ZipInput::damaged(const QString &reason) const
{
    throw EInOutError(QStringLiteral("File %1 is a damaged workbook: %2").arg(m_fileName, reason));
}

bool ZipInput::contains(const QString &part) const
{
    return zip_name_locate(m_zip, part.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

void ZipInput::count(qint64 bytes, const QString &part)
{
    checkRoom(bytes, part);
    m_unpacked += bytes;
}

void ZipInput::checkRoom(qint64 bytes, const QString &part) const
{
    if (bytes > WorkbookLimits::MaxUnpackedBytes - m_unpacked)
        throw EInOutError(QStringLiteral("File %1 unpacks to more than %2 bytes (at %3), the most a workbook load "
                                         "reads")
                              .arg(m_fileName)
                              .arg(WorkbookLimits::MaxUnpackedBytes)
                              .arg(part));
}

ZipInput::Part::Part(ZipInput &zip, const QString &name) : m_zip(zip), m_name(name)
{
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(zip.m_zip, utf8.constData(), ZIP_FL_NOCASE, &st) < 0)
        zip.damaged(QStringLiteral("it has no part %1").arg(name));
    if (st.valid & ZIP_STAT_ENCRYPTION_METHOD && st.encryption_method != ZIP_EM_NONE)
        throw EInOutError(QStringLiteral("File %1 is password-protected (its part %2 is encrypted)")
                              .arg(zip.m_fileName, name));
    // The declared size first: a bomb is refused before any of it is unpacked.
    if (st.valid & ZIP_STAT_SIZE) zip.checkRoom(qint64(std::min<zip_uint64_t>(st.size, 1ull << 62)), name);
    m_file = zip_fopen_index(zip.m_zip, st.index, 0);
    if (!m_file) zip.damaged(QStringLiteral("%1: %2").arg(name, QString::fromUtf8(zip_strerror(zip.m_zip))));
}

ZipInput::Part::~Part()
{
    if (m_file) zip_fclose(m_file);
}

bool ZipInput::Part::read(QByteArray &piece)
{
    piece.resize(PieceSize);
    const zip_int64_t n = zip_fread(m_file, piece.data(), zip_uint64_t(piece.size()));
    if (n < 0) m_zip.damaged(QStringLiteral("%1: %2").arg(m_name, QString::fromUtf8(zip_file_strerror(m_file))));
    piece.resize(qsizetype(n));
    m_zip.count(n, m_name);
    return n > 0;
}

QByteArray ZipInput::readAll(const QString &name)
{
    Part part(*this, name);
    QByteArray all, piece;
    while (part.read(piece))
        all += piece;
    return all;
}

} // namespace vorgrd::workbook_internal
