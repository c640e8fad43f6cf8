// FillFromQuery: a whole SELECT result in one call, on top of Fillgrid.
//
//   check the query  ->  name the columns (optional)  ->  empty the rows below the
//   titles  ->  size the rows  ->  Fillgrid with a handler of our own that fills a row
//   per record, grows the rows when the driver could not tell the result's size, and
//   reports progress  ->  cut the rows to the records filled  ->  rewrite the titles
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/datasetsql.h"
#include "host/datasetsqlite_p.h"

#include <QPointer>
#include <QSqlDriver>

#include <algorithm>

namespace vorgrd {

namespace {

using FillHandler = std::function<void(int, bool &)>;

// Puts the application's OnFillNextRecord back however the fill ends, unless the
// grid (which holds the slot) is gone.
struct HandlerSwap
{
    HandlerSwap(const QPointer<tvorgrid> &grid, FillHandler ours)
        : grid(grid), saved(std::exchange(grid->OnFillNextRecord, std::move(ours)))
    {
    }
    ~HandlerSwap()
    {
        if (grid) grid->OnFillNextRecord = std::move(saved);
    }
    HandlerSwap(const HandlerSwap &) = delete;
    HandlerSwap &operator=(const HandlerSwap &) = delete;
    const QPointer<tvorgrid> &grid;
    FillHandler saved;
};

// Rows asked for before the result's size is known; doubled as the fill goes on.
constexpr int FirstRowChunk = 1024;

// The number of records when the driver can tell it without reading them, else -1.
int resultSize(const QSqlQuery &query)
{
    const QSqlDriver *driver = query.driver();
    return driver && driver->hasFeature(QSqlDriver::QuerySize) ? query.size() : -1;
}

// The whole result, whatever the caller read of it already: a scrollable query goes
// back before its first record; a forward-only one that has left it cannot, and is
// refused before the grid changes. (An inactive query is TSqlDataSet's to refuse.)
void rewind(QSqlQuery &query)
{
    if (!query.isActive() || !query.isSelect()) return;
    const int at = query.at();
    if (at == QSql::BeforeFirstRow || at == 0) return;
    if (query.isForwardOnly())
        throw EDatabaseError(
            QStringLiteral("Cannot fill from the forward-only query \"%1\": it was read past its "
                           "first record, and the records passed cannot be read again; run it "
                           "again, or make it scrollable")
                .arg(query.lastQuery()));
    query.seek(QSql::BeforeFirstRow);
}

} // namespace

int tvorgrid::FillFromQuery(QSqlQuery query, const TFillOptions &options)
{
    rewind(query);
    const int knownSize = resultSize(query);
    TSqlDataSet dataSet(std::move(query));
    return d->fillFromDataSet(dataSet, knownSize, options);
}

int tvorgrid::FillFromQuery(const QString &sql, const QSqlDatabase &database,
                            const TFillOptions &options)
{
    // SQLite tells no result size in advance (-1): the rows grow as they fill.
    if (const auto direct = openSqliteDataSet(sql, database))
        return d->fillFromDataSet(*direct, -1, options);
    TSqlDataSet dataSet(sql, database);
    return d->fillFromDataSet(dataSet, resultSize(dataSet.query()), options);
}

int tvorgrid::Private::fillFromDataSet(TDataSet &dataSet, int knownSize,
                                       const TFillOptions &options)
{
    // The rows below the titles are replaced: one reset for the model's users instead
    // of a report per row filled and per count step.
    GridEdit edit(q, TLineChange{});
    if (options.nameColumns)
        nameColumnsAfterFields(dataSet);
    const int firstRow = lines.showtitles ? 1 : 0;
    const int minimumRows = std::max(firstRow + 1, q.FixedRows() + 1);
    clearRowsFrom(firstRow);
    const int wanted = knownSize >= 0 ? firstRow + knownSize : firstRow + FirstRowChunk;
    q.setRowCount(std::clamp(wanted, minimumRows, MaxInsertRowCount));

    const QPointer<tvorgrid> alive(&q);
    const int interval = std::max(options.progressInterval, 1);
    int filled = 0;
    bool cancelled = false;
    auto fillRow = [&](int row, bool &next) {
        next = false;
        if (dataSet.Eof())
            return;
        q.FillrowfromDB(dataSet, row);
        ++filled;
        dataSet.Next();
        if (options.progress && filled % interval == 0) {
            const bool goOn = options.progress(filled);
            // A progress handler that destroyed the grid ends the fill (Fillgrid stops
            // when its grid is gone); nothing may touch the grid again.
            if (!alive || !goOn) {
                cancelled = true;
                return;
            }
        }
        next = !dataSet.Eof();
        if (next && row + 1 >= q.RowCount() && q.RowCount() < MaxInsertRowCount)
            q.setRowCount(int(std::min<qint64>(qint64(q.RowCount()) * 2, MaxInsertRowCount)));
    };

    try {
        HandlerSwap swap(alive, fillRow);
        q.Fillgrid();
    } catch (...) {
        if (alive) q.setRowCount(std::max(firstRow + filled, minimumRows));
        throw;
    }
    if (!alive) TCustomGrid::destroyedByHandler();
    q.setRowCount(std::max(firstRow + filled, minimumRows));
    if (lines.showtitles) q.setshowtitles(true);
    if (options.progress && !cancelled && filled % interval != 0)
        options.progress(filled);
    return filled;
}

void tvorgrid::Private::nameColumnsAfterFields(TDataSet &dataSet)
{
    const int fixed = q.FixedCols();
    q.setColCount(std::max(fixed + dataSet.FieldCount(), fixed + 1));
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        lines.columns->GeTmColumn(fixed + i)->SetcolumnName(dataSet.Fields(i)->FieldName());
}

void tvorgrid::Private::clearRowsFrom(int firstRow)
{
    // Rows the store keeps beyond the count would otherwise come back when the fill
    // raises RowCount.
    GridEdit edit(q);
    CellStore &store = edit.store();
    for (int r = store.rowExtent() - 1; r >= firstRow; --r)
        if (const int extent = store.colExtent(r); extent > 0)
            store.clearRow(r, 0, extent - 1);
    edit.cellsWritten(QRect(0, firstRow, q.ColCount(), std::max(q.RowCount() - firstRow, 0)));
    q.Refresh();
}

} // namespace vorgrd
