// The grid in the form stream: the stored rules, the round trip, and malformed
// streams that leave the grid as it was.
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/formstream.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

QJsonObject properties(const QObject &o)
{
    return WriteComponent(o).value("properties").toObject();
}

QJsonObject streamedColumn(const tvorgrid &g, int i)
{
    return properties(g).value("columns").toArray().at(i).toObject();
}

void customise(tvorgrid &g)
{
    g.setColCount(6);
    g.setRowCount(9);
    g.setFixedRows(1);
    g.setFixedCols(1);
    g.setDefaultColWidth(70);
    g.setColor(clInfoBk);
    g.setKeyType(soNumeric);
    g.setUseFixed(hfSmart);
    tmcolumn *name = g.columns()->GeTmColumn(1);
    name->SetcolumnName("Name");
    name->SetWidth(120);
    name->GetFont()->setStyle(fsBold);
    name->Title()->SetColor(clYellow);
    tmcolumn *price = g.columns()->GeTmColumn(2);
    price->settype(ftnumeric);
    price->SetDisplayformat("#,##0.00");
    price->SetAlignment(taRightJustify);
    price->Title()->SetCaption("Price (EUR)");
    tmcolumn *kind = g.columns()->GeTmColumn(3);
    kind->GetPickList()->setStringList({"fruit", "vegetable"});
    kind->setDropDownRows(4);
    kind->SetButtonStyle(cbsEllipsis);
    g.columns()->GeTmColumn(4)->SetHide(true);
    g.columns()->GeTmColumn(5)->SetColor(clRed);
    g.columns()->GeTmColumn(5)->SetVertAlignment(vaCenter);
    g.setshowtitles(true);
}

QImage render(tvorgrid &g)
{
    g.resize(600, 300);
    QImage image(g.size(), QImage::Format_ARGB32);
    g.render(&image);
    return image;
}

} // namespace

TEST(GridStream, ANewGridWritesNoColumnAttributeThatFollowsItsDefault)
{
    tvorgrid grid;
    const QJsonObject p = properties(grid);
    EXPECT_FALSE(p.contains("showtitles"));
    EXPECT_TRUE(p.contains("SavedFixedRows"));
    EXPECT_TRUE(p.contains("SavedFixedCols"));
    EXPECT_FALSE(p.contains("SearchExists"));
    const QJsonObject column = streamedColumn(grid, 0);
    for (const char *name : {"Width", "Color", "Alignment", "VertAlignment", "Font", "Hide", "ReadOnly",
                             "Wordwrap", "columntype", "DropDownRows"})
        EXPECT_FALSE(column.contains(name)) << name;
    EXPECT_EQ(column.value("columnName").toString(), "column 1");
    EXPECT_TRUE(column.value("Title").toObject().isEmpty());
}

TEST(GridStream, StoredRulesFollowAssignmentAndRestoreDefaults)
{
    tvorgrid grid;
    tmcolumn *c = grid.columns()->GeTmColumn(0);
    c->SetWidth(100);
    c->setDropDownRows(9);
    grid.setshowtitles(true);
    EXPECT_EQ(streamedColumn(grid, 0).value("Width").toInt(), 100);
    EXPECT_EQ(streamedColumn(grid, 0).value("DropDownRows").toInt(), 9);
    EXPECT_TRUE(properties(grid).value("showtitles").toBool());
    c->RestoreDefaults();
    EXPECT_FALSE(streamedColumn(grid, 0).contains("Width"));
}

TEST(GridStream, RoundTripWritesTheSameStreamAndPaintsTheSame)
{
    tvorgrid original;
    customise(original);
    const QByteArray stream = SaveComponent(original);

    tvorgrid copy;
    LoadComponent(copy, stream);
    copy.checkConsistency();
    EXPECT_EQ(SaveComponent(copy), stream);
    EXPECT_EQ(copy.ColCount(), 6);
    EXPECT_EQ(copy.RowCount(), 9);
    EXPECT_EQ(copy.KeyType(), soNumeric);
    EXPECT_EQ(copy.Cells(2, 0), "Price (EUR)") << "loading writes the title row";
    EXPECT_EQ(copy.Cells(1, 0), "Name");
    EXPECT_EQ(copy.ColWidths(4), 0) << "the hidden column";
    EXPECT_EQ(copy.ColWidths(1), 120);
    EXPECT_EQ(copy.columns()->GeTmColumn(3)->GetPickList()->toStringList(),
              QStringList({"fruit", "vegetable"}));
    EXPECT_TRUE(copy.columns()->GeTmColumn(1)->GetFont()->Style().testFlag(fsBold));
    EXPECT_EQ(render(copy), render(original));
}

