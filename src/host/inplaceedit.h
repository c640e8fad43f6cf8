#pragma once
// TInplaceEdit: the line editor that a grid places over its current cell to edit it.
// The grid creates it through its CreateEditor factory the first time an editor is
// needed and keeps it for its own life; the editor is a child of the grid's viewport.
//
// Descendants (a pick-list or ellipsis editor) override the virtual hooks below. Each
// Qt event is routed through one hook whose base version does the editor's standard
// handling, so an override does its part and then calls the base ("inherited"):
//   keyPressEvent -> KeyDown        mousePressEvent   -> MouseDown
//   paintEvent    -> PaintWindow    mouseMoveEvent    -> MouseMove
//   resize/move   -> BoundsChanged  mouseReleaseEvent -> MouseUp

#include "host/vorgrdexport.h"
#include "host/gridtypes.h"

#include <QLineEdit>

namespace vorgrd {

class TCustomGrid;

class VORGRD_EXPORT TInplaceEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TInplaceEdit(TCustomGrid *grid);

    TCustomGrid *Grid() const { return m_grid; }

    // Loads the text of the grid's current cell (the grid's GetEditText) and selects
    // it. The grid calls it whenever the editor is bound to a cell, and when the cell
    // under the open editor is written.
    virtual void UpdateContents();

protected:
    // After the editor was moved or resized.
    virtual void BoundsChanged();
    // Key is a Qt::Key value. The base handles Escape (restore the cell's text and
    // close), Enter (commit and close; commit only with goAlwaysShowEditor), and hands
    // the grid the keys that leave the cell: Up, Down, Page Up/Down, Tab with goTabs,
    // Ctrl+Home/End, and Left/Right at the ends of the text. Then QLineEdit's own
    // handling of the key follows unless Key was set to 0.
    virtual void KeyDown(int &Key, TShiftState Shift);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Paints the editor (QLineEdit's painting).
    virtual void PaintWindow();

    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Runs the work of one Qt event inside the event guard, with `event` in `current`
    // for the hooks' base versions. A handler may destroy the grid, and this editor
    // with it: nothing touches the editor after that.
    template <class Event, class Work>
    void handle(const char *name, Event *&current, Event *event, Work &&work);

    TCustomGrid *m_grid;
    // The Qt event being handled, for the base versions of the hooks.
    QKeyEvent *m_keyEvent = nullptr;
    QMouseEvent *m_mouseEvent = nullptr;
    QPaintEvent *m_paintEvent = nullptr;
};

} // namespace vorgrd
