#pragma once
// GridAxisLayout: where the cells of one axis (the columns or the rows) stand in a
// viewport, and the questions the grid asks about them. It plays the part QHeaderView
// plays for one orientation of QTableView, without a widget.
//
// An axis is laid out from its leading edge: first the fixed cells 0 .. fixedCount-1,
// then the scrollable cells from `first` on. Every cell is followed by a line of
// lineWidth pixels. The client extent is the viewport's width (height). A reversed
// axis runs from the far edge of the viewport (the columns of a right-to-left
// widget): leading-edge pixels ("logical" below) are mirrored into viewport pixels
// ("view" below) only by toLogical and viewStart, so every other query is written
// once for both directions.
//
// A layout is a small value over the extents it reads (GridAxis) and the placement
// the grid holds (fixed count, first cell, line width, client extent, direction).
// The grid builds one from its state for each question, so the client extent and
// the direction can never be stale; the extents must outlive the layout.
//
// Cost: every query is O(log n log k) in the count n and the k individual extents,
// except the walks (forEachShown, borderAt), which cost the cells in view: lines of
// no pixels are stepped over by offset, so a view of zero-height rows costs what the
// visible ones cost.

#include "host/gridaxis.h"
#include "host/vorgrdexport.h"

#include <QtGlobal>
#include <QtCore/qnamespace.h>

#include <optional>

namespace vorgrd {

class VORGRD_EXPORT GridAxisLayout
{
public:
    struct Placement
    {
        int fixedCount = 0;
        int first = 0;        // the first scrollable cell shown
        int lineWidth = 0;    // the line width in effect on this axis
        int clientExtent = 0; // viewport pixels along the axis
        bool reversed = false;
    };

    // A border under a point (borderAt): the cell whose trailing border it is, the
    // border's logical pixel and the border's distance from the point.
    struct Border
    {
        int index = -1; // -1: no border there
        int position = 0;
        int offset = 0;
    };

    GridAxisLayout(const GridAxis &extents, const Placement &placement);

    const GridAxis &extents() const { return *m_extents; }
    const Placement &placement() const { return m_place; }
    int count() const { return m_extents->count(); }
    int fixedCount() const { return m_place.fixedCount; }
    int first() const { return m_place.first; }
    int lineWidth() const { return m_place.lineWidth; }
    int clientExtent() const { return m_place.clientExtent; }
    bool reversed() const { return m_place.reversed; }
    int extent(int cell) const { return m_extents->extent(cell); }

    // ---- logical pixels ------------------------------------------------------------
    // Pixels taken by the fixed cells and their lines: where the scrollable cells begin.
    int fixedExtent() const;
    // The leading pixel of a cell: fixed cells from 0, scrollable ones from
    // fixedExtent() with `first` there (cells before `first` get negative starts).
    qint64 start(int cell) const;
    // The cell shown at a logical pixel: a fixed cell before fixedExtent(), else a
    // scrollable one from `first` on; -1 before the axis or beyond its last cell.
    int cellAt(qint64 pos) const;
    // The line border grabbed at a logical pixel by a sizing press: the trailing border
    // of a scrollable cell in view, within a zone of at least 7 pixels (3 before to 4
    // after a border with lines of 1), or the client edge when it cuts a cell.
    Border borderAt(int pos) const;

    // ---- scrolling -----------------------------------------------------------------
    // Scrollable cells shown whole from `first`; at least 0.
    int visibleCount() const;
    // The smallest first cell from which `last` is still shown whole (at least the
    // fixed count).
    int firstShowing(int last) const;
    // The largest useful first cell: from it on the last cell is shown whole.
    int maxFirst() const;
    // `first` kept within fixedCount .. maxFirst().
    int clampFirst(int first) const;
    // The first cell that brings `cell` into view with the least scrolling (the
    // current first when the cell is fixed or already shown whole).
    int firstToShow(int cell) const;

    // ---- walking the cells in view -------------------------------------------------
    // Calls f(cell, logicalStart) for the fixed cells, then for the scrollable cells
    // from `first`, each band while it starts inside the client extent; cells of no
    // pixels are skipped. Returns where the last band walked ends (logical, may pass
    // the client extent).
    template <class F> qint64 forEachShown(F &&f) const
    {
        walkBand(0, m_place.fixedCount, 0, f);
        return walkBand(m_place.first, count(), fixedExtent(), f);
    }

    // ---- view pixels ---------------------------------------------------------------
    // A viewport pixel as a logical one (and back: the mapping is its own inverse).
    int toLogical(int viewPos) const
    {
        return m_place.reversed ? m_place.clientExtent - 1 - viewPos : viewPos;
    }
    // The viewport pixel where a logical span [logicalStart, logicalStart + length)
    // begins.
    qint64 viewStart(qint64 logicalStart, qint64 length) const
    {
        return m_place.reversed ? m_place.clientExtent - logicalStart - length : logicalStart;
    }
    // The cell under a viewport pixel (cellAt of its logical pixel).
    int cellAtView(int viewPos) const { return cellAt(toLogical(viewPos)); }

private:
    template <class F> qint64 walkBand(int from, int end, qint64 at, F &f) const
    {
        const int lw = m_place.lineWidth;
        for (int i = m_extents->nextShown(from, lw); i < end && at < m_place.clientExtent;
             i = m_extents->nextShown(i + 1, lw)) {
            f(i, at);
            at += m_extents->extent(i) + lw;
        }
        return at;
    }

    const GridAxis *m_extents;
    Placement m_place;
};

// The one rule for which border a press may grab, at logical x (the fixed columns at
// 0) and y, given where the fixed bands end: a column border only inside the fixed
// rows and past the fixed columns, a row border only inside the fixed columns and
// below the fixed rows. Qt::Horizontal for a column border, Qt::Vertical for a row
// border, nullopt for none.
VORGRD_EXPORT std::optional<Qt::Orientation> sizingAxisAt(int logicalX, int y, int fixedColsEnd, int fixedRowsEnd,
                                                          bool colSizing, bool rowSizing);

} // namespace vorgrd
