// Renders the documentation's screenshots headless:
//   docs/images/stringgrid.png  the base string grid: fixed title row and column, a
//                               selected range, and the in-place editor open on a cell
//   docs/images/picklist.png    a tvorgrid whose editor has its pick list open
// Usage: vorgrd-screenshots [stringgrid.png [picklist.png]]
#include "grid/vorGrid.h"
#include "host/inplaceedit.h"
#include "host/stringgrid.h"
#include "presentation/inplaceeditor.h"
#include "presentation/popuplist.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace vorgrd;

namespace {

// The pick list is a window of its own: the picture is the grid's window with the
// list's window painted where it stands on the screen.
bool renderPickList(const QString &out)
{
    tvorgrid grid;
    grid.setColCount(4);
    grid.setRowCount(12);
    grid.setOptions(grid.Options() | goEditing);
    grid.setColWidths(1, 110);
    grid.setColWidths(2, 110);
    grid.setColWidths(3, 90);
    const char *titles[] = {"", "Order", "Status", "Amount"};
    const char *states[] = {"new", "confirmed", "packed", "shipped", "delivered"};
    tmcolumn *status = grid.columns()->GeTmColumn(2);
    status->GetPickList()->setStringList(
        {"new", "confirmed", "packed", "shipped", "delivered", "returned", "cancelled", "lost"});
    for (int c = 0; c < 4; ++c)
        grid.setCells(c, 0, QString::fromLatin1(titles[c]));
    for (int r = 1; r < grid.RowCount(); ++r) {
        grid.setCells(0, r, QString::number(r));
        grid.setCells(1, r, QStringLiteral("A-%1").arg(1000 + r * 7));
        grid.setCells(2, r, QString::fromLatin1(states[(r * 3) % 5]));
        grid.setCells(3, r, QString::number((r * 37) % 400 + 10) + QStringLiteral(".00"));
    }
    grid.resize(360, 280);
    grid.move(0, 0);
    grid.show();
    QApplication::processEvents();
    grid.FocusCell(2, 3, true);
    grid.ShowEditor();
    auto *editor = qobject_cast<TVORGridInplaceEdit *>(grid.InplaceEditor());
    if (!editor) return false;
    editor->OpenPickList();
    QApplication::processEvents();
    TPopupListbox *list = editor->PickListBox();
    if (!list || !editor->ListShown()) return false;
    // One step down, as a user browsing the list would see it.
    list->setItemIndex(list->ItemIndex() + 1);
    QApplication::processEvents();

    QImage image = grid.grab().toImage();
    const QPoint at = list->mapToGlobal(QPoint(0, 0)) - grid.mapToGlobal(QPoint(0, 0));
    QPainter painter(&image);
    painter.drawImage(at, list->grab().toImage());
    painter.end();
    return image.save(out);
}

} // namespace

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

    const QString pickOut =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("docs/images/picklist.png");
    if (!renderPickList(pickOut)) {
        std::fprintf(stderr, "cannot render or write %s\n", qPrintable(pickOut));
        return 1;
    }
    std::printf("wrote %s\n", qPrintable(pickOut));
    return 0;
}
