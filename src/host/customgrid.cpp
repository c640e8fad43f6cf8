// TCustomGrid: construction, the counts and extents, appearance. The other concerns of
// the base have files of their own: gridview.cpp (scrolling, current cell and
// selection, geometry, painting), gridinput.cpp (mouse, focus, keyboard),
// grideditor.cpp (the in-place editor), gridlinemoves.cpp (moving lines and the
// default hooks), gridsignals.cpp (signals and the change pipeline's hooks).
#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/gridedit.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QEvent>
#include <QScopedValueRollback>

#include <algorithm>

namespace vorgrd {

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
    // The count asked for is put back and the refusal goes on to the caller (a setter's
    // error, not an event's: no event guard here).
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
    // As in setLineCount: put back, then the caller gets the refusal.
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

} // namespace vorgrd
