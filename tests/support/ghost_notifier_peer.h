// A look at the notifier's ghost list from outside: the program itself only
// sends to the ghosts, it never reads the list back.
#pragma once

#include "sstp/ghost_list.h"
#include "sstp/win/ghost_notifier.h"

namespace quillbin::win {

class GhostNotifierPeer {
public:
    // A copy, taken under the lock: it waits for a send of another thread.
    static GhostList Ghosts(GhostNotifier& notifier) {
        auto guard = notifier.m_ghostLock.lock();
        return notifier.m_ghosts;
    }
};

}  // namespace quillbin::win
