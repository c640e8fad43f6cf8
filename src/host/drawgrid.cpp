#include "host/drawgrid.h"

namespace vorgrd {

TDrawGrid::TDrawGrid(QWidget *parent) : TCustomGrid(parent) {}

void TDrawGrid::MouseToCell(int X, int Y, int &ACol, int &ARow) const
{
    const TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

void TDrawGrid::DrawCell(int ACol, int ARow, const QRect &ARect, TGridDrawState AState)
{
    callHandler(OnDrawCell, this, ACol, ARow, ARect, AState);
}

} // namespace vorgrd
