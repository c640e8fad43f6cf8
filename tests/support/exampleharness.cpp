// Linked into every program the documentation shows (tests/CMakeLists.txt): once the
// program's event loop runs, it is told to quit, so that a test can run a windowed
// example to its end. Nothing else of the program changes.
#include <QCoreApplication>
#include <QTimer>

namespace {

void quitOnceTheEventLoopRuns()
{
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(quitOnceTheEventLoopRuns)
