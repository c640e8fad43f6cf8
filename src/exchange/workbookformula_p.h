#pragma once
// A formula cell's expression (the language of docs/parser.md) as a workbook formula.
//
// translateFormula reads the expression as TvorParser does and keeps its structure;
// the writers render it in their syntax (XLSX "A1*2", ODS "of:=[.A1]*2"). What
// translates: number literals, E and PI, the four operations with parentheses, the
// functions with a workbook equivalent (ARCTAN, COS, SIN, TAN, ABS, EXP, LN, LOG,
// SQRT, SQR, INT, FRAC), and cell references whose coordinates are literals (CELL,
// COL, ROW). SUMROW, SUMCOL, AVGROW and AVGCOL follow the grid's focused cell and
// have no workbook form. Where a workbook function computes differently (TAN, INT
// with halves to even, FRAC) the translation spells out the grid's computation.
// Whether the referenced cells reach the workbook with the values the grid gives
// them is the caller's check (workbooksheet.cpp).
// Not installed; the tests call the exported functions.

#include "host/vorgrdexport.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace vorgrd::workbook_internal {

struct CellReference
{
    int col = 0;
    int row = 0;
    friend bool operator==(const CellReference &, const CellReference &) = default;
};

class VORGRD_EXPORT WorkbookFormula
{
public:
    struct Node
    {
        enum Kind
        {
            Number,
            Reference,
            Pi,
            E,
            Function, // `name` with arguments `a` (and `b`)
            Add,
            Subtract,
            Multiply,
            Divide,
            Group, // parentheses around `a`
        };
        Kind kind = Number;
        double number = 0;
        CellReference cell;
        QString name; // the grid's function name
        int a = -1;
        int b = -1;
    };

    std::vector<Node> nodes;
    int root = -1;
    // Every cell the formula reads.
    std::vector<CellReference> references;
};

// The expression of the formula cell (col, row), or nothing when it does not
// translate.
VORGRD_EXPORT std::optional<WorkbookFormula> translateFormula(QStringView expression, int col, int row);

// The formula in XLSX syntax, without the leading "=".
VORGRD_EXPORT QString xlsxFormula(const WorkbookFormula &formula);
// The formula in OpenDocument syntax, with its "of:=" prefix.
VORGRD_EXPORT QString odsFormula(const WorkbookFormula &formula);

// A cell's name in A1 style: column letters and the 1-based row ("B3").
VORGRD_EXPORT QString cellName(int col, int row);

} // namespace vorgrd::workbook_internal
