// TVORGridInplaceEdit: the button, its painting, mouse and keys, and the pick list's
// opening and closing. tvorgrid::CreateEditor is defined here too.
//
// Sections: creation and contents | button kind and text area | painting | mouse |
// keys | pick list | focus and visibility
//
// Call flow of the pick list:
//   press on the button   MouseDown -> OpenPickList (or ClosePickList(false) when open)
//   move into the list    MouseMove -> forwardMouseToList (press, moves, release)
//   release in the list   TPopupListbox::MouseUp -> ListMouseUp / ClosePickList(inside)
//   Alt+Up/Down, Return   event -> routeListKey -> HandleListKeys -> Open/ClosePickList
//   other keys, list open event -> routeListKey -> the list's keyPressEvent
//   ClosePickList(true)   tvorgrid::setCells -> UpdateContents (the editor's new text)
#include "presentation/inplaceeditor_p.h"

#include "grid/vorGrid.h"
#include "host/eventguard.h"
#include "presentation/popuplist.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <qdrawutil.h>

#include <algorithm>

namespace vorgrd {

TInplaceEdit *tvorgrid::CreateEditor()
{
    return new TVORGridInplaceEdit(this);
}

// ---- creation and contents -------------------------------------------------------------

TVORGridInplaceEdit::TVORGridInplaceEdit(tvorgrid *grid) : TInplaceEdit(grid), d(std::make_unique<Private>())
{
    d->m_vorgrid = grid;
    d->m_ButtonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // Moves without a button pressed are needed for the cursor over the button.
    setMouseTracking(true);
}

TVORGridInplaceEdit::~TVORGridInplaceEdit() = default;

tvorgrid *TVORGridInplaceEdit::VorGrid() const
{
    return d->m_vorgrid;
}

int TVORGridInplaceEdit::ButtonWidth() const
{
    return d->m_ButtonWidth;
}

TPopupListbox *TVORGridInplaceEdit::PickListBox() const
{
    return d->m_PickListBox;
}

TPopupListbox *TVORGridInplaceEdit::ActiveList() const
{
    return d->m_ActiveList;
}

TEditButtonKind TVORGridInplaceEdit::ButtonKind() const
{
    return d->m_ButtonKind;
}

bool TVORGridInplaceEdit::ListShown() const
{
    return d->m_ListShown;
}

bool TVORGridInplaceEdit::Tracking() const
{
    return d->m_Tracking;
}

bool TVORGridInplaceEdit::ButtonPressed() const
{
    return d->m_ButtonPressed;
}

tmcolumn *TVORGridInplaceEdit::currentColumn() const
{
    TvorgridColumns *columns = d->m_vorgrid->columns();
    const int col = d->m_vorgrid->Col();
    if (!columns || col < 0 || col >= columns->Count()) return nullptr;
    return columns->GeTmColumn(col);
}

void TVORGridInplaceEdit::UpdateContents()
{
    TEditButtonKind kind = ebkNone;
    if (tmcolumn *column = currentColumn()) {
        switch (column->ButtonStyle()) {
        case cbsAuto:
            if (column->HasPickList() && column->GetPickList()->Count() > 0 &&
                !column->GetReadOnly())
                kind = ebkPickList;
            break;
        case cbsEllipsis:
            kind = ebkEllipsis;
            break;
        case cbsNone:
            break;
        }
    }
    SetButtonKind(kind);
    TInplaceEdit::UpdateContents();
}

// ---- button kind and text area ---------------------------------------------------------

void TVORGridInplaceEdit::SetButtonKind(TEditButtonKind Kind)
{
    if (Kind == d->m_ButtonKind) return;
    ClosePickList(false);
    StopTracking();
    d->m_ButtonKind = Kind;
    if (Kind == ebkPickList) {
        createPickList();
        d->m_ActiveList = d->m_PickListBox;
    } else {
        d->m_ActiveList = nullptr;
    }
    applyTextArea();
    const QPoint mouse = mapFromGlobal(QCursor::pos());
    updateCursorShape(mouse.x(), mouse.y());
    update();
}

void TVORGridInplaceEdit::createPickList()
{
    if (d->m_PickListBox) return;
    d->m_PickListBox = new TPopupListbox(this);
    d->m_PickListBox->setClock(d->m_searchClock);
    d->m_PickListBox->OnMouseUp = [this](QObject *sender, TMouseButton button, TShiftState shift,
                                      int x, int y) { ListMouseUp(sender, button, shift, x, y); };
}

void TVORGridInplaceEdit::setSearchClock(std::function<qint64()> clock)
{
    d->m_searchClock = std::move(clock);
    if (d->m_PickListBox) d->m_PickListBox->setClock(d->m_searchClock);
}

QRect TVORGridInplaceEdit::ButtonRect() const
{
    if (d->m_ButtonKind == ebkNone) return {};
    return QRect(width() - d->m_ButtonWidth, 0, d->m_ButtonWidth, height());
}

bool TVORGridInplaceEdit::inButton(int x, int y) const
{
    return ButtonRect().contains(x, y);
}

// The text keeps clear of the button; QLineEdit scrolls its text so that the caret
// stays inside what is left.
void TVORGridInplaceEdit::applyTextArea()
{
    setTextMargins(0, 0, d->m_ButtonKind == ebkNone ? 0 : d->m_ButtonWidth, 0);
}

// The grid moves or sizes the editor when it scrolls or its lines change size: an open
// list would be left standing beside a cell it no longer belongs to, so it closes.
void TVORGridInplaceEdit::BoundsChanged()
{
    TInplaceEdit::BoundsChanged();
    applyTextArea();
    ClosePickList(false);
}

// ---- painting --------------------------------------------------------------------------

void TVORGridInplaceEdit::PaintWindow()
{
    TInplaceEdit::PaintWindow(); // the text, clipped to the area left of the button
    if (d->m_ButtonKind != ebkNone) paintButton();
}

void TVORGridInplaceEdit::paintButton()
{
    QPainter p(this);
    const QRect b = ButtonRect();
    const int shift = d->m_ButtonPressed ? 1 : 0;
    if (d->m_ButtonKind == ebkPickList) {
        QStyleOptionButton panel;
        panel.initFrom(this);
        panel.rect = b;
        panel.state &= ~QStyle::State_HasFocus;
        panel.state |= d->m_ButtonPressed ? QStyle::State_Sunken : QStyle::State_Raised;
        if (d->m_ButtonPressed) panel.features |= QStyleOptionButton::Flat;
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &panel, &p, this);
        QStyleOption arrow(panel);
        const int inset = std::max(2, std::min(b.width(), b.height()) / 4);
        arrow.rect = b.adjusted(inset, inset, -inset, -inset).translated(shift, shift);
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
        return;
    }
    // The ellipsis: a raised edge (flat while pressed) and three black squares.
    const QBrush face = palette().button();
    if (d->m_ButtonPressed)
        qDrawPlainRect(&p, b, palette().color(QPalette::Dark), 1, &face);
    else
        qDrawWinButton(&p, b, palette(), false, &face);
    // The side is an eighth of the height, but never so large that the row of three
    // (five sides wide) leaves the button's inner area.
    const int side = std::max(1, std::min(height() >> 3, (b.width() - 4) / 5));
    const int middle = b.left() + (b.width() >> 1) - 1 + shift;
    const int top = b.top() + (b.height() - side) / 2 + shift;
    for (int x : {middle - 2 * side, middle, middle + 2 * side})
        p.fillRect(x, top, side, side, Qt::black);
}

