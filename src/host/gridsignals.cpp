// The base's Qt signals: the structural-change bracket and the reports of the current
// cell and the selection. The property signals are emitted by the setters themselves.
#include "host/customgrid.h"
#include "host/eventguard.h"
#include "host/customgrid_p.h"

#include <exception>

namespace vorgrd {

TCustomGrid::LineChangeScope::LineChangeScope(TCustomGrid &grid, const TLineChange &change)
    : m_grid(&grid), m_change(change), m_outer(grid.d->lineChangeDepth == 0),
      m_exceptions(std::uncaught_exceptions())
{
    ++grid.d->lineChangeDepth;
    if (!m_outer) return;
    emit grid.linesAboutToChange(m_change);
    grid.LineChangeOpened(m_change);
}

TCustomGrid::LineChangeScope::~LineChangeScope()
{
    if (!m_grid) return;
    --m_grid->d->lineChangeDepth;
    if (!m_outer) return;
    m_change.completed = std::uncaught_exceptions() == m_exceptions;
    guardEvent("linesChanged", [&] { m_grid->LineChangeClosing(m_change); });
    if (!m_grid) return;
    // A receiver that throws while an exception is already on its way would end the
    // program; the signal is a notification, so its failure must not escape here.
    guardEvent("linesChanged", [&] { emit m_grid->linesChanged(m_change); });
}

void TCustomGrid::LineChangeOpened(const TLineChange &) {}

void TCustomGrid::LineChangeClosing(const TLineChange &) {}

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
