#pragma once
// TPopupListbox: the drop-down pick list of the grid's in-place editor.
//
// A list window of its own that floats below (or above) the editor, may reach beyond
// the grid's window, and never takes the keyboard focus: the editor keeps the focus
// and hands the list the keys it does not handle itself (TVORGridInplaceEdit). The
// list paints its selection in the active colours all the same, so that it looks
// focused. The editor creates it once and hides it between uses.
//
// Incremental search: typed characters build SearchText (at most 32 characters) and
// select the first item that begins with it, ignoring case; a character typed more
// than SearchResetMs after the previous one starts a new search; Backspace and Escape
// empty it. The time comes from Clock (a steady millisecond clock unless replaced), so
// that the search can be driven without waiting.
//
// Mouse: a release inside the list accepts the item under it, a release outside closes
// the list without a change (both through the owning editor's ClosePickList).
//
// Window flags and attributes (docs/editor.md says why): Qt::Tool,
// Qt::FramelessWindowHint, Qt::WindowDoesNotAcceptFocus, Qt::WindowStaysOnTopHint,
// Qt::WA_ShowWithoutActivating, focus policy Qt::NoFocus. A platform that activates
// the window anyway gets its activation handed back to the editor's window at once.

#include "host/gridtypes.h"
#include "host/vorgrdexport.h"

#include <QListView>
#include <QStringList>

#include <functional>
#include <memory>

namespace vorgrd {

class TVORGridInplaceEdit;

class VORGRD_EXPORT TPopupListbox : public QListView
{
    Q_OBJECT
public:
    // Milliseconds from any fixed start; only differences are used.
    using Clock = std::function<qint64()>;
    static constexpr int MaxSearchLength = 32;
    static constexpr qint64 SearchResetMs = 2000;
    // Pixels the frame takes above and below the rows (and left and right).
    static constexpr int FrameExtent = 2;

    // Created hidden, as a window of its own owned by `owner`.
    explicit TPopupListbox(TVORGridInplaceEdit *owner);
    ~TPopupListbox() override;

    TVORGridInplaceEdit *Owner() const;

    // ---- items and selection -----------------------------------------------------------
    void setItems(const QStringList &items);
    const QStringList &Items() const;
    int Count() const;
    // The selected item, -1 when none is selected.
    int ItemIndex() const;
    // Selects item `index` and scrolls it into view; -1 (or any index outside the
    // items) selects none.
    void setItemIndex(int index);
    // Height of one row in pixels, for the list's font.
    int ItemHeight() const;

    // ---- incremental search ------------------------------------------------------------
    const QString &SearchText() const;
    qint64 SearchTime() const;
    // An empty clock restores the steady clock.
    void setClock(Clock clock);
    // One typed character: Backspace (8) and Escape (27) empty the search text, a
    // printable character extends it and selects the first item beginning with it,
    // and is then consumed (set to 0). Other characters are left alone.
    virtual void KeyPress(QChar &Key);

    // Called with the list as sender after the list handled a mouse release (the editor
    // binds it to its ListMouseUp). X and Y are in the list's item area.
    std::function<void(QObject *sender, TMouseButton button, TShiftState shift, int x, int y)>
        OnMouseUp;

protected:
    // After the view's own release handling: OnMouseUp, then the owner closes the list,
    // accepting the item when the release lay inside the item area.
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // The first item (from the top) that begins with `prefix`, ignoring case; -1.
    int findPrefix(const QString &prefix) const;

    // The owner, the items and the search (popuplist_p.h).
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vorgrd
