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

int TCustomGrid::fixedWidth() const
{
    return clampInt(m_cols.offset(m_fixedCols, VertLineWidth()), 0, INT_MAX);
}

int TCustomGrid::fixedHeight() const
{
    return clampInt(m_rows.offset(m_fixedRows, HorzLineWidth()), 0, INT_MAX);
}

namespace {

// The smallest first scrollable line from which `last` is still shown whole in `room`
// pixels: lines first .. last, each taking extent + lw, the last one's line not
// needed. Found by offset, so lines of extent 0 cost nothing.
int firstLineShowing(const GridAxis &axis, int last, int fixed, qint64 room, int lw)
{
    const qint64 need = axis.offset(last + 1, lw) - lw - room;
    const int before = axis.lastIndexAtOrBefore(need - 1, lw); // the last line that no longer fits
    return std::max(before + 1, fixed);
}

// The lines from `first` whose whole extent lies within `room` pixels.
int linesShown(const GridAxis &axis, int first, qint64 room, int lw)
{
    const int end = axis.lastIndexAtOrBefore(axis.offset(first, lw) + room + lw, lw);
    return std::max(0, end - first);
}

} // namespace

int TCustomGrid::maxLeftCol() const
{
    const int i = firstLineShowing(m_cols, ColCount() - 1, m_fixedCols,
                                   qint64(ClientWidth()) - fixedWidth(), VertLineWidth());
    return std::clamp(i, m_fixedCols, ColCount() - 1);
}

int TCustomGrid::maxTopRow() const
{
    const int i = firstLineShowing(m_rows, RowCount() - 1, m_fixedRows,
                                   qint64(ClientHeight()) - fixedHeight(), HorzLineWidth());
    return std::clamp(i, m_fixedRows, RowCount() - 1);
}

void TCustomGrid::setLeftCol(int col)
{
    col = std::clamp(col, m_fixedCols, maxLeftCol());
    if (col == m_leftCol) return;
    m_leftCol = col;
    ++m_layoutGeneration;
    updateScrollBars();
    updateEditor();
    viewport()->update();
    TopLeftChanged();
}

void TCustomGrid::setTopRow(int row)
{
    row = std::clamp(row, m_fixedRows, maxTopRow());
    if (row == m_topRow) return;
    m_topRow = row;
    ++m_layoutGeneration;
    updateScrollBars();
    updateEditor();
    viewport()->update();
    TopLeftChanged();
}

int TCustomGrid::VisibleColCount() const
{
    return linesShown(m_cols, m_leftCol, qint64(ClientWidth()) - fixedWidth(), VertLineWidth());
}

int TCustomGrid::VisibleRowCount() const
{
    return linesShown(m_rows, m_topRow, qint64(ClientHeight()) - fixedHeight(), HorzLineWidth());
}

void TCustomGrid::updateScrollBars()
{
    m_syncingScrollBars = true;
    QScrollBar *v = verticalScrollBar();
    v->setRange(m_fixedRows, maxTopRow());
    v->setPageStep(std::max(1, VisibleRowCount()));
    v->setSingleStep(1);
    v->setValue(m_topRow);
    v->setTracking(m_options & goThumbTracking);
    QScrollBar *h = horizontalScrollBar();
    h->setRange(m_fixedCols, maxLeftCol());
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
    if (col >= m_fixedCols) {
        int left = m_leftCol;
        if (col < left) {
            left = col;
        } else {
            // The smallest first column that still shows `col` whole.
            const int first = firstLineShowing(m_cols, col, m_fixedCols,
                                               qint64(ClientWidth()) - fixedWidth(), VertLineWidth());
            left = std::max(left, std::min(first, col));
        }
        setLeftCol(left);
    }
    if (row >= m_fixedRows) {
        int top = m_topRow;
        if (row < top) {
            top = row;
        } else {
            const int first = firstLineShowing(m_rows, row, m_fixedRows,
                                               qint64(ClientHeight()) - fixedHeight(), HorzLineWidth());
            top = std::max(top, std::min(first, row));
        }
        setTopRow(top);
    }
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
    m_leftCol = std::clamp(m_leftCol, m_fixedCols, maxLeftCol());
    m_topRow = std::clamp(m_topRow, m_fixedRows, maxTopRow());
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

qint64 TCustomGrid::colStart(int col) const
{
    const int lw = VertLineWidth();
    if (col < m_fixedCols) return m_cols.offset(col, lw);
    return fixedWidth() + m_cols.offset(col, lw) - m_cols.offset(m_leftCol, lw);
}

qint64 TCustomGrid::rowStart(int row) const
{
    const int lw = HorzLineWidth();
    if (row < m_fixedRows) return m_rows.offset(row, lw);
    return fixedHeight() + m_rows.offset(row, lw) - m_rows.offset(m_topRow, lw);
}

int TCustomGrid::colAtX(int x) const
{
    if (x < 0) return -1;
    const int lw = VertLineWidth();
    if (x < fixedWidth()) return m_cols.indexAt(x, lw);
    const int i = m_cols.indexAt(x - fixedWidth() + m_cols.offset(m_leftCol, lw), lw);
    return i >= ColCount() ? -1 : i;
}

int TCustomGrid::rowAtY(int y) const
{
    if (y < 0) return -1;
    const int lw = HorzLineWidth();
    if (y < fixedHeight()) return m_rows.indexAt(y, lw);
    const int i = m_rows.indexAt(y - fixedHeight() + m_rows.offset(m_topRow, lw), lw);
    return i >= RowCount() ? -1 : i;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    return TGridCoord{colAtX(x), rowAtY(y)};
}

QRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return QRect();
    if ((col >= m_fixedCols && col < m_leftCol) || (row >= m_fixedRows && row < m_topRow))
        return QRect();
    const qint64 x = colStart(col), y = rowStart(row);
    if (x >= ClientWidth() || y >= ClientHeight()) return QRect();
    return QRect(static_cast<int>(x), static_cast<int>(y), m_cols.extent(col), m_rows.extent(row));
}

