// Bounded waits for a condition: poll it, never sleep a fixed time where the
// condition itself can be asked.
#pragma once

#include <windows.h>

namespace quillbin::win {

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

// Handles the messages queued for the calling thread at this moment, and
// returns without waiting for more.
inline void DispatchQueued() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// WaitUntil for a thread with windows of its own: it handles their messages
// while it waits, and wakes as soon as one arrives.
template <typename Condition>
bool PumpUntil(Condition condition, DWORD timeoutMs) {
    DWORD started = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - started >= timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        DispatchQueued();
    }
}

}  // namespace quillbin::win
