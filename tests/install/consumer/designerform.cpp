// The form as Qt Designer itself saved it, with the plugin loaded and after an edit of
// the columns in the column editor (tests/install/run.sh), compiled by uic: the grid
// uic's code builds must be the grid Designer held, the grid of one cell must have
// one cell, and a language change must leave the columns the program changed.
#include "ui_designerform.h" // first, before any using: as an application includes it

#include <vorgrd/host/formstream.h>

#include "checks.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray expected = expectedStream(EXPECTED_FILE);
    if (expected.isEmpty()) return 2;

    QWidget form;
    Ui::GridForm ui;
    ui.setupUi(&form);
    check(vorgrd::SaveComponent(*ui.grid) == expected, "uic's grid is the grid Designer saved");
    check(ui.grid->columns()->Count() == 5, "with the column added in Designer's column editor");
    check(ui.single->ColCount() == 1 && ui.single->RowCount() == 1, "the grid of one cell has one cell");

    ui.grid->setColCount(8);
    const QByteArray changed = vorgrd::SaveComponent(*ui.grid);
    ui.retranslateUi(&form);
    check(vorgrd::SaveComponent(*ui.grid) == changed, "retranslateUi leaves the columns the program changed");
    return finish("designerform");
}
