#include "host/customgrid.h"
#include "host/customgrid_p.h"

#include "host/gridedit.h"
#include "host/eventguard.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QScopedValueRollback>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <tuple>
#include <vector>

// Sections: construction | counts and extents | appearance | scrolling | current cell
// and selection | geometry and hit testing | painting | mouse | keyboard | editor |
// moving lines | hooks

namespace vorgrd {

namespace {

// Lines between ordinary cells and between fixed cells.
constexpr TColor LineColor = clSilver;
constexpr TColor FixedLineColor = clGray;

int movedIndex(int index, int from, int to)
{
    if (index == from) return to;
    if (from < to && index > from && index <= to) return index - 1;
    if (to < from && index >= to && index < from) return index + 1;
    return index;
}

int clampInt(qint64 value, int low, int high)
{
    return static_cast<int>(std::clamp<qint64>(value, low, high));
}

// Index arithmetic that cannot overflow near INT_MAX lines.
int plus(int index, qint64 delta)
{
    return clampInt(index + delta, INT_MIN, INT_MAX);
}

// The cell a selecting drag reaches at a logical pixel: past either edge of the
// scrollable cells it scrolls by one line per move.
int dragTarget(const GridAxisLayout &axis, int point)
{
    const int client = axis.clientExtent();
    int cell = axis.cellAt(std::clamp(point, 0, std::max(0, client - 1)));
    if (cell < 0) cell = axis.count() - 1;
    if (point < axis.fixedExtent() || cell < axis.fixedCount())
        return std::max(axis.fixedCount(), axis.first() - 1);
    if (point >= client) return std::min(axis.count() - 1, plus(axis.first(), axis.visibleCount()));
    return cell;
}


// Where Tab (Shift+Tab) moves the current cell: along the row, wrapping to the next
// (previous) row, stopping at the last (first) cell.
std::pair<int, int> tabTarget(int c, int r, bool back, int firstC, int lastC, int firstR,
                              int lastR)
{
    if (back) {
        if (c > firstC) return {c - 1, r};
        if (r > firstR) return {lastC, r - 1};
    } else {
        if (c < lastC) return {c + 1, r};
        if (r < lastR) return {firstC, r + 1};
    }
    return {c, r};
}

} // namespace

template <class Work> void TCustomGrid::Private::guarded(const char *handler, Work &&work)
{
    const QPointer<TCustomGrid> alive(&q);
    guardEvent(handler, static_cast<Work &&>(work), [&] {
        if (alive) q.resetDrag();
    });
}

void TCustomGrid::destroyedByHandler()
{
    throw Exception(QStringLiteral(
        "The grid was destroyed by one of its own handlers; destroy it with deleteLater()"));
}

void TCustomGrid::setCountLimits(int maxCols, int maxRows)
{
    checkRange("setCountLimits", "column limit", maxCols, ColCount(), DefaultMaxColCount);
    checkRange("setCountLimits", "row limit", maxRows, RowCount(), DefaultMaxRowCount);
    d->maxColCount = maxCols;
    d->maxRowCount = maxRows;
}

// ---- construction ------------------------------------------------------------------

TCustomGrid::TCustomGrid(QWidget *parent)
    : PropertyWriteGuard<QAbstractScrollArea>(parent), d(std::make_unique<Private>(*this))
{
    d->font = new TFont(this);
    d->cols.setDefaultExtent(64);
    d->cols.setCount(d->askedColCount);
    d->rows.setDefaultExtent(24);
    d->rows.setCount(d->askedRowCount);
    d->options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    d->font->OnChange = [this](TFont *) { d->applyFontChange(); };
    // A grid made inside a parent starts from the font the parent passes down.
    d->syncingFont = true;
    d->font->setQFont(font());
    d->syncingFont = false;
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setScrollBars(ssBoth);
}

TCustomGrid::~TCustomGrid()
{
    // The editor goes first, while the grid it reports to is still whole: losing the
    // focus would otherwise make it commit into a half-destroyed grid.
    d->editorMode = false;
    delete d->inplaceEdit;
}

// ---- plain accessors ------------------------------------------------------------------

int TCustomGrid::ColCount() const
{
    return d->cols.count();
}

int TCustomGrid::RowCount() const
{
    return d->rows.count();
}

int TCustomGrid::FixedCols() const
{
    return d->fixedCols;
}

int TCustomGrid::FixedRows() const
{
    return d->fixedRows;
}

int TCustomGrid::MaxColCount() const
{
    return d->maxColCount;
}

int TCustomGrid::MaxRowCount() const
{
    return d->maxRowCount;
}

int TCustomGrid::DefaultColWidth() const
{
    return d->cols.defaultExtent();
}

int TCustomGrid::DefaultRowHeight() const
{
    return d->rows.defaultExtent();
}

int TCustomGrid::GridLineWidth() const
{
    return d->gridLineWidth;
}

TColor TCustomGrid::Color() const
{
    return d->color;
}

TColor TCustomGrid::FixedColor() const
{
    return d->fixedColor;
}

TGridOptions TCustomGrid::Options() const
{
    return d->options;
}

TScrollStyle TCustomGrid::ScrollBars() const
{
    return d->scrollBars;
}

bool TCustomGrid::DefaultDrawing() const
{
    return d->defaultDrawing;
}

void TCustomGrid::setDefaultDrawing(bool value)
{
    if (value == d->defaultDrawing) return;
    d->defaultDrawing = value;
    emit defaultDrawingChanged();
}

int TCustomGrid::LeftCol() const
{
    return d->leftCol;
}

int TCustomGrid::TopRow() const
{
    return d->topRow;
}

int TCustomGrid::Col() const
{
    return d->current.X;
}

int TCustomGrid::Row() const
{
    return d->current.Y;
}

TGridState TCustomGrid::GridState() const
{
    return d->gridState;
}

void TCustomGrid::setGridState(TGridState state)
{
    d->gridState = state;
}

bool TCustomGrid::Designing() const
{
    return d->designing;
}

bool TCustomGrid::EditorMode() const
{
    return d->editorMode;
}

TFont *TCustomGrid::Font() const
{
    return d->font;
}

TCanvas &TCustomGrid::Canvas()
{
    return d->canvas;
}

TInplaceEdit *TCustomGrid::InplaceEditor() const
{
    return d->inplaceEdit;
}

// ---- counts and extents --------------------------------------------------------------

void TCustomGrid::setColCount(int count)
{
    checkRange("setColCount", "ColCount", count, 0, d->maxColCount);
    if (d->setLineCount(Qt::Horizontal, count)) emit colCountChanged(ColCount());
}

void TCustomGrid::setRowCount(int count)
{
    checkRange("setRowCount", "RowCount", count, 0, d->maxRowCount);
    if (d->setLineCount(Qt::Vertical, count)) emit rowCountChanged(RowCount());
}

bool TCustomGrid::Private::setLineCount(Qt::Orientation orientation, int count)
{
    int &asked = orientation == Qt::Horizontal ? askedColCount : askedRowCount;
    const int before = std::exchange(asked, count);
    try {
        return fitLineCount(orientation);
    } catch (...) {
        asked = before;
        throw;
    }
}

// The count asked for, with the fixed lines and one more always kept. An editor on a
// line that goes commits first; a model over the grid hears one change, closed before
// the count's signal.
bool TCustomGrid::Private::fitLineCount(Qt::Orientation orientation)
{
    const bool columns = orientation == Qt::Horizontal;
    GridAxis &axis = columns ? cols : rows;
    const int count = std::max(columns ? askedColCount : askedRowCount, (columns ? fixedCols : fixedRows) + 1);
    const int old = axis.count();
    if (count == old) return false;
    if (editorMode && (columns ? current.X : current.Y) >= count) q.UpdateText();
    const GridEdit edit(q, TLineChange::forCount(orientation, old, count));
    axis.setCount(count);
    clampCurrent();
    if (columns)
        q.SizeChanged(old, q.RowCount());
    else
        q.SizeChanged(q.ColCount(), old);
    return true;
}

// A lower fixed count lets a count that was raised above what was asked come down
// again: so the counts can be written before the fixed counts (as a .ui form and the
// form stream write them) and give the grid that was saved. A higher fixed count
// always fits the count it was checked against, so it never changes the count.
void TCustomGrid::Private::setFixedCount(Qt::Orientation orientation, int count)
{
    int &fixed = orientation == Qt::Horizontal ? fixedCols : fixedRows;
    if (count == fixed) return;
    const int old = fixed;
    fixed = count;
    bool countChanged = false;
    try {
        countChanged = fitLineCount(orientation);
    } catch (...) {
        fixed = old;
        clampCurrent();
        throw;
    }
    if (!countChanged) clampCurrent();
    if (orientation == Qt::Horizontal) {
        emit q.fixedColsChanged(count);
        if (countChanged) emit q.colCountChanged(q.ColCount());
    } else {
        emit q.fixedRowsChanged(count);
        if (countChanged) emit q.rowCountChanged(q.RowCount());
    }
}

void TCustomGrid::setFixedCols(int count)
{
    checkRange("", "FixedCols", count, 0, ColCount() - 1);
    d->setFixedCount(Qt::Horizontal, count);
}

void TCustomGrid::setFixedRows(int count)
{
    checkRange("", "FixedRows", count, 0, RowCount() - 1);
    d->setFixedCount(Qt::Vertical, count);
}

void TCustomGrid::setDefaultColWidth(int width)
{
    checkRange("", "DefaultColWidth", width, 0, MaxExtent);
    const bool changed = width != d->cols.defaultExtent();
    d->cols.setDefaultExtent(width);
    d->clampCurrent();
    if (changed) emit defaultColWidthChanged(width);
}

void TCustomGrid::setDefaultRowHeight(int height)
{
    checkRange("", "DefaultRowHeight", height, 0, MaxExtent);
    const bool changed = height != d->rows.defaultExtent();
    d->rows.setDefaultExtent(height);
    d->clampCurrent();
    if (changed) emit defaultRowHeightChanged(height);
}

int TCustomGrid::ColWidths(int index) const
{
    checkRange("", "Column", index, 0, ColCount() - 1);
    return d->cols.extent(index);
}

void TCustomGrid::setColWidths(int index, int width)
{
    checkRange("", "Column", index, 0, ColCount() - 1);
    checkRange("setColWidths", "Width", width, 0, MaxExtent);
    if (d->cols.extent(index) == width) return;
    d->cols.setExtent(index, width);
    d->clampCurrent();
}

int TCustomGrid::RowHeights(int index) const
{
    checkRange("", "Row", index, 0, RowCount() - 1);
    return d->rows.extent(index);
}

void TCustomGrid::setRowHeights(int index, int height)
{
    checkRange("", "Row", index, 0, RowCount() - 1);
    checkRange("setRowHeights", "Height", height, 0, MaxExtent);
    if (d->rows.extent(index) == height) return;
    d->rows.setExtent(index, height);
    d->clampCurrent();
}

void TCustomGrid::setGridLineWidth(int width)
{
    checkRange("", "GridLineWidth", width, 0, MaxLineWidth);
    if (width == d->gridLineWidth) return;
    d->gridLineWidth = width;
    d->clampCurrent();
    emit gridLineWidthChanged(width);
}

// ---- appearance --------------------------------------------------------------------------

void TCustomGrid::setColor(TColor color)
{
    if (color == d->color) return;
    d->color = color;
    viewport()->update();
    emit colorChanged(color);
}

void TCustomGrid::setFixedColor(TColor color)
{
    if (color == d->fixedColor) return;
    d->fixedColor = color;
    viewport()->update();
    emit fixedColorChanged(color);
}

void TCustomGrid::setFont(TFont *font)
{
    if (font && font != d->font) d->font->Assign(font);
}

void TCustomGrid::Private::applyFontChange()
{
    // One font, two ways in: a change of the object is set on the widget (which
    // passes it to the viewport and the editor); a change of the widget arrives in
    // changeEvent and is copied into the object, which brings us here once more.
    if (!syncingFont && q.font() != font->qfont()) {
        syncingFont = true;
        q.QWidget::setFont(font->qfont());
        syncingFont = false;
    }
    if (inplaceEdit) {
        inplaceEdit->setFont(font->qfont());
    }
    q.viewport()->update();
    emit q.fontChanged();
}

void TCustomGrid::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() != QEvent::FontChange || d->syncingFont) return;
    d->guarded("font change", [&] {
        const QScopedValueRollback<bool> syncing(d->syncingFont, true);
        d->font->setQFont(font());
    });
}

