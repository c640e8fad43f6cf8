#pragma once
// A text file read block by block as checked UTF-8, within a bound on its size: the
// reading half of LoadFromFile. Not installed; included only by src/exchange/.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <vector>

namespace vorgrd::exchange_internal {

// Text read and not yet taken, as UTF-8 bytes. A record longer than a block makes it
// grow; appendText() grows it by doubling and asks for huge pages once it is large
// (host/largememory.h): with a fault per 4 KiB page, reaching the size limit in one
// record (an endless device) took 3.5 s and 0.55 GB in a QByteArray, and takes 1.6 s
// and 0.29 GB so.
using TextBytes = std::vector<char>;
void appendText(TextBytes &text, const char *data, qsizetype size);

class FileTextSource
{
public:
    // Opens the file; one that cannot be opened raises MFileError ("File " + name +
    // " not found"), one whose size is known to pass `maxBytes` ERangeError. A
    // byte-order mark decides the encoding (and is no text); without one `encoding`
    // does.
    FileTextSource(const QString &fileName, QStringConverter::Encoding encoding, qint64 maxBytes);

    // Appends the next block of the file's text to `text` as UTF-8 (possibly nothing,
    // and never part of a character); returns false once the whole file has been
    // appended. Raises EInOutError on a read error or bytes that are no character in
    // the encoding (naming the file and the byte), ERangeError once more than
    // `maxBytes` bytes have been read.
    bool appendTo(TextBytes &text);

private:
    void chooseEncoding();
    qsizetype completePrefix(bool atEnd) const;
    void check(qsizetype size) const;
    void decode(TextBytes &text, qsizetype size);
    void dropRaw(qsizetype size);
    [[noreturn]] void tooLarge() const;

    QFile m_file;
    QString m_name;
    QStringConverter::Encoding m_encoding;
    qint64 m_maxBytes;
    bool m_encodingKnown = false;
    bool m_done = false;
    // The bytes read and not yet handed on (an incomplete character at the end of a
    // block waits here for the next one); m_offset is the file offset of their first.
    std::vector<char> m_raw;
    qsizetype m_rawSize = 0;
    qint64 m_offset = 0;
    qint64 m_read = 0;
    QStringDecoder m_decoder;
};

} // namespace vorgrd::exchange_internal
