// The grid in .ui forms: as uic's code builds them (it must compile as an application
// includes it, so its header comes first, before any using directive) and as
// QUiLoader does, where properties arrive one by one through setProperty in the order
// of the file and Qt's code around them takes no exception.
#include "ui_optionsform.h"

#include "grid/vorGrid.h"
#include "host/formstream.h"
#include "host/warningcapture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QMetaProperty>
#include <QUiLoader>

#include <gtest/gtest.h>

#include <memory>

using namespace vorgrd;

namespace {

// QUiLoader without the Designer plugin on the plugin path: it makes our class itself
// (the install test runs the real plugin).
class GridLoader : public QUiLoader
{
public:
    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override
    {
        if (className != QLatin1String("vorgrd::tvorgrid")) return QUiLoader::createWidget(className, parent, name);
        auto *grid = new tvorgrid(parent);
        grid->setObjectName(name);
        return grid;
    }
};

QString property(const char *name, const char *type, const QString &value, const char *attributes = "")
{
    return QStringLiteral("<property name=\"%1\"><%2%3>%4</%2></property>\n")
        .arg(QLatin1String(name), QLatin1String(type), QLatin1String(attributes), value.toHtmlEscaped());
}

QString number(const char *name, int value)
{
    return property(name, "number", QString::number(value));
}

// A form holding one grid named "grid" with these properties, as Designer writes it.
QByteArray form(const QString &gridProperties)
{
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>GridForm</class>
 <widget class="QWidget" name="GridForm">
  <widget class="vorgrd::tvorgrid" name="grid">
%1  </widget>
 </widget>
 <customwidgets>
  <customwidget>
   <class>vorgrd::tvorgrid</class>
   <extends>QAbstractScrollArea</extends>
   <header>vorgrd/grid/vorGrid.h</header>
  </customwidget>
 </customwidgets>
</ui>
)")
        .arg(gridProperties)
        .toUtf8();
}

struct Loaded
{
    std::unique_ptr<QWidget> form;
    tvorgrid *grid = nullptr;
};

Loaded load(QUiLoader &loader, const QByteArray &ui)
{
    QBuffer buffer;
    buffer.setData(ui);
    buffer.open(QIODevice::ReadOnly);
    Loaded loaded;
    loaded.form.reset(loader.load(&buffer));
    if (loaded.form) loaded.grid = loaded.form->findChild<tvorgrid *>(QStringLiteral("grid"));
    return loaded;
}

} // namespace

TEST(UiForms, UicsCodeSetsFlagsEnumerationsAndColumns)
{
    QWidget form;
    Ui::OptionsForm ui;
    ui.setupUi(&form);
    const tvorgrid &grid = *ui.grid;
    EXPECT_EQ(grid.Options(), goFixedVertLine | goVertLine | goEditing | goColSizing);
    EXPECT_EQ(grid.ScrollBars(), ssVertical);
    EXPECT_EQ(grid.KeyType(), soNumeric);
    EXPECT_EQ(grid.UseFixed(), hfSmart);
    EXPECT_EQ(grid.Color(), clInfoBk);
    EXPECT_TRUE(grid.ReverseSearch());
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.FixedRows(), 0);
    EXPECT_EQ(grid.Cells(1, 0), QStringLiteral("Price")) << "the title row";
    EXPECT_EQ(grid.columns()->GeTmColumn(2)->gettype(), ftcheckbox);
}

TEST(UiForms, DesignerIsShownOnlyPropertiesOfTypesItCanEdit)
{
    // Designer says "The property ... of type (unknown) is not supported yet!" for
    // any other type it is shown.
    const QMetaObject &meta = tvorgrid::staticMetaObject;
    for (int i = QAbstractScrollArea::staticMetaObject.propertyCount(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.isDesignable() || property.isEnumType()) continue;
        const int type = property.metaType().id();
        EXPECT_TRUE(type == QMetaType::Bool || type == QMetaType::Int || type == QMetaType::UInt ||
                    type == QMetaType::QString)
            << property.name() << " of type " << property.metaType().name();
    }
}

