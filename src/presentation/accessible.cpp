// tvorgrid for assistive technology: the table and cell interfaces of accessible_p.h,
// the factory that gives every tvorgrid its table, and the grid's notices (the current
// cell moved, a visible cell was written).
//
// Sections: factory | table | cells | the grid's notices
#include "presentation/accessible_p.h"

#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/inplaceedit.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QWindow>

#include <algorithm>
#include <climits>

namespace vorgrd {

namespace {

// LIMIT: selectedCells lists at most this many cells; a selection of a million rows
// would otherwise make a million interfaces for one question.
constexpr qint64 MaxListedCells = 10000;
// LIMIT: once this many cell interfaces have been made, the cache is dropped and made
// again on demand, so that a reader walking a huge grid does not keep one per cell.
constexpr int MaxCachedCells = 50000;

quint64 cellKey(int col, int row)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

bool gridHasFocus(const tvorgrid *grid)
{
    const TInplaceEdit *editor = grid->InplaceEditor();
    return grid->hasFocus() || (editor && editor->hasFocus());
}

// What the cell shows.
QString shownText(tvorgrid *grid, int col, int row)
{
    return grid->DisplayText(col, row);
}

bool isCheckBoxColumn(const tvorgrid *grid, int col)
{
    return col < grid->columns()->Count() &&
           grid->columns()->GeTmColumn(col)->gettype() == ftcheckbox;
}

AccessibleGrid *tableOf(tvorgrid *grid)
{
    return dynamic_cast<AccessibleGrid *>(QAccessible::queryAccessibleInterface(grid));
}

// ---- factory -------------------------------------------------------------------------

QAccessibleInterface *gridFactory(const QString &, QObject *object)
{
    if (auto *grid = qobject_cast<tvorgrid *>(object)) return new AccessibleGrid(grid);
    return nullptr;
}

void installGridFactory()
{
    QAccessible::installFactory(gridFactory);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installGridFactory)

// ---- table -----------------------------------------------------------------------------

AccessibleGrid::AccessibleGrid(tvorgrid *grid) : QAccessibleWidget(grid, QAccessible::Table)
{
    grid->d->accessibleNotices.tableMade = true;
}

AccessibleGrid::~AccessibleGrid()
{
    dropCells();
}

void AccessibleGrid::dropCells() const
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

tvorgrid *AccessibleGrid::grid() const
{
    return static_cast<tvorgrid *>(object());
}

int AccessibleGrid::headerRows() const
{
    const tvorgrid *g = grid();
    return std::min(g->RowCount(), std::max(g->FixedRows(), g->showtitles() ? 1 : 0));
}

QAccessibleInterface *AccessibleGrid::cellInterface(int col, int row) const
{
    tvorgrid *g = grid();
    if (!g || col < 0 || row < 0 || col >= g->ColCount() || row >= g->RowCount()) return nullptr;
    const quint64 key = cellKey(col, row);
    if (const auto it = m_cells.constFind(key); it != m_cells.constEnd())
        if (QAccessibleInterface *cell = QAccessible::accessibleInterface(*it)) return cell;
    if (!m_listing && m_cells.size() >= MaxCachedCells) dropCells();
    auto *cell = new AccessibleGridCell(g, col, row);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QList<QAccessibleInterface *>
AccessibleGrid::cellList(qsizetype count, const std::function<QAccessibleInterface *(qsizetype)> &cell) const
{
    if (m_cells.size() + count > MaxCachedCells) dropCells();
    QList<QAccessibleInterface *> cells;
    cells.reserve(count);
    m_listing = true;
    const auto listed = qScopeGuard([this] { m_listing = false; });
    for (qsizetype i = 0; i < count; ++i)
        cells.append(cell(i));
    return cells;
}

QAccessible::Role AccessibleGrid::role() const
{
    return QAccessible::Table;
}

// LIMIT: children are counted in an int; a grid of more cells than that shows only
// its first whole rows as children (the table interface reaches every cell).
int AccessibleGrid::childCount() const
{
    const tvorgrid *g = grid();
    const qint64 cells = qint64(g->ColCount()) * g->RowCount();
    if (cells <= INT_MAX) return static_cast<int>(cells);
    return static_cast<int>(INT_MAX / g->ColCount() * g->ColCount());
}

QAccessibleInterface *AccessibleGrid::child(int index) const
{
    if (index < 0 || index >= childCount()) return nullptr;
    const int cols = grid()->ColCount();
    return cellInterface(index % cols, index / cols);
}

int AccessibleGrid::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *cell = dynamic_cast<const AccessibleGridCell *>(child);
    if (!cell || !cell->isValid() || cell->table() != this) return -1;
    const qint64 index = qint64(cell->gridRow()) * grid()->ColCount() + cell->gridCol();
    return index < childCount() ? static_cast<int>(index) : -1;
}

QAccessibleInterface *AccessibleGrid::childAt(int x, int y) const
{
    const tvorgrid *g = grid();
    const QPoint p = g->viewport()->mapFromGlobal(QPoint(x, y));
    const TGridCoord cell = g->MouseCoord(p.x(), p.y());
    if (cell.X < 0 || cell.Y < 0) return nullptr;
    return cellInterface(cell.X, cell.Y);
}

QAccessibleInterface *AccessibleGrid::focusChild() const
{
    const tvorgrid *g = grid();
    if (!gridHasFocus(g)) return nullptr;
    return cellInterface(g->Col(), g->Row());
}

void *AccessibleGrid::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface *AccessibleGrid::caption() const
{
    return nullptr;
}

QAccessibleInterface *AccessibleGrid::summary() const
{
    return nullptr;
}

QAccessibleInterface *AccessibleGrid::cellAt(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    return cellInterface(column + grid()->FixedCols(), row + headerRows());
}

int AccessibleGrid::rowCount() const
{
    return grid()->RowCount() - headerRows();
}

int AccessibleGrid::columnCount() const
{
    return grid()->ColCount() - grid()->FixedCols();
}

bool AccessibleGrid::selectedBody(int &left, int &top, int &right, int &bottom) const
{
    const tvorgrid *g = grid();
    const TGridRect s = g->Selection();
    left = s.Left - g->FixedCols();
    right = s.Right - g->FixedCols();
    top = std::max(s.Top, headerRows()) - headerRows();
    bottom = s.Bottom - headerRows();
    return top <= bottom && left <= right;
}

int AccessibleGrid::selectedCellCount() const
{
    int l, t, r, b;
    if (!selectedBody(l, t, r, b)) return 0;
    return static_cast<int>(std::min<qint64>(qint64(r - l + 1) * (b - t + 1), INT_MAX));
}

QList<QAccessibleInterface *> AccessibleGrid::selectedCells() const
{
    int l, t, r, b;
    if (!selectedBody(l, t, r, b)) return {};
    const qint64 width = qint64(r) - l + 1;
    return cellList(std::min(width * (qint64(b) - t + 1), MaxListedCells),
                    [&](qsizetype i) { return cellAt(t + int(i / width), l + int(i % width)); });
}

QString AccessibleGrid::columnDescription(int column) const
{
    if (column < 0 || column >= columnCount()) return QString();
    QStringList texts;
    for (int row = 0; row < headerRows(); ++row)
        texts.append(shownText(grid(), column + grid()->FixedCols(), row));
    return texts.join(QLatin1Char(' ')).trimmed();
}

QString AccessibleGrid::rowDescription(int row) const
{
    if (row < 0 || row >= rowCount()) return QString();
    QStringList texts;
    for (int col = 0; col < grid()->FixedCols(); ++col)
        texts.append(shownText(grid(), col, row + headerRows()));
    return texts.join(QLatin1Char(' ')).trimmed();
}

// A column counts as selected when the selection runs through all its table rows.
int AccessibleGrid::selectedColumnCount() const
{
    int l, t, r, b;
    if (!selectedBody(l, t, r, b) || t != 0 || b != rowCount() - 1) return 0;
    return r - l + 1;
}

int AccessibleGrid::selectedRowCount() const
{
    int l, t, r, b;
    if (!selectedBody(l, t, r, b) || l != 0 || r != columnCount() - 1) return 0;
    return b - t + 1;
}

QList<int> AccessibleGrid::selectedColumns() const
{
    QList<int> out;
    int l, t, r, b;
    if (selectedColumnCount() == 0 || !selectedBody(l, t, r, b)) return out;
    for (int c = l; c <= r && out.size() < MaxListedCells; ++c)
        out.append(c);
    return out;
}

QList<int> AccessibleGrid::selectedRows() const
{
    QList<int> out;
    int l, t, r, b;
    if (selectedRowCount() == 0 || !selectedBody(l, t, r, b)) return out;
    for (int row = t; row <= b && out.size() < MaxListedCells; ++row)
        out.append(row);
    return out;
}

bool AccessibleGrid::isColumnSelected(int column) const
{
    int l, t, r, b;
    return selectedColumnCount() > 0 && selectedBody(l, t, r, b) && column >= l && column <= r;
}

bool AccessibleGrid::isRowSelected(int row) const
{
    int l, t, r, b;
    return selectedRowCount() > 0 && selectedBody(l, t, r, b) && row >= t && row <= b;
}

// Selecting a whole row needs goRowSelect or goRangeSelect; a whole column needs
// goRangeSelect without goRowSelect. The grid always has one cell selected, so
// nothing can be unselected.
bool AccessibleGrid::selectRow(int row)
{
    tvorgrid *g = grid();
    if (row < 0 || row >= rowCount()) return false;
    const int gridRow = row + headerRows();
    if (g->Options() & goRowSelect) return g->FocusCell(g->Col(), gridRow, true);
    if (!(g->Options() & goRangeSelect)) return false;
    g->setSelection(TGridRect{g->FixedCols(), gridRow, g->ColCount() - 1, gridRow});
    return true;
}

bool AccessibleGrid::selectColumn(int column)
{
    tvorgrid *g = grid();
    if (column < 0 || column >= columnCount() || rowCount() <= 0) return false;
    if (!(g->Options() & goRangeSelect) || (g->Options() & goRowSelect)) return false;
    const int gridCol = column + g->FixedCols();
    g->setSelection(TGridRect{gridCol, headerRows(), gridCol, g->RowCount() - 1});
    return true;
}

bool AccessibleGrid::unselectRow(int)
{
    return false;
}

bool AccessibleGrid::unselectColumn(int)
{
    return false;
}

// Cells are named by coordinates and read the grid live, so nothing is out of date.
// Nothing to follow: a cell interface stands for a position and reads the grid at
// every call (a position beyond the counts reads as invalid), so the interfaces made
// before a change answer for the grid after it. Qt's own table keeps interfaces per
// model index instead, which is why it must move or drop them here.
void AccessibleGrid::modelChange(QAccessibleTableModelChangeEvent *) {}

// ---- cells ---------------------------------------------------------------------------------

AccessibleGridCell::AccessibleGridCell(tvorgrid *grid, int col, int row)
    : m_grid(grid), m_col(col), m_row(row)
{
}

bool AccessibleGridCell::isValid() const
{
    return m_grid && m_col < m_grid->ColCount() && m_row < m_grid->RowCount();
}

QObject *AccessibleGridCell::object() const
{
    return nullptr;
}

QWindow *AccessibleGridCell::window() const
{
    return m_grid ? m_grid->window()->windowHandle() : nullptr;
}

QAccessibleInterface *AccessibleGridCell::childAt(int, int) const
{
    return nullptr;
}

QAccessibleInterface *AccessibleGridCell::parent() const
{
    return table();
}

QAccessibleInterface *AccessibleGridCell::child(int) const
{
    return nullptr;
}

int AccessibleGridCell::childCount() const
{
    return 0;
}

int AccessibleGridCell::indexOfChild(const QAccessibleInterface *) const
{
    return -1;
}

bool AccessibleGridCell::isColumnHeader() const
{
    const AccessibleGrid *t = m_grid ? tableOf(m_grid) : nullptr;
    return t && m_row < t->headerRows();
}

bool AccessibleGridCell::isRowHeader() const
{
    return m_grid && !isColumnHeader() && m_col < m_grid->FixedCols();
}

bool AccessibleGridCell::isCheckBox() const
{
    return isValid() && !isColumnHeader() && !isRowHeader() && isCheckBoxColumn(m_grid, m_col);
}

bool AccessibleGridCell::isEditable() const
{
    return isValid() && (m_grid->Options() & goEditing) && !isColumnHeader() && !isRowHeader();
}

// A check box shows its state, not its text: the state says checked, the name is
// empty (the column header names it).
QString AccessibleGridCell::text(QAccessible::Text t) const
{
    if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) return QString();
    if (isCheckBox()) return QString();
    return shownText(m_grid, m_col, m_row);
}

void AccessibleGridCell::setText(QAccessible::Text, const QString &) {}

QRect AccessibleGridCell::rect() const
{
    if (!isValid()) return QRect();
    const QRect r = m_grid->CellRect(m_col, m_row);
    if (r.isEmpty()) return QRect();
    return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role AccessibleGridCell::role() const
{
    if (isColumnHeader()) return QAccessible::ColumnHeader;
    if (isRowHeader()) return QAccessible::RowHeader;
    if (isCheckBox()) return QAccessible::CheckBox;
    return QAccessible::Cell;
}

QAccessible::State AccessibleGridCell::state() const
{
    QAccessible::State st;
    if (!isValid()) {
        st.invalid = true;
        return st;
    }
    if (m_grid->CellRect(m_col, m_row).isEmpty()) {
        st.invisible = true;
        st.offscreen = true;
    }
    if (isColumnHeader() || isRowHeader()) return st;
    st.focusable = true;
    st.selectable = true;
    st.focused = m_col == m_grid->Col() && m_row == m_grid->Row() && gridHasFocus(m_grid);
    st.selected = isSelected();
    st.editable = isEditable() && !isCheckBox();
    st.readOnly = !isEditable();
    if (isCheckBox()) {
        st.checkable = true;
        st.checked = !m_grid->Cells(m_col, m_row).isEmpty();
    }
    return st;
}

void *AccessibleGridCell::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface *>(this);
    if (t == QAccessible::ActionInterface && isCheckBox())
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

bool AccessibleGridCell::isSelected() const
{
    return isValid() && !isColumnHeader() && !isRowHeader() &&
           m_grid->Selection().contains(m_col, m_row);
}

QList<QAccessibleInterface *> AccessibleGridCell::columnHeaderCells() const
{
    const AccessibleGrid *t = m_grid ? tableOf(m_grid) : nullptr;
    if (!t || isColumnHeader()) return {};
    return t->cellList(t->headerRows(), [&](qsizetype row) { return t->cellInterface(m_col, int(row)); });
}

QList<QAccessibleInterface *> AccessibleGridCell::rowHeaderCells() const
{
    const AccessibleGrid *t = m_grid ? tableOf(m_grid) : nullptr;
    if (!t || isRowHeader() || isColumnHeader()) return {};
    return t->cellList(m_grid->FixedCols(), [&](qsizetype col) { return t->cellInterface(int(col), m_row); });
}

int AccessibleGridCell::columnIndex() const
{
    if (!m_grid) return -1;
    return m_col < m_grid->FixedCols() ? m_col : m_col - m_grid->FixedCols();
}

int AccessibleGridCell::rowIndex() const
{
    const AccessibleGrid *t = m_grid ? tableOf(m_grid) : nullptr;
    if (!t) return -1;
    return m_row < t->headerRows() ? m_row : m_row - t->headerRows();
}

int AccessibleGridCell::columnExtent() const
{
    return 1;
}

int AccessibleGridCell::rowExtent() const
{
    return 1;
}

QAccessibleInterface *AccessibleGridCell::table() const
{
    return m_grid ? tableOf(m_grid) : nullptr;
}

QStringList AccessibleGridCell::actionNames() const
{
    if (isCheckBox() && isEditable()) return {toggleAction()};
    return {};
}

void AccessibleGridCell::doAction(const QString &actionName)
{
    if (actionName != toggleAction() || !isCheckBox() || !isEditable()) return;
    m_grid->setCells(m_col, m_row,
                     m_grid->Cells(m_col, m_row).isEmpty() ? QStringLiteral("Y") : QString());
}

QStringList AccessibleGridCell::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == toggleAction() && isCheckBox() && isEditable())
        return {QStringLiteral("Space")};
    return {};
}

