// FileTextSource: a file's text as checked UTF-8, one block at a time.
//
//   appendTo  read a block -> bound -> encoding (first call: byte-order mark)
//             -> the complete characters: check -> decode into UTF-8 -> append
//             -> the rest (an incomplete character) waits for the next block
#include "exchange/textsource_p.h"
#include "exchange/textencoding_p.h"
#include "host/exceptions.h"
#include "host/largememory.h"

#include <QSysInfo>

#include <algorithm>
#include <cstring>
#include <optional>

namespace vorgrd::exchange_internal {

namespace {

// OPTIMIZATION: a megabyte a read keeps the system calls few and the block in cache.
constexpr qsizetype BlockSize = 1 << 20;

bool isBigEndian(QStringConverter::Encoding encoding)
{
    switch (encoding) {
    case QStringConverter::Utf16BE:
    case QStringConverter::Utf32BE: return true;
    case QStringConverter::Utf16:
    case QStringConverter::Utf32: return QSysInfo::ByteOrder == QSysInfo::BigEndian;
    default: return false;
    }
}

// Bytes per unit for the encodings whose units this file checks itself, else 0.
int unitWidth(QStringConverter::Encoding encoding)
{
    switch (encoding) {
    case QStringConverter::Utf8: return 1;
    case QStringConverter::Utf16:
    case QStringConverter::Utf16LE:
    case QStringConverter::Utf16BE: return 2;
    case QStringConverter::Utf32:
    case QStringConverter::Utf32LE:
    case QStringConverter::Utf32BE: return 4;
    default: return 0;
    }
}

// The length of the longest prefix of `data` that does not end inside a UTF-8
// sequence (malformed bytes count as complete: the check reports them).
qsizetype completeUtf8(const char *data, qsizetype n)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype back = 1; back <= 3 && back <= n; ++back) {
        const unsigned char b = p[n - back];
        if ((b & 0xC0) == 0x80) continue; // a continuation byte: look further back
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
}

QString encodingName(QStringConverter::Encoding encoding)
{
    return QString::fromLatin1(QStringConverter::nameForEncoding(encoding));
}

} // namespace

void appendText(TextBytes &text, const char *data, qsizetype size)
{
    if (text.capacity() - text.size() < size_t(size))
        reserveLarge(text, std::max(2 * text.capacity(), text.size() + size_t(size)));
    text.insert(text.end(), data, data + size);
}

