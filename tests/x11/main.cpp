// Main of the real-clipboard tests. They need an X server and Qt's xcb platform,
// whatever the caller's environment says: run from CTest (which asks for the
// offscreen platform) the program starts itself again under `xvfb-run -a`, which
// brings up a private Xvfb on a free display and takes it down afterwards.
#include "host/formatsettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr char ChildMarker[] = "VORGRD_X11_CLIPBOARD_CHILD";

int runUnderXvfb(int argc, char **argv)
{
    // Under LeakSanitizer: libdbus, which the xcb platform loads, keeps a buffer to the
    // end; only that library's allocations are let go.
    QTemporaryFile suppressions;
    if (suppressions.open()) {
        suppressions.write("leak:libdbus-1.so\n");
        suppressions.flush();
    }
    QStringList arguments{QStringLiteral("-a"), QStringLiteral("env"),
                          QStringLiteral("%1=1").arg(QLatin1String(ChildMarker)),
                          QStringLiteral("QT_QPA_PLATFORM=xcb"),
                          QStringLiteral("LSAN_OPTIONS=suppressions=") + suppressions.fileName()};
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QStringLiteral("xvfb-run"), arguments);
    if (!child.waitForStarted()) {
        std::fprintf(stderr, "cannot start xvfb-run (scripts/install-deps.sh installs it)\n");
        return 1;
    }
    child.waitForFinished(-1);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty(ChildMarker)) {
        QCoreApplication app(argc, argv);
        return runUnderXvfb(argc, argv);
    }
    QApplication app(argc, argv);
    vorgrd::setFormatSettings(vorgrd::FormatSettings::invariant());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
