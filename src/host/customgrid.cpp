#include "host/customgrid.h"

#include "host/eventguard.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

// Sections: construction | counts and extents | appearance | scrolling | current cell
// and selection | geometry and hit testing | painting | mouse | keyboard | editor |
// moving lines | hooks

namespace vorgrd {

namespace {

// Lines between ordinary cells and between fixed cells.
constexpr TColor LineColor = clSilver;
constexpr TColor FixedLineColor = clGray;

[[noreturn]] void rangeError(const char *what, int value, int first, int last)
{
    throwRangeError("", what, value, first, last);
}

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


constexpr int MaxExtent = TCustomGrid::MaxExtent;
constexpr int MaxLineWidth = TCustomGrid::MaxLineWidth;

} // namespace

template <class Work> void TCustomGrid::guarded(const char *handler, Work &&work)
{
    const QPointer<TCustomGrid> alive(this);
    guardEvent(handler, static_cast<Work &&>(work), [&] {
        if (alive) resetDrag();
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
    m_maxColCount = maxCols;
    m_maxRowCount = maxRows;
}

// ---- construction ------------------------------------------------------------------

TCustomGrid::TCustomGrid(QWidget *parent) : QAbstractScrollArea(parent), m_font(new TFont(this))
{
    m_cols.setDefaultExtent(64);
    m_cols.setCount(5);
    m_rows.setDefaultExtent(24);
    m_rows.setCount(5);
    m_options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    m_font->OnChange = [this](TFont *) { fontChanged(); };
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
    m_editorMode = false;
    delete m_inplaceEdit;
}

// ---- counts and extents --------------------------------------------------------------

void TCustomGrid::setColCount(int count)
{
    checkRange("setColCount", "ColCount", count, 0, m_maxColCount);
    count = std::max(count, m_fixedCols + 1);
    if (count == ColCount()) return;
    const int oldCols = ColCount();
    if (m_editorMode && m_current.X >= count) UpdateText();
    m_cols.setCount(count);
    clampCurrent();
    SizeChanged(oldCols, RowCount());
}

void TCustomGrid::setRowCount(int count)
{
    checkRange("setRowCount", "RowCount", count, 0, m_maxRowCount);
    count = std::max(count, m_fixedRows + 1);
    if (count == RowCount()) return;
    const int oldRows = RowCount();
    if (m_editorMode && m_current.Y >= count) UpdateText();
    m_rows.setCount(count);
    clampCurrent();
    SizeChanged(ColCount(), oldRows);
}

void TCustomGrid::setFixedCols(int count)
{
    if (count < 0 || count >= ColCount()) rangeError("FixedCols", count, 0, ColCount() - 1);
    m_fixedCols = count;
    clampCurrent();
}

void TCustomGrid::setFixedRows(int count)
{
    if (count < 0 || count >= RowCount()) rangeError("FixedRows", count, 0, RowCount() - 1);
    m_fixedRows = count;
    clampCurrent();
}

void TCustomGrid::setDefaultColWidth(int width)
{
    if (width < 0 || width > MaxExtent) rangeError("DefaultColWidth", width, 0, MaxExtent);
    m_cols.setDefaultExtent(width);
    clampCurrent();
}

void TCustomGrid::setDefaultRowHeight(int height)
{
    if (height < 0 || height > MaxExtent) rangeError("DefaultRowHeight", height, 0, MaxExtent);
    m_rows.setDefaultExtent(height);
    clampCurrent();
}

int TCustomGrid::ColWidths(int index) const
{
    if (index < 0 || index >= ColCount()) rangeError("Column", index, 0, ColCount() - 1);
    return m_cols.extent(index);
}

void TCustomGrid::setColWidths(int index, int width)
{
    if (index < 0 || index >= ColCount()) rangeError("Column", index, 0, ColCount() - 1);
    if (width < 0 || width > MaxExtent)
        throw ERangeError(QStringLiteral("Width %1 of column %2 is out of range (valid: 0..%3)")
                              .arg(width)
                              .arg(index)
                              .arg(MaxExtent));
    if (m_cols.extent(index) == width) return;
    m_cols.setExtent(index, width);
    clampCurrent();
}

int TCustomGrid::RowHeights(int index) const
{
    if (index < 0 || index >= RowCount()) rangeError("Row", index, 0, RowCount() - 1);
    return m_rows.extent(index);
}

void TCustomGrid::setRowHeights(int index, int height)
{
    if (index < 0 || index >= RowCount()) rangeError("Row", index, 0, RowCount() - 1);
    if (height < 0 || height > MaxExtent)
        throw ERangeError(QStringLiteral("Height %1 of row %2 is out of range (valid: 0..%3)")
                              .arg(height)
                              .arg(index)
                              .arg(MaxExtent));
    if (m_rows.extent(index) == height) return;
    m_rows.setExtent(index, height);
    clampCurrent();
}

void TCustomGrid::setGridLineWidth(int width)
{
    if (width < 0 || width > MaxLineWidth) rangeError("GridLineWidth", width, 0, MaxLineWidth);
    m_gridLineWidth = width;
    clampCurrent();
}

// ---- appearance --------------------------------------------------------------------------

void TCustomGrid::setColor(TColor color)
{
    m_color = color;
    viewport()->update();
}

void TCustomGrid::setFixedColor(TColor color)
{
    m_fixedColor = color;
    viewport()->update();
}

void TCustomGrid::setFont(TFont *font)
{
    if (font && font != m_font) m_font->Assign(font);
}

void TCustomGrid::fontChanged()
{
    if (m_inplaceEdit) {
        m_inplaceEdit->setFont(m_font->qfont());
    }
    viewport()->update();
}

void TCustomGrid::setOptions(TGridOptions options)
{
    m_options = options;
    if (m_editorMode && !CanEditShow()) HideEditor(); // commits what was typed
    clampCurrent();
    if ((m_options & goAlwaysShowEditor) && (m_options & goEditing) && hasFocus()) ShowEditor();
}

void TCustomGrid::setScrollBars(TScrollStyle style)
{
    checkEnumRange("setScrollBars", "ScrollBars", style);
    m_scrollBars = style;
    const bool h = style == ssHorizontal || style == ssBoth;
    const bool v = style == ssVertical || style == ssBoth;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    updateScrollBars();
}

void TCustomGrid::setDesigning(bool designing)
{
    if (designing && m_editorMode) HideEditor();
    m_designing = designing;
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
    return (m_options & (goFixedVertLine | goVertLine)) ? m_gridLineWidth : 0;
}

int TCustomGrid::HorzLineWidth() const
{
    return (m_options & (goFixedHorzLine | goHorzLine)) ? m_gridLineWidth : 0;
}

GridAxisLayout TCustomGrid::cols() const
{
    return GridAxisLayout(m_cols, {m_fixedCols, m_leftCol, VertLineWidth(), ClientWidth(),
                                   layoutDirection() == Qt::RightToLeft});
}

GridAxisLayout TCustomGrid::rows() const
{
    return GridAxisLayout(m_rows, {m_fixedRows, m_topRow, HorzLineWidth(), ClientHeight(), false});
}

void TCustomGrid::setLeftCol(int col)
{
    col = cols().clampFirst(col);
    if (col == m_leftCol) return;
    m_leftCol = col;
    firstCellChanged();
}

void TCustomGrid::setTopRow(int row)
{
    row = rows().clampFirst(row);
    if (row == m_topRow) return;
    m_topRow = row;
    firstCellChanged();
}

void TCustomGrid::firstCellChanged()
{
    ++m_layoutGeneration;
    updateScrollBars();
    updateEditor();
    viewport()->update();
    TopLeftChanged();
}

int TCustomGrid::VisibleColCount() const
{
    return cols().visibleCount();
}

int TCustomGrid::VisibleRowCount() const
{
    return rows().visibleCount();
}

void TCustomGrid::updateScrollBars()
{
    m_syncingScrollBars = true;
    QScrollBar *v = verticalScrollBar();
    v->setRange(m_fixedRows, rows().maxFirst());
    v->setPageStep(std::max(1, VisibleRowCount()));
    v->setSingleStep(1);
    v->setValue(m_topRow);
    v->setTracking(m_options & goThumbTracking);
    QScrollBar *h = horizontalScrollBar();
    h->setRange(m_fixedCols, cols().maxFirst());
    h->setPageStep(std::max(1, VisibleColCount()));
    h->setSingleStep(1);
    h->setValue(m_leftCol);
    h->setTracking(m_options & goThumbTracking);
    m_syncingScrollBars = false;
}

void TCustomGrid::scrollContentsBy(int, int)
{
    if (m_syncingScrollBars) return;
    guarded("scroll", [&] {
        setLeftCol(horizontalScrollBar()->value());
        setTopRow(verticalScrollBar()->value());
    });
}

void TCustomGrid::scrollIntoView(int col, int row)
{
    setLeftCol(cols().firstToShow(col));
    setTopRow(rows().firstToShow(row));
}

// Keeps the current cell, the anchor and the scroll position valid after any change
// of counts, fixed bands or extents, and brings the view and the editor in step.
void TCustomGrid::clampCurrent()
{
    auto clampCell = [this](TGridCoord &c) {
        c.X = std::clamp(c.X, m_fixedCols, ColCount() - 1);
        c.Y = std::clamp(c.Y, m_fixedRows, RowCount() - 1);
    };
    ++m_layoutGeneration;
    const TGridCoord before = m_current;
    clampCell(m_current);
    clampCell(m_anchor);
    if (m_editorMode && !(before == m_current)) {
        m_editorMode = false;
        if (m_inplaceEdit) m_inplaceEdit->hide();
    }
    m_leftCol = cols().clampFirst(m_leftCol);
    m_topRow = rows().clampFirst(m_topRow);
    updateScrollBars();
    updateEditor();
    viewport()->update();
}

void TCustomGrid::resizeEvent(QResizeEvent *event)
{
    guarded("resize", [&] {
        QAbstractScrollArea::resizeEvent(event);
        clampCurrent();
    });
}

void TCustomGrid::wheelEvent(QWheelEvent *event)
{
    guarded("wheel", [&] {
        const QPoint delta = event->angleDelta();
        const bool sideways = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
        const int amount = delta.x() != 0 ? delta.x() : delta.y();
        const int steps = amount / 120 * 3;
        if (steps == 0 && amount != 0) {
            if (sideways)
                setLeftCol(m_leftCol - (amount > 0 ? 1 : -1));
            else
                setTopRow(m_topRow - (amount > 0 ? 1 : -1));
        } else if (sideways) {
            setLeftCol(plus(m_leftCol, -qint64(steps)));
        } else {
            setTopRow(plus(m_topRow, -qint64(steps)));
        }
    });
    event->accept();
}

// ---- current cell and selection --------------------------------------------------------

void TCustomGrid::setCol(int col)
{
    if (col < m_fixedCols || col >= ColCount()) rangeError("Col", col, m_fixedCols, ColCount() - 1);
    moveCurrent(col, m_current.Y, true, true);
}

void TCustomGrid::setRow(int row)
{
    if (row < m_fixedRows || row >= RowCount()) rangeError("Row", row, m_fixedRows, RowCount() - 1);
    moveCurrent(m_current.X, row, true, true);
}

bool TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    if (col < m_fixedCols || col >= ColCount()) rangeError("Col", col, m_fixedCols, ColCount() - 1);
    if (row < m_fixedRows || row >= RowCount()) rangeError("Row", row, m_fixedRows, RowCount() - 1);
    const TGridCoord before = m_current;
    moveCurrent(col, row, moveAnchor, true);
    return (col == before.X && row == before.Y) || !(m_current == before);
}

TGridRect TCustomGrid::Selection() const
{
    TGridRect r;
    if (m_options & goRangeSelect) {
        r.Left = std::min(m_anchor.X, m_current.X);
        r.Right = std::max(m_anchor.X, m_current.X);
        r.Top = std::min(m_anchor.Y, m_current.Y);
        r.Bottom = std::max(m_anchor.Y, m_current.Y);
    } else {
        r = TGridRect{m_current.X, m_current.Y, m_current.X, m_current.Y};
    }
    if (m_options & goRowSelect) {
        r.Left = m_fixedCols;
        r.Right = ColCount() - 1;
    }
    return r;
}

void TCustomGrid::setSelection(const TGridRect &rect)
{
    auto check = [this](int col, int row) {
        if (col < m_fixedCols || col >= ColCount())
            rangeError("Selection column", col, m_fixedCols, ColCount() - 1);
        if (row < m_fixedRows || row >= RowCount())
            rangeError("Selection row", row, m_fixedRows, RowCount() - 1);
    };
    check(rect.Left, rect.Top);
    check(rect.Right, rect.Bottom);
    moveCurrent(rect.Left, rect.Top, true, true);
    moveCurrent(rect.Right, rect.Bottom, false, true);
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

void TCustomGrid::moveCurrent(int col, int row, bool moveAnchor, bool showCell)
{
    col = std::clamp(col, m_fixedCols, ColCount() - 1);
    row = std::clamp(row, m_fixedRows, RowCount() - 1);
    if (col != m_current.X || row != m_current.Y) {
        if (!SelectCell(col, row)) return;
        // The handler may have changed the counts or the fixed bands: the cell it
        // accepted is kept inside what the grid now holds.
        col = std::clamp(col, m_fixedCols, ColCount() - 1);
        row = std::clamp(row, m_fixedRows, RowCount() - 1);
        if (m_editorMode) UpdateText();
        m_current = TGridCoord{col, row};
        if (moveAnchor) m_anchor = m_current;
        if (showCell) scrollIntoView(col, row);
        afterCurrentMoved();
    } else {
        if (moveAnchor) m_anchor = m_current;
        if (showCell) scrollIntoView(col, row);
    }
    viewport()->update();
}

void TCustomGrid::afterCurrentMoved()
{
    if ((m_options & goAlwaysShowEditor) && (m_options & goEditing) && !m_designing) {
        const bool focusInGrid = hasFocus() || (m_inplaceEdit && m_inplaceEdit->hasFocus());
        if (m_editorMode && m_inplaceEdit) {
            m_inplaceEdit->UpdateContents();
            updateEditor();
            m_inplaceEdit->selectAll();
        } else if (focusInGrid) {
            ShowEditor();
        }
        return;
    }
    if (m_editorMode) {
        m_editorMode = false;
        if (m_inplaceEdit) {
            if (m_inplaceEdit->hasFocus()) setFocus(Qt::OtherFocusReason);
            m_inplaceEdit->hide();
        }
    }
}

// ---- geometry and hit testing -------------------------------------------------------------

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    return TGridCoord{cols().cellAtView(x), rows().cellAtView(y)};
}

QRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return QRect();
    if ((col >= m_fixedCols && col < m_leftCol) || (row >= m_fixedRows && row < m_topRow))
        return QRect();
    const GridAxisLayout h = cols(), v = rows();
    const qint64 x = h.start(col), y = v.start(row);
    if (x >= h.clientExtent() || y >= v.clientExtent()) return QRect();
    const int w = h.extent(col);
    return QRect(static_cast<int>(h.viewStart(x, w)), static_cast<int>(y), w, v.extent(row));
}

// The sizing rule shared with descendants that hit-test themselves: column borders
// are grabbed only inside the fixed rows and row borders only inside the fixed columns.
TCustomGrid::Sizing TCustomGrid::calcSizingState(int x, int y) const
{
    const bool colSizing = (m_options & goColSizing) || m_designing;
    const bool rowSizing = (m_options & goRowSizing) || m_designing;
    if (!colSizing && !rowSizing) return Sizing{};
    const GridAxisLayout h = cols(), v = rows();
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
    if (m_painting) {
        // A handler made the grid paint inside its own paint: never recursively.
        viewport()->update();
        return;
    }
    QPainter painter(viewport());
    QPainter *const outer = m_canvas.Painter();
    m_canvas.setPainter(&painter);
    m_painting = true;
    guarded("paint", [&] { paintView(painter, event->rect()); });
    m_painting = false;
    m_canvas.setPainter(outer);
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

void TCustomGrid::paintView(QPainter &painter, const QRect &clip)
{
    const quint64 generation = m_layoutGeneration;
    const GridAxisLayout h = cols(), v = rows();
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
            if (generation != m_layoutGeneration) {
                // A handler changed the counts, sizes or scrolling: the cells left
                // to paint may be gone. Stop here; the scheduled paint shows the rest.
                viewport()->update();
                return;
            }
            paintLines(painter, c, r, logical, h, hlw);
        }
    }
    const QColor background = ColorToQColor(m_color);
    if (xEnd < cw) painter.fillRect(inView(h, QRect(xEnd, 0, cw - xEnd, ch)), background);
    if (yEnd < ch) painter.fillRect(inView(h, QRect(0, yEnd, xEnd, ch - yEnd)), background);
    if ((m_gridState == gsColMoving || m_gridState == gsRowMoving) && m_moveTo >= 0 &&
        m_moveTo != m_moveFrom && dragStillValid())
        paintMoveMark(painter, h, v, xEnd, yEnd);
}

