#pragma once
// The enumeration, the glyph table and the glyph-cutting routine of the grid's cell
// drawing.

#include "host/vorgrdexport.h"

#include <QObject>

class QImage;
class QPicture;
class QPixmap;

namespace vorgrd {

namespace DrawingTypes {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)

// The three-dimensional edge DefaultDrawText draws around a cell's content.
enum TCellBevelStyle
{
    cbNone,    // no edge
    cbRaised,  // a raised edge of 2 pixels
    cbLowered  // a sunken edge of 2 pixels
};
Q_ENUM_NS(TCellBevelStyle)

} // namespace DrawingTypes
// Named as vorgrd::TCellBevelStyle, vorgrd::cbRaised, ... as well.
using DrawingTypes::TCellBevelStyle;
using enum DrawingTypes::TCellBevelStyle;

// The glyph number of the check-glyph sheet for each style (row) and state (column:
// 0 unchecked, 1 checked, 2 greyed). Styles: 0 grey check box, 1 white check box,
// 2 grey radio button, 3 white radio button. Check-box cells use style 1.
inline constexpr int CheckGlyphIndex[4][3] = {
    {2, 3, 11},
    {0, 1, 10},
    {6, 7, 9},
    {4, 5, 8},
};

// The sheet's layout: 4 glyphs across, 3 down.
inline constexpr int CheckSheetColumns = 4;
inline constexpr int CheckSheetRows = 3;

// Cuts glyph Index out of a sheet of Columns x Rows glyphs into Target, which becomes
// one glyph large (the sheet's width div Columns by its height div Rows). Glyph n lies
// in sheet column n mod Columns and sheet row n div Columns. Columns and Rows below 1
// count as 1, an Index below 0 as 0; pixels of an index beyond the sheet come out
// zero (transparent black, or black in a format without alpha). Nothing happens when
// Source or Target is null. A pixmap or a picture is first drawn at (0, 0) onto a
// temporary image of its size.
VORGRD_EXPORT void CutGlyph(const QImage *Source, QImage *Target, int Columns, int Index, int Rows);
VORGRD_EXPORT void CutGlyph(const QPixmap *Source, QImage *Target, int Columns, int Index, int Rows);
VORGRD_EXPORT void CutGlyph(const QPicture *Source, QImage *Target, int Columns, int Index, int Rows);

} // namespace vorgrd
