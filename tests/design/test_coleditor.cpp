// The column editor driven as a developer drives it: clicks, typed keys, the close
// box, Escape, and Qt's colour and font dialogs closed either way.
#include "design/strcoled_p.h"
#include "grid/vorGrid.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

struct Editor : ::testing::Test
{
    tvorgrid grid;
    TmGridColEditor dialog;
    // The dialog's controls.
    TmGridColEditor::Private &ui = TmGridColEditor::Private::of(dialog);

    void SetUp() override
    {
        grid.setColCount(4);
        for (int i = 0; i < 4; ++i)
            grid.setCells(i, 1, QStringLiteral("cell %1").arg(i));
        dialog.setEditColumns(grid.columns());
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    void TearDown() override { grid.checkConsistency(); }

    tmcolumn *column(int i) { return grid.columns()->GeTmColumn(i); }
    QStringList listLines() const
    {
        QStringList lines;
        for (int i = 0; i < ui.ColumnList->count(); ++i)
            lines << ui.ColumnList->item(i)->text();
        return lines;
    }
    QStringList columnNames()
    {
        QStringList names;
        for (int i = 0; i < grid.columns()->Count(); ++i)
            names << column(i)->columnName();
        return names;
    }
    void selectLine(int line)
    {
        QListWidgetItem *item = ui.ColumnList->item(line);
        QTest::mouseClick(ui.ColumnList->viewport(), Qt::LeftButton, {},
                          ui.ColumnList->visualItemRect(item).center());
        ASSERT_EQ(ui.ColumnList->currentRow(), line);
    }
    void typeInto(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void pick(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
};

} // namespace

// ---- the form ------------------------------------------------------------------------------

TEST_F(Editor, FormMatchesTheDesignedLayout)
{
    EXPECT_EQ(dialog.objectName(), "mGridColEditor");
    EXPECT_EQ(dialog.windowTitle(), "DBGrid Columns Editor");
    EXPECT_EQ(dialog.size(), QSize(415, 395));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(QFontInfo(dialog.font()).pixelSize(), 11);

    struct Expected
    {
        const char *name;
        const char *parent;
        QRect geometry;
        const char *caption;
    };
    const Expected controls[] = {
        {"GB", "mGridColEditor", {8, 4, 137, 349}, "Co&lumns"},
        {"ColumnList", "GB", {8, 16, 121, 257}, nullptr},
        {"movedownbutton", "GB", {8, 282, 57, 25}, nullptr},
        {"moveupbutton", "GB", {72, 282, 57, 25}, nullptr},
        {"NewButton", "GB", {8, 318, 57, 25}, "&New"},
        {"DeleteButton", "GB", {72, 318, 57, 25}, "&Delete"},
        {"PageControl1", "mGridColEditor", {152, 8, 257, 345}, nullptr},
        {"OkButton", "mGridColEditor", {174, 366, 75, 25}, "OK"},
        {"CancelButton", "mGridColEditor", {254, 366, 75, 25}, "Cancel"},
        {"ApplyButton", "mGridColEditor", {334, 366, 75, 25}, "Apply"},
        {"ColFont", "ts1", {4, 290, 61, 25}, "F&ont..."},
        {"RestoreDefaults", "ts1", {144, 290, 99, 25}, "Re&store Defaults"},
        {"TitleFont", "ts2", {103, 96, 74, 25}, "F&ont..."},
    };
    for (const Expected &c : controls) {
        SCOPED_TRACE(c.name);
        auto *widget = dialog.findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), c.parent);
        EXPECT_EQ(widget->geometry(), c.geometry);
        if (auto *button = qobject_cast<QAbstractButton *>(widget); button && c.caption) {
            EXPECT_EQ(button->text(), c.caption);
        }
        if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            EXPECT_EQ(box->title(), c.caption);
        }
    }
    // "&" marks are mnemonics.
    EXPECT_EQ(ui.NewButton->shortcut(), QKeySequence(Qt::ALT | Qt::Key_N));
    EXPECT_EQ(ui.RestoreDefaults->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
    EXPECT_TRUE(ui.OkButton->isDefault());

    ASSERT_EQ(ui.PageControl1->count(), 3);
    EXPECT_EQ(ui.PageControl1->currentIndex(), 0);
    EXPECT_EQ(ui.PageControl1->tabText(0), "Column Properties");
    EXPECT_EQ(ui.PageControl1->tabText(1), "Title Properties");
    EXPECT_EQ(ui.PageControl1->tabText(2), "List values");
    EXPECT_EQ(ui.PageControl1->widget(0), ui.ts1);
    EXPECT_EQ(ui.PageControl1->widget(2), ui.TabSheet1);
}

