// Writes gridform.ui: a form holding one tvorgrid with configured columns, in the
// form Qt Designer saves it (the columns in the ColumnsJson string property), and
// expected.json: the grid's form stream, which both ways of building the form must
// reproduce.
#include <vorgrd/grid/vorGrid.h>
#include <vorgrd/host/formstream.h>

#include <QApplication>
#include <QFile>
#include <QXmlStreamWriter>

#include <cstdio>

using namespace vorgrd;

namespace {

void configure(tvorgrid &grid)
{
    grid.setColCount(4);
    grid.setRowCount(6);
    grid.setKeyPos(3);
    grid.setClickFixed(true);
    TvorgridColumns &columns = *grid.columns();
    columns.GeTmColumn(0)->SetcolumnName(QStringLiteral("Code"));
    columns.GeTmColumn(0)->SetWidth(48);
    columns.GeTmColumn(1)->SetcolumnName(QStringLiteral("Price"));
    columns.GeTmColumn(1)->settype(ftnumeric);
    columns.GeTmColumn(1)->SetDisplayformat(QStringLiteral("0.00"));
    columns.GeTmColumn(1)->SetAlignment(taRightJustify);
    columns.GeTmColumn(1)->Title()->SetCaption(QStringLiteral("Unit price"));
    columns.GeTmColumn(1)->Title()->SetColor(clYellow);
    columns.GeTmColumn(2)->SetcolumnName(QStringLiteral("Paid"));
    columns.GeTmColumn(2)->settype(ftcheckbox);
    columns.GeTmColumn(2)->SetColor(clAqua);
    columns.GeTmColumn(3)->SetcolumnName(QStringLiteral("Region"));
    columns.GeTmColumn(3)->GetPickList()->setStringList({QStringLiteral("North"), QStringLiteral("South")});
    columns.GeTmColumn(3)->SetHide(true);
    grid.setshowtitles(true);
}

void geometry(QXmlStreamWriter &xml, int width, int height)
{
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("geometry"));
    xml.writeStartElement(QStringLiteral("rect"));
    xml.writeTextElement(QStringLiteral("x"), QStringLiteral("10"));
    xml.writeTextElement(QStringLiteral("y"), QStringLiteral("10"));
    xml.writeTextElement(QStringLiteral("width"), QString::number(width));
    xml.writeTextElement(QStringLiteral("height"), QString::number(height));
    xml.writeEndElement();
    xml.writeEndElement();
}

void property(QXmlStreamWriter &xml, const char *name, const char *type, const QString &value)
{
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), QLatin1String(name));
    xml.writeTextElement(QLatin1String(type), value);
    xml.writeEndElement();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: makeform <form.ui> <expected.json>\n");
        return 2;
    }
    tvorgrid grid;
    configure(grid);

    QFile form(QString::fromLocal8Bit(argv[1]));
    QFile expected(QString::fromLocal8Bit(argv[2]));
    if (!form.open(QIODevice::WriteOnly) || !expected.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "makeform: cannot write the output files\n");
        return 1;
    }
    expected.write(SaveComponent(grid));

    QXmlStreamWriter xml(&form);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ui"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
    xml.writeTextElement(QStringLiteral("class"), QStringLiteral("GridForm"));
    xml.writeStartElement(QStringLiteral("widget"));
    xml.writeAttribute(QStringLiteral("class"), QStringLiteral("QWidget"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("GridForm"));
    geometry(xml, 420, 240);
    xml.writeStartElement(QStringLiteral("widget"));
    xml.writeAttribute(QStringLiteral("class"), QStringLiteral("vorgrd::tvorgrid"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("grid"));
    // In the order Designer writes them: the base's properties before the grid's own.
    geometry(xml, 400, 200);
    property(xml, "ColCount", "number", QString::number(grid.ColCount()));
    property(xml, "RowCount", "number", QString::number(grid.RowCount()));
    property(xml, "KeyPos", "number", QString::number(grid.KeyPos()));
    property(xml, "ClickFixed", "bool", QStringLiteral("true"));
    property(xml, "showtitles", "bool", QStringLiteral("true"));
    property(xml, "ColumnsJson", "string", grid.ColumnsJson());
    xml.writeEndElement(); // grid
    xml.writeEndElement(); // GridForm
    xml.writeStartElement(QStringLiteral("customwidgets"));
    xml.writeStartElement(QStringLiteral("customwidget"));
    xml.writeTextElement(QStringLiteral("class"), QStringLiteral("vorgrd::tvorgrid"));
    xml.writeTextElement(QStringLiteral("extends"), QStringLiteral("QAbstractScrollArea"));
    xml.writeTextElement(QStringLiteral("header"), QStringLiteral("vorgrd/grid/vorGrid.h"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement(); // ui
    xml.writeEndDocument();
    return 0;
}
