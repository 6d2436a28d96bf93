// What the ghost notifier needs from the platform. Its policy
// (sstp/ghost_notifier) is written once against these roles; the Win32 shell
// binds them to a critical section, the host directory reader and window
// messages, the tests to a recording fake on real threads.
//
// Window handles are the 32-bit numbers the host directory and the "HWnd"
// line carry; 0 is no window.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "sstp/ghost_list.h"

namespace quillbin {

// The lock over the ghost list, as a critical section behaves: the thread that
// holds it may take it again (one Unlock for each Lock or TryLock that
// succeeded), and TryLock fails only while another thread holds it.
class GhostListLock {
public:
    virtual ~GhostListLock() = default;
    virtual void Lock() = 0;
    virtual bool TryLock() = 0;
    virtual void Unlock() = 0;
};

// The ghosts the host directory lists, or nullopt when it cannot be read.
// While it waits for the hosts' mutex the calling thread carries out the
// messages sent to its windows, so any operation of the notifier may run
// inside it.
class HostDirectorySource {
public:
    virtual ~HostDirectorySource() = default;
    virtual std::optional<GhostList> Read() = 0;
};

// Hands one request to one ghost's window, from `senderWindow`. True when it
// was delivered and answered nonzero. While it waits for the answer the
// calling thread carries out sent messages, as HostDirectorySource does.
class SstpDelivery {
public:
    virtual ~SstpDelivery() = default;
    virtual bool Deliver(uint32_t ghost, uint32_t senderWindow, std::string_view request) = 0;
};

// Asks the thread of `window` for a refresh ("sakura"/1024), without waiting.
class RefreshPoster {
public:
    virtual ~RefreshPoster() = default;
    virtual void PostRefresh(uint32_t window) = 0;
};

// Whether the calling thread is the one `window` belongs to.
class WindowThreads {
public:
    virtual ~WindowThreads() = default;
    virtual bool IsCallingThreadOf(uint32_t window) = 0;
};

struct GhostNotifierRoles {
    GhostListLock& lock;
    HostDirectorySource& directory;
    SstpDelivery& delivery;
    RefreshPoster& poster;
    WindowThreads& threads;
};

}  // namespace quillbin