TEST_F(Editor, PropertyControlsHaveTheirLabelsAndItems)
{
    struct Row
    {
        const char *label;
        QWidget *control;
        QStringList items;
    };
    const QStringList boolean{"False", "True"};
    const QStringList alignments{"taLeftJustify", "taRightJustify", "taCenter"};
    const Row rows[] = {
        {"Alignment:", ui.ColAlignment, alignments},
        {"Vertical alignment:", ui.ColVertalignment, {"vaTopJustify", "vaCenter", "vaBottom"}},
        {"Wordwrap:", ui.Colwordwrap, boolean},
        {"Color:", ui.ColColor, {}},
        {"ReadOnly:", ui.ColReadOnly, boolean},
        {"Width:", ui.ColWidth, {}},
        {"Hide:", ui.ColHide, boolean},
        {"Column type:", ui.fieldtype, {"ftstring", "ftnumeric", "ftdatetime", "ftcheckbox", "ftformula"}},
        {"Display format:", ui.dispformat, {}},
        {"Column name:", ui.Colfieldname, {}},
        {"Alignment:", ui.TitleAlignment, alignments},
        {"Caption:", ui.TitleCaption, {}},
        {"Color:", ui.TitleColor, {}},
        {"Dropdown rows:", ui.dropdown, {}},
        {"Button style:", ui.btnstyle, {"cbsAuto", "cbsEllipsis", "cbsnone"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.control->objectName().toStdString());
        auto *label = row.control->parentWidget()->findChild<QLabel *>(row.control->objectName() + "Label");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), row.label);
        if (auto *box = qobject_cast<QComboBox *>(row.control); box && !box->isEditable()) {
            QStringList items;
            for (int i = 0; i < box->count(); ++i)
                items << box->itemText(i);
            EXPECT_EQ(items, row.items);
        }
    }
}

TEST_F(Editor, EveryCaptionFitsItsControlInTheDialogFont)
{
    // The layout is in fixed pixels: a face wider than the one it was drawn for
    // must not cut captions off ("Vertical alignme"); a label may run under its
    // control by the width of its colon at most.
    int labels = 0;
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->window() != &dialog) continue; // the colour and font dialogs' own
        ++labels;
        SCOPED_TRACE(label->text().toStdString());
        ASSERT_NE(label->buddy(), nullptr);
        const int advance = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(advance, label->width());
        EXPECT_LE(label->x() + advance, label->buddy()->x() + label->fontMetrics().horizontalAdvance(u':'));
    }
    EXPECT_EQ(labels, 15);
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->window() != &dialog) continue;
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_LE(button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')) + 8,
                  button->width());
    }
    // All three page tabs are shown side by side, without scroll arrows.
    const QTabBar *tabs = ui.PageControl1->tabBar();
    EXPECT_LE(tabs->tabRect(2).right(), tabs->width());
}

// ---- opening and loading ----------------------------------------------------------------------