// ---- mouse -------------------------------------------------------------------------------

void TVORGridInplaceEdit::updateCursorShape(int x, int y)
{
    const Qt::CursorShape wanted = inButton(x, y) ? Qt::ArrowCursor : Qt::IBeamCursor;
    if (cursor().shape() != wanted) setCursor(wanted);
}

void TVORGridInplaceEdit::TrackButton(int X, int Y)
{
    const bool pressed = QRect(width() - d->m_ButtonWidth, 0, d->m_ButtonWidth, height()).contains(X, Y);
    if (pressed == d->m_ButtonPressed) return;
    d->m_ButtonPressed = pressed;
    update(ButtonRect());
}

void TVORGridInplaceEdit::StopTracking()
{
    if (!d->m_Tracking) return;
    TrackButton(-1, -1);
    d->m_Tracking = false;
}

// A press on the button belongs to the button: it neither moves the caret nor starts a
// text selection, so the host's handling is left out for it.
void TVORGridInplaceEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && inButton(X, Y)) {
        if (d->m_ListShown) {
            ClosePickList(false);
        } else {
            d->m_Tracking = true;
            TrackButton(X, Y);
            if (d->m_ActiveList) OpenPickList();
        }
        return;
    }
    TInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TVORGridInplaceEdit::MouseMove(TShiftState Shift, int X, int Y)
{
    updateCursorShape(X, Y);
    if (d->m_listHasDrag) {
        forwardMouseToList(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(X, Y));
        return;
    }
    if (d->m_Tracking) {
        TrackButton(X, Y);
        if (d->m_ListShown && d->m_PickListBox) {
            QWidget *area = d->m_PickListBox->viewport();
            const QPoint inList = area->mapFromGlobal(mapToGlobal(QPoint(X, Y)));
            if (area->rect().contains(inList)) {
                StopTracking();
                d->m_listHasDrag = true;
                forwardMouseToList(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton,
                                   QPoint(X, Y));
            }
        }
        return;
    }
    TInplaceEdit::MouseMove(Shift, X, Y);
}

void TVORGridInplaceEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (d->m_listHasDrag) {
        d->m_listHasDrag = false;
        forwardMouseToList(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(X, Y));
        return;
    }
    const bool wasTracking = d->m_Tracking;
    const bool wasPressed = d->m_ButtonPressed;
    StopTracking();
    if (Button == mbLeft && d->m_ButtonKind == ebkEllipsis && wasPressed) {
        fireEditButtonClick();
        return;
    }
    if (!wasTracking) TInplaceEdit::MouseUp(Button, Shift, X, Y);
}

void TVORGridInplaceEdit::forwardMouseToList(QEvent::Type type, Qt::MouseButton button,
                                             Qt::MouseButtons buttons, const QPoint &editorPoint)
{
    if (!d->m_PickListBox) return;
    QWidget *area = d->m_PickListBox->viewport();
    const QPoint global = mapToGlobal(editorPoint);
    QMouseEvent forwarded(type, QPointF(area->mapFromGlobal(global)), QPointF(global), button,
                          buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &forwarded);
}

// Qt delivers the second press of a double click before the double click itself: the
// press started following the button again, so a release now must not fire a second
// click.
void TVORGridInplaceEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && inButton(p.x(), p.y())) {
        guardEvent("TVORGridInplaceEdit::mouseDoubleClickEvent", [&] { StopTracking(); });
        event->accept();
        return;
    }
    TInplaceEdit::mouseDoubleClickEvent(event);
}

void TVORGridInplaceEdit::ListMouseUp(QObject *, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button != mbLeft || !d->m_PickListBox) return;
    ClosePickList(d->m_PickListBox->viewport()->rect().contains(X, Y));
}

bool TVORGridInplaceEdit::fireEditButtonClick()
{
    QPointer<TVORGridInplaceEdit> self(this);
    d->m_vorgrid->EditButtonClick();
    return !self.isNull();
}

// ---- keys ----------------------------------------------------------------------------------

