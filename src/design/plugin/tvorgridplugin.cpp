#include "tvorgridplugin.h"

#include "columnstaskmenu.h"
#include "startupreport.h"
#include "design/package.h"
#include "grid/vorGrid.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include <QIcon>
#include <QPixmap>

TvorgridDesignerPlugin::TvorgridDesignerPlugin(QObject *parent) : QObject(parent) {}

QString TvorgridDesignerPlugin::name() const
{
    // The class name as C++ spells it: uic declares and creates the widget by it.
    return QStringLiteral("vorgrd::tvorgrid");
}

QString TvorgridDesignerPlugin::group() const
{
    return QStringLiteral("Additional");
}

QString TvorgridDesignerPlugin::toolTip() const
{
    return vorgrd::PackageDescription();
}

QString TvorgridDesignerPlugin::whatsThis() const
{
    return QStringLiteral("A spreadsheet-like grid with typed, formatted columns. "
                          "Double-click it to edit its columns.");
}

QString TvorgridDesignerPlugin::includeFile() const
{
    return QStringLiteral("vorgrd/grid/vorGrid.h");
}

QIcon TvorgridDesignerPlugin::icon() const
{
    // The palette bitmap the runtime library carries, found by the class name in
    // capitals.
    return QIcon(QPixmap(QStringLiteral(":/vorgrd/TVORGRID")));
}

bool TvorgridDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *TvorgridDesignerPlugin::createWidget(QWidget *parent)
{
    return new vorgrd::tvorgrid(parent);
}

bool TvorgridDesignerPlugin::isInitialized() const
{
    return m_initialized;
}

void TvorgridDesignerPlugin::initialize(QDesignerFormEditorInterface *core)
{
    if (m_initialized) return;
    // QUiLoader runs plugins without a form editor; only Designer gets the task menu.
    if (core && core->extensionManager()) {
        QExtensionManager *manager = core->extensionManager();
        manager->registerExtensions(new ColumnsTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
        reportWidgetBoxWhenReady(core);
    }
    m_initialized = true;
}

QString TvorgridDesignerPlugin::domXml() const
{
    // ColumnsJson is data, not a text for translators: marked notr, Designer saves it
    // as <string notr="true">, so uic sets it once in setupUi() instead of again on
    // every language change, and lupdate leaves it out.
    return QStringLiteral(R"(<ui language="c++" displayname="tvorgrid">
 <widget class="vorgrd::tvorgrid" name="vorgrid">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>320</width><height>160</height></rect>
  </property>
 </widget>
 <customwidgets>
  <customwidget>
   <class>vorgrd::tvorgrid</class>
   <propertyspecifications>
    <stringpropertyspecification name="ColumnsJson" notr="true" type="singleline"/>
   </propertyspecifications>
  </customwidget>
 </customwidgets>
</ui>
)");
}