// ---- the grid's notices ----------------------------------------------------------------
//
// The notices follow the grid's own reports (cellChanged, cellsChanged and the line
// change bracket), as Qt's views follow their model's signals, so every path that
// writes cells or moves lines reaches assistive technology, and each change once: the
// cell reports made during a line change are covered by the line change's notice.

bool tvorgrid::SelectCell(int ACol, int ARow)
{
    const bool can = TStringGrid::SelectCell(ACol, ARow);
    if (can) d->notifyAccessibleCurrentCell();
    return can;
}

void tvorgrid::Private::connectAccessibleNotices()
{
    QObject::connect(&q, &TStringGrid::cellChanged, &q,
                     [this](int col, int row) { notifyAccessibleCellsWritten(QRect(col, row, 1, 1)); });
    QObject::connect(&q, &TStringGrid::cellsChanged, &q,
                     [this](const QRect &cells) { notifyAccessibleCellsWritten(cells); });
    QObject::connect(&q, &TCustomGrid::linesAboutToChange, &q,
                     [this](const TLineChange &) { accessibleNotices.inLineChange = true; });
    QObject::connect(&q, &TCustomGrid::linesChanged, &q, [this](const TLineChange &change) {
        accessibleNotices.inLineChange = false;
        notifyAccessibleLinesChanged(change);
    });
}

