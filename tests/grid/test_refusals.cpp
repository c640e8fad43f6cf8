// Calls and streams the grid refuses leave it exactly as it was: enumeration values it
// does not declare, counts past the caps, widths it cannot show, streams that fail
// part-way, moves of lines that are out of step, values written through Qt's
// meta-object. And what a drag copies back.
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/formstream.h"
#include "host/warningcapture.h"

#include <QJsonDocument>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

// Everything a refused call might disturb, in one comparable value.
struct Snapshot
{
    QByteArray stream;
    std::vector<int> widths, heights;
    QStringList marks, cells;
    int col = 0, row = 0;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const tvorgrid &g)
{
    Snapshot s;
    s.stream = SaveComponent(g);
    for (int c = 0; c < g.ColCount(); ++c) s.widths.push_back(g.ColWidths(c));
    for (int r = 0; r < g.RowCount(); ++r) s.heights.push_back(g.RowHeights(r));
    s.marks = g.RowMarks()->toStringList();
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) s.cells << g.Cells(c, r);
    s.col = g.Col();
    s.row = g.Row();
    return s;
}

void prepare(tvorgrid &g)
{
    g.setColCount(5);
    g.setRowCount(6);
    g.setColWidths(2, 90);
    g.setRowHeights(3, 40);
    g.columns()->GeTmColumn(4)->SetWidth(77);
    g.columns()->GeTmColumn(4)->SetHide(true);
    g.RowMarks()->Put(2, QStringLiteral("Y"));
    g.setCells(1, 2, QStringLiteral("kept"));
    g.setCol(3);
    g.setRow(4);
}

} // namespace

TEST(GridRefusals, EnumerationValuesOutsideTheirRangeAreRefusedAtTheSetter)
{
    tvorgrid g;
    prepare(g);
    const Snapshot before = snapshot(g);
    EXPECT_THROW(g.setKeyType(static_cast<TMSortType>(4)), ERangeError);
    EXPECT_THROW(g.setUseFixed(static_cast<HandleFixed>(-2)), ERangeError);
    EXPECT_THROW(g.setScrollBars(static_cast<TScrollStyle>(-1)), ERangeError);
    tmcolumn *column = g.columns()->GeTmColumn(1);
    EXPECT_THROW(column->settype(static_cast<tvorcolumntype>(9)), ERangeError);
    EXPECT_THROW(column->SetAlignment(static_cast<TAlignment>(3)), ERangeError);
    EXPECT_THROW(column->Title()->SetAlignment(static_cast<TAlignment>(-1)), ERangeError);
    EXPECT_THROW(column->SetVertAlignment(static_cast<TVertAlignment>(5)), ERangeError);
    EXPECT_THROW(column->SetButtonStyle(static_cast<TmColumnButtonStyle>(8)), ERangeError);
    EXPECT_EQ(snapshot(g), before);
    // What is saved loads again.
    tvorgrid copy;
    EXPECT_NO_THROW(LoadComponent(copy, before.stream));
}