void TCustomGrid::setOptions(TGridOptions options)
{
    const bool changed = options != d->options;
    d->options = options;
    if (d->editorMode && !CanEditShow()) HideEditor(); // commits what was typed
    d->clampCurrent();
    if ((d->options & goAlwaysShowEditor) && (d->options & goEditing) && hasFocus()) ShowEditor();
    if (changed) emit optionsChanged(options);
}

void TCustomGrid::setScrollBars(TScrollStyle style)
{
    checkEnumRange("setScrollBars", "ScrollBars", style);
    const bool changed = style != d->scrollBars;
    d->scrollBars = style;
    const bool h = style == ssHorizontal || style == ssBoth;
    const bool v = style == ssVertical || style == ssBoth;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    d->updateScrollBars();
    if (changed) emit scrollBarsChanged(style);
}

void TCustomGrid::setDesigning(bool designing)
{
    if (designing && d->editorMode) HideEditor();
    d->designing = designing;
}

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
    auto sizing = [](GridAxisLayout::Border b, TGridState state) {
        return b.index < 0 ? Sizing{} : Sizing{state, b.index, b.position, b.offset};
    };
    if (lx > h.fixedExtent() && colSizing) {
        if (y >= v.fixedExtent()) return Sizing{};
        return sizing(h.borderAt(lx), gsColSizing);
    }
    if (y > v.fixedExtent() && rowSizing) {
        if (lx >= h.fixedExtent()) return Sizing{};
        return sizing(v.borderAt(y), gsRowSizing);
    }
    return Sizing{};
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