TEST_F(Editor, ShowingListsTheColumnsAndLoadsTheFirstWithoutAssigningAnything)
{
    EXPECT_EQ(listLines(), columnNames());
    EXPECT_EQ(ui.ColumnList->currentRow(), 0);
    ASSERT_NE(dialog.SavedColumns(), nullptr);
    EXPECT_EQ(dialog.SavedColumns()->Count(), 4);
    EXPECT_EQ(ui.ColWidth->text(), QString::number(grid.DefaultColWidth()));
    EXPECT_EQ(ui.Colwordwrap->currentText(), "True");
    EXPECT_EQ(ui.ColColor->currentText(), "clWindow");
    EXPECT_EQ(ui.TitleColor->currentText(), "clBtnFace");
    EXPECT_EQ(ui.TitleCaption->text(), "column 1");
    EXPECT_EQ(ui.dropdown->text(), "7");
    selectLine(2);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(column(i)->AssignedValues().isEmpty()) << i;
}

TEST_F(Editor, ChoicesAndTextsGoIntoTheSelectedColumn)
{
    column(2)->GetPickList()->Add("old");
    selectLine(2);
    EXPECT_EQ(ui.picklist->toPlainText(), "old");
    pick(ui.ColAlignment, 2);
    pick(ui.ColVertalignment, 2);
    pick(ui.fieldtype, 1);
    pick(ui.ColHide, 1);
    pick(ui.btnstyle, 2);
    pick(ui.TitleAlignment, 1);
    typeInto(ui.dispformat, "0.00");
    typeInto(ui.TitleCaption, "Price");
    typeInto(ui.dropdown, "12");
    pick(ui.ColColor, ui.ColColor->findText("clRed"));
    EXPECT_EQ(column(2)->GetAlignment(), taCenter);
    EXPECT_EQ(column(2)->GetVertAlignment(), vaBottomJustify);
    EXPECT_EQ(column(2)->gettype(), ftnumeric);
    EXPECT_TRUE(column(2)->GetHide());
    EXPECT_EQ(grid.ColWidths(2), 0);
    EXPECT_EQ(column(2)->ButtonStyle(), cbsNone);
    EXPECT_EQ(column(2)->Title()->GetAlignment(), taRightJustify);
    EXPECT_EQ(column(2)->Displayformat(), "0.00");
    EXPECT_EQ(column(2)->Title()->GetCaption(), "Price");
    EXPECT_EQ(column(2)->DropDownRows(), 12);
    EXPECT_EQ(column(2)->GetColor(), clRed);
    EXPECT_TRUE(column(1)->AssignedValues().isEmpty());

    // The memo stores its lines when the developer leaves it.
    ui.PageControl1->setCurrentIndex(2);
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ui.picklist->setFocus();
    ui.picklist->setPlainText("north\nsouth\n");
    ui.dropdown->setFocus();
    EXPECT_EQ(column(2)->GetPickList()->toStringList(), QStringList({"north", "south"}));
}

TEST_F(Editor, UnreadableNumbersPutThePreviousValueBack)
{
    selectLine(1);
    typeInto(ui.ColWidth, "120");
    EXPECT_EQ(column(1)->GetWidth(), 120);
    EXPECT_EQ(grid.ColWidths(1), 120);
    QTest::keyClicks(ui.ColWidth, "px");
    EXPECT_EQ(ui.ColWidth->text(), "120");
    EXPECT_EQ(column(1)->GetWidth(), 120);
    typeInto(ui.ColWidth, "w");
    EXPECT_EQ(ui.ColWidth->text(), "120");
    typeInto(ui.dropdown, "many");
    EXPECT_EQ(ui.dropdown->text(), "7");
    EXPECT_EQ(column(1)->DropDownRows(), 7);
}

