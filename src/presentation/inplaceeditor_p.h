#pragma once
// Internal helpers of the in-place editor and its pick list (never installed).
#include <exception>

namespace vorgrd::internal {

// Runs one step of a Qt event handler. Nothing may escape into Qt's event loop: a
// failing step (a full cell store, a handler that throws) ends the step and leaves the
// editor as the step left it.
template <typename Step> void guardEditorEvent(Step &&step) noexcept
{
    try {
        step();
    } catch (const std::exception &) {
    } catch (...) {
    }
}

} // namespace vorgrd::internal