// ---- mouse
// ---------------------------------------------------------------------------------------

void TCustomGrid::mousePressEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse press", [&] {
        MouseDown(b, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse double click", [&] {
        MouseDown(b, ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    });
}

void TCustomGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse move", [&] {
        MouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    d->guarded("mouse release", [&] {
        MouseUp(b, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // A press while a drag is still set means its release went elsewhere (a handler
    // opened a window, the grab was lost): that drag ends unapplied.
    if (d->gridState != gsNormal) resetDrag();
    if (!d->designing && CanFocus() && !hasFocus()) SetFocus();
    d->clickOnCurrent = false;
    if (Button == mbLeft && (Shift & ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        const Private::Sizing sizing = d->sizingAt(X, Y);
        if (sizing.state != gsNormal) {
            if (d->editorMode) HideEditor();
            d->sizing = sizing;
            d->gridState = sizing.state;
            const bool column = sizing.state == gsColSizing;
            const GridAxisLayout axis = column ? columnLayout() : rowLayout();
            d->sizingStart = static_cast<int>(axis.start(sizing.index));
            d->sizingOriginal = axis.extent(sizing.index);
            viewport()->setCursor(column ? Qt::SplitHCursor : Qt::SplitVCursor);
        } else if (!d->designing) {
            const TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= 0 && cell.Y >= 0) {
                const bool fixedRow = cell.Y < d->fixedRows, fixedCol = cell.X < d->fixedCols;
                if (fixedRow && !fixedCol && (d->options & goColMoving)) {
                    d->gridState = gsColMoving;
                    d->moveFrom = d->moveTo = cell.X;
                } else if (fixedCol && !fixedRow && (d->options & goRowMoving)) {
                    d->gridState = gsRowMoving;
                    d->moveFrom = d->moveTo = cell.Y;
                } else if (!fixedRow && !fixedCol) {
                    d->clickOnCurrent = (d->options & goEditing) && !d->editorMode &&
                                       cell.X == d->current.X && cell.Y == d->current.Y;
                    const bool extend = (Shift & ssShift) && (d->options & goRangeSelect);
                    d->moveCurrent(cell.X, cell.Y, !extend, true);
                    d->gridState = gsSelecting;
                }
            }
        }
    }
    callHandler(OnMouseDown, this, Button, Shift, X, Y);
    // The handler may have removed the line whose border or body the drag holds.
    if (!d->dragStillValid()) resetDrag();
}

void TCustomGrid::MouseMove(TShiftState, int X, int Y)
{
    if (!d->dragStillValid()) resetDrag();
    switch (d->gridState) {
    case gsSelecting: {
        const GridAxisLayout h = columnLayout(), v = rowLayout();
        d->moveCurrent(dragTarget(h, h.toLogical(X)), dragTarget(v, Y), !(d->options & goRangeSelect),
                    true);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        const bool column = d->gridState == gsColSizing;
        const int point = column ? columnLayout().toLogical(X) : Y;
        const int extent = clampInt(qint64(point) + d->sizing.offset - d->sizingStart, 0, MaxExtent);
        GridAxis &axis = column ? d->cols : d->rows;
        if (axis.extent(d->sizing.index) != extent) {
            axis.setExtent(d->sizing.index, extent);
            d->clampCurrent();
        }
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        const GridAxisLayout axis = d->gridState == gsColMoving ? columnLayout() : rowLayout();
        const int point = d->gridState == gsColMoving ? axis.toLogical(X) : Y;
        int cell = axis.cellAt(std::clamp(point, 0, std::max(0, axis.clientExtent() - 1)));
        if (cell < 0) cell = axis.count() - 1;
        d->moveTo = std::max(cell, axis.fixedCount());
        viewport()->update();
        break;
    }
    case gsNormal: {
        const Private::Sizing s = d->sizingAt(X, Y);
        if (s.state == gsColSizing)
            viewport()->setCursor(Qt::SplitHCursor);
        else if (s.state == gsRowSizing)
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
        break;
    }
    }
}


void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) d->finishDrag(Button, Shift, X, Y);
    callHandler(OnMouseUp, this, Button, Shift, X, Y);
}

