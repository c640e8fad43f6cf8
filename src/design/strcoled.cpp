// The column editor's behaviour: loading the controls from the selected column,
// storing each change back, changing the list of columns, and closing.
// (The controls themselves are built in strcoledlayout.cpp.)
#include "design/strcoled_p.h"

#include "grid/columns.h"
#include "grid/vorGrid.h"
#include "host/colornames.h"
#include "host/eventguard.h"
#include "host/textconvert.h"
#include "host/updatebracket.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <type_traits>

namespace vorgrd {

namespace {

// A handler runs from Qt's event dispatch, which must not see an exception: a
// failure is shown to the developer and the dialog carries on.
template <class Handler>
auto guarded(TmGridColEditor *dialog, Handler handler)
{
    return [dialog, handler]() {
        try {
            if constexpr (std::is_member_function_pointer_v<Handler>)
                (dialog->*handler)();
            else
                handler();
        } catch (const std::exception &e) {
            // Not the grid's event guard: in a dialog the developer is looking at,
            // the message belongs in a message box, not on the console.
            QMessageBox::warning(dialog, dialog->windowTitle(), QString::fromUtf8(e.what()));
        } catch (...) {
            reportEventFailure("TmGridColEditor", std::current_exception());
        }
    };
}

// The memo's lines; a final line break does not make an extra empty line.
QStringList memoLines(const QPlainTextEdit *memo)
{
    QString text = memo->toPlainText();
    if (text.isEmpty()) return {};
    if (text.endsWith(u'\n')) text.chop(1);
    return text.split(u'\n');
}

void showNumber(QLineEdit *box, int value)
{
    const QString text = QString::number(value);
    // Rewriting an equal text would move the cursor while the developer types.
    if (box->text() != text) box->setText(text);
}

} // namespace

TmGridColEditor::TmGridColEditor(QWidget *parent) : QDialog(parent), d(std::make_unique<Private>())
{
    buildLayout();
    connectHandlers();
    FormCreate();
}

TmGridColEditor::~TmGridColEditor()
{
    // The controls go with the dialog's base, after the private part that points to
    // them: nothing they signal while they go may reach a handler.
    const QList<QObject *> parts = findChildren<QObject *>();
    for (QObject *part : parts)
        disconnect(part, nullptr, this, nullptr);
}

TvorgridColumns *TmGridColEditor::SavedColumns() const
{
    return d->m_savedColumns.get();
}

TvorgridColumns *TmGridColEditor::EditColumns() const
{
    return d->m_editColumns;
}

void TmGridColEditor::setEditColumns(TvorgridColumns *columns)
{
    d->m_editColumns = columns;
}

void TmGridColEditor::connectHandlers()
{
    using Dialog = TmGridColEditor;
    auto onClick = [this](QAbstractButton *button, void (Dialog::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, guarded(this, handler));
    };
    onClick(d->NewButton, &Dialog::NewButtonClick);
    onClick(d->DeleteButton, &Dialog::DeleteButtonClick);
    onClick(d->movedownbutton, &Dialog::movedownbuttonClick);
    onClick(d->moveupbutton, &Dialog::moveupbuttonClick);
    onClick(d->OkButton, &Dialog::OkButtonClick);
    onClick(d->CancelButton, &Dialog::CancelButtonClick);
    onClick(d->ApplyButton, &Dialog::ApplyButtonClick);
    onClick(d->RestoreDefaults, &Dialog::RestoreDefaultsClick);
    onClick(d->ColFont, &Dialog::ColFontClick);
    onClick(d->TitleFont, &Dialog::TitleFontClick);

    // A drop-down list stores what the developer picks (activated), not what loading
    // the controls selects.
    auto onPick = [this](QComboBox *box, void (Dialog::*handler)()) {
        connect(box, &QComboBox::activated, this, guarded(this, handler));
    };
    onPick(d->ColAlignment, &Dialog::ColAlignmentChange);
    onPick(d->ColVertalignment, &Dialog::ColVertAlignmentChange);
    onPick(d->Colwordwrap, &Dialog::ColwordwrapChange);
    onPick(d->ColReadOnly, &Dialog::ColReadOnlyChange);
    onPick(d->ColHide, &Dialog::ColHideChange);
    onPick(d->fieldtype, &Dialog::fieldtypeChange);
    onPick(d->TitleAlignment, &Dialog::TitleAlignmentChange);
    onPick(d->btnstyle, &Dialog::btnstyleChange);
    onPick(d->ColColor, &Dialog::ColColorChange);
    onPick(d->TitleColor, &Dialog::TitleColorChange);

    auto onType = [this](QLineEdit *box, void (Dialog::*handler)()) {
        connect(box, &QLineEdit::textEdited, this, guarded(this, handler));
    };
    onType(d->ColWidth, &Dialog::ColWidthChange);
    onType(d->dropdown, &Dialog::dropdownChange);
    onType(d->dispformat, &Dialog::dispformatChange);
    onType(d->Colfieldname, &Dialog::ColfieldnameChange);
    onType(d->TitleCaption, &Dialog::TitleCaptionChange);
    // A colour box stores a typed text as soon as it names a colour ("clRed", "255")
    // and leaves the text as typed, so that a name or a number can be typed to its
    // end. When the developer leaves the box (or presses Enter), the full rule runs:
    // an unreadable text falls back to the current colour, and the box shows the
    // stored colour's name.
    auto onColorText = [this](QComboBox *box, void (Dialog::*handler)()) {
        QLineEdit *edit = box->lineEdit();
        connect(edit, &QLineEdit::textEdited, this, [this, box](const QString &text) {
            guarded(this, [this, box, text]() { storeTypedColor(box, text); })();
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, handler]() {
            if (edit->isModified()) guarded(this, handler)();
        });
    };
    onColorText(d->ColColor, &Dialog::ColColorChange);
    onColorText(d->TitleColor, &Dialog::TitleColorChange);

    connect(d->ColumnList, &QListWidget::currentRowChanged, this, guarded(this, &Dialog::ColumnListClick));
    d->ColumnList->installEventFilter(this);
    d->picklist->installEventFilter(this);
    d->ColColor->lineEdit()->installEventFilter(this);
    d->TitleColor->lineEdit()->installEventFilter(this);
}

bool TmGridColEditor::eventFilter(QObject *watched, QEvent *event)
{
    const auto run = [this](void (TmGridColEditor::*handler)()) { guarded(this, handler)(); };
    if (watched == d->TabSheet1 && event->type() == QEvent::Resize)
        dockListValues();
    else if (watched == d->ColumnList && event->type() == QEvent::FocusIn)
        run(&TmGridColEditor::ColumnListClick);
    else if (watched == d->picklist && event->type() == QEvent::FocusOut)
        run(&TmGridColEditor::picklistChange);
    else if (event->type() == QEvent::MouseButtonDblClick && watched == d->ColColor->lineEdit())
        run(&TmGridColEditor::ColColorDblClick);
    else if (event->type() == QEvent::MouseButtonDblClick && watched == d->TitleColor->lineEdit())
        run(&TmGridColEditor::TitleColorDblClick);
    return QDialog::eventFilter(watched, event);
}

// ---- opening and closing ---------------------------------------------------------------

void TmGridColEditor::FormCreate()
{
    GetColorValues([this](const QString &name) { addcolor(name); });
}

void TmGridColEditor::addcolor(const QString &name)
{
    d->ColColor->addItem(name);
    d->TitleColor->addItem(name);
}

void TmGridColEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window manager's restore is spontaneous; only our own show opens the dialog.
    if (!event->spontaneous()) FormShow();
}

