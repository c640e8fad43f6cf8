#pragma once
// The enumerations of sorting and searching that the grid publishes.

#include "host/vorgrdexport.h"
#include <QObject>

namespace vorgrd {

namespace OrderingTypes {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)

// How a sort compares keys; value for value the key types of TvorList.
enum TMSortType : int
{
    soString,              // case-insensitive, locale-aware text
    soStringCaseSensitive, // text by character codes
    soNumeric,             // the leading number; texts without one at zero, alphabetically
    soDate                 // date and time
};
Q_ENUM_NS(TMSortType)

// Which sort ran last (what UndoSort undoes).
enum mSortState : int
{
    Unsorted,
    CompleteRows,
    CompleteCols,
    SingleCol,
    SingleRow,
    AllRows,
    AllCols
};
Q_ENUM_NS(mSortState)

// Whether the fixed rows and columns take part in sorting and searching: not at all,
// one band chosen by the operation's direction, or like every other cell.
enum HandleFixed : int
{
    hfNot,
    hfSmart,
    hfYes
};
Q_ENUM_NS(HandleFixed)

} // namespace OrderingTypes
// The enumerations and their values are named in vorgrd, one by one (no
// using-directive reaches the users' code).
using OrderingTypes::TMSortType;
using enum OrderingTypes::TMSortType;
using OrderingTypes::mSortState;
using enum OrderingTypes::mSortState;
using OrderingTypes::HandleFixed;
using enum OrderingTypes::HandleFixed;

} // namespace vorgrd
