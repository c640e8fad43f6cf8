#pragma once
// The enumerations of the column descriptions, and the set that records which of a
// column's attributes were assigned (the others follow the grid's defaults).

#include "host/vorgrdexport.h"
#include <QObject>

namespace vorgrd {

namespace ColumnTypes {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)

// What a column holds, which decides how its cells are drawn and edited.
enum tvorcolumntype : int
{
    ftstring,   // plain text
    ftnumeric,  // a number shown through the column's Displayformat
    ftdatetime, // a date or time shown through the column's Displayformat
    ftcheckbox, // checked when the text is not empty; the grid writes "Y" or ""
    ftformula   // an expression, shown as its value
};
Q_ENUM_NS(tvorcolumntype)

enum TAlignment : int
{
    taLeftJustify,
    taRightJustify,
    taCenter
};
Q_ENUM_NS(TAlignment)

enum TVertAlignment : int
{
    vaTopJustify,
    vaCenter,
    vaBottomJustify
};
Q_ENUM_NS(TVertAlignment)

// The in-place editor's button: automatic (a drop-down when there is a pick list),
// an ellipsis button, or none.
enum TmColumnButtonStyle : int
{
    cbsAuto,
    cbsEllipsis,
    cbsNone
};
Q_ENUM_NS(TmColumnButtonStyle)

// One flag per attribute that can follow a default.
enum tmcolumnValue
{
    cvColor,
    cvWidth,
    cvFont,
    cvAlignment,
    cvReadOnly,
    cvTitleColor,
    cvTitleCaption,
    cvTitleAlignment,
    cvTitleFont,
    cvHide,
    cvType,
    cvformat,
    cvVertAlignment,
    cvWordWrap
};
Q_ENUM_NS(tmcolumnValue)

enum TvorgridColumnsState
{
    csDefault,
    csCustomized
};
Q_ENUM_NS(TvorgridColumnsState)

} // namespace ColumnTypes
// Named as vorgrd::tvorcolumntype, vorgrd::ftnumeric, ... as well.
using ColumnTypes::tvorcolumntype;
using enum ColumnTypes::tvorcolumntype;
using ColumnTypes::TAlignment;
using enum ColumnTypes::TAlignment;
using ColumnTypes::TVertAlignment;
using enum ColumnTypes::TVertAlignment;
using ColumnTypes::TmColumnButtonStyle;
using enum ColumnTypes::TmColumnButtonStyle;
using ColumnTypes::tmcolumnValue;
using enum ColumnTypes::tmcolumnValue;
using ColumnTypes::TvorgridColumnsState;
using enum ColumnTypes::TvorgridColumnsState;

// A set of tmcolumnValue in 16 bits, bit n for the value of ordinal n.
class VORGRD_EXPORT tmcolumnValues
{
public:
    constexpr tmcolumnValues() = default;
    constexpr tmcolumnValues(std::initializer_list<tmcolumnValue> values)
    {
        for (tmcolumnValue v : values)
            insert(v);
    }
    constexpr bool contains(tmcolumnValue v) const { return m_bits & bit(v); }
    constexpr void insert(tmcolumnValue v) { m_bits = quint16(m_bits | bit(v)); }
    constexpr void remove(tmcolumnValue v) { m_bits = quint16(m_bits & ~bit(v)); }
    constexpr bool isEmpty() const { return m_bits == 0; }
    constexpr quint16 bits() const { return m_bits; }
    friend constexpr bool operator==(tmcolumnValues, tmcolumnValues) = default;

private:
    static constexpr quint16 bit(tmcolumnValue v) { return quint16(1u << unsigned(v)); }
    quint16 m_bits = 0;
};

} // namespace vorgrd
