// Bounded waits for a condition in another process: poll it, never sleep a
// fixed time where the condition itself can be asked.
#pragma once

#include <windows.h>

namespace quillbin::win::e2e {

inline constexpr DWORD kPollMs = 10;

// True as soon as `condition()` holds; false once `timeoutMs` have passed
// without it holding.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pollMs = kPollMs) {
    DWORD started = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - started >= timeoutMs) return false;
        ::Sleep(pollMs);
    }
}

// True when `condition()` held at every poll for `periodMs`: the way to show
// that something does not happen, for as long as it would take to happen.
template <typename Condition>
bool HoldsFor(Condition condition, DWORD periodMs, DWORD pollMs = kPollMs) {
    DWORD started = ::GetTickCount();
    for (;;) {
        if (!condition()) return false;
        if (::GetTickCount() - started >= periodMs) return true;
        ::Sleep(pollMs);
    }
}

}  // namespace quillbin::win::e2e
