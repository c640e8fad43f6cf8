#pragma once
// The private part of TCustomGrid: its state and the helpers that need nothing but
// that state. Only the base's own sources include it; no public header does, and it
// is never installed.
//
// Where new private state goes: a field of the base goes here; state of one concern
// of a descendant goes into that descendant's private part (tvorgrid's in
// grid/vorGrid_p.h), never into a public header.

#include "host/customgrid.h"
#include "host/graphics.h"
#include "host/gridaxislayout.h"

#include <QPainter>

namespace vorgrd {

struct TCustomGrid::Private
{
    struct Sizing
    {
        TGridState state = gsNormal;
        int index = -1;
        int position = 0; // logical pixel of the border
        int offset = 0;   // border minus the point
    };

    // The border a press at viewport (x, y) grabs: column borders only inside the
    // fixed rows and row borders only inside the fixed columns.
    Sizing sizingAt(const TCustomGrid &q, int x, int y) const;
    // Whether the drag in progress still refers to existing lines.
    bool dragStillValid() const;
    // The line after a painted cell (a logical rectangle) on both axes.
    void paintLines(QPainter &painter, int col, int row, const QRect &logical,
                    const GridAxisLayout &h, int hlw) const;
    // The insertion mark of a line drag: where the dragged line will land.
    void paintMoveMark(QPainter &painter, const GridAxisLayout &h, const GridAxisLayout &v,
                       int xEnd, int yEnd) const;

    GridAxis cols;
    GridAxis rows;
    int fixedCols = 1;
    int fixedRows = 1;
    int gridLineWidth = 1;
    TColor color = clWindow;
    TColor fixedColor = clBtnFace;
    TFont *font;
    TGridOptions options;
    TScrollStyle scrollBars = ssBoth;
    bool defaultDrawing = true;
    TCanvas canvas;

    int leftCol = 1;
    int topRow = 1;
    TGridCoord current{1, 1};
    TGridCoord anchor{1, 1};
    bool designing = false;
    TGridState gridState = gsNormal;
    bool syncingScrollBars = false;
    int maxColCount = DefaultMaxColCount;
    int maxRowCount = DefaultMaxRowCount;
    // Painting: set while paintEvent runs; the layout generation counts changes of
    // counts, extents and scrolling, so that a paint sees a handler's change.
    bool painting = false;
    quint64 layoutGeneration = 0;

    // Drag state.
    Sizing sizing;
    int sizingStart = 0; // logical pixel where the sized cell starts
    int sizingOriginal = 0;
    int moveFrom = -1;
    int moveTo = -1;
    bool clickOnCurrent = false;

    TInplaceEdit *inplaceEdit = nullptr;
    bool editorMode = false;

    // Signals, the font sync and the key reports (host/gridsignals.cpp).
    int lineChangeDepth = 0;
    TGridCoord reportedCurrent{1, 1};
    TGridRect reportedSelection{1, 1, 1, 1};
    bool syncingFont = false; // the Font object and QWidget::font are being aligned
    bool keyUsed = false;     // the key press being handled did something
};

} // namespace vorgrd
