// TvorGridModel: reading and writing cells through the item-model roles, and turning
// the grid's signals into the model's.
//
// Call flow of a structural change (InsertRows, a count change, a sort, a load):
//   grid: linesAboutToChange -> model: begin*(...)   (counts still the old ones)
//   grid changes; cellsChanged / columnsChanged meanwhile are kept as pending
//   grid: linesChanged       -> model: counts updated, end*(), matchCounts(),
//                               pending cells and columns reported as dataChanged
#include "model/gridmodel_p.h"

#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <QFont>

#include <algorithm>
#include <vector>

namespace vorgrd {

namespace {

Qt::Alignment horizontalOf(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

Qt::Alignment verticalOf(TVertAlignment alignment)
{
    switch (alignment) {
    case vaCenter:
        return Qt::AlignVCenter;
    case vaBottomJustify:
        return Qt::AlignBottom;
    default:
        return Qt::AlignTop;
    }
}

} // namespace

TvorGridModel::TvorGridModel(tvorgrid *grid, QObject *parent)
    : QAbstractTableModel(parent), d(std::make_unique<Private>())
{
    d->m_grid = grid;
    if (!d->m_grid) return;
    d->m_rows = d->m_grid->RowCount();
    d->m_cols = d->m_grid->ColCount();
    connectGrid();
}

TvorGridModel::~TvorGridModel() = default;

tvorgrid *TvorGridModel::grid() const
{
    return d->m_grid;
}

void TvorGridModel::connectGrid()
{
    tvorgrid *g = d->m_grid;
    connect(g, &TStringGrid::cellChanged, this, &TvorGridModel::cellChanged);
    connect(g, &TStringGrid::cellsChanged, this, &TvorGridModel::cellsChanged);
    connect(g, &TCustomGrid::linesAboutToChange, this, &TvorGridModel::linesAboutToChange);
    connect(g, &TCustomGrid::linesChanged, this, &TvorGridModel::linesChanged);
    connect(g, &tvorgrid::columnsChanged, this, &TvorGridModel::appearanceChanged);
    connect(g, &tvorgrid::showtitlesChanged, this, &TvorGridModel::appearanceChanged);
    connect(g, &TCustomGrid::fontChanged, this, &TvorGridModel::appearanceChanged);
    connect(g, &TCustomGrid::colorChanged, this, &TvorGridModel::appearanceChanged);
    connect(g, &TCustomGrid::fixedColorChanged, this, &TvorGridModel::appearanceChanged);
    connect(g, &QObject::destroyed, this, &TvorGridModel::gridDestroyed);
}

// ---- reading and writing ---------------------------------------------------------------

int TvorGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->m_rows;
}

int TvorGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->m_cols;
}

bool TvorGridModel::isCheckCell(int col, int row) const
{
    if (row == 0 && d->m_grid->showtitles()) return false;
    const tmcolumn *column = d->m_grid->columns()->GeTmColumn(col);
    return column && column->gettype() == ftcheckbox;
}

QVariant TvorGridModel::data(const QModelIndex &index, int role) const
{
    if (!d->m_grid || !index.isValid() || !checkIndex(index)) return {};
    const int col = index.column(), row = index.row();
    // Only between a change and its report can the model's counts exceed the grid's.
    const bool inGrid = col < d->m_grid->ColCount() && row < d->m_grid->RowCount();
    switch (role) {
    case Qt::DisplayRole:
        if (!inGrid) return d->m_grid->Cells(col, row);
        if (isCheckCell(col, row)) return QString();
        return d->m_grid->DisplayText(col, row);
    case Qt::EditRole:
        return d->m_grid->Cells(col, row);
    case Qt::CheckStateRole:
        if (!inGrid || !isCheckCell(col, row)) return {};
        return int(d->m_grid->Cells(col, row).isEmpty() ? Qt::Unchecked : Qt::Checked);
    default:
        return inGrid ? titleOrColumnRole(col, row, role) : QVariant();
    }
}

