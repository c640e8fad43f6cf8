// Renders the base string grid headless into docs/images/stringgrid.png: fixed title
// row and column, a selected range, and the in-place editor open on a cell.
// Usage: vorgrd-screenshots [output.png]
#include "host/inplaceedit.h"
#include "host/stringgrid.h"

#include <QApplication>
#include <QImage>

#include <cstdio>

using namespace vorgrd;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/images/stringgrid.png");

    TStringGrid grid;
    grid.setColCount(6);
    grid.setRowCount(30);
    grid.setOptions(grid.Options() | goEditing | goColSizing | goRowSizing);
    grid.setColWidths(0, 40);
    grid.setColWidths(1, 110);
    grid.resize(520, 240);
    const char *titles[] = {"", "Product", "Region", "Q1", "Q2", "Q3"};
    const char *products[] = {"Apples",  "Pears", "Plums",  "Cherries",
                              "Quinces", "Figs",  "Grapes", "Lemons"};
    const char *regions[] = {"North", "South", "East", "West"};
    for (int c = 0; c < 6; ++c)
        grid.setCells(c, 0, QString::fromLatin1(titles[c]));
    for (int r = 1; r < grid.RowCount(); ++r) {
        grid.setCells(0, r, QString::number(r));
        grid.setCells(1, r, QString::fromLatin1(products[(r - 1) % 8]));
        grid.setCells(2, r, QString::fromLatin1(regions[(r - 1) % 4]));
        for (int c = 3; c < 6; ++c)
            grid.setCells(c, r, QString::number((r * 37 + c * 11) % 400 + 10));
    }
    grid.show();
    QApplication::processEvents();
    // Anchor at (2, 3), current cell (3, 6): the range is highlighted around the
    // current cell, which gets the editor.
    grid.setSelection(TGridRect{2, 3, 3, 6});
    grid.ShowEditor();
    grid.InplaceEditor()->setText(QStringLiteral("1250"));
    grid.InplaceEditor()->setCursorPosition(4);
    QApplication::processEvents();

    const QImage image = grid.grab().toImage();
    if (!image.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(out), image.width(), image.height());
    return 0;
}
