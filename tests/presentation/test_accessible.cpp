// What assistive technology reads from a grid, asked in-process the way a screen
// reader's bridge asks: the table, its headers, each cell's text, role and state, and
// the notices when the current cell moves or a cell is written.
#include "test_mouse_support.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace vorgrd;
using vorgrd::test::ShownGrid;

namespace {

struct Notice
{
    QAccessible::Event type;
    int row;    // table coordinates of the cell, -1 for no cell
    int column;
    QString value;
};

std::vector<Notice> notices;

// What a screen reader's bridge does when it starts listening: without it Qt drops
// every accessibility event.
void setAccessibilityActive(bool on)
{
    if (QPlatformAccessibility *a = QGuiApplicationPrivate::platformIntegration()->accessibility())
        a->setActive(on);
}

// Table-wide notices (rows inserted, data changed, reset) by their change type.
std::vector<QAccessibleTableModelChangeEvent::ModelChangeType> tableNotices;

void recordNotice(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::TableModelChanged) {
        tableNotices.push_back(static_cast<QAccessibleTableModelChangeEvent *>(event)->modelChangeType());
        return;
    }
    QAccessibleInterface *iface = event->accessibleInterface();
    QAccessibleTableCellInterface *cell = iface ? iface->tableCellInterface() : nullptr;
    if (!cell) return;
    Notice n{event->type(), cell->rowIndex(), cell->columnIndex(), QString()};
    if (event->type() == QAccessible::ValueChanged)
        n.value = static_cast<QAccessibleValueChangeEvent *>(event)->value().toString();
    notices.push_back(n);
}

struct AccessibleGridTest : ::testing::Test
{
    void SetUp() override
    {
        notices.clear();
        tableNotices.clear();
        previous = QAccessible::installUpdateHandler(recordNotice);
        setAccessibilityActive(true);
        ASSERT_TRUE(QAccessible::isActive());
        grid = g.grid;
        iface = QAccessible::queryAccessibleInterface(grid);
        ASSERT_NE(iface, nullptr);
        table = iface->tableInterface();
        ASSERT_NE(table, nullptr);
    }
    void TearDown() override
    {
        setAccessibilityActive(false);
        QAccessible::installUpdateHandler(previous);
    }

    int count(QAccessible::Event type) const
    {
        int n = 0;
        for (const Notice &notice : notices)
            n += notice.type == type;
        return n;
    }

    ShownGrid g;
    tvorgrid *grid = nullptr;
    QAccessibleInterface *iface = nullptr;
    QAccessibleTableInterface *table = nullptr;
    QAccessible::UpdateHandler previous = nullptr;
};

TEST_F(AccessibleGridTest, TheGridIsATableWhoseHeadersAreTheFixedBands)
{
    EXPECT_EQ(iface->role(), QAccessible::Table);
    grid->setColCount(4);
    grid->setRowCount(6);
    EXPECT_EQ(table->rowCount(), 5);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(iface->childCount(), 24);

    grid->columns()->GeTmColumn(2)->Title()->SetCaption("Price");
    grid->setshowtitles(true);
    grid->setCells(0, 3, "Row three");
    QAccessibleInterface *cell = table->cellAt(2, 1); // grid cell (2, 3)
    ASSERT_NE(cell, nullptr);
    QAccessibleTableCellInterface *c = cell->tableCellInterface();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->rowIndex(), 2);
    EXPECT_EQ(c->columnIndex(), 1);
    ASSERT_EQ(c->columnHeaderCells().size(), 1);
    EXPECT_EQ(c->columnHeaderCells()[0]->text(QAccessible::Name), "Price");
    EXPECT_EQ(c->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
    ASSERT_EQ(c->rowHeaderCells().size(), 1);
    EXPECT_EQ(c->rowHeaderCells()[0]->text(QAccessible::Name), "Row three");
    EXPECT_EQ(c->rowHeaderCells()[0]->role(), QAccessible::RowHeader);
    EXPECT_EQ(table->columnDescription(1), "Price");
    EXPECT_EQ(table->rowDescription(2), "Row three");
    EXPECT_EQ(c->table(), iface);
    EXPECT_EQ(cell->parent(), iface);
    EXPECT_EQ(iface->indexOfChild(cell), 3 * 4 + 2);
    EXPECT_EQ(iface->child(3 * 4 + 2), cell);

    // With no fixed rows the title row is still the header.
    grid->setFixedRows(0);
    EXPECT_EQ(table->rowCount(), 5);
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), grid->Cells(2, 1));
    grid->setshowtitles(false);
    EXPECT_EQ(table->rowCount(), 6);
    EXPECT_EQ(table->cellAt(6, 0), nullptr);
}