TEST(GridStream, EveryShapeOfCountsAndFixedLinesComesBackAsSaved)
{
    struct Shape
    {
        int cols, rows, fixedCols, fixedRows;
    };
    const Shape shapes[] = {{1, 1, 0, 0}, {5, 1, 1, 0}, {1, 5, 0, 1}, {2, 3, 1, 2}, {9, 12, 8, 11}};
    for (const Shape &s : shapes) {
        SCOPED_TRACE(QStringLiteral("%1 x %2, fixed %3 x %4").arg(s.cols).arg(s.rows).arg(s.fixedCols).arg(s.fixedRows).toStdString());
        tvorgrid saved; // made in an order that needs no count to come down
        saved.setColCount(20);
        saved.setRowCount(20);
        saved.setFixedCols(s.fixedCols);
        saved.setFixedRows(s.fixedRows);
        saved.setColCount(s.cols);
        saved.setRowCount(s.rows);
        ASSERT_EQ(saved.ColCount(), s.cols);
        ASSERT_EQ(saved.RowCount(), s.rows);
        const QByteArray stream = SaveComponent(saved);

        tvorgrid fresh;      // the default fixed row and column
        tvorgrid wider;      // fixed lines beyond every saved count
        wider.setColCount(20);
        wider.setRowCount(20);
        wider.setFixedCols(15);
        wider.setFixedRows(15);
        for (tvorgrid *loaded : {&fresh, &wider}) {
            LoadComponent(*loaded, stream);
            EXPECT_EQ(loaded->ColCount(), s.cols);
            EXPECT_EQ(loaded->RowCount(), s.rows);
            EXPECT_EQ(loaded->FixedCols(), s.fixedCols);
            EXPECT_EQ(loaded->FixedRows(), s.fixedRows);
            EXPECT_EQ(SaveComponent(*loaded), stream);
            loaded->checkConsistency();
        }
    }
}

TEST(GridStream, MalformedStreamsAreRejectedAndTheGridStaysAsItWas)
{
    const char *bad[] = {
        R"({"columns": [{"columntype": "ftpicture"}]})",
        R"({"columns": [{"Width": "wide"}]})",
        R"({"columns": [{"PickList": ["a", 1]}]})",
        R"({"columns": [{"Title": {"Font": {"Size": "big"}}}]})",
        R"({"KeyType": 7})",
        R"({"RowCount": -4})",
        R"({"FixedRows": 40})",
        R"({"Colour": 3})",
    };
    for (const char *properties : bad) {
        tvorgrid grid;
        customise(grid);
        grid.setCells(1, 3, "cell");
        const QByteArray before = SaveComponent(grid);
        const QByteArray stream = QByteArray(R"({"class": "tvorgrid", "properties": )") + properties + "}";
        try {
            LoadComponent(grid, stream);
            ADD_FAILURE() << "accepted " << properties;
        } catch (const EReadError &e) {
            EXPECT_FALSE(e.Message().isEmpty());
        }
        EXPECT_EQ(SaveComponent(grid), before) << properties;
        EXPECT_EQ(grid.Cells(1, 3), "cell");
        grid.checkConsistency();
    }
}

TEST(GridStream, ColumnListOfAnotherLengthThanColCountIsFittedToTheCount)
{
    tvorgrid grid;
    LoadComponent(grid, R"({"class": "tvorgrid", "properties": {"ColCount": 3, "columns": [{"columnName": "only"}]}})");
    grid.checkConsistency();
    EXPECT_EQ(grid.columns()->GeTmColumn(0)->columnName(), "only");
    EXPECT_EQ(grid.columns()->GeTmColumn(2)->columnName(), "column 3");
}
