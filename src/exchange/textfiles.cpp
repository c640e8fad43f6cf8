// LoadFromFile and SaveToFile: the grid as a delimited text file.
//
// Load, in two halves so that a failure leaves the grid as it was:
//   read   readWhole -> checkedUtf8 (byte-order mark, encoding, UTF-8 check)
//          -> scanLines (line count, the limits)
//   replace  close the editor -> empty the store -> writeLines (cells, widest line)
//          -> counts -> marks "N" -> editor back, repaint
// Save streams the rows through a QSaveFile in blocks of about a megabyte.
#include "exchange/textfiles_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QSysInfo>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace vorgrd {

using exchange_internal::CellWriter;
using exchange_internal::firstInvalidUtf16;
using exchange_internal::firstInvalidUtf32;
using exchange_internal::firstInvalidUtf8;

namespace {

// ---- reading -----------------------------------------------------------------------

QByteArray readWhole(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw MFileError(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EInOutError(QStringLiteral("File %1 could not be read: %2")
                              .arg(fileName, file.errorString()));
    return data;
}

QString encodingName(QStringConverter::Encoding encoding)
{
    return QString::fromLatin1(QStringConverter::nameForEncoding(encoding));
}

// The offset of the first unit of `data` that is no character in `encoding`, or -1;
// nullopt for the encodings that take any bytes or that the decoder checks itself.
std::optional<qsizetype> firstInvalidUnit(const QByteArray &data, QStringConverter::Encoding encoding)
{
    const bool big = QSysInfo::ByteOrder == QSysInfo::BigEndian;
    switch (encoding) {
    case QStringConverter::Utf16: return firstInvalidUtf16(data.constData(), data.size(), big);
    case QStringConverter::Utf16LE: return firstInvalidUtf16(data.constData(), data.size(), false);
    case QStringConverter::Utf16BE: return firstInvalidUtf16(data.constData(), data.size(), true);
    case QStringConverter::Utf32: return firstInvalidUtf32(data.constData(), data.size(), big);
    case QStringConverter::Utf32LE: return firstInvalidUtf32(data.constData(), data.size(), false);
    case QStringConverter::Utf32BE: return firstInvalidUtf32(data.constData(), data.size(), true);
    default: return std::nullopt;
    }
}

// The file's text as checked UTF-8 without a byte-order mark. A mark decides the
// encoding; without one `encoding` does.
QByteArray checkedUtf8(QByteArray data, const QString &fileName,
                       QStringConverter::Encoding encoding)
{
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(data);
    const QStringConverter::Encoding used = marked ? *marked : encoding;
    if (used == QStringConverter::Utf8) {
        const qsizetype bom = marked ? 3 : 0;
        const qsizetype bad = firstInvalidUtf8(data.constData() + bom, data.size() - bom);
        if (bad >= 0)
            throw EInOutError(QStringLiteral("File %1 is not valid UTF-8: byte %2 (0x%3) "
                                             "starts no UTF-8 character")
                                  .arg(fileName)
                                  .arg(bad + bom)
                                  .arg(static_cast<unsigned char>(data[bad + bom]), 2, 16,
                                       QLatin1Char('0')));
        if (bom) data.remove(0, bom);
        return data;
    }
    // Other encodings are rare: check and decode them whole and go on from UTF-8. The
    // decoder's own error flag misses half a surrogate pair and a unit cut short, and
    // it would write "?" or drop them.
    const std::optional<qsizetype> bad = firstInvalidUnit(data, used);
    if (bad && *bad >= 0)
        throw EInOutError(QStringLiteral("File %1 is not valid %2: byte %3 starts no %2 character")
                              .arg(fileName, encodingName(used))
                              .arg(*bad));
    QStringDecoder decoder(used);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        throw EInOutError(
            QStringLiteral("File %1 is not valid %2").arg(fileName, encodingName(used)));
    data.clear();
    return text.toUtf8();
}

struct Line
{
    const char *begin;
    const char *end;
};

// Calls `each` for every line of `text`: up to an LF, a CR right before it dropped;
// the text after the last LF is a line of its own when not empty.
template <typename Each> void forEachLine(const QByteArray &text, Each &&each)
{
    const char *p = text.constData();
    const char *end = p + text.size();
    while (p < end) {
        const auto *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = lf ? lf : end;
        const char *contentEnd = (lf && lineEnd > p && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd;
        each(Line{p, contentEnd});
        p = lf ? lf + 1 : end;
    }
}

// Where the next delimiter starts in [p, end), or end.
const char *findDelimiter(const char *p, const char *end, const QByteArray &delimiter)
{
    const qsizetype length = delimiter.size();
    if (length == 1) {
        const void *hit = std::memchr(p, delimiter[0], size_t(end - p));
        return hit ? static_cast<const char *>(hit) : end;
    }
    const char first = delimiter[0];
    while (end - p >= length) {
        const auto *hit = static_cast<const char *>(std::memchr(p, first, size_t(end - p - length + 1)));
        if (!hit) return end;
        if (std::memcmp(hit, delimiter.constData(), size_t(length)) == 0) return hit;
        p = hit + 1;
    }
    return end;
}

// The number of fields of a line, counting no further than `stopAt`.
qsizetype fieldCount(Line line, const QByteArray &delimiter, qsizetype stopAt)
{
    if (delimiter.isEmpty()) return 1;
    qsizetype count = 1;
    const char *p = line.begin;
    for (;;) {
        const char *hit = findDelimiter(p, line.end, delimiter);
        if (hit == line.end || count > stopAt) return count;
        ++count;
        p = hit + delimiter.size();
    }
}

// Counts the rows the file gives and refuses what the grid must not grow to, before
// anything changes.
int scanLines(const QByteArray &text, const QByteArray &delimiter, const QString &fileName)
{
    qint64 rows = 0;
    const qsizetype maxCols = tvorgrid::MaxInsertColCount;
    // A line shorter than this cannot hold more fields than the limit.
    const qsizetype longLine = delimiter.isEmpty() ? -1 : maxCols * delimiter.size();
    forEachLine(text, [&](Line line) {
        if (line.begin == line.end) return;
        ++rows;
        if (longLine >= 0 && line.end - line.begin >= longLine &&
            fieldCount(line, delimiter, maxCols) > maxCols)
            throw ERangeError(QStringLiteral("File %1: line %2 has more than %3 fields")
                                  .arg(fileName)
                                  .arg(rows)
                                  .arg(maxCols));
    });
    if (rows > tvorgrid::MaxInsertRowCount)
        throw ERangeError(QStringLiteral("File %1 has %2 lines, more than the %3 a grid takes")
                              .arg(fileName)
                              .arg(rows)
                              .arg(tvorgrid::MaxInsertRowCount));
    return static_cast<int>(rows);
}

// Writes every non-empty line into the next row of an empty store; returns the widest
// line's field count.
int writeLines(CellStore &store, const QByteArray &text, const QByteArray &delimiter)
{
    CellWriter writer(store);
    std::vector<std::pair<const char *, const char *>> fields;
    int row = 0;
    int widest = 0;
    forEachLine(text, [&](Line line) {
        if (line.begin == line.end) return;
        fields.clear();
        const char *p = line.begin;
        while (!delimiter.isEmpty()) {
            const char *hit = findDelimiter(p, line.end, delimiter);
            if (hit == line.end) break;
            fields.emplace_back(p, hit);
            p = hit + delimiter.size();
        }
        fields.emplace_back(p, line.end);
        // The last field first: the row's cells are then allocated once.
        for (size_t i = fields.size(); i-- > 0;)
            if (fields[i].first != fields[i].second)
                writer.writeUtf8(int(i), row, fields[i].first, fields[i].second - fields[i].first);
        widest = std::max(widest, int(fields.size()));
        ++row;
    });
    return widest;
}

// ---- writing -----------------------------------------------------------------------

// Encodes cell texts into blocks of UTF-8 and writes each full block to a QSaveFile.
class BlockWriter
{
public:
    explicit BlockWriter(const QString &fileName) : m_file(fileName), m_name(fileName)
    {
        if (!m_file.open(QIODevice::WriteOnly)) fail();
        m_block.resize(BlockSize);
    }
    void append(QStringView text)
    {
        // A UTF-16 unit never takes more than three UTF-8 bytes.
        reserve(text.size() * 3);
        char *out = m_block.data() + m_used;
        const char16_t *in = text.utf16();
        // OPTIMIZATION: cell texts are mostly ASCII; copy those units directly and
        // leave only the rest to the encoder.
        qsizetype i = 0;
        while (i < text.size() && in[i] < 0x80) {
            out[i] = char(in[i]);
            ++i;
        }
        if (i < text.size()) out = m_encoder.appendToBuffer(out + i, text.sliced(i));
        else out += i;
        m_used = out - m_block.constData();
    }
    void appendBytes(const QByteArray &bytes)
    {
        reserve(bytes.size());
        std::memcpy(m_block.data() + m_used, bytes.constData(), size_t(bytes.size()));
        m_used += bytes.size();
    }
    void commit()
    {
        flush();
        if (!m_file.commit()) fail();
    }

private:
    static constexpr qsizetype BlockSize = 1 << 20;
    void reserve(qsizetype bytes)
    {
        if (m_used + bytes <= m_block.size()) return;
        flush();
        if (bytes > m_block.size()) m_block.resize(bytes);
    }
    void flush()
    {
        if (m_used == 0) return;
        if (m_file.write(m_block.constData(), m_used) != m_used) fail();
        m_used = 0;
    }
    [[noreturn]] void fail()
    {
        const QString reason = m_file.errorString();
        m_file.cancelWriting();
        throw EInOutError(QStringLiteral("File %1 could not be written: %2").arg(m_name, reason));
    }

    QSaveFile m_file;
    QString m_name;
    // Stateless: each cell is encoded on its own, so half a surrogate pair at the end
    // of one cell is never joined with the start of the next.
    QStringEncoder m_encoder{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
    QByteArray m_block;
    qsizetype m_used = 0;
};

} // namespace

// ---- the grid's operations ---------------------------------------------------------

void tvorgrid::LoadFromFile(const QString &FileName, const QString &Delimiter)
{
    LoadFromFile(FileName, Delimiter, QStringConverter::Utf8);
}

void tvorgrid::LoadFromFile(const QString &FileName, const QString &Delimiter,
                            QStringConverter::Encoding encoding)
{
    const QByteArray text = checkedUtf8(readWhole(FileName), FileName, encoding);
    // Half a surrogate pair reads as U+FFFD, as a save with this delimiter wrote it.
    const QByteArray delimiter = exchange_internal::toUtf8(Delimiter);
    const int rows = scanLines(text, delimiter, FileName);

    // From here on only memory can fail.
    const bool editing = EditorMode();
    if (editing) HideEditor();
    const LineChangeScope scope(*this, TLineChange{});
    cellStore().clear();
    const int widest = writeLines(cellStore(), text, delimiter);
    setColCount(widest);
    setRowCount(rows);
    for (int i = 0; i < d->lines.rowMarks->Count(); ++i)
        if (d->lines.rowMarks->Strings(i) != QLatin1String("N"))
            d->lines.rowMarks->setStrings(i, QStringLiteral("N"));
    if (editing) ShowEditor();
    Refresh();
}

void tvorgrid::SaveToFile(const QString &FileName, const QString &Delimiter)
{
    BlockWriter out(FileName);
    const QByteArray lineEnd("\r\n");
    const QByteArray delimiter = exchange_internal::toUtf8(Delimiter);
    const CellStore &store = cellStore();
    // OPTIMIZATION: a view over the stored text, so that no QString is made per cell.
    CellStore::TextBuffer buffer;
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            if (col > 0) out.appendBytes(delimiter);
            out.append(store.textView(col, row, buffer));
        }
        out.appendBytes(lineEnd);
    }
    out.commit();
}

} // namespace vorgrd
