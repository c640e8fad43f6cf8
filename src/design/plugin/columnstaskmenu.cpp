#include "columnstaskmenu.h"

#include "design/strcoled.h"
#include "grid/vorGrid.h"

#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
// Designer's own string value, the one public way to tell it a text is no text for
// translators (see editColumns).
#include <QtDesigner/private/qdesigner_utils_p.h>

#include <QAction>

ColumnsTaskMenu::ColumnsTaskMenu(vorgrd::tvorgrid *grid, QObject *parent)
    : QObject(parent), m_grid(grid), m_editAction(new QAction(tr("Edit Columns..."), this))
{
    connect(m_editAction, &QAction::triggered, this, &ColumnsTaskMenu::editColumns);
}

QAction *ColumnsTaskMenu::preferredEditAction() const
{
    return m_editAction;
}

QList<QAction *> ColumnsTaskMenu::taskActions() const
{
    return {m_editAction};
}

void ColumnsTaskMenu::editColumns()
{
    if (!m_grid) return;
    vorgrd::tvorgrid *grid = m_grid;
    const QString before = grid->ColumnsJson();
    QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(grid);
    vorgrd::tmcolumnsproperty editor(grid->columns(), [grid, form, before]() {
        if (!form) return;
        const QString after = grid->ColumnsJson();
        if (after != before) {
            // The dialog edited the live columns; going back and setting the result
            // through the form's cursor makes it one undoable property change that
            // Designer marks as changed (and therefore writes into the .ui file).
            // (LoadColumnsJson: setColumnsJson would skip a text it took last.) The
            // text is the grid's own, so it reads back.
            grid->LoadColumnsJson(before);
            // A plain QString would make Designer store the text as translatable
            // (the notr mark in domXml() only reaches its property editor), and
            // save it without notr="true": uic would write it again on every language
            // change and lupdate would hand the JSON to translators.
            const qdesigner_internal::PropertySheetStringValue value(after, /*translatable=*/false);
            form->cursor()->setWidgetProperty(grid, QStringLiteral("ColumnsJson"), QVariant::fromValue(value));
        }
        form->setDirty(true);
    });
    editor.Edit(grid->window());
}

ColumnsTaskMenuFactory::ColumnsTaskMenuFactory(QExtensionManager *parent) : QExtensionFactory(parent) {}

QObject *ColumnsTaskMenuFactory::createExtension(QObject *object, const QString &iid, QObject *parent) const
{
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
    if (auto *grid = qobject_cast<vorgrd::tvorgrid *>(object)) return new ColumnsTaskMenu(grid, parent);
    return nullptr;
}
