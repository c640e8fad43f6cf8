// The demo window driven through its scripted tour: every step must have done what
// its caption says, checked against the grid's cells, not against the tour's code.
#include "demoexchange.h"
#include "demotour.h"
#include "demoworkbook.h"
#include "demowindow.h"
#include "orderstable.h"

#include "grid/vorGrid.h"
#include "host/textconvert.h"
#include "presentation/inplaceeditor.h"
#include "presentation/popuplist.h"
#include "design/strcoled_p.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

class DemoTour : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.show();
        QApplication::processEvents();
        grid = window.grid();
    }
    void TearDown() override { finishStep(window); }

    void runStep(const char *name)
    {
        for (const TourStep &step : tourSteps())
            if (QLatin1String(step.name) == QLatin1String(name)) {
                step.run(window);
                return;
            }
        FAIL() << "no tour step " << name;
    }
    int col(const QString &name) const { return grid->getcellsindex(name); }
    QString cell(const QString &name, int row) const { return grid->Cells(col(name), row); }
    double number(const QString &name, int row) const { return StrToFloat(cell(name, row)); }
    QStringList column(const QString &name) const
    {
        QStringList texts;
        for (int row = orders::FirstOrderRow; row < grid->RowCount(); ++row)
            texts << cell(name, row);
        return texts;
    }
    // The sum of quantity times price, from the plain cells.
    double lineTotalsSum() const
    {
        double sum = 0;
        for (int row = orders::FirstOrderRow; row < grid->RowCount(); ++row)
            sum += number(orders::Quantity, row) * number(orders::Price, row);
        return sum;
    }
    // Every order is flagged exactly when it is unpaid (how the window starts).
    void expectFlagsFollowPaid() const
    {
        for (int row = orders::FirstOrderRow; row < grid->RowCount(); ++row)
            ASSERT_EQ(grid->GetSelectRow(row, orders::FlagMark), cell(orders::Paid, row).isEmpty())
                << "row " << row;
    }

    DemoWindow window;
    tvorgrid *grid = nullptr;
};

TEST_F(DemoTour, OpensWithTheOrdersTheTotalsRowAndTheUnpaidOrdersFlagged)
{
    ASSERT_EQ(grid->RowCount(), 302); // titles, totals, 300 orders
    EXPECT_EQ(grid->FixedRows(), 2);
    EXPECT_EQ(cell(orders::Order, 2), "1001");
    EXPECT_EQ(cell(orders::Order, 301), "1300");
    EXPECT_EQ(grid->DisplayText(col(orders::Price), 2), "3.99");
    EXPECT_EQ(grid->DisplayText(col(orders::Delivered), 2), "05 Jan 2026");
    EXPECT_EQ(grid->FormulaDisplayText(col(orders::Total), 2), "51.87"); // 13 x 3.99
    const OrderTotals totals = computeTotals(grid);
    EXPECT_NEAR(totals.total, lineTotalsSum(), 1e-6);
    EXPECT_EQ(totals.leftOut, 0);
    expectFlagsFollowPaid();
    EXPECT_EQ(window.markedInfoShown(),
              QStringLiteral("%1 flagged").arg(column(orders::Paid).count(QString())));
}

