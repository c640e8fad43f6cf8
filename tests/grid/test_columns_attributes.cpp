// Every streamed attribute of a column and its title, through the meta-object as the
// form stream reaches them: a new column follows the default, writing the default
// streams nothing, another value is stored, read back, copied by Assign and dropped
// by RestoreDefaults; and which writes reach the grid even when nothing changed.
#include "grid/vorGrid.h"

#include <QMetaClassInfo>
#include <QMetaObject>

#include <functional>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

struct Attribute
{
    const char *name;
    bool onTitle;
    QVariant other; // a value that is not the default
};

QObject *holder(tmcolumn *column, const Attribute &a)
{
    return a.onTitle ? static_cast<QObject *>(column->Title()) : column;
}

// Calls the stored test the property's "stored:" class information names.
bool stored(QObject *object, const char *property)
{
    const QMetaObject *meta = object->metaObject();
    const int info = meta->indexOfClassInfo(QByteArray("stored:") + property);
    EXPECT_GE(info, 0) << property << " has no stored test";
    bool result = false;
    EXPECT_TRUE(QMetaObject::invokeMethod(object, meta->classInfo(info).value(),
                                          Q_RETURN_ARG(bool, result)));
    return result;
}

const Attribute attributes[] = {
    {"Hide", false, true},
    {"Alignment", false, QVariant::fromValue(taCenter)},
    {"VertAlignment", false, QVariant::fromValue(vaCenter)},
    {"Color", false, quint32(clRed)},
    {"ReadOnly", false, true},
    {"Wordwrap", false, false},
    {"Width", false, 117},
    {"columntype", false, QVariant::fromValue(ftnumeric)},
    {"Alignment", true, QVariant::fromValue(taRightJustify)},
    {"Color", true, quint32(clLime)},
    {"Caption", true, QStringLiteral("Price")},
};

} // namespace

TEST(ColumnAttributes, DefaultsStreamNothingAndOtherValuesAreStoredCopiedAndRestored)
{
    tvorgrid grid;
    grid.setColCount(3);
    for (const Attribute &a : attributes) {
        SCOPED_TRACE(std::string(a.onTitle ? "Title." : "") + a.name);
        tmcolumn *column = grid.columns()->GeTmColumn(1);
        QObject *object = holder(column, a);
        const QVariant initial = object->property(a.name);
        EXPECT_FALSE(stored(object, a.name));

        ASSERT_TRUE(object->setProperty(a.name, initial));
        EXPECT_EQ(object->property(a.name), initial);
        EXPECT_FALSE(stored(object, a.name)) << "the default written back must not stream";

        ASSERT_TRUE(object->setProperty(a.name, a.other));
        EXPECT_EQ(object->property(a.name).toString(), a.other.toString());
        EXPECT_TRUE(stored(object, a.name));

        tmcolumn *copy = grid.columns()->GeTmColumn(2);
        copy->Assign(column);
        EXPECT_EQ(holder(copy, a)->property(a.name).toString(), a.other.toString());
        EXPECT_TRUE(stored(holder(copy, a), a.name));

        column->RestoreDefaults();
        EXPECT_EQ(object->property(a.name), initial);
        EXPECT_FALSE(stored(object, a.name));
        copy->RestoreDefaults();
    }
}

// Hide, columntype, Displayformat and Width tell the grid of every write, so a write
// puts the column's width back over one that code wrote into ColWidths; the other
// attributes stay silent when they already hold the value.
TEST(ColumnAttributes, OnlyTheLayoutWritesReachTheGridWhenNothingChanged)
{
    tvorgrid grid;
    grid.setColCount(3);
    tmcolumn *column = grid.columns()->GeTmColumn(1);
    column->SetWidth(90);
    column->SetColor(clRed);
    column->SetAlignment(taCenter);
    const auto rewrites = [&](const std::function<void()> &write) {
        grid.setColWidths(1, 33);
        write();
        return grid.ColWidths(1) == 90;
    };
    EXPECT_TRUE(rewrites([&] { column->SetHide(false); }));
    EXPECT_TRUE(rewrites([&] { column->settype(ftstring); }));
    EXPECT_TRUE(rewrites([&] { column->SetDisplayformat(QString()); }));
    EXPECT_TRUE(rewrites([&] { column->SetWidth(90); }));
    EXPECT_FALSE(rewrites([&] { column->SetColor(clRed); }));
    EXPECT_FALSE(rewrites([&] { column->SetAlignment(taCenter); }));
    EXPECT_TRUE(rewrites([&] { column->Title()->SetCaption(column->Title()->GetCaption()); }))
        << "the first write of a caption assigns it, which the grid hears of";
    EXPECT_FALSE(rewrites([&] { column->Title()->SetCaption(column->Title()->GetCaption()); }));
    EXPECT_TRUE(rewrites([&] { column->SetColor(clBlue); }));
}