void TmGridColEditor::FormShow()
{
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    d->m_savedColumns.reset();
    if (d->m_editColumns) {
        // Of no grid: the copy must neither write into the grid nor outlive it with a
        // pointer to it.
        d->m_savedColumns = std::make_unique<TvorgridColumns>(nullptr);
        for (int i = 0; i < d->m_editColumns->Count(); ++i)
            d->m_savedColumns->Add()->Assign(d->m_editColumns->GeTmColumn(i));
    }
    refillList(0);
    d->ColumnList->setFocus();
    ColumnListClick();
}

void TmGridColEditor::done(int result)
{
    // Pressing OK while the memo has the focus must not lose the list it holds: the
    // memo stores on leaving, and closing is a way of leaving it.
    if (result == Accepted && d->picklist->hasFocus()) picklistChange();
    d->m_finishing = true;
    FormClose();
    QDialog::done(result);
    d->m_finishing = false;
}

void TmGridColEditor::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The title bar's close box keeps every change, like OK; only Cancel and Escape
    // (reject) restore. QDialog would reject here, so the close box is taken over.
    if (!d->m_finishing && isVisible()) {
        if (d->picklist->hasFocus()) picklistChange();
        done(Rejected);
    }
}

void TmGridColEditor::reject()
{
    CancelButtonClick();
}

