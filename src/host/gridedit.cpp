#include "host/gridedit.h"
#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/eventguard.h"
#include "host/exceptions.h"

#include <exception>

namespace vorgrd {

GridEdit::GridEdit(TCustomGrid &grid) : m_grid(&grid), m_unwinding(std::uncaught_exceptions())
{
    grid.EditOpened();
}

GridEdit::GridEdit(TCustomGrid &grid, const TLineChange &change)
    : m_grid(&grid), m_unwinding(std::uncaught_exceptions()), m_structural(true)
{
    if (grid.d->lineChangeDepth++ == 0) {
        // Nothing has changed yet: a receiver that refuses (throws) or destroys the
        // grid ends the operation here, with the depth as it was. Not the event guard:
        // the refusal is the caller's to see.
        try {
            emit grid.linesAboutToChange(change);
        } catch (...) {
            if (m_grid) --grid.d->lineChangeDepth;
            throw;
        }
        if (!m_grid) TCustomGrid::destroyedByHandler();
        m_change = change;
    }
    grid.EditOpened();
}

GridEdit::~GridEdit()
{
    const bool failed = std::uncaught_exceptions() > m_unwinding || (!m_committed && !m_undo.empty());
    if (!m_committed) runFailureSteps();
    if (!m_grid) return;
    if (m_structural) --m_grid->d->lineChangeDepth;
    m_grid->noteContentChanged();
    const TLineChange *reported = nullptr;
    if (m_change) {
        m_change->completed = !failed;
        reported = &*m_change;
    }
    // Receivers are notified, also on the way out of a failed operation (what it wrote
    // or put back must reach them); a receiver that throws while an exception is on
    // its way would end the program, so its failure goes to the event guard.
    guardEvent("cellsChanged", [&] { m_grid->EditClosing(reported); });
    if (!m_grid || !m_change) return;
    guardEvent("linesChanged", [&] { emit m_grid->linesChanged(*m_change); });
}

CellStore &GridEdit::store()
{
    if (!m_grid) TCustomGrid::destroyedByHandler();
    CellStore *cells = m_grid->EditableCells();
    if (!cells) throw Exception(QStringLiteral("GridEdit::store: this grid keeps no cells"));
    return *cells;
}

void GridEdit::cellsWritten(const QRect &cells)
{
    if (m_grid) m_grid->CellsWritten(cells);
}

void GridEdit::onFailure(std::function<void()> undo)
{
    m_undo.push_back(std::move(undo));
}

void GridEdit::commit() noexcept
{
    m_committed = true;
    m_undo.clear();
}

void GridEdit::runFailureSteps() noexcept
{
    // Through the event guard: a step that fails is reported and skipped, and the
    // exception the caller sees stays the original one.
    for (auto step = m_undo.rbegin(); step != m_undo.rend(); ++step)
        guardEvent("undo step", [&] { (*step)(); });
    m_undo.clear();
}

} // namespace vorgrd
