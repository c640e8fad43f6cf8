// The grid as a widget: counts and their bounds, painting exactly the visible cells,
// the rendered fixed band and grid lines, scrolling, and the published properties.
#include "gridprobe.h"

#include "host/exceptions.h"
#include "host/formstream.h"

#include <QCoreApplication>
#include <QMetaProperty>
#include <QPaintEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace vorgrd;
using vorgrd::test::ProbeGrid;

TEST(StringGridCounts, DefaultsAreThoseOfTheClassicGrid)
{
    ProbeGrid g;
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.DefaultColWidth(), 64);
    EXPECT_EQ(g.DefaultRowHeight(), 24);
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.Options(),
              goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
    EXPECT_EQ(g.Color(), clWindow);
    EXPECT_EQ(g.FixedColor(), clBtnFace);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
}

TEST(StringGridCounts, BoundsAreClampedOrRefusedWithNothingChanged)
{
    ProbeGrid g;
    g.setFixedRows(2);
    // From 0 up to the fixed count: raised to one line beyond the fixed band.
    g.setRowCount(0);
    EXPECT_EQ(g.RowCount(), 3);
    g.setColCount(1);
    EXPECT_EQ(g.ColCount(), 2);
    // Negative counts and fixed counts outside 0..count-1 are refused.
    EXPECT_THROW(g.setRowCount(-1), ERangeError);
    EXPECT_THROW(g.setFixedCols(2), ERangeError);
    EXPECT_THROW(g.setFixedRows(-1), ERangeError);
    EXPECT_THROW(g.setColWidths(2, 10), ERangeError);
    EXPECT_THROW(g.setColWidths(0, -1), ERangeError);
    EXPECT_THROW((void)g.RowHeights(3), ERangeError);
    EXPECT_THROW(g.setCol(0), ERangeError);
    EXPECT_THROW(g.setRow(3), ERangeError);
    try {
        g.setFixedCols(7);
    } catch (const ERangeError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("FixedCols 7 is out of range (valid: 0..1)"));
    }
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 2);
}

TEST(StringGridCounts, ARaisedCountComesDownToTheCountAskedForWhenTheFixedCountDrops)
{
    ProbeGrid g;
    std::vector<QString> reports;
    QObject::connect(&g, &TCustomGrid::fixedRowsChanged, [&](int n) { reports.push_back(QStringLiteral("fixed %1").arg(n)); });
    QObject::connect(&g, &TCustomGrid::rowCountChanged, [&](int n) { reports.push_back(QStringLiteral("count %1").arg(n)); });
    g.setRowCount(1); // the default fixed row keeps a second one
    EXPECT_EQ(g.RowCount(), 2);
    g.setFixedRows(0);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.Row(), 0);
    EXPECT_EQ(reports, (std::vector<QString>{"count 2", "fixed 0", "count 1"}));

    // A count asked for later replaces the one before; lowering the fixed count below
    // what the count needs changes no count.
    g.setRowCount(6);
    g.setFixedRows(4);
    g.setFixedRows(1);
    EXPECT_EQ(g.RowCount(), 6);
    g.setColCount(0);
    EXPECT_EQ(g.ColCount(), 2);
    g.setFixedCols(0);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.sizeChanges.back(), std::make_pair(2, 6));
}

TEST(StringGridCounts, SizeChangedReportsTheOldCountsOnce)
{
    ProbeGrid g;
    g.setRowCount(8);
    g.setColCount(3);
    g.setColCount(3); // no change, no call
    const std::vector<std::pair<int, int>> expected{{5, 5}, {5, 8}};
    EXPECT_EQ(g.sizeChanges, expected);
}

TEST(StringGridCounts, ShrinkingKeepsTheCurrentCellInsideTheGrid)
{
    ProbeGrid g;
    g.setRowCount(50);
    g.setRow(40);
    g.setRowCount(10);
    EXPECT_EQ(g.Row(), 9);
    EXPECT_LE(g.TopRow(), 9);
}

TEST(StringGridPainting, DrawCellIsCalledExactlyForTheVisibleCells)
{
    ProbeGrid g(300, 200); // 5 columns (x 0,65,130,195,260) and 8 rows (y 0..175) fit
    g.setColCount(100);
    g.setRowCount(1000);
    g.render();
    std::set<std::pair<int, int>> expected;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 8; ++r)
            expected.insert({c, r});
    EXPECT_EQ(g.drawn, expected);
    EXPECT_EQ(g.drawCalls, 40);

    g.setLeftCol(50);
    g.setTopRow(500);
    g.render();
    expected.clear();
    for (int c : {0, 50, 51, 52, 53})
        for (int r : {0, 500, 501, 502, 503, 504, 505, 506})
            expected.insert({c, r});
    EXPECT_EQ(g.drawn, expected);
    EXPECT_EQ(g.drawCalls, 40);
}

