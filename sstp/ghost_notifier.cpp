#include "sstp/ghost_notifier.h"

#include <optional>
#include <string>
#include <utility>

#include "base/scope_exit.h"
#include "sstp/sstp_request.h"

namespace quillbin {

namespace {

// The lock role held for a scope, or not held when a try failed.
class ListHold {
public:
    explicit ListHold(GhostListLock& lock) : m_lock(&lock) { lock.Lock(); }
    static ListHold Try(GhostListLock& lock) { return ListHold(lock.TryLock() ? &lock : nullptr); }
    ListHold(const ListHold&) = delete;
    ListHold& operator=(const ListHold&) = delete;
    ~ListHold() {
        if (m_lock != nullptr) m_lock->Unlock();
    }
    explicit operator bool() const { return m_lock != nullptr; }

private:
    explicit ListHold(GhostListLock* held) : m_lock(held) {}
    GhostListLock* m_lock;
};

}  // namespace

void GhostNotifier::SetSenderWindow(uint32_t window) {
    {
        std::lock_guard<std::mutex> guard(m_senderMutex);
        m_sender = window;
    }
    SettleOwedRefresh();
}

int GhostNotifier::RefreshGhostList() {
    // Owed before the lock is tried: a holder that gives the lock up after our
    // try failed is sure to see the debt.
    m_refreshOwed = true;
    ListHold hold = ListHold::Try(m_roles.lock);
    if (!hold) return 0;                // another thread's send settles it
    if (m_sendsUnderWay > 0) return 0;  // so does our own, further up the stack
    m_refreshOwed = false;
    if (m_refreshUnderWay) return 0;  // our own refresh, waiting for the hosts' mutex: it copies after this
    m_refreshUnderWay = true;
    ScopeExit refreshEnds([this] { m_refreshUnderWay = false; });

    std::optional<GhostList> ghosts = m_roles.directory.Read();
    // Emptied even when the read failed, so no stale ghost stays behind.
    m_ghosts.Clear();
    if (!ghosts) return 0;
    m_ghosts = std::move(*ghosts);
    return 1;
}

unsigned GhostNotifier::SendSstpNotify(std::string_view body) {
    uint32_t sender = 0;
    {
        std::lock_guard<std::mutex> guard(m_senderMutex);
        sender = m_sender;
    }
    const std::string request = BuildSstpNotifyRequest(sender, body);
    unsigned failed = 0;
    {
        ListHold hold(m_roles.lock);
        ++m_sendsUnderWay;
        ScopeExit sendEnds([this] { --m_sendsUnderWay; });
        // The list cannot change during the walk: refreshes are put off.
        for (uint32_t ghost : m_ghosts.handles) {
            if (!m_roles.delivery.Deliver(ghost, sender, request)) ++failed;
        }
    }
    SettleOwedRefresh();
    return failed;
}

void GhostNotifier::SettleOwedRefresh() {
    if (!m_refreshOwed) return;
    bool onWindowThread = false;
    {
        std::lock_guard<std::mutex> guard(m_senderMutex);
        onWindowThread = m_sender != 0 && m_roles.threads.IsCallingThreadOf(m_sender);
        if (m_sender != 0 && !onWindowThread) m_roles.poster.PostRefresh(m_sender);
    }
    // Puts itself off again if a send still holds the list.
    if (onWindowThread) RefreshGhostList();
}

}  // namespace quillbin
