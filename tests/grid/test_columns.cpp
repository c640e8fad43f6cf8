// Column descriptions: defaults that follow the grid until assigned, the stored
// rules, copying, restoring defaults, and what reaches the grid.
#include "grid/vorGrid.h"
#include "host/exceptions.h"

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

struct Grid : ::testing::Test
{
    tvorgrid grid;
    tmcolumn *column(int i) { return grid.columns()->GeTmColumn(i); }
    void TearDown() override { grid.checkConsistency(); }
};

} // namespace

TEST_F(Grid, NewColumnsFollowTheGridDefaults)
{
    tmcolumn *c = column(1);
    EXPECT_EQ(c->GetWidth(), grid.DefaultColWidth());
    EXPECT_TRUE(c->GetWordwrap());
    EXPECT_FALSE(c->GetReadOnly());
    EXPECT_FALSE(c->GetHide());
    EXPECT_EQ(c->GetVertAlignment(), vaTopJustify);
    EXPECT_EQ(c->GetAlignment(), taLeftJustify);
    EXPECT_EQ(c->gettype(), ftstring);
    EXPECT_EQ(c->DropDownRows(), 7);
    EXPECT_EQ(c->GetColor(), grid.Color());
    EXPECT_EQ(c->Title()->GetColor(), grid.FixedColor());
    EXPECT_TRUE(c->AssignedValues().isEmpty());

    grid.setDefaultColWidth(80);
    grid.setColor(clYellow);
    grid.setFixedColor(clAqua);
    EXPECT_EQ(c->GetWidth(), 80);
    EXPECT_EQ(c->GetColor(), clYellow);
    EXPECT_EQ(c->Title()->GetColor(), clAqua);
}

TEST_F(Grid, WidthEqualToTheDefaultStaysUnassignedUntilAWidthIsSet)
{
    grid.setDefaultColWidth(64);
    tmcolumn *c = column(0);
    c->SetWidth(64);
    EXPECT_FALSE(c->AssignedValues().contains(cvWidth));
    EXPECT_FALSE(c->IsWidthStored());
    c->SetWidth(100);
    EXPECT_TRUE(c->IsWidthStored());
    EXPECT_EQ(grid.ColWidths(0), 100);
    c->SetWidth(64);
    EXPECT_TRUE(c->AssignedValues().contains(cvWidth));
    grid.setDefaultColWidth(90);
    EXPECT_EQ(c->GetWidth(), 64) << "an assigned width no longer follows the grid";
    EXPECT_TRUE(c->IsWidthStored());
}

TEST_F(Grid, StoredTestsNeedAnAssignedValueThatDiffersFromItsDefault)
{
    tmcolumn *c = column(0);
    c->SetColor(grid.Color());
    EXPECT_TRUE(c->AssignedValues().contains(cvColor));
    EXPECT_FALSE(c->IsColorStored());
    c->SetColor(clRed);
    EXPECT_TRUE(c->IsColorStored());

    c->SetHide(false);
    EXPECT_FALSE(c->AssignedValues().contains(cvHide));
    c->SetHide(true);
    EXPECT_TRUE(c->IsHideStored());
    c->SetHide(false);
    EXPECT_FALSE(c->IsHideStored());

    c->settype(ftstring);
    EXPECT_FALSE(c->AssignedValues().contains(cvType));
    c->settype(ftnumeric);
    EXPECT_TRUE(c->Istypestored());

    c->SetWordwrap(true);
    EXPECT_FALSE(c->IsWordwrapStored());
    c->SetWordwrap(false);
    EXPECT_TRUE(c->IsWordwrapStored());

    c->setDropDownRows(7);
    EXPECT_FALSE(c->IsDropDownRowsStored());
    c->setDropDownRows(3);
    EXPECT_TRUE(c->IsDropDownRowsStored());
}

TEST_F(Grid, TitleCaptionFollowsTheColumnNameUntilAssigned)
{
    tmcolumn *c = column(2);
    EXPECT_EQ(c->Title()->GetCaption(), "column 3");
    c->SetcolumnName("Price");
    EXPECT_EQ(c->Title()->GetCaption(), "Price");
    EXPECT_FALSE(c->Title()->IsCaptionStored());
    c->Title()->SetCaption("Price");
    EXPECT_FALSE(c->Title()->IsCaptionStored()) << "equal to its default";
    c->Title()->SetCaption("Cost");
    EXPECT_TRUE(c->Title()->IsCaptionStored());
}

TEST_F(Grid, FontsFollowTheGridFontUntilTheyAreChanged)
{
    tmcolumn *c = column(0);
    grid.Font()->setSize(grid.Font()->Size() + 3);
    EXPECT_EQ(c->GetFont()->Size(), grid.Font()->Size());
    EXPECT_EQ(c->Title()->GetFont()->Size(), grid.Font()->Size());
    EXPECT_FALSE(c->AssignedValues().contains(cvFont)) << "following is not assigning";

    // A colour change leaves the font's handle alone: titles follow, columns do not.
    grid.Font()->setColor(clRed);
    EXPECT_EQ(c->Title()->GetFont()->Color(), clRed);
    EXPECT_NE(c->GetFont()->Color(), clRed);

    c->GetFont()->setSize(20);
    EXPECT_TRUE(c->AssignedValues().contains(cvFont));
    EXPECT_TRUE(c->IsFontStored());
    grid.Font()->setSize(9);
    EXPECT_EQ(c->GetFont()->Size(), 20);

    c->Title()->GetFont()->setStyle(fsBold);
    EXPECT_TRUE(c->AssignedValues().contains(cvTitleFont));
}

