// Check-box cells and the graphic building blocks: which glyph a text shows, the
// grid colour in the glyph's transparent pixels, the table's bounds, bevels, centred
// bitmaps and cutting glyphs out of a sheet.
#include "test_drawing_grid.h"

#include <QPainter>
#include <QPicture>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace vorgrd;
using namespace vorgrd::test;

namespace {

// Glyph n of the grid's sheet as the grid draws it: transparent pixels in `fill`.
QImage expectedGlyph(const tvorgrid &grid, int n, const QColor &fill)
{
    const QImage &sheet = grid.CheckImages();
    const QRgb transparent = sheet.pixel(0, sheet.height() - 1);
    QImage glyph = sheet.copy((n % 4) * 13, (n / 4) * 13, 13, 13).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
            if ((glyph.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF)) glyph.setPixel(x, y, fill.rgb());
    return glyph;
}

QRect glyphRect(const QRect &cell)
{
    return QRect(cell.left() + (cell.width() - 13) / 2, cell.top() + (cell.height() - 13) / 2, 13, 13);
}

// Runs `draw` for cell (1, 2) inside a paint, in place of the default drawing.
void drawInCell(DrawingGrid &grid, std::function<void()> draw)
{
    grid.ondrawcell = [&grid, draw](QObject *, int col, int row, const QRect &, TGridDrawState, QString &) {
        if (col != 1 || row != 2) return;
        draw();
        grid.setDefaultDrawing(false);
    };
}

} // namespace

TEST(CheckBoxCells, AnyTextButTheEmptyOneShowsTheTickedGlyph)
{
    DrawingGrid grid(300, 250);
    grid.column(1)->settype(ftcheckbox);
    grid.setRowCount(7);
    const char *texts[] = {"Y", "N", "0", " ", "", "yes"};
    for (int i = 0; i < 6; ++i)
        grid.setCells(1, i + 1, texts[i]);
    const QImage image = grid.render();
    const QColor fill = ColorToQColor(grid.Color());
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(texts[i]);
        const int glyph = QString(texts[i]).isEmpty() ? 0 : 1;
        EXPECT_EQ(image.copy(glyphRect(grid.CellRect(1, i + 1))), expectedGlyph(grid, glyph, fill));
    }
    EXPECT_NE(expectedGlyph(grid, 0, fill), expectedGlyph(grid, 1, fill));
}

TEST(CheckBoxCells, TheTitleCellShowsItsCaptionAndRowZeroAGlyphWithoutTitles)
{
    DrawingGrid grid(300, 250);
    grid.column(1)->settype(ftcheckbox);
    grid.column(1)->Title()->SetCaption("Paid");
    grid.setshowtitles(true);
    QImage image = grid.render();
    const QRect title = grid.CellRect(1, 0);
    const QColor titleColour = ColorToQColor(grid.column(1)->Title()->GetColor());
    EXPECT_NE(image.copy(glyphRect(title)), expectedGlyph(grid, 1, ColorToQColor(grid.Color())));
    const QRect ink = inkBounds(image, title, titleColour);
    EXPECT_GE(ink.left() - title.left(), 2); // text at the left margin, no glyph
    EXPECT_LT(ink.left() - title.left(), 5);

    grid.setshowtitles(false); // row 0 is empty now: the empty box
    image = grid.render();
    EXPECT_EQ(image.copy(glyphRect(title)), expectedGlyph(grid, 0, ColorToQColor(grid.Color())));
}

TEST(CheckBoxCells, ASelectedCellKeepsTheGridColourInTheGlyphsTransparentPixels)
{
    DrawingGrid grid(300, 250);
    grid.setOptions(grid.Options() | goDrawFocusSelected);
    grid.setColor(clAqua);
    grid.column(1)->settype(ftcheckbox);
    grid.setCells(1, 1, "Y");
    grid.setCol(1);
    const QImage image = grid.render(); // (1, 1) is current, so selected
    const QRect cell = grid.CellRect(1, 1);
    EXPECT_EQ(image.copy(glyphRect(cell)), expectedGlyph(grid, 1, ColorToQColor(clAqua)));
    // Around the glyph the cell shows the highlight colour the base filled it with.
    EXPECT_EQ(image.pixelColor(cell.left() + 3, cell.center().y()).rgb(), ColorToQColor(clHighlight).rgb());
}

