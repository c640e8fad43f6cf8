#pragma once
// Colours, fonts, brushes and the canvas that cell drawing paints on.
//
// TColor is a 32-bit value: 0x00BBGGRR for a plain colour, and from 0x80000000 up the
// name of a system colour (the low byte is the system colour index), resolved through
// the application palette when used. TFont wraps a QFont and a colour and reports
// every change; TCanvas draws on a QPainter with a current brush and font.

#include "host/vorgrdexport.h"
#include "host/persistent.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPalette;
class QWidget;

#include <cstdint>
#include <functional>

class QPainter;

namespace vorgrd {

using TColor = quint32;

// System colours (resolved through QApplication::palette()).
inline constexpr TColor clScrollBar = 0x80000000;
inline constexpr TColor clBackground = 0x80000001;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowFrame = 0x80000006;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clHighlight = 0x8000000D;
inline constexpr TColor clHighlightText = 0x8000000E;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clGrayText = 0x80000011;
inline constexpr TColor clBtnText = 0x80000012;
inline constexpr TColor clBtnHighlight = 0x80000014;
inline constexpr TColor cl3DDkShadow = 0x80000015;
inline constexpr TColor cl3DLight = 0x80000016;
inline constexpr TColor clInfoText = 0x80000017;
inline constexpr TColor clInfoBk = 0x80000018;
// Plain colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// The colour a TColor shows now: system colours through the palette in effect (see
// SystemPaletteScope; the application palette outside one); an unknown system index
// gives the window text colour.
VORGRD_EXPORT QColor ColorToQColor(TColor color);
// The same through a widget's own palette (its setPalette, its style sheet's palette
// roles, its window's palette); the palette in effect for a null widget.
VORGRD_EXPORT QColor ColorToQColor(TColor color, const QWidget *widget);

// While it lives, system colours resolve through `palette` instead of the
// application's: a widget paints inside one holding its own palette, so that every
// colour its drawing code resolves follows the widget. Scopes nest; GUI thread only.
class VORGRD_EXPORT SystemPaletteScope
{
public:
    explicit SystemPaletteScope(const QPalette &palette);
    ~SystemPaletteScope();
    SystemPaletteScope(const SystemPaletteScope &) = delete;
    SystemPaletteScope &operator=(const SystemPaletteScope &) = delete;

private:
    const QPalette *m_previous;
};
// The plain 0x00BBGGRR form of a QColor (alpha dropped).
VORGRD_EXPORT TColor QColorToColor(const QColor &color);
// A system colour resolved to its plain value; a plain colour unchanged.
VORGRD_EXPORT TColor ColorToRGB(TColor color);

namespace GraphicsTypes {
Q_NAMESPACE_EXPORT(VORGRD_EXPORT)
enum TFontStyle
{
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8
};
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)
// Beside the enumeration, where argument-dependent lookup finds the operators for
// code in any namespace (uic writes vorgrd::GraphicsTypes::fsBold|...).
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)
enum TBrushStyle : int
{
    bsSolid,
    bsClear
};
Q_ENUM_NS(TBrushStyle)
} // namespace GraphicsTypes
// Named as vorgrd::TFontStyles, vorgrd::fsBold, ... as well.
using GraphicsTypes::TFontStyle;
using GraphicsTypes::TFontStyles;
using enum GraphicsTypes::TFontStyle;
using GraphicsTypes::TBrushStyle;
using enum GraphicsTypes::TBrushStyle;

// A font: face, size, style and colour. OnChange fires after every change (also a
// colour change). Handle() identifies the face, size and style: it changes when one
// of them changes and stays when only the colour changes; fonts of the same face,
// size and style share one handle. A cache of measured text can key on it.
class VORGRD_EXPORT TFont : public TPersistent
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName STORED true)
    Q_PROPERTY(int Size READ Size WRITE setSize STORED true)
    Q_PROPERTY(vorgrd::GraphicsTypes::TFontStyles Style READ Style WRITE setStyle STORED true)
    Q_PROPERTY(quint32 Color READ Color WRITE setColor STORED true)
public:
    // Starts as the application font in the window text colour.
    explicit TFont(QObject *parent = nullptr);

    QString Name() const { return m_font.family(); }
    void setName(const QString &name);
    // Point size.
    int Size() const { return m_font.pointSize(); }
    void setSize(int size);
    TFontStyles Style() const { return m_style; }
    void setStyle(TFontStyles style);
    TColor Color() const { return m_color; }
    void setColor(TColor color);

    // Pixel height of a line of text in this font.
    int Height() const;
    quint64 Handle() const { return m_handle; }
    const QFont &qfont() const { return m_font; }
    // Takes face, size and style from a QFont (colour unchanged).
    void setQFont(const QFont &font);

    void Assign(const TPersistent *source) override;

    std::function<void(TFont *sender)> OnChange;

private:
    void changed(bool faceChanged);

    QFont m_font;
    TFontStyles m_style;
    TColor m_color = clWindowText;
    quint64 m_handle;
};

class VORGRD_EXPORT TBrush
{
public:
    TColor Color() const { return m_color; }
    void setColor(TColor color) { m_color = color; }
    TBrushStyle Style() const { return m_style; }
    void setStyle(TBrushStyle style) { m_style = style; }

private:
    TColor m_color = clWhite;
    TBrushStyle m_style = bsSolid;
};

// A drawing surface over a QPainter. Outside painting (no painter) measuring still
// works and drawing does nothing.
class VORGRD_EXPORT TCanvas
{
public:
    TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    void setPainter(QPainter *painter) { m_painter = painter; }
    QPainter *Painter() const { return m_painter; }

    TBrush &Brush() { return m_brush; }
    TFont &Font() { return m_font; }

    int TextWidth(const QString &text) const;
    // Height of the text's line (one line of the font).
    int TextHeight(const QString &text) const;
    // Fills the rectangle with the brush (a clear brush fills nothing).
    void FillRect(const QRect &rect);
    // Opaque text output clipped to the rectangle: fills it with the brush, then
    // writes the text with its top-left corner at (x, y) in the font and its colour.
    void TextRect(const QRect &rect, int x, int y, const QString &text);
    // Text with its top-left corner at (x, y), unclipped, on the brush unless clear.
    void TextOut(int x, int y, const QString &text);
    // A dotted focus rectangle just inside the rectangle.
    void DrawFocusRect(const QRect &rect);

private:
    QPainter *m_painter = nullptr;
    TBrush m_brush;
    TFont m_font;
};

} // namespace vorgrd
