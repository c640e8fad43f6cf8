#include "host/colornames.h"

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

// Digits of `text` from `from` on in `base`; false when there are none, when one is
// no digit of the base, or when the value leaves 32 bits.
bool unsignedDigits(const QString &text, qsizetype from, int base, quint64 &value)
{
    if (from >= text.size()) return false;
    value = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0) return false;
        value = value * quint64(base) + quint64(digit);
        if (value > std::numeric_limits<quint32>::max()) return false;
    }
    return true;
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
    if (t.startsWith(u'$')) {
        if (!unsignedDigits(t, 1, 16, value)) return false;
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        if (!unsignedDigits(t, 2, 16, value)) return false;
    } else if (t.startsWith(u'-')) {
        if (!unsignedDigits(t, 1, 10, value) || value > quint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
        value = quint64(quint32(-qint64(value)));
    } else if (!unsignedDigits(t, t.startsWith(u'+') ? 1 : 0, 10, value)) {
        return false;
    }
    color = TColor(value);
    return true;
}

} // namespace vorgrd
