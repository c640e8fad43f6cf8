#pragma once
// Delimited text as spreadsheets write it, read and written in one place for files
// and the clipboard alike. Not installed; included only by src/exchange/.
//
//   record    := field (delimiter field)* line-end
//   line-end  := CR LF | LF | CR | the end of the text
//   field     := quoted | bare
//   quoted    := '"' ( any unit but '"' | '""' )* '"' bare-rest   (only at a field's start)
//   bare      := the units up to the next delimiter or line end
//
// A quoted field keeps delimiters and line breaks, `""` inside it is one quote, and
// what follows its closing quote up to the delimiter or line end is kept after it. A
// quote that the text never closes is taken as a plain character, and so is every
// quote after it: nothing of such a text is lost. The delimiter may be any string; an
// empty one never matches, nor does one holding a line break (a line break ends the
// record first). A delimiter holding a quote turns quoting off both ways, as the two
// could not be told apart.
// The reader works on UTF-8 bytes (files) and on UTF-16 units (the clipboard) alike:
// every unit it looks for is ASCII, which neither encoding uses inside a character.
//
// Writing quotes a cell that holds the delimiter, a quote, CR or LF (with its quotes
// doubled) and writes every other cell as it stands.

#include <QString>
#include <QStringView>

#include <cstring>
#include <string_view>
#include <vector>