void TmGridColEditor::FormClose()
{
    d->m_savedColumns.reset();
}

tmcolumn *TmGridColEditor::selectedColumn() const
{
    const int line = d->ColumnList->currentRow();
    if (!d->m_editColumns || line < 0 || line >= d->m_editColumns->Count()) return nullptr;
    return d->m_editColumns->GeTmColumn(line);
}

void TmGridColEditor::ColumnListClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    d->ColAlignment->setCurrentIndex(int(column->GetAlignment()));
    d->ColVertalignment->setCurrentIndex(int(column->GetVertAlignment()));
    d->fieldtype->setCurrentIndex(int(column->gettype()));
    d->btnstyle->setCurrentIndex(int(column->ButtonStyle()));
    d->ColReadOnly->setCurrentIndex(column->GetReadOnly() ? 1 : 0);
    d->Colwordwrap->setCurrentIndex(column->GetWordwrap() ? 1 : 0);
    d->ColHide->setCurrentIndex(column->GetHide() ? 1 : 0);
    d->TitleAlignment->setCurrentIndex(int(column->Title()->GetAlignment()));
    d->ColColor->setEditText(ColorToString(column->GetColor()));
    d->TitleColor->setEditText(ColorToString(column->Title()->GetColor()));
    if (d->Colfieldname->text() != column->columnName()) d->Colfieldname->setText(column->columnName());
    showNumber(d->ColWidth, column->GetWidth());
    showNumber(d->dropdown, column->DropDownRows());
    d->TitleCaption->setText(column->Title()->GetCaption());
    d->dispformat->setText(column->Displayformat());
    d->picklist->clear();
    const TStringList *pickList = column->GetPickList();
    for (int i = 0; i < pickList->Count(); ++i)
        d->picklist->appendPlainText(pickList->Strings(i));
}

// ---- the list of columns ---------------------------------------------------------------------

void TmGridColEditor::refillList(int line)
{
    const QSignalBlocker quiet(d->ColumnList);
    d->ColumnList->clear();
    const int count = d->m_editColumns ? d->m_editColumns->Count() : 0;
    for (int i = 0; i < count; ++i)
        d->ColumnList->addItem(d->m_editColumns->GeTmColumn(i)->columnName());
    if (count > 0) d->ColumnList->setCurrentRow(std::clamp(line, 0, count - 1));
}

void TmGridColEditor::repaintGrid() const
{
    if (d->m_editColumns && d->m_editColumns->Grid()) d->m_editColumns->Grid()->Repaint();
}

void TmGridColEditor::fitColCount() const
{
    tvorgrid *grid = d->m_editColumns ? d->m_editColumns->Grid() : nullptr;
    if (!grid) return;
    grid->setColCount(d->m_editColumns->Count());
    // The base keeps at least FixedCols + 1 columns; when it refused to go below them,
    // the count did not change and nothing gave the kept columns descriptions.
    while (d->m_editColumns->Count() < grid->ColCount())
        d->m_editColumns->Add();
}

void TmGridColEditor::pushColumnsToGrid() const
{
    tvorgrid *grid = d->m_editColumns ? d->m_editColumns->Grid() : nullptr;
    if (!grid) return;
    const int count = std::min(d->m_editColumns->Count(), grid->ColCount());
    for (int i = 0; i < count; ++i) {
        tmcolumn *column = d->m_editColumns->GeTmColumn(i);
        grid->setColWidths(i, column->GetHide() ? 0 : column->GetWidth());
    }
    if (grid->showtitles()) grid->setshowtitles(true);
    grid->Repaint();
}

void TmGridColEditor::replaceColumns(const TvorgridColumns &source, const std::vector<int> &order)
{
    // Copies first, so that `source` may be the edited collection itself.
    TvorgridColumns copies(d->m_editColumns->Grid());
    for (int index : order)
        copies.Add()->Assign(source.GeTmColumn(index));
    UpdateBracket bracket(*d->m_editColumns);
    d->m_editColumns->Clear();
    for (int i = 0; i < copies.Count(); ++i)
        d->m_editColumns->Add()->Assign(copies.GeTmColumn(i));
}