void TCustomGrid::Private::finishDrag(TMouseButton, TShiftState, int X, int Y)
{
    if (!dragStillValid()) q.resetDrag();
    const TGridState state = gridState;
    gridState = gsNormal;
    q.viewport()->unsetCursor();
    switch (state) {
    case gsColSizing:
        if (cols.extent(sizing.index) != sizingOriginal) q.ColWidthsChanged();
        break;
    case gsRowSizing:
        if (rows.extent(sizing.index) != sizingOriginal) q.RowHeightsChanged();
        break;
    case gsColMoving:
        if (moveTo >= fixedCols && moveTo != moveFrom) q.MoveColumn(moveFrom, moveTo);
        q.viewport()->update();
        break;
    case gsRowMoving:
        if (moveTo >= fixedRows && moveTo != moveFrom) q.MoveRow(moveFrom, moveTo);
        q.viewport()->update();
        break;
    case gsSelecting: {
        const TGridCoord cell = q.MouseCoord(X, Y);
        if (clickOnCurrent && cell == current) q.ShowEditor();
        break;
    }
    case gsNormal:
        break;
    }
    clickOnCurrent = false;
    moveFrom = moveTo = -1;
}

bool TCustomGrid::Private::dragStillValid() const
{
    switch (gridState) {
    case gsColSizing:
        return sizing.index >= 0 && sizing.index < cols.count();
    case gsRowSizing:
        return sizing.index >= 0 && sizing.index < rows.count();
    case gsColMoving:
        return moveFrom >= fixedCols && moveFrom < cols.count() && moveTo < cols.count();
    case gsRowMoving:
        return moveFrom >= fixedRows && moveFrom < rows.count() && moveTo < rows.count();
    default:
        return true;
    }
}