FileTextSource::FileTextSource(const QString &fileName, QStringConverter::Encoding encoding,
                               qint64 maxBytes)
    : m_file(fileName), m_name(fileName), m_encoding(encoding), m_maxBytes(maxBytes)
{
    if (!m_file.open(QIODevice::ReadOnly))
        throw MFileError(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    // A file whose size is known is refused before any reading; a device or a pipe
    // (size unknown, maybe endless) once it passes the bound.
    if (!m_file.isSequential() && m_file.size() > maxBytes) tooLarge();
}

bool FileTextSource::appendTo(TextBytes &text)
{
    if (m_done) return false;
    // OPTIMIZATION: one block, allocated once; a buffer that moved its start on with
    // every block would be reallocated (and its fresh pages cleared) every time.
    if (m_raw.empty()) m_raw.resize(size_t(BlockSize) + 4);
    const qint64 got = m_file.read(m_raw.data() + m_rawSize, BlockSize);
    if (got < 0 || m_file.error() != QFileDevice::NoError)
        throw EInOutError(QStringLiteral("File %1 could not be read: %2").arg(m_name, m_file.errorString()));
    m_rawSize += qsizetype(got);
    m_read += got;
    if (m_read > m_maxBytes) tooLarge();
    const bool atEnd = got == 0;

    if (!m_encodingKnown) {
        // A mark is up to four bytes long: wait for them unless the file is shorter.
        if (m_rawSize < 4 && !atEnd) return true;
        chooseEncoding();
    }
    const qsizetype size = completePrefix(atEnd);
    check(size);
    decode(text, size);
    dropRaw(size);
    m_done = atEnd;
    return !m_done;
}

void FileTextSource::dropRaw(qsizetype size)
{
    // What stays is at most an incomplete character.
    std::memmove(m_raw.data(), m_raw.data() + size, size_t(m_rawSize - size));
    m_rawSize -= size;
    m_offset += size;
}

void FileTextSource::chooseEncoding()
{
    m_encodingKnown = true;
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(QByteArrayView(m_raw.data(), m_rawSize));
    if (marked) m_encoding = *marked;
    if (marked == QStringConverter::Utf8) dropRaw(3);
    // The UTF-16 and UTF-32 decoders drop their own mark.
    if (m_encoding != QStringConverter::Utf8 && m_encoding != QStringConverter::Latin1)
        m_decoder = QStringDecoder(m_encoding);
}

qsizetype FileTextSource::completePrefix(bool atEnd) const
{
    // At the end everything is handed on: an incomplete character is then an error.
    if (atEnd) return m_rawSize;
    switch (unitWidth(m_encoding)) {
    case 1: return completeUtf8(m_raw.data(), m_rawSize);
    case 2: {
        qsizetype size = m_rawSize & ~qsizetype(1);
        // A high surrogate last waits for its pair.
        if (size >= 2) {
            const auto *p = reinterpret_cast<const unsigned char *>(m_raw.data() + size - 2);
            const unsigned hi = isBigEndian(m_encoding) ? p[0] : p[1];
            if (hi >= 0xD8 && hi <= 0xDB) size -= 2;
        }
        return size;
    }
    case 4: return m_rawSize & ~qsizetype(3);
    default: return m_rawSize; // the decoder keeps its own state
    }
}

void FileTextSource::check(qsizetype size) const
{
    const char *data = m_raw.data();
    const bool big = isBigEndian(m_encoding);
    qsizetype bad = -1;
    switch (unitWidth(m_encoding)) {
    case 1:
        bad = firstInvalidUtf8(data, size);
        if (bad >= 0)
            throw EInOutError(QStringLiteral("File %1 is not valid UTF-8: byte %2 (0x%3) starts no UTF-8 character")
                                  .arg(m_name)
                                  .arg(m_offset + bad)
                                  .arg(static_cast<unsigned char>(data[bad]), 2, 16, QLatin1Char('0')));
        return;
    case 2: bad = firstInvalidUtf16(data, size, big); break;
    case 4: bad = firstInvalidUtf32(data, size, big); break;
    default: return;
    }
    // Qt's decoder would write "?" for these or drop them, and reports not all of them.
    if (bad >= 0)
        throw EInOutError(QStringLiteral("File %1 is not valid %2: byte %3 starts no %2 character")
                              .arg(m_name, encodingName(m_encoding))
                              .arg(m_offset + bad));
}

void FileTextSource::decode(TextBytes &text, qsizetype size)
{
    const char *data = m_raw.data();
    if (m_encoding == QStringConverter::Utf8) {
        appendText(text, data, size);
        return;
    }
    if (m_encoding == QStringConverter::Latin1) {
        // Every byte is the character of the same number.
        QByteArray utf8;
        utf8.reserve(2 * size);
        for (qsizetype i = 0; i < size; ++i) {
            const auto b = static_cast<unsigned char>(data[i]);
            if (b < 0x80) {
                utf8.append(char(b));
            } else {
                utf8.append(char(0xC0 | (b >> 6)));
                utf8.append(char(0x80 | (b & 0x3F)));
            }
        }
        appendText(text, utf8.constData(), utf8.size());
        return;
    }
    // Checked units (or an encoding the decoder checks itself): decode and go on in
    // UTF-8, a rare road not worth a decoder of our own.
    const QString decoded = m_decoder.decode(QByteArrayView(data, size));
    if (m_decoder.hasError())
        throw EInOutError(QStringLiteral("File %1 is not valid %2").arg(m_name, encodingName(m_encoding)));
    const QByteArray utf8 = decoded.toUtf8();
    appendText(text, utf8.constData(), utf8.size());
}

void FileTextSource::tooLarge() const
{
    throw ERangeError(QStringLiteral("File %1 is larger than %2 bytes, the most a load reads")
                          .arg(m_name)
                          .arg(m_maxBytes));
}

} // namespace vorgrd::exchange_internal