TEST_F(AccessibleGridTest, ACellSaysWhatItShows)
{
    grid->columns()->GeTmColumn(1)->settype(ftformula);
    grid->setCells(1, 1, "2*21");
    grid->setCells(1, 2, "1/0+");
    grid->setCells(2, 1, "plain");
    grid->columns()->GeTmColumn(3)->settype(ftnumeric);
    grid->columns()->GeTmColumn(3)->SetDisplayformat("0.00");
    grid->setCells(3, 1, "2.5");
    grid->setCells(3, 2, "abc");
    EXPECT_EQ(table->cellAt(0, 2)->text(QAccessible::Name), "2.50");
    EXPECT_EQ(table->cellAt(1, 2)->text(QAccessible::Name), "abc");
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), "42");
    EXPECT_EQ(table->cellAt(1, 0)->text(QAccessible::Name), "1/0+"); // a failing formula
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), "plain");
    EXPECT_EQ(table->cellAt(0, 1)->role(), QAccessible::Cell);
    // The cell's place on the screen is the grid's cell rectangle.
    const QRect r = table->cellAt(0, 1)->rect();
    EXPECT_EQ(r.size(), grid->CellRect(2, 1).size());
    EXPECT_EQ(iface->childAt(r.center().x(), r.center().y()), table->cellAt(0, 1));
}

TEST_F(AccessibleGridTest, CheckBoxCellsReportTheirCheckedStateAndCanBeToggled)
{
    grid->columns()->GeTmColumn(3)->settype(ftcheckbox);
    grid->setCells(3, 1, "Y");
    grid->setCells(3, 2, "N"); // any text is checked
    QAccessibleInterface *checked = table->cellAt(0, 2);
    QAccessibleInterface *alsoChecked = table->cellAt(1, 2);
    QAccessibleInterface *unchecked = table->cellAt(2, 2);
    EXPECT_EQ(checked->role(), QAccessible::CheckBox);
    EXPECT_TRUE(checked->state().checkable);
    EXPECT_TRUE(checked->state().checked);
    EXPECT_TRUE(alsoChecked->state().checked);
    EXPECT_FALSE(unchecked->state().checked);
    // Toggling is offered only while editing is allowed.
    ASSERT_NE(unchecked->actionInterface(), nullptr);
    EXPECT_EQ(table->cellAt(2, 1)->actionInterface(), nullptr); // no check box
    EXPECT_TRUE(unchecked->actionInterface()->actionNames().isEmpty());
    EXPECT_TRUE(unchecked->state().readOnly);
    grid->setOptions(grid->Options() | goEditing);
    ASSERT_EQ(unchecked->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::toggleAction()});
    unchecked->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(grid->Cells(3, 3), "Y");
    EXPECT_TRUE(unchecked->state().checked);
}

TEST_F(AccessibleGridTest, MovingTheCurrentCellSendsAFocusNoticeForTheNewCell)
{
    g.focus();
    ASSERT_TRUE(grid->hasFocus());
    notices.clear();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    QCoreApplication::processEvents();
    // Both moves came in one turn of the event loop: one notice, for where it ended.
    ASSERT_EQ(count(QAccessible::Focus), 1);
    EXPECT_EQ(notices.back().row, 1);
    EXPECT_EQ(notices.back().column, 1);
    EXPECT_EQ(iface->focusChild(), table->cellAt(1, 1));
    EXPECT_TRUE(table->cellAt(1, 1)->state().focused);
    EXPECT_FALSE(table->cellAt(0, 0)->state().focused);

    g.click(3, 3);
    QCoreApplication::processEvents();
    ASSERT_EQ(count(QAccessible::Focus), 2);
    EXPECT_EQ(notices.back().row, 2);
    EXPECT_EQ(notices.back().column, 2);
}

TEST_F(AccessibleGridTest, WritingAVisibleCellSendsAValueNoticeAndHiddenCellsSendNone)
{
    grid->setRowCount(500);
    notices.clear();
    grid->setCells(2, 3, "new text");
    ASSERT_EQ(count(QAccessible::ValueChanged), 1);
    EXPECT_EQ(notices.back().row, 2);
    EXPECT_EQ(notices.back().column, 1);
    EXPECT_EQ(notices.back().value, "new text");
    grid->setCells(2, 400, "far below");
    grid->setCells(40, 3, "beyond the columns");
    EXPECT_EQ(count(QAccessible::ValueChanged), 1);

    // A check-box toggle by mouse also says that the checked state changed.
    grid->columns()->GeTmColumn(1)->settype(ftcheckbox);
    grid->setOptions(grid->Options() | goEditing);
    g.click(1, 2); // makes it current
    g.click(1, 2); // toggles it
    EXPECT_EQ(grid->Cells(1, 2), "Y");
    EXPECT_EQ(count(QAccessible::ValueChanged), 2);
    EXPECT_EQ(count(QAccessible::StateChanged), 1);
}

TEST_F(AccessibleGridTest, TheSelectionIsReportedInTableCoordinates)
{
    grid->setOptions(grid->Options() | goRangeSelect);
    grid->setSelection(TGridRect{1, 2, 2, 4});
    EXPECT_EQ(table->selectedCellCount(), 6);
    EXPECT_EQ(table->selectedCells().size(), 6);
    EXPECT_TRUE(table->cellAt(1, 0)->tableCellInterface()->isSelected());
    EXPECT_FALSE(table->cellAt(0, 0)->tableCellInterface()->isSelected());
    EXPECT_EQ(table->selectedRowCount(), 0); // column 3 is not in it
    ASSERT_TRUE(table->selectRow(2));
    EXPECT_EQ(table->selectedRows(), QList<int>{2});
    EXPECT_TRUE(table->isRowSelected(2));
    ASSERT_TRUE(table->selectColumn(1));
    EXPECT_EQ(table->selectedColumns(), QList<int>{1});
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 1, 2, 4}));
}

