// Text in cells: formatted numbers lined up on their decimal separator with the "x"
// rule's blanks, vertical alignment with its 2-pixel floor, word wrap and line breaks,
// texts of any length, and the one work bitmap of the multi-line path.
#include "test_drawing_grid.h"

#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

QColor window(const tvorgrid &grid)
{
    return ColorToQColor(grid.Color());
}

// Ink of a cell relative to the cell's top-left corner.
QRect cellInk(const QImage &image, const tvorgrid &grid, int col, int row)
{
    const QRect rect = grid.CellRect(col, row);
    return inkBounds(image, rect, window(grid)).translated(-rect.topLeft());
}

QImage cellImage(const QImage &image, const tvorgrid &grid, int col, int row)
{
    return image.copy(grid.CellRect(col, row));
}

int lineHeight(tvorgrid &grid)
{
    return QFontMetrics(grid.Font()->qfont()).height();
}

} // namespace

TEST(NumberDrawing, BlankedZerosKeepTheirRoomSoDecimalSeparatorsLineUpRightAligned)
{
    DrawingGrid grid(500, 250);
    // Column 1 blanks trailing zeros, column 2 shows the same numbers in full.
    for (int col : {1, 2}) {
        grid.column(col)->settype(ftnumeric);
        grid.column(col)->SetDisplayformat(col == 1 ? "0.00x" : "0.00");
        grid.column(col)->SetWidth(90);
    }
    const char *numbers[] = {"2.5", "3", "12.25"};
    for (int i = 0; i < 3; ++i) {
        grid.setCells(1, i + 2, numbers[i]);
        grid.setCells(2, i + 2, numbers[i]);
    }
    const QImage image = grid.render();
    const QFontMetrics metrics(grid.Font()->qfont());
    // "2.50" -> "2.5 ": the same start, one digit less ink.
    const QRect blanked = cellInk(image, grid, 1, 2), full = cellInk(image, grid, 2, 2);
    EXPECT_EQ(blanked.left(), full.left());
    EXPECT_LE(blanked.right(), full.right() - metrics.horizontalAdvance("0") / 2);
    // The full text ends 3 pixels before the right edge (give or take the side bearing).
    EXPECT_NEAR(full.right(), 90 - 3, 2);
    EXPECT_GE(full.top(), 2);
    // "3.00" -> "3   ": only the 3 is drawn, where it stands in "3.00".
    const QRect three = cellInk(image, grid, 1, 3), threeFull = cellInk(image, grid, 2, 3);
    EXPECT_EQ(three.left(), threeFull.left());
    EXPECT_LT(three.right(), three.left() + metrics.horizontalAdvance("3"));
    // Nothing to blank: both columns draw the same pixels.
    EXPECT_EQ(cellImage(image, grid, 1, 4), cellImage(image, grid, 2, 4));
}

TEST(NumberDrawing, OnlyTrailingZerosOfAFractionAreBlanked)
{
    DrawingGrid grid(500, 250);
    struct Case
    {
        QString format, text;
    };
    // Zeros of the integer part, of an exponent or before a suffix are digits of the
    // number: the "x" leaves these texts alone.
    const Case cases[] = {{"0.##x", "100"}, {"0x", "30"}, {"0.0E+00x", "1e10"}, {"0.00' kg'x", "2.5"},
                          {"0.00x", "abc0"}};
    grid.setRowCount(int(std::size(cases)) + 1);
    for (int col : {1, 2}) {
        grid.column(col)->settype(ftnumeric);
        grid.column(col)->SetWidth(90);
    }
    for (int i = 0; i < int(std::size(cases)); ++i) {
        grid.setCells(1, i + 1, cases[i].text);
        grid.setCells(2, i + 1, cases[i].text);
    }
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].format.toStdString());
        grid.column(1)->SetDisplayformat(cases[i].format);
        grid.column(2)->SetDisplayformat(cases[i].format.chopped(1));
        const QImage image = grid.render();
        EXPECT_FALSE(cellInk(image, grid, 1, i + 1).isEmpty());
        EXPECT_EQ(cellImage(image, grid, 1, i + 1), cellImage(image, grid, 2, i + 1));
    }
}