void TCustomGrid::resetDrag()
{
    const bool moving = d->gridState == gsColMoving || d->gridState == gsRowMoving;
    d->gridState = gsNormal;
    d->sizing = Private::Sizing{};
    d->moveFrom = d->moveTo = -1;
    d->clickOnCurrent = false;
    viewport()->unsetCursor();
    if (moving) viewport()->update(); // takes the insertion mark away
}

void TCustomGrid::DblClick()
{
    callHandler(OnDblClick, this);
}

// ---- focus ------------------------------------------------------------------------------------

bool TCustomGrid::CanFocus() const
{
    return isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
}

void TCustomGrid::SetFocus()
{
    setFocus(Qt::MouseFocusReason);
}

QWidget *TCustomGrid::ParentActiveControl() const
{
    return window()->focusWidget();
}

void TCustomGrid::focusInEvent(QFocusEvent *event)
{
    d->guarded("focus in", [&] {
        QAbstractScrollArea::focusInEvent(event);
        // Only a grid without an open editor opens one: an editor hidden because its
        // cell scrolled away hands the focus here, and must not pull the view back.
        if ((d->options & goAlwaysShowEditor) && (d->options & goEditing) && !d->designing &&
            !d->editorMode)
            ShowEditor();
    });
}

// ---- keyboard --------------------------------------------------------------------------------

