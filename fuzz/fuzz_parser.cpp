// TvorParser::Exec must take any formula over any grid without crashing, hanging,
// leaking or escaping with anything but a vorgrd::Exception. The input is split at
// line feeds (which the parser drops anyway): the first part is the formula, the
// next nine the cells of a 3 x 3 grid (columns 0-2 of row 0, then row 1, row 2), so
// that cells refer to each other, to themselves and out of the grid.
//
// Properties checked besides survival: a successful Exec leaves a finite Value, and
// a failed one leaves Value as it was.
#include "formulas/vorpars.h"
#include "host/exceptions.h"
#include "host/gridcellreader.h"

#include <QList>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

class FuzzGrid : public vorgrd::GridCellReader
{
public:
    QString cells[3][3];
    QString CellText(int col, int row) const override
    {
        if (col < 0 || col > 2 || row < 0 || row > 2) return QString();
        return cells[row][col];
    }
    int CurrentCol() const override { return 1; }
    int CurrentRow() const override { return 1; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)).split('\n');
    FuzzGrid grid;
    for (qsizetype i = 1; i < parts.size() && i <= 9; ++i)
        grid.cells[(i - 1) / 3][(i - 1) % 3] = QString::fromUtf8(parts[i]);

    vorgrd::TvorParser parser;
    parser.setGrid(&grid);
    parser.setCellCol(2);
    parser.setCellRow(2);
    parser.Exec(QStringLiteral("-1.25")); // a known Value to compare after a failure
    try {
        parser.Exec(QString::fromUtf8(parts.value(0)));
        if (!std::isfinite(parser.Value())) std::abort();
    } catch (const vorgrd::Exception &) {
        if (parser.Value() != -1.25) std::abort();
    } catch (...) {
        std::abort();
    }
    return 0;
}