TEST(NumberDrawing, ANumberWiderThanItsCellShowsItsLeadingDigits)
{
    DrawingGrid grid;
    grid.column(1)->settype(ftnumeric);
    grid.column(1)->SetDisplayformat("#,##0.00");
    grid.column(1)->SetWidth(30);
    grid.setCells(1, 1, "123456789");
    const QImage image = grid.render();
    EXPECT_GE(cellInk(image, grid, 1, 1).left(), 2);
    EXPECT_LE(cellInk(image, grid, 1, 1).left(), 3);
}

TEST(TextDrawing, VerticalAlignmentMovesTheTextButNeverAboveTwoPixels)
{
    for (bool wrap : {true, false}) {
        SCOPED_TRACE(wrap ? "multi-line path" : "direct path");
        DrawingGrid grid(400, 250);
        const int h = lineHeight(grid);
        grid.setRowHeights(1, h - 4); // lower than the font
        grid.setRowHeights(2, 60);
        for (int col = 1; col <= 3; ++col) {
            grid.column(col)->SetWordwrap(wrap);
            grid.setCells(col, 1, "Wy");
            grid.setCells(col, 2, "Wy");
        }
        grid.column(2)->SetVertAlignment(vaCenter);
        grid.column(3)->SetVertAlignment(vaBottomJustify);
        const QImage image = grid.render();
        // In the low cell every alignment gives the top offset 2.
        EXPECT_EQ(cellImage(image, grid, 2, 1), cellImage(image, grid, 1, 1));
        EXPECT_EQ(cellImage(image, grid, 3, 1), cellImage(image, grid, 1, 1));
        // In the tall cell the text moves by the offsets' difference.
        const int top = cellInk(image, grid, 1, 2).top();
        EXPECT_EQ(cellInk(image, grid, 2, 2).top(), top + (60 - h) / 2 - 2);
        EXPECT_EQ(cellInk(image, grid, 3, 2).top(), top + (60 - h) - 2);
    }
}

TEST(TextDrawing, WrappedTextFlowsDownAndCarriageReturnsBreakLinesEvenUnwrapped)
{
    DrawingGrid grid(400, 250);
    const int h = lineHeight(grid);
    grid.setRowHeights(1, 4 * h);
    grid.setCells(1, 1, "alpha beta gamma delta");
    grid.setCells(2, 1, "alpha beta gamma delta");
    grid.column(2)->SetWordwrap(false);
    grid.setCells(3, 1, "one\r\ntwo");
    grid.column(3)->SetWordwrap(false);
    grid.setCells(4, 1, "one\ntwo");
    grid.column(4)->SetWordwrap(false);
    const QImage image = grid.render();
    EXPECT_GT(cellInk(image, grid, 1, 1).height(), 2 * h);
    EXPECT_LT(cellInk(image, grid, 2, 1).height(), h);
    EXPECT_GT(cellInk(image, grid, 3, 1).height(), h);
    EXPECT_LT(cellInk(image, grid, 3, 1).height(), 2 * h);
    EXPECT_EQ(cellImage(image, grid, 4, 1), cellImage(image, grid, 3, 1));
}

TEST(TextDrawing, HorizontalAlignmentOnBothPaths)
{
    DrawingGrid grid(400, 250);
    grid.column(1)->SetWidth(120);
    grid.column(2)->SetWidth(120);
    grid.column(3)->SetWidth(120);
    const int width = QFontMetrics(grid.Font()->qfont()).horizontalAdvance("Wide");
    for (bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "multi-line path" : "direct path");
        for (int col = 1; col <= 3; ++col) {
            grid.column(col)->SetWordwrap(wrap);
            grid.column(col)->SetAlignment(TAlignment(col - 1));
            grid.setCells(col, 1, "Wide");
        }
        const QImage image = grid.render();
        EXPECT_NEAR(cellInk(image, grid, 1, 1).left(), 2, 1);
        // Right: 3 pixels from the edge directly, and inside the text rectangle (which
        // ends a pixel before the cell) on the multi-line path.
        EXPECT_NEAR(cellInk(image, grid, 2, 1).right(), 120 - 3, 2);
        EXPECT_NEAR(cellInk(image, grid, 3, 1).center().x(), 60, 2);
        EXPECT_NEAR(cellInk(image, grid, 2, 1).width(), width, 3);
    }
}

