// TCustomGrid's view: scrolling, the current cell and the selection, geometry and hit
// testing, and the painting cycle.
#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace vorgrd {

using grid_internal::clampInt;
using grid_internal::plus;

namespace {

// Lines between ordinary cells and between fixed cells.
constexpr TColor LineColor = clSilver;
constexpr TColor FixedLineColor = clGray;

} // namespace

// ---- scrolling ------------------------------------------------------------------------------

int TCustomGrid::ClientWidth() const
{
    return viewport()->width();
}

int TCustomGrid::ClientHeight() const
{
    return viewport()->height();
}

int TCustomGrid::VertLineWidth() const
{
    return (d->options & (goFixedVertLine | goVertLine)) ? d->gridLineWidth : 0;
}

int TCustomGrid::HorzLineWidth() const
{
    return (d->options & (goFixedHorzLine | goHorzLine)) ? d->gridLineWidth : 0;
}

GridAxisLayout TCustomGrid::columnLayout() const
{
    return GridAxisLayout(d->cols, {d->fixedCols, d->leftCol, VertLineWidth(), ClientWidth(),
                                   layoutDirection() == Qt::RightToLeft});
}

GridAxisLayout TCustomGrid::rowLayout() const
{
    return GridAxisLayout(d->rows, {d->fixedRows, d->topRow, HorzLineWidth(), ClientHeight(), false});
}

void TCustomGrid::setLeftCol(int col)
{
    col = columnLayout().clampFirst(col);
    if (col == d->leftCol) return;
    d->leftCol = col;
    d->firstCellChanged();
}

void TCustomGrid::setTopRow(int row)
{
    row = rowLayout().clampFirst(row);
    if (row == d->topRow) return;
    d->topRow = row;
    d->firstCellChanged();
}

void TCustomGrid::Private::firstCellChanged()
{
    ++layoutGeneration;
    updateScrollBars();
    updateEditor();
    q.viewport()->update();
    q.TopLeftChanged();
}

int TCustomGrid::VisibleColCount() const
{
    return columnLayout().visibleCount();
}

int TCustomGrid::VisibleRowCount() const
{
    return rowLayout().visibleCount();
}

void TCustomGrid::Private::updateScrollBars()
{
    syncingScrollBars = true;
    QScrollBar *v = q.verticalScrollBar();
    v->setRange(fixedRows, q.rowLayout().maxFirst());
    v->setPageStep(std::max(1, q.VisibleRowCount()));
    v->setSingleStep(1);
    v->setValue(topRow);
    v->setTracking(options & goThumbTracking);
    QScrollBar *h = q.horizontalScrollBar();
    h->setRange(fixedCols, q.columnLayout().maxFirst());
    h->setPageStep(std::max(1, q.VisibleColCount()));
    h->setSingleStep(1);
    h->setValue(leftCol);
    h->setTracking(options & goThumbTracking);
    syncingScrollBars = false;
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (d->syncingScrollBars) return;
    d->guarded("scroll", [&] {
        setLeftCol(horizontalScrollBar()->value());
        setTopRow(verticalScrollBar()->value());
    });
}

void TCustomGrid::Private::scrollIntoView(int col, int row)
{
    q.setLeftCol(q.columnLayout().firstToShow(col));
    q.setTopRow(q.rowLayout().firstToShow(row));
}

// Keeps the current cell, the anchor and the scroll position valid after any change
// of counts, fixed bands or extents, and brings the view and the editor in step.
void TCustomGrid::Private::clampCurrent()
{
    auto clampCell = [this](TGridCoord &c) {
        c.X = std::clamp(c.X, fixedCols, q.ColCount() - 1);
        c.Y = std::clamp(c.Y, fixedRows, q.RowCount() - 1);
    };
    // An editor whose cell the current cell leaves (a fixed band now covers it) keeps
    // what was typed, as a move of the current cell does: it goes into its cell first.
    // (A count that dropped below the cell had it committed before it dropped.)
    TGridCoord target = current;
    clampCell(target);
    if (editorMode && !(target == current)) q.UpdateText();
    ++layoutGeneration;
    const TGridCoord before = current;
    clampCell(current);
    clampCell(anchor);
    if (editorMode && !(before == current)) {
        editorMode = false;
        if (inplaceEdit) inplaceEdit->hide();
    }
    leftCol = q.columnLayout().clampFirst(leftCol);
    topRow = q.rowLayout().clampFirst(topRow);
    updateScrollBars();
    updateEditor();
    q.viewport()->update();
    reportCursorChanges();
}

