#pragma once
// GridEdit: the one way a change to a grid's content or lines is made and reported.
// Held for the scope of an operation, as QSignalBlocker holds a block of signals:
//
//     GridEdit edit(grid);                      // a change of cells
//     CellStore &cells = edit.store();          // bulk writes go through the store
//     ... write cells ...
//     edit.cellsWritten(QRect(col, row, w, h)); // what the writes covered
//                                               // closing: one cellsChanged, one repaint
//
//     GridEdit edit(grid, TLineChange::lines(TLineChange::Insert, Qt::Vertical, 4, 6));
//     edit.onFailure([&] { ...take back a step... });
//     ... the structural change, which may throw ...
//     edit.commit();                            // the change stands
//
// What an edit promises:
// - Edits nest; the outermost speaks for all. The cell writes made while any edit is
//   open (through setCells, the Rows/Cols views, the editor or store()) reach
//   cellChanged/cellsChanged receivers as one cellsChanged when the outermost edit
//   closes, covering every cell written inside the counts; the grid repaints once.
// - A structural edit (with a TLineChange) reports linesAboutToChange when it opens
//   and linesChanged when it closes; the cells it gathered are reported before
//   linesChanged, and a Reset reports every cell. Inside another structural edit the
//   outer one reports for both. linesChanged says completed = false when the edit was
//   left by an exception.
// - Steps given to onFailure run in reverse order when the edit closes without
//   commit() (the operation threw or returned early); a step that fails itself is
//   skipped, so the exception the caller sees is the original one. They run before
//   the closing reports, so receivers see the grid as it was put back.
// - Every edit bumps the grid's ContentGeneration when it closes: two equal readings
//   of it mean no edit (and no single write) came between them.
// - Nothing escapes the destructor: a receiver that throws while the edit closes is
//   reported by the event guard. A receiver may even destroy the grid: the edit then
//   closes silently.

#include "host/vorgrdexport.h"
#include "host/linechange.h"

#include <QPointer>
#include <QRect>

#include <functional>
#include <optional>
#include <vector>

namespace vorgrd {

class CellStore;
class TCustomGrid;

class VORGRD_EXPORT GridEdit
{
public:
    explicit GridEdit(TCustomGrid &grid);
    GridEdit(TCustomGrid &grid, const TLineChange &change);
    ~GridEdit();
    GridEdit(const GridEdit &) = delete;
    GridEdit &operator=(const GridEdit &) = delete;

    // Write access to the grid's cells. Writes through it report and repaint nothing
    // by themselves: name what they covered with cellsWritten (a Reset covers every
    // cell). Raises EInvalidOperation on a grid that keeps no cells.
    CellStore &store();
    // Adds cells (cell coordinates, any size; clipped to the counts when reported) to
    // what the outermost edit reports.
    void cellsWritten(const QRect &cells);
    // Registers a step that takes back part of the change (see above).
    void onFailure(std::function<void()> undo);
    // The change stands: the registered steps are dropped.
    void commit() noexcept;

private:
    void runFailureSteps() noexcept;

    QPointer<TCustomGrid> m_grid;
    std::optional<TLineChange> m_change; // set on the structural edit that reports it
    std::vector<std::function<void()>> m_undo;
    int m_unwinding; // exceptions in flight when the edit opened
    bool m_structural = false;
    bool m_committed = false;
};

} // namespace vorgrd