namespace vorgrd::exchange_internal {

// ---- reading ---------------------------------------------------------------------------

// One unit type per text: UTF-8 bytes (files) or UTF-16 units (the clipboard).
template <typename Unit> struct Units;

template <> struct Units<char>
{
    static const char *find(const char *p, const char *end, char unit)
    {
        const void *hit = std::memchr(p, unit, size_t(end - p));
        return hit ? static_cast<const char *>(hit) : end;
    }
};

template <> struct Units<char16_t>
{
    static const char16_t *find(const char16_t *p, const char16_t *end, char16_t unit)
    {
        const qsizetype at = QStringView(p, end - p).indexOf(QChar(unit));
        return at < 0 ? end : p + at;
    }
};

template <typename Unit> struct Field
{
    const Unit *begin;
    const Unit *end;
};

// A record as the reader hands it on: its fields, and whether its line was empty (no
// unit before its line end, which a file load skips).
template <typename Unit> struct Record
{
    const std::vector<Field<Unit>> &fields;
    bool blank;
};

// Reads records out of text that may arrive in pieces, handing each to a Sink with
//   void record(const Record<Unit> &)    called for every record, in order
//   [[noreturn]] void tooManyFields()     called when a record would pass `maxFields`
template <typename Unit, typename Sink> class DelimitedReader
{
public:
    using View = std::basic_string_view<Unit>;

    DelimitedReader(View delimiter, qsizetype maxFields, Sink &sink)
        : m_delimiter(matchable(delimiter) ? delimiter : View()), m_maxFields(maxFields), m_sink(sink),
          m_quoting(delimiter.find(Unit('"')) == View::npos)
    {
    }

    // Reads the complete records at the start of [begin, end) and returns the number
    // of units they took; the rest (an incomplete record) is to be given again with
    // what follows it. With `atEnd` the text is complete and is read to its end.
    qsizetype read(const Unit *begin, const Unit *end, bool atEnd)
    {
        m_end = end;
        m_atEnd = atEnd;
        m_cr = m_lf = m_delim = nullptr;
        const Unit *p = begin;
        while (p < end) {
            const Unit *next = readRecord(p);
            if (!next) break; // incomplete
            m_sink.record(Record<Unit>{m_fields, m_blank});
            p = next;
        }
        return p - begin;
    }

    // Whether a delimiter can match at all: not when empty, nor when it holds a line
    // break, which always ends the record first.
    static bool matchable(View delimiter)
    {
        return !delimiter.empty() && delimiter.find(Unit('\r')) == View::npos &&
               delimiter.find(Unit('\n')) == View::npos;
    }

private:
    static constexpr Unit Quote = Unit('"');
    static constexpr Unit Cr = Unit('\r');
    static constexpr Unit Lf = Unit('\n');

    // The record starting at p into m_fields; returns where the next one starts, or
    // nullptr when the text ends before the record does and more may follow.
    const Unit *readRecord(const Unit *p)
    {
        m_fields.clear();
        m_unescaped.clear();
        m_unescapedFields.clear();
        const Unit *const start = p;
        for (;;) {
            p = (m_quoting && p < m_end && *p == Quote) ? readQuoted(p) : readBare(p);
            if (!p) return nullptr;
            if (p == m_end) break; // the end of the text ends the record
            if (!m_delimiter.empty() && startsDelimiter(p)) {
                p += m_delimiter.size();
                if (p == m_end && !m_atEnd) return nullptr; // the next field is still to come
                continue;
            }
            const Unit *lineStart = p;
            p = skipLineEnd(p);
            if (!p) return nullptr;
            m_blank = lineStart == start;
            resolveUnescaped();
            return p;
        }
        if (!m_atEnd) return nullptr;
        m_blank = p == start;
        resolveUnescaped();
        return p;
    }

    // field := bare. Reads up to the next delimiter or line end.
    const Unit *readBare(const Unit *p)
    {
        const Unit *end = fieldEnd(p);
        if (end == m_end && !m_atEnd) return nullptr;
        addField(p, end);
        return end;
    }

    // field := quoted. p is at the opening quote.
    const Unit *readQuoted(const Unit *p)
    {
        const Unit *q = p + 1;
        bool doubled = false;
        const Unit *close;
        for (;;) {
            close = Units<Unit>::find(q, m_end, Quote);
            if (m_end - close <= 1 && !m_atEnd) return nullptr; // "" may follow
            if (close == m_end) {
                // Never closed: the quote is a plain character from here on.
                m_quoting = false;
                return readBare(p);
            }
            if (close + 1 < m_end && close[1] == Quote) {
                doubled = true;
                q = close + 2;
                continue;
            }
            break;
        }
        const Unit *rest = close + 1;
        const Unit *end = fieldEnd(rest);
        if (end == m_end && !m_atEnd) return nullptr;
        if (!doubled && rest == end) {
            addField(p + 1, close);
            return end;
        }
        // The field's text differs from the units: build it aside.
        const size_t from = m_unescaped.size();
        for (const Unit *u = p + 1; u < close; ++u) {
            m_unescaped.push_back(*u);
            if (*u == Quote) ++u; // the second of a doubled quote
        }
        m_unescaped.append(rest, end);
        m_unescapedFields.push_back({m_fields.size(), from, m_unescaped.size()});
        addField(nullptr, nullptr);
        return end;
    }

    void addField(const Unit *begin, const Unit *end)
    {
        if (qsizetype(m_fields.size()) == m_maxFields) m_sink.tooManyFields();
        m_fields.push_back({begin, end});
    }

    // Points the fields built aside at their text, once no more is appended to it.
    void resolveUnescaped()
    {
        for (const Unescaped &u : m_unescapedFields)
            m_fields[u.field] = {m_unescaped.data() + u.from, m_unescaped.data() + u.to};
    }

    // Where the field starting at p ends: the next delimiter, CR or LF, or the end.
    const Unit *fieldEnd(const Unit *p)
    {
        if (m_lf < p) m_lf = Units<Unit>::find(p, m_end, Lf);
        if (m_cr < p) m_cr = Units<Unit>::find(p, m_lf, Cr);
        const Unit *end = m_cr < m_lf ? m_cr : m_lf;
        if (m_delimiter.empty()) return end;
        // Searched to the end of the text: a line without a delimiter finds the next
        // line's first one, which its first field then uses.
        if (m_delim < p) m_delim = findDelimiter(p, m_end);
        return m_delim < end ? m_delim : end;
    }

    const Unit *findDelimiter(const Unit *p, const Unit *end) const
    {
        const qsizetype length = qsizetype(m_delimiter.size());
        const Unit first = m_delimiter.front();
        // OPTIMIZATION: the usual delimiter is one unit, found without comparing.
        if (length == 1) return Units<Unit>::find(p, end, first);
        while (end - p >= length) {
            const Unit *hit = Units<Unit>::find(p, end - length + 1, first);
            if (hit == end - length + 1) return end;
            if (View(hit, size_t(length)) == m_delimiter) return hit;
            p = hit + 1;
        }
        return end;
    }

    bool startsDelimiter(const Unit *p) const
    {
        if (m_delimiter.size() == 1) return *p == m_delimiter.front();
        return m_end - p >= qsizetype(m_delimiter.size()) && View(p, m_delimiter.size()) == m_delimiter;
    }

    // p is at a CR or LF; returns where the next record starts, or nullptr when a CR
    // ends the text that an LF may still follow.
    const Unit *skipLineEnd(const Unit *p) const
    {
        if (*p == Lf) return p + 1;
        if (p + 1 < m_end) return p[1] == Lf ? p + 2 : p + 1;
        return m_atEnd ? p + 1 : nullptr;
    }

    struct Unescaped
    {
        size_t field;
        size_t from;
        size_t to;
    };

    View m_delimiter;
    qsizetype m_maxFields;
    Sink &m_sink;
    bool m_quoting;
    std::vector<Field<Unit>> m_fields;
    std::basic_string<Unit> m_unescaped;
    std::vector<Unescaped> m_unescapedFields;
    bool m_blank = false;
    // The text being read, and cached search results in it (each valid from the
    // position it was searched from on).
    const Unit *m_end = nullptr;
    bool m_atEnd = false;
    const Unit *m_cr = nullptr;
    const Unit *m_lf = nullptr;
    const Unit *m_delim = nullptr;
};

// ---- writing ---------------------------------------------------------------------------

// Joins cells with a delimiter, quoting the cells that need it. `Out` is anything with
// append(QStringView): a QString, or the file's block writer. The delimiter is given
// as written, half a surrogate pair already replaced by U+FFFD.
class DelimitedWriter
{
public:
    explicit DelimitedWriter(QStringView delimiter)
        : m_delimiter(delimiter), m_quoting(!delimiter.contains(u'"')),
          m_first(delimiter.isEmpty() ? u'"' : delimiter.front().unicode()),
          m_surrogatesMatter(delimiter.contains(QChar::ReplacementCharacter))
    {
    }