// The sizing rule shared with descendants that hit-test themselves: a border is
// grabbed within a zone of at least 7 pixels around it, column borders only inside
// the fixed rows and row borders only inside the fixed columns.
TCustomGrid::Sizing TCustomGrid::calcSizingState(int x, int y) const
{
    Sizing s;
    const bool colSizing = (m_options & goColSizing) || m_designing;
    const bool rowSizing = (m_options & goRowSizing) || m_designing;
    if (!colSizing && !rowSizing) return s;
    const int fw = fixedWidth(), fh = fixedHeight();
    auto axisSizing = [&s](const GridAxis &axis, int first, int fixedEnd, int lw, int client,
                           int point, TGridState state) {
        qint64 run = fixedEnd;
        int zone = lw, back = 0;
        if (lw < 7) {
            zone = 7;
            back = (7 - lw) / 2;
        }
        // Lines of no pixels are stepped over: their border is the one before them,
        // already tried.
        int i = first;
        for (; i < axis.count(); i = axis.nextShown(i + 1, lw)) {
            run += axis.extent(i);
            if (run > client) break;
            if (point >= run - back && point <= run - back + zone) {
                s = Sizing{state, i, static_cast<int>(run), static_cast<int>(run - point)};
                return;
            }
            run += lw;
        }
        if (point >= client - back && point <= client && i < axis.count())
            s = Sizing{state, i, client, client - point};
    };
    if (x > fw && colSizing) {
        if (y >= fh) return s;
        axisSizing(m_cols, m_leftCol, fw, VertLineWidth(), ClientWidth(), x, gsColSizing);
    } else if (y > fh && rowSizing) {
        if (x >= fw) return s;
        axisSizing(m_rows, m_topRow, fh, HorzLineWidth(), ClientHeight(), y, gsRowSizing);
    }
    return s;
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

void TCustomGrid::paintView(QPainter &painter, const QRect &clip)
{
    const quint64 generation = m_layoutGeneration;
    const int vlw = VertLineWidth(), hlw = HorzLineWidth();
    const int cw = ClientWidth(), ch = ClientHeight();
    // Only the columns and rows in view are walked, and lines of no pixels are
    // stepped over by offset: painting costs the same for 100 rows as for 10,000,000,
    // whatever their heights.
    std::vector<std::pair<int, int>> cols, rows;
    auto collect = [](const GridAxis &axis, int first, int end, qint64 start, int lw, int client,
                      std::vector<std::pair<int, int>> &out) {
        qint64 at = start;
        for (int i = axis.nextShown(first, lw); i < end && at < client; i = axis.nextShown(i + 1, lw)) {
            out.emplace_back(i, static_cast<int>(at));
            at += axis.extent(i) + lw;
        }
        return at;
    };
    collect(m_cols, 0, m_fixedCols, 0, vlw, cw, cols);
    const qint64 x = collect(m_cols, m_leftCol, ColCount(), fixedWidth(), vlw, cw, cols);
    const int xEnd = static_cast<int>(std::min<qint64>(x, cw));
    collect(m_rows, 0, m_fixedRows, 0, hlw, ch, rows);
    const qint64 y = collect(m_rows, m_topRow, RowCount(), fixedHeight(), hlw, ch, rows);
    const int yEnd = static_cast<int>(std::min<qint64>(y, ch));

    for (const auto &[r, ry] : rows) {
        const int h = m_rows.extent(r);
        for (const auto &[c, cx] : cols) {
            const int w = m_cols.extent(c);
            const QRect rect(cx, ry, w, h);
            if (!rect.adjusted(0, 0, vlw, hlw).intersects(clip)) continue;
            if (w > 0 && h > 0) paintCell(c, r, rect);
            if (generation != m_layoutGeneration) {
                // A handler changed the counts, sizes or scrolling: the cells left
                // to paint may be gone. Stop here; the scheduled paint shows the rest.
                viewport()->update();
                return;
            }
            paintLines(painter, c, r, rect, vlw, hlw);
        }
    }
    const QColor background = ColorToQColor(m_color);
    if (xEnd < cw) painter.fillRect(QRect(xEnd, 0, cw - xEnd, ch), background);
    if (yEnd < ch) painter.fillRect(QRect(0, yEnd, xEnd, ch - yEnd), background);
    if ((m_gridState == gsColMoving || m_gridState == gsRowMoving) && m_moveTo >= 0 &&
        m_moveTo != m_moveFrom && dragStillValid()) {
        // The insertion mark: where the dragged line will land.
        const QColor mark = ColorToQColor(clHighlight);
        if (m_gridState == gsColMoving) {
            const qint64 at = m_moveTo > m_moveFrom ? colStart(m_moveTo) + m_cols.extent(m_moveTo)
                                                    : colStart(m_moveTo);
            painter.fillRect(QRect(static_cast<int>(at) - 1, 0, 3, yEnd), mark);
        } else {
            const qint64 at = m_moveTo > m_moveFrom ? rowStart(m_moveTo) + m_rows.extent(m_moveTo)
                                                    : rowStart(m_moveTo);
            painter.fillRect(QRect(0, static_cast<int>(at) - 1, xEnd, 3), mark);
        }
    }
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

void TCustomGrid::paintLines(QPainter &painter, int col, int row, const QRect &rect, int vlw,
                             int hlw)
{
    QPainter *p = &painter;
    const bool fixed = col < m_fixedCols || row < m_fixedRows;
    const QColor background = ColorToQColor(fixed ? m_fixedColor : m_color);
    const QColor line = ColorToQColor(fixed ? FixedLineColor : LineColor);
    if (vlw > 0) {
        const bool on = m_options & (fixed ? goFixedVertLine : goVertLine);
        p->fillRect(QRect(rect.x() + rect.width(), rect.y(), vlw, rect.height() + hlw),
                    on ? line : background);
    }
    if (hlw > 0) {
        const bool on = m_options & (fixed ? goFixedHorzLine : goHorzLine);
        p->fillRect(QRect(rect.x(), rect.y() + rect.height(), rect.width(), hlw),
                    on ? line : background);
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
            if (sizing.state == gsColSizing) {
                m_sizingStart = static_cast<int>(colStart(sizing.index));
                m_sizingOriginal = m_cols.extent(sizing.index);
                viewport()->setCursor(Qt::SplitHCursor);
            } else {
                m_sizingStart = static_cast<int>(rowStart(sizing.index));
                m_sizingOriginal = m_rows.extent(sizing.index);
                viewport()->setCursor(Qt::SplitVCursor);
            }
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
        // Dragging past an edge scrolls by one line per move.
        const int cw = ClientWidth(), ch = ClientHeight();
        int col = colAtX(std::clamp(X, 0, std::max(0, cw - 1)));
        int row = rowAtY(std::clamp(Y, 0, std::max(0, ch - 1)));
        if (col < 0) col = ColCount() - 1;
        if (row < 0) row = RowCount() - 1;
        if (X < fixedWidth() || col < m_fixedCols)
            col = std::max(m_fixedCols, m_leftCol - 1);
        else if (X >= cw)
            col = std::min(ColCount() - 1, plus(m_leftCol, VisibleColCount()));
        if (Y < fixedHeight() || row < m_fixedRows)
            row = std::max(m_fixedRows, m_topRow - 1);
        else if (Y >= ch)
            row = std::min(RowCount() - 1, plus(m_topRow, VisibleRowCount()));
        moveCurrent(col, row, !(m_options & goRangeSelect), true);
        break;
    }
    case gsColSizing:
    case gsRowSizing: {
        const int point = m_gridState == gsColSizing ? X : Y;
        const int extent = clampInt(qint64(point) + m_sizing.offset - m_sizingStart, 0, MaxExtent);
        GridAxis &axis = m_gridState == gsColSizing ? m_cols : m_rows;
        if (axis.extent(m_sizing.index) != extent) {
            axis.setExtent(m_sizing.index, extent);
            clampCurrent();
        }
        break;
    }
    case gsColMoving: {
        int col = colAtX(std::clamp(X, 0, std::max(0, ClientWidth() - 1)));
        if (col < 0) col = ColCount() - 1;
        m_moveTo = std::max(col, m_fixedCols);
        viewport()->update();
        break;
    }
    case gsRowMoving: {
        int row = rowAtY(std::clamp(Y, 0, std::max(0, ClientHeight() - 1)));
        if (row < 0) row = RowCount() - 1;
        m_moveTo = std::max(row, m_fixedRows);
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
        c = std::max(firstC, c - 1);
        break;
    case Qt::Key_Right:
        c = std::min(lastC, c + 1);
        break;
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