void TCustomGrid::resizeEvent(QResizeEvent *event)
{
    d->guarded("resize", [&] {
        QAbstractScrollArea::resizeEvent(event);
        d->clampCurrent();
    });
}

void TCustomGrid::wheelEvent(QWheelEvent *event)
{
    d->guarded("wheel", [&] {
        const QPoint delta = event->angleDelta();
        const bool sideways = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
        const int amount = delta.x() != 0 ? delta.x() : delta.y();
        const int steps = amount / 120 * 3;
        if (steps == 0 && amount != 0) {
            if (sideways)
                setLeftCol(d->leftCol - (amount > 0 ? 1 : -1));
            else
                setTopRow(d->topRow - (amount > 0 ? 1 : -1));
        } else if (sideways) {
            setLeftCol(plus(d->leftCol, -qint64(steps)));
        } else {
            setTopRow(plus(d->topRow, -qint64(steps)));
        }
    });
    event->accept();
}

// ---- current cell and selection --------------------------------------------------------

void TCustomGrid::setCol(int col)
{
    checkRange("", "Col", col, d->fixedCols, ColCount() - 1);
    d->moveCurrent(col, d->current.Y, true, true);
}

void TCustomGrid::setRow(int row)
{
    checkRange("", "Row", row, d->fixedRows, RowCount() - 1);
    d->moveCurrent(d->current.X, row, true, true);
}

bool TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    checkRange("", "Col", col, d->fixedCols, ColCount() - 1);
    checkRange("", "Row", row, d->fixedRows, RowCount() - 1);
    const TGridCoord before = d->current;
    d->moveCurrent(col, row, moveAnchor, true);
    return (col == before.X && row == before.Y) || !(d->current == before);
}

TGridRect TCustomGrid::Selection() const
{
    TGridRect r;
    if (d->options & goRangeSelect) {
        r.Left = std::min(d->anchor.X, d->current.X);
        r.Right = std::max(d->anchor.X, d->current.X);
        r.Top = std::min(d->anchor.Y, d->current.Y);
        r.Bottom = std::max(d->anchor.Y, d->current.Y);
    } else {
        r = TGridRect{d->current.X, d->current.Y, d->current.X, d->current.Y};
    }
    if (d->options & goRowSelect) {
        r.Left = d->fixedCols;
        r.Right = ColCount() - 1;
    }
    return r;
}

void TCustomGrid::setSelection(const TGridRect &rect)
{
    auto check = [this](int col, int row) {
        checkRange("", "Selection column", col, d->fixedCols, ColCount() - 1);
        checkRange("", "Selection row", row, d->fixedRows, RowCount() - 1);
    };
    check(rect.Left, rect.Top);
    check(rect.Right, rect.Bottom);
    d->moveCurrent(rect.Left, rect.Top, true, true);
    d->moveCurrent(rect.Right, rect.Bottom, false, true);
}

bool TCustomGrid::SelectCell(int ACol, int ARow)
{
    bool can = true;
    callHandler(OnSelectCell, this, ACol, ARow, can);
    return can;
}

void TCustomGrid::TopLeftChanged()
{
    callHandler(OnTopLeftChanged, this);
}

void TCustomGrid::Private::moveCurrent(int col, int row, bool moveAnchor, bool showCell)
{
    col = std::clamp(col, fixedCols, q.ColCount() - 1);
    row = std::clamp(row, fixedRows, q.RowCount() - 1);
    if (col != current.X || row != current.Y) {
        if (!q.SelectCell(col, row)) return;
        // The handler may have changed the counts or the fixed bands: the cell it
        // accepted is kept inside what the grid now holds.
        col = std::clamp(col, fixedCols, q.ColCount() - 1);
        row = std::clamp(row, fixedRows, q.RowCount() - 1);
        if (editorMode) q.UpdateText();
        current = TGridCoord{col, row};
        if (moveAnchor) anchor = current;
        if (showCell) scrollIntoView(col, row);
        afterCurrentMoved();
    } else {
        if (moveAnchor) anchor = current;
        if (showCell) scrollIntoView(col, row);
    }
    q.viewport()->update();
    reportCursorChanges();
}

