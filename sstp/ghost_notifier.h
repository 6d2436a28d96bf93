// The ghost list, its lock and the operations on it: when a refresh of the
// list may run, and what a send walks.
//
// A send holds the lock for its whole length, up to 5 s per ghost that does
// not answer, and the window thread keeps carrying out sent messages while it
// waits: for a ghost's answer, or for the hosts' mutex during a refresh. So
// any operation may run inside another on the window thread, and the rules
// are:
// - A refresh never waits for the lock and never changes the list under a
//   send. When a send is under way (on another thread, or on its own thread
//   further up the stack) the refresh is owed, and the send that ends last
//   settles it: on the window thread it runs at once, from another thread it
//   is posted to the sender window, and with no sender window it waits for
//   the next refresh asked for.
// - A refresh asked for while one waits for the hosts' mutex further up the
//   stack is merged into it: that one's copy is made after the wait.
// - The list is replaced once the read is done, so a send carried out during
//   the read walks the last list whole; a failed read leaves it empty.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "sstp/ghost_list.h"
#include "sstp/ghost_notifier_roles.h"

namespace quillbin {

class GhostNotifier {
public:
    explicit GhostNotifier(const GhostNotifierRoles& roles) : m_roles(roles) {}
    GhostNotifier(const GhostNotifier&) = delete;
    GhostNotifier& operator=(const GhostNotifier&) = delete;

    // The window that goes into each request as its sender, and whose thread
    // does every refresh; 0 once it is gone. Once this has returned, no
    // refresh is posted to the window it replaced.
    void SetSenderWindow(uint32_t window);

    // Rebuilds the list from the host directory. 1 when it was read, 0 when
    // it could not be (the list is then empty), and 0 when the refresh was
    // put off behind a send or merged into one under way (the list then
    // stays as it was).
    int RefreshGhostList();

    // Delivers one NOTIFY request to every listed ghost, one after another;
    // returns how many deliveries failed.
    unsigned SendSstpNotify(std::string_view body);

private:
    // Tests and benchmarks look at the list through it.
    friend class GhostNotifierPeer;

    // After a send or a change of window: runs or posts an owed refresh.
    void SettleOwedRefresh();

    const GhostNotifierRoles m_roles;
    std::atomic<bool> m_refreshOwed{false};

    // Held only to read or change the window, and over a post to it.
    std::mutex m_senderMutex;
    uint32_t m_sender = 0;

    // Guarded by the lock role.
    GhostList m_ghosts;
    // Sends of the thread that holds the lock (nested ones included).
    unsigned m_sendsUnderWay = 0;
    bool m_refreshUnderWay = false;
};

}  // namespace quillbin