TEST_F(Editor, ColourBoxesStoreWhatTheTypedTextNamesAndFallBackWhenLeft)
{
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QLineEdit *edit = ui.ColColor->lineEdit();
    edit->setFocus();
    typeInto(edit, "clRe");
    EXPECT_EQ(edit->text(), "clRe"); // still typing: nothing stored, nothing rewritten
    EXPECT_TRUE(column(0)->AssignedValues().isEmpty());
    QTest::keyClicks(edit, "d");
    EXPECT_EQ(column(0)->GetColor(), clRed);
    typeInto(edit, "0x00804020");
    EXPECT_EQ(column(0)->GetColor(), 0x00804020u);
    typeInto(edit, "255"); // stored at every readable step: 2, 25, 255
    EXPECT_EQ(column(0)->GetColor(), clRed);
    EXPECT_EQ(edit->text(), "255");
    ui.ColWidth->setFocus(); // leaving the box shows the stored colour's name
    EXPECT_EQ(edit->text(), "clRed");
    edit->setFocus();
    typeInto(edit, "nonsense");
    ui.ColWidth->setFocus();
    EXPECT_EQ(edit->text(), "clRed");
    EXPECT_EQ(column(0)->GetColor(), clRed);
    // Picking from the list stores at once; the title's box works the same way.
    pick(ui.TitleColor, ui.TitleColor->findText("clNavy"));
    EXPECT_EQ(column(0)->Title()->GetColor(), clNavy);
    EXPECT_EQ(ui.ColColor->count(), 32);
    EXPECT_EQ(ui.TitleColor->count(), 32);
}

// ---- the colour and font dialogs --------------------------------------------------------------

