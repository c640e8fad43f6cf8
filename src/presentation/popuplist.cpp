// TPopupListbox: the pick list window, its model and its incremental search.
#include "presentation/popuplist_p.h"

#include "presentation/inplaceeditor.h"
#include "host/eventguard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

#include <chrono>

namespace vorgrd {

// ---- model -----------------------------------------------------------------------------

void PickListModel::setItems(const QStringList &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

int PickListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant PickListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return m_items.at(index.row());
    return {};
}

// ---- the list window -------------------------------------------------------------------

namespace {
qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

TPopupListbox::TPopupListbox(TVORGridInplaceEdit *owner)
    : QListView(owner), d(std::make_unique<Private>(this, owner, steadyMilliseconds))
{
    // A window of its own, so that it can reach beyond the grid's window; a tool window
    // without frame that is shown without being activated and refuses the focus, so
    // that the editor keeps the keyboard.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                   Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    // A plain frame of one pixel and a margin of one inside it: FrameExtent on each
    // side, so that the height of n rows is n item heights + 2 * FrameExtent.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setViewportMargins(FrameExtent - 1, FrameExtent - 1, FrameExtent - 1, FrameExtent - 1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    // OPTIMIZATION: uniform item sizes let the view lay out 100,000 items without
    // asking the delegate for each one's size.
    setUniformItemSizes(true);
    setModel(&d->m_model);
    hide();
}

TPopupListbox::~TPopupListbox() = default;

TVORGridInplaceEdit *TPopupListbox::Owner() const
{
    return d->m_owner;
}

const QStringList &TPopupListbox::Items() const
{
    return d->m_model.items();
}

int TPopupListbox::Count() const
{
    return int(d->m_model.items().size());
}

const QString &TPopupListbox::SearchText() const
{
    return d->m_SearchText;
}

qint64 TPopupListbox::SearchTime() const
{
    return d->m_SearchTime;
}

void TPopupListbox::setItems(const QStringList &items)
{
    d->m_model.setItems(items);
}

int TPopupListbox::ItemIndex() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TPopupListbox::setItemIndex(int index)
{
    if (index < 0 || index >= Count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex item = d->m_model.index(index);
    selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    scrollTo(item, QAbstractItemView::EnsureVisible);
}

int TPopupListbox::ItemHeight() const
{
    if (Count() > 0) {
        const int h = sizeHintForRow(0);
        if (h > 0) return h;
    }
    return fontMetrics().height();
}

void TPopupListbox::setClock(Clock clock)
{
    d->m_clock = clock ? std::move(clock) : Clock(steadyMilliseconds);
}

int TPopupListbox::findPrefix(const QString &prefix) const
{
    const QStringList &items = d->m_model.items();
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).startsWith(prefix, Qt::CaseInsensitive)) return i;
    return -1;
}

void TPopupListbox::KeyPress(QChar &Key)
{
    const char16_t code = Key.unicode();
    if (code == 8 || code == 27) {
        d->m_SearchText.clear();
        return;
    }
    if (code < 32 || code == 127 || !Key.isPrint()) return;
    const qint64 now = d->m_clock();
    if (now - d->m_SearchTime > SearchResetMs) d->m_SearchText.clear();
    d->m_SearchTime = now;
    if (d->m_SearchText.size() < MaxSearchLength) d->m_SearchText.append(Key);
    const int found = findPrefix(d->m_SearchText);
    // Like a list box, a text that no item begins with leaves the selection alone.
    if (found >= 0) setItemIndex(found);
    Key = QChar();
}

void TPopupListbox::keyPressEvent(QKeyEvent *event)
{
    QChar key;
    switch (event->key()) {
    case Qt::Key_Backspace:
        key = QChar(8);
        break;
    case Qt::Key_Escape:
        key = QChar(27);
        break;
    default:
        if (event->text().size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            key = event->text().at(0);
        break;
    }
    if (!key.isNull()) {
        const char16_t before = key.unicode();
        KeyPress(key);
        // A consumed character is not also the view's own keyboard search.
        if (key.isNull() && before >= 32) {
            event->accept();
            return;
        }
    }
    QListView::keyPressEvent(event);
}

void TPopupListbox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TPopupListbox> self(this);
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
    if (!self || !d->m_owner) return;
    const QRect area = viewport()->rect();
    d->m_owner->ClosePickList(area.contains(X, Y));
}

void TPopupListbox::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    TMouseButton button;
    if (!MouseButtonOf(event->button(), button)) return;
    const QPoint p = event->position().toPoint();
    guardEvent("TPopupListbox::mouseReleaseEvent", [&] { MouseUp(button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

bool TPopupListbox::event(QEvent *event)
{
    // Some platforms activate every window they show. The editor must keep the
    // keyboard, so the activation goes straight back to the editor's window (which
    // gives the focus back to the editor).
    if (event->type() == QEvent::WindowActivate && d->m_owner && d->m_owner->window())
        d->m_owner->window()->activateWindow();
    return QListView::event(event);
}

} // namespace vorgrd
