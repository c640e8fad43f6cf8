// tvorgrid: construction, the title row, and keeping the columns and row marks in
// step with the base's counts and widths.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/updatebracket.h"

#include <algorithm>
#include <stdexcept>

namespace vorgrd {

tvorgrid::tvorgrid(QWidget *parent) : TStringGrid(parent), d(std::make_unique<Private>(*this))
{
    // Every row costs a mark and every column a description: the counts (and cell
    // writes) stop at the insertions' caps.
    setCountLimits(MaxInsertColCount, MaxInsertRowCount);
    LineParts &lines = d->lines;
    lines.columns = std::make_unique<TvorgridColumns>(this);
    while (lines.columns->Count() < ColCount())
        lines.columns->Add();
    d->sortIndex = std::make_unique<TvorList>();
    lines.rowMarksCount = RowCount();
    lines.rowMarks = std::make_unique<TStringList>();
    for (int i = 0; i < RowCount(); ++i)
        lines.rowMarks->Add(QStringLiteral("N"));
    d->parser = std::make_unique<TvorParser>();
    d->parser->setGrid(this);
    // Without the resource the sheet stays empty and the glyph size 0.
    CheckGlyphs &glyphs = d->glyphs;
    glyphs.sheet = QImage(QStringLiteral(":/vorgrd/CHECK_IMAGES"));
    glyphs.width = glyphs.sheet.width() / 4;
    glyphs.height = glyphs.sheet.height() / 3;
    glyphs.workBitmap =
        QImage(qMax(glyphs.width, 1), qMax(glyphs.height, 1), QImage::Format_ARGB32);
    d->connectAccessibleNotices();
    connect(this, &TCustomGrid::fixedRowsChanged, this, &tvorgrid::savedFixedRowsChanged);
    connect(this, &TCustomGrid::fixedColsChanged, this, &tvorgrid::savedFixedColsChanged);
}

tvorgrid::~tvorgrid()
{
    // The parser reads the grid and the columns call back into it: both go while the
    // grid is still whole.
    d->parser.reset();
    d->lines.rowMarks.reset();
    d->sortIndex.reset();
    d->lines.columns.reset();
}

bool tvorgrid::showtitles() const
{
    return d->lines.showtitles;
}

void tvorgrid::setshowtitles(bool value)
{
    const GridEdit edit(*this);
    if (value) {
        for (int i = 0; i < d->lines.columns->Count(); ++i)
            setCells(i, 0, d->lines.columns->GeTmColumn(i)->Title()->GetCaption());
    } else {
        for (int i = 0; i < ColCount(); ++i)
            setCells(i, 0, QString());
    }
    const bool changed = value != d->lines.showtitles;
    d->lines.showtitles = value;
    Refresh();
    if (changed) emit showtitlesChanged(value);
}

// The counts win, as in loaded(): a collection of another size is fitted to ColCount
// (descriptions beyond it dropped, missing ones added with their defaults), so that
// the grid keeps exactly one description per column.
void tvorgrid::setcolumns(TvorgridColumns *value)
{
    if (!value || value == d->lines.columns.get()) return;
    d->lines.columns->Assign(value);
    d->fitColumns();
    d->pushColumnWidths();
    if (d->lines.showtitles) setshowtitles(true);
    emit columnsChanged();
}

void tvorgrid::Private::pushColumnWidths()
{
    for (int i = 0; i < lines.columns->Count(); ++i) {
        const tmcolumn *column = lines.columns->GeTmColumn(i);
        q.setColWidths(i, column->GetHide() ? 0 : column->GetWidth());
    }
}

void tvorgrid::EditButtonClick()
{
    callHandler(OnEditButtonClick, this);
}

void tvorgrid::Loaded()
{
    TStringGrid::Loaded();
    loaded();
}

void tvorgrid::loaded()
{
    // A stream may carry a column list of another length than its ColCount: the
    // counts win, as they do for every other change.
    d->fitColumns();
    // The stream carries the widths in the columns (the base's own widths are not
    // streamed), and the columns were read inside an update bracket: push them now.
    d->pushColumnWidths();
    setshowtitles(d->lines.showtitles);
}

void tvorgrid::SizeChanged(int OldColCount, int OldRowCount)
{
    d->fitRowMarks();
    if (d->lines.columns) {
        d->fitColumns();
        TStringGrid::SizeChanged(OldColCount, OldRowCount);
    }
}

void tvorgrid::Private::fitRowMarks()
{
    TStringList *const marks = lines.rowMarks.get();
    if (!marks) return;
    const int rows = q.RowCount();
    if (lines.rowMarksCount > rows) {
        // Rows removed by a plain count change: every row loses its marks.
        marks->Clear();
        for (int i = 0; i < rows; ++i)
            marks->Add(QStringLiteral("N"));
        lines.rowMarksCount = rows;
    }
    if (rows > lines.rowMarksCount) {
        // Room for all new rows at once when many come (a grid sized to ten million
        // rows would otherwise keep up to twice the marks' storage), doubling when
        // rows come a few at a time.
        if (rows > marks->Capacity()) marks->SetCapacity(std::max(rows, 2 * marks->Capacity()));
        for (int i = lines.rowMarksCount; i < rows; ++i)
            marks->Add(QStringLiteral("N"));
        lines.rowMarksCount = rows;
    }
}

void tvorgrid::Private::fitColumns()
{
    TvorgridColumns &columns = *lines.columns;
    while (columns.Count() < q.ColCount())
        columns.Add();
    if (columns.Count() <= q.ColCount()) return;
    // Rebuild from copies so that the first ColCount descriptions keep every setting.
    TvorgridColumns kept(&q);
    for (int i = 0; i < q.ColCount(); ++i)
        kept.Add()->Assign(columns.GeTmColumn(i));
    UpdateBracket bracket(columns);
    columns.Clear();
    for (int i = 0; i < q.ColCount(); ++i)
        columns.Add()->Assign(kept.GeTmColumn(i));
}

void tvorgrid::ColWidthsChanged()
{
    Colwidthschanged();
}

// Only shown columns whose width the drag changed are copied back: a hidden column
// stands at width 0 in the base and keeps the width it will be shown with again.
void tvorgrid::Colwidthschanged()
{
    for (int i = 0; i < ColCount(); ++i) {
        tmcolumn *column = d->lines.columns->GeTmColumn(i);
        if (!column->GetHide() && column->GetWidth() != ColWidths(i))
            column->SetWidth(ColWidths(i));
    }
}

void tvorgrid::checkConsistency() const
{
    const LineParts &lines = d->lines;
    lines.columns->checkConsistency();
    const QString store = cellStore().checkConsistency();
    if (!store.isEmpty()) throw std::logic_error(store.toStdString());
    if (lines.columns->Count() != ColCount())
        throw std::logic_error("columns out of step with ColCount");
    if (lines.rowMarks->Count() != RowCount() || lines.rowMarksCount != RowCount())
        throw std::logic_error("RowMarks out of step with RowCount");
}

// ---- the owned parts ----------------------------------------------------------------------

TvorgridColumns *tvorgrid::columns() const
{
    return d->lines.columns.get();
}

TStringList *tvorgrid::RowMarks() const
{
    return d->lines.rowMarks.get();
}

int tvorgrid::RowMarksCount() const
{
    return d->lines.rowMarksCount;
}

TvorList *tvorgrid::SortIndex() const
{
    return d->sortIndex.get();
}

TvorParser *tvorgrid::Parser() const
{
    return d->parser.get();
}

const QImage &tvorgrid::CheckImages() const
{
    return d->glyphs.sheet;
}

int tvorgrid::CheckWidth() const
{
    return d->glyphs.width;
}

int tvorgrid::CheckHeight() const
{
    return d->glyphs.height;
}

QImage &tvorgrid::WorkBitmap()
{
    return d->glyphs.workBitmap;
}

} // namespace vorgrd
