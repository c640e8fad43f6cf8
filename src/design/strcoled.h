#pragma once
// strcoled: the column editor of tvorgrid and the property editor that opens it.
//
// TmGridColEditor edits a grid's live columns: every change reaches the grid at once
// (and the grid repaints), so the developer sees it in the form while the dialog is
// open. A copy taken when the dialog is shown (SavedColumns) lets Cancel put every
// column back. Only the Cancel button (or Escape) restores; OK, Apply and the title
// bar's close box keep what was done.
//
// Layout (client area 415 x 395, fixed, centred on the screen; positions are
// left, top, width x height inside the parent):
//   GB "Co&lumns"                 8,4,137x349  ColumnList (one line per columnName),
//                                             movedownbutton, moveupbutton, NewButton,
//                                             DeleteButton
//   PageControl1                  152,8,257x345 pages ts1 "Column Properties",
//                                             ts2 "Title Properties",
//                                             TabSheet1 "List values"
//   OkButton, CancelButton, ApplyButton along the bottom edge
// The controls of the pages, by object name:
//   ts1        ColAlignment, ColVertalignment, Colwordwrap, ColColor, ColReadOnly,
//              ColWidth, ColHide, fieldtype, dispformat, Colfieldname (drop-down
//              lists, colour boxes and edit boxes), ColFont, RestoreDefaults
//   ts2        TitleAlignment, TitleCaption, TitleColor, TitleFont
//   TabSheet1  picklist (the memo), Panel1 with dropdown and btnstyle
//   ColorDialog1, FontDialog1: Qt's colour and font dialogs, reused for every column
// Every control carries the object name used below, so that tools and applications
// find it with findChild<...>("ColWidth").
//
// Call flow:
//   tmcolumnsproperty::Edit -> dialog.setEditColumns -> exec
//     first show  -> FormShow: list filled, SavedColumns copied, line 0 loaded
//     a line picked -> ColumnListClick: the controls show the column
//     a control changed by the developer -> its ...Change handler stores into the
//       selected column (the grid repaints through the column's change notice)
//     Cancel/Escape -> CancelButtonClick: columns restored from SavedColumns
//     any close   -> FormClose: SavedColumns freed
//
// The handlers react to the developer's own edits only (a drop-down list's choice, a
// typed text); showing a column in the controls stores nothing.

#include "host/graphics.h"
#include "host/vorgrdexport.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;

namespace vorgrd {

class TFont;
class tmcolumn;
class TvorgridColumns;

class VORGRD_EXPORT TmGridColEditor : public QDialog
{
    Q_OBJECT
public:
    explicit TmGridColEditor(QWidget *parent = nullptr);
    ~TmGridColEditor() override;

    // The collection edited (not owned); set before the dialog is shown. Should it be
    // destroyed while the dialog is open (with its grid), EditColumns turns null and
    // the dialog's buttons and controls change nothing from then on.
    TvorgridColumns *EditColumns() const;
    void setEditColumns(TvorgridColumns *columns);
    // The copy Cancel restores from, a copy that belongs to no grid: exists from the
    // first show until the dialog closes, else null.
    TvorgridColumns *SavedColumns() const;

    // The column of the selected line, or null when no valid line is selected.
    tmcolumn *selectedColumn() const;

    // The dialog's controls and the columns it edits, in a private header that is not
    // installed: the library's own code and tests reach the controls through it, a
    // program finds them by object name.
    struct Private;

public Q_SLOTS:
    // ---- opening and closing -------------------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormClose();
    void ColumnListClick();

    // ---- the list of columns ---------------------------------------------------------------
    void NewButtonClick();
    void DeleteButtonClick();
    void movedownbuttonClick();
    void moveupbuttonClick();
    void OkButtonClick();
    void CancelButtonClick();
    void ApplyButtonClick();

    // ---- storing into the selected column ---------------------------------------------------
    void RestoreDefaultsClick();
    void ColFontClick();
    void TitleFontClick();
    void ColColorDblClick();
    void TitleColorDblClick();
    void ColAlignmentChange();
    void ColVertAlignmentChange();
    void ColwordwrapChange();
    void ColColorChange();
    void ColReadOnlyChange();
    void ColWidthChange();
    void ColHideChange();
    void fieldtypeChange();
    void dispformatChange();
    void ColfieldnameChange();
    void TitleAlignmentChange();
    void TitleCaptionChange();
    void TitleColorChange();
    void dropdownChange();
    void btnstyleChange();
    void picklistChange();

public:
    // Appends a colour name to both colour boxes (FormCreate calls it per name).
    void addcolor(const QString &name);

    // Escape and the Cancel button: the columns are restored, then the dialog closes.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    // The memo fills the "List values" page above the panel docked at its bottom.
    void dockListValues();
    void connectHandlers();
    // Fills ColumnList with every column's name and selects `line` (clamped).
    void refillList(int line);
    // Replaces EditColumns by copies of source's columns `order` (source may be
    // EditColumns itself), inside one update bracket.
    void replaceColumns(const TvorgridColumns &source, const std::vector<int> &order);
    // Swaps the descriptions of two lines and selects `to`.
    void moveColumn(int from, int to);
    void repaintGrid() const;
    // The grid's ColCount := the number of columns.
    void fitColCount() const;
    // After a rebuild (which the collection's update bracket keeps from the grid):
    // every column's width into the grid, the title row rewritten, a repaint.
    void pushColumnsToGrid() const;
    // A typed colour text that names a colour goes into the column (or its title,
    // for TitleColor) at once; the box keeps the text as typed.
    void storeTypedColor(QComboBox *box, const QString &text);
    // The colour dialog opened at the colour of `box` (0 when unreadable); returns
    // the colour to store: the chosen one, or the opening one when cancelled.
    TColor pickColor(const QComboBox *box);
    // The font dialog opened with `font`; `font` then takes the chosen font, or the
    // one it opened with when cancelled.
    QFont pickFont(const QFont &font);

    std::unique_ptr<Private> d;
};

// The designer-side editor of a tvorgrid's columns property: a button in the form
// designer's property list opens the column editor on the grid's columns.
class VORGRD_EXPORT tmcolumnsproperty
{
public:
    // `modified` tells the form designer that the form changed (it may be empty).
    explicit tmcolumnsproperty(TvorgridColumns *columns, std::function<void()> modified = {});
    ~tmcolumnsproperty();

    // The attribute set of the property: bit 2 (edited in a dialog, so the designer
    // shows a button) and bit 4 of the designer's attribute enumeration.
    int GetAttributes() const { return 20; }
    // Shows the column editor modally on the columns, then reports the form as
    // modified whatever closed the dialog. The dialog is freed also when it fails.
    void Edit(QWidget *parent = nullptr);

private:
    // The columns and the designer's notice (strcoled.cpp).
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