void TCustomGrid::Private::afterCurrentMoved()
{
    if ((options & goAlwaysShowEditor) && (options & goEditing) && !designing) {
        const bool focusInGrid = q.hasFocus() || (inplaceEdit && inplaceEdit->hasFocus());
        if (editorMode && inplaceEdit) {
            inplaceEdit->UpdateContents();
            updateEditor();
            inplaceEdit->selectAll();
        } else if (focusInGrid) {
            q.ShowEditor();
        }
        return;
    }
    if (editorMode) {
        editorMode = false;
        if (inplaceEdit) {
            if (inplaceEdit->hasFocus()) q.setFocus(Qt::OtherFocusReason);
            inplaceEdit->hide();
        }
    }
}

// ---- geometry and hit testing -------------------------------------------------------------

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    return TGridCoord{columnLayout().cellAtView(x), rowLayout().cellAtView(y)};
}

QRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return QRect();
    if ((col >= d->fixedCols && col < d->leftCol) || (row >= d->fixedRows && row < d->topRow))
        return QRect();
    const GridAxisLayout h = columnLayout(), v = rowLayout();
    const qint64 x = h.start(col), y = v.start(row);
    if (x >= h.clientExtent() || y >= v.clientExtent()) return QRect();
    const int w = h.extent(col);
    return QRect(static_cast<int>(h.viewStart(x, w)), static_cast<int>(y), w, v.extent(row));
}

// The sizing rule shared with descendants that hit-test themselves: column borders
// are grabbed only inside the fixed rows and row borders only inside the fixed columns.
TCustomGrid::Private::Sizing TCustomGrid::Private::sizingAt(int x, int y) const
{
    const bool colSizing = (options & goColSizing) || designing;
    const bool rowSizing = (options & goRowSizing) || designing;
    if (!colSizing && !rowSizing) return Sizing{};
    const GridAxisLayout h = q.columnLayout(), v = q.rowLayout();
    const int lx = h.toLogical(x);
    const auto axis = sizingAxisAt(lx, y, h.fixedExtent(), v.fixedExtent(), colSizing, rowSizing);
    if (!axis) return Sizing{};
    const bool columns = *axis == Qt::Horizontal;
    const GridAxisLayout::Border b = columns ? h.borderAt(lx) : v.borderAt(y);
    return b.index < 0 ? Sizing{} : Sizing{columns ? gsColSizing : gsRowSizing, b.index, b.position, b.offset};
}

// ---- painting
// ------------------------------------------------------------------------------------

void TCustomGrid::paintEvent(QPaintEvent *event)
{
    if (d->painting) {
        // A handler made the grid paint inside its own paint: never recursively.
        viewport()->update();
        return;
    }
    QPainter painter(viewport());
    // System colours (clWindow, clBtnFace, ...) follow this grid's own palette.
    const SystemPaletteScope systemPalette(palette());
    QPainter *const outer = d->canvas.Painter();
    d->canvas.setPainter(&painter);
    d->painting = true;
    d->guarded("paint", [&] { d->paintView(painter, event->rect()); });
    d->painting = false;
    d->canvas.setPainter(outer);
}

namespace {

// A rectangle of logical column pixels in viewport pixels (mirrored on a reversed axis).
QRect inView(const GridAxisLayout &h, const QRect &logical)
{
    if (!h.reversed()) return logical;
    return QRect(static_cast<int>(h.viewStart(logical.x(), logical.width())), logical.y(),
                 logical.width(), logical.height());
}

} // namespace

void TCustomGrid::Private::paintView(QPainter &painter, const QRect &clip)
{
    const quint64 generation = layoutGeneration;
    const GridAxisLayout h = q.columnLayout(), v = q.rowLayout();
    const int vlw = h.lineWidth(), hlw = v.lineWidth();
    const int cw = h.clientExtent(), ch = v.clientExtent();
    // Only the columns and rows in view are walked, and lines of no pixels are
    // stepped over by offset: painting costs the same for 100 rows as for 10,000,000,
    // whatever their heights.
    std::vector<std::pair<int, int>> shownCols, shownRows;
    const qint64 x = h.forEachShown([&](int c, qint64 at) { shownCols.emplace_back(c, int(at)); });
    const qint64 y = v.forEachShown([&](int r, qint64 at) { shownRows.emplace_back(r, int(at)); });
    const int xEnd = static_cast<int>(std::min<qint64>(x, cw));
    const int yEnd = static_cast<int>(std::min<qint64>(y, ch));

    for (const auto &[r, ry] : shownRows) {
        const int rh = v.extent(r);
        for (const auto &[c, cx] : shownCols) {
            const int w = h.extent(c);
            const QRect logical(cx, ry, w, rh);
            if (!inView(h, logical.adjusted(0, 0, vlw, hlw)).intersects(clip)) continue;
            if (w > 0 && rh > 0) paintCell(c, r, inView(h, logical));
            if (generation != layoutGeneration) {
                // A handler changed the counts, sizes or scrolling: the cells left
                // to paint may be gone. Stop here; the scheduled paint shows the rest.
                q.viewport()->update();
                return;
            }
            paintLines(painter, c, r, logical, h, hlw);
        }
    }
    const QColor background = ColorToQColor(color);
    if (xEnd < cw) painter.fillRect(inView(h, QRect(xEnd, 0, cw - xEnd, ch)), background);
    if (yEnd < ch) painter.fillRect(inView(h, QRect(0, yEnd, xEnd, ch - yEnd)), background);
    if ((gridState == gsColMoving || gridState == gsRowMoving) && moveTo >= 0 &&
        moveTo != moveFrom && dragStillValid())
        paintMoveMark(painter, h, v, xEnd, yEnd);
}

