// The grid's Qt signals: one report per change, bulk changes as one cellsChanged,
// the structural bracket around line changes, the cursor reports, and a NOTIFY for
// every published property that can change.
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/inplaceedit.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace vorgrd;

namespace {

struct Signals : ::testing::Test
{
    tvorgrid grid;
    QSignalSpy cell{&grid, &TStringGrid::cellChanged};
    QSignalSpy cells{&grid, &TStringGrid::cellsChanged};
    std::vector<TLineChange> before, after;

    void SetUp() override
    {
        grid.setColCount(4);
        grid.setRowCount(6);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 4; ++c)
                grid.setCells(c, r, QStringLiteral("%1").arg(9 - r));
        QObject::connect(&grid, &TCustomGrid::linesAboutToChange,
                         [this](const TLineChange &c) { before.push_back(c); });
        QObject::connect(&grid, &TCustomGrid::linesChanged,
                         [this](const TLineChange &c) { after.push_back(c); });
        cell.clear();
        cells.clear();
    }
    void TearDown() override { grid.checkConsistency(); }
    QRect cellsArea(int i) const { return cells.at(i).at(0).toRect(); }
};

} // namespace

TEST_F(Signals, SingleWritesReportTheirCellOnceAndOnlyInsideTheCounts)
{
    grid.setCells(2, 3, QStringLiteral("x"));
    grid.setvcell(1, 1, 7);
    grid.columns()->GeTmColumn(3)->SetcolumnName(QStringLiteral("Price"));
    grid.setcellname(QStringLiteral("price"), 2, QStringLiteral("5"));
    ASSERT_EQ(cell.count(), 3);
    EXPECT_EQ(cell.at(0), (QList<QVariant>{2, 3}));
    EXPECT_EQ(cell.at(1), (QList<QVariant>{1, 1}));
    EXPECT_EQ(cell.at(2), (QList<QVariant>{3, 2}));

    grid.setCells(10, 2, QStringLiteral("beyond"));
    grid.setCells(1, 50, QStringLiteral("beyond"));
    EXPECT_EQ(cell.count(), 3) << "cells beyond the counts are not shown, so not reported";
    EXPECT_THROW(grid.setCells(-1, 0, QString()), ERangeError);
    EXPECT_EQ(cell.count(), 3);
    EXPECT_EQ(cells.count(), 0);
}

TEST_F(Signals, AnEditorCommitReportsTheEditedCell)
{
    grid.setOptions(grid.Options() | goEditing);
    grid.show();
    grid.FocusCell(2, 2, true);
    grid.ShowEditor();
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("42"));
    grid.HideEditor();
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("42"));
    ASSERT_EQ(cell.count(), 1);
    EXPECT_EQ(cell.at(0), (QList<QVariant>{2, 2}));
    // Opening and closing without a change writes nothing.
    grid.ShowEditor();
    grid.HideEditor();
    EXPECT_EQ(cell.count(), 1);
}

TEST_F(Signals, BulkOperationsReportOneRectangleAndNoSingleCells)
{
    grid.ModifyRow(2, QStringLiteral("a;b;c"), QStringLiteral(";"));
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cellsArea(0), QRect(0, 2, 3, 1));

    grid.setCol(1);
    grid.setRow(1);
    grid.PasteText(QStringLiteral("p\tq\r\nr\ts"));
    ASSERT_EQ(cells.count(), 2);
    EXPECT_EQ(cellsArea(1), QRect(1, 1, 2, 2));

    {
        GridEdit outer(grid);
        GridEdit inner(grid);
        grid.setCells(0, 5, QStringLiteral("1"));
        grid.setCells(3, 4, QStringLiteral("2"));
    }
    ASSERT_EQ(cells.count(), 3) << "nested batches report once, at the outer end";
    EXPECT_EQ(cellsArea(2), QRect(0, 4, 4, 2));
    { GridEdit empty(grid); }
    EXPECT_EQ(cells.count(), 3) << "a batch without writes reports nothing";
    EXPECT_EQ(cell.count(), 0);
}

TEST_F(Signals, LoadingReplacesTheContentInsideOneResetBracket)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.txt"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("a;b\r\nc;d\r\ne;f\r\n");
    out.close();
    QSignalSpy rows(&grid, &TCustomGrid::rowCountChanged);
    grid.LoadFromFile(file, QStringLiteral(";"));
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(before[0].kind, TLineChange::Reset);
    EXPECT_TRUE(after[0].completed);
    EXPECT_EQ(rows.count(), 1);
    EXPECT_EQ(cell.count(), 0);
    // A receiver of cellsChanged alone learns of the new content too, once.
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cellsArea(0), QRect(0, 0, grid.ColCount(), grid.RowCount()));

    // A load refused before anything changes brackets nothing.
    EXPECT_THROW(grid.LoadFromFile(dir.filePath(QStringLiteral("missing")), QStringLiteral(";")),
                 MFileError);
    EXPECT_EQ(before.size(), 1u);
}

TEST_F(Signals, SortsAndUndoReportTheCellsThenSorted)
{
    QStringList order;
    QObject::connect(&grid, &TStringGrid::cellsChanged, [&] { order << "cells"; });
    QObject::connect(&grid, &tvorgrid::sorted, [&] { order << "sorted"; });
    grid.SortCompleteRows(1);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("4"));
    grid.UndoSort();
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("8"));
    grid.SortCol(2);
    EXPECT_EQ(order, (QStringList{"cells", "sorted", "cells", "sorted", "cells", "sorted"}));
    // Complete rows move as wholes: a layout change around the move; a column sort
    // only rewrites cells.
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[0].kind, TLineChange::Reorder);
    EXPECT_TRUE(before[0].rows());
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(cell.count(), 0);

    grid.setKeyType(soDate);
    EXPECT_THROW(grid.SortCompleteRows(1), EConvertError);
    EXPECT_EQ(order.size(), 6) << "a refused sort reports nothing";
}

