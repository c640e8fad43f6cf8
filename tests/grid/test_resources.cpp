// The bitmaps built into the library: the check-glyph sheet and the palette icon.
#include <QImage>

#include <gtest/gtest.h>

namespace {

const QRgb magenta = qRgb(255, 0, 255);

QImage glyph(const QImage &sheet, int n)
{
    return sheet.copy((n % 4) * 13, (n / 4) * 13, 13, 13);
}

int countColour(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

} // namespace

TEST(Resources, CheckImagesIsA16ColourSheetOfTwelveGlyphsOnMagenta)
{
    const QImage sheet(":/vorgrd/CHECK_IMAGES");
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet.size(), QSize(52, 39));
    EXPECT_EQ(sheet.format(), QImage::Format_Indexed8);
    EXPECT_LE(sheet.colorCount(), 16);
    EXPECT_EQ(sheet.pixel(0, 38), magenta); // the transparent colour's pixel

    // Ticked and dotted glyphs differ from their empty twins; greyed marks are grey.
    const int pairs[][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}};
    for (const auto &p : pairs)
        EXPECT_NE(glyph(sheet, p[0]), glyph(sheet, p[1])) << p[0];
    EXPECT_GT(countColour(glyph(sheet, 1), qRgb(0, 0, 0)), countColour(glyph(sheet, 0), qRgb(0, 0, 0)));
    EXPECT_GT(countColour(glyph(sheet, 10), qRgb(128, 128, 128)), countColour(glyph(sheet, 0), qRgb(128, 128, 128)));
    // White boxes have a white face at the centre, grey ones a silver face.
    EXPECT_EQ(glyph(sheet, 0).pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(glyph(sheet, 2).pixel(3, 3), qRgb(192, 192, 192));
    // Radio buttons are round: their corners show the magenta background.
    for (int n = 4; n < 10; ++n)
        EXPECT_EQ(glyph(sheet, n).pixel(0, 0), magenta) << n;
}

TEST(Resources, PaletteIconIs24By24)
{
    const QImage icon(":/vorgrd/TVORGRID");
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(24, 24));
    EXPECT_LE(icon.colorCount(), 16);
}
