// Watches a window thread from another thread for the framework's message
// boxes, notes what each one shows and dismisses it, so that a test can run
// code that shows message boxes and still end.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillbin::win::testing {

struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
    bool exclamationIcon = false;
    std::vector<int> buttonIds;  // visible buttons
};

class MessageBoxWatcher {
public:
    // Boxes owned by `owner`, on the calling thread.
    explicit MessageBoxWatcher(HWND owner);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Stops watching; the boxes seen until then.
    std::vector<SeenMessageBox> Stop();

private:
    void Watch();

    HWND m_owner;
    DWORD m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::thread m_watcher;
};

}  // namespace quillbin::win::testing