QVariant TvorGridModel::titleOrColumnRole(int col, int row, int role) const
{
    tmcolumn *column = d->m_grid->columns()->GeTmColumn(col);
    if (!column) return {};
    const bool title = row == 0 && d->m_grid->showtitles();
    switch (role) {
    case Qt::TextAlignmentRole: {
        const TAlignment horizontal =
            title ? column->Title()->GetAlignment() : column->GetAlignment();
        // The grid draws a formatted number right-aligned whatever the column says.
        const bool number = !title && column->gettype() == ftnumeric;
        const Qt::Alignment h = number ? Qt::AlignRight : horizontalOf(horizontal);
        return QVariant::fromValue(h | verticalOf(column->GetVertAlignment()));
    }
    case Qt::BackgroundRole:
        return ColorToQColor(title ? column->Title()->GetColor() : column->GetColor(), d->m_grid);
    case Qt::ForegroundRole:
        return ColorToQColor(title ? column->Title()->GetFont()->Color()
                                   : column->GetFont()->Color(),
                             d->m_grid);
    case Qt::FontRole:
        return title ? column->Title()->GetFont()->qfont() : column->GetFont()->qfont();
    default:
        return {};
    }
}

bool TvorGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!d->m_grid || !index.isValid() || !checkIndex(index)) return false;
    const int col = index.column(), row = index.row();
    if (!(flags(index) & Qt::ItemIsEditable) && role != Qt::CheckStateRole) return false;
    const tmcolumn *column = d->m_grid->columns()->GeTmColumn(col);
    if (column && column->GetReadOnly()) return false;
    QString text;
    if (role == Qt::CheckStateRole) {
        if (!isCheckCell(col, row)) return false;
        text = value.toInt() == Qt::Unchecked ? QString() : QStringLiteral("Y");
    } else if (role == Qt::EditRole || role == Qt::DisplayRole) {
        if (!value.canConvert<QString>()) return false;
        text = value.toString();
    } else {
        return false;
    }
    // The grid reports the write (cellChanged), which becomes dataChanged.
    d->m_grid->setCells(col, row, text);
    return true;
}

