#include "host/colornames.h"

#include <QRegularExpression>

#include <array>
#include <limits>

namespace vorgrd {

namespace {

struct ColorName
{
    TColor color;
    const char *name;
};

// Plain colours, then system colours, each in value order: the order the colour
// boxes show them in.
constexpr std::array<ColorName, 32> colorNames = {{
    {clBlack, "clBlack"},         {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},         {clOlive, "clOlive"},
    {clNavy, "clNavy"},           {clPurple, "clPurple"},
    {clTeal, "clTeal"},           {clGray, "clGray"},
    {clSilver, "clSilver"},       {clRed, "clRed"},
    {clLime, "clLime"},           {clYellow, "clYellow"},
    {clBlue, "clBlue"},           {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},           {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clWindow, "clWindow"},       {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},     {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},   {clInfoBk, "clInfoBk"},
}};

// The value of `digits` (ASCII digits of `base` only, no sign, no blank) when it fits
// in 32 bits.
bool unsignedDigits(QStringView digits, int base, quint64 &value)
{
    static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,10}$"));
    static const QRegularExpression hexadecimal(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    if (!(base == 16 ? hexadecimal : decimal).match(digits).hasMatch()) return false;
    value = digits.toULongLong(nullptr, base);
    return value <= std::numeric_limits<quint32>::max();
}

} // namespace

void GetColorValues(const std::function<void(const QString &name)> &proc)
{
    for (const ColorName &entry : colorNames)
        proc(QLatin1String(entry.name));
}

QString ColorToString(TColor color)
{
    for (const ColorName &entry : colorNames)
        if (entry.color == color) return QLatin1String(entry.name);
    return QStringLiteral("0x") + QString::number(color, 16).toUpper().rightJustified(8, u'0');
}

bool IdentToColor(const QString &ident, TColor &color)
{
    for (const ColorName &entry : colorNames)
        if (ident.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            color = entry.color;
            return true;
        }
    return false;
}

bool StringToColor(const QString &text, TColor &color)
{
    const QString t = text.trimmed();
    if (IdentToColor(t, color)) return true;
    quint64 value = 0;
    const QStringView view(t);
    if (t.startsWith(u'$')) {
        if (!unsignedDigits(view.mid(1), 16, value)) return false;
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        if (!unsignedDigits(view.mid(2), 16, value)) return false;
    } else if (t.startsWith(u'-')) {
        if (!unsignedDigits(view.mid(1), 10, value) || value > quint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
        value = quint64(quint32(-qint64(value)));
    } else if (!unsignedDigits(t.startsWith(u'+') ? view.mid(1) : view, 10, value)) {
        return false;
    }
    color = TColor(value);
    return true;
}

} // namespace vorgrd