void TCustomGrid::Private::paintMoveMark(QPainter &painter, const GridAxisLayout &h,
                                         const GridAxisLayout &v, int xEnd, int yEnd) const
{
    const bool column = gridState == gsColMoving;
    const GridAxisLayout &axis = column ? h : v;
    const qint64 at =
        moveTo > moveFrom ? axis.start(moveTo) + axis.extent(moveTo) : axis.start(moveTo);
    const QRect mark = column ? QRect(static_cast<int>(at) - 1, 0, 3, yEnd)
                              : QRect(0, static_cast<int>(at) - 1, xEnd, 3);
    painter.fillRect(inView(h, mark), ColorToQColor(clHighlight));
}

void TCustomGrid::Private::paintCell(int col, int row, const QRect &rect)
{
    TGridDrawState state;
    const bool fixed = col < fixedCols || row < fixedRows;
    bool focused = false;
    if (fixed) {
        state |= gdFixed;
    } else {
        focused = col == current.X && row == current.Y;
        if (focused) state |= gdFocused;
        if (q.Selection().contains(col, row) &&
            (!focused || (options & (goDrawFocusSelected | goRowSelect))))
            state |= gdSelected;
    }
    canvas.Font().Assign(font);
    canvas.Brush().setStyle(bsSolid);
    if (fixed) {
        canvas.Brush().setColor(fixedColor);
    } else if (state & gdSelected) {
        canvas.Brush().setColor(clHighlight);
        canvas.Font().setColor(clHighlightText);
    } else {
        canvas.Brush().setColor(color);
    }
    if (defaultDrawing) canvas.FillRect(rect);
    // One failing cell must not stop the others from painting.
    guardEvent("DrawCell", [&] { q.DrawCell(col, row, rect, state); });
    if (defaultDrawing && focused && !(options & goRowSelect) &&
        !(editorMode && inplaceEdit && inplaceEdit->isVisible()))
        canvas.DrawFocusRect(rect);
}

void TCustomGrid::Private::paintLines(QPainter &painter, int col, int row,
                                      const QRect &logical, const GridAxisLayout &h, int hlw) const
{
    const int vlw = h.lineWidth();
    const bool fixed = col < fixedCols || row < fixedRows;
    const QColor background = ColorToQColor(fixed ? fixedColor : color);
    const QColor line = ColorToQColor(fixed ? FixedLineColor : LineColor);
    // The line after a cell in logical pixels; on a reversed axis it stands before the
    // cell in the viewport.
    if (vlw > 0) {
        const bool on = options & (fixed ? goFixedVertLine : goVertLine);
        const QRect r(logical.x() + logical.width(), logical.y(), vlw, logical.height() + hlw);
        painter.fillRect(inView(h, r), on ? line : background);
    }
    if (hlw > 0) {
        const bool on = options & (fixed ? goFixedHorzLine : goHorzLine);
        const QRect r(logical.x(), logical.y() + logical.height(), logical.width(), hlw);
        painter.fillRect(inView(h, r), on ? line : background);
    }
}

void TCustomGrid::Refresh()
{
    Repaint();
}

void TCustomGrid::Repaint()
{
    if (d->painting)
        viewport()->update(); // asked from inside a paint: later, never recursively
    else
        viewport()->repaint();
}

void TCustomGrid::InvalidateCell(int col, int row)
{
    const QRect r = CellRect(col, row);
    if (!r.isEmpty()) viewport()->update(r.adjusted(0, 0, VertLineWidth(), HorzLineWidth()));
}

void TCustomGrid::InvalidateGrid()
{
    viewport()->update();
}

} // namespace vorgrd
