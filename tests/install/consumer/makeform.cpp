// Writes gridform.ui and expected.json. The form holds two grids, written in the form
// Qt Designer saves them:
//   grid    every property of ours that Designer lets a user change, set to a value
//           other than a new grid's (Options, the enumerations, the colours, the
//           columns in ColumnsJson, ...), in Designer's order and syntax: the base's
//           properties first, enumerations and flags with their namespace, stdset="0"
//           where the setter is not set + the name. ColumnsJson is written as an
//           older Designer wrote it, without notr="true", so that uic puts it into
//           retranslateUi();
//   single  one column and one row without fixed lines.
// expected.json is `grid`'s form stream, which every way of building the form must
// reproduce.
#include <vorgrd/grid/vorGrid.h>
#include <vorgrd/host/formstream.h>

#include <QApplication>
#include <QFile>
#include <QMetaProperty>
#include <QXmlStreamWriter>

#include <cstdio>
#include <cstdlib>

using namespace vorgrd;

namespace {

void configure(tvorgrid &grid)
{
    grid.setColCount(4);
    grid.setRowCount(6);
    grid.setFixedCols(2);
    grid.setFixedRows(2);
    grid.setDefaultColWidth(70);
    grid.setDefaultRowHeight(20);
    grid.setGridLineWidth(2);
    grid.setColor(clInfoBk);
    grid.setFixedColor(clYellow);
    grid.setOptions(grid.Options() | goEditing | goColSizing | goTabs);
    grid.setScrollBars(ssVertical);
    grid.setDefaultDrawing(false);
    grid.setKeyType(soNumeric);
    grid.setKeyPos(3);
    grid.setKeyLen(4);
    grid.setUseFixed(hfSmart);
    grid.setSearchSubstring(true);
    grid.setEnableClipboardShortcuts(true);
    grid.setPasteToCursor(true);
    grid.setClickFixed(true);
    grid.setSortDescending(true);
    grid.SetReverseSearch(true);
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

// The properties of ours that Designer shows and lets a user change, in its order.
QList<QMetaProperty> designable(const QObject &object)
{
    QList<QMetaProperty> properties;
    const QMetaObject *meta = object.metaObject();
    for (int i = QAbstractScrollArea::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        if (meta->property(i).isDesignable() && meta->property(i).isWritable()) properties << meta->property(i);
    return properties;
}

// An enumeration value as Designer writes it: with its namespace.
QString qualified(const QMetaEnum &meta, const QByteArray &keys)
{
    QStringList names;
    for (const QByteArray &key : keys.split('|'))
        names << QString::fromLatin1(meta.scope()) + QStringLiteral("::") + QString::fromLatin1(key);
    return names.join(u'|');
}

void writeProperty(QXmlStreamWriter &xml, const QMetaProperty &property, const QVariant &value)
{
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), QLatin1String(property.name()));
    if (!property.hasStdCppSet()) xml.writeAttribute(QStringLiteral("stdset"), QStringLiteral("0"));
    const QMetaEnum meta = property.enumerator();
    if (property.isFlagType()) {
        xml.writeTextElement(QStringLiteral("set"), qualified(meta, meta.valueToKeys(value.toInt())));
    } else if (property.isEnumType()) {
        xml.writeTextElement(QStringLiteral("enum"), qualified(meta, meta.valueToKey(value.toInt())));
    } else {
        switch (property.metaType().id()) {
        case QMetaType::Bool:
            xml.writeTextElement(QStringLiteral("bool"), value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
            break;
        case QMetaType::Int:
            xml.writeTextElement(QStringLiteral("number"), QString::number(value.toInt()));
            break;
        case QMetaType::UInt:
            xml.writeTextElement(QStringLiteral("UInt"), QString::number(value.toUInt()));
            break;
        case QMetaType::QString:
            xml.writeTextElement(QStringLiteral("string"), value.toString());
            break;
        default:
            std::fprintf(stderr, "makeform: Designer shows %s, of a type this form cannot write\n", property.name());
            std::exit(1);
        }
    }
    xml.writeEndElement();
}

void geometry(QXmlStreamWriter &xml, int y, int width, int height)
{
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("geometry"));
    xml.writeStartElement(QStringLiteral("rect"));
    xml.writeTextElement(QStringLiteral("x"), QStringLiteral("10"));
    xml.writeTextElement(QStringLiteral("y"), QString::number(y));
    xml.writeTextElement(QStringLiteral("width"), QString::number(width));
    xml.writeTextElement(QStringLiteral("height"), QString::number(height));
    xml.writeEndElement();
    xml.writeEndElement();
}

// A grid with the properties that differ from a new grid's, as Designer stores only
// the properties a user changed.
void writeGrid(QXmlStreamWriter &xml, const QString &name, int y, const tvorgrid &grid)
{
    const tvorgrid fresh;
    xml.writeStartElement(QStringLiteral("widget"));
    xml.writeAttribute(QStringLiteral("class"), QStringLiteral("vorgrd::tvorgrid"));
    xml.writeAttribute(QStringLiteral("name"), name);
    geometry(xml, y, 400, 200);
    for (const QMetaProperty &property : designable(grid))
        if (property.read(&grid) != property.read(&fresh)) writeProperty(xml, property, property.read(&grid));
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
    // A property Designer offers that this form leaves at its default would go
    // untested: every one must be set.
    const tvorgrid fresh;
    for (const QMetaProperty &property : designable(grid))
        if (property.read(&grid) == property.read(&fresh)) {
            std::fprintf(stderr, "makeform: Designer offers %s, which configure() leaves unset\n", property.name());
            return 1;
        }
    tvorgrid single;
    single.setColCount(1);
    single.setRowCount(1);
    single.setFixedCols(0);
    single.setFixedRows(0);

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
    geometry(xml, 10, 420, 460);
    writeGrid(xml, QStringLiteral("grid"), 10, grid);
    writeGrid(xml, QStringLiteral("single"), 240, single);
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