TEST(StringGridPainting, FixedBandAndGridLinesShowInTheImage)
{
    ProbeGrid g;
    g.setFixedColor(clRed);
    g.setColor(clWhite);
    g.setOptions(g.Options() & ~goVertLine); // fixed vertical lines only
    const QImage img = g.render();
    const QColor red(255, 0, 0), white(255, 255, 255);
    const QColor fixedLine = ColorToQColor(clGray), line = ColorToQColor(clSilver);
    EXPECT_EQ(img.pixelColor(10, 10), red);        // corner cell
    EXPECT_EQ(img.pixelColor(100, 10), red);       // fixed row
    EXPECT_EQ(img.pixelColor(10, 100), red);       // fixed column
    EXPECT_EQ(img.pixelColor(100, 40), white);     // cell (1, 1) is current: not selected
    EXPECT_EQ(img.pixelColor(64, 10), fixedLine);  // vertical line after column 0
    EXPECT_EQ(img.pixelColor(10, 24), fixedLine);  // horizontal line after row 0
    EXPECT_EQ(img.pixelColor(100, 49), line);      // horizontal line between rows 1 and 2
    EXPECT_EQ(img.pixelColor(129, 60), white);     // goVertLine off: background in the gap
    EXPECT_EQ(img.pixelColor(129, 10), fixedLine); // but the fixed row keeps its line
}

TEST(StringGridPainting, SelectionUsesTheHighlightColoursAndTextIsWritten)
{
    ProbeGrid g;
    g.setColor(clWhite);
    g.setSelection(TGridRect{1, 1, 2, 2});
    g.setCells(3, 3, QStringLiteral("WWWW"));
    const QImage img = g.render();
    const QColor highlight = ColorToQColor(clHighlight);
    EXPECT_EQ(img.pixelColor(65 + 32, 25 + 12), highlight);              // (1, 1) the anchor
    EXPECT_EQ(img.pixelColor(130 + 32, 25 + 12), highlight);             // (2, 1) selected
    EXPECT_EQ(img.pixelColor(130 + 32, 50 + 12), QColor(255, 255, 255)); // current: unhighlighted
    EXPECT_EQ(img.pixelColor(65 + 32, 50 + 12), highlight);
    // Some text pixel inside cell (3, 3) differs from the background.
    bool ink = false;
    for (int x = 195 + 2; x < 195 + 40 && !ink; ++x)
        for (int y = 75 + 2; y < 75 + 20 && !ink; ++y)
            ink = img.pixelColor(x, y) != QColor(255, 255, 255);
    EXPECT_TRUE(ink);
}

TEST(StringGridPainting, AFailingDrawCellDoesNotStopThePaint)
{
    ProbeGrid g;
    g.throwInDrawCell = true;
    g.render();
    EXPECT_EQ(g.drawCalls, 25);
}

TEST(StringGridScrolling, ScrollBarsFollowTopRowAndLeftCol)
{
    ProbeGrid g(300, 200, true);
    g.setRowCount(1000);
    g.setColCount(100);
    QScrollBar *v = g.verticalScrollBar();
    EXPECT_EQ(v->minimum(), 1);
    EXPECT_EQ(v->maximum(), g.RowCount() - g.VisibleRowCount());
    v->setValue(300);
    EXPECT_EQ(g.TopRow(), 300);
    g.setTopRow(5000); // clamped to the last useful top row
    EXPECT_EQ(g.TopRow(), v->maximum());
    g.horizontalScrollBar()->setValue(20);
    EXPECT_EQ(g.LeftCol(), 20);
}