void TmGridColEditor::NewButtonClick()
{
    if (!d->m_editColumns) return;
    d->m_editColumns->Add();
    fitColCount();
    repaintGrid();
    refillList(d->m_editColumns->Count() - 1);
    d->ColumnList->setFocus();
    ColumnListClick();
}

void TmGridColEditor::DeleteButtonClick()
{
    const int line = d->ColumnList->currentRow();
    if (!d->m_editColumns || line < 0 || line >= d->m_editColumns->Count()) return;
    std::vector<int> order;
    for (int i = 0; i < d->m_editColumns->Count(); ++i)
        if (i != line) order.push_back(i);
    replaceColumns(*d->m_editColumns, order);
    // The base keeps at least one column beyond the fixed ones, and the grid gives
    // such a column a fresh description: the list shows what the grid now holds.
    fitColCount();
    pushColumnsToGrid();
    refillList(line);
    ColumnListClick();
}

void TmGridColEditor::moveColumn(int from, int to)
{
    std::vector<int> order;
    for (int i = 0; i < d->m_editColumns->Count(); ++i)
        order.push_back(i);
    std::swap(order[std::size_t(from)], order[std::size_t(to)]);
    replaceColumns(*d->m_editColumns, order);
    pushColumnsToGrid();
    refillList(to);
    d->ColumnList->setFocus();
    ColumnListClick();
}

void TmGridColEditor::movedownbuttonClick()
{
    const int line = d->ColumnList->currentRow();
    if (!d->m_editColumns || line < 0 || line >= d->m_editColumns->Count() - 1) return;
    moveColumn(line, line + 1);
}

void TmGridColEditor::moveupbuttonClick()
{
    const int line = d->ColumnList->currentRow();
    if (!d->m_editColumns || line <= 0 || line >= d->m_editColumns->Count()) return;
    moveColumn(line, line - 1);
}

void TmGridColEditor::ApplyButtonClick()
{
    repaintGrid();
}

void TmGridColEditor::OkButtonClick()
{
    repaintGrid();
    accept();
}

void TmGridColEditor::CancelButtonClick()
{
    if (d->m_editColumns && d->m_savedColumns) {
        std::vector<int> every(std::size_t(d->m_savedColumns->Count()));
        for (std::size_t i = 0; i < every.size(); ++i)
            every[i] = int(i);
        replaceColumns(*d->m_savedColumns, every);
        fitColCount();
        pushColumnsToGrid();
    }
    done(Rejected);
}

// ---- storing into the selected column ----------------------------------------------------------

