// Shared main of every test program: Qt on the offscreen platform, one QApplication
// for the whole run, and the invariant format settings so that no result depends on
// the machine's locale.
#include "host/formatsettings.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vorgrd::setFormatSettings(vorgrd::FormatSettings::invariant());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
