// The column editor's behaviour: loading the controls from the selected column,
// storing each change back, changing the list of columns, and closing.
// (The controls themselves are built in strcoledlayout.cpp.)
#include "design/strcoled.h"

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

TmGridColEditor::TmGridColEditor(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    connectHandlers();
    FormCreate();
}

TmGridColEditor::~TmGridColEditor() = default;

TvorgridColumns *TmGridColEditor::EditColumns() const
{
    return m_editColumns;
}

void TmGridColEditor::setEditColumns(TvorgridColumns *columns)
{
    m_editColumns = columns;
}

void TmGridColEditor::connectHandlers()
{
    using Dialog = TmGridColEditor;
    auto onClick = [this](QAbstractButton *button, void (Dialog::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, guarded(this, handler));
    };
    onClick(NewButton, &Dialog::NewButtonClick);
    onClick(DeleteButton, &Dialog::DeleteButtonClick);
    onClick(movedownbutton, &Dialog::movedownbuttonClick);
    onClick(moveupbutton, &Dialog::moveupbuttonClick);
    onClick(OkButton, &Dialog::OkButtonClick);
    onClick(CancelButton, &Dialog::CancelButtonClick);
    onClick(ApplyButton, &Dialog::ApplyButtonClick);
    onClick(RestoreDefaults, &Dialog::RestoreDefaultsClick);
    onClick(ColFont, &Dialog::ColFontClick);
    onClick(TitleFont, &Dialog::TitleFontClick);

    // A drop-down list stores what the developer picks (activated), not what loading
    // the controls selects.
    auto onPick = [this](QComboBox *box, void (Dialog::*handler)()) {
        connect(box, &QComboBox::activated, this, guarded(this, handler));
    };
    onPick(ColAlignment, &Dialog::ColAlignmentChange);
    onPick(ColVertalignment, &Dialog::ColVertAlignmentChange);
    onPick(Colwordwrap, &Dialog::ColwordwrapChange);
    onPick(ColReadOnly, &Dialog::ColReadOnlyChange);
    onPick(ColHide, &Dialog::ColHideChange);
    onPick(fieldtype, &Dialog::fieldtypeChange);
    onPick(TitleAlignment, &Dialog::TitleAlignmentChange);
    onPick(btnstyle, &Dialog::btnstyleChange);
    onPick(ColColor, &Dialog::ColColorChange);
    onPick(TitleColor, &Dialog::TitleColorChange);

    auto onType = [this](QLineEdit *box, void (Dialog::*handler)()) {
        connect(box, &QLineEdit::textEdited, this, guarded(this, handler));
    };
    onType(ColWidth, &Dialog::ColWidthChange);
    onType(dropdown, &Dialog::dropdownChange);
    onType(dispformat, &Dialog::dispformatChange);
    onType(Colfieldname, &Dialog::ColfieldnameChange);
    onType(TitleCaption, &Dialog::TitleCaptionChange);
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
    onColorText(ColColor, &Dialog::ColColorChange);
    onColorText(TitleColor, &Dialog::TitleColorChange);

    connect(ColumnList, &QListWidget::currentRowChanged, this, guarded(this, &Dialog::ColumnListClick));
    ColumnList->installEventFilter(this);
    picklist->installEventFilter(this);
    ColColor->lineEdit()->installEventFilter(this);
    TitleColor->lineEdit()->installEventFilter(this);
}

