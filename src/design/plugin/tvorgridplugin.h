#pragma once
// The Qt Designer plugin of vorgrd: offers tvorgrid in the widget box (group
// "Additional", icon "TVORGRID", tool tip "VOR grid component") and gives every
// tvorgrid on a form an "Edit Columns..." task-menu entry, which is also what a
// double-click on the grid does.

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

class TvorgridDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface" FILE "vorgrd.json")
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    explicit TvorgridDesignerPlugin(QObject *parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    bool m_initialized = false;
};
