#include "startupreport.h"

#include "design/strcoled.h"
#include "grid/columns.h"
#include "grid/vorGrid.h"
#include "host/formstream.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QDesignerWidgetBoxInterface>
#include <QtDesigner/QExtensionManager>
#include <QtDesigner/private/pluginmanager_p.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QUndoStack>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

void report(const QString &line)
{
    std::fprintf(stderr, "vorgrd: %s\n", qPrintable(line));
    std::fflush(stderr);
}

// The group whose entry carries our class, or an empty text.
QString groupListingTvorgrid(const QDesignerWidgetBoxInterface &box)
{
    for (int c = 0; c < box.categoryCount(); ++c) {
        const QDesignerWidgetBoxInterface::Category category = box.category(c);
        for (int w = 0; w < category.widgetCount(); ++w) {
            const QString name = category.widget(w).name();
            if (name == QLatin1String("tvorgrid") || name == QLatin1String("vorgrd::tvorgrid"))
                return category.name();
        }
    }
    return {};
}

vorgrd::tvorgrid *gridOnTheOpenForm(QDesignerFormEditorInterface &core)
{
    QDesignerFormWindowManagerInterface *forms = core.formWindowManager();
    if (!forms || forms->formWindowCount() == 0) return nullptr;
    QWidget *container = forms->formWindow(0)->mainContainer();
    return container ? container->findChild<vorgrd::tvorgrid *>() : nullptr;
}

// Once the editor is up (it runs modally, so this is polled from its event loop):
// unless the picture is wanted (VORGRD_DESIGNER_REPORT=keep-open), one column is
// added and the editor closed with OK, as a developer would.
void reportEditorWhenOpen(QObject *owner)
{
    auto *poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll]() {
        auto *editor = qobject_cast<vorgrd::TmGridColEditor *>(QApplication::activeModalWidget());
        if (!editor || !editor->EditColumns()) return;
        report(QStringLiteral("the column editor is open on %1 columns").arg(editor->EditColumns()->Count()));
        poll->deleteLater();
        if (qEnvironmentVariable("VORGRD_DESIGNER_REPORT") == QLatin1String("keep-open")) return;
        editor->findChild<QPushButton *>(QStringLiteral("NewButton"))->click();
        editor->findChild<QPushButton *>(QStringLiteral("OkButton"))->click();
    });
    poll->start(100);
}

// After the editor closed: what Designer now holds for the form.
void reportForm(QDesignerFormEditorInterface &core, vorgrd::tvorgrid &grid)
{
    QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(&grid);
    auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(core.extensionManager(), &grid);
    const int index = sheet ? sheet->indexOf(QStringLiteral("ColumnsJson")) : -1;
    const bool stored = index >= 0 && sheet->isChanged(index);
    // The sheet holds texts in a type of Designer's own; the grid has the same value.
    const int count = int(QJsonDocument::fromJson(grid.ColumnsJson().toUtf8()).array().size());
    report(QStringLiteral("after OK the form is %1, ColumnsJson is %2 with %3 columns, undo %4")
               .arg(form && form->isDirty() ? QStringLiteral("modified") : QStringLiteral("unmodified"),
                    stored ? QStringLiteral("stored") : QStringLiteral("not stored"), QString::number(count),
                    form && form->commandHistory()->canUndo() ? QStringLiteral("possible")
                                                              : QStringLiteral("impossible")));
}

// With VORGRD_DESIGNER_SAVE=<file>: the form as Designer writes it into <file>, and
// the grid's form stream into <file>.json, for the install test to compile the form
// with uic and compare the grid uic's code builds.
void saveForm(QDesignerFormWindowInterface *form, const vorgrd::tvorgrid &grid)
{
    const QString path = qEnvironmentVariable("VORGRD_DESIGNER_SAVE");
    if (path.isEmpty() || !form) return;
    QFile ui(path);
    QFile stream(path + QStringLiteral(".json"));
    const bool saved = ui.open(QIODevice::WriteOnly) && ui.write(form->contents().toUtf8()) > 0 &&
                       stream.open(QIODevice::WriteOnly) && stream.write(vorgrd::SaveComponent(grid)) > 0;
    report(saved ? QStringLiteral("saved the form") : QStringLiteral("could not save the form"));
}

// How Designer took the plugin's notr mark on ColumnsJson: it is to be
// no text for translators (Designer's own plugin manager, a private interface).
void reportColumnsJsonMark(QDesignerFormEditorInterface &core)
{
    const QDesignerCustomWidgetData data = core.pluginManager()->customWidgetData(QStringLiteral("vorgrd::tvorgrid"));
    QDesignerCustomWidgetData::StringPropertyType type;
    const bool marked = !data.isNull() && data.xmlStringPropertyType(QStringLiteral("ColumnsJson"), &type);
    report(marked && !type.second ? QStringLiteral("Designer takes ColumnsJson as no text for translators")
                                     : QStringLiteral("Designer takes ColumnsJson as a text for translators"));
}

// Step two, once the widget box is filled: the task menu of the form's grid.
void reportTaskMenu(QDesignerFormEditorInterface &core)
{
    vorgrd::tvorgrid *grid = gridOnTheOpenForm(core);
    auto *menu = grid ? qt_extension<QDesignerTaskMenuExtension *>(core.extensionManager(), grid) : nullptr;
    QAction *edit = menu ? menu->preferredEditAction() : nullptr;
    if (!edit) {
        report(QStringLiteral("no task menu on a tvorgrid of the open form"));
        return;
    }
    report(QStringLiteral("the task menu of %1 offers \"%2\"").arg(grid->objectName(), edit->text()));
    reportEditorWhenOpen(&core);
    QPointer<vorgrd::tvorgrid> target(grid);
    QTimer::singleShot(0, edit, [edit, &core, target]() {
        edit->trigger(); // what a double-click on the grid does; returns once it closed
        if (target && qEnvironmentVariable("VORGRD_DESIGNER_REPORT") != QLatin1String("keep-open")) {
            reportForm(core, *target);
            saveForm(QDesignerFormWindowInterface::findFormWindow(target), *target);
        }
    });
}

} // namespace

void reportWidgetBoxWhenReady(QDesignerFormEditorInterface *core)
{
    if (!qEnvironmentVariableIsSet("VORGRD_DESIGNER_REPORT") || !core) return;
    // The widget box and the forms are built after the plugins are initialised: look
    // again until they are there (Designer's own start-up, a few event-loop turns).
    auto *timer = new QTimer(core);
    QPointer<QDesignerFormEditorInterface> editor(core);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, editor]() {
        QDesignerWidgetBoxInterface *box = editor ? editor->widgetBox() : nullptr;
        const QString group = box ? groupListingTvorgrid(*box) : QString();
        if (group.isEmpty() || !gridOnTheOpenForm(*editor)) return;
        timer->deleteLater();
        report(QStringLiteral("Designer lists tvorgrid in \"%1\"").arg(group));
        reportColumnsJsonMark(*editor);
        if (auto *filter = box->findChild<QLineEdit *>()) filter->setText(QStringLiteral("tvorgrid"));
        reportTaskMenu(*editor);
    });
    timer->start(200);
}