TEST_F(Editor, CancelledColourDialogStillStoresTheColourItOpenedWith)
{
    selectLine(1);
    ASSERT_EQ(ui.ColColor->currentText(), "clWindow");
    QTimer::singleShot(0, ui.ColorDialog1, [this] {
        ui.ColorDialog1->setCurrentColor(Qt::blue);
        ui.ColorDialog1->reject();
    });
    QTest::mouseDClick(ui.ColColor->lineEdit(), Qt::LeftButton);
    EXPECT_TRUE(column(1)->AssignedValues().contains(cvColor));
    EXPECT_EQ(column(1)->GetColor(), clWindow);
    grid.setColor(clYellow); // set explicitly: no longer follows the grid
    EXPECT_EQ(column(1)->GetColor(), clWindow);

    QTimer::singleShot(0, ui.ColorDialog1, [this] {
        ui.ColorDialog1->setCurrentColor(QColor(0, 0, 255));
        ui.ColorDialog1->accept();
    });
    QTest::mouseDClick(ui.ColColor->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(column(1)->GetColor(), clBlue);
    EXPECT_EQ(ui.ColColor->currentText(), "clBlue");

    ui.PageControl1->setCurrentIndex(1);
    QTimer::singleShot(0, ui.ColorDialog1, [this] { ui.ColorDialog1->reject(); });
    QTest::mouseDClick(ui.TitleColor->lineEdit(), Qt::LeftButton);
    EXPECT_TRUE(column(1)->AssignedValues().contains(cvTitleColor));
    EXPECT_EQ(column(1)->Title()->GetColor(), clBtnFace);
}

TEST_F(Editor, CancelledFontDialogStillStoresTheFontItOpenedWith)
{
    const QString face = column(0)->GetFont()->Name();
    QTimer::singleShot(0, ui.FontDialog1, [this] { ui.FontDialog1->reject(); });
    QTest::mouseClick(ui.ColFont, Qt::LeftButton);
    EXPECT_TRUE(column(0)->AssignedValues().contains(cvFont));
    EXPECT_EQ(column(0)->GetFont()->Name(), face);

    QTimer::singleShot(0, ui.FontDialog1, [this] {
        QFont big = ui.FontDialog1->currentFont();
        big.setPointSize(23);
        ui.FontDialog1->setCurrentFont(big);
        ui.FontDialog1->accept();
    });
    ui.PageControl1->setCurrentIndex(1);
    QTest::mouseClick(ui.TitleFont, Qt::LeftButton);
    EXPECT_EQ(column(0)->Title()->GetFont()->Size(), 23);
    EXPECT_TRUE(column(0)->AssignedValues().contains(cvTitleFont));
}

// ---- the list of columns ------------------------------------------------------------------------

TEST_F(Editor, TypingAColumnNameRenamesItsLineAsTheDeveloperTypes)
{
    selectLine(1);
    typeInto(ui.Colfieldname, "Pr");
    EXPECT_EQ(ui.ColumnList->item(1)->text(), "Pr");
    QTest::keyClicks(ui.Colfieldname, "ice");
    EXPECT_EQ(ui.ColumnList->item(1)->text(), "Price");
    EXPECT_EQ(column(1)->columnName(), "Price");
    EXPECT_EQ(ui.ColumnList->currentRow(), 1);
    // Other controls leave the list alone, the title caption included.
    typeInto(ui.TitleCaption, "Unit price");
    typeInto(ui.dispformat, "0.00");
    EXPECT_EQ(listLines(), QStringList({"column 1", "Price", "column 3", "column 4"}));
}

TEST_F(Editor, MovingTheEndsOutwardsDoesNothing)
{
    selectLine(3);
    QTest::mouseClick(ui.movedownbutton, Qt::LeftButton);
    selectLine(0);
    QTest::mouseClick(ui.moveupbutton, Qt::LeftButton);
    EXPECT_EQ(columnNames(), QStringList({"column 1", "column 2", "column 3", "column 4"}));
    EXPECT_EQ(ui.ColumnList->currentRow(), 0);
}

TEST_F(Editor, MovingSwapsDescriptionsAndWidthsButNotCells)
{
    selectLine(1);
    typeInto(ui.ColWidth, "150");
    QTest::mouseClick(ui.movedownbutton, Qt::LeftButton);
    EXPECT_EQ(columnNames(), QStringList({"column 1", "column 3", "column 2", "column 4"}));
    EXPECT_EQ(listLines(), columnNames());
    EXPECT_EQ(ui.ColumnList->currentRow(), 2);
    EXPECT_EQ(ui.ColWidth->text(), "150");
    EXPECT_EQ(grid.ColWidths(2), 150);
    EXPECT_EQ(grid.ColWidths(1), grid.DefaultColWidth());
    EXPECT_EQ(grid.Cells(1, 1), "cell 1");
    EXPECT_EQ(grid.Cells(2, 1), "cell 2");
    QTest::mouseClick(ui.moveupbutton, Qt::LeftButton);
    QTest::mouseClick(ui.moveupbutton, Qt::LeftButton);
    EXPECT_EQ(columnNames(), QStringList({"column 2", "column 1", "column 3", "column 4"}));
    EXPECT_EQ(ui.ColumnList->currentRow(), 0);
}

TEST_F(Editor, NewAndDeleteKeepListColumnsAndCountInStep)
{
    QTest::mouseClick(ui.NewButton, Qt::LeftButton);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(ui.ColumnList->currentRow(), 4);
    EXPECT_EQ(ui.Colfieldname->text(), "column 5");
    selectLine(1);
    QTest::mouseClick(ui.DeleteButton, Qt::LeftButton);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(columnNames(), QStringList({"column 1", "column 3", "column 4", "column 5"}));
    EXPECT_EQ(listLines(), columnNames());
    // The base keeps one column beyond the fixed ones; the list shows the one it keeps.
    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(ui.DeleteButton, Qt::LeftButton);
    EXPECT_EQ(grid.ColCount(), grid.FixedCols() + 1);
    EXPECT_EQ(listLines(), columnNames());
}

// ---- closing ----------------------------------------------------------------------------------------

TEST_F(Editor, CloseBoxKeepsEveryChangeLikeOk)
{
    selectLine(1);
    typeInto(ui.ColWidth, "99");
    QTest::mouseClick(ui.NewButton, Qt::LeftButton);
    dialog.close(); // what the title bar's close box does
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.SavedColumns(), nullptr);
    EXPECT_EQ(column(1)->GetWidth(), 99);
    EXPECT_EQ(grid.ColCount(), 5);
}

