#pragma once
// TmGridColEditor's private part: its controls and the columns it edits. The dialog's
// sources include it, and vorgrd's own tests, which drive the controls directly.

#include "design/strcoled.h"

#include <QPointer>

class QColorDialog;
class QComboBox;
class QFontDialog;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace vorgrd {

struct VORGRD_AUTOTEST_EXPORT TmGridColEditor::Private
{
    // The parts of `dialog`, for the tests.
    static Private &of(TmGridColEditor &dialog) { return *dialog.d; }

    // ---- the controls (created by the constructor, owned by the dialog) ---------------
    QGroupBox *GB = nullptr;
    QListWidget *ColumnList = nullptr;
    QToolButton *movedownbutton = nullptr;
    QToolButton *moveupbutton = nullptr;
    QPushButton *NewButton = nullptr;
    QPushButton *DeleteButton = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *ts1 = nullptr;
    QWidget *ts2 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *ApplyButton = nullptr;
    // "Column Properties"
    QComboBox *ColAlignment = nullptr;
    QComboBox *ColVertalignment = nullptr;
    QComboBox *Colwordwrap = nullptr;
    QComboBox *ColColor = nullptr;
    QComboBox *ColReadOnly = nullptr;
    QLineEdit *ColWidth = nullptr;
    QComboBox *ColHide = nullptr;
    QComboBox *fieldtype = nullptr;
    QLineEdit *dispformat = nullptr;
    QLineEdit *Colfieldname = nullptr;
    QPushButton *ColFont = nullptr;
    QPushButton *RestoreDefaults = nullptr;
    // "Title Properties"
    QComboBox *TitleAlignment = nullptr;
    QLineEdit *TitleCaption = nullptr;
    QComboBox *TitleColor = nullptr;
    QPushButton *TitleFont = nullptr;
    // "List values"
    QPlainTextEdit *picklist = nullptr;
    QWidget *Panel1 = nullptr;
    QLineEdit *dropdown = nullptr;
    QComboBox *btnstyle = nullptr;
    // Qt's colour and font dialogs, reused for every column.
    QColorDialog *ColorDialog1 = nullptr;
    QFontDialog *FontDialog1 = nullptr;

    // ---- the columns -----------------------------------------------------------------
    QPointer<TvorgridColumns> m_editColumns;
    std::unique_ptr<TvorgridColumns> m_savedColumns;
    bool m_finishing = false; // inside done(): the close event that follows is ours
};

} // namespace vorgrd