TEST_F(AccessibleGridTest, TheSelectedCellsStayAliveWhenTheirListFillsTheCellCache)
{
    // A reader that has walked 45,000 cells asks for a selection of 10,000 others:
    // together they pass the cache's limit while the list is built.
    grid->setColCount(201);
    grid->setRowCount(1001);
    for (int i = 0; i < 45000; ++i)
        ASSERT_NE(table->cellAt(i / 200, i % 200), nullptr);
    grid->setOptions(grid->Options() | goRangeSelect);
    grid->setSelection(TGridRect{1, 501, 100, 600});
    const QList<QAccessibleInterface *> cells = table->selectedCells();
    ASSERT_EQ(cells.size(), 10000);
    for (int i = 0; i < cells.size(); ++i) {
        // Under the sanitizers a deleted interface fails here at once.
        ASSERT_EQ(cells[i], table->cellAt(500 + i / 100, i % 100)) << i;
        ASSERT_TRUE(cells[i]->tableCellInterface()->isSelected()) << i;
    }
}

TEST_F(AccessibleGridTest, CellsBeyondTheCountsBecomeInvalid)
{
    QAccessibleInterface *cell = table->cellAt(3, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->isValid());
    grid->setRowCount(3);
    EXPECT_FALSE(cell->isValid());
    EXPECT_TRUE(cell->state().invalid);
    EXPECT_EQ(cell->text(QAccessible::Name), "");
    EXPECT_EQ(table->cellAt(3, 3), nullptr);
}

// Every path that writes cells or moves lines reaches the table, and once: a screen
// reader that is told twice reads twice, and one that is told nothing reads stale text.
TEST_F(AccessibleGridTest, EveryWritePathReachesTheTableOnce)
{
    using Change = QAccessibleTableModelChangeEvent;
    const QString file = QDir::temp().filePath("vorgrd-accessible-load.txt");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("a;b\nc;d\n");
    }
    struct Path
    {
        const char *name;
        std::function<void(tvorgrid &)> write;
        bool valueNotice; // one cell: a value notice instead of a table notice
        Change::ModelChangeType type;
    };
    const std::vector<Path> paths = {
        {"setCells through the base", [](tvorgrid &g) { static_cast<TStringGrid &>(g).setCells(1, 1, "x"); },
         true, Change::DataChanged},
        {"a row view item", [](tvorgrid &g) { g.Rows(2).Put(1, "y"); }, true, Change::DataChanged},
        {"a column view cleared", [](tvorgrid &g) { g.Cols(1).Clear(); }, false, Change::DataChanged},
        {"ModifyRow", [](tvorgrid &g) { g.ModifyRow(1, "p;q;r", ";"); }, false, Change::DataChanged},
        {"PasteText", [](tvorgrid &g) { g.PasteText("1\t2\r\n3\t4"); }, false, Change::DataChanged},
        {"LoadFromFile", [&](tvorgrid &g) { g.LoadFromFile(file, ";"); }, false, Change::ModelReset},
        {"SortCompleteRows", [](tvorgrid &g) { g.SortCompleteRows(1); }, false, Change::ModelReset},
        {"SortCol", [](tvorgrid &g) { g.SortCol(1); }, false, Change::DataChanged},
        {"InsertRows", [](tvorgrid &g) { g.InsertRows(2, 2); }, false, Change::RowsInserted},
        {"DeleteRows", [](tvorgrid &g) { g.DeleteRows(2, 2); }, false, Change::RowsRemoved},
        {"InsertCols", [](tvorgrid &g) { g.InsertCols(1, 1); }, false, Change::ColumnsInserted},
        {"DeleteCols", [](tvorgrid &g) { g.DeleteCols(1, 1); }, false, Change::ColumnsRemoved},
        {"MoveRow", [](tvorgrid &g) { g.MoveRow(1, 3); }, false, Change::ModelReset},
    };
    for (const Path &path : paths) {
        SCOPED_TRACE(path.name);
        grid->setColCount(4);
        grid->setRowCount(6);
        for (int r = 1; r < 6; ++r)
            grid->ModifyRow(r, QString("%1;b%1;c%1").arg(6 - r), ";");
        notices.clear();
        tableNotices.clear();
        path.write(*grid);
        if (path.valueNotice) {
            EXPECT_EQ(count(QAccessible::ValueChanged), 1);
            EXPECT_TRUE(tableNotices.empty());
        } else {
            EXPECT_EQ(count(QAccessible::ValueChanged), 0);
            ASSERT_EQ(tableNotices.size(), 1u);
            EXPECT_EQ(tableNotices.front(), path.type);
        }
    }
    QFile::remove(file);
}

} // namespace