void TmGridColEditor::ColAlignmentChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetAlignment(TAlignment(d->ColAlignment->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::ColVertAlignmentChange()
{
    if (tmcolumn *column = selectedColumn())
        column->SetVertAlignment(TVertAlignment(d->ColVertalignment->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::ColwordwrapChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetWordwrap(d->Colwordwrap->currentIndex() == 1);
    repaintGrid();
}

void TmGridColEditor::ColReadOnlyChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetReadOnly(d->ColReadOnly->currentIndex() == 1);
    repaintGrid();
}

void TmGridColEditor::ColHideChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetHide(d->ColHide->currentIndex() == 1);
    repaintGrid();
}

void TmGridColEditor::fieldtypeChange()
{
    if (tmcolumn *column = selectedColumn()) column->settype(tvorcolumntype(d->fieldtype->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::btnstyleChange()
{
    if (tmcolumn *column = selectedColumn())
        column->SetButtonStyle(TmColumnButtonStyle(d->btnstyle->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::TitleAlignmentChange()
{
    if (tmcolumn *column = selectedColumn())
        column->Title()->SetAlignment(TAlignment(d->TitleAlignment->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::ColWidthChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->SetWidth(StrToIntDef(d->ColWidth->text(), column->GetWidth()));
    showNumber(d->ColWidth, column->GetWidth());
    repaintGrid();
}

void TmGridColEditor::dropdownChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->setDropDownRows(StrToIntDef(d->dropdown->text(), column->DropDownRows()));
    showNumber(d->dropdown, column->DropDownRows());
    repaintGrid();
}

void TmGridColEditor::dispformatChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetDisplayformat(d->dispformat->text());
    repaintGrid();
}

void TmGridColEditor::TitleCaptionChange()
{
    if (tmcolumn *column = selectedColumn()) column->Title()->SetCaption(d->TitleCaption->text());
    repaintGrid();
}

void TmGridColEditor::ColfieldnameChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->SetcolumnName(d->Colfieldname->text());
    QListWidgetItem *line = d->ColumnList->item(d->ColumnList->currentRow());
    if (line->text() != d->Colfieldname->text()) line->setText(d->Colfieldname->text());
}

void TmGridColEditor::ColColorChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    TColor color = column->GetColor();
    StringToColor(d->ColColor->currentText(), color);
    column->SetColor(color);
    d->ColColor->setEditText(ColorToString(column->GetColor()));
    repaintGrid();
}

void TmGridColEditor::storeTypedColor(QComboBox *box, const QString &text)
{
    tmcolumn *column = selectedColumn();
    TColor color = 0;
    if (!column || !StringToColor(text, color)) return;
    if (box == d->ColColor)
        column->SetColor(color);
    else
        column->Title()->SetColor(color);
    repaintGrid();
}

void TmGridColEditor::TitleColorChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    TColor color = column->Title()->GetColor();
    StringToColor(d->TitleColor->currentText(), color);
    column->Title()->SetColor(color);
    d->TitleColor->setEditText(ColorToString(column->Title()->GetColor()));
    repaintGrid();
}

TColor TmGridColEditor::pickColor(const QComboBox *box)
{
    TColor start = 0;
    StringToColor(box->currentText(), start);
    d->ColorDialog1->setCurrentColor(ColorToQColor(start));
    // Like the dialog's colour property, which only OK changes: a cancelled dialog
    // still hands back the colour it opened with, and that is stored.
    if (d->ColorDialog1->exec() == QDialog::Accepted) return QColorToColor(d->ColorDialog1->selectedColor());
    return start;
}

void TmGridColEditor::ColColorDblClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->SetColor(pickColor(d->ColColor));
    d->ColColor->setEditText(ColorToString(column->GetColor()));
}

void TmGridColEditor::TitleColorDblClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    const TColor color = pickColor(d->TitleColor);
    d->TitleColor->setEditText(ColorToString(color));
    column->Title()->SetColor(color);
}

QFont TmGridColEditor::pickFont(const QFont &font)
{
    d->FontDialog1->setCurrentFont(font);
    if (d->FontDialog1->exec() == QDialog::Accepted) return d->FontDialog1->selectedFont();
    return font;
}

void TmGridColEditor::ColFontClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    TFont chosen;
    chosen.Assign(column->GetFont());
    chosen.setQFont(pickFont(column->GetFont()->qfont()));
    column->SetFont(&chosen);
    repaintGrid();
}

void TmGridColEditor::TitleFontClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    TFont chosen;
    chosen.Assign(column->Title()->GetFont());
    chosen.setQFont(pickFont(column->Title()->GetFont()->qfont()));
    column->Title()->SetFont(&chosen);
}

void TmGridColEditor::RestoreDefaultsClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->RestoreDefaults();
    ColumnListClick();
    repaintGrid();
}

void TmGridColEditor::picklistChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    TStringList *pickList = column->GetPickList();
    pickList->Clear();
    for (const QString &line : memoLines(d->picklist))
        pickList->Add(line);
}

// ---- the property editor ------------------------------------------------------------------------

struct VORGRD_AUTOTEST_EXPORT tmcolumnsproperty::Private
{
    TvorgridColumns *columns;
    std::function<void()> modified;
};

tmcolumnsproperty::tmcolumnsproperty(TvorgridColumns *columns, std::function<void()> modified)
    : d(std::make_unique<Private>(Private{columns, std::move(modified)}))
{
}

tmcolumnsproperty::~tmcolumnsproperty() = default;

void tmcolumnsproperty::Edit(QWidget *parent)
{
    const auto dialog = std::make_unique<TmGridColEditor>(parent);
    dialog->setEditColumns(d->columns);
    dialog->exec();
    // Whatever closed the dialog, the columns may have changed while it was open.
    if (d->modified) d->modified();
}

} // namespace vorgrd