bool TmGridColEditor::eventFilter(QObject *watched, QEvent *event)
{
    const auto run = [this](void (TmGridColEditor::*handler)()) { guarded(this, handler)(); };
    if (watched == TabSheet1 && event->type() == QEvent::Resize)
        dockListValues();
    else if (watched == ColumnList && event->type() == QEvent::FocusIn)
        run(&TmGridColEditor::ColumnListClick);
    else if (watched == picklist && event->type() == QEvent::FocusOut)
        run(&TmGridColEditor::picklistChange);
    else if (event->type() == QEvent::MouseButtonDblClick && watched == ColColor->lineEdit())
        run(&TmGridColEditor::ColColorDblClick);
    else if (event->type() == QEvent::MouseButtonDblClick && watched == TitleColor->lineEdit())
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
    ColColor->addItem(name);
    TitleColor->addItem(name);
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
    m_savedColumns.reset();
    if (m_editColumns) {
        // Of no grid: the copy must neither write into the grid nor outlive it with a
        // pointer to it.
        m_savedColumns = std::make_unique<TvorgridColumns>(nullptr);
        for (int i = 0; i < m_editColumns->Count(); ++i)
            m_savedColumns->Add()->Assign(m_editColumns->GeTmColumn(i));
    }
    refillList(0);
    ColumnList->setFocus();
    ColumnListClick();
}

void TmGridColEditor::done(int result)
{
    // Pressing OK while the memo has the focus must not lose the list it holds: the
    // memo stores on leaving, and closing is a way of leaving it.
    if (result == Accepted && picklist->hasFocus()) picklistChange();
    m_finishing = true;
    FormClose();
    QDialog::done(result);
    m_finishing = false;
}

void TmGridColEditor::closeEvent(QCloseEvent *event)
{
    event->accept();
    // The title bar's close box keeps every change, like OK; only Cancel and Escape
    // (reject) restore. QDialog would reject here, so the close box is taken over.
    if (!m_finishing && isVisible()) {
        if (picklist->hasFocus()) picklistChange();
        done(Rejected);
    }
}

void TmGridColEditor::reject()
{
    CancelButtonClick();
}

void TmGridColEditor::FormClose()
{
    m_savedColumns.reset();
}

tmcolumn *TmGridColEditor::selectedColumn() const
{
    const int line = ColumnList->currentRow();
    if (!m_editColumns || line < 0 || line >= m_editColumns->Count()) return nullptr;
    return m_editColumns->GeTmColumn(line);
}

void TmGridColEditor::ColumnListClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    ColAlignment->setCurrentIndex(int(column->GetAlignment()));
    ColVertalignment->setCurrentIndex(int(column->GetVertAlignment()));
    fieldtype->setCurrentIndex(int(column->gettype()));
    btnstyle->setCurrentIndex(int(column->ButtonStyle()));
    ColReadOnly->setCurrentIndex(column->GetReadOnly() ? 1 : 0);
    Colwordwrap->setCurrentIndex(column->GetWordwrap() ? 1 : 0);
    ColHide->setCurrentIndex(column->GetHide() ? 1 : 0);
    TitleAlignment->setCurrentIndex(int(column->Title()->GetAlignment()));
    ColColor->setEditText(ColorToString(column->GetColor()));
    TitleColor->setEditText(ColorToString(column->Title()->GetColor()));
    if (Colfieldname->text() != column->columnName()) Colfieldname->setText(column->columnName());
    showNumber(ColWidth, column->GetWidth());
    showNumber(dropdown, column->DropDownRows());
    TitleCaption->setText(column->Title()->GetCaption());
    dispformat->setText(column->Displayformat());
    picklist->clear();
    const TStringList *pickList = column->GetPickList();
    for (int i = 0; i < pickList->Count(); ++i)
        picklist->appendPlainText(pickList->Strings(i));
}

// ---- the list of columns ---------------------------------------------------------------------

void TmGridColEditor::refillList(int line)
{
    const QSignalBlocker quiet(ColumnList);
    ColumnList->clear();
    const int count = m_editColumns ? m_editColumns->Count() : 0;
    for (int i = 0; i < count; ++i)
        ColumnList->addItem(m_editColumns->GeTmColumn(i)->columnName());
    if (count > 0) ColumnList->setCurrentRow(std::clamp(line, 0, count - 1));
}

void TmGridColEditor::repaintGrid() const
{
    if (m_editColumns && m_editColumns->Grid()) m_editColumns->Grid()->Repaint();
}