// The insertion mark of a line drag: where the dragged line will land.
void TCustomGrid::paintMoveMark(QPainter &painter, const GridAxisLayout &h,
                                const GridAxisLayout &v, int xEnd, int yEnd)
{
    const bool column = m_gridState == gsColMoving;
    const GridAxisLayout &axis = column ? h : v;
    const qint64 at = m_moveTo > m_moveFrom ? axis.start(m_moveTo) + axis.extent(m_moveTo)
                                            : axis.start(m_moveTo);
    const QRect mark = column ? QRect(static_cast<int>(at) - 1, 0, 3, yEnd)
                              : QRect(0, static_cast<int>(at) - 1, xEnd, 3);
    painter.fillRect(inView(h, mark), ColorToQColor(clHighlight));
}

void TCustomGrid::paintCell(int col, int row, const QRect &rect)
{
    TGridDrawState state;
    const bool fixed = col < m_fixedCols || row < m_fixedRows;
    bool focused = false;
    if (fixed) {
        state |= gdFixed;
    } else {
        focused = col == m_current.X && row == m_current.Y;
        if (focused) state |= gdFocused;
        if (Selection().contains(col, row) &&
            (!focused || (m_options & (goDrawFocusSelected | goRowSelect))))
            state |= gdSelected;
    }
    m_canvas.Font().Assign(m_font);
    m_canvas.Brush().setStyle(bsSolid);
    if (fixed) {
        m_canvas.Brush().setColor(m_fixedColor);
    } else if (state & gdSelected) {
        m_canvas.Brush().setColor(clHighlight);
        m_canvas.Font().setColor(clHighlightText);
    } else {
        m_canvas.Brush().setColor(m_color);
    }
    if (m_defaultDrawing) m_canvas.FillRect(rect);
    // One failing cell must not stop the others from painting.
    guardEvent("DrawCell", [&] { DrawCell(col, row, rect, state); });
    if (m_defaultDrawing && focused && !(m_options & goRowSelect) &&
        !(m_editorMode && m_inplaceEdit && m_inplaceEdit->isVisible()))
        m_canvas.DrawFocusRect(rect);
}

