#pragma once
// "Edit Columns..." in Designer's context menu of a tvorgrid (and on double-click):
// opens the column editor on the grid in the form and records the result as a change
// of the grid's ColumnsJson property, so that the form is marked modified, the .ui
// file keeps the columns and Designer's undo can take the edit back.

#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

#include <QPointer>

class QAction;

namespace vorgrd {
class tvorgrid;
}

class ColumnsTaskMenu : public QObject, public QDesignerTaskMenuExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)
public:
    ColumnsTaskMenu(vorgrd::tvorgrid *grid, QObject *parent);

    QAction *preferredEditAction() const override;
    QList<QAction *> taskActions() const override;

private:
    void editColumns();

    QPointer<vorgrd::tvorgrid> m_grid;
    QAction *m_editAction;
};

// Gives the task menu to tvorgrid (and classes derived from it) only.
class ColumnsTaskMenuFactory : public QExtensionFactory
{
    Q_OBJECT
public:
    explicit ColumnsTaskMenuFactory(QExtensionManager *parent = nullptr);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;
};
