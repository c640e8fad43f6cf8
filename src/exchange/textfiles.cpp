// LoadFromFile and SaveToFile: the grid as a delimited text file.
//
// Load, in two halves so that a failure leaves the grid as it was:
//   build    FileTextSource (blocks of checked UTF-8, the size bound)
//            -> LineLoader (lines -> cells of a new store, the count limits)
//   replace  close the editor -> swap the new store in -> counts -> marks "N"
//            -> editor back, repaint
// Save streams the rows through a QSaveFile in blocks of about a megabyte.
#include "exchange/cellwriter_p.h"
#include "exchange/textencoding_p.h"
#include "exchange/textsource_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"

#include <QSaveFile>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace vorgrd {

using exchange_internal::CellWriter;
using exchange_internal::FileTextSource;

namespace {

// ---- reading -----------------------------------------------------------------------

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

// Writes the lines of a file, as they arrive, into the rows of a store being built,
// and refuses what a load must not build.
class LineLoader
{
public:
    LineLoader(CellStore &store, QByteArray delimiter, const QString &fileName)
        : m_writer(store), m_delimiter(std::move(delimiter)), m_fileName(fileName)
    {
    }

    // Writes every complete line at the start of `text` (all of it when `atEnd`) and
    // returns the number of bytes they took.
    qsizetype load(const QByteArray &text, bool atEnd)
    {
        const char *begin = text.constData();
        const char *end = begin + text.size();
        const char *stop = end;
        if (!atEnd) {
            // Only the bytes that came since the last call can hold a new line end.
            const char *from = begin + m_searched;
            const auto *lf = static_cast<const char *>(memrchr(from, '\n', size_t(end - from)));
            stop = lf ? lf + 1 : begin;
        }
        for (const char *p = begin; p < stop;) {
            const auto *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(stop - p)));
            const char *lineEnd = lf ? lf : stop;
            // A CR right before the LF belongs to the line end.
            line(p, (lf && lineEnd > p && lineEnd[-1] == '\r') ? lineEnd - 1 : lineEnd);
            p = lf ? lf + 1 : stop;
        }
        m_searched = end - stop;
        return stop - begin;
    }
    int rows() const { return m_rows; }
    int widest() const { return m_widest; }

private:
    void line(const char *begin, const char *end)
    {
        if (begin == end) return; // an empty line takes no row
        if (m_rows == tvorgrid::MaxInsertRowCount)
            throw ERangeError(QStringLiteral("File %1 has more than %2 lines, the most a grid takes")
                                  .arg(m_fileName)
                                  .arg(tvorgrid::MaxInsertRowCount));
        m_fields.clear();
        const char *p = begin;
        while (!m_delimiter.isEmpty()) {
            const char *hit = findDelimiter(p, end, m_delimiter);
            if (hit == end) break;
            addField(p, hit);
            p = hit + m_delimiter.size();
        }
        addField(p, end);
        // The last field first: the row's cells are then allocated once.
        for (size_t i = m_fields.size(); i-- > 0;)
            if (m_fields[i].first != m_fields[i].second)
                m_writer.writeUtf8(int(i), m_rows, m_fields[i].first, m_fields[i].second - m_fields[i].first);
        m_widest = std::max(m_widest, int(m_fields.size()));
        ++m_rows;
    }
    void addField(const char *begin, const char *end)
    {
        if (m_fields.size() == size_t(tvorgrid::MaxInsertColCount))
            throw ERangeError(QStringLiteral("File %1: line %2 has more than %3 fields")
                                  .arg(m_fileName)
                                  .arg(m_rows + 1)
                                  .arg(tvorgrid::MaxInsertColCount));
        if (++m_cells > tvorgrid::MaxLoadCells)
            throw ERangeError(QStringLiteral("File %1 has more than %2 cells, the most a load builds")
                                  .arg(m_fileName)
                                  .arg(tvorgrid::MaxLoadCells));
        m_fields.emplace_back(begin, end);
    }

    CellWriter m_writer;
    QByteArray m_delimiter;
    const QString &m_fileName;
    std::vector<std::pair<const char *, const char *>> m_fields;
    qsizetype m_searched = 0; // the bytes at the end of the text known to hold no LF
    int m_rows = 0;
    int m_widest = 0;
    qint64 m_cells = 0;
};

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
    // The new content is built aside and put in place only when the whole file has
    // been read: a failure anywhere leaves the grid as it was.
    FileTextSource source(FileName, encoding, MaxLoadFileSize);
    CellStore loaded;
    // Half a surrogate pair reads as U+FFFD, as a save with this delimiter wrote it.
    LineLoader loader(loaded, exchange_internal::toUtf8(Delimiter), FileName);
    QByteArray text;
    for (bool more = true; more;) {
        more = source.appendTo(text);
        text.remove(0, loader.load(text, !more));
    }

    // From here on only memory can fail.
    const bool editing = EditorMode();
    if (editing) HideEditor();
    const LineChangeScope scope(*this, TLineChange{});
    cellStore().swap(loaded);
    setColCount(loader.widest());
    setRowCount(loader.rows());
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