void TCustomGrid::paintLines(QPainter &painter, int col, int row, const QRect &logical,
                             const GridAxisLayout &h, int hlw)
{
    const int vlw = h.lineWidth();
    const bool fixed = col < m_fixedCols || row < m_fixedRows;
    const QColor background = ColorToQColor(fixed ? m_fixedColor : m_color);
    const QColor line = ColorToQColor(fixed ? FixedLineColor : LineColor);
    // The line after a cell in logical pixels; on a reversed axis it stands before the
    // cell in the viewport.
    if (vlw > 0) {
        const bool on = m_options & (fixed ? goFixedVertLine : goVertLine);
        const QRect r(logical.x() + logical.width(), logical.y(), vlw, logical.height() + hlw);
        painter.fillRect(inView(h, r), on ? line : background);
    }
    if (hlw > 0) {
        const bool on = m_options & (fixed ? goFixedHorzLine : goHorzLine);
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
    if (m_painting)
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
    guarded("mouse press", [&] {
        MouseDown(b, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    guarded("mouse double click", [&] {
        MouseDown(b, ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    });
}

void TCustomGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    event->accept();
    guarded("mouse move", [&] {
        MouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent *event)
{
    TMouseButton b;
    if (!MouseButtonOf(event->button(), b)) return;
    const QPoint p = event->position().toPoint();
    event->accept();
    guarded("mouse release", [&] {
        MouseUp(b, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // A press while a drag is still set means its release went elsewhere (a handler
    // opened a window, the grab was lost): that drag ends unapplied.
    if (m_gridState != gsNormal) resetDrag();
    if (!m_designing && CanFocus() && !hasFocus()) SetFocus();
    m_clickOnCurrent = false;
    if (Button == mbLeft && (Shift & ssDouble)) {
        DblClick();
    } else if (Button == mbLeft) {
        const Sizing sizing = calcSizingState(X, Y);
        if (sizing.state != gsNormal) {
            if (m_editorMode) HideEditor();
            m_sizing = sizing;
            m_gridState = sizing.state;
            const bool column = sizing.state == gsColSizing;
            const GridAxisLayout axis = column ? cols() : rows();
            m_sizingStart = static_cast<int>(axis.start(sizing.index));
            m_sizingOriginal = axis.extent(sizing.index);
            viewport()->setCursor(column ? Qt::SplitHCursor : Qt::SplitVCursor);
        } else if (!m_designing) {
            const TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= 0 && cell.Y >= 0) {
                const bool fixedRow = cell.Y < m_fixedRows, fixedCol = cell.X < m_fixedCols;
                if (fixedRow && !fixedCol && (m_options & goColMoving)) {
                    m_gridState = gsColMoving;
                    m_moveFrom = m_moveTo = cell.X;
                } else if (fixedCol && !fixedRow && (m_options & goRowMoving)) {
                    m_gridState = gsRowMoving;
                    m_moveFrom = m_moveTo = cell.Y;
                } else if (!fixedRow && !fixedCol) {
                    m_clickOnCurrent = (m_options & goEditing) && !m_editorMode &&
                                       cell.X == m_current.X && cell.Y == m_current.Y;
                    const bool extend = (Shift & ssShift) && (m_options & goRangeSelect);
                    moveCurrent(cell.X, cell.Y, !extend, true);
                    m_gridState = gsSelecting;
                }
            }
        }
    }
    callHandler(OnMouseDown, this, Button, Shift, X, Y);
    // The handler may have removed the line whose border or body the drag holds.
    if (!dragStillValid()) resetDrag();
}

void TCustomGrid::MouseMove(TShiftState, int X, int Y)
{
    if (!dragStillValid()) resetDrag();
    switch (m_gridState) {
    case gsSelecting: {
        const GridAxisLayout h = cols(), v = rows();
        moveCurrent(dragTarget(h, h.toLogical(X)), dragTarget(v, Y), !(m_options & goRangeSelect),
                    true);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        const bool column = m_gridState == gsColSizing;
        const int point = column ? cols().toLogical(X) : Y;
        const int extent = clampInt(qint64(point) + m_sizing.offset - m_sizingStart, 0, MaxExtent);
        GridAxis &axis = column ? m_cols : m_rows;
        if (axis.extent(m_sizing.index) != extent) {
            axis.setExtent(m_sizing.index, extent);
            clampCurrent();
        }
        break;
    }
    case gsColMoving:
    case gsRowMoving: {
        const GridAxisLayout axis = m_gridState == gsColMoving ? cols() : rows();
        const int point = m_gridState == gsColMoving ? axis.toLogical(X) : Y;
        int cell = axis.cellAt(std::clamp(point, 0, std::max(0, axis.clientExtent() - 1)));
        if (cell < 0) cell = axis.count() - 1;
        m_moveTo = std::max(cell, axis.fixedCount());
        viewport()->update();
        break;
    }
    case gsNormal: {
        const Sizing s = calcSizingState(X, Y);
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
    if (Button == mbLeft) finishDrag(Button, Shift, X, Y);
    callHandler(OnMouseUp, this, Button, Shift, X, Y);
}

void TCustomGrid::finishDrag(TMouseButton, TShiftState, int X, int Y)
{
    if (!dragStillValid()) resetDrag();
    const TGridState state = m_gridState;
    m_gridState = gsNormal;
    viewport()->unsetCursor();
    switch (state) {
    case gsColSizing:
        if (m_cols.extent(m_sizing.index) != m_sizingOriginal) ColWidthsChanged();
        break;
    case gsRowSizing:
        if (m_rows.extent(m_sizing.index) != m_sizingOriginal) RowHeightsChanged();
        break;
    case gsColMoving:
        if (m_moveTo >= m_fixedCols && m_moveTo != m_moveFrom) MoveColumn(m_moveFrom, m_moveTo);
        viewport()->update();
        break;
    case gsRowMoving:
        if (m_moveTo >= m_fixedRows && m_moveTo != m_moveFrom) MoveRow(m_moveFrom, m_moveTo);
        viewport()->update();
        break;
    case gsSelecting: {
        const TGridCoord cell = MouseCoord(X, Y);
        if (m_clickOnCurrent && cell == m_current) ShowEditor();
        break;
    }
    case gsNormal:
        break;
    }
    m_clickOnCurrent = false;
    m_moveFrom = m_moveTo = -1;
}

bool TCustomGrid::dragStillValid() const
{
    switch (m_gridState) {
    case gsColSizing:
        return m_sizing.index >= 0 && m_sizing.index < ColCount();
    case gsRowSizing:
        return m_sizing.index >= 0 && m_sizing.index < RowCount();
    case gsColMoving:
        return m_moveFrom >= m_fixedCols && m_moveFrom < ColCount() && m_moveTo < ColCount();
    case gsRowMoving:
        return m_moveFrom >= m_fixedRows && m_moveFrom < RowCount() && m_moveTo < RowCount();
    default:
        return true;
    }
}

void TCustomGrid::resetDrag()
{
    const bool moving = m_gridState == gsColMoving || m_gridState == gsRowMoving;
    m_gridState = gsNormal;
    m_sizing = Sizing{};
    m_moveFrom = m_moveTo = -1;
    m_clickOnCurrent = false;
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
    guarded("focus in", [&] {
        QAbstractScrollArea::focusInEvent(event);
        // Only a grid without an open editor opens one: an editor hidden because its
        // cell scrolled away hands the focus here, and must not pull the view back.
        if ((m_options & goAlwaysShowEditor) && (m_options & goEditing) && !m_designing &&
            !m_editorMode)
            ShowEditor();
    });
}

// ---- keyboard --------------------------------------------------------------------------------

bool TCustomGrid::event(QEvent *event)
{
    // With goTabs, Tab moves between cells instead of to the next widget.
    if (event->type() == QEvent::KeyPress && (m_options & goTabs)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    bool handled = false;
    guarded("event", [&] { handled = QAbstractScrollArea::event(event); });
    return handled;
}

bool TCustomGrid::focusNextPrevChild(bool next)
{
    if (m_options & goTabs) return false;
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
    guarded("key press", [&] {
        int key = event->key();
        TShiftState shift = ShiftStateOf(event->modifiers(), Qt::NoButton);
        if (key == Qt::Key_Backtab) {
            key = Qt::Key_Tab;
            shift |= ssShift;
        }
        KeyDown(key, shift);
        if (key != 0)
            for (QChar c : typedCharacters(event))
                WMChar(c);
    });
    event->accept();
}

void TCustomGrid::KeyDown(int &Key, TShiftState Shift)
{
    callHandler(OnKeyDown, this, Key, Shift);
    if (Key == 0) return;
    const bool ctrl = Shift & ssCtrl;
    const bool extend = (Shift & ssShift) && (m_options & goRangeSelect);
    const int firstC = m_fixedCols, lastC = ColCount() - 1;
    const int firstR = m_fixedRows, lastR = RowCount() - 1;
    int c = m_current.X, r = m_current.Y;
    bool moveAnchor = !extend;
    switch (Key) {
    case Qt::Key_Up:
        r = std::max(firstR, r - 1);
        break;
    case Qt::Key_Down:
        r = std::min(lastR, r + 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // Under a right-to-left layout the columns run leftwards: the arrows follow
        // what the user sees, as in QTableView.
        const bool back = (Key == Qt::Key_Left) != (layoutDirection() == Qt::RightToLeft);
        c = back ? std::max(firstC, c - 1) : std::min(lastC, c + 1);
        break;
    }
    case Qt::Key_PageUp: {
        const int page = std::max(1, VisibleRowCount());
        r = std::max(firstR, r - page);
        setTopRow(plus(m_topRow, -page));
        break;
    }
    case Qt::Key_PageDown: {
        const int page = std::max(1, VisibleRowCount());
        r = std::min(lastR, plus(r, page));
        setTopRow(plus(m_topRow, page));
        break;
    }
    case Qt::Key_Home:
        c = firstC;
        if (ctrl) r = firstR;
        break;
    case Qt::Key_End:
        c = lastC;
        if (ctrl) r = lastR;
        break;
    case Qt::Key_Tab:
        if (!(m_options & goTabs)) return;
        moveAnchor = true;
        if (Shift & ssShift) {
            if (c > firstC)
                --c;
            else if (r > firstR) {
                c = lastC;
                --r;
            }
        } else {
            if (c < lastC)
                ++c;
            else if (r < lastR) {
                c = firstC;
                ++r;
            }
        }
        break;
    case Qt::Key_F2:
        if (!(m_options & goEditing)) return;
        ShowEditor();
        Key = 0;
        return;
    default:
        return;
    }
    moveCurrent(c, r, moveAnchor, true);
    Key = 0;
}

void TCustomGrid::KeyPress(QChar &Key)
{
    callHandler(OnKeyPress, this, Key);
    if (Key.unicode() == 13 && (m_options & goEditing) && !(m_options & goAlwaysShowEditor) &&
        !m_designing) {
        if (m_editorMode)
            HideEditor();
        else
            ShowEditor();
        Key = QChar();
    }
}

void TCustomGrid::WMChar(QChar Key)
{
    KeyPress(Key);
    if (Key.isNull()) return;
    const char16_t code = Key.unicode();
    if ((m_options & goEditing) && !m_designing && (code == 8 || code >= 32)) ShowEditorChar(Key);
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
    return (m_options & goEditing) && !(m_options & goRowSelect) && !m_designing;
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
    if (!m_inplaceEdit) {
        m_inplaceEdit = CreateEditor();
        if (!m_inplaceEdit) return;
        m_inplaceEdit->setParent(viewport());
        m_inplaceEdit->setFont(m_font->qfont());
        m_inplaceEdit->hide();
    }
    scrollIntoView(m_current.X, m_current.Y);
    if (m_editorMode) {
        // Already editing: keep what was typed, only bring the editor back.
        updateEditor();
        if (m_inplaceEdit->isVisible()) m_inplaceEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_editorMode = true;
    m_inplaceEdit->UpdateContents();
    updateEditor();
    if (m_inplaceEdit->isVisible()) {
        m_inplaceEdit->setFocus(Qt::OtherFocusReason);
        m_inplaceEdit->selectAll();
    }
    InvalidateCell(m_current.X, m_current.Y);
}

void TCustomGrid::ShowEditorChar(QChar ch)
{
    ShowEditor();
    if (!m_editorMode || !m_inplaceEdit) return;
    m_inplaceEdit->selectAll();
    if (ch.unicode() == 8)
        m_inplaceEdit->del();
    else
        m_inplaceEdit->insert(QString(ch));
}

void TCustomGrid::UpdateText()
{
    if (!m_editorMode || !m_inplaceEdit) return;
    const QString text = m_inplaceEdit->text();
    if (text != GetEditText(m_current.X, m_current.Y)) SetEditText(m_current.X, m_current.Y, text);
}

void TCustomGrid::HideEditor()
{
    if (!m_editorMode) return;
    UpdateText();
    m_editorMode = false;
    if (m_inplaceEdit) {
        if (m_inplaceEdit->hasFocus()) setFocus(Qt::OtherFocusReason);
        m_inplaceEdit->hide();
    }
    InvalidateCell(m_current.X, m_current.Y);
}

void TCustomGrid::cancelEdit()
{
    if (!m_editorMode || !m_inplaceEdit) return;
    m_inplaceEdit->UpdateContents();
    if (m_options & goAlwaysShowEditor) {
        m_inplaceEdit->selectAll();
        return;
    }
    m_editorMode = false;
    if (m_inplaceEdit->hasFocus()) setFocus(Qt::OtherFocusReason);
    m_inplaceEdit->hide();
    InvalidateCell(m_current.X, m_current.Y);
}

// Places the open editor over the current cell, or hides its widget (editing goes on)
// while the cell is scrolled out of view.
void TCustomGrid::updateEditor()
{
    if (!m_inplaceEdit || !m_editorMode) return;
    const QRect r = CellRect(m_current.X, m_current.Y);
    if (r.isEmpty()) {
        if (m_inplaceEdit->isVisible()) {
            if (m_inplaceEdit->hasFocus()) setFocus(Qt::OtherFocusReason);
            m_inplaceEdit->hide();
        }
        return;
    }
    if (m_inplaceEdit->geometry() != r) m_inplaceEdit->setGeometry(r);
    if (!m_inplaceEdit->isVisible()) {
        const bool focus = hasFocus();
        m_inplaceEdit->show();
        if (focus) m_inplaceEdit->setFocus(Qt::OtherFocusReason);
    }
}

bool TCustomGrid::editorKey(int key, TShiftState shift)
{
    int k = key;
    KeyDown(k, shift);
    return k == 0;
}

// ---- moving lines -------------------------------------------------------------------------

void TCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    checkRange("MoveColumn", "FromIndex", fromIndex, 0, ColCount() - 1);
    checkRange("MoveColumn", "ToIndex", toIndex, 0, ColCount() - 1);
    if (fromIndex == toIndex) return;
    CheckMoveLine(true, fromIndex, toIndex);
    moveLine(true, fromIndex, toIndex);
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex)
{
    checkRange("MoveRow", "FromIndex", fromIndex, 0, RowCount() - 1);
    checkRange("MoveRow", "ToIndex", toIndex, 0, RowCount() - 1);
    if (fromIndex == toIndex) return;
    CheckMoveLine(false, fromIndex, toIndex);
    moveLine(false, fromIndex, toIndex);
}

void TCustomGrid::moveLine(bool column, int fromIndex, int toIndex)
{
    if (m_editorMode) UpdateText();
    GridAxis &axis = column ? m_cols : m_rows;
    int TGridCoord::*along = column ? &TGridCoord::X : &TGridCoord::Y;
    const TGridCoord current = m_current, anchor = m_anchor;
    axis.move(fromIndex, toIndex);
    m_current.*along = movedIndex(m_current.*along, fromIndex, toIndex);
    m_anchor.*along = movedIndex(m_anchor.*along, fromIndex, toIndex);
    clampCurrent();
    try {
        if (column)
            ColumnMoved(fromIndex, toIndex);
        else
            RowMoved(fromIndex, toIndex);
    } catch (...) {
        axis.move(toIndex, fromIndex);
        m_current = current;
        m_anchor = anchor;
        clampCurrent();
        throw;
    }
    if (m_editorMode && m_inplaceEdit) m_inplaceEdit->UpdateContents();
    viewport()->update();
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
    clampCurrent();
}

} // namespace vorgrd