void TmGridColEditor::fitColCount() const
{
    tvorgrid *grid = m_editColumns ? m_editColumns->Grid() : nullptr;
    if (!grid) return;
    grid->setColCount(m_editColumns->Count());
    // The base keeps at least FixedCols + 1 columns; when it refused to go below them,
    // the count did not change and nothing gave the kept columns descriptions.
    while (m_editColumns->Count() < grid->ColCount())
        m_editColumns->Add();
}

void TmGridColEditor::pushColumnsToGrid() const
{
    tvorgrid *grid = m_editColumns ? m_editColumns->Grid() : nullptr;
    if (!grid) return;
    const int count = std::min(m_editColumns->Count(), grid->ColCount());
    for (int i = 0; i < count; ++i) {
        tmcolumn *column = m_editColumns->GeTmColumn(i);
        grid->setColWidths(i, column->GetHide() ? 0 : column->GetWidth());
    }
    if (grid->showtitles()) grid->setshowtitles(true);
    grid->Repaint();
}

void TmGridColEditor::replaceColumns(const TvorgridColumns &source, const std::vector<int> &order)
{
    // Copies first, so that `source` may be the edited collection itself.
    TvorgridColumns copies(m_editColumns->Grid());
    for (int index : order)
        copies.Add()->Assign(source.GeTmColumn(index));
    UpdateBracket bracket(*m_editColumns);
    m_editColumns->Clear();
    for (int i = 0; i < copies.Count(); ++i)
        m_editColumns->Add()->Assign(copies.GeTmColumn(i));
}

void TmGridColEditor::NewButtonClick()
{
    if (!m_editColumns) return;
    m_editColumns->Add();
    fitColCount();
    repaintGrid();
    refillList(m_editColumns->Count() - 1);
    ColumnList->setFocus();
    ColumnListClick();
}

void TmGridColEditor::DeleteButtonClick()
{
    const int line = ColumnList->currentRow();
    if (!m_editColumns || line < 0 || line >= m_editColumns->Count()) return;
    std::vector<int> order;
    for (int i = 0; i < m_editColumns->Count(); ++i)
        if (i != line) order.push_back(i);
    replaceColumns(*m_editColumns, order);
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
    for (int i = 0; i < m_editColumns->Count(); ++i)
        order.push_back(i);
    std::swap(order[std::size_t(from)], order[std::size_t(to)]);
    replaceColumns(*m_editColumns, order);
    pushColumnsToGrid();
    refillList(to);
    ColumnList->setFocus();
    ColumnListClick();
}

void TmGridColEditor::movedownbuttonClick()
{
    const int line = ColumnList->currentRow();
    if (!m_editColumns || line < 0 || line >= m_editColumns->Count() - 1) return;
    moveColumn(line, line + 1);
}

void TmGridColEditor::moveupbuttonClick()
{
    const int line = ColumnList->currentRow();
    if (!m_editColumns || line <= 0 || line >= m_editColumns->Count()) return;
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
    if (m_editColumns && m_savedColumns) {
        std::vector<int> every(std::size_t(m_savedColumns->Count()));
        for (std::size_t i = 0; i < every.size(); ++i)
            every[i] = int(i);
        replaceColumns(*m_savedColumns, every);
        fitColCount();
        pushColumnsToGrid();
    }
    done(Rejected);
}

// ---- storing into the selected column ----------------------------------------------------------

