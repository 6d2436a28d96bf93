// The ghost list, its lock and the two operations on it. The main dialog owns
// one and forwards RefreshGhostList and SendSstpNotify to it.
//
// A send holds the lock for its whole length, up to 5 s per ghost that does
// not answer, and the window thread keeps handling sent messages while it
// waits. So a refresh never waits for the lock and never rebuilds the list
// under a send: when a send is under way (on another thread, or on its own
// thread further up the stack) the refresh is put off, and the send hands it
// back when it ends: on the window thread it runs at once, from another
// thread it is posted to the sender window as "sakura"/1024.
//
// A refresh waits up to 100 ms for the hosts' mutex, carrying out the
// messages sent to the window meanwhile. A refresh asked for by one of them
// is served by the refresh that waits: its copy is made after the wait.
#pragma once

#include <windows.h>

#include <atomic>
#include <string_view>

#include "framework/win/unique_handle.h"
#include "sstp/ghost_list.h"
#include "sstp/win/host_directory_reader.h"

namespace quillbin::win {

class GhostNotifier {
public:
    // `sakuraMessage`: the registered "sakura" message number, posted to the
    // sender window to run a refresh that had to be put off.
    explicit GhostNotifier(UINT sakuraMessage);
    GhostNotifier(const GhostNotifier&) = delete;
    GhostNotifier& operator=(const GhostNotifier&) = delete;

    // The window whose handle goes into wParam and the "HWnd" line, and whose
    // thread does every refresh. Set once the dialog's window exists.
    void SetSenderWindow(HWND window);

    // Rebuilds the list from the block "Sakura". 1 when the block was read,
    // 0 when there was none (the list is then empty) or when the refresh was
    // put off behind a send (the list then stays as the send sees it) or
    // merged into one under way. Meant for the window thread.
    int RefreshGhostList();

    // Delivers one NOTIFY request to every listed ghost, one after another;
    // returns how many deliveries failed (no window, no answer within 5 s,
    // or an answer of 0).
    unsigned SendSstpNotify(std::string_view body);

private:
    // Tests and benchmarks look at the list through it.
    friend class GhostNotifierPeer;

    // After the lock is given up: runs or posts a refresh that was put off.
    void SettleOwedRefresh(HWND sender, DWORD windowThread);

    const UINT m_sakuraMessage;
    std::atomic<bool> m_refreshOwed{false};
    // Used by refreshes alone, which all run on the window thread.
    HostDirectoryReader m_directory;

    CriticalSection m_ghostLock;
    // Guarded by m_ghostLock.
    GhostList m_ghosts;
    HWND m_sender = nullptr;
    DWORD m_windowThread = 0;
    // Sends of the thread that holds the lock (nested ones on the window
    // thread included).
    unsigned m_sendsUnderWay = 0;
    bool m_refreshUnderWay = false;
};

}  // namespace quillbin::win
