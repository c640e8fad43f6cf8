#include "host/graphics.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace vorgrd {

namespace {

// Handles are process-wide: fonts with different faces, sizes or styles never share
// one, even when different grids made them. Fonts of the same face, size and style share one handle, as they would share one
// font resource: a font copied from another has the other's handle, and a cache keyed
// on the handle finds both.
quint64 fontHandleFor(const QFont &font)
{
    static QMutex mutex;
    static QHash<QString, quint64> handles;
    const QMutexLocker lock(&mutex);
    auto it = handles.constFind(font.key());
    if (it == handles.constEnd()) it = handles.insert(font.key(), quint64(handles.size()) + 1);
    return it.value();
}

// The innermost SystemPaletteScope's palette; null outside every scope.
const QPalette *paletteInEffect = nullptr;

QColor systemColor(unsigned index, const QPalette &palette)
{
    switch (index) {
    case 0:  // scroll bar
    case 15: // button face
        return palette.color(QPalette::Button);
    case 1: // desktop
        return palette.color(QPalette::Window);
    case 5: // window
        return palette.color(QPalette::Base);
    case 6: // window frame
    case 8: // window text
        return palette.color(QPalette::Text);
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 16: // button shadow
        return palette.color(QPalette::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 21:
        return palette.color(QPalette::Shadow);
    case 22:
        return palette.color(QPalette::Midlight);
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Text);
    }
}

} // namespace

SystemPaletteScope::SystemPaletteScope(const QPalette &palette) : m_previous(paletteInEffect)
{
    paletteInEffect = &palette;
}

SystemPaletteScope::~SystemPaletteScope()
{
    paletteInEffect = m_previous;
}

QColor ColorToQColor(TColor color, const QWidget *widget)
{
    if (!widget || !(color & 0x80000000u)) return ColorToQColor(color);
    return systemColor(color & 0xFFu, widget->palette());
}

QColor ColorToQColor(TColor color)
{
    if (color & 0x80000000u)
        return systemColor(color & 0xFFu,
                           paletteInEffect ? *paletteInEffect : QGuiApplication::palette());
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<TColor>(rgb.red()) | (static_cast<TColor>(rgb.green()) << 8) |
           (static_cast<TColor>(rgb.blue()) << 16);
}

TColor ColorToRGB(TColor color)
{
    return (color & 0x80000000u) ? QColorToColor(ColorToQColor(color)) : color;
}

// ---- TFont ------------------------------------------------------------------------

TFont::TFont(QObject *parent) : TPersistent(parent), m_font(QApplication::font()), m_handle(0)
{
    if (m_font.bold()) m_style |= fsBold;
    if (m_font.italic()) m_style |= fsItalic;
    m_handle = fontHandleFor(m_font);
}

void TFont::changed(bool faceChanged)
{
    if (faceChanged) m_handle = fontHandleFor(m_font);
    if (OnChange) OnChange(this);
}

void TFont::setName(const QString &name)
{
    if (name == m_font.family()) return;
    m_font.setFamily(name);
    changed(true);
}

void TFont::setSize(int size)
{
    if (size <= 0 || size == m_font.pointSize())
        return; // QFont refuses sizes below 1 too; the font stays as it was
    m_font.setPointSize(size);
    changed(true);
}

void TFont::setStyle(TFontStyles style)
{
    if (style == m_style) return;
    m_style = style;
    m_font.setBold(style & fsBold);
    m_font.setItalic(style & fsItalic);
    m_font.setUnderline(style & fsUnderline);
    m_font.setStrikeOut(style & fsStrikeOut);
    changed(true);
}

void TFont::setColor(TColor color)
{
    if (color == m_color) return;
    m_color = color;
    changed(false);
}

void TFont::setQFont(const QFont &font)
{
    TFontStyles style;
    if (font.bold()) style |= fsBold;
    if (font.italic()) style |= fsItalic;
    if (font.underline()) style |= fsUnderline;
    if (font.strikeOut()) style |= fsStrikeOut;
    if (font == m_font && style == m_style) return;
    m_font = font;
    m_style = style;
    changed(true);
}

int TFont::Height() const
{
    return QFontMetrics(m_font).height();
}

void TFont::Assign(const TPersistent *source)
{
    const auto *other = qobject_cast<const TFont *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    const bool face = other->m_font != m_font || other->m_style != m_style;
    const bool colour = other->m_color != m_color;
    if (!face && !colour) return;
    m_font = other->m_font;
    m_style = other->m_style;
    m_color = other->m_color;
    changed(face);
}

// ---- TCanvas ------------------------------------------------------------------------

TCanvas::TCanvas() = default;

int TCanvas::TextWidth(const QString &text) const
{
    return QFontMetrics(m_font.qfont()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString &) const
{
    return QFontMetrics(m_font.qfont()).height();
}

void TCanvas::FillRect(const QRect &rect)
{
    if (m_painter && m_brush.Style() == bsSolid)
        m_painter->fillRect(rect, ColorToQColor(m_brush.Color()));
}

void TCanvas::TextRect(const QRect &rect, int x, int y, const QString &text)
{
    if (!m_painter) return;
    FillRect(rect);
    m_painter->save();
    m_painter->setClipRect(rect, Qt::IntersectClip);
    m_painter->setFont(m_font.qfont());
    m_painter->setPen(ColorToQColor(m_font.Color()));
    m_painter->drawText(QPoint(x, y + QFontMetrics(m_font.qfont()).ascent()), text);
    m_painter->restore();
}

void TCanvas::TextOut(int x, int y, const QString &text)
{
    if (!m_painter) return;
    const QFontMetrics metrics(m_font.qfont());
    FillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()));
    m_painter->save();
    m_painter->setFont(m_font.qfont());
    m_painter->setPen(ColorToQColor(m_font.Color()));
    m_painter->drawText(QPoint(x, y + metrics.ascent()), text);
    m_painter->restore();
}

void TCanvas::DrawFocusRect(const QRect &rect)
{
    if (!m_painter || rect.width() < 2 || rect.height() < 2) return;
    m_painter->save();
    QPen pen(ColorToQColor(clWindowText), 1, Qt::DotLine);
    m_painter->setPen(pen);
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(rect.adjusted(0, 0, -1, -1));
    m_painter->restore();
}

} // namespace vorgrd