bool TCustomGrid::event(QEvent *event)
{
    // With goTabs, Tab moves between cells instead of to the next widget.
    if (event->type() == QEvent::KeyPress && (d->options & goTabs)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    bool handled = false;
    d->guarded("event", [&] {
        handled = QAbstractScrollArea::event(event);
        // The columns now run the other way: the editor moves and everything repaints.
        if (event->type() == QEvent::LayoutDirectionChange) d->clampCurrent();
    });
    return handled;
}

bool TCustomGrid::focusNextPrevChild(bool next)
{
    if (d->options & goTabs) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

// The characters a key press types, as a classic character message would carry them:
// Ctrl+letter gives the control characters 1..26.
static QString typedCharacters(const QKeyEvent *event)
{
    const auto mods = event->modifiers();
    const int key = event->key();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z)
        return QString(QChar(static_cast<char16_t>(key - Qt::Key_A + 1)));
    switch (key) {
    case Qt::Key_Backspace:
        return QString(QChar(8));
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QString(QChar(9));
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QString(QChar(13));
    case Qt::Key_Escape:
        return QString(QChar(27));
    default:
        break;
    }
    QString out;
    for (QChar c : event->text())
        if (c.unicode() >= 32 && c.unicode() != 127) out += c;
    return out;
}

void TCustomGrid::keyPressEvent(QKeyEvent *event)
{
    const QPointer<TCustomGrid> alive(this);
    d->keyUsed = false;
    d->guarded("key press", [&] {
        int key = event->key();
        TShiftState shift = ShiftStateOf(event->modifiers(), Qt::NoButton);
        if (key == Qt::Key_Backtab) {
            key = Qt::Key_Tab;
            shift |= ssShift;
        }
        KeyDown(key, shift);
        if (key == 0) {
            d->keyUsed = true;
            return;
        }
        for (QChar c : typedCharacters(event)) {
            // A character the grid edits with (typing opens the editor, a check-box
            // cell toggles) is used whatever the hooks did with it.
            const char16_t code = c.unicode();
            if ((d->options & goEditing) && !d->designing && (code == 8 || code >= 32))
                d->keyUsed = true;
            WMChar(c);
            if (!alive) return;
        }
    });
    // Keys the grid has no use for go on to the parent (Escape to a dialog).
    if (alive && !d->keyUsed)
        event->ignore();
    else
        event->accept();
}

// Navigation keys move the current cell (the anchor stays while Shift extends a range
// selection); F2 and Ctrl+A run their command. A key used here is set to 0.
void TCustomGrid::KeyDown(int &Key, TShiftState Shift)
{
    callHandler(OnKeyDown, this, Key, Shift);
    if (Key == 0) return;
    if (d->commandKey(Key, Shift)) {
        Key = 0;
        return;
    }
    TGridCoord target = d->current;
    bool moveAnchor = !((Shift & ssShift) && (d->options & goRangeSelect));
    if (!d->keyTarget(Key, Shift, target, moveAnchor)) return;
    d->moveCurrent(target.X, target.Y, moveAnchor, true);
    Key = 0;
}

bool TCustomGrid::Private::commandKey(int key, TShiftState shift)
{
    if (key == Qt::Key_F2) {
        if (!(options & goEditing)) return false;
        q.ShowEditor();
        return true;
    }
    // Ctrl+A selects every scrollable cell, as in Qt's item views.
    if (key == Qt::Key_A && (shift & ssCtrl) && !(shift & (ssAlt | ssShift)) &&
        (options & goRangeSelect) && !editorMode) {
        selectAllCells();
        return true;
    }
    return false;
}

// The selection runs from its anchor to the current cell, so the current cell goes to
// the first scrollable cell and the anchor to the last.
void TCustomGrid::Private::selectAllCells()
{
    moveCurrent(q.ColCount() - 1, q.RowCount() - 1, true, false);
    moveCurrent(fixedCols, fixedRows, false, true);
}

bool TCustomGrid::Private::keyTarget(int key, TShiftState shift, TGridCoord &to, bool &moveAnchor)
{
    const int firstC = fixedCols, lastC = q.ColCount() - 1;
    const int firstR = fixedRows, lastR = q.RowCount() - 1;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        to.Y = key == Qt::Key_Up ? std::max(firstR, to.Y - 1) : std::min(lastR, to.Y + 1);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // Under a right-to-left layout the columns run leftwards: the arrows follow
        // what the user sees, as in QTableView.
        const bool back = (key == Qt::Key_Left) != (q.layoutDirection() == Qt::RightToLeft);
        to.X = back ? std::max(firstC, to.X - 1) : std::min(lastC, to.X + 1);
        return true;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        pageTarget(key == Qt::Key_PageDown, to);
        return true;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool home = key == Qt::Key_Home;
        to.X = home ? firstC : lastC;
        if (shift & ssCtrl) to.Y = home ? firstR : lastR;
        return true;
    }
    case Qt::Key_Tab:
        if (!(options & goTabs)) return false;
        moveAnchor = true;
        std::tie(to.X, to.Y) = tabTarget(to.X, to.Y, shift & ssShift, firstC, lastC, firstR, lastR);
        return true;
    default:
        return false;
    }
}

