// The columns as one designable text: what the .ui file carries between Designer,
// uic and QUiLoader, and the package's identity.
#include "design/package.h"
#include "grid/vorGrid.h"
#include "host/exceptions.h"
#include "host/formstream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

void configure(tvorgrid &grid)
{
    grid.setColCount(3);
    tmcolumn *price = grid.columns()->GeTmColumn(1);
    price->SetcolumnName("Price");
    price->settype(ftnumeric);
    price->SetWidth(90);
    price->SetDisplayformat("0.00");
    price->Title()->SetCaption("Unit price");
    price->GetPickList()->setStringList({"1", "2"});
    grid.columns()->GeTmColumn(2)->SetHide(true);
    grid.setshowtitles(true);
}

QJsonArray streamedColumns(const tvorgrid &grid)
{
    return WriteComponent(grid).value("properties").toObject().value("columns").toArray();
}

} // namespace

TEST(ColumnsJson, CarriesEveryColumnIntoAnotherGrid)
{
    tvorgrid source;
    configure(source);
    tvorgrid target;
    target.setColCount(7);
    target.setshowtitles(true);
    target.setColumnsJson(source.ColumnsJson());
    EXPECT_EQ(target.ColCount(), 3);
    EXPECT_EQ(streamedColumns(target), streamedColumns(source));
    EXPECT_EQ(target.Cells(1, 0), "Unit price");
    EXPECT_EQ(target.ColWidths(1), 90);
    EXPECT_EQ(target.ColWidths(2), 0);
    EXPECT_TRUE(target.columns()->GeTmColumn(1)->IsWidthStored());
    target.checkConsistency();
}

TEST(ColumnsJson, IsLeftOutOfTheFormStreamWhichStreamsColumnsItself)
{
    tvorgrid grid;
    configure(grid);
    const QJsonObject properties = WriteComponent(grid).value("properties").toObject();
    EXPECT_TRUE(properties.contains("columns"));
    EXPECT_FALSE(properties.contains("ColumnsJson"));
    EXPECT_EQ(QJsonDocument::fromJson(grid.ColumnsJson().toUtf8()).array(), properties.value("columns").toArray());
}

TEST(ColumnsJson, BadTextsChangeNothing)
{
    tvorgrid grid;
    configure(grid);
    const QByteArray before = SaveComponent(grid);
    const char *bad[] = {"not json", "{\"columnName\":\"x\"}", "[1, 2]", "[{\"NoSuchProperty\":1}]",
                         "[{\"Width\":\"wide\"}]"};
    for (const char *text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(grid.LoadColumnsJson(QString::fromUtf8(text)), EReadError);
        grid.setColumnsJson(QString::fromUtf8(text)); // warns, never throws
        EXPECT_EQ(SaveComponent(grid), before);
    }
    grid.setColumnsJson(QString()); // what an unset property reads as: no change
    EXPECT_EQ(SaveComponent(grid), before);
    grid.checkConsistency();
}

TEST(ColumnsJson, AnEmptyArrayLeavesTheColumnsTheBaseKeeps)
{
    tvorgrid grid;
    grid.setFixedCols(1);
    grid.setColumnsJson("[]");
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.columns()->Count(), 2);
    grid.checkConsistency();
}

TEST(ColumnsJson, UicSetterNamesReachTheGrid)
{
    tvorgrid grid;
    grid.setShowtitles(true);
    EXPECT_TRUE(grid.showtitles());
    EXPECT_EQ(grid.Cells(0, 0), "column 1");
    grid.setReverseSearch(true);
    EXPECT_TRUE(grid.ReverseSearch());
}

TEST(Package, NamesItselfFromItsResources)
{
    EXPECT_EQ(PackageName(), "vorgrd");
    EXPECT_EQ(PackageDescription(), "VOR grid component");
    EXPECT_FALSE(PackageVersion().isEmpty());
    EXPECT_EQ(PackageVersion().count(u'.'), 2);
}
