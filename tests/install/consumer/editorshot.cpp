// Renders the column editor, open on a grid with configured columns, into a PNG
// file (offscreen): the picture of the dialog in the documentation.
#include <vorgrd/design/strcoled.h>
#include <vorgrd/grid/vorGrid.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>

#include <cstdio>

using namespace vorgrd;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: editorshot <out.png>\n");
        return 2;
    }
    tvorgrid grid;
    grid.setColCount(4);
    const char *names[] = {"Code", "Price", "Paid", "Region"};
    for (int i = 0; i < 4; ++i)
        grid.columns()->GeTmColumn(i)->SetcolumnName(QLatin1String(names[i]));
    grid.columns()->GeTmColumn(1)->settype(ftnumeric);
    grid.columns()->GeTmColumn(1)->SetAlignment(taRightJustify);
    grid.columns()->GeTmColumn(1)->SetDisplayformat(QStringLiteral("0.00"));
    TmGridColEditor editor;
    editor.setEditColumns(grid.columns());
    editor.show();
    editor.findChild<QListWidget *>(QStringLiteral("ColumnList"))->setCurrentRow(1);
    return editor.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
