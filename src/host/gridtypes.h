#pragma once
// The small types of the string grid: options, draw states, grid states, mouse
// buttons and shift states, cell rectangles and coordinates.

#include "host/vorgrdexport.h"
#include <QFlags>
#include <QObject>
#include <QRect>

namespace vorgrd {

namespace GridTypes {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)

enum TGridOption
{
    goFixedVertLine = 0x0001,     // vertical lines between fixed cells
    goFixedHorzLine = 0x0002,     // horizontal lines between fixed cells
    goVertLine = 0x0004,          // vertical lines between the other cells
    goHorzLine = 0x0008,          // horizontal lines between the other cells
    goRangeSelect = 0x0010,       // a range of cells can be selected
    goDrawFocusSelected = 0x0020, // the current cell is painted selected too
    goRowSizing = 0x0040,         // rows can be resized with the mouse
    goColSizing = 0x0080,         // columns can be resized with the mouse
    goRowMoving = 0x0100,         // rows can be dragged to a new place
    goColMoving = 0x0200,         // columns can be dragged to a new place
    goEditing = 0x0400,           // cells can be edited in place
    goTabs = 0x0800,              // Tab and Shift+Tab move between cells
    goRowSelect = 0x1000,         // whole rows are selected
    goAlwaysShowEditor = 0x2000,  // the editor stays open on the current cell
    goThumbTracking = 0x4000,     // the view follows the scroll bar while it is dragged
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_FLAG_NS(TGridOptions)
// The operators of each flag set sit beside its enumeration, where argument-dependent
// lookup finds them for code in any namespace: uic writes Designer's Options as
// vorgrd::GridTypes::goVertLine|vorgrd::GridTypes::goEditing, without a using.
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

enum TGridDrawStateFlag
{
    gdSelected = 0x1,
    gdFocused = 0x2,
    gdFixed = 0x4
};
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_FLAG_NS(TGridDrawState)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

enum TGridState
{
    gsNormal,
    gsSelecting,
    gsRowSizing,
    gsColSizing,
    gsRowMoving,
    gsColMoving
};
Q_ENUM_NS(TGridState)

enum TMouseButton
{
    mbLeft,
    mbRight,
    mbMiddle
};
Q_ENUM_NS(TMouseButton)

enum TShiftStateFlag
{
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_FLAG_NS(TShiftState)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

enum TScrollStyle : int
{
    ssNone,
    ssHorizontal,
    ssVertical,
    ssBoth
};
Q_ENUM_NS(TScrollStyle)

} // namespace GridTypes
// The grid's types, named as vorgrd::TGridOptions, vorgrd::goEditing, ...: declared
// one by one, so that a file that says `using namespace vorgrd` gets these names and
// no others.
using GridTypes::TGridOption;
using GridTypes::TGridOptions;
using enum GridTypes::TGridOption;
using GridTypes::TGridDrawStateFlag;
using GridTypes::TGridDrawState;
using enum GridTypes::TGridDrawStateFlag;
using GridTypes::TGridState;
using enum GridTypes::TGridState;
using GridTypes::TMouseButton;
using enum GridTypes::TMouseButton;
using GridTypes::TShiftStateFlag;
using GridTypes::TShiftState;
using enum GridTypes::TShiftStateFlag;
using GridTypes::TScrollStyle;
using enum GridTypes::TScrollStyle;

using TRect = QRect;

// The shift state of Qt's modifiers and pressed buttons.
VORGRD_EXPORT TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {});
// The grid's button for a Qt button; false for buttons the grid does not know.
VORGRD_EXPORT bool MouseButtonOf(Qt::MouseButton button, TMouseButton &out);

// A rectangle of cells, both corners included.
struct VORGRD_EXPORT TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool contains(int col, int row) const
    {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
    friend bool operator==(const TGridRect &, const TGridRect &) = default;
};

// A cell (X = column, Y = row); -1 where a point lies beyond the cells.
struct VORGRD_EXPORT TGridCoord
{
    int X = -1;
    int Y = -1;
    friend bool operator==(const TGridCoord &, const TGridCoord &) = default;
};

} // namespace vorgrd