TEST(TextDrawing, TextsLongerThan255CharactersAreDrawnWhole)
{
    for (bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "multi-line path" : "direct path");
        DrawingGrid grid(1400, 100);
        grid.column(1)->SetWidth(1300);
        grid.column(1)->SetWordwrap(wrap);
        const QString head(300, QLatin1Char('.'));
        grid.setCells(1, 1, head + "WW");
        const QImage image = grid.render();
        const int tail = 2 + QFontMetrics(grid.Font()->qfont()).horizontalAdvance(head);
        ASSERT_LT(tail + 20, 1300);
        const QRect rect = grid.CellRect(1, 1);
        const QRect afterHead(rect.left() + tail, rect.top(), 20, rect.height());
        EXPECT_GT(afterHead.width() * afterHead.height() - countColour(image, afterHead, window(grid)), 20);
    }
}

TEST(TextDrawing, TheWorkBitmapGrowsToTheLargestWrappedCellAndIsNotRemadePerCell)
{
    DrawingGrid grid(400, 250);
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.column(col)->SetWordwrap(false);
    grid.setCells(1, 1, "single line");
    grid.WorkBitmap() = QImage(13, 13, QImage::Format_ARGB32); // as DrawCheck leaves it
    grid.render();
    EXPECT_EQ(grid.WorkBitmap().size(), QSize(13, 13)); // the direct path uses none

    grid.column(1)->SetWordwrap(true);
    grid.column(1)->SetWidth(100);
    grid.setRowHeights(2, 40);
    grid.setCells(1, 2, "wrapped text");
    grid.render();
    EXPECT_EQ(grid.WorkBitmap().size(), QSize(100, 40));
    const uchar *bits = grid.WorkBitmap().constBits();
    grid.column(1)->SetWidth(50);
    grid.setRowHeights(2, 20);
    grid.render();
    EXPECT_EQ(grid.WorkBitmap().size(), QSize(100, 40)); // never shrinks
    EXPECT_EQ(grid.WorkBitmap().constBits(), bits);       // and is drawn in again, not remade
}

TEST(TextDrawing, AColourTheDeviceCannotShowTakesTheMultiLinePath)
{
    // Widgets paint into 32-bit backing stores, which show every colour; a painter on
    // a 16-bit image does not.
    DrawingGrid grid;
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB16}) {
        for (TColor colour : {clWhite, TColor(0x030201)}) {
            const bool exact = format == QImage::Format_RGB32 || colour == clWhite;
            SCOPED_TRACE(QString("format %1 colour %2").arg(format).arg(colour, 0, 16).toStdString());
            grid.WorkBitmap() = QImage(13, 13, QImage::Format_ARGB32); // as DrawCheck leaves it
            QImage target(100, 30, format);
            QPainter painter(&target);
            grid.Canvas().setPainter(&painter);
            grid.Canvas().Brush().setColor(colour);
            grid.WriteText(QRect(0, 0, 90, 24), 2, 2, "text", taLeftJustify, false);
            grid.Canvas().setPainter(nullptr);
            EXPECT_EQ(grid.WorkBitmap().size(), exact ? QSize(13, 13) : QSize(90, 24));
        }
    }
}

TEST(TextDrawing, OnAHighDensityDeviceWrappedTextIsDrawnAtItsResolution)
{
    DrawingGrid grid;
    QImage target(200, 60, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2); // 100 x 30 cell pixels
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        grid.Canvas().setPainter(&painter);
        grid.Canvas().Brush().setColor(clWhite);
        grid.Canvas().Font().setColor(clBlack);
        grid.WriteText(QRect(0, 0, 90, 24), 2, 2, "wavy text", taLeftJustify, true);
        grid.Canvas().setPainter(nullptr);
    }
    EXPECT_EQ(grid.WorkBitmap().devicePixelRatio(), 2.0);
    EXPECT_EQ(grid.WorkBitmap().size(), QSize(180, 48));
    // A bitmap of cell pixels scaled up would repeat every column of ink twice.
    const QImage device = target.convertToFormat(QImage::Format_RGB32);
    int differingPairs = 0;
    for (int x = 0; x + 1 < 180; x += 2)
        for (int y = 0; y < 48; ++y)
            if (device.pixel(x, y) != device.pixel(x + 1, y)) ++differingPairs;
    EXPECT_GT(differingPairs, 20);
    EXPECT_LT(countColour(device, QRect(0, 0, 180, 48), Qt::white), 180 * 48); // ink drawn
}
