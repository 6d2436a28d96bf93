// A look at the notifier's ghost list from outside: the program itself only
// sends to the ghosts, it never reads the list back.
#pragma once

#include "sstp/ghost_list.h"
#include "sstp/win/ghost_notifier_bindings.h"

namespace quillbin {

class GhostNotifierPeer {
public:
    // A copy, taken under the lock: it waits for a send of another thread.
    static GhostList Ghosts(win::GhostNotifierBindings& notifier) {
        notifier.Lock();
        GhostList ghosts = notifier.m_notifier.m_ghosts;
        notifier.Unlock();
        return ghosts;
    }
};

}  // namespace quillbin