TEST(GridRefusals, WritesThroughTheMetaObjectAreRefusedWithFalseAndAWarning)
{
    // What setProperty, QUiLoader and Qt Designer write: Qt's code around the write
    // cannot take an exception, so the refusal is the write's result and a warning.
    tvorgrid g;
    prepare(g);
    tmcolumn *column = g.columns()->GeTmColumn(1);
    struct Write
    {
        QObject *object;
        const char *property;
        QVariant value;
        const char *warning;
    };
    const Write writes[] = {
        {&g, "ColCount", 1000000,
         "vorgrd: tvorgrid::ColCount refused the value 1000000: setColCount: ColCount 1000000 is out of range (valid: 0..100000)"},
        {&g, "RowCount", -5, "vorgrd: tvorgrid::RowCount refused the value -5: setRowCount: RowCount -5 is out of range"},
        {&g, "FixedRows", 50, "vorgrd: tvorgrid::FixedRows refused the value 50: FixedRows 50 is out of range (valid: 0..5)"},
        {&g, "KeyType", 99, "vorgrd: tvorgrid::KeyType refused the value 99: "},
        {&g, "UseFixed", 3, "vorgrd: tvorgrid::UseFixed refused the value 3: "},
        {&g, "ScrollBars", -1, "vorgrd: tvorgrid::ScrollBars refused the value -1: "},
        {&g, "GridLineWidth", 5000, "vorgrd: tvorgrid::GridLineWidth refused the value 5000: "},
        {column, "columntype", 9, "vorgrd: tmcolumn::columntype refused the value 9: "},
        {column->Title(), "Alignment", 7, "vorgrd: tmcolumntitle::Alignment refused the value 7: "},
    };
    const Snapshot before = snapshot(g);
    for (const Write &w : writes) {
        SCOPED_TRACE(w.property);
        test::WarningCapture warnings;
        bool written = true;
        EXPECT_NO_THROW(written = w.object->setProperty(w.property, w.value));
        EXPECT_FALSE(written);
        ASSERT_EQ(warnings.messages.size(), 1) << warnings.messages.join(u'\n').toStdString();
        EXPECT_TRUE(warnings.messages[0].startsWith(QLatin1String(w.warning)))
            << warnings.messages[0].toStdString();
        EXPECT_EQ(snapshot(g), before);
    }
    // A good value still goes through, and the C++ setter still raises.
    EXPECT_TRUE(g.setProperty("KeyType", int(soNumeric)));
    EXPECT_EQ(g.KeyType(), soNumeric);
    EXPECT_THROW(g.setColCount(1000000), ERangeError);
}

TEST(GridRefusals, CountsAndCellWritesStopAtTheCaps)
{
    tvorgrid g;
    prepare(g);
    const Snapshot before = snapshot(g);
    try {
        g.setColCount(INT_MAX);
        ADD_FAILURE() << "accepted";
    } catch (const ERangeError &e) {
        EXPECT_EQ(e.Message(), "setColCount: ColCount 2147483647 is out of range (valid: 0..100000)");
    }
    EXPECT_THROW(g.setRowCount(INT_MAX), ERangeError);
    EXPECT_THROW(g.setRowCount(tvorgrid::MaxInsertRowCount + 1), ERangeError);
    EXPECT_THROW(g.setCells(INT_MAX, 1, QStringLiteral("x")), ERangeError);
    EXPECT_THROW(g.setCells(1, INT_MAX, QStringLiteral("x")), ERangeError);
    EXPECT_THROW(g.setCells(tvorgrid::MaxInsertColCount, 0, QStringLiteral("x")), ERangeError);
    EXPECT_THROW(g.setObjects(tvorgrid::MaxInsertColCount, 1, &g), ERangeError);
    EXPECT_THROW(LoadComponent(g, R"({"class": "tvorgrid", "properties": {"ColCount": 2147483647}})"),
                 EReadError);
    EXPECT_EQ(snapshot(g), before);
    EXPECT_NO_THROW(g.setCells(tvorgrid::MaxInsertColCount - 1, 0, QStringLiteral("edge")));
    EXPECT_NO_THROW(g.checkConsistency());
}

TEST(GridRefusals, ARefusedColumnWidthIsNeverKept)
{
    tvorgrid g;
    prepare(g);
    tmcolumn *shown = g.columns()->GeTmColumn(1);
    tmcolumn *hidden = g.columns()->GeTmColumn(4);
    const Snapshot before = snapshot(g);
    EXPECT_THROW(shown->SetWidth(-1), ERangeError);
    EXPECT_THROW(hidden->SetWidth(-5), ERangeError);
    EXPECT_THROW(hidden->SetWidth(TCustomGrid::MaxExtent + 1), ERangeError);
    EXPECT_EQ(shown->GetWidth(), 64);
    EXPECT_EQ(hidden->GetWidth(), 77);
    EXPECT_EQ(snapshot(g), before);
    hidden->SetHide(false);
    EXPECT_EQ(g.ColWidths(4), 77);
    tvorgrid copy;
    EXPECT_NO_THROW(LoadComponent(copy, SaveComponent(g)));
}

