#include "tools/ghost_host/win/request_feed.h"

namespace quillbin::win {

void RequestFeed::Attach(HWND window, UINT message) {
    auto guard = m_lock.lock();
    m_window = window;
    m_message = message;
    if (!m_queue.empty()) ::PostMessageW(m_window, m_message, 0, 0);
}

void RequestFeed::Push(ShownRequest request) {
    auto guard = m_lock.lock();
    if (m_queue.size() >= kMaxQueued) {
        m_queue.pop_front();
        ++m_dropped;
    }
    bool wasEmpty = m_queue.empty();
    m_queue.push_back(std::move(request));
    // One notice per batch: the window takes everything queued at once.
    if (wasEmpty && m_window) ::PostMessageW(m_window, m_message, 0, 0);
}

std::vector<ShownRequest> RequestFeed::Take() {
    auto guard = m_lock.lock();
    std::vector<ShownRequest> out(std::make_move_iterator(m_queue.begin()), std::make_move_iterator(m_queue.end()));
    m_queue.clear();
    return out;
}

uint64_t RequestFeed::Dropped() {
    auto guard = m_lock.lock();
    return m_dropped;
}

}  // namespace quillbin::win
