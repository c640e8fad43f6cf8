// Builds the form two ways, through the uic-generated code and through QUiLoader
// with the installed Designer plugin, and checks that both give the grids makeform
// configured: the same form stream (every stored property and every column), the
// same titles in row 0 and the same column widths, and the grid of one cell without
// fixed lines. A language change (retranslateUi) must not put back the columns.
// Exit code 0 when all agree.
//
// uic's header comes first, before any `using namespace`: its code (flag sets such as
// vorgrd::GridTypes::goVertLine|vorgrd::GridTypes::goEditing) must compile as an
// application includes it.
#include "ui_gridform.h"

#include "checks.h"

#include <vorgrd/design/package.h>
#include <vorgrd/grid/vorGrid.h>
#include <vorgrd/host/formstream.h>

#include <QApplication>
#include <QFile>
#include <QUiLoader>

#include <cstdio>

using namespace vorgrd;

namespace {

QStringList titleRow(const tvorgrid &grid)
{
    QStringList texts;
    for (int col = 0; col < grid.ColCount(); ++col)
        texts << grid.Cells(col, 0);
    return texts;
}

QList<int> widths(const tvorgrid &grid)
{
    QList<int> result;
    for (int col = 0; col < grid.ColCount(); ++col)
        result << grid.ColWidths(col);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray expected = expectedStream(EXPECTED_FILE);
    if (expected.isEmpty()) return 2;

    check(PackageName() == QLatin1String("vorgrd") && PackageDescription() == QLatin1String("VOR grid component"),
          "the installed library names itself vorgrd, \"VOR grid component\"");

    QWidget uicForm;
    Ui::GridForm ui;
    ui.setupUi(&uicForm);
    tvorgrid &fromUic = *ui.grid;
    check(SaveComponent(fromUic) == expected, "uic's form holds the configured grid");
    check(fromUic.columns()->Count() == 4 && fromUic.columns()->GeTmColumn(1)->Title()->GetCaption() ==
                                                 QLatin1String("Unit price"),
          "uic's grid has the four columns and their titles");
    check(ui.single->ColCount() == 1 && ui.single->RowCount() == 1 && ui.single->FixedCols() == 0 &&
              ui.single->FixedRows() == 0,
          "uic's grid of one cell without fixed lines has one cell");

    QUiLoader loader;
    check(loader.availableWidgets().contains(QStringLiteral("vorgrd::tvorgrid")),
          "QUiLoader finds the Designer plugin");
    QFile formFile(QStringLiteral(FORM_FILE));
    if (!formFile.open(QIODevice::ReadOnly)) return 2;
    std::unique_ptr<QWidget> loadedForm(loader.load(&formFile));
    auto *fromLoader = loadedForm ? loadedForm->findChild<tvorgrid *>(QStringLiteral("grid")) : nullptr;
    check(fromLoader != nullptr, "QUiLoader creates a tvorgrid");
    if (fromLoader) {
        check(SaveComponent(*fromLoader) == expected, "QUiLoader's grid is the configured grid");
        check(titleRow(*fromLoader) == titleRow(fromUic), "both grids show the same titles");
        check(widths(*fromLoader) == widths(fromUic), "both grids have the same column widths");
        check(fromLoader->ColWidths(3) == 0, "the hidden column has width 0");
    }
    auto *single = loadedForm ? loadedForm->findChild<tvorgrid *>(QStringLiteral("single")) : nullptr;
    check(single && single->ColCount() == 1 && single->RowCount() == 1 && single->FixedCols() == 0 &&
              single->FixedRows() == 0,
          "QUiLoader's grid of one cell without fixed lines has one cell");

    // The form was saved without notr="true" on ColumnsJson, as older Designers did,
    // so uic sets the columns again in retranslateUi().
    fromUic.setColCount(8);
    fromUic.columns()->GeTmColumn(1)->SetDisplayformat(QStringLiteral("#,##0.000"));
    const QByteArray changed = SaveComponent(fromUic);
    ui.retranslateUi(&uicForm); // what a language change runs
    check(SaveComponent(fromUic) == changed, "retranslateUi leaves the columns the program changed");
    return finish("consumer");
}
