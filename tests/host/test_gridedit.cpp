// The change pipeline: what a GridEdit reports, when its undo steps run, how edits
// nest, and what a receiver that refuses or destroys the grid leaves behind.
#include "host/drawgrid.h"
#include "host/exceptions.h"
#include "host/gridedit.h"
#include "host/stringgrid.h"
#include "warningcapture.h"

#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace vorgrd;

namespace {

struct GridEditTest : ::testing::Test
{
    TStringGrid grid;
    std::vector<QString> events; // the signals, in order

    void SetUp() override
    {
        grid.setColCount(5);
        grid.setRowCount(5);
        QObject::connect(&grid, &TStringGrid::cellChanged, [this](int c, int r) {
            events.push_back(QStringLiteral("cell %1,%2").arg(c).arg(r));
        });
        QObject::connect(&grid, &TStringGrid::cellsChanged, [this](const QRect &a) {
            events.push_back(QStringLiteral("cells %1,%2 %3x%4").arg(a.x()).arg(a.y()).arg(a.width()).arg(a.height()));
        });
        QObject::connect(&grid, &TCustomGrid::linesAboutToChange,
                         [this](const TLineChange &) { events.push_back(QStringLiteral("about")); });
        QObject::connect(&grid, &TCustomGrid::linesChanged, [this](const TLineChange &c) {
            events.push_back(c.completed ? QStringLiteral("lines") : QStringLiteral("lines failed"));
        });
    }
    static TLineChange rows(int first, int last)
    {
        return TLineChange::lines(TLineChange::Insert, Qt::Vertical, first, last);
    }
};

TEST_F(GridEditTest, StoreWritesReachReceiversOnceWithWhatTheEditNamed)
{
    const quint64 before = grid.ContentGeneration();
    {
        GridEdit edit(grid);
        edit.store().setText(1, 1, QStringLiteral("a"));
        edit.store().setText(3, 2, QStringLiteral("b"));
        edit.cellsWritten(QRect(1, 1, 3, 2));
        EXPECT_TRUE(events.empty()) << "nothing is reported while the edit is open";
    }
    EXPECT_EQ(events, (std::vector<QString>{"cells 1,1 3x2"}));
    EXPECT_EQ(grid.Cells(3, 2), QStringLiteral("b"));
    EXPECT_GT(grid.ContentGeneration(), before);
    const quint64 after = grid.ContentGeneration();
    (void)grid.Cells(1, 1);
    grid.viewport()->grab();
    EXPECT_EQ(grid.ContentGeneration(), after) << "reading and painting change nothing";
    grid.setCells(0, 0, QStringLiteral("c"));
    EXPECT_GT(grid.ContentGeneration(), after) << "a single write counts too";
}

TEST_F(GridEditTest, NestedEditsReportOnceAtTheOutermostClose)
{
    {
        GridEdit outer(grid, rows(1, 1));
        {
            GridEdit inner(grid, rows(2, 2)); // inside another structural edit: silent
            grid.setCells(1, 4, QStringLiteral("x"));
        }
        EXPECT_EQ(events, (std::vector<QString>{"about"}));
        outer.commit();
    }
    EXPECT_EQ(events, (std::vector<QString>{"about", "cells 1,4 1x1", "lines"}));
}

TEST_F(GridEditTest, FailureStepsRunInReverseBeforeTheReportsAndTheFirstErrorWins)
{
    std::vector<int> steps;
    try {
        GridEdit edit(grid, rows(1, 1));
        edit.onFailure([&] { steps.push_back(1); });
        edit.onFailure([&] {
            steps.push_back(2);
            throw std::runtime_error("the undo failed too");
        });
        edit.onFailure([&] {
            steps.push_back(3);
            EXPECT_EQ(events, (std::vector<QString>{"about"})) << "receivers see the grid put back";
        });
        throw std::runtime_error("disk full");
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "disk full");
    }
    EXPECT_EQ(steps, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(events.back(), QStringLiteral("lines failed"));

    // Committed, the steps are dropped; left early without commit, they run.
    steps.clear();
    {
        GridEdit edit(grid);
        edit.onFailure([&] { steps.push_back(1); });
        edit.commit();
    }
    EXPECT_TRUE(steps.empty());
    {
        GridEdit edit(grid);
        edit.onFailure([&] { steps.push_back(1); });
    }
    EXPECT_EQ(steps, (std::vector<int>{1}));
}

TEST_F(GridEditTest, AReceiverThatRefusesTheChangeLeavesThePipelineUsable)
{
    auto refuse = QObject::connect(&grid, &TCustomGrid::linesAboutToChange,
                                   [](const TLineChange &) { throw std::runtime_error("not now"); });
    EXPECT_THROW(grid.setRowCount(8), std::runtime_error);
    QObject::disconnect(refuse);
    events.clear();
    grid.setRowCount(9);
    EXPECT_EQ(events, (std::vector<QString>{"about", "lines"})) << "the refused edit left no depth behind";
}

TEST_F(GridEditTest, AReceiverThatDestroysTheGridStopsTheEdit)
{
    auto *doomed = new TStringGrid;
    QPointer<TStringGrid> alive(doomed);
    QObject::connect(doomed, &TCustomGrid::linesAboutToChange, [&](const TLineChange &) { delete doomed; });
    bool reached = false;
    EXPECT_THROW(
        {
            GridEdit edit(*doomed, rows(1, 1));
            reached = true;
        },
        Exception);
    EXPECT_FALSE(reached);
    EXPECT_TRUE(alive.isNull());

    // Destroyed while the edit is open: it closes silently.
    auto *other = new TStringGrid;
    {
        GridEdit edit(*other);
        edit.store().setText(1, 1, QStringLiteral("x"));
        delete other;
        EXPECT_THROW(edit.store(), Exception);
    }
}

TEST_F(GridEditTest, AGridWithoutCellsRefusesTheStore)
{
    TDrawGrid bare;
    GridEdit edit(bare);
    try {
        edit.store();
        FAIL() << "no store";
    } catch (const Exception &error) {
        EXPECT_EQ(error.Message(), QStringLiteral("GridEdit::store: this grid keeps no cells"));
    }
}

TEST_F(GridEditTest, AReceiverThatThrowsAtTheCloseGoesToTheEventGuard)
{
    QObject::connect(&grid, &TStringGrid::cellsChanged, [](const QRect &) { throw std::runtime_error("busy"); });
    test::WarningCapture warnings;
    {
        GridEdit edit(grid);
        grid.setCells(1, 1, QStringLiteral("x"));
    }
    EXPECT_TRUE(warnings.contains(QStringLiteral("busy"))) << warnings.messages.join(u'\n').toStdString();
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("x"));
}

} // namespace
