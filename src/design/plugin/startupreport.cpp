#include "startupreport.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerWidgetBoxInterface>

#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

// The group whose entry carries our class, or an empty text.
QString groupListingTvorgrid(const QDesignerWidgetBoxInterface &box)
{
    for (int c = 0; c < box.categoryCount(); ++c) {
        const QDesignerWidgetBoxInterface::Category category = box.category(c);
        for (int w = 0; w < category.widgetCount(); ++w)
            if (category.widget(w).name() == QLatin1String("tvorgrid") ||
                category.widget(w).name() == QLatin1String("vorgrd::tvorgrid"))
                return category.name();
    }
    return {};
}

} // namespace

void reportWidgetBoxWhenReady(QDesignerFormEditorInterface *core)
{
    if (!qEnvironmentVariableIsSet("VORGRD_DESIGNER_REPORT") || !core) return;
    // The widget box is filled after the plugins are initialised: look again until
    // it is there (Designer's own start-up, a few event-loop turns).
    auto *timer = new QTimer(core);
    QPointer<QDesignerFormEditorInterface> editor(core);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, editor]() {
        QDesignerWidgetBoxInterface *box = editor ? editor->widgetBox() : nullptr;
        const QString group = box ? groupListingTvorgrid(*box) : QString();
        if (group.isEmpty()) return;
        std::fprintf(stderr, "vorgrd: Designer lists tvorgrid in \"%s\"\n", qPrintable(group));
        std::fflush(stderr);
        timer->deleteLater();
    });
    timer->start(200);
}
