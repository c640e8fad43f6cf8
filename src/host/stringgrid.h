#pragma once
// TStringGrid: the grid with a text and an object per cell, kept in a sparse
// CellStore. Any cell with non-negative indices may be written, also beyond the
// counts: it is kept, and shows once the counts grow; shrinking the counts keeps the
// cells beyond them. A negative index raises ERangeError with nothing changed.
//
// Rows(i) and Cols(i) are string-list views of one row or column: item k of Rows(i)
// is cell (k, i), of Cols(i) cell (i, k); Count is ColCount (RowCount). Writing an
// item writes the cell; Assign copies the texts and objects of another list (items
// beyond the view's Count land in cells beyond the counts, view items beyond the
// source's count are emptied); Clear empties the view's cells. A view cannot insert or
// delete items (EListError): a grid line always has Count cells.

#include "host/vorgrdexport.h"
#include "host/cellstore.h"
#include "host/drawgrid.h"
#include "host/gridedit.h"
#include "host/gridcellreader.h"
#include "host/strings.h"

#include <QPointer>
#include <QRect>

#include <memory>

namespace vorgrd {

class TStringGrid;

class VORGRD_EXPORT TStringGridStrings : public TStrings
{
public:
    enum Kind
    {
        RowView,
        ColView
    };
    TStringGridStrings(TStringGrid *grid, Kind kind, int index);

    QString Get(int index) const override;
    int GetCount() const override;
    void *GetObject(int index) const override;
    void Put(int index, const QString &text) override;
    void PutObject(int index, void *object) override;
    void Insert(int index, const QString &text) override;
    void Delete(int index) override;
    void Clear() override;
    void Assign(const TStrings &source) override;

private:
    int col(int item) const { return m_kind == RowView ? item : m_index; }
    int row(int item) const { return m_kind == RowView ? m_index : item; }
    TStringGrid *m_grid;
    Kind m_kind;
    int m_index;
};

class VORGRD_EXPORT TStringGrid : public TDrawGrid, public GridCellReader
{
    Q_OBJECT
public:
    explicit TStringGrid(QWidget *parent = nullptr);
    ~TStringGrid() override;

    QString Cells(int ACol, int ARow) const;
    // Writes the text; a visible cell is repainted, and an editor open on the cell
    // shows the new text. A cell may lie beyond the counts, but its column not beyond
    // the column cap (0 .. MaxColCount()-1) nor the store's MaxWriteColumn, and its
    // row not beyond CellStore::MaxWriteRow, else ERangeError; running out of memory
    // raises Exception. Either way nothing changed.
    void setCells(int ACol, int ARow, const QString &text);
    void *Objects(int ACol, int ARow) const;
    void setObjects(int ACol, int ARow, void *object);
    // Views of row i (column i); i >= 0, else ERangeError.
    TStringGridStrings Rows(int i);
    TStringGridStrings Cols(int i);

    // ---- cell signals (host/stringgrid.cpp) ------------------------------------------
    // cellChanged reports one cell inside the counts written through setCells, the
    // row and column views or the in-place editor. Bulk operations report once with
    // cellsChanged, a rectangle in cell coordinates (x = column, y = row, clipped to
    // the counts) covering every cell they may have changed. Cells written beyond the
    // counts are not reported: they show, and are reported, when the counts grow.
    // Objects are not reported.
Q_SIGNALS:
    void cellChanged(int col, int row);
    void cellsChanged(const QRect &cells);

public:
    // Write many cells with one report: open a GridEdit (host/gridedit.h) around the
    // writes. (end of cell signals)

    // The cells, to read in bulk (exports, searches, sorts). Writes go through a
    // GridEdit, which reports and repaints them.
    const CellStore &cellStore() const;

    // GridCellReader: empty text for any pair outside the store's indices.
    QString CellText(int col, int row) const override;
    int CurrentCol() const override { return Col(); }
    int CurrentRow() const override { return Row(); }

protected:
    // Refuses a write that setCells would refuse (ERangeError naming `operation`):
    // for an operation that writes many cells and must refuse before the first.
    void checkCellWrite(const char *operation, int col, int row) const;

    // With DefaultDrawing, writes the cell's text (2 pixels in from the top-left
    // corner, clipped to the cell), then fires OnDrawCell.
    void DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState) override;
    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString &Value) override;
    // Move the line's cells (texts and objects), shifting the lines between.
    void RowMoved(int FromIndex, int ToIndex) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // Refuses a move past the store's write limits.
    void CheckMoveLine(bool Column, int FromIndex, int ToIndex) const override;
    // An open edit gathers the cell reports made during it into one cellsChanged when
    // the outermost edit closes; a structural edit that replaced the content (Reset)
    // reports every cell, so that a receiver of cellsChanged alone sees it too.
    void EditOpened() override;
    void EditClosing(const TLineChange *reported) override;
    CellStore *EditableCells() override;
    void CellsWritten(const QRect &cells) override;

private:
    friend class TStringGridStrings;
    // The cells and the batch state, with their helpers (stringgrid_p.h).
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
