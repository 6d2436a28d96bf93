// Reads the host directory out of the shared block the ghost host publishes.
#pragma once

#include <optional>

#include "framework/win/named_mutex.h"
#include "sstp/ghost_list.h"
#include "sstp/ghost_notifier_roles.h"
#include "sstp/host_directory.h"

namespace quillbin::win {

// The longest a read waits for the mutex. A host that keeps it longer costs
// each refresh this much, and the block is then copied without it: the
// window must not freeze on a host that never lets go.
inline constexpr DWORD kHostDirectoryMutexWaitMs = 100;

class HostDirectoryReader final : public HostDirectorySource {
public:
    // The mutex is created or opened here, once for the reader's life. With
    // no mutex (a null name, or none could be had) every read copies without.
    explicit HostDirectoryReader(const char* mutexName = kHostDirectoryMutexName,
                                 const char* mappingName = kHostDirectoryName);

    // The ghosts the block lists, or nullopt when there is no block, no view,
    // a size field of 0 or no memory for the copy. The mutex is owned only
    // for the copy out of the view; the view and the mapping go right after
    // it, and the parse works on the copy. While it waits for the mutex the
    // calling thread keeps carrying out the messages sent to its windows.
    std::optional<GhostList> Read() override;

private:
    const char* m_mappingName;
    NamedMutex m_mutex;
};

}  // namespace quillbin::win