// A page is the rows in view: the view scrolls by it and the current cell follows.
void TCustomGrid::Private::pageTarget(bool down, TGridCoord &to)
{
    const int page = std::max(1, q.VisibleRowCount());
    to.Y = down ? std::min(q.RowCount() - 1, plus(to.Y, page)) : std::max(fixedRows, to.Y - page);
    q.setTopRow(plus(topRow, down ? page : -page));
}

void TCustomGrid::KeyPress(QChar &Key)
{
    callHandler(OnKeyPress, this, Key);
    if (Key.isNull()) {
        markKeyUsed();
        return;
    }
    if (Key.unicode() == 13 && (d->options & goEditing) && !(d->options & goAlwaysShowEditor) &&
        !d->designing) {
        if (d->editorMode)
            HideEditor();
        else
            ShowEditor();
        Key = QChar();
        markKeyUsed();
    }
}

void TCustomGrid::WMChar(QChar Key)
{
    KeyPress(Key);
    if (Key.isNull()) return;
    const char16_t code = Key.unicode();
    if ((d->options & goEditing) && !d->designing && (code == 8 || code >= 32)) ShowEditorChar(Key);
}

// ---- editor --------------------------------------------------------------------------------

TInplaceEdit *TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(this);
}

QString TCustomGrid::GetEditText(int, int)
{
    return QString();
}

void TCustomGrid::SetEditText(int, int, const QString &) {}

bool TCustomGrid::CanEditShow() const
{
    return (d->options & goEditing) && !(d->options & goRowSelect) && !d->designing;
}

void TCustomGrid::setEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (!CanEditShow()) return;
    if (!d->inplaceEdit) {
        d->inplaceEdit = CreateEditor();
        if (!d->inplaceEdit) return;
        d->inplaceEdit->setParent(viewport());
        d->inplaceEdit->setFont(d->font->qfont());
        d->inplaceEdit->hide();
    }
    d->scrollIntoView(d->current.X, d->current.Y);
    if (d->editorMode) {
        // Already editing: keep what was typed, only bring the editor back.
        d->updateEditor();
        if (d->inplaceEdit->isVisible()) d->inplaceEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    d->editorMode = true;
    d->inplaceEdit->UpdateContents();
    d->updateEditor();
    if (d->inplaceEdit->isVisible()) {
        d->inplaceEdit->setFocus(Qt::OtherFocusReason);
        d->inplaceEdit->selectAll();
    }
    InvalidateCell(d->current.X, d->current.Y);
}

void TCustomGrid::ShowEditorChar(QChar ch)
{
    ShowEditor();
    if (!d->editorMode || !d->inplaceEdit) return;
    d->inplaceEdit->selectAll();
    if (ch.unicode() == 8)
        d->inplaceEdit->del();
    else
        d->inplaceEdit->insert(QString(ch));
}

void TCustomGrid::UpdateText()
{
    if (!d->editorMode || !d->inplaceEdit) return;
    const QString text = d->inplaceEdit->text();
    if (text != GetEditText(d->current.X, d->current.Y)) SetEditText(d->current.X, d->current.Y, text);
}

