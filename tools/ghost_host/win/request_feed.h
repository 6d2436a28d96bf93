// Hands the requests the ghosts receive, on their own threads, to the control
// window's thread. A ghost never waits for the window: it queues and posts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

struct ShownRequest {
    std::string ghost;  // UTF-8
    uint32_t index = 0;
    uint64_t hwnd = 0;
    uint64_t dwData = 0;
    uint32_t cbData = 0;
    uint64_t sender = 0;
    uint32_t tick = 0;
    bool hasData = false;  // lpData was set
    std::string head;      // the first bytes only: a huge request stays in the log
};

class RequestFeed {
public:
    // Where to post `message` when requests wait; until then they queue.
    void Attach(HWND window, UINT message);
    void Push(ShownRequest request);
    std::vector<ShownRequest> Take();
    // Requests dropped because the window fell too far behind.
    uint64_t Dropped();

private:
    static constexpr size_t kMaxQueued = 1000;

    CriticalSection m_lock;
    std::deque<ShownRequest> m_queue;
    uint64_t m_dropped = 0;
    HWND m_window = nullptr;
    UINT m_message = 0;
};

}  // namespace quillbin::win
