#pragma once
// TvorParser's private part: the helpers of the evaluation (functions, cell
// references, the limits). Only vorpars.cpp and the parser's tests include it.

#include "formulas/vorpars.h"

namespace vorgrd {

struct VORGRD_AUTOTEST_EXPORT TvorParser::Private
{
    // Takes one nesting level for the lifetime of a Calculate (vorpars.cpp).
    class LevelGuard;

    // The character at Position; the end mark (code 0) outside Expression.
    static char16_t current(const TvorParser &parser)
    {
        const qsizetype index = qsizetype(parser.m_Position) - 1;
        return size_t(index) < size_t(parser.m_Expression.size())
                   ? parser.m_Expression.constData()[index].unicode()
                   : u'\0';
    }
    // Puts the parser anywhere, also outside Expression, as an application driving
    // the steps could not: the tests check that every step stays safe there.
    static void setPosition(TvorParser &parser, int position) { parser.m_Position = position; }

    static double applyFunction(TvorParser &parser, quint8 code);
    static double cellValueAt(TvorParser &parser, int col, int row);
    static double cellRange(TvorParser &parser, double first, double last, bool alongRow, bool average);
    static Budget &budget(TvorParser &parser)
    {
        return parser.m_parent ? *parser.m_sharedBudget : parser.m_ownBudget;
    }
    [[noreturn]] static void raiseTooDeep(const TvorParser &parser);
    [[noreturn]] static void raiseTooComplex();
    [[noreturn]] static void raiseNoGrid();
};

} // namespace vorgrd
