// The base's Qt signals: the hooks of the change pipeline and the reports of the current
// cell and the selection. The property signals are emitted by the setters themselves.
#include "host/customgrid.h"
#include "host/eventguard.h"
#include "host/customgrid_p.h"

namespace vorgrd {

void TCustomGrid::EditOpened() {}

void TCustomGrid::EditClosing(const TLineChange *) {}

CellStore *TCustomGrid::EditableCells()
{
    return nullptr;
}

void TCustomGrid::CellsWritten(const QRect &) {}

void TCustomGrid::noteContentChanged() noexcept
{
    ++d->contentGeneration;
}

quint64 TCustomGrid::ContentGeneration() const
{
    return d->contentGeneration;
}

void TCustomGrid::Private::reportCursorChanges()
{
    // Compared with what was last reported rather than emitted at each write: the
    // current cell and the anchor are written in several places (moves, clamping
    // after count changes, line moves), and one report per change is what a
    // receiver wants.
    const TGridCoord now = current;
    const TGridCoord previous = reportedCurrent;
    const TGridRect selection = q.Selection();
    const bool cellMoved = !(now == previous);
    const bool selectionMoved = !(selection == reportedSelection);
    reportedCurrent = now;
    reportedSelection = selection;
    if (cellMoved) emit q.currentCellChanged(now.X, now.Y, previous.X, previous.Y);
    if (selectionMoved) emit q.selectionChanged();
}

} // namespace vorgrd

namespace vorgrd {

void TCustomGrid::markKeyUsed()
{
    d->keyUsed = true;
}

} // namespace vorgrd