void TmGridColEditor::ColAlignmentChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetAlignment(TAlignment(ColAlignment->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::ColVertAlignmentChange()
{
    if (tmcolumn *column = selectedColumn())
        column->SetVertAlignment(TVertAlignment(ColVertalignment->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::ColwordwrapChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetWordwrap(Colwordwrap->currentIndex() == 1);
    repaintGrid();
}

void TmGridColEditor::ColReadOnlyChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetReadOnly(ColReadOnly->currentIndex() == 1);
    repaintGrid();
}

void TmGridColEditor::ColHideChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetHide(ColHide->currentIndex() == 1);
    repaintGrid();
}

void TmGridColEditor::fieldtypeChange()
{
    if (tmcolumn *column = selectedColumn()) column->settype(tvorcolumntype(fieldtype->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::btnstyleChange()
{
    if (tmcolumn *column = selectedColumn())
        column->SetButtonStyle(TmColumnButtonStyle(btnstyle->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::TitleAlignmentChange()
{
    if (tmcolumn *column = selectedColumn())
        column->Title()->SetAlignment(TAlignment(TitleAlignment->currentIndex()));
    repaintGrid();
}

void TmGridColEditor::ColWidthChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->SetWidth(StrToIntDef(ColWidth->text(), column->GetWidth()));
    showNumber(ColWidth, column->GetWidth());
    repaintGrid();
}

void TmGridColEditor::dropdownChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->setDropDownRows(StrToIntDef(dropdown->text(), column->DropDownRows()));
    showNumber(dropdown, column->DropDownRows());
    repaintGrid();
}

void TmGridColEditor::dispformatChange()
{
    if (tmcolumn *column = selectedColumn()) column->SetDisplayformat(dispformat->text());
    repaintGrid();
}

void TmGridColEditor::TitleCaptionChange()
{
    if (tmcolumn *column = selectedColumn()) column->Title()->SetCaption(TitleCaption->text());
    repaintGrid();
}

void TmGridColEditor::ColfieldnameChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->SetcolumnName(Colfieldname->text());
    QListWidgetItem *line = ColumnList->item(ColumnList->currentRow());
    if (line->text() != Colfieldname->text()) line->setText(Colfieldname->text());
}

void TmGridColEditor::ColColorChange()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    TColor color = column->GetColor();
    StringToColor(ColColor->currentText(), color);
    column->SetColor(color);
    ColColor->setEditText(ColorToString(column->GetColor()));
    repaintGrid();
}

void TmGridColEditor::storeTypedColor(QComboBox *box, const QString &text)
{
    tmcolumn *column = selectedColumn();
    TColor color = 0;
    if (!column || !StringToColor(text, color)) return;
    if (box == ColColor)
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
    StringToColor(TitleColor->currentText(), color);
    column->Title()->SetColor(color);
    TitleColor->setEditText(ColorToString(column->Title()->GetColor()));
    repaintGrid();
}

TColor TmGridColEditor::pickColor(const QComboBox *box)
{
    TColor start = 0;
    StringToColor(box->currentText(), start);
    ColorDialog1->setCurrentColor(ColorToQColor(start));
    // Like the dialog's colour property, which only OK changes: a cancelled dialog
    // still hands back the colour it opened with, and that is stored.
    if (ColorDialog1->exec() == QDialog::Accepted) return QColorToColor(ColorDialog1->selectedColor());
    return start;
}

void TmGridColEditor::ColColorDblClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    column->SetColor(pickColor(ColColor));
    ColColor->setEditText(ColorToString(column->GetColor()));
}

void TmGridColEditor::TitleColorDblClick()
{
    tmcolumn *column = selectedColumn();
    if (!column) return;
    const TColor color = pickColor(TitleColor);
    TitleColor->setEditText(ColorToString(color));
    column->Title()->SetColor(color);
}

QFont TmGridColEditor::pickFont(const QFont &font)
{
    FontDialog1->setCurrentFont(font);
    if (FontDialog1->exec() == QDialog::Accepted) return FontDialog1->selectedFont();
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
    for (const QString &line : memoLines(picklist))
        pickList->Add(line);
}

// ---- the property editor ------------------------------------------------------------------------

tmcolumnsproperty::tmcolumnsproperty(TvorgridColumns *columns, std::function<void()> modified)
    : m_columns(columns), m_modified(std::move(modified))
{
}

void tmcolumnsproperty::Edit(QWidget *parent)
{
    const auto dialog = std::make_unique<TmGridColEditor>(parent);
    dialog->setEditColumns(m_columns);
    dialog->exec();
    // Whatever closed the dialog, the columns may have changed while it was open.
    if (m_modified) m_modified();
}

} // namespace vorgrd