void TCustomGrid::HideEditor()
{
    if (!d->editorMode) return;
    UpdateText();
    d->editorMode = false;
    if (d->inplaceEdit) {
        if (d->inplaceEdit->hasFocus()) setFocus(Qt::OtherFocusReason);
        d->inplaceEdit->hide();
    }
    InvalidateCell(d->current.X, d->current.Y);
}

void TCustomGrid::Private::cancelEdit()
{
    if (!editorMode || !inplaceEdit) return;
    inplaceEdit->UpdateContents();
    if (options & goAlwaysShowEditor) {
        inplaceEdit->selectAll();
        return;
    }
    editorMode = false;
    if (inplaceEdit->hasFocus()) q.setFocus(Qt::OtherFocusReason);
    inplaceEdit->hide();
    q.InvalidateCell(current.X, current.Y);
}

// Places the open editor over the current cell, or hides its widget (editing goes on)
// while the cell is scrolled out of view.
void TCustomGrid::Private::updateEditor()
{
    if (!inplaceEdit || !editorMode) return;
    const QRect r = q.CellRect(current.X, current.Y);
    if (r.isEmpty()) {
        if (inplaceEdit->isVisible()) {
            if (inplaceEdit->hasFocus()) q.setFocus(Qt::OtherFocusReason);
            inplaceEdit->hide();
        }
        return;
    }
    if (inplaceEdit->geometry() != r) inplaceEdit->setGeometry(r);
    if (!inplaceEdit->isVisible()) {
        const bool focus = q.hasFocus();
        inplaceEdit->show();
        if (focus) inplaceEdit->setFocus(Qt::OtherFocusReason);
    }
}

bool TCustomGrid::Private::editorKey(int key, TShiftState shift)
{
    int k = key;
    q.KeyDown(k, shift);
    return k == 0;
}

// ---- moving lines -------------------------------------------------------------------------

void TCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    checkRange("MoveColumn", "FromIndex", fromIndex, 0, ColCount() - 1);
    checkRange("MoveColumn", "ToIndex", toIndex, 0, ColCount() - 1);
    if (fromIndex == toIndex) return;
    CheckMoveLine(true, fromIndex, toIndex);
    d->moveLine(true, fromIndex, toIndex);
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex)
{
    checkRange("MoveRow", "FromIndex", fromIndex, 0, RowCount() - 1);
    checkRange("MoveRow", "ToIndex", toIndex, 0, RowCount() - 1);
    if (fromIndex == toIndex) return;
    CheckMoveLine(false, fromIndex, toIndex);
    d->moveLine(false, fromIndex, toIndex);
}

void TCustomGrid::Private::moveLine(bool column, int fromIndex, int toIndex)
{
    if (editorMode) q.UpdateText();
    TLineChange change;
    change.kind = TLineChange::Move;
    change.orientation = column ? Qt::Horizontal : Qt::Vertical;
    change.first = fromIndex;
    change.last = toIndex;
    GridEdit edit(q, change);
    GridAxis &axis = column ? cols : rows;
    int TGridCoord::*along = column ? &TGridCoord::X : &TGridCoord::Y;
    edit.onFailure([this, &axis, fromIndex, toIndex, oldCurrent = current, oldAnchor = anchor] {
        axis.move(toIndex, fromIndex);
        current = oldCurrent;
        anchor = oldAnchor;
        clampCurrent();
    });
    axis.move(fromIndex, toIndex);
    current.*along = movedIndex(current.*along, fromIndex, toIndex);
    anchor.*along = movedIndex(anchor.*along, fromIndex, toIndex);
    clampCurrent();
    if (column)
        q.ColumnMoved(fromIndex, toIndex);
    else
        q.RowMoved(fromIndex, toIndex);
    edit.commit();
    if (editorMode && inplaceEdit) inplaceEdit->UpdateContents();
    q.viewport()->update();
    reportCursorChanges();
}

// ---- hooks ------------------------------------------------------------------------------------

void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::ColWidthsChanged() {}
void TCustomGrid::RowHeightsChanged() {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::CheckMoveLine(bool, int, int) const {}

void TCustomGrid::Loaded()
{
    d->clampCurrent();
}

} // namespace vorgrd
