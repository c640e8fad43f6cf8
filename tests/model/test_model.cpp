// The item model over a grid: the roles, writing through setData, and every kind of
// grid change reaching the model's users in the order Qt's model tester demands.
#include "grid/vorGrid.h"
#include "model/gridmodel.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace vorgrd;

namespace {

struct Model : ::testing::Test
{
    std::unique_ptr<tvorgrid> grid = std::make_unique<tvorgrid>();
    std::unique_ptr<TvorGridModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;

    void SetUp() override
    {
        grid->setColCount(4);
        grid->setRowCount(6);
        grid->setshowtitles(true);
        grid->columns()->GeTmColumn(1)->Title()->SetCaption(QStringLiteral("Name"));
        grid->columns()->GeTmColumn(2)->settype(ftnumeric);
        grid->columns()->GeTmColumn(2)->SetDisplayformat(QStringLiteral("0.00"));
        grid->columns()->GeTmColumn(3)->settype(ftcheckbox);
        for (int r = 1; r < 6; ++r) {
            grid->setCells(0, r, QString::number(r));
            grid->setCells(1, r, QStringLiteral("n%1").arg(9 - r));
            grid->setCells(2, r, QStringLiteral("%1.5").arg(r));
            grid->setCells(3, r, r % 2 ? QStringLiteral("Y") : QString());
        }
        model = std::make_unique<TvorGridModel>(grid.get());
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    // The model's counts and raw texts are the grid's, cell for cell.
    void expectInStep()
    {
        ASSERT_EQ(model->rowCount(), grid->RowCount());
        ASSERT_EQ(model->columnCount(), grid->ColCount());
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                ASSERT_EQ(model->index(r, c).data(Qt::EditRole).toString(), grid->Cells(c, r))
                    << "cell " << c << "," << r;
    }
};

} // namespace

TEST_F(Model, RolesShowWhatTheGridShowsAndEditTheRawText)
{
    EXPECT_EQ(model->index(2, 2).data().toString(), QStringLiteral("2.50"));
    EXPECT_EQ(model->index(2, 2).data(Qt::EditRole).toString(), QStringLiteral("2.5"));
    EXPECT_EQ(model->index(2, 2).data().toString(), grid->DisplayText(2, 2));
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("Name")) << "title row";
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_TRUE(model->index(2, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight)
        << "numbers are drawn right-aligned";

    EXPECT_EQ(model->index(1, 3).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model->index(2, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(model->index(0, 3).data(Qt::CheckStateRole).isValid()) << "the title is no box";
    EXPECT_TRUE(model->flags(model->index(2, 3)) & Qt::ItemIsUserCheckable);

    grid->columns()->GeTmColumn(1)->SetColor(clYellow);
    EXPECT_EQ(model->index(3, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
}

TEST_F(Model, SetDataWritesCellsAndRefusesReadOnlyColumns)
{
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model->setData(model->index(4, 1), QStringLiteral("new")));
    EXPECT_EQ(grid->Cells(1, 4), QStringLiteral("new"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), model->index(4, 1));

    EXPECT_TRUE(model->setData(model->index(2, 3), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(grid->Cells(3, 2), QStringLiteral("Y"));
    EXPECT_TRUE(model->setData(model->index(2, 3), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(grid->Cells(3, 2), QString());

    grid->columns()->GeTmColumn(1)->SetReadOnly(true);
    EXPECT_FALSE(model->setData(model->index(4, 1), QStringLiteral("refused")));
    EXPECT_EQ(grid->Cells(1, 4), QStringLiteral("new"));
    EXPECT_FALSE(model->setData(model->index(4, 2), QStringLiteral("x"), Qt::CheckStateRole));
}

TEST_F(Model, StructuralChangesReachTheModelWithTheirLines)
{
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy colsInserted(model.get(), &QAbstractItemModel::columnsInserted);
    QSignalSpy moved(model.get(), &QAbstractItemModel::rowsMoved);

    grid->InsertRows(2, 3);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 2);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 4);
    expectInStep();

    grid->DeleteRows(1, 2);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(1).toInt(), 1);
    expectInStep();

    grid->InsertCols(1, 2);
    EXPECT_EQ(colsInserted.count(), 1);
    expectInStep();
    grid->DeleteCols(0, 1);
    expectInStep();

    grid->MoveRow(1, 4);
    EXPECT_EQ(moved.count(), 1);
    expectInStep();
    grid->MoveColumn(2, 0);
    expectInStep();

    grid->setRowCount(3);
    grid->setColCount(9);
    grid->AddRow(QStringLiteral("a,b"), QLatin1Char(','));
    expectInStep();

    // Deleting every row leaves the base's one row beyond the fixed ones.
    grid->DeleteRows(0, grid->RowCount());
    expectInStep();
    grid->checkConsistency();
}

TEST_F(Model, SortsAreLayoutChangesThatPersistentIndexesFollow)
{
    QSignalSpy layout(model.get(), &QAbstractItemModel::layoutChanged);
    const QPersistentModelIndex n4(model->index(5, 1)); // "n4", last row
    ASSERT_EQ(n4.data().toString(), QStringLiteral("n4"));
    grid->SortCompleteRows(1);
    EXPECT_EQ(layout.count(), 1);
    expectInStep();
    EXPECT_EQ(n4.row(), 1) << "the smallest name sorts first";
    EXPECT_EQ(n4.data().toString(), QStringLiteral("n4"));
    grid->UndoSort();
    EXPECT_EQ(layout.count(), 2);
    EXPECT_EQ(n4.row(), 5);
    EXPECT_EQ(n4.data().toString(), QStringLiteral("n4"));

    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    grid->SortCol(2);
    EXPECT_EQ(layout.count(), 2) << "one column's cells among themselves is no layout change";
    EXPECT_GE(changed.count(), 1);
    expectInStep();
}

TEST_F(Model, LoadsPastesAndCutsKeepTheModelInStep)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.txt"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("a;b;c;d;e;f\r\n1;2\r\n3;4\r\n");
    out.close();
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    grid->LoadFromFile(file, QStringLiteral(";"));
    EXPECT_EQ(reset.count(), 1);
    expectInStep();

    grid->setCol(1);
    grid->setRow(2);
    grid->PasteText(QStringLiteral("x\ty\tz\r\np\r\nq\r\nr"));
    expectInStep();
    grid->setSelection(TGridRect{1, 1, 2, 3});
    grid->CutToClipboard();
    expectInStep();
}

TEST_F(Model, ViewsAndProxiesOverTheModelFollowTheGrid)
{
    QTableView view;
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(model.get());
    proxy.setFilterKeyColumn(1);
    proxy.setFilterRegularExpression(QStringLiteral("^n"));
    view.setModel(model.get());
    view.show();
    // The view's cells as assistive technology reads them: the texts it shows.
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(&view);
    ASSERT_TRUE(table && table->tableInterface());
    auto shownIn = [](QAccessibleInterface *view, int row, int col) {
        QAccessibleInterface *cell = view->tableInterface()->cellAt(row, col);
        return cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>");
    };
    auto shown = [&](int row, int col) { return shownIn(table, row, col); };
    EXPECT_EQ(shown(2, 2), grid->DisplayText(2, 2));
    EXPECT_EQ(proxy.rowCount(), 5);

    grid->setCells(1, 3, QStringLiteral("other"));
    grid->setCells(2, 3, QStringLiteral("7"));
    EXPECT_EQ(shown(3, 2), QStringLiteral("7.00"));
    EXPECT_EQ(proxy.rowCount(), 4) << "the filter sees the new text";

    grid->SortCompleteRows(1);
    // The cells read above keep their persistent indexes, which follow their rows:
    // the first of them now stands where its row went.
    EXPECT_EQ(shown(3, 2), QStringLiteral("7.00"));
    // A second view over the sorted model shows the grid's new order.
    QTableView second;
    second.setModel(model.get());
    second.show();
    QAccessibleInterface *sorted = QAccessible::queryAccessibleInterface(&second);
    for (int r = 0; r < grid->RowCount(); ++r)
        for (int c = 0; c < grid->ColCount() - 1; ++c)
            EXPECT_EQ(shownIn(sorted, r, c), grid->DisplayText(c, r)) << c << "," << r;
    grid->InsertRows(1, 2);
    EXPECT_EQ(view.verticalHeader()->count(), grid->RowCount());
    EXPECT_EQ(proxy.rowCount(), 4);
}

TEST_F(Model, ADestroyedGridLeavesAnEmptyModel)
{
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    grid.reset();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(model->columnCount(), 0);
    EXPECT_FALSE(model->setData(model->index(0, 0), QStringLiteral("x")));
}

// Every way of writing the grid reaches the model as exactly one notice of the right
// kind (a write path that bypassed the grid's reports would leave a view stale).
TEST_F(Model, EveryWritePathReachesTheModelOnce)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.txt"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("a;b\nc;d\n");
    }
    struct Path
    {
        const char *name;
        std::function<void(tvorgrid &)> write;
        const char *notice;
    };
    const std::vector<Path> paths = {
        {"setCells through the base", [](tvorgrid &g) { static_cast<TStringGrid &>(g).setCells(1, 1, "x"); }, "data"},
        {"a row view item", [](tvorgrid &g) { g.Rows(2).Put(1, "y"); }, "data"},
        {"a column view cleared", [](tvorgrid &g) { g.Cols(1).Clear(); }, "data"},
        {"an application's edit", [](tvorgrid &g) {
             GridEdit edit(g);
             g.setCells(1, 1, "p");
             g.setCells(2, 3, "q");
         }, "data"},
        {"ModifyRow", [](tvorgrid &g) { g.ModifyRow(1, "p;q;r", ";"); }, "data"},
        {"PasteText", [](tvorgrid &g) { g.PasteText("1\t2\r\n3\t4"); }, "data"},
        {"CutToClipboard", [](tvorgrid &g) {
             g.setSelection(TGridRect{1, 1, 2, 2});
             g.CutToClipboard();
         }, "data"},
        {"LoadFromFile", [&](tvorgrid &g) { g.LoadFromFile(file, ";"); }, "reset"},
        {"SortCompleteRows", [](tvorgrid &g) { g.SortCompleteRows(1); }, "layout"},
        {"UndoSort", [](tvorgrid &g) { g.UndoSort(); }, "layout"},
        {"SortCol", [](tvorgrid &g) { g.SortCol(1); }, "data"},
        {"SortAllRows", [](tvorgrid &g) { g.SortAllRows(); }, "data"},
        {"InsertRows", [](tvorgrid &g) { g.InsertRows(2, 2); }, "rows inserted"},
        {"DeleteRows", [](tvorgrid &g) { g.DeleteRows(2, 2); }, "rows removed"},
        {"InsertCols", [](tvorgrid &g) { g.InsertCols(1, 1); }, "columns inserted"},
        {"DeleteCols", [](tvorgrid &g) { g.DeleteCols(1, 1); }, "columns removed"},
        {"MoveRow", [](tvorgrid &g) { g.MoveRow(1, 3); }, "rows moved"},
        {"MoveColumn", [](tvorgrid &g) { g.MoveColumn(1, 3); }, "columns moved"},
    };
    std::vector<QString> notices;
    const auto note = [&](const char *what) { return [&notices, what] { notices.push_back(QLatin1String(what)); }; };
    QObject::connect(model.get(), &QAbstractItemModel::dataChanged, note("data"));
    QObject::connect(model.get(), &QAbstractItemModel::modelReset, note("reset"));
    QObject::connect(model.get(), &QAbstractItemModel::layoutChanged, note("layout"));
    QObject::connect(model.get(), &QAbstractItemModel::rowsInserted, note("rows inserted"));
    QObject::connect(model.get(), &QAbstractItemModel::rowsRemoved, note("rows removed"));
    QObject::connect(model.get(), &QAbstractItemModel::columnsInserted, note("columns inserted"));
    QObject::connect(model.get(), &QAbstractItemModel::columnsRemoved, note("columns removed"));
    QObject::connect(model.get(), &QAbstractItemModel::rowsMoved, note("rows moved"));
    QObject::connect(model.get(), &QAbstractItemModel::columnsMoved, note("columns moved"));
    for (const Path &path : paths) {
        SCOPED_TRACE(path.name);
        grid->setColCount(4);
        grid->setRowCount(6);
        for (int r = 1; r < 6; ++r)
            grid->ModifyRow(r, QString("%1;b%1;c%1;d").arg(6 - r), ";");
        notices.clear();
        const quint64 generation = grid->ContentGeneration();
        path.write(*grid);
        EXPECT_EQ(notices, (std::vector<QString>{QLatin1String(path.notice)}));
        EXPECT_GT(grid->ContentGeneration(), generation);
        expectInStep();
    }
}
