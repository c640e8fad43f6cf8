// LoadFromFile and SaveToFile: the grid as a delimited text file.
//
// Load, in two halves so that a failure leaves the grid as it was:
//   build    FileTextSource (blocks of checked UTF-8, the size bound)
//            -> DelimitedReader (records) -> LoadSink (cells of a new store, limits)
//   replace  close the editor -> swap the new store in -> counts -> marks "N"
//            -> editor back, repaint
// Save streams the rows through a QSaveFile in blocks of about a megabyte.
#include "exchange/cellwriter_p.h"
#include "exchange/delimitedtext_p.h"
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
using exchange_internal::DelimitedReader;
using exchange_internal::DelimitedWriter;
using exchange_internal::FileTextSource;
using exchange_internal::Record;

namespace {

// ---- reading -----------------------------------------------------------------------

// Writes the records of a file, as they arrive, into the rows of a store being built,
// and refuses what a load must not build.
class LoadSink
{
public:
    LoadSink(CellStore &store, const QString &fileName) : m_writer(store), m_fileName(fileName) {}

    void record(const Record<char> &record)
    {
        if (record.blank) return; // an empty line takes no row
        if (m_rows == tvorgrid::MaxInsertRowCount)
            throw ERangeError(QStringLiteral("File %1 has more than %2 lines, the most a grid takes")
                                  .arg(m_fileName)
                                  .arg(tvorgrid::MaxInsertRowCount));
        const auto &fields = record.fields;
        m_cells += qint64(fields.size());
        if (m_cells > tvorgrid::MaxLoadCells)
            throw ERangeError(QStringLiteral("File %1 has more than %2 cells, the most a load builds")
                                  .arg(m_fileName)
                                  .arg(tvorgrid::MaxLoadCells));
        // The last field first: the row's cells are then allocated once.
        for (size_t i = fields.size(); i-- > 0;)
            if (fields[i].begin != fields[i].end)
                m_writer.writeUtf8(int(i), m_rows, fields[i].begin, fields[i].end - fields[i].begin);
        m_widest = std::max(m_widest, int(fields.size()));
        ++m_rows;
    }
    [[noreturn]] void tooManyFields() const
    {
        throw ERangeError(QStringLiteral("File %1: line %2 has more than %3 fields")
                              .arg(m_fileName)
                              .arg(m_rows + 1)
                              .arg(tvorgrid::MaxInsertColCount));
    }
    int rows() const { return m_rows; }
    int widest() const { return m_widest; }

private:
    CellWriter m_writer;
    const QString &m_fileName;
    int m_rows = 0;
    int m_widest = 0;
    qint64 m_cells = 0;
};

// Reads the whole file into `sink`, block by block.
void readRecords(FileTextSource &source, const QByteArray &delimiter, LoadSink &sink)
{
    DelimitedReader<char, LoadSink> reader(std::string_view(delimiter.constData(), size_t(delimiter.size())),
                                           tvorgrid::MaxInsertColCount, sink);
    exchange_internal::TextBytes text;
    // A record longer than a block is read again as more of it arrives: waiting until
    // the text has doubled keeps that linear however long the record.
    size_t readAgainAt = 0;
    for (bool more = true; more;) {
        more = source.appendTo(text);
        if (more && text.size() < readAgainAt) continue;
        const qsizetype used = reader.read(text.data(), text.data() + text.size(), !more);
        text.erase(text.begin(), text.begin() + used);
        readAgainAt = used == 0 ? 2 * text.size() : 0;
    }
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
    // The new content is built aside and put in place only when the whole file has
    // been read: a failure anywhere leaves the grid as it was.
    FileTextSource source(FileName, encoding, MaxLoadFileSize);
    CellStore loaded;
    LoadSink sink(loaded, FileName);
    // Half a surrogate pair reads as U+FFFD, as a save with this delimiter wrote it.
    readRecords(source, exchange_internal::toUtf8(Delimiter), sink);

    // From here on only memory can fail.
    d->replaceContent(loaded, sink.widest(), sink.rows());
}

void tvorgrid::SaveToFile(const QString &FileName, const QString &Delimiter)
{
    BlockWriter out(FileName);
    const QByteArray lineEnd("\r\n");
    QString written = Delimiter;
    exchange_internal::replaceUnpairedSurrogates(written);
    const QByteArray delimiter = exchange_internal::toUtf8(written);
    const DelimitedWriter writer(written);
    const CellStore &store = cellStore();
    // OPTIMIZATION: a view over the stored text, so that no QString is made per cell.
    CellStore::TextBuffer buffer;
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            if (col > 0) out.appendBytes(delimiter);
            writer.appendCell(out, store.textView(col, row, buffer));
        }
        out.appendBytes(lineEnd);
    }
    out.commit();
}

} // namespace vorgrd
