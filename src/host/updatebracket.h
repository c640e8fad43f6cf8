#pragma once
// UpdateBracket: a BeginUpdate/EndUpdate bracket held for a scope, as QSignalBlocker
// holds a block of signals. It works for anything with those two members: string
// lists (TStrings, TvorList), collections (TCollection, TvorgridColumns), the grid's
// cell views.
//
//     UpdateBracket bracket(list); // BeginUpdate
//     ... work that may throw ...
//                                  // EndUpdate when the scope ends, thrown or not
//
// The closing EndUpdate runs the list's change handlers, which may throw. On a normal
// exit their exception reaches the caller, as it would from a hand-written EndUpdate.
// While the scope is left by an exception already, the first failure is the one the
// caller gets: a second one from the handlers is written with qWarning (as the event
// guard writes it) instead, since two cannot travel together (C++ would end the
// program).

#include "host/eventguard.h"

#include <exception>

namespace vorgrd {

template <class Target> class UpdateBracket
{
public:
    explicit UpdateBracket(Target &target) : UpdateBracket(&target) {}
    // A null target opens no bracket (as QSignalBlocker takes a null object).
    explicit UpdateBracket(Target *target)
        : m_target(target), m_unwinding(std::uncaught_exceptions())
    {
        if (m_target) m_target->BeginUpdate();
    }
    ~UpdateBracket() noexcept(false)
    {
        if (!m_target) return;
        if (std::uncaught_exceptions() <= m_unwinding) {
            m_target->EndUpdate();
            return;
        }
        // The exception that is unwinding this scope stays the one thrown.
        guardEvent("EndUpdate", [&] { m_target->EndUpdate(); });
    }
    // Closes the bracket before the scope ends (EndUpdate now); the destructor then
    // does nothing.
    void close()
    {
        Target *target = m_target;
        m_target = nullptr;
        if (target) target->EndUpdate();
    }

    UpdateBracket(const UpdateBracket &) = delete;
    UpdateBracket &operator=(const UpdateBracket &) = delete;

private:
    Target *m_target;
    int m_unwinding; // exceptions in flight when the bracket opened
};

template <class Target> UpdateBracket(Target &) -> UpdateBracket<Target>;
template <class Target> UpdateBracket(Target *) -> UpdateBracket<Target>;

} // namespace vorgrd