TEST_F(Grid, AssignCarriesOnlyAssignedAttributes)
{
    tmcolumn *from = column(0);
    tmcolumn *to = column(1);
    from->SetVertAlignment(vaCenter);
    from->SetWordwrap(false);
    from->settype(ftcheckbox);
    from->Title()->SetCaption("Done");
    from->GetPickList()->Add("a");
    from->setDropDownRows(3);
    to->SetColor(clRed);
    to->SetReadOnly(true);

    to->Assign(from);
    EXPECT_EQ(to->GetVertAlignment(), vaCenter);
    EXPECT_FALSE(to->GetWordwrap());
    EXPECT_EQ(to->gettype(), ftcheckbox);
    EXPECT_EQ(to->Title()->GetCaption(), "Done");
    EXPECT_EQ(to->GetPickList()->Text(), "a\r\n");
    EXPECT_EQ(to->DropDownRows(), 3);
    EXPECT_EQ(to->columnName(), from->columnName());
    EXPECT_EQ(to->GetColor(), grid.Color()) << "back to the default: the source had no colour";
    EXPECT_FALSE(to->GetReadOnly());
    EXPECT_FALSE(to->AssignedValues().contains(cvColor));
}

TEST_F(Grid, AssignFromAnotherClassFailsAndChangesNothing)
{
    tmcolumn *c = column(0);
    c->SetColor(clRed);
    try {
        c->Assign(c->Title());
        FAIL() << "a title was assigned to a column";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), "Cannot assign a tmcolumntitle to a tmcolumn");
    }
    EXPECT_EQ(c->GetColor(), clRed);
    EXPECT_THROW(c->Title()->Assign(c), EConvertError);
    EXPECT_EQ(grid.columns()->UpdateCount(), 0);
}

TEST_F(Grid, RestoreDefaultsKeepsNameFormatAndDropDownRows)
{
    tmcolumn *c = column(0);
    c->SetcolumnName("Amount");
    c->SetDisplayformat("0.00");
    c->setDropDownRows(12);
    c->SetColor(clRed);
    c->SetWidth(150);
    c->GetFont()->setSize(30);
    c->Title()->SetCaption("Sum");
    c->GetPickList()->Add("x");
    c->SetButtonStyle(cbsEllipsis);
    c->RestoreDefaults();
    EXPECT_EQ(c->columnName(), "Amount");
    EXPECT_EQ(c->Displayformat(), "0.00");
    EXPECT_EQ(c->DropDownRows(), 12);
    EXPECT_EQ(c->GetColor(), grid.Color());
    EXPECT_EQ(c->GetWidth(), grid.DefaultColWidth());
    EXPECT_EQ(c->GetFont()->Size(), grid.Font()->Size());
    EXPECT_EQ(c->Title()->GetCaption(), "Amount");
    EXPECT_FALSE(c->HasPickList());
    EXPECT_EQ(c->GetPickList()->Count(), 0);
    EXPECT_EQ(c->ButtonStyle(), cbsAuto);
    EXPECT_TRUE(c->AssignedValues().isEmpty());
}

TEST_F(Grid, HidingPutsZeroIntoTheGridWidthAndShowingBringsTheWidthBack)
{
    grid.setCells(1, 2, "kept");
    tmcolumn *c = column(1);
    c->SetWidth(120);
    c->SetHide(true);
    EXPECT_EQ(grid.ColWidths(1), 0);
    EXPECT_EQ(grid.Cells(1, 2), "kept");
    EXPECT_EQ(c->GetWidth(), 120) << "the grid does not report widths that code writes";
    c->SetHide(false);
    EXPECT_EQ(grid.ColWidths(1), 120);
}

TEST_F(Grid, UpdateBracketKeepsChangesAwayFromTheGrid)
{
    TvorgridColumns *cols = grid.columns();
    cols->BeginUpdate();
    column(0)->SetWidth(33);
    column(1)->SetHide(true);
    EXPECT_EQ(grid.ColWidths(0), grid.DefaultColWidth());
    EXPECT_EQ(grid.ColWidths(1), grid.DefaultColWidth());
    cols->EndUpdate();
    EXPECT_EQ(grid.ColWidths(0), grid.DefaultColWidth()) << "the bracket reports the whole collection, no item";
    column(0)->SetWidth(34);
    EXPECT_EQ(grid.ColWidths(0), 34);
}

TEST(Columns, WithoutAGridFallBackToFixedDefaults)
{
    tmcolumn c;
    EXPECT_EQ(c.GetGrid(), nullptr);
    EXPECT_EQ(c.GetWidth(), 64);
    EXPECT_EQ(c.GetColor(), 0x80000005u);
    EXPECT_EQ(c.Title()->GetColor(), 0x8000000Fu);
    EXPECT_EQ(c.DefaultFont(), c.GetFont());
    c.SetWidth(10);
    EXPECT_EQ(c.GetWidth(), 10);
}
