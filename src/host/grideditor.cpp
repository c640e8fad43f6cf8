// TCustomGrid's in-place editor: creating, showing, hiding it and committing its text.
#include "host/customgrid.h"
#include "host/customgrid_p.h"
#include "host/inplaceedit.h"

#include <algorithm>

namespace vorgrd {

// ---- editor --------------------------------------------------------------------------------

TInplaceEdit *TCustomGrid::CreateEditor()
{
    return new TInplaceEdit(this);
}

QString TCustomGrid::GetEditText(int, int)
{
    return QString();
}

void TCustomGrid::SetEditText(int, int, const QString &) {}

bool TCustomGrid::CanEditShow() const
{
    return (d->options & goEditing) && !(d->options & goRowSelect) && !d->designing;
}

void TCustomGrid::setEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (!CanEditShow()) return;
    if (!d->inplaceEdit) {
        d->inplaceEdit = CreateEditor();
        if (!d->inplaceEdit) return;
        d->inplaceEdit->setParent(viewport());
        d->inplaceEdit->setFont(d->font->qfont());
        d->inplaceEdit->hide();
    }
    d->scrollIntoView(d->current.X, d->current.Y);
    if (d->editorMode) {
        // Already editing: keep what was typed, only bring the editor back.
        d->updateEditor();
        if (d->inplaceEdit->isVisible()) d->inplaceEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    d->editorMode = true;
    d->inplaceEdit->UpdateContents();
    d->updateEditor();
    if (d->inplaceEdit->isVisible()) {
        d->inplaceEdit->setFocus(Qt::OtherFocusReason);
        d->inplaceEdit->selectAll();
    }
    InvalidateCell(d->current.X, d->current.Y);
}

void TCustomGrid::ShowEditorChar(QChar ch)
{
    ShowEditor();
    if (!d->editorMode || !d->inplaceEdit) return;
    d->inplaceEdit->selectAll();
    if (ch.unicode() == 8)
        d->inplaceEdit->del();
    else
        d->inplaceEdit->insert(QString(ch));
}

void TCustomGrid::UpdateText()
{
    if (!d->editorMode || !d->inplaceEdit) return;
    const QString text = d->inplaceEdit->text();
    if (text != GetEditText(d->current.X, d->current.Y)) SetEditText(d->current.X, d->current.Y, text);
}

void TCustomGrid::HideEditor()
{
    if (!d->editorMode) return;
    UpdateText();
    d->editorMode = false;
    if (d->inplaceEdit) {
        if (d->inplaceEdit->hasFocus()) setFocus(Qt::OtherFocusReason);
        d->inplaceEdit->hide();
    }
    InvalidateCell(d->current.X, d->current.Y);
}

void TCustomGrid::Private::cancelEdit()
{
    if (!editorMode || !inplaceEdit) return;
    inplaceEdit->UpdateContents();
    if (options & goAlwaysShowEditor) {
        inplaceEdit->selectAll();
        return;
    }
    editorMode = false;
    if (inplaceEdit->hasFocus()) q.setFocus(Qt::OtherFocusReason);
    inplaceEdit->hide();
    q.InvalidateCell(current.X, current.Y);
}

// Places the open editor over the current cell, or hides its widget (editing goes on)
// while the cell is scrolled out of view.
void TCustomGrid::Private::updateEditor()
{
    if (!inplaceEdit || !editorMode) return;
    const QRect r = q.CellRect(current.X, current.Y);
    if (r.isEmpty()) {
        if (inplaceEdit->isVisible()) {
            if (inplaceEdit->hasFocus()) q.setFocus(Qt::OtherFocusReason);
            inplaceEdit->hide();
        }
        return;
    }
    if (inplaceEdit->geometry() != r) inplaceEdit->setGeometry(r);
    if (!inplaceEdit->isVisible()) {
        const bool focus = q.hasFocus();
        inplaceEdit->show();
        if (focus) inplaceEdit->setFocus(Qt::OtherFocusReason);
    }
}

bool TCustomGrid::Private::editorKey(int key, TShiftState shift)
{
    int k = key;
    q.KeyDown(k, shift);
    return k == 0;
}

} // namespace vorgrd
