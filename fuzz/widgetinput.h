#pragma once
// What the widget fuzzers share: one QApplication for the whole run (the platform is
// offscreen, set by scripts/run-fuzz.sh) and the invariant format settings, so that
// results do not depend on the machine's locale.
#include "host/formatsettings.h"

#include <QApplication>

namespace vorgrd::fuzz {

inline void startWidgets()
{
    static int argc = 1;
    static char name[] = "vorgrd-fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static const bool pinned = [] {
        setFormatSettings(FormatSettings::invariant());
        return true;
    }();
    (void)pinned;
}

} // namespace vorgrd::fuzz
