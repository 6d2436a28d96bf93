// One demo ghost: a hidden top-level window on a thread of its own, so a ghost
// that is slow to answer delays nobody but the sender that waits for it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "framework/win/unique_handle.h"
#include "tools/ghost_host/ghost_setup.h"

namespace quillbin::win {

class HostDirectoryBlock;
class RequestFeed;
class RequestLogFile;

// What every ghost shares with its host; outlives all ghosts.
struct GhostServices {
    RequestLogFile& log;
    RequestFeed& feed;
    HostDirectoryBlock& block;
    UINT sakuraMessage;
};

class DemoGhost {
public:
    static bool RegisterWindowClass(HINSTANCE instance);

    DemoGhost(GhostSetup setup, GhostServices& services);
    // Stops the thread and waits for it.
    ~DemoGhost();
    DemoGhost(const DemoGhost&) = delete;
    DemoGhost& operator=(const DemoGhost&) = delete;

    // Starts the thread; true once its window exists.
    bool Start(HINSTANCE instance);
    // Destroys the window at once, on its own thread; the handle stays as it
    // was, to be listed stale.
    void Vanish();
    // Asks the thread to end without waiting: a delay in progress is cut short.
    void RequestStop();
    bool Finished() const { return m_finished; }

    void SetIndex(uint32_t index) { m_index = index; }
    const GhostSetup& setup() const { return m_setup; }
    HWND window() const { return m_window; }
    bool vanished() const { return m_vanished; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ThreadMain(HINSTANCE instance);
    LRESULT OnCopyData(HWND window, WPARAM sender, const COPYDATASTRUCT* data);
    LRESULT Answer(WPARAM sender);

    const GhostSetup m_setup;
    GhostServices& m_services;
    std::atomic<uint32_t> m_index{0};
    HWND m_window = nullptr;  // set before m_ready is signalled
    std::atomic<bool> m_vanished{false};
    std::atomic<bool> m_finished{false};
    UniqueHandle m_ready;
    UniqueHandle m_stop;
    std::atomic<DWORD> m_threadId{0};
    std::thread m_thread;
};

}  // namespace quillbin::win
