// Cells by column name and as variants, and the text formula cells show.
#include "grid/vorGrid.h"

#include <QDate>
#include <QMetaObject>
#include <QRect>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <functional>

using namespace vorgrd;

namespace {

// A 4 x 3 grid without fixed cells, its columns named as given.
void nameColumns(tvorgrid &grid, const QStringList &names)
{
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    grid.setColCount(int(names.size()));
    grid.setRowCount(3);
    for (int i = 0; i < int(names.size()); ++i)
        grid.columns()->GeTmColumn(i)->SetcolumnName(names[i]);
}

QStringList allCells(const tvorgrid &grid)
{
    QStringList texts;
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            texts << grid.Cells(c, r);
    return texts;
}

struct Unconvertible
{
    int value = 0;
};

} // namespace

Q_DECLARE_METATYPE(Unconvertible)

// ---- names ---------------------------------------------------------------------------------

TEST(CellNames, NamesMatchWithAsciiLettersFoldedAndTheFirstColumnWins)
{
    tvorgrid grid;
    nameColumns(grid, {"Price", "price", "", "Qty", "\u00e4", ""});
    const std::pair<QString, int> cases[] = {
        {"PRICE", 0},  {"price", 0}, {"pRiCe", 0},   {"qty", 3},     {"QTY", 3},
        {"", 2},       {"none", -1}, {"Price ", -1}, {"\u00c4", -1}, // only a-z are folded
        {"\u00e4", 4},
    };
    for (const auto &[name, index] : cases)
        EXPECT_EQ(grid.getcellsindex(name), index) << name.toStdString();
}

TEST(CellNames, GetcellsnameGivesTheNameOrEmptyOutsideTheColumns)
{
    tvorgrid grid;
    nameColumns(grid, {"a", "b", "last"});
    const std::pair<int, QString> cases[] = {{0, "a"}, {2, "last"},           {-1, ""},
                                             {3, ""},  {-2147483647 - 1, ""}, {2147483647, ""}};
    for (const auto &[index, name] : cases)
        EXPECT_EQ(grid.getcellsname(index), name) << index;
}

TEST(CellNames, CellsAreWrittenAndReadByName)
{
    tvorgrid grid;
    nameColumns(grid, {"Name", "Qty", "", "qty"});
    grid.setcellname("QTY", 1, "7");
    grid.setcellname("", 2, "into the first unnamed");
    EXPECT_EQ(grid.Cells(1, 1), "7");
    EXPECT_EQ(grid.Cells(3, 1), "");
    EXPECT_EQ(grid.Cells(2, 2), "into the first unnamed");
    EXPECT_EQ(grid.getcellname("qty", 1), "7");
    EXPECT_EQ(grid.getvcellname("Qty", 1), QVariant(QString("7")));
    EXPECT_EQ(grid.getvcellname("Qty", 1).typeId(), QMetaType::QString);
    EXPECT_EQ(grid.getvcellname("Qty", 0).typeId(), QMetaType::QString); // an empty cell

    const QStringList before = allCells(grid);
    grid.setcellname("missing", 1, "x");
    grid.setvcellname("missing", 1, 5);
    EXPECT_EQ(allCells(grid), before);
    EXPECT_EQ(grid.getcellname("missing", 1), "");
    EXPECT_FALSE(grid.getvcellname("missing", 1).isValid());
}

// ---- variants ------------------------------------------------------------------------------

TEST(CellNames, VariantsAreStoredAsTheirTextAndReadBackAsStrings)
{
    const std::pair<QVariant, QString> cases[] = {
        {QVariant(3), "3"},
        {QVariant(-42LL), "-42"},
        {QVariant(2.5), "2.5"},
        {QVariant(true), "true"},
        {QVariant(QString("text")), "text"},
        {QVariant(QDate(2024, 1, 5)), "2024-01-05"},
        {QVariant(QStringList{"one"}), "one"},
        {QVariant(), ""},
    };
    for (const auto &[value, text] : cases) {
        SCOPED_TRACE(text.toStdString());
        tvorgrid grid;
        nameColumns(grid, {"a", "b"});
        grid.setCells(1, 2, "old");
        grid.setvcell(1, 2, value);
        EXPECT_EQ(grid.Cells(1, 2), text);
        const QVariant back = grid.getvcell(1, 2);
        EXPECT_EQ(back.typeId(), QMetaType::QString);
        EXPECT_EQ(back.toString(), text);
        grid.setvcellname("B", 0, value);
        EXPECT_EQ(grid.Cells(1, 0), text);
    }
}

