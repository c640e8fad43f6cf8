#pragma once
// What assistive technology (screen readers, magnifiers, test robots) sees of a
// tvorgrid: a table whose cells say what they show. Private: applications reach it
// through QAccessible::queryAccessibleInterface(grid); the factory that makes it is
// installed when the application object is created.
//
// Table coordinates. The header rows (the fixed rows, and row 0 while showtitles is
// on) are the column headers and the fixed columns the row headers; the table's rows
// and columns are the others, so table cell (r, c) is grid cell
// (c + FixedCols, r + header rows). As children, every grid cell counts, headers
// included, in row-major order: child i is grid cell (i mod ColCount, i div ColCount).
//
// A cell's interface names its grid cell by coordinates and reads the grid on every
// question, so it never holds stale text; it is invalid once its cell lies beyond the
// counts or the grid is gone.

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <functional>

namespace vorgrd {

class tvorgrid;

class AccessibleGrid : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit AccessibleGrid(tvorgrid *grid);
    ~AccessibleGrid() override;

    tvorgrid *grid() const;
    // The interface of grid cell (col, row), made on first use and kept; null outside
    // the counts.
    QAccessibleInterface *cellInterface(int col, int row) const;
    // The `count` interfaces cell(0), cell(1), ... (each made by cellInterface or
    // cellAt) as one answer: none of them is deleted while the list is built (the
    // cache is dropped before the list starts when it would pass its limit, never
    // midway).
    QList<QAccessibleInterface *>
    cellList(qsizetype count, const std::function<QAccessibleInterface *(qsizetype)> &cell) const;
    int headerRows() const;

    // QAccessibleInterface
    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override;
    QAccessibleInterface *summary() const override;
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

private:
    // The selection in table coordinates; false when it lies wholly in the headers.
    bool selectedBody(int &left, int &top, int &right, int &bottom) const;
    void dropCells() const;

    // Ids of the cell interfaces made so far, by (row << 32 | col).
    mutable QHash<quint64, QAccessible::Id> m_cells;
    // Set while cellList builds a list: the cache grows instead of being dropped.
    mutable bool m_listing = false;
};

class AccessibleGridCell : public QAccessibleInterface,
                           public QAccessibleTableCellInterface,
                           public QAccessibleActionInterface
{
public:
    AccessibleGridCell(tvorgrid *grid, int col, int row);

    int gridCol() const { return m_col; }
    int gridRow() const { return m_row; }

    // QAccessibleInterface
    bool isValid() const override;
    QObject *object() const override;
    QWindow *window() const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override;
    // Body cells count from the first table column (row); header cells by their
    // place in the header band.
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override;
    QAccessibleInterface *table() const override;

    // QAccessibleActionInterface: a check-box cell can be toggled (with goEditing).
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    bool isColumnHeader() const;
    bool isRowHeader() const;
    bool isCheckBox() const;
    bool isEditable() const;

    QPointer<tvorgrid> m_grid;
    int m_col;
    int m_row;
};

} // namespace vorgrd