bool tvorgrid::Private::accessibleListening() const
{
    return accessibleNotices.tableMade || QAccessible::isActive();
}

void tvorgrid::Private::notifyAccessibleCellsWritten(const QRect &cells)
{
    if (accessibleNotices.inLineChange || !accessibleListening()) return;
    if (cells.width() == 1 && cells.height() == 1) {
        notifyAccessibleCellWritten(cells.x(), cells.y());
        return;
    }
    // Table coordinates leave the header rows and fixed columns out.
    const int headerRows = tableOf(&q) ? tableOf(&q)->headerRows() : q.FixedRows();
    const QRect body = cells.translated(-q.FixedCols(), -headerRows) &
                       QRect(0, 0, q.ColCount() - q.FixedCols(), q.RowCount() - headerRows);
    if (body.isEmpty()) return;
    QAccessibleTableModelChangeEvent changed(&q, QAccessibleTableModelChangeEvent::DataChanged);
    changed.setFirstRow(body.top());
    changed.setLastRow(body.bottom());
    changed.setFirstColumn(body.left());
    changed.setLastColumn(body.right());
    QAccessible::updateAccessibility(&changed);
}

void tvorgrid::Private::notifyAccessibleCellWritten(int col, int row)
{
    if (col < 0 || row < 0 || col >= q.ColCount() || row >= q.RowCount() ||
        q.CellRect(col, row).isEmpty())
        return;
    AccessibleGrid *table = tableOf(&q);
    QAccessibleInterface *cell = table ? table->cellInterface(col, row) : nullptr;
    if (!cell) return;
    QAccessibleValueChangeEvent changed(cell, cell->text(QAccessible::Value));
    QAccessible::updateAccessibility(&changed);
    if (cell->role() == QAccessible::CheckBox) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent stateChanged(cell, checked);
        QAccessible::updateAccessibility(&stateChanged);
    }
}

