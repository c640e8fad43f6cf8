// tvorgrid's workbook operations: each builds what its writer or reader works on and
// forwards to it (workbooksheet.cpp, xlsxsave.cpp, odssave.cpp, workbookload.cpp).
#include "exchange/workbookio_p.h"
#include "exchange/workbooksheet_p.h"
#include "exchange/workbookstage_p.h"
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"

namespace vorgrd {

using namespace workbook_internal;

namespace {

WorkbookGridParts partsOf(const tvorgrid &grid)
{
    WorkbookGridParts parts;
    parts.cells = &grid.cellStore();
    parts.columns = grid.columns();
    parts.reader = &grid;
    parts.rows = grid.RowCount();
    parts.cols = grid.ColCount();
    parts.fixedRows = grid.FixedRows();
    parts.fixedCols = grid.FixedCols();
    parts.titles = grid.showtitles();
    for (int c = 0; c < parts.cols; ++c)
        parts.widths.push_back(grid.ColWidths(c));
    return parts;
}

} // namespace

void tvorgrid::SaveasXLSX(const QString &FileName)
{
    WorkbookSheet sheet(partsOf(*this));
    saveXlsx(sheet, FileName);
}

void tvorgrid::SaveasODS(const QString &FileName)
{
    WorkbookSheet sheet(partsOf(*this));
    saveOds(sheet, FileName);
}

void tvorgrid::LoadFromWorkbook(const QString &FileName, int Sheet)
{
    StagedSheet staged(FileName);
    loadWorkbook(FileName, Sheet, staged);
    d->replaceContent(staged.cells(), staged.colCount(), staged.rowCount());
}

// A load replaces the content: the editor closed around it, one reset reported, the
// counts set, every row new.
void tvorgrid::Private::replaceContent(CellStore &staged, int cols, int rows)
{
    const bool editing = q.EditorMode();
    if (editing) q.HideEditor();
    GridEdit edit(q, TLineChange{});
    edit.store().swap(staged);
    q.setColCount(cols);
    q.setRowCount(rows);
    for (int i = 0; i < lines.rowMarks->Count(); ++i)
        if (lines.rowMarks->Strings(i) != QLatin1String("N")) lines.rowMarks->setStrings(i, QStringLiteral("N"));
    if (editing) q.ShowEditor();
    q.Refresh();
}

} // namespace vorgrd
