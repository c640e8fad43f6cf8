#include "host/inplaceedit.h"

#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/eventguard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace vorgrd {

TInplaceEdit::TInplaceEdit(TCustomGrid *grid) : QLineEdit(grid->viewport()), m_grid(grid)
{
    setFrame(false);
    hide();
}

void TInplaceEdit::UpdateContents()
{
    setText(m_grid->GetEditText(m_grid->Col(), m_grid->Row()));
    selectAll();
}

void TInplaceEdit::BoundsChanged() {}

template <class Event, class Work>
void TInplaceEdit::handle(const char *name, Event *&current, Event *event, Work &&work)
{
    const QPointer<TInplaceEdit> alive(this);
    current = event;
    guardEvent(name, static_cast<Work &&>(work));
    if (alive) current = nullptr;
}

void TInplaceEdit::KeyDown(int &Key, TShiftState Shift)
{
    const TGridOptions options = m_grid->Options();
    auto toGrid = [&] {
        if (m_grid->d->editorKey(Key, Shift)) Key = 0;
    };
    switch (Key) {
    case Qt::Key_Escape:
        m_grid->d->cancelEdit();
        Key = 0;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (options & goAlwaysShowEditor) {
            m_grid->UpdateText();
            selectAll();
        } else {
            m_grid->HideEditor();
        }
        Key = 0;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        toGrid();
        break;
    case Qt::Key_Tab:
        if (options & goTabs) toGrid();
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (Shift & ssCtrl) toGrid();
        break;
    case Qt::Key_Left:
        if (!(Shift & ssShift) && cursorPosition() == 0 && !hasSelectedText()) toGrid();
        break;
    case Qt::Key_Right:
        if (!(Shift & ssShift) && cursorPosition() == text().size() && !hasSelectedText()) toGrid();
        break;
    default:
        break;
    }
}

void TInplaceEdit::MouseDown(TMouseButton, TShiftState, int, int)
{
    if (m_mouseEvent) QLineEdit::mousePressEvent(m_mouseEvent);
}

void TInplaceEdit::MouseMove(TShiftState, int, int)
{
    if (m_mouseEvent) QLineEdit::mouseMoveEvent(m_mouseEvent);
}

void TInplaceEdit::MouseUp(TMouseButton, TShiftState, int, int)
{
    if (m_mouseEvent) QLineEdit::mouseReleaseEvent(m_mouseEvent);
}

void TInplaceEdit::PaintWindow()
{
    if (m_paintEvent) QLineEdit::paintEvent(m_paintEvent);
}

bool TInplaceEdit::event(QEvent *event)
{
    bool handled = false;
    guardEvent("editor event", [&] {
        // Tab belongs to the grid's navigation when goTabs is on.
        if (event->type() == QEvent::KeyPress && (m_grid->Options() & goTabs)) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                keyPressEvent(key);
                handled = true;
                return;
            }
        }
        handled = QLineEdit::event(event);
    });
    return handled;
}

void TInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    TShiftState shift = ShiftStateOf(event->modifiers());
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        shift |= ssShift;
    }
    event->accept();
    // A key whose handling failed is not typed into the text as well.
    handle("editor key press", m_keyEvent, event, [&] {
        KeyDown(key, shift);
        if (key != 0 && isVisible()) QLineEdit::keyPressEvent(event);
    });
}

void TInplaceEdit::mousePressEvent(QMouseEvent *event)
{
    TMouseButton b;
    handle("editor mouse press", m_mouseEvent, event, [&] {
        if (!MouseButtonOf(event->button(), b)) return QLineEdit::mousePressEvent(event);
        const QPoint p = event->position().toPoint();
        MouseDown(b, ShiftStateOf(event->modifiers()), p.x(), p.y());
    });
}

void TInplaceEdit::mouseMoveEvent(QMouseEvent *event)
{
    handle("editor mouse move", m_mouseEvent, event, [&] {
        const QPoint p = event->position().toPoint();
        MouseMove(ShiftStateOf(event->modifiers()), p.x(), p.y());
    });
}

void TInplaceEdit::mouseReleaseEvent(QMouseEvent *event)
{
    TMouseButton b;
    handle("editor mouse release", m_mouseEvent, event, [&] {
        if (!MouseButtonOf(event->button(), b)) return QLineEdit::mouseReleaseEvent(event);
        const QPoint p = event->position().toPoint();
        MouseUp(b, ShiftStateOf(event->modifiers()), p.x(), p.y());
    });
}

void TInplaceEdit::paintEvent(QPaintEvent *event)
{
    handle("editor paint", m_paintEvent, event, [&] { PaintWindow(); });
}

void TInplaceEdit::resizeEvent(QResizeEvent *event)
{
    guardEvent("editor resize", [&] {
        QLineEdit::resizeEvent(event);
        BoundsChanged();
    });
}

void TInplaceEdit::moveEvent(QMoveEvent *event)
{
    guardEvent("editor move", [&] {
        QLineEdit::moveEvent(event);
        BoundsChanged();
    });
}

// Leaving the editor for another widget keeps what was typed: the text goes into the
// cell, so code reading the grid sees it.
void TInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    guardEvent("editor focus out", [&] {
        QLineEdit::focusOutEvent(event);
        m_grid->UpdateText();
    });
}

} // namespace vorgrd
