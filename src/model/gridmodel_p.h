#pragma once
// TvorGridModel's state. Only gridmodel.cpp includes it.

#include "model/gridmodel.h"

#include <QPointer>

namespace vorgrd {

struct VORGRD_AUTOTEST_EXPORT TvorGridModel::Private
{
    QPointer<tvorgrid> m_grid;
    // The counts as the model's users know them: they change only inside the begin/end
    // pairs, while the grid's own counts change in between.
    int m_rows = 0;
    int m_cols = 0;
    // Between linesAboutToChange and linesChanged: what was begun, and whether the
    // columns' appearance changed meanwhile (delivered after the end).
    bool m_inChange = false;
    enum class Begun { Nothing, Insert, Remove, Move, Layout, Reset } m_begun = Begun::Nothing;
    bool m_pendingAppearance = false;
};

} // namespace vorgrd