TEST(UiForms, CountsWithoutFixedLinesLoadAsDesigned)
{
    struct Shape
    {
        int cols, rows, fixedCols, fixedRows;
    };
    const Shape shapes[] = {{1, 1, 0, 0}, {5, 1, 1, 0}, {1, 4, 0, 3}, {12, 9, 11, 8}};
    GridLoader loader;
    for (const Shape &s : shapes) {
        SCOPED_TRACE(testing::Message() << s.cols << " x " << s.rows << ", fixed " << s.fixedCols << " x " << s.fixedRows);
        // Designer's order: the counts before the fixed counts.
        const Loaded loaded = load(loader, form(number("ColCount", s.cols) + number("RowCount", s.rows) +
                                                number("FixedCols", s.fixedCols) + number("FixedRows", s.fixedRows)));
        ASSERT_TRUE(loaded.grid);
        EXPECT_EQ(loaded.grid->ColCount(), s.cols);
        EXPECT_EQ(loaded.grid->RowCount(), s.rows);
        EXPECT_EQ(loaded.grid->FixedCols(), s.fixedCols);
        EXPECT_EQ(loaded.grid->FixedRows(), s.fixedRows);
        loaded.grid->checkConsistency();
    }
}

TEST(UiForms, ValuesOutOfRangeAreRefusedWithAWarningAndTheFormStillLoads)
{
    GridLoader loader;
    tvorgrid untouched;
    test::WarningCapture warnings;
    const Loaded loaded = load(loader, form(number("ColCount", 1000000) + number("RowCount", -5) +
                                            number("FixedRows", 50) + number("KeyPos", 3)));
    ASSERT_TRUE(loaded.grid);
    EXPECT_TRUE(warnings.contains("tvorgrid::ColCount refused the value 1000000"));
    EXPECT_TRUE(warnings.contains("tvorgrid::RowCount refused the value -5"));
    EXPECT_TRUE(warnings.contains("tvorgrid::FixedRows refused the value 50"));
    EXPECT_EQ(loaded.grid->KeyPos(), 3) << "the properties after a refused one are set";
    loaded.grid->setKeyPos(1);
    EXPECT_EQ(SaveComponent(*loaded.grid), SaveComponent(untouched));
}

TEST(UiForms, ALanguageChangeDoesNotPutBackColumnsFromATranslatableText)
{
    // A .ui saved without the notr mark on ColumnsJson: QUiLoader with language
    // changes on (as uic's retranslateUi()) writes the text again on every change.
    tvorgrid designed;
    designed.setColCount(5);
    designed.columns()->GeTmColumn(2)->SetcolumnName(QStringLiteral("Price"));
    GridLoader loader;
    loader.setLanguageChangeEnabled(true);
    const Loaded loaded = load(loader, form(property("ColumnsJson", "string", designed.ColumnsJson())));
    ASSERT_TRUE(loaded.grid);
    ASSERT_EQ(loaded.grid->columns()->GeTmColumn(2)->columnName(), QStringLiteral("Price"));

    loaded.grid->setColCount(8);
    loaded.grid->columns()->GeTmColumn(2)->SetDisplayformat(QStringLiteral("#,##0.00"));
    const QByteArray changed = SaveComponent(*loaded.grid);
    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(loaded.grid, &languageChange);
    EXPECT_EQ(SaveComponent(*loaded.grid), changed);

    // Another text is still taken, and LoadColumnsJson always applies its text.
    loaded.grid->setColumnsJson(QStringLiteral("[{\"columnName\":\"Other\"}]"));
    EXPECT_EQ(loaded.grid->ColCount(), 2);
    loaded.grid->LoadColumnsJson(designed.ColumnsJson());
    EXPECT_EQ(loaded.grid->ColCount(), 5);
}