TEST_F(Editor, OnlyCancelAndEscapeRestoreTheColumns)
{
    const auto change = [this] {
        selectLine(2);
        typeInto(ui.ColWidth, "140");
        typeInto(ui.Colfieldname, "renamed");
        QTest::mouseClick(ui.movedownbutton, Qt::LeftButton);
        QTest::mouseClick(ui.NewButton, Qt::LeftButton);
        ASSERT_EQ(grid.ColCount(), 5);
    };
    const auto expectRestored = [this] {
        EXPECT_EQ(grid.ColCount(), 4);
        EXPECT_EQ(columnNames(), QStringList({"column 1", "column 2", "column 3", "column 4"}));
        EXPECT_EQ(column(2)->GetWidth(), grid.DefaultColWidth());
        EXPECT_FALSE(column(2)->IsWidthStored());
        EXPECT_EQ(grid.ColWidths(3), grid.DefaultColWidth());
        EXPECT_EQ(grid.Cells(2, 1), "cell 2");
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.SavedColumns(), nullptr);
    };
    change();
    QTest::mouseClick(ui.CancelButton, Qt::LeftButton);
    expectRestored();

    dialog.show(); // a new showing takes a new copy
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    change();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    expectRestored();

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    change();
    QTest::mouseClick(ui.ApplyButton, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(ui.OkButton, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(column(3)->columnName(), "renamed");
}

// ---- the property editor ------------------------------------------------------------------------------

TEST(ColumnsProperty, EditIsModalAndReportsTheFormModifiedHoweverItCloses)
{
    tvorgrid grid;
    int modified = 0;
    tmcolumnsproperty property(grid.columns(), [&] { ++modified; });
    EXPECT_EQ(property.GetAttributes(), 20);

    const std::function<void(TmGridColEditor *)> closers[] = {
        [](TmGridColEditor *d) { TmGridColEditor::Private::of(*d).OkButton->click(); },
        [](TmGridColEditor *d) { TmGridColEditor::Private::of(*d).CancelButton->click(); },
        [](TmGridColEditor *d) { d->close(); },
    };
    for (const auto &closeIt : closers) {
        bool wasModal = false;
        QTimer::singleShot(0, [&] {
            auto *open = qobject_cast<TmGridColEditor *>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            wasModal = open->isModal() && open->EditColumns() == grid.columns();
            closeIt(open);
        });
        property.Edit();
        EXPECT_TRUE(wasModal);
    }
    EXPECT_EQ(modified, 3);
    // Each dialog was freed when its Edit returned.
    for (QWidget *widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TmGridColEditor *>(widget), nullptr);
}

TEST(ColumnEditorOfAGridDestroyed, ItsButtonsAndControlsChangeNothingAndCancelStillCloses)
{
    auto *grid = new tvorgrid;
    grid->setColCount(3);
    TmGridColEditor dialog;
    auto &ui = TmGridColEditor::Private::of(dialog);
    dialog.setEditColumns(grid->columns());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_NE(dialog.SavedColumns(), nullptr);
    delete grid;
    EXPECT_EQ(dialog.EditColumns(), nullptr);
    EXPECT_EQ(dialog.selectedColumn(), nullptr);
    // Under the sanitizers a touch of the destroyed columns (or of the grid, through
    // the copy Cancel restores from) fails here.
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             ui.NewButton, ui.DeleteButton, ui.movedownbutton, ui.moveupbutton,
             ui.RestoreDefaults, ui.ApplyButton})
        button->click();
    ui.ColWidth->setFocus();
    QTest::keyClicks(ui.ColWidth, "99");
    QTest::keyClicks(ui.Colfieldname, "renamed");
    ui.ColAlignment->setCurrentIndex(2);
    emit ui.ColAlignment->activated(2);
    ui.CancelButton->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.SavedColumns(), nullptr);
}
