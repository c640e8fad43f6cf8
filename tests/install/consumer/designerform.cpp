// The form as Qt Designer itself saved it, with the plugin loaded and after an edit of
// the columns in the column editor (tests/install/run.sh), compiled by uic: the grid
// uic's code builds must be the grid Designer held, the grid of one cell must have
// one cell, and a language change must leave the columns the program changed.
#include "ui_designerform.h" // first, before any using: as an application includes it

#include <vorgrd/host/formstream.h>

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace {

int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFile expectedFile(QStringLiteral(EXPECTED_FILE));
    if (!expectedFile.open(QIODevice::ReadOnly)) return 2;
    const QByteArray expected = expectedFile.readAll();

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
    std::printf("%s\n", failures ? "designerform: FAILED" : "designerform: all checks passed");
    return failures ? 1 : 0;
}