TEST(CellNames, AVariantWithoutTextFormIsRefusedWithTheCellUnchanged)
{
    const QVariant cases[] = {
        QVariant(QRect(1, 2, 3, 4)),
        QVariant::fromValue(Unconvertible{7}),
        QVariant(QStringList{"two", "items"}),
    };
    for (const QVariant &value : cases) {
        SCOPED_TRACE(value.typeName());
        tvorgrid grid;
        nameColumns(grid, {"a", "b"});
        grid.setCells(0, 1, "kept");
        try {
            grid.setvcell(0, 1, value);
            ADD_FAILURE() << "no exception";
        } catch (const EVariantError &e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(value.typeName()))) << e.what();
        }
        EXPECT_THROW(grid.setvcellname("A", 1, value), EVariantError);
        // Also when no column has the name: the variant is checked first.
        EXPECT_THROW(grid.setvcellname("missing", 1, value), EVariantError);
        EXPECT_EQ(grid.Cells(0, 1), "kept");
    }
}

// ---- indices -------------------------------------------------------------------------------

TEST(CellNames, RowsAndColumnsOutsideTheGridAreRefusedWithNothingChanged)
{
    tvorgrid grid;
    nameColumns(grid, {"a", "b"}); // columns 0..1, rows 0..2
    grid.setCells(0, 0, "x");
    const QStringList before = allCells(grid);
    struct Case
    {
        const char *what;
        std::function<void()> call;
        QString value, range;
    };
    const Case cases[] = {
        {"setcellname", [&] { grid.setcellname("a", 3, "v"); }, "3", "0..2"},
        {"getcellname", [&] { grid.getcellname("a", -1); }, "-1", "0..2"},
        {"setvcellname", [&] { grid.setvcellname("a", 5, 1); }, "5", "0..2"},
        {"getvcellname", [&] { grid.getvcellname("missing", 3); }, "3", "0..2"},
        {"setvcell col", [&] { grid.setvcell(2, 0, 1); }, "2", "0..1"},
        {"setvcell row", [&] { grid.setvcell(0, -1, 1); }, "-1", "0..2"},
        {"getvcell", [&] { grid.getvcell(-1, 0); }, "-1", "0..1"},
        {"FormulaDisplayText", [&] { grid.FormulaDisplayText(0, 3); }, "3", "0..2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no exception";
        } catch (const ERangeError &e) {
            EXPECT_TRUE(e.Message().contains(c.value)) << e.what();
            EXPECT_TRUE(e.Message().contains(c.range)) << e.what();
        }
    }
    EXPECT_EQ(allCells(grid), before);
}

TEST(CellNames, TheLookupsAreCallableByName)
{
    tvorgrid grid;
    nameColumns(grid, {"a", "Total"});
    int index = -2;
    ASSERT_TRUE(QMetaObject::invokeMethod(&grid, "getcellsindex", Q_RETURN_ARG(int, index),
                                          Q_ARG(QString, "TOTAL")));
    EXPECT_EQ(index, 1);
    QString name;
    ASSERT_TRUE(QMetaObject::invokeMethod(&grid, "getcellsname", Q_RETURN_ARG(QString, name),
                                          Q_ARG(int, 0)));
    EXPECT_EQ(name, "a");
}

// ---- formula cells -------------------------------------------------------------------------

