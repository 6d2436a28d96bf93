// The dialog's part in the tests: a top-level window on the test's main thread
// whose procedure forwards "sakura"/1024 to the notifier's refresh, as the
// main dialog's message table does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "sstp/win/ghost_notifier.h"
#include "tests/support/waiting.h"

namespace quillbin::win {

class SenderWindow {
public:
    explicit SenderWindow(GhostNotifier& notifier);
    ~SenderWindow();
    SenderWindow(const SenderWindow&) = delete;
    SenderWindow& operator=(const SenderWindow&) = delete;

    HWND get() const { return m_window; }
    // The handle as the "HWnd" line and wParam carry it.
    uint32_t Number() const { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m_window)); }

    struct Refresh {
        int result;  // what RefreshGhostList returned (0 when put off)
        DWORD tick;
    };
    // Every refresh a "sakura"/1024 message ran, in order.
    const std::vector<Refresh>& Refreshes() const { return m_refreshes; }

    // Handles this thread's messages until `done` holds or `timeoutMs` has
    // passed; returns `done()`.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) { return win::PumpUntil(done, timeoutMs); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    GhostNotifier& m_notifier;
    HWND m_window = nullptr;
    std::vector<Refresh> m_refreshes;
};

}  // namespace quillbin::win
