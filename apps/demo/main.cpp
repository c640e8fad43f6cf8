// The demo application: a small orders application built on tvorgrid.
//
//   vorgrd-demo                    opens the window
//   vorgrd-demo --screenshot FILE  renders the window into FILE (PNG) and exits
//   vorgrd-demo --tour DIR         runs the scripted tour (demotour.h), one picture
//                                  per step in DIR, and exits
//
// Without a display (the offscreen platform) the demo always renders a screenshot,
// to demo-screenshot.png unless a file is given, prints its path and exits 0.
#include "demotour.h"
#include "demowindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace {

int saveScreenshot(DemoWindow &window, const QString &file)
{
    window.show();
    if (!photograph(window).save(file, "PNG")) {
        std::fprintf(stderr, "vorgrd-demo: cannot write %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%s\n", qPrintable(QFileInfo(file).absoluteFilePath()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorgrd-demo"));
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("The vorgrd grid component demo"));
    options.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Render the window into <file> (PNG) and exit."),
                                        QStringLiteral("file"));
    const QCommandLineOption tour(QStringLiteral("tour"),
                                  QStringLiteral("Run the scripted tour, one picture per step in <dir>, and exit."),
                                  QStringLiteral("dir"));
    options.addOption(screenshot);
    options.addOption(tour);
    options.process(app);

    DemoWindow window;
    if (options.isSet(tour)) return runTour(window, options.value(tour));
    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (options.isSet(screenshot) || headless)
        return saveScreenshot(window, options.isSet(screenshot) ? options.value(screenshot)
                                                                : QStringLiteral("demo-screenshot.png"));
    window.show();
    return app.exec();
}