    template <typename Out> void appendCell(Out &out, QStringView cell) const
    {
        if (!m_quoting || !needsQuotes(cell)) {
            out.append(cell);
            return;
        }
        static constexpr char16_t quote[] = u"\"";
        out.append(QStringView(quote, 1));
        qsizetype from = 0;
        for (qsizetype q; (q = cell.indexOf(u'"', from)) >= 0; from = q + 1) {
            out.append(cell.sliced(from, q + 1 - from));
            out.append(QStringView(quote, 1)); // doubled
        }
        out.append(cell.sliced(from));
        out.append(QStringView(quote, 1));
    }

    // A cell is quoted when it holds the delimiter, a quote, CR or LF.
    bool needsQuotes(QStringView cell) const
    {
        // OPTIMIZATION: a save asks this of every cell. Most units lie above the quote
        // (0x22) and are not the delimiter's first: two comparisons pass them.
        const char16_t *units = cell.utf16();
        const qsizetype n = cell.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t u = units[i];
            if ((u > u'"' && u != m_first && !m_surrogatesMatter) || !needsQuotesFrom(cell, i))
                continue;
            return true;
        }
        return false;
    }

private:
    // Whether cell[i] starts what makes the cell need quotes.
    bool needsQuotesFrom(QStringView cell, qsizetype i) const;

    QStringView m_delimiter;
    bool m_quoting;
    char16_t m_first;        // the delimiter's first unit
    bool m_surrogatesMatter; // the delimiter holds U+FFFD, which half a pair is written as
};

// The clipboard's plain text, built row by row: cells joined by tabs, rows by CR LF,
// with no line break after the last row unless that row is one empty cell (a paste
// would read no line for it otherwise).
class ClipboardTextBuilder
{
public:
    void startRow();
    void addCell(QStringView cell);
    QString text();

private:
    static constexpr char16_t Tab[] = u"\t";
    DelimitedWriter m_writer{QStringView(Tab, 1)};
    QString m_text;
    bool m_anyRow = false;
    int m_cellsInRow = 0;
    bool m_lastCellEmpty = false;
};

} // namespace vorgrd::exchange_internal