TEST_F(DemoTour, StepsDoWhatTheirCaptionsSay)
{
    const QStringList orderNumbers = column(orders::Order);
    runStep("orders");
    EXPECT_EQ(grid->Col(), col(orders::Price));

    runStep("sort");
    const QStringList prices = column(orders::Price);
    for (int i = 1; i < prices.size(); ++i)
        ASSERT_LE(StrToFloat(prices[i - 1]), StrToFloat(prices[i])) << "after row " << i;
    EXPECT_EQ(window.sortIndicator().column, col(orders::Price));
    EXPECT_FALSE(window.sortIndicator().descending);
    QStringList sorted = column(orders::Order);
    sorted.sort();
    EXPECT_EQ(sorted, orderNumbers); // the same orders, moved as whole rows
    expectFlagsFollowPaid();         // the flags travelled with their rows

    runStep("undo-sort");
    EXPECT_EQ(column(orders::Order), orderNumbers);
    EXPECT_EQ(window.sortIndicator().column, -1);

    runStep("find");
    QList<int> walnutRows;
    for (int row = orders::FirstOrderRow; row < grid->RowCount(); ++row)
        if (cell(orders::Product, row) == "Walnuts") walnutRows << row;
    ASSERT_GE(walnutRows.size(), 2);
    EXPECT_EQ(grid->Col(), col(orders::Product));
    EXPECT_EQ(grid->Row(), walnutRows[1]); // Find, then Find next

    runStep("paste");
    EXPECT_EQ(cell(orders::Product, 3), "Plums");
    EXPECT_EQ(cell(orders::Quantity, 3), "12");
    EXPECT_EQ(cell(orders::Product, 4), "Pears");
    EXPECT_EQ(cell(orders::Quantity, 4), "7");
    EXPECT_EQ(grid->RowCount(), 302);

    const double before = computeTotals(grid).total;
    const double line = number(orders::Quantity, 2) * number(orders::Price, 2);
    runStep("formula");
    EXPECT_EQ(cell(orders::Total, 2), "COL(4)*COL(5)*0.9");
    EXPECT_EQ(grid->FormulaDisplayText(col(orders::Total), 2), FormatFloat("#,##0.00", line * 0.9));
    EXPECT_NEAR(computeTotals(grid).total, before - line * 0.1, 1e-6);
    EXPECT_FALSE(grid->EditorMode());

    runStep("picklist");
    auto *editor = qobject_cast<TVORGridInplaceEdit *>(grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->ListShown());
    EXPECT_EQ(grid->Col(), col(orders::Status));
    EXPECT_EQ(editor->PickListBox()->model()->rowCount(), 7);
    finishStep(window);

    const int flaggedBefore = grid->GetSelectRowCount(orders::FlagMark);
    int unflaggedAmongThree = 0;
    for (int row = 6; row <= 8; ++row)
        unflaggedAmongThree += grid->GetSelectRow(row, orders::FlagMark) ? 0 : 1;
    ASSERT_GT(unflaggedAmongThree, 0) << "the sample data changed: pick other rows";
    runStep("flags");
    for (int row = 6; row <= 8; ++row)
        EXPECT_TRUE(grid->GetSelectRow(row, orders::FlagMark)) << "row " << row;
    EXPECT_EQ(grid->GetSelectRowCount(orders::FlagMark), flaggedBefore + unflaggedAmongThree);
    EXPECT_EQ(window.markedInfoShown(), QStringLiteral("%1 flagged").arg(flaggedBefore + unflaggedAmongThree));

    runStep("coleditor");
    auto *dialog = window.findChild<TmGridColEditor *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(TmGridColEditor::Private::of(*dialog).ColumnList->count(), grid->ColCount());
    EXPECT_EQ(dialog->selectedColumn(), grid->columns()->GeTmColumn(col(orders::Price)));
    // The picture shows the dialog over the window.
    const QImage photo = photograph(window);
    const QPoint inDialog = dialog->mapToGlobal(dialog->rect().center()) - window.mapToGlobal(QPoint());
    EXPECT_EQ(photo.pixel(inDialog), dialog->grab().toImage().pixel(dialog->rect().center()));
}

TEST_F(DemoTour, TitleClicksSortOneWayThenTheOther)
{
    const QRect title = grid->CellRect(col(orders::Quantity), 0);
    // Far apart in time, so that the second press is no double click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, title.center(), 1000);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, title.center(), 1000);
    const QStringList quantities = column(orders::Quantity);
    for (int i = 1; i < quantities.size(); ++i)
        ASSERT_GE(StrToFloat(quantities[i - 1]), StrToFloat(quantities[i])) << "after row " << i;
    EXPECT_TRUE(window.sortIndicator().descending);
    // A press in the body sorts nothing.
    const QStringList orderNumbers = column(orders::Order);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(col(orders::Price), 3).center(), 1000);
    EXPECT_EQ(column(orders::Order), orderNumbers);
}

// What a window system delivers for a double click: press, release, double-click
// press, release (QTest's own double click sends the third event alone).
void doubleClick(QWidget *widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at, 1000);
    QMouseEvent press(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(widget, &press);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

TEST_F(DemoTour, ADoubleClickOnATitleSortsOnceAndFlagsNothing)
{
    const int flagged = grid->GetSelectRowCount(orders::FlagMark);
    doubleClick(grid->viewport(), grid->CellRect(col(orders::Quantity), 0).center());
    EXPECT_EQ(window.sortIndicator().column, col(orders::Quantity));
    EXPECT_FALSE(window.sortIndicator().descending);
    EXPECT_EQ(grid->GetSelectRowCount(orders::FlagMark), flagged);
    // In the body a double click flags or unflags the row.
    const bool wasFlagged = grid->GetSelectRow(4, orders::FlagMark);
    doubleClick(grid->viewport(), grid->CellRect(col(orders::Product), 4).center());
    EXPECT_EQ(grid->GetSelectRow(4, orders::FlagMark), !wasFlagged);
    EXPECT_EQ(grid->GetSelectRowCount(orders::FlagMark), flagged + (wasFlagged ? -1 : 1));
    EXPECT_EQ(window.sortIndicator().column, col(orders::Quantity));
}

TEST_F(DemoTour, ADateThatDoesNotConvertStopsTheSortWithTheLibrarysMessage)
{
    grid->setCells(col(orders::Delivered), 10, "soon");
    const QStringList orderNumbers = column(orders::Order);
    EXPECT_FALSE(window.sortByColumn(col(orders::Delivered), false));
    EXPECT_EQ(column(orders::Order), orderNumbers);
    EXPECT_EQ(cell(orders::Delivered, 10), "soon");
    EXPECT_TRUE(window.statusBar()->currentMessage().contains("soon")) << qPrintable(window.statusBar()->currentMessage());
    EXPECT_EQ(window.sortIndicator().column, -1);
}

TEST_F(DemoTour, SavedOrdersLoadBackWithTheirTotalsRow)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("orders.csv");
    grid->setCells(col(orders::Note), 4, "semi;colon");
    saveDelimited(&window, grid, file, "\t");
    const QStringList customers = column(orders::Customer);
    const double total = computeTotals(grid).total;
    grid->setCells(col(orders::Customer), 2, "changed");
    loadDelimited(&window, grid, file, "\t");
    EXPECT_EQ(grid->RowCount(), 302);
    EXPECT_EQ(grid->FixedRows(), 2);
    EXPECT_EQ(column(orders::Customer), customers);
    EXPECT_EQ(cell(orders::Note, 4), "semi;colon");
    EXPECT_NEAR(computeTotals(grid).total, total, 1e-6);
    // The file holds no totals line: titles, then the orders.
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    EXPECT_TRUE(lines.value(1).startsWith("\t1001\t")) << lines.value(1).constData();
}