TEST(StringGridScrolling, TheWheelScrollsThreeRowsPerNotch)
{
    ProbeGrid g;
    g.setRowCount(100);
    QWheelEvent down(QPointF(50, 50), g.area()->mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(g.area(), &down);
    EXPECT_EQ(g.TopRow(), 4);
    EXPECT_EQ(g.Row(), 1); // the current cell stays
}

TEST(StringGridProperties, PublishedPropertiesAreListedAndWritable)
{
    ProbeGrid g;
    const QMetaObject *mo = g.metaObject();
    for (const char *name : {"ColCount", "RowCount", "FixedCols", "FixedRows", "DefaultColWidth",
                             "DefaultRowHeight", "GridLineWidth", "Color", "FixedColor", "Font",
                             "Options", "ScrollBars", "DefaultDrawing"}) {
        const int index = mo->indexOfProperty(name);
        ASSERT_GE(index, 0) << name;
        EXPECT_TRUE(mo->property(index).isStored()) << name;
    }
    EXPECT_TRUE(g.setProperty("Options", QVariant::fromValue(TGridOptions(goEditing))));
    EXPECT_EQ(g.Options(), TGridOptions(goEditing));
    EXPECT_TRUE(QMetaObject::invokeMethod(&g, "Loaded"));
}

TEST(GridFont, HandleFollowsFaceSizeAndStyleButNotColour)
{
    TFont font;
    int changes = 0;
    font.OnChange = [&](TFont *) { ++changes; };
    const auto h0 = font.Handle();
    font.setColor(clRed);
    EXPECT_EQ(font.Handle(), h0);
    font.setSize(font.Size() + 3);
    const auto h1 = font.Handle();
    EXPECT_NE(h1, h0);
    font.setStyle(fsBold);
    EXPECT_NE(font.Handle(), h1);
    EXPECT_EQ(changes, 3);
    TFont copy;
    copy.Assign(&font);
    EXPECT_EQ(copy.Size(), font.Size());
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_TRUE(copy.qfont().bold());
}

TEST(GridColours, SystemColoursResolveThroughThePalette)
{
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(clNavy), QColor(0, 0, 128));
    EXPECT_EQ(ColorToQColor(clHighlight), QGuiApplication::palette().color(QPalette::Highlight));
    EXPECT_EQ(ColorToQColor(clBtnFace), QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(ColorToRGB(clWindow),
              QColorToColor(QGuiApplication::palette().color(QPalette::Base)));
}

TEST(StringGridProperties, AFormStreamRoundTripRestoresTheGrid)
{
    ProbeGrid a;
    a.setColCount(7);
    a.setRowCount(12);
    a.setFixedRows(2);
    a.setDefaultColWidth(50);
    a.setOptions(a.Options() | goEditing | goColSizing);
    a.setColor(clYellow);
    a.setScrollBars(ssVertical);
    a.Font()->setSize(14);
    a.Font()->setColor(clNavy);
    const QByteArray json = SaveComponent(a);

    ProbeGrid b;
    LoadComponent(b, json);
    EXPECT_EQ(b.ColCount(), 7);
    EXPECT_EQ(b.RowCount(), 12);
    EXPECT_EQ(b.FixedRows(), 2);
    EXPECT_EQ(b.DefaultColWidth(), 50);
    EXPECT_EQ(b.Options(), a.Options());
    EXPECT_EQ(b.Color(), clYellow);
    EXPECT_EQ(b.ScrollBars(), ssVertical);
    EXPECT_EQ(b.Font()->Size(), 14);
    EXPECT_EQ(b.Font()->Color(), clNavy);
    EXPECT_TRUE(json.contains("goEditing")) << json.constData();
}

TEST(StringGridCounts, TheLargestCountsStayUsable)
{
    ProbeGrid g(300, 200);
    g.setRowCount(INT_MAX);
    g.setColCount(INT_MAX);
    g.setCells(5, INT_MAX - 1, QStringLiteral("bottom"));
    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(g.Row(), INT_MAX - 1);
    EXPECT_EQ(g.Col(), INT_MAX - 1);
    QTest::keyClick(&g, Qt::Key_PageDown);
    QTest::keyClick(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), INT_MAX - 1);
    g.render();
    EXPECT_TRUE(g.drawn.count({INT_MAX - 1, INT_MAX - 1}));
    g.setCol(5);
    EXPECT_EQ(g.CellText(5, INT_MAX - 1), QStringLiteral("bottom"));
    EXPECT_THROW(g.setColWidths(3, 1000001), ERangeError);
    EXPECT_THROW(g.setDefaultRowHeight(2000000), ERangeError);
    EXPECT_THROW(g.setGridLineWidth(1001), ERangeError);
}

namespace {
// Collects the regions the viewport is asked to paint.
struct PaintWatch : QObject
{
    QRegion painted;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};
} // namespace

// A batch defers the repaint of what it wrote to its end; the written cell must still
// be repainted then, whether alone or among many.
TEST(StringGridPainting, CellsWrittenInABatchAreRepaintedAtItsEnd)
{
    TStringGrid g;
    g.resize(300, 200);
    g.show();
    QCoreApplication::processEvents();
    PaintWatch watch;
    g.viewport()->installEventFilter(&watch);
    const auto paintedAfter = [&](auto &&write) {
        watch.painted = QRegion();
        write();
        QCoreApplication::processEvents();
        return watch.painted;
    };
    const QRect cell = g.CellRect(2, 3);
    EXPECT_TRUE(paintedAfter([&] { GridEdit b(g); g.setCells(2, 3, "a"); }).contains(cell));
    EXPECT_TRUE(paintedAfter([&] {
        GridEdit b(g);
        g.setCells(1, 1, "b");
        g.setCells(2, 3, "c");
    }).contains(cell));
    EXPECT_TRUE(paintedAfter([&] { GridEdit b(g); }).isEmpty());
}