void TVORGridInplaceEdit::KeyDown(int &Key, TShiftState Shift)
{
    if (d->m_ButtonKind == ebkEllipsis && (Key == Qt::Key_Return || Key == Qt::Key_Enter) &&
        Shift == TShiftState(ssCtrl)) {
        // Qt carries the character in the key event itself: consuming the key is
        // enough for nothing to be typed.
        Key = 0;
        fireEditButtonClick();
        return;
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TVORGridInplaceEdit::HandleListKeys(int &Key, TShiftState Shift)
{
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (d->m_ListShown && !(Shift & ssAlt)) {
            ClosePickList(Key != Qt::Key_Escape);
            Key = 0;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!(Shift & ssAlt)) break;
        [[fallthrough]];
    case Qt::Key_F4: // the key Qt's own combo boxes open their list with
        if (Key == Qt::Key_F4 && Shift != TShiftState()) break;
        if (d->m_ListShown)
            ClosePickList(true);
        else
            OpenPickList();
        Key = 0;
        break;
    default:
        break;
    }
}

bool TVORGridInplaceEdit::routeListKey(QKeyEvent *event)
{
    int key = event->key();
    QPointer<TVORGridInplaceEdit> self(this);
    HandleListKeys(key, ShiftStateOf(event->modifiers()));
    if (!self) return true;
    if (key == 0) {
        event->accept();
        return true;
    }
    if (d->m_ListShown && d->m_PickListBox) {
        QCoreApplication::sendEvent(d->m_PickListBox, event);
        event->accept();
        return true;
    }
    return false;
}

bool TVORGridInplaceEdit::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While the list is open every key belongs to it (or to the rules above), not
        // to the window's shortcuts.
        if (d->m_ListShown) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (d->m_ButtonKind == ebkPickList) {
            bool taken = true;
            guardEvent("TVORGridInplaceEdit::event", [&] { taken = routeListKey(static_cast<QKeyEvent *>(event)); });
            if (taken) return true;
        }
        break;
    default:
        break;
    }
    return TInplaceEdit::event(event);
}

// ---- pick list ---------------------------------------------------------------------------

void TVORGridInplaceEdit::OpenPickList()
{
    if (d->m_ListShown || !d->m_ActiveList) return;
    tmcolumn *column = currentColumn();
    if (!column) return;
    TPopupListbox *list = d->m_ActiveList;

    // The editor's colours and font; the selection in the active colours, because the
    // list shows what the keys (which stay with the editor) select.
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    list->setPalette(colours);
    list->setFont(font());

    TStringList *pickList = column->GetPickList();
    list->setItems(pickList->toStringList());

    // LIMIT: DropDownRows is not validated where it is set; below 1 it shows one row,
    // and the list never grows taller than the screen's available area.
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    const int itemHeight = std::max(1, list->ItemHeight());
    int rows = std::min(list->Count(), std::max(1, column->DropDownRows()));
    if (!screen.isEmpty())
        rows = std::min(rows, std::max(1, (screen.height() - 2 * TPopupListbox::FrameExtent) / itemHeight));
    const int height = itemHeight * rows + 2 * TPopupListbox::FrameExtent;

    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    int y = topLeft.y() + this->height();
    if (!screen.isEmpty() && y + height > screen.bottom() + 1) y = topLeft.y() - height;
    list->setGeometry(topLeft.x(), y, width(), height);
    // Selected once the list has its size, so that bringing the item into view scrolls
    // only when the item lies beyond the rows shown.
    list->setItemIndex(pickList->IndexOf(d->m_vorgrid->Cells(d->m_vorgrid->Col(), d->m_vorgrid->Row())));
    list->show();
    list->raise();
    d->m_ListShown = true;
    update();
}

void TVORGridInplaceEdit::ClosePickList(bool Accepted)
{
    if (!d->m_ListShown || !d->m_PickListBox) return;
    StopTracking();
    d->m_listHasDrag = false;
    const int index = d->m_PickListBox->ItemIndex();
    const QString chosen = index >= 0 ? d->m_PickListBox->Items().at(index) : QString();
    d->m_PickListBox->hide();
    d->m_ListShown = false;
    update();
    // Into the cell, not into the editor's text: writing the cell refreshes the editor,
    // so leaving the editor later writes nothing old back.
    if (Accepted) d->m_vorgrid->setCells(d->m_vorgrid->Col(), d->m_vorgrid->Row(), chosen);
}

// ---- focus and visibility ------------------------------------------------------------------

void TVORGridInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    // A platform that activated the list on showing it takes the focus away for a
    // moment; the list hands it straight back (TPopupListbox::event).
    if (d->m_PickListBox && QApplication::activeWindow() == d->m_PickListBox) return;
    TInplaceEdit::focusOutEvent(event);
    guardEvent("TVORGridInplaceEdit::focusOutEvent", [&] { ClosePickList(false); });
}

void TVORGridInplaceEdit::hideEvent(QHideEvent *event)
{
    TInplaceEdit::hideEvent(event);
    guardEvent("TVORGridInplaceEdit::hideEvent", [&] {
        ClosePickList(false);
        StopTracking();
    });
}

} // namespace vorgrd