TEST_F(DemoTour, AFileThatDoesNotLoadLeavesTheOrdersAsTheyWere)
{
    const QStringList orderNumbers = column(orders::Order);
    loadDelimited(&window, grid, "/nonexistent/orders.csv", ";");
    EXPECT_EQ(column(orders::Order), orderNumbers);
    EXPECT_EQ(grid->FixedRows(), 2);
    EXPECT_TRUE(window.statusBar()->currentMessage().contains("not found"))
        << qPrintable(window.statusBar()->currentMessage());
}

TEST_F(DemoTour, OrdersSavedAsWorkbooksComeBackWithTheirTotalsRow)
{
    QTemporaryDir dir;
    const QStringList customers = column(orders::Customer);
    const double total = computeTotals(grid).total;
    for (const char *name : {"orders.xlsx", "orders.ods"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(writeWorkbook(&window, grid, dir.filePath(name)));
        grid->setCells(col(orders::Customer), 2, "changed");
        ASSERT_TRUE(loadWorkbook(&window, grid, dir.filePath(name)));
        EXPECT_EQ(grid->RowCount(), 302);
        EXPECT_EQ(grid->FixedRows(), 2);
        EXPECT_EQ(column(orders::Customer), customers);
        // The line totals come back as the values their formulas gave.
        EXPECT_NEAR(computeTotals(grid).total, total, 1e-6);
    }
    EXPECT_FALSE(loadWorkbook(&window, grid, dir.filePath("orders.csv")));
    EXPECT_TRUE(window.statusBar()->currentMessage().contains("not found"));
    EXPECT_EQ(column(orders::Customer), customers);
}

TEST_F(DemoTour, ExportsLeaveTheTotalsRowOutAndKeepIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeExport(&window, grid, dir.filePath("orders.html"), true));
    QFile html(dir.filePath("orders.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(html.readAll());
    EXPECT_TRUE(text.contains("Raspberries"));
    EXPECT_EQ(text.count("<tr"), 1 + 1 + 300); // caption, titles, orders
    EXPECT_EQ(grid->FixedRows(), 2);
    EXPECT_EQ(grid->RowCount(), 302);
}

} // namespace

namespace {

// The status line and the item view follow the grid through its signals: an edit
// that does not move the current cell, and a sort, reach both.
TEST_F(DemoTour, TheStatusBarAndTheItemViewFollowEditsAndSortsThroughTheSignals)
{
    grid->FocusCell(col(orders::Total), 2, true);
    grid->setCells(col(orders::Quantity), 2, QStringLiteral("100"));
    EXPECT_TRUE(window.cellInfoShown().endsWith("=  399.00"))
        << qPrintable(window.cellInfoShown());

    auto *view = window.findChild<QTableView *>(QStringLiteral("modelTable"));
    ASSERT_NE(view, nullptr);
    QAbstractItemModel *model = view->model();
    ASSERT_EQ(model->rowCount(), grid->RowCount() - grid->FixedRows());
    const int viewCol = col(orders::Quantity) - grid->FixedCols();
    EXPECT_EQ(model->index(0, viewCol).data().toString(), QStringLiteral("100"));

    ASSERT_TRUE(window.sortByColumn(col(orders::Quantity), true));
    for (int r = 0; r < model->rowCount(); ++r)
        ASSERT_EQ(model->index(r, viewCol).data().toString(),
                  grid->DisplayText(col(orders::Quantity), r + grid->FixedRows()))
            << "row " << r;

    auto *filter = window.findChild<QLineEdit *>(QStringLiteral("modelFilter"));
    ASSERT_NE(filter, nullptr);
    filter->setText(QStringLiteral("Raspberries"));
    ASSERT_GT(model->rowCount(), 0);
    EXPECT_LT(model->rowCount(), grid->RowCount() - grid->FixedRows());
}

} // namespace