TEST(GridRefusals, ARejectedStreamLeavesEverythingAsItWas)
{
    const char *streams[] = {
        R"({"class": "tvorgrid", "properties": {"GridLineWidth": -1}})",
        R"({"class": "tvorgrid", "properties": {"RowCount": 2, "FixedRows": 3}})",
        // A width only Loaded() can refuse: the grid's cap.
        R"({"class": "tvorgrid", "properties": {"ColCount": 2, "showtitles": true,
            "columns": [{"columnName": "a"}, {"columnName": "b", "Width": 1000001}]}})",
    };
    for (const char *stream : streams) {
        SCOPED_TRACE(stream);
        tvorgrid g;
        prepare(g);
        const Snapshot before = snapshot(g);
        try {
            LoadComponent(g, stream);
            ADD_FAILURE() << "accepted";
        } catch (const EReadError &e) {
            EXPECT_TRUE(e.Message().startsWith("Error reading ")) << e.what();
        } catch (const std::exception &e) {
            ADD_FAILURE() << "not a read error: " << e.what();
        }
        EXPECT_EQ(snapshot(g), before);
        EXPECT_NO_THROW(g.checkConsistency());
    }
}

TEST(GridRefusals, AMoveOfLinesOutOfStepIsRefusedBeforeAnythingMoves)
{
    tvorgrid g;
    prepare(g);
    g.RowMarks()->Add(QStringLiteral("extra")); // out of step with RowCount
    const Snapshot before = snapshot(g);
    EXPECT_THROW(g.MoveRow(3, 1), EListError);
    EXPECT_THROW(g.MoveColumn(2, 3), EListError);
    EXPECT_EQ(snapshot(g), before);
}

TEST(GridColumns, DraggingABorderKeepsTheWidthOfAHiddenColumn)
{
    tvorgrid g;
    g.setFrameShape(QFrame::NoFrame);
    g.setScrollBars(ssNone);
    g.setOptions(g.Options() | goColSizing);
    g.resize(500, 200);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    g.columns()->GeTmColumn(3)->SetWidth(80);
    g.columns()->GeTmColumn(3)->SetHide(true);
    const QRect first = g.CellRect(1, 0);
    const QPoint border(first.right() + 1, first.center().y());
    QTest::mousePress(g.viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(g.viewport(), border + QPoint(30, 0));
    QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
    EXPECT_EQ(g.columns()->GeTmColumn(1)->GetWidth(), 94);
    EXPECT_EQ(g.columns()->GeTmColumn(3)->GetWidth(), 80);
    g.columns()->GeTmColumn(3)->SetHide(false);
    EXPECT_EQ(g.ColWidths(3), 80);
}

TEST(GridColumns, WritingTheColumnsPropertyKeepsOneDescriptionPerColumn)
{
    for (int size : {2, 5, 9}) {
        SCOPED_TRACE(size);
        tvorgrid source;
        source.setColCount(size);
        source.columns()->GeTmColumn(1)->SetWidth(33);
        tvorgrid g;
        g.setColCount(5);
        g.setcolumns(source.columns());
        EXPECT_EQ(g.ColCount(), 5);
        EXPECT_NO_THROW(g.checkConsistency());
        EXPECT_EQ(g.ColWidths(1), 33);
        EXPECT_NO_THROW(g.InsertCols(1, 1));
        // Through the meta-object too.
        EXPECT_TRUE(g.setProperty("columns", QVariant::fromValue(source.columns())));
        EXPECT_EQ(g.columns()->Count(), g.ColCount());
        EXPECT_NO_THROW(g.DeleteRows(1, 1));
    }
}
