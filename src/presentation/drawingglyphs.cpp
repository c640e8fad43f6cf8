// The graphic building blocks of the cell drawing: check glyphs cut from the glyph
// sheet, bevels and centred bitmaps.
//
//   DrawEdge raised / sunken   qDrawWinPanel, the same 2-pixel edge of four shades
//   BrushCopy                  the glyph drawn with its transparent (magenta) pixels
//                              replaced by the brush colour
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QScopeGuard>
#include <qdrawutil.h>

namespace vorgrd {

namespace {

// Draws `source` of the bitmap at `target` with every pixel of the transparent colour
// replaced by the brush colour. The replacement is made in the bitmap itself: it is
// the grid's scratch bitmap, cut afresh for every glyph.
void brushCopy(TCanvas &canvas, const QRect &target, QImage &bitmap, const QRect &source,
               QRgb transparent)
{
    QPainter *painter = canvas.Painter();
    if (!painter || bitmap.isNull()) return;
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb brush = ColorToQColor(canvas.Brush().Color()).rgb();
    const QRect area = source & bitmap.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(bitmap.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if ((line[x] & 0xFFFFFFu) == (transparent & 0xFFFFFFu)) line[x] = brush;
    }
    painter->drawImage(target, bitmap, source);
}

} // namespace

void CutGlyph(const QImage *Source, QImage *Target, int Columns, int Index, int Rows)
{
    if (!Source || !Target) return;
    Columns = qMax(Columns, 1);
    Rows = qMax(Rows, 1);
    Index = qMax(Index, 0);
    const int glyphWidth = Source->width() / Columns;
    const int glyphHeight = Source->height() / Rows;
    // QImage::copy fills what lies beyond the sheet with zeros.
    *Target = Source->copy(glyphWidth * (Index % Columns), glyphHeight * (Index / Columns),
                           glyphWidth, glyphHeight);
}

void CutGlyph(const QPixmap *Source, QImage *Target, int Columns, int Index, int Rows)
{
    if (!Source || !Target) return;
    const QImage sheet = Source->toImage();
    CutGlyph(&sheet, Target, Columns, Index, Rows);
}

void CutGlyph(const QPicture *Source, QImage *Target, int Columns, int Index, int Rows)
{
    if (!Source || !Target) return;
    const QRect bounds = Source->boundingRect();
    QImage sheet(qMax(bounds.right() + 1, 0), qMax(bounds.bottom() + 1, 0),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    if (!sheet.isNull()) {
        QPainter painter(&sheet);
        painter.drawPicture(0, 0, *Source);
    }
    CutGlyph(&sheet, Target, Columns, Index, Rows);
}

void tvorgrid::DrawCheck(const QRect &Rect, int State, int Style)
{
    // LIMIT: the table has three states and four styles; anything else is a caller's
    // mistake and is refused rather than guessed at.
    checkRange("", "DrawCheck state", State, 0, 2);
    checkRange("", "DrawCheck style", Style, 0, 3);
    const QRect glyph(Rect.left() + (Rect.width() - d->glyphs.width) / 2,
                      Rect.top() + (Rect.height() - d->glyphs.height) / 2, d->glyphs.width,
                      d->glyphs.height);
    TCanvas &canvas = Canvas();
    const TColor brush = canvas.Brush().Color();
    const auto restore = qScopeGuard([&canvas, brush] { canvas.Brush().setColor(brush); });
    CutGlyph(&d->glyphs.sheet, &d->glyphs.workBitmap, CheckSheetColumns,
             CheckGlyphIndex[Style][State], CheckSheetRows);
    canvas.Brush().setColor(Color());
    // The sheet's transparent colour is the one of its bottom-left pixel.
    const QRgb transparent =
        d->glyphs.sheet.isNull() ? 0 : d->glyphs.sheet.pixel(0, d->glyphs.sheet.height() - 1);
    brushCopy(canvas, glyph, d->glyphs.workBitmap, QRect(0, 0, d->glyphs.width, d->glyphs.height),
              transparent);
}

void tvorgrid::DrawCellBevel(const QRect &Rect, bool Raised)
{
    QPainter *painter = Canvas().Painter();
    if (!painter) return;
    // The application palette's light, midlight, dark and shadow are the system's
    // 3-D colours that the grid's colour names resolve to.
    qDrawWinPanel(painter, Rect, QGuiApplication::palette(), !Raised);
}

void tvorgrid::DrawCellBitmap(int, int, const QImage &Graphic, const QRect &Rect)
{
    QPainter *painter = Canvas().Painter();
    if (!painter || Graphic.isNull()) return;
    painter->drawImage(QPoint((Rect.left() + Rect.left() + Rect.width() - Graphic.width()) / 2,
                              (Rect.top() + Rect.top() + Rect.height() - Graphic.height()) / 2),
                       Graphic);
}

} // namespace vorgrd