Qt::ItemFlags TvorGridModel::flags(const QModelIndex &index) const
{
    if (!d->m_grid || !index.isValid() || !checkIndex(index)) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int col = index.column(), row = index.row();
    if (col >= d->m_grid->ColCount() || row >= d->m_grid->RowCount()) return f;
    const tmcolumn *column = d->m_grid->columns()->GeTmColumn(col);
    if (column && column->GetReadOnly()) return f;
    if (isCheckCell(col, row)) return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant TvorGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (d->m_grid && orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < d->m_cols && section < d->m_grid->ColCount()) {
        const tmcolumn *column = d->m_grid->columns()->GeTmColumn(section);
        if (column) {
            const QString caption = column->Title()->GetCaption();
            if (!caption.isEmpty()) return caption;
            if (!column->columnName().isEmpty()) return column->columnName();
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ---- the grid's reports ---------------------------------------------------------------

void TvorGridModel::cellChanged(int col, int row)
{
    reportArea(QRect(col, row, 1, 1));
}

void TvorGridModel::cellsChanged(const QRect &cells)
{
    reportArea(cells);
}

void TvorGridModel::appearanceChanged()
{
    if (d->m_inChange) {
        d->m_pendingAppearance = true;
        return;
    }
    if (d->m_cols > 0) emit headerDataChanged(Qt::Horizontal, 0, d->m_cols - 1);
    reportArea(QRect(0, 0, d->m_cols, d->m_rows));
}

void TvorGridModel::reportArea(const QRect &cells, const QList<int> &roles)
{
    // Cells written inside a structural change are covered by its own notice: views
    // read inserted, moved and reordered lines again, and everything after a reset.
    if (d->m_inChange) return;
    const QRect shown = cells & QRect(0, 0, d->m_cols, d->m_rows);
    if (shown.isEmpty()) return;
    emit dataChanged(index(shown.top(), shown.left()), index(shown.bottom(), shown.right()), roles);
}

void TvorGridModel::linesAboutToChange(const TLineChange &change)
{
    d->m_inChange = true;
    const int count = change.rows() ? d->m_rows : d->m_cols;
    const bool rows = change.rows();
    d->m_begun = Private::Begun::Reset;
    switch (change.kind) {
    case TLineChange::Insert:
        if (change.first >= 0 && change.first <= count && change.last >= change.first) {
            if (rows)
                beginInsertRows({}, change.first, change.last);
            else
                beginInsertColumns({}, change.first, change.last);
            d->m_begun = Private::Begun::Insert;
            return;
        }
        break;
    case TLineChange::Remove:
        if (change.first >= 0 && change.last < count && change.last >= change.first) {
            if (rows)
                beginRemoveRows({}, change.first, change.last);
            else
                beginRemoveColumns({}, change.first, change.last);
            d->m_begun = Private::Begun::Remove;
            return;
        }
        break;
    case TLineChange::Move: {
        // Qt names the destination as the line before which the moved one lands.
        const int destination = change.last > change.first ? change.last + 1 : change.last;
        if (change.first >= 0 && change.first < count && change.last >= 0 && change.last < count) {
            const bool begun =
                rows ? beginMoveRows({}, change.first, change.first, {}, destination)
                     : beginMoveColumns({}, change.first, change.first, {}, destination);
            if (begun) {
                d->m_begun = Private::Begun::Move;
                return;
            }
        }
        break;
    }
    case TLineChange::Reorder:
        emit layoutAboutToBeChanged({}, rows ? QAbstractItemModel::VerticalSortHint
                                             : QAbstractItemModel::HorizontalSortHint);
        d->m_begun = Private::Begun::Layout;
        return;
    case TLineChange::Reset:
        break;
    }
    beginResetModel();
}

void TvorGridModel::linesChanged(const TLineChange &change)
{
    const int lines = change.last - change.first + 1;
    int &count = change.rows() ? d->m_rows : d->m_cols;
    switch (d->m_begun) {
    case Private::Begun::Insert:
        count += lines;
        change.rows() ? endInsertRows() : endInsertColumns();
        break;
    case Private::Begun::Remove:
        count -= lines;
        change.rows() ? endRemoveRows() : endRemoveColumns();
        break;
    case Private::Begun::Move:
        change.rows() ? endMoveRows() : endMoveColumns();
        break;
    case Private::Begun::Layout:
        if (change.completed) remapAfterReorder(change);
        emit layoutChanged({}, change.rows() ? QAbstractItemModel::VerticalSortHint
                                             : QAbstractItemModel::HorizontalSortHint);
        break;
    case Private::Begun::Reset:
        if (d->m_grid) {
            d->m_rows = d->m_grid->RowCount();
            d->m_cols = d->m_grid->ColCount();
        }
        endResetModel();
        break;
    case Private::Begun::Nothing:
        break;
    }
    const bool reset = std::exchange(d->m_begun, Private::Begun::Nothing) == Private::Begun::Reset;
    d->m_inChange = false;
    matchCounts();
    // A reset, and a change of the columns, cover the columns' descriptions changed
    // with them; a failed operation put the grid back, so no cell is what the change
    // said.
    const bool covered = change.completed && (reset || !change.rows());
    if (std::exchange(d->m_pendingAppearance, false) && !covered) appearanceChanged();
    if (!change.completed) appearanceChanged();
}

// Persistent indexes follow their lines: new line i is old line order[i].
void TvorGridModel::remapAfterReorder(const TLineChange &change)
{
    const QModelIndexList from = persistentIndexList();
    if (from.isEmpty() || !change.order) return;
    const std::vector<int> &order = *change.order;
    std::vector<int> newPlace(order.size(), -1);
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] >= 0 && size_t(order[i]) < order.size()) newPlace[size_t(order[i])] = int(i);
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &old : from) {
        const int line = change.rows() ? old.row() : old.column();
        const int moved = line >= 0 && size_t(line) < newPlace.size() ? newPlace[size_t(line)] : -1;
        const int target = moved >= 0 ? moved : line;
        to.append(change.rows() ? index(target, old.column()) : index(old.row(), target));
    }
    changePersistentIndexList(from, to);
}

void TvorGridModel::matchCounts()
{
    const int rows = d->m_grid ? d->m_grid->RowCount() : 0;
    const int cols = d->m_grid ? d->m_grid->ColCount() : 0;
    if (rows > d->m_rows) {
        beginInsertRows({}, d->m_rows, rows - 1);
        d->m_rows = rows;
        endInsertRows();
    } else if (rows < d->m_rows) {
        beginRemoveRows({}, rows, d->m_rows - 1);
        d->m_rows = rows;
        endRemoveRows();
    }
    if (cols > d->m_cols) {
        beginInsertColumns({}, d->m_cols, cols - 1);
        d->m_cols = cols;
        endInsertColumns();
    } else if (cols < d->m_cols) {
        beginRemoveColumns({}, cols, d->m_cols - 1);
        d->m_cols = cols;
        endRemoveColumns();
    }
}

void TvorGridModel::gridDestroyed()
{
    // Dropped before the reset: the views ask for data during it, and the grid is
    // only a QObject by now, so even reading it through the typed pointer is wrong.
    d->m_grid = nullptr;
    beginResetModel();
    d->m_rows = 0;
    d->m_cols = 0;
    d->m_inChange = false;
    d->m_begun = Private::Begun::Nothing;
    endResetModel();
}

} // namespace vorgrd