TEST_F(Signals, RowAndColumnOperationsBracketOnceWithTheirLines)
{
    QSignalSpy rows(&grid, &TCustomGrid::rowCountChanged);
    grid.InsertRows(2, 3);
    ASSERT_EQ(before.size(), 1u) << "the count change inside reports no second bracket";
    EXPECT_EQ(before[0].kind, TLineChange::Insert);
    EXPECT_EQ(before[0].first, 2);
    EXPECT_EQ(before[0].last, 4);
    EXPECT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 9);
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cellsArea(0), QRect(0, 2, 4, 7));

    grid.DeleteCols(1, 2);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[1].kind, TLineChange::Remove);
    EXPECT_EQ(before[1].orientation, Qt::Horizontal);
    EXPECT_EQ(before[1].first, 1);
    EXPECT_EQ(before[1].last, 2);

    grid.MoveRow(1, 3);
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before[2].kind, TLineChange::Move);
    EXPECT_EQ(before[2].first, 1);
    EXPECT_EQ(before[2].last, 3);
    EXPECT_EQ(after.size(), 3u);

    EXPECT_THROW(grid.InsertRows(99, 1), ERangeError);
    EXPECT_THROW(grid.DeleteRows(-1, 1), ERangeError);
    EXPECT_EQ(before.size(), 3u) << "a refused operation brackets nothing";
    EXPECT_EQ(cell.count(), 0);
}

TEST_F(Signals, CurrentCellAndSelectionReportEachChangeOnce)
{
    QSignalSpy current(&grid, &TCustomGrid::currentCellChanged);
    QSignalSpy selection(&grid, &TCustomGrid::selectionChanged);
    grid.FocusCell(2, 3, true);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.at(0), (QList<QVariant>{2, 3, 1, 1}));
    EXPECT_EQ(selection.count(), 1);
    grid.FocusCell(2, 3, true);
    EXPECT_EQ(current.count(), 1) << "the same cell again is no change";

    grid.setSelection(TGridRect{1, 1, 3, 4});
    EXPECT_EQ(current.last(), (QList<QVariant>{3, 4, 1, 1}));
    const int afterRange = selection.count();
    EXPECT_GE(afterRange, 2);

    grid.show();
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(current.last(), (QList<QVariant>{3, 3, 3, 4}));
    EXPECT_EQ(selection.count(), afterRange + 1);

    // The counts shrinking under the current cell move it, and that is reported.
    grid.setRowCount(3);
    EXPECT_EQ(current.last(), (QList<QVariant>{3, 2, 3, 3}));
    EXPECT_EQ(grid.Row(), 2);
}

TEST_F(Signals, EveryChangeablePublishedPropertyNotifiesOncePerChange)
{
    const QMetaObject *meta = grid.metaObject();
    // Written through other names or as wholes; their signals are checked elsewhere.
    const QStringList special{"columns", "ColumnsJson", "Font", "SavedFixedRows", "SavedFixedCols"};
    int checked = 0;
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        const QString name = QString::fromLatin1(p.name());
        if (p.enclosingMetaObject() == &QObject::staticMetaObject ||
            p.enclosingMetaObject() == &QWidget::staticMetaObject ||
            p.enclosingMetaObject() == &QFrame::staticMetaObject ||
            p.enclosingMetaObject() == &QAbstractScrollArea::staticMetaObject)
            continue;
        if (!p.isWritable() || p.isConstant()) continue;
        ASSERT_TRUE(p.hasNotifySignal()) << name.toStdString() << " has no NOTIFY";
        if (special.contains(name)) continue;
        QVariant value = p.read(&grid);
        QVariant changed;
        if (p.isEnumType())
            changed = value.toInt() == 0 ? 1 : 0;
        else if (value.typeId() == QMetaType::Bool)
            changed = !value.toBool();
        else if (name == "Options")
            changed = QVariant::fromValue(grid.Options() ^ goTabs);
        else if (name == "FixedRows" || name == "FixedCols")
            changed = 2;
        else
            changed = value.toLongLong() + 1;
        QSignalSpy spy(&grid, p.notifySignal());
        ASSERT_TRUE(spy.isValid()) << name.toStdString();
        ASSERT_TRUE(p.write(&grid, changed)) << name.toStdString();
        EXPECT_NE(p.read(&grid), value) << name.toStdString();
        EXPECT_EQ(spy.count(), 1) << name.toStdString() << " after a change";
        ASSERT_TRUE(p.write(&grid, p.read(&grid)));
        EXPECT_EQ(spy.count(), 1) << name.toStdString() << " after writing the same value";
        ++checked;
    }
    EXPECT_GE(checked, 20);

    QSignalSpy font(&grid, &TCustomGrid::fontChanged);
    grid.Font()->setSize(grid.Font()->Size() + 3);
    EXPECT_EQ(font.count(), 1);
    QSignalSpy savedRows(&grid, &tvorgrid::savedFixedRowsChanged);
    grid.setFixedRows(0);
    EXPECT_EQ(savedRows.count(), 1);
    QSignalSpy columns(&grid, &tvorgrid::columnsChanged);
    grid.columns()->GeTmColumn(1)->SetWidth(99);
    EXPECT_GE(columns.count(), 1);
}
