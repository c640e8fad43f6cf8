#pragma once
// The one guard around every Qt event handler of the grid and of its in-place editor.
//
// Qt's event loop is not exception-safe, and our handlers call application code (the
// OnXxx events, overridden hooks) that may throw anything, a std::exception or an
// `int`. Each Qt handler runs its work inside guardEvent: whatever escapes the work is
// caught, its message is written with qWarning ("vorgrd: <handler>: <message>") so that
// a library user can see why a key or a click did nothing, and the caller's recovery
// runs (the grid resets a drag that the exception interrupted).

#include "host/vorgrdexport.h"

#include <exception>

namespace vorgrd {

// Writes the message of the exception `failure` with qWarning, naming the handler.
// Never throws.
VORGRD_EXPORT void reportEventFailure(const char *handler, std::exception_ptr failure) noexcept;

// Runs `work`; returns true when it finished, false when it threw. After a throw the
// failure is reported and `recover` runs (a recover that throws is reported too).
template <class Work, class Recover>
bool guardEvent(const char *handler, Work &&work, Recover &&recover) noexcept
{
    try {
        work();
        return true;
    } catch (...) {
        reportEventFailure(handler, std::current_exception());
    }
    try {
        recover();
    } catch (...) {
        reportEventFailure(handler, std::current_exception());
    }
    return false;
}

template <class Work> bool guardEvent(const char *handler, Work &&work) noexcept
{
    return guardEvent(handler, static_cast<Work &&>(work), [] {});
}

} // namespace vorgrd
