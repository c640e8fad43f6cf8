// LoadComponent on fuzzed JSON into a prepared tvorgrid (seeds: the grid's own saved
// streams, fuzz/corpus/formstream/). A stream is either read or rejected with
// EReadError; nothing else may leave. A rejected stream must leave the grid exactly as
// it was (stream, widths, heights, marks, cells, current cell); a read one must leave a
// consistent grid whose own saved stream loads again.
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/formstream.h"

#include "widgetinput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vorgrd;

namespace {

// A count within the caps but in the millions is accepted as it should be, and takes
// seconds and gigabytes to build: such streams are left to the unit tests of the
// caps, so that the run searches for faults rather than for slow inputs. Counts past
// the caps are fuzzed (they must be refused).
bool holdsLargeCount(const QJsonValue &value)
{
    if (value.isArray()) {
        for (const QJsonValue &item : value.toArray())
            if (holdsLargeCount(item)) return true;
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const double n = it.value().toDouble();
            if (it.key().endsWith(QLatin1String("Count")) && n > 10'000 &&
                n <= tvorgrid::MaxInsertRowCount)
                return true;
            if (holdsLargeCount(it.value())) return true;
        }
    }
    return false;
}

void prepare(tvorgrid &g)
{
    g.setColCount(4);
    g.setRowCount(5);
    g.setColWidths(2, 90);
    g.setRowHeights(3, 40);
    g.columns()->GeTmColumn(3)->SetWidth(70);
    g.columns()->GeTmColumn(3)->SetHide(true);
    g.RowMarks()->Put(2, QStringLiteral("Y"));
    g.setCells(1, 2, QStringLiteral("kept"));
    g.setCol(2);
    g.setRow(3);
}

QByteArray state(const tvorgrid &g)
{
    QByteArray s = SaveComponent(g);
    for (int c = 0; c < g.ColCount(); ++c) s += QByteArray::number(g.ColWidths(c)) + ',';
    for (int r = 0; r < g.RowCount() && r < 64; ++r) s += QByteArray::number(g.RowHeights(r)) + ',';
    s += g.RowMarks()->toStringList().join(QLatin1Char('|')).toUtf8();
    for (int r = 0; r < g.RowCount() && r < 64; ++r)
        for (int c = 0; c < g.ColCount() && c < 64; ++c) s += g.Cells(c, r).toUtf8() + ';';
    s += QByteArray::number(g.Col()) + ':' + QByteArray::number(g.Row());
    return s;
}

[[noreturn]] void failure(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vorgrd::fuzz::startWidgets();
    const QByteArray stream(reinterpret_cast<const char *>(data), qsizetype(size));
    if (holdsLargeCount(QJsonDocument::fromJson(stream).object())) return 0;
    tvorgrid g;
    prepare(g);
    const QByteArray before = state(g);
    try {
        LoadComponent(g, stream);
    } catch (const EReadError &) {
        if (state(g) != before) failure("a rejected stream changed the grid");
        return 0;
    }
    g.checkConsistency();
    tvorgrid copy;
    try {
        LoadComponent(copy, SaveComponent(g));
    } catch (const EReadError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        failure("the grid's own stream does not load");
    }
    copy.checkConsistency();
    return 0;
}