TEST(DrawCheck, StylesAndStatesOutsideTheTableAreRefusedAndTheBrushIsKept)
{
    DrawingGrid grid;
    grid.Canvas().Brush().setColor(clRed);
    const QRect rect(0, 0, 30, 30);
    struct Case
    {
        int state, style;
        const char *message;
    };
    const Case cases[] = {{3, 1, "DrawCheck state 3 is out of range (valid: 0..2)"},
                          {-1, 1, "DrawCheck state -1 is out of range (valid: 0..2)"},
                          {0, 4, "DrawCheck style 4 is out of range (valid: 0..3)"},
                          {0, -1, "DrawCheck style -1 is out of range (valid: 0..3)"}};
    for (const Case &c : cases) {
        try {
            grid.DrawCheck(rect, c.state, c.style);
            ADD_FAILURE() << c.message;
        } catch (const ERangeError &e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    grid.WorkBitmap() = QImage(50, 50, QImage::Format_ARGB32);
    grid.DrawCheck(rect, 2, 3); // no paint under way: nothing drawn, glyph still cut
    EXPECT_EQ(grid.WorkBitmap().size(), QSize(13, 13));
    EXPECT_EQ(grid.Canvas().Brush().Color(), clRed);
}

TEST(Bevels, RaisedAndLoweredEdgesInsetTheContentByTwoPixelsButNotACheckBox)
{
    DrawingGrid grid(300, 250);
    grid.column(1)->SetWordwrap(false);
    const QPalette palette = QGuiApplication::palette();
    QRect plainInk;
    for (TCellBevelStyle bevel : {cbNone, cbRaised, cbLowered}) {
        SCOPED_TRACE(int(bevel));
        drawInCell(grid, [&grid, bevel] {
            grid.Canvas().Brush().setColor(clWhite);
            grid.DefaultDrawText(1, 2, grid.CellRect(1, 2), taLeftJustify, vaTopJustify, false, bevel, "W");
        });
        const QImage image = grid.render();
        const QRect cell = grid.CellRect(1, 2);
        const QRect inner = cell.adjusted(2, 2, -2, -2);
        // The bevel's own pixels stay out of the measured area.
        const QRect ink = inkBounds(image, bevel == cbNone ? cell : inner, Qt::white);
        if (bevel == cbNone) {
            plainInk = ink.translated(-cell.topLeft());
            continue;
        }
        EXPECT_EQ(ink.translated(-cell.topLeft()), plainInk.translated(2, 2));
        const QColor topLeft = image.pixelColor(cell.topLeft());
        const QColor bottomRight = image.pixelColor(cell.bottomRight());
        if (bevel == cbRaised) {
            EXPECT_EQ(topLeft.rgb(), palette.color(QPalette::Light).rgb());
            EXPECT_EQ(bottomRight.rgb(), palette.color(QPalette::Shadow).rgb());
        } else {
            EXPECT_EQ(topLeft.rgb(), palette.color(QPalette::Dark).rgb());
            EXPECT_EQ(bottomRight.rgb(), palette.color(QPalette::Light).rgb());
        }
    }
    grid.column(1)->settype(ftcheckbox);
    drawInCell(grid, [&grid] {
        grid.DefaultDrawText(1, 2, grid.CellRect(1, 2), taLeftJustify, vaTopJustify, false, cbRaised, "Y");
    });
    const QImage image = grid.render();
    EXPECT_EQ(image.pixelColor(grid.CellRect(1, 2).topLeft()).rgb(), ColorToQColor(grid.Color()).rgb());
    EXPECT_EQ(image.copy(glyphRect(grid.CellRect(1, 2))), expectedGlyph(grid, 1, ColorToQColor(grid.Color())));
}

TEST(CutGlyph, CutsTheIndexedGlyphAndClampsItsArguments)
{
    // A sheet of 4 x 3 glyphs of 2 x 2 pixels, glyph n in grey n * 20 + 15, plus a stray
    // column that the truncating division leaves out.
    QImage sheet(9, 6, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    for (int n = 0; n < 12; ++n) {
        QPainter painter(&sheet);
        painter.fillRect((n % 4) * 2, (n / 4) * 2, 2, 2, QColor(n * 20 + 15, n * 20 + 15, n * 20 + 15));
    }
    auto greyOf = [](const QImage &glyph) { return (qRed(glyph.pixel(0, 0)) - 15) / 20; };
    QImage target(30, 30, QImage::Format_RGB32);
    CutGlyph(&sheet, &target, 4, 6, 3);
    EXPECT_EQ(target.size(), QSize(2, 2));
    EXPECT_EQ(greyOf(target), 6);
    EXPECT_EQ(target.pixel(1, 1), target.pixel(0, 0));

    CutGlyph(&sheet, &target, 0, 3, -2); // one glyph across, one down: the whole sheet
    EXPECT_EQ(target.size(), sheet.size());
    CutGlyph(&sheet, &target, 4, -7, 3); // index 0
    EXPECT_EQ(greyOf(target), 0);
    EXPECT_EQ(target.size(), QSize(2, 2));
    CutGlyph(&sheet, &target, 4, 20, 3); // beyond the sheet: no pixels of it
    EXPECT_EQ(target.size(), QSize(2, 2));
    EXPECT_EQ(target.pixel(0, 0) & 0xFFFFFFu, 0u);

    const QImage before = target;
    CutGlyph(static_cast<const QImage *>(nullptr), &target, 4, 1, 3);
    EXPECT_EQ(target, before);
    CutGlyph(&sheet, nullptr, 4, 1, 3); // nothing to cut into: no crash, no change

    const QPixmap pixmap = QPixmap::fromImage(sheet);
    CutGlyph(&pixmap, &target, 4, 9, 3);
    EXPECT_EQ(greyOf(target), 9);
    QPicture picture;
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, sheet);
    }
    CutGlyph(&picture, &target, 4, 11, 3);
    EXPECT_EQ(target.size(), QSize(2, 2));
    EXPECT_EQ(greyOf(target), 11);
}
