#pragma once
// TDrawGrid: a grid whose cells the application paints in OnDrawCell.

#include "host/vorgrdexport.h"
#include "host/customgrid.h"

namespace vorgrd {

class VORGRD_EXPORT TDrawGrid : public TCustomGrid
{
    Q_OBJECT
    Q_PROPERTY(bool DefaultDrawing READ DefaultDrawing WRITE setDefaultDrawing NOTIFY
                   defaultDrawingChanged STORED true)
public:
    explicit TDrawGrid(QWidget *parent = nullptr);

    // The cell under a viewport point (-1 beyond the cells).
    void MouseToCell(int X, int Y, int &ACol, int &ARow) const;

    // Called for every cell painted, after the default drawing of the cell (the
    // canvas's brush and font are those of the cell's state).
    std::function<void(QObject *sender, int ACol, int ARow, const QRect &Rect,
                       TGridDrawState State)>
        OnDrawCell;

protected:
    void DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState) override;
};

} // namespace vorgrd
