#pragma once
// TvorGridModel: a tvorgrid's cells as a Qt item model, so that a QTableView, a
// QSortFilterProxyModel or a QDataWidgetMapper can show and edit them
// (docs/model.md).
//
//   rows, columns       every grid row and column, the fixed ones included
//                       (index (r, c) is cell (c, r))
//   Qt::DisplayRole     what the grid shows: DisplayText (formatted numbers and
//                       dates, formula values, the title row's captions)
//   Qt::EditRole        the raw cell text
//   Qt::CheckStateRole  in check-box columns (outside the title row): Checked when
//                       the text is not empty
//   alignment, colours  the column's (the title's in the title row): alignment and
//   and font            vertical alignment, background, text colour, font
//   horizontal header   the column's title caption (its columnName when the caption
//                       is empty); vertical header the row number from 1
//
// setData writes the cell (EditRole or DisplayRole: the text; CheckStateRole: "Y"
// or the empty text), refusing read-only columns. Every change of the grid reaches
// the model's users: cells as dataChanged, counts and row and column operations as
// rows/columns inserted, removed and moved, complete-line sorts as layoutChanged,
// loads as a model reset, column descriptions as headerDataChanged and dataChanged.
//
// The model does not own the grid; when the grid is destroyed the model becomes
// empty (a reset).

#include <QAbstractTableModel>
#include <QRect>

#include <memory>

#include "host/vorgrdexport.h"
#include "host/linechange.h"

namespace vorgrd {

class tvorgrid;

class VORGRD_EXPORT TvorGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TvorGridModel(tvorgrid *grid, QObject *parent = nullptr);
    ~TvorGridModel() override;

    // The grid shown; none once it is destroyed.
    tvorgrid *grid() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void connectGrid();
    void cellChanged(int col, int row);
    void cellsChanged(const QRect &cells);
    void linesAboutToChange(const TLineChange &change);
    void linesChanged(const TLineChange &change);
    void appearanceChanged();
    void gridDestroyed();
    // Brings the model's counts to the grid's with inserts or removals at the end
    // (after a change the grid could not announce exactly).
    void matchCounts();
    void reportArea(const QRect &cells, const QList<int> &roles = {});
    void remapAfterReorder(const TLineChange &change);
    bool isCheckCell(int col, int row) const;
    QVariant titleOrColumnRole(int col, int row, int role) const;

    // The grid and the counts the model's users know (gridmodel_p.h).
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
