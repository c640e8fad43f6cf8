// tvorgrid: construction, the title row, and keeping the columns and row marks in
// step with the base's counts and widths.
#include "grid/vorGrid.h"
#include "host/updatebracket.h"

#include <algorithm>
#include <stdexcept>

namespace vorgrd {

tvorgrid::tvorgrid(QWidget *parent) : TStringGrid(parent)
{
    // Every row costs a mark and every column a description: the counts (and cell
    // writes) stop at the insertions' caps.
    setCountLimits(MaxInsertColCount, MaxInsertRowCount);
    m_columns = std::make_unique<TvorgridColumns>(this);
    while (m_columns->Count() < ColCount())
        m_columns->Add();
    m_SortIndex = std::make_unique<TvorList>();
    m_RowMarksCount = RowCount();
    m_RowMarks = std::make_unique<TStringList>();
    for (int i = 0; i < RowCount(); ++i)
        m_RowMarks->Add(QStringLiteral("N"));
    m_Parser = std::make_unique<TvorParser>();
    m_Parser->setGrid(this);
    // Without the resource the sheet stays empty and the glyph size 0.
    m_CheckImages = QImage(QStringLiteral(":/vorgrd/CHECK_IMAGES"));
    m_CheckWidth = m_CheckImages.width() / 4;
    m_CheckHeight = m_CheckImages.height() / 3;
    m_WorkBitmap = QImage(qMax(m_CheckWidth, 1), qMax(m_CheckHeight, 1), QImage::Format_ARGB32);
    connect(this, &TCustomGrid::fixedRowsChanged, this, &tvorgrid::savedFixedRowsChanged);
    connect(this, &TCustomGrid::fixedColsChanged, this, &tvorgrid::savedFixedColsChanged);
}

tvorgrid::~tvorgrid()
{
    m_Parser.reset();
    m_RowMarks.reset();
    m_SortIndex.reset();
    m_columns.reset();
}

void tvorgrid::setshowtitles(bool value)
{
    const CellBatch batch(*this);
    if (value) {
        for (int i = 0; i < m_columns->Count(); ++i)
            setCells(i, 0, m_columns->GeTmColumn(i)->Title()->GetCaption());
    } else {
        for (int i = 0; i < ColCount(); ++i)
            setCells(i, 0, QString());
    }
    const bool changed = value != m_showtitles;
    m_showtitles = value;
    Refresh();
    if (changed) emit showtitlesChanged(value);
}

// The counts win, as in loaded(): a collection of another size is fitted to ColCount
// (descriptions beyond it dropped, missing ones added with their defaults), so that
// the grid keeps exactly one description per column.
void tvorgrid::setcolumns(TvorgridColumns *value)
{
    if (!value || value == m_columns.get()) return;
    m_columns->Assign(value);
    fitColumns();
    pushColumnWidths();
    if (m_showtitles) setshowtitles(true);
    emit columnsChanged();
}

void tvorgrid::pushColumnWidths()
{
    for (int i = 0; i < m_columns->Count(); ++i) {
        const tmcolumn *column = m_columns->GeTmColumn(i);
        setColWidths(i, column->GetHide() ? 0 : column->GetWidth());
    }
}

void tvorgrid::EditButtonClick()
{
    if (OnEditButtonClick)
        OnEditButtonClick(this);
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
    fitColumns();
    // The stream carries the widths in the columns (the base's own widths are not
    // streamed), and the columns were read inside an update bracket: push them now.
    pushColumnWidths();
    setshowtitles(m_showtitles);
}

void tvorgrid::SizeChanged(int OldColCount, int OldRowCount)
{
    fitRowMarks();
    if (m_columns) {
        fitColumns();
        TStringGrid::SizeChanged(OldColCount, OldRowCount);
    }
}

void tvorgrid::fitRowMarks()
{
    if (!m_RowMarks)
        return;
    if (m_RowMarksCount > RowCount()) {
        // Rows removed by a plain count change: every row loses its marks.
        m_RowMarks->Clear();
        for (int i = 0; i < RowCount(); ++i)
            m_RowMarks->Add(QStringLiteral("N"));
        m_RowMarksCount = RowCount();
    }
    if (RowCount() > m_RowMarksCount) {
        // Room for all new rows at once when many come (a grid sized to ten million
        // rows would otherwise keep up to twice the marks' storage), doubling when
        // rows come a few at a time.
        if (RowCount() > m_RowMarks->Capacity())
            m_RowMarks->SetCapacity(std::max(RowCount(), 2 * m_RowMarks->Capacity()));
        for (int i = m_RowMarksCount; i < RowCount(); ++i)
            m_RowMarks->Add(QStringLiteral("N"));
        m_RowMarksCount = RowCount();
    }
}

void tvorgrid::fitColumns()
{
    while (m_columns->Count() < ColCount())
        m_columns->Add();
    if (m_columns->Count() <= ColCount())
        return;
    // Rebuild from copies so that the first ColCount descriptions keep every setting.
    TvorgridColumns kept(this);
    for (int i = 0; i < ColCount(); ++i)
        kept.Add()->Assign(m_columns->GeTmColumn(i));
    UpdateBracket bracket(*m_columns);
    m_columns->Clear();
    for (int i = 0; i < ColCount(); ++i)
        m_columns->Add()->Assign(kept.GeTmColumn(i));
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
        tmcolumn *column = m_columns->GeTmColumn(i);
        if (!column->GetHide() && column->GetWidth() != ColWidths(i)) column->SetWidth(ColWidths(i));
    }
}

void tvorgrid::checkConsistency() const
{
    m_columns->checkConsistency();
    const QString store = cellStore().checkConsistency();
    if (!store.isEmpty()) throw std::logic_error(store.toStdString());
    if (m_columns->Count() != ColCount())
        throw std::logic_error("columns out of step with ColCount");
    if (m_RowMarks->Count() != RowCount() || m_RowMarksCount != RowCount())
        throw std::logic_error("RowMarks out of step with RowCount");
}

} // namespace vorgrd
