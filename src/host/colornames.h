#pragma once
// The names of the host's colours: the sixteen plain colours and the system colours
// of graphics.h, each by its cl name ("clRed", "clBtnFace"). The column editor fills
// its colour boxes from them and reads what the developer types back through them.
//
// A colour without a name is written as "0x" followed by its 32-bit value in eight
// upper-case hexadecimal digits, in TColor's own 0x00BBGGRR order ("0x00804020" is
// red 0x20, green 0x40, blue 0x80; "0x80000002" a system colour we have no name for).
// Reading accepts that form, "$" with hexadecimal digits, and a decimal number of the
// 32-bit range (negative numbers stand for their unsigned bit pattern, so -2147483643
// is clWindow).

#include "host/graphics.h"
#include "host/vorgrdexport.h"

#include <QString>

#include <functional>

namespace vorgrd {

// Calls `proc` once per colour name, plain colours first (clBlack ... clWhite), then
// the system colours, each in the order of its value.
VORGRD_EXPORT void GetColorValues(const std::function<void(const QString &name)> &proc);

// The name of `color` where one exists, else the "0x" form above.
VORGRD_EXPORT QString ColorToString(TColor color);

// The colour named `ident` (case-insensitive, "clred" names clRed). Returns false and
// leaves `color` alone when no colour has that name.
VORGRD_EXPORT bool IdentToColor(const QString &ident, TColor &color);

// A colour text as ColorToString writes it, or a number as described above (blanks
// around are ignored). Returns false and leaves `color` alone for anything else.
VORGRD_EXPORT bool StringToColor(const QString &text, TColor &color);

} // namespace vorgrd
