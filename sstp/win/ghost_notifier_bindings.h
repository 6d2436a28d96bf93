// The ghost notifier of one window, bound to Win32: the critical section over
// the list, the host directory reader, WM_COPYDATA sent to each ghost with
// SendMessageTimeoutA, and "sakura"/1024 posted to the sender window. When a
// refresh may run, and what a send walks, is the portable GhostNotifier's
// (sstp/ghost_notifier.h). The main dialog owns one and forwards
// RefreshGhostList and SendSstpNotify to it.
#pragma once

#include <windows.h>

#include <string_view>

#include "sstp/ghost_notifier.h"
#include "sstp/win/host_directory_reader.h"

namespace quillbin {
class GhostNotifierPeer;
}

namespace quillbin::win {

// Window handles are 32-bit values even in 64-bit processes: truncating one
// is safe, and widening one back must extend its sign.
inline uint32_t NumberFromWindow(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }
inline HWND WindowFromNumber(uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(number)));
}

class GhostNotifierBindings final : GhostListLock, SstpDelivery, RefreshPoster, WindowThreads {
public:
    // `sakuraMessage`: the registered "sakura" message number, posted to the
    // sender window to run a refresh that had to be put off.
    explicit GhostNotifierBindings(UINT sakuraMessage);
    ~GhostNotifierBindings() override;

    // The window whose handle goes into wParam and the "HWnd" line, and whose
    // thread does every refresh. Set once the dialog's window exists, and to
    // nullptr once it is gone.
    void SetSenderWindow(HWND window) { m_notifier.SetSenderWindow(NumberFromWindow(window)); }
    // Meant for the window thread.
    int RefreshGhostList() { return m_notifier.RefreshGhostList(); }
    // A delivery fails when the window is gone, gives no answer within 5 s
    // or answers 0.
    unsigned SendSstpNotify(std::string_view body) { return m_notifier.SendSstpNotify(body); }

private:
    friend class quillbin::GhostNotifierPeer;

    void Lock() override;
    bool TryLock() override;
    void Unlock() override;
    bool Deliver(uint32_t ghost, uint32_t senderWindow, std::string_view request) override;
    void PostRefresh(uint32_t window) override;
    bool IsCallingThreadOf(uint32_t window) override;

    const UINT m_sakuraMessage;
    CRITICAL_SECTION m_section;
    // Used by refreshes alone, which all run on the window thread.
    HostDirectoryReader m_directory;
    GhostNotifier m_notifier;
};

}  // namespace quillbin::win
