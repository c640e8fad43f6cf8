// tvorgrid::LoadFromFile must take any bytes as a file without crashing, hanging,
// leaking or escaping with anything but MFileError, EInOutError or ERangeError. The
// first byte picks the delimiter; the rest is the file.
//
// Properties checked besides survival: a refused file leaves the grid exactly as it
// was; a loaded file that is UTF-8 without a byte-order mark gives exactly the cells
// of its records that are not empty lines, read by a reading written apart from the
// library's (tests/support), with every other cell empty, and the grid's invariants
// hold.
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "../tests/support/delimitedreference.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace vorgrd;

namespace {

QApplication *app = nullptr;
QTemporaryDir *dir = nullptr;
// One grid for every input (a new widget per input would be most of the time): each
// load then also runs over the content the previous one left.
tvorgrid *sharedGrid = nullptr;

const QString delimiters[] = {";", "\t", ",", "::", "", "\xC3\xA9", "ab", "\"", ";\n"};

// The records of the file that are not empty lines, by a reading written apart from
// the library's, on the text decoded keeping a U+FEFF at the start of a cell (only the
// file's first bytes are a byte-order mark, and the files checked have none).
QList<QStringList> expectedRows(const QByteArray &bytes, const QString &delimiter)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QList<QStringList> rows;
    for (const auto &record : testing_reference::records(decoder.decode(bytes), delimiter))
        if (!record.blank) rows << record.fields;
    return rows;
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_loadfile: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    dir = new QTemporaryDir;
    sharedGrid = new tvorgrid;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    const QString &delimiter = delimiters[data[0] % std::size(delimiters)];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString path = dir->filePath(QStringLiteral("input.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return 0;
        file.write(bytes);
    }
    tvorgrid &grid = *sharedGrid;
    if (grid.RowCount() < 2) grid.setRowCount(2);
    if (grid.ColCount() < 2) grid.setColCount(2);
    grid.setCells(1, 1, QStringLiteral("before"));
    grid.RowMarks()->setStrings(1, QStringLiteral("Y"));
    const int rowsBefore = grid.RowCount();
    try {
        grid.LoadFromFile(path, delimiter);
    } catch (const EInOutError &) {
        check(grid.Cells(1, 1) == QLatin1String("before") &&
                  grid.RowMarks()->Strings(1) == QLatin1String("Y") &&
                  grid.RowCount() == rowsBefore,
              "a refused file changed the grid");
        return 0;
    } catch (const ERangeError &) {
        check(grid.Cells(1, 1) == QLatin1String("before"), "a refused file changed the grid");
        return 0;
    }
    grid.checkConsistency();
    check(grid.cellStore().checkConsistency().isEmpty(), "the cell store is inconsistent");
    const bool plainUtf8 = !bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") &&
                           !bytes.startsWith("\xFE\xFF") && !bytes.startsWith(QByteArray("\0\0\xFE\xFF", 4));
    if (!plainUtf8) return 0;
    const QList<QStringList> rows = expectedRows(bytes, delimiter);
    qsizetype widest = 0;
    check(grid.cellStore().rowExtent() <= rows.size(), "cells beyond the file's lines");
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &fields = rows[r];
        for (int c = 0; c < fields.size(); ++c)
            check(grid.Cells(c, r) == fields[c], "a cell differs from its field");
        check(grid.cellStore().colExtent(r) <= fields.size(), "a cell beyond the line's fields");
        widest = std::max(widest, fields.size());
    }
    check(grid.ColCount() == std::max<qsizetype>(widest, grid.FixedCols() + 1),
          "the column count is not the widest line's");
    check(grid.RowCount() == std::max<qsizetype>(rows.size(), grid.FixedRows() + 1),
          "the row count is not the number of lines");
    return 0;
}
