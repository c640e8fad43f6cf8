#pragma once
// A tvorgrid with a fixed pixel layout for drawing tests: no frame, no scroll bars,
// DejaVu Sans 9, default sizes (64 x 24, lines of 1), so that cell (c, r) of an
// unscrolled grid starts at (65 c, 25 r). Six columns, the current cell in the last
// one (5, 1), so that its focus frame stays out of the cells the tests look at.
// render() paints the viewport now. Widths are set through the columns: a column's
// change writes its Width into the grid again.
#include "grid/vorGrid.h"

#include <QImage>
#include <QTest>

namespace vorgrd::test {

class DrawingGrid : public tvorgrid
{
public:
    explicit DrawingGrid(int width = 400, int height = 250)
    {
        setFrameShape(QFrame::NoFrame);
        setScrollBars(ssNone);
        Font()->setName(QStringLiteral("DejaVu Sans"));
        Font()->setSize(9);
        setColCount(6);
        setCol(5);
        resize(width, height);
        show();
        (void)QTest::qWaitForWindowExposed(this);
    }

    QImage render() { return viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    tmcolumn *column(int col) const { return columns()->GeTmColumn(col); }
    // The drawing's scratch image is a hook for descendants; the tests watch it grow.
    using tvorgrid::WorkBitmap;
};

// The smallest rectangle inside `area` holding every pixel that is not `background`
// (an empty rectangle when there is none).
inline QRect inkBounds(const QImage &image, const QRect &area, const QColor &background)
{
    QRect ink;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (image.pixelColor(x, y).rgb() != background.rgb()) ink |= QRect(x, y, 1, 1);
    return ink;
}

// How many pixels of `area` have exactly this colour.
inline int countColour(const QImage &image, const QRect &area, const QColor &colour)
{
    int n = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    return n;
}

} // namespace vorgrd::test