namespace {

// What a completed insertion or removal of lines is called in Qt's table events; a
// move, a reorder, a replaced content or a failed change (put back, but with cells
// that may differ) is told as a reset, as Qt's views tell a layout change.
QAccessibleTableModelChangeEvent::ModelChangeType lineChangeType(const TLineChange &change)
{
    using Event = QAccessibleTableModelChangeEvent;
    if (!change.completed) return Event::ModelReset;
    switch (change.kind) {
    case TLineChange::Insert:
        return change.rows() ? Event::RowsInserted : Event::ColumnsInserted;
    case TLineChange::Remove:
        return change.rows() ? Event::RowsRemoved : Event::ColumnsRemoved;
    default:
        return Event::ModelReset;
    }
}

} // namespace

void tvorgrid::Private::notifyAccessibleLinesChanged(const TLineChange &change)
{
    if (!accessibleListening()) return;
    const auto type = lineChangeType(change);
    QAccessibleTableModelChangeEvent changed(&q, type);
    if (type != QAccessibleTableModelChangeEvent::ModelReset) {
        const int shift = change.rows() ? (tableOf(&q) ? tableOf(&q)->headerRows() : q.FixedRows())
                                        : q.FixedCols();
        const int first = std::max(change.first - shift, 0);
        const int last = std::max(change.last - shift, first);
        if (change.rows()) {
            changed.setFirstRow(first);
            changed.setLastRow(last);
        } else {
            changed.setFirstColumn(first);
            changed.setLastColumn(last);
        }
    }
    QAccessible::updateAccessibility(&changed);
}

// SelectCell runs before the base moves the current cell: the notice is queued, so
// that the reader asking about the new cell finds it current.
void tvorgrid::Private::notifyAccessibleCurrentCell()
{
    if (!accessibleListening() || accessibleNotices.focusPending) return;
    accessibleNotices.focusPending = true;
    QMetaObject::invokeMethod(
        &q,
        [this] {
            accessibleNotices.focusPending = false;
            if (!gridHasFocus(&q) ||
                (q.Col() == accessibleNotices.col && q.Row() == accessibleNotices.row))
                return;
            AccessibleGrid *table = tableOf(&q);
            QAccessibleInterface *cell = table ? table->cellInterface(q.Col(), q.Row()) : nullptr;
            if (!cell) return;
            accessibleNotices.col = q.Col();
            accessibleNotices.row = q.Row();
            QAccessibleEvent focus(cell, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        },
        Qt::QueuedConnection);
}

} // namespace vorgrd
