// The text building blocks of the cell drawing: DefaultDrawText, the formatted-number
// path, DrawCellTextEx and WriteText with its direct and multi-line paths.
//
// QPainter stands in for the system's text calls (docs/drawing.md has the table):
//   clipped opaque text output   fill the rectangle with the brush, draw the text
//                                clipped to it (TCanvas::TextRect)
//   multi-line DrawText          QPainter::drawText into a rectangle with Qt alignment
//                                flags, Qt::TextExpandTabs and Qt::TextWordWrap; no
//                                mnemonic processing ("&" is drawn as it stands)
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/formatsettings.h"

#include <QPainter>
#include <QtMath>

namespace vorgrd {

namespace {

// The margin between the cell's edges and its text.
constexpr int TextMargin = 2;
// Right-aligned text ends this far before the right edge (the margin and the pixel
// the right edge itself takes).
constexpr int RightTextGap = 3;

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// The "x" rule: trailing zeros of the fraction, and a decimal separator left last,
// become blanks; the text keeps its length. Only a fraction at the very end of the
// text is touched: zeros of the integer part ("100" under "0.##x"), of an exponent
// ("1.0E+10") or before a suffix are digits of the number and stay.
QString blankTrailingZeros(QString text, QChar decimalSeparator)
{
    const qsizetype separator = text.lastIndexOf(decimalSeparator);
    if (separator < 0) return text;
    for (qsizetype i = separator + 1; i < text.size(); ++i)
        if (!text[i].isDigit()) return text;
    qsizetype i = text.size();
    while (i > separator + 1 && text[i - 1] == QLatin1Char('0'))
        text[--i] = QLatin1Char(' ');
    if (i == separator + 1) text[separator] = QLatin1Char(' ');
    return text;
}

int qtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    case taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

// Whether the painter's device shows the colour exactly. Widgets' backing stores and
// 32-bit images are true-colour, so only an image of fewer bits (RGB16, say) can
// answer no.
bool deviceShowsExactly(const QPainter *painter, const QColor &colour)
{
    const QPaintDevice *device = painter ? painter->device() : nullptr;
    if (!device || device->devType() != QInternal::Image) return true;
    const auto *image = static_cast<const QImage *>(device);
    if (image->depth() >= 24 || image->format() == QImage::Format_Indexed8 ||
        image->format() == QImage::Format_Mono || image->format() == QImage::Format_MonoLSB)
        return true;
    QImage probe(1, 1, image->format());
    probe.fill(colour);
    return probe.pixelColor(0, 0).rgb() == colour.rgb();
}

// Grows the work bitmap to at least w x h cell pixels, never shrinking it. On a
// high-density screen it holds device pixels (and says so by its device pixel
// ratio), so that wrapped text is as sharp as the rest of the grid.
void growWorkBitmap(QImage &work, int w, int h, qreal ratio)
{
    const QSizeF size = work.deviceIndependentSize();
    if (work.format() == QImage::Format_ARGB32_Premultiplied && work.devicePixelRatio() == ratio &&
        size.width() >= w && size.height() >= h)
        return;
    const QSize wanted(qMax(qCeil(size.width()), w), qMax(qCeil(size.height()), h));
    work = QImage((QSizeF(wanted) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    work.setDevicePixelRatio(ratio);
}

} // namespace

void tvorgrid::DefaultDrawText(int ACol, int ARow, const QRect &Rect, TAlignment Alignment,
                               TVertAlignment VertAlignment, bool WordWrap,
                               TCellBevelStyle Bevel, const QString &Text)
{
    const tmcolumn *column = ACol >= 0 && ACol < d->lines.columns->Count()
                                 ? d->lines.columns->GeTmColumn(ACol)
                                 : nullptr;
    const bool titleCell = ARow == 0 && d->lines.showtitles;
    if (column && column->gettype() == ftcheckbox && !titleCell) {
        DrawCheck(Rect, Text.isEmpty() ? 0 : 1, 1);
        return;
    }
    QRect rect = Rect;
    if (Bevel == cbRaised || Bevel == cbLowered) {
        DrawCellBevel(rect, Bevel == cbRaised);
        rect.adjust(2, 2, -2, -2);
    }
    // A title caption is no number, so the title row keeps its own alignment.
    const bool numberColumn =
        column && (column->gettype() == ftnumeric || column->gettype() == ftformula);
    if (numberColumn && !titleCell && !column->Displayformat().isEmpty()) {
        TCanvas &canvas = Canvas();
        const bool blank = column->Displayformat().endsWith(QLatin1Char('x'));
        // Right-aligned by the width of the text before blanking, so that a blanked
        // zero takes its digit's room and the decimal separators line up down the
        // column. A number wider than the cell shows its leading digits.
        const int left = rect.left() + TextMargin;
        const int x = qMax(left, rect.left() + rect.width() - RightTextGap - canvas.TextWidth(Text));
        canvas.TextRect(rect, x, rect.top() + TextMargin,
                        blank ? blankTrailingZeros(Text, formatSettings().DecimalSeparator) : Text);
        return;
    }
    DrawCellTextEx(ACol, ARow, Text, rect, Alignment, VertAlignment, WordWrap);
}

void tvorgrid::DrawCellTextEx(int, int, const QString &Text, const QRect &Rect,
                              TAlignment Alignment, TVertAlignment VertAlignment, bool WordWrap)
{
    const int lineHeight = Canvas().TextHeight(QStringLiteral("W"));
    const int cellHeight = Rect.height();
    int top = TextMargin;
    if (VertAlignment == vaCenter)
        top = qMax(TextMargin, (cellHeight - lineHeight) / 2);
    else if (VertAlignment == vaBottomJustify)
        top = qMax(TextMargin, cellHeight - lineHeight);
    WriteText(Rect, TextMargin, top, Text, Alignment, WordWrap);
}

void tvorgrid::WriteText(const QRect &Rect, int DX, int DY, const QString &Text,
                         TAlignment Alignment, bool WordWrap)
{
    TCanvas &canvas = Canvas();
    QPainter *painter = canvas.Painter();
    if (!painter) return;
    const QColor brush = ColorToQColor(canvas.Brush().Color());
    const bool multiLine = WordWrap || !deviceShowsExactly(painter, brush) ||
                           std::any_of(Text.begin(), Text.end(), isLineBreak);
    if (!multiLine) {
        int x = Rect.left() + DX;
        if (Alignment == taRightJustify)
            x = Rect.left() + Rect.width() - canvas.TextWidth(Text) - RightTextGap;
        else if (Alignment == taCenter)
            x = Rect.left() + (Rect.width() >> 1) - (canvas.TextWidth(Text) >> 1);
        canvas.TextRect(Rect, x, Rect.top() + DY, Text);
        return;
    }
    // OPTIMIZATION: one work bitmap for the whole grid, grown to the largest cell drawn
    // so far, instead of an image per cell.
    const int w = Rect.width(), h = Rect.height();
    if (w <= 0 || h <= 0) return;
    QImage &work = d->glyphs.workBitmap;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    growWorkBitmap(work, w, h, ratio);
    // Qt breaks lines at "\n" only; a carriage return (alone or before a line feed)
    // breaks the line as well.
    QString lines = Text;
    if (lines.contains(QLatin1Char('\r')))
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    {
        QPainter onWork(&work);
        onWork.fillRect(QRect(0, 0, w, h), brush);
        onWork.setFont(canvas.Font().qfont());
        onWork.setPen(ColorToQColor(canvas.Font().Color()));
        const int flags = qtAlignment(Alignment) | Qt::AlignTop | Qt::TextExpandTabs |
                          (WordWrap ? Qt::TextWordWrap : 0);
        onWork.drawText(QRect(DX, DY, w - 1 - DX, h - 1 - DY), flags, lines);
    }
    painter->drawImage(QRectF(Rect.topLeft(), QSizeF(w, h)), work, QRectF(0, 0, w * ratio, h * ratio));
}

} // namespace vorgrd