TEST(FormulaCells, TheValueIsShownThroughTheDisplayFormatOrAsGeneralNumber)
{
    struct Case
    {
        QString formula, format, shown;
    };
    const Case cases[] = {
        {"2+3*4", "", "14"},
        {"1/3", "", "0.333333333333333"},
        {"2+3", "0.00", "5.00"},
        {"2.5", "0.00x", "2.50"}, // the x is dropped; blanking zeros is the drawing's job
        {"1234.5", "#,##0.0", "1,234.5"},
        {"7", "x", "7"}, // nothing left of the pattern: general format
        {"sqrt(16)", "0", "4"},
        // failures show the text as typed
        {"SQRT(-1)", "", "SQRT(-1)"},
        {"1/0", "0.00", "1/0"},
        {"2+", "", "2+"},
        {"", "", ""},
        {"CELL(0;1)", "", "CELL(0;1)"}, // refers to itself
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.formula.toStdString() + " / " + c.format.toStdString());
        tvorgrid grid;
        nameColumns(grid, {"n", "f"});
        grid.columns()->GeTmColumn(0)->settype(ftformula);
        grid.columns()->GeTmColumn(0)->SetDisplayformat(c.format);
        grid.setCells(0, 1, c.formula);
        EXPECT_EQ(grid.FormulaDisplayText(0, 1), c.shown);
        EXPECT_EQ(grid.Cells(0, 1), c.formula); // the text stays the formula
    }
}

TEST(FormulaCells, FormulasReadOtherCellsAndTheRangeFunctionsTheFocusedRow)
{
    tvorgrid grid;
    nameColumns(grid, {"a", "b", "c", "sum"});
    grid.setRowCount(5);
    grid.columns()->GeTmColumn(3)->settype(ftformula);
    grid.setCells(0, 1, "0");
    grid.setCells(1, 1, "2");
    grid.setCells(2, 1, "CELL(1;1)*3");
    grid.setCells(3, 0, "CELL(2;1)+1");
    EXPECT_EQ(grid.FormulaDisplayText(3, 0), "7");

    for (int c = 0; c < 3; ++c)
        grid.setCells(c, 4, QString::number(c + 1)); // 1 2 3 in row 4
    grid.setCells(3, 2, "SUMROW(0;2)");
    grid.setRow(4);
    EXPECT_EQ(grid.FormulaDisplayText(3, 2), "6");
    grid.setRow(1); // 0 + 2 + 6
    EXPECT_EQ(grid.FormulaDisplayText(3, 2), "8");
    // COL reads the formula cell's own row.
    grid.setCells(3, 4, "COL(0)+COL(2)");
    EXPECT_EQ(grid.FormulaDisplayText(3, 4), "4");
    // The column functions read the focused column: column 1 holds 2 and 2 in rows 1, 4.
    grid.setCells(1, 0, "0");
    grid.setCells(1, 2, "0");
    grid.setCells(1, 3, "0");
    grid.setCells(3, 1, "SUMCOL(0;4)+AVGCOL(1;4)");
    grid.setCol(1);
    EXPECT_EQ(grid.FormulaDisplayText(3, 1), "5");
    grid.setCol(0); // column 0 has empty cells, which are no formulas
    EXPECT_EQ(grid.FormulaDisplayText(3, 1), "SUMCOL(0;4)+AVGCOL(1;4)");
}

TEST(FormulaCells, CellsThatAreNoFormulaCellsShowTheirText)
{
    tvorgrid grid;
    nameColumns(grid, {"plain", "f"});
    grid.columns()->GeTmColumn(1)->settype(ftformula);
    grid.setCells(0, 1, "2+3");
    EXPECT_EQ(grid.FormulaDisplayText(0, 1), "2+3");
    grid.setshowtitles(true); // row 0 now holds the title "f", not a formula
    EXPECT_EQ(grid.FormulaDisplayText(1, 0), "f");
    grid.setCells(1, 1, "2+3");
    EXPECT_EQ(grid.FormulaDisplayText(1, 1), "5");
    grid.setshowtitles(false);
    grid.setCells(1, 0, "1+1");
    EXPECT_EQ(grid.FormulaDisplayText(1, 0), "2");
}
