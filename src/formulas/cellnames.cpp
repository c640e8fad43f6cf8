// tvorgrid's cells by column name and as variants, and the text a formula cell shows.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/textconvert.h"

#include <QMetaType>
#include <QVariant>

#include <exception>

namespace vorgrd {

namespace {

void checkRow(const tvorgrid &grid, int row)
{
    if (row < 0 || row >= grid.RowCount())
        throw ERangeError(QStringLiteral("Row %1 is out of range (valid: 0..%2)")
                              .arg(row)
                              .arg(grid.RowCount() - 1));
}

void checkCol(const tvorgrid &grid, int col)
{
    if (col < 0 || col >= grid.ColCount())
        throw ERangeError(QStringLiteral("Column %1 is out of range (valid: 0..%2)")
                              .arg(col)
                              .arg(grid.ColCount() - 1));
}

// The text form of a variant, through QVariant's own conversion. An invalid variant is
// the empty text: it is what an empty cell reads back as.
QString variantText(const QVariant &value)
{
    if (!value.isValid()) return QString();
    QString text;
    // canConvert only tells that a conversion exists for the two types; some (a string
    // list of two items, say) still fail for the value at hand, so the result is checked.
    if (!value.canConvert<QString>() || !QMetaType::convert(value.metaType(), value.constData(),
                                                            QMetaType::fromType<QString>(), &text))
        throw EVariantError(QStringLiteral("A variant of type %1 has no text form")
                                .arg(QLatin1String(value.typeName())));
    return text;
}

} // namespace

int tvorgrid::getcellsindex(const QString &name) const
{
    const QString wanted = UpperCase(name);
    for (int i = 0; i < d->lines.columns->Count(); ++i)
        if (UpperCase(d->lines.columns->GeTmColumn(i)->columnName()) == wanted) return i;
    return -1;
}

QString tvorgrid::getcellsname(int index) const
{
    if (index < 0 || index >= d->lines.columns->Count()) return QString();
    return d->lines.columns->GeTmColumn(index)->columnName();
}

void tvorgrid::setcellname(const QString &name, int row, const QString &value)
{
    checkRow(*this, row);
    const int col = getcellsindex(name);
    if (col >= 0) setCells(col, row, value);
}

QString tvorgrid::getcellname(const QString &name, int row) const
{
    checkRow(*this, row);
    const int col = getcellsindex(name);
    return col >= 0 ? Cells(col, row) : QString();
}

void tvorgrid::setvcellname(const QString &name, int row, const QVariant &value)
{
    checkRow(*this, row);
    // Converted before the lookup, so that a bad variant is reported whatever the name.
    const QString text = variantText(value);
    const int col = getcellsindex(name);
    if (col >= 0) setCells(col, row, text);
}

QVariant tvorgrid::getvcellname(const QString &name, int row) const
{
    checkRow(*this, row);
    const int col = getcellsindex(name);
    return col >= 0 ? QVariant(Cells(col, row)) : QVariant();
}

void tvorgrid::setvcell(int col, int row, const QVariant &value)
{
    checkCol(*this, col);
    checkRow(*this, row);
    setCells(col, row, variantText(value));
}

QVariant tvorgrid::getvcell(int col, int row) const
{
    checkCol(*this, col);
    checkRow(*this, row);
    return QVariant(Cells(col, row));
}

QString tvorgrid::FormulaDisplayText(int col, int row)
{
    checkCol(*this, col);
    checkRow(*this, row);
    const QString text = Cells(col, row);
    // columns holds ColCount items, so col indexes a description.
    const tmcolumn *column = d->lines.columns->GeTmColumn(col);
    if (column->gettype() != ftformula || (row == 0 && d->lines.showtitles)) return text;
    try {
        d->parser->setCellCol(col);
        d->parser->setCellRow(row);
        d->parser->Exec(text);
        const double value = d->parser->Value();
        QString format = column->Displayformat();
        if (format.isEmpty()) return FloatToStr(value);
        // The trailing "x" asks the drawing to blank trailing zeros; it is no pattern
        // letter.
        if (format.endsWith(QLatin1Char('x'))) format.chop(1);
        return FormatFloat(format, value);
    } catch (const std::exception &) {
        // A formula that does not evaluate (a syntax error, SQRT(-1), a circular
        // reference) shows what the user typed.
        return text;
    }
}

} // namespace vorgrd
